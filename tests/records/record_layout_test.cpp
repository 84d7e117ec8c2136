// The ten record declarations against an independent transcription of the documented
// layouts, and the row conversion they drive.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
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

struct FieldAt {
    std::string_view name;
    std::size_t offset;
};
// One record's documented layout: the map's length, descriptors, named fields and their shape
// (type:width xcount, in stored order; empty where the offsets alone give it), and the row
// offset of element 0 of every field with a meaning, in row order. A wrong width or count
// shows in the next offset or the mapped length; reserved fields and the bytes after texts
// are placed by their neighbours, the counts and the shape.
struct Layout {
    std::string_view name, fileName;
    std::uint32_t dataLength;
    KeySpec key;
    std::size_t descriptors, mappedLength, fields;
    std::string_view shape;
    std::vector<FieldAt> offsets;
};

// In the order of allRecordKinds().
// clang-format off
const Layout kLayouts[] = {
    {"Race", "wccrace2.dat", 126, KeySpec::int16(), 45, 126, 27,
     "1:2, 0:29, 19:1, 1:2 x7, 1:4, 1:2 x21, 1:4, 1:2 x9, 1:4 x3",
     {{"Number", 0}, {"Name", 2}, {"MinIntellect", 32}, {"MinWillpower", 34}, {"MinStrength", 36},
      {"MinHealth", 38}, {"MinAgility", 40}, {"MinCharm", 42}, {"HpBonus", 44}, {"AbilityA", 50},
      {"Cp", 70}, {"AbilityB", 72}, {"ExpChart", 98}, {"MaxIntellect", 102}, {"MaxWillpower", 104},
      {"MaxStrength", 106}, {"MaxHealth", 108}, {"MaxAgility", 110}, {"MaxCharm", 112}}},
    {"Class", "wccclas2.dat", 156, KeySpec::int16(), 38, 102, 20, "1:2, 0:29, 19:1, 1:2 x35",
     {{"Number", 0}, {"Name", 2}, {"MinHP", 32}, {"MaxHP", 34}, {"Exp", 36}, {"AbilityA", 44},
      {"MagicType", 64}, {"MagicLvL", 66}, {"Weapon", 68}, {"Armour", 70}, {"Combat", 72},
      {"AbilityB", 74}, {"TitleText", 100}}},
    {"Spell", "wccspel2.dat", 260, KeySpec::int16(), 73, 260, 43,
     "1:2, 0:29, 19:1, 0:50, 19:1, 0:50, 19:1, 1:2, 1:4, 1:2 x11, 19:1 x6, 1:2 x37, 19:1 x2, "
     "1:2, 19:1 x4, 0:5, 19:1, 1:4",
     {{"Number", 0}, {"Name", 2}, {"DescA", 32}, {"DescB", 83}, {"CastMsgA", 136},
      {"LevelCap", 162}, {"MsgStyle", 164}, {"AbilityB", 168}, {"Energy", 188}, {"Level", 190},
      {"Min", 192}, {"Max", 194}, {"SpellType", 196}, {"TypeOfResists", 198}, {"Difficulty", 200},
      {"Target", 204}, {"Length", 206}, {"TypeOfAttack", 208}, {"ResistAbility", 212},
      {"MageryA", 214}, {"AbilityA", 216}, {"CastMsgB", 236}, {"Mana", 240}, {"LevelMod", 242},
      {"Increase", 243}, {"MageryB", 244}, {"ShortName", 250}}},
    {"Monster", "wccknms2.dat", 696, KeySpec::int32(), 158, 644, 77, "",
     {{"Number", 0}, {"Name", 4}, {"Group", 34}, {"Index", 38}, {"WeaponNumber", 44}, {"AC2", 48},
      {"AC1", 50}, {"Follow", 54}, {"MR", 56}, {"Experience", 60}, {"HitPoints", 62},
      {"Energy", 64}, {"HpRegen", 66}, {"AbilityA", 68}, {"AbilityB", 78}, {"GameLimit", 88},
      {"Active", 90}, {"Type", 92}, {"Undead", 95}, {"Alignment", 96}, {"RegenTime", 100},
      {"MoveMsg", 108}, {"DeathMsg", 112}, {"ItemNumber", 116}, {"ItemUses", 136},
      {"ItemDropPer", 146}, {"Runic", 152}, {"Platinum", 156}, {"Gold", 160}, {"Silver", 164},
      {"Copper", 168}, {"DescLine1", 172}, {"DescLine2", 243}, {"DescLine3", 314},
      {"DescLine4", 385}, {"Gender", 456}, {"GreetTxt", 460}, {"Charmlvl", 464}, {"DescTxt", 468},
      {"AttackType", 472}, {"AttackAccuSpell", 478}, {"AttackPer", 488}, {"AttackMinHCastPer", 494},
      {"AttackMaxHCastLvL", 504}, {"AttackHitMsg", 516}, {"AttackDodgeMsg", 536},
      {"AttackMissMsg", 556}, {"AttackEnergy", 576}, {"TalkTxt", 588}, {"AttackHitSpell", 596},
      {"DeathSpellNumber", 606}, {"CreateSpellNumber", 622}, {"SpellNumber", 624},
      {"SpellCastPer", 634}, {"SpellCastLvL", 639}}},
    {"Item", "wccitem2.dat", 1032, KeySpec::int32(), 179, 905, 62, "",
     {{"Number", 0}, {"Name", 4}, {"Desc1", 34}, {"Desc2", 95}, {"Desc3", 156}, {"Desc4", 217},
      {"Desc5", 278}, {"Desc6", 339}, {"Desc7", 400}, {"Desc8", 461}, {"Desc9", 522},
      {"Limit", 586}, {"Weight", 590}, {"Type", 592}, {"AbilityA", 594}, {"Uses", 614},
      {"Cost", 618}, {"CostType", 620}, {"DestroyOnDeath", 622}, {"Class", 624}, {"MinHit", 650},
      {"MaxHit", 652}, {"AC", 654}, {"Race", 656}, {"Negate", 696}, {"Weapon", 736},
      {"Armour", 738}, {"WornOn", 740}, {"Accuracy", 742}, {"DR", 744}, {"Gettable", 746},
      {"ReqSTR", 748}, {"Speed", 810}, {"AbilityB", 814}, {"HitMsg", 836}, {"MissMsg", 840},
      {"ReadMsg", 844}, {"DistructMsg", 848}, {"NotDroppable", 864}}},
    {"Shop", "wccshop2.dat", 504, KeySpec::int32(), 135, 476, 21,
     "1:4, 0:39, 1:2, 0:51, 1:2, 0:51, 1:2, 0:51, 1:2 x7, 1:4 x20, 1:2 x80, 19:1 x20",
     {{"Number", 0}, {"Name", 4}, {"Type", 204}, {"ShopMinLvl", 206}, {"ShopMaxLvl", 208},
      {"ShopMarkup", 210}, {"Class", 214}, {"ShopItemNumber", 216}, {"ShopMax", 296},
      {"ShopNormal", 336}, {"ShopRgnTime", 376}, {"RgnNumber", 416}, {"RgnPercentage", 456}}},
    {"Room", "wccmp002.dat", 1516, KeySpec::int32Pair(), 251, 1260, 47, "",
     {{"MapNumber", 0}, {"RoomNumber", 4}, {"Name", 8}, {"Desc", 61}, {"AnsiMap", 558},
      {"RoomExit", 572}, {"ExitType", 612}, {"RoomPara", 632}, {"RoomWPara", 672},
      {"RoomLPara1", 692}, {"RoomLPara2", 732}, {"CurrentRoomMon", 772}, {"RoomType", 802},
      {"ShopNum", 804}, {"MinIndex", 838}, {"MaxIndex", 840}, {"Light", 848}, {"RoomItems", 852},
      {"InvisItems", 956}, {"Runic", 1048}, {"Platinum", 1052}, {"Gold", 1056}, {"Silver", 1060},
      {"Copper", 1064}, {"MaxRegen", 1088}, {"MonsterType", 1092}, {"Attributes", 1096},
      {"DeathRoom", 1104}, {"ExitRoom", 1108}, {"CmdText", 1176}, {"Delay", 1188},
      {"MaxArea", 1190}, {"ControlRoom", 1196}, {"PermNPC", 1200}, {"PlacedItems", 1204},
      {"Spell", 1256}}},
    {"Message", "wccmsg2.dat", 256, KeySpec::int32(), 12, 242, 6,
     "1:4, 0:74, 1:2 x4, 0:74, 1:2 x4, 0:74",
     {{"Number", 0}, {"MessageLine1", 4}, {"Line1Extra", 78}, {"MessageLine2", 86},
      {"Line2Extra", 160}, {"MessageLine3", 168}}},
    {"Textblock", "wcctext2.dat", 2500, KeySpec::int32(), 4, 2500, 4, "1:4 x3, 0:2488",
     {{"Number", 0}, {"StepOrder", 4}, {"LinkTo", 8}, {"Data", 12}}},
    {"User", "wccuser2.dat", 2064, KeySpec::text(30), 262, 816, 16,
     "0:30, 0:10, 19:1, 0:18, 19:1, 1:4, 1:2 x36, 1:4 x100, 1:2 x100, 1:4 x20",
     {{"BBSName", 0}, {"FirstName", 30}, {"LastName", 41}, {"Experience", 60}, {"Race", 64},
      {"Class", 66}, {"Level", 68}, {"Stat", 70}, {"MaxHP", 94}, {"CurrentHP", 96}, {"Item", 136},
      {"ItemUses", 536}, {"Text1Value", 736}}},
};
// clang-format on

