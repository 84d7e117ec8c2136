#pragma once
// The game's value lists: the stored value of a coded field is its position in the list.
// Spelled exactly as the game spells them; every window that shows a list uses these.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace gw::values {

using namespace std::string_view_literals;

// Class MagicType and Spell MageryA.
inline constexpr std::array kMagery{"None"sv, "Mage"sv, "Priest"sv, "Druid"sv, "Bard"sv, "Kai"sv};

inline constexpr std::array kClassWeapons{
    "1H Blunt"sv, "2H Blunt"sv,  "1H Sharp"sv,  "2H Sharp"sv,    "Any 1H"sv,
    "Any 2H"sv,   "Any Sharp"sv, "Any Blunt"sv, "All Weapons"sv, "Limited (staff)"sv};

// Class Armour and Item Armour.
inline constexpr std::array kArmour{"Natural"sv,
                                    "Robes"sv,
                                    "Padded"sv,
                                    "Soft Leather"sv,
                                    "Soft Studded Leather"sv,
                                    "Rigid Leather"sv,
                                    "Studded Rigid Leather"sv,
                                    "Chainmail"sv,
                                    "Scalemail"sv,
                                    "Platemail"sv};

// The game's own item weapon list: entries 2 and 3 really are the same text.
inline constexpr std::array kItemWeapons{"1H Blunt"sv, "2H Blunt"sv, "2H Sharp"sv, "2H Sharp"sv};

inline constexpr std::array kSpellType{"Auto-Combat"sv, "Poison"sv, "Change me"sv, "General"sv};
inline constexpr std::array kTypeOfResists{"Never"sv, "No"sv, "Yes"sv};
inline constexpr std::array kTarget{"Single"sv,
                                    "Self"sv,
                                    "Self or Single"sv,
                                    "Divided Area Not You"sv,
                                    "Monster"sv,
                                    "Divided Area Incl. You"sv,
                                    "Any"sv,
                                    "Item"sv,
                                    "Monster or Single"sv,
                                    "Divided Attack Area"sv,
                                    "Divided Party Area"sv,
                                    "Full Area"sv,
                                    "Full Attack Area"sv,
                                    "Full Party Area"sv};
inline constexpr std::array kTypeOfAttack{"Cold"sv,   "Hot"sv,   "Stone"sv, "Lightning"sv,
                                          "Normal"sv, "Water"sv, "Poison"sv};
inline constexpr std::array kResistAbility{
    "Magic Resistance"sv, "Strength"sv, "Agility"sv, "Health"sv,
    "Intellect"sv,        "Wisdom"sv,   "Charm"sv};
inline constexpr std::array kMsgStyle{"Yes"sv, "No"sv};

// Monster Group and Room MonsterType: value 5 + k is "Group k".
inline constexpr std::array kMonsterGroups{
    "Lair"sv,     "Wanderer"sv, "NPC"sv,      "Living"sv,   "Random"sv,   "Guard"sv,
    "Group 1"sv,  "Group 2"sv,  "Group 3"sv,  "Group 4"sv,  "Group 5"sv,  "Group 6"sv,
    "Group 7"sv,  "Group 8"sv,  "Group 9"sv,  "Group 10"sv, "Group 11"sv, "Group 12"sv,
    "Group 13"sv, "Group 14"sv, "Group 15"sv, "Group 16"sv, "Group 17"sv, "Group 18"sv,
    "Group 19"sv, "Group 20"sv, "Group 21"sv, "Group 22"sv, "Group 23"sv, "Group 24"sv,
    "Group 25"sv, "Group 26"sv, "Group 27"sv, "Group 28"sv, "Group 29"sv, "Group 30"sv,
    "Arena"sv,    "Angel"sv,    "Quest"sv,    "Other"sv,
};
inline constexpr std::array kMonsterTypes{"Solo"sv, "Leader"sv, "Follower"sv, "Stationary"sv};
inline constexpr std::array kAlignments{"Good"sv,       "Evil"sv,        "Chaotic Evil"sv,
                                        "Neutral"sv,    "Lawful Good"sv, "Neutral Evil"sv,
                                        "Lawful Evil"sv};
inline constexpr std::array kGenders{"It"sv, "He"sv, "She"sv};

// A player's six attributes in the order of their stored values (User Stat[0..5], again
// in Stat[6..11]).
inline constexpr std::array kAttributes{"Intellect"sv, "Willpower"sv, "Strength"sv,
                                        "Health"sv,    "Agility"sv,   "Charm"sv};
inline constexpr std::array kAttackTypes{"None"sv, "Normal"sv, "Spell"sv, "Rob"sv};

inline constexpr std::array kItemTypes{"Armour"sv,    "Weapon"sv, "Projectile"sv, "Sign"sv,
                                       "Food"sv,      "Drink"sv,  "Light"sv,      "Key"sv,
                                       "Container"sv, "Scroll"sv, "Special"sv};
inline constexpr std::array kWornPlaces{"Nowhere"sv,   "Everywhere"sv, "Head"sv,  "Hands"sv,
                                        "Finger(1)"sv, "Feet"sv,       "Arms"sv,  "Back"sv,
                                        "Neck"sv,      "Legs"sv,       "Waist"sv, "Torso"sv,
                                        "Off-Hand"sv,  "Finger(2)"sv,  "Wrist"sv, "Ears"sv};
// Item CostType.
inline constexpr std::array kCurrencies{"Copper"sv, "Silver"sv, "Gold"sv, "Platinum"sv, "Runic"sv};

inline constexpr std::array kShopTypes{
    "General"sv, "Weapons"sv,  "Armour"sv, "Items"sv,    "Spells"sv,    "Hospital"sv, "Tavern"sv,
    "Bank"sv,    "Training"sv, "Inn"sv,    "Specific"sv, "Gang Shop"sv, "Deed Shop"sv};

inline constexpr std::array kExitTypes{
    "Normal"sv,    "Spell"sv,  "Key"sv,           "Item"sv,       "Toll"sv,
    "Action"sv,    "Hidden"sv, "Door"sv,          "Map Change"sv, "Trap"sv,
    "Text"sv,      "Gate"sv,   "Remote Action"sv, "Class"sv,      "Race"sv,
    "Level"sv,     "Timed"sv,  "Ticket"sv,        "User Count"sv, "Block Guard"sv,
    "Alignment"sv, "Delay"sv,  "Cast"sv,          "Ability"sv,    "Spell Trap"sv};
inline constexpr std::array kRoomTypes{"Normal"sv, "Shop"sv,      "Arena"sv, "Lair"sv,
                                       "Hotel"sv,  "Colliseum"sv, "Jail"sv,  "Library"sv};

// Direction slots of a room's exit runs: the mini map's names and the editor's row labels.
inline constexpr std::size_t kDirectionCount = 10;
inline constexpr std::array kDirectionNames{
    "North"sv,      "South"sv,      "East"sv,       "West"sv, "North East"sv,
    "North West"sv, "South East"sv, "South West"sv, "UP"sv,   "Down"sv};
inline constexpr std::array kExitRowLabels{"N"sv,  "S"sv,  "E"sv,  "W"sv, "NE"sv,
                                           "NW"sv, "SE"sv, "SW"sv, "U"sv, "D"sv};

// The slot of the exit that leads back: North <-> South, East <-> West, NE <-> SW,
// NW <-> SE, Up <-> Down.
std::size_t oppositeDirection(std::size_t slot);

// The entry at a stored value, or an empty view when the value has no entry.
std::string_view valueText(std::span<const std::string_view> list, std::int64_t value);

}  // namespace gw::values
