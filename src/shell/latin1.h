#pragma once
// The one place where game text (single-byte, Latin-1) meets QString.
#include <QString>
#include <string>
#include <string_view>

namespace gw {

inline QString fromGame(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Characters outside Latin-1 cannot be stored by the game; they become '?'.
inline std::string toGame(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace gw
