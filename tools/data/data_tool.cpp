#include "tools/data/data_tool.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "records/records.h"
#include "store/record_manager.h"
#include "tools/data/demo_world.h"
#include "tools/data/map_command.h"
#include "tools/data/tool_file.h"
#include "tools/data/unload_format.h"
#include "tools/data/world_check.h"
#include "tools/data/world_text_commands.h"

namespace gw::tool {

namespace {
namespace fs = std::filesystem;
}  // namespace

int fail(ToolIo io, const std::string& message) {
    io.err << "gravewind-data: " << message << "\n";
    return kExitDataError;
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
                     "Unload file, or JSON Lines as dump writes them (default: standard input)");
    bool partial = false;
    load->add_flag("--partial", partial,
                   "JSON Lines: a missing member keeps the value a new record has");

    auto* unload =
        app.add_subcommand("unload", "Write every record in key order in the unload format");
    unload->add_option("FILE", file, "Data file to read")->required();
    unload->add_option("OUTPUT", output, "File to write (default: standard output)");

    auto* dump = app.add_subcommand("dump", "Write every record as JSON Lines in key order");
    dump->add_option("FILE", file, "Data file to read")->required();

    std::vector<std::string> files;
    auto* verify = app.add_subcommand("verify", "Run the integrity check on each data file");
    verify->add_option("FILE", files, "Data files to check")->required();

    auto* demo = app.add_subcommand("demo", "Build a synthetic demo world in DIR");
    demo->add_option("DIR", dir, "Directory for the ten data files")->required();
    demo->add_option("--size", size, "small or large (default large)")
        ->check(CLI::IsMember({"small", "large"}));
    demo->add_flag("--force", force, "Replace data files that exist already");

    std::int32_t mapNumber = 0;
    auto* map = app.add_subcommand("map", "Draw one map of the world in DIR as a PNG or SVG picture");
    map->add_option("DIR", dir, "Directory of the ten data files")->required();
    map->add_option("MAP", mapNumber, "Map number")->required();
    map->add_option("OUTPUT", output, "Picture to write: a .png or .svg file")->required();

    WorldCommands world(app);
    TextCommands text(app);

    std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, io.out, io.err);
        return code == 0 ? kExitDone : kExitUsage;
    }
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
