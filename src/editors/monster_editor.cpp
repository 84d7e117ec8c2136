// frmMonster: the Monster records of wccknms2.dat on four pages, the attacks on five more.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <iterator>

#include "editors/catalogue_editor.h"
#include "editors/catalogue_windows.h"
#include "records/monster.h"
#include "records/value_lists.h"
#include "shell/form_layout.h"
#include "shell/name_lookups.h"
#include "store/record_file.h"

namespace gw {

namespace {

constexpr int kSlots = 5;  // drop, spell, attack and ability slots alike

constexpr Binding text(const char* control, const char* field, Conversion conversion) {
    return {.control = control, .field = field, .conversion = conversion};
}

// The three message boxes of each attack have no lookup: the game leaves them empty.
const Binding kMonsterBindings[] = {
    numberBinding("txtNumber", "Number"),
    text("txtName", "Name", Conversion::ZeroEndedText),
    {.control = "txtExperience", .field = "Experience", .conversion = Conversion::UnsignedNumber},
    numberBinding("txtIndex", "Index"),
    numberBinding("txtWeaponNumber", "WeaponNumber", 1, "txtWeaponName", itemNameOf),
    numberBinding("txtAC1", "AC1"),
    numberBinding("txtAC2", "AC2"),
    numberBinding("txtFollow", "Follow"),
    numberBinding("txtMR", "MR"),
    numberBinding("txtHitPoints", "HitPoints"),
    numberBinding("txtEnergy", "Energy"),
    numberBinding("txtHpRegen", "HpRegen"),
    numberBinding("txtGameLimit", "GameLimit"),
    numberBinding("txtActive", "Active"),
    listBinding("txtType", "Type", values::kMonsterTypes),
    listBinding("txtAlignment", "Alignment", values::kAlignments),
    listBinding("txtGender", "Gender", values::kGenders),
    listBinding("cmbGroup", "Group", values::kMonsterGroups),
    numberBinding("txtRegenTime", "RegenTime"),
    numberBinding("txtMoveMsg", "MoveMsg", 1, "txtMoveMsgDisplay", messageLine1Of),
    numberBinding("txtDeathMsg", "DeathMsg", 1, "txtDeathMsgDisplay", messageLine3Of),
    numberBinding("txtRunic", "Runic"),
    numberBinding("txtPlatinum", "Platinum"),
    numberBinding("txtGold", "Gold"),
    numberBinding("txtSilver", "Silver"),
    numberBinding("txtCopper", "Copper"),
    text("txtDescLine1", "DescLine1", Conversion::BlankFilledText),
    text("txtDescLine2", "DescLine2", Conversion::BlankFilledText),
    text("txtDescLine3", "DescLine3", Conversion::BlankFilledText),
    text("txtDescLine4", "DescLine4", Conversion::BlankFilledText),
    numberBinding("txtGreetTxt", "GreetTxt"),
    numberBinding("txtCharmlvl", "Charmlvl"),
    numberBinding("txtDescTxt", "DescTxt"),
    numberBinding("txtTalkTxt", "TalkTxt"),
    numberBinding("txtDeathSpellNumber", "DeathSpellNumber", 1, "txtDeathSpellName", spellNameOf),
    numberBinding("txtCreateSpellNumber", "CreateSpellNumber", 1, "txtCreateSpellName",
                  spellNameOf),
    // Any value but 1 shows a clear box, so a stored 7 is saved as 0.
    {.control = "chkUndead", .field = "Undead", .conversion = Conversion::Flag},
    numberBinding("txtItemNumber", "ItemNumber", kSlots, "txtItemName", itemNameOf),
    abilityCodeBinding(kSlots),
    abilityAmountBinding(kSlots),
    numberBinding("txtItemUses", "ItemUses", kSlots),
    numberBinding("txtItemDropPer", "ItemDropPer", kSlots),
    numberBinding("txtAttackAccuSpell", "AttackAccuSpell", kSlots),  // named by nameAttackSpells
    numberBinding("txtAttackPer", "AttackPer", kSlots),
    numberBinding("txtAttackMinHCastPer", "AttackMinHCastPer", kSlots),
    numberBinding("txtAttackMaxHCastLvL", "AttackMaxHCastLvL", kSlots),
    numberBinding("txtAttackHitMsg", "AttackHitMsg", kSlots),
    numberBinding("txtAttackDodgeMsg", "AttackDodgeMsg", kSlots),
    numberBinding("txtAttackMissMsg", "AttackMissMsg", kSlots),
    numberBinding("txtAttackEnergy", "AttackEnergy", kSlots),
    numberBinding("txtAttackHitSpell", "AttackHitSpell", kSlots, "txtAttackHitSpellName",
                  spellNameOf),
    numberBinding("txtSpellNumber", "SpellNumber", kSlots, "txtSpellName", spellNameOf),
    numberBinding("txtSpellCastPer", "SpellCastPer", kSlots),
    numberBinding("txtSpellCastLvL", "SpellCastLvL", kSlots),
    // The game knows attack types 0 to 3 only: any other shows "None" and is saved as 0.
    listBinding("cmbAttackType", "AttackType", values::kAttackTypes, kSlots, 0),
};

constexpr int kSpellAttack = 2;  // "Spell" in the attack type list

// The Accu/Spell figure is a spell number only for a spell attack; for any other it is an
// accuracy, and naming the spell of that number would mislead and report a missing spell.
void nameAttackSpells(CatalogueEditor& editor) {
    const auto* shown = static_cast<const Monster*>(editor.form().shownRecord());
    if (!shown) return;
    const Monster& m = *shown;
    for (int i = 0; i < kSlots; ++i) {
        auto* box = editor.findChild<QLineEdit*>(controlName("txtAttackAccuSpellName", i));
        if (!box) continue;  // its page is not made yet
        showName(box, m.AttackType[i] == kSpellAttack
                          ? spellNameOf(editor.world(), m.AttackAccuSpell[i])
                          : QString());
    }
}

CatalogueHooks monsterHooks() {
    CatalogueHooks hooks;
    hooks.afterShow = nameAttackSpells;
    hooks.prepareInsert = [](CatalogueEditor& editor) { editor.file().as<Monster>().Active = 0; };
    return hooks;
}

const CatalogueDescription kMonster{
    .windowName = "frmMonster",
    .caption = "Monster Editor",
    .kind = RecordKind::Monster,
    .insertPrompt = "New Monster Number:",
    .insertName = "New Monster",
    .messages = {.loadFirst = "LoadMonsters(), BGETFIRST, Error: ",
                 .loadNext = "LoadMonsters(), BGETNEXT, Error: "},
    .bindings = kMonsterBindings,
    .loadTiming = LoadTiming::BeforeShow,
    .deleteStyle = DeleteStyle::DiscardAndDrop,
    .saveOnClose = true,
    // A box that cannot be converted keeps its stored value without a word, as the game does.
    .reportRefusals = false,
    .hooks = monsterHooks(),
};

// Typing limits by the field's widest value: bytes, 16-bit, 32-bit numbers.
constexpr int kByte = 3, kShort = 6, kLong = 11;

QLineEdit* figure(const QString& name, int chars) {
    QLineEdit* box = numberBox(name);
    limitTyping(box, chars);
    if (chars > kShort)
        box->setMaximumWidth(
            box->fontMetrics().horizontalAdvance(QString(chars + 1, QLatin1Char('0'))) + 24);
    return box;
}
QLineEdit* figure(const char* name, int chars) { return figure(QString::fromLatin1(name), chars); }
QLineEdit* figure(const char* base, int index, int chars) {
    return figure(controlName(base, index), chars);
}

// Shows a lookup; never read back, so it takes no keyboard focus on the way through the form.
QLineEdit* display(const QString& name, int minimumChars) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setMinimumWidth(box->fontMetrics().averageCharWidth() * minimumChars);
    return box;
}
QLineEdit* display(const char* name, int minimumChars) {
    return display(QString::fromLatin1(name), minimumChars);
}

// One labelled row of a form: the caption's buddy is the first widget.
void row(QFormLayout* form, const QString& caption, std::initializer_list<QWidget*> widgets) {
    auto* label = new QLabel(caption);
    label->setBuddy(*widgets.begin());
    auto* line = new QHBoxLayout;
    for (QWidget* w : widgets) line->addWidget(w);
    // A name or text box at the end takes the row's room; compact boxes keep to the left.
    QWidget* last = *std::prev(widgets.end());
    if (!qobject_cast<QLineEdit*>(last) || last->maximumWidth() < QWIDGETSIZE_MAX)
        line->addStretch(1);
    form->addRow(label, line);
}
void row(QFormLayout* form, const char* caption, std::initializer_list<QWidget*> widgets) {
    row(form, QString::fromLatin1(caption), widgets);
}

// A frame of five slot rows under column headings.
QGroupBox* slotTable(const char* caption, const char* name,
                     std::initializer_list<const char*> headings,
                     QWidget* (*slot)(int column, int index)) {
    auto* frame = new QGroupBox(QString::fromLatin1(caption));
    if (name) frame->setObjectName(QString::fromLatin1(name));
    auto* grid = new QGridLayout(frame);
    int column = 0;
    for (const char* heading : headings)
        grid->addWidget(new QLabel(QString::fromLatin1(heading)), 0, column++);
    for (int i = 0; i < kSlots; ++i)
        for (int c = 0; c < column; ++c) grid->addWidget(slot(c, i), i + 1, c);
    grid->setColumnStretch(1, 1);
    return frame;
}

QWidget* generalPage() {
    auto* left = new QFormLayout;
    row(left, "Number", {figure("txtNumber", kLong)});
    row(left, "Name", {textBox(QStringLiteral("txtName"), 28)});
    row(left, "Group", {dropDown(QStringLiteral("cmbGroup"), values::kMonsterGroups)});
    row(left, "Index", {figure("txtIndex", kShort)});
    row(left, "Experience", {figure("txtExperience", 5)});
    row(left, "Hitpoints", {figure("txtHitPoints", kShort)});
    row(left, "Hp Regen", {figure("txtHpRegen", kShort)});
    row(left, "M.R.", {figure("txtMR", kShort)});
    row(left, "Charm Lvl", {figure("txtCharmlvl", kShort)});
    row(left, "AC", {figure("txtAC1", kShort), figure("txtAC2", kShort)});

    auto* right = new QFormLayout;
    row(right, "Follow %", {figure("txtFollow", kShort)});
    row(right, "Regen Time", {figure("txtRegenTime", kShort)});
    row(right, "Type", {dropDown(QStringLiteral("txtType"), values::kMonsterTypes)});
    row(right, "Energy", {figure("txtEnergy", kShort)});
    row(right, "Alignment", {dropDown(QStringLiteral("txtAlignment"), values::kAlignments)});
    auto* undead = new QCheckBox(QStringLiteral("Undead"));
    undead->setObjectName(QStringLiteral("chkUndead"));
    right->addRow(QString(), undead);
    row(right, "Game Limit", {figure("txtGameLimit", kShort)});
    row(right, "Gender", {dropDown(QStringLiteral("txtGender"), values::kGenders)});
    row(right, "Active", {figure("txtActive", kShort)});

    auto* description = new QGroupBox(QStringLiteral("Description"));
    description->setObjectName(QStringLiteral("Frame2"));
    auto* lines = new QVBoxLayout(description);
    for (int i = 1; i <= 4; ++i)
        lines->addWidget(textBox(QStringLiteral("txtDescLine") + QString::number(i), 69));

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addSpacing(24);
    columns->addLayout(right);
    columns->addStretch(1);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(columns);
    layout->addWidget(description);
    layout->addStretch(1);
    return page;
}

void dropPage(QWidget* page) {
    QGroupBox* items =
        slotTable("Items Dropped", "Frame1", {"#", "Name", "%", "Uses"}, [](int c, int i) {
            if (c == 1) return static_cast<QWidget*>(display(controlName("txtItemName", i), 24));
            const char* base[] = {"txtItemNumber", nullptr, "txtItemDropPer", "txtItemUses"};
            return static_cast<QWidget*>(figure(base[c], i,
                                                c == 0   ? kLong
                                                : c == 2 ? kByte
                                                         : kShort));
        });
    auto* money = new QFormLayout;
    for (const char* coin : {"Copper", "Silver", "Gold", "Platinum", "Runic"})
        row(money, coin, {figure(QStringLiteral("txt") + QString::fromLatin1(coin), kLong)});
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(items);
    layout->addLayout(money);
    layout->addStretch(1);
}

// Tab "1" to "5" of SSTab2: attack i. Labels stay the same whatever the attack's type.
QWidget* attackPage(int i) {
    auto* form = new QFormLayout;
    row(form, "Type", {dropDown(controlName("cmbAttackType", i), values::kAttackTypes)});
    row(form, "Accu/Spell",
        {figure("txtAttackAccuSpell", i, kShort),
         display(controlName("txtAttackAccuSpellName", i), 24)});
    row(form, "MinH/Cast%", {figure("txtAttackMinHCastPer", i, kShort)});
    row(form, "MaxH/CastLvL", {figure("txtAttackMaxHCastLvL", i, kShort)});
    row(form, "Attack%", {figure("txtAttackPer", i, kByte)});
    row(form, "Energy", {figure("txtAttackEnergy", i, kShort)});
    for (const char* kind : {"Hit", "Miss", "Dodge"}) {
        const QString base =
            QStringLiteral("txtAttack") + QString::fromLatin1(kind) + QStringLiteral("Msg");
        row(form, QString::fromLatin1(kind) + QStringLiteral(" Msg"),
            {figure(base + QLatin1Char('_') + QString::number(i), kLong),
             display(base + QStringLiteral("Display_") + QString::number(i), 24)});
    }
    row(form, "Hit Spell",
        {figure("txtAttackHitSpell", i, kShort),
         display(controlName("txtAttackHitSpellName", i), 24)});
    auto* page = new QWidget;
    page->setLayout(form);
    return page;
}

void spellsPage(QWidget* page) {
    auto* form = new QFormLayout;
    row(form, "Weapon", {figure("txtWeaponNumber", kLong), display("txtWeaponName", 24)});
    row(form, "Create Spell",
        {figure("txtCreateSpellNumber", kShort), display("txtCreateSpellName", 24)});
    row(form, "Death Spell",
        {figure("txtDeathSpellNumber", kShort), display("txtDeathSpellName", 24)});
    QGroupBox* spells = slotTable("Spells", nullptr, {"#", "Name", "%", "LvL"}, [](int c, int i) {
        if (c == 1) return static_cast<QWidget*>(display(controlName("txtSpellName", i), 24));
        const char* base[] = {"txtSpellNumber", nullptr, "txtSpellCastPer", "txtSpellCastLvL"};
        return static_cast<QWidget*>(figure(base[c], i, c == 0 ? kShort : kByte));
    });
    auto* attacks = new QTabWidget;
    attacks->setObjectName(QStringLiteral("SSTab2"));
    for (int i = 0; i < kSlots; ++i) attacks->addTab(attackPage(i), QString::number(i + 1));

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(spells);
    layout->addWidget(attacks);
    layout->addStretch(1);
    // The weapon's name box reads "none" until a monster is shown, as the game's does.
    page->findChild<QLineEdit*>(QStringLiteral("txtWeaponName"))->setText(QStringLiteral("none"));
}

void messagesPage(QWidget* page) {
    auto* form = new QFormLayout;
    row(form, "Move Msg", {figure("txtMoveMsg", kLong), display("txtMoveMsgDisplay", 50)});
    row(form, "Death Msg", {figure("txtDeathMsg", kLong), display("txtDeathMsgDisplay", 50)});
    row(form, "Greet Txt", {figure("txtGreetTxt", kLong)});
    row(form, "Desc Txt", {figure("txtDescTxt", kLong)});
    row(form, "Talk Txt", {figure("txtTalkTxt", kLong)});
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(abilitiesFrame(kSlots));
    layout->addStretch(1);
}

QWidget* monsterForm() {
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("SSTab1"));
    tabs->addTab(generalPage(), QStringLiteral("General"));
    // The pages behind the first are made when first turned to: most of the window's
    // controls, and their lookups, cost nothing until then.
    tabs->addTab(new DeferredPage(dropPage), QStringLiteral("Drop"));
    tabs->addTab(new DeferredPage(spellsPage), QStringLiteral("Spells/Attacks"));
    tabs->addTab(new DeferredPage(messagesPage), QStringLiteral("Msg/Abilities"));
    return tabs;
}

}  // namespace

QWidget* createMonsterEditor(World& world, QWidget* parent) {
    return new CatalogueEditor(world, kMonster, monsterForm(), parent);
}

}  // namespace gw
