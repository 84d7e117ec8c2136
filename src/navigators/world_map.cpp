#include "navigators/world_map.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsSceneHelpEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionGraphicsItem>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>
#include <cstring>

#include "navigators/navigator.h"
#include "navigators/navigator_windows.h"
#include "records/number_text.h"
#include "shell/latin1.h"
#include "shell/world.h"

namespace gw {

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinScale = 0.01;
constexpr double kMaxScale = 4;

std::pair<std::int32_t, std::int32_t> roomKey(const QByteArray& key) {
    std::int32_t map = 0, room = 0;
    if (key.size() >= 8) {
        std::memcpy(&map, key.constData(), 4);
        std::memcpy(&room, key.constData() + 4, 4);
    }
    return {map, room};
}

}  // namespace

// One item for the whole map: it paints only the part the view exposes, at the view's scale.
class MapItem final : public QGraphicsItem {
public:
    explicit MapItem(const MapPicture& picture) : picture_(picture) {
        setFlag(ItemUsesExtendedStyleOption);
    }
    void changed() { prepareGeometryChange(); }
    QRectF boundingRect() const override { return picture_.bounds(); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override {
        const double scale = painter->worldTransform().m11();
        painter->setRenderHint(QPainter::Antialiasing, scale >= MapPicture::kDetailScale);
        picture_.paint(*painter, option->exposedRect, scale);
    }

private:
    const MapPicture& picture_;
};

MapView::MapView(MapPicture& picture, QWidget* parent) : QGraphicsView(parent), picture_(picture) {
    setDragMode(ScrollHandDrag);
    setTransformationAnchor(AnchorUnderMouse);
    setViewportUpdateMode(SmartViewportUpdate);
    setOptimizationFlags(DontSavePainterState);
    setBackgroundBrush(QColor(226, 230, 222));
    setFocusPolicy(Qt::StrongFocus);
}

void MapView::zoomBy(double factor) {
    const double next = std::clamp(scale() * factor, kMinScale, kMaxScale);
    QGraphicsView::scale(next / scale(), next / scale());
}

void MapView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) zoomBy(std::pow(kZoomStep, steps));
    event->accept();
}

void MapView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomBy(kZoomStep);
            return;
        case Qt::Key_Minus:
            zoomBy(1 / kZoomStep);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (picture_.highlight() && activated) activated(*picture_.highlight());
            return;
        default:
            QGraphicsView::keyPressEvent(event);
    }
}

std::optional<std::uint32_t> MapView::roomUnder(QPoint viewPoint) const {
    return picture_.roomAt(mapToScene(viewPoint));
}

void MapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        if (auto room = roomUnder(event->position().toPoint()); room && selected) selected(*room);
    QGraphicsView::mousePressEvent(event);
}

void MapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (auto room = roomUnder(event->position().toPoint()); room && activated) {
        activated(*room);
        return;
    }
    QGraphicsView::mouseDoubleClickEvent(event);
}

bool MapView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (auto room = roomUnder(help->pos()))
            QToolTip::showText(help->globalPos(), picture_.toolTip(*room), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QGraphicsView::viewportEvent(event);
}

