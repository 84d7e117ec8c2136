// frmSpell: the Spell records of wccspel2.dat, on two panels, "General" and "Abilities".
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
#include "records/spell.h"
#include "records/value_lists.h"
#include "shell/form_layout.h"
#include "store/record_file.h"

namespace gw {

namespace {

// In the order the game fills the controls.
const Binding kSpellBindings[] = {
    {.control = "txtNumber", .field = "Number", .conversion = Conversion::Number, .showOnly = true},
    {"txtName", "Name", Conversion::TrimmedZeroEnded},
    {"txtDescA", "DescA", Conversion::TrimmedZeroEnded},
    {"txtDescB", "DescB", Conversion::TrimmedZeroEnded},
    {"txtCastMsgA", "CastMsgA", Conversion::Number},
    {"txtEnergy", "Energy", Conversion::Number},
    {"txtLevel", "Level", Conversion::Number},
    {"txtMin", "Min", Conversion::Number},
    {"txtMax", "Max", Conversion::Number},
    {"txtLevelCap", "LevelCap", Conversion::Number},
    {"txtCastMsgB", "CastMsgB", Conversion::Number},
    {"txtDifficulty", "Difficulty", Conversion::Number},
    {"txtMana", "Mana", Conversion::Number},
    {"txtLevelMod", "LevelMod", Conversion::Number},
    {"txtIncrease", "Increase", Conversion::Number},
    {"txtShortName", "ShortName", Conversion::TrimmedZeroEnded},
    {"txtLength", "Length", Conversion::Number},
    {"txtMageryB", "MageryB", Conversion::Number},
    listBinding("cmbTypeOfResists", "TypeOfResists", values::kTypeOfResists),
    listBinding("cmbSpellType", "SpellType", values::kSpellType),
    listBinding("cmbTarget", "Target", values::kTarget),
    listBinding("cmbResistAbility", "ResistAbility", values::kResistAbility),
    listBinding("cmbTypeOfAttack", "TypeOfAttack", values::kTypeOfAttack),
    listBinding("cmbMageryA", "MageryA", values::kMagery),
    listBinding("cmbMsgStyle", "MsgStyle", values::kMsgStyle),
    abilityCodeBinding(10),
    abilityAmountBinding(10),
    {"txtUNDEFINED01", "Undefined01", Conversion::Number},
    {"txtUNDEFINED03", "Undefined03", Conversion::Number},
    {"txtUNDEFINED04", "Undefined04", Conversion::Number},
    {"txtUNDEFINED05", "Undefined05", Conversion::Number},
    {"txtUNDEFINED06", "Undefined06", Conversion::Number},
};

// Older spells store the message style as 32 or 114 ("Yes") and 33 or 115 ("No"): shown,
// and written with the next save that has edits, as 0 and 1. A spell only viewed keeps its
// stored byte.
void mapMessageStyle(void* record) {
    std::uint8_t& style = static_cast<Spell*>(record)->MsgStyle;
    if (style == 32 || style == 114) style = 0;
    if (style == 33 || style == 115) style = 1;
}

const CatalogueDescription kSpell{
    .windowName = "frmSpell",
    .caption = "Spell Editor",
    .kind = RecordKind::Spell,
    .insertPrompt = "New Spell Number:",
    .insertName = "New Spell",
    .messages = {.loadFirst = "LoadSpelles, BGETFIRST, Error: ",
                 .loadNext = "LoadSpell, BGETNEXT, , Error: "},
    .bindings = kSpellBindings,
    .loadTiming = LoadTiming::AfterShow,
    .hooks = {.repair = mapMessageStyle},
};

QGroupBox* generalFrame() {
    auto* frame = new QGroupBox(QStringLiteral("General"));
    frame->setObjectName(QStringLiteral("frmGeneral"));

    auto* kinds = new QGridLayout;
    addWideRow(kinds, 0, QStringLiteral("Spell Type"), dropDown(QStringLiteral("cmbSpellType")), 1);
    addWideRow(kinds, 1, QStringLiteral("Target"), dropDown(QStringLiteral("cmbTarget")), 1);
    addPackedRow(kinds, 2, QStringLiteral("Magery"),
                 {dropDown(QStringLiteral("cmbMageryA")), numberBox("txtMageryB")});
    addWideRow(kinds, 3, QStringLiteral("Type of Attack"),
               dropDown(QStringLiteral("cmbTypeOfAttack")), 1);
    addWideRow(kinds, 4, QStringLiteral("Resit Ability"),
               dropDown(QStringLiteral("cmbResistAbility")), 1);
    addWideRow(kinds, 5, QStringLiteral("Type of Resists"),
               dropDown(QStringLiteral("cmbTypeOfResists")), 1);
    addWideRow(kinds, 6, QStringLiteral("Norm Msg Style"), dropDown(QStringLiteral("cmbMsgStyle")),
               1);
    addRow(kinds, 7, QStringLiteral("Cast Msg A"), {numberBox("txtCastMsgA")});
    addRow(kinds, 8, QStringLiteral("Cast Msg B"), {numberBox("txtCastMsgB")});
    kinds->setRowStretch(9, 1);

    auto* figures = new QGridLayout;
    addRow(figures, 0, QStringLiteral("Level"), {numberBox("txtLevel")});
    addRow(figures, 1, QStringLiteral("Energy"), {numberBox("txtEnergy")});
    addRow(figures, 2, QStringLiteral("Min/Max"), {numberBox("txtMin"), numberBox("txtMax")});
    addRow(figures, 3, QStringLiteral("Mana"), {numberBox("txtMana")});
    addRow(figures, 4, QStringLiteral("Difficulty"), {numberBox("txtDifficulty")});
    addRow(figures, 5, QStringLiteral("unknown"), {numberBox("txtUNDEFINED01")});
    addRow(figures, 6, QStringLiteral("Length"), {numberBox("txtLength")});
    addRow(figures, 7, QStringLiteral("unknown"),
           {numberBox("txtUNDEFINED03"), numberBox("txtUNDEFINED04")});
    addRow(figures, 8, QStringLiteral("Lvl Mod"), {numberBox("txtLevelMod")});
    addRow(figures, 9, QStringLiteral("Increase"), {numberBox("txtIncrease")});
    addRow(figures, 10, QStringLiteral("unknown"),
           {numberBox("txtUNDEFINED05"), numberBox("txtUNDEFINED06")});
    addRow(figures, 11, QStringLiteral("Lvl Cap"), {numberBox("txtLevelCap")});
    figures->setRowStretch(12, 1);

    auto* columns = new QHBoxLayout(frame);
    columns->addLayout(kinds, 3);
    columns->addSpacing(16);
    columns->addLayout(figures, 2);
    return frame;
}

QWidget* spellForm() {
    auto* number = textBox(QStringLiteral("txtNumber"), 4);
    number->setEnabled(false);  // a spell's number is chosen only when it is inserted
    number->setPlaceholderText(QStringLiteral("Number"));
    auto* name = textBox(QStringLiteral("txtName"), 29);
    name->setPlaceholderText(QStringLiteral("Name"));

    auto* shortName = textBox(QStringLiteral("txtShortName"), 4);
    shortName->setMaximumWidth(number->maximumWidth());
    auto* shortLabel = new QLabel(QStringLiteral("Short Name"));
    shortLabel->setBuddy(shortName);

    auto* identity = new QGridLayout;
    identity->addWidget(number, 0, 0);
    identity->addWidget(name, 0, 1);
    identity->addWidget(shortLabel, 0, 2);
    identity->addWidget(shortName, 0, 3);
    for (int i = 0; i < 2; ++i) {
        auto* line = textBox(QString::fromLatin1(i == 0 ? "txtDescA" : "txtDescB"), 50);
        line->setPlaceholderText(QStringLiteral("Description"));
        identity->addWidget(line, 1 + i, 0, 1, 4);
    }
    identity->setColumnStretch(1, 1);

    return twoPanelForm(identity, generalFrame(), deferredAbilitiesFrame(10),
                        QStringLiteral("General"), QStringLiteral("Abilities"));
}

}  // namespace

QWidget* createSpellEditor(World& world, QWidget* parent) {
    return new CatalogueEditor(world, kSpell, spellForm(), parent);
}

}  // namespace gw
