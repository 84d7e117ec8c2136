// The ten record declarations against an independent transcription of the documented
// layouts, and the row conversion they drive.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.h"
#include "store/field_map.h"

namespace gw {
namespace {

// One record's documented layout: the length of its stored rows, its key, and its fields in
// row order, each as [name:]<t text|i integer|b byte><width>[x<count>]. The name is given where
// the field has a meaning; reserved fields and the byte after a text are placed by their shape
// alone. "Negate:i2+i2x5" is a run of five interleaved pairs.
struct Layout {
    std::string_view name;
    std::uint32_t dataLength;
    KeySpec key;
    std::string_view fields;
};

// In the order of allRecordKinds().
// clang-format off
const Layout kLayouts[] = {
    {"Race", 126, KeySpec::int16(),
     "Number:i2 Name:t29 b1 MinIntellect:i2 MinWillpower:i2 MinStrength:i2 MinHealth:i2 "
     "MinAgility:i2 MinCharm:i2 HpBonus:i2 i4 AbilityA:i2x10 Cp:i2 AbilityB:i2x10 i4 i2 "
     "ExpChart:i2 i2 MaxIntellect:i2 MaxWillpower:i2 MaxStrength:i2 MaxHealth:i2 "
     "MaxAgility:i2 MaxCharm:i2 i4 i4 i4"},
    {"Class", 156, KeySpec::int16(),
     "Number:i2 Name:t29 b1 MinHP:i2 MaxHP:i2 Exp:i2 i2 i2 i2 AbilityA:i2x10 MagicType:i2 "
     "MagicLvL:i2 Weapon:i2 Armour:i2 Combat:i2 AbilityB:i2x10 i2 i2 i2 TitleText:i2"},
    {"Spell", 260, KeySpec::int16(),
     "Number:i2 Name:t29 b1 DescA:t50 b1 DescB:t50 b1 i2 CastMsgA:i4 i2x11 LevelCap:b1 b1 "
     "MsgStyle:b1 b1x3 AbilityB:i2x10 Energy:i2 Level:i2 Min:i2 Max:i2 SpellType:i2 "
     "TypeOfResists:i2 Difficulty:i2 i2 Target:i2 Length:i2 TypeOfAttack:i2 i2 "
     "ResistAbility:i2 MageryA:i2 AbilityA:i2x10 CastMsgB:i2 i2 Mana:i2 LevelMod:b1 "
     "Increase:b1 MageryB:i2 b1 b1 b1 b1 ShortName:t5 b1 i4"},
    {"Monster", 696, KeySpec::int32(),
     "Number:i4 Name:t29 b1 Group:i2 i2 Index:i2 i4 WeaponNumber:i4 AC2:i2 AC1:i2 i2 "
     "Follow:i2 MR:i2 i2 Experience:i2 HitPoints:i2 Energy:i2 HpRegen:i2 AbilityA:i2x5 "
     "AbilityB:i2x5 GameLimit:i2 Active:i2 Type:i2 b1 Undead:b1 Alignment:i2 i2 "
     "RegenTime:i2 i2x3 MoveMsg:i4 DeathMsg:i4 ItemNumber:i4x5 ItemUses:i2x5 "
     "ItemDropPer:b1x5 b1 Runic:i4 Platinum:i4 Gold:i4 Silver:i4 Copper:i4 DescLine1:t69 "
     "i2 DescLine2:t69 i2 DescLine3:t69 i2 DescLine4:t69 i2 Gender:b1 b1 i2 GreetTxt:i4 "
     "Charmlvl:i2 i2 DescTxt:i4 AttackType:b1x5 b1 AttackAccuSpell:i2x5 AttackPer:b1x5 b1 "
     "AttackMinHCastPer:i2x5 AttackMaxHCastLvL:i2x5 i2 AttackHitMsg:i4x5 "
     "AttackDodgeMsg:i4x5 AttackMissMsg:i4x5 AttackEnergy:i2x5 i2 TalkTxt:i4 i2x2 "
     "AttackHitSpell:i2x5 DeathSpellNumber:i2 i2x7 CreateSpellNumber:i2 SpellNumber:i2x5 "
     "SpellCastPer:b1x5 SpellCastLvL:b1x5"},
    {"Item", 1032, KeySpec::int32(),
     "Number:i4 Name:t29 b1 Desc1:t60 b1 Desc2:t60 b1 Desc3:t60 b1 Desc4:t60 b1 Desc5:t60 "
     "b1 Desc6:t60 b1 Desc7:t60 b1 Desc8:t60 b1 Desc9:t60 i2x2 Limit:i2 i2 Weight:i2 "
     "Type:i2 AbilityA:i2x10 Uses:i2 i2 Cost:i2 CostType:b1 b1 DestroyOnDeath:b1 b1 "
     "Class:i2x10 i2x3 MinHit:i2 MaxHit:i2 AC:i2 Race:i2x10 i2x10 Negate:i2+i2x5 i2x10 "
     "Weapon:i2 Armour:i2 WornOn:i2 Accuracy:i2 DR:i2 Gettable:i2 ReqSTR:i2 i2x30 Speed:i2 "
     "i2 AbilityB:i2x9 i4 HitMsg:i4 MissMsg:i4 ReadMsg:i4 DistructMsg:i4 i2x6 "
     "NotDroppable:b1 i2x20"},
    {"Shop", 504, KeySpec::int32(),
     "Number:i4 Name:t39 i2 t51 i2 t51 i2 t51 i2 Type:i2 ShopMinLvl:i2 ShopMaxLvl:i2 "
     "ShopMarkup:i2 i2 Class:i2 ShopItemNumber:i4x20 ShopMax:i2x20 ShopNormal:i2x20 "
     "ShopRgnTime:i2x20 RgnNumber:i2x20 RgnPercentage:b1x20"},
    {"Room", 1516, KeySpec::int32Pair(),
     "MapNumber:i4 RoomNumber:i4 Name:t53 Desc:t71x7 AnsiMap:t14 RoomExit:i4x10 "
     "ExitType:i2x10 RoomPara:i4x10 RoomWPara:i2x10 RoomLPara1:i4x10 RoomLPara2:i4x10 "
     "CurrentRoomMon:i2x15 RoomType:i2 ShopNum:i2 i4x8 MinIndex:i2 MaxIndex:i2 i2x3 "
     "Light:i2 i2 RoomItems:i4x17 i2x18 InvisItems:i4x15 i2x16 Runic:i4 Platinum:i4 "
     "Gold:i4 Silver:i4 Copper:i4 i2x10 MaxRegen:i4 MonsterType:i4 Attributes:i2 i2x3 "
     "DeathRoom:i4 ExitRoom:i4 i2x32 CmdText:i4 i2x4 Delay:i2 MaxArea:i2 i4 ControlRoom:i4 "
     "PermNPC:i4 PlacedItems:i4x10 i2x6 Spell:i4"},
    {"Message", 256, KeySpec::int32(),
     "Number:i4 MessageLine1:t74 Line1Extra:i2x4 MessageLine2:t74 Line2Extra:i2x4 "
     "MessageLine3:t74"},
    {"Textblock", 2500, KeySpec::int32(),
     "Number:i4 StepOrder:i4 LinkTo:i4 Data:t2488"},
    {"User", 2064, KeySpec::text(30),
     "BBSName:t30 FirstName:t10 b1 LastName:t18 b1 Experience:i4 Race:i2 Class:i2 Level:i2 "
     "Stat:i2x12 MaxHP:i2 CurrentHP:i2 i2x19 Item:i4x100 ItemUses:i2x100 Text1Value:i4x20"},
};
// clang-format on

// A field as the layout gives it, or as the record type has it.
struct Field {
    std::string name;  // empty where the layout names none
    char type;
    std::size_t width, count, rowOffset, stride;
    bool operator==(const Field&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Field& f) {
    return out << f.name << ':' << f.type << f.width << 'x' << f.count << " at " << f.rowOffset
               << " by " << f.stride;
}

// The fields of a layout, each placed where the ones before it end; `length` is where the last
// ends, `elements` how many field elements there are.
std::vector<Field> parseLayout(std::string_view layout, std::size_t& length,
                               std::size_t& elements) {
    std::vector<Field> fields;
    length = elements = 0;
    std::istringstream in{std::string(layout)};
    for (std::string word; in >> word;) {
        const std::size_t colon = word.find(':');
        const std::string name = colon == std::string::npos ? "" : word.substr(0, colon);
        const std::string shape = word.substr(name.empty() ? 0 : colon + 1);
        const std::size_t times = shape.find('x');
        const std::size_t count =
            times == std::string::npos ? 1 : std::stoul(shape.substr(times + 1));
        const bool pair = shape.find('+') != std::string::npos;  // two halves of one shape
        const std::size_t width = std::stoul(shape.substr(1)), stride = pair ? 2 * width : width;
        fields.push_back({name, shape[0], width, count, length, stride});
        if (pair) fields.push_back({"", shape[0], width, count, length + width, stride});
        length += stride * count;
        elements += pair ? 2 * count : count;
    }
    return fields;
}

char typeLetter(std::uint8_t type) {
    return type == kTextField ? 't' : type == kIntegerField ? 'i' : type == kByteField ? 'b' : '?';
}

TEST(RecordLayout, EveryRecordHasItsDocumentedLayout) {
    ASSERT_EQ(std::size(kLayouts), allRecordKinds().size());
    for (std::size_t i = 0; i < std::size(kLayouts); ++i) {
        const Layout& layout = kLayouts[i];
        SCOPED_TRACE(std::string(layout.name));
        const RecordType& type = recordType(allRecordKinds()[i]);
        ASSERT_EQ(type.name(), layout.name);
        EXPECT_EQ(type.dataLength(), layout.dataLength);
        EXPECT_EQ(type.key(), layout.key);
        std::size_t length = 0, elements = 0;
        const std::vector<Field> expected = parseLayout(layout.fields, length, elements);
        ASSERT_EQ(type.fields().size(), expected.size());
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const FieldInfo& f = type.fields()[k];
            const std::string name = expected[k].name.empty() ? "" : std::string(f.name);
            EXPECT_EQ((Field{name, typeLetter(f.type), f.width, f.count, f.rowOffset, f.stride}),
                      expected[k]);
        }
        const FieldMap map = type.buildFieldMap();
        EXPECT_EQ(map.size(), elements);  // one descriptor per element
        EXPECT_EQ(mappedLength(map), length);
        EXPECT_EQ(type.mappedLength(), length);
        EXPECT_EQ(recordSizeOf(map), type.recordSize());
    }
}

struct RecordStorage {
    explicit RecordStorage(const RecordType& type)
        : words(type.recordSize() / sizeof(std::max_align_t) + 1) {}
    void* get() { return words.data(); }
    std::vector<std::max_align_t> words;
};

std::int64_t rowValue(const std::vector<std::uint8_t>& row, std::size_t at, const FieldInfo& f) {
    if (f.type == kByteField) return row[at];
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < f.width; ++i) v |= std::uint32_t{row[at + i]} << (8 * i);
    return f.width == 2 ? std::int64_t{static_cast<std::int16_t>(v)}
                        : std::int64_t{static_cast<std::int32_t>(v)};
}

TEST(RecordLayout, RandomRowsRoundTripThroughEveryRecord) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    // Random bytes, mixed with the ones conversions get wrong most: zero, blank, all ones.
    const std::uint8_t special[] = {0, ' ', 0xFF};
    std::uniform_int_distribution<int> byte(0, 255), pick(0, 5);
    for (RecordKind kind : allRecordKinds()) {
        const RecordType& type = recordType(kind);
        SCOPED_TRACE(std::string(type.name()));
        const FieldMap map = type.buildFieldMap();
        for (int round = 0; round < 20; ++round) {
            std::vector<std::uint8_t> row(type.dataLength());
            for (auto& b : row) {
                const int p = pick(rng);
                b = p < 3 ? special[p] : static_cast<std::uint8_t>(byte(rng));
            }
            RecordStorage record(type), byName(type);
            ASSERT_TRUE(RowToStruct(row, map, record.get(), type.recordSize()));
            // Each value read by name where the row holds it, and written by name into a blank
            // record.
            for (const FieldInfo& f : type.fields()) {
                for (std::size_t k = 0; k < f.count; ++k) {
                    const std::size_t at = f.rowOffset + k * f.stride;
                    if (f.isText()) {
                        const std::string_view text = getText(record.get(), f, k);
                        ASSERT_EQ(text, std::string_view(reinterpret_cast<const char*>(&row[at]),
                                                         f.width))
                            << f.name << "[" << k << "]";
                        setText(byName.get(), f, k, text);
                    } else {
                        const std::int64_t value = getInt(record.get(), f, k);
                        ASSERT_EQ(value, rowValue(row, at, f)) << f.name << "[" << k << "]";
                        setInt(byName.get(), f, k, value);
                    }
                }
            }
            // The record written by name gives the row back; bytes past the map keep what the
            // buffer held before.
            std::vector<std::uint8_t> back(type.dataLength(), 0xA5);
            ASSERT_TRUE(StructToRow(back, map, byName.get(), type.recordSize()));
            for (std::size_t i = 0; i < back.size(); ++i)
                ASSERT_EQ(back[i], i < type.mappedLength() ? row[i] : 0xA5) << "byte " << i;
        }
    }
}

