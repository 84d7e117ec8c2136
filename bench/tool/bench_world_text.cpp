// Worlds as text on the large demo world, each beside its baseline in the same run: load of
// JSON Lines against load of the unload with the same rows; export and import against unload
// and load of the ten files; diff and merge of worlds with 1,000 scattered changes per side
// against reading the ten files once.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "records/records.h"
#include "store/record_manager.h"
#include "tools/data/data_tool.h"
#include "tools/data/demo_world.h"
#include "tools/data/world_text_commands.h"
#include "world/world_text.h"

namespace {

namespace fs = std::filesystem;
using gw::RecordKind;

constexpr int kChangesPerSide = 1000;

fs::path scratch() {
    std::string pattern = (fs::temp_directory_path() / "gw_bench_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    return pattern;
}

std::string dataFile(const fs::path& dir, RecordKind kind) {
    return (dir / gw::recordType(kind).fileName()).string();
}

gw::tool::ToolIo quiet(std::istringstream& in, std::ostringstream& out, std::ostringstream& err) {
    return {in, out, err, false};
}

// The large demo world; its unloads and dumps; two copies with 1,000 changes each, made as
// text: the last single number field of every n-th record, different records on each side.
struct Worlds {
    fs::path root = scratch();
    fs::path base = root / "base", ours = root / "ours", theirs = root / "theirs";
    std::vector<std::string> unloads, dumps;

    Worlds() {
        std::string error;
        if (gw::demo::buildDemoWorld(base.string(), gw::demo::DemoSize::Large, &error) !=
            gw::status::kSuccess)
            throw std::runtime_error(error);
        std::istringstream in;
        std::ostringstream out, err;
        for (RecordKind kind : gw::allRecordKinds()) {
            out.str("");
            gw::tool::unloadFile(dataFile(base, kind), "", quiet(in, out, err));
            unloads.push_back(out.str());
            out.str("");
            gw::tool::dumpFile(dataFile(base, kind), quiet(in, out, err));
            dumps.push_back(out.str());
        }
        changed(ours, 0);
        changed(theirs, 1);
    }
    ~Worlds() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    void changed(const fs::path& dir, std::size_t side) const {
        std::size_t total = 0;
        for (const std::string& d : dumps) total += std::count(d.begin(), d.end(), '\n');
        const std::size_t step = total / kChangesPerSide;
        const fs::path text = dir.string() + "-text";
        fs::create_directories(text);
        std::size_t line = 0;
        for (std::size_t i = 0; i < gw::kRecordKindCount; ++i) {
            const gw::RecordType& type = gw::recordType(gw::allRecordKinds()[i]);
            std::string field;
            for (const gw::FieldInfo& f : type.fields())
                if (!f.isText() && f.count == 1 && f.rowOffset >= type.key().width)
                    field = std::string(f.name);
            std::ofstream out(text / gw::world::textFileName(type), std::ios::binary);
            std::istringstream in(dumps[i]);
            for (std::string row; std::getline(in, row); ++line) {
                if (!field.empty() && line % step == side * step / 2) {
                    auto j = nlohmann::ordered_json::parse(row);
                    j[field] = j[field].get<std::int64_t>() == 1 ? 2 : 1;
                    row = j.dump();
                }
                out << row << "\n";
            }
        }
        std::string error;
        if (!gw::world::importWorld(text, dir, false, error)) throw std::runtime_error(error);
    }
};

const Worlds& worlds() {
    static const Worlds w;
    return w;
}

void fresh(const fs::path& dir) {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    std::istringstream in;
    std::ostringstream out, err;
    if (gw::tool::createFiles(dir.string(), false, quiet(in, out, err)) != 0)
        throw std::runtime_error(err.str());
}

// Loads each of the files of `kinds` from `inputs` into a fresh copy of the world.
void loadFiles(benchmark::State& state, const std::vector<std::string>& inputs,
               std::initializer_list<RecordKind> kinds) {
    const fs::path dir = worlds().root / "loaded";
    for (auto _ : state) {
        state.PauseTiming();
        fresh(dir);
        state.ResumeTiming();
        for (RecordKind kind : kinds) {
            std::istringstream in(inputs[static_cast<std::size_t>(kind)]);
            std::ostringstream out, err;
            if (gw::tool::loadFile(dataFile(dir, kind), "", {in, out, err, false}) != 0)
                state.SkipWithError(err.str().c_str());
        }
    }
}

void BM_LoadUnloadItems(benchmark::State& state) {
    loadFiles(state, worlds().unloads, {RecordKind::Item});
}
BENCHMARK(BM_LoadUnloadItems)->Unit(benchmark::kMillisecond);

void BM_LoadJsonLinesItems(benchmark::State& state) {
    loadFiles(state, worlds().dumps, {RecordKind::Item});
}
BENCHMARK(BM_LoadJsonLinesItems)->Unit(benchmark::kMillisecond);

void BM_UnloadTenFiles(benchmark::State& state) {
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out, err;
        for (RecordKind kind : gw::allRecordKinds())
            if (gw::tool::unloadFile(dataFile(worlds().base, kind), "", quiet(in, out, err)) != 0)
                state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(out.tellp());
    }
}
BENCHMARK(BM_UnloadTenFiles)->Unit(benchmark::kMillisecond);

void BM_ExportWorld(benchmark::State& state) {
    const fs::path text = worlds().root / "exported";
    for (auto _ : state) {
        std::string error;
        if (!gw::world::exportWorld(worlds().base, text, error)) state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_ExportWorld)->Unit(benchmark::kMillisecond);

void BM_LoadTenFiles(benchmark::State& state) {
    const fs::path dir = worlds().root / "loaded";
    for (auto _ : state) {
        state.PauseTiming();
        fresh(dir);
        state.ResumeTiming();
        for (RecordKind kind : gw::allRecordKinds()) {
            std::istringstream in(worlds().unloads[static_cast<std::size_t>(kind)]);
            std::ostringstream out, err;
            if (gw::tool::loadFile(dataFile(dir, kind), "", {in, out, err, false}) != 0)
                state.SkipWithError(err.str().c_str());
        }
    }
}
BENCHMARK(BM_LoadTenFiles)->Unit(benchmark::kMillisecond);

void BM_ImportWorld(benchmark::State& state) {
    const fs::path text = worlds().root / "ours-text", dir = worlds().root / "imported";
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ignored;
        fs::remove_all(dir, ignored);
        state.ResumeTiming();
        std::string error;
        if (!gw::world::importWorld(text, dir, false, error)) state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_ImportWorld)->Unit(benchmark::kMillisecond);

void BM_DiffWorlds(benchmark::State& state) {
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out, err;
        if (gw::tool::diffWorlds(worlds().base.string(), worlds().ours.string(), false,
                                 quiet(in, out, err)) != 1)
            state.SkipWithError(("no difference found " + err.str()).c_str());
    }
}
BENCHMARK(BM_DiffWorlds)->Unit(benchmark::kMillisecond);

void BM_MergeWorlds(benchmark::State& state) {
    const fs::path merged = worlds().root / "merged";
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ignored;
        fs::remove_all(merged, ignored);
        state.ResumeTiming();
        std::istringstream in;
        std::ostringstream out, err;
        if (gw::tool::mergeWorlds(worlds().base.string(), worlds().ours.string(),
                                  worlds().theirs.string(), merged.string(), false, false,
                                  quiet(in, out, err)) != 0)
            state.SkipWithError((out.str() + err.str()).c_str());
    }
}
BENCHMARK(BM_MergeWorlds)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
