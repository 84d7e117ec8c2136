// The main window, the Find window, "Used by", the name lookups and the command line.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <algorithm>
#include <set>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "records/item.h"
#include "records/monster.h"
#include "records/room.h"
#include "shell/history.h"
#include "shell/main_window.h"
#include "shell/name_lookups.h"
#include "shell/record_window.h"
#include "shell/used_by.h"
#include "world/reverse_index.h"

namespace gw::test {
namespace {

// "<what>, <type>, Error: <error>" for each of the ten files, in their order.
Strings onePerFile(const std::string& what, const std::string& error) {
    Strings out;
    for (RecordKind kind : allRecordKinds())
        out.push_back(what + ", " + std::string(recordType(kind).name()) + ", Error: " + error);
    return out;
}

class MainWindowTest : public GuiTest {
protected:
    ~MainWindowTest() override {
        if (borrowed) (void)window.release();
    }
    void choose(const char* item) {
        main.findChild<QAction*>(QString::fromLatin1(item))->trigger();
    }
    QMdiSubWindow* sub(const char* name) { return main.subWindow(QString::fromLatin1(name)); }
    // The main window's own `name` window as the window under test; it stays the main window's.
    void borrow(const char* name) {
        if (borrowed) (void)window.release();
        ASSERT_NE(sub(name), nullptr) << name;
        window.reset(sub(name)->widget());
        borrowed = true;
    }
    // The Used-by button's text once the index is ready.
    std::string usedBy() {
        auto* button = child<QPushButton>("cmdUsedBy");
        for (int i = 0; i < 100 && !button->isEnabled(); ++i) QApplication::processEvents();
        return button->text().toStdString();
    }
    std::unique_ptr<MDIForm1> owned = std::make_unique<MDIForm1>(dialogs);
    MDIForm1& main = *owned;
    bool borrowed = false;
};

// With no files at all every file's open and close is reported, once; every real window opens,
// steps and closes; nothing is written.
TEST_F(MainWindowTest, WithNoFilesEveryWindowOpensAndEveryOpenAndCloseIsReported) {
    main.startUp();
    EXPECT_EQ(dialogs.messages, onePerFile("Form_Load, BOPEN", "30 (file not found)"));
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
    EXPECT_EQ(dialogs.messages, onePerFile("Form_Unload, BCLOSE", "21 (file not open)"));
    owned.reset();  // shutdown ran once: destroying the window reports nothing more
    EXPECT_EQ(dialogs.messages.size(), 10u);
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::current_path()));
}

TEST_F(MainWindowTest, MenusAndTheWindowsTheyOpen) {
    // The File menu comes first; the menus after it keep their captions, names and order.
    // Undo and Redo are off until the editor has written something.
    const Strings expected[] = {
        {"Edit mnuEdit", "Races mnuEditRace", "Classes mnuEditClass", "Spells mnuEditSpell",
         "Monsters mnuEditMonster", "Items mnuEditItems", "Shops mnuShop", "Rooms mnuRoom",
         "World Map mnuWorldMap", "Messages mnuEditMessage", "Text Blocks mnuEditTextblock",
         "Users mnuEditUser", "Gangs mnuEditGang", "Actions mnuAction",
         "Find\u2026 mnuEditFind Ctrl+F", "Undo mnuEditUndo Ctrl+Z off",
         "Redo mnuEditRedo Ctrl+Shift+Z; Ctrl+Y off", "History mnuEditHistory"},
        {"About mnuAbout1", "Help (hopefully) mnuHelp", "About mnuAbout2"}};
    const QList<QAction*> menus = main.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->menu()->objectName(), QStringLiteral("mnuFile"));
    for (int m = 0; m < 2; ++m) {
        QMenu* menu = menus[m + 1]->menu();
        Strings shown{(menu->title() + u' ' + menu->objectName()).toStdString()};
        for (QAction* a : menu->actions()) {
            QString entry = a->text() + u' ' + a->objectName();
            if (!a->shortcuts().isEmpty())
                entry += u' ' + QKeySequence::listToString(a->shortcuts());
            if (!a->isEnabled()) entry += QStringLiteral(" off");
            if (!a->isSeparator()) shown.push_back(entry.toStdString());
        }
        EXPECT_EQ(shown, expected[m]);
    }
    main.startUp();
    dialogs.clear();
    for (const char* name : {"mnuEditGang", "mnuAction"}) choose(name);
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("a second choice brings the window forward");
    int made = 0;
    main.setWindowFactory(QStringLiteral("frmRace"), [&made](World&, QWidget* parent) {
        ++made;
        return new QWidget(parent);
    });
    choose("mnuEditRace");
    QMdiSubWindow* race = sub("frmRace");
    ASSERT_NE(race, nullptr);
    choose("mnuAbout2");
    EXPECT_EQ(main.mdiArea()->activeSubWindow(), sub("frmAbout"));
    choose("mnuEditRace");
    EXPECT_EQ(made, 1);
    EXPECT_EQ(main.mdiArea()->activeSubWindow(), race);
    race->close();  // once closed, the next choice makes it anew
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(sub("frmRace"), nullptr);
    choose("mnuEditRace");
    EXPECT_EQ(made, 2);

    SCOPED_TRACE("the window-opening error handler");
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

