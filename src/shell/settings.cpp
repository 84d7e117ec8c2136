#include "shell/settings.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>

namespace gw {

namespace {

const QString kRecentKey = QStringLiteral("recentWorlds");
const QString kReopenKey = QStringLiteral("reopenLastWorld");
const QString kMainKey = QStringLiteral("mainWindow/geometry");

QString windowKey(const QString& windowName) {
    return QStringLiteral("windows/") + windowName + QStringLiteral("/geometry");
}

void saveRecent(QStringList list) {
    while (list.size() > kRecentWorldCount) list.removeLast();
    QSettings().setValue(kRecentKey, list);
}

// Saves the window's place each time it closes; a maximised or minimised window keeps the
// place it had before.
class PlaceKeeper final : public QObject {
public:
    PlaceKeeper(QMdiSubWindow& sub, QString key) : QObject(&sub), key_(std::move(key)) {
        sub.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A frame being destroyed is no longer a QMdiSubWindow here, and has no place to keep.
        auto* sub = qobject_cast<QMdiSubWindow*>(watched);
        if (sub && event->type() == QEvent::Close && !sub->isMaximized() && !sub->isMinimized())
            QSettings().setValue(key_, sub->geometry());
        return false;
    }

private:
    QString key_;
};

}  // namespace

QStringList recentWorlds() {
    QStringList list = QSettings().value(kRecentKey).toStringList();
    list.removeAll(QString());
    list.removeDuplicates();
    while (list.size() > kRecentWorldCount) list.removeLast();
    return list;
}

void rememberWorld(const QString& folder) {
    const QString absolute = QDir(folder).absolutePath();
    QStringList list = recentWorlds();
    list.removeAll(absolute);
    list.prepend(absolute);
    saveRecent(list);
}

void forgetWorld(const QString& folder) {
    QStringList list = recentWorlds();
    list.removeAll(QDir(folder).absolutePath());
    saveRecent(list);
}

bool reopenLastWorld() { return QSettings().value(kReopenKey, false).toBool(); }

void setReopenLastWorld(bool on) { QSettings().setValue(kReopenKey, on); }

QString worldToReopen() {
    if (!reopenLastWorld()) return {};
    const QStringList list = recentWorlds();
    return !list.isEmpty() && QFileInfo(list.front()).isDir() ? list.front() : QString();
}

void restoreMainWindowPlace(QMainWindow& window) {
    const QByteArray saved = QSettings().value(kMainKey).toByteArray();
    if (!saved.isEmpty()) window.restoreGeometry(saved);
}

void saveMainWindowPlace(const QMainWindow& window) {
    QSettings().setValue(kMainKey, window.saveGeometry());
}

void keepWindowPlace(QMdiSubWindow& sub, const QString& windowName) {
    const QString key = windowKey(windowName);
    QRect saved = QSettings().value(key).toRect();
    if (saved.isValid() && sub.mdiArea()) {
        // Never smaller than the window needs (a place kept by another version of it); a place
        // off the area (a smaller screen or main window now) keeps its size, at the corner.
        saved.setSize(saved.size().expandedTo(sub.minimumSizeHint()));
        if (!sub.mdiArea()->viewport()->rect().intersects(saved)) saved.moveTo(0, 0);
        sub.setGeometry(saved);
    }
    new PlaceKeeper(sub, key);
}

}  // namespace gw
