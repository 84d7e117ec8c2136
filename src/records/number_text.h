#pragma once
// Number boxes: decimal text, rounded to the nearest whole number with halves going to the
// even neighbour, then checked against the field's range.
#include <cstdint>
#include <optional>
#include <string_view>

namespace gw {

// The whole number a box's text stands for: optional blanks, an optional sign, digits with
// an optional fraction ("12", "-3", "2.5" -> 2, "3.5" -> 4). Anything else, an empty text
// included, or a magnitude beyond 64 bits, gives nothing.
std::optional<std::int64_t> parseRounded(std::string_view text);

// parseRounded, and then inside min..max.
std::optional<std::int64_t> parseInRange(std::string_view text, std::int64_t min, std::int64_t max);

}  // namespace gw
