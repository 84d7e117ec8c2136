// frmMonster on the large demo world's 1,200 monsters: opening the window (list built, first
// monster shown with its lookups) beside a bare walk of the Monster file, and one record step
// (the monster on screen saved, the next one read and shown) as a click in the list makes it,
// with and without the "Used by" count, beside the record-manager calls of that step without
// the window.
// Run with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/support/bench_world.h"
#include "editors/catalogue_windows.h"
#include "records/monster.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace {

// The large demo world with the files the Monster editor reads open.
struct Fixture : gw::bench::ScratchWorld {
    Fixture()
        : ScratchWorld("gravewind-bench-monster", gw::demo::DemoSize::Large,
                       {gw::RecordKind::Monster, gw::RecordKind::Item, gw::RecordKind::Spell,
                        gw::RecordKind::Message}) {}
    gw::RecordFile& monsters() { return file(gw::RecordKind::Monster); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// In one snapshot, as the window builds its list.
void BM_BareWalk(benchmark::State& state) {
    gw::RecordFile& f = fixture().monsters();
    int n = 0;
    for (auto _ : state) {
        gw::beginSnapshot(f.positionBlock());
        n = 0;
        for (gw::Status s = f.call(gw::BGETFIRST, ""); s == 0; s = f.call(gw::BGETNEXT, "", {9}))
            ++n;
        gw::endTransaction(f.positionBlock(), false);
        benchmark::DoNotOptimize(n);
    }
    state.counters["monsters"] = n;
}
BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond);

// Opened as the main window opens it: a subwindow of a shown MDI area.
void BM_OpenMonsterEditor(benchmark::State& state) {
    QMdiArea area;
    area.resize(1280, 860);
    area.show();
    for (auto _ : state) {
        QMdiSubWindow* sub = area.addSubWindow(gw::createMonsterEditor(*fixture().world));
        sub->show();
        state.PauseTiming();
        delete sub;  // deleted without closing: its closing save is not part of opening
        QApplication::processEvents();
        state.ResumeTiming();
    }
    gw::bench::failIfReported(state, fixture().dialogs);
}
BENCHMARK(BM_OpenMonsterEditor)->Unit(benchmark::kMillisecond);

// Entries in the middle of the list, alternated so that every step leaves one monster for
// another; without the "Used by" count (the index not built: the button waits for it), then
// with it counted at every step.
void BM_MonsterRecordStep(benchmark::State& state, bool withCount) {
    gw::World& world = *fixture().world;
    if (withCount)
        world.references();
    else if (world.referencesReady())
        state.SkipWithError("the index was built before the step without it");
    std::unique_ptr<QWidget> editor(gw::createMonsterEditor(world));
    editor->show();
    auto* list = editor->findChild<QListView*>(QStringLiteral("lstDatabase"));
    auto* usedBy = editor->findChild<QPushButton*>(QStringLiteral("cmdUsedBy"));
    const int middle = list->model()->rowCount() / 2;
    int k = 0;
    for (auto _ : state) {
        list->setCurrentIndex(list->model()->index(middle + k, 0));
        k ^= 1;
    }
    if (list->currentIndex().row() != middle + (k ^ 1))
        state.SkipWithError("the step did not reach its entry");
    if (usedBy->text().endsWith(QStringLiteral("…")) == withCount)
        state.SkipWithError("the count was not as asked");
    gw::bench::failIfReported(state, fixture().dialogs);
}
BENCHMARK_CAPTURE(BM_MonsterRecordStep, withoutCount, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MonsterRecordStep, withCount, true)->Unit(benchmark::kMicrosecond);

// Baseline: the record-manager calls under one step, with no window: read the shown monster
// again by its number, update it, read the next one by its number.
void BM_RecordManagerStep(benchmark::State& state) {
    gw::RecordFile& f = fixture().monsters();
    std::int32_t numbers[2] = {0, 0};
    f.call(gw::BGETFIRST, "first: ");
    for (int i = 0; i < 600; ++i) f.call(gw::BGETNEXT, "next: ");
    numbers[0] = f.as<gw::Monster>().Number;
    f.call(gw::BGETNEXT, "next: ");
    numbers[1] = f.as<gw::Monster>().Number;
    int k = 0;
    for (auto _ : state) {
        f.getEqual32(numbers[k], "reread: ");
        f.call(gw::BUPDATE, "update: ");
        k ^= 1;
        f.getEqual32(numbers[k], "show: ");
    }
    gw::bench::failIfReported(state, fixture().dialogs);
}
BENCHMARK(BM_RecordManagerStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return gw::bench::benchMain(argc, argv, [] { fixture(); });
}
