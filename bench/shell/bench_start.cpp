// The editor's start, from nothing to the main window shown with the ten files open, on a
// world ten times the large demo (622 MB): with its files in the page cache, and with them
// evicted first (posix_fadvise DONTNEED on each), as after a reboot. The world is built once
// into the build tree (a few minutes) and kept for later runs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/support/bench_world.h"
#include "records/records.h"
#include "shell/main_window.h"
#include "tools/data/demo_world.h"

namespace {

namespace fs = std::filesystem;

constexpr int kScale = 10;

fs::path worldDir() { return fs::path(GRAVEWIND_BENCH_CACHE) / "start-world-x10"; }

// Builds the world unless a complete one is there; a build cut short leaves no mark.
void ensureWorld() {
    const fs::path dir = worldDir();
    const fs::path done = dir / "complete";
    if (fs::exists(done)) return;
    std::fprintf(stderr, "building the world in %s (once)...\n", dir.c_str());
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    gw::demo::DemoOptions options;
    options.scale = kScale;
    std::string error;
    if (gw::demo::buildDemoWorld(dir.string(), options, &error) != gw::status::kSuccess) {
        std::fprintf(stderr, "demo world: %s\n", error.c_str());
        std::exit(1);
    }
    ::sync();  // written back, so that eviction can drop every page
    std::ofstream(done) << "scale " << kScale << "\n";
}

// Drops the files' pages from the page cache.
void evict() {
    for (gw::RecordKind kind : gw::allRecordKinds()) {
        const fs::path file = worldDir() / gw::recordType(kind).fileName();
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

void startEditor(benchmark::State& state, bool cold) {
    gw::bench::CountingDialogs dialogs;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            evict();
            state.ResumeTiming();
        }
        auto window = std::make_unique<gw::MDIForm1>(dialogs);
        window->startUp();
        QCoreApplication::processEvents();  // the first paint
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    gw::bench::failIfReported(state, dialogs);
}
void BM_StartWarm(benchmark::State& state) { startEditor(state, false); }
void BM_StartCold(benchmark::State& state) { startEditor(state, true); }
BENCHMARK(BM_StartWarm)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StartCold)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // Settings of a scratch folder, never the operator's own.
    const fs::path settings =
        fs::temp_directory_path() / ("gravewind-bench-start-" + std::to_string(::getpid()));
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(settings.string()));
    const int result = gw::bench::benchMain(argc, argv, [] {
        ensureWorld();
        fs::current_path(worldDir());
    });
    std::error_code ignored;
    fs::remove_all(settings, ignored);
    return result;
}
