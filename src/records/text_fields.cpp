#include "records/text_fields.h"

namespace gw {

std::string_view shownText(std::string_view stored) { return stored.substr(0, stored.find('\0')); }

std::string blankFilled(std::string_view typed, std::size_t width) {
    std::string out(typed.substr(0, width));
    out.resize(width, ' ');
    return out;
}

std::string zeroEnded(std::string_view typed, std::size_t width) {
    std::string text(typed);
    text.push_back('\0');
    return blankFilled(text, width);
}

std::string_view trimRight(std::string_view text) {
    const auto end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::string trimmedZeroEnded(std::string_view typed, std::size_t width) {
    return zeroEnded(trimRight(typed), width);
}

}  // namespace gw
