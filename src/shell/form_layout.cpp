#include "shell/form_layout.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShortcut>
#include <QStringListModel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <utility>

#include "records/abilities.h"
#include "records/text_fields.h"
#include "shell/latin1.h"
#include "shell/name_lookups.h"
#include "shell/record_form.h"
#include "shell/world.h"

namespace gw {

namespace {

QComboBox* makeDropDown(const QString& name, QAbstractItemModel* entries, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    // Sized by a fixed number of characters before it gets entries: sizing by the entries
    // would measure every one of them, for every box.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(12);
    if (entries) combo->setModel(entries);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}
}  // namespace

DeferredPage::DeferredPage(Build build, QWidget* parent)
    : QWidget(parent), build_(std::move(build)) {}

void DeferredPage::build() {
    if (!build_) return;
    const Build make = std::move(build_);
    build_ = nullptr;
    make(this);
    if (onBuilt) onBuilt(this);
    growFrame_ = true;
}

void DeferredPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!std::exchange(growFrame_, false)) return;
    // The window was sized without these controls: it grows to hold them, never shrinks.
    QWidget* frame = this;
    for (;; frame = frame->parentWidget()) {
        // Layouts keep their children's size hints: every level is asked again.
        frame->updateGeometry();
        if (frame->layout()) frame->layout()->invalidate();
        if (!frame->parentWidget() || frame->isWindow() || qobject_cast<QMdiSubWindow*>(frame))
            break;
    }
    // Asked once the layouts have taken the new controls in.
    QMetaObject::invokeMethod(
        frame, [frame] { frame->resize(frame->size().expandedTo(frame->sizeHint())); },
        Qt::QueuedConnection);
}

void DeferredPage::setVisible(bool visible) {
    // Made before the show, so that the new controls are shown with the page.
    if (visible) build();
    QWidget::setVisible(visible);
}

QValidator::State TypingLimit::validate(QString& input, int&) const {
    return input.size() <= max_ ? Acceptable : Invalid;
}

void limitTyping(QLineEdit* box, int maxTyped) {
    box->setValidator(new TypingLimit(maxTyped, box));
}

QLineEdit* textBox(const QString& name, int maxTyped, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    if (maxTyped > 0) {
        limitTyping(box, maxTyped);
        // Room for the widest typed text, not more: number boxes stay compact.
        if (maxTyped <= kNumberBoxLimit) {
            const int width = box->fontMetrics().horizontalAdvance(QStringLiteral("-000000"));
            box->setMinimumWidth(width + 12);
            box->setMaximumWidth(width + 24);
        }
    }
    return box;
}

QLineEdit* numberBox(const char* name, QWidget* parent) {
    return numberBox(QString::fromLatin1(name), parent);
}

QComboBox* dropDown(const QString& name, QWidget* parent) {
    return makeDropDown(name, nullptr, parent);
}

QComboBox* dropDown(const QString& name, QAbstractItemModel* entries) {
    return makeDropDown(name, entries, nullptr);
}

void addRow(QGridLayout* grid, int row, const QString& caption,
            std::initializer_list<QWidget*> widgets) {
    auto* label = new QLabel(caption);
    grid->addWidget(label, row, 0);
    int column = 1;
    for (QWidget* w : widgets) {
        if (column == 1) label->setBuddy(w);
        grid->addWidget(w, row, column++);
    }
}

void addPackedRow(QGridLayout* grid, int row, const QString& caption,
                  std::initializer_list<QWidget*> widgets) {
    auto* label = new QLabel(caption);
    grid->addWidget(label, row, 0);
    auto* packed = new QHBoxLayout;
    for (QWidget* w : widgets) {
        if (!label->buddy()) label->setBuddy(w);
        packed->addWidget(w);
    }
    packed->addStretch(1);
    grid->addLayout(packed, row, 1);
}

void addWideRow(QGridLayout* grid, int row, const QString& caption, QWidget* widget, int columns) {
    auto* label = new QLabel(caption);
    label->setBuddy(widget);
    grid->addWidget(label, row, 0);
    grid->addWidget(widget, row, 1, 1, columns);
}

