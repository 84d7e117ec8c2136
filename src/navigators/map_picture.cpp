#include "navigators/map_picture.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSvgGenerator>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <set>

#include "shell/latin1.h"

namespace gw {

namespace {

constexpr double kHalfWidth = 42;
constexpr double kHalfHeight = 24;
constexpr double kStub = 30;            // length of a stub that leads out of the map
constexpr double kMargin = kStub + 20;  // room around the cells for stubs and their labels
constexpr double kMarkRadius = 6;
// Exported pictures are drawn at one pixel per unit, smaller when that would be too large.
constexpr double kLargestImageSide = 8000;

const QColor kLineColour(70, 70, 70);
const QColor kMissingColour(200, 30, 30);
const QColor kMapChangeColour(30, 90, 200);
const QColor kBoxColour(250, 248, 240);
const QColor kHighlightColour(255, 214, 70);

QPointF unit(std::size_t slot) {
    // Up and Down have no step on the grid; their stubs leave the box's top and bottom right.
    if (slot == 8) return {0.6, -0.8};
    if (slot == 9) return {0.6, 0.8};
    const world::Cell s = world::directionStep(slot);
    const double length = std::hypot(double(s.x), double(s.y));
    return {s.x / length, s.y / length};
}

// Where a line from the box's centre in direction u leaves the box.
QPointF edgePoint(QPointF centre, QPointF u) {
    const double tx = u.x() == 0 ? 1e9 : kHalfWidth / std::abs(u.x());
    const double ty = u.y() == 0 ? 1e9 : kHalfHeight / std::abs(u.y());
    return centre + u * std::min(tx, ty);
}

QPen cosmetic(const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, width, style);
    pen.setCosmetic(true);
    return pen;
}

QPolygonF arrowHead(QPointF tip, QPointF from) {
    QPointF d = tip - from;
    const double length = std::hypot(d.x(), d.y());
    if (length == 0) return {};
    d /= length;
    const QPointF normal(-d.y(), d.x());
    const QPointF base = tip - d * 14;
    return QPolygonF({tip, base + normal * 6, base - normal * 6});
}

}  // namespace

void MapPicture::setMap(std::int32_t map, std::span<const world::MapRoom> rooms) {
    map_ = map;
    rooms_.assign(rooms.begin(), rooms.end());
    layout_ = world::layoutMap(rooms_);
    highlight_.reset();
}

QRectF MapPicture::bounds() const {
    if (rooms_.empty()) return {};
    const double w = (layout_.max.x - layout_.min.x + 1) * kCell;
    const double h = (layout_.max.y - layout_.min.y + 1) * kCell;
    return QRectF(-kMargin, -kMargin, w + 2 * kMargin, h + 2 * kMargin);
}

QPointF MapPicture::centre(std::uint32_t room) const {
    const world::Cell c = layout_.cells[room];
    return {(c.x - layout_.min.x) * kCell + kCell / 2, (c.y - layout_.min.y) * kCell + kCell / 2};
}

QRectF MapPicture::roomRect(std::uint32_t room) const {
    const QPointF c = centre(room);
    return QRectF(c.x() - kHalfWidth, c.y() - kHalfHeight, 2 * kHalfWidth, 2 * kHalfHeight);
}

std::optional<std::uint32_t> MapPicture::roomAt(QPointF p) const {
    if (rooms_.empty()) return std::nullopt;
    const auto x = static_cast<std::int32_t>(std::floor(p.x() / kCell)) + layout_.min.x;
    const auto y = static_cast<std::int32_t>(std::floor(p.y() / kCell)) + layout_.min.y;
    for (std::uint32_t i = 0; i < layout_.cells.size(); ++i)
        if (layout_.cells[i].x == x && layout_.cells[i].y == y)
            return roomRect(i).contains(p) ? std::optional(i) : std::nullopt;
    return std::nullopt;
}

std::optional<std::uint32_t> MapPicture::roomOfNumber(std::int32_t number) const {
    return world::MapLayout::find(rooms_, number);
}

QColor MapPicture::exitTypeColour(std::int16_t type) {
    if (type < 0 || static_cast<std::size_t>(type) >= values::kExitTypes.size())
        return QColor(128, 128, 128);
    if (type == world::kMapChangeExitType) return kMapChangeColour;
    // Hues spread round the circle so that neighbouring types look unlike each other.
    return QColor::fromHsv((type * 137) % 360, 200, 210);
}

QString MapPicture::exitTypeName(std::int16_t type) {
    const std::string_view name = values::valueText(values::kExitTypes, type);
    return name.empty() ? QStringLiteral("other (%1)").arg(type) : fromGame(name);
}

std::vector<std::pair<QString, QColor>> MapPicture::legend() const {
    std::vector<std::pair<QString, QColor>> out = {
        {QStringLiteral("two-way exit"), kLineColour},
        {QStringLiteral("one-way exit (arrow)"), kLineColour},
        {QStringLiteral("exit to a missing room"), kMissingColour},
        {QStringLiteral("map change"), kMapChangeColour},
    };
    std::set<std::int16_t> types;
    for (const world::LaidExit& e : layout_.exits)
        if (e.type != 0 && e.type != world::kMapChangeExitType) types.insert(e.type);
    for (std::int16_t t : types) out.emplace_back(exitTypeName(t), exitTypeColour(t));
    return out;
}

