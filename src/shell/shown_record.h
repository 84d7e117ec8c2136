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
#include <string_view>
#include <vector>

#include "shell/dialogs.h"
#include "shell/record_form.h"
#include "store/status.h"

namespace gw {

class Dialogs;
class RecordFile;
class StatusReporter;

// How a window saves the edits on its screen.
struct SaveEdits {
    std::string_view prefix;         // reports of the write transaction and of the update
    std::function<Status()> reread;  // reads the shown record again by its key, 4 quietly
    const void* shownRecord;         // the form's copy of the record as shown
    std::vector<FieldElement> edited;
    std::function<QStringList(void*)> collect;  // controls -> record; the boxes it refused
    std::function<void(void*)> repair;          // the stored values the window shows as others
    bool refusalsStop = false;                  // with a box that cannot be read nothing is written
};

struct SavedEdits {
    enum class Outcome {
        Saved,
        Gone,     // another program deleted the record: nothing was written
        NotRead,  // read again it failed (reported): nothing was written
        Refused,  // a box could not be read and refusals stop: nothing was written
        UpdateFailed,
    } outcome = Outcome::UpdateFailed;
    QStringList refusals;
    QStringList overwritten;  // edited fields another program had changed too
    // Saved: the stored row as read again before the update, and as written.
    std::vector<std::uint8_t> before, after;
};

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

    // Reads the record again, puts the edits onto it and updates it, in one write transaction
    // of the file: no other program's commit falls between the comparison and the update.
    // Unchanged since shown, the record is written as a save without other writers writes
    // it: the record read, repaired, every control collected over it. Changed, only the
    // edited elements go over the other program's values (mergeEdits). Nothing is shown to
    // the operator meanwhile: the caller reports what the result holds.
    SavedEdits saveEdits(RecordFile& file, const SaveEdits& how) const;

    // "Race 3", with the name the row holds: "Race 3 \"Elf\"".
    QString label(const RecordType& type, bool withName) const;

private:
    std::vector<std::uint8_t> row_;
};

// "Race 3", with the name the row holds: "Race 3 \"Elf\"".
QString recordLabel(const RecordType& type, std::span<const std::uint8_t> row, bool withName);

// Whether two rows hold the same bytes in that element; true too where either is too short
// to hold it, as there is nothing to compare.
bool sameElement(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b,
                 const FieldElement& e);
// Every element of every field in which two rows differ, in field order.
std::vector<FieldElement> changedElements(const RecordType& type, std::span<const std::uint8_t> a,
                                          std::span<const std::uint8_t> b);
// Copies the element's bytes of `from` into `to`, both whole rows.
void copyElement(std::span<std::uint8_t> to, std::span<const std::uint8_t> from,
                 const FieldElement& e);
// The names of those elements, joined: "Name, MaxHP".
QString elementNames(std::span<const FieldElement> elements);

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

// The number a row's key holds, or its text: "3", "2/15", "Bob".
QString keyText(const KeySpec& key, std::span<const std::uint8_t> row);

// "Race 3 was deleted by another program."
void reportDeletedElsewhere(Dialogs& dialogs, const QString& label);
// The record with edits on screen was deleted by another program: Yes inserts it again with
// the screen's values, No lets the edits go, Cancel keeps them on screen.
Answer askInsertDeletedAgain(Dialogs& dialogs, const QString& label);
// Inserts the record on screen again under its key: the record as shown with every control
// collected over it. Refusals of boxes are added to `refusals`.
Status insertShownAgain(RecordFile& file, const void* shownRecord, std::string_view prefix,
                        const std::function<QStringList(void*)>& collect, QStringList& refusals);
// Closing a window with edits whose record is not saved on closing: Save, Discard, Cancel.
Answer askSaveOnClose(Dialogs& dialogs, const QString& labelWithName);

// The history is about to write a record shown with edits: true when the operator lets the
// edits go (No keeps them, and nothing is written).
bool discardEditsForHistory(Dialogs& dialogs, const QString& labelWithName);

// After a failed save of a record with edits: true when the operator keeps the edits (the
// step that asked for the save must not go on), false to discard them and go on.
bool keepEditsAfterFailedSave(Dialogs& dialogs);

}  // namespace gw
