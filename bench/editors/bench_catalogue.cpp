// The catalogue editor on a Race file of 10,000 records (16-bit numbers 1 to 10000):
// opening the window (list built, first record shown) beside a bare walk of the same file,
// and one search keystroke that selects a record near the end of the list (the save of the
// record on screen and the read of the match included). Then the Spell and Shop editors
// opened on the large demo world, each beside a bare walk of its file. A save of an edit on
// leaving a record (one write transaction: read again, compare, update; then the next record
// shown) beside the record-manager calls with and without the transaction. Run with
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

#include "catalogue_bench.h"
#include "editors/catalogue_windows.h"
#include "records/race.h"
#include "records/text_fields.h"
#include "shell/name_lookups.h"
#include "shell/world.h"
#include "tools/data/demo_world.h"

namespace {

constexpr int kRaces = 10000;

using gw::bench::CountingDialogs;

struct Bench {
    std::filesystem::path dir;
    CountingDialogs dialogs;
    std::unique_ptr<gw::World> world;

    Bench() {
        dir = std::filesystem::temp_directory_path() /
              ("gravewind-bench-catalogue-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        const gw::RecordType& type = gw::RecordTraits<gw::Race>::type();
        gw::DataFileInfo info{std::string(type.name()), type.key(), type.dataLength(),
                              gw::kFormatVersion};
        if (gw::createDataFile(std::string(type.fileName()), info, true) != 0) std::abort();
        world = std::make_unique<gw::World>(dialogs);
        gw::RecordFile& f = races();
        if (f.open("BOPEN, Race, Error: ") != 0) std::abort();
        const gw::Status s = gw::inTransaction(f.positionBlock(), [&]() -> gw::Status {
            for (int i = 1; i <= kRaces; ++i) {
                gw::Race& r = f.as<gw::Race>();
                r = gw::Race{};
                r.Number = static_cast<std::int16_t>(i);
                char name[16];
                std::snprintf(name, sizeof name, "Race%05d", i);
                const std::string stored = gw::zeroEnded(name, r.Name.size());
                std::copy(stored.begin(), stored.end(), r.Name.begin());
                r.MinIntellect = static_cast<std::int16_t>(i % 50);
                r.AbilityA[0] = static_cast<std::int16_t>(i % 188);
                if (gw::Status st = f.call(gw::BINSERT, "BINSERT: "); st != 0) return st;
            }
            return 0;
        });
        if (s != 0) std::abort();
    }
    ~Bench() {
        races().close("BCLOSE: ");
        std::filesystem::current_path(dir.parent_path());
        std::filesystem::remove_all(dir);
    }
    gw::RecordFile& races() { return world->file(gw::RecordKind::Race); }
};

Bench& bench() {
    static Bench b;
    return b;
}

// The large demo world in its own directory, every file open and the class names loaded, as
// the program has them after start-up.
struct DemoBench : gw::bench::ScratchWorld {
    DemoBench()
        : ScratchWorld("gravewind-bench-demo", gw::demo::DemoSize::Large,
                       {gw::RecordKind::Race, gw::RecordKind::Class, gw::RecordKind::Spell,
                        gw::RecordKind::Monster, gw::RecordKind::Item, gw::RecordKind::Shop,
                        gw::RecordKind::Room, gw::RecordKind::Message, gw::RecordKind::Textblock,
                        gw::RecordKind::User}) {
        gw::LoadClassArray(*world);
    }
};

DemoBench& demo() {
    static DemoBench b;
    return b;
}

// Opened as the main window opens it: a subwindow of a shown MDI area.
void open(benchmark::State& state, gw::World& world, CountingDialogs& dialogs,
          QWidget* (*create)(gw::World&, QWidget*)) {
    gw::bench::openInMdiArea(
        state, [&] { return create(world, nullptr); }, dialogs);
}

void BM_BareWalk(benchmark::State& state) { gw::bench::bareWalk(state, bench().races(), kRaces); }
BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond);
void BM_BareWalkStepByStep(benchmark::State& state) {
    gw::bench::bareWalk(state, bench().races(), kRaces, false);
}
BENCHMARK(BM_BareWalkStepByStep)->Unit(benchmark::kMillisecond);

void BM_OpenRaceEditor(benchmark::State& state) {
    open(state, *bench().world, bench().dialogs, gw::createRaceEditor);
}
BENCHMARK(BM_OpenRaceEditor)->Unit(benchmark::kMillisecond);

void BM_DemoBareWalkSpells(benchmark::State& state) {
    const gw::demo::DemoPlan plan = gw::demo::demoPlan(gw::demo::DemoSize::Large);
    gw::bench::bareWalk(state, demo().world->file(gw::RecordKind::Spell), plan.spells);
}
BENCHMARK(BM_DemoBareWalkSpells)->Unit(benchmark::kMillisecond);

void BM_DemoOpenSpellEditor(benchmark::State& state) {
    open(state, *demo().world, demo().dialogs, gw::createSpellEditor);
}
BENCHMARK(BM_DemoOpenSpellEditor)->Unit(benchmark::kMillisecond);

void BM_DemoBareWalkShops(benchmark::State& state) {
    const gw::demo::DemoPlan plan = gw::demo::demoPlan(gw::demo::DemoSize::Large);
    gw::bench::bareWalk(state, demo().world->file(gw::RecordKind::Shop), plan.shops);
}
BENCHMARK(BM_DemoBareWalkShops)->Unit(benchmark::kMillisecond);

void BM_DemoOpenShopEditor(benchmark::State& state) {
    open(state, *demo().world, demo().dialogs, gw::createShopEditor);
}
BENCHMARK(BM_DemoOpenShopEditor)->Unit(benchmark::kMillisecond);

void BM_SearchKeystrokeNearTheEnd(benchmark::State& state) {
    std::unique_ptr<QWidget> editor(gw::createRaceEditor(*bench().world));
    editor->show();
    auto* search = editor->findChild<QLineEdit*>(QStringLiteral("txtSearch"));
    // Two targets near the end, alternated so that every keystroke moves to another record.
    const struct {
        const char* typed;
        Qt::Key last;
    } targets[] = {{"Race0999", Qt::Key_0}, {"Race0998", Qt::Key_5}};
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        search->setText(QString::fromLatin1(targets[k].typed));
        state.ResumeTiming();
        QTest::keyClick(search, targets[k].last);
        k ^= 1;
    }
    if (search->text() != QStringLiteral("Race09990") &&
        search->text() != QStringLiteral("Race09985"))
        state.SkipWithError("the keystroke selected the wrong record");
    gw::bench::failIfReported(state, bench().dialogs);
}
BENCHMARK(BM_SearchKeystrokeNearTheEnd)->Unit(benchmark::kMillisecond);

