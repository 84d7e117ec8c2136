#include "world/map_layout.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <unordered_map>

namespace gw::world {

namespace {

constexpr Cell kSteps[values::kDirectionCount] = {{0, -1},  {0, 1}, {1, 0},  {-1, 0}, {1, -1},
                                                  {-1, -1}, {1, 1}, {-1, 1}, {0, 0},  {0, 0}};

std::uint64_t cellId(Cell c) {
    return (std::uint64_t{static_cast<std::uint32_t>(c.x)} << 32) | static_cast<std::uint32_t>(c.y);
}

struct Incoming {
    std::uint32_t from;
    std::uint8_t slot;
};

// Whether an exit leads to a room of the same map that the layout may place by it.
bool placesBy(const MapRoom& room, std::size_t slot) {
    return room.exit[slot] != 0 && room.exitType[slot] != kMapChangeExitType;
}

// The cells of one connected group, laid out around its first room at (0, 0).
class GroupPlacer {
public:
    explicit GroupPlacer(std::vector<Cell>& cells) : cells_(cells) {}

    void place(std::uint32_t room, Cell wanted) {
        const Cell at = nearestFree(wanted);
        occupied_.emplace(cellId(at), room);
        cells_[room] = at;
        min_ = {std::min(min_.x, at.x), std::min(min_.y, at.y)};
        max_ = {std::max(max_.x, at.x), std::max(max_.y, at.y)};
    }
    Cell min() const { return min_; }
    Cell max() const { return max_; }

private:
    bool isFree(Cell c) const { return occupied_.find(cellId(c)) == occupied_.end(); }

    // The free cell nearest to `wanted`: the first ring around it that has one, and in that
    // ring the one nearest in straight distance, the first in ring order on a tie. Cells are
    // never freed, so a ring found full for a wanted cell is not searched again.
    Cell nearestFree(Cell wanted) {
        if (isFree(wanted)) return wanted;
        int& ring = fullRings_[cellId(wanted)];
        for (int r = std::max(ring, 1);; ++r) {
            std::optional<Cell> best;
            std::int64_t bestDistance = 0;
            auto consider = [&](int dx, int dy) {
                const Cell c{wanted.x + dx, wanted.y + dy};
                if (!isFree(c)) return;
                const std::int64_t d = std::int64_t{dx} * dx + std::int64_t{dy} * dy;
                if (!best || d < bestDistance) {
                    best = c;
                    bestDistance = d;
                }
            };
            for (int d = -r; d <= r; ++d) {
                consider(d, -r);
                consider(d, r);
            }
            for (int d = -r + 1; d <= r - 1; ++d) {
                consider(-r, d);
                consider(r, d);
            }
            if (best) return *best;
            ring = r + 1;
        }
    }

