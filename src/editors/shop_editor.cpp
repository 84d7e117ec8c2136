// frmShop: the Shop records of wccshop2.dat, on two panels, "General" and "Items Sold", the
// twenty items sold in two frames of ten rows.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/catalogue_editor.h"
#include "editors/catalogue_windows.h"
#include "records/shop.h"
#include "records/value_lists.h"
#include "shell/form_layout.h"
#include "shell/name_lookups.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace gw {

namespace {

constexpr int kSlots = 20;
constexpr int kRowsPerFrame = 10;

constexpr Binding column(const char* control, const char* field) {
    return {.control = control, .field = field, .conversion = Conversion::Number, .count = kSlots};
}

const Binding kShopBindings[] = {
    {.control = "txtNumber", .field = "Number", .conversion = Conversion::Number, .showOnly = true},
    {"txtName", "Name", Conversion::ZeroEndedText},
    {.control = "cmbType",
     .field = "Type",
     .conversion = Conversion::ListIndex,
     .items = values::kShopTypes},
    {"txtShopMinLvl", "ShopMinLvl", Conversion::Number},
    {"txtShopMaxLvl", "ShopMaxLvl", Conversion::Number},
    {"txtShopMarkup", "ShopMarkup", Conversion::Number},
    numberBinding("txtShopItemNumber", "ShopItemNumber", kSlots, "txtShopItemName", itemNameOf),
    column("txtShopMax", "ShopMax"),
    column("txtShopNormal", "ShopNormal"),
    column("txtShopRgnTime", "ShopRgnTime"),
    column("txtRgnNumber", "RgnNumber"),
    column("txtRgnPercentage", "RgnPercentage"),
    // The class number is the low byte of Class; the game keeps something in the high one.
    {.control = "cmbClasses", .field = "Class", .conversion = Conversion::ListIndex, .lowBits = 8},
};

// The class drop-down lists the class name table as it is when the list is (re)built.
void fillClasses(CatalogueEditor& editor) {
    fillNames(editor.findChild<QComboBox*>(QStringLiteral("cmbClasses")),
              editor.world().classNames());
}

const CatalogueDescription kShop{
    .windowName = "frmShop",
    .caption = "Shop Editor",
    .kind = RecordKind::Shop,
    .insertPrompt = "New Shop Number:",
    .insertName = "New Shop",
    .messages = {.loadFirst = "LoadShopes, BGETFIRST, Error: ",
                 .loadNext = "LoadShop, BGETNEXT, , Error: "},
    .bindings = kShopBindings,
    .loadTiming = LoadTiming::AfterShow,
    .hooks = {.beforeLoad = fillClasses},
};

QGroupBox* generalFrame() {
    auto* frame = new QGroupBox(QStringLiteral("General"));
    frame->setObjectName(QStringLiteral("frameGeneral"));
    auto* grid = new QGridLayout(frame);
    addWideRow(grid, 0, QStringLiteral("Type"), dropDown(QStringLiteral("cmbType")), 1);
    addWideRow(grid, 1, QStringLiteral("Class"), dropDown(QStringLiteral("cmbClasses")), 1);
    addPackedRow(grid, 2, QStringLiteral("Min/Max LVL"),
                 {numberBox("txtShopMinLvl"), numberBox("txtShopMaxLvl")});
    addPackedRow(grid, 3, QStringLiteral("Markup %"), {numberBox("txtShopMarkup")});
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);
    return frame;
}

// The columns of a row, left to right: (control, column label, typing limit; 0 for none).
struct Column {
    const char* control;
    const char* label;
    int maxTyped;
};
constexpr Column kColumns[] = {
    {"txtShopItemNumber", "#", 4}, {"txtShopItemName", "Item Name", 29},
    {"txtShopNormal", "Norm", 0},  {"txtShopMax", "Max", 0},
    {"txtShopRgnTime", "Time", 0}, {"txtRgnPercentage", "Rgn%", 0},
    {"txtRgnNumber", "Rgn#", 0},
};

// Rows first..first+9, under their column labels.
QGroupBox* rowsFrame(const char* name, const QString& caption, int first) {
    auto* frame = new QGroupBox(caption);
    frame->setObjectName(QString::fromLatin1(name));
    auto* grid = new QGridLayout(frame);
    int c = 1;
    for (const Column& column : kColumns)
        grid->addWidget(new QLabel(QString::fromLatin1(column.label)), 0, c++);
    for (int r = 0; r < kRowsPerFrame; ++r) {
        const int i = first + r;
        grid->addWidget(new QLabel(QString::number(i + 1)), r + 1, 0);
        c = 1;
        for (const Column& column : kColumns) {
            const QString boxName = controlName(column.control, i);
            QLineEdit* box;
            if (column.maxTyped == 29) {
                // The name is looked up, never read back.
                box = textBox(boxName, column.maxTyped);
                box->setEnabled(false);
                box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 22);
            } else {
                box = numberBox(boxName);  // sized as a number box; the limit is the column's
                if (column.maxTyped > 0)
                    limitTyping(box, column.maxTyped);
                else
                    box->setValidator(nullptr);
            }
            grid->addWidget(box, r + 1, c++);
        }
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(kRowsPerFrame + 1, 1);
    return frame;
}

QWidget* shopForm() {
    auto* number = textBox(QStringLiteral("txtNumber"), 4);
    number->setEnabled(false);  // a shop's number is chosen only when it is inserted
    number->setMaximumWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("-0000000000")) +
                            16);
    number->setPlaceholderText(QStringLiteral("Number"));
    // The field holds 39 characters; the game lets 29 be typed.
    auto* name = textBox(QStringLiteral("txtName"), 29);
    name->setPlaceholderText(QStringLiteral("Name"));

    auto* showA = new QPushButton(QStringLiteral("1 - 10"));
    showA->setObjectName(QStringLiteral("cmdA"));
    auto* showB = new QPushButton(QStringLiteral("11 - 20"));
    showB->setObjectName(QStringLiteral("cmdB"));

    // A hundred and forty boxes: made when the panel is first shown.
    auto* items = new QGroupBox(QStringLiteral("Items Sold"));
    items->setObjectName(QStringLiteral("frameShopItems"));
    auto* rows = new DeferredPage([](QWidget* page) {
        auto* frames = new QGridLayout(page);
        frames->setContentsMargins(0, 0, 0, 0);
        frames->addWidget(rowsFrame("frameA", QStringLiteral("1 - 10"), 0), 0, 0);
        QGroupBox* rowsB = rowsFrame("frameB", QStringLiteral("11 - 20"), kRowsPerFrame);
        rowsB->hide();
        frames->addWidget(rowsB, 0, 0);
    });
    (new QVBoxLayout(items))->addWidget(rows);
    auto choose = [rows](const char* shown, const char* hidden) {
        rows->build();
        rows->findChild<QWidget*>(QString::fromLatin1(hidden))->hide();
        rows->findChild<QWidget*>(QString::fromLatin1(shown))->show();
    };
    QObject::connect(showA, &QPushButton::clicked, rows, [=] { choose("frameA", "frameB"); });
    QObject::connect(showB, &QPushButton::clicked, rows, [=] { choose("frameB", "frameA"); });

    auto* top = new QHBoxLayout;
    top->addWidget(number);
    top->addWidget(name, 1);
    return twoPanelForm(top, generalFrame(), items, QStringLiteral("General"),
                        QStringLiteral("Items Sold"), {showA, showB});
}

}  // namespace

QWidget* createShopEditor(World& world, QWidget* parent) {
    return new CatalogueEditor(world, kShop, shopForm(), parent);
}

}  // namespace gw
