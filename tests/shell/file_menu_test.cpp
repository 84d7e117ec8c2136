// The main window's File menu, title, status bar, remembered places and the manual.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTextBrowser>
#include <QTextDocument>
#include <fstream>

#include "gui_test.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/version.h"

namespace gw::test {
namespace {

class FileMenuTest : public GuiTest {
protected:
    // A small demo world in a folder of the scratch directory; its absolute path.
    QString demoWorld(const char* name) {
        std::filesystem::create_directory(dir / name);
        buildSmallWorld(dir / name);
        return QString::fromStdString((dir / name).string());
    }
    MDIForm1& startIn(const QString& folder) {
        QDir::setCurrent(folder);
        window = std::make_unique<MDIForm1>(dialogs);
        main().startUp();
        return main();
    }
    MDIForm1& main() { return static_cast<MDIForm1&>(*window); }
    void choose(const char* item) { child<QAction>(item)->trigger(); }
    std::string statusLine() { return child<QLabel>("lblFiles")->text().toStdString(); }
};

TEST_F(FileMenuTest, OpenWorldClosesAsShutdownDoesAndRecentWorldsLeadBack) {
    const QString a = demoWorld("a"), b = demoWorld("b");
    MDIForm1& m = startIn(a);
    EXPECT_EQ(statusLine(), "10 of 10 files open");

    SCOPED_TRACE(
        "a window that stays open keeps the world and the program; the chooser's Cancel "
        "does nothing");
    choose("mnuEditRace");
    type("txtName", "Kept open");
    dialogs.answerPrompts({b.toUtf8().constData(), ""});
    dialogs.answerWithCancel({Answer::Cancel, Answer::Cancel});
    choose("mnuFileOpen");
    choose("mnuFileOpen");
    EXPECT_FALSE(m.close());
    EXPECT_EQ(dialogs.prompts,
              (Strings{"Open World|" + a.toStdString(), "Open World|" + a.toStdString()}));
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(QDir::currentPath(), a);
    EXPECT_NE(m.subWindow(QStringLiteral("frmRace")), nullptr);
    EXPECT_TRUE(m.world()->file(RecordKind::Race).isOpen());

    SCOPED_TRACE(
        "the Race editor's edits discarded, the Message editor writes its own back before "
        "its file closes");
    choose("mnuEditMessage");
    type("txtMessageLine1", "Written as the world closed");
    dialogs.clear();
    dialogs.answerWithCancel({Answer::No});
    ASSERT_TRUE(m.openWorld(b));
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(said(), "");
    EXPECT_TRUE(m.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(QDir::currentPath(), b);
    EXPECT_EQ(m.windowTitle(), mainWindowCaption() + QStringLiteral(" - ") + b);
    EXPECT_TRUE(m.world()->file(RecordKind::Race).isOpen());

    SCOPED_TRACE("back through Recent Worlds: the edit is there");
    choose("mnuFileRecent_1");
    EXPECT_EQ(QDir::currentPath(), a);
    choose("mnuEditMessage");
    EXPECT_TRUE(text("txtMessageLine1").starts_with("Written as the world closed"));

    SCOPED_TRACE("a folder that is not there: a message, the world stays");
    dialogs.clear();
    EXPECT_FALSE(m.openWorld(b + QStringLiteral("/none")));
    EXPECT_EQ(said(), "There is no folder " + b.toStdString() + "/none.");
    EXPECT_EQ(QDir::currentPath(), a);
    EXPECT_NE(m.subWindow(QStringLiteral("frmMessage")), nullptr);

    SCOPED_TRACE("Recent Worlds keep the last five, each once, the latest first");
    const QString c = demoWorld("c"), d = demoWorld("d"), e = demoWorld("e"), f = demoWorld("f");
    for (const QString& world : {c, d, e, f, d}) m.openWorld(world);
    EXPECT_EQ(recentWorlds(), (QStringList{d, f, e, c, a}));
    auto* menu = child<QMenu>("mnuFileRecent");
    menu->aboutToShow();
    EXPECT_EQ(menu->actions().size(), kRecentWorldCount);
    EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("&1 ") + d);

    SCOPED_TRACE("a folder that is no longer there leaves the list");
    dialogs.clear();
    std::filesystem::remove_all(f.toStdString());
    choose("mnuFileRecent_1");
    EXPECT_EQ(said(), "The folder " + f.toStdString() +
                          " is no longer there; it leaves the list of recent worlds.");
    EXPECT_EQ(QDir::currentPath(), d);
    EXPECT_EQ(recentWorlds(), (QStringList{d, e, c, a}));

    SCOPED_TRACE("reopen the last world: off at first, then the front of the list if it is there");
    EXPECT_FALSE(child<QAction>("mnuFileReopen")->isChecked());
    EXPECT_EQ(worldToReopen(), QString());
    child<QAction>("mnuFileReopen")->trigger();
    EXPECT_EQ(worldToReopen(), d);
    std::filesystem::remove_all(d.toStdString());
    EXPECT_EQ(worldToReopen(), QString());

    SCOPED_TRACE("a folder where no file opens is not remembered");
    std::filesystem::create_directory(dir / "empty");
    m.openWorld(QString::fromStdString((dir / "empty").string()));
    EXPECT_EQ(recentWorlds().first(), d);
}

TEST_F(FileMenuTest, TheStatusBarTellsOpenReadOnlyMissingAndUnopenedFiles) {
    create({RecordKind::Race, RecordKind::Class, RecordKind::User}, false);
    std::filesystem::permissions("wccuser2.dat", std::filesystem::perms::owner_read);
    { std::ofstream("wccitem2.dat") << "not a data file"; }
    startIn(QDir::currentPath());
    EXPECT_EQ(statusLine(),
              "3 of 10 files open; read-only: wccuser2.dat; missing: wccspel2.dat, "
              "wccknms2.dat, wccshop2.dat, wccmp002.dat, wccmsg2.dat, wcctext2.dat; "
              "not opened: wccitem2.dat");
}

TEST_F(FileMenuTest, WindowPlacesComeBackOnTheNextRun) {
    const QString a = demoWorld("a");
    auto raceWindow = [this] {
        choose("mnuEditRace");
        return main().subWindow(QStringLiteral("frmRace"));
    };
    startIn(a).setGeometry(40, 50, 900, 700);
    raceWindow()->setGeometry(30, 20, 800, 560);
    const QRect mainPlace = main().geometry(), racePlace = raceWindow()->geometry();
    ASSERT_TRUE(main().close());
    EXPECT_EQ(startIn(a).geometry(), mainPlace);
    QMdiSubWindow* race = raceWindow();
    EXPECT_EQ(race->geometry(), racePlace);

    SCOPED_TRACE("a place too small for the window grows; one off the area moves to its corner");
    race->setGeometry(5000, 5000, 10, 10);
    race->close();
    race = raceWindow();
    EXPECT_EQ(race->pos(), QPoint(0, 0));
    EXPECT_TRUE(race->width() >= race->minimumSizeHint().width() &&
                race->height() >= race->minimumSizeHint().height());
}

TEST_F(FileMenuTest, HelpShowsTheManualFromTheProgramsResources) {
    MDIForm1& m = startIn(QDir::currentPath());
    choose("mnuHelp");
    auto* help = m.findChild<QTextBrowser*>(QStringLiteral("frmHelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible() && help->isWindow());
    EXPECT_EQ(help->source(), QUrl(QString::fromLatin1(kManualUrl)));
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("Editing while the game runs")));
    // Its pictures come from the resources too.
    EXPECT_FALSE(
        help->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("frmRace.png")))
            .isNull());
    choose("mnuHelp");
    EXPECT_EQ(m.findChildren<QTextBrowser*>().size(), 1);
    dialogs.clear();
    choose("mnuFileExit");
    EXPECT_FALSE(m.isVisible() || help->isVisible());
}

}  // namespace
}  // namespace gw::test
