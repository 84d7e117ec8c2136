#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <new>
#include <stdexcept>

#include "data_files.h"
#include "records/records.h"
#include "scripted_dialogs.h"
#include "shell/world.h"

namespace gw {
namespace {

using test::ScratchDirectory;
using test::ScriptedDialogs;

const char* const kTypes[] = {"Race", "Class", "Spell",   "Monster",   "Item",
                              "Shop", "Room",  "Message", "Textblock", "User"};

bool engineAvailable() {
    ScratchDirectory dir;
    DataFileInfo info{"Race", KeySpec::int16(), 126, 0};
    return createDataFile("probe.dat", info) == status::kSuccess;
}

// The status after `prefix` in a message, or -1 when the message has another form.
int statusAfter(const QString& message, const QString& prefix) {
    if (!message.startsWith(prefix)) return -1;
    bool ok = false;
    const int value = message.mid(prefix.size()).toInt(&ok);
    return ok ? value : -1;
}

void expectOneMessagePerFile(const QStringList& messages, const char* procedure,
                             const char* operation) {
    ASSERT_GE(messages.size(), 10);
    for (int i = 0; i < 10; ++i) {
        const QString prefix =
            QStringLiteral("%1, %2, %3, Error: ")
                .arg(QString::fromLatin1(procedure), QString::fromLatin1(operation),
                     QString::fromLatin1(kTypes[i]));
        SCOPED_TRACE(prefix.toStdString());
        EXPECT_GT(statusAfter(messages[i], prefix), 0) << messages[i].toStdString();
    }
}

QAction* menuAction(MDIForm1& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { test::testApplication(); }
    ScratchDirectory dir_;
    ScriptedDialogs dialogs_;
};

TEST_F(MainWindowTest, StartsWithNoDataFilesAndReportsEachOpenInOrder) {
    MDIForm1 window(dialogs_);
    window.startUp();

    EXPECT_EQ(window.objectName(), QStringLiteral("MDIForm1"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Gravewind v0.95 revision 59"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(dialogs_.messages().size(), 10);
    expectOneMessagePerFile(dialogs_.messages(), "Form_Load", "BOPEN");
    // Files that failed to open leave their tables with no entries at all.
    EXPECT_TRUE(window.world()->raceNames().empty());
    EXPECT_TRUE(window.world()->classNames().empty());

    dialogs_.clear();
    menuAction(window, "mnuAbout2")->trigger();
    EXPECT_NE(window.subWindow(QStringLiteral("frmAbout")), nullptr);
    EXPECT_TRUE(dialogs_.messages().isEmpty());
}

TEST_F(MainWindowTest, MenuHasTheGameCaptionsNamesAndOrder) {
    MDIForm1 window(dialogs_);
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    struct Expected {
        const char* caption;
        const char* name;
    };
    const std::vector<std::pair<Expected, std::vector<Expected>>> expected{
        {{"Edit", "mnuEdit"},
         {{"Races", "mnuEditRace"},
          {"Classes", "mnuEditClass"},
          {"Spells", "mnuEditSpell"},
          {"Monsters", "mnuEditMonster"},
          {"Items", "mnuEditItems"},
          {"Shops", "mnuShop"},
          {"Rooms", "mnuRoom"},
          {"Messages", "mnuEditMessage"},
          {"Text Blocks", "mnuEditTextblock"},
          {"Users", "mnuEditUser"},
          {"Gangs", "mnuEditGang"},
          {"Actions", "mnuAction"}}},
        {{"About", "mnuAbout1"}, {{"Help (hopefully)", "mnuHelp"}, {"About", "mnuAbout2"}}},
    };
    for (std::size_t m = 0; m < expected.size(); ++m) {
        QMenu* menu = menus[static_cast<int>(m)]->menu();
        ASSERT_NE(menu, nullptr);
        SCOPED_TRACE(expected[m].first.name);
        EXPECT_EQ(menu->title(), QString::fromLatin1(expected[m].first.caption));
        EXPECT_EQ(menu->objectName(), QString::fromLatin1(expected[m].first.name));
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[m].second.size()));
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Expected& e = expected[m].second[static_cast<std::size_t>(i)];
            SCOPED_TRACE(e.name);
            EXPECT_EQ(items[i]->text(), QString::fromLatin1(e.caption));
            EXPECT_EQ(items[i]->objectName(), QString::fromLatin1(e.name));
            EXPECT_TRUE(items[i]->shortcut().isEmpty());
            EXPECT_TRUE(items[i]->isEnabled());
        }
    }
}

TEST_F(MainWindowTest, GangsActionsAndHelpDoNothing) {
    MDIForm1 window(dialogs_);
    window.startUp();
    dialogs_.clear();
    for (const char* name : {"mnuEditGang", "mnuAction", "mnuHelp"}) {
        SCOPED_TRACE(name);
        menuAction(window, name)->trigger();
        EXPECT_TRUE(window.mdiArea()->subWindowList().isEmpty());
        EXPECT_TRUE(dialogs_.messages().isEmpty());
    }
}

TEST_F(MainWindowTest, ChoosingAnOpenEditorBringsItForwardWithoutLoadingAgain) {
    MDIForm1 window(dialogs_);
    window.startUp();
    int made = 0;
    window.setWindowFactory(QStringLiteral("frmRace"), [&made](World&, QWidget* parent) {
        ++made;
        auto* w = new QWidget(parent);
        w->setWindowTitle(QStringLiteral("Race Editor"));
        return w;
    });

    menuAction(window, "mnuEditRace")->trigger();
    QMdiSubWindow* race = window.subWindow(QStringLiteral("frmRace"));
    ASSERT_NE(race, nullptr);
    EXPECT_EQ(race->widget()->objectName(), QStringLiteral("frmRace"));
    EXPECT_EQ(race->windowTitle(), QStringLiteral("Race Editor"));

    menuAction(window, "mnuAbout2")->trigger();
    EXPECT_EQ(window.mdiArea()->activeSubWindow(), window.subWindow(QStringLiteral("frmAbout")));

    menuAction(window, "mnuEditRace")->trigger();
    EXPECT_EQ(made, 1);
    EXPECT_EQ(window.subWindow(QStringLiteral("frmRace")), race);
    EXPECT_EQ(window.mdiArea()->activeSubWindow(), race);
    EXPECT_EQ(window.mdiArea()->subWindowList().size(), 2);

    // Once closed, the next choice loads it anew.
    race->close();
    ASSERT_TRUE(test::processEventsUntil(
        [&] { return window.subWindow(QStringLiteral("frmRace")) == nullptr; }));
    menuAction(window, "mnuEditRace")->trigger();
    EXPECT_EQ(made, 2);
}

TEST_F(MainWindowTest, WindowOpeningErrorHandler) {
    MDIForm1 window(dialogs_);
    window.startUp();
    struct Case {
        const char* name;
        std::function<void()> raise;
        QStringList shown;
    };
    const Case cases[] = {
        {"out of memory",
         [] { throw std::bad_alloc(); },
         {QStringLiteral("Out of memory : Can't open another database. Try closing one first.")}},
        {"index out of range", [] { throw std::out_of_range("slot 12"); }, {}},
        {"invalid value", [] { throw std::invalid_argument("bad value"); }, {}},
        {"anything else",
         [] { throw std::runtime_error("disk on fire"); },
         {QStringLiteral("Error: disk on fire")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs_.clear();
        window.setWindowFactory(QStringLiteral("frmClass"), [&c](World&, QWidget*) -> QWidget* {
            c.raise();
            return nullptr;
        });
        menuAction(window, "mnuEditClass")->trigger();
        EXPECT_EQ(dialogs_.messages(), c.shown);
        EXPECT_EQ(window.subWindow(QStringLiteral("frmClass")), nullptr);
    }
    // The program goes on: another window still opens.
    window.setWindowFactory(QStringLiteral("frmClass"),
                            [](World&, QWidget* parent) { return new QWidget(parent); });
    menuAction(window, "mnuEditClass")->trigger();
    EXPECT_NE(window.subWindow(QStringLiteral("frmClass")), nullptr);
}

TEST_F(MainWindowTest, AboutShowsTheVersionAndItsButtonClosesIt) {
    MDIForm1 window(dialogs_);
    window.startUp();
    menuAction(window, "mnuAbout2")->trigger();
    QMdiSubWindow* about = window.subWindow(QStringLiteral("frmAbout"));
    ASSERT_NE(about, nullptr);
    QWidget* form = about->widget();
    EXPECT_EQ(form->objectName(), QStringLiteral("frmAbout"));
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
              QStringLiteral("Gravewind 0.95 r 59"));
    for (const char* name : {"Label1_0", "Label1_5", "Label2_0", "Label2_1"})
        EXPECT_NE(form->findChild<QLabel*>(QString::fromLatin1(name)), nullptr) << name;
    auto* ok = form->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("N$ ok $M"));

    ok->click();
    EXPECT_TRUE(
        test::processEventsUntil([&] { return window.mdiArea()->subWindowList().isEmpty(); }));
    EXPECT_EQ(window.subWindow(QStringLiteral("frmAbout")), nullptr);
}

TEST_F(MainWindowTest, ShutdownClosesEditorsFirstThenReportsEachFailedClose) {
    auto window = std::make_unique<MDIForm1>(dialogs_);
    window->startUp();
    // An editor whose closing step leaves a mark among the messages.
    class Editor : public QWidget {
    public:
        explicit Editor(Dialogs& d) : dialogs_(d) {}
        void closeEvent(QCloseEvent* e) override {
            dialogs_.message(QStringLiteral("editor saved"));
            e->accept();
        }
        Dialogs& dialogs_;
    };
    window->setWindowFactory(QStringLiteral("frmMessage"),
                             [this](World&, QWidget*) { return new Editor(dialogs_); });
    menuAction(*window, "mnuEditMessage")->trigger();
    dialogs_.clear();

    EXPECT_TRUE(window->close());
    ASSERT_GE(dialogs_.messages().size(), 11);
    EXPECT_EQ(dialogs_.messages().front(), QStringLiteral("editor saved"));
    // No file was open, so every close fails and each is reported in the open order.
    expectOneMessagePerFile(dialogs_.messages().mid(1), "Form_Unload", "BCLOSE");
    for (const QString& m : dialogs_.messages().mid(11))
        EXPECT_GT(statusAfter(m, QStringLiteral("Form_Unload, BSTOP, Error: ")), 0);

    // Shutdown runs once: destroying the window afterwards reports nothing more.
    const auto count = dialogs_.messages().size();
    window.reset();
    EXPECT_EQ(dialogs_.messages().size(), count);
}

TEST_F(MainWindowTest, WithOnlyTheRaceFileMissingTheClassTableLoads) {
    if (!engineAvailable()) GTEST_SKIP() << "record manager not available";
    test::createAllDataFilesBut(RecordKind::Race);
    MDIForm1 window(dialogs_);
    window.startUp();
    // One open message; the empty Class file reports its first read with end of file.
    EXPECT_EQ(dialogs_.messages(),
              (QStringList{QStringLiteral("Form_Load, BOPEN, Race, Error: 30"),
                           QStringLiteral("LoadClassArray, BGETFIRST, Class, Error: 9")}));
    EXPECT_TRUE(window.world()->raceNames().empty());
    ASSERT_EQ(window.world()->classNames().size(), 1u);
    EXPECT_EQ(window.world()->classNames()[0].name, "None");

    dialogs_.clear();
    EXPECT_TRUE(window.close());
    // The race file never opened; its close is the only one that fails, and BSTOP succeeds.
    ASSERT_EQ(dialogs_.messages().size(), 1);
    EXPECT_GT(
        statusAfter(dialogs_.messages()[0], QStringLiteral("Form_Unload, BCLOSE, Race, Error: ")),
        0);
}

TEST_F(MainWindowTest, OpensEachEditorOnceAndClosesThemAll) {
    if (!engineAvailable()) GTEST_SKIP() << "record manager not available";
    for (RecordKind kind : allRecordKinds()) test::createEmptyDataFile(kind);
    MDIForm1 window(dialogs_);
    window.startUp();
    const std::pair<const char*, const char*> editors[] = {{"mnuEditRace", "frmRace"},
                                                           {"mnuEditClass", "frmClass"},
                                                           {"mnuEditMessage", "frmMessage"},
                                                           {"mnuEditTextblock", "frmTextblock"}};
    for (const auto& [item, name] : editors) {
        SCOPED_TRACE(name);
        menuAction(window, item)->trigger();
        menuAction(window, item)->trigger();
        QMdiSubWindow* sub = window.subWindow(QString::fromLatin1(name));
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->widget()->objectName(), QString::fromLatin1(name));
        EXPECT_FALSE(sub->windowTitle().isEmpty());
        EXPECT_EQ(window.mdiArea()->activeSubWindow(), sub);
    }
    EXPECT_EQ(window.mdiArea()->subWindowList().size(), 4);
    dialogs_.clear();
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(window.mdiArea()->subWindowList().isEmpty());
    // Every file opened, so every close succeeds.
    for (const QString& m : dialogs_.messages())
        EXPECT_FALSE(m.startsWith(QStringLiteral("Form_Unload"))) << m.toStdString();
}

TEST_F(MainWindowTest, RendersTheMainWindowAndAbout) {
    const bool withFiles = engineAvailable();
    if (withFiles)
        for (RecordKind kind : allRecordKinds()) test::createEmptyDataFile(kind);
    MDIForm1 window(dialogs_);
    window.startUp();
    window.resize(1280, 860);
    if (withFiles) {
        menuAction(window, "mnuEditRace")->trigger();
        if (QMdiSubWindow* race = window.subWindow(QStringLiteral("frmRace"))) race->move(300, 150);
    }
    menuAction(window, "mnuAbout2")->trigger();
    QMdiSubWindow* about = window.subWindow(QStringLiteral("frmAbout"));
    ASSERT_NE(about, nullptr);
    about->move(60, 40);
    test::processEventsUntil([] { return false; }, 20);

    const QString out = QStringLiteral(GRAVEWIND_TEST_OUTPUT_DIR);
    EXPECT_TRUE(window.grab().save(out + QStringLiteral("/MDIForm1.png")));
    EXPECT_TRUE(about->widget()->grab().save(out + QStringLiteral("/frmAbout.png")));
}

}  // namespace
}  // namespace gw
