#include "shell/form_layout.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "records/abilities.h"
#include "records/text_fields.h"
#include "shell/latin1.h"
#include "shell/record_form.h"
#include "shell/world.h"

namespace gw {

DeferredPage::DeferredPage(Build build, QWidget* parent)
    : QWidget(parent), build_(std::move(build)) {}

void DeferredPage::build() {
    if (!build_) return;
    const Build make = std::move(build_);
    build_ = nullptr;
    make(this);
    if (onBuilt) onBuilt(this);
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
            // Measured once per font: text shaping is a good part of making a box.
            static QFont measured;
            static int measuredWidth = -1;
            if (measuredWidth < 0 || box->font() != measured) {
                measured = box->font();
                measuredWidth = box->fontMetrics().horizontalAdvance(QStringLiteral("-000000"));
            }
            const int width = measuredWidth;
            box->setMinimumWidth(width + 12);
            box->setMaximumWidth(width + 24);
        }
    }
    return box;
}

QLineEdit* numberBox(const char* name, QWidget* parent) {
    return numberBox(QString::fromLatin1(name), parent);
}

QComboBox* dropDown(const QString& name, QWidget* parent) { return dropDown(name, {}, parent); }

QComboBox* dropDown(const QString& name, std::span<const std::string_view> items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    // The list before the line edit: its completer is then made once, over the right model.
    if (!items.empty()) combo->setModel(sharedListModel(items));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(12);
    return combo;
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

QGroupBox* abilitiesFrame(int slotCount, QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral("Abilities"), parent);
    frame->setObjectName(QStringLiteral("frmAbilities"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Ability")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Value")), 0, 2);
    for (int i = 0; i < slotCount; ++i) {
        QComboBox* code = dropDown(controlName("txtAbilityA", i), abilityNames());
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
    return frame;
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

void switchPanels(QPushButton* button, QWidget* first, QWidget* second, const QString& firstCaption,
                  const QString& secondCaption, std::initializer_list<QWidget*> withSecond) {
    const std::vector<QWidget*> companions(withSecond);
    second->hide();
    for (QWidget* w : companions) w->hide();
    button->setText(secondCaption);
    QObject::connect(button, &QPushButton::clicked, button, [=] {
        const bool toSecond = second->isHidden();
        first->setHidden(toSecond);
        second->setHidden(!toSecond);
        for (QWidget* w : companions) w->setHidden(!toSecond);
        button->setText(toSecond ? firstCaption : secondCaption);
    });
}

void fillNames(QComboBox* combo, const std::vector<NameEntry>& table) {
    QStringList names;
    names.reserve(static_cast<qsizetype>(table.size()));
    for (const NameEntry& entry : table) names << fromGame(shownText(entry.name));
    combo->clear();
    combo->addItems(names);
}

}  // namespace gw
