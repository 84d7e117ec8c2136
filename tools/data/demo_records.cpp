#include <algorithm>
#include <cstring>
#include <set>

#include "records/text_fields.h"
#include "records/textblock_text.h"
#include "tools/data/demo_plan.h"

namespace gw::demo {

namespace {

template <std::size_t N>
void put(std::array<char, N>& field, const std::string& stored) {
    std::memcpy(field.data(), stored.data(), N);
}
template <std::size_t N>
void putZeroEnded(std::array<char, N>& field, std::string_view text) {
    put(field, zeroEnded(text, N));
}
template <std::size_t N>
void putTrimmed(std::array<char, N>& field, std::string_view text) {
    put(field, trimmedZeroEnded(text, N));
}
template <std::size_t N>
void putBlankFilled(std::array<char, N>& field, std::string_view text) {
    put(field, blankFilled(text, N));
}

std::int16_t i16(int v) { return static_cast<std::int16_t>(v); }
std::uint8_t u8(int v) { return static_cast<std::uint8_t>(v); }
template <class List>
int lastOf(const List& list) {
    return static_cast<int>(std::size(list)) - 1;
}

// Record numbers start at 1, so "one of n" is 1..n.
int anyOf(Rng& rng, int count) { return rng.range(1, count); }

void setAbilities(Rng& rng, auto& codes, auto& amounts, int used) {
    for (int k = 0; k < used && k < static_cast<int>(std::size(amounts)); ++k) {
        codes[k] = i16(rng.range(1, 187));
        amounts[k] = i16(rng.range(-20, 40));
    }
}

// Each record draws from its own stream, so one record's changes never move the others.
Rng streamFor(int file, int i) { return Rng(static_cast<std::uint64_t>(file) * 1000003u + i); }

}  // namespace

void fillRace(const World&, Race& r, int i) {
    Rng rng = streamFor(1, i);
    r.Number = i16(i);
    putZeroEnded(r.Name, kRaceNames[(i - 1) % kRaceNames.size()]);
    for (auto* stat : {&r.MinIntellect, &r.MinWillpower, &r.MinStrength, &r.MinHealth,
                       &r.MinAgility, &r.MinCharm})
        *stat = i16(rng.range(20, 45));
    for (auto* stat : {&r.MaxIntellect, &r.MaxWillpower, &r.MaxStrength, &r.MaxHealth,
                       &r.MaxAgility, &r.MaxCharm})
        *stat = i16(rng.range(70, 120));
    r.HpBonus = i16(rng.range(0, 5));
    r.Cp = i16(rng.range(80, 120));
    r.ExpChart = i16(rng.range(90, 160));
    setAbilities(rng, r.AbilityA, r.AbilityB, rng.range(0, 3));
}

void fillClass(const World& w, Class& r, int i) {
    Rng rng = streamFor(2, i);
    r.Number = i16(i);
    putZeroEnded(r.Name, kClassNames[(i - 1) % kClassNames.size()]);
    r.MinHP = i16(rng.range(3, 8));
    r.MaxHP = i16(rng.range(2, 6));
    r.Exp = i16(rng.range(0, 80));
    r.MagicType = i16(rng.range(0, lastOf(values::kMagery)));
    r.MagicLvL = i16(r.MagicType == 0 ? 0 : rng.range(1, 3));
    r.Weapon = i16(rng.range(0, lastOf(values::kClassWeapons)));
    r.Armour = i16(rng.range(0, lastOf(values::kArmour)));
    r.Combat = i16(rng.range(2, 5));
    r.TitleText = i16(anyOf(rng, w.plan.textblocks));
    setAbilities(rng, r.AbilityA, r.AbilityB, rng.range(0, 2));
}

void fillSpell(const World& w, Spell& r, int i) {
    Rng rng = streamFor(3, i);
    r.Number = i16(i);
    const std::string name = spellName(rng, i);
    putZeroEnded(r.Name, name);
    const auto lines = description(rng, 49, 2);
    putTrimmed(r.DescA, lines[0]);
    putTrimmed(r.DescB, lines.size() > 1 ? lines[1] : "");
    std::string shortName;
    for (char ch : name)
        if (ch != ' ' && shortName.size() < 4) shortName.push_back(ch);
    putTrimmed(r.ShortName, shortName);
    r.CastMsgA = anyOf(rng, w.plan.messages);
    // A 16-bit field: a bigger world's messages beyond its reach are not named by it.
    r.CastMsgB = i16(anyOf(rng, std::min(w.plan.messages, 32767)));
    r.LevelCap = u8(rng.range(10, 60));
    r.MsgStyle = u8(rng.range(0, 1));
    r.Energy = i16(rng.range(100, 500));
    r.Level = i16(rng.range(1, 50));
    r.Min = i16(rng.range(1, 10));
    r.Max = i16(r.Min + rng.range(2, 30));
    r.SpellType = i16(rng.range(0, lastOf(values::kSpellType)));
    r.TypeOfResists = i16(rng.range(0, lastOf(values::kTypeOfResists)));
    r.Difficulty = i16(rng.range(0, 100));
    r.Target = i16(rng.range(0, lastOf(values::kTarget)));
    r.Length = i16(rng.range(0, 20));
    r.TypeOfAttack = i16(rng.range(0, lastOf(values::kTypeOfAttack)));
    r.ResistAbility = i16(rng.range(0, lastOf(values::kResistAbility)));
    r.MageryA = i16(rng.range(1, lastOf(values::kMagery)));
    r.MageryB = i16(rng.range(1, 3));
    r.Mana = i16(rng.range(2, 40));
    r.LevelMod = u8(rng.range(0, 5));
    r.Increase = u8(rng.range(0, 5));
    setAbilities(rng, r.AbilityA, r.AbilityB, rng.range(1, 3));
}

void fillMonster(const World& w, Monster& r, int i) {
    Rng rng = streamFor(4, i);
    const DemoPlan& p = w.plan;
    r.Number = i;
    putZeroEnded(r.Name, monsterName(i - 1));
    r.Group = i16(rng.range(0, lastOf(values::kMonsterGroups)));
    r.Index = i16(rng.range(0, 10));
    r.WeaponNumber = rng.chance(60) ? rng.pick(w.weapons) : 0;
    r.AC1 = i16(rng.range(0, 40));
    r.AC2 = i16(rng.range(0, 10));
    r.Follow = i16(rng.range(0, 100));
    r.MR = i16(rng.range(0, 80));
    // Experience is unsigned in the game: large amounts wrap into the negative int16 range.
    r.Experience = static_cast<std::int16_t>(static_cast<std::uint16_t>(rng.range(5, 65535)));
    r.HitPoints = i16(rng.range(5, 900));
    r.Energy = i16(rng.range(500, 1500));
    r.HpRegen = i16(rng.range(0, 10));
    setAbilities(rng, r.AbilityA, r.AbilityB, rng.range(0, 2));
    r.GameLimit = i16(rng.range(0, 5));
    r.Type = i16(rng.range(0, lastOf(values::kMonsterTypes)));
    r.Undead = u8(rng.chance(15));
    r.Alignment = i16(rng.range(0, lastOf(values::kAlignments)));
    r.RegenTime = i16(rng.range(0, 60));
    r.MoveMsg = anyOf(rng, p.messages);
    r.DeathMsg = anyOf(rng, p.messages);
    for (int k = rng.range(0, 3) - 1; k >= 0; --k) {
        r.ItemNumber[k] = anyOf(rng, p.items);
        r.ItemUses[k] = i16(rng.range(0, 5));
        r.ItemDropPer[k] = u8(rng.range(5, 100));
    }
    r.Gold = rng.range(0, 50);
    r.Silver = rng.range(0, 200);
    r.Copper = rng.range(0, 500);
    const auto lines = description(rng, 68, 4);
    std::array<decltype(&r.DescLine1), 4> desc{&r.DescLine1, &r.DescLine2, &r.DescLine3,
                                               &r.DescLine4};
    for (std::size_t k = 0; k < desc.size(); ++k)
        putBlankFilled(*desc[k], k < lines.size() ? lines[k] : "");
    r.Gender = u8(rng.range(0, lastOf(values::kGenders)));
    r.GreetTxt = rng.chance(20) ? anyOf(rng, p.textblocks) : 0;
    r.Charmlvl = i16(rng.range(0, 20));
    r.DescTxt = rng.chance(30) ? anyOf(rng, p.textblocks) : 0;
    r.TalkTxt = rng.chance(20) ? anyOf(rng, p.textblocks) : 0;
    for (int k = 0; k < rng.range(1, 5); ++k) {
        r.AttackType[k] = u8(rng.range(1, lastOf(values::kAttackTypes)));
        const bool spell = r.AttackType[k] == 2;
        r.AttackAccuSpell[k] = i16(spell ? anyOf(rng, p.spells) : rng.range(10, 90));
        r.AttackPer[k] = u8(rng.range(10, 100));
        r.AttackMinHCastPer[k] = i16(rng.range(1, 10));
        r.AttackMaxHCastLvL[k] = i16(r.AttackMinHCastPer[k] + rng.range(1, 20));
        r.AttackHitMsg[k] = anyOf(rng, p.messages);
        r.AttackDodgeMsg[k] = anyOf(rng, p.messages);
        r.AttackMissMsg[k] = anyOf(rng, p.messages);
        r.AttackEnergy[k] = i16(rng.range(100, 500));
        r.AttackHitSpell[k] = i16(rng.chance(10) ? anyOf(rng, p.spells) : 0);
    }
    r.DeathSpellNumber = i16(rng.chance(10) ? anyOf(rng, p.spells) : 0);
    r.CreateSpellNumber = i16(rng.chance(10) ? anyOf(rng, p.spells) : 0);
    for (int k = rng.range(0, 2) - 1; k >= 0; --k) {
        r.SpellNumber[k] = i16(anyOf(rng, p.spells));
        r.SpellCastPer[k] = u8(rng.range(5, 50));
        r.SpellCastLvL[k] = u8(rng.range(1, 20));
    }
}

void fillItem(const World& w, Item& r, int i) {
    Rng rng = streamFor(5, i);
    const DemoPlan& p = w.plan;
    const int type = w.itemType[static_cast<std::size_t>(i)];
    r.Number = i;
    putZeroEnded(r.Name, itemName(type, w.itemOrdinal[static_cast<std::size_t>(i)]));
    const auto lines = description(rng, 59, 3);
    std::array desc{&r.Desc1, &r.Desc2, &r.Desc3, &r.Desc4, &r.Desc5,
                    &r.Desc6, &r.Desc7, &r.Desc8, &r.Desc9};
    for (std::size_t k = 0; k < desc.size(); ++k)
        putZeroEnded(*desc[k], k < lines.size() ? lines[k] : "");
    r.Limit = i16(rng.range(0, 100));
    r.Weight = i16(rng.range(1, 80));
    r.Type = i16(type);
    setAbilities(rng, r.AbilityA, r.AbilityB, rng.range(0, 2));
    r.Uses = i16(rng.range(0, 20));
    r.Cost = i16(rng.range(1, 5000));
    r.CostType = u8(rng.range(0, lastOf(values::kCurrencies)));
    r.DestroyOnDeath = u8(rng.chance(10));
    for (int k = rng.chance(30) ? rng.range(1, 3) - 1 : -1; k >= 0; --k)
        r.Class[k] = i16(anyOf(rng, p.classes));
    for (int k = rng.chance(20) ? rng.range(1, 3) - 1 : -1; k >= 0; --k)
        r.Race[k] = i16(anyOf(rng, p.races));
    for (int k = rng.chance(15) ? rng.range(1, 2) - 1 : -1; k >= 0; --k)
        r.NegatePair[k].Negate = i16(anyOf(rng, p.spells));
    if (type == 1) {
        r.Weapon = i16(rng.range(0, lastOf(values::kItemWeapons)));
        r.MinHit = i16(rng.range(1, 8));
        r.MaxHit = i16(r.MinHit + rng.range(2, 20));
        r.Accuracy = i16(rng.range(0, 20));
        r.Speed = i16(rng.range(800, 2000));
        r.HitMsg = anyOf(rng, p.messages);
        r.MissMsg = anyOf(rng, p.messages);
    } else if (type == 0) {
        r.Armour = i16(rng.range(0, lastOf(values::kArmour)));
        r.WornOn = i16(rng.range(2, lastOf(values::kWornPlaces)));
        r.AC = i16(rng.range(1, 15));
        r.DR = i16(rng.range(0, 8));
    } else if (type == 9) {
        r.ReadMsg = anyOf(rng, p.messages);
    }
    r.DistructMsg = rng.chance(10) ? anyOf(rng, p.messages) : 0;
    r.Gettable = 1;
    r.ReqSTR = i16(rng.range(0, 80));
    r.NotDroppable = u8(rng.chance(5));
}

void fillShop(const World& w, Shop& r, int i) {
    Rng rng = streamFor(6, i);
    const DemoPlan& p = w.plan;
    r.Number = i;
    r.Type = i16(rng.range(0, lastOf(values::kShopTypes)));
    putZeroEnded(r.Name, shopName(rng, r.Type));
    for (auto* text : {&r.ReservedText1, &r.ReservedText2, &r.ReservedText3})
        putBlankFilled(*text, "");
    r.ShopMinLvl = i16(rng.range(0, 10));
    r.ShopMaxLvl = i16(r.ShopMinLvl + rng.range(5, 90));
    r.ShopMarkup = i16(rng.range(0, 150));
    r.Class = i16(rng.chance(25) ? anyOf(rng, p.classes) : 0);
    const int sold = std::min(20, rng.range(3, 12));
    for (int k = 0; k < sold; ++k) {
        r.ShopItemNumber[k] = anyOf(rng, p.items);
        r.ShopMax[k] = i16(rng.range(1, 20));
        r.ShopNormal[k] = i16(rng.range(0, r.ShopMax[k]));
        r.ShopRgnTime[k] = i16(rng.range(1, 60));
        r.RgnNumber[k] = i16(rng.range(1, 5));
        r.RgnPercentage[k] = u8(rng.range(10, 100));
    }
}

void fillRoom(const World& w, Room& r, int i) {
    Rng rng = streamFor(7, i);
    const DemoPlan& p = w.plan;
    const int map = (i - 1) / p.roomsPerMap(), room = (i - 1) % p.roomsPerMap();
    r.MapNumber = map + 1;
    r.RoomNumber = room + 1;
    const auto region = kRegionNames[static_cast<std::size_t>(map) % kRegionNames.size()];
    putZeroEnded(r.Name, std::string(region) + ", " + roomName(room));
    const auto lines = description(rng, 70, 5);
    for (std::size_t k = 0; k < r.Desc.size(); ++k)
        putTrimmed(r.Desc[k], k < lines.size() ? lines[k] : "");
    putBlankFilled(r.AnsiMap, "");
    const auto& exits = w.exits[static_cast<std::size_t>(map)][static_cast<std::size_t>(room)];
    for (std::size_t d = 0; d < exits.size(); ++d) {
        r.RoomExit[d] = exits[d];
        // Doors are doors from both sides: the type is a property of the pair of rooms.
        const int a = std::min(room + 1, exits[d]), b = std::max(room + 1, exits[d]);
        if (exits[d] != 0 && (a * 7919 + b) % 23 == 0) r.ExitType[d] = 7;
    }
    for (const auto& [trapMap, trapRoom] : w.trapdoors)
        if (trapMap == map && trapRoom == room) r.ExitType[kDownSlot] = kTrapExit;
    for (const auto& [changeMap, changeRoom, slot] : w.mapChanges)
        if (changeMap == map && changeRoom == room)
            r.ExitType[static_cast<std::size_t>(slot)] = kMapChangeExit;
    for (int k = rng.chance(20) ? rng.range(1, 3) - 1 : -1; k >= 0; --k)
        r.CurrentRoomMon[k] = i16(anyOf(rng, p.monsters));
    const std::int16_t shop =
        w.shopAt[static_cast<std::size_t>(map)][static_cast<std::size_t>(room)];
    r.ShopNum = shop;
    r.RoomType = i16(shop != 0 ? 1 : rng.chance(3) ? rng.range(2, lastOf(values::kRoomTypes)) : 0);
    r.Light = i16(rng.range(-50, 100));
    for (int k = rng.chance(25) ? rng.range(1, 4) - 1 : -1; k >= 0; --k)
        r.RoomItems[k] = anyOf(rng, p.items);
    for (int k = rng.chance(5) ? 0 : -1; k >= 0; --k) r.InvisItems[k] = anyOf(rng, p.items);
    r.Copper = rng.chance(10) ? rng.range(1, 100) : 0;
    r.MaxRegen = rng.range(0, 5);
    r.MonsterType = rng.range(0, lastOf(values::kMonsterGroups));
    r.CmdText = rng.chance(5) ? anyOf(rng, p.textblocks) : 0;
    for (int k = rng.chance(5) ? 0 : -1; k >= 0; --k) r.PlacedItems[k] = anyOf(rng, p.items);
}

void fillMessage(const World&, Message& r, int i) {
    Rng rng = streamFor(8, i);
    r.Number = i;
    putTrimmed(r.MessageLine1, messageLine(rng));
    putTrimmed(r.MessageLine2, rng.chance(40) ? messageLine(rng) : "");
    putTrimmed(r.MessageLine3, rng.chance(60) ? messageLine(rng) : "");
}

void fillTextblock(const World& w, Textblock& r, int i) {
    Rng rng = streamFor(9, i);
    r.Number = i;
    r.StepOrder = 1;
    r.LinkTo = i < w.plan.textblocks && rng.chance(20) ? i + 1 : 0;
    put(r.Data, encodeTextblockData(storyText(rng)));
}

void fillUser(const World& w, User& r, int i) {
    Rng rng = streamFor(10, i);
    const DemoPlan& p = w.plan;
    const std::string first = personFirstName(rng), last = personLastName(rng);
    // The number keeps the key unique however the names fall.
    putZeroEnded(r.BBSName, first + " " + last + " " + std::to_string(i));
    putZeroEnded(r.FirstName, first);
    putZeroEnded(r.LastName, last);
    r.Race = i16(anyOf(rng, p.races));
    r.Class = i16(anyOf(rng, p.classes));
    r.Level = i16(rng.range(1, 60));
    r.Experience = rng.range(0, 50000000);
    for (std::size_t k = 0; k < 6; ++k) {
        r.Stat[k] = i16(rng.range(30, 100));
        r.Stat[k + 6] = r.Stat[k];
    }
    r.MaxHP = i16(rng.range(20, 400));
    r.CurrentHP = i16(rng.range(1, r.MaxHP));
    const int carried = rng.range(2, 25);
    for (int k = 0; k < carried; ++k) {
        r.Item[k] = anyOf(rng, p.items);
        r.ItemUses[k] = i16(rng.range(0, 10));
    }
}

}  // namespace gw::demo
