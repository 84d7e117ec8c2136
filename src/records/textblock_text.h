#pragma once
// The shifted encoding of a text block's Data field: each character is stored as its code
// plus 32, so a blank byte is the zero character and the field is blank-filled.
#include <cstddef>
#include <string>
#include <string_view>

namespace gw {

inline constexpr std::size_t kTextblockDataWidth = 2488;

// The stored bytes of a text: characters up to code 223 shifted up by 32, characters 224 to
// 255 left out (they have no stored form), cut to 2488 bytes and filled with blanks.
std::string encodeTextblockData(std::string_view text);

// The text of stored bytes, up to the first zero byte: bytes below 32 are skipped, a blank
// adds nothing, any other byte b is the character b - 32.
std::string decodeTextblockData(std::string_view stored);

}  // namespace gw
