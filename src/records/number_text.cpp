#include "records/number_text.h"

#include <limits>

namespace gw {

std::optional<std::int64_t> parseRounded(std::string_view text) {
    std::size_t i = 0;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < text.size() && isBlank(text[i])) ++i;
    std::size_t end = text.size();
    while (end > i && isBlank(text[end - 1])) --end;
    text = text.substr(i, end - i);
    if (text.empty()) return std::nullopt;

    bool negative = false;
    std::size_t p = 0;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        p = 1;
    }
    // Accumulate the magnitude negatively so that the most negative value fits.
    std::int64_t value = 0;
    bool anyDigit = false;
    for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
        const int digit = text[p] - '0';
        if (value < (std::numeric_limits<std::int64_t>::min() + digit) / 10) return std::nullopt;
        value = value * 10 - digit;
        anyDigit = true;
    }
    // The fraction only decides the rounding: above, below or exactly one half.
    int firstFraction = -1;
    bool restNonZero = false;
    if (p < text.size() && text[p] == '.') {
        ++p;
        for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
            anyDigit = true;
            if (firstFraction < 0)
                firstFraction = text[p] - '0';
            else if (text[p] != '0')
                restNonZero = true;
        }
    }
    if (!anyDigit || p != text.size()) return std::nullopt;

    const bool roundAway =
        firstFraction > 5 || (firstFraction == 5 && (restNonZero || value % 2 != 0));
    if (roundAway) {
        if (value == std::numeric_limits<std::int64_t>::min()) return std::nullopt;
        --value;
    }
    if (!negative) {
        if (value == std::numeric_limits<std::int64_t>::min()) return std::nullopt;
        value = -value;
    }
    return value;
}

std::optional<std::int64_t> parseInRange(std::string_view text, std::int64_t min,
                                         std::int64_t max) {
    auto v = parseRounded(text);
    if (!v || *v < min || *v > max) return std::nullopt;
    return v;
}

}  // namespace gw
