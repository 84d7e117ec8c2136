// Find in world over the large demo world beside its baseline, a bare walk of all ten files:
// both read every row of every file once through BTRCALL, each file in one read snapshot.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "bench/support/demo_dir.h"
#include "records/records.h"
#include "store/record_file.h"
#include "world/world_find.h"

namespace {

const gw::bench::DemoDir& world() { return gw::bench::largeDemo(); }
const gw::bench::DemoDir& tenfoldWorld() { return gw::bench::tenTimesLargeDemo(); }

using WorldOf = const gw::bench::DemoDir& (*)();

void BM_BareWalkAllTenFiles(benchmark::State& state, WorldOf of) {
    const gw::world::WorldFiles files = gw::world::worldFilesIn(of().dir.string());
    for (auto _ : state) {
        std::size_t rows = 0;
        for (gw::RecordKind kind : gw::allRecordKinds()) {
            gw::RecordFile file(gw::recordType(kind));
            file.setFileName(files[static_cast<std::size_t>(kind)]);
            if (file.open("") != gw::status::kSuccess) state.SkipWithError("open");
            gw::beginSnapshot(file.positionBlock());
            for (auto s = file.readRow(gw::BGETFIRST, ""); s == gw::status::kSuccess;
                 s = file.readRow(gw::BGETNEXT, ""))
                ++rows;
            gw::endTransaction(file.positionBlock(), false);
            file.close("");
        }
        state.counters["records"] = static_cast<double>(rows);
    }
}
BENCHMARK_CAPTURE(BM_BareWalkAllTenFiles, large, world)->Unit(benchmark::kMillisecond);

struct Counting : gw::world::FindSink {
    std::size_t hits = 0;
    void found(const gw::world::FindHit&) override { ++hits; }
    void unreadable(gw::RecordKind, const std::string&, const std::string&) override {}
};

// A word, the same word as a whole word with case, a number (every number field too), and a
// letter found in most text.
void BM_Find(benchmark::State& state, WorldOf of, const char* text, bool matchCase,
             bool wholeWord) {
    const gw::world::WorldFiles files = gw::world::worldFilesIn(of().dir.string());
    gw::world::FindQuery query;
    query.text = text;
    query.matchCase = matchCase;
    query.wholeWord = wholeWord;
    for (auto _ : state) {
        Counting sink;
        const auto summary = gw::world::findInWorld(files, query, sink);
        if (summary.filesRead != gw::kRecordKindCount) state.SkipWithError("unreadable file");
        state.counters["hits"] = static_cast<double>(sink.hits);
    }
}
BENCHMARK_CAPTURE(BM_Find, word, world, "whisper", false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Find, wholeWordCase, world, "Whisper", true, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Find, number, world, "12", false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Find, letter, world, "e", false, false)->Unit(benchmark::kMillisecond);

// Ten times the large world, with its own bare walk.
void registerTenfold() {
    benchmark::RegisterBenchmark("BM_BareWalkAllTenFiles/tenfold", BM_BareWalkAllTenFiles,
                                 tenfoldWorld)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    for (const char* text : {"whisper", "e"})
        benchmark::RegisterBenchmark((std::string("BM_Find/tenfold/") + text).c_str(), BM_Find,
                                     tenfoldWorld, text, false, false)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
}

}  // namespace

// --tenfold adds the benchmarks over ten times the large world, which takes a few minutes
// and some 600 MB of scratch space to make.
int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--tenfold")
            registerTenfold();
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
