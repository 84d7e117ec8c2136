// frmWorldMap over the demo world through the main window: the map chooser, find, the link
// to the Room editor both ways, a save that changes exits, and a world with nothing to draw.
#include "navigators/world_map.h"

#include <QAction>
#include <QComboBox>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>

#include "gui_test.h"
#include "navigators/navigator_windows.h"
#include "shell/main_window.h"
#include "tools/data/demo_world.h"

namespace gw::test {
namespace {

std::string viewMessage(QWidget* window) {
    for (QGraphicsItem* item :
         window->findChild<QGraphicsView*>(QStringLiteral("gvMap"))->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item); text && text->isVisible())
            return text->text().toStdString();
    return "";
}

using WorldMapTest = GuiTest;

TEST_F(WorldMapTest, FollowsAndDrivesTheRoomEditor) {
    buildSmallWorld();
    const demo::DemoPlan plan = demo::demoPlan(demo::DemoSize::Small);
    MDIForm1 main(dialogs);
    main.startUp();
    main.findChild<QAction*>(QStringLiteral("mnuWorldMap"))->trigger();
    auto* map =
        dynamic_cast<WorldMapWindow*>(main.subWindow(QStringLiteral("frmWorldMap"))->widget());
    ASSERT_NE(map, nullptr);
    auto* chooser = map->findChild<QComboBox*>(QStringLiteral("cmbMap"));
    ASSERT_EQ(chooser->count(), plan.maps);
    EXPECT_EQ(chooser->currentText().toStdString(),
              "1 (" + std::to_string(plan.roomsPerMap()) + " rooms)");

    const MapPicture& picture = map->picture();
    auto selected = [&] { return picture.rooms()[*picture.highlight()].number; };
    const std::string fifth = picture.rooms()[4].name;
    EXPECT_TRUE(map->find(QString::fromLatin1(fifth.substr(0, fifth.size() - 1)).toLower()));
    EXPECT_EQ(fifth.rfind(picture.rooms()[static_cast<std::size_t>(selected() - 1)].name, 0), 0u);
    EXPECT_FALSE(map->find(QStringLiteral("999999")));
    EXPECT_EQ(map->findChild<QLabel*>(QStringLiteral("lblStatus"))->text().toStdString(),
              "Map 1 has no room 999999.");

    // Return on a room opens the Room editor on it; the editor's steps move the highlight.
    ASSERT_TRUE(map->find(QStringLiteral("3")));
    map->openSelected();
    QWidget* rooms = main.subWindow(QStringLiteral("frmRoom"))->widget();
    EXPECT_EQ(rooms->findChild<QLineEdit*>(QStringLiteral("txtRoom"))->text().toStdString(), "3");
    rooms->findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
    EXPECT_EQ(selected(), 4);

    // A save that takes an exit away (room 4's only one, South) redraws the map without it.
    ASSERT_NE(picture.rooms()[*picture.roomOfNumber(4)].exit[1], 0);
    rooms->findChild<QLineEdit*>(QStringLiteral("txtRoomExit_1"))->setText(QStringLiteral("0"));
    rooms->findChild<QPushButton*>(QStringLiteral("cmdPrevious"))->click();
    EXPECT_EQ(picture.rooms()[*picture.roomOfNumber(4)].exit[1], 0);
    EXPECT_EQ(selected(), 3);

    chooser->setCurrentIndex(1);
    emit chooser->activated(1);
    EXPECT_EQ(picture.map(), 2);
    ASSERT_TRUE(map->find(QStringLiteral("5")));
    EXPECT_TRUE(map->grab().save(QStringLiteral(GRAVEWIND_TEST_OUTPUT_DIR "/frmWorldMap.png")));
    EXPECT_EQ(said(), "");
    EXPECT_TRUE(main.close());
}

TEST_F(WorldMapTest, NothingToDrawSaysSoInTheView) {
    open(createWorldMap);  // no Room file at all
    EXPECT_EQ(
        viewMessage(window.get()).rfind("The Room file wccmp002.dat cannot be read: BOPEN", 0), 0u);
    create({RecordKind::Room});
    open(createWorldMap);
    EXPECT_EQ(viewMessage(window.get()), "The Room file has no rooms.");
    EXPECT_EQ(said(), "");
}

}  // namespace
}  // namespace gw::test
