// Editing while another program (the game) writes the same files: a save that fails keeps the
// operator's edits if asked to, and a save over a record changed elsewhere writes only what
// the operator edited. Shown through one catalogue window (frmRace) and one navigator
// (frmMessage); both engines carry it to every other window.
#include <sched.h>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"
#include "shell/history.h"
#include "shell/main_window.h"
#include "shell/record_window.h"
#include "shell/shown_record.h"
#include "tools/data/demo_world.h"

namespace gw::test {
namespace {

constexpr auto kRace = RecordKind::Race;
constexpr auto kMessage = RecordKind::Message;

// The game: its own connection to the file, its own position.
class OtherProgram {
public:
    explicit OtherProgram(RecordKind kind) : file_(recordType(kind)) {
        EXPECT_EQ(file_.open("other: "), status::kSuccess);
    }
    ~OtherProgram() { file_.close("other: "); }
    template <class Rec>
    void change(std::int32_t number, const std::function<void(Rec&)>& edit) {
        ASSERT_EQ(file_.getEqual32(number, "other: "), status::kSuccess);
        edit(file_.as<Rec>());
        ASSERT_EQ(file_.call(BUPDATE, "other: "), status::kSuccess);
    }
    void remove(std::int32_t number) {
        ASSERT_EQ(file_.getEqual32(number, "other: "), status::kSuccess);
        ASSERT_EQ(file_.call(BDELETE, "other: "), status::kSuccess);
    }

private:
    RecordFile file_;
};

// A write lock held by another connection: reads go on, every write is refused as locked.
// With `reads` false, reads are refused too.
class WriteLock {
public:
    explicit WriteLock(RecordKind kind, bool reads = true) {
        const std::string name(recordType(kind).fileName());
        EXPECT_EQ(sqlite3_open(name.c_str(), &db_), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db_, reads ? "BEGIN IMMEDIATE" : "BEGIN EXCLUSIVE", nullptr, nullptr,
                               nullptr),
                  SQLITE_OK);
    }
    ~WriteLock() { release(); }
    void release() {
        if (!db_) return;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
        db_ = nullptr;
    }

private:
    sqlite3* db_ = nullptr;
};

const char* kKeepQuestion =
    "The record on screen could not be saved, and your edits would be lost.\nDiscard the "
    "edits and go on?|Save Failed";

class OtherWritersTest : public GuiTest {
protected:
    void openRaces() {
        create({kRace});
        for (std::int16_t n : {1, 2}) add(kRace, makeRace(n, n == 1 ? "Elf" : "Dwarf"));
        open(createRaceEditor);
    }
    void openMessages() {
        create({kMessage});
        for (std::int32_t n : {1, 2})
            put(kMessage, [n](RecordFile& f) {
                f.as<Message>().Number = n;
                setField(f.as<Message>().MessageLine1, std::string("line one\0", 9));
                setField(f.as<Message>().MessageLine2, std::string("line two\0", 9));
            });
        open(createMessageEditor);
    }
    Race race(std::int16_t n) {
        RecordFile& f = world.file(kRace);
        EXPECT_EQ(f.getEqual32(n, ""), status::kSuccess);
        return f.as<Race>();
    }
    Message message(std::int32_t n) {
        RecordFile& f = world.file(kMessage);
        EXPECT_EQ(f.getEqual32(n, ""), status::kSuccess);
        return f.as<Message>();
    }
    static std::string shown(const auto& field) {
        std::string s(field.begin(), field.end());
        return s.substr(0, s.find('\0'));
    }
    // The program over the files the test made (every other file empty), with the window of
    // menu item `item` open.
    QMdiSubWindow* openInProgram(MDIForm1& main, RecordKind kind, const char* item) {
        window.reset();
        world.file(kind).close("");
        for (RecordKind other : allRecordKinds())
            if (other != kind) create({other}, false);
        main.startUp();
        dialogs.clear();
        main.findChild<QAction*>(QString::fromLatin1(item))->trigger();
        QCoreApplication::processEvents();
        return main.mdiArea()->activeSubWindow();
    }
    bool closeWindow() {
        QCloseEvent event;
        QCoreApplication::sendEvent(window.get(), &event);
        return event.isAccepted();
    }
};

TEST_F(OtherWritersTest, CatalogueSaveKeepsTheOtherProgramsChanges) {
    openRaces();
    OtherProgram game(kRace);
    {
        SCOPED_TRACE("no edits: nothing of the screen is written");
        game.change<Race>(1, [](Race& r) { r.MinCharm = 999; });
        select(1);
        EXPECT_EQ(stored(kRace, 1), rowOf(kRace, [] {
                      Race r = makeRace(1, "Elf");
                      r.MinCharm = 999;
                      return r;
                  }()));
        EXPECT_EQ(said(), "");
    }
    {
        SCOPED_TRACE("an edit to another field: both survive, nothing to report");
        type("txtName", "Hill Dwarf");
        game.change<Race>(2, [](Race& r) { r.MaxStrength = 77, r.AbilityB[9] = 5; });
        select(0);
        const Race r = race(2);
        EXPECT_EQ(shown(r.Name), "Hill Dwarf");
        EXPECT_EQ(r.MaxStrength, 77);
        EXPECT_EQ(r.AbilityB[9], 5);
        EXPECT_EQ(said(), "");
    }
    {
        SCOPED_TRACE("the same field: the operator's value wins and the field is named");
        type("txtMaxCharm", "50");
        type("txtAbilityB_3", "-4");
        game.change<Race>(1, [](Race& r) { r.MaxCharm = 12, r.AbilityB[3] = 8, r.Cp = 3; });
        select(1);
        const Race r = race(1);
        EXPECT_EQ(r.MaxCharm, 50);
        EXPECT_EQ(r.AbilityB[3], -4);
        EXPECT_EQ(r.Cp, 3);
        EXPECT_EQ(said(),
                  "Another program changed this record while it was on screen. Your edits were "
                  "saved over its changes to: MaxCharm, AbilityB(3).");
    }
    {
        SCOPED_TRACE("an active window shows the other change, unless it holds edits");
        dialogs.clear();
        auto& recordWindow = dynamic_cast<RecordWindow&>(*window);
        game.change<Race>(2, [](Race& r) { r.Cp = 41; });
        recordWindow.showChangesMadeElsewhere();
        EXPECT_EQ(text("txtCp"), "41");
        type("txtCp", "7");
        game.change<Race>(2, [](Race& r) { r.Cp = 42, r.HpBonus = 9; });
        recordWindow.showChangesMadeElsewhere();
        EXPECT_EQ(texts({"txtCp", "txtHpBonus"}), "7 " + std::to_string(makeRace(2, "").HpBonus));
        select(0);
        EXPECT_EQ(race(2).Cp, 7);
        EXPECT_EQ(race(2).HpBonus, 9);
        EXPECT_EQ(said(),
                  "Another program changed this record while it was on screen. Your "
                  "edits were saved over its changes to: Cp.");
    }
}

TEST_F(OtherWritersTest, CatalogueFailedSaveAsksBeforeEditsAreLost) {
    openRaces();
    const Row before = stored(kRace, 1);
    WriteLock lock(kRace);
    select(1);
    {
        SCOPED_TRACE("with edits, No: the window stays on the record with its edits");
        type("txtName", "Mountain Dwarf");
        dialogs.answerQuestions({false});
        select(0);
        EXPECT_EQ(said(), "SaveRecord, Error: 36 (data file is locked by another program)");
        EXPECT_EQ(joined(dialogs.questions), kKeepQuestion);
        EXPECT_EQ(current(), 1);
        EXPECT_EQ(text("txtName"), "Mountain Dwarf");
    }
    lock.release();
    {
        SCOPED_TRACE("the lock gone, the next move saves them");
        dialogs.clear();
        select(0);
        EXPECT_EQ(shown(race(2).Name), "Mountain Dwarf");
        EXPECT_EQ(said(), "");
        EXPECT_EQ(stored(kRace, 1), before);
    }
}

TEST_F(OtherWritersTest, NavigatorSaveKeepsTheOtherProgramsChanges) {
    openMessages();
    OtherProgram game(kMessage);
    auto line = [](const char* text) { return std::string(text) + '\0'; };
    {
        SCOPED_TRACE("the same field: the operator's wins, the game's other field stays");
        type("txtMessageLine3", "mine");
        game.change<Message>(
            1, [&](Message& m) { setField(m.MessageLine3, line("theirs")), m.Line1Extra[2] = 6; });
        click("cmdNext");
        EXPECT_EQ(shown(message(1).MessageLine3), "mine");
        EXPECT_EQ(message(1).Line1Extra[2], 6);
        EXPECT_EQ(said(),
                  "Another program changed this record while it was on screen. Your "
                  "edits were saved over its changes to: MessageLine3.");
    }
    {
        SCOPED_TRACE("an active window shows the other change");
        dialogs.clear();
        game.change<Message>(2, [&](Message& m) { setField(m.MessageLine1, line("fresh")); });
        dynamic_cast<RecordWindow&>(*window).showChangesMadeElsewhere();
        EXPECT_EQ(text("txtMessageLine1"), "fresh");
    }
    {
        SCOPED_TRACE("a file the game holds against reading: the look says nothing");
        WriteLock lock(kMessage, /*reads=*/false);
        dynamic_cast<RecordWindow&>(*window).showChangesMadeElsewhere();
        EXPECT_EQ(text("txtMessageLine1"), "fresh");
        EXPECT_EQ(said(), "");
    }
}

TEST_F(OtherWritersTest, NavigatorKeepsEditsThroughAFailedMoveAndClose) {
    openMessages();
    auto lock = std::make_unique<WriteLock>(kMessage);
    type("txtMessageLine2", "kept");
    dialogs.answerQuestions({false, false});
    click("cmdNext");
    EXPECT_EQ(texts({"txtNumber", "txtMessageLine2"}), "1 kept");
    EXPECT_FALSE(closeWindow());
    EXPECT_EQ(said(),
              "cmd_Save, Error: 36 (data file is locked by another program)\ncmd_Save, Error: 36 "
              "(data file is locked by another program)");
    EXPECT_EQ(dialogs.questions.size(), 2u);
    lock.reset();
    dialogs.clear();
    click("cmdNext");
    EXPECT_EQ(text("txtNumber"), "2");
    EXPECT_EQ(shown(message(1).MessageLine2), "kept");
    EXPECT_EQ(said(), "");
}

// The lost update: another program commits a counter into one field of the records on screen
// as fast as it can, checking each time that the field still holds its last commit, while the
// operator saves edits to another field of the same records again and again.
TEST_F(OtherWritersTest, ASaveNeverUndoesAnotherProgramsCommit) {
    openRaces();
    struct Shared {
        std::atomic<bool> stop;
        std::atomic<int> commits, undone;
    };
    void* memory =
        ::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    auto* shared = new (memory) Shared{{false}, {0}, {0}};
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RecordFile f(recordType(kRace));
        if (f.open("") != status::kSuccess) ::_exit(1);
        std::int16_t committed[3] = {makeRace(0, "").MinCharm, makeRace(1, "").MinCharm,
                                     makeRace(2, "").MinCharm};
        while (!shared->stop) {
            for (std::int16_t n : {1, 2}) {
                const auto next = static_cast<std::int16_t>((committed[n] + 1) % 30000);
                const auto start = std::chrono::steady_clock::now();
                const Status s = f.inWriteTransaction("", [&] {
                    if (Status read = f.getEqual32(n, ""); read != status::kSuccess) return read;
                    if (f.as<Race>().MinCharm != committed[n]) ++shared->undone;
                    f.as<Race>().MinCharm = next;
                    return f.call(BUPDATE, "");
                });
                if (s == status::kSuccess) committed[n] = next, ++shared->commits;
                // As the game writes a busy room: commit after commit, the lock free between
                // them about as long as it was held (a slow disk makes both longer).
                const auto held = std::chrono::steady_clock::now() - start;
                std::this_thread::sleep_for(std::max<std::chrono::steady_clock::duration>(
                    held, std::chrono::milliseconds(1)));
            }
        }
        ::_exit(0);
    }
    // The other program is under way before the first save.
    int st = 0;
    while (shared->commits < 10 && ::waitpid(child, &st, WNOHANG) == 0) ::sched_yield();
    constexpr int kSaves = 150;
    for (int i = 0; i < kSaves; ++i) {
        type("txtMaxCharm", std::to_string(i).c_str());
        select(1 - current());
    }
    shared->stop = true;
    ::waitpid(child, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
    RecordProperty("commits", shared->commits.load());
    std::printf("other program's commits: %d\n", shared->commits.load());
    EXPECT_GT(shared->commits, 10);
    EXPECT_EQ(shared->undone, 0) << "of " << shared->commits << " commits";
    EXPECT_EQ(race(1).MaxCharm + race(2).MaxCharm, kSaves - 1 + kSaves - 2);
    EXPECT_EQ(said(), "");
    ::munmap(memory, sizeof(Shared));
}

// The same, made certain: another program's commit tried between a save's comparison and its
// update waits for the save, and after the lock wait is refused; it never lands in between.
TEST_F(OtherWritersTest, NoCommitFallsBetweenASavesComparisonAndItsUpdate) {
    create({kRace});
    add(kRace, makeRace(1, "Elf"));
    RecordFile& f = world.file(kRace);
    RecordFile other(recordType(kRace));
    ASSERT_EQ(other.open(""), status::kSuccess);
    ShownRecord shown;
    ASSERT_EQ(f.getEqual32(1, ""), status::kSuccess);
    shown.remember(f);
    Status between = status::kSuccess;
    SaveEdits how{.prefix = "save: ",
                  .reread = [&] { return f.getEqual32(1, "", {status::kKeyNotFound}); },
                  .shownRecord = nullptr,
                  .edited = {},
                  .collect =
                      [&](void* record) {
                          static_cast<Race*>(record)->MaxCharm = 5;
                          between = other.getEqual32(1, "");
                          other.as<Race>().MinCharm = 77;
                          if (between == status::kSuccess) between = other.call(BUPDATE, "");
                          return QStringList();
                      },
                  .repair = {}};
    EXPECT_EQ(shown.saveEdits(f, how).outcome, SavedEdits::Outcome::Saved);
    EXPECT_EQ(between, status::kLocked);
    EXPECT_EQ(race(1).MaxCharm, 5);
    EXPECT_EQ(race(1).MinCharm, makeRace(1, "Elf").MinCharm);
    EXPECT_EQ(said(), "");
    other.close("");
}

// Every window over the small demo world while another program holds every file's write
// lock: opened whole inside the area, its pictures (each page) saved beside the test program
// for a person to look at, every record stepped through, searched and looked at again, no
// name box saying a record is missing. Nothing is reported and not one byte changes, the
// bytes the game leaves after a text's zero byte included.
TEST_F(OtherWritersTest, EveryWindowStepsThroughTheWholeWorldWritingNothing) {
    buildSmallWorld();
    for (RecordKind kind : allRecordKinds()) {
        RecordFile f(recordType(kind));
        ASSERT_EQ(f.open(""), status::kSuccess);
        for (Status s = f.call(BGETFIRST, ""); s == status::kSuccess; s = f.call(BGETNEXT, "")) {
            for (const FieldInfo& field : f.type().fields()) {
                for (int e = 0; field.isText() && e < field.count; ++e) {
                    auto* text = static_cast<std::uint8_t*>(f.record()) + field.memberOffset +
                                 field.stride * static_cast<std::size_t>(e);
                    auto* end = std::find(text, text + field.width, std::uint8_t{0});
                    if (end + 1 < text + field.width) std::fill(end + 1, text + field.width, 'Z');
                }
            }
            ASSERT_EQ(f.call(BUPDATE, ""), status::kSuccess);
        }
        f.close("");
    }
    auto bytesOf = [] {
        std::vector<std::string> files;
        for (RecordKind kind : allRecordKinds()) {
            std::ifstream in(std::string(recordType(kind).fileName()), std::ios::binary);
            files.emplace_back(std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>());
        }
        return files;
    };
    const std::vector<std::string> before = bytesOf();

    MDIForm1 main(dialogs);
    main.startUp();
    main.resize(1024, 720);
    ASSERT_EQ(said(), "");
    std::vector<std::unique_ptr<WriteLock>> locks;
    for (RecordKind kind : allRecordKinds()) locks.push_back(std::make_unique<WriteLock>(kind));
    const QString out = QStringLiteral(GRAVEWIND_TEST_OUTPUT_DIR "/");
    auto picture = [&out](QWidget* w, const QString& suffix = {}) {
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->grab().save(out + w->objectName() + suffix + QStringLiteral(".png")));
    };
    using K = RecordKind;
    for (auto [item, kind] : {std::pair{"mnuEditRace", K::Race},
                              {"mnuEditClass", K::Class},
                              {"mnuEditSpell", K::Spell},
                              {"mnuEditMonster", K::Monster},
                              {"mnuEditItems", K::Item},
                              {"mnuShop", K::Shop},
                              {"mnuRoom", K::Room},
                              {"mnuEditMessage", K::Message},
                              {"mnuEditTextblock", K::Textblock},
                              {"mnuEditUser", K::User}}) {
        SCOPED_TRACE(item);
        main.findChild<QAction*>(QString::fromLatin1(item))->trigger();
        QMdiSubWindow* sub = main.mdiArea()->activeSubWindow();
        ASSERT_NE(sub, nullptr);
        QWidget* w = sub->widget();
        QCoreApplication::processEvents();
        // A screen too small for the window leaves it at the area's top left, scrolled.
        const QRect area = main.mdiArea()->viewport()->rect();
        const QSize wanted = sub->sizeHint();
        if (wanted.boundedTo(area.size()) != wanted) {
            EXPECT_EQ(sub->pos(), QPoint(0, 0));
        } else {
            EXPECT_TRUE(area.contains(sub->geometry()));
            EXPECT_EQ(sub->size().expandedTo(wanted), sub->size());
        }
        picture(w);
        for (auto* tabs : w->findChildren<QTabWidget*>(QStringLiteral("SSTab1"))) {
            for (int page = 1; page < tabs->count(); ++page) {
                tabs->setCurrentIndex(page);
                picture(w, u'-' + QString::number(page));
            }
            tabs->setCurrentIndex(0);
        }
        if (auto* items = w->findChild<QPushButton*>(QStringLiteral("cmdItems"))) {
            items->click();
            picture(w, QStringLiteral("-items"));
        }
        int records = 0;
        auto look = [&] {
            ++records;
            for (auto* box : w->findChildren<QLineEdit*>())
                EXPECT_FALSE(box->text().contains(QStringLiteral("NOT IN DATABASE")))
                    << box->objectName().toStdString() << " of record " << records;
        };
        // The User editor keeps a disabled list of its own; the catalogues step by theirs.
        auto* view = w->findChild<QListView*>(QStringLiteral("lstDatabase"));
        if (view && view->isEnabled()) {
            for (int row = 0; row < view->model()->rowCount(); ++row) {
                view->setCurrentIndex(view->model()->index(row, 0));
                look();
            }
            view->setCurrentIndex(view->model()->index(0, 0));
            QTest::keyClicks(w->findChild<QLineEdit*>(QStringLiteral("txtSearch")),
                             QStringLiteral("ab"));
        } else {
            auto* next = w->findChild<QPushButton*>(QStringLiteral("cmdNext"));
            for (look(); (next->click(), said().empty()) && records < 1000;) look();
            EXPECT_TRUE(said().starts_with("cmdNext_Click, BGETNEXT, ")) << said();
            dialogs.clear();
            for (const char* step : {"cmdFirst", "cmdNext", "cmdPrevious", "cmdLast"})
                w->findChild<QPushButton*>(QString::fromLatin1(step))->click();
        }
        ASSERT_EQ(world.file(kind).open(""), status::kSuccess);
        EXPECT_EQ(records, static_cast<int>(all(kind).size()));
        world.file(kind).close("");
        dynamic_cast<RecordWindow&>(*w).showChangesMadeElsewhere();
        EXPECT_EQ(said(), "");
        EXPECT_TRUE(dialogs.questions.empty());
    }
    main.findChild<QAction*>(QStringLiteral("mnuAbout2"))->trigger();
    picture(main.mdiArea()->activeSubWindow()->widget());
    picture(&main);
    EXPECT_TRUE(main.close());
    locks.clear();
    EXPECT_EQ(said(), "");
    const std::vector<std::string> after = bytesOf();
    for (std::size_t k = 0; k < before.size(); ++k)
        EXPECT_TRUE(before[k] == after[k]) << recordType(allRecordKinds()[k]).fileName();
}

