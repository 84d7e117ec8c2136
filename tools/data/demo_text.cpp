#include "tools/data/demo_text.h"

#include <array>
#include <numeric>
#include <sstream>
#include <utility>

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

// Name pools: large enough that the names of a large world's monsters, items and rooms
// (the rooms of one map) are nearly all distinct, and short enough for their fields.
constexpr std::array kCreatureAdjectives{
    "Cave",    "Giant",   "Rabid", "Ancient", "Feral",  "Shadow", "Frost",   "Swamp",
    "Rotting", "Young",   "Elder", "Plague",  "Hill",   "Dire",   "Ghostly", "Grey",
    "Marsh",   "Ember",   "Blind", "Scarred", "Hungry", "Pale",   "Black",   "Savage",
    "Lesser",  "Greater", "Sly",   "Mad",     "Sunken", "Iron",   "Bloated", "Thorned"};
constexpr std::array kCreatures{
    "Rat",        "Troll",    "Goblin Scout", "Wolf",     "Spider",   "Skeleton", "Bandit",
    "Orc Raider", "Bat",      "Serpent",      "Wight",    "Boar",     "Kobold",   "Ogre",
    "Harpy",      "Zombie",   "Cultist",      "Golem",    "Basilisk", "Wraith",   "Ghoul",
    "Lizardman",  "Imp",      "Gnoll",        "Bear",     "Crow",     "Leech",    "Mimic",
    "Sentry",     "Hag",      "Brigand",      "Lurker",   "Beetle",   "Hound",    "Slime",
    "Revenant",   "Gargoyle", "Warg",         "Scorpion", "Poacher"};
constexpr std::array kQualities{"",     "Fine",  "Old",   "Heavy",   "Light",
                                "Keen", "Plain", "Grand", "Notched", "Sturdy"};
constexpr std::array kMaterials{"Rusty",  "Iron",     "Steel",  "Bronze",    "Oaken",
                                "Bone",   "Elven",    "Silver", "Blackened", "Mithril",
                                "Runed",  "Worn",     "Copper", "Dwarven",   "Ashwood",
                                "Golden", "Obsidian", "Tin",    "Carved",    "Gilded"};
constexpr std::array kWeapons{"Dagger",  "Shortsword", "Longsword", "Mace",   "Warhammer",
                              "Spear",   "Battleaxe",  "Club",      "Staff",  "Flail",
                              "Sabre",   "Halberd",    "Pike",      "Maul",   "Scimitar",
                              "Hatchet", "Glaive",     "Cudgel",    "Rapier", "Trident"};
constexpr std::array kArmourPieces{"Helm",     "Gauntlets", "Boots",   "Cloak",   "Chestplate",
                                   "Bracers",  "Greaves",   "Shield",  "Hauberk", "Cap",
                                   "Coif",     "Vambraces", "Buckler", "Girdle",  "Pauldrons",
                                   "Sabatons", "Tabard",    "Cuirass", "Mantle",  "Gorget"};
constexpr std::array kThingAdjectives{
    "Small",   "Large",    "Battered",  "Polished", "Cracked", "Sturdy",  "Ornate", "Plain",
    "Dusty",   "Gleaming", "Tarnished", "Odd",      "Heavy",   "Stained", "Sealed", "Fragrant",
    "Ancient", "Fresh",    "Crude",     "Fine",     "Worn",    "Tiny",    "Bright", "Faded",
    "Painted", "Carved",   "Damp",      "Brittle",  "Lucky",   "Strange", "Rough",  "Smooth",
    "Rusted",  "Dented",   "Chipped",   "Gilded",   "Humble",  "Curious", "Oiled",  "Dull"};
