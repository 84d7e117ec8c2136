#pragma once
// Binds a window's controls to the fields of an in-memory record by a table, so that an editor
// is its controls plus a list of (control, field, conversion) rows. Shared by the catalogue
// editors and the navigators.
#include <QHash>
#include <QString>
#include <QStringList>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "store/record_type.h"

class QAbstractItemModel;
class QComboBox;
class QLineEdit;
class QWidget;

namespace gw {

class Dialogs;
class World;

enum class Conversion {
    Number,            // line edit, decimal; read back rounded (halves to even), range-checked
    ZeroEndedText,     // shown up to its first zero byte; stored as typed, one zero, blanks
    TrimmedZeroEnded,  // as ZeroEndedText with trailing blanks removed before the zero
    BlankFilledText,   // stored as typed, cut and filled with blanks, no zero byte
    ListIndex,         // combo box: the stored value is the position of the selected entry
    CheckState,        // tristate check box: 0 clear, 1 ticked, 2 grey
    Flag,              // two-state check box: 1 ticked, any other value clear; stored 1 or 0
    UnsignedNumber,    // as Number, the field's bytes read as unsigned (0 to 65535 for 2 bytes)
};

// The name of the record a number points at, for a name box beside the number's box. Takes
// the stored value whatever the field's width; a value the lookup cannot take gives "".
using NameLookup = QString (*)(World& world, std::int64_t number);

struct Binding {
    const char* control;  // objectName; for a control array the base name (txtAbilityA_0 ...)
    const char* field;    // field name in the record type
    Conversion conversion;
    int count = 1;  // control array length: control_i <-> field[first + i]
    // Shown value = stored + offset, plus the shown value of the control `relativeTo` (both
    // number boxes). Read back as shown - offset - that control's value, then rounded.
    int offset = 0;
    const char* relativeTo = nullptr;
    bool showOnly = false;                         // shown, never read back
    std::span<const std::string_view> items = {};  // ListIndex: the value list (one shared model)
    const char* label = nullptr;                   // how messages name the box (default: control)
    int first = 0;                                 // first field element the array binds
    // Number and ListIndex: when set, the control owns only the field's low `lowBits` bits
    // (a byte kept in a wider field); the other bits are kept as stored.
    int lowBits = 0;
    // ListIndex: the entry shown, and so stored on the next save, for a value the list has no
    // entry for; -1 shows the value as its number and keeps it.
    int unlistedShowsAs = -1;
    // A display-only box (same array index) showing lookup of the value; never read back.
    const char* nameBox = nullptr;
    NameLookup lookup = nullptr;
};

// One element of a field: what an edited control stands for.
struct FieldElement {
    const FieldInfo* field;
    int element;
    bool operator==(const FieldElement&) const = default;
};

// The common rows of a binding table: number boxes (with the name of what they point at in
// `nameBox`, when given), and drop-downs over a value list.
constexpr Binding numberBinding(const char* control, const char* field, int count = 1,
                                const char* nameBox = nullptr, NameLookup lookup = nullptr) {
    return {.control = control,
            .field = field,
            .conversion = Conversion::Number,
            .count = count,
            .nameBox = nameBox,
            .lookup = lookup};
}
constexpr Binding listBinding(const char* control, const char* field,
                              std::span<const std::string_view> items, int count = 1,
                              int unlistedShowsAs = -1) {
    return {.control = control,
            .field = field,
            .conversion = Conversion::ListIndex,
            .count = count,
            .items = items,
            .unlistedShowsAs = unlistedShowsAs};
}

// "AbilityA", 3 -> "AbilityA(3)"; a single field by its name alone.
QString fieldElementName(const FieldElement& e);

// "txtAbilityA", 3 -> "txtAbilityA_3": the one naming scheme of control arrays.
QString controlName(const char* base, int index);

// A looked-up name in the box beside its number: up to its first zero character, shown from
// its start.
void showName(QLineEdit* box, const QString& name);

// One model per value list, shared by every combo box that shows it.
QAbstractItemModel* sharedListModel(std::span<const std::string_view> items);

class RecordForm {
public:
    // Finds every bound control under root; a missing control or field is a bug in the
    // window and throws std::logic_error.
    // `world` serves the bindings' name lookups.
    RecordForm(QWidget* root, const RecordType& type, std::span<const Binding> bindings,
               World* world = nullptr);

    // Fields -> controls, in table order. Keeps a copy of the record (shownRecord).
    void show(const void* record);

    // Replaces in `record` the stored values its controls show as another (a drop-down's
    // unlisted value shown as its fallback entry, a flag other than 0 or 1 shown clear) by
    // what they show, and so store at the next save: the same whether or not a control's page
    // is made yet.
    void repair(void* record) const;

    // Binds the controls a deferred page has just made and shows the last shown record in
    // them. Until then show and collect pass them by: their fields keep the stored values.
    void adopt(QWidget* page);

    // The record as last shown; null before the first show.
    const void* shownRecord() const { return shown_.empty() ? nullptr : shown_.data(); }

    // Controls -> fields, in table order. A box that cannot be converted keeps its field's
    // value and adds a line to the result (empty when everything converted).
    QStringList collect(void* record) const;

    // Edits: the window calls markShown when it has finished showing a record (its own steps
    // after show() included); from then on a control whose text, selection or check state
    // differs from what it showed is the operator's edit. Controls that are only shown never
    // count; controls of a deferred page count from the moment they show the record.
    // With `under`, only the controls under that widget (a page just made) are marked.
    void markShown(const QWidget* under = nullptr);
    bool hasEdits() const;
    // The field elements behind the edited controls, in table order, each once.
    std::vector<FieldElement> editedFields() const;
    // A control the window converts itself rather than through a binding (every element of
    // `field`): tracked for edits all the same.
    void watch(QWidget* control, const char* field);

private:
    // A control whose edits are tracked: a bound one (its slot) or one the window watches.
    struct Tracked {
        QWidget* widget;
        QWidget* relative;  // an edit here changes the field too
        FieldElement target;
        QString shownState;
        bool marked;  // shownState was taken
    };
    static constexpr std::size_t kUntracked = static_cast<std::size_t>(-1);
    using ControlsByName = QHash<QString, QWidget*>;
    static ControlsByName controlsUnder(QWidget* root);
    bool isEdited(const Tracked& t) const;
    struct Slot {
        const Binding* binding;
        const FieldInfo* field;
        int element;
        QWidget* widget;                   // null while its deferred page is not made
        QLineEdit* relative = nullptr;     // the relativeTo box of this slot, same index
        std::size_t tracked = kUntracked;  // its entry in tracked_
        QLineEdit* name = nullptr;         // the nameBox of this slot, same index
    };
    // Finds the slot's control (and its relativeTo box) under `under`; false if missing.
    bool bind(Slot& slot, const ControlsByName& named);
    void showSlot(const Slot& slot, const void* record);
    // The field's value as the control owns it, and the whole field with that part replaced.
    static std::int64_t ownedValue(const Slot& slot, const void* record);
    static void storeOwned(const Slot& slot, void* record, std::int64_t value);
    static std::pair<std::int64_t, std::int64_t> ownedRange(const Slot& slot);  // min, max
    bool collectSlot(const Slot& slot, void* record, QStringList& refusals) const;

    const RecordType& type_;
    std::vector<Slot> slots_;
    std::vector<Tracked> tracked_;
    QWidget* root_;
    std::size_t recordSize_;
    std::vector<unsigned char> shown_;
    World* world_;
};

// Shows the refusals of a collect in one message; nothing when there are none.
void reportRefusals(Dialogs& dialogs, const QStringList& refusals);

}  // namespace gw
