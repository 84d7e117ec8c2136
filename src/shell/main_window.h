#pragma once
// MDIForm1: the frame window that holds the editor windows. Its start-up opens the ten data
// files and fills the name tables; closing it closes the editors, then the files.
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QUndoGroup;

namespace gw {

class Dialogs;
class World;

// Makes one editor window; it may throw, and the main window's error handler catches it.
using WindowFactory = std::function<QWidget*(World&, QWidget*)>;

class MDIForm1 final : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` must outlive the window: the shutdown reports through it.
    explicit MDIForm1(Dialogs& dialogs, QWidget* parent = nullptr);
    ~MDIForm1() override;

    // MDIForm_Load: show the window, then make the World (file names, field maps), open the
    // ten files and fill the race and class tables. Run once.
    void startUp();

    // "Open World…" without its folder chooser: closes every window and the ten files as
    // shutdown does, asking what it asks, then opens the ten files of `folder` as start-up
    // does. False, with the open world kept, when a window stays open or the folder is not one.
    bool openWorld(const QString& folder);

    World* world() { return world_.get(); }
    QMdiArea* mdiArea() { return mdiArea_; }

    // The open window of that name (frmRace ...), or nullptr.
    QMdiSubWindow* subWindow(const QString& windowName) const;

    // Replaces the factory behind a window's menu item (an editor that has no window yet
    // gets one, a test gets one that throws). The window must be one the menu shows.
    void setWindowFactory(const QString& windowName, WindowFactory factory);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct MenuCommand;
    void buildMenu();
    void runCommand(MenuCommand& command);
    void showWindow(MenuCommand& command);
    // Sizes a new editor window so that all its controls show and moves it inside the visible
    // part of the area; the main window grows for it first where the screen has room.
    void fitInArea(QMdiSubWindow* sub);
    // MDIForm_Unload: close the ten files, then stop the record manager. Run once.
    void shutDown();
    // The game may have written the active window's record while the operator was elsewhere.
    void showChangesMadeElsewhere(QMdiSubWindow* sub);

    // The File menu, the title and the status bar (main_window_world.cpp).
    void buildFileMenu();
    void fillRecentMenu();
    void chooseWorld();
    void openRecentWorld(const QString& folder);
    // Start-up's steps from naming the files on, in the current directory.
    void openFiles();
    // Every editor window closes, then the files; false when a window refuses.
    bool closeWorld();
    void showWorldState();
    void showHelp();

    Dialogs& dialogs_;
    QMdiArea* mdiArea_;
    std::unique_ptr<World> world_;
    std::vector<MenuCommand> commands_;
    QHash<QString, QPointer<QMdiSubWindow>> open_;
    bool shutDownDone_ = false;
    QMenu* recentMenu_ = nullptr;
    QLabel* fileStates_ = nullptr;
    QPointer<QWidget> help_;
    // Undo and Redo follow the open world's history.
    QUndoGroup* undoGroup_ = nullptr;
};

}  // namespace gw
