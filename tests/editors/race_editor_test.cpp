// The catalogue behaviour, driven through the Race editor: list, save on leaving, search as
// you type, Insert, Delete, refusals and failed reads.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <memory>

#include "editor_world.h"
#include "editors/catalogue_windows.h"
#include "records/text_fields.h"

namespace gw::test {
namespace {

using Rows = std::vector<std::uint8_t>;

std::unique_ptr<QWidget> openRaceEditor(EditorWorld& w) {
    std::unique_ptr<QWidget> editor(createRaceEditor(w.world));
    editor->show();
    return editor;
}

std::string storedName(const Race& r) { return std::string(r.Name.data(), r.Name.size()); }

TEST(RaceEditor, ListsInKeyOrderAndWritesTheRecordBackOnLeaving) {
    EditorWorld w;
    const Race elf = makeRace(1, "Elf"), dwarf = makeRace(2, "Dwarf"), human = makeRace(3, "Human");
    w.create(RecordKind::Race, std::vector{human, elf, dwarf});
    auto editor = openRaceEditor(w);

    EXPECT_EQ(editor->objectName(), QStringLiteral("frmRace"));
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Race Editor"));
    EXPECT_EQ(listTexts(editor.get()),
              (QStringList{QStringLiteral("1   Elf"), QStringLiteral("2   Dwarf"),
                           QStringLiteral("3   Human")}));
    auto* list = editor->findChild<QListView*>(QStringLiteral("lstDatabase"));
    EXPECT_EQ(list->model()->index(2, 0).data(Qt::UserRole).toInt(), 3);
    EXPECT_EQ(currentRow(editor.get()), 0);
    EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtName")), QStringLiteral("Elf"));
    EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtMaxCharm")), QStringLiteral("116"));
    EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtAbilityA_1")),
              QStringLiteral("Heal"));  // code 18
    EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtAbilityB_2")), QStringLiteral("-12"));

