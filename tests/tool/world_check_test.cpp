// `check` and `refs` over a small demo world into which the data tool loads faulty records,
// and the demo world's names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tool_test_support.h"
#include "tools/data/demo_text.h"

namespace gw::tool {
namespace {

namespace fs = std::filesystem;

// Every kind of finding, planted: exactly those are reported, as JSON and as text; then files
// it cannot read are named, and the rest is still checked.
TEST_F(CheckedWorld, ReportsExactlyThePlantedFaultsAndChecksWhatItCanRead) {
    const ToolRun clean = runTool({"check", dir.path(""), "--json"});
    ASSERT_EQ(clean.code, kExitDone) << clean.out << clean.err;
    std::set<std::string> before;
    for (const std::string& line : lines(clean.out)) {
        SCOPED_TRACE(line);
        // The demo's only problems are its trapdoors, one-way on purpose.
        EXPECT_HAS(line, R"("field":"RoomExit","index":9,)");
        EXPECT_HAS(line, R"("problem":"one-way"})");
        before.insert(line);
    }
    EXPECT_FALSE(before.empty());

    plantFaults();
    const ToolRun planted = runTool({"check", dir.path(""), "--json"});
    EXPECT_EQ(planted.code, kExitDataError) << planted.err;
    std::vector<std::string> added;
    for (const std::string& line : lines(planted.out))
        if (!before.count(line)) added.push_back(line);
    const std::vector<std::string> expected = {
        R"({"type":"Spell","key":904,"field":"CastMsgB","index":null,"value":7777,"target":"Message","problem":"missing"})",
        R"({"type":"Monster","key":900,"field":"ItemNumber","index":2,"value":777,"target":"Item","problem":"missing"})",
        R"({"type":"Monster","key":900,"field":"AttackAccuSpell","index":3,"value":444,"target":"Spell","problem":"missing"})",
        R"({"type":"Monster","key":904,"field":"GreetTxt","index":null,"value":88888,"target":"Textblock","problem":"unresolved"})",
        R"({"type":"Item","key":900,"field":"Negate","index":3,"value":555,"target":"Spell","problem":"missing"})",
        R"({"type":"Shop","key":900,"field":"ShopItemNumber","index":4,"value":778,"target":"Item","problem":"missing"})",
        R"({"type":"Room","key":[1,900],"field":"RoomExit","index":0,"value":950,"target":"Room","problem":"missing"})",
        R"({"type":"Room","key":[1,900],"field":"RoomExit","index":2,"value":1,"target":"Room","problem":"one-way"})",
        R"({"type":"Room","key":[1,904],"field":"RoomExit","index":2,"value":905,"target":"Room","problem":"one-way"})",
        R"({"type":"Room","key":[1,904],"field":"ShopNum","index":null,"value":999,"target":"Shop","problem":"unresolved"})",
        R"({"type":"User","key":"Planted Player","field":"Race","index":null,"value":99,"target":"Race","problem":"missing"})",
        R"({"type":"Item","key":0,"problem":"numbered-none"})",
    };
    EXPECT_EQ(added, expected);

    SCOPED_TRACE("plain output: one line per problem, then the counts");
    const ToolRun plain = runTool({"check", dir.path("")});
    EXPECT_EQ(plain.code, kExitDataError);
    const auto text = lines(plain.out);
    ASSERT_EQ(text.size(), lines(planted.out).size() + 1);
    const std::string expectedText[] = {
        "wccmp002.dat  Room 1:900  RoomExit[2] (East) = 1  one-way: Room 1:1 has no West exit "
        "back\n",
        "wccmp002.dat  Room 1:904  RoomExit[2] (East) = 905  one-way: Room 1:905 has a West "
        "exit, but it is a Map Change\n",
        "wccknms2.dat  Monster 904  GreetTxt = 88888  unresolved: no Textblock 88888\n",
        "wccuser2.dat  User \"Planted Player\"  Race = 99  missing Race 99\n",
        "wccitem2.dat  Item 0  numbered 0: every reference reads 0 as none\n",
    };
    for (const std::string& line : expectedText) EXPECT_HAS(plain.out, line);
    EXPECT_HAS(text.back(),
               "7 missing references (errors), " + std::to_string(before.size() + 2) +
                   " one-way exits, 2 unresolved numbers, 1 record numbered 0 (warnings)");

    SCOPED_TRACE("refs lists whatever names a record, whether it exists or not");
    const ToolRun none = runTool({"refs", dir.path(""), "Item", "999"});
    EXPECT_EQ(none.code, kExitDataError);
    EXPECT_EQ(none.out, "0 references to Item 999, which does not exist\n");
    load(RecordKind::Monster,
         firstRow(RecordKind::Monster).set("Number", 903).set("WeaponNumber", 999));
    const ToolRun dangling = runTool({"refs", dir.path(""), "Item", "999"});
    EXPECT_EQ(dangling.code, kExitDataError);
    EXPECT_EQ(dangling.out,
              "wccknms2.dat  Monster 903  WeaponNumber = 999\n"
              "1 reference to Item 999, which does not exist (dangling)\n");

    SCOPED_TRACE("a missing file: named, and references into it left alone");
    fs::remove(file(RecordKind::Spell));
    ToolRun r = runTool({"check", dir.path(""), "--json"});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_HAS(r.err, "wccspel2.dat");
    EXPECT_EQ(r.out.find(R"("target":"Spell")"), std::string::npos) << r.out;
    EXPECT_HAS(r.out, R"("value":777,"target":"Item")");

    SCOPED_TRACE("a file of the wrong type");
    fs::copy_file(file(RecordKind::Message), file(RecordKind::Item),
                  fs::copy_options::overwrite_existing);
    r = runTool({"check", dir.path("")});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_HAS(r.err, "holds Message records, not Item");
    EXPECT_EQ(r.out.find("missing Item"), std::string::npos) << r.out;
    EXPECT_HAS(r.out, "missing Race 99");
}

// Every `$ gravewind-data` example of the README runs as written, in order, in a scratch
// directory: the operator's worlds (/bbs/...) are copies of the small demo world, the other
// names are made by the examples before them. None may end in a usage error.
TEST_F(CheckedWorld, ReadmeExamplesRun) {
    auto scratch = [this](std::string name) {
        std::replace(name.begin(), name.end(), '/', '_');
        return dir.path("examples/" + name);
    };
    for (const char* world : {"/bbs/game", "/bbs/game-1.4", "/bbs/game-1.5"}) {
        fs::create_directories(scratch(world));
        fs::copy(dir.path(""), scratch(world));  // the ten files, not the examples' folders
    }
    std::ifstream readme(GRAVEWIND_README);
    ASSERT_TRUE(readme.is_open());
    constexpr std::string_view kPrompt = "    $ gravewind-data ";
    int examples = 0;
    for (std::string line; std::getline(readme, line);) {
        if (!line.starts_with(kPrompt)) continue;
        SCOPED_TRACE(line);
        ++examples;
        // What follows "&&" is another program's business.
        std::string command = line.substr(kPrompt.size());
        command = command.substr(0, command.find(" &&"));
        std::vector<std::string> args;
        std::istringstream words(command);
        for (std::string word; words >> word;) {
            const bool path = word.starts_with("/") || word.ends_with(".png") ||
                              word == "small-world" || word == "world";
            args.push_back(path ? scratch(word) : word);
        }
        const ToolRun r = runTool(args);
        EXPECT_LT(r.code, kExitUsage) << r.err;
    }
    EXPECT_GE(examples, 2);
}

TEST(DemoNames, NearlyAllDistinctInALargeWorld) {
    const demo::DemoPlan p = demo::demoPlan(demo::DemoSize::Large);
    auto distinct = [](int count, auto name) {
        std::set<std::string> names;
        for (int k = 0; k < count; ++k) {
            const std::string n = name(k);
            EXPECT_LE(n.size(), 28u) << n;
            names.insert(n);
        }
        return static_cast<int>(names.size());
    };
    EXPECT_EQ(distinct(p.monsters, [](int k) { return demo::monsterName(k); }), p.monsters);
    EXPECT_EQ(distinct(p.roomsPerMap(), [](int k) { return demo::roomName(k); }), p.roomsPerMap());
    // The items of one pool: weapons, armour, or everything else.
    for (int type : {0, 1, 4})
        EXPECT_EQ(distinct(p.items / 2, [type](int k) { return demo::itemName(type, k); }),
                  p.items / 2)
            << type;
}

}  // namespace
}  // namespace gw::tool
