#include "tools/data/world_text_commands.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "records/references.h"
#include "tools/data/world_check.h"
#include "world/record_json.h"
#include "world/world_check.h"
#include "world/world_diff.h"
#include "world/world_scan.h"

namespace gw::tool {

namespace {

std::size_t total(const world::RecordCounts& counts) {
    std::size_t n = 0;
    for (std::size_t c : counts) n += c;
    return n;
}

int failUsage(ToolIo io, const std::string& message) {
    fail(io, message);
    return kExitUsage;
}

std::string typeAndKey(RecordKind kind, const RecordKey& key) {
    return std::string(recordType(kind).name()) + " " + world::keyText(key);
}

// "type":"Item","key":3, shared by every JSON line about a record.
std::string recordMembers(RecordKind kind, const RecordKey& key) {
    return "\"type\":\"" + std::string(recordType(kind).name()) +
           "\",\"key\":" + world::keyJson(key);
}

void printDifference(const world::RecordDifference& d, bool json, std::ostream& out) {
    const RecordType& type = recordType(d.kind);
    const RecordKey key = recordKeyOfRow(type, d.before.empty() ? d.after : d.before);
    const char* change = d.change == world::Change::Added     ? "added"
                         : d.change == world::Change::Removed ? "removed"
                                                              : "changed";
    if (!json) {
        out << typeAndKey(d.kind, key) << " " << change << "\n";
        for (const world::FieldSlot& slot : d.fields)
            out << "  " << world::slotName(slot) << ": " << world::slotJson(type, slot, d.before)
                << " -> " << world::slotJson(type, slot, d.after) << "\n";
        return;
    }
    std::string line = "{" + recordMembers(d.kind, key) + ",\"change\":\"" + change + "\"";
    if (d.change == world::Change::Changed) {
        line += ",\"fields\":[";
        for (std::size_t i = 0; i < d.fields.size(); ++i) {
            const world::FieldSlot& slot = d.fields[i];
            const bool run = slot.field && slot.field->count > 1;
            line += i ? ",{" : "{";
            line +=
                "\"field\":\"" + std::string(slot.field ? slot.field->name : world::kTailMember);
            line += "\",\"index\":" + (run ? std::to_string(slot.index) : std::string("null"));
            line += ",\"old\":" + world::slotJson(type, slot, d.before);
            line += ",\"new\":" + world::slotJson(type, slot, d.after) + "}";
        }
        line += "]";
    } else {
        line += ",\"record\":";
        world::appendRowJson(line, type, d.before.empty() ? d.after : d.before);
    }
    out << line << "}\n";
}

void printConflict(const world::Conflict& c, bool json, std::ostream& out) {
    if (json) {
        out << "{" << recordMembers(c.kind, c.key)
            << ",\"field\":" << (c.field.empty() ? std::string("null") : "\"" + c.field + "\"")
            << ",\"base\":" << c.base << ",\"ours\":" << c.ours << ",\"theirs\":" << c.theirs
            << "}\n";
        return;
    }
    out << "conflict  " << typeAndKey(c.kind, c.key) << "  ";
    if (c.field.empty()) {
        const bool oursDeleted = c.ours == "\"deleted\"";
        out << (oursDeleted ? "deleted by ours, changed by theirs: stays deleted"
                            : "changed by ours, deleted by theirs: ours kept")
            << "\n";
        return;
    }
    out << c.field << "  base " << c.base << "  ours " << c.ours << "  theirs " << c.theirs
        << ": ours kept\n";
}

// How many references the world check finds dangling in dir, or -1 when it cannot tell.
long danglingReferences(const std::string& dir, ToolIo io) {
    world::ScanOptions options;
    options.refuseFaultyRows = true;
    const world::WorldScan scan(dir, allRecordKinds(), options);
    for (const world::UnreadableFile& f : scan.unreadable())
        io.err << "gravewind-data: " << f.path << ": " << f.why << "\n";
    return scan.complete() ? static_cast<long>(world::checkReferences(scan).missing) : -1;
}

}  // namespace

int exportWorld(const std::string& dir, const std::string& textDir, ToolIo io) {
    world::RecordCounts counts{};
    std::string error;
    if (!world::exportWorld(dir, textDir, error, &counts)) return fail(io, error);
    io.out << "exported " << plural(total(counts), "record", "records") << " from " << dir
           << " into ten text files in " << textDir << "\n";
    return finishOutput(io, kExitDone);
}

int importWorld(const std::string& textDir, const std::string& dir, bool force, ToolIo io) {
    world::RecordCounts counts{};
    std::string error;
    if (!world::importWorld(textDir, dir, force, error, &counts))
        return fail(io, error + "; nothing was written");
    io.out << "imported " << plural(total(counts), "record", "records") << " from " << textDir
           << " into the ten data files in " << dir << "\n";
    return finishOutput(io, kExitDone);
}

int diffWorlds(const std::string& a, const std::string& b, bool json, ToolIo io) {
    std::size_t counts[3] = {};
    std::string error;
    const bool read = world::diffWorlds(
        a, b,
        [&](const world::RecordDifference& d) {
            ++counts[static_cast<int>(d.change)];
            printDifference(d, json, io.out);
        },
        error);
    if (!read) return failUsage(io, error);
    const std::size_t differ = counts[0] + counts[1] + counts[2];
    if (!json) {
        if (differ == 0)
            io.out << "the worlds are the same\n";
        else
            io.out << plural(differ, "record differs", "records differ") << ": " << counts[0]
                   << " added, " << counts[1] << " removed, " << counts[2] << " changed\n";
    }
    return finishOutput(io, differ == 0 ? kExitDone : kExitDataError);
}

int mergeWorlds(const std::string& base, const std::string& ours, const std::string& theirs,
                const std::string& out, bool force, bool json, ToolIo io) {
    world::MergeResult result;
    std::string error;
    if (!world::mergeWorlds(base, ours, theirs, out, force, result, error))
        return failUsage(io, error + "; nothing was written");
    for (const world::Conflict& c : result.conflicts) printConflict(c, json, io.out);
    const long dangling = danglingReferences(out, io);
    const std::size_t records = total(result.records);
    if (json) {
        io.out << "{\"records\":" << records << ",\"fromTheirs\":" << result.fromTheirs
               << ",\"conflicts\":" << result.conflicts.size() << ",\"dangling\":"
               << (dangling < 0 ? std::string("null") : std::to_string(dangling)) << "}\n";
    } else {
        io.out << "merged " << plural(records, "record", "records") << " into " << out << " ("
               << result.fromTheirs << " with changes from theirs): "
               << plural(result.conflicts.size(), "conflict", "conflicts") << " (ours kept), ";
        if (dangling < 0)
            io.out << "references not checked\n";
        else
            io.out << plural(static_cast<std::size_t>(dangling), "reference", "references")
                   << " left dangling (gravewind-data check " << out << " lists them)\n";
    }
    return finishOutput(io, result.conflicts.empty() ? kExitDone : kExitDataError);
}

TextCommands::TextCommands(CLI::App& app) {
    export_ = app.add_subcommand(
        "export", "Write the ten data files of DIR as ten JSON Lines files, one record a line");
    export_->add_option("DIR", first_, "Directory of the ten data files")->required();
    export_->add_option("OUTDIR", second_, "Folder for the text files (made when missing)")
        ->required();

    import_ = app.add_subcommand(
        "import", "Build the ten data files of DIR from the text files of OUTDIR, all or nothing");
    import_->add_option("OUTDIR", first_, "Folder of the ten .jsonl files")->required();
    import_->add_option("DIR", second_, "Directory for the ten data files")->required();
    import_->add_flag("--force", force_, "Replace data files that exist already");

    diff_ = app.add_subcommand(
        "diff", "Records added, removed and changed from world A to world B (exit 1 if any)");
    diff_->add_option("A", first_, "Directory of the first world")->required();
    diff_->add_option("B", second_, "Directory of the second world")->required();
    diff_->add_flag("--json", json_, "One JSON object per record (JSON Lines)");

    merge_ = app.add_subcommand(
        "merge", "Three-way merge of two worlds changed from BASE, field by field, into OUT");
    merge_->add_option("BASE", first_, "Directory of the world both started from")->required();
    merge_->add_option("OURS", second_, "Directory of our world (kept where both changed)")
        ->required();
    merge_->add_option("THEIRS", third_, "Directory of their world")->required();
    merge_->add_option("OUT", out_, "Directory for the merged world (written whole or not at all)")
        ->required();
    merge_->add_flag("--force", force_, "Replace data files that exist in OUT already");
    merge_->add_flag("--json", json_, "One JSON object per conflict, then the summary");
}

bool TextCommands::parsed() const {
    return export_->parsed() || import_->parsed() || diff_->parsed() || merge_->parsed();
}

int TextCommands::run(ToolIo io) const {
    if (export_->parsed()) return exportWorld(first_, second_, io);
    if (import_->parsed()) return importWorld(first_, second_, force_, io);
    if (diff_->parsed()) return diffWorlds(first_, second_, json_, io);
    return mergeWorlds(first_, second_, third_, out_, force_, json_, io);
}

}  // namespace gw::tool
