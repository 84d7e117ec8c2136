#pragma once
// The rooms of one map placed on a grid by following their exits, and the exits as the
// segments a picture of the map draws. Plain data in, plain data out: the editor's World Map
// window and the data tool's `map` command draw the same layout.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "records/value_lists.h"

namespace gw::world {

inline constexpr std::int16_t kMapChangeExitType = 8;

// What a map's picture needs of one room.
struct MapRoom {
    std::int32_t number = 0;
    std::string name;  // as shown: the stored characters before the first zero byte
    std::array<std::int32_t, values::kDirectionCount> exit{};  // 0: no exit
    std::array<std::int16_t, values::kDirectionCount> exitType{};
};

enum class ExitKind : std::uint8_t {
    TwoWay,     // the target has the opposite exit back; drawn once, from the lower room
    OneWay,     // drawn with an arrow at the target
    Missing,    // no room of that number in the map: a short red stub
    MapChange,  // leads to another map: a labelled stub
    Loop,       // leads to its own room
};

inline constexpr std::uint32_t kNoRoom = 0xFFFFFFFF;

struct LaidExit {
    std::uint32_t from;  // index into the rooms
    std::uint32_t to;    // index into the rooms, or kNoRoom (Missing, MapChange)
    std::uint8_t slot;   // direction slot of `from`
    ExitKind kind;
    std::int16_t type;    // the stored exit type
    std::int32_t target;  // the stored room number
};

struct Cell {
    std::int32_t x = 0;  // East is +x
    std::int32_t y = 0;  // South is +y (screen order)
};

struct MapLayout {
    std::vector<Cell> cells;           // one per room, in the order of the rooms given
    std::vector<std::uint32_t> group;  // the connected group of each room, 0 = the first room's
    std::vector<LaidExit> exits;       // by room, then slot
    Cell min, max;                     // bounds of the cells; both 0 when there are no rooms
    std::uint32_t groups = 0;

    // The room of a number, by binary search over the rooms given (sorted by number).
    static std::optional<std::uint32_t> find(std::span<const MapRoom> rooms, std::int32_t number);
};

// The grid step of a direction slot (Up and Down have none: they sit beside their room).
Cell directionStep(std::size_t slot);

// Lays out the rooms of one map, sorted by room number without duplicates. Deterministic:
// every room is placed exactly once on a cell of its own, whatever the exits say; rooms the
// exits (either way) do not connect with the first one form groups of their own beside it.
// Runs in time about linear in rooms and exits and never loops.
MapLayout layoutMap(std::span<const MapRoom> rooms);

}  // namespace gw::world