// The Find window and a navigator's "Used by" list over a small demo world: results stream in
// from the search thread, the options reach the search, and a double-click in either list
// opens the record in its own window.
TEST_F(MainWindowTest, FindAndUsedByListsOpenTheirRecordsInTheirOwnWindows) {
    buildSmallWorld();
    // An item and a room that name the word, in a catalogue and in a navigator.
    for (RecordKind kind : {RecordKind::Item, RecordKind::Room})
        ASSERT_EQ(world.file(kind).open(""), status::kSuccess);
    put(RecordKind::Item, [](RecordFile& f) {
        f.as<Item>() = renamed(Item{}, "Vorpal Qzark");
        f.as<Item>().Number = 90001;
    });
    put(RecordKind::Room, [](RecordFile& f) {
        f.as<Room>().MapNumber = 9001;
        f.as<Room>().RoomNumber = 7;
        setField(f.as<Room>().Desc[0], zeroEnded("a qzark sleeps", 71));
    });
    main.startUp();
    EXPECT_TRUE(main.world()->raceNames().size() > 1 && main.world()->classNames().size() > 1);
    choose("mnuEditFind");
    borrow("frmFind");
    // Runs a search to its end and gives "Type|Key|Name|Field|Text" per result.
    auto* results = child<QTreeWidget>("lstResults");
    auto search = [&](const char* text) {
        type("txtFind", text);
        click("cmdFind");
        while (!child<QPushButton>("cmdFind")->isEnabled()) QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        Strings rows;
        for (int i = 0; i < results->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < results->columnCount(); ++c)
                cells << results->topLevelItem(i)->text(c);
            rows.push_back(cells.join(u'|').toStdString());
        }
        return rows;
    };
    EXPECT_EQ(search("QZARK"), (Strings{"Item|90001|Vorpal Qzark|Name|Vorpal Qzark",
                                        "Room|9001:7||Desc(1)|a qzark sleeps"}));
    EXPECT_EQ(child<QLabel>("lblStatus")->text().toStdString().find("2 found in"), 0u);
    // A double-click opens the record in its window: a navigator here, a catalogue from the
    // Used-by list below.
    emit results->itemActivated(results->topLevelItem(1), 0);
    ASSERT_NE(sub("frmRoom"), nullptr);
    EXPECT_EQ(sub("frmRoom")->widget()->findChild<QLineEdit*>(QStringLiteral("txtRoom"))->text(),
              QStringLiteral("7"));
    child<QCheckBox>("chkMatchCase")->setChecked(true);
    EXPECT_EQ(search("qzark"), Strings{"Room|9001:7||Desc(1)|a qzark sleeps"});
    child<QCheckBox>("chkMatchCase")->setChecked(false);
    child<QCheckBox>("chkType_Room")->setChecked(false);
    EXPECT_EQ(search("qzark"), Strings{"Item|90001|Vorpal Qzark|Name|Vorpal Qzark"});

    SCOPED_TRACE("a navigator counts and lists what names its record; a double-click opens");
    // Text block 1 of the small demo world is named by a class, three monsters and a room.
    choose("mnuEditTextblock");
    borrow("frmTextblock");
    EXPECT_EQ(usedBy(), "Used by 5");
    // The list: one line per field, each naming its record.
    click("cmdUsedBy");
    auto* tree = main.findChild<QTreeWidget*>(QStringLiteral("lstUsedBy"));
    ASSERT_NE(tree, nullptr);
    std::set<std::string> listed;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree->topLevelItem(i);
        listed.insert((item->text(0) + u' ' + item->text(1)).toStdString());
        EXPECT_FALSE(item->text(3).isEmpty());
    }
    EXPECT_EQ(listed, (std::set<std::string>{"Class 2", "Monster 1", "Monster 3", "Monster 8",
                                             "Room 1:10"}));
    QTreeWidgetItem* first = tree->topLevelItem(0);
    ASSERT_EQ(first->text(0), QStringLiteral("Class"));  // a catalogue
    emit tree->itemDoubleClicked(first, 0);
    ASSERT_NE(sub("frmClass"), nullptr);
    // The window's file holds the record it shows.
    const RecordFile& classes = main.world()->file(RecordKind::Class);
    EXPECT_EQ(recordTitle(RecordKind::Class, recordKeyOf(classes.type(), classes.record())),
              QStringLiteral("Class ") + first->text(1));
    EXPECT_EQ(said(), "");
    EXPECT_TRUE(main.close());
}

