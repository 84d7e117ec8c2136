#pragma once
// The navigator engine: a window that steps through one data file in key order (First,
// Previous, Next, Last, Goto), shows the record at the file's position and writes it back
// before every move that leaves edits behind. Each navigator window is a description plus the hooks
// that move fields between its controls and the in-memory record.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "records/records.h"
#include "records/references.h"
#include "shell/history.h"
#include "shell/record_window.h"
#include "shell/shown_record.h"
#include "store/status.h"

class QBoxLayout;
class QLineEdit;
class QPushButton;

namespace gw {

class Dialogs;
class RecordFile;
class RecordForm;
class UsedByButton;
class World;

// What the steps put before the status in their reports.
struct NavigatorReports {
    const char* open;
    const char* save;
    const char* first;
    const char* previous;
    const char* next;
    const char* last;
    const char* goTo;
};

struct NavigatorDescription {
    const char* windowName;  // frmMessage
    const char* caption;     // "Message Editor"
    RecordKind kind;
    NavigatorReports reports;
    const char* gotoButton = "cmdGoto";
    const char* gotoBox = "txtGoto";  // read by the default gotoKey
    bool writes = true;               // false: the window never writes, not even on closing
    bool refreshAfterSave = true;     // show the row as written after a successful update
    bool saveOnClose = true;
    const char* gotoText = "1";  // what the Goto box holds at first
    int gotoLimit = 5;           // characters the user may type into it; 0: no limit
};

// A key value as BTRCALL takes it: the buffer and the key length passed with it.
struct SearchKey {
    std::vector<std::uint8_t> bytes;
    std::uint16_t length = 0;
};

// A key of 32-bit numbers as a row stores them (little-endian, one after the other), with the
// key length 4 the game passes for a number and for a map and room pair alike.
SearchKey int32Key(std::initializer_list<std::int32_t> parts);

// The key by which a row is found again: the row's key bytes with the key length the game
// passes for that kind (a map and room pair is eight bytes with key length 4; a text key is
// its significant characters).
SearchKey searchKeyOfRow(const KeySpec& key, std::span<const std::uint8_t> row);

// A 32-bit number typed into a box, or a message naming the box and the range.
std::optional<std::int32_t> readInt32(const QString& text, const QString& boxName,
                                      QString& refusal);

class Navigator : public QWidget, public RecordWindow {
public:
    Navigator(World& world, const NavigatorDescription& description, QWidget* parent);

    // Form_Load: the first record of the file, or the Open report with nothing shown.
    void open();
    void first();
    void previous();
    void next();
    void last();
    void goTo();
    // Goto with a key from elsewhere (the World Map): the same save first, the same report.
    void goToKey(const SearchKey& key);

    bool isShowing() const { return shown_.has_value(); }
    // The count of the records that name the one shown; nullptr for a type nothing names.
    UsedByButton* usedBy() const { return usedBy_; }

    // RecordWindow: a record without edits is shown again when another program changed it.
    void showChangesMadeElsewhere() override;
    void goToStoredKey(std::span<const std::uint8_t> keyBytes) override;

protected:
    enum class SaveOutcome {
        Written,
        Unchanged,  // no edits: nothing was read or written
        Failed,     // reported, or the operator let the edits go; the calling step goes on
        // Reported, nothing written, and the step stops: a box could not be read, or the save
        // failed and the operator keeps the edits on screen.
        Refused,
    };
    enum class SaveFor { Move, Close };

    // Fields -> controls and controls -> fields (refusal texts for boxes that cannot be read;
    // their fields keep the values of the record read).
    virtual void showFields(const void* record) = 0;
    virtual QStringList collectFields(void* record) = 0;
    // The key Goto looks for; nothing (after a message) when the boxes hold no key. The
    // default reads description.gotoBox as a 32-bit number, or for a file keyed by text as
    // that text without its trailing blanks.
    virtual std::optional<SearchKey> gotoKey();

    // The form whose controls the operator edits: the engine tells from it whether the record
    // on screen has edits. Call once, after the form is made; `form` outlives the window's
    // use of the engine.
    void trackEdits(RecordForm& form) { edits_ = &form; }
    bool hasEdits() const;

    // The building blocks of steps, for the windows' own steps (Insert, Delete).
    SaveOutcome saveRecord(SaveFor purpose = SaveFor::Move);
    // Converts the row buffer into the record and shows it; the file is on that row.
    void showRecord();
    // Reads the shown record again by its key, so that the file's position and in-memory
    // record are the shown row's whatever moved them since; failures report with prefix.
    Status positionOnShown(std::string_view prefix, std::initializer_list<Status> quiet = {});
    // Nothing is shown any more (the shown row was deleted).
    void forgetShown();
    // The common part of the windows' Delete: the question, then BDELETE on the shown record
    // wherever a lookup moved the file. True when it was deleted (nothing is shown then).
    // With nothing shown nothing is deleted: the record manager's status for a delete with
    // no current record is reported with `prefix`, as any failure of the delete is.
    bool deleteShown(const char* prefix);
    // An answer to one of Insert's prompts (title "Insert"): nothing when cancelled, or when
    // it is not a whole 32-bit number (after a message naming the prompt). When it is the new
    // record's number, also nothing for a number the record could never be named by.
    enum class Answer { RecordNumber, Other };
    std::optional<std::int32_t> askInsertNumber(const char* prompt, const char* proposed,
                                                Answer answerIs = Answer::Other);

    RecordFile& file() const { return file_; }
    Dialogs& dialogs() const { return dialogs_; }
    World& world() const { return world_; }
    const NavigatorDescription& description() const { return description_; }

    // The standard controls of a navigator: the Goto box and button and the four moves, with
    // the windows' extra buttons (name, caption) after them. Call once, then connectSteps.
    QBoxLayout* navigationRow(std::initializer_list<std::pair<const char*, const char*>> extra);
    // Connects the move and Goto buttons, found by name, to their steps.
    void connectSteps();
    QPushButton* button(const char* name) const;

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void move(std::uint16_t operation, const char* prefix, bool relative);
    SaveOutcome failedSave();
    SaveOutcome saveDeletedElsewhere();
    // The history writes a record: the window with edits on it asks first; then the record
    // on screen follows what was written.
    bool shows(const QByteArray& key) const;
    void askBeforeReplaced(const QByteArray& key, bool& may);
    void followWrite(const QByteArray& key);
    // After a successful write: the history holds it, and the record written is the one shown.
    void showWritten(RowChange change);

    World& world_;
    const NavigatorDescription& description_;
    RecordFile& file_;
    Dialogs& dialogs_;
    std::optional<SearchKey> shown_;
    bool lookupReported_ = false;  // in the visit of the record on screen
    ShownRecord shownRecord_;
    std::optional<RecordKey> shownKey_;
    QString shownName_;
    UsedByButton* usedBy_ = nullptr;
    RecordForm* edits_ = nullptr;
    bool closed_ = false;
    bool deletedReported_ = false;
};

// Creates a navigator window and runs its Open step (Form_Load).
template <class Window>
QWidget* openNavigator(World& world, QWidget* parent) {
    auto* window = new Window(world, parent);
    window->open();
    return window;
}

}  // namespace gw
