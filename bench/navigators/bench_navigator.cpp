// One navigator step of frmMessage (write back the shown message, read the next or previous
// one, show it) on the large demo world's 8,000 messages, beside the same record-manager
// calls made without the window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/demo_bench.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace {

// The large demo world in a scratch directory, its Message file open.
struct Fixture : gw::bench::DemoBench {
    Fixture() : DemoBench("navigator", {gw::RecordKind::Message}) {}
    gw::RecordFile& messages() { return world->file(gw::RecordKind::Message); }
    // The number of the message in the middle of the file.
    std::int32_t middle() {
        count = 0;
        for (auto s = messages().call(gw::BGETFIRST, "", {9}); s == 0;
             s = messages().call(gw::BGETNEXT, "", {9}))
            ++count;
        messages().call(gw::BGETFIRST, "");
        for (std::int64_t i = 0; i < count / 2; ++i) messages().call(gw::BGETNEXT, "");
        return messages().as<gw::Message>().Number;
    }

    std::int64_t count = 0;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_MessageEditorStep(benchmark::State& state) {
    Fixture& f = fixture();
    std::unique_ptr<QWidget> editor(gw::createMessageEditor(*f.world));
    editor->show();
    editor->findChild<QLineEdit*>(QStringLiteral("txtGoto"))->setText(QString::number(f.middle()));
    editor->findChild<QPushButton*>(QStringLiteral("cmdGoto"))->click();
    QPushButton* steps[] = {editor->findChild<QPushButton*>(QStringLiteral("cmdNext")),
                            editor->findChild<QPushButton*>(QStringLiteral("cmdPrevious"))};
    std::size_t i = 0;
    for (auto _ : state) steps[i++ & 1]->click();
    if (f.dialogs.messages != 0) state.SkipWithError(f.dialogs.last.toStdString().c_str());
    state.counters["messages"] = static_cast<double>(f.count);
}
BENCHMARK(BM_MessageEditorStep)->Unit(benchmark::kMicrosecond);

// Baseline: the calls under one step, with no window: read the shown message again by its
// number, update it, read the neighbour.
void BM_RecordManagerStep(benchmark::State& state) {
    Fixture& f = fixture();
    gw::RecordFile& file = f.messages();
    file.getEqual32(f.middle(), "goto: ");
    std::size_t i = 0;
    for (auto _ : state) {
        file.getEqual32(file.as<gw::Message>().Number, "reread: ");
        file.call(gw::BUPDATE, "update: ");
        file.call((i++ & 1) ? gw::BGETPREVIOUS : gw::BGETNEXT, "step: ");
    }
    if (f.dialogs.messages != 0) state.SkipWithError(f.dialogs.last.toStdString().c_str());
}
BENCHMARK(BM_RecordManagerStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
