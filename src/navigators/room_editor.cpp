// frmRoom: steps through the rooms of wccmp002.dat by map and room number, edits a room,
// inserts and deletes rooms, and draws the room shown on the mini map.
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <string>

#include "navigators/mini_map.h"
#include "navigators/navigator.h"
#include "navigators/navigator_windows.h"
#include "records/number_text.h"
#include "records/room.h"
#include "records/text_fields.h"
#include "records/value_lists.h"
#include "shell/dialogs.h"
#include "shell/form_layout.h"
#include "shell/latin1.h"
#include "shell/name_lookups.h"
#include "shell/record_form.h"
#include "shell/world.h"
#include "store/record_file.h"

namespace gw {

namespace {

constexpr const char* kInsertPrefix = "cmdInsert, BINSERT, Error: ";
constexpr const char* kDeletePrefix = "cmdDelete, Error: ";
constexpr int kDirections = static_cast<int>(values::kDirectionCount);

const NavigatorDescription kRoomNavigator{
    .windowName = "frmRoom",
    .caption = "Room Editor",
    .kind = RecordKind::Room,
    .reports = {"LoadRoom, BGETFIRST, Room, Error: ", "SaveRecord, BUPDATE: ",
                "cmdFirst_Click, BGETFIRST, Room, Error: ",
                "cmdPrevious_Click, BGETPREVIOUS, Room, Error: ",
                "cmdNext_Click, BGETNEXT, Room, Error: ", "cmdLast_Click, BGETLAST, Room, Error: ",
                "cmdGoto_Click(), BGETEQUAL, Room, Error: "},
    // Goto reads two boxes, txtGotoMap and txtGotoRoom, which the window makes itself.
    .gotoBox = nullptr,
};

const Binding kRoomBindings[] = {
    numberBinding("txtMap", "MapNumber"),
    numberBinding("txtRoom", "RoomNumber"),
    {.control = "txtName", .field = "Name", .conversion = Conversion::ZeroEndedText},
    {.control = "txtAnsiMap", .field = "AnsiMap", .conversion = Conversion::BlankFilledText},
    {.control = "txtType",
     .field = "RoomType",
     .conversion = Conversion::ListIndex,
     .items = values::kRoomTypes},
    numberBinding("txtShopNum", "ShopNum"),
    numberBinding("txtMinIndex", "MinIndex"),
    numberBinding("txtMaxIndex", "MaxIndex"),
    numberBinding("txtPermNPC", "PermNPC"),
    numberBinding("txtLight", "Light"),
    {.control = "cmbMonsterType",
     .field = "MonsterType",
     .conversion = Conversion::ListIndex,
     .items = values::kMonsterGroups},
    numberBinding("txtMaxRegen", "MaxRegen"),
    numberBinding("txtDeathRoom", "DeathRoom"),
    numberBinding("txtCmdText", "CmdText"),
    numberBinding("txtDelay", "Delay"),
    numberBinding("txtMaxArea", "MaxArea"),
    numberBinding("txtControlRoom", "ControlRoom"),
    numberBinding("txtRunic", "Runic"),
    numberBinding("txtPlatinum", "Platinum"),
    numberBinding("txtGold", "Gold"),
    numberBinding("txtSilver", "Silver"),
    numberBinding("txtCopper", "Copper"),
    numberBinding("txtSpell", "Spell"),
    numberBinding("txtExitRoom", "ExitRoom"),
    numberBinding("txtAttributes", "Attributes"),
    {.control = "txtDesc", .field = "Desc", .conversion = Conversion::TrimmedZeroEnded, .count = 7},
    numberBinding("txtRoomItems", "RoomItems", 17, "txtRoomItemsName", itemNameOf),
    numberBinding("txtInvisItems", "InvisItems", 15, "txtInvisItemsName", itemNameOf),
    numberBinding("txtCurrentRoomMon", "CurrentRoomMon", 15, "txtCurrentRoomMonName",
                  monsterNameOf),
    numberBinding("txtRoomExit", "RoomExit", kDirections),
    {.control = "txtRoomType",
     .field = "ExitType",
     .conversion = Conversion::ListIndex,
     .count = kDirections,
     .items = values::kExitTypes},
    numberBinding("txtRoomPara", "RoomPara", kDirections),
    numberBinding("txtRoomWPara", "RoomWPara", kDirections),
    numberBinding("txtRoomLPara1", "RoomLPara1", kDirections),
    numberBinding("txtRoomLPara2", "RoomLPara2", kDirections),
    numberBinding("txtPlacedItems", "PlacedItems", kDirections, "txtPlacedItemsName", itemNameOf),
};

// Rows of the Exits tab from the top, as direction slots: NW N NE W E SW S SE U D.
constexpr int kExitRows[] = {5, 0, 4, 3, 2, 7, 1, 6, 8, 9};

// The advanced settings: (caption, control), a drop-down where the control is one.
constexpr const char* kAdvanced[][2] = {
    {"Shop #", "txtShopNum"},
    {"Min Index", "txtMinIndex"},
    {"Max Index", "txtMaxIndex"},
    {"PermNPC", "txtPermNPC"},
    {"Light", "txtLight"},
    {"Max Regen", "txtMaxRegen"},
    {"Death Room", "txtDeathRoom"},
    {"Cmd Text", "txtCmdText"},
    {"Delay", "txtDelay"},
    {"MaxArea", "txtMaxArea"},
    {"ControlRoom", "txtControlRoom"},
    {"Spell", "txtSpell"},
    {"Exit Room", "txtExitRoom"},
    {"Attributes", "txtAttributes"},
};

QComboBox* listBox(const QString& name, const char* initial) {
    QComboBox* box = dropDown(name);
    box->setCurrentIndex(-1);
    box->setEditText(QString::fromLatin1(initial));
    return box;
}

class RoomEditor final : public Navigator {
public:
    RoomEditor(World& world, QWidget* parent) : Navigator(world, kRoomNavigator, parent) {
        auto* tabs = new QTabWidget;
        tabs->setObjectName(QStringLiteral("SSTab1"));
        tabs->addTab(generalPage(), QStringLiteral("General"));
        tabs->addTab(exitsPage(), QStringLiteral("Exits"));
        tabs->addTab(placedItemsPage(), QStringLiteral("Placed Items"));
        tabs->addTab(currentPage(), QStringLiteral("Current Room Item/Monster"));

        QBoxLayout* navigation = navigationRow({{"cmdInsert", "Insert"}, {"cmdDelete", "Delete"}});
        int at = 0;
        for (const char* name : {"txtGotoMap", "txtGotoRoom"}) {
            QLineEdit* box = numberBox(name);
            box->setText(QStringLiteral("1"));
            box->setToolTip(name == std::string_view("txtGotoMap")
                                ? QStringLiteral("Map to go to")
                                : QStringLiteral("Room to go to"));
            connect(box, &QLineEdit::returnPressed, this, &Navigator::goTo);
            navigation->insertWidget(at++, box);
        }
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(tabs, 1);
        layout->addLayout(navigation);
        connectSteps();
        connect(button("cmdInsert"), &QPushButton::clicked, this, &RoomEditor::insert);
        connect(button("cmdDelete"), &QPushButton::clicked, this, &RoomEditor::remove);
        connect(findChild<QPushButton*>(QStringLiteral("Command1")), &QPushButton::clicked, this,
                &RoomEditor::showMap);
        form_.emplace(this, RecordTraits<Room>::type(), kRoomBindings, &world);
        trackEdits(*form_);
    }

protected:
    void showFields(const void* record) override {
        form_->show(record);
        // Goto starts from the room on screen, wherever the moves have gone since the last
        // Goto: pressing it again stays, changing one box goes next door.
        const Room& room = *static_cast<const Room*>(record);
        box("txtGotoMap")->setText(QString::number(room.MapNumber));
        box("txtGotoRoom")->setText(QString::number(room.RoomNumber));
    }

