#pragma once
// Which fields hold the number of another record. One table, beside the record declarations,
// for the world check, the where-used search and the editors; zero means "none" everywhere.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.h"

namespace gw {

// How the number in a field finds its target.
enum class TargetScope : std::uint8_t {
    Number,     // the record of the target type with that number (key 0)
    RoomOfMap,  // the room with that room number in the referring room's own map
};

// A reference that holds only for some entries: entry k counts when entry k of `field`
// equals `value` (holdsWhenEqual) or differs from it (!holdsWhenEqual). No field: always.
struct ReferenceCondition {
    std::string_view field;
    std::int64_t value = 0;
    bool holdsWhenEqual = true;

    // Whether an entry whose companion entry holds `companion` is a reference.
    constexpr bool holdsFor(std::int64_t companion) const {
        return field.empty() || (companion == value) == holdsWhenEqual;
    }
};

struct Reference {
    RecordKind from;
    std::string_view field;  // every entry of a run is a reference
    RecordKind to;
    TargetScope scope = TargetScope::Number;
    std::int64_t mask = 0;  // non-zero: only these bits of the stored value are the number
    ReferenceCondition when = {};
    // The record layout names the field only by its label ("shop number", "greeting text"):
    // a number that names nothing is worth a warning, not an error.
    bool labelOnly = false;
};

// Every reference of every record type, grouped by referring type in the order of
// allRecordKinds(), fields in stored order.
std::span<const Reference> allReferences();

// Whether number 0 of this type means "none" wherever a record names one: true for every type
// keyed by a number alone. A record stored as number 0 could never be named.
bool numberZeroMeansNone(const RecordType& type);

// Why a new record of `type` may not take `number` ("0 means none wherever a record names
// an Item"), or the empty text when it may.
std::string newNumberRefusal(const RecordType& type, std::int64_t number);

// One reference held by one record.
struct FoundReference {
    const Reference* reference;
    const FieldInfo* field;
    std::size_t index;   // entry of the run; 0 for a single field
    std::int64_t value;  // the number named (masked), never 0
};

// The references an in-memory record of `kind` holds, in table order, entries ascending;
// `out` is cleared first. Entries that hold 0, or whose condition fails, are left out.
void referencesIn(RecordKind kind, const void* record, std::vector<FoundReference>& out);

// The key-0 value of an in-memory record: a number, a (map, room) pair or a text.
struct RecordKey {
    KeyKind kind = KeyKind::Int32;
    std::int64_t number = 0;  // the number, or the map of a room
    std::int64_t room = 0;
    std::string text;  // before the first zero byte, trailing blanks removed
    friend bool operator==(const RecordKey&, const RecordKey&) = default;
};
RecordKey recordKeyOf(const RecordType& type, const void* record);
// The same read straight from a stored row, for walks that convert no record.
RecordKey recordKeyOfRow(const RecordType& type, std::span<const std::uint8_t> row);
// The key bytes a stored row begins with (fewer when the row is shorter than the key).
inline std::span<const std::uint8_t> keyBytesOfRow(const RecordType& type,
                                                   std::span<const std::uint8_t> row) {
    return row.first(std::min<std::size_t>(type.key().width, row.size()));
}
// The key bytes a row of `type` begins with for `key` (a text blank-filled to its width).
std::vector<std::uint8_t> storedKeyBytes(const RecordType& type, const RecordKey& key);

}  // namespace gw
