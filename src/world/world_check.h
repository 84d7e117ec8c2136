#pragma once
// The judgement of a walk: which references name nothing, which exits have no way back, and
// the names and keys by which an operator names a record.
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "world/world_scan.h"

namespace gw::world {

enum class Problem {
    Missing,     // names a record that does not exist: an error
    OneWay,      // an exit whose room has no exit back: a warning
    Unresolved,  // a number the layout names only by its label names nothing: a warning
};

struct Finding {
    const Occurrence* occurrence;
    Problem problem;
    // One-way only: the room reached has an exit back, but it is a Map Change.
    bool backIsMapChange = false;
};

struct CheckResult {
    std::vector<Finding> findings;  // in the order of the walk
    std::size_t missing = 0, oneWay = 0, unresolved = 0;
};

// Judges every reference of the walk; references into a file that was not read are left out.
CheckResult checkReferences(const WorldScan& scan);

// The record type a name means, whatever its case ("item", "Room").
std::optional<RecordKind> kindNamed(std::string_view name);
// A key as an operator types it: a number, MAP:ROOM for a room, the name for a text key.
// Numbers must fit 32 bits.
std::optional<RecordKey> parseKey(KeyKind kind, std::string_view text);
// The record types that hold references to `target`, in the order of allRecordKinds().
std::vector<RecordKind> kindsReferringTo(RecordKind target);

}  // namespace gw::world
