// The Find window over a small demo world: results stream in from the search thread, the
// options reach the search, and a double-click opens the record in its own window.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>

#include "gui_test.h"
#include "shell/main_window.h"
#include "tools/data/demo_world.h"

namespace gw::test {
namespace {

class FindWindowTest : public GuiTest {
protected:
    void SetUp() override {
        buildSmallWorld();
        // An item and a room that name the word, in a catalogue and in a navigator.
        plant(RecordKind::Item, 90001, 0, "Item", "Name", "Vorpal Qzark");
        plant(RecordKind::Room, 9001, 7, "Room", "Desc", "a qzark sleeps");
        main.startUp();
        main.findChild<QAction*>(QStringLiteral("mnuEditFind"))->trigger();
        find = main.mdiArea()->activeSubWindow()->widget();
    }
    void plant(RecordKind kind, std::int32_t number, std::int32_t room, const char*,
               const char* field, const char* text) {
        RecordFile f(recordType(kind));
        ASSERT_EQ(f.open(""), status::kSuccess);
        std::fill(f.row().begin(), f.row().end(), 0);
        f.rowToRecord();
        const RecordType& t = f.type();
        setInt(f.record(), t.fields()[0], 0, number);
        if (kind == RecordKind::Room) setInt(f.record(), t.fields()[1], 0, room);
        setText(f.record(), *t.field(field), 0, zeroEnded(text, t.field(field)->width));
        ASSERT_EQ(f.call(BINSERT, ""), status::kSuccess);
        ASSERT_EQ(f.close(""), status::kSuccess);
    }
    template <class W>
    W* in(const char* name) {
        W* w = find->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Runs a search to its end and gives "Type Key Name Field Text" per result.
    Strings search(const char* text) {
        in<QLineEdit>("txtFind")->setText(QString::fromLatin1(text));
        in<QPushButton>("cmdFind")->click();
        while (!in<QPushButton>("cmdFind")->isEnabled()) QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        Strings rows;
        auto* list = in<QTreeWidget>("lstResults");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c) cells << list->topLevelItem(i)->text(c);
            rows.push_back(cells.join(u'|').toStdString());
        }
        return rows;
    }

    std::unique_ptr<MDIForm1> owned = std::make_unique<MDIForm1>(dialogs);
    MDIForm1& main = *owned;
    QWidget* find = nullptr;
};

TEST_F(FindWindowTest, ResultsOptionsAndOpeningARecord) {
    EXPECT_EQ(search("QZARK"), (Strings{"Item|90001|Vorpal Qzark|Name|Vorpal Qzark",
                                        "Room|9001:7||Desc(1)|a qzark sleeps"}));
    EXPECT_EQ(in<QLabel>("lblStatus")->text().toStdString().find("2 found in"), 0u);
    in<QCheckBox>("chkMatchCase")->setChecked(true);
    EXPECT_EQ(search("qzark"), Strings{"Room|9001:7||Desc(1)|a qzark sleeps"});
    in<QCheckBox>("chkMatchCase")->setChecked(false);
    in<QCheckBox>("chkType_Room")->setChecked(false);
    EXPECT_EQ(search("qzark"), Strings{"Item|90001|Vorpal Qzark|Name|Vorpal Qzark"});
    in<QCheckBox>("chkType_Room")->setChecked(true);
    ASSERT_EQ(search("qzark").size(), 2u);

    auto* list = in<QTreeWidget>("lstResults");
    {
        SCOPED_TRACE("a catalogue selects the record");
        emit list->itemActivated(list->topLevelItem(0), 0);
        QMdiSubWindow* items = main.subWindow(QStringLiteral("frmItem"));
        ASSERT_NE(items, nullptr);
        auto* name = items->widget()->findChild<QLineEdit*>(QStringLiteral("txtName"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), QStringLiteral("Vorpal Qzark"));
    }
    {
        SCOPED_TRACE("a navigator goes to the record");
        emit list->itemActivated(list->topLevelItem(1), 0);
        QMdiSubWindow* rooms = main.subWindow(QStringLiteral("frmRoom"));
        ASSERT_NE(rooms, nullptr);
        auto* room = rooms->widget()->findChild<QLineEdit*>(QStringLiteral("txtRoom"));
        ASSERT_NE(room, nullptr);
        EXPECT_EQ(room->text(), QStringLiteral("7"));
    }
    EXPECT_EQ(said(), "");
    EXPECT_TRUE(main.close());
}

}  // namespace
}  // namespace gw::test
