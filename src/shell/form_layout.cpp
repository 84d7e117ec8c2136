#include "shell/form_layout.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <utility>

#include "records/abilities.h"
#include "records/text_fields.h"
#include "shell/latin1.h"
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

QGroupBox* abilitiesFrame(int slotCount, QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral("Abilities"), parent);
    frame->setObjectName(QStringLiteral("frmAbilities"));
    auto* grid = new QGridLayout(frame);
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
    return frame;
}

QAbstractItemModel* nameTableList(const QString& name, QObject* owner) {
    auto* model = new QStringListModel(owner);
    model->setObjectName(name);
    return model;
}

void fillNameTableList(QAbstractItemModel* list, const std::vector<NameEntry>& table) {
    QStringList names;
    names.reserve(static_cast<qsizetype>(table.size()));
    for (const NameEntry& entry : table) names << fromGame(shownText(entry.name));
    static_cast<QStringListModel*>(list)->setStringList(names);
}

LazyPage::LazyPage(std::function<void(QWidget*)> build, QWidget* parent)
    : QWidget(parent), build_(std::move(build)) {
    new QVBoxLayout(this);
    layout()->setContentsMargins(0, 0, 0, 0);
}

void LazyPage::showEvent(QShowEvent* event) {
    ensureBuilt();
    QWidget::showEvent(event);
}

void LazyPage::ensureBuilt() {
    if (!build_) return;
    // The controls go into a box of their own, shown as a whole: children made while their
    // parent is being shown would stay hidden.
    auto* content = new QWidget;
    std::exchange(build_, nullptr)(content);
    layout()->addWidget(content);
    content->show();
    for (const auto& built : std::exchange(onBuilt_, {})) built(content);
}

void LazyPage::onBuilt(std::function<void(QWidget*)> built) {
    if (!build_) return;
    onBuilt_.push_back(std::move(built));
}

QTabWidget* generalAndAbilitiesTabs(int slotCount, QWidget*& generalPage, QWidget* parent) {
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName(QStringLiteral("SSTab1"));
    generalPage = new QWidget;
    generalPage->setObjectName(QStringLiteral("tabGeneral"));
    tabs->addTab(generalPage, QStringLiteral("General"));
    auto* abilitiesPage = new QWidget;
    abilitiesPage->setObjectName(QStringLiteral("tabAbilities"));
    auto* layout = new QVBoxLayout(abilitiesPage);
    layout->addWidget(abilitiesFrame(slotCount));
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

}  // namespace gw
