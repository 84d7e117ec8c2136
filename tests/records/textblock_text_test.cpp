#include "records/textblock_text.h"

#include <gtest/gtest.h>

#include <string>

namespace gw {
namespace {

using namespace std::string_literals;

std::string blanks(std::size_t n) { return std::string(n, ' '); }

TEST(TextblockText, Encoding) {
    {
        SCOPED_TRACE("abc");
        const std::string stored = encodeTextblockData("abc");
        ASSERT_EQ(stored.size(), kTextblockDataWidth);
        EXPECT_EQ(static_cast<unsigned char>(stored[0]), 129);
        EXPECT_EQ(static_cast<unsigned char>(stored[1]), 130);
        EXPECT_EQ(static_cast<unsigned char>(stored[2]), 131);
        EXPECT_EQ(stored.substr(3), blanks(2485));
    }
    {
        SCOPED_TRACE("line breaks, zero character and the top of the range");
        const std::string stored = encodeTextblockData("\r\n\0\xDF"s);
        EXPECT_EQ(stored.substr(0, 4), "\x2D\x2A \xFF"s);
    }
    {
        SCOPED_TRACE("characters above 223 are left out");
        EXPECT_EQ(encodeTextblockData("a\xE0\xFF"
                                      "b")
                      .substr(0, 3),
                  "\x81\x82 ");
    }
    {
        SCOPED_TRACE("over-long text keeps its first 2488 characters");
        const std::string text = std::string(2488, 'x') + "yz";
        EXPECT_EQ(encodeTextblockData(text), std::string(2488, static_cast<char>('x' + 32)));
        // Left-out characters do not count towards the width.
        const std::string withSkips = std::string(10, '\xF0') + text;
        EXPECT_EQ(encodeTextblockData(withSkips), encodeTextblockData(text));
    }
    EXPECT_EQ(encodeTextblockData(""), blanks(kTextblockDataWidth));
}

TEST(TextblockText, Decoding) {
    EXPECT_EQ(decodeTextblockData(blanks(kTextblockDataWidth)), "");
    EXPECT_EQ(decodeTextblockData("\x81\x82\x83" + blanks(2485)), "abc");
    EXPECT_EQ(decodeTextblockData("\x2D\x2A\xFF"), "\r\n\xDF");
    {
        SCOPED_TRACE("a leading zero byte empties the text");
        EXPECT_EQ(decodeTextblockData("\0\x81\x82"s), "");
        EXPECT_EQ(decodeTextblockData("\x81\0\x82"s), "a");
    }
    {
        SCOPED_TRACE("control bytes and blanks add nothing");
        const std::string stored = "\x01\x81\x1F \x82\x1A"s;
        EXPECT_EQ(decodeTextblockData(stored), "ab");
        EXPECT_EQ(decodeTextblockData(encodeTextblockData(decodeTextblockData(stored))), "ab");
    }
}

TEST(TextblockText, EveryEncodableCharacterSurvivesARoundTrip) {
    std::string text;
    for (int c = 1; c <= 223; ++c) text.push_back(static_cast<char>(c));
    EXPECT_EQ(decodeTextblockData(encodeTextblockData(text)), text);
}

}  // namespace
}  // namespace gw
