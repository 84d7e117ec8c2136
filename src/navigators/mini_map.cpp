#include "navigators/mini_map.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>
#include <optional>
#include <string_view>

#include "navigators/navigator.h"
#include "records/number_text.h"
#include "records/room.h"
#include "records/text_fields.h"
#include "shell/latin1.h"
#include "shell/record_form.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace gw {

namespace {

// The game lays the boxes out in twips; at the usual 96 dots per inch a pixel is 15 twips.
constexpr int kTwipsPerPixel = 15;
constexpr int kBoxTwips = 2000;
constexpr int kRoomBox = static_cast<int>(values::kDirectionCount);

struct Place {
    int left, top;
};
// Box i: direction slot i, then the room itself in the middle of the grid; Up and Down
// stand right of it.
constexpr Place kPlaces[] = {{2280, 240},  {2280, 4560}, {4440, 2400}, {120, 2400},
                             {4440, 240},  {120, 240},   {4440, 4560}, {120, 4560},
                             {6600, 1320}, {6600, 3600}, {2280, 2400}};

constexpr int px(int twips) { return twips / kTwipsPerPixel; }

std::optional<std::int32_t> numberOf(const QString& text) {
    const auto v = parseInRange(toGame(text), std::numeric_limits<std::int32_t>::min(),
                                std::numeric_limits<std::int32_t>::max());
    return v ? std::optional<std::int32_t>(static_cast<std::int32_t>(*v)) : std::nullopt;
}

void paint(QWidget* box, Qt::GlobalColor colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
}

}  // namespace

QString GetRoomName(World& world, std::int32_t map, std::int32_t room) {
    RecordFile& file = world.file(RecordKind::Room);
    Room& record = file.as<Room>();
    record.MapNumber = map;
    record.RoomNumber = room;
    // The key is the record's first eight bytes: the pair as the row stores it.
    SearchKey key = int32Key({map, room});
    if (file.call(BGETEQUAL, "Function GetRoomName, BGETEQUAL, Room, Error: ", key.bytes,
                  key.length) != status::kSuccess)
        return QString();
    return fromGame(std::string_view(record.Name.data(), record.Name.size()));
}

