#pragma once
// Building blocks for the editor windows' forms: boxes named as the game names them, with
// their typing limits, labelled grids and the shared ability frame.
#include <QString>
#include <QValidator>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <span>
#include <vector>

#include "shell/record_form.h"

class QAbstractItemModel;
class QComboBox;
class QGridLayout;
class QGroupBox;
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

// The bindings of abilitiesFrame's slots: the codes through the shared ability list, the
// amounts as numbers. A record may store fewer amounts than codes.
Binding abilityCodeBinding(int codes);
Binding abilityAmountBinding(int amounts);

// A list of the entries of a race or class name table, position = record number, for
// drop-downs to share; named so that the window finds it to fill it.
QAbstractItemModel* nameTableList(const QString& name, QObject* owner);
void fillNameTableList(QAbstractItemModel* list, const std::vector<NameEntry>& table);

// A tab page whose controls are made the first time it is shown, so that a window with many
// pages opens quickly. A RecordForm over the window binds them then (see RecordForm).
class LazyPage final : public QWidget {
public:
    // `build` fills the widget it is given, once.
    explicit LazyPage(std::function<void(QWidget*)> build, QWidget* parent = nullptr);
    void ensureBuilt();
    bool isBuilt() const { return !build_; }
    // Called with the filled widget right after it is built; never when it is built already.
    void onBuilt(std::function<void(QWidget*)> built);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::function<void(QWidget*)> build_;
    std::vector<std::function<void(QWidget*)>> onBuilt_;
};

// The tab panel SSTab1 with its first page "General" (returned through generalPage) and the
// page "Abilities" holding abilitiesFrame(slotCount).
QTabWidget* generalAndAbilitiesTabs(int slotCount, QWidget*& generalPage,
                                    QWidget* parent = nullptr);

}  // namespace gw
