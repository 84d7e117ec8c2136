#include "world/world_diff.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "records/text_fields.h"
#include "world/data_rows.h"
#include "world/record_json.h"

namespace gw::world {

namespace fs = std::filesystem;

namespace {

using Row = std::span<const std::uint8_t>;

std::size_t kindIndex(RecordKind kind) { return static_cast<std::size_t>(kind); }

// Where a slot's bytes lie in a row.
std::pair<std::size_t, std::size_t> slotBytes(const RecordType& type, const FieldSlot& slot) {
    if (!slot.field) return {type.mappedLength(), type.dataLength() - type.mappedLength()};
    return {slot.field->rowOffset + slot.index * slot.field->stride, slot.field->width};
}

bool sameSlot(const RecordType& type, const FieldSlot& slot, Row a, Row b) {
    const auto [at, width] = slotBytes(type, slot);
    return std::memcmp(a.data() + at, b.data() + at, width) == 0;
}

void copySlot(const RecordType& type, const FieldSlot& slot, Row from,
              std::vector<std::uint8_t>& to) {
    const auto [at, width] = slotBytes(type, slot);
    std::memcpy(to.data() + at, from.data() + at, width);
}

bool sameRow(Row a, Row b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// Several files of one type walked side by side: each step gives the rows of the next key,
// absent in the files that lack it. A row stays valid until the next step.
class KeyJoin {
public:
    KeyJoin(const RecordType& type, std::span<RowReader* const> readers)
        : kind_(type.key().kind),
          readers_(readers.begin(), readers.end()),
          has_(readers.size(), 0),
          present_(readers.size(), 0) {}

    bool next() {
        for (std::size_t i = 0; i < readers_.size(); ++i)
            if (!started_ || present_[i]) has_[i] = readers_[i]->next();
        started_ = true;
        const StoredKey* first = nullptr;
        for (std::size_t i = 0; i < readers_.size(); ++i) {
            if (!readers_[i]->error().empty()) {
                error_ = readers_[i]->error();
                return false;
            }
            if (has_[i] && (!first || keyBefore(kind_, readers_[i]->key(), *first)))
                first = &readers_[i]->key();
        }
        if (!first) return false;
        for (std::size_t i = 0; i < readers_.size(); ++i)
            present_[i] = has_[i] && !keyBefore(kind_, *first, readers_[i]->key());
        return true;
    }
    bool present(std::size_t i) const { return present_[i]; }
    Row row(std::size_t i) const { return present_[i] ? readers_[i]->row() : Row(); }
    const std::string& error() const { return error_; }

private:
    KeyKind kind_;
    std::vector<RowReader*> readers_;
    std::vector<char> has_, present_;
    bool started_ = false;
    std::string error_;
};

// Opens one type's file in each folder.
bool openAll(const RecordType& type, std::span<const fs::path> dirs,
             std::vector<std::unique_ptr<RowReader>>& readers, std::vector<RowReader*>& raw,
             std::string& error) {
    for (const fs::path& dir : dirs) {
        readers.push_back(std::make_unique<RowReader>(type));
        raw.push_back(readers.back().get());
        if (!readers.back()->open((dir / type.fileName()).string())) {
            error = readers.back()->error();
            return false;
        }
    }
    return true;
}

bool isFolder(const fs::path& dir, std::string& error) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return true;
    error = dir.string() + ": not a folder";
    return false;
}

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

}  // namespace

std::span<const FieldSlot> fieldSlots(RecordKind kind) {
    static const auto slots = [] {
        std::array<std::vector<FieldSlot>, kRecordKindCount> all;
        for (RecordKind k : allRecordKinds()) {
            const RecordType& type = recordType(k);
            auto& list = all[kindIndex(k)];
            for (const FieldInfo& f : type.fields())
                for (std::size_t i = 0; i < f.count; ++i) list.push_back({&f, i});
            if (type.dataLength() > type.mappedLength()) list.push_back({nullptr, 0});
        }
        return all;
    }();
    return slots[kindIndex(kind)];
}

std::string slotName(const FieldSlot& slot) {
    if (!slot.field) return std::string(kTailMember);
    std::string name(slot.field->name);
    if (slot.field->count > 1) name.append("[").append(std::to_string(slot.index)).append("]");
    return name;
}

std::string slotJson(const RecordType& type, const FieldSlot& slot, Row row) {
    const auto [at, width] = slotBytes(type, slot);
    std::string out;
    if (!slot.field) {
        static constexpr char kDigits[] = "0123456789abcdef";
        out.push_back('"');
        for (std::size_t i = at; i < at + width; ++i) {
            out.push_back(kDigits[row[i] >> 4]);
            out.push_back(kDigits[row[i] & 0xF]);
        }
        out.push_back('"');
        return out;
    }
    if (slot.field->isText()) {
        const std::string_view stored(reinterpret_cast<const char*>(row.data()) + at, width);
        const std::string_view shown = shownText(stored);
        appendJsonString(out, zeroEnded(shown, width) == stored ? shown : stored);
        return out;
    }
    return std::to_string(elementInt(row, *slot.field, slot.index));
}

bool diffWorlds(const fs::path& a, const fs::path& b,
                const std::function<void(const RecordDifference&)>& visit, std::string& error) {
    if (!isFolder(a, error) || !isFolder(b, error)) return false;
    std::vector<FieldSlot> differing;
    for (RecordKind kind : allRecordKinds()) {
        const RecordType& type = recordType(kind);
        std::vector<std::unique_ptr<RowReader>> readers;
        std::vector<RowReader*> raw;
        const fs::path dirs[] = {a, b};
        if (!openAll(type, dirs, readers, raw, error)) return false;
        KeyJoin join(type, raw);
        while (join.next()) {
            const Row before = join.row(0), after = join.row(1);
            if (!join.present(1)) {
                visit({kind, Change::Removed, before, {}, {}});
            } else if (!join.present(0)) {
                visit({kind, Change::Added, {}, after, {}});
            } else if (!sameRow(before, after)) {
                differing.clear();
                for (const FieldSlot& slot : fieldSlots(kind))
                    if (!sameSlot(type, slot, before, after)) differing.push_back(slot);
                visit({kind, Change::Changed, before, after, differing});
            }
        }
        if (!join.error().empty()) {
            error = join.error();
            return false;
        }
    }
    return true;
}

namespace {

// One record's three states merged into `out`; the conflicts are appended to result.
class RecordMerge {
public:
    RecordMerge(RecordKind kind, MergeResult& result)
        : kind_(kind), type_(recordType(kind)), result_(result) {}

