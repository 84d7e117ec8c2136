#pragma once
// How a text block's decoded text sits in a multi-line box without losing a character. The
// box breaks lines at line feeds, but it would also turn a carriage return into a line break
// and drop or blank other control characters: those are shown as their visible control
// pictures (U+2401 to U+241F) and turned back when the text is read.
#include <QString>
#include <QSyntaxHighlighter>
#include <string>
#include <string_view>

namespace gw {

// Decoded game text -> the text put into the box.
QString textblockBoxText(std::string_view decoded);

// The box's raw document text (toRawText: paragraph separators, no blanked no-break spaces)
// -> game text. Characters outside the single-byte set become '?'.
std::string textblockTextOfBox(const QString& raw);

// Greys the control pictures so that they read as markers, not as text.
class ControlPictureShading final : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override;
};

}  // namespace gw