TEST_F(OtherWritersTest, ClosingWithEditsAsksWhereTheWindowDoesNotSaveOnClosing) {
    openRaces();
    const char* question = "Save the changes to Race 1 \"Elf\"?|Save Changes|Save/Discard/Cancel";
    const struct {
        const char* what;
        bool edit;
        Answer answer;
        bool closes;
        const char* stored;
    } cases[] = {{"Cancel keeps the window and its edits", true, Answer::Cancel, false, "Elf"},
                 {"Discard closes and writes nothing", true, Answer::No, true, "Elf"},
                 {"Save writes the edits, once, and closes", true, Answer::Yes, true, "Wood Elf"},
                 {"without edits nothing is asked", false, Answer::Cancel, true, "Wood Elf"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        window.reset();
        open(createRaceEditor);
        dialogs.clear();
        if (c.edit) type("txtName", "Wood Elf"), dialogs.answerWithCancel({c.answer});
        EXPECT_EQ(closeWindow(), c.closes);
        EXPECT_TRUE(c.answer != Answer::Yes || closeWindow());  // saved: nothing left to ask
        EXPECT_EQ(joined(dialogs.questions), c.edit ? question : "");
        EXPECT_TRUE(c.closes || text("txtName") == "Wood Elf");
        EXPECT_EQ(shown(race(1).Name), c.stored);
    }
}

// The program's shutdown stops while a window keeps edits, and saves them on the next try.
TEST_F(OtherWritersTest, ShutdownStopsWhileAnEditorKeepsItsEdits) {
    for (const bool locked : {true, false}) {
        SCOPED_TRACE(locked ? "the save refused, No to discarding" : "Cancel to saving");
        const RecordKind kind = locked ? kMessage : kRace;
        locked ? openMessages() : openRaces();
        MDIForm1 main(dialogs);
        QMdiSubWindow* sub = openInProgram(main, kind, locked ? "mnuEditMessage" : "mnuEditRace");
        ASSERT_NE(sub, nullptr);
        sub->widget()
            ->findChild<QLineEdit*>(QString::fromLatin1(locked ? "txtMessageLine1" : "txtName"))
            ->setText(QStringLiteral("Orc"));
        {
            std::optional<WriteLock> lock;
            if (locked)
                lock.emplace(kind), dialogs.answerQuestions({false});
            else
                dialogs.answerWithCancel({Answer::Cancel, Answer::Yes});
            EXPECT_FALSE(main.close());
            EXPECT_TRUE(main.world()->file(kind).isOpen());
            EXPECT_TRUE(sub->isVisible());
        }
        dialogs.messages.clear();
        EXPECT_TRUE(main.close());
        EXPECT_EQ(dialogs.questions.size(), locked ? 1u : 2u);
        EXPECT_EQ(said(), "");
        ASSERT_EQ(world.file(kind).open(""), status::kSuccess);
        EXPECT_EQ(locked ? shown(message(1).MessageLine1) : shown(race(1).Name), "Orc");
        world.file(kind).close("");
    }
}

// Another program deleted the record on screen.
TEST_F(OtherWritersTest, ARecordDeletedElsewhereIsSaidOnceOrInsertedAgain) {
    openRaces();
    OtherProgram game(kRace);
    {
        SCOPED_TRACE("with edits, Yes: inserted again under its key with the screen's values");
        type("txtMaxCharm", "61");
        game.remove(1);
        dialogs.answerWithCancel({Answer::Yes});
        select(1);
        EXPECT_EQ(joined(dialogs.questions),
                  "Race 1 was deleted by another program. Insert it again with your "
                  "edits?|Record Deleted|Yes/No/Cancel");
        Race expected = makeRace(1, "Elf");
        expected.MaxCharm = 61;
        EXPECT_EQ(stored(kRace, 1), rowOf(kRace, expected));
        EXPECT_EQ(current(), 1);
        EXPECT_EQ(said(), "");
    }
    {
        SCOPED_TRACE("without edits: said once, when the window looks again, and left");
        dialogs.clear();
        game.remove(2);
        auto& recordWindow = dynamic_cast<RecordWindow&>(*window);
        recordWindow.showChangesMadeElsewhere();
        recordWindow.showChangesMadeElsewhere();
        EXPECT_EQ(said(), "Race 2 was deleted by another program.");
        EXPECT_EQ(list(), "1   Elf");
        EXPECT_EQ(text("txtName"), "Elf");
        EXPECT_TRUE(dialogs.questions.empty());
    }
}

// Every question that can throw edits or records away offers the answer that keeps them as
// its default, and Escape gives it.
TEST(QtDialogsTest, TheDefaultButtonKeepsTheWork) {
    testApplication();
    QtDialogs dialogs;
    struct Seen {
        QString defaultText, escapeText;
    };
    auto answerWith = [](int key, Seen& seen) {
        QTimer::singleShot(0, [key, &seen] {
            QMessageBox* box = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
            if (!box) return;
            seen.defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
            seen.escapeText = box->escapeButton() ? box->escapeButton()->text() : QString();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &press);
        });
    };
    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        Seen seen;
        answerWith(key, seen);
        EXPECT_FALSE(dialogs.question(QStringLiteral("Delete?"), QStringLiteral("Delete")));
        EXPECT_EQ(QString(seen.defaultText + u'/' + seen.escapeText).remove(u'&'), u"No/No");
        answerWith(key, seen);
        EXPECT_EQ(dialogs.questionWithCancel(QStringLiteral("Save?"), QStringLiteral("Save"),
                                             QStringLiteral("Save"), QStringLiteral("Discard")),
                  Answer::Cancel);
        EXPECT_EQ(QString(seen.defaultText + u'/' + seen.escapeText).remove(u'&'),
                  u"Cancel/Cancel");
    }
}