namespace {
void addAbilitySlots(QWidget* holder, int slotCount) {
    auto* grid = new QGridLayout(holder);
    grid->addWidget(new QLabel(QStringLiteral("Ability")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Value")), 0, 2);
    for (int i = 0; i < slotCount; ++i) {
        QComboBox* code = dropDown(controlName("txtAbilityA", i), sharedListModel(abilityNames()));
        code->setMinimumContentsLength(24);
        code->setCurrentIndex(-1);
        code->setEditText(QStringLiteral("None"));
        auto* slot = new QLabel(QString::number(i + 1));
        slot->setBuddy(code);
        grid->addWidget(slot, i + 1, 0);
        grid->addWidget(code, i + 1, 1);
        grid->addWidget(numberBox(controlName("txtAbilityB", i)), i + 1, 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(slotCount + 1, 1);
}

QGroupBox* emptyAbilitiesFrame(QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral("Abilities"), parent);
    frame->setObjectName(QStringLiteral("frmAbilities"));
    return frame;
}
}  // namespace

QGroupBox* abilitiesFrame(int slotCount, QWidget* parent) {
    QGroupBox* frame = emptyAbilitiesFrame(parent);
    addAbilitySlots(frame, slotCount);
    return frame;
}

QGroupBox* deferredAbilitiesFrame(int slotCount, QWidget* parent) {
    QGroupBox* frame = emptyAbilitiesFrame(parent);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        new DeferredPage([slotCount](QWidget* page) { addAbilitySlots(page, slotCount); }));
    return frame;
}

QAbstractItemModel* nameTableList(const QString& name, QObject* owner) {
    auto* model = new QStringListModel(owner);
    model->setObjectName(name);
    return model;
}

void fillNameTableList(QAbstractItemModel* list, const std::vector<NameEntry>& table) {
    static_cast<QStringListModel*>(list)->setStringList(tableNames(table));
}

QTabWidget* generalAndAbilitiesTabs(int slotCount, QWidget*& generalPage, QWidget* parent) {
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName(QStringLiteral("SSTab1"));
    generalPage = new QWidget;
    generalPage->setObjectName(QStringLiteral("tabGeneral"));
    tabs->addTab(generalPage, QStringLiteral("General"));
    auto* abilitiesPage = new DeferredPage([slotCount](QWidget* page) {
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(abilitiesFrame(slotCount));
    });
    abilitiesPage->setObjectName(QStringLiteral("tabAbilities"));
    tabs->addTab(abilitiesPage, QStringLiteral("Abilities"));
    return tabs;
}

Binding abilityCodeBinding(int codes) {
    return {.control = "txtAbilityA",
            .field = "AbilityA",
            .conversion = Conversion::ListIndex,
            .count = codes,
            .items = abilityNames()};
}

Binding abilityAmountBinding(int amounts) {
    return {.control = "txtAbilityB",
            .field = "AbilityB",
            .conversion = Conversion::Number,
            .count = amounts};
}

QWidget* twoPanelForm(QLayout* top, QWidget* first, QWidget* second, const QString& firstCaption,
                      const QString& secondCaption, std::initializer_list<QWidget*> withSecond) {
    const std::vector<QWidget*> companions(withSecond);
    auto* other = new QPushButton(secondCaption);
    other->setObjectName(QStringLiteral("cmdOther"));
    second->hide();
    for (QWidget* w : companions) w->hide();
    QObject::connect(other, &QPushButton::clicked, other, [=] {
        const bool toSecond = second->isHidden();
        first->setHidden(toSecond);
        second->setHidden(!toSecond);
        for (QWidget* w : companions) w->setHidden(!toSecond);
        other->setText(toSecond ? firstCaption : secondCaption);
    });
    auto* buttons = new QHBoxLayout;
    for (QWidget* w : companions) buttons->addWidget(w);
    buttons->addStretch(1);
    buttons->addWidget(other);

    // Both panels in one place; the hidden one takes no room.
    auto* panels = new QGridLayout;
    panels->addWidget(first, 0, 0);
    panels->addWidget(second, 0, 0);

    auto* form = new QWidget;
    auto* page = new QVBoxLayout(form);
    page->setContentsMargins(0, 0, 0, 0);
    page->addLayout(top);
    page->addLayout(buttons);
    page->addLayout(panels, 1);
    return form;
}

namespace {

// Where a box sits: the innermost grid cell holding it (directly or within a layout in the
// cell), and the label of the innermost form row holding it.
struct Place {
    QGridLayout* grid = nullptr;
    int row = -1, column = -1;
    const QLabel* formLabel = nullptr;
};

bool findPlace(QLayout* layout, const QWidget* box, Place& place) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() != box && !(item->layout() && findPlace(item->layout(), box, place)))
            continue;
        if (auto* grid = qobject_cast<QGridLayout*>(layout); grid && !place.grid) {
            int rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &place.row, &place.column, &rowSpan, &columnSpan);
            place.grid = grid;
        }
        if (auto* form = qobject_cast<QFormLayout*>(layout); form && !place.formLabel) {
            QWidget* label = item->widget() ? form->labelForField(item->widget())
                                            : form->labelForField(item->layout());
            place.formLabel = qobject_cast<QLabel*>(label);
        }
        return true;
    }
    return false;
}