constexpr std::array kThings{
    "Torch",   "Waterskin",   "Loaf of Bread",   "Iron Key", "Scroll",       "Lantern",
    "Ale",     "Sack",        "Healing Draught", "Rope",     "Map Fragment", "Amulet",
    "Ring",    "Candle",      "Dried Meat",      "Lockpick", "Tinderbox",    "Bottle",
    "Whistle", "Compass",     "Mirror",          "Flask",    "Pouch",        "Journal",
    "Bell",    "Chalice",     "Brooch",          "Idol",     "Feather",      "Crystal",
    "Pipe",    "Dice",        "Locket",          "Quill",    "Bandage",      "Cheese",
    "Apple",   "Herb Bundle", "Spyglass",        "Figurine"};
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
constexpr std::array kPlaceAdjectives{
    "Mossy",  "Narrow",  "Crumbling", "Dusty",   "Flooded",   "Quiet",   "Windy",     "Dark",
    "Sunlit", "Echoing", "Cold",      "Foggy",   "Overgrown", "Ruined",  "Winding",   "Hidden",
    "Broad",  "Silent",  "Collapsed", "Muddy",   "Icy",       "Smoky",   "Forgotten", "Lower",
    "Upper",  "Sunken",  "Twisting",  "Vaulted", "Chilly",    "Gloomy",  "Shaded",    "Stony",
    "Sandy",  "Grassy",  "Damp",      "Rocky",   "Lonely",    "Haunted", "Trampled",  "Wide"};
constexpr std::array kPlaces{
    "Corridor", "Clearing",  "Hall",     "Bridge",  "Crossroads", "Chamber", "Alley",    "Square",
    "Tunnel",   "Courtyard", "Stair",    "Path",    "Cellar",     "Gate",    "Market",   "Grotto",
    "Glade",    "Passage",   "Landing",  "Vault",   "Shrine",     "Ford",    "Ledge",    "Hollow",
    "Crypt",    "Garden",    "Gallery",  "Yard",    "Lane",       "Cave",    "Terrace",  "Dell",
    "Quay",     "Orchard",   "Barracks", "Archway", "Ravine",     "Meadow",  "Cloister", "Well"};
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

// Ordinal k of n combinations, spread so that neighbours share no word: k * step mod n with
// a step coprime to n visits every combination once before any repeats.
std::size_t spread(int ordinal, std::size_t n) {
    std::size_t step = n * 5 / 8 + 1;
    while (std::gcd(step, n) != 1) ++step;
    return static_cast<std::size_t>(ordinal) % n * step % n;
}

template <class A, class B>
std::pair<std::string_view, std::string_view> nthCombination(int ordinal, const A& first,
                                                             const B& second) {
    const std::size_t c = spread(ordinal, first.size() * second.size());
    return {first[c % first.size()], second[c / first.size()]};
}

std::string upperInitial(std::string s) {
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

}  // namespace

std::string monsterName(Rng& rng) {
    return std::string(rng.pick(kCreatureAdjectives)) + " " + std::string(rng.pick(kCreatures));
}

std::string monsterName(int ordinal) {
    const auto [adjective, creature] = nthCombination(ordinal, kCreatureAdjectives, kCreatures);
    return std::string(adjective) + " " + std::string(creature);
}

std::string itemName(int itemType, int ordinal) {
    if (itemType == 0 || itemType == 1) {
        const auto& kind = itemType == 1 ? kWeapons : kArmourPieces;
        const std::size_t n = kQualities.size() * kMaterials.size() * kind.size();
        std::size_t c = spread(ordinal, n);
        const std::string_view quality = kQualities[c % kQualities.size()];
        c /= kQualities.size();
        const std::string name =
            std::string(kMaterials[c % kMaterials.size()]) + " " + kind[c / kMaterials.size()];
        return quality.empty() ? name : std::string(quality) + " " + name;
    }
    const auto [adjective, thing] = nthCombination(ordinal, kThingAdjectives, kThings);
    return std::string(adjective) + " " + std::string(thing);
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

std::string roomName(int ordinal) {
    const auto [adjective, place] = nthCombination(ordinal, kPlaceAdjectives, kPlaces);
    return std::string(adjective) + " " + std::string(place);
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
