// The Item editor on the large demo world (3,000 items): opening the window (name tables in
// the drop-downs, list built, first item shown with its spell names) beside a bare walk of the
// Item file, and one search keystroke that selects an item near the end of the list (the save
// of the item on screen and the read of the match included) beside that save alone. Run with
// QT_QPA_PLATFORM=offscreen.
#include <unistd.h>

#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>

#include "catalogue_bench.h"
#include "editors/catalogue_windows.h"
#include "records/item.h"
#include "records/text_fields.h"
#include "shell/name_lookups.h"
#include "shell/world.h"
#include "tools/data/demo_world.h"

namespace {

using gw::bench::CountingDialogs;

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
        // The demo's item names repeat: two near the end get names of their own, so that a
        // search has to walk to them.
        const std::pair<int, const char*> renamed[] = {{items - 10, "Wyrmwood Staff"},
                                                       {items - 4, "Wyrmwood Sling"}};
        for (const auto& [number, name] : renamed) {
            gw::RecordFile& f = itemFile();
            if (f.getEqual32(number, "BGETEQUAL: ") != 0) std::abort();
            const std::string stored = gw::zeroEnded(name, f.as<gw::Item>().Name.size());
            std::copy(stored.begin(), stored.end(), f.as<gw::Item>().Name.begin());
            if (f.call(gw::BUPDATE, "BUPDATE: ") != 0) std::abort();
        }
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
    gw::bench::bareWalk(state, bench().itemFile(), bench().items);
}
BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond);

// What a keystroke that leaves an item pays for its save alone: the read by key and the
// durable update.
void BM_SaveOneItem(benchmark::State& state) {
    gw::RecordFile& f = bench().itemFile();
    for (auto _ : state) {
        if (f.getEqual32(bench().items - 4, "BGETEQUAL: ") != 0 ||
            f.call(gw::BUPDATE, "BUPDATE: ") != 0)
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SaveOneItem)->Unit(benchmark::kMillisecond);

// Opened as the main window opens it: a subwindow of a shown MDI area.
void BM_OpenItemEditor(benchmark::State& state) {
    gw::bench::openInMdiArea(
        state, [] { return gw::createItemEditor(*bench().world); }, bench().dialogs);
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
    // them; alternated so that every keystroke moves to another item (and saves the other).
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
    gw::bench::failIfReported(state, bench().dialogs);
}
BENCHMARK(BM_SearchKeystrokeNearTheEnd)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return gw::bench::benchMain(argc, argv, [] { bench(); });
}
