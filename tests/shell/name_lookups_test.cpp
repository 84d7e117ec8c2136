#include "shell/name_lookups.h"

#include "gui_test.h"
#include "records/item.h"
#include "records/message.h"
#include "records/spell.h"

namespace gw::test {
namespace {

template <std::size_t N>
void blanked(std::array<char, N>& field, std::string_view text) {
    field.fill(' ');
    std::copy_n(text.begin(), std::min(N, text.size()), field.begin());
}
std::string padded(std::string s, std::size_t width) { return s.append(width - s.size(), ' '); }

class NameLookupsTest : public GuiTest {
protected:
    void SetUp() override {
        create({RecordKind::Race, RecordKind::Spell, RecordKind::Item, RecordKind::Message});
    }
    void item(std::int32_t n, std::string_view name) {
        put(RecordKind::Item, [&](RecordFile& f) {
            f.as<Item>().Number = n;
            blanked(f.as<Item>().Name, name);
        });
    }
    void race(std::int16_t n, std::string_view name) {
        put(RecordKind::Race, [&](RecordFile& f) {
            f.as<Race>().Number = n;
            blanked(f.as<Race>().Name, name);
        });
    }
    QString message(int line) { return GetMessageName(world, 300, line); }
};

TEST_F(NameLookupsTest, NumberZeroIsNoneWithoutReading) {
    item(3, "Rope");
    item(8, "Lamp");
    RecordFile& items = world.file(RecordKind::Item);
    ASSERT_EQ(items.getEqual32(3, "get: "), status::kSuccess);
    EXPECT_EQ(GetItemName(world, 0), QStringLiteral("none"));
    EXPECT_EQ(GetSpellName(world, 0), QStringLiteral("none"));
    EXPECT_EQ(GetMessageName(world, 0, 1), QStringLiteral("none"));
    EXPECT_EQ(said(), "");
    // The item file still stands on record 3.
    ASSERT_EQ(items.call(BGETNEXT, "next: "), status::kSuccess);
    EXPECT_EQ(items.as<Item>().Number, 8);
}

TEST_F(NameLookupsTest, FoundAndMissingRecords) {
    item(70000, "Rope");
    put(RecordKind::Message, [](RecordFile& f) {
        f.as<Message>().Number = 300;
        blanked(f.as<Message>().MessageLine3, "third");
    });
    EXPECT_EQ(GetItemName(world, 70000).toStdString(), padded("Rope", 29));  // untrimmed
    EXPECT_EQ(message(3).toStdString(), padded("third", 74));
    EXPECT_EQ(message(4), QString());
    EXPECT_EQ(GetItemName(world, 5), QStringLiteral("ITEM NOT IN DATABASE!"));
    EXPECT_EQ(said(), "");
    EXPECT_EQ(GetSpellName(world, 5), QString());
    EXPECT_EQ(GetMessageName(world, 5, 2), QString());
    EXPECT_EQ(said(),
              "Function GetSpellName, BGETEQUAL, Error: 4\n"
              "Function GetMessageName, BGETEQUAL, Error: 4");
    dialogs.clear();
    world.file(RecordKind::Item).close("");
    EXPECT_EQ(GetItemName(world, 5), QString());
    EXPECT_TRUE(said().starts_with("Function GetItemName, BGETEQUAL, Error: ")) << said();
}

TEST_F(NameLookupsTest, RaceTableHasAnEntryPerNumberUpToTheHighest) {
    race(1, "Human");
    race(2, "Elf");
    race(5, "Troll");
    LoadRaceArray(world);
    Strings names;
    for (const auto& entry : world.raceNames())
        names.push_back(std::to_string(entry.number) + ":" + entry.name);
    EXPECT_EQ(names, (Strings{"0:None", "1:" + padded("Human", 29), "2:" + padded("Elf", 29),
                              "0:", "0:", "5:" + padded("Troll", 29)}));
    EXPECT_EQ(said(), "");

    SCOPED_TRACE("race 0 replaces None, negative numbers are skipped");
    race(-4, "Shade");
    race(0, "Nobody");
    LoadRaceArray(world);
    ASSERT_EQ(world.raceNames().size(), 6u);
    EXPECT_EQ(world.raceNames()[0].name, padded("Nobody", 29));
    EXPECT_EQ(said(), "");
}

}  // namespace
}  // namespace gw::test
