// The small demo world: the counts of its plan, references that resolve, exits both ways,
// and the same bytes on every run.
#include "tools/data/demo_world.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "records/class.h"
#include "records/item.h"
#include "records/message.h"
#include "records/monster.h"
#include "records/race.h"
#include "records/room.h"
#include "records/shop.h"
#include "records/spell.h"
#include "records/text_fields.h"
#include "records/textblock.h"
#include "records/textblock_text.h"
#include "records/user.h"
#include "records/value_lists.h"
#include "store/record_file.h"
#include "tool_test_support.h"

namespace gw::demo {
namespace {

using tool::testing::runTool;
using tool::testing::ScratchDir;

template <class Rec>
std::vector<Rec> readAll(const ScratchDir& dir) {
    RecordFile file(RecordTraits<Rec>::type());
    file.setFileName(dir / std::string(RecordTraits<Rec>::type().fileName()));
    std::vector<Rec> out;
    EXPECT_EQ(file.open("BOPEN"), status::kSuccess);
    Status s = file.call(BGETFIRST, "BGETFIRST");
    for (; s == status::kSuccess; s = file.call(BGETNEXT, "BGETNEXT"))
        out.push_back(file.as<Rec>());
    EXPECT_EQ(s, status::kEndOfFile);
    file.close("BCLOSE");
    return out;
}

template <class Rec>
std::set<std::int64_t> numbers(const std::vector<Rec>& records) {
    std::set<std::int64_t> out;
    for (const auto& r : records) out.insert(r.Number);
    return out;
}

// Zero means "none"; anything else must name a record.
void expectRef(const std::set<std::int64_t>& existing, std::int64_t number, const char* what) {
    if (number != 0) {
        EXPECT_TRUE(existing.count(number)) << what << " " << number;
    }
}

class SmallDemoWorld : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new ScratchDir;
        std::string error;
        ASSERT_EQ(buildDemoWorld(dir_->str(), DemoSize::Small, &error), status::kSuccess) << error;
    }
    static void TearDownTestSuite() { delete dir_; }
    static ScratchDir* dir_;
};
ScratchDir* SmallDemoWorld::dir_ = nullptr;

TEST_F(SmallDemoWorld, HoldsWhatItsPlanSays) {
    const DemoPlan p = demoPlan(DemoSize::Small);
    EXPECT_EQ(readAll<Race>(*dir_).size(), std::size_t(p.races));
    EXPECT_EQ(readAll<Class>(*dir_).size(), std::size_t(p.classes));
    EXPECT_EQ(readAll<Spell>(*dir_).size(), std::size_t(p.spells));
    EXPECT_EQ(readAll<Monster>(*dir_).size(), std::size_t(p.monsters));
    EXPECT_EQ(readAll<Item>(*dir_).size(), std::size_t(p.items));
    EXPECT_EQ(readAll<Shop>(*dir_).size(), std::size_t(p.shops));
    EXPECT_EQ(readAll<Room>(*dir_).size(), std::size_t(p.maps * p.roomsPerMap()));
    EXPECT_EQ(readAll<Message>(*dir_).size(), std::size_t(p.messages));
    EXPECT_EQ(readAll<Textblock>(*dir_).size(), std::size_t(p.textblocks));
    EXPECT_EQ(readAll<User>(*dir_).size(), std::size_t(p.users));
    for (const Race& r : readAll<Race>(*dir_)) EXPECT_FALSE(shownText({r.Name.data(), 29}).empty());
}

