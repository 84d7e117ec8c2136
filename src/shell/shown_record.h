#pragma once
// The row a window showed, kept so that a save can tell the operator's edits from
// another program's changes. The game writes the same files while the editor is open (a
// room's monsters and items move with the players); a save that wrote every control back over
// a row the game had changed since would undo the game's change.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "shell/record_form.h"

namespace gw {

class Dialogs;
class RecordFile;
class StatusReporter;

class ShownRecord {
public:
    // The file's row as the window has just shown it.
    void remember(const RecordFile& file);
    void forget();
    bool isRemembered() const { return !row_.empty(); }

    // The file holds the shown record just read again: true when its row is not the one shown.
    bool changedElsewhere(const RecordFile& file) const;

    // Puts the operator's edits onto the record read again. `collect` writes every control
    // into the record it is given (as a plain save does), over a copy of `shownRecord` (the
    // form's); of that, only the `edited` elements replace the file's record, so every other
    // field keeps the other program's value. Returns the names of the edited elements whose
    // stored bytes the other program changed too (the operator's value wins there).
    QStringList mergeEdits(RecordFile& file, const void* shownRecord,
                           std::span<const FieldElement> edited,
                           const std::function<void(void*)>& collect) const;

private:
    std::vector<std::uint8_t> row_;
};

// While it lives, the file's calls report nothing: for looks that may fail for as long as
// another program holds the file, and that nobody asked for (a window becoming active).
class QuietCalls {
public:
    explicit QuietCalls(RecordFile& file);
    ~QuietCalls();
    QuietCalls(const QuietCalls&) = delete;
    QuietCalls& operator=(const QuietCalls&) = delete;

private:
    RecordFile& file_;
    StatusReporter* reporter_;
};

// Tells the operator that another program changed the named fields too and their values won.
void reportOverwrittenChanges(Dialogs& dialogs, const QStringList& fields);

// After a failed save of a record with edits: true when the operator keeps the edits (the
// step that asked for the save must not go on), false to discard them and go on.
bool keepEditsAfterFailedSave(Dialogs& dialogs);

}  // namespace gw
