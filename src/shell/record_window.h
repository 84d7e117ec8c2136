#pragma once
// A window that shows a record of a data file that other programs (the game itself) write
// while the editor is open. The main window tells it when it becomes active again.
namespace gw {

class RecordWindow {
public:
    virtual ~RecordWindow() = default;
    // Shows the record on screen again from the file if another program changed it and the
    // window holds no edits; a window with edits keeps them.
    virtual void showChangesMadeElsewhere() = 0;
};

}  // namespace gw