WorldMapWindow::WorldMapWindow(World& world, QWidget* parent)
    : QWidget(parent),
      world_(world),
      mapChooser_(new QComboBox),
      find_(new QLineEdit),
      legend_(new QLabel),
      status_(new QLabel),
      scene_(new QGraphicsScene(this)),
      item_(new MapItem(picture_)),
      message_(new QGraphicsSimpleTextItem),
      view_(new MapView(picture_, this)) {
    setObjectName(QStringLiteral("frmWorldMap"));
    setWindowTitle(QStringLiteral("World Map"));
    mapChooser_->setObjectName(QStringLiteral("cmbMap"));
    find_->setObjectName(QStringLiteral("txtFind"));
    find_->setPlaceholderText(QStringLiteral("Room number or name"));
    find_->setClearButtonEnabled(true);
    legend_->setObjectName(QStringLiteral("lblLegend"));
    legend_->setWordWrap(true);
    legend_->setTextFormat(Qt::RichText);
    status_->setObjectName(QStringLiteral("lblStatus"));
    view_->setObjectName(QStringLiteral("gvMap"));
    view_->setMinimumSize(320, 240);
    scene_->addItem(item_);
    scene_->addItem(message_);
    view_->setScene(scene_);

    auto* fitButton = new QPushButton(QStringLiteral("&Fit"));
    fitButton->setObjectName(QStringLiteral("cmdFit"));
    auto* saveButton = new QPushButton(QStringLiteral("&Save Image..."));
    saveButton->setObjectName(QStringLiteral("cmdSaveImage"));
    auto* mapLabel = new QLabel(QStringLiteral("&Map"));
    mapLabel->setBuddy(mapChooser_);
    auto* findLabel = new QLabel(QStringLiteral("F&ind"));
    findLabel->setBuddy(find_);

    auto* top = new QHBoxLayout;
    top->addWidget(mapLabel);
    top->addWidget(mapChooser_);
    top->addWidget(findLabel);
    top->addWidget(find_, 1);
    top->addWidget(fitButton);
    top->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(view_, 1);
    layout->addWidget(legend_);
    layout->addWidget(status_);
    resize(900, 640);

    connect(mapChooser_, &QComboBox::activated, this,
            [this](int index) { showMap(mapChooser_->itemData(index).toInt()); });
    connect(find_, &QLineEdit::returnPressed, this, [this] { find(find_->text()); });
    connect(fitButton, &QPushButton::clicked, this, &WorldMapWindow::fit);
    connect(saveButton, &QPushButton::clicked, this, &WorldMapWindow::saveImage);
    view_->selected = [this](std::uint32_t room) {
        picture_.setHighlight(room);
        status_->setText(picture_.toolTip(room).section(u'\n', 0, 0));
        item_->update();
    };
    view_->activated = [this](std::uint32_t room) {
        view_->selected(room);
        openSelected();
    };
    connect(&world_.events(), &WorldEvents::shown, this, [this](int kind, const QByteArray& key) {
        if (kind == static_cast<int>(RecordKind::Room)) followRoomEditor(key);
    });
    connect(&world_.events(), &WorldEvents::written, this, [this](int kind, const QByteArray& key) {
        if (kind == static_cast<int>(RecordKind::Room)) roomWritten(key);
    });
}

void WorldMapWindow::open() {
    std::string failure;
    const std::string path = world_.file(RecordKind::Room).fileName();
    read_ = maps_.read(path, failure) == status::kSuccess;
    if (!read_) {
        fillMapChooser(0);
        showMessage(QStringLiteral("The Room file %1 cannot be read: %2")
                        .arg(fromGame(path), fromGame(failure)));
        return;
    }
    const auto maps = maps_.maps();
    if (maps.empty()) {
        fillMapChooser(0);
        showMessage(QStringLiteral("The Room file has no rooms."));
        return;
    }
    showMap(maps.front().map);
}

void WorldMapWindow::fillMapChooser(std::int32_t current) {
    mapChooser_->clear();
    for (const world::MapSummary& m : maps_.maps()) {
        mapChooser_->addItem(QStringLiteral("%1 (%2 rooms)").arg(m.map).arg(m.rooms), m.map);
        if (m.map == current) mapChooser_->setCurrentIndex(mapChooser_->count() - 1);
    }
}

void WorldMapWindow::showMessage(const QString& text) {
    message_->setText(text);
    message_->setVisible(!text.isEmpty());
    if (text.isEmpty()) return;
    scene_->setSceneRect(message_->boundingRect().adjusted(-20, -20, 20, 20));
    view_->resetTransform();
    view_->centerOn(message_);
}

void WorldMapWindow::showMap(std::int32_t map) {
    picture_.setMap(map, maps_.rooms(map));
    item_->changed();
    fillMapChooser(map);
    updateLegend();
    status_->clear();
    if (picture_.rooms().empty()) {
        showMessage(QStringLiteral("Map %1 has no rooms.").arg(map));
        return;
    }
    showMessage({});
    scene_->setSceneRect(picture_.bounds());
    fit();
}

