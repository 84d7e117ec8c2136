// frmTextblock on a real Text block file: the shifted text through the box, the line-feed
// button, Insert and Delete, and the writes it must not make.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <cstring>
#include <string>

#include "navigator_fixture.h"
#include "navigators/navigator_windows.h"
#include "records/textblock.h"
#include "records/textblock_text.h"

namespace gw::test {
namespace {

constexpr auto kBlock = RecordKind::Textblock;
constexpr std::size_t kData = 12;

std::string dataOf(const Row& row) {
    return std::string(reinterpret_cast<const char*>(row.data()) + kData, kTextblockDataWidth);
}
std::string blanksAfter(std::string stored) {
    stored.resize(kTextblockDataWidth, ' ');
    return stored;
}

class TextblockEditorTest : public NavigatorTest {
protected:
    void put(std::int32_t number, const std::string& storedData, std::int32_t stepOrder = 0,
             std::int32_t linkTo = 0) {
        insert(kBlock, [&](RecordFile& f) {
            auto& b = f.as<Textblock>();
            b.Number = number;
            b.StepOrder = stepOrder;
            b.LinkTo = linkTo;
            const std::string data = blanksAfter(storedData);
            std::memcpy(b.Data.data(), data.data(), kTextblockDataWidth);
        });
        dialogs_.clear();
    }
    void openEditor() { open(createTextblockEditor); }
    QPlainTextEdit* data() {
        return window_->findChild<QPlainTextEdit*>(QStringLiteral("txtData"));
    }
    // Next then First: the block shown first is written back and shown again.
    void saveFirst() {
        click("cmdNext");
        click("cmdFirst");
    }
};

TEST_F(TextblockEditorTest, TextEncodingThroughTheBox) {
    {
        SCOPED_TRACE("every character the encoding has, line breaks included, round-trips");
        std::string all;
        for (int b = 33; b <= 255; ++b) all.push_back(static_cast<char>(b));
        all += "\x2d\x2a\x2d\x2a\x81\x2d";  // CR LF CR LF a CR
        put(1, all);
        put(2, "");
        openEditor();
        const std::string before = dataOf(stored(kBlock, 1));
        saveFirst();
        EXPECT_EQ(dataOf(stored(kBlock, 1)), before);
        EXPECT_EQ(data()->toPlainText().count(u'\n'), 2 + 1) << "breaks at line feeds only";
    }
    window_.reset();
    struct Case {
        const char* what;
        std::string stored;  // as read
        QString typed;       // typed over the shown text, unless empty
        std::string written;
    };
    const Case cases[] = {
        {"a leading zero byte reads as the empty text",
         std::string("\0\x81\x82", 3),
         {},
         blanksAfter("")},
        {"control bytes are skipped when read", "\x81\x05\x1f\x82", {}, blanksAfter("\x81\x82")},
        {"characters above 223 are left out", "", QStringLiteral(u"a\u00e9b\u00ffc"),
         blanksAfter("\x81\x82\x83")},
        {"an over-long text keeps its first 2488 characters", "", QString(3000, u'a'),
         std::string(kTextblockDataWidth, '\x81')},
        {"typed carriage returns are kept apart from line breaks", "",
         QStringLiteral(u"x\u21b5\ny"), blanksAfter("\x98\x2d\x2a\x99")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        file(kBlock).getEqual32(1, "delete: ");
        file(kBlock).call(BDELETE, "delete: ");
        put(1, c.stored);
        openEditor();
        if (!c.typed.isEmpty()) data()->setPlainText(c.typed);
        saveFirst();
        EXPECT_EQ(dataOf(stored(kBlock, 1)), c.written);
        EXPECT_TRUE(dialogs_.messages().isEmpty()) << dialogs_.messages().join(u'\n').toStdString();
        window_.reset();
    }
}

TEST_F(TextblockEditorTest, LineFeedButtonAppendsBytes42) {
    put(5, "\x81\x82");
    put(6, "");
    openEditor();
    click("cmdSeperate");
    click("cmdSeperate");
    EXPECT_EQ(data()->toPlainText(), QStringLiteral("ab\n\n"));
    click("cmdNext");
    EXPECT_EQ(dataOf(stored(kBlock, 5)), blanksAfter("\x81\x82\x2a\x2a"));
}

TEST_F(TextblockEditorTest, DisplayOnlyBoxesAndClosingWriteNothing) {
    put(1, "\x81", 7, 4000000);
    put(2, "\x82");
    const auto before = all(kBlock);
    openEditor();
    EXPECT_EQ(text("txtLinkTo"), QStringLiteral("4000000"));
    EXPECT_EQ(text("txtStepOrder"), QStringLiteral("7"));
    EXPECT_FALSE(box("txtNumber")->isEnabled());
    EXPECT_FALSE(box("txtStepOrder")->isEnabled());
    box("txtLinkTo")->setText(QStringLiteral("12"));
    saveFirst();
    EXPECT_EQ(text("txtLinkTo"), QStringLiteral("4000000"));
    EXPECT_EQ(all(kBlock), before);
    data()->setPlainText(QStringLiteral("lost on closing"));
    window_->close();
    EXPECT_EQ(all(kBlock), before);
    EXPECT_TRUE(dialogs_.messages().isEmpty()) << dialogs_.messages().join(u'\n').toStdString();
}

TEST_F(TextblockEditorTest, EmptyFileKeepsInitialTexts) {
    openEditor();
    EXPECT_EQ(dialogs_.messages(),
              QStringList{QStringLiteral("LoadTextblock, BGETFIRST, Textblock, Error: 9")});
    for (const char* name : {"txtNumber", "txtStepOrder", "txtLinkTo"})
        EXPECT_EQ(text(name), QStringLiteral("NNNNN")) << name;
    EXPECT_EQ(data()->toPlainText(), QStringLiteral("Text1"));
    EXPECT_EQ(text("txtGoto"), QStringLiteral("1"));
    dialogs_.clear();
    box("txtGoto")->setText(QStringLiteral("1"));
    click("cmdGoto");
    EXPECT_EQ(dialogs_.messages(), QStringList{QStringLiteral("cmdGoto_Click, Error: 4")});
    EXPECT_TRUE(all(kBlock).empty());
}

TEST_F(TextblockEditorTest, InsertAndItsRefusals) {
    put(10, "\x81");
    openEditor();
    data()->setPlainText(QStringLiteral("saved before the prompts"));
    {
        SCOPED_TRACE("cancel at the second prompt: saved, nothing inserted");
        dialogs_.answerPrompts({"20", ""});
        click("cmdInsert");
        ASSERT_EQ(dialogs_.prompts().size(), 2u);
        EXPECT_EQ(dialogs_.prompts()[0].prompt, QStringLiteral("New TextBlock Number"));
        EXPECT_EQ(dialogs_.prompts()[0].title, QStringLiteral("Insert"));
        EXPECT_EQ(dialogs_.prompts()[0].defaultText, QStringLiteral("10999"));
        EXPECT_EQ(dialogs_.prompts()[1].prompt, QStringLiteral("New Step Order"));
        EXPECT_EQ(dialogs_.prompts()[1].defaultText, QStringLiteral("0"));
        EXPECT_EQ(all(kBlock).size(), 1u);
        EXPECT_EQ(dataOf(stored(kBlock, 10)), encodeTextblockData("saved before the prompts"));
    }
    const auto before = all(kBlock);
    for (auto answers : {std::pair{"x", ""}, std::pair{"20", "9999999999"}}) {
        SCOPED_TRACE(std::string("bad answer ") + answers.first + " " + answers.second);
        dialogs_.clear();
        if (*answers.second)
            dialogs_.answerPrompts({answers.first, answers.second});
        else
            dialogs_.answerPrompts({answers.first});
        click("cmdInsert");
        ASSERT_EQ(dialogs_.messages().size(), 1);
        EXPECT_TRUE(dialogs_.messages()[0].contains(QStringLiteral("not a whole number")));
        EXPECT_EQ(all(kBlock), before);
    }
    {
        SCOPED_TRACE("a number that exists");
        dialogs_.clear();
        dialogs_.answerPrompts({"10", "3"});
        click("cmdInsert");
        ASSERT_EQ(dialogs_.messages().size(), 1);
        EXPECT_TRUE(dialogs_.messages()[0].startsWith(QStringLiteral("cmdInsert, Error: ")));
        EXPECT_EQ(text("txtNumber"), QStringLiteral("10"));
        // The refused block, still in the file's record, is not what the next save writes.
        saveFirst();
        EXPECT_EQ(all(kBlock), before);
    }
    {
        SCOPED_TRACE("a new block is shown empty and current");
        dialogs_.clear();
        dialogs_.answerPrompts({"11", "-4"});
        click("cmdInsert");
        EXPECT_TRUE(dialogs_.messages().isEmpty()) << dialogs_.messages().join(u'\n').toStdString();
        EXPECT_EQ(text("txtNumber"), QStringLiteral("11"));
        EXPECT_EQ(text("txtStepOrder"), QStringLiteral("-4"));
        EXPECT_EQ(text("txtLinkTo"), QStringLiteral("0"));
        EXPECT_TRUE(data()->toPlainText().isEmpty());
        EXPECT_EQ(dataOf(stored(kBlock, 11)), blanksAfter(""));
        click("cmdPrevious");
        EXPECT_EQ(text("txtNumber"), QStringLiteral("10"));
    }
}

TEST_F(TextblockEditorTest, DeleteAsksAndActsOnTheShownBlock) {
    put(1, "\x81");
    put(2, "\x82");
    openEditor();
    click("cmdNext");
    data()->setPlainText(QStringLiteral("not written by a delete"));
    const auto before = all(kBlock);
    {
        SCOPED_TRACE("No changes nothing");
        dialogs_.answerQuestions({false});
        click("cmdDelete");
        ASSERT_EQ(dialogs_.questions().size(), 1u);
        EXPECT_EQ(dialogs_.questions()[0].text,
                  QStringLiteral("Delete this record from database?"));
        EXPECT_EQ(dialogs_.questions()[0].title, QStringLiteral("Delete Record?"));
        EXPECT_EQ(all(kBlock), before);
    }
    {
        SCOPED_TRACE("Yes deletes the shown block even after the file moved");
        file(kBlock).getEqual32(1, "lookup: ");
        dialogs_.answerQuestions({true});
        click("cmdDelete");
        ASSERT_EQ(all(kBlock).size(), 1u);
        EXPECT_EQ(stored(kBlock, 1), before[0]);
        EXPECT_EQ(text("txtNumber"), QStringLiteral("1"));
    }
    {
        SCOPED_TRACE("deleting the last block leaves nothing shown");
        dialogs_.clear();
        dialogs_.answerQuestions({true});
        click("cmdDelete");
        EXPECT_TRUE(all(kBlock).empty());
        EXPECT_EQ(dialogs_.messages(),
                  QStringList{QStringLiteral("LoadTextblock, BGETFIRST, Textblock, Error: 9")});
        EXPECT_EQ(text("txtNumber"), QStringLiteral("NNNNN"));
        EXPECT_EQ(data()->toPlainText(), QStringLiteral("Text1"));
    }
}

}  // namespace
}  // namespace gw::test
