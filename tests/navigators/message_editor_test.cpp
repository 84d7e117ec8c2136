// The navigator steps, driven through frmMessage on a real Message file.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <cstring>
#include <string>

#include "navigator_fixture.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"

namespace gw::test {
namespace {

constexpr auto kMessage = RecordKind::Message;

std::string line(const Row& row, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(row.data()) + offset, 74);
}
std::string stored74(const std::string& text) {
    std::string s = text + '\0';
    s.resize(74, ' ');
    return s;
}

class MessageEditorTest : public NavigatorTest {
protected:
    // Messages 1, 2, 3 with their own Line1Extra values and bytes 242 to 255.
    void fillThree() {
        for (std::int32_t n : {1, 2, 3})
            insert(kMessage, [n](RecordFile& f) {
                auto& m = f.as<Message>();
                m.Number = n;
                const std::string text = "message " + std::to_string(n);
                std::memcpy(m.MessageLine1.data(), stored74(text).data(), 74);
                std::memcpy(m.MessageLine2.data(), stored74("").data(), 74);
                std::memcpy(m.MessageLine3.data(), stored74("").data(), 74);
                m.Line1Extra = {std::int16_t(n), -1, 300, std::int16_t(-n)};
                m.Line2Extra = {7, 8, 9, std::int16_t(10 * n)};
                for (std::size_t i = 242; i < 256; ++i) f.row()[i] = std::uint8_t(i + n);
            });
        dialogs_.clear();
    }
    void openEditor() { open(createMessageEditor); }
    QString report(const char* prefix, Status s) {
        return QString::fromLatin1(prefix) + QString::number(s);
    }
};

TEST_F(MessageEditorTest, BothEndsReportAndWriteBack) {
    fillThree();
    openEditor();
    EXPECT_TRUE(dialogs_.messages().isEmpty());
    EXPECT_EQ(text("txtNumber"), QStringLiteral("1"));
    EXPECT_EQ(text("txtMessageLine1"), QStringLiteral("message 1"));
    {
        SCOPED_TRACE("Previous on the first");
        box("txtMessageLine3")->setText(QStringLiteral("first edit"));
        click("cmdPrevious");
        EXPECT_EQ(dialogs_.messages(),
                  QStringList{report("cmdPrevious_Click, BGETPREVIOUS, Message, Error: ", 9)});
        EXPECT_EQ(text("txtNumber"), QStringLiteral("1"));
        EXPECT_EQ(line(stored(kMessage, 1), 168), stored74("first edit"));
    }
    {
        SCOPED_TRACE("Next on the last");
        dialogs_.clear();
        click("cmdLast");
        EXPECT_EQ(text("txtNumber"), QStringLiteral("3"));
        box("txtMessageLine2")->setText(QStringLiteral("last edit   "));
        click("cmdNext");
        EXPECT_EQ(dialogs_.messages(),
                  QStringList{report("cmdNext_Click, BGETNEXT, Message, Error: ", 9)});
        EXPECT_EQ(text("txtNumber"), QStringLiteral("3"));
        // Shown as stored: the update's row, trailing blanks gone.
        EXPECT_EQ(text("txtMessageLine2"), QStringLiteral("last edit"));
        EXPECT_EQ(line(stored(kMessage, 3), 86), stored74("last edit"));
    }
    {
        SCOPED_TRACE("Goto a number no message has");
        dialogs_.clear();
        box("txtMessageLine1")->setText(QStringLiteral("before goto"));
        box("txtGoto")->setText(QStringLiteral("99"));
        click("cmdGoto");
        EXPECT_EQ(dialogs_.messages(),
                  QStringList{report("cmdGoto_Click(), BGETEQUAL, Message, Error: ", 4)});
        EXPECT_EQ(text("txtNumber"), QStringLiteral("3"));
        EXPECT_EQ(line(stored(kMessage, 3), 4), stored74("before goto"));
        box("txtGoto")->setText(QStringLiteral("2"));
        click("cmdGoto");
        EXPECT_EQ(text("txtMessageLine1"), QStringLiteral("message 2"));
    }
}

TEST_F(MessageEditorTest, EditSurvivesMovesWithUnshownBytesKept) {
    fillThree();
    const Row before = stored(kMessage, 1);
    openEditor();
    box("txtMessageLine2")->setText(QStringLiteral("  typed with blanks    "));
    click("cmdNext");
    EXPECT_EQ(text("txtNumber"), QStringLiteral("2"));
    click("cmdPrevious");
    EXPECT_EQ(text("txtMessageLine2"), QStringLiteral("  typed with blanks"));
    Row expected = before;
    const std::string field = stored74("  typed with blanks");
    std::memcpy(expected.data() + 86, field.data(), 74);
    EXPECT_EQ(stored(kMessage, 1), expected) << "only the edited line may change";
    {
        SCOPED_TRACE("a full line keeps no zero byte");
        const QString full(74, u'x');
        box("txtMessageLine1")->setText(full);
        click("cmdNext");
        EXPECT_EQ(line(stored(kMessage, 1), 4), std::string(74, 'x'));
    }
    EXPECT_TRUE(dialogs_.messages().isEmpty()) << dialogs_.messages().join(u'\n').toStdString();
}

TEST_F(MessageEditorTest, NumberBoxRoundTripsExtremeNumbers) {
    const std::int32_t numbers[] = {INT32_MIN, -5, INT32_MAX};
    for (std::int32_t n : numbers)
        insert(kMessage, [n](RecordFile& f) { f.as<Message>().Number = n; });
    openEditor();
    EXPECT_FALSE(box("txtNumber")->isEnabled());
    // The box's typing limit must not cut what the window puts in it...
    EXPECT_EQ(text("txtNumber"), QStringLiteral("-2147483648"));
    // ...but holds for typing (insert is validated as typing is).
    box("txtGoto")->clear();
    for (QChar c : QStringLiteral("1234567")) box("txtGoto")->insert(QString(c));
    EXPECT_EQ(text("txtGoto"), QStringLiteral("12345"));
    click("cmdLast");
    EXPECT_EQ(text("txtNumber"), QStringLiteral("2147483647"));
    click("cmdFirst");
    click("cmdNext");
    const auto rows = all(kMessage);
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::int32_t number;
        std::memcpy(&number, rows[i].data(), 4);
        EXPECT_EQ(number, numbers[i]);
    }
    EXPECT_TRUE(dialogs_.messages().isEmpty()) << dialogs_.messages().join(u'\n').toStdString();
}