QString MapPicture::toolTip(std::uint32_t room) const {
    const world::MapRoom& r = rooms_[room];
    QString text =
        QStringLiteral("Map %1, Room %2: %3").arg(map_).arg(r.number).arg(fromGame(r.name));
    for (const world::LaidExit& e : layout_.exits) {
        // Two-way exits are laid once, from the lower room: list them for the other too.
        if (e.from != room && !(e.to == room && e.kind == world::ExitKind::TwoWay)) continue;
        const bool back = e.from != room;
        const std::size_t slot = back ? values::oppositeDirection(e.slot) : e.slot;
        const std::int32_t target = back ? rooms_[e.from].number : e.target;
        QString what;
        switch (e.kind) {
            case world::ExitKind::TwoWay:
                what = QStringLiteral("two-way");
                break;
            case world::ExitKind::OneWay:
                what = QStringLiteral("one-way");
                break;
            case world::ExitKind::Missing:
                what = QStringLiteral("no such room");
                break;
            case world::ExitKind::MapChange:
                what = QStringLiteral("to another map");
                break;
            case world::ExitKind::Loop:
                what = QStringLiteral("to itself");
                break;
        }
        text += QStringLiteral("\n%1 -> %2 (%3, %4)")
                    .arg(fromGame(values::kDirectionNames[slot]))
                    .arg(target)
                    .arg(exitTypeName(e.type), what);
    }
    return text;
}

void MapPicture::paint(QPainter& painter, const QRectF& exposed, double scale) const {
    if (rooms_.empty()) return;
    paintExits(painter, exposed, scale);
    paintRooms(painter, exposed, scale);
}

void MapPicture::paintExits(QPainter& painter, const QRectF& exposed, double scale) const {
    const bool detail = scale >= MapPicture::kDetailScale;
    const bool readable = scale >= MapPicture::kReadableScale;
    const bool overview = scale < MapPicture::kOverviewScale;
    const QRectF area = exposed.adjusted(-kMargin, -kMargin, kMargin, kMargin);
    QVector<QLineF> lines, vertical, missing, mapChange;
    QVector<QPolygonF> arrows;
    struct Mark {
        QPointF at;
        std::int16_t type;
    };
    std::vector<Mark> marks;
    std::vector<std::pair<QPointF, QString>> labels;
    std::vector<QPointF> loops;
    for (const world::LaidExit& e : layout_.exits) {
        const QPointF from = centre(e.from);
        const QPointF u = unit(e.slot);
        if (e.kind == world::ExitKind::Missing || e.kind == world::ExitKind::MapChange) {
            const QPointF start = edgePoint(from, u), end = start + u * kStub;
            if (!area.contains(start)) continue;
            const bool toMissing = e.kind == world::ExitKind::Missing;
            (toMissing ? missing : mapChange).append(QLineF(start, end));
            if (toMissing && detail) {
                missing.append(QLineF(end + QPointF(-4, -4), end + QPointF(4, 4)));
                missing.append(QLineF(end + QPointF(-4, 4), end + QPointF(4, -4)));
            }
            if (!toMissing && readable)
                labels.emplace_back(end, QStringLiteral("map change"));
            if (toMissing && detail && e.type != 0) marks.push_back({end, e.type});
            continue;
        }
        if (e.kind == world::ExitKind::Loop) {
            const QPointF at = edgePoint(from, u);
            if (area.contains(at)) loops.push_back(at);
            continue;
        }
        if (overview) continue;
        const QPointF to = centre(e.to);
        const QLineF line(from, to);
        if (!area.intersects(QRectF(from, to).normalized().adjusted(-1, -1, 1, 1))) continue;
        (e.slot >= 8 ? vertical : lines).append(line);
        if (!detail) continue;
        if (e.kind == world::ExitKind::OneWay) {
            QPointF d = from - to;
            const double length = std::hypot(d.x(), d.y());
            if (length > 0) arrows.append(arrowHead(edgePoint(to, d / length), from));
        }
        if (e.type != 0) marks.push_back({line.pointAt(0.5), e.type});
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(cosmetic(kLineColour, detail ? 1.5 : 1));
    painter.drawLines(lines);
    painter.setPen(cosmetic(kLineColour, 1, Qt::DashLine));
    painter.drawLines(vertical);
    painter.setPen(cosmetic(kMissingColour, 2));
    painter.drawLines(missing);
    painter.setPen(cosmetic(kMapChangeColour, 2));
    painter.drawLines(mapChange);
    painter.setPen(cosmetic(kLineColour, 1));
    for (const QPointF& at : loops) painter.drawEllipse(at, 9, 9);
    painter.setBrush(kLineColour);
    for (const QPolygonF& a : arrows) painter.drawPolygon(a);
    painter.setPen(cosmetic(Qt::black, 1));
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (const Mark& m : marks) {
        painter.setBrush(exitTypeColour(m.type));
        painter.drawEllipse(m.at, kMarkRadius, kMarkRadius);
        const bool listed =
            m.type >= 0 && static_cast<std::size_t>(m.type) < values::kExitTypes.size();
        if (!listed && readable)
            painter.drawText(m.at + QPointF(kMarkRadius + 2, 4), QString::number(m.type));
    }
    painter.setPen(kMapChangeColour);
    for (const auto& [at, text] : labels) painter.drawText(at + QPointF(3, -3), text);
}

void MapPicture::paintRooms(QPainter& painter, const QRectF& exposed, double scale) const {
    const bool detail = scale >= MapPicture::kDetailScale;
    const bool readable = scale >= MapPicture::kReadableScale;
    QVector<QRectF> boxes;
    std::vector<std::uint32_t> shown;
    boxes.reserve(static_cast<qsizetype>(rooms_.size()));
    for (std::uint32_t i = 0; i < rooms_.size(); ++i) {
        const QRectF box = roomRect(i);
        if (!box.intersects(exposed)) continue;
        boxes.append(box);
        shown.push_back(i);
    }
    if (scale < MapPicture::kOverviewScale) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(90, 90, 90));
    } else {
        painter.setPen(cosmetic(QColor(40, 40, 40), 1));
        painter.setBrush(kBoxColour);
    }
    painter.drawRects(boxes);
    if (highlight_ && *highlight_ < rooms_.size()) {
        painter.setPen(cosmetic(Qt::black, 3));
        painter.setBrush(kHighlightColour);
        painter.drawRect(roomRect(*highlight_));
    }
    if (!detail) return;
    // Up and Down: small triangles at the box's right edge, red when the room is missing.
    painter.setPen(Qt::NoPen);
    for (const world::LaidExit& e : layout_.exits) {
        if (e.slot < 8 || e.kind == world::ExitKind::MapChange) continue;
        const QRectF box = roomRect(e.from);
        if (!box.intersects(exposed)) continue;
        const bool up = e.slot == 8;
        const double x = box.right() - 10, y = up ? box.top() + 4 : box.bottom() - 4;
        const double base = up ? y + 7 : y - 7;
        painter.setBrush(e.kind == world::ExitKind::Missing ? kMissingColour : kLineColour);
        painter.drawPolygon(QPolygonF({QPointF(x, y), QPointF(x - 5, base), QPointF(x + 5, base)}));
    }
    if (!readable) return;
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(12);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF metrics(font);
    for (std::uint32_t i : shown) {
        const QRectF box = roomRect(i).adjusted(4, 3, -4, -3);
        painter.setFont(bold);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, QString::number(rooms_[i].number));
        painter.setFont(font);
        const QString name =
            metrics.elidedText(fromGame(rooms_[i].name), Qt::ElideRight, box.width());
        painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, name);
    }
}

