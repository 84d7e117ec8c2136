#include "tools/data/world_check.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "tools/data/world_scan.h"
#include "world/record_json.h"

namespace gw::tool {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

std::string keyText(const RecordKey& key) {
    switch (key.kind) {
        case KeyKind::Int32Pair:
            return std::to_string(key.number) + ":" + std::to_string(key.room);
        case KeyKind::Text:
            return "\"" + world::latin1ToUtf8(key.text) + "\"";
        default:
            return std::to_string(key.number);
    }
}

Json keyJson(const RecordKey& key) {
    switch (key.kind) {
        case KeyKind::Int32Pair:
            return Json::array({key.number, key.room});
        case KeyKind::Text:
            return world::latin1ToUtf8(key.text);
        default:
            return key.number;
    }
}

// The key of the record a reference names.
RecordKey targetKey(const WorldScan& scan, const Occurrence& o) {
    RecordKey key;
    key.kind = recordType(o.reference->to).key().kind;
    if (o.reference->scope == TargetScope::RoomOfMap) {
        key.number = scan.key(o.kind, o.record).number;
        key.room = o.value;
    } else {
        key.number = o.value;
    }
    return key;
}

// "ItemNumber[2]", "Race", "RoomExit[2] (East)".
std::string fieldText(const Occurrence& o) {
    std::string text(o.field->name);
    if (o.field->count > 1) text += "[" + std::to_string(o.index) + "]";
    if (o.reference->scope == TargetScope::RoomOfMap && o.index < values::kDirectionCount)
        text += " (" + std::string(values::kDirectionNames[o.index]) + ")";
    return text;
}

// The members every line shares, in the order a reader of the JSON expects them.
Json occurrenceJson(const WorldScan& scan, const Occurrence& o) {
    Json j = Json::object();
    j["type"] = std::string(recordType(o.kind).name());
    j["key"] = keyJson(scan.key(o.kind, o.record));
    j["field"] = std::string(o.field->name);
    j["index"] = o.field->count > 1 ? Json(o.index) : Json(nullptr);
    j["value"] = o.value;
    j["target"] = std::string(recordType(o.reference->to).name());
    return j;
}

// "wccknms2.dat  Monster 12  ItemNumber[2] = 3999"
std::string occurrenceText(const WorldScan& scan, const Occurrence& o) {
    return std::string(recordType(o.kind).fileName()) + "  " +
           std::string(recordType(o.kind).name()) + " " + keyText(scan.key(o.kind, o.record)) +
           "  " + fieldText(o) + " = " + std::to_string(o.value);
}

// A room's exit leads back when the room it reaches has an exit in the opposite direction
// to this room that counts as one (not a map change).
bool hasWayBack(const WorldScan& scan, const Occurrence& o) {
    const RecordKey& from = scan.key(o.kind, o.record);
    const RoomExits* target = scan.room(from.number, o.value);
    if (!target || o.index >= values::kDirectionCount) return true;
    const std::size_t back = values::oppositeDirection(o.index);
    return target->room[back] == from.room && o.reference->when.holdsFor(target->type[back]);
}

bool isDirectory(const std::string& dir, ToolIo io) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return true;
    io.err << "gravewind-data: " << dir << ": not a directory\n";
    return false;
}

int finish(std::ostream& out, ToolIo io, int code) {
    out.flush();
    if (!out) {
        io.err << "gravewind-data: standard output: write error\n";
        return kExitUsage;
    }
    return code;
}

std::string plural(std::size_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// The record type a name on the command line means, whatever its case.
const RecordType* typeNamed(std::string_view name) {
    auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    };
    for (RecordKind kind : allRecordKinds())
        if (same(recordType(kind).name(), name)) return &recordType(kind);
    return nullptr;
}

bool parseNumber(std::string_view text, std::int64_t& out) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, out);
    return !text.empty() && r.ec == std::errc() && r.ptr == end && out >= INT32_MIN &&
           out <= INT32_MAX;
}

}  // namespace

