// Placeholder until the catalogue editors land.
#include <QWidget>

#include "editors/catalogue_windows.h"

namespace gw {
QWidget* createRaceEditor(World&, QWidget* parent) { return new QWidget(parent); }
QWidget* createClassEditor(World&, QWidget* parent) { return new QWidget(parent); }
}  // namespace gw
