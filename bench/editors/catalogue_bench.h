#pragma once
// What the catalogue editors' benchmarks share beside bench_world.h: the bare walk of a file
// that is each window's baseline, and opening a window as the main window opens it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <functional>

#include "bench/support/bench_world.h"
#include "store/record_file.h"

namespace gw::bench {

// BGETFIRST, then BGETNEXT to the end of the file, which holds `records`, each row converted
// into the record: in one snapshot, as a catalogue builds its list, or step by step, each step
// looking for other writers.
inline void bareWalk(benchmark::State& state, RecordFile& f, int records, bool snapshot = true) {
    for (auto _ : state) {
        if (snapshot && beginSnapshot(f.positionBlock()) != 0) state.SkipWithError("no snapshot");
        int n = 0;
        for (Status s = f.call(BGETFIRST, ""); s == 0; s = f.call(BGETNEXT, "", {9})) ++n;
        if (snapshot) endTransaction(f.positionBlock(), false);
        if (n != records) state.SkipWithError("walk came short");
        benchmark::DoNotOptimize(n);
    }
}

// The window `make` returns, opened as a subwindow of a shown MDI area; its list is built and
// its first record shown by the time show() returns.
inline void openInMdiArea(benchmark::State& state, const std::function<QWidget*()>& make,
                          const CountingDialogs& dialogs) {
    QMdiArea area;
    area.resize(1024, 768);
    area.show();
    for (auto _ : state) {
        QMdiSubWindow* sub = area.addSubWindow(make());
        sub->show();
        state.PauseTiming();
        delete sub;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    failIfReported(state, dialogs);
}

}  // namespace gw::bench
