#pragma once
// Find in world: every text field of every record of the chosen files, and the number fields
// when the text is a number. Each file is read in one read snapshot of its own, so a file the
// game writes meanwhile is seen in one committed state. Game text is Latin-1: the text and
// what it is compared with are bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/records.h"
#include "records/references.h"

namespace gw::world {

struct FindQuery {
    std::string text;  // Latin-1
    bool matchCase = false;
    bool wholeWord = false;
    std::array<bool, kRecordKindCount> kinds = {true, true, true, true, true,
                                                true, true, true, true, true};
};

// The file to read for each kind, in the order of allRecordKinds().
using WorldFiles = std::array<std::string, kRecordKindCount>;
// The ten files under their own names in `dir`.
WorldFiles worldFilesIn(const std::string& dir);

struct FindHit {
    RecordKind kind = RecordKind::Race;
    RecordKey key;
    std::vector<std::uint8_t> keyBytes;  // the row's key bytes, to find the record again
    std::string recordName;              // shown text of the record's name ("" if none)
    const FieldInfo* field = nullptr;
    std::size_t index = 0;  // element of a run; 0 for a single field
    // The field's text around the match (a number field: its value), control bytes blanked.
    std::string snippet;
    std::size_t matchStart = 0;
    std::size_t matchLength = 0;
    // A number field that names another record: where the number leads.
    const Reference* reference = nullptr;
};

// "Room 3/12", "Race 2", "User "Ann"".
std::string describeKey(RecordKind kind, const RecordKey& key);
// "Desc" for a single field, "Desc(3)" for entry 3 of a run (counted from 1).
std::string describeField(const FieldInfo& field, std::size_t index);

// Receives the search as it runs; called on the searching thread.
class FindSink {
public:
    virtual ~FindSink() = default;
    virtual void found(const FindHit& hit) = 0;
    // A file that could not be read to its end: its hits so far stand, the rest is left out.
    virtual void unreadable(RecordKind kind, const std::string& path, const std::string& why) = 0;
    // Asked between records: true stops the search.
    virtual bool cancelled() { return false; }
    // After each file: `done` of `total` chosen files read.
    virtual void progress(std::size_t done, std::size_t total) {
        (void)done;
        (void)total;
    }
};

struct FindSummary {
    std::size_t records = 0;
    std::size_t hits = 0;
    std::size_t filesRead = 0;
    bool cancelled = false;
};

// Searches the chosen files in the order of allRecordKinds(), records in key order, fields in
// stored order. An empty text finds nothing.
FindSummary findInWorld(const WorldFiles& files, const FindQuery& query, FindSink& sink);

}  // namespace gw::world
