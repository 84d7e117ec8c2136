// The main window, the name lookups and the command line.
#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <map>

#include "gui_test.h"
#include "records/item.h"
#include "records/message.h"
#include "shell/main_window.h"
#include "shell/name_lookups.h"
#include "tools/data/demo_world.h"

namespace gw::test {
namespace {

// Each of `messages` is "<procedure>, <operation>, <type>, Error: <status above 0>", in the
// order of the ten files.
void expectOnePerFile(const Strings& messages, const std::string& procedureAndOperation) {
    const char* const types[] = {"Race", "Class", "Spell",   "Monster",   "Item",
                                 "Shop", "Room",  "Message", "Textblock", "User"};
    ASSERT_GE(messages.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const std::string prefix = procedureAndOperation + ", " + types[i] + ", Error: ";
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

TEST_F(MainWindowTest, WithNoFilesEveryOpenAndCloseIsReportedAfterTheEditorsClosingStep) {
    main.startUp();
    EXPECT_EQ(dialogs.messages.size(), 10u);
    expectOnePerFile(dialogs.messages, "Form_Load, BOPEN");
    EXPECT_TRUE(main.world()->raceNames().empty() && main.world()->classNames().empty());
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
    const std::size_t count = dialogs.messages.size();
    owned.reset();  // shutdown ran once: destroying the window reports nothing more
    EXPECT_EQ(dialogs.messages.size(), count);
}

// Every real window over a world whose files are all missing: each reports what it could not
// read, none crashes, none writes a file, and the program still closes.
TEST_F(MainWindowTest, EveryWindowOpensAndClosesWithNoFilesAtAll) {
    main.startUp();
    for (const char* item :
         {"mnuEditRace", "mnuEditClass", "mnuEditSpell", "mnuEditMonster", "mnuEditItems",
          "mnuShop", "mnuRoom", "mnuEditMessage", "mnuEditTextblock", "mnuEditUser"}) {
        SCOPED_TRACE(item);
        dialogs.clear();
        choose(item);
        QMdiSubWindow* shown = main.mdiArea()->activeSubWindow();
        ASSERT_NE(shown, nullptr);
        QCoreApplication::processEvents();
        if (auto* next = shown->widget()->findChild<QPushButton*>(QStringLiteral("cmdNext")))
            next->click();
        EXPECT_FALSE(dialogs.messages.empty());
    }
    dialogs.clear();
    EXPECT_TRUE(main.close());
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::current_path()));
}

TEST_F(MainWindowTest, WithOnlyTheRaceFileMissingTheClassTableLoads) {
    for (RecordKind kind : allRecordKinds())
        if (kind != RecordKind::Race) create({kind}, false);
    main.startUp();
    EXPECT_EQ(said(),
              "Form_Load, BOPEN, Race, Error: 30 (file not found)\nLoadClassArray, BGETFIRST, "
              "Class, Error: 9 (end or beginning of file)");
    EXPECT_TRUE(main.world()->raceNames().empty());
    ASSERT_EQ(main.world()->classNames().size(), 1u);
    EXPECT_EQ(main.world()->classNames()[0].name, "None");
}

TEST_F(MainWindowTest, MenuCaptionsNamesAndOrderAndTheItemsThatDoNothing) {
    // The File menu comes first; the menus after it keep their captions, names and order.
    const Strings expected[] = {
        {"Edit mnuEdit", "Races mnuEditRace", "Classes mnuEditClass", "Spells mnuEditSpell",
         "Monsters mnuEditMonster", "Items mnuEditItems", "Shops mnuShop", "Rooms mnuRoom",
         "World Map mnuWorldMap", "Messages mnuEditMessage", "Text Blocks mnuEditTextblock",
         "Users mnuEditUser", "Gangs mnuEditGang", "Actions mnuAction", "Find\u2026 mnuEditFind",
         "Undo mnuEditUndo", "Redo mnuEditRedo", "History mnuEditHistory"},
        {"About mnuAbout1", "Help (hopefully) mnuHelp", "About mnuAbout2"}};
    // Undo and Redo have nothing to do until the editor has written something.
    const std::map<QString, QList<QKeySequence>> keys = {
        {QStringLiteral("mnuEditFind"), {QKeySequence::Find}},
        {QStringLiteral("mnuEditUndo"), {QKeySequence(QStringLiteral("Ctrl+Z"))}},
        {QStringLiteral("mnuEditRedo"),
         {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))}}};
    const QList<QAction*> menus = main.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->menu()->objectName(), QStringLiteral("mnuFile"));
    for (int m = 0; m < 2; ++m) {
        QMenu* menu = menus[m + 1]->menu();
        Strings shown{(menu->title() + u' ' + menu->objectName()).toStdString()};
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            shown.push_back((a->text() + u' ' + a->objectName()).toStdString());
            const auto key = keys.find(a->objectName());
            EXPECT_EQ(a->shortcuts(), key == keys.end() ? QList<QKeySequence>() : key->second)
                << shown.back();
            EXPECT_EQ(a->isEnabled(), key == keys.end() || key->first == u"mnuEditFind")
                << shown.back();
        }
        EXPECT_EQ(shown, expected[m]);
    }
    for (const char* name : {"mnuEditGang", "mnuAction"}) choose(name);
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(said(), "");
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
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(sub("frmRace"), nullptr);
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

