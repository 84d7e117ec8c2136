// frmMonster: the stored-value repairs and the unsigned Experience, the silent skip of boxes
// that cannot be stored, the lookups, Insert as inactive, Delete without a save, and the save
// on closing.
#include "records/monster.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "records/item.h"
#include "records/message.h"
#include "records/spell.h"

namespace gw::test {
namespace {

constexpr auto kMonster = RecordKind::Monster;
constexpr std::uint8_t kTail = 0x5A;  // the 52 bytes after the row no field maps

// A monster whose every byte differs from its neighbours', the unshown fields included, with
// listed codes and no references (each lookup then shows "none" without a read).
Monster makeMonster(std::int32_t number, const char* name) {
    Monster m;
    auto* bytes = reinterpret_cast<std::uint8_t*>(&m);
    for (std::size_t i = 0; i < sizeof m; ++i) bytes[i] = std::uint8_t(i * 7 + number);
    m = renamed(m, name);
    m.Number = number;
    m.Group = 6, m.Type = 3, m.Alignment = 6, m.Gender = 2, m.Undead = 1;
    m.WeaponNumber = m.MoveMsg = m.DeathMsg = 0;
    m.DeathSpellNumber = m.CreateSpellNumber = 0;
    for (int i = 0; i < 5; ++i) {
        m.AbilityA[i] = std::int16_t(number + i * 30);
        m.AttackType[i] = std::uint8_t(i % 4);
        m.ItemNumber[i] = m.SpellNumber[i] = m.AttackAccuSpell[i] = m.AttackHitSpell[i] = 0;
    }
    for (auto* line : {&m.DescLine1, &m.DescLine2, &m.DescLine3, &m.DescLine4})
        setField(*line, "A line of description");
    return m;
}

class MonsterEditorTest : public GuiTest {
protected:
    void openWith(const std::vector<Monster>& monsters) {
        create({kMonster});
        for (const Monster& m : monsters) add(kMonster, m, kTail);
        open(createMonsterEditor);
    }
    // What the file holds for `m`: its mapped bytes, then the unmapped tail as stored.
    Row full(const Monster& m) {
        Row row = rowOf(kMonster, m);
        row.resize(696, kTail);
        return row;
    }
};

TEST_F(MonsterEditorTest, RepairsExperienceAndTheSilentSkip) {
    Monster orc = makeMonster(1, "Orc");
    orc.Undead = 7, orc.AttackType[2] = 9, orc.Experience = -1;
    openWith({orc, makeMonster(2, "Imp")});
    EXPECT_FALSE(child<QCheckBox>("chkUndead")->isChecked());
    EXPECT_EQ(texts({"txtExperience", "cmbAttackType_2", "cmbAttackType_1", "cmbGroup", "txtType",
                     "txtAlignment", "txtGender", "txtWeaponName"}),
              "65535 None Normal Group 1 Stationary Lawful Evil She none");
    select(1);
    EXPECT_EQ(stored(kMonster, 1), full(orc));  // only viewed: kept as stored
    select(0);
    type("txtHitPoints", "12");
    select(1);
    Monster repaired = orc;
    repaired.Undead = 0, repaired.AttackType[2] = 0, repaired.HitPoints = 12;
    EXPECT_EQ(stored(kMonster, 1), full(repaired));

    SCOPED_TRACE("Experience is unsigned; boxes that cannot be stored keep their fields quietly");
    select(0);
    type("txtHitPoints", "lots");
    type("txtGender", "Unknown");
    repaired.Experience = std::int16_t(0x9C40);
    for (const char* typed : {"40000", "65536", "-1"}) {
        SCOPED_TRACE(typed);
        type("txtExperience", typed);
        select(1);
        EXPECT_EQ(stored(kMonster, 1), full(repaired));
        select(0);
    }
    EXPECT_EQ(said(), "");
}

TEST_F(MonsterEditorTest, LooksNamesUpWhereverTheOtherFilesWereLeft) {
    create({RecordKind::Item, RecordKind::Spell, RecordKind::Message});
    for (int n : {3, 8}) {
        Item item = renamed(Item{}, n == 3 ? "Rope" : "Lamp");
        Spell spell = renamed(Spell{}, n == 3 ? "Fireball" : "Frost");
        item.Number = n, spell.Number = std::int16_t(n);
        add(RecordKind::Item, item);
        add(RecordKind::Spell, spell);
    }
    Message message{};
    message.Number = 300;
    setField(message.MessageLine1, "first"), setField(message.MessageLine3, "third");
    add(RecordKind::Message, message);
    Monster m = makeMonster(1, "Mage");
    m.WeaponNumber = 8, m.ItemNumber[4] = 3, m.ItemNumber[0] = 5;
    m.SpellNumber[2] = 8, m.AttackHitSpell[4] = 8;
    m.AttackType[1] = 2, m.AttackAccuSpell[1] = 3, m.AttackType[0] = 1, m.AttackAccuSpell[0] = 8;
    m.CreateSpellNumber = 3, m.DeathSpellNumber = 8;
    m.MoveMsg = 300 + 65536, m.DeathMsg = 300;  // the first beyond the 16-bit message keys
    create({kMonster});
    add(kMonster, m, kTail);
    // Another hand leaves every file at its end.
    for (RecordKind kind : {RecordKind::Item, RecordKind::Spell, RecordKind::Message})
        ASSERT_EQ(world.file(kind).call(BGETLAST, ""), 0);
    open(createMonsterEditor);
    std::string shown;
    for (const char* box : {"txtMoveMsgDisplay", "txtDeathMsgDisplay", "txtWeaponName",
                            "txtItemName_4", "txtItemName_0", "txtItemName_1", "txtSpellName_2",
                            "txtAttackAccuSpellName_1", "txtAttackAccuSpellName_0",
                            "txtAttackHitSpellName_4", "txtCreateSpellName", "txtDeathSpellName"})
        shown += std::string(trimRight(text(box))) + "|";
    // An accuracy of a normal attack is named nothing; a 32-bit message number beyond the
    // message keys gets an empty name, not another message's.
    EXPECT_EQ(shown,
              "|third|Lamp|Rope|ITEM NOT IN DATABASE!|none|Frost|Fireball||Frost|Fireball|Frost|");
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("a name follows typing, quietly; a number not yet whole names nothing");
    typeKeys("txtMoveMsg", "300");
    EXPECT_EQ(trimRight(text("txtMoveMsgDisplay")), "first");
    typeKeys("txtItemNumber_1", "2.5");
    EXPECT_EQ(text("txtItemName_1"), "");
    EXPECT_EQ(said(), "");
}

TEST_F(MonsterEditorTest, InsertCopiesTheMonsterOnScreenAsInactive) {
    Monster wolf = makeMonster(7, "Wolf");
    wolf.Active = 12;
    openWith({makeMonster(2, "Bat"), wolf});
    select(1);
    type("txtHitPoints", "77");  // saved first, and so copied
    dialogs.answerPrompts({"5"});
    click("cmdInsert");
    Monster copy = renamed(wolf, "New Monster");
    copy.Number = 5, copy.Active = 0, copy.HitPoints = 77;
    EXPECT_EQ(stored(kMonster, 5), full(copy));
}

// Asking first: the Race delete test.
TEST_F(MonsterEditorTest, DeleteDropsTheMonsterOnScreenAndItsEdits) {
    openWith({makeMonster(1, "M1"), makeMonster(2, "M2"), makeMonster(3, "M3")});
    // The row deleted, the entries left, the row shown after.
    const std::tuple<int, const char*, int> steps[] = {
        {0, "2   M2\n3   M3", 0}, {1, "2   M2", 0}, {0, "", -1}};
    for (const auto& [row, left, shown] : steps) {
        SCOPED_TRACE(left);
        select(row);
        type("txtName", "Edited");  // dropped with the record
        dialogs.answerQuestions({true});
        click("cmdDelete");
        EXPECT_EQ(list(), left);
        EXPECT_EQ(current(), shown);
        EXPECT_TRUE(shown < 0 || text("txtName") == "M2");
    }
    EXPECT_FALSE(child<QTabWidget>("SSTab1")->isEnabled());
    window->close();  // nothing on screen to save
    EXPECT_TRUE(all(kMonster).empty());
    EXPECT_EQ(said(), "");
}

TEST_F(MonsterEditorTest, ClosingTheWindowSavesTheMonsterOnScreen) {
    Monster bat = makeMonster(2, "Bat");
    bat.AttackType[4] = 77;
    create({kMonster});
    add(kMonster, bat, kTail);
    // The pages behind the first are not made: the attack type they would show repaired is
    // written repaired all the same.
    window.reset(createMonsterEditor(world));
    window->show();
    EXPECT_EQ(child<QTabWidget>("SSTab1")->findChild<QComboBox*>(QStringLiteral("cmbAttackType_4")),
              nullptr);
    type("txtName", "Closed");
    window->close();
    bat.AttackType[4] = 0;
    EXPECT_EQ(stored(kMonster, 2), full(renamed(bat, "Closed")));
}

}  // namespace
}  // namespace gw::test