    QStringList collectFields(void* record) override { return form_->collect(record); }

    std::optional<SearchKey> gotoKey() override {
        QString refusal;
        const auto map =
            readInt32(box("txtGotoMap")->text(), QStringLiteral("txtGotoMap"), refusal);
        const auto room =
            map ? readInt32(box("txtGotoRoom")->text(), QStringLiteral("txtGotoRoom"), refusal)
                : std::nullopt;
        if (!room) {
            dialogs().message(refusal);
            return std::nullopt;
        }
        return int32Key({*map, *room});
    }

private:
    QLineEdit* box(const char* name) const {
        return findChild<QLineEdit*>(QString::fromLatin1(name));
    }

    QWidget* generalPage() {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("tabGeneral"));
        auto* identity = new QGridLayout;
        QLineEdit* map = numberBox("txtMap");
        QLineEdit* room = numberBox("txtRoom");
        map->setEnabled(false), room->setEnabled(false);
        addPackedRow(identity, 0, QStringLiteral("Map"), {map});
        addPackedRow(identity, 1, QStringLiteral("Room"), {room});
        addRow(identity, 2, QStringLiteral("Name"), {textBox(QStringLiteral("txtName"), 53)});

        // The game prints the description on a fixed-pitch terminal, 70 columns wide.
        auto* description = new QGroupBox(QStringLiteral("Description"));
        auto* lines = new QVBoxLayout(description);
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        for (int i = 0; i < 7; ++i) {
            QLineEdit* line = textBox(controlName("txtDesc", i), 70);
            line->setFont(fixed);
            line->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(70, u'M')) + 16);
            lines->addWidget(line);
        }

