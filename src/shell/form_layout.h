#pragma once
// Building blocks for the editor windows' forms: boxes named as the game names them, with
// their typing limits, labelled grids and the shared ability frame.
#include <QString>
#include <QValidator>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <vector>

#include "shell/record_form.h"

class QAbstractItemModel;
class QComboBox;
class QPushButton;
class QGridLayout;
class QGroupBox;
class QKeySequence;
class QLayout;
class QLineEdit;
class QTabWidget;
class QWidget;

namespace gw {

struct NameEntry;

// Limits what the user types, never what the window puts into the box: QLineEdit's own
// maxLength would cut a stored "-32768" to "-3276" and the next save would store that.
class TypingLimit final : public QValidator {
public:
    TypingLimit(int maxTyped, QObject* parent) : QValidator(parent), max_(maxTyped) {}
    State validate(QString& input, int& pos) const override;

private:
    int max_;
};

inline constexpr int kNumberBoxLimit = 5;

// Gives an existing box a TypingLimit of maxTyped characters.
void limitTyping(QLineEdit* box, int maxTyped);

// A line edit with its objectName; maxTyped 0 means no limit.
QLineEdit* textBox(const QString& name, int maxTyped, QWidget* parent = nullptr);
inline QLineEdit* numberBox(const QString& name, QWidget* parent = nullptr) {
    return textBox(name, kNumberBoxLimit, parent);
}
QLineEdit* numberBox(const char* name, QWidget* parent = nullptr);
// An editable drop-down: the user may pick an entry or type over it.
QComboBox* dropDown(const QString& name, QWidget* parent = nullptr);
// The same over its list from the start: cheaper than giving it the list afterwards, which
// rebuilds the completion of the typed text.
QComboBox* dropDown(const QString& name, QAbstractItemModel* entries);
// The same over a value list, through the list's shared model.
inline QComboBox* dropDown(const QString& name, std::span<const std::string_view> items) {
    return dropDown(name, sharedListModel(items));
}

// Adds one grid row: the caption's label at column 0 (buddy of the first widget), then the
// widgets in the following columns.
void addRow(QGridLayout* grid, int row, const QString& caption,
            std::initializer_list<QWidget*> widgets);

// A row whose widgets sit side by side in column 1, packed to the left.
void addPackedRow(QGridLayout* grid, int row, const QString& caption,
                  std::initializer_list<QWidget*> widgets);

// A row whose one widget spans `columns` columns after its label.
void addWideRow(QGridLayout* grid, int row, const QString& caption, QWidget* widget, int columns);

// The frame frmAbilities, captioned "Abilities": per slot i a drop-down txtAbilityA_i and an
// amount box txtAbilityB_i beside it. The drop-downs read "None" until a record is shown.
QGroupBox* abilitiesFrame(int slotCount, QWidget* parent = nullptr);
// The same frame, its slots made when it is first shown (DeferredPage).
QGroupBox* deferredAbilitiesFrame(int slotCount, QWidget* parent = nullptr);

// The bindings of abilitiesFrame's slots: the codes through the shared ability list, the
// amounts as numbers. A record may store fewer amounts than codes.
Binding abilityCodeBinding(int codes);
Binding abilityAmountBinding(int amounts);

// A list of the entries of a race or class name table, position = record number, for
// drop-downs to share; named so that the window finds it to fill it.
QAbstractItemModel* nameTableList(const QString& name, QObject* owner);
void fillNameTableList(QAbstractItemModel* list, const std::vector<NameEntry>& table);

// The tab panel SSTab1 with its first page "General" (returned through generalPage) and the
// page "Abilities" holding abilitiesFrame(slotCount).
QTabWidget* generalAndAbilitiesTabs(int slotCount, QWidget*& generalPage,
                                    QWidget* parent = nullptr);

// A page whose controls are made just before it is first shown: a window opens faster, and
// a page the user never turns to costs nothing. The RecordForm of the window binds the
// controls when they appear (onBuilt).
class DeferredPage final : public QWidget {
    Q_OBJECT
public:
    using Build = std::function<void(QWidget* page)>;
    explicit DeferredPage(Build build, QWidget* parent = nullptr);

    bool built() const { return !build_; }
    // Makes the controls now, if they are not made yet.
    void build();
    void setVisible(bool visible) override;

    std::function<void(QWidget* page)> onBuilt;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Build build_;
    bool growFrame_ = false;
};

// The form of a window with two panels in one place: `top` above; then a row with the
// button cmdOther, which shows `second` in place of `first` and back, its caption naming the
// panel it would bring (`secondCaption` while `first` shows, `firstCaption` while `second`
// does); then the panels. The `withSecond` widgets sit at the row's left and are shown and
// hidden together with `second`.
QWidget* twoPanelForm(QLayout* top, QWidget* first, QWidget* second, const QString& firstCaption,
                      const QString& secondCaption,
                      std::initializer_list<QWidget*> withSecond = {});

// How a message names a box: by what the operator sees of it, not by its object name. A box
// under a column heading is "Heading (row label)", or "Heading (row n)" where the rows are
// numbered; otherwise the label that names it (its buddy, its form row, the label to its
// left) or its frame's caption. `element` (from 0) is the box's place in a control array, -1
// for a single box; an array element named by its frame or one label gets "(row n)" added.
QString shownLabel(const QWidget* box, int element = -1);

// Fits a number box to the widest of the values its field can hold (never narrower than it
// was), so that a stored value is never shown cut.
void fitNumberBox(QLineEdit* box, std::int64_t min, std::int64_t max);

// Shows text in a box from its start: the end of a long name is what may be cut off.
void showFromStart(QLineEdit* box, const QString& text);

// Empties the drop-down, then lists the table's names in order: position = record number.
struct NameEntry;
void fillNames(QComboBox* combo, const std::vector<NameEntry>& table);

// A key of the window's own, active while the focus is anywhere inside it.
void onKey(QWidget* window, const QKeySequence& key, std::function<void()> action);

}  // namespace gw