int checkWorld(const std::string& dir, bool json, ToolIo io) {
    if (!isDirectory(dir, io)) return kExitUsage;
    const WorldScan scan(dir, allRecordKinds(), std::nullopt, io);
    std::size_t missing = 0, oneWay = 0;
    for (const Occurrence& o : scan.occurrences()) {
        // Into a file that could not be read nothing can be judged.
        if (!scan.wasRead(o.reference->to)) continue;
        const bool exists = scan.targetExists(o);
        const bool back =
            !exists || o.reference->scope != TargetScope::RoomOfMap || hasWayBack(scan, o);
        if (exists && back) continue;
        ++(exists ? oneWay : missing);
        if (json) {
            Json j = occurrenceJson(scan, o);
            j["problem"] = exists ? "one-way" : "missing";
            io.out << j.dump() << "\n";
            continue;
        }
        io.out << occurrenceText(scan, o) << "  ";
        const RecordKey target = targetKey(scan, o);
        if (!exists) {
            io.out << "missing " << recordType(o.reference->to).name() << " " << keyText(target)
                   << "\n";
        } else {
            io.out << "one-way: Room " << keyText(target) << " has no "
                   << values::kDirectionNames[values::oppositeDirection(o.index)] << " exit back\n";
        }
    }
    // A record numbered 0 where 0 means none can be stored but never named: a warning.
    std::size_t numberedNone = 0;
    for (RecordKind kind : allRecordKinds()) {
        const RecordType& type = recordType(kind);
        if (!numberZeroMeansNone(type) || !scan.hasNumber(kind, 0)) continue;
        ++numberedNone;
        if (json) {
            Json j = Json::object();
            j["type"] = std::string(type.name());
            j["key"] = 0;
            j["problem"] = "numbered-none";
            io.out << j.dump() << "\n";
        } else {
            io.out << type.fileName() << "  " << type.name()
                   << " 0  numbered 0: every reference reads 0 as none\n";
        }
    }
    if (!json) {
        io.out << "checked " << plural(scan.recordCount(), "record", "records") << " in "
               << plural(scan.fileCount(), "file", "files") << ": "
               << plural(missing, "missing reference", "missing references") << " (errors), "
               << plural(oneWay, "one-way exit", "one-way exits");
        if (numberedNone != 0)
            io.out << ", " << plural(numberedNone, "record numbered 0", "records numbered 0");
        io.out << " (warnings)\n";
    }
    const int code = !scan.complete() ? kExitUsage : missing != 0 ? kExitDataError : kExitDone;
    return finish(io.out, io, code);
}

int findReferrers(const std::string& dir, const std::string& typeName, const std::string& key,
                  bool json, ToolIo io) {
    const RecordType* type = typeNamed(typeName);
    if (!type) {
        io.err << "gravewind-data: refs: no record type " << typeName
               << " (Race, Class, Spell, Monster, Item, Shop, Room, Message, Textblock, User)\n";
        return kExitUsage;
    }
    RecordKey wanted;
    wanted.kind = type->key().kind;
    bool keyOk = true;
    if (wanted.kind == KeyKind::Int32Pair) {
        const auto colon = key.find(':');
        keyOk = colon != std::string::npos &&
                parseNumber(std::string_view(key).substr(0, colon), wanted.number) &&
                parseNumber(std::string_view(key).substr(colon + 1), wanted.room);
    } else if (wanted.kind == KeyKind::Text) {
        keyOk = !key.empty();
    } else {
        keyOk = parseNumber(key, wanted.number);
    }
    if (!keyOk) {
        io.err << "gravewind-data: refs: " << key << " is not a " << type->name() << " key ("
               << (wanted.kind == KeyKind::Int32Pair ? "MAP:ROOM" : "a number") << ")\n";
        return kExitUsage;
    }
    if (!isDirectory(dir, io)) return kExitUsage;

    RecordKind target = RecordKind::Race;
    for (RecordKind kind : allRecordKinds())
        if (&recordType(kind) == type) target = kind;
    std::vector<RecordKind> referring;
    for (const Reference& r : allReferences())
        if (r.to == target &&
            std::find(referring.begin(), referring.end(), r.from) == referring.end())
            referring.push_back(r.from);
    const WorldScan scan(dir, referring, target, io);

    std::size_t found = 0;
    for (const Occurrence& o : scan.occurrences()) {
        const bool same =
            o.reference->scope == TargetScope::RoomOfMap
                ? scan.key(o.kind, o.record).number == wanted.number && o.value == wanted.room
                : o.value == wanted.number;
        if (!same) continue;
        ++found;
        if (json)
            io.out << occurrenceJson(scan, o).dump() << "\n";
        else
            io.out << occurrenceText(scan, o) << "\n";
    }
    if (!json)
        io.out << plural(found, "reference", "references") << " to " << type->name() << " "
               << keyText(wanted) << "\n";
    return finish(io.out, io, scan.complete() ? kExitDone : kExitUsage);
}

WorldCommands::WorldCommands(CLI::App& app) {
    check_ = app.add_subcommand("check",
                                "Report references to records that do not exist and one-way exits");
    check_->add_option("DIR", dir_, "Directory of the ten data files")->required();
    check_->add_flag("--json", json_, "One JSON object per problem (JSON Lines)");

    refs_ = app.add_subcommand("refs", "List every field of every record that names a record");
    refs_->add_option("DIR", dir_, "Directory of the ten data files")->required();
    refs_->add_option("TYPE", type_, "Record type (Item, Spell, Room, ...)")->required();
    refs_->add_option("KEY", key_, "Record number, or MAP:ROOM for a room")->required();
    refs_->add_flag("--json", json_, "One JSON object per reference (JSON Lines)");
}

bool WorldCommands::parsed() const { return check_->parsed() || refs_->parsed(); }

int WorldCommands::run(ToolIo io) const {
    if (check_->parsed()) return checkWorld(dir_, json_, io);
    return findReferrers(dir_, type_, key_, json_, io);
}

}  // namespace gw::tool
