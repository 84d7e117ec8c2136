// The number boxes' conversion on arbitrary text and ranges: a value in range, and the value's
// own decimal text converting back to it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "records/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 16) return 0;
    std::int64_t min = 0, max = 0;
    std::memcpy(&min, data, 8);
    std::memcpy(&max, data + 8, 8);
    const std::string_view text(reinterpret_cast<const char*>(data + 16), size - 16);
    const auto rounded = gw::parseRounded(text);
    const auto ranged = gw::parseInRange(text, min, max);
    if (ranged && (*ranged < min || *ranged > max || ranged != rounded)) __builtin_trap();
    if (rounded) {
        if (gw::parseRounded(std::to_string(*rounded)) != rounded) __builtin_trap();
        if (!ranged && *rounded >= min && *rounded <= max) __builtin_trap();
    }
    return 0;
}
