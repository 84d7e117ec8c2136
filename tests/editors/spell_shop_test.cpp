// frmSpell and frmShop over hand-made records.
#include <QComboBox>
#include <QPushButton>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "records/item.h"
#include "records/shop.h"
#include "records/spell.h"
#include "shell/name_lookups.h"

namespace gw::test {
namespace {

constexpr auto kSpell = RecordKind::Spell;
constexpr auto kShop = RecordKind::Shop;

Spell makeSpell(std::int16_t number, const char* name) {
    Spell s = renamed(Spell{}, name);
    s.Number = number;
    s.NameEnd = 0x5A, s.DescAEnd = 1, s.DescBEnd = 2, s.ShortNameEnd = 3;
    setField(s.DescA, std::string("first line") + '\0');
    setField(s.DescB, "no zero byte at all");
    setField(s.ShortName, std::string("Fb") + '\0');
    s.Reserved1 = -7, s.Reserved3 = 9, s.Reserved5 = 55, s.Reserved6 = 66, s.Reserved7 = -77777;
    for (std::size_t i = 0; i < s.Reserved2.size(); ++i) s.Reserved2[i] = std::int16_t(100 + i);
    s.Reserved4 = {4, 5, 6};
    s.CastMsgA = 100000, s.LevelCap = 255, s.Target = 13, s.MageryA = 5, s.Undefined06 = 200;
    for (int i = 0; i < 10; ++i) s.AbilityA[i] = std::int16_t(i * 20), s.AbilityB[i] = -i;
    return s;
}

TEST_F(GuiTest, SpellEditorMapsMessageStylesAndKeepsWhatItCannotShow) {
    create({kSpell});
    const std::uint8_t styles[] = {0, 1, 32, 33, 114, 115, 7};
    for (std::int16_t n = 0; n < 7; ++n) {
        Spell spell = makeSpell(n + 1, "Spell");
        spell.MsgStyle = styles[n];
        add(kSpell, spell);
    }
    open(createSpellEditor);
    EXPECT_FALSE(child<QLineEdit>("txtNumber")->isEnabled());
    EXPECT_EQ(texts({"txtNumber", "txtName", "txtDescA", "txtShortName", "txtCastMsgA",
                     "txtLevelCap", "cmbTarget", "cmbMageryA", "txtAbilityA_9"}),
              "1 Spell first line Fb 100000 255 Full Party Area Kai Picklocks value");
    EXPECT_EQ(text("txtDescB"), "no zero byte at all" + std::string(31, ' '));
    const char* shown[] = {"Yes", "No", "Yes", "No", "Yes", "No", "7"};
    for (int n = 0; n < 7; ++n) {
        SCOPED_TRACE(styles[n]);
        select(n);
        EXPECT_EQ(text("cmbMsgStyle"), shown[n]);
    }

    SCOPED_TRACE("an edit writes the mapped style with it");
    select(5);
    type("txtMana", "5");
    select(0);
    Spell expected = makeSpell(6, "Spell");
    expected.MsgStyle = 1, expected.Mana = 5;
    Row row = rowOf(kSpell, expected);
    // Trailing blanks of the descriptions go before the closing zero.
    const std::string descB = trimmedZeroEnded("no zero byte at all", 50);
    std::copy(descB.begin(), descB.end(), row.begin() + 83);
    EXPECT_EQ(stored(kSpell, 6), row);
    EXPECT_EQ(said(), "");
}

class ShopEditorTest : public GuiTest {
protected:
    ShopEditorTest() {
        create({kShop, RecordKind::Item, RecordKind::Class});
        for (auto [number, name] : {std::pair{3, "Rope"}, {8, "Lamp"}}) {
            Item item = renamed(Item{}, name);
            item.Number = number;
            add(RecordKind::Item, item);
        }
        add(RecordKind::Class, makeClass(1, "Fighter"));
        add(RecordKind::Class, makeClass(2, "Mage"));
        LoadClassArray(world);
        armoury = renamed(Shop{}, "Armoury");
        armoury.Number = 10, armoury.Type = 2, armoury.Class = 0x7702, armoury.Reserved5 = -5;
        armoury.ShopItemNumber[0] = 3, armoury.ShopItemNumber[2] = 99;
        armoury.ShopItemNumber[19] = 8, armoury.RgnPercentage[19] = 250, armoury.ShopMax[5] = -1;
        setField(armoury.ReservedText2, "kept as stored");
        bazaar.Number = 20, bazaar.Type = 13, bazaar.Class = 9;  // neither can be listed
        setField(bazaar.Name, "Bazaar");                         // blanks, no zero byte
        add(kShop, armoury, 0xA5);
        add(kShop, bazaar, 0x5A);
        open(createShopEditor);
    }
    Shop armoury{}, bazaar{};
};

Row withTail(Row row, std::uint8_t tail) { return row.resize(504, tail), row; }

TEST_F(ShopEditorTest, ShowsItemNamesAndKeepsWhatNoControlOwns) {
    EXPECT_EQ(list(), "10   Armoury\n20   Bazaar" + std::string(33, ' '));
    EXPECT_EQ(texts({"txtNumber", "txtName", "cmbType", "cmbClasses", "txtShopItemName_0",
                     "txtShopItemName_1", "txtShopItemName_2", "txtShopItemName_19",
                     "txtRgnPercentage_19", "txtShopMax_5"}),
              "10 Armoury Armour Mage Rope none ITEM NOT IN DATABASE! Lamp 250 -1");
    select(1);
    EXPECT_EQ(texts({"cmbType", "cmbClasses"}), "13 9");
    select(0);

    SCOPED_TRACE("a new class goes to the low byte; a new item number shows its name next time");
    child<QComboBox>("cmbClasses")->setCurrentIndex(1);
    type("txtShopItemNumber_1", "8");
    select(1);
    Shop expected = armoury;
    expected.Class = 0x7701, expected.ShopItemNumber[1] = 8;
    EXPECT_EQ(stored(kShop, 10), withTail(rowOf(kShop, expected), 0xA5));
    select(0);
    EXPECT_EQ(texts({"cmbClasses", "txtShopItemName_1"}), "Fighter Lamp");
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("inserting twice lists each class once");
    dialogs.answerPrompts({"30", "31"});
    click("cmdInsert");
    click("cmdInsert");
    EXPECT_EQ(joined(dialogs.prompts, ";"),
              "New Shop Number:|Insert|21;New Shop Number:|Insert|31");
    EXPECT_EQ(child<QComboBox>("cmbClasses")->count(), 3);
}

TEST_F(ShopEditorTest, WithoutTheItemFileEachShopShownReportsOneFailedLookup) {
    window.reset();
    ASSERT_EQ(world.file(RecordKind::Item).close(""), 0);
    dialogs.clear();
    open(createShopEditor);
    ASSERT_EQ(dialogs.messages.size(), 1u) << said();
    EXPECT_TRUE(dialogs.messages[0].starts_with("Function GetItemName, BGETEQUAL, Error: "));
    select(1);  // the Bazaar sells nothing: nothing to look up
    select(0);
    EXPECT_EQ(dialogs.messages.size(), 2u) << said();
}

// The panels and the two row frames switch; the rows are made when first shown, with the
// names.
TEST_F(ShopEditorTest, PanelsSwitchAndTheItemRowsAreMadeWhenFirstShown) {
    window.reset(createShopEditor(world));
    window->show();
    auto* other = child<QPushButton>("cmdOther");
    // Each part shown (+), hidden (-) or not made yet (.), then the switch's caption.
    auto parts = [&] {
        std::string shown;
        for (const char* name :
             {"frameGeneral", "frameShopItems", "cmdA", "cmdB", "frameA", "frameB"}) {
            auto* part = window->findChild<QWidget*>(QString::fromLatin1(name));
            shown += !part ? '.' : part->isHidden() ? '-' : '+';
        }
        return shown + other->text().toStdString();
    };
    EXPECT_EQ(parts(), "+---..Items Sold");
    const QSize closed = window->size();
    click("cmdOther");
    EXPECT_EQ(parts(), "-++++-General");
    EXPECT_EQ(texts({"txtShopItemNumber_0", "txtShopItemName_0", "txtShopItemName_19"}),
              "3 Rope Lamp");
    // The window was sized for the smaller panel: it grows to hold the rows.
    QCoreApplication::processEvents();
    EXPECT_GT(window->height(), closed.height());
    EXPECT_EQ(window->size(), window->size().expandedTo(window->sizeHint()));
    click("cmdB");
    click("cmdOther");
    click("cmdOther");
    EXPECT_EQ(parts(), "-+++-+General");  // frame B stays through the switches
    click("cmdA");
    EXPECT_EQ(parts(), "-++++-General");
    EXPECT_EQ(said(), "");
}

}  // namespace
}  // namespace gw::test
