// Editing while another program (the game) writes the same files: a save that fails keeps the
// operator's edits if asked to, and a save over a record changed elsewhere writes only what
// the operator edited. Shown through one catalogue window (frmRace) and one navigator
// (frmMessage); both engines carry it to every other window.
#include <sched.h>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
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
#include <thread>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"
#include "shell/history.h"
#include "shell/main_window.h"
#include "shell/record_window.h"
#include "shell/shown_record.h"

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
    ~WriteLock() {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
    }

private:
    sqlite3* db_ = nullptr;
};

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
    // The stored race or message of that number.
    template <class Rec = Race>
    Rec record(std::int32_t n) {
        RecordFile& f = world.file(std::is_same_v<Rec, Race> ? kRace : kMessage);
        EXPECT_EQ(f.getEqual32(n, ""), status::kSuccess);
        return f.as<Rec>();
    }
    static std::string shown(const auto& field) {
        std::string s(field.begin(), field.end());
        return s.substr(0, s.find('\0'));
    }
    bool closeWindow() {
        QCloseEvent event;
        QCoreApplication::sendEvent(window.get(), &event);
        return event.isAccepted();
    }
    RecordWindow& recordWindow() { return dynamic_cast<RecordWindow&>(*window); }
    QUndoStack& stack() { return world.history().stack(); }
    // What the second window `other` shows: its list and its name box.
    std::string otherShows() {
        std::swap(window, other);
        const std::string shown = list() + "|" + text("txtName");
        std::swap(window, other);
        return shown;
    }
    std::unique_ptr<QWidget> other;
};

// The catalogue engine's own part; the merge of the fields and its message are the navigator's
// test below, the same code for both.
TEST_F(OtherWritersTest, CatalogueLooksAgainKeepsEditsAndMeetsDeletedRecords) {
    openRaces();
    OtherProgram game(kRace);
    select(1);
    {
        SCOPED_TRACE("an active window shows the other change, unless it holds edits");
        game.change<Race>(2, [](Race& r) { r.Cp = 41; });
        recordWindow().showChangesMadeElsewhere();
        EXPECT_EQ(text("txtCp"), "41");
        type("txtCp", "7");
        game.change<Race>(2, [](Race& r) { r.Cp = 42, r.HpBonus = 9; });
        recordWindow().showChangesMadeElsewhere();
        EXPECT_EQ(texts({"txtCp", "txtHpBonus"}), "7 " + std::to_string(makeRace(2, "").HpBonus));
        select(0);
        EXPECT_EQ(record(2).Cp, 7);
        EXPECT_EQ(record(2).HpBonus, 9);
    }
    {
        SCOPED_TRACE("a save refused by a lock, No: the window stays on the record with its edits");
        dialogs.clear();
        const Row dwarf = stored(kRace, 2);
        auto lock = std::make_unique<WriteLock>(kRace);
        type("txtName", "High Elf");
        dialogs.answerQuestions({false});
        select(1);
        EXPECT_EQ(said(), "SaveRecord, Error: 36 (data file is locked by another program)");
        EXPECT_EQ(joined(dialogs.questions),
                  "The record on screen could not be saved, and your edits would be lost.\n"
                  "Discard the edits and go on?|Save Failed");
        EXPECT_EQ(current(), 0);
        lock.reset();
        dialogs.clear();
        select(1);  // the lock gone, the next move saves them
        EXPECT_EQ(shown(record(1).Name), "High Elf");
        EXPECT_EQ(stored(kRace, 2), dwarf);
        EXPECT_EQ(said(), "");
    }
    {
        // Cancel and No to inserting it again, and the question's words: the Race editor's
        // delete test.
        SCOPED_TRACE("deleted elsewhere, with edits, Yes: inserted again with the screen's values");
        type("txtMaxCharm", "61");
        Race expected = record(2);
        expected.MaxCharm = 61;
        game.remove(2);
        dialogs.answerWithCancel({Answer::Yes});
        select(0);
        EXPECT_EQ(dialogs.questions.size(), 1u);
        EXPECT_EQ(stored(kRace, 2), rowOf(kRace, expected));
        EXPECT_EQ(current(), 0);
        EXPECT_EQ(said(), "");
    }
    {
        SCOPED_TRACE("deleted elsewhere, without edits: said once at the next look, and left");
        dialogs.clear();
        game.remove(1);
        dialogs.onMessage = [this] { recordWindow().showChangesMadeElsewhere(); };
        recordWindow().showChangesMadeElsewhere();
        EXPECT_EQ(said(), "Race 1 was deleted by another program.");
        EXPECT_EQ(list() + "|" + text("txtName"), "2   Dwarf|Dwarf");
        EXPECT_TRUE(dialogs.questions.empty());
    }
}

