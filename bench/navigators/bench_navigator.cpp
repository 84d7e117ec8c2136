// One navigator step of frmMessage and of frmRoom (without edits: read the shown record again,
// read the next or previous one, show it) on the large demo world's 8,000 messages and 30,000
// rooms; a frmMessage step with an edit (the save in one write transaction: read again,
// compare, update); and one fill of the mini map (ten room-name lookups), each beside the same
// record-manager calls made without the window.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/support/bench_world.h"
#include "navigators/mini_map.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"
#include "records/room.h"
#include "store/record_file.h"

namespace {

// The large demo world in a scratch directory; the Room editor names the items and monsters
// its rooms hold.
struct Fixture : gw::bench::ScratchWorld {
    Fixture()
        : ScratchWorld("gravewind-bench-navigator", gw::demo::DemoSize::Large,
                       {gw::RecordKind::Message, gw::RecordKind::Room, gw::RecordKind::Item,
                        gw::RecordKind::Monster}) {}
    gw::RecordFile& messages() { return world->file(gw::RecordKind::Message); }
    gw::RecordFile& rooms() { return world->file(gw::RecordKind::Room); }
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

// Goto the record the editor's Goto boxes name, then Next and Previous by turns.
void stepToAndFro(benchmark::State& state, Fixture& f, QWidget& editor) {
    editor.findChild<QPushButton*>(QStringLiteral("cmdGoto"))->click();
    QPushButton* steps[] = {editor.findChild<QPushButton*>(QStringLiteral("cmdNext")),
                            editor.findChild<QPushButton*>(QStringLiteral("cmdPrevious"))};
    std::size_t i = 0;
    for (auto _ : state) steps[i++ & 1]->click();
    gw::bench::failIfReported(state, f.dialogs);
}

void BM_MessageEditorStep(benchmark::State& state) {
    Fixture& f = fixture();
    std::unique_ptr<QWidget> editor(gw::createMessageEditor(*f.world));
    editor->show();
    editor->findChild<QLineEdit*>(QStringLiteral("txtGoto"))->setText(QString::number(f.middle()));
    stepToAndFro(state, f, *editor);
    state.counters["messages"] = static_cast<double>(f.count);
}
BENCHMARK(BM_MessageEditorStep)->Unit(benchmark::kMicrosecond);

// A step that saves an edit first: each time another text in the first line.
void BM_MessageEditorStepWithEdit(benchmark::State& state) {
    Fixture& f = fixture();
    std::unique_ptr<QWidget> editor(gw::createMessageEditor(*f.world));
    editor->show();
    editor->findChild<QLineEdit*>(QStringLiteral("txtGoto"))->setText(QString::number(f.middle()));
    editor->findChild<QPushButton*>(QStringLiteral("cmdGoto"))->click();
    auto* line = editor->findChild<QLineEdit*>(QStringLiteral("txtMessageLine1"));
    QPushButton* steps[] = {editor->findChild<QPushButton*>(QStringLiteral("cmdNext")),
                            editor->findChild<QPushButton*>(QStringLiteral("cmdPrevious"))};
    std::size_t i = 0;
    for (auto _ : state) {
        line->setText(QStringLiteral("edit %1").arg(i & 7));
        steps[i++ & 1]->click();
    }
    gw::bench::failIfReported(state, f.dialogs);
}
BENCHMARK(BM_MessageEditorStepWithEdit)->Unit(benchmark::kMicrosecond);

// Baselines: the calls under one step, with no window. Read the shown message again by its
// number; with an edit update it (as saves did before the write transaction, or inside one);
// read the neighbour.
enum class SaveCalls { None, Plain, InTransaction };
void messageStepCalls(benchmark::State& state, SaveCalls save) {
    Fixture& f = fixture();
    gw::RecordFile& file = f.messages();
    file.getEqual32(f.middle(), "goto: ");
    std::size_t i = 0;
    for (auto _ : state) {
        auto reread = [&] {
            const gw::Status s = file.getEqual32(file.as<gw::Message>().Number, "reread: ");
            return s != 0 || save == SaveCalls::None ? s : file.call(gw::BUPDATE, "update: ");
        };
        if (save == SaveCalls::InTransaction)
            file.inWriteTransaction("save: ", reread);
        else
            reread();
        file.call((i++ & 1) ? gw::BGETPREVIOUS : gw::BGETNEXT, "step: ");
    }
    gw::bench::failIfReported(state, f.dialogs);
}
void BM_RecordManagerReadStep(benchmark::State& state) { messageStepCalls(state, SaveCalls::None); }
BENCHMARK(BM_RecordManagerReadStep)->Unit(benchmark::kMicrosecond);
void BM_RecordManagerStep(benchmark::State& state) { messageStepCalls(state, SaveCalls::Plain); }
BENCHMARK(BM_RecordManagerStep)->Unit(benchmark::kMicrosecond);
void BM_RecordManagerTransactionStep(benchmark::State& state) {
    messageStepCalls(state, SaveCalls::InTransaction);
}
BENCHMARK(BM_RecordManagerTransactionStep)->Unit(benchmark::kMicrosecond);

// The room in the middle of the file: (map, room).
std::pair<std::int32_t, std::int32_t> middleRoom(Fixture& f) {
    std::int64_t count = 0;
    gw::RecordFile& file = f.rooms();
    for (auto s = file.call(gw::BGETFIRST, "", {9}); s == 0; s = file.call(gw::BGETNEXT, "", {9}))
        ++count;
    file.call(gw::BGETFIRST, "");
    for (std::int64_t i = 0; i < count / 2; ++i) file.call(gw::BGETNEXT, "");
    return {file.as<gw::Room>().MapNumber, file.as<gw::Room>().RoomNumber};
}

// A room's key as BGETEQUAL takes it: map then room, eight bytes, key length 4.
std::array<std::uint8_t, 8> roomKey(std::int32_t map, std::int32_t room) {
    std::array<std::uint8_t, 8> key{};
    std::memcpy(key.data(), &map, 4), std::memcpy(key.data() + 4, &room, 4);
    return key;
}

void BM_RoomEditorStep(benchmark::State& state) {
    Fixture& f = fixture();
    const auto [map, room] = middleRoom(f);
    std::unique_ptr<QWidget> editor(gw::createRoomEditor(*f.world));
    editor->show();
    editor->findChild<QLineEdit*>(QStringLiteral("txtGotoMap"))->setText(QString::number(map));
    editor->findChild<QLineEdit*>(QStringLiteral("txtGotoRoom"))->setText(QString::number(room));
    stepToAndFro(state, f, *editor);
}
BENCHMARK(BM_RoomEditorStep)->Unit(benchmark::kMicrosecond);

// Baseline: read the shown room again by its pair, update it, read the neighbour.
void BM_RoomRecordManagerStep(benchmark::State& state) {
    Fixture& f = fixture();
    middleRoom(f);
    gw::RecordFile& file = f.rooms();
    std::size_t i = 0;
    for (auto _ : state) {
        auto key = roomKey(file.as<gw::Room>().MapNumber, file.as<gw::Room>().RoomNumber);
        file.call(gw::BGETEQUAL, "reread: ", key, 4);
        file.call(gw::BUPDATE, "update: ");
        file.call((i++ & 1) ? gw::BGETPREVIOUS : gw::BGETNEXT, "step: ");
    }
    gw::bench::failIfReported(state, f.dialogs);
}
BENCHMARK(BM_RoomRecordManagerStep)->Unit(benchmark::kMicrosecond);

// A room of the middle map with all ten exits, each to another room of that map.
gw::MiniMapSource tenExits(Fixture& f) {
    const auto [map, room] = middleRoom(f);
    gw::MiniMapSource source;
    source.map = QString::number(map), source.room = QString::number(room);
    source.name = QStringLiteral("Hub");
    for (std::size_t i = 0; i < gw::values::kDirectionCount; ++i) {
        source.exits[i] = QString::number(100 + 10 * static_cast<int>(i));
        source.exitTypes[i] = QStringLiteral("Normal");
    }
    return source;
}

void BM_MiniMapFill(benchmark::State& state) {
    Fixture& f = fixture();
    const gw::MiniMapSource source = tenExits(f);
    gw::MiniMap map;
    map.show();
    for (auto _ : state) map.fill(*f.world, source);
    gw::bench::failIfReported(state, f.dialogs);
}
BENCHMARK(BM_MiniMapFill)->Unit(benchmark::kMicrosecond);

// Baseline: the ten room reads of a fill.
void BM_MiniMapRecordManagerReads(benchmark::State& state) {
    Fixture& f = fixture();
    const gw::MiniMapSource source = tenExits(f);
    gw::RecordFile& file = f.rooms();
    for (auto _ : state)
        for (const QString& exit : source.exits) {
            auto key = roomKey(source.map.toInt(), exit.toInt());
            file.call(gw::BGETEQUAL, "lookup: ", key, 4);
        }
    gw::bench::failIfReported(state, f.dialogs);
}
BENCHMARK(BM_MiniMapRecordManagerReads)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return gw::bench::benchMain(argc, argv); }
