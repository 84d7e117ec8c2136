// unload, load and verify of every file of the large demo world: the commands an operator runs
// for a backup, each over all ten files in one iteration.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "records/records.h"
#include "tools/data/data_tool.h"
#include "tools/data/demo_world.h"

namespace {

namespace fs = std::filesystem;

// The large demo world, the unload of each file in memory and an empty copy of the ten files.
struct Fixture {
    fs::path dir, empty, unloads;
    std::vector<std::string> files, emptyFiles, unloadFiles, unloaded;
    Fixture() {
        std::string pattern = (fs::temp_directory_path() / "gw_bench_XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
        dir = fs::path(pattern) / "world";
        empty = fs::path(pattern) / "empty";
        unloads = fs::path(pattern) / "unloads";
        fs::create_directories(unloads);
        std::string error;
        if (gw::demo::buildDemoWorld(dir.string(), gw::demo::DemoSize::Large, &error) !=
            gw::status::kSuccess)
            throw std::runtime_error(error);
        for (gw::RecordKind kind : gw::allRecordKinds()) {
            const std::string name(gw::recordType(kind).fileName());
            files.push_back((dir / name).string());
            emptyFiles.push_back((empty / name).string());
            unloadFiles.push_back((unloads / (name + ".unl")).string());
            std::istringstream in;
            std::ostringstream out, err;
            if (gw::tool::unloadFile(files.back(), "", {in, out, err, false}) != 0)
                throw std::runtime_error(err.str());
            unloaded.push_back(out.str());
        }
    }
    ~Fixture() {
        std::error_code ignored;
        fs::remove_all(dir.parent_path(), ignored);
    }
};

const Fixture& fixture() {
    static const Fixture f;
    return f;
}

void BM_UnloadAllTenFilesToFiles(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out, err;
        for (std::size_t i = 0; i < f.files.size(); ++i)
            if (gw::tool::unloadFile(f.files[i], f.unloadFiles[i], {in, out, err, false}) != 0)
                state.SkipWithError(err.str().c_str());
    }
}
BENCHMARK(BM_UnloadAllTenFilesToFiles)->Unit(benchmark::kMillisecond);

// `dump` beside `unload` of the same file (the 30,000 rooms), each to standard output
// redirected to a file, as an operator runs them.
void writeRoomFile(benchmark::State& state, bool dump) {
    const Fixture& f = fixture();
    const std::string& rooms = f.files[static_cast<std::size_t>(gw::RecordKind::Room)];
    const fs::path output = f.unloads / (dump ? "rooms.jsonl" : "rooms.unl");
    for (auto _ : state) {
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        std::istringstream in;
        std::ostringstream err;
        const gw::tool::ToolIo io{in, out, err, false};
        if ((dump ? gw::tool::dumpFile(rooms, io) : gw::tool::unloadFile(rooms, "", io)) != 0)
            state.SkipWithError(err.str().c_str());
    }
}
void BM_UnloadRoomFile(benchmark::State& state) { writeRoomFile(state, false); }
void BM_DumpRoomFile(benchmark::State& state) { writeRoomFile(state, true); }
BENCHMARK(BM_UnloadRoomFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DumpRoomFile)->Unit(benchmark::kMillisecond);

void BM_LoadAllTenFiles(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        std::istringstream none;
        std::ostringstream out, err;
        if (gw::tool::createFiles(f.empty.string(), true, {none, out, err, false}) != 0)
            state.SkipWithError(err.str().c_str());
        state.ResumeTiming();
        for (std::size_t i = 0; i < f.files.size(); ++i) {
            std::istringstream in(f.unloaded[i]);
            if (gw::tool::loadFile(f.emptyFiles[i], "", {in, out, err, false}) != 0)
                state.SkipWithError(err.str().c_str());
        }
    }
}
BENCHMARK(BM_LoadAllTenFiles)->Unit(benchmark::kMillisecond);

void BM_VerifyAllTenFiles(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out, err;
        if (gw::tool::verifyFiles(f.files, {in, out, err, false}) != 0)
            state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(out.tellp());
    }
}
BENCHMARK(BM_VerifyAllTenFiles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
