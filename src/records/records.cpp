#include "records/records.h"

#include <stdexcept>

#include "records/class.h"
#include "records/item.h"
#include "records/message.h"
#include "records/monster.h"
#include "records/race.h"
#include "records/room.h"
#include "records/shop.h"
#include "records/spell.h"
#include "records/textblock.h"
#include "records/user.h"

namespace gw {

const RecordType& recordType(RecordKind kind) {
    switch (kind) {
        case RecordKind::Race:
            return RecordTraits<Race>::type();
        case RecordKind::Class:
            return RecordTraits<Class>::type();
        case RecordKind::Spell:
            return RecordTraits<Spell>::type();
        case RecordKind::Monster:
            return RecordTraits<Monster>::type();
        case RecordKind::Item:
            return RecordTraits<Item>::type();
        case RecordKind::Shop:
            return RecordTraits<Shop>::type();
        case RecordKind::Room:
            return RecordTraits<Room>::type();
        case RecordKind::Message:
            return RecordTraits<Message>::type();
        case RecordKind::Textblock:
            return RecordTraits<Textblock>::type();
        case RecordKind::User:
            return RecordTraits<User>::type();
    }
    throw std::invalid_argument("unknown record kind");
}

const std::array<RecordKind, kRecordKindCount>& allRecordKinds() {
    static const std::array<RecordKind, kRecordKindCount> kinds{
        RecordKind::Race,      RecordKind::Class, RecordKind::Spell, RecordKind::Monster,
        RecordKind::Item,      RecordKind::Shop,  RecordKind::Room,  RecordKind::Message,
        RecordKind::Textblock, RecordKind::User};
    return kinds;
}

}  // namespace gw
