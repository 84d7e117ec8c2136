#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QUndoGroup>
#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>

#include "editors/catalogue_windows.h"
#include "navigators/navigator_windows.h"
#include "shell/about_window.h"
#include "shell/backdrop_area.h"
#include "shell/dialogs.h"
#include "shell/find_window.h"
#include "shell/history.h"
#include "shell/latin1.h"
#include "shell/name_lookups.h"
#include "shell/record_window.h"
#include "shell/settings.h"
#include "shell/version.h"
#include "shell/world.h"

namespace gw {

namespace {

struct MenuSpec {
    const char* caption;
    const char* name;
};

constexpr MenuSpec kMenus[] = {{"Edit", "mnuEdit"}, {"About", "mnuAbout1"}};

using FactoryFunction = QWidget* (*)(World&, QWidget*);

QWidget* aboutFactory(World&, QWidget* parent) { return createAboutWindow(parent); }

// What a menu item does: show its window through the window-opening error handler (an
// editor), show it without the handler (About), show the manual in a window of its own
// (Help), or nothing (no window, or none yet).
enum class Opens { Nothing, Editor, About, Help };

struct MenuItemSpec {
    int menu;
    const char* caption;
    const char* name;
    Opens opens;
    const char* window;
    FactoryFunction factory;
};

constexpr MenuItemSpec kMenuItems[] = {
    {0, "Races", "mnuEditRace", Opens::Editor, "frmRace", createRaceEditor},
    {0, "Classes", "mnuEditClass", Opens::Editor, "frmClass", createClassEditor},
    {0, "Spells", "mnuEditSpell", Opens::Editor, "frmSpell", createSpellEditor},
    {0, "Monsters", "mnuEditMonster", Opens::Editor, "frmMonster", createMonsterEditor},
    {0, "Items", "mnuEditItems", Opens::Editor, "frmItem", createItemEditor},
    {0, "Shops", "mnuShop", Opens::Editor, "frmShop", createShopEditor},
    {0, "Rooms", "mnuRoom", Opens::Editor, "frmRoom", createRoomEditor},
    {0, "World Map", "mnuWorldMap", Opens::Editor, "frmWorldMap", createWorldMap},
    {0, "Messages", "mnuEditMessage", Opens::Editor, "frmMessage", createMessageEditor},
    {0, "Text Blocks", "mnuEditTextblock", Opens::Editor, "frmTextblock", createTextblockEditor},
    {0, "Users", "mnuEditUser", Opens::Editor, "frmUser", createUserEditor},
    {0, "Gangs", "mnuEditGang", Opens::Nothing, nullptr, nullptr},
    {0, "Actions", "mnuAction", Opens::Nothing, nullptr, nullptr},
    {0, "Find\u2026", "mnuEditFind", Opens::Editor, "frmFind", createFindWindow},
    {0, "History", "mnuEditHistory", Opens::Editor, "frmHistory", createHistoryWindow},
    {1, "Help (hopefully)", "mnuHelp", Opens::Help, nullptr, nullptr},
    {1, "About", "mnuAbout2", Opens::About, "frmAbout", aboutFactory},
};

QString latin1(const char* text) { return QString::fromLatin1(text); }

std::string openPrefix(const RecordFile& file, const char* procedure, const char* operation) {
    return std::string(procedure) + ", " + operation + ", " + std::string(file.type().name()) +
           ", Error: ";
}

}  // namespace

struct MDIForm1::MenuCommand {
    const MenuItemSpec* spec;
    WindowFactory factory;
};

MDIForm1::MDIForm1(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), mdiArea_(new BackdropArea(this)) {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowIcon(QIcon(QStringLiteral(":/gravewind/icon.png")));
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);
    resize(1024, 720);
    buildFileMenu();
    buildMenu();
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &MDIForm1::showChangesMadeElsewhere);
}

void MDIForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Back from another program (the game's console, say): its changes show at once.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        showChangesMadeElsewhere(mdiArea_->activeSubWindow());
}

void MDIForm1::showChangesMadeElsewhere(QMdiSubWindow* sub) {
    if (!sub || shutDownDone_ || !world_) return;
    world_->forgetReferencesIfChangedElsewhere();
    if (auto* window = dynamic_cast<RecordWindow*>(sub->widget()))
        window->showChangesMadeElsewhere();
}

