#pragma once
// Binds a window's controls to the fields of an in-memory record by a table, so that an editor
// is its controls plus a list of (control, field, conversion) rows. Shared by the catalogue
// editors and the navigators.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "store/record_type.h"

class QAbstractItemModel;
class QComboBox;
class QLineEdit;
class QWidget;

namespace gw {

class Dialogs;

enum class Conversion {
    Number,            // line edit, decimal; read back rounded (halves to even), range-checked
    ZeroEndedText,     // shown up to its first zero byte; stored as typed, one zero, blanks
    TrimmedZeroEnded,  // as ZeroEndedText with trailing blanks removed before the zero
    BlankFilledText,   // stored as typed, cut and filled with blanks, no zero byte
    ListIndex,         // combo box: the stored value is the position of the selected entry
    CheckState,        // tristate check box: 0 clear, 1 ticked, 2 grey
};

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
};

// One element of a field: what an edited control stands for.
struct FieldElement {
    const FieldInfo* field;
    int element;
    bool operator==(const FieldElement&) const = default;
};

// "AbilityA", 3 -> "AbilityA(3)"; a single field by its name alone.
QString fieldElementName(const FieldElement& e);

// "txtAbilityA", 3 -> "txtAbilityA_3": the one naming scheme of control arrays.
QString controlName(const char* base, int index);

// One model per value list, shared by every combo box that shows it.
QAbstractItemModel* sharedListModel(std::span<const std::string_view> items);

class RecordForm {
public:
    // Finds every bound control under root; a missing control or field is a bug in the
    // window and throws std::logic_error.
    // Controls on a LazyPage not built yet are bound when it is built, and show the record
    // shown last; until then they are left out of show and collect.
    RecordForm(QWidget* root, const RecordType& type, std::span<const Binding> bindings);
    RecordForm(const RecordForm&) = delete;
    RecordForm& operator=(const RecordForm&) = delete;

    // Fields -> controls, in table order.
    void show(const void* record);

    // Controls -> fields, in table order. A box that cannot be converted keeps its field's
    // value and adds a line to the result (empty when everything converted).
    QStringList collect(void* record) const;

    // Edits: the window calls markShown when it has finished showing a record (its own steps
    // after show() included); from then on a control whose text, selection or check state
    // differs from what it showed is the operator's edit. Controls that are only shown never
    // count; controls of a page built later count from the moment they show the record.
    void markShown();
    bool hasEdits() const;
    // The field elements behind the edited controls, in table order, each once.
    std::vector<FieldElement> editedFields() const;
    // A control the window converts itself rather than through a binding (every element of
    // `field`): tracked for edits all the same.
    void watch(QWidget* control, const char* field);

private:
    // A control whose edits are tracked: a bound one (its slot) or one the window watches.
    struct Tracked {
        QWidget* widget = nullptr;
        QWidget* relative = nullptr;  // an edit here changes the field too
        FieldElement target{};
        QString shownState;
        bool marked = false;  // shownState was taken
    };
    struct Slot {
        const Binding* binding;
        const FieldInfo* field;
        int element;
        QString name;
        QWidget* widget = nullptr;      // null until its page is built
        QLineEdit* relative = nullptr;  // the relativeTo box of this slot, same index
        std::size_t tracked = kUntracked;  // index into tracked_
    };
    static constexpr std::size_t kUntracked = static_cast<std::size_t>(-1);
    void attach(QWidget* root);
    void track(Slot& slot);
    bool isEdited(const Tracked& t) const;
    void showSlot(const Slot& slot, const void* record);
    bool collectSlot(const Slot& slot, void* record, QStringList& refusals) const;

    const RecordType& type_;
    std::vector<Slot> slots_;
    std::vector<Tracked> tracked_;
    bool marked_ = false;  // markShown was called
    std::size_t recordSize_;
    bool pagesLater_ = false;
    std::vector<std::uint8_t> shown_;  // the record shown last, for controls made later
};

// Shows the refusals of a collect in one message; nothing when there are none.
void reportRefusals(Dialogs& dialogs, const QStringList& refusals);

}  // namespace gw
