#pragma once
// Names and prose for the demo world, drawn from a seeded generator so every run writes
// the same world.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gw::demo {

// SplitMix64: small, fast and the same on every platform (unlike the standard
// distributions).
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    int range(int lo, int hi);  // lo..hi inclusive
    bool chance(int percent) { return range(1, 100) <= percent; }
    template <class List>
    const auto& pick(const List& list) {
        return list[static_cast<std::size_t>(range(0, static_cast<int>(std::size(list)) - 1))];
    }

private:
    std::uint64_t state_;
};

extern const std::vector<std::string_view> kRaceNames;
extern const std::vector<std::string_view> kClassNames;
extern const std::vector<std::string_view> kRegionNames;

std::string monsterName(Rng& rng);
// The names of the nth monster, the nth item of a type and the nth room of a map: distinct
// for as many as a large world holds.
std::string monsterName(int ordinal);
std::string itemName(int itemType, int ordinal);
std::string spellName(Rng& rng, int number);
std::string shopName(Rng& rng, int shopType);
std::string roomName(int ordinal);
std::string personFirstName(Rng& rng);
std::string personLastName(Rng& rng);
std::string messageLine(Rng& rng);
// A few sentences of description, wrapped into lines of at most width characters.
std::vector<std::string> description(Rng& rng, std::size_t width, std::size_t maxLines);
// A longer text with CR LF line breaks for a text block.
std::string storyText(Rng& rng);

}  // namespace gw::demo
