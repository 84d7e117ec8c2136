// The layout of a map: every room once on a cell of its own, exits where the rooms' exits
// say, whatever the exits say.
#include "world/map_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace gw::world {
namespace {

enum Slot { N, S, E, W, NE, NW, SE, SW, U, D };

struct Exit {
    std::int32_t from;
    Slot slot;
    std::int32_t to;
    std::int16_t type = 0;
};

std::vector<MapRoom> rooms(std::initializer_list<std::int32_t> numbers,
                           std::initializer_list<Exit> exits) {
    std::vector<MapRoom> out;
    for (std::int32_t n : numbers) out.push_back({n, "Room " + std::to_string(n), {}, {}});
    for (const Exit& e : exits)
        for (MapRoom& r : out)
            if (r.number == e.from) r.exit[e.slot] = e.to, r.exitType[e.slot] = e.type;
    return out;
}

// Every room on a cell of its own, inside the bounds.
void expectPlacedOnce(const std::vector<MapRoom>& map, const MapLayout& layout) {
    ASSERT_EQ(layout.cells.size(), map.size());
    std::set<std::pair<int, int>> taken;
    for (const Cell& c : layout.cells) {
        EXPECT_TRUE(taken.insert({c.x, c.y}).second) << "two rooms on " << c.x << "," << c.y;
        EXPECT_TRUE(c.x >= layout.min.x && c.x <= layout.max.x && c.y >= layout.min.y &&
                    c.y <= layout.max.y);
    }
}

std::string kinds(const MapLayout& layout) {
    std::string out;
    for (const LaidExit& e : layout.exits) out += "TOMPL"[static_cast<int>(e.kind)];
    return out;
}

TEST(MapLayout, ExitsPlaceRoomsWhereTheySay) {
    // A ring: 1 East to 2, 2 South to 3, 3 West to 4, 4 North to 1, every exit with its way back.
    const auto ring = rooms(
        {1, 2, 3, 4},
        {{1, E, 2}, {2, W, 1}, {2, S, 3}, {3, N, 2}, {3, W, 4}, {4, E, 3}, {4, N, 1}, {1, S, 4}});
    const MapLayout layout = layoutMap(ring);
    expectPlacedOnce(ring, layout);
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (std::size_t i = 0; i < ring.size(); ++i)
        EXPECT_EQ(std::make_pair(layout.cells[i].x, layout.cells[i].y), expected[i]) << i;
    EXPECT_EQ(kinds(layout), "TTTT");  // each pair drawn once
    EXPECT_EQ(layout.groups, 1u);

    // A one-way loop, a room placed only by the exit that leads into it, and diagonals.
    const auto loop = rooms({1, 2, 3, 9}, {{1, E, 2}, {2, S, 3}, {3, NW, 1}, {9, SE, 1}});
    const MapLayout l = layoutMap(loop);
    expectPlacedOnce(loop, l);
    EXPECT_EQ(kinds(l), "OOOO");
    EXPECT_EQ(l.cells[3].x - l.cells[0].x, -1);  // room 9 sits North West of room 1
    EXPECT_EQ(l.cells[3].y - l.cells[0].y, -1);
    EXPECT_EQ(l.groups, 1u);
}

TEST(MapLayout, ContradictionsAndOddExitsStillPlaceEveryRoomOnce) {
    // 4 and 5 both claim the cell South East of 1; 2 and 1 both say the other is East.
    const auto clash = rooms({1, 2, 3, 4, 5, 6, 7}, {{1, E, 2},
                                                     {2, E, 1},
                                                     {1, S, 3},
                                                     {2, S, 4},
                                                     {3, E, 5},
                                                     {1, N, 99},     // no room 99
                                                     {1, W, 40, 8},  // another map
                                                     {3, S, 3},      // its own room
                                                     {4, U, 6},
                                                     {6, D, 4},
                                                     {5, E, 7, 300}});  // type not listed
    const MapLayout layout = layoutMap(clash);
    expectPlacedOnce(clash, layout);
    EXPECT_EQ(kinds(layout), "MOOPOOLOTO");
    EXPECT_EQ(layout.exits.back().type, 300);
    EXPECT_EQ(layout.groups, 1u);
    const MapLayout again = layoutMap(clash);  // the same map looks the same
    for (std::size_t i = 0; i < clash.size(); ++i)
        EXPECT_TRUE(again.cells[i].x == layout.cells[i].x && again.cells[i].y == layout.cells[i].y);
}

TEST(MapLayout, GroupsTheExitsDoNotJoinStandApart) {
    EXPECT_TRUE(layoutMap({}).cells.empty());
    const auto two = rooms({1, 2, 10, 11, 20}, {{1, E, 2}, {2, W, 1}, {10, E, 11}, {11, W, 10}});
    const MapLayout layout = layoutMap(two);
    expectPlacedOnce(two, layout);
    EXPECT_EQ(layout.groups, 3u);
    EXPECT_EQ(layout.group, (std::vector<std::uint32_t>{0, 0, 1, 1, 2}));
    // Groups never interleave or touch: the second lies beside the first, a cell apart.
    EXPECT_TRUE(layout.cells[2].x > layout.cells[1].x + 1 ||
                layout.cells[2].y > layout.cells[1].y + 1);
}

// Two thousand rooms that all lead North into room 1 all want one cell: the nearest free cells
// fill ring after ring.
TEST(MapLayout, ManyRoomsWantingOneCellEachGetACellOfTheirOwn) {
    std::vector<MapRoom> star;
    for (std::int32_t n = 1; n <= 2000; ++n) {
        MapRoom r{n, "", {}, {}};
        if (n > 1) r.exit[N] = 1;
        star.push_back(r);
    }
    expectPlacedOnce(star, layoutMap(star));
}

}  // namespace
}  // namespace gw::world
