#pragma once
// Who names whom: for every record, the records whose fields name it, built from one walk
// over the world's files and kept current by the editor's own writes. The editor shows its
// counts beside every record and asks with them before a delete.
#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "records/references.h"

namespace gw::world {

struct Referrer {
    RecordKind kind;
    RecordKey key;
    std::string name;  // of the referring record; empty for a type without names
    const FieldInfo* field;
    std::uint32_t index;  // entry of the run
};

class ReverseIndex {
public:
    // Walks the ten files in DIR; a file that cannot be read is left out (see unreadable()).
    explicit ReverseIndex(const std::filesystem::path& dir);

    // The fields that name record `key` of `kind`, grouped by referring record in file order.
    std::vector<Referrer> referrers(RecordKind kind, const RecordKey& key) const;
    // How many records name it (a record naming it twice counts once).
    std::size_t referringRecords(RecordKind kind, const RecordKey& key) const;

    // The record `key` of `kind` now holds `record` (an in-memory record of its type), or no
    // longer exists (nullptr): its references are replaced.
    void update(RecordKind kind, const RecordKey& key, const void* record);

    // Files that could not be read when the index was built.
    const std::vector<std::string>& unreadable() const { return unreadable_; }

private:
    struct Entry {
        std::uint32_t holder;  // into holders_
        const FieldInfo* field;
        std::uint32_t index;
    };
    // A record that can be named: its type and its key as one number (a room's map and room
    // packed together).
    struct Target {
        RecordKind kind;
        std::int64_t number;
        friend bool operator==(const Target&, const Target&) = default;
    };
    struct TargetHash {
        std::size_t operator()(const Target& t) const {
            return std::hash<std::int64_t>()(t.number * 16 + static_cast<std::int64_t>(t.kind));
        }
    };
    static Target targetOf(RecordKind kind, const RecordKey& key);
    static std::string holderName(RecordKind kind, const RecordKey& key);
    void add(std::uint32_t holder, Target target, const FieldInfo* field, std::uint32_t index);
    void prepareUpdates();

    struct Holder {
        RecordKind kind;
        RecordKey key;
        std::string name;
        std::vector<Target> targets;  // what it names, to take it out again (made for updates)
    };
    std::vector<Holder> holders_;
    std::unordered_map<std::string, std::uint32_t> holderIds_;  // made at the first update
    std::unordered_map<Target, std::vector<Entry>, TargetHash> byTarget_;
    std::vector<std::string> unreadable_;
};

}  // namespace gw::world
