// The navigator steps, driven through frmMessage on a real Message file.
#include <cstring>

#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "records/message.h"

namespace gw::test {
namespace {

constexpr auto kMessage = RecordKind::Message;

std::string line(const Row& row, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(row.data()) + offset, 74);
}
std::string stored74(const std::string& text) {
    return (text + '\0').append(73 - text.size(), ' ');
}

class MessageEditorTest : public GuiTest {
protected:
    void SetUp() override { create({kMessage, RecordKind::Textblock}); }
    // Messages 1, 2, 3 with their own Line1Extra values and bytes 242 to 255.
    void openOnThree() {
        for (std::int32_t n : {1, 2, 3})
            put(kMessage, [n](RecordFile& f) {
                auto& m = f.as<Message>();
                m.Number = n;
                std::memcpy(m.MessageLine1.data(), stored74("message " + std::to_string(n)).data(),
                            74);
                std::memcpy(m.MessageLine2.data(), stored74("").data(), 74);
                std::memcpy(m.MessageLine3.data(), stored74("").data(), 74);
                m.Line1Extra = {std::int16_t(n), -1, 300, std::int16_t(-n)};
                for (std::size_t i = 242; i < 256; ++i) f.row()[i] = std::uint8_t(i + n);
            });
        open(createMessageEditor);
    }
};

TEST_F(MessageEditorTest, BothEndsReportAndWriteBack) {
    openOnThree();
    EXPECT_EQ(text("txtNumber"), "1");
    EXPECT_EQ(text("txtMessageLine1"), "message 1");
    type("txtMessageLine3", "first edit");
    click("cmdPrevious");
    EXPECT_EQ(said(), "cmdPrevious_Click, BGETPREVIOUS, Message, Error: 9");
    EXPECT_EQ(text("txtNumber"), "1");
    EXPECT_EQ(line(stored(kMessage, 1), 168), stored74("first edit"));

    dialogs.clear();
    click("cmdLast");
    type("txtMessageLine2", "last edit   ");
    click("cmdNext");
    EXPECT_EQ(said(), "cmdNext_Click, BGETNEXT, Message, Error: 9");
    EXPECT_EQ(text("txtNumber"), "3");
    EXPECT_EQ(text("txtMessageLine2"), "last edit");  // shown as stored, trailing blanks gone
    EXPECT_EQ(line(stored(kMessage, 3), 86), stored74("last edit"));

    SCOPED_TRACE("Goto a number no message has");
    dialogs.clear();
    type("txtMessageLine1", "before goto");
    type("txtGoto", "99");
    click("cmdGoto");
    EXPECT_EQ(said(), "cmdGoto_Click(), BGETEQUAL, Message, Error: 4");
    EXPECT_EQ(text("txtNumber"), "3");
    EXPECT_EQ(line(stored(kMessage, 3), 4), stored74("before goto"));
    type("txtGoto", "2");
    click("cmdGoto");
    EXPECT_EQ(text("txtMessageLine1"), "message 2");

    SCOPED_TRACE("closing saves, once however often the window is closed");
    type("txtMessageLine3", "closing edit");
    window->close();
    window->close();
    EXPECT_EQ(line(stored(kMessage, 2), 168), stored74("closing edit"));
    EXPECT_EQ(dialogs.messages.size(), 1u);  // only the Goto above
}

TEST_F(MessageEditorTest, AnEditSurvivesNextWithTheUnshownBytesKept) {
    openOnThree();
    Row expected = stored(kMessage, 1);
    type("txtMessageLine2", "  typed with blanks    ");
    click("cmdNext");
    EXPECT_EQ(text("txtNumber"), "2");
    click("cmdPrevious");
    EXPECT_EQ(text("txtMessageLine2"), "  typed with blanks");
    std::memcpy(expected.data() + 86, stored74("  typed with blanks").data(), 74);
    EXPECT_EQ(stored(kMessage, 1), expected) << "only the edited line may change";
    EXPECT_EQ(said(), "");
}

TEST_F(MessageEditorTest, TheDisabledNumberBoxRoundTripsExtremeNumbers) {
    const std::int32_t numbers[] = {INT32_MIN, -5, INT32_MAX};
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
    EXPECT_EQ(kept, std::vector<std::int32_t>(std::begin(numbers), std::end(numbers)));
    EXPECT_EQ(said(), "");
}

TEST_F(MessageEditorTest, AnEmptyFileWritesNothing) {
    open(createMessageEditor);
    EXPECT_EQ(said(), "LoadMessage, BGETFIRST, Message, Error: 9");
    for (const char* name : {"txtNumber", "txtMessageLine1", "txtMessageLine2", "txtMessageLine3"})
        EXPECT_EQ(text(name), "") << name;
    dialogs.clear();
    type("txtMessageLine1", "typed into nothing");
    click("cmdNext");
    // Only the move reports: there was nothing to write.
    EXPECT_TRUE(said().starts_with("cmdNext_Click, BGETNEXT, Message, Error: ")) << said();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    window->close();
    EXPECT_TRUE(all(kMessage).empty());
}

// A name lookup moved the file and overwrote its record.
TEST_F(MessageEditorTest, SavesTheShownRecordWhateverMovedTheFile) {
    openOnThree();
    const Row third = stored(kMessage, 3);
    click("cmdNext");
    ASSERT_EQ(world.file(kMessage).getEqual16(3, "lookup: "), status::kSuccess);
    type("txtMessageLine1", "edited two");
    click("cmdNext");
    EXPECT_EQ(text("txtNumber"), "3");
    const Row second = stored(kMessage, 2);
    EXPECT_EQ(line(second, 4), stored74("edited two"));
    EXPECT_EQ(second[78], 2) << "Line1Extra must be message 2's own";
    EXPECT_EQ(second[243], std::uint8_t(243 + 2));
    EXPECT_EQ(stored(kMessage, 3), third);
}

TEST_F(MessageEditorTest, BadGotoTextNeitherMovesNorWrites) {
    openOnThree();
    const Row first = stored(kMessage, 1);
    type("txtMessageLine1", "not to be written");
    for (const char* bad : {"", "abc", "1e", "2147483648", "--1"}) {
        SCOPED_TRACE(bad);
        dialogs.clear();
        type("txtGoto", bad);
        click("cmdGoto");
        EXPECT_TRUE(said().starts_with("txtGoto: ")) << said();
        EXPECT_NE(said().find("-2147483648 to 2147483647"), std::string::npos);
        EXPECT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(text("txtNumber"), "1");
        EXPECT_EQ(stored(kMessage, 1), first);
    }
}

}  // namespace
}  // namespace gw::test
