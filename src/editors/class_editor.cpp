// frmClass: the Class records of wccclas2.dat.
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editors/catalogue_editor.h"
#include "editors/catalogue_windows.h"
#include "records/value_lists.h"
#include "shell/form_layout.h"

namespace gw {

namespace {

// The game shows some figures other than as stored: MaxHP as the total above MinHP, Exp as a
// percentage around 100, Combat two lower. The title text is shown and never read back.
const Binding kClassBindings[] = {
    {"txtNumber", "Number", Conversion::Number},
    {"txtName", "Name", Conversion::ZeroEndedText},
    {"txtMinHP", "MinHP", Conversion::Number},
    {.control = "txtMaxHP",
     .field = "MaxHP",
     .conversion = Conversion::Number,
     .relativeTo = "txtMinHP"},
    {.control = "txtExp", .field = "Exp", .conversion = Conversion::Number, .offset = 100},
    {"txtMagicLvL", "MagicLvL", Conversion::Number},
    {.control = "txtCombat", .field = "Combat", .conversion = Conversion::Number, .offset = -2},
    {.control = "txtTitleText",
     .field = "TitleText",
     .conversion = Conversion::Number,
     .showOnly = true},
    {.control = "txtMagicType",
     .field = "MagicType",
     .conversion = Conversion::ListIndex,
     .items = values::kMagery},
    {.control = "txtWeapon",
     .field = "Weapon",
     .conversion = Conversion::ListIndex,
     .items = values::kClassWeapons},
    {.control = "txtArmour",
     .field = "Armour",
     .conversion = Conversion::ListIndex,
     .items = values::kArmour},
    abilityCodeBinding(10),
    abilityAmountBinding(10),
};

const CatalogueDescription kClass{
    .windowName = "frmClass",
    .caption = "Classes Editor",
    .kind = RecordKind::Class,
    .insertPrompt = "New Class Number:",
    .insertName = "New Class",
    .messages = {.loadFirst = "LoadClasses, BGETFIRST, Error: ",
                 .loadNext = "LoadClass, BGETNEXT, , Error: "},
    .bindings = kClassBindings,
    .loadTiming = LoadTiming::BeforeShow,
};

QWidget* classForm() {
    QWidget* general = nullptr;
    QTabWidget* tabs = generalAndAbilitiesTabs(10, general);

    auto* grid = new QGridLayout;
    addRow(grid, 0, QStringLiteral("Number"), {numberBox("txtNumber")});
    addWideRow(grid, 1, QStringLiteral("Name"), textBox(QStringLiteral("txtName"), 28), 1);
    addPackedRow(grid, 2, QStringLiteral("HP"), {numberBox("txtMinHP"), numberBox("txtMaxHP")});
    addRow(grid, 3, QStringLiteral("Exp %"), {numberBox("txtExp")});
    addPackedRow(grid, 4, QStringLiteral("Magery"),
                 {dropDown(QStringLiteral("txtMagicType")), numberBox("txtMagicLvL")});
    addRow(grid, 5, QStringLiteral("Combat"), {numberBox("txtCombat")});
    addWideRow(grid, 6, QStringLiteral("Weapons"), dropDown(QStringLiteral("txtWeapon")), 1);
    addWideRow(grid, 7, QStringLiteral("Armour"), dropDown(QStringLiteral("txtArmour")), 1);
    addRow(grid, 8, QStringLiteral("Title Text"), {numberBox("txtTitleText")});
    grid->setColumnStretch(2, 1);

    auto* page = new QVBoxLayout(general);
    page->addLayout(grid);
    page->addStretch(1);
    return tabs;
}

}  // namespace

QWidget* createClassEditor(World& world, QWidget* parent) {
    return new CatalogueEditor(world, kClass, classForm(), parent);
}

}  // namespace gw