// "Used by" and Renumber in a catalogue over a small demo world: the count beside the record
// on screen, the delete question that names the referring records, the index kept current by
// the editor's writes and by others', and a renumber that rewrites every namer as one history
// entry.
TEST_F(MainWindowTest, CatalogueCountsAsksBeforeDeletingWhatOthersNameAndRenumbers) {
    buildSmallWorld();
    for (RecordKind kind : allRecordKinds()) ASSERT_EQ(world.file(kind).open(""), 0);
    open(createItemEditor);
    EXPECT_EQ(usedBy(), "Used by 5");  // two shops, a monster and two players
    const std::string name = text("txtName");
    const std::string title = "Item 1 \"" + name + "\"";

    SCOPED_TRACE("No to the question that names them deletes nothing");
    dialogs.answerQuestions({false});
    click("cmdDelete");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    const std::string& asked = dialogs.questions.back();
    EXPECT_TRUE(asked.starts_with(title + " is used by 5 records (") &&
                asked.ends_with("). Delete it anyway?|Delete Record?"))
        << asked;

    SCOPED_TRACE("a monster naming item 1 added behind the editor's back");
    put(RecordKind::Monster, [](RecordFile& f) {
        f.as<Monster>().Number = 9001;
        f.as<Monster>().WeaponNumber = 1;
    });
    world.forgetReferencesIfChangedElsewhere();
    dynamic_cast<gw::RecordWindow*>(window.get())->showChangesMadeElsewhere();
    EXPECT_EQ(usedBy(), "Used by 6");

    SCOPED_TRACE("a copy nothing names: the plain question; what it names counted, then not");
    RecordKey class4;  // item 1 is for classes 4 and 1, and so is its copy
    class4.number = 4;
    const std::size_t referrers = world.references().referringRecords(RecordKind::Class, class4);
    dialogs.answerPrompts({"990"});
    click("cmdInsert");
    select(static_cast<int>(std::ranges::count(list(), '\n')));  // the last: the copy
    ASSERT_EQ(text("txtNumber"), "990");
    EXPECT_EQ(usedBy(), "Used by 0");
    EXPECT_EQ(world.references().referringRecords(RecordKind::Class, class4), referrers + 1);
    dialogs.clear();
    dialogs.answerQuestions({true});
    click("cmdDelete");
    EXPECT_EQ(joined(dialogs.questions), "Delete this record from database?|Delete Record?");
    EXPECT_EQ(world.references().referringRecords(RecordKind::Class, class4), referrers);

    SCOPED_TRACE("renumber refused by the library, or cancelled, writes nothing");
    select(0);
    ASSERT_EQ(text("txtNumber"), "1");
    auto everything = [&] {
        std::vector<std::vector<Row>> rows;
        for (RecordKind kind : allRecordKinds()) rows.push_back(all(kind));
        return rows;
    };
    const auto before = everything();
    // Renumber with this answer to the prompt and these to the questions.
    auto renumber = [&](const char* answer, std::initializer_list<bool> yes) {
        dialogs.clear();
        dialogs.answerPrompts({answer});
        dialogs.answerQuestions(yes);
        click("cmdRenumber");
    };
    for (const auto& [answer, refusal] :
         {std::pair<const char*, std::string>{"2", title + " was not renumbered: Item 2 exists "
                                                           "already."},
          {"", ""}}) {  // cancelled
        SCOPED_TRACE(answer);
        renumber(answer, {});
        EXPECT_EQ(said(), refusal);
        EXPECT_EQ(everything(), before);
    }
    {
        SCOPED_TRACE("No to the list of changes, then another program holding a file");
        renumber("995", {false});
        ASSERT_EQ(dialogs.questions.size(), 1u);
        EXPECT_NE(dialogs.questions[0].find("wccitem2.dat  Item 1  Number  1 -> 995"),
                  std::string::npos)
            << dialogs.questions[0];
        RecordFile other(recordType(RecordKind::Item));
        ASSERT_EQ(other.open(""), status::kSuccess);
        ASSERT_EQ(beginTransaction(other.positionBlock()), status::kSuccess);
        ASSERT_EQ(other.call(BGETFIRST, ""), status::kSuccess);
        other.as<Item>().Number = 9001;
        ASSERT_EQ(other.call(BINSERT, ""), status::kSuccess);
        renumber("995", {true});
        EXPECT_NE(said().find("; nothing was written."), std::string::npos) << said();
        endTransaction(other.positionBlock(), false);
        other.close("");
        EXPECT_EQ(everything(), before);
    }

    SCOPED_TRACE("renumbered: the record shown anew, the list rebuilt, every namer rewritten");
    renumber("995", {true});
    EXPECT_EQ(said(), "");
    EXPECT_TRUE(dialogs.prompts.at(0).starts_with("New number for " + title +
                                                  " (1 to 2147483647):|Renumber|"))
        << dialogs.prompts.at(0);
    EXPECT_EQ(texts({"txtNumber", "txtName"}), "995 " + name);
    EXPECT_NE(list().find("995   " + name), std::string::npos);
    EXPECT_EQ(usedBy(), "Used by 6");
    const auto renumbered = everything();

    SCOPED_TRACE("one history entry: taken back in every file at once, then done again");
    QUndoStack& history = world.history().stack();
    EXPECT_EQ(history.undoText().toStdString(), "renumber of " + title + " to 995");
    history.undo();
    EXPECT_EQ(said(), "");
    EXPECT_EQ(everything(), before);
    EXPECT_NE(list().find("1   " + name), std::string::npos);
    history.redo();
    EXPECT_EQ(everything(), renumbered);
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
    EXPECT_EQ(
        QStringList({GetItemName(world, 0), GetSpellName(world, 0), GetMessageName(world, 0, 1)})
            .join(u' '),
        QStringLiteral("none none none"));

    EXPECT_EQ(GetItemName(world, 3).toStdString(), padded("Rope", 29));  // untrimmed
    EXPECT_EQ(GetSpellName(world, 5), QString());
    EXPECT_EQ(GetMessageName(world, 5, 2), QString());
    EXPECT_EQ(said(),
              "Function GetSpellName, BGETEQUAL, Error: 4 (no record has this key)\n"
              "Function GetMessageName, BGETEQUAL, Error: 4 (no record has this key)");
    dialogs.clear();

    auto raceTable = [&] {
        LoadRaceArray(world);
        Strings names;
        for (const auto& entry : world.raceNames())
            names.push_back(std::to_string(entry.number) + ":" + entry.name);
        return names;
    };
    SCOPED_TRACE("an empty race file: the table holds None alone");
    EXPECT_EQ(raceTable(), Strings{"0:None"});
    EXPECT_EQ(said(), "LoadRaceArray, BGETFIRST, Race, Error: 9 (end or beginning of file)");
    dialogs.clear();

    SCOPED_TRACE("the race table has an entry per number up to the highest");
    for (auto [n, name] : {std::pair{1, "Human"}, {2, "Elf"}, {5, "Troll"}})
        named<Race>(*this, RecordKind::Race, n, name);
    EXPECT_EQ(raceTable(), (Strings{"0:None", "1:" + padded("Human", 29), "2:" + padded("Elf", 29),
                                    "0:", "0:", "5:" + padded("Troll", 29)}));

    SCOPED_TRACE("race 0 replaces None, negative numbers are skipped");
    named<Race>(*this, RecordKind::Race, -4, "Shade");
    named<Race>(*this, RecordKind::Race, 0, "Nobody");
    const Strings table = raceTable();
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[0], "0:" + padded("Nobody", 29));
    EXPECT_EQ(said(), "");
}

TEST(CommandLine, AnswersWithoutOpeningAWindow) {
    testApplication();
    qputenv("ASAN_OPTIONS", "detect_leaks=0");  // the program's Qt keeps lifetime allocations
    const std::tuple<QStringList, int, const char*, const char*> cases[] = {
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
