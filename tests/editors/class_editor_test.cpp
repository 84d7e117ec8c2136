// The Class editor: the figures it shows other than as stored, the title text it never
// reads back, and the row bytes beyond its fields.
#include "editors/catalogue_windows.h"
#include "gui_test.h"

namespace gw::test {
namespace {

constexpr auto kClass = RecordKind::Class;
constexpr std::uint8_t kTail = 0xA5;

// Bytes 102 to 155 are no field's; every save and copy must keep them.
void expectTailKept(const Row& row) {
    ASSERT_EQ(row.size(), 156u);
    EXPECT_EQ(Row(row.begin() + 102, row.end()), Row(54, kTail));
}

using ClassEditor = GuiTest;

TEST_F(ClassEditor, ShowsAndStoresTheDerivedFigures) {
    const Class fighter = makeClass(1, "Fighter"), mage = makeClass(2, "Mage");
    create({kClass});
    add(kClass, fighter, kTail);
    add(kClass, mage, kTail);
    window.reset(createClassEditor(world));
    EXPECT_EQ(list(), "1   Fighter\n2   Mage");  // built before it is shown
    window->show();
    const std::pair<const char*, const char*> shown[] = {{"txtMinHP", "10"},
                                                         {"txtMaxHP", "15"},
                                                         {"txtExp", "100"},
                                                         {"txtCombat", "0"},
                                                         {"txtTitleText", "41"},
                                                         {"txtMagicType", "Priest"},
                                                         {"txtArmour", "Chainmail"},
                                                         {"txtWeapon", "Limited (staff)"},
                                                         {"txtAbilityA_0", "Perfect Stealth"}};
    for (const auto& [name, value] : shown) EXPECT_EQ(text(name), value) << name;

    select(1);
    EXPECT_EQ(storedAs<Class>(kClass, 1).MaxHP, 5);
    Row row = stored(kClass, 1);
    expectTailKept(row);
    EXPECT_EQ(Row(row.begin(), row.begin() + 102), rowOf(kClass, fighter));
    select(0);
    {
        SCOPED_TRACE("typed figures are stored back by the rules; the title text is not read");
        type("txtExp", "125");
        type("txtCombat", "0");
        type("txtMaxHP", "30");
        type("txtTitleText", "777");
        select(1);
        Class saved = storedAs<Class>(kClass, 1);
        EXPECT_EQ(saved.Exp, 25);
        EXPECT_EQ(saved.Combat, 2);
        EXPECT_EQ(saved.MaxHP, 20);
        EXPECT_EQ(saved.TitleText, fighter.TitleText);
        select(0);
        EXPECT_EQ(text("txtTitleText"), "41");
        EXPECT_EQ(text("txtMaxHP"), "30");
        expectTailKept(stored(kClass, 1));
    }
    {
        SCOPED_TRACE("an inserted class copies the bytes beyond the fields too");
        dialogs.answerPrompts({"7"});
        click("cmdInsert");
        EXPECT_EQ(joined(dialogs.prompts), "New Class Number:|Insert|0");
        expectTailKept(stored(kClass, 7));
        const Class copy = storedAs<Class>(kClass, 7);
        EXPECT_EQ(std::string(copy.Name.data(), 10), std::string("New Class\0", 10));
        EXPECT_EQ(copy.TitleText, fighter.TitleText);
    }
}

}  // namespace
}  // namespace gw::test
