// frmMonster: not built yet; the menu item opens nothing.
#include "editors/catalogue_windows.h"

namespace gw {
QWidget* createMonsterEditor(World&, QWidget*) { return nullptr; }
}  // namespace gw
