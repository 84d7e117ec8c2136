// frmItem: the Item records of wccitem2.dat on four tabbed pages.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editors/catalogue_editor.h"
#include "editors/catalogue_windows.h"
#include "records/item.h"
#include "records/value_lists.h"
#include "shell/form_layout.h"
#include "shell/name_lookups.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace gw {

namespace {

constexpr int kSlots = 10;         // race, class and ability drop-downs
constexpr int kNegates = 5;        // negate spells
constexpr int kWideNumber = 11;    // typing limit of a 32-bit number: "-2147483648"
constexpr int kStoredAmounts = 9;  // the row has no amount for the tenth ability slot

// Race and class drop-downs get their entries from the name tables when the list is built.
Binding nameTableIndex(const char* control, const char* field) {
    return {
        .control = control, .field = field, .conversion = Conversion::ListIndex, .count = kSlots};
}

const Binding kItemBindings[] = {
    {"txtNumber", "Number", Conversion::Number},
    {"txtName", "Name", Conversion::ZeroEndedText},
    {"txtDesc1", "Desc1", Conversion::ZeroEndedText},
    {"txtDesc2", "Desc2", Conversion::ZeroEndedText},
    {"txtDesc3", "Desc3", Conversion::ZeroEndedText},
    {"txtDesc4", "Desc4", Conversion::ZeroEndedText},
    {"txtDesc5", "Desc5", Conversion::ZeroEndedText},
    {"txtDesc6", "Desc6", Conversion::ZeroEndedText},
    {"txtDesc7", "Desc7", Conversion::ZeroEndedText},
    {"txtDesc8", "Desc8", Conversion::ZeroEndedText},
    {"txtDesc9", "Desc9", Conversion::ZeroEndedText},
    {"txtLimit", "Limit", Conversion::Number},
    {"txtWeight", "Weight", Conversion::Number},
    listBinding("txtType", "Type", values::kItemTypes),
    {"txtUses", "Uses", Conversion::Number},
    {"txtCost", "Cost", Conversion::Number},
    // A code outside the currency list is shown as its number and stored back as it was,
    // never as the currency of the item shown before.
    listBinding("txtCostType", "CostType", values::kCurrencies),
    {"chkDestroy", "DestroyOnDeath", Conversion::CheckState},
    nameTableIndex("cmbClass", "Class"),
    nameTableIndex("cmbRace", "Race"),
    abilityCodeBinding(kSlots),
    abilityAmountBinding(kStoredAmounts),
    {"txtMinHit", "MinHit", Conversion::Number},
    {"txtMaxHit", "MaxHit", Conversion::Number},
    {"txtAC", "AC", Conversion::Number},
    numberBinding("txtNegate", "Negate", kNegates, "txtNegateName", spellNameOf),
    listBinding("txtWeapon", "Weapon", values::kItemWeapons),
    listBinding("txtArmour", "Armour", values::kArmour),
    listBinding("txtWornOn", "WornOn", values::kWornPlaces),
    {"txtAccuracy", "Accuracy", Conversion::Number},
    {"txtDR", "DR", Conversion::Number},
    {"chkGettable", "Gettable", Conversion::CheckState},
    {"txtReqSTR", "ReqSTR", Conversion::Number},
    {"txtSpeed", "Speed", Conversion::Number},
    {"txtMissMsg", "MissMsg", Conversion::Number},
    {"txtHitMsg", "HitMsg", Conversion::Number},
    {"txtDistructMsg", "DistructMsg", Conversion::Number},
    {"txtReadMsg", "ReadMsg", Conversion::Number},
    {"chkNotDroppable", "NotDroppable", Conversion::CheckState},
};

void fillRacesAndClasses(CatalogueEditor& editor) {
    fillNameTableList(editor.findChild<QAbstractItemModel*>(QStringLiteral("raceNames")),
                      editor.world().raceNames());
    fillNameTableList(editor.findChild<QAbstractItemModel*>(QStringLiteral("classNames")),
                      editor.world().classNames());
}

void reportUnknownCurrency(CatalogueEditor& editor) {
    const Item& item = editor.file().as<Item>();
    // Once per visit: the same item shown again (after its save) with the same code says
    // nothing more. The form still holds the item shown before this one.
    const auto* before = static_cast<const Item*>(editor.form().shownRecord());
    if (before && before->Number == item.Number && before->CostType == item.CostType) return;
    // The currency message names the stored code in capital hexadecimal, as the game's
    // operators know it: 255 reads FF.
    if (item.CostType >= values::kCurrencies.size())
        editor.world().dialogs().message(QString::number(item.CostType, 16).toUpper());
}

const CatalogueDescription kItem{
    .windowName = "frmItem",
    .caption = "Item Editor",
    .kind = RecordKind::Item,
    .insertPrompt = "New Item Number:",
    .insertName = "New Item",
    .messages = {.loadFirst = "LoadItem, BGETFIRST, Item, Error: ",
                 .loadNext = "LoadItem, BGETNEXT, Item, Error: ",
                 .update = "SaveRecord, BUPDATE: "},
    .bindings = kItemBindings,
    .loadTiming = LoadTiming::BeforeShow,
    .saveOnClose = true,
    .hooks = {.beforeLoad = fillRacesAndClasses,
              .beforeShow = reportUnknownCurrency,
              .afterShow = {},
              .afterCollect = {},
              .prepareInsert = {}},
};

// A box for a 32-bit number: room for "-2147483648" and not much more.
QLineEdit* wideNumberBox(const char* name) {
    QLineEdit* box = textBox(QString::fromLatin1(name), kWideNumber);
    box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-00000000000")) + 24);
    return box;
}

QComboBox* listDropDown(const char* name, std::span<const std::string_view> entries) {
    return dropDown(QString::fromLatin1(name), sharedListModel(entries));
}

QCheckBox* checkBox(const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromLatin1(caption));
    box->setObjectName(QString::fromLatin1(name));
    box->setTristate(true);
    return box;
}

