#pragma once
// A plausible, deterministic synthetic world for demonstrations, tests and benchmarks,
// written through BTRCALL: every reference points at a record that exists and every exit
// has its way back.
#include <array>
#include <cstddef>
#include <string>

#include "records/records.h"
#include "store/status.h"

namespace gw::demo {

enum class DemoSize { Small, Large };

// How many records of each kind a world of a size holds.
struct DemoPlan {
    int races, classes, spells, monsters, items, shops;
    int maps, mapWidth, mapHeight;  // rooms per map = mapWidth * mapHeight
    int messages, textblocks, users;

    int roomsPerMap() const { return mapWidth * mapHeight; }
};
// `scale` multiplies the records of every kind but races and classes (a bigger world for
// benchmarks: maps are added, each of the same size).
DemoPlan demoPlan(DemoSize size, int scale = 1);

struct DemoOptions {
    DemoSize size = DemoSize::Large;
    bool overwrite = false;  // replace data files that exist in the directory
    int scale = 1;           // see demoPlan
};

// Records written per file, in the order of allRecordKinds().
struct DemoCounts {
    std::array<std::size_t, kRecordKindCount> records{};
};

// Creates dir when missing. Refuses a directory that holds any of the ten data files unless
// options.overwrite is set. On failure *error says what went wrong.
Status buildDemoWorld(const std::string& dir, const DemoOptions& options, std::string* error,
                      DemoCounts* counts = nullptr);
Status buildDemoWorld(const std::string& dir, DemoSize size, std::string* error);

}  // namespace gw::demo