FieldMap parseShape(std::string_view shape) {
    FieldMap map;
    std::istringstream in{std::string(shape)};
    for (std::string token; in >> token;) {
        if (token.back() == ',') token.pop_back();
        if (token[0] == 'x') {
            map.insert(map.end(), std::stoul(token.substr(1)) - 1, map.back());
            continue;
        }
        const auto colon = token.find(':');
        map.push_back({static_cast<std::uint8_t>(std::stoi(token.substr(0, colon))),
                       static_cast<std::uint16_t>(std::stoi(token.substr(colon + 1)))});
    }
    return map;
}

TEST(RecordLayout, EveryRecordHasItsDocumentedLayout) {
    ASSERT_EQ(std::size(kLayouts), allRecordKinds().size());
    for (std::size_t i = 0; i < std::size(kLayouts); ++i) {
        const Layout& expected = kLayouts[i];
        SCOPED_TRACE(std::string(expected.name));
        const RecordType& type = recordType(allRecordKinds()[i]);
        ASSERT_EQ(type.name(), expected.name);
        EXPECT_EQ(recordTypeForFile(expected.fileName), &type);
        EXPECT_EQ(type.dataLength(), expected.dataLength);
        EXPECT_EQ(type.key(), expected.key);
        const FieldMap map = type.buildFieldMap();
        EXPECT_EQ(map.size(), expected.descriptors);
        EXPECT_EQ(mappedLength(map), expected.mappedLength);
        EXPECT_EQ(type.mappedLength(), expected.mappedLength);
        EXPECT_EQ(recordSizeOf(map), type.recordSize());
        for (const auto& d : map)
            EXPECT_TRUE(d.type == kTextField || (d.type == kByteField && d.width == 1) ||
                        (d.type == kIntegerField && (d.width == 2 || d.width == 4)));
        EXPECT_EQ(type.fields().size(), expected.fields) << "named fields";
        for (const FieldAt& e : expected.offsets) {
            const FieldInfo* f = type.field(e.name);
            ASSERT_NE(f, nullptr) << e.name;
            EXPECT_EQ(f->rowOffset, e.offset) << e.name;
        }
        if (expected.shape.empty()) continue;
        const FieldMap shape = parseShape(expected.shape);
        ASSERT_EQ(shape.size(), map.size());
        for (std::size_t k = 0; k < map.size(); ++k) {
            EXPECT_EQ(map[k].type, shape[k].type) << "descriptor " << k;
            EXPECT_EQ(map[k].width, shape[k].width) << "descriptor " << k;
        }
    }
    EXPECT_EQ(recordTypeForFile("wccnone.dat"), nullptr);
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
            RecordStorage record(type);
            ASSERT_TRUE(RowToStruct(row, map, record.get(), type.recordSize()));
            for (const FieldInfo& f : type.fields()) {
                for (std::size_t k = 0; k < f.count; ++k) {
                    const std::size_t at = f.rowOffset + k * f.stride;
                    if (f.isText())
                        ASSERT_EQ(
                            getText(record.get(), f, k),
                            std::string_view(reinterpret_cast<const char*>(&row[at]), f.width))
                            << f.name << "[" << k << "]";
                    else
                        ASSERT_EQ(getInt(record.get(), f, k), rowValue(row, at, f))
                            << f.name << "[" << k << "]";
                }
            }
            // Bytes past the map keep what the buffer held before.
            std::vector<std::uint8_t> back(type.dataLength(), 0xA5);
            ASSERT_TRUE(StructToRow(back, map, record.get(), type.recordSize()));
            for (std::size_t i = 0; i < back.size(); ++i)
                ASSERT_EQ(back[i], i < type.mappedLength() ? row[i] : 0xA5) << "byte " << i;
        }
    }
}

