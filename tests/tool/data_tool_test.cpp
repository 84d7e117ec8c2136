// gravewind-data against the real record manager, through its command line, and the small
// demo world it builds: the same bytes on every run, and its maps drawn.
#include "tools/data/data_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tool_test_support.h"

namespace gw::tool {
namespace {

using namespace demo;
namespace fs = std::filesystem;

using test::ScratchDir;

using Created = LoadedMessages;

TEST_F(Created, CreateRefusesToOverwrite) {
    // One file in the way: the refusal names it, keeps it and creates none of the others.
    ScratchDir other;
    std::ofstream(other.path("wccitem2.dat")) << "not";
    const ToolRun again = runTool({"create", other.path("")});
    EXPECT_EQ(again.code, kExitDataError);
    EXPECT_HAS(again.err, "wccitem2.dat: file exists");
    EXPECT_FALSE(fs::exists(other.path("wccrace2.dat")));
    EXPECT_EQ(test::fileBytes(other.path("wccitem2.dat")), test::Bytes({'n', 'o', 't'}));
    EXPECT_EQ(runTool({"create", dir.path(""), "--force"}).code, kExitDone);
    EXPECT_EQ(runTool({"unload", msg}).out, "\x1A");
}

TEST(DataTool, UsageErrorsExitWithTwo) {
    // clang-format off
    const std::vector<std::vector<std::string>> wrong = {{}, {"load"},
        {"demo", "d", "--size", "huge"}, {"create", "d", "--bogus"}, {"check", "no-such-world"},
        {"refs", "d", "Dragon", "1"}, {"refs", "d", "Room", "12"}};
    // clang-format on
    for (const auto& args : wrong) {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.code, kExitUsage) << (args.empty() ? "" : args.back()) << " " << args.size();
        EXPECT_FALSE(r.err.empty());
    }
    const ToolRun help = runTool({"check", "--help"});
    EXPECT_EQ(help.code, kExitDone);
    EXPECT_HAS(help.out, "Exit status: 0 ");
    const ToolRun typo = runTool({"chek", "d"});
    EXPECT_EQ(typo.code, kExitUsage);
    EXPECT_HAS(typo.err, "unknown command \"chek\"; did you mean \"check\"?");
    // After -- a name that begins with - is a file, not an option.
    const ToolRun dashed = runTool({"verify", "--", "-none.dat"});
    EXPECT_EQ(dashed.code, kExitDataError);
    EXPECT_HAS(dashed.err, "-none.dat: BOPEN");
}

TEST_F(Created, LoadThenUnloadGivesBackTheSameBytes) {
    ASSERT_EQ(runTool({"create", dir.path(""), "--force"}).code, kExitDone);
    // Rows that look like the format itself: CR LF, commas, digits, 0x1A and zero bytes.
    std::string row2 = messageRow(2, 256, '\0');
    row2.replace(10, 8, "12,\r\n\x1A\x1A,");
    const std::string input = unloadRecord(messageRow(-7, 256, ' ')) +
                              unloadRecord(messageRow(1, 256, '\x1A')) + unloadRecord(row2) +
                              unloadRecord(messageRow(300, 256, '\r')) + "\x1A";
    std::ofstream(dir.path("in.unl"), std::ios::binary) << input;
    const ToolRun load = runTool({"load", msg, dir.path("in.unl")});
    ASSERT_EQ(load.code, kExitDone) << load.err;
    EXPECT_HAS(load.out, "4 records");
    // "-" is standard output (and input: the load refusals read it), not a file of that name.
    EXPECT_EQ(runTool({"unload", msg, "-"}).out, input);
    EXPECT_FALSE(fs::exists("-"));
}

// One input for each way the unload reader and the load around it refuse.
TEST_F(Created, LoadIsAllOrNothing) {
    const std::string r1 = unloadRecord(messageRow(41, 256, 'c'));  // 262 bytes long
    const std::string r2 = unloadRecord(messageRow(42, 256, 'd'));
    const struct {
        const char* what;
        std::string input;
        const char* where;
        std::string file = "-";
    } cases[] = {
        {"no comma after the length", r1 + "25x," + std::string(25, 'e') + "\r\n" + r2,
         "record 2 at byte 262: expected a comma"},
        {"duplicate of a stored key", r1 + r2 + unloadRecord(messageRow(9, 256, 'f')),
         "record 3 at byte 524: BINSERT"},
        {"row longer than the file's records", r1 + unloadRecord(messageRow(3, 257, 'h')),
         "record 2 at byte 262: the record is 257 bytes long; the file holds records of 256"},
        {"data after the end marker", r1 + "\x1A" + r2, "record 2 at byte 262"},
        {"cut at a record boundary", r1 + r2,
         "record 3 at byte 524: input ends without the end mark 0x1A"},
        {"endless digits", std::string(100000, '0'), "more than 10 digits"},
        {"a directory", "", "is a directory", dir.path("")},
        {"no such file", "", "cannot open for reading", dir.path("none.unl")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = runTool({"load", msg, c.file}, c.input);
        EXPECT_EQ(r.code, kExitDataError);
        EXPECT_HAS(r.err, c.where);
        EXPECT_EQ(runTool({"unload", msg}).out, unloaded);
    }
}

using DemoWorld = CheckedWorld;

TEST_F(DemoWorld, SameBytesEveryRunAndRefusesExistingFiles) {
    ScratchDir b;
    std::string error;
    ASSERT_EQ(buildDemoWorld(b.path(""), DemoSize::Small, &error), status::kSuccess) << error;
    const std::vector<std::string> unloads = unloadAll(dir.path(""));
    EXPECT_EQ(differingFiles(unloads, unloadAll(b.path(""))), std::vector<std::string>{});
    EXPECT_EQ(std::count(unloads.begin(), unloads.end(), ""), 0);
    EXPECT_EQ(buildDemoWorld(b.path(""), DemoSize::Small, &error), status::kFileExists);
    EXPECT_HAS(error, "exists");
    EXPECT_EQ(runTool({"demo", b.path(""), "--size", "small"}).code, 1);
    const auto forced = runTool({"demo", b.path(""), "--size", "small", "--force"});
    EXPECT_EQ(forced.code, 0) << forced.err;
    EXPECT_HAS(forced.out, "wccmp002.dat  24 Room records");
}

TEST_F(DemoWorld, MapDrawsOneMapAsPngOrSvgAndRefusesWhatItCannotDraw) {
    const std::string world = dir.path("");
    ScratchDir out;
    for (const char* name : {"map.svg", "map.png"}) {
        const ToolRun run = runTool({"map", world, "2", out.path(name)});
        EXPECT_EQ(run.code, kExitDone) << run.err;
        EXPECT_GT(std::filesystem::file_size(out.path(name)), 1000u) << name;
    }
    const test::Bytes svg = test::fileBytes(out.path("map.svg"));
    EXPECT_HAS(std::string(svg.begin(), svg.end()), "<svg");
    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"map", world, "999", out.path("none.png")}, "map 999 has no rooms"},
        {{"map", world, "1", out.path("map.gif")}, "written as .png or .svg"},
    };
    for (const auto& [args, why] : refused) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.code, kExitDataError) << why;
        EXPECT_HAS(run.err, why);
    }
    EXPECT_FALSE(std::filesystem::exists(out.path("none.png")));
}

}  // namespace
}  // namespace gw::tool
