#pragma once
// The catalogue editors' windows, created by the main window's Edit menu.
class QWidget;

namespace gw {
class World;
QWidget* createRaceEditor(World& world, QWidget* parent = nullptr);     // frmRace
QWidget* createClassEditor(World& world, QWidget* parent = nullptr);    // frmClass
QWidget* createSpellEditor(World& world, QWidget* parent = nullptr);    // frmSpell
QWidget* createMonsterEditor(World& world, QWidget* parent = nullptr);  // frmMonster
QWidget* createItemEditor(World& world, QWidget* parent = nullptr);     // frmItem
QWidget* createShopEditor(World& world, QWidget* parent = nullptr);     // frmShop
}  // namespace gw
