#include "gui_test.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <cstdlib>

#include "shell/form_layout.h"
#include "store/record_manager.h"
#include "tools/data/demo_world.h"

namespace gw::test {

ScriptedDialogs::~ScriptedDialogs() {
    EXPECT_TRUE(yes.empty() && choices.empty() && typed.empty())
        << "scripted answers were never asked for";
}

namespace {
// With no answer scripted, `cancelled` (what a cancelled dialog gives).
template <class T>
T next(std::deque<T>& answers, const std::string& asked, T cancelled = T{}) {
    if (answers.empty()) ADD_FAILURE() << "unscripted " << asked;
    if (answers.empty()) return cancelled;
    T answer = answers.front();
    answers.pop_front();
    return answer;
}
}  // namespace

bool ScriptedDialogs::question(const QString& text, const QString& title) {
    questions.push_back((text + u'|' + title).toStdString());
    return next(yes, questions.back());
}

Answer ScriptedDialogs::questionWithCancel(const QString& text, const QString& title,
                                           const QString& yes, const QString& no) {
    questions.push_back(
        (text + u'|' + title + u'|' + yes + u'/' + no + QStringLiteral("/Cancel")).toStdString());
    return next(choices, questions.back(), Answer::Cancel);
}

QString ScriptedDialogs::askText(const QString& prompt, const QString& title,
                                 const QString& defaultText) {
    prompts.push_back((prompt + u'|' + title + u'|' + defaultText).toStdString());
    return QString::fromStdString(next(typed, prompts.back()));
}

std::optional<std::int64_t> ScriptedDialogs::askNumber(const QString& prompt, const QString& title,
                                                       std::int64_t proposed, std::int64_t min,
                                                       std::int64_t max) {
    prompts.push_back((prompt + u'|' + title + u'|' + QString::number(proposed) + u'|' +
                       QString::number(min) + QStringLiteral("..") + QString::number(max))
                          .toStdString());
    const std::string answer = next(typed, prompts.back());
    if (answer.empty()) return std::nullopt;
    return std::stoll(answer);
}

QString ScriptedDialogs::chooseFolder(const QString& title, const QString& start) {
    prompts.push_back((title + u'|' + start).toStdString());
    return QString::fromStdString(next(typed, prompts.back()));
}

QApplication& testApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("gravewind-test"), nullptr};
    // Settings go to a scratch folder of this run, never to the user's own.
    static std::string settings =
        (std::filesystem::temp_directory_path() / "gravewind-settings-XXXXXX").string();
    if (!mkdtemp(settings.data())) ADD_FAILURE() << "cannot make a settings directory";
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(settings));
    QCoreApplication::setOrganizationName(QStringLiteral("Gravewind"));
    QCoreApplication::setApplicationName(QStringLiteral("Gravewind"));
    // Torn down with the test environment: at static destruction Qt's own globals may be gone.
    struct AppEnvironment final : ::testing::Environment {
        QApplication* app = new QApplication(argc, argv);
        void TearDown() override {
            delete app;
            std::error_code ignored;
            std::filesystem::remove_all(settings, ignored);
        }
    };
    return *static_cast<AppEnvironment*>(::testing::AddGlobalTestEnvironment(new AppEnvironment))
                ->app;
}

std::string joined(const Strings& lines, const char* between) {
    std::string all;
    for (std::size_t i = 0; i < lines.size(); ++i) all += (i ? between : "") + lines[i];
    return all;
}

Race makeRace(std::int16_t number, const char* name) {
    Race r = renamed(Race{}, name);
    r.Number = number;
    r.NameEnd = static_cast<std::uint8_t>(0x40 + number);
    const auto n = static_cast<std::int16_t>(number * 100);
    r.MinIntellect = n + 1, r.MinWillpower = n + 2, r.MinStrength = n + 3;
    r.MinHealth = n + 4, r.MinAgility = n + 5, r.MinCharm = n + 6;
    r.HpBonus = n + 7, r.Cp = n + 8, r.ExpChart = n + 9;
    r.MaxIntellect = n + 11, r.MaxWillpower = n + 12, r.MaxStrength = n + 13;
    r.MaxHealth = n + 14, r.MaxAgility = n + 15, r.MaxCharm = n + 16;
    for (int i = 0; i < 10; ++i)
        r.AbilityA[i] = std::int16_t((number + i * 17) % 188),
        r.AbilityB[i] = std::int16_t(-number * 10 - i);
    r.Reserved1 = 0x01010101 * number, r.Reserved2 = -2 * number, r.Reserved3 = 3 * number;
    r.Reserved4 = 4 * number, r.Reserved5 = 5 * number, r.Reserved6 = -6, r.Reserved7 = 7;
    return r;
}

Class makeClass(std::int16_t number, const char* name) {
    Class c = renamed(Class{}, name);
    c.Number = number;
    c.NameEnd = 0x7E;
    c.MinHP = 10, c.MaxHP = 5, c.Exp = 0, c.Combat = 2, c.TitleText = 40 + number;
    c.MagicType = 2, c.MagicLvL = 3, c.Weapon = 9, c.Armour = 7, c.Reserved5 = 5;
    c.Reserved1 = -1, c.Reserved2 = 2, c.Reserved3 = 3, c.Reserved4 = 4, c.Reserved6 = 6;
    for (int i = 0; i < 10; ++i)
        c.AbilityA[i] = std::int16_t(187 - i - number),
        c.AbilityB[i] = std::int16_t(i * 1000 + number);
    return c;
}

