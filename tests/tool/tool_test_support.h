#pragma once
// Runs gravewind-data in-process and builds records of the unload format. Two fixtures: a
// Message file of 40 records, and the small demo world into which the tool loads records made
// by editing a copy of a stored row field by field (the world commands' tests plant this way).
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "records/records.h"
#include "store_test_support.h"
#include "tools/data/data_tool.h"
#include "tools/data/demo_world.h"

namespace gw::tool {

struct ToolRun {
    int code;
    std::string out, err;
};

// `terminal`: run as if standard output were a terminal.
inline ToolRun runTool(std::vector<std::string> args, const std::string& input = {},
                       bool terminal = false) {
    args.insert(args.begin(), "gravewind-data");
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = runDataTool(args, {in, out, err, false, terminal});
    return {code, out.str(), err.str()};
}

// One record of the unload format.
inline std::string unloadRecord(const std::string& bytes) {
    return std::to_string(bytes.size()) + "," + bytes + "\r\n";
}

// A Message row: 32-bit number at byte 0, then whatever the caller wants.
inline std::string messageRow(std::int32_t number, std::size_t length, char fill) {
    std::string row(length, fill);
    for (int i = 0; i < 4; ++i) row[i] = static_cast<char>(std::uint32_t(number) >> (8 * i));
    return row;
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The ten empty files made by the tool, and 40 records loaded into the Message file.
class LoadedMessages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(runTool({"create", dir.path("")}).code, kExitDone);
        for (int k = 1; k <= 40; ++k)
            unloaded += unloadRecord(messageRow(k, 256, char('a' + k % 26)));
        unloaded += "\x1A";
        ASSERT_EQ(runTool({"load", msg}, unloaded).code, kExitDone);
    }
    test::ScratchDir dir;
    const std::string msg = dir.path("wccmsg2.dat");
    std::string unloaded;  // the Message file's unload
};

// A stored row of one record type, edited field by field as the game stores it.
struct Row {
    const RecordType& type;
    std::string bytes;

    Row& set(std::string_view field, std::size_t k, std::int64_t value) {
        const FieldInfo* f = type.field(field);
        EXPECT_NE(f, nullptr) << field;
        const std::size_t at = f->rowOffset + k * f->stride;
        for (std::size_t b = 0; b < f->width; ++b)
            bytes[at + b] = static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * b));
        return *this;
    }
    Row& set(std::string_view field, std::int64_t value) { return set(field, 0, value); }
    Row& text(std::string_view field, std::string_view value) {
        const FieldInfo* f = type.field(field);
        std::string stored(value);
        stored.resize(f->width, '\0');
        bytes.replace(f->rowOffset, f->width, stored);
        return *this;
    }
};

// The small demo world, and records added to it through `load`.
class CheckedWorld : public ::testing::Test {
public:
    void SetUp() override {
        std::string error;
        ASSERT_EQ(demo::buildDemoWorld(dir.path(""), demo::DemoSize::Small, &error),
                  status::kSuccess)
            << error;
    }
    std::string file(RecordKind kind) const {
        return dir.path(std::string(recordType(kind).fileName()));
    }
    // A copy of the first record of the file, to be changed and loaded as a new one.
    Row firstRow(RecordKind kind) {
        const ToolRun unload = runTool({"unload", file(kind)});
        const std::size_t comma = unload.out.find(',');
        const std::size_t length = std::stoul(unload.out.substr(0, comma));
        return {recordType(kind), unload.out.substr(comma + 1, length)};
    }
    void load(RecordKind kind, const Row& row) {
        const ToolRun r = runTool({"load", file(kind)}, unloadRecord(row.bytes) + "\x1A");
        ASSERT_EQ(r.code, kExitDone) << r.err;
    }
    // Records with every kind of finding the check makes, and harmless values beside them
    // that only look like references.
    void plantFaults() {
        using K = RecordKind;
        Row monster = firstRow(K::Monster);
        monster.set("Number", 900).set("ItemNumber", 2, 777);
        monster.set("AttackType", 3, 2).set("AttackAccuSpell", 3, 444);  // a spell attack
        monster.set("AttackType", 4, 1).set("AttackAccuSpell", 4, 60);   // accuracy 60
        load(K::Monster, monster);
        load(K::Item, firstRow(K::Item).set("Number", 900).set("Negate", 3, 555));
        // The high byte of a shop's Class is no class number.
        load(
            K::Shop,
            firstRow(K::Shop).set("Number", 900).set("ShopItemNumber", 4, 778).set("Class", 0x500));
        Row room = firstRow(K::Room);
        room.set("RoomNumber", 900);
        for (std::size_t d = 0; d < 10; ++d) room.set("RoomExit", d, 0).set("ExitType", d, 0);
        room.set("RoomExit", 0, 950);                        // North to nowhere
        room.set("RoomExit", 1, 951).set("ExitType", 1, 8);  // a map change leads elsewhere
        room.set("RoomExit", 2, 1);                          // East, and no way back West
        load(K::Room, room);
        load(K::User, firstRow(K::User).text("BBSName", "Planted Player").set("Race", 99));
        // Stored, but never to be named: every reference reads 0 as none.
        load(K::Item, firstRow(K::Item).set("Number", 0));
        // Numbers a label may stand for, and exits back judged by their type.
        load(K::Monster, firstRow(K::Monster).set("Number", 904).set("GreetTxt", 88888));
        load(K::Spell, firstRow(K::Spell).set("Number", 904).set("CastMsgB", 7777));
        Row here = firstRow(K::Room), there = firstRow(K::Room);
        here.set("RoomNumber", 904).set("ShopNum", 999);
        there.set("RoomNumber", 905);
        for (std::size_t d = 0; d < 10; ++d) {
            here.set("RoomExit", d, 0).set("ExitType", d, 0);
            there.set("RoomExit", d, 0).set("ExitType", d, 0);
        }
        here.set("RoomExit", 0, 904);  // North into itself
        here.set("RoomExit", 2, 905);  // East, back West by a Map Change
        there.set("RoomExit", 3, 904).set("ExitType", 3, 8);
        load(K::Room, here);
        load(K::Room, there);
    }
    test::ScratchDir dir;
};

// Every file's unload, in the order of allRecordKinds().
inline std::vector<std::string> unloadAll(const std::string& dir) {
    std::vector<std::string> out;
    for (RecordKind kind : allRecordKinds())
        out.push_back(
            runTool({"unload", dir + "/" + std::string(recordType(kind).fileName())}).out);
    return out;
}

// The files whose unloads differ between two unloadAll results: a short failure message.
inline std::vector<std::string> differingFiles(const std::vector<std::string>& a,
                                               const std::vector<std::string>& b) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kRecordKindCount; ++i)
        if (a.at(i) != b.at(i)) names.emplace_back(recordType(allRecordKinds()[i]).fileName());
    return names;
}

}  // namespace gw::tool