TEST_F(SmallDemoWorld, EveryReferenceResolves) {
    const auto races = numbers(readAll<Race>(*dir_));
    const auto classes = numbers(readAll<Class>(*dir_));
    const auto spells = numbers(readAll<Spell>(*dir_));
    const auto monsters = numbers(readAll<Monster>(*dir_));
    const auto items = numbers(readAll<Item>(*dir_));
    const auto shops = numbers(readAll<Shop>(*dir_));
    const auto messages = numbers(readAll<Message>(*dir_));
    const auto blocks = numbers(readAll<Textblock>(*dir_));

    for (const Spell& s : readAll<Spell>(*dir_)) {
        expectRef(messages, s.CastMsgA, "spell CastMsgA");
        expectRef(messages, s.CastMsgB, "spell CastMsgB");
    }
    for (const Monster& m : readAll<Monster>(*dir_)) {
        SCOPED_TRACE("monster " + std::to_string(m.Number));
        expectRef(items, m.WeaponNumber, "weapon");
        for (auto n : m.ItemNumber) expectRef(items, n, "drop");
        for (auto n : m.SpellNumber) expectRef(spells, n, "spell");
        for (auto n : m.AttackHitSpell) expectRef(spells, n, "hit spell");
        for (auto n : m.AttackHitMsg) expectRef(messages, n, "hit message");
        for (auto n : m.AttackDodgeMsg) expectRef(messages, n, "dodge message");
        for (auto n : m.AttackMissMsg) expectRef(messages, n, "miss message");
        for (int k = 0; k < 5; ++k)
            if (m.AttackType[k] == 2) expectRef(spells, m.AttackAccuSpell[k], "attack spell");
        expectRef(messages, m.MoveMsg, "move message");
        expectRef(messages, m.DeathMsg, "death message");
        expectRef(spells, m.DeathSpellNumber, "death spell");
        expectRef(spells, m.CreateSpellNumber, "create spell");
        expectRef(blocks, m.GreetTxt, "greet text");
        expectRef(blocks, m.DescTxt, "desc text");
        expectRef(blocks, m.TalkTxt, "talk text");
    }
    for (const Item& i : readAll<Item>(*dir_)) {
        SCOPED_TRACE("item " + std::to_string(i.Number));
        for (const auto& pair : i.NegatePair) expectRef(spells, pair.Negate, "negate spell");
        for (auto n : i.Class) expectRef(classes, n, "class");
        for (auto n : i.Race) expectRef(races, n, "race");
        for (auto n : {i.HitMsg, i.MissMsg, i.ReadMsg, i.DistructMsg})
            expectRef(messages, n, "message");
    }
    for (const Shop& s : readAll<Shop>(*dir_)) {
        for (auto n : s.ShopItemNumber) expectRef(items, n, "shop item");
        expectRef(classes, s.Class & 0xFF, "shop class");
    }
    std::set<std::int64_t> shopsInRooms;
    for (const Room& r : readAll<Room>(*dir_)) {
        for (auto n : r.RoomItems) expectRef(items, n, "room item");
        for (auto n : r.InvisItems) expectRef(items, n, "invisible item");
        for (auto n : r.PlacedItems) expectRef(items, n, "placed item");
        for (auto n : r.CurrentRoomMon) expectRef(monsters, n, "room monster");
        expectRef(shops, r.ShopNum, "room shop");
        expectRef(blocks, r.CmdText, "room command text");
        if (r.ShopNum != 0) {
            EXPECT_EQ(r.RoomType, 1);
            shopsInRooms.insert(r.ShopNum);
        }
    }
    EXPECT_EQ(shopsInRooms, shops);
    for (const User& u : readAll<User>(*dir_)) {
        EXPECT_TRUE(races.count(u.Race));
        EXPECT_TRUE(classes.count(u.Class));
        int carried = 0;
        for (std::size_t k = 0; k < u.Item.size(); ++k) {
            expectRef(items, u.Item[k], "inventory item");
            carried += u.Item[k] != 0;
        }
        EXPECT_GT(carried, 0);
    }
    for (const Textblock& t : readAll<Textblock>(*dir_)) {
        expectRef(blocks, t.LinkTo, "linked block");
        EXPECT_FALSE(decodeTextblockData({t.Data.data(), t.Data.size()}).empty());
    }
}

TEST_F(SmallDemoWorld, EveryExitHasItsWayBack) {
    std::map<std::pair<int, int>, Room> rooms;
    for (const Room& r : readAll<Room>(*dir_)) rooms[{r.MapNumber, r.RoomNumber}] = r;
    const DemoPlan p = demoPlan(DemoSize::Small);
    ASSERT_EQ(rooms.size(), std::size_t(p.maps * p.roomsPerMap()));
    for (const auto& [key, room] : rooms) {
        int exits = 0;
        for (std::size_t d = 0; d < values::kDirectionCount; ++d) {
            const int to = room.RoomExit[d];
            if (to == 0) continue;
            ++exits;
            SCOPED_TRACE("map " + std::to_string(key.first) + " room " +
                         std::to_string(key.second) + " " +
                         std::string(values::kDirectionNames[d]));
            const auto target = rooms.find({key.first, to});
            ASSERT_NE(target, rooms.end());
            const std::size_t back = values::oppositeDirection(d);
            EXPECT_EQ(target->second.RoomExit[back], key.second);
            EXPECT_EQ(target->second.ExitType[back], room.ExitType[d]);
        }
        EXPECT_GT(exits, 0) << "room " << key.second << " of map " << key.first;
    }
}

TEST(DemoWorld, SameBytesEveryRunAndRefusesExistingFiles) {
    ScratchDir a, b;
    std::string error;
    ASSERT_EQ(buildDemoWorld(a.str(), DemoSize::Small, &error), status::kSuccess) << error;
    ASSERT_EQ(buildDemoWorld(b.str(), DemoSize::Small, &error), status::kSuccess) << error;
    for (RecordKind kind : allRecordKinds()) {
        const std::string name(recordType(kind).fileName());
        SCOPED_TRACE(name);
        const auto first = runTool({"unload", a / name});
        ASSERT_EQ(first.code, 0) << first.err;
        EXPECT_EQ(first.out, runTool({"unload", b / name}).out);
    }

    EXPECT_EQ(buildDemoWorld(a.str(), DemoSize::Small, &error), status::kFileExists);
    EXPECT_NE(error.find("exists"), std::string::npos);
    const auto refused = runTool({"demo", a.str(), "--size", "small"});
    EXPECT_EQ(refused.code, 1);
    const auto forced = runTool({"demo", a.str(), "--size", "small", "--force"});
    EXPECT_EQ(forced.code, 0) << forced.err;
    EXPECT_NE(forced.out.find("wccmp002.dat  24 Room records"), std::string::npos) << forced.out;
}

}  // namespace
}  // namespace gw::demo
