// frmItem: the four pages over wccitem2.dat, the race, class and spell names, the currency
// code the list cannot show, the tenth ability slot without a stored amount, insert,
// failed updates and the save when the window closes.
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

// An item whose every field differs from its neighbours', unshown ones included.
Item makeItem(std::int32_t number, const char* name) {
    Item r = renamed(Item{}, name);
    r.Number = number;
    const auto n = static_cast<std::int16_t>(number % 100);
    r.NameEnd = 0x41;
    for (auto* end : {&r.Desc1End, &r.Desc2End, &r.Desc3End, &r.Desc4End, &r.Desc5End, &r.Desc6End,
                      &r.Desc7End, &r.Desc8End})
        *end = 0x42;
    for (auto* line :
         {&r.Desc1, &r.Desc2, &r.Desc3, &r.Desc4, &r.Desc5, &r.Desc6, &r.Desc7, &r.Desc8})
        setField(*line, std::string("A plain line") + '\0');
    setField(r.Desc9, std::string(60, 'z'));  // no zero byte: written back unchanged
    r.Reserved1 = {-1, 2}, r.Reserved2 = 3, r.Reserved3 = 4, r.Reserved4 = 5, r.Reserved5 = 6;
    r.Limit = n + 1, r.Weight = n + 2, r.Type = 9, r.Uses = n + 3, r.Cost = -n - 4;
    r.CostType = 3, r.DestroyOnDeath = 1, r.Gettable = 0, r.NotDroppable = 2;
    r.MinHit = n + 5, r.MaxHit = n + 6, r.AC = n + 7, r.DR = n + 8, r.Accuracy = n + 9;
    r.ReqSTR = n + 10, r.Speed = 1500, r.Weapon = 3, r.Armour = 9, r.WornOn = 15;
    r.HitMsg = 100000 + n, r.MissMsg = -2, r.ReadMsg = 0, r.DistructMsg = 70000;
    for (int i = 0; i < 10; ++i) {
        r.Class[i] = static_cast<std::int16_t>(i % 3), r.Race[i] = static_cast<std::int16_t>(i % 2);
        r.AbilityA[i] = static_cast<std::int16_t>(i * 18), r.Reserved7[i] = -7;
        r.Reserved9[i] = 9;
    }
    for (int i = 0; i < 9; ++i) r.AbilityB[i] = static_cast<std::int16_t>(-n * 10 - i);
    for (int k = 0; k < 5; ++k) r.NegatePair[k] = {static_cast<std::int16_t>(k), -8};
    r.Reserved6 = {6, 6, 6}, r.Reserved10.fill(10), r.Reserved11 = 11, r.Reserved12 = -12;
    r.Reserved13.fill(13), r.Reserved14.fill(-14);
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
        if (pages) {
            open(createItemEditor);
            showPages();
        } else {
            window.reset(createItemEditor(world, nullptr));
            window->show();
        }
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
    int entries(const char* combo) { return child<QComboBox>(combo)->count(); }
};

TEST_F(ItemEditorTest, ShowsEveryPageAndWritesBackUnchanged) {
    const Item rope = makeItem(7, "Rope"), lamp = makeItem(70000, "Lamp");
    openWith({lamp, rope}, false);
    EXPECT_EQ(list(), "7   Rope\n70000   Lamp");
    EXPECT_EQ(window->windowTitle().toStdString(), "Item Editor");
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
    // Index = race number: entry 2 is the gap between Elf and Human.
    EXPECT_EQ(entries("cmbRace_9"), 4);
    EXPECT_EQ(entries("cmbClass_0"), 3);
    auto* unstored = child<QLineEdit>("txtAbilityB_9");
    EXPECT_FALSE(unstored->isEnabled());
    EXPECT_EQ(unstored->text().toStdString() + text("txtAbilityB_8"), "-78");
    select(1);
    select(0);
    EXPECT_EQ(said(), "");
    expectStored(7, rope);
    expectStored(70000, lamp);

    SCOPED_TRACE("the tenth amount box is stored nowhere, whatever it holds");
    unstored->setText(QStringLiteral("123"));
    window->close();
    expectStored(7, rope);
}

