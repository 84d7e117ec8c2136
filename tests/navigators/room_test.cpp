// frmRoom and its mini map frmMap on real files: the room's boxes, Goto by map and room, Insert
// and Delete, and the map's boxes.
#include "records/room.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <cstring>

#include "gui_test.h"
#include "navigators/mini_map.h"
#include "navigators/navigator_windows.h"
#include "records/monster.h"
#include "shell/main_window.h"
#include "shell/record_form.h"

namespace gw::test {
namespace {

constexpr auto kRoom = RecordKind::Room;

// A room whose unshown fields and row tail differ from every other room's.
Room makeRoom(std::int32_t map, std::int32_t number, const char* name) {
    Room r = renamed(Room{}, name);
    r.MapNumber = map, r.RoomNumber = number;
    for (auto& line : r.Desc) setField(line, zeroEnded("", line.size()));
    setField(r.AnsiMap, "");
    r.RoomReserved1.fill(map * 1000 + number), r.RoomReserved8.fill(std::int16_t(-number));
    r.RoomReserved10 = 0x01020304 * number;
    r.Light = std::int16_t(-7 * number), r.Copper = 100000 + number;
    r.CurrentRoomMon[0] = 3;
    return r;
}

void poke(Row& row, std::size_t at, const void* bytes, std::size_t n) {
    std::memcpy(row.data() + at, bytes, n);
}

class RoomTest : public GuiTest {
protected:
    void SetUp() override { create({kRoom, RecordKind::Item, RecordKind::Monster}); }
    void room(const Room& r) { add(kRoom, r, std::uint8_t(0x80 + r.RoomNumber)); }
    Row stored(std::int32_t map, std::int32_t number) {
        const std::int32_t key[] = {map, number};
        for (Row& row : all(kRoom))
            if (std::memcmp(row.data(), key, sizeof key) == 0) return row;
        return {};
    }
    std::string nameOf(const Row& row) {
        if (row.empty()) return "none";
        return std::string(shownText({reinterpret_cast<const char*>(row.data()) + 8, 53}));
    }
    void goTo(const char* map, const char* number) {
        type("txtGotoMap", map), type("txtGotoRoom", number);
        click("cmdGoto");
    }
    // The mini map MAP opens (a window of its own beside a lone editor); its labels joined by
    // "|" and its boxes' colours by their initials.
    MiniMap* openMap() {
        click("Command1");
        return miniMap();
    }
    MiniMap* miniMap() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* map = dynamic_cast<MiniMap*>(w); map && map->isVisible()) return map;
        return nullptr;
    }
    std::string labels(MiniMap* map, std::initializer_list<const char*> names) {
        std::vector<std::string> out;
        for (const char* name : names) {
            auto* l = map->findChild<QLabel*>(QString::fromLatin1(name));
            out.push_back(l ? l->text().toStdString() : "no " + std::string(name));
        }
        return joined(out, "|");
    }
    std::string colours(MiniMap* map) {
        std::string out;
        for (int i = 0; i <= 10; ++i) {
            const QColor c = map->findChild<QWidget*>(controlName("Picture1", i))
                                 ->palette()
                                 .color(QPalette::Window);
            out += c == Qt::black ? 'b' : c == Qt::white ? 'w' : 'o';
        }
        return out;
    }
    // Hall (1,1) leads North to the Yard (1,2), Up through a door to the Loft (1,3), and West
    // and Down to a room 5 that is missing; the Cellar is (2,1). The hall holds numbers no list
    // entry names, monsters 3 (the Rat) and 9 (none such), items and a wide number.
    void openOnFour() {
        Room hall = makeRoom(1, 1, "Hall");
        hall.RoomExit[0] = 2, hall.RoomExit[8] = 3, hall.ExitType[8] = 7;
        hall.RoomExit[3] = 5, hall.RoomExit[9] = 5, hall.ExitType[9] = 7;
        hall.ExitType[2] = 30, hall.RoomType = -3, hall.MonsterType = 70000;
        hall.CurrentRoomMon[1] = 9, hall.PlacedItems[0] = 3, hall.Copper = -2000000000;
        room(hall);
        Room yard = makeRoom(1, 2, "Yard");
        yard.RoomExit[1] = 1;
        room(yard);
        room(makeRoom(1, 3, "Loft"));
        room(makeRoom(2, 1, "Cellar"));
        put(RecordKind::Monster, [](RecordFile& f) {
            f.as<Monster>().Number = 3;
            setField(f.as<Monster>().Name, zeroEnded("Rat", 29));
        });
        open(createRoomEditor);
    }
};

