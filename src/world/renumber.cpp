#include "world/renumber.h"

#include <algorithm>
#include <map>

#include "store/group_write.h"
#include "world/record_json.h"
#include "world/world_check.h"
#include "world/world_scan.h"

namespace gw::world {

namespace {

std::string keyName(const RecordType& type, const RecordKey& key) {
    std::string text = std::string(type.name()) + " " + std::to_string(key.number);
    if (key.kind == KeyKind::Int32Pair) text += ":" + std::to_string(key.room);
    return text;
}

void putInt(std::vector<std::uint8_t>& row, const FieldInfo& field, std::size_t index,
            std::int64_t value) {
    const std::size_t at = field.rowOffset + index * field.stride;
    for (std::size_t b = 0; b < field.width && at + b < row.size(); ++b)
        row[at + b] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * b));
}

std::int64_t storedInt(const std::vector<std::uint8_t>& row, const FieldInfo& field,
                       std::size_t index) {
    const std::size_t at = field.rowOffset + index * field.stride;
    std::uint64_t v = 0;
    for (std::size_t b = 0; b < field.width && at + b < row.size(); ++b)
        v |= std::uint64_t{row[at + b]} << (8 * b);
    return static_cast<std::int64_t>(v);
}

Renumbering refuse(RenumberOutcome outcome, std::string message) {
    Renumbering r;
    r.outcome = outcome;
    r.message = std::move(message);
    return r;
}

}  // namespace

std::string describeChange(const RenumberChange& c) {
    const RecordType& holder = recordType(c.kind);
    std::string text = std::string(holder.fileName()) + "  " + std::string(holder.name()) + " " +
                       keyText(c.key) + "  " + std::string(c.field->name);
    if (c.field->count > 1) text += "[" + std::to_string(c.index) + "]";
    return text + "  " + std::to_string(c.before) + " -> " + std::to_string(c.after);
}

Renumbering renumber(const std::filesystem::path& dir, RecordKind kind, const RecordKey& from,
                     const RecordKey& to, bool dryRun) {
    const RecordType& type = recordType(kind);
    const KeyKind keyKind = type.key().kind;
    if (keyKind == KeyKind::Text)
        return refuse(RenumberOutcome::Refused,
                      std::string(type.name()) + " records are named, not numbered");
    // The field that holds the number: the room number of a room, else the key itself.
    const FieldInfo& numberField = type.fields()[keyKind == KeyKind::Int32Pair ? 1 : 0];
    const std::int64_t newNumber = keyKind == KeyKind::Int32Pair ? to.room : to.number;
    if (keyKind == KeyKind::Int32Pair && to.number != from.number)
        return refuse(RenumberOutcome::Refused, "a room keeps its map: " + keyName(type, to) +
                                                    " is in map " + std::to_string(to.number) +
                                                    ", not " + std::to_string(from.number));
    if (newNumber < 1 || newNumber > numberField.maxValue())
        return refuse(RenumberOutcome::Refused, std::to_string(newNumber) + " is not a " +
                                                    std::string(type.name()) + " number (1 to " +
                                                    std::to_string(numberField.maxValue()) + ")");

    std::vector<RecordKind> kinds = kindsReferringTo(kind);
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.push_back(kind);
    ScanOptions options;
    options.onlyTo = kind;
    options.onlyKey = from;
    options.keepRows = true;
    const WorldScan scan(dir, kinds, options);
    if (!scan.complete()) {
        const UnreadableFile& f = scan.unreadable().front();
        return refuse(RenumberOutcome::Unreadable, f.path + ": " + f.why);
    }
    const auto self = scan.find(kind, from);
    if (!self) return refuse(RenumberOutcome::Refused, keyName(type, from) + " does not exist");
    if (scan.find(kind, to))
        return refuse(RenumberOutcome::Refused, keyName(type, to) + " exists already");

    Renumbering result;
    // Every row that changes, by file and ordinal, with all of its changes applied.
    std::map<std::pair<RecordKind, std::uint32_t>, RowRewrite> rows;
    auto rewrite = [&](RecordKind k, std::uint32_t ordinal) -> RowRewrite& {
        auto [it, added] = rows.try_emplace({k, ordinal});
        if (added) it->second.before = it->second.after = *scan.row(k, ordinal);
        return it->second;
    };
    RowRewrite& own = rewrite(kind, *self);
    putInt(own.after, numberField, 0, newNumber);
    result.changes.push_back(
        {kind, from, &numberField, 0, storedInt(own.before, numberField, 0), newNumber});
    for (const Occurrence& o : scan.occurrences()) {
        const std::int64_t mask = o.reference->mask;
        if ((mask != 0 && (newNumber & ~mask) != 0) || newNumber > o.field->maxValue())
            return refuse(RenumberOutcome::Refused,
                          std::string(recordType(o.kind).name()) + " field " +
                              std::string(o.field->name) + " names " + keyName(type, from) +
                              " but cannot hold " + std::to_string(newNumber));
        RowRewrite& row = rewrite(o.kind, o.record);
        const std::int64_t before = storedInt(row.before, *o.field, o.index);
        const std::int64_t after = mask != 0 ? (before & ~mask) | newNumber : newNumber;
        putInt(row.after, *o.field, o.index, after);
        result.changes.push_back(
            {o.kind, scan.key(o.kind, o.record), o.field, o.index, o.value, newNumber});
    }

    std::vector<FileRewrite> files;
    for (auto& [where, row] : rows) {
        const RecordType& t = recordType(where.first);
        if (files.empty() || files.back().recordType != t.name())
            files.push_back({(dir / t.fileName()).string(), std::string(t.name()), {}});
        files.back().rows.push_back(std::move(row));
    }
    result.files = files.size();
    if (dryRun) return result;
    std::string problem;
    if (const Status s = rewriteTogether(files, problem); s != status::kSuccess) {
        const bool refused = s == status::kDuplicateKey || s == status::kKeyNotFound;
        return refuse(refused ? RenumberOutcome::Refused : RenumberOutcome::Unreadable,
                      problem + "; nothing was written");
    }
    return result;
}

}  // namespace gw::world
