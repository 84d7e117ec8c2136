// Worlds as text: load of what dump writes, export and import, diff and the three-way merge,
// over the small demo world (which must follow its plan) and worlds edited from it as text.
#include "world/world_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "records/value_lists.h"
#include "tool_test_support.h"
#include "world/record_json.h"

namespace gw::tool {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using namespace std::string_literals;

std::string fileOf(const std::string& dir, RecordKind kind) {
    return (fs::path(dir) / recordType(kind).fileName()).string();
}

// One JSON value a line.
std::vector<Json> jsonLines(const std::string& text) {
    std::vector<Json> out;
    for (const std::string& line : lines(text)) out.push_back(Json::parse(line));
    return out;
}

// A world kept as its ten text files, edited record by record as JSON and built by import.
struct TextWorld {
    std::array<std::vector<Json>, kRecordKindCount> records;

    static TextWorld exportedFrom(const std::string& dir, const std::string& textDir) {
        EXPECT_EQ(runTool({"export", dir, textDir}).code, kExitDone);
        TextWorld w;
        for (RecordKind kind : allRecordKinds()) {
            std::ifstream in(fs::path(textDir) / world::textFileName(recordType(kind)));
            for (std::string line; std::getline(in, line);) w.of(kind).push_back(Json::parse(line));
        }
        return w;
    }
    std::vector<Json>& of(RecordKind kind) { return records[static_cast<std::size_t>(kind)]; }
    Json& record(RecordKind kind, std::int64_t number) {
        for (Json& j : of(kind))
            if (j.begin().value() == number) return j;
        throw std::out_of_range("no such record");
    }
    void erase(RecordKind kind, std::int64_t number) {
        std::erase_if(of(kind), [&](const Json& j) { return j.begin().value() == number; });
    }
    Json copyAs(RecordKind kind, std::int64_t from, std::int64_t number) {
        Json j = record(kind, from);
        j.begin().value() = number;
        of(kind).push_back(j);
        return j;
    }
    void build(const std::string& textDir, const std::string& dir) const {
        fs::create_directories(textDir);
        for (RecordKind kind : allRecordKinds()) {
            std::ofstream out(fs::path(textDir) / world::textFileName(recordType(kind)),
                              std::ios::binary);
            for (const Json& j : records[static_cast<std::size_t>(kind)]) out << j.dump() << "\n";
        }
        const ToolRun r = runTool({"import", textDir, dir});
        ASSERT_EQ(r.code, kExitDone) << r.err;
    }
};

// The small demo world is the base; the worlds made from it are folders inside it.
class TextWorlds : public CheckedWorld {
protected:
    std::string at(const std::string& name) const { return dir.path(name); }
    const std::string base = dir.path("");
};

// What `check` cannot see in the small demo world: the plan's counts, a shop in a room of its
// own for each shop, a map change each way between neighbouring maps, every room left by an exit.
TEST_F(TextWorlds, DemoWorldFollowsItsPlan) {
    TextWorld w = TextWorld::exportedFrom(base, at("text"));
    const demo::DemoPlan p = demo::demoPlan(demo::DemoSize::Small);
    // In the order of allRecordKinds().
    const int planned[] = {
        p.races,    p.classes,    p.spells, p.monsters, p.items, p.shops, p.maps * p.roomsPerMap(),
        p.messages, p.textblocks, p.users};
    for (std::size_t i = 0; i < kRecordKindCount; ++i)
        EXPECT_EQ(w.records[i].size(), std::size_t(planned[i])) << i;
    std::set<std::int64_t> shopsInRooms, shops;
    int mapChanges = 0;
    for (const Json& r : w.of(RecordKind::Room)) {
        if (r["ShopNum"] != 0) {
            EXPECT_EQ(r["RoomType"], 1) << r["ShopNum"];
            shopsInRooms.insert(r["ShopNum"].get<std::int64_t>());
        }
        int exits = 0;
        for (std::size_t d = 0; d < values::kDirectionCount; ++d) {
            exits += r["RoomExit"][d] != 0;
            mapChanges += r["RoomExit"][d] != 0 && r["ExitType"][d] == 8;
        }
        EXPECT_GT(exits, 0) << r["MapNumber"] << ":" << r["RoomNumber"];
    }
    for (const Json& s : w.of(RecordKind::Shop)) shops.insert(s["Number"].get<std::int64_t>());
    EXPECT_EQ(shopsInRooms, shops);
    EXPECT_EQ(mapChanges, 2 * (p.maps - 1));
}

// dump writes each field as the game stores it; load takes that text back byte for byte.
TEST_F(TextWorlds, DumpShowsEveryFieldAsStoredAndLoadTakesItBack) {
    // A Class row, written byte by byte: 102 mapped bytes, then 54 of tail.
    std::string row(156, '\0');
    row.replace(2, 29, "Mage\0 \xE9t\xE9\"\\\n  \0\x01             "s);
    row[31] = char(200);
    const std::pair<int, int> words[] = {{0, 3},    {32, -1}, {34, 32767}, {36, -32768},
                                         {44, 187}, {62, -2}, {82, 12},    {100, 99}};
    for (auto [at, v] : words) row[at] = char(v & 0xFF), row[at + 1] = char((v >> 8) & 0xFF);
    for (std::size_t i = 102; i < row.size(); ++i) row[i] = static_cast<char>(i);
    ASSERT_EQ(runTool({"create", at("odd")}).code, kExitDone);
    const std::string odd = fileOf(at("odd"), RecordKind::Class);
    ASSERT_EQ(runTool({"load", odd}, unloadRecord(row) + "\x1A").code, kExitDone);
    const ToolRun dump = runTool({"dump", odd});
    ASSERT_EQ(dump.code, kExitDone) << dump.err;
    EXPECT_EQ(
        dump.out,
        R"({"Number":3,"Name":"Mage\u0000 été\"\\\n  \u0000\u0001             ","NameEnd":200,)"
        R"("MinHP":-1,"MaxHP":32767,"Exp":-32768,"Reserved1":0,"Reserved2":0,"Reserved3":0,)"
        R"("AbilityA":[187,0,0,0,0,0,0,0,0,-2],"MagicType":0,"MagicLvL":0,"Weapon":0,)"
        R"("Armour":0,"Combat":0,"AbilityB":[0,0,0,0,12,0,0,0,0,0],"Reserved4":0,)"
        R"("Reserved5":0,"Reserved6":0,"TitleText":99,"_tail":")"
        "666768696a6b6c6d6e6f707172737475767778797a7b7c7d7e7f808182838485868788898a8b8c8d8e8f"
        "909192939495969798999a9b\"}\n");
    ASSERT_EQ(runTool({"create", at("again")}).code, kExitDone);
    const std::string again = fileOf(at("again"), RecordKind::Class);
    const ToolRun load = runTool({"load", again}, dump.out);
    ASSERT_EQ(load.code, kExitDone) << load.err;
    EXPECT_EQ(runTool({"unload", again}).out, unloadRecord(row) + "\x1A");
}

