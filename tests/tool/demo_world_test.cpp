// The small demo world: the counts of its plan, references that resolve, exits both ways,
// and the same bytes on every run.
#include "tools/data/demo_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "records/class.h"
#include "records/item.h"
#include "records/message.h"
#include "records/monster.h"
#include "records/race.h"
#include "records/room.h"
#include "records/shop.h"
#include "records/spell.h"
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

class SmallDemoWorld : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new ScratchDir;
        std::string error;
        ASSERT_EQ(buildDemoWorld(dir_->str(), DemoSize::Small, &error), status::kSuccess) << error;
    }
    static void TearDownTestSuite() { delete dir_; }

    template <class Rec>
    static std::vector<Rec> all() {
        RecordFile file(RecordTraits<Rec>::type());
        file.setFileName(*dir_ / std::string(RecordTraits<Rec>::type().fileName()));
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
    static std::set<std::int64_t> numbers() {
        std::set<std::int64_t> out;
        for (const auto& r : all<Rec>()) out.insert(r.Number);
        return out;
    }
    static ScratchDir* dir_;
};
ScratchDir* SmallDemoWorld::dir_ = nullptr;

TEST_F(SmallDemoWorld, HoldsWhatItsPlanSays) {
    const DemoPlan p = demoPlan(DemoSize::Small);
    const std::size_t sizes[] = {
        all<Race>().size(),      all<Class>().size(), all<Spell>().size(), all<Monster>().size(),
        all<Item>().size(),      all<Shop>().size(),  all<Room>().size(),  all<Message>().size(),
        all<Textblock>().size(), all<User>().size()};
    const int planned[] = {
        p.races,    p.classes,    p.spells, p.monsters, p.items, p.shops, p.maps * p.roomsPerMap(),
        p.messages, p.textblocks, p.users};
    for (std::size_t i = 0; i < std::size(sizes); ++i)
        EXPECT_EQ(sizes[i], std::size_t(planned[i])) << i;
}

// Zero means "none"; anything else must name a record.
#define EXPECT_REF(set, number) \
    EXPECT_TRUE((number) == 0 || (set).count(number)) << #number " " << (number)

