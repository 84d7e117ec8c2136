#pragma once
// The Find window: a text searched for in every file of the world, on a thread of its own,
// its results listed as they are found; a double-click opens the record in its window.
class QWidget;

namespace gw {
class World;
QWidget* createFindWindow(World& world, QWidget* parent = nullptr);  // frmFind
}  // namespace gw
