#pragma once
// What the catalogue editors' benchmarks share: dialogs that count (and print) what they are
// told, the bare walk of a file that is each window's baseline, opening a window as the main
// window opens it, and the program's main.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "shell/dialogs.h"
#include "store/record_file.h"

namespace gw::bench {

class CountingDialogs final : public Dialogs {
public:
    void message(const QString& text) override {
        ++messages;
        std::fprintf(stderr, "message: %s\n", text.toLocal8Bit().constData());
    }
    bool question(const QString&, const QString&) override { return false; }
    QString askText(const QString&, const QString&, const QString&) override { return {}; }
    int messages = 0;
};

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
    if (dialogs.messages) state.SkipWithError("the editor reported a status");
}

// Offscreen unless told otherwise; `setUp` makes the data before the first benchmark runs.
inline int benchMain(int argc, char** argv, const std::function<void()>& setUp) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    setUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace gw::bench
