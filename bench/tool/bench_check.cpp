// The world check of the large demo world beside its baseline, unloading all ten files:
// both read every row of every file once through BTRCALL.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>

#include "records/records.h"
#include "tools/data/data_tool.h"
#include "tools/data/demo_world.h"
#include "tools/data/world_check.h"

namespace {

namespace fs = std::filesystem;

struct LargeWorld {
    fs::path dir;
    LargeWorld() {
        std::string pattern = (fs::temp_directory_path() / "gw_bench_XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
        dir = pattern;
        std::string error;
        if (gw::demo::buildDemoWorld(dir.string(), gw::demo::DemoSize::Large, &error) !=
            gw::status::kSuccess)
            throw std::runtime_error(error);
    }
    ~LargeWorld() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

const LargeWorld& world() {
    static const LargeWorld w;
    return w;
}

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
    const std::string dir = world().dir.string();
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out, err;
        // The demo world's trapdoors are warnings only: anything else is a fault here.
        if (gw::tool::checkWorld(dir, false, {in, out, err, false}) != 0)
            state.SkipWithError((out.str() + err.str()).c_str());
        benchmark::DoNotOptimize(out.tellp());
    }
}
BENCHMARK(BM_CheckWorld)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
