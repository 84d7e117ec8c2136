#include "records/text_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace gw {
namespace {

using namespace std::string_literals;

TEST(TextFields, ShownTextStopsAtTheFirstZero) {
    EXPECT_EQ(shownText("ab\0cd"s), "ab");
    EXPECT_EQ(shownText("\0abc"s), "");
    EXPECT_EQ(shownText("full  "), "full  ");
    EXPECT_EQ(shownText(""), "");
}

TEST(TextFields, StoredForms) {
    {
        SCOPED_TRACE("zero-ended keeps typed trailing blanks");
        EXPECT_EQ(zeroEnded("ab ", 6), "ab \0  "s);
        EXPECT_EQ(zeroEnded("", 3), "\0  "s);
    }
    {
        SCOPED_TRACE("a text as long as the field loses the zero");
        EXPECT_EQ(zeroEnded("abcdef", 6), "abcdef");
        EXPECT_EQ(zeroEnded("abcdefgh", 6), "abcdef");
        EXPECT_EQ(zeroEnded("abcde", 6), "abcde\0"s);
    }
    {
        SCOPED_TRACE("trimmed zero-ended");
        EXPECT_EQ(trimmedZeroEnded("abc   ", 74), "abc\0"s + std::string(70, ' '));
        EXPECT_EQ(trimmedZeroEnded("", 74), "\0"s + std::string(73, ' '));
        EXPECT_EQ(trimmedZeroEnded("   ", 4), "\0   "s);
        EXPECT_EQ(trimmedZeroEnded(" a ", 4), " a\0 "s);
    }
    {
        SCOPED_TRACE("blank-filled");
        EXPECT_EQ(blankFilled("ab", 4), "ab  ");
        EXPECT_EQ(blankFilled("abcdef", 4), "abcd");
        EXPECT_EQ(blankFilled("", 2), "  ");
        EXPECT_EQ(blankFilled("a\0b"s, 4), "a\0b "s);
    }
    EXPECT_EQ(trimRight("a b  "), "a b");
    EXPECT_EQ(trimRight("    "), "");
    EXPECT_EQ(trimRight(""), "");
}

TEST(TextFields, ReadingAndStoringAgainIsStable) {
    // What the editors do on a save without changes: show, then store the shown text.
    const std::string stored = "Orc\0junk     "s;
    const std::string once = zeroEnded(shownText(stored), stored.size());
    EXPECT_EQ(once, "Orc\0         "s);
    EXPECT_EQ(zeroEnded(shownText(once), once.size()), once);
}

}  // namespace
}  // namespace gw