QWidget* generalPage(QWidget* page) {
    auto* left = new QGridLayout;
    addRow(left, 0, QStringLiteral("Number"), {wideNumberBox("txtNumber")});
    addWideRow(left, 1, QStringLiteral("Name"), textBox(QStringLiteral("txtName"), 29), 2);
    addWideRow(left, 2, QStringLiteral("Type"), listDropDown("txtType", values::kItemTypes), 2);
    addWideRow(left, 3, QStringLiteral("Worn"), listDropDown("txtWornOn", values::kWornPlaces), 2);
    addWideRow(left, 4, QStringLiteral("Armour"), listDropDown("txtArmour", values::kArmour), 2);
    addWideRow(left, 5, QStringLiteral("Weapon"), listDropDown("txtWeapon", values::kItemWeapons),
               2);
    addPackedRow(left, 6, QStringLiteral("Cost"),
                 {numberBox("txtCost"), listDropDown("txtCostType", values::kCurrencies)});
    addRow(left, 7, QStringLiteral("Limit"), {numberBox("txtLimit")});
    addRow(left, 8, QStringLiteral("Weight"), {numberBox("txtWeight")});
    addRow(left, 9, QStringLiteral("Uses"), {numberBox("txtUses")});
    left->setColumnStretch(2, 1);

    auto* right = new QGridLayout;
    addRow(right, 0, QStringLiteral("Min Hit"), {numberBox("txtMinHit")});
    addRow(right, 1, QStringLiteral("Max Hit"), {numberBox("txtMaxHit")});
    addRow(right, 2, QStringLiteral("Speed"), {numberBox("txtSpeed")});
    addRow(right, 3, QStringLiteral("Accuracy"), {numberBox("txtAccuracy")});
    addRow(right, 4, QStringLiteral("Req STR"), {numberBox("txtReqSTR")});
    addPackedRow(right, 5, QStringLiteral("AC/DR"), {numberBox("txtAC"), numberBox("txtDR")});
    right->addWidget(checkBox("chkDestroy", "DestroyOnDeath"), 6, 0, 1, 2);
    right->addWidget(checkBox("chkGettable", "Gettable"), 7, 0, 1, 2);
    right->addWidget(checkBox("chkNotDroppable", "NotDroppable"), 8, 0, 1, 2);
    right->setRowStretch(9, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addSpacing(16);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(columns);
    layout->addStretch(1);
    return page;
}

QWidget* descNegatePage() {
    auto* description = new QGroupBox(QStringLiteral("Description"));
    description->setObjectName(QStringLiteral("Frame2"));
    auto* lines = new QVBoxLayout(description);
    for (int line = 1; line <= 9; ++line)
        lines->addWidget(textBox(QStringLiteral("txtDesc") + QString::number(line), 60));

    auto* negates = new QGroupBox(QStringLiteral("Negate Spells"));
    negates->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(negates);
    for (int k = 0; k < kNegates; ++k) {
        auto* name = new QLineEdit;
        name->setObjectName(controlName("txtNegateName", k));
        name->setReadOnly(true);
        name->setFocusPolicy(Qt::ClickFocus);
        grid->addWidget(numberBox(controlName("txtNegate", k)), k, 0);
        grid->addWidget(name, k, 1);
    }
    grid->setColumnStretch(1, 1);

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabDescNegate"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(description);
    layout->addWidget(negates);
    layout->addStretch(1);
    return page;
}

QGroupBox* dropDownColumn(const char* frame, const char* caption, const char* base,
                          QAbstractItemModel* names) {
    auto* box = new QGroupBox(QString::fromLatin1(caption));
    box->setObjectName(QString::fromLatin1(frame));
    auto* column = new QVBoxLayout(box);
    for (int i = 0; i < kSlots; ++i) column->addWidget(dropDown(controlName(base, i), names));
    column->addStretch(1);
    return box;
}

void raceClassMsgPage(QWidget* page, QAbstractItemModel* races, QAbstractItemModel* classes) {
    auto* messages = new QGroupBox(QStringLiteral("Messages"));
    messages->setObjectName(QStringLiteral("Frame5"));
    auto* grid = new QGridLayout(messages);
    addRow(grid, 0, QStringLiteral("Hit"), {wideNumberBox("txtHitMsg")});
    addRow(grid, 1, QStringLiteral("Miss"), {wideNumberBox("txtMissMsg")});
    addRow(grid, 2, QStringLiteral("Read"), {wideNumberBox("txtReadMsg")});
    addRow(grid, 3, QStringLiteral("Distruct"), {wideNumberBox("txtDistructMsg")});
    grid->setRowStretch(4, 1);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(dropDownColumn("Frame3", "Races", "cmbRace", races), 1);
    layout->addWidget(dropDownColumn("Frame4", "Classes", "cmbClass", classes), 1);
    layout->addWidget(messages);
}

void abilitiesPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(abilitiesFrame(kSlots));
    // The tenth slot has a code but no stored amount: its box offers nothing to type.
    auto* unstored = page->findChild<QLineEdit*>(controlName("txtAbilityB", kSlots - 1));
    unstored->clear();
    unstored->setEnabled(false);
    unstored->setToolTip(QStringLiteral("Items store no amount for the tenth ability."));
}

