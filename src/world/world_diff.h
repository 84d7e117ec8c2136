#pragma once
// Two or three worlds compared field by field, file by file in key order, one row of each at a
// time: the difference between two worlds, and the three-way merge of a base and two sides.
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "records/references.h"
#include "world/world_text.h"

namespace gw::world {

// One field of a row: an element of a named field or run, or the bytes that no field maps
// (field nullptr), which diff and merge treat as one field.
struct FieldSlot {
    const FieldInfo* field = nullptr;
    std::size_t index = 0;
};

// Every slot of a record type in stored order, the unmapped bytes last.
std::span<const FieldSlot> fieldSlots(RecordKind kind);
// "Name", "AbilityA[3]", "_tail".
std::string slotName(const FieldSlot& slot);
// The slot's value as JSON: 12; "Dusty Torch" (a text up to its zero byte when the rest is
// the padding that loading it would add back, else all its bytes); the unmapped bytes in hex.
std::string slotJson(const RecordType& type, const FieldSlot& slot,
                     std::span<const std::uint8_t> row);

enum class Change { Added, Removed, Changed };

struct RecordDifference {
    RecordKind kind;
    Change change;
    std::span<const std::uint8_t> before, after;  // empty where the record is absent
    std::span<const FieldSlot> fields;            // the slots that differ (Changed only)
};

// Calls visit for every record added (in b), removed (from a) or changed, file by file in the
// order of allRecordKinds(), in key order. false and error when a file cannot be read.
bool diffWorlds(const std::filesystem::path& a, const std::filesystem::path& b,
                const std::function<void(const RecordDifference&)>& visit, std::string& error);

// A change the merge could not take: a field changed differently on both sides (field set),
// or a record deleted on one side and changed on the other (field empty). The values are
// JSON: a field's values as slotJson gives them, null where the record is absent; for a
// whole record "deleted" or "changed".
struct Conflict {
    RecordKind kind;
    RecordKey key;
    std::string field;
    std::string base, ours, theirs;
};

struct MergeResult {
    RecordCounts records{};      // written to OUT, per file
    std::size_t fromTheirs = 0;  // records in which theirs' changes were taken
    std::vector<Conflict> conflicts;
};

// Field by field: a field changed on one side only takes that side's value; changed on both
// to the same value is no conflict; changed to different values keeps ours and is a
// conflict. Records added on one side are added; deleted on one side and unchanged on the
// other are deleted; deleted on one side and changed on the other keep ours' state and are a
// conflict. OUT is built whole beside its place, never over an input, and moved in only when
// every file is complete; it refuses to replace data files in OUT unless force.
bool mergeWorlds(const std::filesystem::path& base, const std::filesystem::path& ours,
                 const std::filesystem::path& theirs, const std::filesystem::path& out, bool force,
                 MergeResult& result, std::string& error);

}  // namespace gw::world