MDIForm1::~MDIForm1() {
    // A window destroyed without being closed (a test, an early exit) still closes its files.
    if (world_ && !shutDownDone_) {
        mdiArea_->closeAllSubWindows();
        shutDown();
    }
}

void MDIForm1::buildMenu() {
    std::vector<QMenu*> menus;
    for (const MenuSpec& spec : kMenus) {
        QMenu* menu = menuBar()->addMenu(latin1(spec.caption));
        menu->setObjectName(latin1(spec.name));
        menus.push_back(menu);
    }
    commands_.reserve(std::size(kMenuItems));
    for (const MenuItemSpec& spec : kMenuItems) {
        commands_.push_back({&spec, spec.factory ? WindowFactory(spec.factory) : WindowFactory()});
        QAction* action =
            menus[static_cast<std::size_t>(spec.menu)]->addAction(QString::fromUtf8(spec.caption));
        action->setObjectName(latin1(spec.name));
        if (spec.factory == createFindWindow) action->setShortcut(QKeySequence::Find);
        const std::size_t index = commands_.size() - 1;
        connect(action, &QAction::triggered, this, [this, index] { runCommand(commands_[index]); });
    }
    // Undo and Redo go beside the History window's entry. A text box with the focus keeps
    // its own undo keys: it takes them before the menu's shortcuts.
    undoGroup_ = new QUndoGroup(this);
    QAction* undo = undoGroup_->createUndoAction(this);
    undo->setObjectName(QStringLiteral("mnuEditUndo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = undoGroup_->createRedoAction(this);
    redo->setObjectName(QStringLiteral("mnuEditRedo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QAction* history = menus[0]->findChild<QAction*>(QStringLiteral("mnuEditHistory"));
    menus[0]->insertSeparator(history);
    menus[0]->insertActions(history, {undo, redo});
}

void MDIForm1::setWindowFactory(const QString& windowName, WindowFactory factory) {
    for (MenuCommand& command : commands_) {
        if (command.spec->window && latin1(command.spec->window) == windowName) {
            command.factory = std::move(factory);
            return;
        }
    }
    throw std::invalid_argument("no menu item shows " + windowName.toStdString());
}

QMdiSubWindow* MDIForm1::subWindow(const QString& windowName) const {
    // A window that has closed but is not deleted yet no longer counts as open.
    QMdiSubWindow* sub = open_.value(windowName).data();
    return sub && mdiArea_->subWindowList().contains(sub) ? sub : nullptr;
}

void MDIForm1::startUp() {
    if (world_) return;
    setWindowTitle(mainWindowCaption());
    restoreMainWindowPlace(*this);
    show();
    openFiles();
}

void MDIForm1::openFiles() {
    // File names and field maps come with the World's ten RecordFiles, in the open order.
    world_ = std::make_unique<World>(dialogs_);
    undoGroup_->addStack(&world_->history().stack());
    undoGroup_->setActiveStack(&world_->history().stack());
    world_->setWindowOpener([this](const QString& windowName) -> QWidget* {
        for (MenuCommand& command : commands_) {
            if (!command.spec->window || latin1(command.spec->window) != windowName) continue;
            runCommand(command);
            QMdiSubWindow* sub = subWindow(windowName);
            return sub ? sub->widget() : nullptr;
        }
        return nullptr;
    });
    for (RecordKind kind : allRecordKinds()) {
        RecordFile& file = world_->file(kind);
        if (file.open(openPrefix(file, "Form_Load", "BOPEN")) != status::kSuccess) continue;
        if (kind == RecordKind::Race) LoadRaceArray(*world_);
        if (kind == RecordKind::Class) LoadClassArray(*world_);
    }
    showWorldState();
}

void MDIForm1::runCommand(MenuCommand& command) {
    switch (command.spec->opens) {
        case Opens::Nothing:
            return;
        case Opens::Help:
            showHelp();
            return;
        case Opens::About:
            showWindow(command);
            return;
        case Opens::Editor:
            break;
    }
    // The window-opening error handler: a window that cannot be made is reported, and the
    // program goes on with the windows it has.
    try {
        showWindow(command);
    } catch (const std::bad_alloc&) {
        dialogs_.message(
            QStringLiteral("Out of memory : Can't open another database. Try closing one first."));
    } catch (const std::out_of_range&) {
    } catch (const std::invalid_argument&) {
    } catch (const std::exception& e) {
        dialogs_.message(QStringLiteral("Error: ") + QString::fromUtf8(e.what()));
    } catch (...) {
        dialogs_.message(QStringLiteral("Error: unknown error"));
    }
}

void MDIForm1::showWindow(MenuCommand& command) {
    const QString name = latin1(command.spec->window);
    if (QMdiSubWindow* existing = subWindow(name)) {
        existing->showNormal();
        mdiArea_->setActiveSubWindow(existing);
        existing->raise();
        return;
    }
    if (!command.factory || !world_) return;

    std::unique_ptr<QWidget> widget(command.factory(*world_, nullptr));
    if (!widget) return;
    if (widget->objectName().isEmpty()) widget->setObjectName(name);
    widget->setAttribute(Qt::WA_DeleteOnClose);
    QWidget* editor = widget.get();
    QMdiSubWindow* sub = mdiArea_->addSubWindow(widget.release());
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    // A window that closes itself (its own Close or OK button) takes its frame with it; queued,
    // so a frame that is already going away is left alone.
    connect(editor, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
    open_.insert(name, sub);
    sub->show();
    fitInArea(sub);
    // A place the operator gave the window before wins over the fitted one.
    keepWindowPlace(*sub, name);
    mdiArea_->setActiveSubWindow(sub);
}

void MDIForm1::fitInArea(QMdiSubWindow* sub) {
    const QSize wanted = sub->sizeHint().expandedTo(sub->minimumSizeHint());
    QSize area = mdiArea_->viewport()->size();
    const QSize shortfall(std::max(0, wanted.width() - area.width()),
                          std::max(0, wanted.height() - area.height()));
    if (!shortfall.isNull() && !isMaximized() && !isFullScreen()) {
        // Not beyond the screen: there a window larger than the area keeps its scroll bars.
        const QRect screenArea = screen()->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        const QSize grown =
            (size() + shortfall).boundedTo(screenArea.size() - frame).expandedTo(size());
        area += grown - size();
        resize(grown);
        const QRect placed = frameGeometry();
        move(std::clamp(placed.x(), screenArea.left(),
                        std::max(screenArea.left(), screenArea.right() + 1 - placed.width())),
             std::clamp(placed.y(), screenArea.top(),
                        std::max(screenArea.top(), screenArea.bottom() + 1 - placed.height())));
    }
    const QSize size = wanted.boundedTo(area).expandedTo(sub->minimumSize());
    sub->resize(size);
    // A window the area cannot hold whole starts at its top left, where scrolling begins.
    if (wanted.boundedTo(area) != wanted)
        sub->move(0, 0);
    else
        sub->move(std::clamp(sub->x(), 0, std::max(0, area.width() - size.width())),
                  std::clamp(sub->y(), 0, std::max(0, area.height() - size.height())));
}

void MDIForm1::closeEvent(QCloseEvent* event) {
    if (!closeWorld()) {
        event->ignore();
        return;
    }
    saveMainWindowPlace(*this);
    if (help_) help_->close();
    event->accept();
}

bool MDIForm1::closeWorld() {
    // Editors close first: some write their record back as they close, which needs the files.
    mdiArea_->closeAllSubWindows();
    // An editor that refuses to close keeps the program, and its files, open.
    const auto windows = mdiArea_->subWindowList();
    if (std::any_of(windows.begin(), windows.end(), [](auto* w) { return w->isVisible(); }))
        return false;
    shutDown();
    return true;
}

void MDIForm1::shutDown() {
    if (shutDownDone_ || !world_) return;
    shutDownDone_ = true;
    for (RecordKind kind : allRecordKinds()) {
        RecordFile& file = world_->file(kind);
        file.close(openPrefix(file, "Form_Unload", "BCLOSE"));
    }
    if (const Status s = stopRecordManager(); s != status::kSuccess)
        dialogs_.message(fromGame(statusReport("Form_Unload, BSTOP, Error: ", s)));
}

}  // namespace gw