// Type into a box, then click the other of two neighbouring entries: the save and the move.
void BM_RaceSaveOnLeaving(benchmark::State& state) {
    std::unique_ptr<QWidget> editor(gw::createRaceEditor(*bench().world));
    editor->show();
    QCoreApplication::processEvents();
    auto* view = editor->findChild<QListView*>(QStringLiteral("lstDatabase"));
    auto* box = editor->findChild<QLineEdit*>(QStringLiteral("txtMinIntellect"));
    int i = 0;
    for (auto _ : state) {
        box->setText(QString::number(i % 40));
        view->setCurrentIndex(view->model()->index(5000 + (++i & 1), 0));
    }
    gw::bench::failIfReported(state, bench().dialogs);
}
BENCHMARK(BM_RaceSaveOnLeaving)->Unit(benchmark::kMicrosecond);

// Baselines: read again, update, read the next entry; with and without the transaction.
void raceSaveCalls(benchmark::State& state, bool transaction) {
    gw::RecordFile& f = bench().races();
    int i = 0;
    for (auto _ : state) {
        const auto number = static_cast<std::int16_t>(5001 + (i & 1));
        auto save = [&] {
            if (gw::Status s = f.getEqual32(number, "reread: "); s != 0) return s;
            f.as<gw::Race>().MinIntellect = static_cast<std::int16_t>(i % 40);
            return f.call(gw::BUPDATE, "update: ");
        };
        if (transaction)
            f.inWriteTransaction("save: ", save);
        else
            save();
        f.getEqual32(static_cast<std::int16_t>(5001 + (++i & 1)), "show: ");
    }
    gw::bench::failIfReported(state, bench().dialogs);
}
void BM_RaceSaveCalls(benchmark::State& state) { raceSaveCalls(state, false); }
BENCHMARK(BM_RaceSaveCalls)->Unit(benchmark::kMicrosecond);
void BM_RaceSaveCallsInTransaction(benchmark::State& state) { raceSaveCalls(state, true); }
BENCHMARK(BM_RaceSaveCallsInTransaction)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return gw::bench::benchMain(argc, argv, [] {
        bench();
        demo();
    });
}