TEST_F(OtherWritersTest, NavigatorKeepsTheOtherProgramsChangesAndItsEdits) {
    openMessages();
    OtherProgram game(kMessage);
    auto line = [](const char* text) { return std::string(text) + '\0'; };
    {
        SCOPED_TRACE("the same field: the operator's wins, the game's other field stays");
        type("txtMessageLine3", "mine");
        game.change<Message>(
            1, [&](Message& m) { setField(m.MessageLine3, line("theirs")), m.Line1Extra[2] = 6; });
        click("cmdNext");
        EXPECT_EQ(shown(record<Message>(1).MessageLine3), "mine");
        EXPECT_EQ(record<Message>(1).Line1Extra[2], 6);
        EXPECT_EQ(said(),
                  "Another program changed this record while it was on screen. Your "
                  "edits were saved over its changes to: MessageLine3.");
    }
    {
        SCOPED_TRACE("an active window shows the other change, unless the game holds the file");
        dialogs.clear();
        game.change<Message>(2, [&](Message& m) { setField(m.MessageLine1, line("fresh")); });
        recordWindow().showChangesMadeElsewhere();
        EXPECT_EQ(text("txtMessageLine1"), "fresh");
        WriteLock lock(kMessage, /*reads=*/false);
        recordWindow().showChangesMadeElsewhere();
        EXPECT_EQ(text("txtMessageLine1"), "fresh");
        EXPECT_EQ(said(), "");
    }
    {
        SCOPED_TRACE("a failed move and close, No: the edits stay, and the next move saves them");
        auto lock = std::make_unique<WriteLock>(kMessage);
        type("txtMessageLine2", "kept");
        dialogs.answerQuestions({false, false});
        click("cmdPrevious");
        EXPECT_EQ(texts({"txtNumber", "txtMessageLine2"}), "2 kept");
        EXPECT_FALSE(closeWindow());
        EXPECT_EQ(said(),
                  "cmd_Save, Error: 36 (data file is locked by another program)\ncmd_Save, "
                  "Error: 36 (data file is locked by another program)");
        EXPECT_EQ(dialogs.questions.size(), 2u);
        lock.reset();
        dialogs.clear();
        click("cmdPrevious");
        EXPECT_EQ(text("txtNumber"), "1");
        EXPECT_EQ(shown(record<Message>(2).MessageLine2), "kept");
        EXPECT_EQ(said(), "");
    }
    {
        SCOPED_TRACE("deleted elsewhere: said once, however often the window looks again");
        game.remove(1);
        recordWindow().showChangesMadeElsewhere();
        recordWindow().showChangesMadeElsewhere();
        EXPECT_EQ(said(), "Message 1 was deleted by another program.");
    }
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
        std::int16_t committed[3] = {0, makeRace(1, "").MinCharm, makeRace(2, "").MinCharm};
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
    EXPECT_GT(shared->commits, 10);
    EXPECT_EQ(shared->undone, 0) << "of " << shared->commits << " commits";
    EXPECT_EQ(record(1).MaxCharm + record(2).MaxCharm, kSaves - 1 + kSaves - 2);
    EXPECT_EQ(said(), "");
    ::munmap(memory, sizeof(Shared));
}

// The same, made certain: another program's commit tried between a save's comparison and its
// update waits for the save, and after the lock wait is refused; it never lands in between.
TEST_F(OtherWritersTest, NoCommitFallsBetweenASavesComparisonAndItsUpdate) {
    openRaces();
    RecordFile& f = world.file(kRace);
    RecordFile other(recordType(kRace));
    ASSERT_EQ(other.open(""), status::kSuccess);
    ShownRecord shown;
    ASSERT_EQ(f.getEqual32(1, ""), status::kSuccess);
    shown.remember(f);
    Status between = status::kSuccess;
    SaveEdits how{};  // no shown record, no edited fields
    how.prefix = "save: ";
    how.reread = [&] { return f.getEqual32(1, "", {status::kKeyNotFound}); };
    how.collect = [&](void* record) {
        static_cast<Race*>(record)->MaxCharm = 5;
        between = other.getEqual32(1, "");
        other.as<Race>().MinCharm = 77;
        if (between == status::kSuccess) between = other.call(BUPDATE, "");
        return QStringList();
    };
    EXPECT_EQ(shown.saveEdits(f, how).outcome, SavedEdits::Outcome::Saved);
    EXPECT_EQ(between, status::kLocked);
    EXPECT_EQ(record(1).MaxCharm, 5);
    EXPECT_EQ(record(1).MinCharm, makeRace(1, "Elf").MinCharm);
    EXPECT_EQ(said(), "");
    other.close("");
}

