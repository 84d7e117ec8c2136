// frmItem: the four pages over wccitem2.dat, the race, class and spell names, values the lists
// cannot show (the currency code reported), the tenth ability slot without a stored amount, and
// the drop-downs filled once per list.
#include "records/item.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "records/spell.h"
#include "shell/name_lookups.h"

namespace gw::test {
namespace {

constexpr auto kItem = RecordKind::Item;
constexpr std::uint8_t kTail = 0xA5;  // the bytes of the 1032 that no field maps

// An item whose every byte differs from its neighbours', the unshown fields included, with
// listed codes and spells that exist.
Item makeItem(std::int32_t number, const char* name) {
    Item r;
    auto* bytes = reinterpret_cast<std::uint8_t*>(&r);
    for (std::size_t i = 0; i < sizeof r; ++i) bytes[i] = std::uint8_t(i * 7 + number);
    r = renamed(r, name);
    r.Number = number;
    for (auto* line :
         {&r.Desc1, &r.Desc2, &r.Desc3, &r.Desc4, &r.Desc5, &r.Desc6, &r.Desc7, &r.Desc8})
        setField(*line, std::string("A plain line") + '\0');
    setField(r.Desc9, std::string(60, 'z'));  // no zero byte: written back unchanged
    r.Type = 9, r.CostType = 3, r.Weapon = 3, r.Armour = 9, r.WornOn = 15;
    r.DestroyOnDeath = 1, r.Gettable = 0, r.NotDroppable = 2;
    r.HitMsg = 100000 + number % 100, r.DistructMsg = 70000;
    for (int i = 0; i < 10; ++i) {
        r.Class[i] = static_cast<std::int16_t>(i % 3), r.Race[i] = static_cast<std::int16_t>(i % 2);
        r.AbilityA[i] = static_cast<std::int16_t>(i * 18);
    }
    for (int k = 0; k < 5; ++k) r.NegatePair[k].Negate = static_cast<std::int16_t>(k);
    return r;
}

class ItemEditorTest : public GuiTest {
protected:
    // Two races and two classes in the name tables, spells 1 to 4.
    // Every page shown once (the busier ones are made when first shown), unless `pages` is
    // false.
    void openWith(const std::vector<Item>& items, bool pages = true) {
        create({RecordKind::Race, RecordKind::Class, RecordKind::Spell, kItem});
        add(RecordKind::Race, makeRace(1, "Elf"));
        add(RecordKind::Race, makeRace(3, "Human"));
        add(RecordKind::Class, makeClass(1, "Fighter"));
        add(RecordKind::Class, makeClass(2, "Mage"));
        std::int16_t number = 0;
        for (const char* name : {"Light", "Sleep", "Fear", "Blind"}) {
            put(RecordKind::Spell, [&](RecordFile& f) {
                f.as<Spell>().Number = ++number;
                setField(f.as<Spell>().Name, std::string(name) + '\0');
            });
        }
        LoadRaceArray(world);
        LoadClassArray(world);
        for (const Item& r : items) add(kItem, r, kTail);
        // Opened by hand when the pages are to be made later, by turning to them.
        window.reset(createItemEditor(world, nullptr));
        window->show();
        if (pages) showPages();
    }
    void showPages() {
        auto* tabs = child<QTabWidget>("SSTab1");
        for (int page = tabs->count() - 1; page >= 0; --page) tabs->setCurrentIndex(page);
    }
    // The whole 1032 bytes: the mapped ones of `fields`, then the tail as inserted.
    void expectStored(std::int32_t number, const Item& fields) {
        const Row row = stored(kItem, number);
        ASSERT_EQ(row.size(), 1032u) << number;
        EXPECT_EQ(Row(row.begin(), row.begin() + 905), rowOf(kItem, fields)) << number;
        EXPECT_EQ(Row(row.begin() + 905, row.end()), Row(127, kTail)) << number;
    }
};

TEST_F(ItemEditorTest, ShowsEveryPageAndFillsTheDropDownsOncePerList) {
    const Item rope = makeItem(7, "Rope");
    openWith({makeItem(70000, "Lamp"), rope}, false);
    EXPECT_EQ(list(), "7   Rope\n70000   Lamp");
    EXPECT_EQ(texts({"txtNumber", "txtName", "txtDesc1", "txtType", "txtCostType", "txtWeapon",
                     "txtArmour", "txtWornOn"}),
              "7 Rope A plain line Scroll Platinum 2H Sharp Platemail Ears");
    EXPECT_EQ(text("txtDesc9"), std::string(60, 'z'));
    SCOPED_TRACE("a page made later shows the item on screen, not the one the file moved to");
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("cmbRace_1")), nullptr);
    ASSERT_FALSE(stored(kItem, 70000).empty());
    showPages();
    EXPECT_EQ(texts({"txtHitMsg", "txtDistructMsg"}), "100007 70000");
    EXPECT_EQ(texts({"cmbRace_0", "cmbRace_1", "cmbClass_1", "cmbClass_2", "txtAbilityA_1"}),
              "None Elf Fighter Mage Heal");
    EXPECT_EQ(texts({"txtNegate_0", "txtNegateName_0", "txtNegateName_1", "txtNegateName_4"}),
              "0 none Light Blind");
    EXPECT_EQ(child<QCheckBox>("chkDestroy")->checkState(), Qt::Checked);
    EXPECT_EQ(child<QCheckBox>("chkGettable")->checkState(), Qt::Unchecked);
    EXPECT_EQ(child<QCheckBox>("chkNotDroppable")->checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(child<QLineEdit>("txtAbilityB_9")->isEnabled());  // no stored amount
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("an insert takes a 32-bit number; the list built again fills the drop-downs");
    dialogs.answerPrompts({"500000"});
    click("cmdInsert");
    Item copy = renamed(rope, "New Item");
    copy.Number = 500000;
    expectStored(500000, copy);
    // Index = race number: entry 2 is the gap between Elf and Human.
    EXPECT_EQ(child<QComboBox>("cmbRace_0")->count(), 4);
    EXPECT_EQ(child<QComboBox>("cmbClass_9")->count(), 3);
}

TEST_F(ItemEditorTest, ValuesTheListsCannotShowAreReportedOrShownAndKept) {
    Item odd = makeItem(2, "Odd"), worse = makeItem(3, "Worse");
    odd.CostType = 5, odd.Race[0] = 40, odd.Class[1] = -1, odd.AbilityA[2] = 300, odd.Type = 11;
    odd.DestroyOnDeath = 7, odd.Gettable = -3;
    worse.CostType = 255;
    openWith({makeItem(1, "Ring"), odd, worse});
    select(1);
    EXPECT_EQ(said(), "5");  // the first code past the list; the rest is shown all the same
    EXPECT_EQ(
        texts({"txtName", "txtCostType", "cmbRace_0", "cmbClass_1", "txtAbilityA_2", "txtType"}),
        "Odd 5 40 -1 300 11");
    EXPECT_EQ(child<QCheckBox>("chkDestroy")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(child<QCheckBox>("chkGettable")->checkState(), Qt::PartiallyChecked);
    select(2);
    EXPECT_EQ(said(), "5\nFF");  // once per visit, not again when shown after its save

    SCOPED_TRACE("a picked entry replaces the odd value; a typed-over name is refused");
    select(1);
    dialogs.clear();
    child<QComboBox>("txtCostType")->setCurrentIndex(4);
    child<QCheckBox>("chkDestroy")->setCheckState(Qt::Checked);
    type("cmbRace_0", "human");  // an entry typed, letter case aside
    type("cmbClass_1", "Nobody");
    type("txtWeight", "12.5");
    select(0);
    Item picked = odd;
    picked.CostType = 4, picked.DestroyOnDeath = 1, picked.Race[0] = 3, picked.Weight = 12;
    expectStored(2, picked);
    EXPECT_EQ(said(),
              "Classes (row 2): \"Nobody\" is not an entry of the list; the stored value is kept.");
}

}  // namespace
}  // namespace gw::test
