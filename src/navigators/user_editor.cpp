// frmUser: browses the players of wccuser2.dat in key order, or by the name typed into the Goto
// box. The game owns this file: the window reads it and never writes it.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <array>

#include "navigators/navigator.h"
#include "navigators/navigator_windows.h"
#include "records/user.h"
#include "records/value_lists.h"
#include "shell/form_layout.h"
#include "shell/latin1.h"
#include "shell/name_lookups.h"
#include "shell/record_form.h"
#include "shell/world.h"

namespace gw {

namespace {

constexpr int kSlots = 100;
constexpr int kPages = 4;
constexpr int kSlotsPerPage = kSlots / kPages;
constexpr int kFurtherValues = 20;

const NavigatorDescription kUserNavigator{
    .windowName = "frmUser",
    .caption = "User Editor",
    .kind = RecordKind::User,
    .reports = {"LoadUser, BGETFIRST, User, Error: ", "",
                "cmdFirst_Click, BGETFIRST, User, Error: ",
                "cmdPrevious_Click, BGETPREVIOUS, User, Error: ",
                "cmdNext_Click, BGETNEXT, User, Error: ", "cmdLast_Click, BGETLAST, User, Error: ",
                "cmdGoto_Click(), BGETEQUAL, User, Error: "},
    .gotoButton = "Command7",
    .writes = false,
    .saveOnClose = false,
    .gotoText = "monkey",
    .gotoLimit = 0,
};

// Shown only: nothing typed here is ever read back.
constexpr Binding shown(const char* control, const char* field, Conversion conversion,
                        int count = 1) {
    return {.control = control,
            .field = field,
            .conversion = conversion,
            .count = count,
            .showOnly = true};
}

const Binding kUserBindings[] = {
    shown("txtBBSName", "BBSName", Conversion::ZeroEndedText),
    shown("txtFirstName", "FirstName", Conversion::ZeroEndedText),
    shown("txtLastName", "LastName", Conversion::ZeroEndedText),
    // A number with no entry in its table leaves the drop-down empty, not on the last
    // player's race.
    shown("cmbRaces", "Race", Conversion::ListIndex),
    shown("cmbClasses", "Class", Conversion::ListIndex),
    shown("txtLevel", "Level", Conversion::Number),
    shown("txtExperience", "Experience", Conversion::Number),
    shown("txtMaxHP", "MaxHP", Conversion::Number),
    shown("txtCurrentHP", "CurrentHP", Conversion::Number),
    shown("txtStat", "Stat", Conversion::Number, 12),
    shown("Text1", "Text1Value", Conversion::Number, kFurtherValues),
    shown("txtItem", "Item", Conversion::Number, kSlots),
    shown("txtItemUses", "ItemUses", Conversion::Number, kSlots),
};

QString text(const char* latin1) { return QString::fromLatin1(latin1); }

// A read-only drop-down: a number the list cannot show leaves it empty.
QComboBox* nameList(const char* name, const NameTable& table) {
    QComboBox* box = dropDown(text(name));
    box->setEditable(false);
    fillNames(box, table);
    box->setCurrentIndex(-1);
    return box;
}

// The window carries these, but a browser that never writes has no action for them.
QWidget* unused(QWidget* control) {
    control->setEnabled(false);
    control->setToolTip(QStringLiteral("Players are only viewed here"));
    return control;
}

QGroupBox* generalFrame(World& world) {
    auto* frame = new QGroupBox(QStringLiteral("General"));
    frame->setObjectName(QStringLiteral("frameGeneral"));
    auto* grid = new QGridLayout(frame);
    QLineEdit* experience = textBox(QStringLiteral("txtExperience"), 0);
    experience->setMaximumWidth(experience->fontMetrics().horizontalAdvance(QString(16, u'0')));
    addPackedRow(grid, 0, QStringLiteral("Experience"), {experience});
    addRow(grid, 1, QStringLiteral("Level"), {numberBox("txtLevel")});
    addRow(grid, 2, QStringLiteral("Race"), {nameList("cmbRaces", world.raceNames())});
    addRow(grid, 3, QStringLiteral("Class"), {nameList("cmbClasses", world.classNames())});
    addPackedRow(grid, 4, QStringLiteral("HP"), {numberBox("txtCurrentHP"), numberBox("txtMaxHP")});
    // The two values of each attribute side by side, the columns without a heading.
    int row = 5;
    const int count = static_cast<int>(values::kAttributes.size());
    for (int k = 0; k < count; ++k)
        addPackedRow(
            grid, row++, fromGame(values::kAttributes[static_cast<std::size_t>(k)]),
            {numberBox(controlName("txtStat", k)), numberBox(controlName("txtStat", k + count))});
    // Boxes as wide as their contents, not as the frame.
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
    return frame;
}

// One inventory page: slot, item number, the item's name and its uses, in two columns.
QGroupBox* itemPage(int page) {
    const char* captions[] = {"1 - 25", "26-50", "51-75", "76-100"};
    auto* frame = new QGroupBox(text(captions[page]));
    frame->setObjectName(controlName("FrameItems", page));
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(2);
    const int rows = (kSlotsPerPage + 1) / 2;
    for (int n = 0; n < kSlotsPerPage; ++n) {
        const int slot = page * kSlotsPerPage + n;
        const int column = (n / rows) * 5, row = n % rows;
        auto* label = new QLabel(QString::number(slot + 1));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QLineEdit* item = textBox(controlName("txtItem", slot), 4);
        label->setBuddy(item);
        QLineEdit* name = textBox(controlName("txtItemName", slot), 29);
        name->setMinimumWidth(name->fontMetrics().horizontalAdvance(QString(20, u'x')));
        grid->addWidget(label, row, column);
        grid->addWidget(item, row, column + 1);
        grid->addWidget(name, row, column + 2);
        grid->addWidget(textBox(controlName("txtItemUses", slot), 4), row, column + 3);
    }
    grid->setColumnMinimumWidth(4, 16);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(7, 1);
    grid->setRowStretch(rows, 1);
    return frame;
}

class UserEditor final : public Navigator {
public:
    UserEditor(World& world, QWidget* parent) : Navigator(world, kUserNavigator, parent) {
        auto* names = new QHBoxLayout;
        const std::pair<const char*, int> nameBoxes[] = {
            {"txtBBSName", 29}, {"txtFirstName", 10}, {"txtLastName", 18}};
        const char* tips[] = {"Name on the board", "First name", "Last name"};
        for (int i = 0; i < 3; ++i) {
            QLineEdit* box = textBox(text(nameBoxes[i].first), nameBoxes[i].second);
            box->setToolTip(text(tips[i]));
            box->setPlaceholderText(text(tips[i]));
            names->addWidget(box, nameBoxes[i].second);
        }

        auto* switches = new QHBoxLayout;
        items_ = new QPushButton(QStringLiteral("Items"));
        items_->setObjectName(QStringLiteral("cmdItems"));
        items_->setAutoDefault(false);
        switches->addWidget(items_);
        const char* pageCaptions[] = {"1-25", "26-50", "51-75", "76-100"};
        for (int k = 0; k < kPages; ++k) {
            auto* page = new QPushButton(text(pageCaptions[k]));
            page->setObjectName(controlName("cmdSwitchItems", k));
            page->setAutoDefault(false);
            page->hide();
            switches->addWidget(page);
            connect(page, &QPushButton::clicked, this, [this, k] { switchItems(k); });
            pageButtons_[static_cast<std::size_t>(k)] = page;
        }
        switches->addStretch(1);

        // Both panels hold the same place; only one is shown at a time.
        panels_ = new QStackedWidget;
        panels_->addWidget(generalFrame(world));
        listItems_ = new QGroupBox(QStringLiteral("Items"));
        listItems_->setObjectName(QStringLiteral("FrameListItems"));
        pages_ = new QStackedWidget(listItems_);
        for (int k = 0; k < kPages; ++k) pages_->addWidget(itemPage(k));
        (new QVBoxLayout(listItems_))->addWidget(pages_);
        panels_->addWidget(listItems_);

        auto* further = new QGridLayout;
        for (int i = 0; i < kFurtherValues; ++i)
            further->addWidget(textBox(controlName("Text1", i), 0), i / 5, i % 5);

        auto* search = textBox(QStringLiteral("txtSearch"), 0);
        auto* list = new QListWidget;
        list->setObjectName(QStringLiteral("lstDatabase"));
        list->setMaximumWidth(list->fontMetrics().horizontalAdvance(QString(14, u'x')));
        search->setMaximumWidth(list->maximumWidth());
        auto* side = new QVBoxLayout;
        side->addWidget(unused(search));
        side->addWidget(unused(list), 1);

        auto* record = new QVBoxLayout;
        record->addLayout(names);
        record->addLayout(switches);
        record->addWidget(panels_, 1);
        record->addLayout(further);
        auto* body = new QHBoxLayout;
        body->addLayout(side);
        body->addLayout(record, 1);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(body, 1);
        layout->addLayout(navigationRow(
            {{"cmdInsert", "Insert"}, {"cmdDelete", "Delete"}, {"cmdSpells", "Spells"}}));
        for (const char* name : {"cmdInsert", "cmdDelete", "cmdSpells"}) unused(button(name));
        connectSteps();
        connect(items_, &QPushButton::clicked, this, &UserEditor::switchPanels);
        form_.emplace(this, RecordTraits<User>::type(), kUserBindings);
        for (int i = 0; i < kSlots; ++i)
            itemNames_[static_cast<std::size_t>(i)] =
                findChild<QLineEdit*>(controlName("txtItemName", i));
    }

protected:
    void showFields(const void* record) override {
        form_->show(record);
        const auto& user = *static_cast<const User*>(record);
        for (std::size_t i = 0; i < kSlots; ++i)
            showName(itemNames_[i], GetItemName(world(), user.Item[i]));
    }
    QStringList collectFields(void*) override { return {}; }

private:
    void switchPanels() {
        const bool toItems = listItems_->isHidden();
        panels_->setCurrentIndex(toItems ? 1 : 0);
        for (QPushButton* page : pageButtons_) page->setVisible(toItems);
        items_->setText(toItems ? QStringLiteral("General") : QStringLiteral("Items"));
    }

    void switchItems(int page) { pages_->setCurrentIndex(page); }

    QPushButton* items_ = nullptr;
    std::array<QPushButton*, kPages> pageButtons_{};
    QStackedWidget* panels_ = nullptr;
    QGroupBox* listItems_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::array<QLineEdit*, kSlots> itemNames_{};
    std::optional<RecordForm> form_;
};

}  // namespace

QWidget* createUserEditor(World& world, QWidget* parent) {
    return openNavigator<UserEditor>(world, parent);
}

}  // namespace gw