    {
        SCOPED_TRACE("an unchanged record is written back, after a lookup moved the file");
        Race changed = elf;
        changed.MinCharm = 999;
        ASSERT_EQ(w.world.file(RecordKind::Race).getEqual32(1, ""), 0);
        w.world.file(RecordKind::Race).as<Race>() = changed;
        ASSERT_EQ(w.world.file(RecordKind::Race).call(BUPDATE, ""), 0);
        ASSERT_EQ(w.world.file(RecordKind::Race).call(BGETLAST, ""), 0);
        selectRow(editor.get(), 1);
        EXPECT_EQ(w.storedRow(RecordKind::Race, 1), rowOf(RecordKind::Race, &elf));
        EXPECT_EQ(w.storedRow(RecordKind::Race, 3), rowOf(RecordKind::Race, &human));
        EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtName")), QStringLiteral("Dwarf"));
    }
    {
        SCOPED_TRACE("edits are written back, the list keeps the old name");
        setBoxText(editor.get(), QStringLiteral("txtName"), QStringLiteral("Dwarf Lord"));
        setBoxText(editor.get(), QStringLiteral("txtMaxCharm"), QStringLiteral("17"));
        editor->findChild<QComboBox*>(QStringLiteral("txtAbilityA_3"))->setCurrentIndex(5);
        selectRow(editor.get(), 0);
        Race expected = dwarf;
        const std::string name = zeroEnded("Dwarf Lord", 29);
        std::copy(name.begin(), name.end(), expected.Name.begin());
        expected.MaxCharm = 17;
        expected.AbilityA[3] = 5;
        EXPECT_EQ(w.storedRow(RecordKind::Race, 2), rowOf(RecordKind::Race, &expected));
        EXPECT_EQ(listTexts(editor.get())[1], QStringLiteral("2   Dwarf"));
    }
    {
        SCOPED_TRACE("an arrow key in the list selects like a click");
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(currentRow(editor.get()), 1);
        EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtName")), QStringLiteral("Dwarf Lord"));
    }
    EXPECT_TRUE(w.dialogs.messages().isEmpty()) << w.dialogs.messages().join(u'|').toStdString();
}

TEST(RaceEditor, RefusesBadNumbersAndKeepsValuesTheListCannotShow) {
    EditorWorld w;
    Race odd = makeRace(1, "Odd");
    odd.AbilityA[0] = 200;  // no such ability
    odd.AbilityB[0] = -32768;
    odd.MaxHealth = 32767;
    w.create(RecordKind::Race, std::vector{odd, makeRace(2, "Other")});
    auto editor = openRaceEditor(w);

    EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtAbilityA_0")), QStringLiteral("200"));
    EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtAbilityB_0")), QStringLiteral("-32768"));
    {
        SCOPED_TRACE("values outside the lists and the typing limits survive a save");
        selectRow(editor.get(), 1);
        EXPECT_EQ(w.storedRow(RecordKind::Race, 1), rowOf(RecordKind::Race, &odd));
        selectRow(editor.get(), 0);
    }
    {
        SCOPED_TRACE("a box that cannot be stored is refused, the rest is saved");
        setBoxText(editor.get(), QStringLiteral("txtMinStrength"), QStringLiteral("abc"));
        setBoxText(editor.get(), QStringLiteral("txtMaxStrength"), QStringLiteral("40000"));
        setBoxText(editor.get(), QStringLiteral("txtHpBonus"), QStringLiteral("2.5"));
        setBoxText(editor.get(), QStringLiteral("txtCp"), QStringLiteral("3.5"));
        setBoxText(editor.get(), QStringLiteral("txtName"), QStringLiteral("Renamed"));
        w.dialogs.clear();
        selectRow(editor.get(), 1);
        ASSERT_EQ(w.dialogs.messages().size(), 1);
        const QString& m = w.dialogs.messages()[0];
        EXPECT_TRUE(m.contains(QStringLiteral("txtMinStrength"))) << m.toStdString();
        EXPECT_TRUE(m.contains(QStringLiteral("txtMaxStrength"))) << m.toStdString();
        EXPECT_TRUE(m.contains(QStringLiteral("-32768 to 32767"))) << m.toStdString();
        const Race saved = w.stored<Race>(RecordKind::Race, 1);
        EXPECT_EQ(saved.MinStrength, odd.MinStrength);
        EXPECT_EQ(saved.MaxStrength, odd.MaxStrength);
        EXPECT_EQ(saved.HpBonus, 2);
        EXPECT_EQ(saved.Cp, 4);
        EXPECT_EQ(storedName(saved), zeroEnded("Renamed", 29));
        EXPECT_EQ(saved.AbilityA[0], 200);
    }
    {
        SCOPED_TRACE("a typed-over ability that names no entry is refused");
        auto* combo = editor->findChild<QComboBox*>(QStringLiteral("txtAbilityA_4"));
        combo->setEditText(QStringLiteral("Flying"));
        const std::int16_t before = w.stored<Race>(RecordKind::Race, 2).AbilityA[4];
        w.dialogs.clear();
        selectRow(editor.get(), 0);
        ASSERT_EQ(w.dialogs.messages().size(), 1);
        EXPECT_TRUE(w.dialogs.messages()[0].contains(QStringLiteral("txtAbilityA_4")));
        EXPECT_EQ(w.stored<Race>(RecordKind::Race, 2).AbilityA[4], before);
    }
}

TEST(RaceEditor, SearchSelectsAsTheUserTypes) {
    EditorWorld w;
    w.create(RecordKind::Race, std::vector{makeRace(1, "Elf"), makeRace(2, "halfling"),
                                           makeRace(3, "Human"), makeRace(4, "  Orc")});
    auto editor = openRaceEditor(w);
    auto* search = editor->findChild<QLineEdit*>(QStringLiteral("txtSearch"));
    ASSERT_NE(search, nullptr);
    setBoxText(editor.get(), QStringLiteral("txtMinCharm"), QStringLiteral("55"));

    {
        SCOPED_TRACE("h selects the first name starting with h or H, the tail selected");
        QTest::keyClick(search, Qt::Key_H);
        EXPECT_EQ(currentRow(editor.get()), 1);
        EXPECT_EQ(search->text(), QStringLiteral("halfling"));
        EXPECT_EQ(search->selectionStart(), 1);
        EXPECT_EQ(search->selectedText(), QStringLiteral("alfling"));
        EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtName")), QStringLiteral("halfling"));
        EXPECT_EQ(w.stored<Race>(RecordKind::Race, 1).MinCharm, 55);  // the Elf was saved
    }
    {
        SCOPED_TRACE("the next letter replaces the completion");
        QTest::keyClick(search, Qt::Key_U);
        EXPECT_EQ(currentRow(editor.get()), 2);
        EXPECT_EQ(search->text(), QStringLiteral("Human"));
        EXPECT_EQ(search->selectedText(), QStringLiteral("man"));
    }
    {
        SCOPED_TRACE("a prefix nobody has leaves the selection");
        QTest::keyClick(search, Qt::Key_Z);
        EXPECT_EQ(currentRow(editor.get()), 2);
        EXPECT_EQ(search->text(), QStringLiteral("Huz"));
    }
    {
        SCOPED_TRACE("arrows left, right and up do nothing; backspace shortens the prefix");
        QTest::keyClick(search, Qt::Key_Left);
        QTest::keyClick(search, Qt::Key_Up);
        EXPECT_EQ(search->text(), QStringLiteral("Huz"));
        search->end(false);
        QTest::keyClick(search, Qt::Key_Backspace);
        EXPECT_EQ(currentRow(editor.get()), 2);
        EXPECT_EQ(search->text(), QStringLiteral("Human"));
        EXPECT_EQ(search->selectedText(), QStringLiteral("man"));
    }
    {
        SCOPED_TRACE("a name with leading blanks matches by its trimmed part");
        search->clear();
        QTest::keyClick(search, Qt::Key_O);
        EXPECT_EQ(currentRow(editor.get()), 3);
        EXPECT_EQ(search->text(), QStringLiteral("Orc"));
    }
}

TEST(RaceEditor, InsertStoresACopyOfTheRecordOnScreen) {
    EditorWorld w;
    const Race elf = makeRace(1, "Elf"), orc = makeRace(5, "Orc");
    w.create(RecordKind::Race, std::vector{elf, orc});
    auto editor = openRaceEditor(w);
    selectRow(editor.get(), 1);

    {
        SCOPED_TRACE("a copy under the new number and the fixed name");
        w.dialogs.answerPrompts({"3"});
        click(editor.get(), QStringLiteral("cmdInsert"));
        ASSERT_EQ(w.dialogs.prompts().size(), 1u);
        EXPECT_EQ(w.dialogs.prompts()[0].prompt, QStringLiteral("New Race Number:"));
        EXPECT_EQ(w.dialogs.prompts()[0].title, QStringLiteral("Insert"));
        EXPECT_EQ(w.dialogs.prompts()[0].defaultText, QStringLiteral("0"));
        Race expected = orc;
        expected.Number = 3;
        const std::string name = zeroEnded("New Race", 29);
        std::copy(name.begin(), name.end(), expected.Name.begin());
        EXPECT_EQ(w.storedRow(RecordKind::Race, 3), rowOf(RecordKind::Race, &expected));
        EXPECT_EQ(listTexts(editor.get()),
                  (QStringList{QStringLiteral("1   Elf"), QStringLiteral("3   New Race"),
                               QStringLiteral("5   Orc")}));
        EXPECT_EQ(currentRow(editor.get()), 0);
        EXPECT_TRUE(w.dialogs.messages().isEmpty());
    }
    const Rows before = w.storedRow(RecordKind::Race, 1);
    {
        SCOPED_TRACE("a number in use is reported and changes nothing");
        w.dialogs.answerPrompts({"1"});
        click(editor.get(), QStringLiteral("cmdInsert"));
        ASSERT_EQ(w.dialogs.messages().size(), 1);
        EXPECT_TRUE(
            w.dialogs.messages()[0].startsWith(QStringLiteral("cmdInsert, BINSERT, Error: ")))
            << w.dialogs.messages()[0].toStdString();
        EXPECT_EQ(w.recordCount(RecordKind::Race), 3u);
        EXPECT_EQ(w.storedRow(RecordKind::Race, 1), before);
    }
    for (const char* answer : {"x1", "40000", "1.5e3"}) {
        SCOPED_TRACE(std::string("a bad answer inserts nothing: ") + answer);
        w.dialogs.clear();
        w.dialogs.answerPrompts({answer});
        click(editor.get(), QStringLiteral("cmdInsert"));
        ASSERT_EQ(w.dialogs.messages().size(), 1);
        EXPECT_TRUE(w.dialogs.messages()[0].contains(QStringLiteral("nothing was inserted")));
        EXPECT_EQ(w.recordCount(RecordKind::Race), 3u);
    }
    {
        SCOPED_TRACE("cancel inserts nothing");
        w.dialogs.clear();
        w.dialogs.answerPrompts({""});
        click(editor.get(), QStringLiteral("cmdInsert"));
        EXPECT_TRUE(w.dialogs.messages().isEmpty());
        EXPECT_EQ(w.recordCount(RecordKind::Race), 3u);
    }
}

TEST(RaceEditor, DeleteAsksFirstAndBuildsTheListAgain) {
    EditorWorld w;
    w.create(RecordKind::Race,
             std::vector{makeRace(1, "Elf"), makeRace(2, "Dwarf"), makeRace(3, "Human")});
    auto editor = openRaceEditor(w);
    selectRow(editor.get(), 2);
    {
        SCOPED_TRACE("No changes nothing");
        w.dialogs.answerQuestions({false});
        click(editor.get(), QStringLiteral("cmdDelete"));
        ASSERT_EQ(w.dialogs.questions().size(), 1u);
        EXPECT_EQ(w.dialogs.questions()[0].text,
                  QStringLiteral("Delete this record from database?"));
        EXPECT_EQ(w.dialogs.questions()[0].title, QStringLiteral("Delete Record?"));
        EXPECT_EQ(w.recordCount(RecordKind::Race), 3u);
        EXPECT_EQ(currentRow(editor.get()), 2);
    }
    {
        SCOPED_TRACE("Yes deletes the record on screen and starts again at the first entry");
        selectRow(editor.get(), 1);
        w.dialogs.answerQuestions({true});
        click(editor.get(), QStringLiteral("cmdDelete"));
        EXPECT_TRUE(w.storedRow(RecordKind::Race, 2).empty());
        EXPECT_EQ(listTexts(editor.get()),
                  (QStringList{QStringLiteral("1   Elf"), QStringLiteral("3   Human")}));
        EXPECT_EQ(currentRow(editor.get()), 0);
        EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtName")), QStringLiteral("Elf"));
    }
    {
        SCOPED_TRACE("deleting the last records leaves an empty list that saves nothing");
        w.dialogs.answerQuestions({true, true});
        click(editor.get(), QStringLiteral("cmdDelete"));
        click(editor.get(), QStringLiteral("cmdDelete"));
        EXPECT_EQ(w.recordCount(RecordKind::Race), 0u);
        EXPECT_TRUE(listTexts(editor.get()).isEmpty());
        EXPECT_EQ(w.dialogs.messages(),
                  QStringList{QStringLiteral("LoadRacees, BGETFIRST, Error: 9")});
    }
}

TEST(RaceEditor, EmptyFileShowsTheLoadMessageAndWritesNothing) {
    EditorWorld w;
    w.createFile(RecordKind::Race);
    auto editor = openRaceEditor(w);
    EXPECT_EQ(w.dialogs.messages(), QStringList{QStringLiteral("LoadRacees, BGETFIRST, Error: 9")});
    EXPECT_TRUE(listTexts(editor.get()).isEmpty());
    EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtAbilityA_0")), QStringLiteral("None"));
    w.dialogs.clear();
    click(editor.get(), QStringLiteral("cmdInsert"));
    click(editor.get(), QStringLiteral("cmdDelete"));
    ASSERT_EQ(w.dialogs.messages().size(), 2);
    EXPECT_TRUE(w.dialogs.messages()[0].contains(QStringLiteral("Nothing was inserted")));
    EXPECT_TRUE(w.dialogs.messages()[1].contains(QStringLiteral("no record to delete")));
    EXPECT_TRUE(w.dialogs.prompts().empty());
    EXPECT_EQ(w.recordCount(RecordKind::Race), 0u);
}

TEST(RaceEditor, AFailedRereadWritesNothing) {
    EditorWorld w;
    const Race elf = makeRace(1, "Elf"), human = makeRace(3, "Human");
    w.create(RecordKind::Race, std::vector{elf, makeRace(2, "Dwarf"), human});
    auto editor = openRaceEditor(w);
    selectRow(editor.get(), 1);
    setBoxText(editor.get(), QStringLiteral("txtName"), QStringLiteral("Ghost"));
    // Another hand removes the record on screen; the file stays positioned near it.
    ASSERT_EQ(w.world.file(RecordKind::Race).getEqual32(2, ""), 0);
    ASSERT_EQ(w.world.file(RecordKind::Race).call(BDELETE, ""), 0);
    ASSERT_EQ(w.world.file(RecordKind::Race).getEqual32(3, ""), 0);

    selectRow(editor.get(), 2);
    EXPECT_EQ(w.dialogs.messages(), QStringList{QStringLiteral("Error on BGETEQUAL: 4")});
    EXPECT_EQ(w.storedRow(RecordKind::Race, 1), rowOf(RecordKind::Race, &elf));
    EXPECT_EQ(w.storedRow(RecordKind::Race, 3), rowOf(RecordKind::Race, &human));
    EXPECT_EQ(boxText(editor.get(), QStringLiteral("txtName")), QStringLiteral("Human"));
    {
        SCOPED_TRACE("Insert and Delete stop when the record on screen cannot be read");
        selectRow(editor.get(), 1);  // the deleted one: its read fails, the controls stay
        w.dialogs.clear();
        click(editor.get(), QStringLiteral("cmdInsert"));
        click(editor.get(), QStringLiteral("cmdDelete"));
        EXPECT_EQ(w.dialogs.messages(), (QStringList{QStringLiteral("Error on BGETEQUAL: 4"),
                                                     QStringLiteral("Error on BGETEQUAL: 4")}));
        EXPECT_EQ(w.recordCount(RecordKind::Race), 2u);
    }
}

}  // namespace
}  // namespace gw::test