GuiTest::GuiTest() : previousDir(std::filesystem::current_path()) {
    testApplication();
    std::string made = (std::filesystem::temp_directory_path() / "gravewind-test-XXXXXX").string();
    dir = mkdtemp(made.data()) ? std::filesystem::path(made) : previousDir;
    if (dir == previousDir) ADD_FAILURE() << "cannot make a temporary directory";
    std::filesystem::current_path(dir);
    QSettings().clear();  // every test starts as on a first run
}

GuiTest::~GuiTest() {
    window.reset();  // its closing step may still write
    for (RecordKind kind : allRecordKinds())
        if (world.file(kind).isOpen()) world.file(kind).close("BCLOSE, test, Error: ");
    std::filesystem::current_path(previousDir);
    std::error_code ignored;
    if (dir != previousDir) std::filesystem::remove_all(dir, ignored);
}

void GuiTest::buildSmallWorld(const std::filesystem::path& where) {
    std::string error;
    ASSERT_EQ(demo::buildDemoWorld(where.string(), demo::DemoSize::Small, &error), status::kSuccess)
        << error;
}

void GuiTest::create(std::initializer_list<RecordKind> kinds, bool open) {
    for (RecordKind kind : kinds) {
        const RecordType& t = recordType(kind);
        const DataFileInfo info{std::string(t.name()), t.key(), t.dataLength(), kFormatVersion};
        ASSERT_EQ(createDataFile(std::string(t.fileName()), info, true), status::kSuccess);
        ASSERT_TRUE(!open || world.file(kind).open("BOPEN, test, Error: ") == status::kSuccess);
    }
}

void GuiTest::put(RecordKind kind, const std::function<void(RecordFile&)>& fill) {
    RecordFile& f = world.file(kind);
    std::fill(f.row().begin(), f.row().end(), std::uint8_t{0});
    f.rowToRecord();
    fill(f);
    ASSERT_EQ(f.call(BINSERT, "BINSERT, test, Error: "), status::kSuccess);
}

Row GuiTest::stored(RecordKind kind, std::int32_t number) {
    RecordFile& f = world.file(kind);
    if (f.getEqual32(number, "", {status::kKeyNotFound}) != status::kSuccess) return {};
    return Row(f.row().begin(),
               f.row().begin() + std::min<std::size_t>(f.lengthRead(), f.row().size()));
}

std::vector<Row> GuiTest::all(RecordKind kind) {
    RecordFile& f = world.file(kind);
    std::vector<Row> rows;
    for (Status s = f.call(BGETFIRST, "", {status::kEndOfFile}); s == status::kSuccess;
         s = f.call(BGETNEXT, "", {status::kEndOfFile}))
        rows.emplace_back(f.row().begin(), f.row().end());
    return rows;
}

void GuiTest::open(QWidget* (*make)(World&, QWidget*)) {
    window.reset(make(world, nullptr));
    window->show();
    makeDeferredPages();
}

void GuiTest::makeDeferredPages() {
    for (DeferredPage* page : window->findChildren<DeferredPage*>()) page->build();
}

void GuiTest::expectInsertsRefused(
    RecordKind kind, std::initializer_list<std::pair<const char*, const char*>> answers) {
    const std::vector<Row> before = all(kind);
    for (const auto& [answer, reported] : answers) {
        SCOPED_TRACE(answer);
        dialogs.clear();
        dialogs.answerPrompts({answer});
        click("cmdInsert");
        EXPECT_EQ(dialogs.messages.size(), reported ? 1u : 0u);
        EXPECT_NE(said().find(reported ? reported : ""), std::string::npos) << said();
        EXPECT_EQ(all(kind), before);
    }
}

std::string GuiTest::text(const char* name) {
    const QString n = QString::fromLatin1(name);
    if (auto* box = window->findChild<QLineEdit*>(n)) return box->text().toStdString();
    if (auto* combo = window->findChild<QComboBox*>(n)) return combo->currentText().toStdString();
    return child<QPlainTextEdit>(name)->toPlainText().toStdString();
}

std::string GuiTest::texts(std::initializer_list<const char*> names) {
    Strings shown;
    for (const char* name : names) shown.push_back(text(name));
    return joined(shown, " ");
}

void GuiTest::type(const char* name, const char* text) {
    const QString n = QString::fromLatin1(name), t = QString::fromUtf8(text);
    if (auto* box = window->findChild<QLineEdit*>(n)) return box->setText(t);
    if (auto* combo = window->findChild<QComboBox*>(n)) return combo->setEditText(t);
    child<QPlainTextEdit>(name)->setPlainText(t);
}

void GuiTest::typeKeys(const char* name, const char* text) {
    auto* box = child<QLineEdit>(name);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QString::fromLatin1(text));
}

void GuiTest::click(const char* name) {
    if (auto* button = child<QPushButton>(name)) button->click();
}

std::string GuiTest::list() {
    Strings entries;
    const QAbstractItemModel* model = child<QListView>("lstDatabase")->model();
    for (int r = 0; r < model->rowCount(); ++r)
        entries.push_back(model->index(r, 0).data().toString().toStdString());
    return joined(entries);
}

int GuiTest::current() { return child<QListView>("lstDatabase")->currentIndex().row(); }

void GuiTest::select(int row) {
    auto* view = child<QListView>("lstDatabase");
    view->setCurrentIndex(view->model()->index(row, 0));
}

}  // namespace gw::test

// Qt and fontconfig keep program-lifetime allocations that LeakSanitizer would report; set
// here too because ctest keeps only the first entry of a test's ENVIRONMENT.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
