#pragma once
// frmWorldMap: every room of one map drawn from its exits, zoomable, linked both ways to the
// Room editor. Reads the Room file through a handle of its own.
#include <QGraphicsView>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "navigators/map_picture.h"
#include "world/room_maps.h"

class QComboBox;
class QGraphicsScene;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineEdit;

namespace gw {

class World;
class MapItem;

// The map's view: wheel and keys zoom, dragging pans, a click selects a room and a double
// click or Return opens the selected one.
class MapView final : public QGraphicsView {
public:
    MapView(MapPicture& picture, QWidget* parent);
    std::function<void(std::uint32_t room)> selected;
    std::function<void(std::uint32_t room)> activated;
    void zoomBy(double factor);
    double scale() const { return transform().m11(); }

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    std::optional<std::uint32_t> roomUnder(QPoint viewPoint) const;
    MapPicture& picture_;
};

class WorldMapWindow final : public QWidget {
public:
    WorldMapWindow(World& world, QWidget* parent);

    // Reads the Room file and shows the map of the room the Room editor shows, or the first.
    void open();
    // Shows this map (kept when it has no rooms: the view says so).
    void showMap(std::int32_t map);
    // Selects and centres a room of the map shown; false when it has none of that number.
    bool selectRoom(std::int32_t number);
    // A room number, or the start of a room name, in the map shown.
    bool find(const QString& text);
    void fit();
    // Shows the selected room in the Room editor, opening it when needed.
    void openSelected();

    const MapPicture& picture() const { return picture_; }
    MapView* view() const { return view_; }

private:
    void fillMapChooser(std::int32_t current);
    void showMessage(const QString& text);
    void followRoomEditor(const QByteArray& key);
    void roomWritten(const QByteArray& key);
    void saveImage();
    void updateLegend();

    World& world_;
    world::RoomMaps maps_;
    MapPicture picture_;
    QComboBox* mapChooser_;
    QLineEdit* find_;
    QLabel* legend_;
    QLabel* status_;
    QGraphicsScene* scene_;
    MapItem* item_;
    QGraphicsSimpleTextItem* message_;
    MapView* view_;
    bool read_ = false;
};

}  // namespace gw
