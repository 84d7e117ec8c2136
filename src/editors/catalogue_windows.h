#pragma once
// The catalogue editors' windows, created by the main window's Edit menu.
class QWidget;

namespace gw {
class World;
QWidget* createRaceEditor(World& world, QWidget* parent = nullptr);   // frmRace
QWidget* createClassEditor(World& world, QWidget* parent = nullptr);  // frmClass
}  // namespace gw
