#pragma once
// What the benchmark programs share: dialogs that only count what they are told, and a demo
// world built in a scratch directory that is the current one while the benchmarks run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "shell/dialogs.h"
#include "shell/world.h"
#include "store/record_file.h"
#include "tools/data/demo_world.h"

namespace gw::bench {

class CountingDialogs final : public Dialogs {
public:
    void message(const QString& text) override {
        ++messages;
        last = text;
    }
    bool question(const QString&, const QString&) override { return false; }
    Answer questionWithCancel(const QString&, const QString&, const QString&,
                              const QString&) override {
        return Answer::Cancel;
    }
    QString askText(const QString&, const QString&, const QString&) override { return {}; }
    int messages = 0;
    QString last;
};

// A benchmark whose window or lookups reported a status measured something else: it says so.
inline void failIfReported(benchmark::State& state, const CountingDialogs& dialogs) {
    if (dialogs.messages) state.SkipWithError(dialogs.last.toStdString().c_str());
}

// The demo world of `size` under the temporary directory, the files of `kinds` open in a
// World that reports to `dialogs`. Exits the program when the world cannot be made.
class ScratchWorld {
public:
    ScratchWorld(const char* name, demo::DemoSize size, std::initializer_list<RecordKind> kinds)
        : opened_(kinds) {
        dir_ = std::filesystem::temp_directory_path() /
               (std::string(name) + "-" + std::to_string(::getpid()));
        std::string error;
        if (demo::buildDemoWorld(dir_.string(), size, &error) != status::kSuccess) {
            std::fprintf(stderr, "demo world: %s\n", error.c_str());
            std::exit(1);
        }
        std::filesystem::current_path(dir_);
        world = std::make_unique<World>(dialogs);
        for (RecordKind kind : opened_)
            if (world->file(kind).open("open: ") != status::kSuccess) std::exit(1);
    }
    ~ScratchWorld() {
        for (RecordKind kind : opened_) world->file(kind).close("close: ");
        std::filesystem::current_path(dir_.parent_path());
        std::filesystem::remove_all(dir_);
    }
    ScratchWorld(const ScratchWorld&) = delete;
    ScratchWorld& operator=(const ScratchWorld&) = delete;

    RecordFile& file(RecordKind kind) { return world->file(kind); }

    CountingDialogs dialogs;
    std::unique_ptr<World> world;

private:
    std::vector<RecordKind> opened_;
    std::filesystem::path dir_;
};

// Offscreen unless told otherwise; `setUp` makes the data before the first benchmark runs.
inline int benchMain(int argc, char** argv, const std::function<void()>& setUp = {}) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (setUp) setUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace gw::bench
