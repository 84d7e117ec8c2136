#include "navigators/textblock_box.h"

namespace gw {

namespace {
constexpr char16_t kControlPictures = 0x2400;
}

QString textblockBoxText(std::string_view decoded) {
    QString out;
    out.reserve(static_cast<qsizetype>(decoded.size()));
    for (char c : decoded) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 && code != '\n')
            out.append(QChar(static_cast<char16_t>(kControlPictures + code)));
        else
            out.append(QChar(static_cast<char16_t>(code)));
    }
    return out;
}

std::string textblockTextOfBox(const QString& raw) {
    std::string out;
    out.reserve(static_cast<std::size_t>(raw.size()));
    for (QChar ch : raw) {
        const char16_t u = ch.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator)
            out.push_back('\n');
        else if (u > kControlPictures && u < kControlPictures + 32)
            out.push_back(static_cast<char>(u - kControlPictures));
        else
            out.push_back(u <= 0xFF ? static_cast<char>(u) : '?');
    }
    return out;
}

}  // namespace gw
