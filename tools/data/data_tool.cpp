#include "tools/data/data_tool.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "records/records.h"
#include "store/record_manager.h"
#include "tools/data/demo_world.h"
#include "tools/data/map_command.h"
#include "tools/data/unload_format.h"
#include "tools/data/world_check.h"
#include "tools/data/world_text_commands.h"
#include "world/world_file.h"

namespace gw::tool {

using world::describeStatus;

namespace {
namespace fs = std::filesystem;
}  // namespace

int fail(ToolIo io, const std::string& message) {
    io.err << "gravewind-data: " << message << "\n";
    return kExitDataError;
}

int finishOutput(ToolIo io, int code) {
    io.out.flush();
    if (!io.out) {
        io.err << "gravewind-data: standard output: write error\n";
        return kExitUsage;
    }
    return code;
}

std::string plural(std::size_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

int createFiles(const std::string& dir, bool force, ToolIo io) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) return fail(io, dir + ": cannot create the directory: " + ec.message());
    // Check all ten first, so a refusal leaves the directory as it was.
    if (!force) {
        for (RecordKind kind : allRecordKinds()) {
            const fs::path path = fs::path(dir) / recordType(kind).fileName();
            if (fs::exists(path, ec))
                return fail(io, path.string() + ": file exists (use --force to replace it)");
        }
    }
    for (RecordKind kind : allRecordKinds()) {
        const RecordType& type = recordType(kind);
        const fs::path path = fs::path(dir) / type.fileName();
        DataFileInfo info{std::string(type.name()), type.key(), type.dataLength(), kFormatVersion};
        if (Status s = createDataFile(path.string(), info, force); s != status::kSuccess)
            return fail(io, path.string() + ": cannot create: " + describeStatus("create", s));
    }
    io.out << "created the ten data files in " << dir << "\n";
    return kExitDone;
}

int buildDemo(const std::string& dir, const std::string& size, bool force, ToolIo io) {
    demo::DemoOptions options;
    options.size = size == "small" ? demo::DemoSize::Small : demo::DemoSize::Large;
    options.overwrite = force;
    demo::DemoCounts counts;
    std::string error;
    if (demo::buildDemoWorld(dir, options, &error, &counts) != status::kSuccess)
        return fail(io, error);
    io.out << "demo world (" << size << ") in " << dir << ":\n";
    for (std::size_t i = 0; i < kRecordKindCount; ++i) {
        const RecordType& type = recordType(allRecordKinds()[i]);
        io.out << "  " << type.fileName() << "  " << counts.records[i] << " " << type.name()
               << " records\n";
    }
    return kExitDone;
}

