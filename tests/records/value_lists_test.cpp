#include "records/value_lists.h"

#include <gtest/gtest.h>

#include <string>

#include "records/abilities.h"

namespace gw {
namespace {

using namespace values;

TEST(ValueLists, SizesAndTheSpellingsThatAreEasyToGetWrong) {
    EXPECT_EQ(kMagery.size(), 6u);
    EXPECT_EQ(kMagery.back(), "Kai");
    EXPECT_EQ(kClassWeapons.size(), 10u);
    EXPECT_EQ(kClassWeapons[2], "1H Sharp");
    EXPECT_EQ(kClassWeapons.back(), "Limited (staff)");
    EXPECT_EQ(kArmour.size(), 10u);
    EXPECT_EQ(kArmour[6], "Studded Rigid Leather");
    EXPECT_EQ(kArmour.back(), "Platemail");
    ASSERT_EQ(kItemWeapons.size(), 4u);
    EXPECT_EQ(kItemWeapons[2], "2H Sharp");
    EXPECT_EQ(kItemWeapons[3], "2H Sharp");

    EXPECT_EQ(kSpellType.size(), 4u);
    EXPECT_EQ(kSpellType[0], "Auto-Combat");
    EXPECT_EQ(kSpellType[2], "Change me");
    EXPECT_EQ(kTypeOfResists.size(), 3u);
    EXPECT_EQ(kTarget.size(), 14u);
    EXPECT_EQ(kTarget[5], "Divided Area Incl. You");
    EXPECT_EQ(kTarget.back(), "Full Party Area");
    EXPECT_EQ(kTypeOfAttack.size(), 7u);
    EXPECT_EQ(kResistAbility.size(), 7u);
    EXPECT_EQ(kResistAbility[0], "Magic Resistance");
    EXPECT_EQ(kMsgStyle.size(), 2u);

    ASSERT_EQ(kMonsterGroups.size(), 40u);
    EXPECT_EQ(kMonsterGroups[5], "Guard");
    for (int k = 1; k <= 30; ++k) EXPECT_EQ(kMonsterGroups[5 + k], "Group " + std::to_string(k));
    EXPECT_EQ(kMonsterGroups[36], "Arena");
    EXPECT_EQ(kMonsterGroups[39], "Other");
    EXPECT_EQ(kMonsterTypes.size(), 4u);
    EXPECT_EQ(kAlignments.size(), 7u);
    EXPECT_EQ(kAlignments.back(), "Lawful Evil");
    EXPECT_EQ(kGenders.size(), 3u);
    EXPECT_EQ(kAttackTypes.size(), 4u);
    EXPECT_EQ(kAttackTypes[3], "Rob");

    EXPECT_EQ(kItemTypes.size(), 11u);
    EXPECT_EQ(kItemTypes.back(), "Special");
    EXPECT_EQ(kWornPlaces.size(), 16u);
    EXPECT_EQ(kWornPlaces[4], "Finger(1)");
    EXPECT_EQ(kWornPlaces[12], "Off-Hand");
    EXPECT_EQ(kWornPlaces.back(), "Ears");
    ASSERT_EQ(kCurrencies.size(), 5u);
    EXPECT_EQ(kCurrencies[4], "Runic");
    EXPECT_EQ(kShopTypes.size(), 13u);
    EXPECT_EQ(kShopTypes.back(), "Deed Shop");

    EXPECT_EQ(kExitTypes.size(), 25u);
    EXPECT_EQ(kExitTypes[12], "Remote Action");
    EXPECT_EQ(kExitTypes.back(), "Spell Trap");
    EXPECT_EQ(kRoomTypes.size(), 8u);
    EXPECT_EQ(kRoomTypes[5], "Colliseum");
    EXPECT_EQ(kDirectionNames[8], "UP");
    EXPECT_EQ(kDirectionNames[9], "Down");
    EXPECT_EQ(kExitRowLabels[4], "NE");
}

TEST(ValueLists, OppositeDirectionsPairUp) {
    for (std::size_t d = 0; d < kDirectionCount; ++d) {
        SCOPED_TRACE(std::string(kDirectionNames[d]));
        const std::size_t back = oppositeDirection(d);
        EXPECT_NE(back, d);
        EXPECT_EQ(oppositeDirection(back), d);
    }
    EXPECT_EQ(kDirectionNames[oppositeDirection(4)], "South West");
    EXPECT_EQ(kDirectionNames[oppositeDirection(8)], "Down");
}

TEST(ValueLists, ValueTextOutsideTheList) {
    EXPECT_EQ(valueText(kGenders, 2), "She");
    EXPECT_EQ(valueText(kGenders, 3), "");
    EXPECT_EQ(valueText(kGenders, -1), "");
}

TEST(Abilities, TheTableOfNames) {
    const auto names = abilityNames();
    ASSERT_EQ(names.size(), 188u);
    EXPECT_EQ(names[0], "No ability");
    EXPECT_EQ(names[2], "Alter Defence Value");
    EXPECT_EQ(names[3], "Alter Cold Attack Damage (Defense)");
    EXPECT_EQ(names[73], "Dispell magic");
    EXPECT_EQ(names[106], "3rd Alter Attack Value");
    EXPECT_EQ(names[149], "Delete from inventory at cleanup");
    EXPECT_EQ(names[185], "Do not Attack if Item Nmbr");
    EXPECT_EQ(names[187], "Meditate");
    EXPECT_EQ(abilityName(187), "Meditate");
    EXPECT_EQ(abilityName(188), "");
    EXPECT_EQ(abilityName(-1), "");
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_FALSE(names[i].empty()) << i;
}

}  // namespace
}  // namespace gw
