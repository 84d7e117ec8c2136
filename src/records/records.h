#pragma once
// The ten record types of the game's world, in the order the editor opens their files.
#include <array>
#include <functional>

#include "store/record_type.h"

namespace gw {

enum class RecordKind { Race, Class, Spell, Monster, Item, Shop, Room, Message, Textblock, User };
inline constexpr std::size_t kRecordKindCount = 10;

const RecordType& recordType(RecordKind kind);
// Race, Class, Spell, Monster, Item, Shop, Room, Message, Textblock, User.
const std::array<RecordKind, kRecordKindCount>& allRecordKinds();

}  // namespace gw
