// What the editors turn field bytes into and back: numbers, zero-ended and blank-filled text,
// encoded text blocks, and values looked up in lists.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "records/abilities.h"
#include "records/number_text.h"
#include "records/text_fields.h"
#include "records/textblock_text.h"
#include "records/value_lists.h"

namespace gw {
namespace {

using namespace std::string_literals;

TEST(NumberText, HalvesGoToTheEvenNeighbourAndJunkIsRefused) {
    const struct {
        const char* text;
        std::optional<std::int64_t> value;
    } cases[] = {
        // clang-format off
        {"2.5", 2}, {"3.5", 4}, {"0.5", 0}, {"-0.5", 0}, {"-1.5", -2}, {"-2.5", -2}, {"2.49", 2},
        {"2.51", 3}, {"2.500", 2}, {"2.5001", 3}, {"-2.5001", -3}, {".5", 0}, {"5.", 5}, {"+7", 7},
        {"  42  ", 42}, {"\t-1\t", -1}, {"007", 7}, {"-0", 0},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {"-9223372036854775808.5", std::numeric_limits<std::int64_t>::min()},
        {"-9223372036854775807.5", std::numeric_limits<std::int64_t>::min()},
        {"9223372036854775808", {}}, {"9223372036854775807.5", {}}, {"-9223372036854775808.6", {}},
        {"-9223372036854775809", {}}, {"", {}}, {"   ", {}}, {"-.", {}}, {"12a", {}}, {"1.2.3", {}},
        {"1 2", {}}, {"\xD9\xA1", {}},
        // clang-format on
    };
    for (const auto& c : cases) EXPECT_EQ(parseRounded(c.text), c.value) << c.text;
    // A field's range holds the rounded value.
    EXPECT_EQ(parseInRange("-32768.5", -32768, 32767), -32768);
    EXPECT_EQ(parseInRange("32767.5", -32768, 32767), std::nullopt);
    EXPECT_EQ(parseInRange("-1", 0, 255), std::nullopt);
}

TEST(TextFields, ShownAndStoredForms) {
    EXPECT_EQ(shownText("ab\0cd"s), "ab");
    EXPECT_EQ(shownText("\0abc"s), "");
    EXPECT_EQ(shownText("full  "), "full  ");
    EXPECT_EQ(zeroEnded("ab ", 6), "ab \0  "s);  // typed trailing blanks stay
    EXPECT_EQ(zeroEnded("", 3), "\0  "s);
    EXPECT_EQ(zeroEnded("abcdef", 6), "abcdef");  // as long as the field: no zero
    EXPECT_EQ(zeroEnded("abcdefgh", 6), "abcdef");
    EXPECT_EQ(trimmedZeroEnded("abc   ", 74), "abc\0"s + std::string(70, ' '));
    EXPECT_EQ(trimmedZeroEnded("   ", 4), "\0   "s);
    EXPECT_EQ(trimmedZeroEnded(" a ", 4), " a\0 "s);
    EXPECT_EQ(blankFilled("ab", 4), "ab  ");
    EXPECT_EQ(blankFilled("abcdef", 4), "abcd");
    EXPECT_EQ(blankFilled("a\0b"s, 4), "a\0b "s);
    EXPECT_EQ(trimRight("a b  "), "a b");
    EXPECT_EQ(trimRight("    "), "");
    // A save without changes shows, then stores the shown text: the second time is stable.
    const std::string once = zeroEnded(shownText("Orc\0junk     "s), 13);
    EXPECT_EQ(once, "Orc\0         "s);
    EXPECT_EQ(zeroEnded(shownText(once), once.size()), once);
}

TEST(TextblockText, EncodingEdgeCases) {
    const std::string abc = encodeTextblockData("abc");
    EXPECT_EQ(abc, "\x81\x82\x83" + std::string(2485, ' '));
    EXPECT_EQ(encodeTextblockData("\r\n\0\xDF"s).substr(0, 4), "\x2D\x2A \xFF"s);
    EXPECT_EQ(encodeTextblockData("a\xE0\xFF"s + "b").substr(0, 3), "\x81\x82 ");  // > 223 out
    EXPECT_EQ(encodeTextblockData(""), std::string(kTextblockDataWidth, ' '));
    EXPECT_EQ(decodeTextblockData(abc), "abc");
    EXPECT_EQ(decodeTextblockData("\x2D\x2A\xFF"), "\r\n\xDF");
    EXPECT_EQ(decodeTextblockData("\x81\0\x82"s), "a");              // a zero byte ends the text
    EXPECT_EQ(decodeTextblockData("\x01\x81\x1F \x82\x1A"s), "ab");  // control bytes and blanks
    std::string every;
    for (int c = 1; c <= 223; ++c) every.push_back(static_cast<char>(c));
    EXPECT_EQ(decodeTextblockData(encodeTextblockData(every)), every);

    SCOPED_TRACE("over-long text keeps its first 2488 characters; left-out ones do not count");
    const std::string text = std::string(2488, 'x') + "yz";
    EXPECT_EQ(encodeTextblockData(text), std::string(2488, static_cast<char>('x' + 32)));
    EXPECT_EQ(encodeTextblockData(std::string(10, '\xF0') + text), encodeTextblockData(text));
}

TEST(ValueLists, OppositeDirectionsAndValuesOutsideTheList) {
    for (std::size_t d = 0; d < values::kDirectionCount; ++d) {
        const std::size_t back = values::oppositeDirection(d);
        EXPECT_NE(back, d) << d;
        EXPECT_EQ(values::oppositeDirection(back), d) << d;
    }
    EXPECT_EQ(values::valueText(values::kGenders, 3), "");
    EXPECT_EQ(values::valueText(values::kGenders, -1), "");
    EXPECT_EQ(abilityName(187), "Meditate");
    EXPECT_EQ(abilityName(188), "");
    EXPECT_EQ(abilityName(-1), "");
}

}  // namespace
}  // namespace gw