TEST_F(RoomTest, ShowsGoesToAndSavesTheRoomShown) {
    openOnFour();
    EXPECT_EQ(texts({"txtMap", "txtRoom", "txtName", "txtLight", "txtRoomType_2", "txtType",
                     "cmbMonsterType", "txtRoomType_3", "txtCurrentRoomMonName_0",
                     "txtCurrentRoomMonName_1", "txtCurrentRoomMonName_2"}),
              "1 1 Hall -7 30 -3 70000 Normal Rat MONSTER NOT IN DATABASE! none");
    EXPECT_FALSE(child<QLineEdit>("txtMap")->isEnabled() ||
                 child<QLineEdit>("txtRoom")->isEnabled());
    auto* copper = child<QLineEdit>("txtCopper");  // shown whole, from its start
    EXPECT_EQ(copper->text().toStdString() + "|" + std::to_string(copper->cursorPosition()),
              "-2000000000|0");
    EXPECT_GT(copper->minimumWidth(), copper->fontMetrics().horizontalAdvance(copper->text()));

    SCOPED_TRACE("a number box that cannot be read: a message, no write, no move");
    const std::vector<Row> before = all(kRoom);
    type("txtLight", "1.5x");
    click("cmdNext");
    EXPECT_EQ(
        said(),
        "Light: \"1.5x\" is not a whole number from -32768 to 32767; the stored value is kept.");
    EXPECT_EQ(texts({"txtName", "txtLight"}), "Hall 1.5x");
    EXPECT_EQ(all(kRoom), before);

    SCOPED_TRACE("picking an entry stores it; the numbers no entry names are kept");
    dialogs.clear();
    type("txtLight", "1");
    child<QComboBox>("txtRoomType_2")->setCurrentIndex(24);
    child<QComboBox>("cmbMonsterType")->setCurrentIndex(39);
    click("cmdNext");
    Row hall = before[0];
    const std::int16_t light = 1, exitType = 24;
    const std::int32_t monsterType = 39;
    poke(hall, 848, &light, 2), poke(hall, 616, &exitType, 2), poke(hall, 1092, &monsterType, 4);
    EXPECT_EQ(stored(1, 1), hall);
    click("cmdNext");  // from the room shown, not from where the look above left the file
    EXPECT_EQ(text("txtName"), "Loft");

    SCOPED_TRACE("Goto: its boxes follow the room shown; a missing room or bad text stays");
    click("cmdLast");
    EXPECT_EQ(texts({"txtName", "txtGotoMap", "txtGotoRoom"}), "Cellar 2 1");
    goTo("1", "9");
    EXPECT_EQ(said(), "cmdGoto_Click(), BGETEQUAL, Room, Error: 4 (no record has this key)");
    type("txtName", "not written");
    using Pair = std::pair<const char*, const char*>;
    for (auto [map, number] : {Pair{"x", "1"}, Pair{"1", ""}}) {
        SCOPED_TRACE(std::string(map) + "," + number);
        dialogs.clear();
        goTo(map, number);
        EXPECT_TRUE(said().starts_with("txtGoto") && dialogs.messages.size() == 1) << said();
        EXPECT_EQ(nameOf(stored(2, 1)), "Cellar");
    }
    dialogs.clear();
    type("txtName", "Cellar");
    goTo("1", "2");
    EXPECT_EQ(texts({"txtMap", "txtRoom", "txtName", "txtRoomExit_1"}), "1 2 Yard 1");
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("without the item and monster files each room shown reports once");
    for (RecordKind kind : {RecordKind::Item, RecordKind::Monster})
        ASSERT_EQ(world.file(kind).close(""), 0);
    click("cmdFirst");
    EXPECT_EQ(said(), "Function GetMonsterName, BGETEQUAL, Error: 21 (file not open)");
    click("cmdNext");
    EXPECT_EQ(dialogs.messages.size(), 2u) << said();  // its monster
}

