#pragma once
// The picture of one laid-out map: boxes for rooms, lines for exits, marks for exit types.
// Paints only what lies in the area asked for, plainer when far out, so that a map of
// fifteen thousand rooms stays inside a frame. Needs Qt's painter but no widgets: the World
// Map window and the data tool's `map` command draw with it.
#include <QColor>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "world/map_layout.h"

class QPainter;

namespace gw {

class MapPicture {
public:
    static constexpr double kCell = 100;  // scene units per grid cell
    // Below this many pixels per scene unit boxes are drawn plain, without number and name.
    static constexpr double kReadableScale = 0.45;
    // Below this, lines and boxes only: no arrows, type marks or Up and Down marks.
    static constexpr double kDetailScale = 0.2;
    // Below this a cell is a few pixels: rooms are dots and only exits out of the map show.
    static constexpr double kOverviewScale = 0.1;

    void setMap(std::int32_t map, std::span<const world::MapRoom> rooms);
    std::int32_t map() const { return map_; }
    const std::vector<world::MapRoom>& rooms() const { return rooms_; }
    const world::MapLayout& layout() const { return layout_; }

    // The whole picture in scene units (empty without rooms).
    QRectF bounds() const;
    QRectF roomRect(std::uint32_t room) const;
    std::optional<std::uint32_t> roomAt(QPointF scenePoint) const;
    std::optional<std::uint32_t> roomOfNumber(std::int32_t number) const;

    void setHighlight(std::optional<std::uint32_t> room) { highlight_ = room; }
    std::optional<std::uint32_t> highlight() const { return highlight_; }

    // Paints what lies in `exposed` (scene units) at `scale` device pixels per scene unit.
    void paint(QPainter& painter, const QRectF& exposed, double scale) const;

    // "Map 1, Room 12: Old Well" and one line per exit.
    QString toolTip(std::uint32_t room) const;

    // The exit types of the map with their colours, for a legend: (text, colour).
    std::vector<std::pair<QString, QColor>> legend() const;
    static QColor exitTypeColour(std::int16_t type);
    static QString exitTypeName(std::int16_t type);

    // The whole map with its legend as PNG or SVG, chosen by the file's suffix. False with a
    // reason when the file cannot be written.
    bool saveImage(const QString& path, QString& error) const;

private:
    QPointF centre(std::uint32_t room) const;
    void paintExits(QPainter& painter, const QRectF& exposed, double scale) const;
    void paintRooms(QPainter& painter, const QRectF& exposed, double scale) const;
    void paintLegend(QPainter& painter, QPointF topLeft) const;

    std::int32_t map_ = 0;
    std::vector<world::MapRoom> rooms_;
    world::MapLayout layout_;
    std::optional<std::uint32_t> highlight_;
};

}  // namespace gw
