// gravewind-data against the real record manager, through its command line.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "records/class.h"
#include "records/records.h"
#include "tool_test_support.h"

namespace gw::tool {
namespace {

using namespace std::string_literals;
using testing::runTool;
using testing::ToolRun;

// One record of the unload format.
std::string unloadRecord(const std::string& bytes) {
    return std::to_string(bytes.size()) + "," + bytes + "\r\n";
}

// A Message row: 32-bit number at byte 0, then whatever the caller wants.
std::string messageRow(std::int32_t number, std::size_t length, char fill) {
    std::string row(length, fill);
    for (int i = 0; i < 4; ++i) row[i] = static_cast<char>(std::uint32_t(number) >> (8 * i));
    return row;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A directory with the ten empty files made by the tool.
struct Created : ::testing::Test {
    void SetUp() override { ASSERT_EQ(runTool({"create", dir.str()}).code, kExitDone); }
    testing::ScratchDir dir;
    const std::string msg = dir / "wccmsg2.dat";
};

TEST_F(Created, CreateRefusesToOverwrite) {
    for (RecordKind kind : allRecordKinds())
        EXPECT_TRUE(std::filesystem::exists(dir / std::string(recordType(kind).fileName())));
    const std::string one = unloadRecord(messageRow(1, 256, 'x'));
    ASSERT_EQ(runTool({"load", msg}, one).code, kExitDone);
    const ToolRun again = runTool({"create", dir.str()});
    EXPECT_EQ(again.code, kExitDataError);
    EXPECT_NE(again.err.find("file exists"), std::string::npos) << again.err;
    EXPECT_EQ(runTool({"unload", msg}).out, one + "\x1A");
    {
        SCOPED_TRACE("one file in the way: the refusal creates none of the others");
        testing::ScratchDir other;
        std::ofstream(other / "wccitem2.dat") << "not ours";
        EXPECT_EQ(runTool({"create", other.str()}).code, kExitDataError);
        EXPECT_FALSE(std::filesystem::exists(other / "wccrace2.dat"));
        EXPECT_EQ(readFile(other / "wccitem2.dat"), "not ours");
    }
    EXPECT_EQ(runTool({"create", dir.str(), "--force"}).code, kExitDone);
    EXPECT_EQ(runTool({"unload", msg}).out, "\x1A");
}

TEST(DataTool, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> wrong = {{},
                                                         {"frobnicate"},
                                                         {"load"},
                                                         {"dump"},
                                                         {"unload"},
                                                         {"create"},
                                                         {"dump", "a", "b"},
                                                         {"demo", "d", "--size", "huge"},
                                                         {"create", "d", "--bogus"}};
    for (const auto& args : wrong) {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.code, kExitUsage) << (args.empty() ? "" : args[0]) << " " << args.size();
        EXPECT_FALSE(r.err.empty());
    }
    for (const char* command : {"create", "load", "unload", "dump", "demo"}) {
        const ToolRun r = runTool({command, "--help"});
        EXPECT_EQ(r.code, kExitDone) << command;
        EXPECT_NE(r.out.find("Usage"), std::string::npos) << command;
    }
}

TEST_F(Created, MissingOrForeignFilesAreDataErrors) {
    for (const char* command : {"dump", "unload", "load"}) {
        const ToolRun missing = runTool({command, dir / "none.dat"});
        EXPECT_EQ(missing.code, kExitDataError) << command;
        EXPECT_NE(missing.err.find("none.dat"), std::string::npos) << missing.err;
    }
    std::ofstream(dir / "foreign.dat") << "SQLite format 3, or so it says";
    const ToolRun foreign = runTool({"dump", dir / "foreign.dat"});
    EXPECT_EQ(foreign.code, kExitDataError);
    EXPECT_NE(foreign.err.find("BOPEN"), std::string::npos) << foreign.err;
}

TEST_F(Created, LoadThenUnloadGivesBackTheSameBytes) {
    // Rows that look like the format itself: CR LF, commas, digits, 0x1A and zero bytes.
    std::string row2 = messageRow(2, 256, '\0');
    row2.replace(10, 8, "12,\r\n\x1A\x1A,");
    const std::string input = unloadRecord(messageRow(-7, 242, ' ')) +
                              unloadRecord(messageRow(1, 256, '\x1A')) + unloadRecord(row2) +
                              unloadRecord(messageRow(300, 10, '\r')) + "\x1A";
    std::ofstream(dir / "in.unl", std::ios::binary) << input;
    const ToolRun load = runTool({"load", msg, dir / "in.unl"});
    ASSERT_EQ(load.code, kExitDone) << load.err;
    EXPECT_NE(load.out.find("4 records"), std::string::npos) << load.out;
    EXPECT_EQ(runTool({"unload", msg}).out, input);
    ASSERT_EQ(runTool({"unload", msg, dir / "out.unl"}).code, kExitDone);
    EXPECT_EQ(readFile(dir / "out.unl"), input);
    // The end marker is optional on input, always written on output.
    ASSERT_EQ(runTool({"create", dir.str(), "--force"}).code, kExitDone);
    ASSERT_EQ(runTool({"load", msg}, input.substr(0, input.size() - 1)).code, kExitDone);
    EXPECT_EQ(runTool({"unload", msg}).out, input);
}

TEST_F(Created, LoadIsAllOrNothing) {
    const std::string stored =
        unloadRecord(messageRow(5, 256, 'a')) + unloadRecord(messageRow(9, 256, 'b'));
    ASSERT_EQ(runTool({"load", msg}, stored).code, kExitDone);
    const std::string r1 = unloadRecord(messageRow(1, 256, 'c'));  // 262 bytes long
    const std::string r2 = unloadRecord(messageRow(2, 256, 'd'));
    const struct {
        const char* what;
        std::string input;
        const char* where;
    } cases[] = {
        {"bad length digits", r1 + "25x," + std::string(25, 'e') + "\r\n" + r2,
         "record 2 at byte 262"},
        {"missing CR LF", r1 + "4,\x03\0\0\0\n"s + r2, "record 2 at byte 262"},
        {"duplicate of a stored key", r1 + r2 + unloadRecord(messageRow(9, 256, 'f')),
         "record 3 at byte 524"},
        {"duplicate inside the input", r1 + r2 + unloadRecord(messageRow(1, 256, 'g')),
         "record 3 at byte 524"},
        {"row longer than the data length", r1 + unloadRecord(messageRow(3, 257, 'h')),
         "record 2 at byte 262"},
        {"truncated record", r1 + r2 + "256," + messageRow(4, 100, 'i'), "record 3 at byte 524"},
        {"truncated length", r1 + "25", "record 2 at byte 262"},
        {"data after the end marker", r1 + "\x1A" + r2, "record 2 at byte 262"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = runTool({"load", msg}, c.input);
        EXPECT_EQ(r.code, kExitDataError);
        EXPECT_NE(r.err.find(c.where), std::string::npos) << r.err;
        EXPECT_EQ(runTool({"unload", msg}).out, stored + "\x1A");
    }
}

TEST_F(Created, DumpShowsEveryFieldAsStored) {
    const RecordType& type = RecordTraits<Class>::type();
    Class c{};
    c.Number = 3;
    std::memcpy(c.Name.data(), "Mage\0 \xE9t\xE9   \0                ", 29);
    c.NameEnd = 200;
    c.MinHP = -1;
    c.MaxHP = 32767;
    c.Exp = -32768;
    c.AbilityA[0] = 187;
    c.AbilityA[9] = -2;
    c.AbilityB[4] = 12;
    c.TitleText = 99;
    std::string row(type.dataLength(), '\0');  // 102 mapped bytes, then 54 of tail
    ASSERT_TRUE(StructToRow({reinterpret_cast<std::uint8_t*>(row.data()), row.size()},
                            type.buildFieldMap(), &c, sizeof c));
    for (std::size_t i = 102; i < row.size(); ++i) row[i] = static_cast<char>(i);
    ASSERT_EQ(runTool({"load", dir / "wccclas2.dat"}, unloadRecord(row)).code, kExitDone);
    const ToolRun dump = runTool({"dump", dir / "wccclas2.dat"});
    ASSERT_EQ(dump.code, kExitDone) << dump.err;
    EXPECT_EQ(dump.out,
              R"({"Number":3,"Name":"Mage\u0000 été   \u0000                ","NameEnd":200,)"
              R"("MinHP":-1,"MaxHP":32767,"Exp":-32768,"Reserved1":0,"Reserved2":0,"Reserved3":0,)"
              R"("AbilityA":[187,0,0,0,0,0,0,0,0,-2],"MagicType":0,"MagicLvL":0,"Weapon":0,)"
              R"("Armour":0,"Combat":0,"AbilityB":[0,0,0,0,12,0,0,0,0,0],"Reserved4":0,)"
              R"("Reserved5":0,"Reserved6":0,"TitleText":99,"_tail":")"
              "666768696a6b6c6d6e6f707172737475767778797a7b7c7d7e7f808182838485868788898a8b8c8d8e8f"
              "909192939495969798999a9b\"}\n");
}

}  // namespace
}  // namespace gw::tool
