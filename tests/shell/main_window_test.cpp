#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <new>
#include <stdexcept>

#include "gui_test.h"

namespace gw::test {
namespace {

const char* const kTypes[] = {"Race", "Class", "Spell",   "Monster",   "Item",
                              "Shop", "Room",  "Message", "Textblock", "User"};

// Each of `messages` is "<procedure>, <operation>, <type>, Error: <status above 0>", in the
// order of the ten files.
void expectOnePerFile(const Strings& messages, const std::string& procedureAndOperation) {
    ASSERT_GE(messages.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const std::string prefix = procedureAndOperation + ", " + kTypes[i] + ", Error: ";
        EXPECT_TRUE(messages[i].starts_with(prefix)) << messages[i] << " / " << prefix;
        EXPECT_GT(std::atoi(messages[i].c_str() + std::min(prefix.size(), messages[i].size())), 0);
    }
}

class MainWindowTest : public GuiTest {
protected:
    void choose(const char* item) {
        main.findChild<QAction*>(QString::fromLatin1(item))->trigger();
    }
    QMdiSubWindow* sub(const char* name) { return main.subWindow(QString::fromLatin1(name)); }
    std::unique_ptr<MDIForm1> owned = std::make_unique<MDIForm1>(dialogs);
    MDIForm1& main = *owned;
};

TEST_F(MainWindowTest, WithNoDataFilesEachOpenIsReportedInOrder) {
    main.startUp();
    EXPECT_EQ(dialogs.messages.size(), 10u);
    expectOnePerFile(dialogs.messages, "Form_Load, BOPEN");
    EXPECT_TRUE(main.world()->raceNames().empty());
    EXPECT_TRUE(main.world()->classNames().empty());
}

TEST_F(MainWindowTest, WithOnlyTheRaceFileMissingTheClassTableLoads) {
    for (RecordKind kind : allRecordKinds())
        if (kind != RecordKind::Race) create({kind}, false);
    main.startUp();
    EXPECT_EQ(said(),
              "Form_Load, BOPEN, Race, Error: 30\nLoadClassArray, BGETFIRST, Class, Error: 9");
    EXPECT_TRUE(main.world()->raceNames().empty());
    ASSERT_EQ(main.world()->classNames().size(), 1u);
    EXPECT_EQ(main.world()->classNames()[0].name, "None");
    dialogs.clear();
    EXPECT_TRUE(main.close());
    // Only the close of the file that never opened fails; BSTOP succeeds.
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(said().starts_with("Form_Unload, BCLOSE, Race, Error: ")) << said();
}

TEST_F(MainWindowTest, MenuCaptionsNamesAndOrderAndTheItemsThatDoNothing) {
    const Strings expected[] = {
        {"Edit mnuEdit", "Races mnuEditRace", "Classes mnuEditClass", "Spells mnuEditSpell",
         "Monsters mnuEditMonster", "Items mnuEditItems", "Shops mnuShop", "Rooms mnuRoom",
         "Messages mnuEditMessage", "Text Blocks mnuEditTextblock", "Users mnuEditUser",
         "Gangs mnuEditGang", "Actions mnuAction"},
        {"About mnuAbout1", "Help (hopefully) mnuHelp", "About mnuAbout2"}};
    const QList<QAction*> menus = main.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    for (int m = 0; m < 2; ++m) {
        QMenu* menu = menus[m]->menu();
        Strings shown{(menu->title() + u' ' + menu->objectName()).toStdString()};
        for (QAction* a : menu->actions()) {
            shown.push_back((a->text() + u' ' + a->objectName()).toStdString());
            EXPECT_TRUE(a->shortcut().isEmpty() && a->isEnabled()) << shown.back();
        }
        EXPECT_EQ(shown, expected[m]);
    }
    main.startUp();
    dialogs.clear();
    for (const char* name : {"mnuEditGang", "mnuAction", "mnuHelp"}) {
        SCOPED_TRACE(name);
        choose(name);
        EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(MainWindowTest, ASecondChoiceBringsTheWindowForward) {
    main.startUp();
    int made = 0;
    main.setWindowFactory(QStringLiteral("frmRace"), [&made](World&, QWidget* parent) {
        ++made;
        return new QWidget(parent);
    });
    choose("mnuEditRace");
    QMdiSubWindow* race = sub("frmRace");
    ASSERT_NE(race, nullptr);
    EXPECT_EQ(race->widget()->objectName(), QStringLiteral("frmRace"));
    choose("mnuAbout2");
    EXPECT_EQ(main.mdiArea()->activeSubWindow(), sub("frmAbout"));
    choose("mnuEditRace");
    EXPECT_EQ(made, 1);
    EXPECT_EQ(main.mdiArea()->activeSubWindow(), race);
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 2);

    race->close();  // once closed, the next choice makes it anew
    ASSERT_TRUE(processEventsUntil([&] { return sub("frmRace") == nullptr; }));
    choose("mnuEditRace");
    EXPECT_EQ(made, 2);
}

TEST_F(MainWindowTest, WindowOpeningErrorHandler) {
    main.startUp();
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { throw std::bad_alloc(); },
         "Out of memory : Can't open another database. Try closing one first."},
        {[] { throw std::out_of_range("slot 12"); }, ""},
        {[] { throw std::invalid_argument("bad value"); }, ""},
        {[] { throw std::runtime_error("disk on fire"); }, "Error: disk on fire"},
    };
    for (const auto& [raise, shown] : cases) {
        SCOPED_TRACE(shown);
        dialogs.clear();
        main.setWindowFactory(QStringLiteral("frmClass"), [&](World&, QWidget*) -> QWidget* {
            raise();
            return nullptr;
        });
        choose("mnuEditClass");
        EXPECT_EQ(said(), shown);
        EXPECT_EQ(sub("frmClass"), nullptr);
    }
}

TEST_F(MainWindowTest, ShutdownRunsTheEditorsClosingStepBeforeTheCloses) {
    main.startUp();
    struct Editor : QWidget {
        explicit Editor(Dialogs& d) : dialogs(d) {}
        void closeEvent(QCloseEvent* e) override {
            dialogs.message(QStringLiteral("editor saved"));
            e->accept();
        }
        Dialogs& dialogs;
    };
    main.setWindowFactory(QStringLiteral("frmMessage"),
                          [this](World&, QWidget*) { return new Editor(dialogs); });
    choose("mnuEditMessage");
    dialogs.clear();
    EXPECT_TRUE(main.close());
    ASSERT_GE(dialogs.messages.size(), 11u);
    EXPECT_EQ(dialogs.messages[0], "editor saved");
    expectOnePerFile(Strings(dialogs.messages.begin() + 1, dialogs.messages.end()),
                     "Form_Unload, BCLOSE");
    for (std::size_t i = 11; i < dialogs.messages.size(); ++i)
        EXPECT_TRUE(dialogs.messages[i].starts_with("Form_Unload, BSTOP, Error: "));
    // Shutdown runs once: destroying the window afterwards reports nothing more.
    const std::size_t count = dialogs.messages.size();
    owned.reset();
    EXPECT_EQ(dialogs.messages.size(), count);
}

}  // namespace
}  // namespace gw::test