TEST_F(TextWorlds, BadJsonLinesNameLineMemberAndReasonAndLoadNothing) {
    const std::string items = fileOf(base, RecordKind::Item);
    const std::string before = runTool({"unload", items}).out;
    const std::string dumped = runTool({"dump", items}).out;
    const std::string line = dumped.substr(0, dumped.find('\n'));
    const Json good = Json::parse(line);
    auto with = [&](const std::string& member, Json value) {
        Json j = good;
        j["Number"] = 9000;
        j[member] = std::move(value);
        return j.dump();
    };
    Json missing = good;
    missing["Number"] = 9000;
    missing.erase("Cost");
    const std::string first = with("Number", 8000) + "\n";
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"unknown member", with("Colour", 3), "line 2: member \"Colour\": unknown member"},
        // Values the row cannot hold as given are refused, never cut or wrapped to fit.
        {"text for a number", with("Cost", "ten"), "member \"Cost\": wrong type"},
        {"number beyond the field", with("Number", 5'000'000'000), "outside the field's range"},
        {"text too long", with("Name", std::string(40, 'x')), "text of 40 characters is longer"},
        {"run too short", with("AbilityA", Json::array({1, 2})), "2 entries, not"},
        {"not JSON", "{\"Number\": 3,", "line 2: not JSON"},
        {"missing member", missing.dump(), "member \"Cost\" is missing"},
        {"a key that is there already", good.dump(), "line 2: BINSERT"},
    };
    for (const auto& [what, second, expected] : cases) {
        SCOPED_TRACE(what);
        const ToolRun r = runTool({"load", items}, first + second + "\n");
        EXPECT_EQ(r.code, kExitDataError);
        EXPECT_HAS(r.err, expected);
        EXPECT_HAS(r.err, "nothing was loaded");
        EXPECT_EQ(runTool({"unload", items}).out, before);
    }
    // With --partial a member left out keeps a new record's value.
    const ToolRun partial = runTool({"load", items, "--partial"}, R"({"Number":9001,"Name":"Lamp"})"
                                                                  "\n");
    ASSERT_EQ(partial.code, kExitDone) << partial.err;
    const std::string after = runTool({"dump", items}).out;
    const std::string added = after.substr(after.rfind("{\"Number\":9001"));
    EXPECT_EQ(Json::parse(added)["Name"], std::string("Lamp\0", 5) + std::string(24, ' '));
    EXPECT_EQ(Json::parse(added)["Cost"], 0);

    // The parser meets every prefix of a real line and seeded damage to it: a message each
    // time, and never a byte read or written outside its buffers.
    world::JsonRowParser parser(recordType(RecordKind::Item));
    std::vector<std::uint8_t> row;
    ASSERT_TRUE(parser.parse(line, false, row)) << parser.error();
    for (std::size_t n = 0; n < line.size(); ++n) {
        ASSERT_FALSE(parser.parse(line.substr(0, n), true, row)) << n;
        ASSERT_FALSE(parser.error().empty());
    }
    const unsigned seed = ::testing::UnitTest::GetInstance()->random_seed();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const char bytes[] = "{}[]\",:\\-0123456789eE.u\xC3\xA9\xFF tfn";
    for (int i = 0; i < 2000; ++i) {
        std::string damaged = line;
        for (int k = 0; k < 3; ++k)
            damaged[random() % damaged.size()] = bytes[random() % (sizeof bytes - 1)];
        if (!parser.parse(damaged, random() % 2, row)) {
            ASSERT_FALSE(parser.error().empty());
        }
    }
}

