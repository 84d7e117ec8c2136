// The history of the editor's writes: undo and redo of saves, inserts and deletes, shown at
// once in every window, over the changes of another program (the game) where it made any.
#include "shell/history.h"

#include <QAbstractItemView>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QUndoStack>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"
#include "shell/main_window.h"

namespace gw::test {
namespace {

constexpr auto kRace = RecordKind::Race;
constexpr auto kMessage = RecordKind::Message;

class HistoryTest : public GuiTest {
protected:
    QUndoStack& stack() { return world.history().stack(); }
    void openRaces() {
        create({kRace});
        for (std::int16_t n : {1, 2}) add(kRace, makeRace(n, n == 1 ? "Elf" : "Dwarf"));
        open(createRaceEditor);
    }
    // What the second window shows: its list and its name box.
    std::string otherShows() {
        std::swap(window, other);
        const std::string shown = list() + "|" + text("txtName");
        std::swap(window, other);
        return shown;
    }
    // The game's own write to the file.
    template <class Rec>
    void gameChanges(RecordKind kind, std::int32_t number, const std::function<void(Rec&)>& edit) {
        RecordFile game(recordType(kind));
        ASSERT_EQ(game.open("game: "), status::kSuccess);
        ASSERT_EQ(game.getEqual32(number, "game: "), status::kSuccess);
        edit(game.as<Rec>());
        EXPECT_EQ(game.call(BUPDATE, "game: "), status::kSuccess);
        game.close("game: ");
    }
    Race race(std::int16_t n) {
        EXPECT_EQ(world.file(kRace).getEqual32(n, ""), status::kSuccess);
        return world.file(kRace).as<Race>();
    }
    std::unique_ptr<QWidget> other;
};

TEST_F(HistoryTest, SaveInsertAndDeleteAreUndoneAndRedoneInEveryWindow) {
    openRaces();
    other.reset(createRaceEditor(world, nullptr));
    other->show();
    const struct {
        const char* what;
        std::function<void()> write;
        const char* entry;
    } steps[] = {
        {"save",
         [&] {
             type("txtName", "High Elf");
             type("txtMaxCharm", "50");
             select(1);
         },
         "save of Race 1 \"High Elf\" (Name, MaxCharm)"},
        {"insert",
         [&] {
             dialogs.answerPrompts({"3"});
             click("cmdInsert");
         },
         "insert of Race 3"},
        {"delete",
         [&] {
             select(2);
             dialogs.answerQuestions({true});
             click("cmdDelete");
         },
         "delete of Race 3"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const std::vector<Row> before = all(kRace);
        const std::string shownBefore = otherShows();
        step.write();
        const std::vector<Row> after = all(kRace);
        const std::string shownAfter = otherShows();
        ASSERT_NE(before, after);
        ASSERT_NE(shownBefore, shownAfter);
        EXPECT_EQ(stack().undoText().toStdString(), step.entry);
        stack().undo();
        EXPECT_EQ(all(kRace), before);
        EXPECT_EQ(otherShows(), shownBefore);
        stack().redo();
        EXPECT_EQ(all(kRace), after);
        EXPECT_EQ(otherShows(), shownAfter);
    }
    EXPECT_EQ(stack().count(), 3);
    EXPECT_EQ(said(), "");
}

TEST_F(HistoryTest, WhatAnotherProgramChangedSinceStaysAndIsNamed) {
    openRaces();
    const Race elf = makeRace(1, "Elf");
    type("txtName", "High Elf");
    type("txtMaxCharm", "50");
    select(1);
    {
        SCOPED_TRACE("undo: only the fields the save changed go back, where the game left them");
        gameChanges<Race>(kRace, 1, [](Race& r) { r.MaxCharm = 12, r.Cp = 3; });
        stack().undo();
        const Race r = race(1);
        EXPECT_EQ(r.Name, elf.Name);
        EXPECT_EQ(r.MaxCharm, 12);
        EXPECT_EQ(r.Cp, 3);
        EXPECT_EQ(said(),
                  "Another program has changed Race 1 since; its values were kept in: MaxCharm.");
    }
    {
        SCOPED_TRACE("redo after undo after another change");
        dialogs.clear();
        gameChanges<Race>(kRace, 1, [](Race& r) { r.Cp = 4; });
        stack().redo();
        const Race r = race(1);
        EXPECT_EQ(r.Name, renamed(elf, "High Elf").Name);
        EXPECT_EQ(r.MaxCharm, 12);
        EXPECT_EQ(r.Cp, 4);
        EXPECT_EQ(said(),
                  "Another program has changed Race 1 since; its values were kept in: MaxCharm.");
    }
    {
        SCOPED_TRACE("an insert the game changed since: asked; No keeps it and the position");
        dialogs.clear();
        dialogs.answerPrompts({"3"});
        click("cmdInsert");
        gameChanges<Race>(kRace, 3, [](Race& r) { r.Cp = 9; });
        const Row changed = stored(kRace, 3);
        dialogs.answerQuestions({false, true});
        stack().undo();
        EXPECT_EQ(stack().index(), 2);
        EXPECT_EQ(stored(kRace, 3), changed);
        stack().undo();
        EXPECT_EQ(stack().index(), 1);
        EXPECT_EQ(stored(kRace, 3), Row());
        EXPECT_EQ(joined(dialogs.questions),
                  "Another program has changed Race 3 since. Delete it all the same?|Undo\n"
                  "Another program has changed Race 3 since. Delete it all the same?|Undo");
        EXPECT_EQ(said(), "");
    }
}

TEST_F(HistoryTest, AWindowWithEditsOnTheRecordIsAskedFirstAndTheViewGoesToAnEntry) {
    create({kMessage});
    for (std::int32_t n : {1, 2})
        put(kMessage, [n](RecordFile& f) {
            f.as<Message>().Number = n;
            setField(f.as<Message>().MessageLine1, std::string("line one\0", 9));
        });
    open(createMessageEditor);
    const Row original = stored(kMessage, 1);
    type("txtMessageLine1", "edited");
    click("cmdNext");
    click("cmdPrevious");
    const Row edited = stored(kMessage, 1);
    type("txtMessageLine2", "unsaved");
    const char* question =
        "Message 1 has edits on screen that are not saved, and undo or redo would write over "
        "them.\nDiscard the edits and go on?|Unsaved Edits";
    {
        SCOPED_TRACE("No: nothing is written, the edits stay");
        dialogs.answerQuestions({false});
        stack().undo();
        EXPECT_EQ(stack().index(), 1);
        EXPECT_EQ(stored(kMessage, 1), edited);
        EXPECT_EQ(texts({"txtMessageLine1", "txtMessageLine2"}), "edited unsaved");
    }
    {
        SCOPED_TRACE("Yes: the edits go and the window shows the record undone");
        dialogs.answerQuestions({true});
        stack().undo();
        EXPECT_EQ(stack().index(), 0);
        EXPECT_EQ(stored(kMessage, 1), original);
        EXPECT_EQ(texts({"txtMessageLine1", "txtMessageLine2"}), "line one ");
    }
    EXPECT_EQ(joined(dialogs.questions), std::string(question) + "\n" + question);
    {
        SCOPED_TRACE("a click on an entry of the History window goes to it");
        std::unique_ptr<QWidget> view(createHistoryWindow(world));
        auto* list = static_cast<QAbstractItemView*>(view.get());
        list->setCurrentIndex(list->model()->index(1, 0));
        EXPECT_EQ(stack().index(), 1);
        EXPECT_EQ(stored(kMessage, 1), edited);
        EXPECT_EQ(text("txtMessageLine1"), "edited");
    }
    EXPECT_EQ(said(), "");
}

TEST_F(HistoryTest, TheHistoryIsBounded) {
    world.history().setLimit(3);
    for (std::int16_t n = 1; n <= 5; ++n)
        world.history().wrote({kRace, {}, rowOf(kRace, makeRace(n, "Elf"))});
    ASSERT_EQ(stack().count(), 3);
    EXPECT_EQ(stack().text(0).toStdString(), "insert of Race 3");
    EXPECT_EQ(stack().index(), 3);
}

TEST_F(HistoryTest, CtrlZIsTheTextBoxsOwnWhileItHasTheFocus) {
    openRaces();
    window.reset();
    MDIForm1 main(dialogs);
    main.startUp();
    main.findChild<QAction*>(QStringLiteral("mnuEditRace"))->trigger();
    QApplication::processEvents();
    // The window belongs to the main window: the test only borrows it.
    window.reset(main.mdiArea()->activeSubWindow()->widget());
    struct Borrowed {
        std::unique_ptr<QWidget>& w;
        ~Borrowed() { (void)w.release(); }
    } borrowed{window};
    main.activateWindow();
    QApplication::processEvents();
    type("txtName", "High Elf");
    select(1);
    auto& history = main.world()->history().stack();
    ASSERT_EQ(history.count(), 1);
    auto* box = child<QLineEdit>("txtCp");
    box->setFocus();
    const QString shown = box->text();
    QTest::keyClicks(box, QStringLiteral("7"));
    ASSERT_NE(box->text(), shown);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(history.index(), 1);
    EXPECT_EQ(box->text(), shown);
    auto* list = child<QWidget>("lstDatabase");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(history.index(), 0);
}

}  // namespace
}  // namespace gw::test
