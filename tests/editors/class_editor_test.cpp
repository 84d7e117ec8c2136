// The Class editor: the figures it shows other than as stored, the title text it never
// reads back, the row bytes beyond its fields, and a list built before the window shows.
#include <gtest/gtest.h>

#include <QComboBox>
#include <memory>

#include "editor_world.h"
#include "editors/catalogue_windows.h"

namespace gw::test {
namespace {

constexpr std::uint8_t kTail = 0xA5;

bool tailSurvives(const std::vector<std::uint8_t>& row) {
    if (row.size() != 156) return false;
    for (std::size_t i = 102; i < 156; ++i)
        if (row[i] != kTail) return false;
    return true;
}

TEST(ClassEditor, ShowsAndStoresTheDerivedFigures) {
    EditorWorld w;
    const Class fighter = makeClass(1, "Fighter"), mage = makeClass(2, "Mage");
    w.create(RecordKind::Class, std::vector{fighter, mage}, kTail);
    std::unique_ptr<QWidget> editor(createClassEditor(w.world));
    QWidget* e = editor.get();

    // Built before it is shown.
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(listTexts(e),
              (QStringList{QStringLiteral("1   Fighter"), QStringLiteral("2   Mage")}));
    EXPECT_EQ(e->objectName(), QStringLiteral("frmClass"));
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Classes Editor"));
    editor->show();
    EXPECT_TRUE(w.dialogs.messages().isEmpty());

    {
        SCOPED_TRACE("shown figures");
        EXPECT_EQ(boxText(e, QStringLiteral("txtMinHP")), QStringLiteral("10"));
        EXPECT_EQ(boxText(e, QStringLiteral("txtMaxHP")), QStringLiteral("15"));
        EXPECT_EQ(boxText(e, QStringLiteral("txtExp")), QStringLiteral("100"));
        EXPECT_EQ(boxText(e, QStringLiteral("txtCombat")), QStringLiteral("0"));
        EXPECT_EQ(boxText(e, QStringLiteral("txtTitleText")), QStringLiteral("41"));
        EXPECT_EQ(boxText(e, QStringLiteral("txtMagicType")), QStringLiteral("Priest"));
        EXPECT_EQ(boxText(e, QStringLiteral("txtWeapon")), QStringLiteral("Limited (staff)"));
        EXPECT_EQ(boxText(e, QStringLiteral("txtArmour")), QStringLiteral("Chainmail"));
        EXPECT_EQ(boxText(e, QStringLiteral("txtAbilityA_0")), QStringLiteral("Perfect Stealth"));
    }
    {
        SCOPED_TRACE("an untouched save stores what it read, the unmapped bytes included");
        selectRow(e, 1);
        EXPECT_EQ(w.stored<Class>(RecordKind::Class, 1).MaxHP, 5);
        const auto row = w.storedRow(RecordKind::Class, 1);
        EXPECT_TRUE(tailSurvives(row));
        EXPECT_EQ(std::vector(row.begin(), row.begin() + 102), rowOf(RecordKind::Class, &fighter));
        selectRow(e, 0);
    }
    {
        SCOPED_TRACE("typed figures are stored back by the rules; the title text is not read");
        setBoxText(e, QStringLiteral("txtExp"), QStringLiteral("125"));
        setBoxText(e, QStringLiteral("txtCombat"), QStringLiteral("0"));
        setBoxText(e, QStringLiteral("txtMaxHP"), QStringLiteral("30"));
        setBoxText(e, QStringLiteral("txtTitleText"), QStringLiteral("777"));
        selectRow(e, 1);
        Class saved = w.stored<Class>(RecordKind::Class, 1);
        EXPECT_EQ(saved.Exp, 25);
        EXPECT_EQ(saved.Combat, 2);
        EXPECT_EQ(saved.MaxHP, 20);
        EXPECT_EQ(saved.TitleText, fighter.TitleText);
        selectRow(e, 0);
        EXPECT_EQ(boxText(e, QStringLiteral("txtTitleText")), QStringLiteral("41"));
        EXPECT_EQ(boxText(e, QStringLiteral("txtMaxHP")), QStringLiteral("30"));

        setBoxText(e, QStringLiteral("txtMinHP"), QStringLiteral("15"));
        selectRow(e, 1);
        saved = w.stored<Class>(RecordKind::Class, 1);
        EXPECT_EQ(saved.MinHP, 15);
        EXPECT_EQ(saved.MaxHP, 15);
        EXPECT_TRUE(tailSurvives(w.storedRow(RecordKind::Class, 1)));
    }
    {
        SCOPED_TRACE("a shown figure that is not a number is refused, the field kept");
        setBoxText(e, QStringLiteral("txtExp"), QStringLiteral("lots"));
        w.dialogs.clear();
        selectRow(e, 0);
        ASSERT_EQ(w.dialogs.messages().size(), 1);
        EXPECT_TRUE(w.dialogs.messages()[0].contains(QStringLiteral("txtExp")));
        EXPECT_EQ(w.stored<Class>(RecordKind::Class, 2).Exp, mage.Exp);
    }
    {
        SCOPED_TRACE("an inserted class copies the bytes beyond the fields too");
        w.dialogs.clear();
        w.dialogs.answerPrompts({"7"});
        click(e, QStringLiteral("cmdInsert"));
        ASSERT_EQ(w.dialogs.prompts().size(), 1u);
        EXPECT_EQ(w.dialogs.prompts()[0].prompt, QStringLiteral("New Class Number:"));
        const auto row = w.storedRow(RecordKind::Class, 7);
        EXPECT_TRUE(tailSurvives(row));
        const Class copy = w.stored<Class>(RecordKind::Class, 7);
        EXPECT_EQ(std::string(copy.Name.data(), 10), std::string("New Class\0", 10));
        EXPECT_EQ(copy.TitleText, fighter.TitleText);
        EXPECT_EQ(listTexts(e).size(), 3);
    }
}

TEST(ClassEditor, EmptyFileReportsItsOwnLoadMessage) {
    EditorWorld w;
    w.createFile(RecordKind::Class);
    std::unique_ptr<QWidget> editor(createClassEditor(w.world));
    EXPECT_EQ(w.dialogs.messages(),
              QStringList{QStringLiteral("LoadClasses, BGETFIRST, Error: 9")});
    EXPECT_TRUE(listTexts(editor.get()).isEmpty());
}

}  // namespace
}  // namespace gw::test
