// frmUser on real files: the steps and their reports, what a shown player looks like, the
// panels, and above all that the User file is never written.
#include "records/user.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <iterator>

#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "records/item.h"
#include "shell/main_window.h"
#include "shell/name_lookups.h"
#include "shell/record_form.h"
#include "tools/data/demo_world.h"

namespace gw::test {
namespace {

constexpr auto kUser = RecordKind::User;

std::string fileBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A player whose numbers all differ: n * 1000 plus the field's place.
User player(const char* key, std::int16_t race, std::int16_t cls, std::int16_t n) {
    User u{};
    setField(u.BBSName, zeroEnded(key, u.BBSName.size()));
    setField(u.FirstName, zeroEnded(std::string("F") + key, u.FirstName.size()));
    setField(u.LastName, zeroEnded(std::string("L") + key, u.LastName.size()));
    u.FirstNameEnd = 0xEE, u.LastNameEnd = 0xDD;
    u.Race = race, u.Class = cls;
    u.Level = std::int16_t(n * 10 + 1), u.Experience = -70000 * n;
    u.MaxHP = std::int16_t(n * 10 + 2), u.CurrentHP = std::int16_t(n * 10 + 3);
    for (int i = 0; i < 12; ++i) u.Stat[i] = std::int16_t(n * 100 + i);
    for (int i = 0; i < 19; ++i) u.Reserved[i] = std::int16_t(-i);
    for (int i = 0; i < 20; ++i) u.Text1Value[i] = n * 100000 + i;
    for (int i = 0; i < 100; ++i) u.ItemUses[i] = std::int16_t(n * 1000 + i);
    return u;
}

class UserEditorTest : public GuiTest {
protected:
    void SetUp() override {
        create({RecordKind::Race, RecordKind::Class, RecordKind::Item, kUser});
        add(RecordKind::Race, makeRace(1, "Human"));
        add(RecordKind::Race, makeRace(2, "Elf"));
        add(RecordKind::Class, makeClass(1, "Fighter"));
        for (auto [n, name] : {std::pair{3, "Rope"}, {8, "Lamp"}}) {
            Item item{};
            item.Number = n;
            setField(item.Name, zeroEnded(name, item.Name.size()));
            add(RecordKind::Item, item);
        }
        LoadRaceArray(world);
        LoadClassArray(world);
    }
    // alpha, bravo, charlie in key order, stored in another order.
    void openOnThree() {
        User c = player("charlie", 1, 1, 3);
        User a = player("alpha", 1, 1, 1);
        a.Item[0] = 3, a.Item[1] = 5, a.Item[99] = 8;
        add(kUser, c, 0x5A), add(kUser, a, 0x5A);
        add(kUser, player("bravo", 2, 1, 2), 0x5A);
        open(createUserEditor);
    }
    bool hidden(const char* name) { return child<QWidget>(name)->isHidden(); }
};

TEST_F(UserEditorTest, ShowsAPlayerGoesToOneByNameAndSwitchesPanels) {
    openOnThree();
    EXPECT_EQ(texts({"txtBBSName", "txtFirstName", "txtLastName", "txtGoto", "txtLevel",
                     "txtExperience", "txtMaxHP", "txtCurrentHP", "txtStat_0", "txtStat_11",
                     "Text1_0", "Text1_19", "cmbRaces", "cmbClasses"}),
              "alpha Falpha Lalpha monkey 11 -70000 12 13 100 111 100000 100019 Human Fighter");
    // Item names: found, missing, none.
    EXPECT_EQ(texts({"txtItem_0", "txtItemName_0", "txtItemUses_0", "txtItem_1", "txtItemName_1",
                     "txtItem_2", "txtItemName_2", "txtItemUses_2", "txtItem_99", "txtItemName_99",
                     "txtItemUses_99"}),
              "3 Rope 1000 5 ITEM NOT IN DATABASE! 0 none 1002 8 Lamp 1099");
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("Goto drops trailing blanks; a name nobody has is status 4");
    type("txtGoto", "charlie   ");
    click("Command7");
    EXPECT_EQ(texts({"txtBBSName", "txtLevel"}), "charlie 31");
    for (const char* missing : {"monkey", "charli", "", "   "}) {
        SCOPED_TRACE(missing);
        type("txtGoto", missing);
        click("Command7");
        EXPECT_EQ(said(), "cmdGoto_Click(), BGETEQUAL, User, Error: 4 (no record has this key)");
        EXPECT_EQ(text("txtBBSName"), "charlie");
        dialogs.clear();
    }
    // Return in the box goes there too; after a failed Goto the steps still start from the
    // player shown.
    type("txtGoto", "bravo");
    QTest::keyClick(child<QLineEdit>("txtGoto"), Qt::Key_Return);
    EXPECT_EQ(text("txtBBSName"), "bravo");
    type("txtGoto", "zulu");
    click("Command7");
    dialogs.clear();
    click("cmdPrevious");
    EXPECT_EQ(text("txtBBSName"), "alpha");

    SCOPED_TRACE("the panels and pages switch without reading");
    for (const char* caption : {"General", "Items"}) {
        SCOPED_TRACE(caption);
        click("cmdItems");
        const bool items = caption == std::string("General");
        EXPECT_EQ(child<QPushButton>("cmdItems")->text().toStdString(), caption);
        EXPECT_TRUE(hidden("frameGeneral") == items && hidden("FrameListItems") != items &&
                    hidden("cmdSwitchItems_3") != items);
        if (!items) continue;
        click("cmdSwitchItems_2");
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(hidden(controlName("FrameItems", k).toLatin1().constData()), k != 2) << k;
        EXPECT_TRUE(child<QWidget>("txtItem_50")->isVisible() &&
                    !child<QWidget>("txtItem_49")->isVisible());
    }
    // The file did not move: Next goes on from the first player.
    click("cmdNext");
    EXPECT_EQ(text("txtBBSName"), "bravo");
    for (const char* name : {"cmdInsert", "cmdDelete", "cmdSpells", "txtSearch", "lstDatabase"})
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(said(), "");
}

TEST_F(UserEditorTest, ARaceOrClassWithoutAnEntryLeavesItsDropDownEmpty) {
    const std::pair<const char*, std::pair<std::int16_t, std::int16_t>> players[] = {
        {"bravo", {9, 1}}, {"charlie", {-1, 7}}, {"delta", {2, 2}}};
    add(kUser, player("alpha", 1, 1, 1));
    for (auto [key, raceAndClass] : players)
        add(kUser, player(key, raceAndClass.first, raceAndClass.second, 2));
    open(createUserEditor);
    auto* races = child<QComboBox>("cmbRaces");
    auto* classes = child<QComboBox>("cmbClasses");
    EXPECT_EQ(races->count(), 3);
    for (auto [key, raceAndClass] : players) {
        const auto [race, cls] = raceAndClass;
        SCOPED_TRACE(key);
        // From a player whose race and class are both listed.
        type("txtGoto", "alpha");
        click("Command7");
        type("txtGoto", key);
        click("Command7");
        EXPECT_EQ(races->currentIndex(), race == 2 ? 2 : -1);
        EXPECT_EQ(classes->currentIndex(), cls == 1 ? 1 : -1);
        EXPECT_EQ(text("cmbRaces"), race == 2 ? "Elf" : "");
        // Every other box is still filled.
        EXPECT_EQ(texts({"txtBBSName", "txtLevel", "txtStat_11", "Text1_19", "txtItemUses_99"}),
                  std::string(key) + " 21 211 200019 2099");
    }
    EXPECT_EQ(said(), "");
}

// The whole program in the fixture's scratch directory, the fixture's own world left closed.
using UserEditorProgramTest = GuiTest;

// Over the small demo world: walk every player, type into every box, press every button,
// close the window and the program. Not one byte of the User file changes.
TEST_F(UserEditorProgramTest, LeavesTheUserFileAsItWas) {
    buildSmallWorld();
    const std::string before = fileBytes("wccuser2.dat");
    ASSERT_FALSE(before.empty());
    auto main = std::make_unique<MDIForm1>(dialogs);
    main->startUp();
    main->findChild<QAction*>(QStringLiteral("mnuEditUser"))->trigger();
    QMdiSubWindow* sub = main->subWindow(QStringLiteral("frmUser"));
    ASSERT_NE(sub, nullptr);
    QWidget* editor = sub->widget();
    auto press = [&](const char* name) {
        editor->findChild<QPushButton*>(QString::fromLatin1(name))->click();
    };
    const auto boxes = editor->findChildren<QLineEdit*>();
    const auto buttons = editor->findChildren<QPushButton*>();
    ASSERT_GT(boxes.size(), 300);

    int players = 1;
    for (; players < 100 && dialogs.messages.empty(); ++players) {
        for (QLineEdit* box : boxes) {
            box->selectAll();
            QTest::keyClicks(box, QStringLiteral("9x "));
        }
        for (auto* combo : editor->findChildren<QComboBox*>())
            combo->setCurrentIndex(combo->count() - 1);
        for (QPushButton* b : buttons)
            if (b->objectName().startsWith(u"cmdSwitchItems") || b->objectName() == u"cmdItems")
                b->click();
        press("cmdNext");
    }
    EXPECT_EQ(players - 1, demo::demoPlan(demo::DemoSize::Small).users);
    EXPECT_EQ(joined(dialogs.messages),
              "cmdNext_Click, BGETNEXT, User, Error: 9 (end or beginning of file)");
    dialogs.clear();
    for (QPushButton* b : buttons) b->click();
    for (const char* step : {"cmdFirst", "cmdPrevious", "cmdLast", "cmdNext", "Command7"})
        press(step);
    sub->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->close());
    main.reset();
    EXPECT_TRUE(fileBytes("wccuser2.dat") == before) << "the User file changed";
    EXPECT_FALSE(std::filesystem::exists("wccuser2.dat-journal"));
    for (const std::string& m : dialogs.messages) {
        SCOPED_TRACE(m);
        EXPECT_TRUE(m.find("BUPDATE") == std::string::npos && m.find("Save") == std::string::npos);
    }
}

}  // namespace
}  // namespace gw::test
