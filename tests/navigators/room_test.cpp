// frmRoom and the mini map frmMap on real files: Goto, Insert and Delete, the writes that
// must land on the room shown however the lookups moved the file, and the map's boxes.
#include "records/room.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <array>
#include <cstring>

#include "gui_test.h"
#include "navigators/mini_map.h"
#include "navigators/navigator_windows.h"
#include "records/item.h"
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

template <class T>
T peek(const Row& row, std::size_t at) {
    T value{};
    std::memcpy(&value, row.data() + at, sizeof value);
    return value;
}
void poke(Row& row, std::size_t at, const void* bytes, std::size_t n) {
    std::memcpy(row.data() + at, bytes, n);
}

class RoomTest : public GuiTest {
protected:
    void SetUp() override { create({kRoom, RecordKind::Item, RecordKind::Monster}); }
    void room(const Room& r) { add(kRoom, r, std::uint8_t(0x80 + r.RoomNumber)); }
    Row stored(std::int32_t map, std::int32_t number) {
        for (Row& row : all(kRoom))
            if (peek<std::int32_t>(row, 0) == map && peek<std::int32_t>(row, 4) == number)
                return row;
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
    void closeMap(MiniMap* map) {
        map->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    }
    // Three rooms of map 1 and one of map 2; (1,1) leads North to (1,2) and Up to (1,3).
    void openOnFour() {
        Room hall = makeRoom(1, 1, "Hall");
        hall.RoomExit[0] = 2, hall.RoomExit[8] = 3, hall.ExitType[8] = 7;
        room(hall);
        Room yard = makeRoom(1, 2, "Yard");
        yard.RoomExit[1] = 1;
        room(yard);
        room(makeRoom(1, 3, "Loft"));
        room(makeRoom(2, 1, "Cellar"));
        open(createRoomEditor);
    }
};

TEST_F(RoomTest, GotoAndTheMapsLookupsDoNotMisdirectTheNextSave) {
    openOnFour();
    EXPECT_EQ(texts({"txtMap", "txtRoom", "txtName", "txtLight", "txtCopper"}),
              "1 1 Hall -7 100001");
    EXPECT_FALSE(child<QLineEdit>("txtMap")->isEnabled() ||
                 child<QLineEdit>("txtRoom")->isEnabled());
    click("cmdLast");
    EXPECT_EQ(text("txtName"), "Cellar");
    EXPECT_EQ(texts({"txtGotoMap", "txtGotoRoom"}), "2 1");  // the room on screen

    SCOPED_TRACE("Goto a missing room, then bad text: no move, no write");
    goTo("1", "9");
    EXPECT_EQ(said(), "cmdGoto_Click(), BGETEQUAL, Room, Error: 4 (no record has this key)");
    EXPECT_EQ(text("txtName"), "Cellar");
    const std::vector<Row> before = all(kRoom);
    type("txtName", "not written");
    using Pair = std::pair<const char*, const char*>;
    for (auto [map, number] : {Pair{"x", "1"}, Pair{"1", ""}, Pair{"1", "99999999999"}}) {
        dialogs.clear();
        goTo(map, number);
        EXPECT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(said().starts_with("txtGoto")) << said();
        EXPECT_EQ(all(kRoom), before);
    }
    dialogs.clear();
    type("txtName", "Cellar");
    goTo("1", "2");
    EXPECT_EQ(texts({"txtMap", "txtRoom", "txtName", "txtRoomExit_1"}), "1 2 Yard 1");

    SCOPED_TRACE("an unsaved exit is drawn with its room's stored name; the save after it");
    type("txtName", "Yard, edited");
    type("txtRoomExit_0", "3");  // North to the loft, not saved yet
    MiniMap* map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_FALSE(window->isEnabled());
    EXPECT_EQ(labels(map, {"info2_0", "rname2_0", "etype_0", "rname2_1", "info", "rname", "exits"}),
              "Map: 1 Room: 3|Loft|Exit Type: Normal|Hall|Map: 1 Room: 2|Yard, edited|"
              "Obvious Exits: North, South.");
    map->close();  // as its title bar does
    EXPECT_TRUE(window->isEnabled());
    click("cmdNext");
    EXPECT_EQ(text("txtName"), "Loft");
    Row expected = before[1];
    const std::int32_t north = 3;
    poke(expected, 8, zeroEnded("Yard, edited", 53).data(), 53), poke(expected, 572, &north, 4);
    EXPECT_EQ(stored(1, 2), expected);
    EXPECT_EQ(stored(1, 3), before[2]);
    EXPECT_EQ(said(), "");
}

TEST_F(RoomTest, InsertAndDeleteActOnTheRoomShown) {
    openOnFour();
    const std::vector<Row> before = all(kRoom);
    SCOPED_TRACE("Cancel at either prompt, or a bad answer, inserts nothing");
    type("txtLight", "12");
    dialogs.answerPrompts({"", "5", "", "5", "x"});
    for (int i = 0; i < 3; ++i) click("cmdInsert");
    EXPECT_EQ(joined(dialogs.prompts, "/"),
              "New Map Number:|Insert|99/New Map Number:|Insert|99/New Room Number:|Insert|9999/"
              "New Map Number:|Insert|99/New Room Number:|Insert|9999");
    EXPECT_EQ(said(),
              "New Room Number: \"x\" is not a whole number from -2147483648 to 2147483647.");
    EXPECT_EQ(all(kRoom).size(), 4u);
    EXPECT_EQ(peek<std::int16_t>(stored(1, 1), 848), 12);

    SCOPED_TRACE("an existing pair is refused; the next save still writes the room shown");
    dialogs.clear();
    dialogs.answerPrompts({"2", "1"});
    click("cmdInsert");
    EXPECT_EQ(said(), "cmdInsert, BINSERT, Error: 23 (a record with this key already exists)");
    EXPECT_EQ(text("txtName"), "Hall");
    click("cmdNext");
    click("cmdPrevious");
    EXPECT_EQ(nameOf(stored(2, 1)), "Cellar");
    EXPECT_EQ(nameOf(stored(1, 1)), "Hall");

    SCOPED_TRACE("a new room is a copy under the new pair, named New Room, no monsters");
    dialogs.clear();
    type("txtName", "Hall, typed");
    dialogs.answerPrompts({"7", "70"});
    GetRoomName(world, 2, 1);  // the file is elsewhere when Insert begins
    click("cmdInsert");
    EXPECT_EQ(texts({"txtMap", "txtRoom", "txtName", "txtCurrentRoomMon_0"}), "7 70 New Room 0");
    Row copy = stored(1, 1);
    EXPECT_EQ(nameOf(copy), "Hall, typed");
    const std::int32_t key[] = {7, 70};
    const std::array<std::uint8_t, 30> noMonsters{};
    poke(copy, 0, key, 8), poke(copy, 8, zeroEnded("New Room", 53).data(), 53);
    poke(copy, 772, noMonsters.data(), 30);
    EXPECT_EQ(stored(7, 70), copy) << "every other byte, the tail included, is the shown room's";

    SCOPED_TRACE("Delete: No writes back only; Yes deletes the room shown and shows the first");
    type("txtName", "Copy");
    dialogs.answerQuestions({false, true});
    click("cmdDelete");
    EXPECT_EQ(nameOf(stored(7, 70)), "Copy");
    EXPECT_EQ(all(kRoom).size(), 5u);
    GetRoomName(world, 1, 2);
    click("cmdDelete");
    EXPECT_EQ(joined(dialogs.questions),
              "Delete this record from database?|Delete Record?\n"
              "Delete this record from database?|Delete Record?");
    EXPECT_TRUE(stored(7, 70).empty());
    EXPECT_EQ(nameOf(stored(1, 2)), "Yard");
    EXPECT_EQ(text("txtName"), "Hall, typed");

    SCOPED_TRACE("deleting the last room leaves nothing shown; Delete then deletes nothing");
    dialogs.clear();
    dialogs.answerQuestions({true, true, true, true});
    for (int i = 0; i < 4; ++i) click("cmdDelete");
    EXPECT_EQ(said(), "cmdFirst_Click, BGETFIRST, Room, Error: 9 (end or beginning of file)");
    EXPECT_EQ(texts({"txtMap", "txtName", "txtType"}), "  Normal");
    dialogs.clear();
    dialogs.answerQuestions({true});
    click("cmdDelete");
    EXPECT_EQ(said(), "cmdDelete, Error: 24 (no current record to update or delete)");
    dialogs.clear();
    dialogs.answerPrompts({"1", "1"});
    click("cmdInsert");
    EXPECT_EQ(texts({"txtMap", "txtRoom", "txtName", "txtRoomExit_0"}), "1 1 New Room 0");
    EXPECT_EQ(all(kRoom).size(), 1u);
    EXPECT_EQ(said(), "");
}

TEST_F(RoomTest, TypesWithoutAnEntryAndUnreadableBoxesKeepTheirStoredValues) {
    Room odd = makeRoom(1, 1, "Odd");
    odd.ExitType[2] = 30, odd.RoomType = -3, odd.MonsterType = 70000;
    odd.CurrentRoomMon[1] = 9;  // no such monster
    room(odd);
    put(RecordKind::Monster, [](RecordFile& f) {
        f.as<Monster>().Number = 3;
        setField(f.as<Monster>().Name, zeroEnded("Rat", 29));
    });
    room(makeRoom(1, 2, "Next"));
    open(createRoomEditor);
    EXPECT_EQ(texts({"txtRoomType_2", "txtType", "cmbMonsterType", "txtRoomType_3"}),
              "30 -3 70000 Normal");
    EXPECT_EQ(
        texts({"txtCurrentRoomMonName_0", "txtCurrentRoomMonName_1", "txtCurrentRoomMonName_2"}),
        "Rat MONSTER NOT IN DATABASE! none");
    const Row before = stored(1, 1);
    click("cmdNext");
    click("cmdPrevious");
    EXPECT_EQ(stored(1, 1), before);

    SCOPED_TRACE("a number box that cannot be read: a message, no write, no move");
    type("txtLight", "1.5x");
    type("txtShopNum", "40000");
    type("txtName", "kept on screen");
    click("cmdNext");
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(said().find("Light: \"1.5x\""), std::string::npos) << said();
    EXPECT_NE(said().find("Shop #: \"40000\""), std::string::npos) << said();
    EXPECT_NE(said().find("-32768 to 32767"), std::string::npos);
    EXPECT_EQ(text("txtName"), "kept on screen");
    EXPECT_EQ(stored(1, 1), before);

    SCOPED_TRACE("picking an entry stores it");
    dialogs.clear();
    type("txtLight", "1"), type("txtShopNum", "2");
    child<QComboBox>("txtRoomType_2")->setCurrentIndex(24);
    child<QComboBox>("cmbMonsterType")->setCurrentIndex(39);
    click("cmdNext");
    EXPECT_EQ(
        std::pair(peek<std::int16_t>(stored(1, 1), 616), peek<std::int32_t>(stored(1, 1), 1092)),
        std::pair(std::int16_t(24), 39));
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("a monster's name follows typing, quietly");
    typeKeys("txtCurrentRoomMon_2", "3");
    EXPECT_EQ(text("txtCurrentRoomMonName_2"), "Rat");
    typeKeys("txtCurrentRoomMon_2", "35");
    EXPECT_EQ(text("txtCurrentRoomMonName_2"), "MONSTER NOT IN DATABASE!");
    EXPECT_EQ(said(), "");
}

TEST_F(RoomTest, TheMiniMapsBoxes) {
    Room up = makeRoom(1, 1, "Stairwell");
    up.RoomExit[8] = 2, up.RoomExit[9] = 5, up.ExitType[9] = 7;  // room 5 is missing
    up.RoomExit[3] = 5;                                          // West, to the same one
    room(up);
    room(makeRoom(1, 2, "Landing"));
    room(makeRoom(1, 3, "Nowhere"));
    open(createRoomEditor);
    MiniMap* map = openMap();
    ASSERT_NE(map, nullptr);
    // Once for room 5.
    EXPECT_EQ(said(), "Function GetRoomName, BGETEQUAL, Room, Error: 4 (no record has this key)");
    EXPECT_EQ(colours(map), "wwwbwwwwbbb");
    EXPECT_EQ(labels(map, {"rname2_8", "etype_9", "rname2_9", "exits"}),
              "Landing|Exit Type: Door||Obvious Exits: West, UP, Down.");
    closeMap(map);
    EXPECT_TRUE(window->isEnabled());

    SCOPED_TRACE("no exits, and exit texts that are not numbers");
    dialogs.clear();
    goTo("1", "3");
    type("txtRoomExit_4", "north-ish");
    map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(colours(map), "wwwwwwwwwwb");
    EXPECT_EQ(labels(map, {"info2_4", "rname2_4", "etype_4", "exits"}), "|||Obvious Exits.");
    closeMap(map);

    SCOPED_TRACE("all ten exits: the list fits the room's box, whole in its tooltip");
    Room cross = makeRoom(1, 4, "Crossroads");
    cross.RoomExit.fill(2);
    room(cross);
    type("txtRoomExit_4", "0");
    goTo("1", "4");
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

TEST_F(RoomTest, WideValuesShowWholeAndEachRoomReportsOneFailedLookup) {
    Room hall = makeRoom(1, 1, "Hall");
    hall.RoomLPara2[0] = -2000000000, hall.Copper = -2000000000;
    hall.PlacedItems[0] = 3, hall.RoomItems[2] = 4;  // and monster 3 in the room
    room(hall);
    room(makeRoom(1, 2, "Yard"));
    for (RecordKind kind : {RecordKind::Item, RecordKind::Monster})
        ASSERT_EQ(world.file(kind).close(""), 0);
    open(createRoomEditor);
    ASSERT_EQ(dialogs.messages.size(), 1u) << said();
    EXPECT_TRUE(dialogs.messages[0].starts_with("Function GetItemName, BGETEQUAL, Error: "));
    click("cmdNext");
    EXPECT_EQ(dialogs.messages.size(), 2u) << said();  // its monster
    click("cmdPrevious");
    for (const char* name : {"txtRoomLPara2_0", "txtCopper"}) {
        SCOPED_TRACE(name);
        auto* box = child<QLineEdit>(name);
        EXPECT_EQ(box->text().toStdString(), "-2000000000");
        EXPECT_EQ(box->cursorPosition(), 0);
        EXPECT_GT(box->minimumWidth(), box->fontMetrics().horizontalAdvance(box->text()));
    }
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
    // Closed by its title bar, or by the map's own Close; the next MAP makes one frame again.
    main.mdiArea()->activeSubWindow()->close();
    EXPECT_TRUE(editor->isEnabled());
    for (int press = 0; press < 2; ++press) {
        SCOPED_TRACE(press);
        map->click();
        EXPECT_EQ(main.mdiArea()->subWindowList().size(), 2);
        main.mdiArea()
            ->activeSubWindow()
            ->widget()
            ->findChild<QPushButton*>(QStringLiteral("Command1"))
            ->click();
        QCoreApplication::processEvents();
        EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
        EXPECT_TRUE(editor->isEnabled());
    }
    map->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main.mdiArea()->activeSubWindow()->widget()->grab().save(
        QStringLiteral(GRAVEWIND_TEST_OUTPUT_DIR "/frmMap.png")));
    EXPECT_TRUE(main.close());  // the editor and its map with it
    EXPECT_EQ(said(), "");
}

}  // namespace
}  // namespace gw::test
