// What guarding against other writers costs a step, on the large demo world: a catalogue save
// (frmRace) and a navigator step (frmMessage); beside them the edit check alone (the shown
// controls' states taken and compared, the shown row kept and compared) and the same steps
// when another program has just changed the record, so that the edited field is merged over
// its change.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <cstdlib>
#include <memory>

#include "bench/support/bench_world.h"
#include "editors/catalogue_editor.h"
#include "editors/catalogue_list.h"
#include "editors/catalogue_windows.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"
#include "records/race.h"
#include "shell/shown_record.h"

namespace {

gw::bench::ScratchWorld& fixture() {
    static gw::bench::ScratchWorld world("gravewind-bench-writers", gw::demo::DemoSize::Large,
                                         {gw::RecordKind::Race, gw::RecordKind::Message});
    return world;
}

// The game: its own connection to a file.
struct OtherProgram {
    explicit OtherProgram(gw::RecordKind kind) : file(gw::recordType(kind)) {
        if (file.open("other: ") != gw::status::kSuccess) std::exit(1);
    }
    ~OtherProgram() { file.close("other: "); }
    gw::RecordFile file;
};

void check(benchmark::State& state) { gw::bench::failIfReported(state, fixture().dialogs); }

// Two neighbouring entries, alternately selected: each step saves one race and shows the other.
void BM_CatalogueSave(benchmark::State& state) {
    std::unique_ptr<QWidget> editor(gw::createRaceEditor(*fixture().world));
    editor->show();
    auto& catalogue = dynamic_cast<gw::CatalogueEditor&>(*editor);
    int row = 0;
    for (auto _ : state) catalogue.lstDatabaseClick(row ^= 1);
    check(state);
}
BENCHMARK(BM_CatalogueSave)->Unit(benchmark::kMicrosecond);

// The same step after the game changed the shown race, with one field edited on screen.
void BM_CatalogueSaveOverAnotherWrite(benchmark::State& state) {
    std::unique_ptr<QWidget> editor(gw::createRaceEditor(*fixture().world));
    editor->show();
    auto& catalogue = dynamic_cast<gw::CatalogueEditor&>(*editor);
    OtherProgram game(gw::RecordKind::Race);
    auto* name = editor->findChild<QLineEdit*>(QStringLiteral("txtName"));
    int row = 0;
    std::int16_t cp = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::int32_t number = catalogue.list().number(row);
        game.file.getEqual32(number, "other: ");
        game.file.as<gw::Race>().Cp = ++cp;
        game.file.call(gw::BUPDATE, "other: ");
        name->setText(name->text() == QStringLiteral("A") ? QStringLiteral("B")
                                                          : QStringLiteral("A"));
        state.ResumeTiming();
        catalogue.lstDatabaseClick(row ^= 1);
    }
    check(state);
}
BENCHMARK(BM_CatalogueSaveOverAnotherWrite)->Unit(benchmark::kMicrosecond);

// The part of a catalogue step that the guard adds: the controls' states taken at show and
// compared at save, the shown row kept and compared with the row read again.
void BM_CatalogueEditCheck(benchmark::State& state) {
    std::unique_ptr<QWidget> editor(gw::createRaceEditor(*fixture().world));
    editor->show();
    auto& catalogue = dynamic_cast<gw::CatalogueEditor&>(*editor);
    gw::RecordFile& file = catalogue.file();
    gw::ShownRecord shown;
    for (auto _ : state) {
        shown.remember(file);
        catalogue.form().markShown();
        benchmark::DoNotOptimize(catalogue.form().hasEdits());
        benchmark::DoNotOptimize(shown.changedElsewhere(file));
    }
    check(state);
}
BENCHMARK(BM_CatalogueEditCheck)->Unit(benchmark::kMicrosecond);

void BM_NavigatorStep(benchmark::State& state) {
    std::unique_ptr<QWidget> editor(gw::createMessageEditor(*fixture().world));
    editor->show();
    QPushButton* steps[] = {editor->findChild<QPushButton*>(QStringLiteral("cmdNext")),
                            editor->findChild<QPushButton*>(QStringLiteral("cmdPrevious"))};
    std::size_t i = 0;
    for (auto _ : state) steps[i++ & 1]->click();
    check(state);
}
BENCHMARK(BM_NavigatorStep)->Unit(benchmark::kMicrosecond);

void BM_NavigatorStepOverAnotherWrite(benchmark::State& state) {
    std::unique_ptr<QWidget> editor(gw::createMessageEditor(*fixture().world));
    editor->show();
    OtherProgram game(gw::RecordKind::Message);
    auto* number = editor->findChild<QLineEdit*>(QStringLiteral("txtNumber"));
    auto* line = editor->findChild<QLineEdit*>(QStringLiteral("txtMessageLine1"));
    QPushButton* steps[] = {editor->findChild<QPushButton*>(QStringLiteral("cmdNext")),
                            editor->findChild<QPushButton*>(QStringLiteral("cmdPrevious"))};
    std::size_t i = 0;
    std::int16_t extra = 0;
    for (auto _ : state) {
        state.PauseTiming();
        game.file.getEqual32(number->text().toInt(), "other: ");
        game.file.as<gw::Message>().Line1Extra[0] = ++extra;
        game.file.call(gw::BUPDATE, "other: ");
        line->setText(line->text() == QStringLiteral("A") ? QStringLiteral("B")
                                                          : QStringLiteral("A"));
        state.ResumeTiming();
        steps[i++ & 1]->click();
    }
    check(state);
}
BENCHMARK(BM_NavigatorStepOverAnotherWrite)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return gw::bench::benchMain(argc, argv, [] { fixture(); });
}
