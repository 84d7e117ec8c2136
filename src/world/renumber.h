#pragma once
// Gives a record another number and rewrites every field of every file that names it, with
// the conditions the check applies (an exit behind a Map Change is left alone), as one change
// across the files: all of it or nothing.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "records/references.h"

namespace gw::world {

// One field entry that the renumbering rewrites; the record's own key first.
struct RenumberChange {
    RecordKind kind;
    RecordKey key;  // of the record that holds the field, before the change
    const FieldInfo* field;
    std::size_t index;  // entry of the run; 0 for a single field
    std::int64_t before, after;
};

enum class RenumberOutcome {
    Done,        // written, or listed only on a dry run
    Refused,     // the request cannot be carried out as asked; nothing written
    Unreadable,  // a file it must read or write could not be; nothing written
};

struct Renumbering {
    RenumberOutcome outcome = RenumberOutcome::Done;
    std::string message;  // why, unless done
    std::vector<RenumberChange> changes;
    std::size_t files = 0;  // the files the changes touch
};

// "wccitem2.dat  Monster 12  Items[2]  3 -> 40": one change as the lists show it.
std::string describeChange(const RenumberChange& change);

// Renumbers record `from` of `kind` to `to` in DIR. Refuses a record with a text key, `from`
// that does not exist, `to` that does, `to` outside the key's range (for a room: another map
// or a room number below 1), and a `to` that some field naming the record cannot hold.
Renumbering renumber(const std::filesystem::path& dir, RecordKind kind, const RecordKey& from,
                     const RecordKey& to, bool dryRun);

}  // namespace gw::world