// A label's text without its closing colon.
QString captionOf(const QLabel* label) {
    if (!label) return {};
    QString text = label->text().trimmed();
    if (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text.trimmed();
}

QString captionAt(const QGridLayout* grid, int row, int column) {
    if (row < 0 || column < 0) return {};
    const QLayoutItem* item = grid->itemAtPosition(row, column);
    return captionOf(item ? qobject_cast<const QLabel*>(item->widget()) : nullptr);
}

bool isNumber(const QString& text) {
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

QString numberedRow(const QString& caption, int element) {
    return element < 0 ? caption : QStringLiteral("%1 (row %2)").arg(caption).arg(element + 1);
}

}  // namespace

QString shownLabel(const QWidget* box, int element) {
    Place place;
    for (const QWidget* w = box->parentWidget(); w && !place.grid && !place.formLabel;
         w = w->parentWidget())
        if (w->layout()) findPlace(w->layout(), box, place);
    if (place.grid && place.row > 0) {
        const QString heading = captionAt(place.grid, 0, place.column);
        if (!heading.isEmpty()) {
            const QString row = place.column > 0 ? captionAt(place.grid, place.row, 0) : QString();
            if (row.isEmpty()) return numberedRow(heading, element);
            return isNumber(row) ? QStringLiteral("%1 (row %2)").arg(heading, row)
                                 : QStringLiteral("%1 (%2)").arg(heading, row);
        }
    }
    QString caption;
    for (const QLabel* label : box->window()->findChildren<QLabel*>())
        if (label->buddy() == box) caption = captionOf(label);
    if (caption.isEmpty()) caption = captionOf(place.formLabel);
    if (caption.isEmpty() && place.grid)
        caption = captionAt(place.grid, place.row, place.column - 1);
    for (const QWidget* w = box->parentWidget(); caption.isEmpty() && w; w = w->parentWidget())
        if (auto* frame = qobject_cast<const QGroupBox*>(w)) caption = frame->title();
    if (caption.isEmpty()) return box->objectName();
    return numberedRow(caption, element);
}

void fitNumberBox(QLineEdit* box, std::int64_t min, std::int64_t max) {
    // Measured in zeros: digits are equally wide in the usual fonts, and zero is among the widest.
    const qsizetype digits = std::max(QString::number(min).size(), QString::number(max).size());
    QString widest(digits, QLatin1Char('0'));
    if (min < 0) widest[0] = QLatin1Char('-');
    const int width = box->fontMetrics().horizontalAdvance(widest) + 12;
    if (box->minimumWidth() < width) box->setMinimumWidth(width);
    if (box->maximumWidth() < width + 12) box->setMaximumWidth(width + 12);
}

void showFromStart(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}

void fillNames(QComboBox* combo, const std::vector<NameEntry>& table) {
    combo->clear();
    combo->addItems(tableNames(table));
}

void onKey(QWidget* window, const QKeySequence& key, std::function<void()> action) {
    auto* shortcut = new QShortcut(key, window);
    // In the MDI area several windows are open: only the one with the focus answers.
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, std::move(action));
}

}  // namespace gw
