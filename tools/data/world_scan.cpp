#include "tools/data/world_scan.h"

#include <algorithm>
#include <ostream>
#include <string>

#include "tools/data/tool_file.h"

namespace gw::tool {

namespace {

namespace fs = std::filesystem;

// A large file shows how far the walk is on a terminal; small ones would only flicker.
constexpr std::size_t kProgressThreshold = 5000;
constexpr std::size_t kProgressStep = 1000;

std::uint64_t roomId(std::int64_t map, std::int64_t room) {
    return (std::uint64_t{static_cast<std::uint32_t>(map)} << 32) |
           static_cast<std::uint32_t>(room);
}

}  // namespace

WorldScan::WorldScan(const fs::path& dir, std::span<const RecordKind> kinds,
                     std::optional<RecordKind> onlyTo, ToolIo io) {
    for (RecordKind kind : kinds) {
        read_[index(kind)] = readFile(dir, kind, onlyTo, io);
        if (read_[index(kind)]) {
            ++fileCount_;
        } else {
            complete_ = false;
            keys_[index(kind)].clear();
            numbers_[index(kind)].clear();
            // What was kept before a read failed stays out of the judgement altogether.
            std::erase_if(occurrences_, [kind](const Occurrence& o) { return o.kind == kind; });
            if (kind == RecordKind::Room) rooms_.clear();
        }
    }
    for (auto& numbers : numbers_) std::sort(numbers.begin(), numbers.end());
}

bool WorldScan::readFile(const fs::path& dir, RecordKind kind, std::optional<RecordKind> onlyTo,
                         ToolIo io) {
    const RecordType& type = recordType(kind);
    const std::string name(type.fileName());
    const std::string path = (dir / name).string();
    auto unreadable = [&](const std::string& why) {
        io.err << "gravewind-data: " << path << ": " << why << "; references to " << type.name()
               << " records are not checked\n";
        return false;
    };
    ToolFile file;
    if (Status s = file.open(path); s != status::kSuccess)
        return unreadable(describeStatus("BOPEN", s));
    if (file.recordType() != &type)
        return unreadable("holds " + file.info().recordType + " records, not " +
                          std::string(type.name()));

    // One committed state for the whole walk: the check never mixes two states of a file the
    // game writes meanwhile, and the walk skips the per-step look for other writers.
    if (Status s = beginSnapshot(file.positionBlock()); s != status::kSuccess)
        return unreadable(describeStatus("read", s));

    const FieldMap map = type.buildFieldMap();
    std::vector<std::max_align_t> record(type.recordSize() / sizeof(std::max_align_t) + 1);
    std::vector<std::uint8_t> row, padded(type.mappedLength(), 0);
    std::vector<FoundReference> found;
    const FieldInfo* exits = type.field("RoomExit");
    const FieldInfo* exitTypes = type.field("ExitType");
    auto& keys = keys_[index(kind)];
    auto& numbers = numbers_[index(kind)];
    bool showing = false;

    Status s = file.read(BGETFIRST, row);
    for (; s == status::kSuccess; s = file.read(BGETNEXT, row)) {
        // A short row converts as if zero-filled, as every other reader of the file sees it.
        std::span<const std::uint8_t> source = row;
        if (row.size() < padded.size()) {
            std::fill(std::copy(row.begin(), row.end(), padded.begin()), padded.end(), 0);
            source = padded;
        }
        RowToStruct(source, map, record.data(), type.recordSize());
        const auto ordinal = static_cast<std::uint32_t>(keys.size());
        keys.push_back(recordKeyOf(type, record.data()));
        const RecordKey& key = keys.back();
        if (key.kind == KeyKind::Int32Pair) {
            RoomExits& e = rooms_[roomId(key.number, key.room)];
            for (std::size_t d = 0; d < values::kDirectionCount && exits && exitTypes; ++d) {
                e.room[d] = static_cast<std::int32_t>(getInt(record.data(), *exits, d));
                e.type[d] = static_cast<std::int16_t>(getInt(record.data(), *exitTypes, d));
            }
        } else if (key.kind != KeyKind::Text) {
            numbers.push_back(key.number);
        }
        referencesIn(kind, record.data(), found);
        for (const FoundReference& f : found)
            if (!onlyTo || f.reference->to == *onlyTo)
                occurrences_.push_back({kind, ordinal, static_cast<std::uint32_t>(f.index),
                                        f.reference, f.field, f.value});
        ++recordCount_;
        if (io.progress && keys.size() >= kProgressThreshold && keys.size() % kProgressStep == 0) {
            io.err << "\rreading " << name << ": " << keys.size() << " records" << std::flush;
            showing = true;
        }
    }
    if (showing) io.err << "\r\x1b[K" << std::flush;
    if (s != status::kEndOfFile) {
        recordCount_ -= keys.size();
        return unreadable(describeStatus("BGETNEXT", s));
    }
    return true;
}

bool WorldScan::hasNumber(RecordKind kind, std::int64_t number) const {
    const auto& numbers = numbers_[index(kind)];
    return std::binary_search(numbers.begin(), numbers.end(), number);
}

bool WorldScan::targetExists(const Occurrence& o) const {
    if (o.reference->scope == TargetScope::RoomOfMap)
        return room(key(o.kind, o.record).number, o.value) != nullptr;
    return hasNumber(o.reference->to, o.value);
}

const RoomExits* WorldScan::room(std::int64_t map, std::int64_t room) const {
    const auto it = rooms_.find(roomId(map, room));
    return it == rooms_.end() ? nullptr : &it->second;
}

}  // namespace gw::tool