// Nothing is written outside the map, the row, the record or a field.
TEST(FieldMapBuilding, AddFieldConversionAndFieldAccessRefuseOutOfRange) {
    FieldMap map(2);
    std::int16_t index = 0;
    AddField(map, index, kIntegerField, 4);
    AddField(map, index, kTextField, 9);
    EXPECT_THROW(AddField(map, index, kByteField, 1), std::out_of_range);
    index = -1;
    EXPECT_THROW(AddField(map, index, kByteField, 1), std::out_of_range);

    const RecordType& type = recordType(RecordKind::Class);
    const FieldMap classMap = type.buildFieldMap();
    RecordStorage storage(type);
    auto* record = static_cast<std::uint8_t*>(storage.get());
    std::memset(record, 0x5A, type.recordSize());
    std::vector<std::uint8_t> shortRow(type.mappedLength() - 1, 0), row(type.dataLength(), 0);
    EXPECT_FALSE(RowToStruct(shortRow, classMap, record, type.recordSize()));
    EXPECT_EQ(record[0], 0x5A);
    EXPECT_FALSE(RowToStruct(row, classMap, record, type.recordSize() - 1));
    EXPECT_FALSE(StructToRow(shortRow, classMap, record, type.recordSize()));
    const FieldInfo& name = *type.field("Name");
    setText(record, name, 0, std::string(40, 'x'));
    EXPECT_EQ(record[name.memberOffset + name.width], 0x5A);
    EXPECT_THROW(getInt(record, *type.field("AbilityA"), 10), std::out_of_range);
}

}  // namespace
}  // namespace gw
