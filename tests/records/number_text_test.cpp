#include "records/number_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace gw {
namespace {

constexpr auto kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr auto kMax64 = std::numeric_limits<std::int64_t>::max();

TEST(NumberText, HalvesGoToTheEvenNeighbour) {
    const struct {
        const char* text;
        std::int64_t value;
    } cases[] = {
        {"2.5", 2},   {"3.5", 4},    {"0.5", 0},         {"1.5", 2},     {"-0.5", 0},
        {"-1.5", -2}, {"-2.5", -2},  {"-3.5", -4},       {"2.49", 2},    {"2.51", 3},
        {"2.500", 2}, {"2.5001", 3}, {"-2.5001", -3},    {".5", 0},      {"5.", 5},
        {"12", 12},   {"-3", -3},    {"+7", 7},          {"  42  ", 42}, {"\t-1\t", -1},
        {"007", 7},   {"-0", 0},     {"32767.4", 32767},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto v = parseRounded(c.text);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(*v, c.value);
    }
}

TEST(NumberText, NotANumber) {
    for (const char* text : {"", "   ", "-", "+", ".", "-.", "1e3", "12a", "a12", "1,5", "1.2.3",
                             "- 5", "+-5", "0x10", "1 2", "١"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseRounded(text).has_value());
    }
}

TEST(NumberText, SixtyFourBitEnds) {
    EXPECT_EQ(parseRounded("9223372036854775807"), kMax64);
    EXPECT_EQ(parseRounded("-9223372036854775808"), kMin64);
    EXPECT_EQ(parseRounded("-9223372036854775808.5"), kMin64);  // even already
    EXPECT_EQ(parseRounded("-9223372036854775807.5"), kMin64);
    EXPECT_FALSE(parseRounded("9223372036854775808"));
    EXPECT_FALSE(parseRounded("9223372036854775807.5"));
    EXPECT_FALSE(parseRounded("-9223372036854775809"));
    EXPECT_FALSE(parseRounded("-9223372036854775808.6"));
    EXPECT_FALSE(parseRounded("99999999999999999999999"));
}

TEST(NumberText, FieldRanges) {
    const std::int64_t lo16 = std::numeric_limits<std::int16_t>::min();
    const std::int64_t hi16 = std::numeric_limits<std::int16_t>::max();
    const std::int64_t lo32 = std::numeric_limits<std::int32_t>::min();
    const std::int64_t hi32 = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(parseInRange("32767", lo16, hi16), 32767);
    EXPECT_EQ(parseInRange("-32768", lo16, hi16), -32768);
    EXPECT_EQ(parseInRange("-32768.5", lo16, hi16), -32768);
    EXPECT_EQ(parseInRange("-32767.5", lo16, hi16), -32768);
    EXPECT_FALSE(parseInRange("32767.5", lo16, hi16));
    EXPECT_FALSE(parseInRange("32768", lo16, hi16));
    EXPECT_FALSE(parseInRange("-32769", lo16, hi16));
    EXPECT_EQ(parseInRange("2147483647", lo32, hi32), hi32);
    EXPECT_EQ(parseInRange("-2147483648", lo32, hi32), lo32);
    EXPECT_FALSE(parseInRange("2147483648", lo32, hi32));
    EXPECT_FALSE(parseInRange("2147483646.5001", lo32, hi32 - 1));
    EXPECT_EQ(parseInRange("255", 0, 255), 255);
    EXPECT_FALSE(parseInRange("-1", 0, 255));
    EXPECT_FALSE(parseInRange("", 0, 255));
}

}  // namespace
}  // namespace gw