TEST_F(SmallDemoWorld, EveryReferenceResolvesAndEveryExitHasItsWayBack) {
    const auto races = numbers<Race>(), classes = numbers<Class>(), spells = numbers<Spell>();
    const auto monsters = numbers<Monster>(), items = numbers<Item>(), shops = numbers<Shop>();
    const auto messages = numbers<Message>(), blocks = numbers<Textblock>();
    for (const Spell& s : all<Spell>()) {
        EXPECT_REF(messages, s.CastMsgA);
        EXPECT_REF(messages, s.CastMsgB);
    }
    for (const Monster& m : all<Monster>()) {
        SCOPED_TRACE("monster " + std::to_string(m.Number));
        for (std::int64_t n : {m.WeaponNumber}) EXPECT_REF(items, n);
        for (auto n : m.ItemNumber) EXPECT_REF(items, n);
        for (auto n : m.SpellNumber) EXPECT_REF(spells, n);
        for (auto n : m.AttackHitSpell) EXPECT_REF(spells, n);
        for (const auto& list : {m.AttackHitMsg, m.AttackDodgeMsg, m.AttackMissMsg})
            for (auto n : list) EXPECT_REF(messages, n);
        for (int k = 0; k < 5; ++k)
            if (m.AttackType[k] == 2) EXPECT_REF(spells, m.AttackAccuSpell[k]);
        for (std::int64_t n : {m.MoveMsg, m.DeathMsg}) EXPECT_REF(messages, n);
        for (std::int64_t n : {m.DeathSpellNumber, m.CreateSpellNumber}) EXPECT_REF(spells, n);
        for (std::int64_t n : {m.GreetTxt, m.DescTxt, m.TalkTxt}) EXPECT_REF(blocks, n);
    }
    for (const Item& i : all<Item>()) {
        SCOPED_TRACE("item " + std::to_string(i.Number));
        for (const auto& pair : i.NegatePair) EXPECT_REF(spells, pair.Negate);
        for (auto n : i.Class) EXPECT_REF(classes, n);
        for (auto n : i.Race) EXPECT_REF(races, n);
        for (std::int64_t n : {i.HitMsg, i.MissMsg, i.ReadMsg, i.DistructMsg})
            EXPECT_REF(messages, n);
    }
    for (const Shop& s : all<Shop>()) {
        for (auto n : s.ShopItemNumber) EXPECT_REF(items, n);
        EXPECT_REF(classes, s.Class & 0xFF);
    }
    std::set<std::int64_t> shopsInRooms;
    std::map<std::pair<int, int>, Room> rooms;
    for (const Room& r : all<Room>()) {
        for (auto n : r.RoomItems) EXPECT_REF(items, n);
        for (auto n : r.InvisItems) EXPECT_REF(items, n);
        for (auto n : r.PlacedItems) EXPECT_REF(items, n);
        for (auto n : r.CurrentRoomMon) EXPECT_REF(monsters, n);
        EXPECT_REF(blocks, r.CmdText);
        EXPECT_REF(shops, r.ShopNum);
        if (r.ShopNum != 0) {
            EXPECT_EQ(r.RoomType, 1);
            shopsInRooms.insert(r.ShopNum);
        }
        rooms[{r.MapNumber, r.RoomNumber}] = r;
    }
    EXPECT_EQ(shopsInRooms, shops);
    for (const User& u : all<User>()) {
        EXPECT_TRUE(races.count(u.Race) && classes.count(u.Class)) << u.Race << " " << u.Class;
        for (auto n : u.Item) EXPECT_REF(items, n);
        EXPECT_NE(std::count(u.Item.begin(), u.Item.end(), 0), std::ssize(u.Item));
    }
    for (const Textblock& t : all<Textblock>()) {
        EXPECT_REF(blocks, t.LinkTo);
        EXPECT_FALSE(decodeTextblockData({t.Data.data(), t.Data.size()}).empty());
    }
    for (const auto& [key, room] : rooms) {
        SCOPED_TRACE("map " + std::to_string(key.first) + " room " + std::to_string(key.second));
        EXPECT_NE(std::count(room.RoomExit.begin(), room.RoomExit.end(), 0),
                  std::ssize(room.RoomExit));
        for (std::size_t d = 0; d < values::kDirectionCount; ++d) {
            if (room.RoomExit[d] == 0) continue;
            const auto target = rooms.find({key.first, room.RoomExit[d]});
            ASSERT_NE(target, rooms.end()) << values::kDirectionNames[d];
            const std::size_t back = values::oppositeDirection(d);
            EXPECT_EQ(target->second.RoomExit[back], key.second) << values::kDirectionNames[d];
            EXPECT_EQ(target->second.ExitType[back], room.ExitType[d]);
        }
    }
}

TEST(DemoWorld, SameBytesEveryRunAndRefusesExistingFiles) {
    ScratchDir a, b;
    std::string error;
    ASSERT_EQ(buildDemoWorld(a.str(), DemoSize::Small, &error), status::kSuccess) << error;
    ASSERT_EQ(buildDemoWorld(b.str(), DemoSize::Small, &error), status::kSuccess) << error;
    for (RecordKind kind : allRecordKinds()) {
        const std::string name(recordType(kind).fileName());
        const auto first = runTool({"unload", a / name});
        ASSERT_EQ(first.code, 0) << name << first.err;
        EXPECT_EQ(first.out, runTool({"unload", b / name}).out) << name;
    }
    EXPECT_EQ(buildDemoWorld(a.str(), DemoSize::Small, &error), status::kFileExists);
    EXPECT_NE(error.find("exists"), std::string::npos);
    EXPECT_EQ(runTool({"demo", a.str(), "--size", "small"}).code, 1);
    const auto forced = runTool({"demo", a.str(), "--size", "small", "--force"});
    EXPECT_EQ(forced.code, 0) << forced.err;
    EXPECT_NE(forced.out.find("wccmp002.dat  24 Room records"), std::string::npos) << forced.out;
}

}  // namespace
}  // namespace gw::demo
