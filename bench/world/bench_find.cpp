// Find in world over the large demo world beside its baseline, a bare walk of all ten files:
// both read every row of every file once through BTRCALL, each file in one read snapshot.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/support/demo_dir.h"
#include "records/records.h"
#include "store/record_file.h"
#include "world/world_find.h"

namespace {

const gw::bench::DemoDir& world() { return gw::bench::largeDemo(); }

void BM_BareWalkAllTenFiles(benchmark::State& state) {
    const gw::world::WorldFiles files = gw::world::worldFilesIn(world().dir.string());
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
BENCHMARK(BM_BareWalkAllTenFiles)->Unit(benchmark::kMillisecond);

struct Counting : gw::world::FindSink {
    std::size_t hits = 0;
    void found(const gw::world::FindHit&) override { ++hits; }
    void unreadable(gw::RecordKind, const std::string&, const std::string&) override {}
};

// A word, the same word as a whole word with case, a number (every number field too), and a
// letter found in most text.
void BM_Find(benchmark::State& state, const char* text, bool matchCase, bool wholeWord) {
    const gw::world::WorldFiles files = gw::world::worldFilesIn(world().dir.string());
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
BENCHMARK_CAPTURE(BM_Find, word, "whisper", false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Find, wholeWordCase, "Whisper", true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Find, number, "12", false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Find, letter, "e", false, false)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