TEST_F(RoomTest, InsertAndDeleteActOnTheRoomShown) {
    openOnFour();
    SCOPED_TRACE("Cancel at either prompt, or a bad answer, inserts nothing");
    dialogs.answerPrompts({"", "5", "", "5", "x"});
    for (int i = 0; i < 3; ++i) click("cmdInsert");
    EXPECT_EQ(joined(dialogs.prompts, "/"),
              "New Map Number:|Insert|99/New Map Number:|Insert|99/New Room Number:|Insert|9999/"
              "New Map Number:|Insert|99/New Room Number:|Insert|9999");
    EXPECT_EQ(said(),
              "New Room Number: \"x\" is not a whole number from -2147483648 to 2147483647.");
    EXPECT_EQ(all(kRoom).size(), 4u);

    SCOPED_TRACE("an existing pair is refused; the next save still writes the room shown");
    dialogs.clear();
    dialogs.answerPrompts({"2", "1"});
    click("cmdInsert");
    EXPECT_EQ(said(), "cmdInsert, BINSERT, Error: 23 (a record with this key already exists)");
    type("txtName", "Hall, typed");
    click("cmdNext");
    click("cmdPrevious");
    EXPECT_EQ(nameOf(stored(2, 1)), "Cellar");

    SCOPED_TRACE("a new room is the one shown, saved first, under the new pair, no monsters");
    dialogs.clear();
    type("txtName", "Hall, copied");
    dialogs.answerPrompts({"7", "70"});
    GetRoomName(world, 2, 1);  // the file is elsewhere when Insert begins
    click("cmdInsert");
    EXPECT_EQ(texts({"txtMap", "txtRoom", "txtName", "txtCurrentRoomMon_1"}), "7 70 New Room 0");
    Row copy = stored(1, 1);
    EXPECT_EQ(nameOf(copy), "Hall, copied");
    const std::int32_t key[] = {7, 70};
    poke(copy, 0, key, 8), poke(copy, 8, zeroEnded("New Room", 53).data(), 53);
    std::memset(copy.data() + 772, 0, 30);  // no monsters
    EXPECT_EQ(stored(7, 70), copy) << "every other byte, the tail included, is the shown room's";

    SCOPED_TRACE("Delete: No writes back only; Yes deletes the room shown and shows the first");
    type("txtName", "Copy");
    dialogs.answerQuestions({false, true});
    click("cmdDelete");
    EXPECT_EQ(nameOf(stored(7, 70)), "Copy");
    GetRoomName(world, 1, 2);
    click("cmdDelete");
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_TRUE(stored(7, 70).empty());
    EXPECT_EQ(nameOf(stored(1, 2)), "Yard");
    EXPECT_EQ(text("txtName"), "Hall, copied");

    SCOPED_TRACE("the last room deleted, nothing is shown: typing there writes nothing");
    dialogs.clear();
    dialogs.answerQuestions({true, true, true, true, true});
    for (int i = 0; i < 4; ++i) click("cmdDelete");
    type("txtName", "typed into nothing");
    click("cmdDelete");
    EXPECT_EQ(said(),
              "cmdFirst_Click, BGETFIRST, Room, Error: 9 (end or beginning of file)\n"
              "cmdDelete, Error: 24 (no current record to update or delete)");
    EXPECT_EQ(texts({"txtMap", "txtType"}), " Normal");
    dialogs.clear();
    dialogs.answerPrompts({"1", "1"});
    click("cmdInsert");
    EXPECT_EQ(texts({"txtMap", "txtRoom", "txtName", "txtRoomExit_0"}), "1 1 New Room 0");
    EXPECT_EQ(all(kRoom).size(), 1u);
    EXPECT_EQ(said(), "");
}