// The history of the editor's writes: undo and redo of saves, inserts and deletes, shown at
// once in every window, over the changes of another program where it made any.
class HistoryTest : public OtherWritersTest {
protected:
    QUndoStack& stack() { return world.history().stack(); }
    // What the second window shows: its list and its name box.
    std::string otherShows() {
        std::swap(window, other);
        const std::string shown = list() + "|" + text("txtName");
        std::swap(window, other);
        return shown;
    }
    std::unique_ptr<QWidget> other;
};

TEST_F(HistoryTest, SaveInsertAndDeleteAreUndoneAndRedoneInEveryWindow) {
    openRaces();
    other.reset(createRaceEditor(world, nullptr));
    other->show();
    const struct {
        const char* what;
        std::function<void()> write;
        const char* entry;
    } steps[] = {
        {"save",
         [&] {
             type("txtName", "High Elf");
             type("txtMaxCharm", "50");
             select(1);
         },
         "save of Race 1 \"High Elf\" (Name, MaxCharm)"},
        {"insert",
         [&] {
             dialogs.answerPrompts({"3"});
             click("cmdInsert");
         },
         "insert of Race 3"},
        {"delete",
         [&] {
             select(2);
             dialogs.answerQuestions({true});
             click("cmdDelete");
         },
         "delete of Race 3"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const std::vector<Row> before = all(kRace);
        const std::string shownBefore = otherShows();
        step.write();
        const std::vector<Row> after = all(kRace);
        const std::string shownAfter = otherShows();
        ASSERT_NE(before, after);
        ASSERT_NE(shownBefore, shownAfter);
        EXPECT_EQ(stack().undoText().toStdString(), step.entry);
        stack().undo();
        EXPECT_EQ(all(kRace), before);
        EXPECT_EQ(otherShows(), shownBefore);
        stack().redo();
        EXPECT_EQ(all(kRace), after);
        EXPECT_EQ(otherShows(), shownAfter);
    }
    EXPECT_EQ(stack().count(), 3);
    EXPECT_EQ(said(), "");
}

TEST_F(HistoryTest, WhatAnotherProgramChangedSinceStaysAndIsNamed) {
    openRaces();
    type("txtName", "High Elf");
    type("txtMaxCharm", "50");
    select(1);
    // Only the fields the entry changed go back or forth, where the game did not change them.
    for (const auto& [undo, cp, name] :
         {std::tuple{true, std::int16_t{3}, "Elf"}, {false, std::int16_t{4}, "High Elf"}}) {
        SCOPED_TRACE(undo ? "undo" : "redo after undo after another change");
        dialogs.clear();
        OtherProgram(kRace).change<Race>(1, [c = cp](Race& r) { r.MaxCharm = 12, r.Cp = c; });
        undo ? stack().undo() : stack().redo();
        const Race r = race(1);
        EXPECT_EQ(shown(r.Name), name);
        EXPECT_EQ(r.MaxCharm, 12);
        EXPECT_EQ(r.Cp, cp);
        EXPECT_EQ(said(),
                  "Another program has changed Race 1 since; its values were kept in: MaxCharm.");
    }
    {
        SCOPED_TRACE("an insert the game changed since: asked; No keeps it and the position");
        dialogs.clear();
        dialogs.answerPrompts({"3"});
        click("cmdInsert");
        OtherProgram(kRace).change<Race>(3, [](Race& r) { r.Cp = 9; });
        const Row changed = stored(kRace, 3);
        dialogs.answerQuestions({false, true});
        stack().undo();
        EXPECT_EQ(stack().index(), 2);
        EXPECT_EQ(stored(kRace, 3), changed);
        stack().undo();
        EXPECT_EQ(stack().index(), 1);
        EXPECT_EQ(stored(kRace, 3), Row());
        EXPECT_EQ(joined(dialogs.questions),
                  "Another program has changed Race 3 since. Delete it all the same?|Undo\n"
                  "Another program has changed Race 3 since. Delete it all the same?|Undo");
        EXPECT_EQ(said(), "");
    }
}

TEST_F(HistoryTest, AWindowWithEditsOnTheRecordIsAskedFirstAndTheViewGoesToAnEntry) {
    openMessages();
    const Row original = stored(kMessage, 1);
    type("txtMessageLine1", "edited");
    click("cmdNext");
    click("cmdPrevious");
    const Row edited = stored(kMessage, 1);
    type("txtMessageLine3", "unsaved");
    const char* question =
        "Message 1 has edits on screen that are not saved, and undo or redo would write over "
        "them.\nDiscard the edits and go on?|Unsaved Edits";
    {
        SCOPED_TRACE("No: nothing is written, the edits stay");
        dialogs.answerQuestions({false});
        stack().undo();
        EXPECT_EQ(stack().index(), 1);
        EXPECT_EQ(stored(kMessage, 1), edited);
        EXPECT_EQ(texts({"txtMessageLine1", "txtMessageLine3"}), "edited unsaved");
    }
    {
        SCOPED_TRACE("Yes: the edits go and the window shows the record undone");
        dialogs.answerQuestions({true});
        stack().undo();
        EXPECT_EQ(stack().index(), 0);
        EXPECT_EQ(stored(kMessage, 1), original);
        EXPECT_EQ(texts({"txtMessageLine1", "txtMessageLine3"}), "line one ");
    }
    EXPECT_EQ(joined(dialogs.questions), std::string(question) + "\n" + question);
    {
        SCOPED_TRACE("a click on an entry of the History window goes to it");
        std::unique_ptr<QWidget> view(createHistoryWindow(world));
        auto* list = static_cast<QAbstractItemView*>(view.get());
        list->setCurrentIndex(list->model()->index(1, 0));
        EXPECT_EQ(stack().index(), 1);
        EXPECT_EQ(stored(kMessage, 1), edited);
        EXPECT_EQ(text("txtMessageLine1"), "edited");
    }
    EXPECT_EQ(said(), "");
}

TEST_F(HistoryTest, TheHistoryIsBounded) {
    world.history().setLimit(3);
    for (std::int16_t n = 1; n <= 5; ++n)
        world.history().wrote({kRace, {}, rowOf(kRace, makeRace(n, "Elf"))});
    ASSERT_EQ(stack().count(), 3);
    EXPECT_EQ(stack().text(0).toStdString(), "insert of Race 3");
    EXPECT_EQ(stack().index(), 3);
}

TEST_F(HistoryTest, CtrlZIsTheTextBoxsOwnWhileItHasTheFocus) {
    openRaces();
    MDIForm1 main(dialogs);
    // The window belongs to the main window: the test only borrows it.
    window.reset(openInProgram(main, kRace, "mnuEditRace")->widget());
    struct Borrowed {
        std::unique_ptr<QWidget>& w;
        ~Borrowed() { (void)w.release(); }
    } borrowed{window};
    main.activateWindow();
    QApplication::processEvents();
    type("txtName", "High Elf");
    select(1);
    auto& history = main.world()->history().stack();
    ASSERT_EQ(history.count(), 1);
    auto* box = child<QLineEdit>("txtCp");
    box->setFocus();
    const QString shown = box->text();
    QTest::keyClicks(box, QStringLiteral("7"));
    ASSERT_NE(box->text(), shown);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(history.index(), 1);
    EXPECT_EQ(box->text(), shown);
    auto* list = child<QWidget>("lstDatabase");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(history.index(), 0);
}

}  // namespace
}  // namespace gw::test
