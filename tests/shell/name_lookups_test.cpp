#include "shell/name_lookups.h"

#include <gtest/gtest.h>

#include "data_files.h"
#include "records/class.h"
#include "records/item.h"
#include "records/message.h"
#include "records/race.h"
#include "records/spell.h"
#include "scripted_dialogs.h"
#include "shell/world.h"

namespace gw {
namespace {

using test::setText;

class NameLookupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::testApplication();
        DataFileInfo probe{"Race", KeySpec::int16(), 126, 0};
        if (createDataFile("probe.dat", probe) != status::kSuccess)
            GTEST_SKIP() << "record manager not available";
        test::createEmptyDataFiles({RecordKind::Race, RecordKind::Class, RecordKind::Spell,
                                    RecordKind::Item, RecordKind::Message});
        world_ = std::make_unique<World>(dialogs_);
        for (RecordKind kind : {RecordKind::Race, RecordKind::Class, RecordKind::Spell,
                                RecordKind::Item, RecordKind::Message})
            ASSERT_EQ(world_->file(kind).open("open: "), status::kSuccess);
    }
    void TearDown() override {
        if (!world_) return;
        for (RecordKind kind : allRecordKinds()) world_->file(kind).close("");
        world_.reset();
        stopRecordManager();
    }

    void insert(RecordKind kind) {
        ASSERT_EQ(world_->file(kind).call(BINSERT, "insert: "), status::kSuccess);
    }
    template <class Rec>
    Rec& blank(RecordKind kind) {
        Rec& r = world_->file(kind).as<Rec>();
        r = Rec{};
        return r;
    }
    void addRace(std::int16_t number, std::string_view name) {
        Race& r = blank<Race>(RecordKind::Race);
        r.Number = number;
        setText(r.Name, name);
        insert(RecordKind::Race);
    }
    void addItem(std::int32_t number, std::string_view name) {
        Item& r = blank<Item>(RecordKind::Item);
        r.Number = number;
        setText(r.Name, name);
        insert(RecordKind::Item);
    }

    test::ScratchDirectory dir_;
    test::ScriptedDialogs dialogs_;
    std::unique_ptr<World> world_;
};

TEST_F(NameLookupsTest, NumberZeroIsNoneWithoutReading) {
    addItem(3, "Rope");
    addItem(8, "Lamp");
    RecordFile& items = world_->file(RecordKind::Item);
    ASSERT_EQ(items.getEqual32(3, "get: "), status::kSuccess);

    EXPECT_EQ(GetItemName(*world_, 0), QStringLiteral("none"));
    EXPECT_EQ(GetSpellName(*world_, 0), QStringLiteral("none"));
    EXPECT_EQ(GetMessageName(*world_, 0, 1), QStringLiteral("none"));
    EXPECT_TRUE(dialogs_.messages().isEmpty());
    // The item file still stands on record 3.
    ASSERT_EQ(items.call(BGETNEXT, "next: "), status::kSuccess);
    EXPECT_EQ(items.as<Item>().Number, 8);
}

TEST_F(NameLookupsTest, FoundNamesAreTheStoredCharactersUntrimmed) {
    addItem(70000, "Rope");
    Spell& spell = blank<Spell>(RecordKind::Spell);
    spell.Number = 12;
    setText(spell.Name, "Fireball");
    insert(RecordKind::Spell);
    Message& message = blank<Message>(RecordKind::Message);
    message.Number = 300;
    setText(message.MessageLine1, "first");
    setText(message.MessageLine2, "second");
    setText(message.MessageLine3, "third");
    insert(RecordKind::Message);

    EXPECT_EQ(GetItemName(*world_, 70000), QStringLiteral("Rope").leftJustified(29));
    EXPECT_EQ(GetSpellName(*world_, 12), QStringLiteral("Fireball").leftJustified(29));
    EXPECT_EQ(GetMessageName(*world_, 300, 1), QStringLiteral("first").leftJustified(74));
    EXPECT_EQ(GetMessageName(*world_, 300, 2), QStringLiteral("second").leftJustified(74));
    EXPECT_EQ(GetMessageName(*world_, 300, 3), QStringLiteral("third").leftJustified(74));
    EXPECT_EQ(GetMessageName(*world_, 300, 4), QString());
    EXPECT_EQ(GetMessageName(*world_, 300, 0), QString());
    EXPECT_TRUE(dialogs_.messages().isEmpty());
}