// The map draws the editor's boxes as they stand, each exit's room under its stored name; the
// editor takes no input while it is open.
TEST_F(RoomTest, TheMiniMapsBoxes) {
    openOnFour();
    type("txtName", "Hall, edited");
    type("txtRoomExit_1", "3");  // South to the loft, not saved
    MiniMap* map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_FALSE(window->isEnabled());
    // Once for room 5, the room of two exits.
    EXPECT_EQ(said(), "Function GetRoomName, BGETEQUAL, Room, Error: 4 (no record has this key)");
    EXPECT_EQ(colours(map), "bbwbwwwwbbb");
    EXPECT_EQ(labels(map, {"info2_1", "rname2_1", "rname2_0", "etype_8", "rname2_9", "info",
                           "rname", "exits"}),
              "Map: 1 Room: 3|Loft|Yard|Exit Type: Door||Map: 1 Room: 1|Hall, edited|"
              "Obvious Exits: North, South, West, UP, Down.");
    map->close();  // as its title bar does
    EXPECT_TRUE(window->isEnabled());

    SCOPED_TRACE("no exits, and exit texts that are not numbers");
    dialogs.clear();
    goTo("1", "3");
    type("txtRoomExit_4", "north-ish");
    map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(colours(map), "wwwwwwwwwwb");
    EXPECT_EQ(labels(map, {"info2_4", "rname2_4", "etype_4", "exits"}), "|||Obvious Exits.");
    map->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_TRUE(window->isEnabled());

    SCOPED_TRACE("all ten exits: the list fits the room's box, whole in its tooltip");
    for (int i = 0; i < 10; ++i) type(controlName("txtRoomExit", i).toLatin1().constData(), "2");
    map = openMap();
    ASSERT_NE(map, nullptr);
    auto* exits = map->findChild<QLabel*>(QStringLiteral("exits"));
    EXPECT_EQ(exits->toolTip().toStdString(),
              "Obvious Exits: North, South, East, West, North East, North West, South East, "
              "South West, UP, Down.");
    EXPECT_GE(exits->height(), exits->heightForWidth(exits->width()));
    EXPECT_LE(exits->geometry().bottom(), exits->parentWidget()->height());
    window.reset();  // the editor going closes its map
    QCoreApplication::processEvents();
    EXPECT_EQ(miniMap(), nullptr);
    EXPECT_EQ(said(), "");
}

// In the program the map is a frame of its own beside the editor, which waits for it.
TEST_F(GuiTest, TheMiniMapsFrameInTheProgramGoesAndBringsTheEditorBack) {
    buildSmallWorld();
    MDIForm1 main(dialogs);
    main.startUp();
    main.findChild<QAction*>(QStringLiteral("mnuRoom"))->trigger();
    QMdiSubWindow* editor = main.subWindow(QStringLiteral("frmRoom"));
    ASSERT_NE(editor, nullptr);
    auto* map = editor->widget()->findChild<QPushButton*>(QStringLiteral("Command1"));
    map->click();
    EXPECT_FALSE(editor->isEnabled());
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 2);
    main.mdiArea()->activeSubWindow()->close();  // as its title bar does
    EXPECT_TRUE(editor->isEnabled());
    map->click();  // one frame again, closed by the map's own Close
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 2);
    auto* frame = main.mdiArea()->activeSubWindow()->widget();
    frame->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(editor->isEnabled());
    map->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main.mdiArea()->activeSubWindow()->widget()->grab().save(
        QStringLiteral(GRAVEWIND_TEST_OUTPUT_DIR "/frmMap.png")));
    EXPECT_TRUE(main.close());  // the editor and its map with it
    EXPECT_EQ(said(), "");
}

}  // namespace
}  // namespace gw::test
