#pragma once
// How the editors show and store fixed-width text fields. Game text is single-byte: these
// work on the stored bytes as they are.
#include <cstddef>
#include <string>
#include <string_view>

namespace gw {

// What a text box shows: the characters before the first zero byte (all of them if none).
std::string_view shownText(std::string_view stored);

// The typed text, one zero byte, then blanks, cut to width (a text of width or more
// characters keeps no zero byte).
std::string zeroEnded(std::string_view typed, std::size_t width);

// As zeroEnded, with trailing blanks removed from the typed text first.
std::string trimmedZeroEnded(std::string_view typed, std::size_t width);

// The typed text cut to width and filled with blanks, no zero byte.
std::string blankFilled(std::string_view typed, std::size_t width);

// Text with trailing blanks removed.
std::string_view trimRight(std::string_view text);

}  // namespace gw