    std::vector<Cell>& cells_;
    std::unordered_map<std::uint64_t, std::uint32_t> occupied_;
    std::unordered_map<std::uint64_t, int> fullRings_;
    Cell min_{}, max_{};
};

}  // namespace

Cell directionStep(std::size_t slot) {
    return slot < values::kDirectionCount ? kSteps[slot] : Cell{};
}

std::optional<std::uint32_t> MapLayout::find(std::span<const MapRoom> rooms, std::int32_t number) {
    const auto it = std::lower_bound(rooms.begin(), rooms.end(), number,
                                     [](const MapRoom& r, std::int32_t n) { return r.number < n; });
    if (it == rooms.end() || it->number != number) return std::nullopt;
    return static_cast<std::uint32_t>(it - rooms.begin());
}

MapLayout layoutMap(std::span<const MapRoom> rooms) {
    MapLayout layout;
    const auto count = static_cast<std::uint32_t>(rooms.size());
    layout.cells.assign(count, Cell{});
    layout.group.assign(count, kNoRoom);
    if (count == 0) return layout;

    // Each exit resolved once: the index of its target, or kNoRoom.
    std::vector<std::array<std::uint32_t, values::kDirectionCount>> targets(count);
    std::vector<std::vector<Incoming>> incoming(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        for (std::size_t d = 0; d < values::kDirectionCount; ++d) {
            targets[i][d] = kNoRoom;
            if (!placesBy(rooms[i], d)) continue;
            const auto t = MapLayout::find(rooms, rooms[i].exit[d]);
            if (!t || *t == i) continue;
            targets[i][d] = *t;
            incoming[*t].push_back({i, static_cast<std::uint8_t>(d)});
        }
    }

    // Each group laid out on its own around its lowest room, then packed in rows of about
    // the width that makes the whole picture square, the first group at the top left.
    struct Group {
        std::vector<std::uint32_t> rooms;
        Cell min, max;
    };
    std::vector<Group> groups;
    std::deque<std::uint32_t> queue;
    for (std::uint32_t seed = 0; seed < count; ++seed) {
        if (layout.group[seed] != kNoRoom) continue;
        const auto id = static_cast<std::uint32_t>(groups.size());
        Group g;
        GroupPlacer placer(layout.cells);
        auto reach = [&](std::uint32_t room, Cell wanted) {
            layout.group[room] = id;
            placer.place(room, wanted);
            g.rooms.push_back(room);
            queue.push_back(room);
        };
        reach(seed, {0, 0});
        while (!queue.empty()) {
            const std::uint32_t r = queue.front();
            queue.pop_front();
            const Cell c = layout.cells[r];
            for (std::size_t d = 0; d < values::kDirectionCount; ++d) {
                const std::uint32_t t = targets[r][d];
                if (t == kNoRoom || layout.group[t] != kNoRoom) continue;
                reach(t, {c.x + kSteps[d].x, c.y + kSteps[d].y});
            }
            // A room that only leads here is placed where its exit says it is.
            for (const Incoming& in : incoming[r]) {
                if (layout.group[in.from] != kNoRoom) continue;
                reach(in.from, {c.x - kSteps[in.slot].x, c.y - kSteps[in.slot].y});
            }
        }
        g.min = placer.min();
        g.max = placer.max();
        groups.push_back(std::move(g));
    }

    double area = 0;
    for (const Group& g : groups)
        area += double(g.max.x - g.min.x + 2) * double(g.max.y - g.min.y + 2);
    const std::int32_t rowWidth = std::max(groups.front().max.x - groups.front().min.x + 1,
                                           static_cast<std::int32_t>(std::ceil(std::sqrt(area))));
    std::int32_t x = 0, y = 0, rowBottom = 0;
    for (const Group& g : groups) {
        const std::int32_t w = g.max.x - g.min.x + 1, h = g.max.y - g.min.y + 1;
        if (x > 0 && x + w > rowWidth) {
            x = 0;
            y = rowBottom + 1;
        }
        const Cell shift{x - g.min.x, y - g.min.y};
        for (std::uint32_t r : g.rooms) {
            layout.cells[r].x += shift.x;
            layout.cells[r].y += shift.y;
        }
        rowBottom = std::max(rowBottom, y + h);
        x += w + 1;
    }
    layout.groups = static_cast<std::uint32_t>(groups.size());
    layout.min = layout.cells[0];
    layout.max = layout.cells[0];
    for (const Cell& c : layout.cells) {
        layout.min = {std::min(layout.min.x, c.x), std::min(layout.min.y, c.y)};
        layout.max = {std::max(layout.max.x, c.x), std::max(layout.max.y, c.y)};
    }

    for (std::uint32_t i = 0; i < count; ++i) {
        const MapRoom& room = rooms[i];
        for (std::size_t d = 0; d < values::kDirectionCount; ++d) {
            if (room.exit[d] == 0) continue;
            LaidExit e{i,
                       kNoRoom,
                       static_cast<std::uint8_t>(d),
                       ExitKind::OneWay,
                       room.exitType[d],
                       room.exit[d]};
            if (room.exitType[d] == kMapChangeExitType) {
                e.kind = ExitKind::MapChange;
            } else if (room.exit[d] == room.number) {
                e.kind = ExitKind::Loop;
                e.to = i;
            } else if (const auto t = MapLayout::find(rooms, room.exit[d]); !t) {
                e.kind = ExitKind::Missing;
            } else {
                e.to = *t;
                const std::size_t back = values::oppositeDirection(d);
                const MapRoom& target = rooms[*t];
                if (target.exit[back] == room.number &&
                    target.exitType[back] != kMapChangeExitType) {
                    // The pair is drawn once, from the lower room.
                    if (*t < i) continue;
                    e.kind = ExitKind::TwoWay;
                }
            }
            layout.exits.push_back(e);
        }
    }
    return layout;
}

}  // namespace gw::world
