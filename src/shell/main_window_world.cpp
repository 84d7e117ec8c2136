// The main window's File menu, title and status bar: which world is open, opening another.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "shell/dialogs.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/version.h"
#include "shell/world.h"

namespace gw {

namespace {

QAction* addItem(QMenu* menu, const QString& caption, const char* name,
                 const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

QString shown(const QString& folder) { return QDir::toNativeSeparators(folder); }

}  // namespace

void MDIForm1::buildFileMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    connect(addItem(file, QStringLiteral("&Open World…"), "mnuFileOpen", QKeySequence::Open),
            &QAction::triggered, this, &MDIForm1::chooseWorld);
    recentMenu_ = file->addMenu(QStringLiteral("&Recent Worlds"));
    recentMenu_->setObjectName(QStringLiteral("mnuFileRecent"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &MDIForm1::fillRecentMenu);
    fillRecentMenu();
    QAction* reopen =
        addItem(file, QStringLiteral("Reopen &last world on start-up"), "mnuFileReopen");
    reopen->setCheckable(true);
    reopen->setChecked(reopenLastWorld());
    connect(reopen, &QAction::toggled, this, [](bool on) { setReopenLastWorld(on); });
    file->addSeparator();
    connect(addItem(file, QStringLiteral("E&xit"), "mnuFileExit", QKeySequence::Quit),
            &QAction::triggered, this, &QWidget::close);

    fileStates_ = new QLabel(this);
    fileStates_->setObjectName(QStringLiteral("lblFiles"));
    statusBar()->addWidget(fileStates_, 1);
}

void MDIForm1::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList worlds = recentWorlds();
    for (int i = 0; i < worlds.size(); ++i) {
        const QString folder = worlds[i];
        QAction* action = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            shown(folder).replace(u'&', QStringLiteral("&&"))));
        action->setObjectName(QStringLiteral("mnuFileRecent_%1").arg(i));
        action->setData(folder);
        connect(action, &QAction::triggered, this, [this, folder] { openRecentWorld(folder); });
    }
    recentMenu_->setEnabled(!worlds.isEmpty());
}

void MDIForm1::chooseWorld() {
    const QString folder = dialogs_.chooseFolder(QStringLiteral("Open World"), QDir::currentPath());
    if (!folder.isEmpty()) openWorld(folder);
}

void MDIForm1::openRecentWorld(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        dialogs_.message(QStringLiteral("The folder %1 is no longer there; it leaves the list of "
                                        "recent worlds.")
                             .arg(shown(folder)));
        forgetWorld(folder);
        fillRecentMenu();
        return;
    }
    openWorld(folder);
}

bool MDIForm1::openWorld(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir()) {
        dialogs_.message(QStringLiteral("There is no folder %1.").arg(shown(folder)));
        return false;
    }
    if (world_ && !closeWorld()) return false;
    // The closed windows still hold the old world's files: they go before the files do.
    const auto closed = mdiArea_->findChildren<QMdiSubWindow*>();
    qDeleteAll(closed);
    world_.reset();
    shutDownDone_ = false;
    // The files are named without a folder, as the game names them: they open in the current
    // directory. Should it refuse, the old world opens again rather than none.
    if (!QDir::setCurrent(info.absoluteFilePath()))
        dialogs_.message(QStringLiteral("Cannot change into the folder %1.").arg(shown(folder)));
    openFiles();
    return true;
}

void MDIForm1::showWorldState() {
    const QString folder = QDir::currentPath();
    setWindowTitle(mainWindowCaption() + QStringLiteral(" - ") + shown(folder));

    int opened = 0;
    QStringList readOnly, missing, failed;
    for (RecordKind kind : allRecordKinds()) {
        RecordFile& file = world_->file(kind);
        const QString name = QString::fromStdString(file.fileName());
        const QFileInfo info(name);
        if (file.isOpen()) {
            ++opened;
            // As the store sees it: no write bit at all is read-only, even for root.
            const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
            if (!info.isWritable() || !(info.permissions() & writeBits)) readOnly << name;
        } else {
            (info.exists() ? failed : missing) << name;
        }
    }
    QStringList parts{QStringLiteral("%1 of %2 files open").arg(opened).arg(kRecordKindCount)};
    const std::pair<const char*, const QStringList*> groups[] = {
        {"read-only", &readOnly}, {"missing", &missing}, {"not opened", &failed}};
    for (const auto& [what, names] : groups)
        if (!names->isEmpty())
            parts << QString::fromLatin1(what) + QStringLiteral(": ") +
                         names->join(QStringLiteral(", "));
    fileStates_->setText(parts.join(QStringLiteral("; ")));
    // A folder where nothing opened (a start from a menu in the home folder) is no world.
    if (opened > 0) rememberWorld(folder);
    fillRecentMenu();
}

void MDIForm1::showHelp() {
    if (!help_) help_ = createHelpWindow(this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

}  // namespace gw
