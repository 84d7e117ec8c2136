#pragma once
// One read-only walk over the world's data files: the keys of every record and the
// references each record holds, kept until every file has been read so a reference can be
// judged against the whole world.
#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "records/references.h"
#include "records/value_lists.h"

namespace gw::world {

// One reference met during the walk.
struct Occurrence {
    RecordKind kind;
    std::uint32_t record;  // ordinal of the referring record in its file
    std::uint32_t index;   // entry of the run
    const Reference* reference;
    const FieldInfo* field;
    std::int64_t value;
};

struct RoomExits {
    std::array<std::int32_t, values::kDirectionCount> room{};
    std::array<std::int16_t, values::kDirectionCount> type{};
};

// A file the walk could not read to its end; what was read of it is left out.
struct UnreadableFile {
    RecordKind kind;
    std::string path;
    std::string why;
};

struct ScanOptions {
    // Keep only the references that lead to this type (all when empty) ...
    std::optional<RecordKind> onlyTo;
    // ... and, with a key, only those that name that record.
    std::optional<RecordKey> onlyKey;
    // Keep the stored row of every record that holds a kept reference, and of the record
    // onlyKey names.
    bool keepRows = false;
    // Keep the name (its Name field up to the first zero byte, blanks cut) of every record
    // that holds a kept reference.
    bool keepNames = false;
    // Count a file with a row that would not load back as stored (wrong length, key fields
    // naming another key) as unreadable, as a backup of it could not be restored; costs one
    // more pass over each file.
    bool refuseFaultyRows = false;
    // Where a long walk shows how far it is (a terminal), or nullptr.
    std::ostream* progress = nullptr;
};

class WorldScan {
public:
    // Reads the files of `kinds` in DIR.
    WorldScan(const std::filesystem::path& dir, std::span<const RecordKind> kinds,
              ScanOptions options = {});

    // Every file asked for was read to its end.
    bool complete() const { return unreadable_.empty(); }
    const std::vector<UnreadableFile>& unreadable() const { return unreadable_; }
    bool wasRead(RecordKind kind) const { return read_[index(kind)]; }
    std::size_t recordCount() const { return recordCount_; }
    std::size_t fileCount() const { return fileCount_; }

    const std::vector<Occurrence>& occurrences() const { return occurrences_; }
    const RecordKey& key(RecordKind kind, std::uint32_t record) const {
        return keys_[index(kind)][record];
    }
    std::size_t count(RecordKind kind) const { return keys_[index(kind)].size(); }
    // With keepNames: the record's name, empty for a type without one or a record that holds
    // no kept reference.
    const std::string& name(RecordKind kind, std::uint32_t record) const;
    // The same, moved out of the scan (which keeps an empty name).
    std::string takeName(RecordKind kind, std::uint32_t record);
    // The stored row of a record kept with keepRows, or nullptr.
    const std::vector<std::uint8_t>* row(RecordKind kind, std::uint32_t record) const;
    // The ordinal of the record of `kind` with this key, when it was read.
    std::optional<std::uint32_t> find(RecordKind kind, const RecordKey& key) const;
    // Whether a record of `kind`, a type keyed by a number alone, has the number.
    bool hasNumber(RecordKind kind, std::int64_t number) const;
    // Whether the target of a reference met in the walk exists.
    bool targetExists(const Occurrence& o) const;
    // The exits of a room, or nullptr when there is no such room.
    const RoomExits* room(std::int64_t map, std::int64_t room) const;

private:
    static std::size_t index(RecordKind kind) { return static_cast<std::size_t>(kind); }
    bool readFile(const std::filesystem::path& dir, RecordKind kind, const ScanOptions& options);

    std::array<bool, kRecordKindCount> read_{};
    std::array<std::vector<RecordKey>, kRecordKindCount> keys_;
    std::array<std::vector<std::string>, kRecordKindCount> names_;
    std::array<std::vector<std::int64_t>, kRecordKindCount> numbers_;  // sorted
    std::unordered_map<std::uint64_t, RoomExits> rooms_;
    std::vector<Occurrence> occurrences_;
    std::unordered_map<std::uint64_t, std::vector<std::uint8_t>> rows_;
    std::vector<UnreadableFile> unreadable_;
    std::size_t recordCount_ = 0;
    std::size_t fileCount_ = 0;
};

// The key of the record a reference names, given the key of the record that holds it.
RecordKey targetKey(const RecordKey& holder, const Reference& reference, std::int64_t value);
// A record's name: its Name field up to the first zero byte, blanks cut; empty without one.
std::string recordName(const RecordType& type, const void* record);
// Whether a reference held by `holder` names the record `wanted` of the reference's type.
bool namesRecord(const RecordKey& holder, const Reference& reference, std::int64_t value,
                 const RecordKey& wanted);

}  // namespace gw::world
