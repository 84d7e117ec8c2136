#include "tools/data/demo_text.h"

#include <array>
#include <sstream>

namespace gw::demo {

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Rng::range(int lo, int hi) {
    const auto span = static_cast<std::uint64_t>(hi - lo + 1);
    return lo + static_cast<int>(next() % span);
}

const std::vector<std::string_view> kRaceNames{
    "Human",    "Elf",   "Dwarf", "Gnome",      "Halfling", "Half-Orc", "Half-Elf", "Goblin",
    "Dark Elf", "Troll", "Ogre",  "Lizardfolk", "Centaur",  "Faun",     "Sprite"};
const std::vector<std::string_view> kClassNames{
    "Warrior", "Mage",      "Priest",      "Druid",   "Bard",   "Thief", "Ranger", "Paladin",
    "Monk",    "Barbarian", "Necromancer", "Warlock", "Knight", "Witch", "Cleric"};
const std::vector<std::string_view> kRegionNames{
    "Greywater",     "Darkwood",     "Ashen Mines",   "Old Harbour",  "Frostfell",
    "Sunken Keep",   "Thornmoor",    "Red Canyon",    "Silver Marsh", "High Pass",
    "Emberdeep",     "Mistvale",     "Saltreach",     "Bone Barrows", "Wyrmspire",
    "Hollow Fields", "Iron Citadel", "Glimmer Caves", "Stormcoast",   "Duskwatch"};

namespace {

constexpr std::array kCreatureAdjectives{"Cave",   "Giant",  "Rabid", "Ancient", "Feral",
                                         "Shadow", "Frost",  "Swamp", "Rotting", "Young",
                                         "Elder",  "Plague", "Hill",  "Dire",    "Ghostly"};
constexpr std::array kCreatures{"Rat",      "Troll",   "Goblin Scout", "Wolf",     "Spider",
                                "Skeleton", "Bandit",  "Orc Raider",   "Bat",      "Serpent",
                                "Wight",    "Boar",    "Kobold",       "Ogre",     "Harpy",
                                "Zombie",   "Cultist", "Golem",        "Basilisk", "Wraith"};
constexpr std::array kMaterials{"Rusty", "Iron",   "Steel",     "Bronze",  "Oaken", "Bone",
                                "Elven", "Silver", "Blackened", "Mithril", "Runed", "Worn"};
constexpr std::array kWeapons{"Dagger", "Shortsword", "Longsword", "Mace",         "Warhammer",
                              "Spear",  "Battleaxe",  "Club",      "Quarterstaff", "Flail"};
constexpr std::array kArmourPieces{"Helm",    "Gauntlets", "Boots",  "Cloak",   "Breastplate",
                                   "Bracers", "Greaves",   "Shield", "Hauberk", "Cap"};
constexpr std::array kThings{
    "Torch", "Waterskin", "Loaf of Bread",   "Iron Key", "Scroll",       "Lantern",
    "Ale",   "Sack",      "Healing Draught", "Rope",     "Map Fragment", "Amulet",
    "Ring",  "Candle",    "Dried Meat",      "Lockpick"};
constexpr std::array kElements{"Fire", "Frost", "Storm", "Stone", "Shadow",
                               "Holy", "Venom", "Mind",  "Wind",  "Blood"};
constexpr std::array kForms{"Bolt",  "Lance",    "Ward",  "Touch", "Nova", "Shield",
                            "Curse", "Blessing", "Sight", "Storm", "Bind", "Mend"};
constexpr std::array kRanks{"", " II", " III", " IV", " V"};
constexpr std::array kShopOwners{"Old Mara's",   "Brannock's",  "The Rusty", "The Golden",
                                 "Widow Fenn's", "The Crooked", "Hobb's",    "The Silver"};
constexpr std::array kShopWords{"Provisions", "Weapons", "Armoury", "Curiosities", "Scrolls",
                                "Healer",     "Tavern",  "Bank",    "Hall",        "Inn",
                                "Wares",      "Den",     "Deeds"};
constexpr std::array kPlaceAdjectives{"Mossy", "Narrow", "Crumbling", "Dusty",  "Flooded",
                                      "Quiet", "Windy",  "Dark",      "Sunlit", "Echoing",
                                      "Cold",  "Foggy",  "Overgrown", "Ruined", "Winding"};
constexpr std::array kPlaces{"Corridor", "Clearing", "Hall",   "Bridge", "Crossroads",
                             "Chamber",  "Alley",    "Square", "Tunnel", "Courtyard",
                             "Stair",    "Path",     "Cellar", "Gate",   "Market"};
constexpr std::array kFirstNames{"Aldric", "Bryn",  "Cora",  "Dain",  "Elsa",  "Fenn",
                                 "Garet",  "Hilda", "Ivo",   "Jora",  "Kael",  "Lira",
                                 "Marek",  "Nessa", "Orin",  "Pella", "Quill", "Rhea",
                                 "Soren",  "Tilda", "Ulric", "Vera",  "Wren",  "Yorick"};
constexpr std::array kLastNames{"Stormborn",   "Ashford",  "Blackwood", "Ironhand",  "Mossglen",
                                "Thornbury",   "Greyfeld", "Kettleby",  "Redmane",   "Duskmoor",
                                "Brightwater", "Hollis",   "Farrow",    "Quickfoot", "Stonebrook"};
constexpr std::array kSubjects{"The walls",     "Cold draughts", "Old footprints", "Faint voices",
                               "Broken crates", "Cobwebs",       "Puddles",        "Strange marks",
                               "Rusted chains", "Dead leaves"};
constexpr std::array kVerbs{"drip with moisture",      "whisper of old battles",
                            "smell of smoke",          "lead further in",
                            "hang from the ceiling",   "crunch underfoot",
                            "cover every surface",     "echo from somewhere below",
                            "glint in the torchlight", "block part of the way"};
constexpr std::array kCombat{
    "lunges at you",      "swings wildly and misses", "bites deep into your arm",
    "circles you warily", "howls with fury",          "strikes you hard",
    "dodges your blow",   "stumbles backwards",       "snarls and attacks",
    "falls to the ground"};

std::string upperInitial(std::string s) {
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

}  // namespace

std::string monsterName(Rng& rng) {
    return std::string(rng.pick(kCreatureAdjectives)) + " " + std::string(rng.pick(kCreatures));
}

std::string itemName(Rng& rng, int itemType) {
    if (itemType == 1) return std::string(rng.pick(kMaterials)) + " " + rng.pick(kWeapons);
    if (itemType == 0) return std::string(rng.pick(kMaterials)) + " " + rng.pick(kArmourPieces);
    return std::string(rng.pick(kThings));
}

std::string spellName(Rng& rng, int number) {
    const std::size_t combos = kElements.size() * kForms.size();
    const auto n = static_cast<std::size_t>(number - 1);
    const std::string base = std::string(kElements[n % kElements.size()]) + " " +
                             kForms[(n / kElements.size()) % kForms.size()];
    (void)rng;
    return base + kRanks[(n / combos) % kRanks.size()];
}

std::string shopName(Rng& rng, int shopType) {
    return std::string(rng.pick(kShopOwners)) + " " +
           kShopWords[static_cast<std::size_t>(shopType) % kShopWords.size()];
}

std::string roomName(Rng& rng) {
    return std::string(rng.pick(kPlaceAdjectives)) + " " + rng.pick(kPlaces);
}

std::string personFirstName(Rng& rng) { return std::string(rng.pick(kFirstNames)); }
std::string personLastName(Rng& rng) { return std::string(rng.pick(kLastNames)); }

std::string messageLine(Rng& rng) {
    return "The " + monsterName(rng) + " " + rng.pick(kCombat) + "!";
}

std::vector<std::string> description(Rng& rng, std::size_t width, std::size_t maxLines) {
    std::vector<std::string> words;
    const int sentences = rng.range(1, static_cast<int>(maxLines));
    for (int s = 0; s < sentences; ++s) {
        std::istringstream in(std::string(rng.pick(kSubjects)) + " " + rng.pick(kVerbs) + ".");
        for (std::string w; in >> w;) words.push_back(w);
    }
    std::vector<std::string> lines(1);
    for (const auto& w : words) {
        if (!lines.back().empty() && lines.back().size() + 1 + w.size() > width) {
            if (lines.size() == maxLines) break;
            lines.emplace_back();
        }
        if (!lines.back().empty()) lines.back() += ' ';
        lines.back() += w;
    }
    return lines;
}

std::string storyText(Rng& rng) {
    std::string text;
    const int paragraphs = rng.range(1, 4);
    for (int p = 0; p < paragraphs; ++p) {
        for (const auto& line : description(rng, 70, 4)) text += upperInitial(line) + "\r\n";
        text += "\r\n";
    }
    return text;
}

}  // namespace gw::demo
