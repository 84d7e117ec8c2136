// The catalogue behaviour, driven through the Race editor: list, save on leaving, search as
// you type, Insert, Delete, refusals and failed reads.
#include <QComboBox>
#include <QTest>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "records/text_fields.h"

namespace gw::test {
namespace {

constexpr auto kRace = RecordKind::Race;

void rename(Race& r, const char* name) {
    const std::string stored = zeroEnded(name, r.Name.size());
    std::copy(stored.begin(), stored.end(), r.Name.begin());
}

class RaceEditorTest : public GuiTest {
protected:
    void openWith(const std::vector<Race>& races) {
        create({kRace});
        for (const Race& r : races) add(kRace, r);
        open(createRaceEditor);
    }
};

TEST_F(RaceEditorTest, ListsInKeyOrderAndWritesTheRecordBackOnLeaving) {
    const Race elf = makeRace(1, "Elf"), dwarf = makeRace(2, "Dwarf"), human = makeRace(3, "Human");
    openWith({human, elf, dwarf});
    EXPECT_EQ(list(), "1   Elf\n2   Dwarf\n3   Human");
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(text("txtName"), "Elf");
    EXPECT_EQ(text("txtMaxCharm"), "116");
    EXPECT_EQ(text("txtAbilityA_1"), "Heal");  // code 18
    EXPECT_EQ(text("txtAbilityB_2"), "-12");
    {
        SCOPED_TRACE("the record on screen is written back, wherever a lookup left the file");
        Race changed = elf;
        changed.MinCharm = 999;
        ASSERT_EQ(world.file(kRace).getEqual32(1, ""), 0);
        world.file(kRace).as<Race>() = changed;
        ASSERT_EQ(world.file(kRace).call(BUPDATE, ""), 0);
        ASSERT_EQ(world.file(kRace).call(BGETLAST, ""), 0);
        select(1);
        EXPECT_EQ(stored(kRace, 1), rowOf(kRace, elf));
        EXPECT_EQ(stored(kRace, 3), rowOf(kRace, human));
        EXPECT_EQ(text("txtName"), "Dwarf");
    }
    {
        SCOPED_TRACE("edits are written back, the list keeps the old name");
        type("txtName", "Dwarf Lord");
        type("txtMaxCharm", "17");
        child<QComboBox>("txtAbilityA_3")->setCurrentIndex(5);
        select(0);
        Race expected = dwarf;
        rename(expected, "Dwarf Lord");
        expected.MaxCharm = 17;
        expected.AbilityA[3] = 5;
        EXPECT_EQ(stored(kRace, 2), rowOf(kRace, expected));
        EXPECT_EQ(list(), "1   Elf\n2   Dwarf\n3   Human");
    }
}

TEST_F(RaceEditorTest, RefusesBadNumbersAndKeepsValuesTheListCannotShow) {
    Race odd = makeRace(1, "Odd");
    odd.AbilityA[0] = 200;  // no such ability
    odd.AbilityB[0] = -32768;
    openWith({odd, makeRace(2, "Other")});
    EXPECT_EQ(text("txtAbilityA_0"), "200");
    select(1);
    EXPECT_EQ(stored(kRace, 1), rowOf(kRace, odd));
    select(0);

    SCOPED_TRACE("a box that cannot be stored is refused and keeps its field, the rest is saved");
    type("txtMinStrength", "abc");
    type("txtMaxStrength", "40000");
    type("txtName", "Renamed");
    type("txtAbilityA_4", "Flying");
    select(1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    for (const char* part :
         {"txtMinStrength", "txtMaxStrength", "-32768 to 32767", "txtAbilityA_4"})
        EXPECT_NE(said().find(part), std::string::npos) << part << " in " << said();
    const Race saved = storedAs<Race>(kRace, 1);
    EXPECT_EQ(saved.MinStrength, odd.MinStrength);
    EXPECT_EQ(saved.MaxStrength, odd.MaxStrength);
    EXPECT_EQ(saved.AbilityA[4], odd.AbilityA[4]);
    EXPECT_EQ(std::string(saved.Name.data(), 8), std::string("Renamed\0", 8));
    EXPECT_EQ(saved.AbilityA[0], 200);
}

TEST_F(RaceEditorTest, SearchSelectsAsTheUserTypes) {
    openWith({makeRace(1, "Elf"), makeRace(2, "halfling"), makeRace(3, "Human")});
    auto* search = child<QLineEdit>("txtSearch");
    type("txtMinCharm", "55");

    QTest::keyClick(search, Qt::Key_H);
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(search->text(), QStringLiteral("halfling"));
    EXPECT_EQ(search->selectionStart(), 1);
    EXPECT_EQ(search->selectedText(), QStringLiteral("alfling"));
    EXPECT_EQ(storedAs<Race>(kRace, 1).MinCharm, 55);  // the Elf was saved on leaving

    SCOPED_TRACE("a prefix nobody has leaves the selection");
    QTest::keyClick(search, Qt::Key_U);
    QTest::keyClick(search, Qt::Key_Z);
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(search->text(), QStringLiteral("Huz"));
}

TEST_F(RaceEditorTest, InsertStoresACopyOfTheRecordOnScreen) {
    const Race orc = makeRace(5, "Orc");
    openWith({makeRace(1, "Elf"), orc});
    select(1);
    dialogs.answerPrompts({"3"});
    click("cmdInsert");
    EXPECT_EQ(joined(dialogs.prompts), "New Race Number:|Insert|0");
    Race expected = orc;
    expected.Number = 3;
    rename(expected, "New Race");
    EXPECT_EQ(stored(kRace, 3), rowOf(kRace, expected));
    EXPECT_EQ(list(), "1   Elf\n3   New Race\n5   Orc");
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(said(), "");

    const std::vector<Row> before = all(kRace);
    const std::pair<const char*, const char*> answers[] = {{"1", "cmdInsert, BINSERT, Error: "},
                                                           {"x1", "nothing was inserted"},
                                                           {"40000", "nothing was inserted"},
                                                           {"1.5e3", "nothing was inserted"},
                                                           {"", nullptr}};  // cancelled
    for (const auto& [answer, reported] : answers) {
        SCOPED_TRACE(answer);
        dialogs.clear();
        dialogs.answerPrompts({answer});
        click("cmdInsert");
        EXPECT_EQ(dialogs.messages.size(), reported ? 1u : 0u);
        EXPECT_NE(said().find(reported ? reported : ""), std::string::npos) << said();
        EXPECT_EQ(all(kRace), before);
    }
}

TEST_F(RaceEditorTest, DeleteAsksFirstAndBuildsTheListAgain) {
    openWith({makeRace(1, "Elf"), makeRace(2, "Dwarf"), makeRace(3, "Human")});
    select(1);
    dialogs.answerQuestions({false, true});
    click("cmdDelete");
    EXPECT_EQ(all(kRace).size(), 3u);
    EXPECT_EQ(current(), 1);
    click("cmdDelete");
    EXPECT_EQ(joined(dialogs.questions),
              "Delete this record from database?|Delete Record?\n"
              "Delete this record from database?|Delete Record?");
    EXPECT_TRUE(stored(kRace, 2).empty());
    EXPECT_EQ(list(), "1   Elf\n3   Human");
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(text("txtName"), "Elf");
}

TEST_F(RaceEditorTest, AFailedRereadWritesNothing) {
    const Race elf = makeRace(1, "Elf"), human = makeRace(3, "Human");
    openWith({elf, makeRace(2, "Dwarf"), human});
    select(1);
    type("txtName", "Ghost");
    // Another hand removes the record on screen; the file stays positioned near it.
    ASSERT_EQ(world.file(kRace).getEqual32(2, ""), 0);
    ASSERT_EQ(world.file(kRace).call(BDELETE, ""), 0);
    ASSERT_EQ(world.file(kRace).getEqual32(3, ""), 0);
    select(2);
    EXPECT_EQ(said(), "Error on BGETEQUAL: 4");
    EXPECT_EQ(stored(kRace, 1), rowOf(kRace, elf));
    EXPECT_EQ(stored(kRace, 3), rowOf(kRace, human));
    EXPECT_EQ(text("txtName"), "Human");
}

TEST_F(RaceEditorTest, AnEmptyFileShowsItsLoadMessageAndWritesNothing) {
    const std::pair<RecordKind, QWidget* (*)(World&, QWidget*)> editors[] = {
        {RecordKind::Race, createRaceEditor}, {RecordKind::Class, createClassEditor}};
    create({RecordKind::Race, RecordKind::Class});
    for (const auto& [kind, editor] : editors) {
        SCOPED_TRACE(recordType(kind).name());
        dialogs.clear();
        open(editor);
        EXPECT_EQ(said(), kind == kRace ? "LoadRacees, BGETFIRST, Error: 9"
                                        : "LoadClasses, BGETFIRST, Error: 9");
        EXPECT_EQ(list(), "");
        EXPECT_EQ(text("txtAbilityA_0"), "None");
        dialogs.clear();
        click("cmdInsert");
        click("cmdDelete");
        ASSERT_EQ(dialogs.messages.size(), 2u);
        EXPECT_NE(dialogs.messages[0].find("Nothing was inserted"), std::string::npos);
        EXPECT_NE(dialogs.messages[1].find("no record to delete"), std::string::npos);
        EXPECT_TRUE(dialogs.prompts.empty());
        EXPECT_TRUE(all(kind).empty());
    }
}

}  // namespace
}  // namespace gw::test