    // Whether the merged record exists; then its row is in out.
    bool merge(Row base, Row ours, Row theirs, std::vector<std::uint8_t>& out) {
        const bool b = !base.empty(), o = !ours.empty(), t = !theirs.empty();
        if (!o && !t) return false;
        if (o != t && b) {
            // Deleted on one side: gone when the other left it alone, else kept as ours.
            const Row kept = o ? ours : theirs;
            if (sameRow(kept, base)) return false;
            recordConflict(kept, o ? "changed" : "deleted", o ? "deleted" : "changed");
            if (!o) return false;
            out.assign(ours.begin(), ours.end());
            return true;
        }
        if (o != t) {
            const Row added = o ? ours : theirs;
            out.assign(added.begin(), added.end());
            if (!o) ++result_.fromTheirs;
            return true;
        }
        out.assign(ours.begin(), ours.end());
        if (sameRow(ours, theirs) || (b && sameRow(theirs, base))) return true;
        if (b && sameRow(ours, base)) {
            out.assign(theirs.begin(), theirs.end());
            ++result_.fromTheirs;
            return true;
        }
        // Both sides changed the record (or both added it): field by field.
        bool tookTheirs = false;
        for (const FieldSlot& slot : fieldSlots(kind_)) {
            if (sameSlot(type_, slot, ours, theirs)) continue;
            if (b && sameSlot(type_, slot, ours, base)) {
                copySlot(type_, slot, theirs, out);
                tookTheirs = true;
            } else if (!b || !sameSlot(type_, slot, theirs, base)) {
                result_.conflicts.push_back({kind_, recordKeyOfRow(type_, ours), slotName(slot),
                                             b ? slotJson(type_, slot, base) : "null",
                                             slotJson(type_, slot, ours),
                                             slotJson(type_, slot, theirs)});
            }
        }
        if (tookTheirs) ++result_.fromTheirs;
        return true;
    }

private:
    void recordConflict(Row present, const char* ours, const char* theirs) {
        result_.conflicts.push_back({kind_,
                                     recordKeyOfRow(type_, present),
                                     {},
                                     "\"present\"",
                                     std::string("\"") + ours + "\"",
                                     std::string("\"") + theirs + "\""});
    }

    RecordKind kind_;
    const RecordType& type_;
    MergeResult& result_;
};

}  // namespace

bool mergeWorlds(const fs::path& base, const fs::path& ours, const fs::path& theirs,
                 const fs::path& out, bool force, MergeResult& result, std::string& error) {
    const fs::path inputs[] = {base, ours, theirs};
    for (const fs::path& dir : inputs) {
        if (!isFolder(dir, error)) return false;
        if (sameFolder(dir, out)) {
            error =
                out.string() + ": is one of the worlds being merged; a merge never writes over one";
            return false;
        }
    }
    if (const auto existing = existingDataFile(out); existing && !force) {
        error = existing->string() + ": file exists (use --force to replace the world)";
        return false;
    }
    StagedWorld staged;
    if (!staged.create(out, error)) return false;
    result = {};
    std::vector<std::uint8_t> merged;
    for (RecordKind kind : allRecordKinds()) {
        const RecordType& type = recordType(kind);
        std::vector<std::unique_ptr<RowReader>> readers;
        std::vector<RowReader*> raw;
        if (!openAll(type, inputs, readers, raw, error)) return false;
        RowWriter writer(type);
        if (!writer.create(staged.dataPath(type))) {
            error = writer.error();
            return false;
        }
        RecordMerge merge(kind, result);
        KeyJoin join(type, raw);
        while (join.next()) {
            if (!merge.merge(join.row(0), join.row(1), join.row(2), merged)) continue;
            if (!writer.add(merged)) {
                error = writer.error();
                return false;
            }
        }
        if (!join.error().empty()) {
            error = join.error();
            return false;
        }
        if (!writer.commit()) {
            error = writer.error();
            return false;
        }
        result.records[kindIndex(kind)] = writer.count();
    }
    return staged.place(error);
}

}  // namespace gw::world