namespace {

// Edits (insert, delete, change, swap of neighbours) that turn a into b.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// The message for a first argument that is no command: itself, the nearest command when one
// is near, and all of them.
std::string unknownCommand(const std::string& word, const std::vector<std::string>& commands) {
    std::string message = "unknown command \"" + word + "\"";
    std::string all, nearest;
    std::size_t best = 3;  // further than two edits is a guess, not a typo
    for (const std::string& name : commands) {
        all += (all.empty() ? "" : ", ") + name;
        if (const std::size_t d = editDistance(word, name); d < best) {
            best = d;
            nearest = name;
        }
    }
    if (!nearest.empty()) message += "; did you mean \"" + nearest + "\"?";
    return message + "\ncommands: " + all + " (gravewind-data COMMAND --help for each)";
}

const std::string kExitCodes =
    "Exit status: 0 done, 1 data error (named on standard error), 2 usage error.";
const std::string kReadingNote = "A data file another program is writing is retried for up to " +
                                 std::to_string(kLockedRetrySeconds) +
                                 " seconds before the command gives up.";

int runCommand(const std::vector<std::string>& args, ToolIo io) {
    CLI::App app{"Creates, fills, inspects and backs up the game's ten data files.",
                 "gravewind-data"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "gravewind-data " + std::to_string(GRAVEWIND_VERSION_MAJOR) +
                                          "." + std::to_string(GRAVEWIND_VERSION_MINOR) + "." +
                                          std::to_string(GRAVEWIND_VERSION_REVISION));
    bool force = false;
    std::string dir, file, input, output, size = "large";

    auto* create = app.add_subcommand("create", "Create the ten empty data files in DIR");
    create->add_option("DIR", dir, "Directory to create them in")->required();
    create->add_flag("--force", force, "Replace data files that exist already");

    auto* load = app.add_subcommand(
        "load", "Add the records of an unload file to a data file, all or nothing");
    load->add_option("FILE", file, "Data file to add to")->required();
    load->add_option("INPUT", input,
                     "Unload file, or JSON Lines as dump writes them (default or -: standard "
                     "input)");
    bool partial = false;
    load->add_flag("--partial", partial,
                   "JSON Lines: a missing member keeps the value a new record has");

    auto* unload =
        app.add_subcommand("unload", "Write every record in key order in the unload format");
    unload->add_option("FILE", file, "Data file to read")->required();
    unload->add_option("OUTPUT", output, "File to write (default or -: standard output)");
    unload->footer(
        "A row that would not load back as it is stored (a length other than the "
        "file's record length, key fields that disagree with its key) is named and "
        "nothing is written.\n" +
        kReadingNote + "\n" + kExitCodes);

    auto* dump = app.add_subcommand("dump", "Write every record as JSON Lines in key order");
    dump->add_option("FILE", file, "Data file to read")->required();
    dump->footer(kReadingNote + "\n" + kExitCodes);

    std::vector<std::string> files;
    auto* verify = app.add_subcommand("verify", "Run the integrity check on each data file");
    verify->add_option("FILE", files, "Data files to check")->required();
    verify->footer(
        "Besides sqlite's integrity check, every row's length must be the file's "
        "record length and its key fields the key it is stored under, and the file's "
        "description must match the record type its name stands for.\n" +
        kReadingNote +
        "\nExit status: 0 every file sound, 1 a file missing, damaged or with rows "
        "that would not load back (named on standard error), 2 usage error.");

    auto* demo = app.add_subcommand("demo", "Build a synthetic demo world in DIR");
    demo->add_option("DIR", dir, "Directory for the ten data files")->required();
    demo->add_option("--size", size, "small or large (default large)")
        ->check(CLI::IsMember({"small", "large"}));
    demo->add_flag("--force", force, "Replace data files that exist already");

    std::int32_t mapNumber = 0;
    auto* map =
        app.add_subcommand("map", "Draw one map of the world in DIR as a PNG or SVG picture");
    map->add_option("DIR", dir, "Directory of the ten data files")->required();
    map->add_option("MAP", mapNumber, "Map number")->required();
    map->add_option("OUTPUT", output, "Picture to write: a .png or .svg file")->required();

    WorldCommands world(app);
    TextCommands text(app);
    std::vector<std::string> commands;
    for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
        commands.push_back(sub->get_name());
        if (sub->get_footer().empty()) sub->footer(kExitCodes);
    }
    app.footer("A file name that begins with - goes after --: gravewind-data dump -- -old.dat\n");

    if (args.size() > 1 && !args[1].starts_with("-") &&
        std::ranges::find(commands, args[1]) == commands.end()) {
        io.err << "gravewind-data: " << unknownCommand(args[1], commands) << "\n";
        return kExitUsage;
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, io.out, io.err);
        return code == 0 ? kExitDone : kExitUsage;
    }
    // "-" stands for standard input or output, as elsewhere; "./-" names a file called "-".
    if (input == "-") input.clear();
    if (output == "-") output.clear();
    if (verify->parsed()) return verifyFiles(files, io);
    if (create->parsed()) return createFiles(dir, force, io);
    if (load->parsed()) return loadFile(file, input, io, partial);
    if (unload->parsed()) return unloadFile(file, output, io);
    if (dump->parsed()) return dumpFile(file, io);
    if (map->parsed()) return drawMap(dir, mapNumber, output, io);
    if (world.parsed()) return world.run(io);
    if (text.parsed()) return text.run(io);
    return buildDemo(dir, size, force, io);
}

}  // namespace

int runDataTool(const std::vector<std::string>& args, ToolIo io) {
    // Whatever escapes a command is still a message and a data error, never an abort.
    try {
        return runCommand(args, io);
    } catch (const std::bad_alloc&) {
        return fail(io, "out of memory");
    } catch (const std::exception& e) {
        return fail(io, std::string("unexpected error: ") + e.what());
    }
}

}  // namespace gw::tool