void MapPicture::paintLegend(QPainter& painter, QPointF topLeft) const {
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    QPointF at = topLeft;
    for (const auto& [text, colour] : legend()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(at + QPointF(6, 6), 5, 5);
        painter.setPen(Qt::black);
        painter.drawText(at + QPointF(16, 11), text);
        at += QPointF(0, 16);
    }
}

bool MapPicture::saveImage(const QString& path, QString& error) const {
    const QRectF area = bounds().isEmpty() ? QRectF(0, 0, 200, 50) : bounds();
    const double legendHeight = 16.0 * static_cast<double>(legend().size()) + 10;
    const double scale =
        std::min(1.0, kLargestImageSide / std::max(area.width(), area.height() + legendHeight));
    const QSize size(static_cast<int>(std::ceil(area.width() * scale)),
                     static_cast<int>(std::ceil((area.height() + legendHeight) * scale)));
    auto draw = [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), Qt::white);
        painter.scale(scale, scale);
        paintLegend(painter, QPointF(5, 5));
        painter.translate(-area.left(), legendHeight - area.top());
        if (rooms_.empty()) {
            painter.setPen(Qt::black);
            painter.drawText(area, Qt::AlignCenter,
                             QStringLiteral("Map %1 has no rooms.").arg(map_));
        }
        paint(painter, area, scale);
    };
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("svg")) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Map %1").arg(map_));
        QPainter painter;
        if (!painter.begin(&svg)) {
            error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
        draw(painter);
        if (!painter.end()) {
            error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
        return true;
    }
    if (suffix != QStringLiteral("png")) {
        error = QStringLiteral("%1: the picture is written as .png or .svg").arg(path);
        return false;
    }
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        error = QStringLiteral("the picture of %1 by %2 pixels does not fit in memory")
                    .arg(size.width())
                    .arg(size.height());
        return false;
    }
    {
        QPainter painter(&image);
        draw(painter);
    }
    if (!image.save(path, "PNG")) {
        error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace gw