void WorldMapWindow::fit() {
    if (picture_.rooms().empty()) return;
    view_->fitInView(picture_.bounds(), Qt::KeepAspectRatio);
    // Fitting a single room would blow it up past any use.
    if (view_->scale() > 1) view_->zoomBy(1 / view_->scale());
}

bool WorldMapWindow::selectRoom(std::int32_t number) {
    const auto room = picture_.roomOfNumber(number);
    if (!room) return false;
    view_->selected(*room);
    if (view_->scale() < MapPicture::kReadableScale)
        view_->zoomBy(MapPicture::kReadableScale / view_->scale());
    view_->centerOn(picture_.roomRect(*room).center());
    return true;
}

bool WorldMapWindow::find(const QString& text) {
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) return false;
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    bool found = false;
    if (isNumber) {
        found = selectRoom(number);
    } else {
        const QString folded = wanted.toCaseFolded();
        for (const world::MapRoom& r : picture_.rooms())
            if (fromGame(r.name).trimmed().toCaseFolded().startsWith(folded)) {
                found = selectRoom(r.number);
                break;
            }
    }
    if (!found)
        status_->setText(QStringLiteral("Map %1 has no room %2.").arg(picture_.map()).arg(wanted));
    return found;
}

void WorldMapWindow::openSelected() {
    if (!picture_.highlight()) return;
    const std::int32_t number = picture_.rooms()[*picture_.highlight()].number;
    const std::int32_t map = picture_.map();
    auto* editor = dynamic_cast<Navigator*>(world_.openWindow(QStringLiteral("frmRoom")));
    if (editor) editor->goToKey(int32Key({map, number}));
}

void WorldMapWindow::followRoomEditor(const QByteArray& key) {
    if (!read_) return;
    const auto [map, room] = roomKey(key);
    if (map != picture_.map() || picture_.rooms().empty()) {
        if (maps_.rooms(map).empty()) return;
        showMap(map);
    }
    const auto index = picture_.roomOfNumber(room);
    if (!index) return;
    view_->selected(*index);
    view_->ensureVisible(picture_.roomRect(*index), 40, 40);
}

void WorldMapWindow::roomWritten(const QByteArray& key) {
    if (!read_) return;
    const auto [map, room] = roomKey(key);
    maps_.reread(world_.file(RecordKind::Room).fileName(), map, room);
    if (map != picture_.map()) {
        fillMapChooser(picture_.map());
        return;
    }
    const std::optional<std::uint32_t> highlighted = picture_.highlight();
    const std::int32_t keep = highlighted ? picture_.rooms()[*highlighted].number : 0;
    // A changed exit may move rooms: the map is laid out again and the selection kept.
    picture_.setMap(map, maps_.rooms(map));
    item_->changed();
    scene_->setSceneRect(picture_.bounds());
    fillMapChooser(map);
    updateLegend();
    if (const auto again = picture_.roomOfNumber(keep)) picture_.setHighlight(*again);
    showMessage(picture_.rooms().empty() ? QStringLiteral("Map %1 has no rooms.").arg(map)
                                         : QString());
    item_->update();
}

void WorldMapWindow::updateLegend() {
    QStringList parts;
    for (const auto& [text, colour] : picture_.legend())
        parts << QStringLiteral("<span style=\"color:%1\">&#9679;</span>&nbsp;%2")
                     .arg(colour.name(), text.toHtmlEscaped());
    legend_->setText(parts.join(QStringLiteral(" &nbsp; ")));
}

void WorldMapWindow::saveImage() {
    const QString path = world_.dialogs().askSaveFileName(
        QStringLiteral("Save Image"), QStringLiteral("map-%1.png").arg(picture_.map()),
        QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)"));
    if (path.isEmpty()) return;
    QString error;
    if (!picture_.saveImage(path, error)) world_.dialogs().message(error);
}

QWidget* createWorldMap(World& world, QWidget* parent) {
    auto* window = new WorldMapWindow(world, parent);
    window->open();
    return window;
}

}  // namespace gw
