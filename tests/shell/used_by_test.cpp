// "Used by": the count beside the record on screen, its list, the delete question that names
// the referring records, and the index kept current by the editor's writes and by others'.
#include "shell/used_by.h"

#include <QApplication>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <map>
#include <set>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "records/item.h"
#include "records/monster.h"
#include "shell/record_window.h"
#include "tools/data/demo_world.h"
#include "world/reverse_index.h"
#include "world/world_check.h"
#include "world/world_scan.h"

namespace gw::test {
namespace {

class UsedByTest : public GuiTest {
public:
    void SetUp() override {
        std::string error;
        ASSERT_EQ(demo::buildDemoWorld(".", demo::DemoSize::Small, &error), status::kSuccess)
            << error;
        for (RecordKind kind : allRecordKinds()) ASSERT_EQ(world.file(kind).open(""), 0);
    }
    // The button's text once the index is ready.
    std::string usedBy() {
        auto* button = child<QPushButton>("cmdUsedBy");
        for (int i = 0; i < 100 && !button->isEnabled(); ++i) QApplication::processEvents();
        return button->text().toStdString();
    }
    // The records naming `key`, found by a walk of their own.
    static std::set<std::string> namers(RecordKind kind, const RecordKey& key) {
        world::ScanOptions options;
        options.onlyTo = kind;
        options.onlyKey = key;
        const world::WorldScan scan(".", allRecordKinds(), options);
        std::set<std::string> out;
        for (const world::Occurrence& o : scan.occurrences())
            out.insert(recordTitle(o.kind, scan.key(o.kind, o.record)).toStdString());
        return out;
    }
    static RecordKey number(std::int64_t n) {
        RecordKey key;
        key.number = n;
        return key;
    }
    // Every stored row of every file.
    std::vector<std::vector<Row>> everything() {
        std::vector<std::vector<Row>> rows;
        for (RecordKind kind : allRecordKinds()) rows.push_back(all(kind));
        return rows;
    }
    // The record a window of `kind` shows: its file holds it in memory.
    std::string shownTitle(RecordKind kind) {
        return recordTitle(kind, recordKeyOf(recordType(kind), world.file(kind).record()))
            .toStdString();
    }
    // Windows opened by name as the main window's menu opens them, kept until the test ends.
    void openWindowsByName() {
        world.setWindowOpener([this](const QString& name) -> QWidget* {
            using Make = QWidget* (*)(World&, QWidget*);
            static const std::map<QString, Make> makers = {
                {QStringLiteral("frmRace"), createRaceEditor},
                {QStringLiteral("frmClass"), createClassEditor},
                {QStringLiteral("frmSpell"), createSpellEditor},
                {QStringLiteral("frmMonster"), createMonsterEditor},
                {QStringLiteral("frmItem"), createItemEditor},
                {QStringLiteral("frmShop"), createShopEditor},
                {QStringLiteral("frmRoom"), createRoomEditor},
                {QStringLiteral("frmMessage"), createMessageEditor},
                {QStringLiteral("frmTextblock"), createTextblockEditor},
                {QStringLiteral("frmUser"), createUserEditor}};
            auto& w = opened[name];
            if (!w) w.reset(makers.at(name)(world, nullptr)), w->show();
            return w.get();
        });
    }
    std::map<QString, std::unique_ptr<QWidget>> opened;
};

TEST_F(UsedByTest, CatalogueCountsListsAndAsksBeforeDeletingWhatOthersName) {
    open(createItemEditor);
    const std::set<std::string> naming = namers(RecordKind::Item, number(1));
    ASSERT_FALSE(naming.empty());
    EXPECT_EQ(usedBy(), "Used by " + std::to_string(naming.size()));

    SCOPED_TRACE("the list: one line per field, each naming its record");
    click("cmdUsedBy");
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("lstUsedBy"));
    ASSERT_NE(tree, nullptr);
    std::set<std::string> listed;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree->topLevelItem(i);
        listed.insert((item->text(0) + u' ' + item->text(1)).toStdString());
        EXPECT_FALSE(item->text(3).isEmpty());
    }
    EXPECT_EQ(listed, naming);

    SCOPED_TRACE("No to the question that names them deletes nothing");
    const std::string name = text("txtName");
    dialogs.answerQuestions({false});
    click("cmdDelete");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    const std::string& asked = dialogs.questions.back();
    EXPECT_EQ(asked.rfind("Item 1 \"" + name + "\" is used by " + std::to_string(naming.size()) +
                              (naming.size() == 1 ? " record (" : " records ("),
                          0),
              0u)
        << asked;
    EXPECT_NE(asked.find("). Delete it anyway?|Delete Record?"), std::string::npos) << asked;
    EXPECT_FALSE(stored(RecordKind::Item, 1).empty());

    SCOPED_TRACE("a copy nothing names: the plain question; its references counted and gone");
    // Something item 1 names, which its copy names too.
    std::vector<FoundReference> names;
    referencesIn(RecordKind::Item, world.file(RecordKind::Item).record(), names);
    ASSERT_FALSE(names.empty());
    const RecordKind namedKind = names.front().reference->to;
    const RecordKey named = number(names.front().value);
    const std::size_t namedBy = world.references().referringRecords(namedKind, named);
    dialogs.answerPrompts({"990"});
    click("cmdInsert");
    const std::string entries = list();
    select(static_cast<int>(std::count(entries.begin(), entries.end(), '\n')));  // the last
    ASSERT_EQ(text("txtNumber"), "990");
    EXPECT_EQ(usedBy(), "Used by 0");
    EXPECT_EQ(world.references().referringRecords(namedKind, named), namedBy + 1);
    dialogs.clear();
    dialogs.answerQuestions({true});
    click("cmdDelete");
    EXPECT_EQ(joined(dialogs.questions), "Delete this record from database?|Delete Record?");
    EXPECT_TRUE(stored(RecordKind::Item, 990).empty());
    EXPECT_EQ(world.references().referringRecords(namedKind, named), namedBy);
}

