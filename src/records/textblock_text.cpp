#include "records/textblock_text.h"

namespace gw {

namespace {
constexpr unsigned char kShift = 32;
}

std::string encodeTextblockData(std::string_view text) {
    std::string out;
    out.reserve(kTextblockDataWidth);
    for (char c : text) {
        if (out.size() == kTextblockDataWidth) break;
        const auto code = static_cast<unsigned char>(c);
        if (code > 255 - kShift) continue;
        out.push_back(static_cast<char>(code + kShift));
    }
    out.resize(kTextblockDataWidth, ' ');
    return out;
}

std::string decodeTextblockData(std::string_view stored) {
    std::string out;
    for (char c : stored) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0) break;
        if (b <= kShift) continue;
        out.push_back(static_cast<char>(b - kShift));
    }
    return out;
}

}  // namespace gw