TEST_F(NameLookupsTest, MissingRecords) {
    {
        SCOPED_TRACE("item: its own text, no message");
        EXPECT_EQ(GetItemName(*world_, 5), QStringLiteral("ITEM NOT IN DATABASE!"));
        EXPECT_TRUE(dialogs_.messages().isEmpty());
    }
    {
        SCOPED_TRACE("spell: reported with 4");
        EXPECT_EQ(GetSpellName(*world_, 5), QString());
        EXPECT_EQ(dialogs_.messages(),
                  QStringList{QStringLiteral("Function GetSpellName, BGETEQUAL, Error: 4")});
    }
    dialogs_.clear();
    {
        SCOPED_TRACE("message: reported with 4");
        EXPECT_EQ(GetMessageName(*world_, 5, 2), QString());
        EXPECT_EQ(dialogs_.messages(),
                  QStringList{QStringLiteral("Function GetMessageName, BGETEQUAL, Error: 4")});
    }
    dialogs_.clear();
    {
        SCOPED_TRACE("item file not open: reported, empty text");
        world_->file(RecordKind::Item).close("");
        EXPECT_EQ(GetItemName(*world_, 5), QString());
        ASSERT_EQ(dialogs_.messages().size(), 1);
        EXPECT_TRUE(dialogs_.messages()[0].startsWith(
            QStringLiteral("Function GetItemName, BGETEQUAL, Error: ")));
    }
}

TEST_F(NameLookupsTest, RaceTableHasAnEntryPerNumberUpToTheHighest) {
    addRace(1, "Human");
    addRace(2, "Elf");
    addRace(5, "Troll");
    LoadRaceArray(*world_);
    const NameTable& t = world_->raceNames();
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0].number, 0);
    EXPECT_EQ(t[0].name, "None");
    EXPECT_EQ(t[1].number, 1);
    EXPECT_EQ(t[1].name, std::string("Human").append(24, ' '));
    EXPECT_EQ(t[2].name, std::string("Elf").append(26, ' '));
    for (std::size_t gap : {3u, 4u}) {
        EXPECT_EQ(t[gap].number, 0) << gap;
        EXPECT_EQ(t[gap].name, "") << gap;
    }
    EXPECT_EQ(t[5].number, 5);
    EXPECT_EQ(t[5].name, std::string("Troll").append(24, ' '));
    EXPECT_TRUE(dialogs_.messages().isEmpty());
}

TEST_F(NameLookupsTest, RaceZeroReplacesNoneAndNegativeNumbersAreSkipped) {
    addRace(-4, "Shade");
    addRace(0, "Nobody");
    addRace(2, "Elf");
    LoadRaceArray(*world_);
    const NameTable& t = world_->raceNames();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].name, std::string("Nobody").append(23, ' '));
    EXPECT_EQ(t[1].name, "");
    EXPECT_EQ(t[2].number, 2);
    EXPECT_TRUE(dialogs_.messages().isEmpty());
}

TEST_F(NameLookupsTest, ClassTableAndItsMessages) {
    {
        SCOPED_TRACE("empty file: None only, the first read reported with 9");
        LoadClassArray(*world_);
        ASSERT_EQ(world_->classNames().size(), 1u);
        EXPECT_EQ(world_->classNames()[0].name, "None");
        EXPECT_EQ(dialogs_.messages(),
                  QStringList{QStringLiteral("LoadClassArray, BGETFIRST, Class, Error: 9")});
    }
    dialogs_.clear();
    {
        SCOPED_TRACE("two classes");
        Class& c = blank<Class>(RecordKind::Class);
        c.Number = 3;
        setText(c.Name, "Warrior");
        insert(RecordKind::Class);
        LoadClassArray(*world_);
        ASSERT_EQ(world_->classNames().size(), 4u);
        EXPECT_EQ(world_->classNames()[3].name, std::string("Warrior").append(22, ' '));
        EXPECT_TRUE(dialogs_.messages().isEmpty());
    }
    {
        SCOPED_TRACE("a read error that repeats ends the walk");
        world_->file(RecordKind::Class).close("");
        LoadClassArray(*world_);
        ASSERT_EQ(dialogs_.messages().size(), 2);
        EXPECT_TRUE(dialogs_.messages()[0].startsWith(
            QStringLiteral("LoadClassArray, BGETFIRST, Class, Error: ")));
        EXPECT_TRUE(dialogs_.messages()[1].startsWith(
            QStringLiteral("LoadClassArray, BGETNEXT, Class, Error: ")));
        EXPECT_EQ(world_->classNames().size(), 1u);
    }
}

}  // namespace
}  // namespace gw