MiniMap::MiniMap(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMap"));
    setWindowTitle(QStringLiteral("Mini Map"));
    auto* frame = new QGroupBox(QStringLiteral("Mini Map"));
    frame->setObjectName(QStringLiteral("Frame1"));
    const char* names[][3] = {{"info2", "rname2", "etype"}, {"info", "rname", "exits"}};
    int right = 0, bottom = 0;
    for (int i = 0; i <= kRoomBox; ++i) {
        auto* box = new QWidget(frame);
        box->setObjectName(controlName("Picture1", i));
        box->setAutoFillBackground(true);
        paint(box, i == kRoomBox ? Qt::black : Qt::white);
        const Place at = kPlaces[i];
        box->setGeometry(px(at.left), px(at.top) + 8, px(kBoxTwips), px(kBoxTwips));
        right = std::max(right, box->geometry().right());
        bottom = std::max(bottom, box->geometry().bottom());
        auto* column = new QVBoxLayout(box);
        column->setContentsMargins(4, 4, 4, 4);
        for (int k = 0; k < 3; ++k) {
            const char* base = names[i == kRoomBox][k];
            auto* label = new QLabel;
            label->setObjectName(i == kRoomBox ? QString::fromLatin1(base) : controlName(base, i));
            label->setWordWrap(true);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, Qt::white);
            label->setPalette(palette);
            column->addWidget(label);
            labels_[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] = label;
        }
        column->addStretch(1);
        boxes_[static_cast<std::size_t>(i)] = box;
    }
    frame->setFixedSize(right + px(120) + 1, bottom + px(240) + 1);

    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("Command1"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &MiniMap::closeWindow);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(close, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

MiniMap::~MiniMap() { release(); }

void MiniMap::fill(World& world, const MiniMapSource& source) {
    const std::optional<std::int32_t> map = numberOf(source.map);
    // One lookup, and at most one report, per room however many exits lead there.
    QHash<std::int32_t, QString> names;
    QString exits = QStringLiteral("Obvious Exits: ");
    for (std::size_t i = 0; i < values::kDirectionCount; ++i) {
        const std::optional<std::int32_t> room = numberOf(source.exits[i]);
        const bool isExit = room && *room != 0;
        paint(boxes_[i], isExit ? Qt::black : Qt::white);
        auto& [info, name, type] = labels_[i];
        if (!isExit) {
            info->clear(), name->clear(), type->clear();
            continue;
        }
        info->setText(QStringLiteral("Map: ") + source.map + QStringLiteral(" Room: ") +
                      source.exits[i]);
        // Without a map number there is no room to look up.
        if (map && !names.contains(*room)) names.insert(*room, GetRoomName(world, *map, *room));
        name->setText(fromGame(shownText(toGame(names.value(*room)))));
        type->setText(QStringLiteral("Exit Type: ") + source.exitTypes[i]);
        exits += fromGame(values::kDirectionNames[i]) + QStringLiteral(", ");
    }
    auto& [info, name, exitList] = labels_[kRoomBox];
    info->setText(QStringLiteral("Map: ") + source.map + QStringLiteral(" Room: ") + source.room);
    name->setText(source.name);
    // The last ", " (or the ": " when there is no exit) gives way to the full stop.
    exits.chop(2);
    fitExitList(exits + QLatin1Char('.'));
}

void MiniMap::fitExitList(const QString& list) {
    QWidget* box = boxes_[kRoomBox];
    const auto& [info, name, exitList] = labels_[kRoomBox];
    const QMargins margins = box->layout()->contentsMargins();
    const int width = box->width() - margins.left() - margins.right();
    const int room = box->height() - margins.top() - margins.bottom() -
                     info->heightForWidth(width) - name->heightForWidth(width) -
                     2 * box->layout()->spacing();
    exitList->setToolTip(list);
    exitList->setText(list);
    QFont font = info->font();
    constexpr qreal kSmallestPoints = 6;
    for (qreal points = font.pointSizeF(); points >= kSmallestPoints; points -= 1) {
        font.setPointSizeF(points);
        exitList->setFont(font);
        if (exitList->heightForWidth(width) <= room) return;
    }
    // Whole direction names only ("North East" is one), dropped from the end.
    QStringList names = list.split(QStringLiteral(", "));
    while (names.size() > 1 && exitList->heightForWidth(width) > room) {
        names.removeLast();
        exitList->setText(names.join(QStringLiteral(", ")) + QStringLiteral(", ") + QChar(0x2026));
    }
}

void MiniMap::holdOff(QWidget* window) {
    release();
    heldOff_ = window;
    if (window) window->setEnabled(false);
}

void MiniMap::release() {
    if (heldOff_) heldOff_->setEnabled(true);
    heldOff_ = nullptr;
}

void MiniMap::closeWindow() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

void MiniMap::closeEvent(QCloseEvent* event) {
    release();
    QWidget::closeEvent(event);
}

MiniMap* openMiniMap(World& world, QWidget* editor, const MiniMapSource& source) {
    auto* map = new MiniMap;
    map->fill(world, source);
    QWidget* window = editor;
    auto* sub = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
    if (QMdiArea* area = sub ? sub->mdiArea() : nullptr) {
        // The frame is the window: closing it, however it is closed, deletes it and the map.
        QMdiSubWindow* frame = area->addSubWindow(map);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setWindowIcon(sub->windowIcon());
        window = sub;
        frame->show();
        area->setActiveSubWindow(frame);
    } else {
        map->setAttribute(Qt::WA_DeleteOnClose);
        map->show();
    }
    // A map of a room editor that has gone has nothing to show.
    QObject::connect(editor, &QObject::destroyed, map, [map] {
        map->forgetHeldOff();
        map->closeWindow();
    });
    map->holdOff(window);
    return map;
}

}  // namespace gw
