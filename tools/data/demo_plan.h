#pragma once
// The demo world's shape and the filling of its records, shared by the generator's files.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
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
#include "records/user.h"
#include "records/value_lists.h"
#include "tools/data/demo_text.h"
#include "tools/data/demo_world.h"

namespace gw::demo {

// The world's shape, decided before anything is written so references can point forward.
struct World {
    DemoPlan plan;
    std::vector<int> itemType;     // by item number (index 0 unused)
    std::vector<int> weapons;      // item numbers of the weapons
    std::vector<int> itemOrdinal;  // by item number: how many items of its type come before
    // Per map, per room (index room number - 1): the ten exits.
    std::vector<std::vector<std::array<std::int32_t, values::kDirectionCount>>> exits;
    std::vector<std::vector<std::int16_t>> shopAt;  // per map and room, 0 = no shop
    // (map, room index) of the rooms whose Down exit is a trapdoor with no way back up.
    std::vector<std::pair<int, int>> trapdoors;
    // (map, room index, slot) of the exits that are Map Changes into the next or last map.
    std::vector<std::array<int, 3>> mapChanges;
};

inline constexpr std::int16_t kTrapExit = 9;       // exit type "Trap"
inline constexpr std::int16_t kMapChangeExit = 8;  // exit type "Map Change"
inline constexpr std::size_t kUpSlot = 8, kDownSlot = 9;

World planWorld(DemoSize size, int scale = 1);

// Record number i (from 1) of each file; every reference stays inside the plan's counts.
void fillRace(const World& w, Race& r, int i);
void fillClass(const World& w, Class& r, int i);
void fillSpell(const World& w, Spell& r, int i);
void fillMonster(const World& w, Monster& r, int i);
void fillItem(const World& w, Item& r, int i);
void fillShop(const World& w, Shop& r, int i);
// Room index i from 1 runs through the maps in key order.
void fillRoom(const World& w, Room& r, int i);
void fillMessage(const World& w, Message& r, int i);
void fillTextblock(const World& w, Textblock& r, int i);
// Player names are unique: the plan's users get distinct BBSName keys.
void fillUser(const World& w, User& r, int i);

}  // namespace gw::demo