std::string padded(std::string s, std::size_t width) { return s.append(width - s.size(), ' '); }

template <class Rec>
void named(GuiTest& t, RecordKind kind, std::int32_t n, std::string_view name) {
    t.put(kind, [&](RecordFile& f) {
        f.as<Rec>().Number = static_cast<decltype(Rec::Number)>(n);
        setField(f.as<Rec>().Name, name);
    });
}
using NameLookupsTest = GuiTest;

TEST_F(NameLookupsTest, FoundMissingNumberZeroAndTheRaceTable) {
    create({RecordKind::Race, RecordKind::Spell, RecordKind::Item, RecordKind::Message});
    named<Item>(*this, RecordKind::Item, 3, "Rope");
    named<Item>(*this, RecordKind::Item, 8, "Lamp");
    put(RecordKind::Message, [](RecordFile& f) {
        f.as<Message>().Number = 300;
        setField(f.as<Message>().MessageLine3, "third");
    });
    RecordFile& items = world.file(RecordKind::Item);
    ASSERT_EQ(items.getEqual32(3, "get: "), status::kSuccess);
    EXPECT_EQ(
        QStringList({GetItemName(world, 0), GetSpellName(world, 0), GetMessageName(world, 0, 1)})
            .join(u' '),
        QStringLiteral("none none none"));
    ASSERT_EQ(items.call(BGETNEXT, "next: "), status::kSuccess);  // no read moved it
    EXPECT_EQ(items.as<Item>().Number, 8);

    EXPECT_EQ(GetItemName(world, 3).toStdString(), padded("Rope", 29));  // untrimmed
    EXPECT_EQ(GetMessageName(world, 300, 3).toStdString(), padded("third", 74));
    EXPECT_EQ(GetMessageName(world, 300, 4), QString());
    EXPECT_EQ(GetItemName(world, 5), QStringLiteral("ITEM NOT IN DATABASE!"));
    EXPECT_EQ(said(), "");
    EXPECT_EQ(GetSpellName(world, 5), QString());
    EXPECT_EQ(GetMessageName(world, 5, 2), QString());
    EXPECT_EQ(said(),
              "Function GetSpellName, BGETEQUAL, Error: 4 (no record has this key)\n"
              "Function GetMessageName, BGETEQUAL, Error: 4 (no record has this key)");
    dialogs.clear();

    SCOPED_TRACE("the race table has an entry per number up to the highest");
    for (auto [n, name] : {std::pair{1, "Human"}, {2, "Elf"}, {5, "Troll"}})
        named<Race>(*this, RecordKind::Race, n, name);
    LoadRaceArray(world);
    Strings names;
    for (const auto& entry : world.raceNames())
        names.push_back(std::to_string(entry.number) + ":" + entry.name);
    EXPECT_EQ(names, (Strings{"0:None", "1:" + padded("Human", 29), "2:" + padded("Elf", 29),
                              "0:", "0:", "5:" + padded("Troll", 29)}));

    SCOPED_TRACE("race 0 replaces None, negative numbers are skipped");
    named<Race>(*this, RecordKind::Race, -4, "Shade");
    named<Race>(*this, RecordKind::Race, 0, "Nobody");
    LoadRaceArray(world);
    ASSERT_EQ(world.raceNames().size(), 6u);
    EXPECT_EQ(world.raceNames()[0].name, padded("Nobody", 29));
    EXPECT_EQ(said(), "");
}

TEST(CommandLine, AnswersWithoutOpeningAWindow) {
    testApplication();
    qputenv("ASAN_OPTIONS", "detect_leaks=0");  // the program's Qt keeps lifetime allocations
    const std::tuple<QStringList, int, const char*, const char*> cases[] = {
        {{QStringLiteral("--version")}, 0, "gravewind 0.95.59\n", ""},
        {{QStringLiteral("--help")}, 0, "Usage: gravewind", ""},
        {{QStringLiteral("/nonexistent/gw")}, 2, "", "cannot change into /nonexistent/gw"},
        {{QStringLiteral("a"), QStringLiteral("b")}, 2, "", "Usage: gravewind"},
    };
    for (const auto& [args, exitCode, out, err] : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        QProcess p;
        p.start(QStringLiteral(GRAVEWIND_BINARY), args);
        ASSERT_TRUE(p.waitForFinished(-1));
        EXPECT_EQ(p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, exitCode);
        const std::string stdOut = p.readAllStandardOutput().toStdString();
        EXPECT_TRUE(stdOut.starts_with(out) && (*out || stdOut.empty())) << stdOut;
        EXPECT_NE(p.readAllStandardError().toStdString().find(err), std::string::npos);
    }
}

}  // namespace
}  // namespace gw::test