// Every window over the small demo world while another program holds every file's write
// lock: opened whole inside the area, its pictures (each page) saved beside the test program
// for a person to look at, every record stepped through, searched and looked at again, no
// name box saying a record is missing. Nothing is reported or asked (a write tried would be
// refused and reported) and not one byte changes, the bytes the game leaves after a text's
// zero byte included.
TEST_F(OtherWritersTest, EveryWindowStepsThroughTheWholeWorldWritingNothing) {
    buildSmallWorld();
    for (RecordKind kind : allRecordKinds()) {
        RecordFile f(recordType(kind));
        ASSERT_EQ(f.open(""), status::kSuccess);
        for (Status s = f.call(BGETFIRST, ""); s == status::kSuccess; s = f.call(BGETNEXT, "")) {
            for (const FieldInfo& field : f.type().fields())
                for (int e = 0; field.isText() && e < field.count; ++e) {
                    auto* text = static_cast<std::uint8_t*>(f.record()) + field.memberOffset +
                                 field.stride * static_cast<std::size_t>(e);
                    auto* end = std::find(text, text + field.width, std::uint8_t{0});
                    if (end + 1 < text + field.width) std::fill(end + 1, text + field.width, 'Z');
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
    std::vector<std::unique_ptr<WriteLock>> locks;
    for (RecordKind kind : allRecordKinds()) locks.push_back(std::make_unique<WriteLock>(kind));
    MDIForm1 main(dialogs);
    main.startUp();
    main.resize(1024, 720);
    ASSERT_EQ(said(), "");
    auto picture = [](QWidget* w, const QString& suffix = {}) {
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->grab().save(QStringLiteral(GRAVEWIND_TEST_OUTPUT_DIR "/") + w->objectName() +
                                   suffix + QStringLiteral(".png")));
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
    EXPECT_EQ(said(), "");
    EXPECT_TRUE(dialogs.questions.empty());
    locks.clear();
    const std::vector<std::string> after = bytesOf();
    for (std::size_t k = 0; k < before.size(); ++k)
        EXPECT_TRUE(before[k] == after[k]) << recordType(allRecordKinds()[k]).fileName();
}

TEST_F(OtherWritersTest, ClosingWithEditsAsksWhereTheWindowDoesNotSaveOnClosing) {
    openRaces();
    type("txtName", "Wood Elf");
    dialogs.answerWithCancel({Answer::Cancel, Answer::No, Answer::Yes});
    {
        SCOPED_TRACE("Cancel keeps the window and its edits; Discard closes and writes nothing");
        EXPECT_FALSE(closeWindow());
        EXPECT_EQ(text("txtName"), "Wood Elf");
        EXPECT_TRUE(closeWindow());
        EXPECT_EQ(shown(record(1).Name), "Elf");
    }
    {
        SCOPED_TRACE("Save writes the edits, once, and closes");
        window.reset();
        open(createRaceEditor);
        type("txtName", "Wood Elf");
        EXPECT_TRUE(closeWindow());
        EXPECT_TRUE(closeWindow());  // saved: nothing left to ask
        EXPECT_EQ(shown(record(1).Name), "Wood Elf");
    }
    // Without edits nothing is asked: the whole-world walk closes every window so.
    EXPECT_EQ(dialogs.questions,
              Strings(3, "Save the changes to Race 1 \"Elf\"?|Save Changes|Save/Discard/Cancel"));
}

// Every question that can throw edits or records away offers the answer that keeps them as
// its default and its Escape button, and Return gives it.
TEST(QtDialogsTest, TheDefaultButtonKeepsTheWork) {
    testApplication();
    QtDialogs dialogs;
    QString buttons;  // "default/escape" of the box last shown
    auto answerWithReturn = [&buttons] {
        QTimer::singleShot(0, [&buttons] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            buttons = box->defaultButton()->text() + u'/' + box->escapeButton()->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
    };
    answerWithReturn();
    EXPECT_FALSE(dialogs.question(QStringLiteral("Delete?"), QStringLiteral("Delete")));
    EXPECT_EQ(buttons.remove(u'&'), u"No/No");
    answerWithReturn();
    EXPECT_EQ(dialogs.questionWithCancel(QStringLiteral("Save?"), QStringLiteral("Save"),
                                         QStringLiteral("Save"), QStringLiteral("Discard")),
              Answer::Cancel);
    EXPECT_EQ(buttons.remove(u'&'), u"Cancel/Cancel");
}

// The history of the editor's writes: undo and redo of saves, inserts and deletes, shown at
// once in every window, over the changes of another program where it made any.

TEST_F(OtherWritersTest, SaveInsertAndDeleteAreUndoneAndRedoneInEveryWindow) {
    openRaces();
    other.reset(createRaceEditor(world, nullptr));
    other->show();
    // `write` makes the entry; its undo and its redo give back the files and the other
    // window as they were before and after it.
    auto undoAndRedo = [&](const char* entry, const std::function<void()>& write) {
        SCOPED_TRACE(entry);
        const std::vector<Row> before = all(kRace);
        const std::string shownBefore = otherShows();
        write();
        const std::vector<Row> after = all(kRace);
        const std::string shownAfter = otherShows();
        ASSERT_NE(before, after);
        ASSERT_NE(shownBefore, shownAfter);
        EXPECT_EQ(stack().undoText().toStdString(), entry);
        stack().undo();
        EXPECT_EQ(all(kRace), before);
        EXPECT_EQ(otherShows(), shownBefore);
        stack().redo();
        EXPECT_EQ(all(kRace), after);
        EXPECT_EQ(otherShows(), shownAfter);
    };
    undoAndRedo("save of Race 1 \"High Elf\" (Name, MaxCharm)", [&] {
        type("txtName", "High Elf");
        type("txtMaxCharm", "50");
        select(1);
    });
    undoAndRedo("insert of Race 3", [&] {
        dialogs.answerPrompts({"3"});
        click("cmdInsert");
    });
    undoAndRedo("delete of Race 3", [&] {
        select(2);
        dialogs.answerQuestions({true});
        click("cmdDelete");
    });
    EXPECT_EQ(stack().count(), 3);
    EXPECT_EQ(said(), "");
    {
        SCOPED_TRACE("another program changed the record since: its fields stay and are named");
        stack().setIndex(1);
        OtherProgram(kRace).change<Race>(1, [](Race& r) { r.MaxCharm = 12, r.Cp = 3; });
        stack().undo();
        const Race r = record(1);
        EXPECT_EQ(shown(r.Name), "Elf");
        EXPECT_EQ(r.MaxCharm, 12);
        EXPECT_EQ(r.Cp, 3);
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
        dialogs.answerQuestions({false});
        stack().undo();
        EXPECT_EQ(stack().index(), 1);
        EXPECT_EQ(stored(kRace, 3), changed);
        EXPECT_EQ(joined(dialogs.questions),
                  "Another program has changed Race 3 since. Delete it all the same?|Undo");
        EXPECT_EQ(said(), "");
    }
}

TEST_F(OtherWritersTest, AWindowWithEditsOnTheRecordIsAskedFirstAndTheViewGoesToAnEntry) {
    openMessages();
    const Row original = stored(kMessage, 1);
    type("txtMessageLine1", "edited");
    click("cmdNext");
    click("cmdPrevious");
    const Row edited = stored(kMessage, 1);
    type("txtMessageLine3", "unsaved");
    {
        SCOPED_TRACE("No: nothing is written, the edits stay");
        dialogs.answerQuestions({false});
        stack().undo();
        EXPECT_EQ(stack().index(), 1);
        EXPECT_EQ(stored(kMessage, 1), edited);
        EXPECT_EQ(texts({"txtMessageLine1", "txtMessageLine3"}), "edited unsaved");
        EXPECT_EQ(joined(dialogs.questions),
                  "Message 1 has edits on screen that are not saved, and undo or redo would "
                  "write over them.\nDiscard the edits and go on?|Unsaved Edits");
    }
    {
        SCOPED_TRACE("Yes: the edits go and the window shows the record undone");
        dialogs.answerQuestions({true});
        stack().undo();
        EXPECT_EQ(stack().index(), 0);
        EXPECT_EQ(stored(kMessage, 1), original);
        EXPECT_EQ(texts({"txtMessageLine1", "txtMessageLine3"}), "line one ");
    }
    {
        SCOPED_TRACE("a click on an entry of the History window goes to it");
        std::unique_ptr<QWidget> view(createHistoryWindow(world));
        auto* list = static_cast<QAbstractItemView*>(view.get());
        list->setCurrentIndex(list->model()->index(1, 0));
        EXPECT_EQ(stored(kMessage, 1), edited);
        EXPECT_EQ(text("txtMessageLine1"), "edited");
    }
    EXPECT_EQ(said(), "");
}

TEST_F(OtherWritersTest, CtrlZIsTheTextBoxsOwnWhileItHasTheFocus) {
    openRaces();
    window.reset();
    world.file(kRace).close("");
    // The program is the window under test: its Race editor's boxes are found inside it.
    auto* main = new MDIForm1(dialogs);
    window.reset(main);
    main->startUp();
    main->findChild<QAction*>(QStringLiteral("mnuEditRace"))->trigger();
    main->activateWindow();
    QApplication::processEvents();
    type("txtName", "High Elf");
    select(1);
    auto& history = main->world()->history().stack();
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
