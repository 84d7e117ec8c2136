#pragma once
// A window that shows a record of a data file that other programs (the game itself) write
// while the editor is open. The main window tells it when it becomes active again.
#include <cstdint>
#include <span>

namespace gw {

class RecordWindow {
public:
    virtual ~RecordWindow() = default;
    // Shows the record on screen again from the file if another program changed it and the
    // window holds no edits; a window with edits keeps them.
    virtual void showChangesMadeElsewhere() = 0;
    // Moves to the record whose stored row begins with these key bytes, saving the record on
    // screen first as any move does (a find result opened from elsewhere).
    virtual void goToStoredKey(std::span<const std::uint8_t> keyBytes) = 0;
};

}  // namespace gw
