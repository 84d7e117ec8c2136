#pragma once
// The program's version, from the project version of the build (0.95.59), and the title
// every message box without a title of its own carries.
#include <QString>

namespace gw {

inline constexpr int kVersionMajor = GRAVEWIND_VERSION_MAJOR;
inline constexpr int kVersionMinor = GRAVEWIND_VERSION_MINOR;
inline constexpr int kVersionRevision = GRAVEWIND_VERSION_REVISION;

inline QString applicationTitle() { return QStringLiteral("Gravewind"); }

// "Gravewind v0.95 revision 59": the main window's caption.
inline QString mainWindowCaption() {
    return QStringLiteral("%1 v%2.%3 revision %4")
        .arg(applicationTitle())
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

// "Gravewind 0.95 r 59": the About window's version line.
inline QString versionLine() {
    return QStringLiteral("%1 %2.%3 r %4")
        .arg(applicationTitle())
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

}  // namespace gw
