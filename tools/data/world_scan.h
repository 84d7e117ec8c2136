#pragma once
// One read-only walk over the world's data files: the keys of every record and the
// references each record holds, kept until every file has been read so a reference can be
// judged against the whole world.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "records/references.h"
#include "records/value_lists.h"
#include "tools/data/data_tool.h"

namespace gw::tool {

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

class WorldScan {
public:
    // Reads the files of `kinds` in DIR and keeps the references that lead to `onlyTo` (all
    // when empty). A file that cannot be read is named on io.err and left out.
    WorldScan(const std::filesystem::path& dir, std::span<const RecordKind> kinds,
              std::optional<RecordKind> onlyTo, ToolIo io);

    // Every file asked for was read to its end.
    bool complete() const { return complete_; }
    bool wasRead(RecordKind kind) const { return read_[index(kind)]; }
    std::size_t recordCount() const { return recordCount_; }
    std::size_t fileCount() const { return fileCount_; }

    const std::vector<Occurrence>& occurrences() const { return occurrences_; }
    const RecordKey& key(RecordKind kind, std::uint32_t record) const {
        return keys_[index(kind)][record];
    }
    // Whether a record of `kind`, a type keyed by a number alone, has the number.
    bool hasNumber(RecordKind kind, std::int64_t number) const;
    // Whether the target of a reference met in the walk exists.
    bool targetExists(const Occurrence& o) const;
    // The exits of a room, or nullptr when there is no such room.
    const RoomExits* room(std::int64_t map, std::int64_t room) const;

private:
    static std::size_t index(RecordKind kind) { return static_cast<std::size_t>(kind); }
    bool readFile(const std::filesystem::path& dir, RecordKind kind,
                  std::optional<RecordKind> onlyTo, ToolIo io);

    std::array<bool, kRecordKindCount> read_{};
    std::array<std::vector<RecordKey>, kRecordKindCount> keys_;
    std::array<std::vector<std::int64_t>, kRecordKindCount> numbers_;  // sorted
    std::unordered_map<std::uint64_t, RoomExits> rooms_;
    std::vector<Occurrence> occurrences_;
    std::size_t recordCount_ = 0;
    std::size_t fileCount_ = 0;
    bool complete_ = true;
};

}  // namespace gw::tool