TEST_F(MessageEditorTest, EmptyFileWritesNothing) {
    openEditor();
    EXPECT_EQ(dialogs_.messages(),
              QStringList{report("LoadMessage, BGETFIRST, Message, Error: ", 9)});
    for (const char* name : {"txtNumber", "txtMessageLine1", "txtMessageLine2", "txtMessageLine3"})
        EXPECT_TRUE(text(name).isEmpty()) << name;
    EXPECT_EQ(text("txtGoto"), QStringLiteral("1"));
    dialogs_.clear();
    box("txtMessageLine1")->setText(QStringLiteral("typed into nothing"));
    click("cmdNext");
    // Only the move reports: there was nothing to write.
    ASSERT_EQ(dialogs_.messages().size(), 1);
    EXPECT_TRUE(dialogs_.messages()[0].startsWith(
        QStringLiteral("cmdNext_Click, BGETNEXT, Message, Error: ")));
    window_->close();
    EXPECT_TRUE(all(kMessage).empty());
}

TEST_F(MessageEditorTest, SavesTheShownRecordWhateverMovedTheFile) {
    fillThree();
    const Row third = stored(kMessage, 3);
    openEditor();
    click("cmdNext");
    ASSERT_EQ(text("txtNumber"), QStringLiteral("2"));
    {
        SCOPED_TRACE("a name lookup moved the file and overwrote its record");
        ASSERT_EQ(file(kMessage).getEqual16(3, "lookup: "), status::kSuccess);
        box("txtMessageLine1")->setText(QStringLiteral("edited two"));
        click("cmdNext");
        EXPECT_EQ(text("txtNumber"), QStringLiteral("3"));
        const Row second = stored(kMessage, 2);
        EXPECT_EQ(line(second, 4), stored74("edited two"));
        EXPECT_EQ(second[78], 2) << "Line1Extra must be message 2's own";
        EXPECT_EQ(second[243], std::uint8_t(243 + 2));
        EXPECT_EQ(stored(kMessage, 3), third);
    }
    {
        SCOPED_TRACE("the shown record was deleted behind the window");
        click("cmdPrevious");
        ASSERT_EQ(text("txtNumber"), QStringLiteral("2"));
        ASSERT_EQ(file(kMessage).getEqual32(2, "delete: "), status::kSuccess);
        ASSERT_EQ(file(kMessage).call(BDELETE, "delete: "), status::kSuccess);
        dialogs_.clear();
        click("cmdFirst");
        // The failed save is reported and the move still happens; no other record is replaced.
        EXPECT_EQ(dialogs_.messages(), QStringList{report("cmd_Save, Error: ", 4)});
        EXPECT_EQ(text("txtNumber"), QStringLiteral("1"));
        EXPECT_EQ(all(kMessage).size(), 2u);
        EXPECT_EQ(stored(kMessage, 3), third);
    }
}

TEST_F(MessageEditorTest, BadGotoTextNeitherMovesNorWrites) {
    fillThree();
    const Row first = stored(kMessage, 1);
    openEditor();
    box("txtMessageLine1")->setText(QStringLiteral("not to be written"));
    for (const char* bad : {"", "abc", "1e", "2147483648", "--1"}) {
        SCOPED_TRACE(bad);
        dialogs_.clear();
        box("txtGoto")->setText(QString::fromLatin1(bad));
        click("cmdGoto");
        ASSERT_EQ(dialogs_.messages().size(), 1);
        EXPECT_TRUE(dialogs_.messages()[0].startsWith(QStringLiteral("txtGoto: ")));
        EXPECT_TRUE(dialogs_.messages()[0].contains(QStringLiteral("-2147483648 to 2147483647")));
        EXPECT_EQ(text("txtNumber"), QStringLiteral("1"));
        EXPECT_EQ(stored(kMessage, 1), first);
    }
    {
        SCOPED_TRACE("a fraction rounds, halves to even");
        dialogs_.clear();
        box("txtGoto")->setText(QStringLiteral(" 2.5 "));
        click("cmdGoto");
        EXPECT_TRUE(dialogs_.messages().isEmpty());
        EXPECT_EQ(text("txtNumber"), QStringLiteral("2"));
    }
}

TEST_F(MessageEditorTest, ClosingSaves) {
    fillThree();
    openEditor();
    click("cmdLast");
    box("txtMessageLine3")->setText(QStringLiteral("closing edit"));
    window_->close();
    window_->close();  // the main window's shutdown may close it once more
    EXPECT_EQ(line(stored(kMessage, 3), 168), stored74("closing edit"));
    EXPECT_TRUE(dialogs_.messages().isEmpty()) << dialogs_.messages().join(u'\n').toStdString();
}

}  // namespace
}  // namespace gw::test
