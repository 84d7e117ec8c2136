// The navigators, frmMessage and frmTextblock, on real files: the steps, the write-backs
// they must make and the ones they must not, and the shifted text of a text block.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
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
    // Messages 1, 2, 3 with their own Line1Extra values and bytes 242 to 255.
    void openOnThree() {
        for (std::int32_t n : {1, 2, 3})
            put(kMessage, [n](RecordFile& f) {
                auto& m = f.as<Message>();
                m.Number = n;
                setField(m.MessageLine1, stored74("message " + std::to_string(n)));
                setField(m.MessageLine2, stored74("")), setField(m.MessageLine3, stored74(""));
                m.Line1Extra = {std::int16_t(n), -1, 300, std::int16_t(-n)};
                for (std::size_t i = 242; i < 256; ++i) f.row()[i] = std::uint8_t(i + n);
            });
        open(createMessageEditor);
    }
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

// Keyboard only: Page Down and Page Up step, Ctrl+Page Down and Up go to the ends, from
// wherever the focus is in the window.
TEST_F(NavigatorTest, TheKeyboardSteps) {
    openOnThree();
    QApplication::setActiveWindow(window.get());
    auto* box = child<QWidget>("txtMessageLine2");
    box->setFocus();
    const std::pair<QKeyCombination, const char*> keys[] = {
        {Qt::Key_PageDown, "message 2"},
        {Qt::Key_PageDown, "message 3"},
        {Qt::Key_PageUp, "message 2"},
        {Qt::CTRL | Qt::Key_PageUp, "message 1"},
        {Qt::CTRL | Qt::Key_PageDown, "message 3"}};
    for (const auto& [key, shown] : keys) {
        QTest::keyClick(box, key.key(), key.keyboardModifiers());
        EXPECT_EQ(text("txtMessageLine1"), shown);
    }
    EXPECT_EQ(said(), "");
}

