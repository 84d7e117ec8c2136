// Placeholder until the navigators land.
#include <QWidget>

#include "navigators/navigator_windows.h"

namespace gw {
QWidget* createMessageEditor(World&, QWidget* parent) { return new QWidget(parent); }
QWidget* createTextblockEditor(World&, QWidget* parent) { return new QWidget(parent); }
}  // namespace gw
