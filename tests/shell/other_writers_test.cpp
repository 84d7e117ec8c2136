// Editing while another program (the game) writes the same files: a save that fails keeps the
// operator's edits if asked to, and a save over a record changed elsewhere writes only what
// the operator edited. Shown through one catalogue window (frmRace) and one navigator
// (frmMessage); both engines carry it to every other window.
#include <sqlite3.h>

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"
#include "shell/main_window.h"
#include "shell/record_window.h"

namespace gw::test {
namespace {

constexpr auto kRace = RecordKind::Race;
constexpr auto kMessage = RecordKind::Message;

// The game: its own connection to the file, its own position.
class OtherProgram {
public:
    explicit OtherProgram(RecordKind kind) : file_(recordType(kind)) {
        EXPECT_EQ(file_.open("other: "), status::kSuccess);
    }
    ~OtherProgram() { file_.close("other: "); }
    template <class Rec>
    void change(std::int32_t number, const std::function<void(Rec&)>& edit) {
        ASSERT_EQ(file_.getEqual32(number, "other: "), status::kSuccess);
        edit(file_.as<Rec>());
        ASSERT_EQ(file_.call(BUPDATE, "other: "), status::kSuccess);
    }

private:
    RecordFile file_;
};

// A write lock held by another connection: reads go on, every write is refused as locked.
// With `reads` false, reads are refused too.
class WriteLock {
public:
    explicit WriteLock(RecordKind kind, bool reads = true) {
        const std::string name(recordType(kind).fileName());
        EXPECT_EQ(sqlite3_open(name.c_str(), &db_), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db_, reads ? "BEGIN IMMEDIATE" : "BEGIN EXCLUSIVE", nullptr, nullptr,
                               nullptr),
                  SQLITE_OK);
    }
    ~WriteLock() { release(); }
    void release() {
        if (!db_) return;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
        db_ = nullptr;
    }

private:
    sqlite3* db_ = nullptr;
};

const char* kKeepQuestion =
    "The record on screen could not be saved, and your edits would be lost.\nDiscard the "
    "edits and go on?|Save Failed";

class OtherWritersTest : public GuiTest {
protected:
    void openRaces() {
        create({kRace});
        for (std::int16_t n : {1, 2}) add(kRace, makeRace(n, n == 1 ? "Elf" : "Dwarf"));
        open(createRaceEditor);
    }
    void openMessages() {
        create({kMessage});
        for (std::int32_t n : {1, 2})
            put(kMessage, [n](RecordFile& f) {
                f.as<Message>().Number = n;
                setField(f.as<Message>().MessageLine1, std::string("line one\0", 9));
                setField(f.as<Message>().MessageLine2, std::string("line two\0", 9));
            });
        open(createMessageEditor);
    }
    Race race(std::int16_t n) {
        RecordFile& f = world.file(kRace);
        EXPECT_EQ(f.getEqual32(n, ""), status::kSuccess);
        return f.as<Race>();
    }
    Message message(std::int32_t n) {
        RecordFile& f = world.file(kMessage);
        EXPECT_EQ(f.getEqual32(n, ""), status::kSuccess);
        return f.as<Message>();
    }
    static std::string shown(const auto& field) {
        std::string s(field.begin(), field.end());
        return s.substr(0, s.find('\0'));
    }
    bool closeWindow() {
        QCloseEvent event;
        QCoreApplication::sendEvent(window.get(), &event);
        return event.isAccepted();
    }
};

TEST_F(OtherWritersTest, CatalogueSaveKeepsTheOtherProgramsChanges) {
    openRaces();
    OtherProgram game(kRace);
    {
        SCOPED_TRACE("no edits: nothing of the screen is written");
        game.change<Race>(1, [](Race& r) { r.MinCharm = 999; });
        select(1);
        EXPECT_EQ(stored(kRace, 1), rowOf(kRace, [] {
                      Race r = makeRace(1, "Elf");
                      r.MinCharm = 999;
                      return r;
                  }()));
        EXPECT_EQ(said(), "");
    }
    {
        SCOPED_TRACE("an edit to another field: both survive, nothing to report");
        type("txtName", "Hill Dwarf");
        game.change<Race>(2, [](Race& r) { r.MaxStrength = 77, r.AbilityB[9] = 5; });
        select(0);
        const Race r = race(2);
        EXPECT_EQ(shown(r.Name), "Hill Dwarf");
        EXPECT_EQ(r.MaxStrength, 77);
        EXPECT_EQ(r.AbilityB[9], 5);
        EXPECT_EQ(said(), "");
    }
    {
        SCOPED_TRACE("the same field: the operator's value wins and the field is named");
        type("txtMaxCharm", "50");
        type("txtAbilityB_3", "-4");
        game.change<Race>(1, [](Race& r) { r.MaxCharm = 12, r.AbilityB[3] = 8, r.Cp = 3; });
        select(1);
        const Race r = race(1);
        EXPECT_EQ(r.MaxCharm, 50);
        EXPECT_EQ(r.AbilityB[3], -4);
        EXPECT_EQ(r.Cp, 3);
        EXPECT_EQ(said(),
                  "Another program changed this record while it was on screen. Your edits were "
                  "saved over its changes to: MaxCharm, AbilityB(3).");
    }
    {
        SCOPED_TRACE("an active window shows the other change, unless it holds edits");
        dialogs.clear();
        auto& recordWindow = dynamic_cast<RecordWindow&>(*window);
        game.change<Race>(2, [](Race& r) { r.Cp = 41; });
        recordWindow.showChangesMadeElsewhere();
        EXPECT_EQ(text("txtCp"), "41");
        type("txtCp", "7");
        game.change<Race>(2, [](Race& r) { r.Cp = 42, r.HpBonus = 9; });
        recordWindow.showChangesMadeElsewhere();
        EXPECT_EQ(texts({"txtCp", "txtHpBonus"}), "7 " + std::to_string(makeRace(2, "").HpBonus));
        select(0);
        EXPECT_EQ(race(2).Cp, 7);
        EXPECT_EQ(race(2).HpBonus, 9);
        EXPECT_EQ(said(),
                  "Another program changed this record while it was on screen. Your "
                  "edits were saved over its changes to: Cp.");
    }
}

TEST_F(OtherWritersTest, CatalogueFailedSaveAsksBeforeEditsAreLost) {
    openRaces();
    const Row before = stored(kRace, 1);
    WriteLock lock(kRace);
    {
        SCOPED_TRACE("without edits the move goes on, as a read-only world must allow");
        select(1);
        EXPECT_EQ(current(), 1);
        EXPECT_EQ(said(), "SaveRecord, Error: 36 (data file is locked by another program)");
        EXPECT_TRUE(dialogs.questions.empty());
    }
    {
        SCOPED_TRACE("with edits, No: the window stays on the record with its edits");
        dialogs.clear();
        type("txtName", "Mountain Dwarf");
        dialogs.answerQuestions({false});
        select(0);
        EXPECT_EQ(said(), "SaveRecord, Error: 36 (data file is locked by another program)");
        EXPECT_EQ(joined(dialogs.questions), kKeepQuestion);
        EXPECT_EQ(current(), 1);
        EXPECT_EQ(text("txtName"), "Mountain Dwarf");
    }
    lock.release();
    {
        SCOPED_TRACE("the lock gone, the next move saves them");
        dialogs.clear();
        select(0);
        EXPECT_EQ(shown(race(2).Name), "Mountain Dwarf");
        EXPECT_EQ(said(), "");
        EXPECT_EQ(stored(kRace, 1), before);
    }
}

TEST_F(OtherWritersTest, NavigatorSaveKeepsTheOtherProgramsChanges) {
    openMessages();
    OtherProgram game(kMessage);
    auto line = [](const char* text) { return std::string(text) + '\0'; };
    {
        SCOPED_TRACE("no edits");
        game.change<Message>(1, [&](Message& m) { setField(m.MessageLine3, line("game")); });
        click("cmdNext");
        EXPECT_EQ(shown(message(1).MessageLine3), "game");
    }
    {
        SCOPED_TRACE("an edit to another field, then the same field");
        type("txtMessageLine1", "edited one");
        game.change<Message>(2, [&](Message& m) { setField(m.MessageLine2, line("game two")); });
        click("cmdPrevious");
        EXPECT_EQ(shown(message(2).MessageLine1), "edited one");
        EXPECT_EQ(shown(message(2).MessageLine2), "game two");
        EXPECT_EQ(said(), "");
        type("txtMessageLine3", "mine");
        game.change<Message>(
            1, [&](Message& m) { setField(m.MessageLine3, line("theirs")), m.Line1Extra[2] = 6; });
        click("cmdNext");
        EXPECT_EQ(shown(message(1).MessageLine3), "mine");
        EXPECT_EQ(message(1).Line1Extra[2], 6);
        EXPECT_EQ(said(),
                  "Another program changed this record while it was on screen. Your "
                  "edits were saved over its changes to: MessageLine3.");
    }
    {
        SCOPED_TRACE("an active window shows the other change");
        dialogs.clear();
        game.change<Message>(2, [&](Message& m) { setField(m.MessageLine1, line("fresh")); });
        dynamic_cast<RecordWindow&>(*window).showChangesMadeElsewhere();
        EXPECT_EQ(text("txtMessageLine1"), "fresh");
    }
    {
        SCOPED_TRACE("a file the game holds against reading: the look says nothing");
        WriteLock lock(kMessage, /*reads=*/false);
        dynamic_cast<RecordWindow&>(*window).showChangesMadeElsewhere();
        EXPECT_EQ(text("txtMessageLine1"), "fresh");
        EXPECT_EQ(said(), "");
    }
}

TEST_F(OtherWritersTest, NavigatorKeepsEditsThroughAFailedMoveAndClose) {
    openMessages();
    auto lock = std::make_unique<WriteLock>(kMessage);
    type("txtMessageLine2", "kept");
    dialogs.answerQuestions({false, false});
    click("cmdNext");
    EXPECT_EQ(texts({"txtNumber", "txtMessageLine2"}), "1 kept");
    EXPECT_FALSE(closeWindow());
    EXPECT_EQ(said(),
              "cmd_Save, Error: 36 (data file is locked by another program)\ncmd_Save, Error: 36 "
              "(data file is locked by another program)");
    EXPECT_EQ(dialogs.questions.size(), 2u);
    lock.reset();
    dialogs.clear();
    click("cmdNext");
    EXPECT_EQ(text("txtNumber"), "2");
    EXPECT_EQ(shown(message(1).MessageLine2), "kept");
    EXPECT_EQ(said(), "");
}

TEST_F(OtherWritersTest, ShutdownStopsWhileAnEditorKeepsUnsavedEdits) {
    openMessages();
    window.reset();
    world.file(kMessage).close("");
    for (RecordKind kind : allRecordKinds())
        if (kind != kMessage) create({kind}, false);
    MDIForm1 main(dialogs);
    main.startUp();
    dialogs.clear();
    main.findChild<QAction*>(QStringLiteral("mnuEditMessage"))->trigger();
    QMdiSubWindow* sub = main.mdiArea()->activeSubWindow();
    ASSERT_NE(sub, nullptr);
    auto* line = sub->widget()->findChild<QLineEdit*>(QStringLiteral("txtMessageLine1"));
    line->setText(QStringLiteral("unsaved"));
    {
        WriteLock lock(kMessage);
        dialogs.answerQuestions({false});
        EXPECT_FALSE(main.close());
        EXPECT_TRUE(main.world()->file(kMessage).isOpen());
        EXPECT_TRUE(sub->isVisible());
    }
    dialogs.clear();
    EXPECT_TRUE(main.close());
    EXPECT_EQ(said(), "");
    ASSERT_EQ(world.file(kMessage).open(""), status::kSuccess);
    EXPECT_EQ(shown(message(1).MessageLine1), "unsaved");
}

}  // namespace
}  // namespace gw::test
