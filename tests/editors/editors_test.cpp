// The catalogue editors: list, save on leaving, search as you type, Insert, Delete,
// refusals and failed reads (driven through frmRace), the Class figures and unmapped bytes,
// and races.txt.
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <fstream>
#include <iterator>

#include "editors/catalogue_windows.h"
#include "editors/race_listing.h"
#include "gui_test.h"

namespace gw::test {
namespace {

constexpr auto kRace = RecordKind::Race;
constexpr auto kClass = RecordKind::Class;

class RaceEditorTest : public GuiTest {
protected:
    void openWith(const std::vector<Race>& races) {
        create({kRace});
        for (const Race& r : races) add(kRace, r);
        open(createRaceEditor);
    }
};

TEST_F(RaceEditorTest, WritesTheRecordBackOnLeavingAndRefusesBadNumbers) {
    Race elf = makeRace(1, "Elf");
    const Race human = makeRace(3, "Human");
    elf.AbilityA[0] = 200;                            // no such ability
    elf.AbilityB[0] = -32768, elf.MaxHealth = 32767;  // at the typing limits
    openWith({human, elf, makeRace(2, "Dwarf")});
    EXPECT_EQ(list(), "1   Elf\n2   Dwarf\n3   Human");
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(texts({"txtName", "txtMaxCharm", "txtAbilityA_1", "txtAbilityA_0"}),
              "Elf 116 Heal 200");  // ability code 18, and one the list cannot show

    SCOPED_TRACE("a box that cannot be stored is refused and keeps its field, the rest is saved");
    type("txtMinStrength", "abc");
    type("txtMaxStrength", "40000");
    type("txtAbilityA_4", "Flying");
    type("txtName", "Renamed");
    child<QComboBox>("txtAbilityA_3")->setCurrentIndex(5);
    select(1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    // Each box named as the operator sees it: its label, or its column and row.
    for (const char* part : {"Min (Strength): \"abc\"", "Max (Strength): \"40000\"",
                             "-32768 to 32767", "Ability (row 5): \"Flying\""})
        EXPECT_NE(said().find(part), std::string::npos) << part << " in " << said();
    Race expected = renamed(elf, "Renamed");
    expected.AbilityA[3] = 5;
    EXPECT_EQ(stored(kRace, 1), rowOf(kRace, expected));
    EXPECT_EQ(list(), "1   Renamed\n2   Dwarf\n3   Human");

    SCOPED_TRACE("a renumbering save: the entry follows, and a click on it shows the record");
    dialogs.clear();
    select(0);
    type("txtMinStrength", "1");
    type("txtMaxStrength", "2");
    type("txtNumber", "9");
    select(2);
    EXPECT_EQ(list(), "9   Renamed\n2   Dwarf\n3   Human");
    EXPECT_TRUE(stored(kRace, 1).empty());
    select(0);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(texts({"txtNumber", "txtName"}), "9 Renamed");
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("an entry whose record went elsewhere: the highlight stays with the boxes");
    ASSERT_EQ(world.file(kRace).getEqual32(2, ""), 0);
    ASSERT_EQ(world.file(kRace).call(BDELETE, ""), 0);
    select(1);
    EXPECT_EQ(said(), "Race 2 was deleted by another program.");
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(text("txtName"), "Renamed");

    SCOPED_TRACE("an update the file refuses: the operator lets the edits go and moves on");
    dialogs.clear();
    const Row before = stored(kRace, 9);
    type("txtNumber", "3");  // the Human's
    dialogs.answerQuestions({true});
    select(2);
    EXPECT_EQ(said(), "SaveRecord, Error: 23 (a record with this key already exists)");
    EXPECT_EQ(texts({"txtNumber", "txtName"}), "3 Human");
    EXPECT_EQ(stored(kRace, 9), before);
}

TEST_F(RaceEditorTest, SearchSelectsAsTheUserTypes) {
    openWith({makeRace(1, "Elf"), makeRace(2, "halfling"), makeRace(3, "Human")});
    auto* search = child<QLineEdit>("txtSearch");
    type("txtMinCharm", "55");
    search->setFocus();
    QTest::keyClick(search, Qt::Key_H);
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(search->text() + u'|' + search->selectedText(), QStringLiteral("halfling|alfling"));
    ASSERT_FALSE(stored(kRace, 1).empty());
    EXPECT_EQ(world.file(kRace).as<Race>().MinCharm, 55);  // the Elf was saved on leaving

    SCOPED_TRACE("Down keeps the typed prefix; Backspace shortens it");
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(search->selectionStart(), 1);
    QTest::keyClick(search, Qt::Key_Backspace);
    EXPECT_EQ(current(), 0);  // the prefix was "h", and is empty now

    SCOPED_TRACE("the entry on screen found again is saved and shown again, rounded");
    type("txtMinCharm", "12.5");
    type("txtMaxCharm", "13.5");
    search->clear();
    QTest::keyClick(search, Qt::Key_E);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(texts({"txtMinCharm", "txtMaxCharm"}), "12 14");

    SCOPED_TRACE("a prefix nobody has leaves the selection");
    search->clear();
    QTest::keyClicks(search, QStringLiteral("Huz"));
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(search->text(), QStringLiteral("Huz"));
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("Alt+L and Alt+S reach the list and the search box from anywhere in the window");
    QApplication::setActiveWindow(window.get());
    auto* list = child<QWidget>("lstDatabase");
    QTest::keyClick(child<QWidget>("txtMinCharm"), Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(search->hasFocus());
}

// The copy itself: the Monster and Item insert tests; a proposal above the highest number:
// the Shop insert test.
TEST_F(RaceEditorTest, InsertRefusesNumbersItCannotTakeAndOffersTheLowestFree) {
    openWith({makeRace(1, "Elf"), makeRace(5, "Orc")});
    expectInsertsRefused(kRace, {{"1", "cmdInsert, BINSERT, Error: "},
                                 {"0", "0 means none wherever a record names a Race"},
                                 {"40000", "nothing was inserted"},
                                 {"", nullptr}});  // the last one cancelled

    SCOPED_TRACE("the highest number taken, by the game meanwhile: the lowest free one");
    put(kRace, [](RecordFile& f) { f.as<Race>().Number = 32767; });
    dialogs.clear();
    dialogs.answerPrompts({""});
    click("cmdInsert");
    EXPECT_EQ(joined(dialogs.prompts), "New Race Number:|Insert|2");
}

TEST_F(RaceEditorTest, DeleteAsksFirstAndAFailedRereadWritesNothing) {
    const Race human = makeRace(3, "Human");
    openWith({makeRace(1, "Elf"), makeRace(2, "Dwarf"), human});
    select(1);
    dialogs.answerQuestions({false});
    click("cmdDelete");
    EXPECT_EQ(joined(dialogs.questions), "Delete this record from database?|Delete Record?");
    EXPECT_EQ(all(kRace).size(), 3u);
    EXPECT_EQ(current(), 1);

    SCOPED_TRACE("another hand removes the record on screen and leaves the file near it");
    type("txtName", "Ghost");
    ASSERT_EQ(world.file(kRace).getEqual32(2, ""), 0);
    ASSERT_EQ(world.file(kRace).call(BDELETE, ""), 0);
    ASSERT_EQ(world.file(kRace).getEqual32(3, ""), 0);
    // Cancel keeps the typed name on screen; No lets it go.
    dialogs.answerWithCancel({Answer::Cancel, Answer::No});
    select(2);
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(text("txtName"), "Ghost");
    select(2);
    EXPECT_EQ(said(), "");
    EXPECT_EQ(dialogs.questions.back(),
              "Race 2 was deleted by another program. Insert it again with your edits?|Record "
              "Deleted|Yes/No/Cancel");
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(stored(kRace, 3), rowOf(kRace, human));  // the record the file was left near

    SCOPED_TRACE("Yes deletes the record on screen and starts again at the first entry");
    dialogs.answerQuestions({true});
    click("cmdDelete");
    EXPECT_EQ(list(), "1   Elf");
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(text("txtName"), "Elf");
}

// Each catalogue over its empty file: its load message, Insert and Delete refused with a
// message each, and nothing written.
TEST_F(GuiTest, EmptyFilesShowTheirLoadMessageAndWriteNothing) {
    create({kRace, kClass, RecordKind::Spell, RecordKind::Shop, RecordKind::Item,
            RecordKind::Monster});
    const std::tuple<QWidget* (*)(World&, QWidget*), RecordKind, const char*> cases[] = {
        {createRaceEditor, kRace, "LoadRacees, BGETFIRST"},
        {createClassEditor, kClass, "LoadClasses, BGETFIRST"},
        {createSpellEditor, RecordKind::Spell, "LoadSpelles, BGETFIRST"},
        {createShopEditor, RecordKind::Shop, "LoadShopes, BGETFIRST"},
        {createItemEditor, RecordKind::Item, "LoadItem, BGETFIRST, Item"},
        {createMonsterEditor, RecordKind::Monster, "LoadMonsters(), BGETFIRST"},
    };
    for (const auto& [editor, kind, loaded] : cases) {
        SCOPED_TRACE(loaded);
        open(editor);
        click("cmdInsert");
        click("cmdDelete");
        window->close();
        EXPECT_EQ(said(), std::string(loaded) +
                              ", Error: 9 (end or beginning of file)"
                              "\nThe list is empty: Insert makes a copy of the record on screen, "
                              "and there is none. Nothing was inserted."
                              "\nThe list is empty: there is no record to delete.");
        EXPECT_TRUE(dialogs.prompts.empty() && dialogs.questions.empty());
        EXPECT_TRUE(all(kind).empty());
        dialogs.clear();
    }
}

TEST_F(GuiTest, ClassEditorShowsAndStoresTheDerivedFigures) {
    const Class fighter = makeClass(1, "Fighter");
    create({kClass});
    add(kClass, fighter, 0xA5);
    add(kClass, makeClass(2, "Mage"), 0xA5);
    window.reset(createClassEditor(world));
    EXPECT_EQ(list(), "1   Fighter\n2   Mage");  // built before it is shown
    window->show();
    makeDeferredPages();
    EXPECT_EQ(texts({"txtMinHP", "txtMaxHP", "txtExp", "txtCombat", "txtTitleText"}),
              "10 15 100 0 41");
    EXPECT_EQ(texts({"txtMagicType", "txtArmour", "txtWeapon", "txtAbilityA_0"}),
              "Priest Chainmail Limited (staff) Perfect Stealth");

    SCOPED_TRACE("typed figures are stored back by the rules; the title text is not read");
    for (auto [name, value] : {std::pair{"txtExp", "125"},
                               {"txtCombat", "0"},
                               {"txtMaxHP", "30"},
                               {"txtTitleText", "777"}})
        type(name, value);
    select(1);
    Class typed = fighter;
    typed.Exp = 25, typed.Combat = 2, typed.MaxHP = 20;
    Row expected = rowOf(kClass, typed);
    expected.resize(156, 0xA5);  // bytes 102 to 155 are no field's: the save keeps them
    EXPECT_EQ(stored(kClass, 1), expected);
    select(0);
    EXPECT_EQ(text("txtTitleText") + " " + text("txtMaxHP"), "41 30");
}

std::string contents(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(GuiTest, RaceListingReplacesTheFileWithEveryRaceInTheGameLayout) {
    Race a = makeRace(1, "Elf"), b = makeRace(2, "Dwarf");
    a.MinCharm = -3;
    EXPECT_EQ(raceListingBlock(a),
              "\"Number:     1\t\tName:       " + std::string("Elf\0", 4) + std::string(25, ' ') +
                  "\r\nIntellect:  101\t\tWillpower:  102\t\tStrength:  103\r\n"
                  "Health:     104\t\tAgility:    105\t\tCharm:     -3\r\n"
                  "Exp Chart:  109\r\n" +
                  std::string(52, '-') + "\"\r\n");
    create({kRace});
    add(kRace, b);
    add(kRace, a);
    std::ofstream("races.txt", std::ios::binary) << std::string(5000, 'x');
    open(createRaceEditor);
    click("cmdPrintHtml");
    EXPECT_EQ(contents("races.txt"), raceListingBlock(a) + raceListingBlock(b));
    EXPECT_EQ(said(), "");
}

}  // namespace
}  // namespace gw::test