// The pages with many drop-downs are made when first shown: the window opens faster.
QWidget* itemForm() {
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("SSTab1"));
    QAbstractItemModel* races = nameTableList(QStringLiteral("raceNames"), tabs);
    QAbstractItemModel* classes = nameTableList(QStringLiteral("classNames"), tabs);
    auto* general = new QWidget;
    general->setObjectName(QStringLiteral("tabGeneral"));
    generalPage(general);
    tabs->addTab(general, QStringLiteral("General"));
    tabs->addTab(descNegatePage(), QStringLiteral("Desc/Negate"));
    auto* raceClassMsg = new DeferredPage(
        [races, classes](QWidget* page) { raceClassMsgPage(page, races, classes); });
    raceClassMsg->setObjectName(QStringLiteral("tabRaceClassMsg"));
    tabs->addTab(raceClassMsg, QStringLiteral("Race/Class/Msg"));
    auto* abilities = new DeferredPage(abilitiesPage);
    abilities->setObjectName(QStringLiteral("tabAbilities"));
    tabs->addTab(abilities, QStringLiteral("Abilities"));
    return tabs;
}

}  // namespace

QWidget* createItemEditor(World& world, QWidget* parent) {
    return new CatalogueEditor(world, kItem, itemForm(), parent);
}

}  // namespace gw
