// frmMonster: the stored-value repairs and the unsigned Experience, the silent skip of boxes
// that cannot be stored, values outside the lists, the lookups, Insert as inactive, Delete
// without a save, and the saves on closing and at shutdown.
#include "records/monster.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabWidget>

#include "editors/catalogue_windows.h"
#include "gui_test.h"
#include "records/item.h"
#include "records/message.h"
#include "records/spell.h"
#include "shell/main_window.h"

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
    Monster imp = makeMonster(2, "Imp");
    imp.Group = 45, imp.Type = -3, imp.Alignment = 7, imp.Gender = 200, imp.AbilityA[1] = 300;
    openWith({orc, imp});
    EXPECT_EQ(list(), "1   Orc\n2   Imp");
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
    EXPECT_EQ(stored(kMonster, 2), full(imp));

    SCOPED_TRACE("values outside the lists are shown as numbers and kept; typed entries taken");
    EXPECT_EQ(texts({"cmbGroup", "txtType", "txtAlignment", "txtGender", "txtAbilityA_1"}),
              "45 -3 7 200 300");
    type("cmbGroup", "other");  // an entry typed, letter case aside
    child<QComboBox>("txtGender")->setCurrentIndex(1);
    select(0);
    imp.Group = 39, imp.Gender = 1;
    EXPECT_EQ(stored(kMonster, 2), full(imp));

    SCOPED_TRACE("Experience is unsigned; boxes that cannot be stored keep their fields quietly");
    const std::pair<const char*, std::int16_t> amounts[] = {{"40000", std::int16_t(0x9C40)},
                                                            {"32767", 32767},
                                                            {"0", 0},
                                                            {"65536", 0},
                                                            {"-1", 0},
                                                            {"x", 0}};
    for (const auto& [typed, expected] : amounts) {
        SCOPED_TRACE(typed);
        type("txtExperience", "0");
        select(1), select(0);
        type("txtExperience", typed);
        type("txtHitPoints", "lots");
        type("txtItemDropPer_3", "256");
        type("txtName", "Big Orc");
        type("txtGender", "Unknown");
        select(1);
        Monster m = renamed(repaired, "Big Orc");
        m.Experience = expected;
        EXPECT_EQ(stored(kMonster, 1), full(m));
        select(0);
        if (expected == std::int16_t(0x9C40)) {
            EXPECT_EQ(text("txtExperience"), "40000");
        }
    }
    EXPECT_EQ(said(), "");
}

TEST_F(MonsterEditorTest, LooksNamesUpWhereverTheOtherFilesWereLeft) {
    create({RecordKind::Item, RecordKind::Spell, RecordKind::Message});
    for (int n : {3, 8}) {
        put(RecordKind::Item, [n](RecordFile& f) {
            f.as<Item>().Number = n;
            setField(f.as<Item>().Name, n == 3 ? "Rope" : "Lamp");
        });
        put(RecordKind::Spell, [n](RecordFile& f) {
            f.as<Spell>().Number = std::int16_t(n);
            setField(f.as<Spell>().Name, n == 3 ? "Fireball" : "Frost");
        });
    }
    put(RecordKind::Message, [](RecordFile& f) {
        Message& m = f.as<Message>();
        m.Number = 300;
        setField(m.MessageLine1, "first"), setField(m.MessageLine3, "third");
    });
    Monster m = makeMonster(1, "Mage");
    m.WeaponNumber = 8, m.ItemNumber[4] = 3, m.ItemNumber[0] = 5;
    m.SpellNumber[2] = 8, m.AttackHitSpell[4] = 8;
    m.AttackType[1] = 2, m.AttackAccuSpell[1] = 3, m.AttackType[0] = 1, m.AttackAccuSpell[0] = 8;
    m.CreateSpellNumber = 3, m.DeathSpellNumber = 8;
    m.MoveMsg = 300, m.DeathMsg = 300 + 65536;  // beyond the 16-bit message keys
    Monster other = m;
    other.Number = 2, other.DeathMsg = 300;
    create({kMonster});
    add(kMonster, m, kTail);
    add(kMonster, other, kTail);
    // Another hand leaves every file at its end.
    for (RecordKind kind : {RecordKind::Item, RecordKind::Spell, RecordKind::Message})
        ASSERT_EQ(world.file(kind).call(BGETLAST, ""), 0);
    open(createMonsterEditor);
    auto shown = [this] {
        std::string all;
        for (const char* box :
             {"txtMoveMsgDisplay", "txtDeathMsgDisplay", "txtWeaponName", "txtItemName_4",
              "txtItemName_0", "txtItemName_1", "txtSpellName_2", "txtAttackAccuSpellName_1",
              "txtAttackAccuSpellName_0", "txtAttackHitSpellName_4", "txtCreateSpellName",
              "txtDeathSpellName"})
            all += std::string(trimRight(text(box))) + "|";
        return all;
    };
    // An accuracy of a normal attack is named nothing; a 32-bit message number beyond the
    // message keys gets an empty name, not another message's.
    const std::string names =
        "Lamp|Rope|ITEM NOT IN DATABASE!|none|Frost|Fireball||Frost|"
        "Fireball|Frost|";
    EXPECT_EQ(shown(), "first||" + names);
    for (RecordKind kind : {RecordKind::Item, RecordKind::Spell, RecordKind::Message})
        ASSERT_EQ(world.file(kind).call(BGETFIRST, ""), 0);
    select(1);
    EXPECT_EQ(shown(), "first|third|" + names);
    EXPECT_EQ(stored(kMonster, 1), full(m));
    EXPECT_EQ(said(), "");
    // A long name is shown from its start.
    EXPECT_EQ(child<QLineEdit>("txtMoveMsgDisplay")->cursorPosition(), 0);

    SCOPED_TRACE("a name follows typing, quietly: a missing record opens no message");
    const char* const typed[][4] = {
        {"txtItemNumber_1", "3", "txtItemName_1", "Rope"},
        {"txtItemNumber_1", "9", "txtItemName_1", "ITEM NOT IN DATABASE!"},
        {"txtItemNumber_1", "2.5", "txtItemName_1", ""},
        {"txtItemNumber_1", "0", "txtItemName_1", "none"},
        {"txtSpellNumber_2", "3", "txtSpellName_2", "Fireball"},
        {"txtSpellNumber_2", "4", "txtSpellName_2", ""},
        {"txtMoveMsg", "x", "txtMoveMsgDisplay", ""},
        {"txtMoveMsg", "300", "txtMoveMsgDisplay", "first"},
    };
    for (const auto& [box, digits, nameBox, name] : typed) {
        SCOPED_TRACE(std::string(box) + " " + digits);
        typeKeys(box, digits);
        EXPECT_EQ(trimRight(text(nameBox)), name);
    }
    EXPECT_EQ(said(), "");
}