TEST(RecordLayout, ByNameAccessWritesWhereTheRowExpectsIt) {
    const RecordType& type = recordType(RecordKind::Item);
    const FieldMap map = type.buildFieldMap();
    RecordStorage storage(type);
    void* record = storage.get();
    std::vector<std::uint8_t> row(type.dataLength(), 0);
    ASSERT_TRUE(RowToStruct(row, map, record, type.recordSize()));
    setInt(record, *type.field("Negate"), 4, -2);
    setInt(record, *type.field("Reserved8"), 0, 0x1234);
    setInt(record, *type.field("Reserved14"), 19, -32768);
    setInt(record, *type.field("NotDroppable"), 0, 255);
    setText(record, *type.field("Desc9"), 0, std::string_view("a\0b ", 4));
    ASSERT_TRUE(StructToRow(row, map, record, type.recordSize()));
    const std::pair<std::size_t, std::uint8_t> bytes[] = {
        {712, 0xFE}, {713, 0xFF}, {698, 0x34}, {699, 0x12}, {903, 0x00}, {904, 0x80}, {864, 255}};
    for (auto [at, value] : bytes) EXPECT_EQ(row[at], value) << "byte " << at;
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(&row[522]), 5),
              std::string_view("a\0b  ", 5));
    EXPECT_EQ(row[581], ' ');
    EXPECT_EQ(getInt(record, *type.field("NotDroppable")), 255);
    EXPECT_THROW(getInt(record, *type.field("Negate"), 5), std::out_of_range);
}