TEST_F(ItemEditorTest, ValuesTheListsCannotShowAreReportedOrShownAndKept) {
    Item gold = makeItem(1, "Gold ring"), odd = makeItem(2, "Odd"), worse = makeItem(3, "Worse");
    gold.CostType = 2;
    odd.CostType = 5, odd.Race[0] = 40, odd.Class[1] = -1, odd.AbilityA[2] = 300, odd.Type = 11;
    odd.DestroyOnDeath = 7, odd.Gettable = -3;
    worse.CostType = 255;
    openWith({gold, odd, worse});
    EXPECT_EQ(text("txtCostType"), "Gold");
    select(1);
    EXPECT_EQ(said(),
              "5");  // the first code past the list; the rest of the item is shown all the same
    EXPECT_EQ(
        texts({"txtName", "txtCostType", "cmbRace_0", "cmbClass_1", "txtAbilityA_2", "txtType"}),
        "Odd 5 40 -1 300 11");
    EXPECT_EQ(child<QCheckBox>("chkDestroy")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(child<QCheckBox>("chkGettable")->checkState(), Qt::PartiallyChecked);
    select(2);
    EXPECT_EQ(said(), "5\nFF");  // once per visit, not again when shown after its save
    // Never the currency of the item shown before: each item keeps its own code.
    expectStored(2, odd);
    select(0);
    expectStored(3, worse);
    expectStored(1, gold);

    SCOPED_TRACE("a picked entry replaces the odd value; a typed-over name is refused");
    select(1);
    dialogs.clear();
    child<QComboBox>("txtCostType")->setCurrentIndex(4);
    child<QCheckBox>("chkDestroy")->setCheckState(Qt::Checked);
    type("cmbRace_0", "Human");
    type("cmbClass_1", "Nobody");
    type("txtWeight", "12.5");
    type("txtLimit", "40000");
    select(0);
    Item picked = odd;
    picked.CostType = 4, picked.DestroyOnDeath = 1, picked.Race[0] = 3, picked.Weight = 12;
    expectStored(2, picked);
    for (const char* part : {"Classes (row 2): \"Nobody\" is not an entry of the list",
                             "Limit: \"40000\" is not a whole number from -32768 to 32767"})
        EXPECT_NE(said().find(part), std::string::npos) << part << " in " << said();
}

TEST_F(ItemEditorTest, TypedTextsAndWideNumbersAreStoredToTheirWidths) {
    const Item rope = makeItem(7, "Rope");
    openWith({rope, makeItem(8, "Net")});
    auto typeEdits = [this] {
        type("txtDesc2", std::string(60, 'x').c_str());
        type("txtDesc3", std::string(59, 'y').c_str());
        type("txtName", "A name typed out to the full 29");
        type("txtMissMsg", "-2147483648");
    };
    typeEdits();
    type("txtReadMsg", "2147483648");  // one beyond the field
    type("txtNumber", "8");            // another item's number: the update fails
    dialogs.answerQuestions({true});   // and the operator lets the edits go
    select(1);
    EXPECT_NE(said().find("Read: \"2147483648\" is not a whole number from -2147483648 to "
                          "2147483647"),
              std::string::npos)
        << said();
    EXPECT_NE(said().find("SaveRecord, BUPDATE: 23"), std::string::npos) << said();
    expectStored(7, rope);
    select(0);

    SCOPED_TRACE("with a number of its own the same edits are stored");
    EXPECT_EQ(text("txtReadMsg"), "0");  // the failed edits are gone with the item shown again
    typeEdits();
    select(1);
    Item typed = rope;
    setField(typed.Desc2, std::string(60, 'x'));
    setField(typed.Desc3, std::string(59, 'y') + '\0');
    setField(typed.Name, "A name typed out to the full ");
    typed.MissMsg = -2147483648;
    expectStored(7, typed);
}

TEST_F(ItemEditorTest, InsertTakesA32BitNumberAndRefillsTheDropDownsOnce) {
    const Item rope = makeItem(7, "Rope");
    openWith({makeItem(1, "Axe"), rope});
    select(1);
    dialogs.answerPrompts({"500000"});
    click("cmdInsert");
    EXPECT_EQ(joined(dialogs.prompts), "New Item Number:|Insert|8");
    Item copy = renamed(rope, "New Item");
    copy.Number = 500000;
    expectStored(500000, copy);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(text("txtName"), "Axe");
    EXPECT_EQ(entries("cmbRace_0") * 10 + entries("cmbClass_9"), 43);
    EXPECT_EQ(said(), "");

    expectInsertsRefused(
        kItem, {{"abc", "nothing was inserted"},
                {"2147483648", "nothing was inserted"},
                {"7", "cmdInsert, BINSERT, Error: 23 (a record with this key already exists)"}});
    EXPECT_EQ(said(), "cmdInsert, BINSERT, Error: 23 (a record with this key already exists)");

    SCOPED_TRACE("Delete removes the item on screen and fills the drop-downs once more");
    dialogs.answerQuestions({true});
    click("cmdDelete");
    EXPECT_EQ(list().substr(0, 8), "7   Rope");
    EXPECT_EQ(entries("cmbRace_5") * 10 + entries("cmbClass_5"), 43);
}

}  // namespace
}  // namespace gw::test
