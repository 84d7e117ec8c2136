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
#include "tools/data/record_json.h"
#include "tools/data/tool_file.h"
#include "tools/data/unload_format.h"
#include "tools/data/world_check.h"

namespace gw::tool {

namespace {

namespace fs = std::filesystem;

int fail(ToolIo io, const std::string& message) {
    io.err << "gravewind-data: " << message << "\n";
    return kExitDataError;
}

int openFailure(ToolIo io, const std::string& file, Status s) {
    return fail(io, file + ": " + describeStatus("BOPEN", s));
}

bool readAll(std::istream& in, std::string& out) {
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Large loads show how far they are on a terminal; small ones would only flicker.
constexpr std::size_t kProgressThreshold = 5000;
constexpr std::size_t kProgressStep = 1000;

}  // namespace

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

int loadFile(const std::string& file, const std::string& input, ToolIo io) {
    std::string data;
    if (input.empty()) {
        if (!readAll(io.in, data)) return fail(io, "cannot read standard input");
    } else {
        std::ifstream in(input, std::ios::binary);
        if (!in) return fail(io, input + ": cannot open for reading");
        if (!readAll(in, data)) return fail(io, input + ": read error");
    }

    ToolFile f;
    if (Status s = f.open(file); s != status::kSuccess) return openFailure(io, file, s);

    // Parse everything before the first write: a malformed input changes nothing.
    std::vector<UnloadRecord> records;
    UnloadError error;
    if (!parseUnload(data, f.info().recordLength, records, error))
        return fail(io, (input.empty() ? std::string("standard input") : input) + ": " +
                            error.message() + "; nothing was loaded");

    const bool showProgress = io.progress && records.size() >= kProgressThreshold;
    std::size_t failedAt = 0;
    Status failedWith = status::kSuccess;
    const Status s = inTransaction(f.positionBlock(), [&]() -> Status {
        for (std::size_t i = 0; i < records.size(); ++i) {
            const auto& r = records[i];
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(r.bytes.data());
            if (Status st = f.insert({bytes, r.bytes.size()}); st != status::kSuccess) {
                failedAt = i + 1;
                failedWith = st;
                return st;
            }
            if (showProgress && (i + 1) % kProgressStep == 0)
                io.err << "\rloading " << file << ": " << (i + 1) << " of " << records.size()
                       << std::flush;
        }
        return status::kSuccess;
    });
    if (showProgress) io.err << "\r\x1b[K" << std::flush;
    if (failedAt != 0) {
        const auto& r = records[failedAt - 1];
        UnloadError e{r.ordinal, r.offset, describeStatus("BINSERT", failedWith)};
        return fail(io, file + ": " + e.message() + "; nothing was loaded");
    }
    if (s != status::kSuccess)
        return fail(io, file + ": " + describeStatus("commit", s) + "; nothing was loaded");
    io.out << "loaded " << records.size() << " records into " << file << "\n";
    return kExitDone;
}

int unloadFile(const std::string& file, const std::string& output, ToolIo io) {
    ToolFile f;
    if (Status s = f.open(file); s != status::kSuccess) return openFailure(io, file, s);
    std::ofstream outFile;
    if (!output.empty()) {
        outFile.open(output, std::ios::binary | std::ios::trunc);
        if (!outFile) return fail(io, output + ": cannot open for writing");
    }
    std::ostream& out = output.empty() ? io.out : outFile;
    std::vector<std::uint8_t> row;
    Status s = f.read(BGETFIRST, row);
    for (; s == status::kSuccess; s = f.read(BGETNEXT, row)) writeUnloadRecord(out, row);
    if (s != status::kEndOfFile) {
        if (!output.empty()) {
            outFile.close();
            std::error_code ec;
            fs::remove(output, ec);
        }
        return fail(io, file + ": " + describeStatus("BGETNEXT", s));
    }
    out << kUnloadEnd;
    out.flush();
    if (!out) return fail(io, (output.empty() ? "standard output" : output) + ": write error");
    return kExitDone;
}

int dumpFile(const std::string& file, ToolIo io) {
    ToolFile f;
    if (Status s = f.open(file); s != status::kSuccess) return openFailure(io, file, s);
    const RecordType* type = f.recordType();
    if (!type) return fail(io, file + ": holds records of unknown type " + f.info().recordType);
    std::vector<std::uint8_t> row;
    Status s = f.read(BGETFIRST, row);
    for (; s == status::kSuccess; s = f.read(BGETNEXT, row))
        io.out << rowToJson(*type, row).dump() << "\n";
    if (s != status::kEndOfFile) return fail(io, file + ": " + describeStatus("BGETNEXT", s));
    io.out.flush();
    if (!io.out) return fail(io, "standard output: write error");
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

int runDataTool(const std::vector<std::string>& args, ToolIo io) {
    CLI::App app{"Creates, fills, inspects and backs up the game's ten data files.",
                 "gravewind-data"};
    app.require_subcommand(1);
    bool force = false;
    std::string dir, file, input, output, size = "large";

    auto* create = app.add_subcommand("create", "Create the ten empty data files in DIR");
    create->add_option("DIR", dir, "Directory to create them in")->required();
    create->add_flag("--force", force, "Replace data files that exist already");

    auto* load = app.add_subcommand(
        "load", "Add the records of an unload file to a data file, all or nothing");
    load->add_option("FILE", file, "Data file to add to")->required();
    load->add_option("INPUT", input, "Unload file (default: standard input)");

    auto* unload =
        app.add_subcommand("unload", "Write every record in key order in the unload format");
    unload->add_option("FILE", file, "Data file to read")->required();
    unload->add_option("OUTPUT", output, "File to write (default: standard output)");

    auto* dump = app.add_subcommand("dump", "Write every record as JSON Lines in key order");
    dump->add_option("FILE", file, "Data file to read")->required();

    auto* demo = app.add_subcommand("demo", "Build a synthetic demo world in DIR");
    demo->add_option("DIR", dir, "Directory for the ten data files")->required();
    demo->add_option("--size", size, "small or large (default large)")
        ->check(CLI::IsMember({"small", "large"}));
    demo->add_flag("--force", force, "Replace data files that exist already");

    WorldCommands world(app);

    std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, io.out, io.err);
        return code == 0 ? kExitDone : kExitUsage;
    }
    if (create->parsed()) return createFiles(dir, force, io);
    if (load->parsed()) return loadFile(file, input, io);
    if (unload->parsed()) return unloadFile(file, output, io);
    if (dump->parsed()) return dumpFile(file, io);
    if (world.parsed()) return world.run(io);
    return buildDemo(dir, size, force, io);
}

}  // namespace gw::tool