TEST_F(MonsterEditorTest, InsertCopiesTheMonsterOnScreenAsInactive) {
    Monster wolf = makeMonster(7, "Wolf");
    wolf.Active = 12;
    openWith({makeMonster(2, "Bat"), wolf});
    select(1);
    type("txtHitPoints", "77");
    dialogs.answerPrompts({"5"});
    click("cmdInsert");
    EXPECT_EQ(joined(dialogs.prompts), "New Monster Number:|Insert|8");
    wolf.HitPoints = 77;
    EXPECT_EQ(stored(kMonster, 7), full(wolf));
    Monster copy = renamed(wolf, "New Monster");
    copy.Number = 5, copy.Active = 0;
    EXPECT_EQ(stored(kMonster, 5), full(copy));
    EXPECT_EQ(list(), "2   Bat\n5   New Monster\n7   Wolf");
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(text("txtName"), "Bat");
}

TEST_F(MonsterEditorTest, DeleteRemovesTheMonsterOnScreenWithoutSavingIt) {
    std::vector<Monster> monsters;
    for (int n = 1; n <= 5; ++n)
        monsters.push_back(makeMonster(n, ("M" + std::to_string(n)).c_str()));
    openWith(monsters);
    select(2);
    type("txtName", "Edited");  // discarded by the delete
    // Another hand leaves the Monster file on the last record.
    ASSERT_EQ(world.file(kMonster).call(BGETLAST, ""), 0);
    dialogs.answerQuestions({true});  // asking first: Race's Delete test
    click("cmdDelete");
    EXPECT_EQ(list(), "1   M1\n2   M2\n4   M4\n5   M5");
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(text("txtName"), "M1");
    for (int n : {1, 2, 4, 5}) EXPECT_EQ(stored(kMonster, n), full(monsters[n - 1])) << n;

    SCOPED_TRACE("the last entry, then down to the only one");
    for (int row : {3, 2, 1, 0}) {
        select(row);
        dialogs.answerQuestions({true});
        click("cmdDelete");
        EXPECT_EQ(current(), row ? 0 : -1);
    }
    EXPECT_EQ(list(), "");
    EXPECT_TRUE(all(kMonster).empty());
    EXPECT_FALSE(child<QTabWidget>("SSTab1")->isEnabled());
    window->close();  // nothing on screen to save
    EXPECT_TRUE(all(kMonster).empty());
    EXPECT_EQ(said(), "");
}

TEST_F(MonsterEditorTest, ClosingTheWindowOrTheProgramSavesTheMonsterOnScreen) {
    Monster bat = makeMonster(2, "Bat");
    bat.Experience = -2, bat.AttackType[4] = 77;
    create({kMonster});
    add(kMonster, bat, kTail);
    add(kMonster, makeMonster(3, "Cat"), kTail);
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
    window.reset();
    world.file(kMonster).close("BCLOSE, test, Error: ");

    SCOPED_TRACE("at shutdown, before the files close");
    {
        MDIForm1 main(dialogs);
        main.startUp();
        dialogs.clear();
        main.findChild<QAction*>(QStringLiteral("mnuEditMonster"))->trigger();
        QMdiSubWindow* sub = main.subWindow(QStringLiteral("frmMonster"));
        ASSERT_NE(sub, nullptr);
        sub->widget()
            ->findChild<QLineEdit*>(QStringLiteral("txtName"))
            ->setText(QStringLiteral("Shut"));
        EXPECT_TRUE(main.close());
    }
    // The nine missing files are reported at the opening and the closing; nothing else.
    for (const std::string& m : dialogs.messages)
        EXPECT_EQ(m.find("Monster"), std::string::npos) << m;
    ASSERT_EQ(world.file(kMonster).open("BOPEN, test, Error: "), status::kSuccess);
    EXPECT_EQ(stored(kMonster, 2), full(renamed(bat, "Shut")));
}

}  // namespace
}  // namespace gw::test
