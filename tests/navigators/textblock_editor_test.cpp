// frmTextblock on a real Text block file: the shifted text through the box, the line-feed
// button, Insert and Delete, and the writes it must not make.
#include <cstring>

#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "records/textblock.h"
#include "records/textblock_text.h"

namespace gw::test {
namespace {

constexpr auto kBlock = RecordKind::Textblock;

std::string dataOf(const Row& row) {
    if (row.size() < 12 + kTextblockDataWidth) return "short row";
    return std::string(reinterpret_cast<const char*>(row.data()) + 12, kTextblockDataWidth);
}
std::string blanksAfter(std::string stored) {
    return stored.append(kTextblockDataWidth - stored.size(), ' ');
}

class TextblockEditorTest : public GuiTest {
protected:
    void SetUp() override { create({RecordKind::Message, kBlock}); }
    void block(std::int32_t number, const std::string& data, std::int32_t step = 0,
               std::int32_t link = 0) {
        put(kBlock, [&](RecordFile& f) {
            auto& b = f.as<Textblock>();
            b.Number = number, b.StepOrder = step, b.LinkTo = link;
            std::memcpy(b.Data.data(), blanksAfter(data).data(), kTextblockDataWidth);
        });
    }
    // Next then First: the block shown first is written back and shown again.
    void saveFirst() {
        click("cmdNext");
        click("cmdFirst");
    }
};

TEST_F(TextblockEditorTest, TextEncodingThroughTheBox) {
    std::string every;
    for (int b = 33; b <= 255; ++b) every.push_back(static_cast<char>(b));
    every += "\x2d\x2a\x2d\x2a\x81\x2d";  // CR LF CR LF a CR
    struct Case {
        const char* what;
        std::string stored;
        std::string typed;  // over the shown text, unless empty
        std::string written;
    } const cases[] = {
        {"every character the encoding has round-trips", every, "", blanksAfter(every)},
        {"a leading zero byte reads as the empty text", std::string("\0\x81\x82", 3), "",
         blanksAfter("")},
        {"control bytes are skipped when read", "\x81\x05\x1f\x82", "", blanksAfter("\x81\x82")},
        {"characters above 223 are left out", "", "a\u00e9b\u00ffc", blanksAfter("\x81\x82\x83")},
        {"an over-long text keeps its first 2488 characters", "", std::string(3000, 'a'),
         std::string(kTextblockDataWidth, '\x81')},
        {"typed carriage returns are kept apart from line breaks", "", "x\u21b5\ny",
         blanksAfter("\x98\x2d\x2a\x99")},
    };
    block(2, "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        block(1, c.stored);
        open(createTextblockEditor);
        if (!c.typed.empty()) type("txtData", c.typed.c_str());
        saveFirst();
        EXPECT_EQ(dataOf(stored(kBlock, 1)), c.written);
        EXPECT_EQ(said(), "");
        window.reset();
        world.file(kBlock).call(BDELETE, "");  // stands on block 1 after the read above
    }
}

TEST_F(TextblockEditorTest, LineFeedButtonAppendsBytes42) {
    block(5, "\x81\x82");
    block(6, "");
    open(createTextblockEditor);
    click("cmdSeperate");
    click("cmdSeperate");
    EXPECT_EQ(text("txtData"), "ab\n\n");
    click("cmdNext");
    EXPECT_EQ(dataOf(stored(kBlock, 5)), blanksAfter("\x81\x82\x2a\x2a"));
}

TEST_F(TextblockEditorTest, TheLinkBoxAndClosingWriteNothing) {
    block(1, "\x81", 7, 4000000);
    block(2, "\x82");
    const auto before = all(kBlock);
    open(createTextblockEditor);
    type("txtLinkTo", "12");
    saveFirst();
    EXPECT_EQ(text("txtLinkTo"), "4000000");
    type("txtData", "lost on closing");
    window->close();
    EXPECT_EQ(all(kBlock), before);
    EXPECT_EQ(said(), "");
}

TEST_F(TextblockEditorTest, InsertOfANumberThatExistsIsRefusedAndNotWrittenLater) {
    block(10, "\x81");
    open(createTextblockEditor);
    const auto before = all(kBlock);
    dialogs.answerPrompts({"10", "3"});
    click("cmdInsert");
    EXPECT_TRUE(said().starts_with("cmdInsert, Error: ")) << said();
    EXPECT_EQ(text("txtNumber"), "10");
    // The refused block, still in the file's record, is not what the next save writes.
    saveFirst();
    EXPECT_EQ(all(kBlock), before);
}

TEST_F(TextblockEditorTest, DeleteAsksAndActsOnTheShownBlock) {
    block(1, "\x81");
    block(2, "\x82");
    open(createTextblockEditor);
    click("cmdNext");
    type("txtData", "not written by a delete");
    const auto before = all(kBlock);
    dialogs.answerQuestions({false, true});
    click("cmdDelete");
    EXPECT_EQ(joined(dialogs.questions), "Delete this record from database?|Delete Record?");
    EXPECT_EQ(all(kBlock), before);

    SCOPED_TRACE("Yes deletes the shown block even after the file moved");
    world.file(kBlock).getEqual32(1, "lookup: ");
    click("cmdDelete");
    EXPECT_EQ(all(kBlock), std::vector<Row>{before[0]});
}

}  // namespace
}  // namespace gw::test