TEST(FieldMapBuilding, AddFieldAndConversionRefuseOutOfRange) {
    FieldMap map(2);
    std::int16_t index = 0;
    AddField(map, index, kIntegerField, 4);
    AddField(map, index, kTextField, 9);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(map[1].width, 9);
    EXPECT_THROW(AddField(map, index, kByteField, 1), std::out_of_range);
    index = -1;
    EXPECT_THROW(AddField(map, index, kByteField, 1), std::out_of_range);
    EXPECT_EQ(map[0].type, kIntegerField);

    const RecordType& type = recordType(RecordKind::Class);
    const FieldMap classMap = type.buildFieldMap();
    RecordStorage record(type);
    std::memset(record.get(), 0x5A, type.recordSize());
    std::vector<std::uint8_t> shortRow(type.mappedLength() - 1, 0), row(type.dataLength(), 0);
    EXPECT_FALSE(RowToStruct(shortRow, classMap, record.get(), type.recordSize()));
    EXPECT_EQ(*static_cast<const std::uint8_t*>(record.get()), 0x5A);
    EXPECT_FALSE(RowToStruct(row, classMap, record.get(), type.recordSize() - 1));
    EXPECT_FALSE(StructToRow(shortRow, classMap, record.get(), type.recordSize()));
}

}  // namespace
}  // namespace gw