TEST_F(NavigatorTest, BothEndsReportAndWriteBack) {
    openOnThree();
    EXPECT_EQ(texts({"txtNumber", "txtMessageLine1"}), "1 message 1");
    type("txtMessageLine3", "first edit");
    click("cmdPrevious");
    EXPECT_EQ(said(),
              "cmdPrevious_Click, BGETPREVIOUS, Message, Error: 9 (end or beginning of file)");
    EXPECT_EQ(text("txtNumber"), "1");
    EXPECT_EQ(line(stored(kMessage, 1), 168), stored74("first edit"));
    dialogs.clear();
    click("cmdLast");
    type("txtMessageLine2", "  last edit   ");
    click("cmdNext");
    EXPECT_EQ(said(), "cmdNext_Click, BGETNEXT, Message, Error: 9 (end or beginning of file)");
    // Shown as stored, trailing blanks gone, leading ones kept.
    EXPECT_EQ(text("txtNumber") + "|" + text("txtMessageLine2"), "3|  last edit");
    EXPECT_EQ(line(stored(kMessage, 3), 86), stored74("  last edit"));

    SCOPED_TRACE("Goto a number no message has, or bad text");
    dialogs.clear();
    type("txtMessageLine1", "before goto");
    type("txtGoto", "99");
    click("cmdGoto");
    EXPECT_EQ(said(), "cmdGoto_Click(), BGETEQUAL, Message, Error: 4 (no record has this key)");
    EXPECT_EQ(text("txtNumber"), "3");
    const Row third = stored(kMessage, 3);
    EXPECT_EQ(line(third, 4), stored74("before goto"));
    type("txtMessageLine1", "not to be written");
    for (const char* bad : {"", "abc", "1e", "2147483648", "--1"}) {
        SCOPED_TRACE(bad);
        dialogs.clear();
        type("txtGoto", bad);
        click("cmdGoto");
        EXPECT_TRUE(said().starts_with("txtGoto: ") && dialogs.messages.size() == 1) << said();
        EXPECT_NE(said().find("-2147483648 to 2147483647"), std::string::npos);
        EXPECT_EQ(text("txtNumber"), "3");
        EXPECT_EQ(stored(kMessage, 3), third);
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
    EXPECT_EQ(said(), "");
}

TEST_F(NavigatorTest, TheDisabledNumberBoxRoundTripsExtremeNumbers) {
    const std::vector<std::int32_t> numbers{INT32_MIN, -5, INT32_MAX};
    for (std::int32_t n : numbers)
        put(kMessage, [n](RecordFile& f) { f.as<Message>().Number = n; });
    open(createMessageEditor);
    EXPECT_FALSE(child<QLineEdit>("txtNumber")->isEnabled());
    EXPECT_EQ(text("txtNumber"), "-2147483648");  // its typing limit must not cut it
    click("cmdLast");
    EXPECT_EQ(text("txtNumber"), "2147483647");
    click("cmdFirst");
    click("cmdNext");
    std::vector<std::int32_t> kept;
    for (const Row& row : all(kMessage)) std::memcpy(&kept.emplace_back(), row.data(), 4);
    EXPECT_EQ(kept, numbers);
    EXPECT_EQ(said(), "");
}

TEST_F(NavigatorTest, AnEmptyMessageFileWritesNothing) {
    open(createMessageEditor);
    EXPECT_EQ(said(), "LoadMessage, BGETFIRST, Message, Error: 9 (end or beginning of file)");
    EXPECT_EQ(texts({"txtNumber", "txtMessageLine1", "txtMessageLine2", "txtMessageLine3"}), "   ");
    dialogs.clear();
    type("txtMessageLine1", "typed into nothing");
    click("cmdNext");
    // Only the move reports: there was nothing to write.
    EXPECT_TRUE(said().starts_with("cmdNext_Click, BGETNEXT, Message, Error: ")) << said();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    window->close();
    EXPECT_TRUE(all(kMessage).empty());
}

TEST_F(NavigatorTest, TextEncodingThroughTheBox) {
    std::string every;
    for (int b = 33; b <= 255; ++b) every.push_back(static_cast<char>(b));
    every += "\x2d\x2a\x2d\x2a\x81\x2d";  // CR LF CR LF a CR
    // What it is, the stored text, what is typed over it, what is written. Without a text to
    // type an "a" is typed after the text shown: the rest is written as it was read.
    const std::tuple<const char*, std::string, std::string, std::string> cases[] = {
        {"every character the encoding has round-trips", every, "", blanksAfter(every + "\x81")},
        {"a leading zero byte reads as the empty text", std::string("\0\x81\x82", 3), "",
         blanksAfter("\x81")},
        {"control bytes are skipped when read", "\x81\x05\x1f\x82", "",
         blanksAfter("\x81\x82\x81")},
        {"characters above 223 are left out", "", "a\u00e9b\u00ffc", blanksAfter("\x81\x82\x83")},
        {"an over-long text keeps its first 2488 characters", "", std::string(3000, 'a'),
         std::string(kTextblockDataWidth, '\x81')},
        {"typed carriage returns are kept apart from line breaks", "", "x\u21b5\ny",
         blanksAfter("\x98\x2d\x2a\x99")},
    };
    block(2, "");
    for (const auto& [what, stored, typed, written] : cases) {
        SCOPED_TRACE(what);
        block(1, stored);
        open(createTextblockEditor);
        if (typed.empty()) {
            QTextCursor end(child<QPlainTextEdit>("txtData")->document());
            end.movePosition(QTextCursor::End);
            end.insertText(QStringLiteral("a"));
        } else {
            type("txtData", typed.c_str());
        }
        saveFirst();
        EXPECT_EQ(dataOf(this->stored(kBlock, 1)), written);
        EXPECT_EQ(said(), "");
        window.reset();
        world.file(kBlock).call(BDELETE, "");  // stands on block 1 after the read above
    }

    SCOPED_TRACE("the line-feed button appends byte 42 each time");
    block(1, "\x81\x82");
    open(createTextblockEditor);
    click("cmdSeperate");
    click("cmdSeperate");
    EXPECT_EQ(text("txtData"), "ab\n\n");
    saveFirst();
    EXPECT_EQ(dataOf(stored(kBlock, 1)), blanksAfter("\x81\x82\x2a\x2a"));
}

TEST_F(NavigatorTest, TextblockInsertDeleteAndTheWritesItMustNotMake) {
    block(1, "\x81", 4000000);
    block(2, "\x82");
    const std::vector<Row> before = all(kBlock);
    open(createTextblockEditor);
    type("txtLinkTo", "12");                 // shown only
    dialogs.answerPrompts({"0", "2", "3"});  // 0 is refused before the step order is asked
    click("cmdInsert");
    EXPECT_EQ(said(),
              "New TextBlock Number: 0 means none wherever a record names a Textblock; "
              "nothing was inserted.");
    dialogs.clear();
    click("cmdInsert");
    EXPECT_TRUE(said().starts_with("cmdInsert, Error: ")) << said();
    // The refused block, still in the file's record, is not what the next save writes.
    saveFirst();
    EXPECT_EQ(texts({"txtNumber", "txtLinkTo"}), "1 4000000");
    EXPECT_EQ(all(kBlock), before);

    click("cmdNext");
    type("txtData", "not written by a delete");
    dialogs.answerQuestions({false, true});
    click("cmdDelete");
    EXPECT_EQ(joined(dialogs.questions), "Delete this record from database?|Delete Record?");
    EXPECT_EQ(all(kBlock), before);
    world.file(kBlock).getEqual32(1, "");  // Yes deletes the shown block wherever the file is
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
