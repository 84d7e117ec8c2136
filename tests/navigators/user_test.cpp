// frmUser on real files: what a shown player looks like, Goto by name, the panels, and above
// all that the User file is never written.
#include "records/user.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
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
    u.Race = race, u.Class = cls;
    u.Level = std::int16_t(n * 10 + 1), u.Experience = -70000 * n;
    u.MaxHP = std::int16_t(n * 10 + 2), u.CurrentHP = std::int16_t(n * 10 + 3);
    for (int i = 0; i < 12; ++i) u.Stat[i] = std::int16_t(n * 100 + i);
    for (int i = 0; i < 20; ++i) u.Text1Value[i] = n * 100000 + i;
    for (int i = 0; i < 100; ++i) u.ItemUses[i] = std::int16_t(n * 1000 + i);
    return u;
}

using UserEditorTest = GuiTest;

// alpha, bravo, charlie in key order, stored in another order; a race and a class without an
// entry in their lists.
TEST_F(UserEditorTest, ShowsAPlayerGoesToOneByNameAndSwitchesPanels) {
    create({RecordKind::Race, RecordKind::Class, RecordKind::Item, kUser});
    add(RecordKind::Race, makeRace(1, "Human"));
    add(RecordKind::Race, makeRace(2, "Elf"));
    add(RecordKind::Class, makeClass(1, "Fighter"));
    for (auto [n, name] : {std::pair{3, "Rope"}, {8, "Lamp"}})
        put(RecordKind::Item, [n, name](RecordFile& f) {
            f.as<Item>().Number = n;
            setField(f.as<Item>().Name, zeroEnded(name, 29));
        });
    LoadRaceArray(world);
    LoadClassArray(world);
    User alpha = player("alpha", 1, 1, 1);
    alpha.Item[0] = 3, alpha.Item[1] = 5, alpha.Item[99] = 8;
    for (const User& u : {player("charlie", 9, 1, 3), alpha, player("bravo", 2, -1, 2)})
        add(kUser, u);
    open(createUserEditor);
    auto hidden = [this](const char* name) { return child<QWidget>(name)->isHidden(); };
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
    // No entry for race 9: the drop-down is empty, not left on the last player's race.
    EXPECT_EQ(texts({"txtBBSName", "cmbRaces", "cmbClasses", "txtLevel"}), "charlie  Fighter 31");
    for (const char* missing : {"charli", "   "}) {
        SCOPED_TRACE(missing);
        type("txtGoto", missing);
        click("Command7");
        EXPECT_EQ(said(), "cmdGoto_Click(), BGETEQUAL, User, Error: 4 (no record has this key)");
        EXPECT_EQ(text("txtBBSName"), "charlie");
        dialogs.clear();
    }
    // Return in the box goes there too.
    type("txtGoto", "bravo");
    QTest::keyClick(child<QLineEdit>("txtGoto"), Qt::Key_Return);
    EXPECT_EQ(texts({"txtBBSName", "cmbClasses", "cmbRaces", "txtItemUses_99"}), "bravo  Elf 2099");

    SCOPED_TRACE("the panels and pages switch without reading");
    click("cmdItems");
    EXPECT_EQ(child<QPushButton>("cmdItems")->text().toStdString(), "General");
    EXPECT_TRUE(hidden("frameGeneral") && !hidden("FrameListItems") && !hidden("cmdSwitchItems_3"));
    click("cmdSwitchItems_2");
    EXPECT_TRUE(child<QWidget>("txtItem_50")->isVisible() &&
                !child<QWidget>("txtItem_49")->isVisible());
    click("cmdItems");
    EXPECT_TRUE(!hidden("frameGeneral") && hidden("FrameListItems") && hidden("cmdSwitchItems_3"));
    // The file did not move: Next goes on from the player shown.
    click("cmdNext");
    EXPECT_EQ(text("txtBBSName"), "charlie");
    for (const char* name : {"cmdInsert", "cmdDelete", "cmdSpells", "txtSearch", "lstDatabase"})
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(said(), "");
}

// Over the small demo world: walk every player, type into every box, press every button,
// close the window and the program. Not one byte of the User file changes.
// The whole program in the fixture's scratch directory, the fixture's own world left closed.
TEST_F(UserEditorTest, LeavesTheUserFileAsItWas) {
    buildSmallWorld();
    const std::string before = fileBytes("wccuser2.dat");
    ASSERT_FALSE(before.empty());
    auto main = std::make_unique<MDIForm1>(dialogs);
    main->startUp();
    main->findChild<QAction*>(QStringLiteral("mnuEditUser"))->trigger();
    QMdiSubWindow* sub = main->subWindow(QStringLiteral("frmUser"));
    ASSERT_NE(sub, nullptr);
    QWidget* editor = sub->widget();
    auto* next = editor->findChild<QPushButton*>(QStringLiteral("cmdNext"));
    const auto boxes = editor->findChildren<QLineEdit*>();
    const auto buttons = editor->findChildren<QPushButton*>();
    ASSERT_GT(boxes.size(), 300);

    for (int players = 0; players < 100 && dialogs.messages.empty(); ++players) {
        for (QLineEdit* box : boxes) {
            box->selectAll();
            QTest::keyClicks(box, QStringLiteral("9x "));
        }
        for (auto* combo : editor->findChildren<QComboBox*>())
            combo->setCurrentIndex(combo->count() - 1);
        for (QPushButton* b : buttons)
            if (b->objectName().startsWith(u"cmdSwitchItems") || b->objectName() == u"cmdItems")
                b->click();
        next->click();
    }
    EXPECT_EQ(joined(dialogs.messages),
              "cmdNext_Click, BGETNEXT, User, Error: 9 (end or beginning of file)");
    dialogs.clear();
    for (QPushButton* b : buttons) b->click();  // the moves and Goto among them
    sub->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->close());
    main.reset();
    EXPECT_TRUE(fileBytes("wccuser2.dat") == before) << "the User file changed";
    EXPECT_FALSE(std::filesystem::exists("wccuser2.dat-journal"));
}

}  // namespace
}  // namespace gw::test
