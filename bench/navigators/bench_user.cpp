// One step of frmUser (read the next or previous player, show it with the names of its
// hundred inventory items) on the large demo world's 500 players, beside the same
// record-manager calls made without the window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/bench_world.h"
#include "navigators/navigator_windows.h"
#include "records/user.h"
#include "shell/name_lookups.h"

namespace {

using gw::RecordKind;

// The players in the middle of the file carry a hundred real items each, so that every show
// looks up a hundred names.
struct Fixture {
    Fixture() {
        gw::LoadRaceArray(*scratch.world);
        gw::LoadClassArray(*scratch.world);
        gw::RecordFile& users = scratch.file(RecordKind::User);
        for (auto s = users.call(gw::BGETFIRST, "", {9}); s == 0;
             s = users.call(gw::BGETNEXT, "", {9}))
            ++players;
        users.call(gw::BGETFIRST, "");
        for (int i = 0; i < players / 2; ++i) users.call(gw::BGETNEXT, "");
        middle = key(users);
        const int items = gw::demo::demoPlan(gw::demo::DemoSize::Large).items;
        for (int p = 0; p < 2; ++p) {
            if (p == 1) users.call(gw::BGETNEXT, "next: ");
            auto& user = users.as<gw::User>();
            for (int i = 0; i < 100; ++i) user.Item[i] = 1 + (p * 100 + i * 7) % items;
            users.call(gw::BUPDATE, "update: ");
        }
    }
    static std::string key(gw::RecordFile& users) {
        const auto& name = users.as<gw::User>().BBSName;
        return std::string(name.data(), std::find(name.begin(), name.end(), '\0'));
    }

    gw::bench::ScratchWorld scratch{
        "gravewind-bench-user",
        gw::demo::DemoSize::Large,
        {RecordKind::Race, RecordKind::Class, RecordKind::Item, RecordKind::User}};
    int players = 0;
    std::string middle;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_UserEditorStep(benchmark::State& state) {
    Fixture& f = fixture();
    std::unique_ptr<QWidget> editor(gw::createUserEditor(*f.scratch.world));
    editor->show();
    editor->findChild<QLineEdit*>(QStringLiteral("txtGoto"))
        ->setText(QString::fromLatin1(f.middle.data(), qsizetype(f.middle.size())));
    editor->findChild<QPushButton*>(QStringLiteral("Command7"))->click();
    QPushButton* steps[] = {editor->findChild<QPushButton*>(QStringLiteral("cmdNext")),
                            editor->findChild<QPushButton*>(QStringLiteral("cmdPrevious"))};
    std::size_t i = 0;
    for (auto _ : state) steps[i++ & 1]->click();
    gw::bench::failIfReported(state, f.scratch.dialogs);
    state.counters["players"] = f.players;
}
BENCHMARK(BM_UserEditorStep)->Unit(benchmark::kMicrosecond);

// Baseline: the calls under one step, with no window: read the shown player again by its
// name, read the neighbour, read the item of each of its hundred slots.
void BM_UserRecordManagerStep(benchmark::State& state) {
    Fixture& f = fixture();
    gw::RecordFile& users = f.scratch.file(RecordKind::User);
    gw::RecordFile& items = f.scratch.file(RecordKind::Item);
    std::vector<std::uint8_t> key(f.middle.begin(), f.middle.end());
    users.call(gw::BGETEQUAL, "goto: ", key, std::uint16_t(key.size()));
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string shown = Fixture::key(users);
        key.assign(shown.begin(), shown.end());
        users.call(gw::BGETEQUAL, "reread: ", key, std::uint16_t(key.size()));
        users.call((i++ & 1) ? gw::BGETPREVIOUS : gw::BGETNEXT, "step: ");
        for (std::int32_t item : users.as<gw::User>().Item)
            if (item != 0) items.getEqual32(item, "item: ");
    }
    gw::bench::failIfReported(state, f.scratch.dialogs);
}
BENCHMARK(BM_UserRecordManagerStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return gw::bench::benchMain(argc, argv); }
