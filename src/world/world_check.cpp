#include "world/world_check.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace gw::world {

namespace {

bool parseNumber(std::string_view text, std::int64_t& out) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, out);
    return !text.empty() && r.ec == std::errc() && r.ptr == end && out >= INT32_MIN &&
           out <= INT32_MAX;
}

}  // namespace

CheckResult checkReferences(const WorldScan& scan) {
    CheckResult result;
    for (const Occurrence& o : scan.occurrences()) {
        // Into a file that could not be read nothing can be judged.
        if (!scan.wasRead(o.reference->to)) continue;
        if (!scan.targetExists(o)) {
            const bool labelOnly = o.reference->labelOnly;
            result.findings.push_back({&o, labelOnly ? Problem::Unresolved : Problem::Missing});
            ++(labelOnly ? result.unresolved : result.missing);
            continue;
        }
        if (o.reference->scope != TargetScope::RoomOfMap || o.index >= values::kDirectionCount)
            continue;
        // An exit leads back when the room it reaches has an exit in the opposite direction
        // to this room that counts as one (not a map change). A room's exit to itself is a
        // way back of its own.
        const RecordKey& from = scan.key(o.kind, o.record);
        if (o.value == from.room) continue;
        const RoomExits* target = scan.room(from.number, o.value);
        const std::size_t back = values::oppositeDirection(o.index);
        if (target->room[back] == from.room && o.reference->when.holdsFor(target->type[back]))
            continue;
        result.findings.push_back({&o, Problem::OneWay, target->room[back] == from.room});
        ++result.oneWay;
    }
    return result;
}

std::optional<RecordKind> kindNamed(std::string_view name) {
    auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    };
    for (RecordKind kind : allRecordKinds())
        if (same(recordType(kind).name(), name)) return kind;
    return std::nullopt;
}

std::optional<RecordKey> parseKey(KeyKind kind, std::string_view text) {
    RecordKey key;
    key.kind = kind;
    bool ok = false;
    if (kind == KeyKind::Int32Pair) {
        const auto colon = text.find(':');
        ok = colon != std::string_view::npos && parseNumber(text.substr(0, colon), key.number) &&
             parseNumber(text.substr(colon + 1), key.room);
    } else if (kind == KeyKind::Text) {
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        key.text = std::string(text);
        ok = !key.text.empty();
    } else {
        ok = parseNumber(text, key.number);
    }
    return ok ? std::optional(key) : std::nullopt;
}

std::vector<RecordKind> kindsReferringTo(RecordKind target) {
    std::vector<RecordKind> kinds;
    for (RecordKind kind : allRecordKinds())
        for (const Reference& r : allReferences())
            if (r.from == kind && r.to == target) {
                kinds.push_back(kind);
                break;
            }
    return kinds;
}

}  // namespace gw::world
