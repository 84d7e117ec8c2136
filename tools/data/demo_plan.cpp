#include "tools/data/demo_plan.h"

#include <algorithm>
#include <numeric>

namespace gw::demo {

namespace {
std::int16_t i16(int v) { return static_cast<std::int16_t>(v); }

constexpr std::size_t kUp = kUpSlot, kDown = kDownSlot;

// Rooms of a map on a grid: a random spanning tree keeps every room reachable, a few extra
// passages make loops, and some stairs join distant rooms. Every exit gets its way back.
void planExits(World& w, Rng& rng) {
    const int width = w.plan.mapWidth, height = w.plan.mapHeight, n = width * height;
    struct Step {
        int dx, dy;
    };
    const Step steps[8] = {{0, -1}, {0, 1}, {1, 0}, {-1, 0}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}};
    for (int map = 0; map < w.plan.maps; ++map) {
        auto& exits = w.exits.emplace_back(static_cast<std::size_t>(n));
        for (auto& e : exits) e.fill(0);
        struct Edge {
            int from, slot;
        };
        std::vector<Edge> edges;
        for (int r = 0; r < n; ++r)
            for (int slot : {1, 2, 6, 7}) {  // south, east, south east, south west
                const int x = r % width + steps[slot].dx, y = r / width + steps[slot].dy;
                if (x >= 0 && x < width && y >= 0 && y < height) edges.push_back({r, slot});
            }
        for (std::size_t i = edges.size(); i > 1; --i)
            std::swap(edges[i - 1], edges[static_cast<std::size_t>(rng.range(0, int(i) - 1))]);
        std::vector<int> parent(static_cast<std::size_t>(n));
        std::iota(parent.begin(), parent.end(), 0);
        auto root = [&](int v) {
            while (parent[v] != v) v = parent[v] = parent[parent[v]];
            return v;
        };
        auto join = [&](int a, int slot, int b) {
            exits[a][slot] = b + 1;
            exits[b][values::oppositeDirection(slot)] = a + 1;
        };
        for (const Edge& e : edges) {
            const int to = e.from + steps[e.slot].dy * width + steps[e.slot].dx;
            const bool diagonal = e.slot >= 4;
            if (root(e.from) != root(to)) {
                if (diagonal && !rng.chance(10)) continue;
                parent[root(e.from)] = root(to);
                join(e.from, e.slot, to);
            } else if (!diagonal && rng.chance(15)) {
                join(e.from, e.slot, to);
            }
        }
        // Diagonals skipped above may leave the grid split; straight edges never do.
        for (const Edge& e : edges) {
            const int to = e.from + steps[e.slot].dy * width + steps[e.slot].dx;
            if (e.slot < 4 && root(e.from) != root(to)) {
                parent[root(e.from)] = root(to);
                join(e.from, e.slot, to);
            }
        }
        for (int s = 0; s < std::max(1, n / 100); ++s) {
            const int a = rng.range(0, n - 1), b = rng.range(0, n - 1);
            if (a != b && exits[a][8] == 0 && exits[b][9] == 0) join(a, 8, b);
        }
        // Every fourth map has a trapdoor down into a room with no stair back up: games
        // have one-way exits on purpose, and the world check should show one.
        if (map % 4 == 0 && n > 1) {
            int a = rng.range(0, n - 1), b = rng.range(0, n - 1);
            for (int tries = 0; tries < n && exits[a][kDown] != 0; ++tries) a = (a + 1) % n;
            for (int tries = 0; tries < n && (b == a || exits[b][kUp] != 0); ++tries)
                b = (b + 1) % n;
            if (exits[a][kDown] == 0 && b != a && exits[b][kUp] == 0) {
                exits[a][kDown] = b + 1;
                w.trapdoors.emplace_back(map, a);
            }
        }
    }
    // Each map leads Up into the next by a Map Change, and that room leads Down back into it;
    // the rooms are picked without the generator, so the rest of the world stays as it was.
    for (int map = 0; map + 1 < w.plan.maps; ++map) {
        auto& here = w.exits[static_cast<std::size_t>(map)];
        auto& next = w.exits[static_cast<std::size_t>(map) + 1];
        int a = (map * 7 + 3) % n, b = (map * 11 + 5) % n;
        for (int tries = 0; tries < n && here[a][kUp] != 0; ++tries) a = (a + 1) % n;
        for (int tries = 0; tries < n && next[b][kDown] != 0; ++tries) b = (b + 1) % n;
        if (here[a][kUp] != 0 || next[b][kDown] != 0) continue;
        here[a][kUp] = b + 1;
        next[b][kDown] = a + 1;
        w.mapChanges.push_back({map, a, static_cast<int>(kUp)});
        w.mapChanges.push_back({map + 1, b, static_cast<int>(kDown)});
    }
}

}  // namespace

World planWorld(DemoSize size, int scale) {
    World w;
    w.plan = demoPlan(size, scale);
    Rng rng(0x6772617665ull);
    w.itemType.assign(static_cast<std::size_t>(w.plan.items + 1), 0);
    for (int i = 1; i <= w.plan.items; ++i) {
        const int roll = rng.range(1, 100);
        w.itemType[i] = roll <= 35 ? 1 : roll <= 65 ? 0 : rng.range(2, 10);
        if (w.itemType[i] == 1) w.weapons.push_back(i);
    }
    if (w.weapons.empty()) {
        w.itemType[1] = 1;
        w.weapons.push_back(1);
    }
    // Armour and weapons draw from their own name pools, every other type from one pool.
    std::array<int, 3> perPool{};
    w.itemOrdinal.assign(w.itemType.size(), 0);
    for (int i = 1; i <= w.plan.items; ++i)
        w.itemOrdinal[i] = perPool[std::min(w.itemType[i], 2)]++;
    planExits(w, rng);
    const int rooms = w.plan.roomsPerMap();
    w.shopAt.assign(static_cast<std::size_t>(w.plan.maps),
                    std::vector<std::int16_t>(static_cast<std::size_t>(rooms), 0));
    for (int s = 1; s <= w.plan.shops; ++s) {
        auto& map = w.shopAt[static_cast<std::size_t>((s - 1) % w.plan.maps)];
        int room = rng.range(0, rooms - 1);
        while (map[room] != 0) room = (room + 1) % rooms;
        map[room] = i16(s);
    }
    return w;
}

}  // namespace gw::demo
