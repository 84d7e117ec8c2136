// The navigator engine once, through frmMessage: the moves by button and key, their reports
// at the ends of the file, Goto, and the write-backs before each move and on closing. Then
// frmTextblock's own parts: its text box, the line-feed button, Insert and Delete.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <cstring>

#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"
#include "records/textblock.h"
#include "records/textblock_text.h"

namespace gw::test {
namespace {

constexpr auto kMessage = RecordKind::Message;
constexpr auto kBlock = RecordKind::Textblock;
constexpr std::int32_t kFirst = INT32_MIN, kLast = INT32_MAX;

// A message line at `offset` of a row, and a typed line as the file stores it.
std::string line(const Row& row, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(row.data()) + offset, 74);
}
std::string stored74(std::string text) {
    text += '\0';
    return text.append(74 - text.size(), ' ');
}
std::string dataOf(const Row& row) {
    if (row.size() < 12 + kTextblockDataWidth) return "short row";
    return std::string(reinterpret_cast<const char*>(row.data()) + 12, kTextblockDataWidth);
}
std::string blanksAfter(std::string stored) {
    return stored.append(kTextblockDataWidth - stored.size(), ' ');
}

class NavigatorTest : public GuiTest {
protected:
    void SetUp() override { create({kMessage, kBlock}); }
    void block(std::int32_t number, const std::string& data, std::int32_t link = 0) {
        put(kBlock, [&](RecordFile& f) {
            f.as<Textblock>().Number = number, f.as<Textblock>().LinkTo = link;
            setField(f.as<Textblock>().Data, data);
        });
    }
    // Next then First: the block shown first is written back and shown again.
    void saveFirst() {
        click("cmdNext");
        click("cmdFirst");
    }
};

TEST_F(NavigatorTest, StepsReportTheEndsAndWriteBackTheMessageShown) {
    // The lowest and highest numbers: the disabled number box's typing limit must not cut them.
    for (std::int32_t n : {kFirst, 2, kLast})
        put(kMessage, [n](RecordFile& f) {
            f.as<Message>().Number = n;
            setField(f.as<Message>().MessageLine1, stored74("message " + std::to_string(n)));
        });
    open(createMessageEditor);
    EXPECT_EQ(text("txtNumber"), "-2147483648");
    EXPECT_FALSE(child<QLineEdit>("txtNumber")->isEnabled());
    type("txtMessageLine3", "first edit");
    click("cmdPrevious");
    EXPECT_EQ(said(),
              "cmdPrevious_Click, BGETPREVIOUS, Message, Error: 9 (end or beginning of file)");
    EXPECT_EQ(text("txtNumber"), "-2147483648");
    EXPECT_EQ(line(stored(kMessage, kFirst), 168), stored74("first edit"));

    SCOPED_TRACE("Page Down and Up step, with Ctrl to the ends, wherever the focus is");
    QApplication::setActiveWindow(window.get());
    auto* box = child<QWidget>("txtMessageLine2");
    box->setFocus();
    const std::pair<QKeyCombination, std::int32_t> keys[] = {{Qt::Key_PageDown, 2},
                                                             {Qt::Key_PageDown, kLast},
                                                             {Qt::Key_PageUp, 2},
                                                             {Qt::CTRL | Qt::Key_PageUp, kFirst},
                                                             {Qt::CTRL | Qt::Key_PageDown, kLast}};
    for (const auto& [key, shown] : keys) {
        QTest::keyClick(box, key.key(), key.keyboardModifiers());
        EXPECT_EQ(text("txtNumber"), std::to_string(shown));
    }

    SCOPED_TRACE("the last message: its report, and the line shown as stored");
    dialogs.clear();
    type("txtMessageLine2", "  last edit   ");
    click("cmdNext");
    EXPECT_EQ(said(), "cmdNext_Click, BGETNEXT, Message, Error: 9 (end or beginning of file)");
    // Trailing blanks gone, leading ones kept.
    EXPECT_EQ(text("txtNumber") + "|" + text("txtMessageLine2"), "2147483647|  last edit");
    EXPECT_EQ(line(stored(kMessage, kLast), 86), stored74("  last edit"));

    SCOPED_TRACE("Goto a number no message has saves first; bad text neither moves nor writes");
    dialogs.clear();
    type("txtMessageLine1", "before goto");
    type("txtGoto", "99");
    click("cmdGoto");
    EXPECT_EQ(said(), "cmdGoto_Click(), BGETEQUAL, Message, Error: 4 (no record has this key)");
    const Row last = stored(kMessage, kLast);
    EXPECT_EQ(line(last, 4), stored74("before goto"));
    type("txtMessageLine1", "not to be written");
    for (const char* bad : {"abc", "2147483648"}) {
        SCOPED_TRACE(bad);
        dialogs.clear();
        type("txtGoto", bad);
        click("cmdGoto");
        EXPECT_EQ(said(), "txtGoto: \"" + std::string(bad) +
                              "\" is not a whole number from -2147483648 to 2147483647.");
        EXPECT_EQ(text("txtNumber"), "2147483647");
        EXPECT_EQ(stored(kMessage, kLast), last);
    }
    dialogs.clear();
    type("txtGoto", "2");
    click("cmdGoto");
    EXPECT_EQ(text("txtMessageLine1"), "message 2");

    SCOPED_TRACE("closing saves, once however often the window is closed");
    type("txtMessageLine3", "closing edit");
    window->close();
    window->close();
    EXPECT_EQ(line(stored(kMessage, 2), 168), stored74("closing edit"));
    std::vector<std::int32_t> numbers;
    for (const Row& row : all(kMessage)) std::memcpy(&numbers.emplace_back(), row.data(), 4);
    EXPECT_EQ(numbers, (std::vector<std::int32_t>{kFirst, 2, kLast}));
    EXPECT_EQ(said(), "");
}

TEST_F(NavigatorTest, TextblockTextInsertAndDelete) {
    std::string every;
    for (int b = 33; b <= 255; ++b) every.push_back(static_cast<char>(b));
    every += "\x2d\x2a\x2d\x2a\x81\x2d";  // CR LF CR LF a CR
    block(1, every, 4000000);
    block(2, "\x82");
    open(createTextblockEditor);
    {
        SCOPED_TRACE("every character round-trips; the line-feed button appends byte 42");
        click("cmdSeperate");
        click("cmdSeperate");
        type("txtLinkTo", "12");  // shown only
        saveFirst();
        EXPECT_EQ(dataOf(stored(kBlock, 1)), blanksAfter(every + "\x2a\x2a"));
        EXPECT_EQ(texts({"txtNumber", "txtLinkTo"}), "1 4000000");
    }
    SCOPED_TRACE("typed carriage returns are kept apart from line breaks");
    type("txtData", "x\u21b5\ny");
    saveFirst();
    EXPECT_EQ(dataOf(stored(kBlock, 1)), blanksAfter("\x98\x2d\x2a\x99"));
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("Insert: 0 is refused before the step order is asked, then a number in use");
    const std::vector<Row> before = all(kBlock);
    dialogs.answerPrompts({"0", "2", "3"});
    click("cmdInsert");
    EXPECT_EQ(said(),
              "New TextBlock Number: 0 means none wherever a record names a Textblock; "
              "nothing was inserted.");
    dialogs.clear();
    click("cmdInsert");
    EXPECT_TRUE(said().starts_with("cmdInsert, Error: ")) << said();
    // The refused block, still in the file's record, is not what the next save writes.
    saveFirst();
    EXPECT_EQ(all(kBlock), before);

    SCOPED_TRACE("Delete writes nothing back; Yes deletes the block shown wherever the file is");
    click("cmdNext");
    type("txtData", "not written by a delete");
    dialogs.answerQuestions({false, true});
    click("cmdDelete");
    EXPECT_EQ(joined(dialogs.questions), "Delete this record from database?|Delete Record?");
    EXPECT_EQ(all(kBlock), before);
    world.file(kBlock).getEqual32(1, "");
    click("cmdDelete");
    EXPECT_EQ(text("txtNumber"), "1");
    type("txtData", "lost on closing");
    dialogs.answerWithCancel({Answer::No});
    window->close();
    EXPECT_EQ(dialogs.questions.back(),
              "Save the changes to Textblock 1?|Save Changes|Save/Discard/Cancel");
    EXPECT_EQ(all(kBlock), std::vector<Row>{before[0]});
}

}  // namespace
}  // namespace gw::test
