#pragma once
// The catalogue editor: a list of every record of one file as "number, three blanks, name"
// entries, a search box that selects entries as the user types, the selected record's form,
// Insert, Delete and Renumber. The record on screen is written back when the user leaves it with
// edits. Each catalogue window is one description (texts, bindings, a few named choices and hooks)
// plus its form; the behaviour lives here once.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "records/records.h"
#include "records/references.h"
#include "shell/history.h"
#include "shell/record_form.h"
#include "shell/record_window.h"
#include "shell/shown_record.h"
#include "store/status.h"

class QLineEdit;
class QListView;
class QPushButton;

namespace gw {

class CatalogueEditor;
class CatalogueList;
class RecordFile;
class UsedByButton;
class World;

// Status message prefixes; each is followed at once by the status in decimal.
struct CatalogueMessages {
    const char* loadFirst;  // "LoadRacees, BGETFIRST, Error: "
    const char* loadNext;   // "LoadRace, BGETNEXT, , Error: "
    const char* reread = "Error on BGETEQUAL: ";
    const char* update = "SaveRecord, Error: ";
    const char* insert = "cmdInsert, BINSERT, Error: ";
    const char* remove = "cmdDelete, BDELETE, Error: ";
};

// When the list is built: after the window is first shown, or while it is being created.
enum class LoadTiming { AfterShow, BeforeShow };

enum class DeleteStyle {
    SaveThenRebuild,  // save the record on screen, ask, delete, build the list again
    DiscardAndDrop,   // ask, delete, drop the entry; the edits on screen are discarded
};

// Where editors differ beyond their bindings; every hook is optional.
struct CatalogueHooks {
    // Before the list is (re)built: filling drop-downs from the name tables.
    std::function<void(CatalogueEditor&)> beforeLoad = {};
    // After the row is converted, before the bound controls show it: values the window
    // shows other than as stored.
    std::function<void(CatalogueEditor&)> beforeShow = {};
    // After the bound controls show the record: name lookups, repairs of stored values.
    // Runs again when a deferred page is made; read the record from form().shownRecord().
    std::function<void(CatalogueEditor&)> afterShow = {};
    // After the controls were collected into the record, before the update.
    std::function<void(CatalogueEditor&)> afterCollect = {};
    // The copy about to be inserted, after its new number and name are set.
    std::function<void(CatalogueEditor&)> prepareInsert = {};
    // Stored values the window shows as others (beside those its bindings repair): replaced
    // in the record shown, and written with the next save that has edits.
    std::function<void(void* record)> repair = {};
};

struct CatalogueDescription {
    const char* windowName;  // frmRace
    const char* caption;     // "Race Editor"
    RecordKind kind;
    const char* insertPrompt;  // "New Race Number:"
    const char* insertName;    // "New Race"
    CatalogueMessages messages;
    std::span<const Binding> bindings;
    LoadTiming loadTiming = LoadTiming::AfterShow;
    DeleteStyle deleteStyle = DeleteStyle::SaveThenRebuild;
    bool saveOnClose = false;
    // A box that cannot be converted keeps its field's value either way; this says whether
    // the user is told.
    bool reportRefusals = true;
    CatalogueHooks hooks = {};
    // The record's number and name fields; the number's width gives the insert answer's range.
    const char* numberField = "Number";
    const char* nameField = "Name";
};

class CatalogueEditor final : public QWidget, public RecordWindow {
public:
    enum class SaveResult {
        Saved,         // written, or nothing of the screen needed writing
        NotRead,       // the record could not be read again (or there is no such entry)
        UpdateFailed,  // read again, but the update was refused
        Discarded,     // deleted by another program; the operator let the edits go
        Kept,          // deleted by another program; the operator keeps the edits on screen
    };

    // `form` holds every bound control (the tab panel SSTab1 or the editor's frames) and is
    // placed to the right of the list.
    CatalogueEditor(World& world, const CatalogueDescription& description, QWidget* form,
                    QWidget* parent = nullptr);
    ~CatalogueEditor() override;

    World& world() { return world_; }
    RecordFile& file();
    const CatalogueDescription& description() const { return description_; }
    RecordForm& form() { return *form_; }

    bool loaded() const { return loaded_; }
    int currentIndex() const { return currentIndex_; }
    const CatalogueList& list() const { return *list_; }
    UsedByButton& usedBy() { return *usedBy_; }

    // The window's procedures, by the names the game gives them.
    // Builds the list and shows its first record, or the record of number `show`.
    void formLoad(std::optional<std::int32_t> show = std::nullopt);
    void loadList();
    void showRecord();
    // Writes the controls back to the record listed at `row` when they hold edits; without
    // edits nothing is read or written. When another program changed that record since it
    // was shown, only the edited fields are written over its change.
    SaveResult saveRecord(int row);
    void lstDatabaseClick(int row);
    void txtSearchKeyUp(int key);
    void cmdInsertClick();
    void cmdDeleteClick();
    // Gives the record on screen another number, rewriting every field of the world that
    // names it, after the list of those changes is confirmed.
    void cmdRenumberClick();

    // RecordWindow: a record without edits is shown again when another program changed it.
    void showChangesMadeElsewhere() override;
    // Selects the record's entry, which saves the record on screen first as a click does.
    void goToStoredKey(std::span<const std::uint8_t> keyBytes) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void selectEntry(int row);
    // Reads the record listed at `row`; one another program deleted is said so, not as a
    // status.
    Status readListed(int row);
    SaveResult saveDeletedElsewhere(int row);
    // After a write of the record listed at `row`: the history holds it, and its entry and its
    // form show what was written.
    void showSaved(int row, RowChange change);
    // Stored values the window shows as others, replaced in the record.
    void repair(void* record) const;
    // The history writes a record: the window with edits on it asks first; then the list and
    // the record on screen follow what was written.
    void askBeforeReplaced(const QByteArray& key, bool& may);
    void followWrite(const QByteArray& key);
    // Tells the other windows that the record of this row was written.
    void tellWritten(std::span<const std::uint8_t> row);
    // Moves the highlight back to the entry of the record on screen, showing nothing anew.
    void selectShownEntry();
    // The Insert question's proposal: a free number, above the highest in the file.
    std::int64_t proposedInsertNumber(const FieldInfo& number);
    void dropCurrentEntry();
    // The key of the record listed at `row`.
    RecordKey keyAt(int row) const;
    // After a save that did not succeed: true when the step that asked for it may go on (no
    // edits were on screen, or the operator discards them).
    bool mayGoOnAfter(SaveResult result);

    World& world_;
    const CatalogueDescription& description_;
    QWidget* formWidget_;
    std::unique_ptr<RecordForm> form_;
    CatalogueList* list_;
    QListView* listView_;
    QLineEdit* search_;
    QPushButton* insert_;
    QPushButton* delete_;
    QPushButton* renumber_;
    UsedByButton* usedBy_;

    ShownRecord shown_;
    bool restoringSelection_ = false;
    bool lookupReported_ = false;  // in the visit of the record on screen
    bool loaded_ = false;
    bool firstShowDone_ = false;
    bool deletedReported_ = false;
    int currentIndex_ = -1;
    QString searchPrefix_;
};

}  // namespace gw
