#pragma once
// frmMap: the room the Room editor shows and its ten exits as a grid of boxes, each exit in
// the box of its direction with the target room's numbers, name and exit type. It edits
// nothing; while it is open the Room editor's window takes no input.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>

#include "records/value_lists.h"

class QLabel;

namespace gw {

class World;

// The Room editor's boxes as they stand, unsaved edits included.
struct MiniMapSource {
    QString map, room, name;
    std::array<QString, values::kDirectionCount> exits;      // txtRoomExit_i
    std::array<QString, values::kDirectionCount> exitTypes;  // what txtRoomType_i displays
};

// The whole 53-character Name of the room (map, room), read through the Room file (which it
// moves); the empty text after the report "Function GetRoomName, BGETEQUAL, Room, Error: ".
QString GetRoomName(World& world, std::int32_t map, std::int32_t room);

class MiniMap final : public QWidget {
public:
    explicit MiniMap(QWidget* parent = nullptr);
    ~MiniMap() override;

    // Draws the room and its exits; an exit whose room number is not a number, or 0, is no
    // exit. Looks up the name of each exit's room.
    void fill(World& world, const MiniMapSource& source);

    // The window to switch off while the map is open and on again however it closes.
    void holdOff(QWidget* window);
    // Leaves the held-off window alone from now on (it is going away).
    void forgetHeldOff() { heldOff_ = nullptr; }
    // Closes the map's window: its MDI frame when it has one, which takes the map with it.
    void closeWindow();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void release();
    // The room's box keeps its size: the exit list takes a smaller font, and when even that
    // does not fit, the exits that fit and an ellipsis, the whole list in its tooltip.
    void fitExitList(const QString& list);

    std::array<QWidget*, values::kDirectionCount + 1> boxes_{};
    std::array<std::array<QLabel*, 3>, values::kDirectionCount + 1> labels_{};
    QPointer<QWidget> heldOff_;
};

// Makes the mini map beside the Room editor `editor` (in its MDI area when it has one),
// fills it from `source`, shows it and switches the editor's window off.
MiniMap* openMiniMap(World& world, QWidget* editor, const MiniMapSource& source);

}  // namespace gw