        auto* advanced = new QGroupBox(QStringLiteral("Advanced"));
        auto* grid = new QGridLayout(advanced);
        addRow(grid, 0, QStringLiteral("Room Type"),
               {listBox(QStringLiteral("txtType"), "Normal")});
        addRow(grid, 1, QStringLiteral("Monster Type"),
               {listBox(QStringLiteral("cmbMonsterType"), "Lair")});
        int row = 2;
        // Two columns of number boxes under the drop-downs.
        for (std::size_t i = 0; i < std::size(kAdvanced); ++i) {
            auto* label = new QLabel(QString::fromLatin1(kAdvanced[i][0]));
            QLineEdit* value = numberBox(kAdvanced[i][1]);
            label->setBuddy(value);
            const int column = static_cast<int>(i % 2) * 2;
            grid->addWidget(label, row + static_cast<int>(i / 2), column);
            grid->addWidget(value, row + static_cast<int>(i / 2), column + 1);
        }
        row += static_cast<int>((std::size(kAdvanced) + 1) / 2);
        addRow(grid, row, QStringLiteral("Ansi Map"), {textBox(QStringLiteral("txtAnsiMap"), 12)});
        grid->setColumnStretch(4, 1);

        auto* layout = new QVBoxLayout(page);
        layout->addLayout(identity);
        layout->addWidget(description);
        layout->addWidget(advanced);
        layout->addStretch(1);
        return page;
    }

    QWidget* exitsPage() {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("tabExits"));
        auto* grid = new QGridLayout;
        const char* columns[] = {"Room #", "Exit Type", "Para1", "Para2", "Para3", "Para4"};
        for (int c = 0; c < 6; ++c)
            grid->addWidget(new QLabel(QString::fromLatin1(columns[c])), 0, c + 1);
        int row = 1;
        for (int slot : kExitRows) {
            QComboBox* type = listBox(controlName("txtRoomType", slot), "Normal");
            addRow(grid, row++, fromGame(values::kExitRowLabels[static_cast<std::size_t>(slot)]),
                   {numberBox(controlName("txtRoomExit", slot)), type,
                    numberBox(controlName("txtRoomPara", slot)),
                    numberBox(controlName("txtRoomWPara", slot)),
                    numberBox(controlName("txtRoomLPara1", slot)),
                    numberBox(controlName("txtRoomLPara2", slot))});
        }
        grid->setColumnStretch(7, 1);
        auto* map = new QPushButton(QStringLiteral("MAP"));
        map->setObjectName(QStringLiteral("Command1"));
        map->setAutoDefault(false);
        map->setToolTip(QStringLiteral("Draw this room and its exits on the mini map"));
        auto* layout = new QVBoxLayout(page);
        layout->addLayout(grid);
        layout->addWidget(map, 0, Qt::AlignLeft);
        layout->addStretch(1);
        return page;
    }

    // A frame of record number boxes, each with the name of what it points at beside it.
    QGroupBox* namedNumbers(const char* caption, const char* base, int count, int nameLimit) {
        auto* frame = new QGroupBox(QString::fromLatin1(caption));
        auto* grid = new QGridLayout(frame);
        for (int i = 0; i < count; ++i) {
            QLineEdit* number = numberBox(controlName(base, i));
            QLineEdit* name =
                textBox(controlName((std::string(base) + "Name").c_str(), i), nameLimit);
            name->setEnabled(false);
            name->setMinimumWidth(name->fontMetrics().horizontalAdvance(QString(24, u'x')));
            grid->addWidget(number, i, 0);
            grid->addWidget(name, i, 1);
        }
        grid->setRowStretch(count, 1);
        return frame;
    }

    QWidget* placedItemsPage() {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("tabPlacedItems"));
        auto* cash = new QGroupBox(QStringLiteral("Cash"));
        auto* grid = new QGridLayout(cash);
        int row = 0;
        for (const char* coin : {"Runic", "Platinum", "Gold", "Silver", "Copper"})
            addRow(grid, row++, QString::fromLatin1(coin),
                   {numberBox(QStringLiteral("txt") + QString::fromLatin1(coin))});
        grid->setRowStretch(row, 1);
        auto* layout = new QHBoxLayout(page);
        layout->addWidget(namedNumbers("Placed Items", "txtPlacedItems", kDirections, 30), 0,
                          Qt::AlignTop);
        layout->addWidget(namedNumbers("Invisible Items", "txtInvisItems", 15, 0), 0, Qt::AlignTop);
        layout->addWidget(cash, 0, Qt::AlignTop);
        return page;
    }

    QWidget* currentPage() {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("tabCurrent"));
        auto* layout = new QHBoxLayout(page);
        layout->addWidget(namedNumbers("Current Items In Room", "txtRoomItems", 17, 0));
        layout->addWidget(namedNumbers("Current Monsters In Room", "txtCurrentRoomMon", 15, 0));
        return page;
    }

    // Boxes back to what a window that shows nothing holds.
    void showInitialTexts() {
        for (QLineEdit* line : findChildren<QLineEdit*>())
            if (!line->objectName().startsWith(QStringLiteral("txtGoto"))) line->clear();
        for (QComboBox* list : findChildren<QComboBox*>()) list->setCurrentIndex(0);
    }

    void insert() {
        if (saveRecord() == SaveOutcome::Refused) return;
        const auto map = askInsertNumber("New Map Number:", "99");
        if (!map) return;
        const auto room = askInsertNumber("New Room Number:", "9999");
        if (!room) return;
        // The copy is of the room shown as it stands now; with nothing shown, of a blank one.
        if (isShowing()) {
            if (positionOnShown(kInsertPrefix) != status::kSuccess) return;
            collectFields(file().record());
        } else {
            std::fill(file().row().begin(), file().row().end(), std::uint8_t{0});
            file().rowToRecord();
        }
        Room& r = file().as<Room>();
        r.MapNumber = *map;
        r.RoomNumber = *room;
        r.CurrentRoomMon.fill(0);
        const std::string name = zeroEnded("New Room", r.Name.size());
        std::copy(name.begin(), name.end(), r.Name.begin());
        // A refused insert leaves the shown room current: the next save reads it again.
        if (file().call(BINSERT, kInsertPrefix) == status::kSuccess) {
            world().history().wrote({RecordKind::Room, {}, rowOf(file())});
            showRecord();
            world().events().recordWritten(RecordKind::Room, file().row().first(8));
        }
    }

    void remove() {
        if (saveRecord() == SaveOutcome::Refused) return;
        if (!deleteShown(kDeletePrefix)) return;
        showInitialTexts();
        if (file().call(BGETFIRST, description().reports.first) == status::kSuccess) showRecord();
    }

    void showMap() {
        MiniMapSource source;
        source.map = box("txtMap")->text();
        source.room = box("txtRoom")->text();
        source.name = box("txtName")->text();
        for (int i = 0; i < kDirections; ++i) {
            const auto at = static_cast<std::size_t>(i);
            source.exits[at] = findChild<QLineEdit*>(controlName("txtRoomExit", i))->text();
            source.exitTypes[at] =
                findChild<QComboBox*>(controlName("txtRoomType", i))->currentText();
        }
        openMiniMap(world(), this, source);
    }

    std::optional<RecordForm> form_;
};

}  // namespace

QWidget* createRoomEditor(World& world, QWidget* parent) {
    return openNavigator<RoomEditor>(world, parent);
}

}  // namespace gw
