// frmRoom: not built yet; the menu item opens nothing.
#include "navigators/navigator_windows.h"

namespace gw {
QWidget* createRoomEditor(World&, QWidget*) { return nullptr; }
}  // namespace gw
