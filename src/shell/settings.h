#pragma once
// What the editor remembers between runs, in the user's settings (QSettings): the worlds
// opened last, whether to reopen the last one at start-up, and where each window was.
#include <QString>
#include <QStringList>

class QMainWindow;
class QMdiSubWindow;

namespace gw {

inline constexpr int kRecentWorldCount = 5;

// Absolute folders, the most recent first, at most kRecentWorldCount.
QStringList recentWorlds();
// Puts `folder` first in the list (once).
void rememberWorld(const QString& folder);
void forgetWorld(const QString& folder);

// "Reopen last world on start-up": off until the operator turns it on.
bool reopenLastWorld();
void setReopenLastWorld(bool on);
// The folder a start without a folder argument opens instead of the current directory:
// the last world when the choice is on and the folder is still there, else empty.
QString worldToReopen();

// The main window's size and place, restored when there is one.
void restoreMainWindowPlace(QMainWindow& window);
void saveMainWindowPlace(const QMainWindow& window);
// Gives a shown editor window its last size and place in the MDI area (as far as it still
// fits) and remembers them whenever it closes.
void keepWindowPlace(QMdiSubWindow& sub, const QString& windowName);

}  // namespace gw
