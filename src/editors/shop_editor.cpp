// frmShop: not built yet; the menu item opens nothing.
#include "editors/catalogue_windows.h"

namespace gw {
QWidget* createShopEditor(World&, QWidget*) { return nullptr; }
}  // namespace gw