TEST_F(UsedByTest, NavigatorCountsAndAnotherProgramsWriteIsSeen) {
    open(createMessageEditor);
    const std::size_t before = namers(RecordKind::Message, number(1)).size();
    EXPECT_EQ(usedBy(), "Used by " + std::to_string(before));

    SCOPED_TRACE("another program adds a monster naming message 1");
    {
        RecordFile other(recordType(RecordKind::Monster));
        ASSERT_EQ(other.open(""), status::kSuccess);
        ASSERT_EQ(other.call(BGETFIRST, ""), status::kSuccess);
        other.as<Monster>().Number = 9001;
        other.as<Monster>().MoveMsg = 1;
        ASSERT_EQ(other.call(BINSERT, ""), status::kSuccess);
        other.close("");
    }
    world.forgetReferencesIfChangedElsewhere();
    EXPECT_FALSE(world.referencesReady());
    dynamic_cast<gw::RecordWindow*>(window.get())->showChangesMadeElsewhere();
    EXPECT_EQ(usedBy(), "Used by " + std::to_string(before + 1));
}

TEST_F(UsedByTest, RenumberRewritesEveryNamerAndShowsTheRecordUnderItsNewNumber) {
    open(createItemEditor);
    const std::set<std::string> naming = namers(RecordKind::Item, number(1));
    const std::string name = text("txtName");
    const std::string title = "Item 1 \"" + name + "\"";
    const auto before = everything();
    struct Refusal {
        const char* answer;
        bool confirmed;  // asked to confirm, and answered Yes
        std::string said;
    };
    const Refusal refusals[] = {
        {"2", false, title + " was not renumbered: Item 2 exists already."},
        {"0", false, title + " was not renumbered: 0 is not a Item number (1 to 2147483647)."},
        {"", false, ""},  // cancelled
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.answer);
        dialogs.clear();
        dialogs.answerPrompts({r.answer});
        click("cmdRenumber");
        EXPECT_EQ(said(), r.said);
        EXPECT_TRUE(dialogs.questions.empty());
        EXPECT_EQ(everything(), before);
    }
    {
        SCOPED_TRACE("No to the list of changes, then another program holding a file");
        dialogs.clear();
        dialogs.answerPrompts({"995"});
        dialogs.answerQuestions({false});
        click("cmdRenumber");
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
        dialogs.clear();
        dialogs.answerPrompts({"995"});
        dialogs.answerQuestions({true});
        click("cmdRenumber");
        EXPECT_NE(said().find("; nothing was written."), std::string::npos) << said();
        endTransaction(other.positionBlock(), false);
        other.close("");
        EXPECT_EQ(everything(), before);
    }

    SCOPED_TRACE("renumbered: the record shown anew, the list rebuilt, every namer rewritten");
    dialogs.clear();
    dialogs.answerPrompts({"995"});
    dialogs.answerQuestions({true});
    click("cmdRenumber");
    EXPECT_EQ(said(), "");
    EXPECT_EQ(
        dialogs.prompts.at(0).rfind("New number for " + title + " (1 to 2147483647):|Renumber|", 0),
        0u)
        << dialogs.prompts.at(0);
    EXPECT_EQ(texts({"txtNumber", "txtName"}), "995 " + name);
    const std::string entries = list();
    EXPECT_NE(entries.find("995   " + name), std::string::npos);
    EXPECT_EQ(entries.find("1   " + name), std::string::npos);
    EXPECT_TRUE(stored(RecordKind::Item, 1).empty());
    EXPECT_TRUE(namers(RecordKind::Item, number(1)).empty());
    EXPECT_EQ(namers(RecordKind::Item, number(995)), naming);
    EXPECT_EQ(usedBy(), "Used by " + std::to_string(naming.size()));
}

TEST_F(UsedByTest, DoubleClickOpensTheNamingRecordInItsOwnWindow) {
    openWindowsByName();
    open(createItemEditor);
    ASSERT_EQ(usedBy().rfind("Used by ", 0), 0u);
    click("cmdUsedBy");
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("lstUsedBy"));
    ASSERT_NE(tree, nullptr);
    // The first entry of a catalogue type and the first of a navigator type.
    const std::set<QString> navigators = {QStringLiteral("Room"), QStringLiteral("Message"),
                                          QStringLiteral("Textblock"), QStringLiteral("User")};
    QTreeWidgetItem* inCatalogue = nullptr;
    QTreeWidgetItem* inNavigator = nullptr;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        auto& slot = navigators.count(item->text(0)) ? inNavigator : inCatalogue;
        if (!slot) slot = item;
    }
    for (QTreeWidgetItem* item : {inCatalogue, inNavigator}) {
        ASSERT_NE(item, nullptr);
        const QString type = item->text(0);
        SCOPED_TRACE(type.toStdString());
        const RecordKind kind = *world::kindNamed(type.toStdString());
        emit tree->itemDoubleClicked(item, 0);
        EXPECT_TRUE(opened.count(QStringLiteral("frm") + type));
        EXPECT_EQ(shownTitle(kind), (type + u' ' + item->text(1)).toStdString());
    }
    EXPECT_EQ(said(), "");
}

TEST_F(UsedByTest, UsersAreNamedByNothingAndShowNoCount) {
    open(createUserEditor);
    EXPECT_EQ(window->findChild<QPushButton*>(QStringLiteral("cmdUsedBy")), nullptr);
}

}  // namespace
}  // namespace gw::test
