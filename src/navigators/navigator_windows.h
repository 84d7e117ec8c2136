#pragma once
// The navigators' windows, created by the main window's Edit menu.
class QWidget;

namespace gw {
class World;
QWidget* createMessageEditor(World& world, QWidget* parent = nullptr);    // frmMessage
QWidget* createTextblockEditor(World& world, QWidget* parent = nullptr);  // frmTextblock
QWidget* createRoomEditor(World& world, QWidget* parent = nullptr);       // frmRoom
QWidget* createUserEditor(World& world, QWidget* parent = nullptr);       // frmUser
QWidget* createWorldMap(World& world, QWidget* parent = nullptr);         // frmWorldMap
}  // namespace gw
