// The world check of the large demo world beside its baseline, unloading all ten files:
// both read every row of every file once through BTRCALL. The editor's reverse index beside
// the check, on that world and on ten times it (made once, which takes a while), and the
// renumbering of the item most records name.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>

#include "bench/support/demo_dir.h"
#include "records/records.h"
#include "tools/data/data_tool.h"
#include "tools/data/world_check.h"
#include "world/renumber.h"
#include "world/reverse_index.h"

namespace {

// The large demo world (range 1) or ten times it (range 10).
const gw::bench::DemoDir& world(const benchmark::State& state) {
    return state.range(0) == 10 ? gw::bench::tenTimesLargeDemo() : gw::bench::largeDemo();
}
const gw::bench::DemoDir& world() { return gw::bench::largeDemo(); }

void BM_UnloadAllTenFiles(benchmark::State& state) {
    const std::string dir = world().dir.string();
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out, err;
        for (gw::RecordKind kind : gw::allRecordKinds()) {
            const std::string file = dir + "/" + std::string(gw::recordType(kind).fileName());
            if (gw::tool::unloadFile(file, "", {in, out, err, false}) != 0)
                state.SkipWithError(err.str().c_str());
        }
        benchmark::DoNotOptimize(out.tellp());
    }
}
BENCHMARK(BM_UnloadAllTenFiles)->Unit(benchmark::kMillisecond);

void BM_CheckWorld(benchmark::State& state) {
    const std::string dir = world(state).dir.string();
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out, err;
        // The demo world's trapdoors are warnings only: anything else is a fault here.
        if (gw::tool::checkWorld(dir, false, {in, out, err, false}) != 0)
            state.SkipWithError((out.str() + err.str()).c_str());
        benchmark::DoNotOptimize(out.tellp());
    }
}
BENCHMARK(BM_CheckWorld)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// The editor's reverse index over the same world, beside the check above.
void BM_BuildReverseIndex(benchmark::State& state) {
    for (auto _ : state) {
        gw::world::ReverseIndex index(world(state).dir);
        if (!index.unreadable().empty()) state.SkipWithError(index.unreadable().front().c_str());
        benchmark::DoNotOptimize(&index);
    }
}
BENCHMARK(BM_BuildReverseIndex)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// The item most records name, found once from the index.
gw::RecordKey mostNamedItem() {
    static const gw::RecordKey key = [] {
        gw::world::ReverseIndex index(world().dir);
        gw::RecordKey best;
        std::size_t most = 0;
        for (std::int64_t n = 1; n < 100000; ++n) {
            gw::RecordKey k;
            k.number = n;
            if (const std::size_t c = index.referringRecords(gw::RecordKind::Item, k); c > most)
                most = c, best = k;
        }
        return best;
    }();
    return key;
}

void BM_RenumberMostNamedItemDryRun(benchmark::State& state) {
    const gw::RecordKey from = mostNamedItem();
    gw::RecordKey to = from;
    to.number = 999999;
    for (auto _ : state) {
        const auto r = gw::world::renumber(world().dir, gw::RecordKind::Item, from, to, true);
        if (r.outcome != gw::world::RenumberOutcome::Done) state.SkipWithError(r.message.c_str());
        benchmark::DoNotOptimize(r.changes.size());
    }
}
BENCHMARK(BM_RenumberMostNamedItemDryRun)->Unit(benchmark::kMillisecond);

// Real runs back and forth, so every iteration finds the world as the first did; the number
// it has now is kept across the runs the library makes to choose an iteration count.
void BM_RenumberMostNamedItem(benchmark::State& state) {
    static gw::RecordKey now = mostNamedItem();
    gw::RecordKey other = now;
    other.number = now.number == 999999 ? mostNamedItem().number : 999999;
    for (auto _ : state) {
        const auto r = gw::world::renumber(world().dir, gw::RecordKind::Item, now, other, false);
        if (r.outcome != gw::world::RenumberOutcome::Done) state.SkipWithError(r.message.c_str());
        std::swap(now, other);
    }
}
BENCHMARK(BM_RenumberMostNamedItem)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
