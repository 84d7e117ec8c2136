#include "tools/data/world_check.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "world/record_json.h"
#include "world/renumber.h"
#include "world/world_check.h"
#include "world/world_scan.h"

namespace gw::tool {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using world::Occurrence;
using world::WorldScan;

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

bool isDirectory(const std::string& dir, ToolIo io) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return true;
    io.err << "gravewind-data: " << dir << ": not a directory\n";
    return false;
}

void reportUnreadable(const WorldScan& scan, ToolIo io) {
    for (const world::UnreadableFile& f : scan.unreadable())
        io.err << "gravewind-data: " << f.path << ": " << f.why << "; references to "
               << recordType(f.kind).name() << " records are not checked\n";
}

const char* problemWord(world::Problem p) {
    switch (p) {
        case world::Problem::Missing:
            return "missing";
        case world::Problem::OneWay:
            return "one-way";
        case world::Problem::Unresolved:
            break;
    }
    return "unresolved";
}

// The record TYPE KEY names on the command line, or a message on io.err.
std::optional<std::pair<RecordKind, RecordKey>> parseRecordName(std::string_view command,
                                                                const std::string& typeName,
                                                                const std::string& key, ToolIo io) {
    const auto kind = world::kindNamed(typeName);
    if (!kind) {
        io.err << "gravewind-data: " << command << ": no record type " << typeName
               << " (Race, Class, Spell, Monster, Item, Shop, Room, Message, Textblock, User)\n";
        return std::nullopt;
    }
    const RecordType& type = recordType(*kind);
    const auto wanted = world::parseKey(type.key().kind, key);
    if (!wanted) {
        io.err << "gravewind-data: " << command << ": " << key << " is not a " << type.name()
               << " key ("
               << (type.key().kind == KeyKind::Int32Pair ? "MAP:ROOM"
                   : type.key().kind == KeyKind::Text    ? "a name"
                                                         : "a number")
               << ")\n";
        return std::nullopt;
    }
    return std::pair{*kind, *wanted};
}

}  // namespace

