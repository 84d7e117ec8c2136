// The Item editor on the large demo world (3,000 items): opening the window (name tables in
// the drop-downs, list built, first item shown with its spell names) beside a bare walk of the
// Item file, and one search keystroke that selects an item near the end of the list (the save
// of the item on screen and the read of the match included). Run with
// QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "editors/catalogue_windows.h"
#include "shell/name_lookups.h"
#include "shell/world.h"
#include "tools/data/demo_world.h"

namespace {

class CountingDialogs final : public gw::Dialogs {
public:
    void message(const QString& text) override {
        ++messages;
        std::fprintf(stderr, "message: %s\n", text.toLocal8Bit().constData());
    }
    bool question(const QString&, const QString&) override { return false; }
    QString askText(const QString&, const QString&, const QString&) override { return {}; }
    int messages = 0;
};

struct Bench {
    std::filesystem::path dir;
    CountingDialogs dialogs;
    std::unique_ptr<gw::World> world;
    int items = 0;

    Bench() {
        dir = std::filesystem::temp_directory_path() /
              ("gravewind-bench-item-" + std::to_string(getpid()));
        std::string error;
        gw::demo::DemoCounts counts;
        if (gw::demo::buildDemoWorld(dir.string(), {gw::demo::DemoSize::Large, true}, &error,
                                     &counts) != 0) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        items = static_cast<int>(counts.records[static_cast<std::size_t>(gw::RecordKind::Item)]);
        std::filesystem::current_path(dir);
        world = std::make_unique<gw::World>(dialogs);
        for (gw::RecordKind kind : gw::allRecordKinds())
            if (world->file(kind).open("BOPEN: ") != 0) std::abort();
        gw::LoadRaceArray(*world);
        gw::LoadClassArray(*world);
    }
    ~Bench() {
        for (gw::RecordKind kind : gw::allRecordKinds()) world->file(kind).close("BCLOSE: ");
        std::filesystem::current_path(dir.parent_path());
        std::filesystem::remove_all(dir);
    }
    gw::RecordFile& itemFile() { return world->file(gw::RecordKind::Item); }
};

Bench& bench() {
    static Bench b;
    return b;
}

void BM_BareWalk(benchmark::State& state) {
    gw::RecordFile& f = bench().itemFile();
    for (auto _ : state) {
        int n = 0;
        for (gw::Status s = f.call(gw::BGETFIRST, ""); s == 0; s = f.call(gw::BGETNEXT, "", {9}))
            ++n;
        if (n != bench().items) state.SkipWithError("walk came short");
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond);

// Opened as the main window opens it: a subwindow of a shown MDI area.
void BM_OpenItemEditor(benchmark::State& state) {
    QMdiArea area;
    area.resize(1024, 768);
    area.show();
    for (auto _ : state) {
        QMdiSubWindow* sub = area.addSubWindow(gw::createItemEditor(*bench().world));
        sub->show();
        state.PauseTiming();
        delete sub;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (bench().dialogs.messages) state.SkipWithError("the editor reported a status");
}
BENCHMARK(BM_OpenItemEditor)->Unit(benchmark::kMillisecond);

// The name part of a list entry: the text after "number, three blanks".
QString namePart(const QAbstractItemModel& model, int row) {
    const QString text = model.index(row, 0).data().toString();
    return text.mid(text.indexOf(QLatin1Char(' '))).trimmed();
}

void BM_SearchKeystrokeNearTheEnd(benchmark::State& state) {
    std::unique_ptr<QWidget> editor(gw::createItemEditor(*bench().world));
    editor->show();
    auto* search = editor->findChild<QLineEdit*>(QStringLiteral("txtSearch"));
    const QAbstractItemModel& list =
        *editor->findChild<QListView*>(QStringLiteral("lstDatabase"))->model();
    // Two names near the end that no earlier entry begins with, so that the search walks to
    // them; alternated so that every keystroke moves to another item.
    std::vector<QString> targets;
    const int rows = list.rowCount();
    for (int row = rows - 1; row >= rows * 9 / 10 && targets.size() < 2; --row) {
        const QString name = namePart(list, row).toCaseFolded();
        if (name.size() < 2 || (!targets.empty() && targets[0] == name)) continue;
        bool firstOfItsName = true;
        for (int earlier = 0; earlier < row && firstOfItsName; ++earlier)
            firstOfItsName = !namePart(list, earlier).toCaseFolded().startsWith(name);
        if (firstOfItsName) targets.push_back(name);
    }
    if (targets.size() < 2) {
        state.SkipWithError("no two names near the end are found by a search");
        return;
    }
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString& typed = targets[static_cast<std::size_t>(k)];
        search->setText(typed.chopped(1));
        state.ResumeTiming();
        QTest::keyClicks(search, typed.right(1));
        k ^= 1;
    }
    if (!search->text().toCaseFolded().startsWith(targets[static_cast<std::size_t>(k ^ 1)]))
        state.SkipWithError("the keystroke selected the wrong item");
    if (bench().dialogs.messages) state.SkipWithError("the editor reported a status");
}
BENCHMARK(BM_SearchKeystrokeNearTheEnd)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
