#include "world/world_scan.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>

#include "world/world_file.h"

namespace gw::world {

namespace {

namespace fs = std::filesystem;

// A large file shows how far the walk is on a terminal; small ones would only flicker.
constexpr std::size_t kProgressThreshold = 5000;
constexpr std::size_t kProgressStep = 1000;

std::uint64_t roomId(std::int64_t map, std::int64_t room) {
    return (std::uint64_t{static_cast<std::uint32_t>(map)} << 32) |
           static_cast<std::uint32_t>(room);
}

std::uint64_t rowId(RecordKind kind, std::uint32_t record) {
    return (std::uint64_t{static_cast<std::uint32_t>(kind)} << 32) | record;
}

}  // namespace

RecordKey targetKey(const RecordKey& holder, const Reference& reference, std::int64_t value) {
    RecordKey key;
    key.kind = recordType(reference.to).key().kind;
    if (reference.scope == TargetScope::RoomOfMap) {
        key.number = holder.number;
        key.room = value;
    } else {
        key.number = value;
    }
    return key;
}

std::string recordName(const RecordType& type, const void* record) {
    const FieldInfo* field = type.field("Name");
    if (!field) return {};
    std::string_view text = getText(record, *field);
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

const std::string& WorldScan::name(RecordKind kind, std::uint32_t record) const {
    static const std::string none;
    const auto& names = names_[index(kind)];
    return record < names.size() ? names[record] : none;
}

std::string WorldScan::takeName(RecordKind kind, std::uint32_t record) {
    auto& names = names_[index(kind)];
    return record < names.size() ? std::move(names[record]) : std::string();
}

bool namesRecord(const RecordKey& holder, const Reference& reference, std::int64_t value,
                 const RecordKey& wanted) {
    if (reference.scope == TargetScope::RoomOfMap)
        return holder.number == wanted.number && value == wanted.room;
    return value == wanted.number;
}

WorldScan::WorldScan(const fs::path& dir, std::span<const RecordKind> kinds, ScanOptions options) {
    for (RecordKind kind : kinds) {
        read_[index(kind)] = readFile(dir, kind, options);
        if (read_[index(kind)]) {
            ++fileCount_;
        } else {
            keys_[index(kind)].clear();
            names_[index(kind)].clear();
            numbers_[index(kind)].clear();
            // What was kept before a read failed stays out of the judgement altogether.
            std::erase_if(occurrences_, [kind](const Occurrence& o) { return o.kind == kind; });
            std::erase_if(rows_, [kind](const auto& r) { return r.first >> 32 == index(kind); });
            if (kind == RecordKind::Room) rooms_.clear();
        }
    }
    for (auto& numbers : numbers_) std::sort(numbers.begin(), numbers.end());
}

bool WorldScan::readFile(const fs::path& dir, RecordKind kind, const ScanOptions& options) {
    const RecordType& type = recordType(kind);
    const std::string name(type.fileName());
    const std::string path = (dir / name).string();
    auto unreadable = [&](const std::string& why) {
        unreadable_.push_back({kind, path, why});
        return false;
    };
    WorldFile file;
    std::string why;
    if (file.open(path, type, why) != status::kSuccess) return unreadable(why);

    // One committed state for the whole walk: the check never mixes two states of a file the
    // game writes meanwhile, and the walk skips the per-step look for other writers.
    if (Status s = file.beginSnapshot(); s != status::kSuccess)
        return unreadable(describeStatus("read", s));
    if (options.refuseFaultyRows) {
        std::string fault;
        if (Status s = file.firstFaultyRow(fault); s != status::kSuccess)
            return unreadable(describeStatus("read", s));
        if (!fault.empty()) return unreadable(std::string(type.name()) + " " + fault);
    }

    const FieldMap map = type.buildFieldMap();
    std::vector<std::max_align_t> record(type.recordSize() / sizeof(std::max_align_t) + 1);
    std::vector<std::uint8_t> row, padded(type.mappedLength(), 0);
    std::vector<FoundReference> found;
    const FieldInfo* exits = type.field("RoomExit");
    const FieldInfo* exitTypes = type.field("ExitType");
    auto& keys = keys_[index(kind)];
    auto& numbers = numbers_[index(kind)];
    const bool wantedHere = options.onlyKey && options.onlyTo == kind;
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
        bool kept = false;
        for (const FoundReference& f : found) {
            if (options.onlyTo && f.reference->to != *options.onlyTo) continue;
            if (options.onlyKey && !namesRecord(key, *f.reference, f.value, *options.onlyKey))
                continue;
            occurrences_.push_back({kind, ordinal, static_cast<std::uint32_t>(f.index), f.reference,
                                    f.field, f.value});
            kept = true;
        }
        if (options.keepNames)
            names_[index(kind)].push_back(kept ? recordName(type, record.data()) : std::string());
        if (options.keepRows && (kept || (wantedHere && key.number == options.onlyKey->number &&
                                          key.room == options.onlyKey->room)))
            rows_[rowId(kind, ordinal)] = row;
        ++recordCount_;
        if (options.progress && keys.size() >= kProgressThreshold &&
            keys.size() % kProgressStep == 0) {
            *options.progress << "\rreading " << name << ": " << keys.size() << " records"
                              << std::flush;
            showing = true;
        }
    }
    if (showing) *options.progress << "\r\x1b[K" << std::flush;
    if (s != status::kEndOfFile) {
        recordCount_ -= keys.size();
        return unreadable(describeStatus("BGETNEXT", s));
    }
    return true;
}

const std::vector<std::uint8_t>* WorldScan::row(RecordKind kind, std::uint32_t record) const {
    const auto it = rows_.find(rowId(kind, record));
    return it == rows_.end() ? nullptr : &it->second;
}

std::optional<std::uint32_t> WorldScan::find(RecordKind kind, const RecordKey& key) const {
    const auto& keys = keys_[index(kind)];
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i].number == key.number && keys[i].room == key.room && keys[i].text == key.text)
            return static_cast<std::uint32_t>(i);
    return std::nullopt;
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

}  // namespace gw::world