int checkWorld(const std::string& dir, bool json, ToolIo io) {
    if (!isDirectory(dir, io)) return kExitUsage;
    world::ScanOptions options;
    options.progress = io.progress ? &io.err : nullptr;
    options.refuseFaultyRows = true;
    const WorldScan scan(dir, allRecordKinds(), options);
    reportUnreadable(scan, io);
    const world::CheckResult result = world::checkReferences(scan);
    for (const world::Finding& f : result.findings) {
        const Occurrence& o = *f.occurrence;
        if (json) {
            Json j = occurrenceJson(scan, o);
            j["problem"] = problemWord(f.problem);
            io.out << j.dump() << "\n";
            continue;
        }
        io.out << occurrenceText(scan, o) << "  ";
        const RecordKey target =
            world::targetKey(scan.key(o.kind, o.record), *o.reference, o.value);
        const std::string_view targetType = recordType(o.reference->to).name();
        switch (f.problem) {
            case world::Problem::Missing:
                io.out << "missing " << targetType << " " << keyText(target) << "\n";
                break;
            case world::Problem::Unresolved:
                io.out << "unresolved: no " << targetType << " " << keyText(target) << "\n";
                break;
            case world::Problem::OneWay: {
                const std::string_view back =
                    values::kDirectionNames[values::oppositeDirection(o.index)];
                io.out << "one-way: Room " << keyText(target);
                if (f.backIsMapChange)
                    io.out << " has a " << back << " exit, but it is a Map Change\n";
                else
                    io.out << " has no " << back << " exit back\n";
                break;
            }
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
               << plural(result.missing, "missing reference", "missing references") << " (errors), "
               << plural(result.oneWay, "one-way exit", "one-way exits") << ", "
               << plural(result.unresolved, "unresolved number", "unresolved numbers");
        if (numberedNone != 0)
            io.out << ", " << plural(numberedNone, "record numbered 0", "records numbered 0");
        io.out << " (warnings)\n";
    }
    const int code = !scan.complete()      ? kExitUsage
                     : result.missing != 0 ? kExitDataError
                                           : kExitDone;
    return finishOutput(io, code);
}

int findReferrers(const std::string& dir, const std::string& typeName, const std::string& key,
                  bool json, ToolIo io) {
    const auto named = parseRecordName("refs", typeName, key, io);
    if (!named) return kExitUsage;
    if (!isDirectory(dir, io)) return kExitUsage;
    const auto& [target, wanted] = *named;

    std::vector<RecordKind> kinds = world::kindsReferringTo(target);
    // The target's own file says whether the record exists.
    if (std::find(kinds.begin(), kinds.end(), target) == kinds.end()) kinds.push_back(target);
    world::ScanOptions options;
    options.onlyTo = target;
    options.onlyKey = wanted;
    options.progress = io.progress ? &io.err : nullptr;
    const WorldScan scan(dir, kinds, options);
    reportUnreadable(scan, io);
    for (const Occurrence& o : scan.occurrences()) {
        if (json)
            io.out << occurrenceJson(scan, o).dump() << "\n";
        else
            io.out << occurrenceText(scan, o) << "\n";
    }
    const bool exists = scan.find(target, wanted).has_value();
    const std::size_t found = scan.occurrences().size();
    if (!json) {
        io.out << plural(found, "reference", "references") << " to " << recordType(target).name()
               << " " << keyText(wanted);
        if (scan.wasRead(target) && !exists)
            io.out << ", which does not exist" << (found ? " (dangling)" : "");
        io.out << "\n";
    }
    const int code = !scan.complete() ? kExitUsage : !exists ? kExitDataError : kExitDone;
    return finishOutput(io, code);
}

int renumberRecord(const std::string& dir, const std::string& typeName, const std::string& from,
                   const std::string& to, bool dryRun, bool json, ToolIo io) {
    const auto oldName = parseRecordName("renumber", typeName, from, io);
    if (!oldName) return kExitUsage;
    const auto newName = parseRecordName("renumber", typeName, to, io);
    if (!newName) return kExitUsage;
    if (!isDirectory(dir, io)) return kExitUsage;
    const RecordKind kind = oldName->first;
    const world::Renumbering r =
        world::renumber(dir, kind, oldName->second, newName->second, dryRun);
    if (r.outcome != world::RenumberOutcome::Done) {
        io.err << "gravewind-data: renumber: " << r.message << "\n";
        return r.outcome == world::RenumberOutcome::Refused ? kExitDataError : kExitUsage;
    }
    for (const world::RenumberChange& c : r.changes) {
        const RecordType& holder = recordType(c.kind);
        if (json) {
            Json j = Json::object();
            j["file"] = std::string(holder.fileName());
            j["type"] = std::string(holder.name());
            j["key"] = keyJson(c.key);
            j["field"] = std::string(c.field->name);
            j["index"] = c.field->count > 1 ? Json(c.index) : Json(nullptr);
            j["old"] = c.before;
            j["new"] = c.after;
            io.out << j.dump() << "\n";
            continue;
        }
        io.out << world::describeChange(c) << "\n";
    }
    if (!json) {
        const std::string what = std::string(recordType(kind).name()) + " " +
                                 keyText(oldName->second) + " to " + keyText(newName->second);
        const std::string where =
            plural(r.changes.size(), "field", "fields") + " in " + plural(r.files, "file", "files");
        if (dryRun)
            io.out << "would renumber " << what << ": " << where << "; nothing written\n";
        else
            io.out << "renumbered " << what << ": " << where << "\n";
    }
    return finishOutput(io, kExitDone);
}

WorldCommands::WorldCommands(CLI::App& app) {
    check_ = app.add_subcommand("check",
                                "Report references to records that do not exist and one-way exits");
    check_->add_option("DIR", dir_, "Directory of the ten data files")->required();
    check_->add_flag("--json", json_, "One JSON object per problem (JSON Lines)");
    check_->footer(
        "Exit status: 0 no missing references, 1 some, 2 a usage error or a data file "
        "that cannot be read (named on standard error; the others are still checked).");

    refs_ = app.add_subcommand("refs", "List every field of every record that names a record");
    refs_->add_option("DIR", dir_, "Directory of the ten data files")->required();
    refs_->add_option("TYPE", type_, "Record type (Item, Spell, Room, ...)")->required();
    refs_->add_option("KEY", key_, "Record number, or MAP:ROOM for a room")->required();
    refs_->add_flag("--json", json_, "One JSON object per reference (JSON Lines)");
    refs_->footer(
        "Exit status: 0 done, 2 a usage error or a data file that cannot be read "
        "(named on standard error).");

    renumber_ = app.add_subcommand(
        "renumber",
        "Give a record another number and rewrite every field that names it, in every file, "
        "all or nothing. Exit 0 done, 1 refused (nothing written), 2 usage or unreadable file");
    renumber_->add_option("DIR", dir_, "Directory of the ten data files")->required();
    renumber_->add_option("TYPE", type_, "Record type (Item, Spell, Room, ...)")->required();
    renumber_->add_option("OLD", key_, "Record number, or MAP:ROOM for a room")->required();
    renumber_->add_option("NEW", newKey_, "Its new number, or MAP:ROOM in the same map")
        ->required();
    renumber_->add_flag("--dry-run", dryRun_, "List every change and write nothing");
    renumber_->add_flag("--json", json_, "One JSON object per change (JSON Lines)");
    renumber_->footer(
        "Exit status: 0 done, 1 refused (nothing written), 2 a usage error or a data file that "
        "cannot be read.");
}

bool WorldCommands::parsed() const {
    return check_->parsed() || refs_->parsed() || renumber_->parsed();
}

int WorldCommands::run(ToolIo io) const {
    if (check_->parsed()) return checkWorld(dir_, json_, io);
    if (renumber_->parsed()) return renumberRecord(dir_, type_, key_, newKey_, dryRun_, json_, io);
    return findReferrers(dir_, type_, key_, json_, io);
}

}  // namespace gw::tool