TEST_F(TextWorlds, ExportImportRoundTripAllOrNothing) {
    ASSERT_EQ(runTool({"export", base, at("text")}).code, kExitDone);
    ASSERT_EQ(runTool({"import", at("text"), at("copy")}).code, kExitDone);
    EXPECT_EQ(unloadAll(at("copy")), unloadAll(base));

    {
        SCOPED_TRACE("a bad line in the eighth file leaves no file at all");
        std::ofstream(fs::path(at("text")) / "wccmsg2.jsonl", std::ios::app) << "{\"Nmber\":1}\n";
        const ToolRun r = runTool({"import", at("text"), at("none")});
        EXPECT_EQ(r.code, kExitDataError);
        EXPECT_HAS(r.err, "wccmsg2.jsonl: line");
        EXPECT_FALSE(fs::exists(at("none")));
        // The ten files, text and copy: no building folder left behind.
        EXPECT_EQ(std::distance(fs::directory_iterator(base), fs::directory_iterator()),
                  kRecordKindCount + 2);
    }
}

// Ours and theirs, changed from one base by every rule of the merge; diff lists ours.
TEST_F(TextWorlds, DiffAndMergeFollowEveryRule) {
    using K = RecordKind;
    TextWorld start = TextWorld::exportedFrom(base, at("text"));
    // A Class tail byte of its own, so the unmapped bytes take part.
    start.record(K::Class, 1)["_tail"] = std::string(108, '0');
    start.build(at("tb"), at("b"));
    TextWorld ours = start, theirs = start;
    auto item = [](TextWorld& w, int n) -> Json& { return w.record(K::Item, n); };
    item(ours, 1)["Cost"] = 11;                                    // ours only
    item(theirs, 1)["Weight"] = 12;                                // theirs only, same record
    item(ours, 2)["Cost"] = 21, item(theirs, 2)["Cost"] = 21;      // both, same value
    item(ours, 2)["AbilityA"][2] = 123;                            // and ours only
    item(ours, 3)["Cost"] = 31, item(theirs, 3)["Cost"] = 32;      // both, different
    ours.copyAs(K::Item, 1, 901), theirs.copyAs(K::Item, 1, 902);  // added on one side
    ours.erase(K::Item, 4), theirs.erase(K::Item, 5);              // deleted, other unchanged
    ours.erase(K::Item, 6), item(theirs, 6)["Cost"] = 61;          // deleted / changed
    item(ours, 7)["Cost"] = 71, theirs.erase(K::Item, 7);          // changed / deleted
    theirs.record(K::Class, 1)["_tail"] = "01" + std::string(106, '0');
    ours.build(at("to"), at("o"));
    theirs.build(at("tt"), at("t"));
    {
        SCOPED_TRACE("diff");
        EXPECT_EQ(runTool({"diff", at("b"), at("b")}).out, "the worlds are the same\n");
        EXPECT_EQ(runTool({"diff", base, at("nowhere")}).code, kExitUsage);
        const ToolRun plain = runTool({"diff", at("b"), at("o")});
        EXPECT_EQ(plain.code, kExitDataError) << plain.err;
        EXPECT_HAS(plain.out, "Item 901 added\n");
        EXPECT_HAS(plain.out, "Item 4 removed\n");
        EXPECT_HAS(plain.out, "Item 2 changed\n  AbilityA[2]: ");
        EXPECT_HAS(plain.out, "7 records differ: 1 added, 2 removed, 4 changed");
        const std::vector<Json> out = jsonLines(runTool({"diff", at("b"), at("o"), "--json"}).out);
        const Json& was = item(start, 2);
        const Json fields = {
            {{"field", "AbilityA"}, {"index", 2}, {"old", was["AbilityA"][2]}, {"new", 123}},
            {{"field", "Cost"}, {"index", nullptr}, {"old", was["Cost"]}, {"new", 21}}};
        const Json changed = {
            {"type", "Item"}, {"key", 2}, {"change", "changed"}, {"fields", fields}};
        EXPECT_EQ(std::count(out.begin(), out.end(), changed), 1) << out.size();
    }

    const ToolRun r = runTool({"merge", at("b"), at("o"), at("t"), at("out"), "--json"});
    EXPECT_EQ(r.code, kExitDataError) << r.err;
    const std::vector<Json> conflicts = jsonLines(r.out);
    ASSERT_EQ(conflicts.size(), 4u) << r.out;
    EXPECT_EQ(conflicts[0],
              Json::parse(R"({"type":"Item","key":3,"field":"Cost",)"
                          R"("base":)" +
                          item(start, 3)["Cost"].dump() + R"(,"ours":31,"theirs":32})"));
    EXPECT_EQ(conflicts[1]["key"], 6);
    EXPECT_EQ(conflicts[1]["ours"], "deleted");
    EXPECT_EQ(conflicts[2]["key"], 7);
    EXPECT_EQ(conflicts[2]["theirs"], "deleted");
    EXPECT_EQ(conflicts[3]["conflicts"], 3);

    TextWorld expected = start;
    expected.copyAs(K::Item, 1, 901), expected.copyAs(K::Item, 1, 902);
    item(expected, 901)["Cost"] = 11, item(expected, 902)["Weight"] = 12;
    item(expected, 1)["Cost"] = 11, item(expected, 1)["Weight"] = 12;
    item(expected, 2)["Cost"] = 21, item(expected, 3)["Cost"] = 31;
    item(expected, 2)["AbilityA"][2] = 123;
    expected.erase(K::Item, 4), expected.erase(K::Item, 5), expected.erase(K::Item, 6);
    item(expected, 7)["Cost"] = 71;
    expected.record(K::Class, 1)["_tail"] = theirs.record(K::Class, 1)["_tail"];
    expected.build(at("te"), at("e"));
    EXPECT_EQ(unloadAll(at("out")), unloadAll(at("e")));

    SCOPED_TRACE("one side unchanged: the other side, with the references it left dangling");
    const ToolRun one = runTool({"merge", at("b"), at("b"), at("t"), at("m")});
    EXPECT_EQ(one.code, kExitDone) << one.err;
    EXPECT_HAS(one.out, "0 conflicts");
    EXPECT_EQ(one.out.find(" 0 references left dangling"), std::string::npos) << one.out;
    EXPECT_EQ(unloadAll(at("m")), unloadAll(at("t")));

    SCOPED_TRACE("never over an input, never over a world without --force");
    const std::vector<std::string> oursUnloads = unloadAll(at("o"));
    EXPECT_EQ(runTool({"merge", at("b"), at("o"), at("b"), at("o")}).code, kExitUsage);
    EXPECT_EQ(runTool({"merge", at("b"), at("o"), at("b"), at("m")}).code, kExitUsage);
    EXPECT_EQ(runTool({"merge", at("b"), at("o"), at("b"), at("m"), "--force"}).code, kExitDone);
    EXPECT_EQ(unloadAll(at("o")), oursUnloads);
    EXPECT_EQ(unloadAll(at("m")), oursUnloads);
}

}  // namespace
}  // namespace gw::tool
