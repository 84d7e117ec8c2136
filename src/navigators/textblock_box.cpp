#include "navigators/textblock_box.h"

#include <QColor>
#include <QTextCharFormat>

namespace gw {

namespace {
constexpr char16_t kControlPictures = 0x2400;
// Line breaks in the game's texts are mostly carriage return and line feed; the return gets
// an arrow that common fixed-pitch fonts have (few have the control pictures).
constexpr char16_t kReturnMark = 0x21B5;

bool isMarker(char16_t u) {
    return u == kReturnMark || (u > kControlPictures && u < kControlPictures + 32);
}
}  // namespace

QString textblockBoxText(std::string_view decoded) {
    QString out;
    out.reserve(static_cast<qsizetype>(decoded.size()));
    for (char c : decoded) {
        const auto code = static_cast<unsigned char>(c);
        if (code == '\r')
            out.append(QChar(kReturnMark));
        else if (code < 32 && code != '\n')
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
        else if (u == kReturnMark)
            out.push_back('\r');
        else if (isMarker(u))
            out.push_back(static_cast<char>(u - kControlPictures));
        else
            out.push_back(u <= 0xFF ? static_cast<char>(u) : '?');
    }
    return out;
}

void ControlPictureShading::highlightBlock(const QString& text) {
    QTextCharFormat marker;
    marker.setForeground(QColor(0x80, 0x80, 0x80));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (isMarker(u)) setFormat(static_cast<int>(i), 1, marker);
    }
}

}  // namespace gw
