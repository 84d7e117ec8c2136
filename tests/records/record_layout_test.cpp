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

struct MapShape {
    RecordKind kind;
    std::string_view name;
    std::string_view fileName;
    std::uint32_t dataLength;
    KeySpec key;
    std::size_t fields;
    std::size_t mappedLength;
    // type:width xcount, in stored order; empty where the layout table alone gives it.
    std::string_view shape;
};

const MapShape kShapes[] = {
    {RecordKind::Race, "Race", "wccrace2.dat", 126, KeySpec::int16(), 45, 126,
     "1:2, 0:29, 19:1, 1:2 x7, 1:4, 1:2 x21, 1:4, 1:2 x9, 1:4 x3"},
    {RecordKind::Class, "Class", "wccclas2.dat", 156, KeySpec::int16(), 38, 102,
     "1:2, 0:29, 19:1, 1:2 x35"},
    {RecordKind::Spell, "Spell", "wccspel2.dat", 260, KeySpec::int16(), 73, 260,
     "1:2, 0:29, 19:1, 0:50, 19:1, 0:50, 19:1, 1:2, 1:4, 1:2 x11, 19:1 x6, 1:2 x37, 19:1 x2, "
     "1:2, 19:1 x4, 0:5, 19:1, 1:4"},
    {RecordKind::Monster, "Monster", "wccknms2.dat", 696, KeySpec::int32(), 158, 644, ""},
    {RecordKind::Item, "Item", "wccitem2.dat", 1032, KeySpec::int32(), 179, 905, ""},
    {RecordKind::Shop, "Shop", "wccshop2.dat", 504, KeySpec::int32(), 135, 476,
     "1:4, 0:39, 1:2, 0:51, 1:2, 0:51, 1:2, 0:51, 1:2 x7, 1:4 x20, 1:2 x80, 19:1 x20"},
    {RecordKind::Room, "Room", "wccmp002.dat", 1516, KeySpec::int32Pair(), 251, 1260, ""},
    {RecordKind::Message, "Message", "wccmsg2.dat", 256, KeySpec::int32(), 12, 242,
     "1:4, 0:74, 1:2 x4, 0:74, 1:2 x4, 0:74"},
    {RecordKind::Textblock, "Textblock", "wcctext2.dat", 2500, KeySpec::int32(), 4, 2500,
     "1:4 x3, 0:2488"},
    {RecordKind::User, "User", "wccuser2.dat", 2064, KeySpec::text(30), 262, 816,
     "0:30, 0:10, 19:1, 0:18, 19:1, 1:4, 1:2 x36, 1:4 x100, 1:2 x100, 1:4 x20"},
};

FieldMap parseShape(std::string_view shape) {
    FieldMap map;
    std::istringstream in{std::string(shape)};
    std::string token;
    while (in >> token) {
        if (token.back() == ',') token.pop_back();
        if (token[0] == 'x') {
            const int count = std::stoi(token.substr(1));
            const FieldDescriptor last = map.back();
            for (int i = 1; i < count; ++i) map.push_back(last);
            continue;
        }
        const auto colon = token.find(':');
        map.push_back({static_cast<std::uint8_t>(std::stoi(token.substr(0, colon))),
                       static_cast<std::uint16_t>(std::stoi(token.substr(colon + 1)))});
    }
    return map;
}

TEST(RecordLayout, EveryMapHasTheDocumentedShape) {
    ASSERT_EQ(std::size(kShapes), allRecordKinds().size());
    for (std::size_t i = 0; i < std::size(kShapes); ++i) {
        const MapShape& expected = kShapes[i];
        SCOPED_TRACE(std::string(expected.name));
        EXPECT_EQ(allRecordKinds()[i], expected.kind);
        const RecordType& type = recordType(expected.kind);
        EXPECT_EQ(type.name(), expected.name);
        EXPECT_EQ(type.fileName(), expected.fileName);
        EXPECT_EQ(recordTypeForFile(expected.fileName), &type);
        EXPECT_EQ(type.dataLength(), expected.dataLength);
        EXPECT_EQ(type.key(), expected.key);
        const FieldMap map = type.buildFieldMap();
        EXPECT_EQ(map.size(), expected.fields);
        EXPECT_EQ(type.descriptorCount(), expected.fields);
        EXPECT_EQ(mappedLength(map), expected.mappedLength);
        EXPECT_EQ(type.mappedLength(), expected.mappedLength);
        EXPECT_LE(type.mappedLength(), type.dataLength());
        EXPECT_EQ(recordSizeOf(map), type.recordSize());
        for (const auto& d : map) {
            EXPECT_TRUE(d.type == kTextField ||
                        (d.type == kIntegerField && (d.width == 2 || d.width == 4)) ||
                        (d.type == kByteField && d.width == 1));
        }
        if (expected.shape.empty()) continue;
        const FieldMap shape = parseShape(expected.shape);
        ASSERT_EQ(shape.size(), map.size());
        for (std::size_t k = 0; k < map.size(); ++k) {
            SCOPED_TRACE("descriptor " + std::to_string(k));
            EXPECT_EQ(map[k].type, shape[k].type);
            EXPECT_EQ(map[k].width, shape[k].width);
        }
    }
    EXPECT_EQ(recordTypeForFile("wccnone.dat"), nullptr);
}

// First and last byte of every named field (element 0 to the last element of a run),
// as the layout tables give them.
struct FieldBytes {
    std::string_view record;
    std::string_view field;
    std::size_t first;
    std::size_t last;
};

const FieldBytes kFieldBytes[] = {
    // Race
    {"Race", "Number", 0, 1},
    {"Race", "Name", 2, 30},
    {"Race", "NameEnd", 31, 31},
    {"Race", "MinIntellect", 32, 33},
    {"Race", "MinWillpower", 34, 35},
    {"Race", "MinStrength", 36, 37},
    {"Race", "MinHealth", 38, 39},
    {"Race", "MinAgility", 40, 41},
    {"Race", "MinCharm", 42, 43},
    {"Race", "HpBonus", 44, 45},
    {"Race", "Reserved1", 46, 49},
    {"Race", "AbilityA", 50, 69},
    {"Race", "Cp", 70, 71},
    {"Race", "AbilityB", 72, 91},
    {"Race", "Reserved2", 92, 95},
    {"Race", "Reserved3", 96, 97},
    {"Race", "ExpChart", 98, 99},
    {"Race", "Reserved4", 100, 101},
    {"Race", "MaxIntellect", 102, 103},
    {"Race", "MaxWillpower", 104, 105},
    {"Race", "MaxStrength", 106, 107},
    {"Race", "MaxHealth", 108, 109},
    {"Race", "MaxAgility", 110, 111},
    {"Race", "MaxCharm", 112, 113},
    {"Race", "Reserved5", 114, 117},
    {"Race", "Reserved6", 118, 121},
    {"Race", "Reserved7", 122, 125},
    // Class
    {"Class", "Number", 0, 1},
    {"Class", "Name", 2, 30},
    {"Class", "NameEnd", 31, 31},
    {"Class", "MinHP", 32, 33},
    {"Class", "MaxHP", 34, 35},
    {"Class", "Exp", 36, 37},
    {"Class", "Reserved1", 38, 39},
    {"Class", "Reserved2", 40, 41},
    {"Class", "Reserved3", 42, 43},
    {"Class", "AbilityA", 44, 63},
    {"Class", "MagicType", 64, 65},
    {"Class", "MagicLvL", 66, 67},
    {"Class", "Weapon", 68, 69},
    {"Class", "Armour", 70, 71},
    {"Class", "Combat", 72, 73},
    {"Class", "AbilityB", 74, 93},
    {"Class", "Reserved4", 94, 95},
    {"Class", "Reserved5", 96, 97},
    {"Class", "Reserved6", 98, 99},
    {"Class", "TitleText", 100, 101},
    // Spell
    {"Spell", "Number", 0, 1},
    {"Spell", "Name", 2, 30},
    {"Spell", "NameEnd", 31, 31},
    {"Spell", "DescA", 32, 81},
    {"Spell", "DescAEnd", 82, 82},
    {"Spell", "DescB", 83, 132},
    {"Spell", "DescBEnd", 133, 133},
    {"Spell", "Reserved1", 134, 135},
    {"Spell", "CastMsgA", 136, 139},
    {"Spell", "Reserved2", 140, 161},
    {"Spell", "LevelCap", 162, 162},
    {"Spell", "Reserved3", 163, 163},
    {"Spell", "MsgStyle", 164, 164},
    {"Spell", "Reserved4", 165, 167},
    {"Spell", "AbilityB", 168, 187},
    {"Spell", "Energy", 188, 189},
    {"Spell", "Level", 190, 191},
    {"Spell", "Min", 192, 193},
    {"Spell", "Max", 194, 195},
    {"Spell", "SpellType", 196, 197},
    {"Spell", "TypeOfResists", 198, 199},
    {"Spell", "Difficulty", 200, 201},
    {"Spell", "Undefined01", 202, 203},
    {"Spell", "Target", 204, 205},
    {"Spell", "Length", 206, 207},
    {"Spell", "TypeOfAttack", 208, 209},
    {"Spell", "Reserved5", 210, 211},
    {"Spell", "ResistAbility", 212, 213},
    {"Spell", "MageryA", 214, 215},
    {"Spell", "AbilityA", 216, 235},
    {"Spell", "CastMsgB", 236, 237},
    {"Spell", "Reserved6", 238, 239},
    {"Spell", "Mana", 240, 241},
    {"Spell", "LevelMod", 242, 242},
    {"Spell", "Increase", 243, 243},
    {"Spell", "MageryB", 244, 245},
    {"Spell", "Undefined03", 246, 246},
    {"Spell", "Undefined04", 247, 247},
    {"Spell", "Undefined05", 248, 248},
    {"Spell", "Undefined06", 249, 249},
    {"Spell", "ShortName", 250, 254},
    {"Spell", "ShortNameEnd", 255, 255},
    {"Spell", "Reserved7", 256, 259},
    // Monster
    {"Monster", "Number", 0, 3},
    {"Monster", "Name", 4, 32},
    {"Monster", "NameEnd", 33, 33},
    {"Monster", "Group", 34, 35},
    {"Monster", "Reserved1", 36, 37},
    {"Monster", "Index", 38, 39},
    {"Monster", "Reserved2", 40, 43},
    {"Monster", "WeaponNumber", 44, 47},
    {"Monster", "AC2", 48, 49},
    {"Monster", "AC1", 50, 51},
    {"Monster", "Reserved3", 52, 53},
    {"Monster", "Follow", 54, 55},
    {"Monster", "MR", 56, 57},
    {"Monster", "Reserved4", 58, 59},
    {"Monster", "Experience", 60, 61},
    {"Monster", "HitPoints", 62, 63},
    {"Monster", "Energy", 64, 65},
    {"Monster", "HpRegen", 66, 67},
    {"Monster", "AbilityA", 68, 77},
    {"Monster", "AbilityB", 78, 87},
    {"Monster", "GameLimit", 88, 89},
    {"Monster", "Active", 90, 91},
    {"Monster", "Type", 92, 93},
    {"Monster", "Reserved5", 94, 94},
    {"Monster", "Undead", 95, 95},
    {"Monster", "Alignment", 96, 97},
    {"Monster", "Reserved6", 98, 99},
    {"Monster", "RegenTime", 100, 101},
    {"Monster", "Reserved7", 102, 107},
    {"Monster", "MoveMsg", 108, 111},
    {"Monster", "DeathMsg", 112, 115},
    {"Monster", "ItemNumber", 116, 135},
    {"Monster", "ItemUses", 136, 145},
    {"Monster", "ItemDropPer", 146, 150},
    {"Monster", "Reserved8", 151, 151},
    {"Monster", "Runic", 152, 155},
    {"Monster", "Platinum", 156, 159},
    {"Monster", "Gold", 160, 163},
    {"Monster", "Silver", 164, 167},
    {"Monster", "Copper", 168, 171},
    {"Monster", "DescLine1", 172, 240},
    {"Monster", "Reserved9", 241, 242},
    {"Monster", "DescLine2", 243, 311},
    {"Monster", "Reserved10", 312, 313},
    {"Monster", "DescLine3", 314, 382},
    {"Monster", "Reserved11", 383, 384},
    {"Monster", "DescLine4", 385, 453},
    {"Monster", "Reserved12", 454, 455},
    {"Monster", "Gender", 456, 456},
    {"Monster", "Reserved13", 457, 457},
    {"Monster", "Reserved14", 458, 459},
    {"Monster", "GreetTxt", 460, 463},
    {"Monster", "Charmlvl", 464, 465},
    {"Monster", "Reserved15", 466, 467},
    {"Monster", "DescTxt", 468, 471},
    {"Monster", "AttackType", 472, 476},
    {"Monster", "Reserved16", 477, 477},
    {"Monster", "AttackAccuSpell", 478, 487},
    {"Monster", "AttackPer", 488, 492},
    {"Monster", "Reserved17", 493, 493},
    {"Monster", "AttackMinHCastPer", 494, 503},
    {"Monster", "AttackMaxHCastLvL", 504, 513},
    {"Monster", "Reserved18", 514, 515},
    {"Monster", "AttackHitMsg", 516, 535},
    {"Monster", "AttackDodgeMsg", 536, 555},
    {"Monster", "AttackMissMsg", 556, 575},
    {"Monster", "AttackEnergy", 576, 585},
    {"Monster", "Reserved19", 586, 587},
    {"Monster", "TalkTxt", 588, 591},
    {"Monster", "Reserved20", 592, 595},
    {"Monster", "AttackHitSpell", 596, 605},
    {"Monster", "DeathSpellNumber", 606, 607},
    {"Monster", "Reserved21", 608, 621},
    {"Monster", "CreateSpellNumber", 622, 623},
    {"Monster", "SpellNumber", 624, 633},
    {"Monster", "SpellCastPer", 634, 638},
    {"Monster", "SpellCastLvL", 639, 643},
    // Item
    {"Item", "Number", 0, 3},
    {"Item", "Name", 4, 32},
    {"Item", "NameEnd", 33, 33},
    {"Item", "Desc1", 34, 93},
    {"Item", "Desc1End", 94, 94},
    {"Item", "Desc2", 95, 154},
    {"Item", "Desc2End", 155, 155},
    {"Item", "Desc3", 156, 215},
    {"Item", "Desc3End", 216, 216},
    {"Item", "Desc4", 217, 276},
    {"Item", "Desc4End", 277, 277},
    {"Item", "Desc5", 278, 337},
    {"Item", "Desc5End", 338, 338},
    {"Item", "Desc6", 339, 398},
    {"Item", "Desc6End", 399, 399},
    {"Item", "Desc7", 400, 459},
    {"Item", "Desc7End", 460, 460},
    {"Item", "Desc8", 461, 520},
    {"Item", "Desc8End", 521, 521},
    {"Item", "Desc9", 522, 581},
    {"Item", "Reserved1", 582, 585},
    {"Item", "Limit", 586, 587},
    {"Item", "Reserved2", 588, 589},
    {"Item", "Weight", 590, 591},
    {"Item", "Type", 592, 593},
    {"Item", "AbilityA", 594, 613},
    {"Item", "Uses", 614, 615},
    {"Item", "Reserved3", 616, 617},
    {"Item", "Cost", 618, 619},
    {"Item", "CostType", 620, 620},
    {"Item", "Reserved4", 621, 621},
    {"Item", "DestroyOnDeath", 622, 622},
    {"Item", "Reserved5", 623, 623},
    {"Item", "Class", 624, 643},
    {"Item", "Reserved6", 644, 649},
    {"Item", "MinHit", 650, 651},
    {"Item", "MaxHit", 652, 653},
    {"Item", "AC", 654, 655},
    {"Item", "Race", 656, 675},
    {"Item", "Reserved7", 676, 695},
    {"Item", "Negate", 696, 713},
    {"Item", "Reserved8", 698, 715},
    {"Item", "Reserved9", 716, 735},
    {"Item", "Weapon", 736, 737},
    {"Item", "Armour", 738, 739},
    {"Item", "WornOn", 740, 741},
    {"Item", "Accuracy", 742, 743},
    {"Item", "DR", 744, 745},
    {"Item", "Gettable", 746, 747},
    {"Item", "ReqSTR", 748, 749},
    {"Item", "Reserved10", 750, 809},
    {"Item", "Speed", 810, 811},
    {"Item", "Reserved11", 812, 813},
    {"Item", "AbilityB", 814, 831},
    {"Item", "Reserved12", 832, 835},
    {"Item", "HitMsg", 836, 839},
    {"Item", "MissMsg", 840, 843},
    {"Item", "ReadMsg", 844, 847},
    {"Item", "DistructMsg", 848, 851},
    {"Item", "Reserved13", 852, 863},
    {"Item", "NotDroppable", 864, 864},
    {"Item", "Reserved14", 865, 904},
    // Shop
    {"Shop", "Number", 0, 3},
    {"Shop", "Name", 4, 42},
    {"Shop", "Reserved1", 43, 44},
    {"Shop", "ReservedText1", 45, 95},
    {"Shop", "Reserved2", 96, 97},
    {"Shop", "ReservedText2", 98, 148},
    {"Shop", "Reserved3", 149, 150},
    {"Shop", "ReservedText3", 151, 201},
    {"Shop", "Reserved4", 202, 203},
    {"Shop", "Type", 204, 205},
    {"Shop", "ShopMinLvl", 206, 207},
    {"Shop", "ShopMaxLvl", 208, 209},
    {"Shop", "ShopMarkup", 210, 211},
    {"Shop", "Reserved5", 212, 213},
    {"Shop", "Class", 214, 215},
    {"Shop", "ShopItemNumber", 216, 295},
    {"Shop", "ShopMax", 296, 335},
    {"Shop", "ShopNormal", 336, 375},
    {"Shop", "ShopRgnTime", 376, 415},
    {"Shop", "RgnNumber", 416, 455},
    {"Shop", "RgnPercentage", 456, 475},
    // Room
    {"Room", "MapNumber", 0, 3},
    {"Room", "RoomNumber", 4, 7},
    {"Room", "Name", 8, 60},
    {"Room", "Desc", 61, 557},
    {"Room", "AnsiMap", 558, 571},
    {"Room", "RoomExit", 572, 611},
    {"Room", "ExitType", 612, 631},
    {"Room", "RoomPara", 632, 671},
    {"Room", "RoomWPara", 672, 691},
    {"Room", "RoomLPara1", 692, 731},
    {"Room", "RoomLPara2", 732, 771},
    {"Room", "CurrentRoomMon", 772, 801},
    {"Room", "RoomType", 802, 803},
    {"Room", "ShopNum", 804, 805},
    {"Room", "RoomReserved1", 806, 837},
    {"Room", "MinIndex", 838, 839},
    {"Room", "MaxIndex", 840, 841},
    {"Room", "RoomReserved2", 842, 847},
    {"Room", "Light", 848, 849},
    {"Room", "RoomReserved3", 850, 851},
    {"Room", "RoomItems", 852, 919},
    {"Room", "RoomReserved4", 920, 955},
    {"Room", "InvisItems", 956, 1015},
    {"Room", "RoomReserved5", 1016, 1047},
    {"Room", "Runic", 1048, 1051},
    {"Room", "Platinum", 1052, 1055},
    {"Room", "Gold", 1056, 1059},
    {"Room", "Silver", 1060, 1063},
    {"Room", "Copper", 1064, 1067},
    {"Room", "RoomReserved6", 1068, 1087},
    {"Room", "MaxRegen", 1088, 1091},
    {"Room", "MonsterType", 1092, 1095},
    {"Room", "Attributes", 1096, 1097},
    {"Room", "RoomReserved7", 1098, 1103},
    {"Room", "DeathRoom", 1104, 1107},
    {"Room", "ExitRoom", 1108, 1111},
    {"Room", "RoomReserved8", 1112, 1175},
    {"Room", "CmdText", 1176, 1179},
    {"Room", "RoomReserved9", 1180, 1187},
    {"Room", "Delay", 1188, 1189},
    {"Room", "MaxArea", 1190, 1191},
    {"Room", "RoomReserved10", 1192, 1195},
    {"Room", "ControlRoom", 1196, 1199},
    {"Room", "PermNPC", 1200, 1203},
    {"Room", "PlacedItems", 1204, 1243},
    {"Room", "RoomReserved11", 1244, 1255},
    {"Room", "Spell", 1256, 1259},
    // Message
    {"Message", "Number", 0, 3},
    {"Message", "MessageLine1", 4, 77},
    {"Message", "Line1Extra", 78, 85},
    {"Message", "MessageLine2", 86, 159},
    {"Message", "Line2Extra", 160, 167},
    {"Message", "MessageLine3", 168, 241},
    // Textblock
    {"Textblock", "Number", 0, 3},
    {"Textblock", "StepOrder", 4, 7},
    {"Textblock", "LinkTo", 8, 11},
    {"Textblock", "Data", 12, 2499},
    // User
    {"User", "BBSName", 0, 29},
    {"User", "FirstName", 30, 39},
    {"User", "FirstNameEnd", 40, 40},
    {"User", "LastName", 41, 58},
    {"User", "LastNameEnd", 59, 59},
    {"User", "Experience", 60, 63},
    {"User", "Race", 64, 65},
    {"User", "Class", 66, 67},
    {"User", "Level", 68, 69},
    {"User", "Stat", 70, 93},
    {"User", "MaxHP", 94, 95},
    {"User", "CurrentHP", 96, 97},
    {"User", "Reserved", 98, 135},
    {"User", "Item", 136, 535},
    {"User", "ItemUses", 536, 735},
    {"User", "Text1Value", 736, 815},
};

const RecordType& typeNamed(std::string_view name) {
    for (RecordKind kind : allRecordKinds())
        if (recordType(kind).name() == name) return recordType(kind);
    throw std::invalid_argument("no record type " + std::string(name));
}

TEST(RecordLayout, EveryFieldSitsAtItsDocumentedBytes) {
    for (RecordKind kind : allRecordKinds()) {
        const RecordType& type = recordType(kind);
        std::size_t documented = 0;
        for (const auto& e : kFieldBytes)
            if (e.record == type.name()) ++documented;
        SCOPED_TRACE(std::string(type.name()));
        EXPECT_EQ(type.fields().size(), documented) << "named fields";
    }
    for (const auto& e : kFieldBytes) {
        SCOPED_TRACE(std::string(e.record) + "." + std::string(e.field));
        const FieldInfo* f = typeNamed(e.record).field(e.field);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->rowOffset, e.first);
        EXPECT_EQ(f->rowOffset + f->stride * (f->count - 1) + f->width - 1, e.last);
    }
}

std::int64_t rowValue(const std::vector<std::uint8_t>& row, std::size_t at, const FieldInfo& f) {
    if (f.type == kByteField) return row[at];
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < f.width; ++i) v |= std::uint32_t{row[at + i]} << (8 * i);
    return f.width == 2 ? std::int64_t{static_cast<std::int16_t>(v)}
                        : std::int64_t{static_cast<std::int32_t>(v)};
}

// Random bytes, with the values conversions get wrong most often mixed in: all-ones
// integers, zero bytes and blanks.
std::vector<std::uint8_t> randomRow(std::mt19937& rng, std::size_t length) {
    std::vector<std::uint8_t> row(length);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> pick(0, 5);
    for (auto& b : row) {
        switch (pick(rng)) {
            case 0:
                b = 0;
                break;
            case 1:
                b = ' ';
                break;
            case 2:
                b = 0xFF;
                break;
            default:
                b = static_cast<std::uint8_t>(byte(rng));
        }
    }
    return row;
}

TEST(RecordLayout, RandomRowsRoundTripThroughEveryRecord) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    for (RecordKind kind : allRecordKinds()) {
        const RecordType& type = recordType(kind);
        SCOPED_TRACE(std::string(type.name()));
        const FieldMap map = type.buildFieldMap();
        for (int round = 0; round < 20; ++round) {
            const auto row = randomRow(rng, type.dataLength());
            std::vector<std::max_align_t> storage(type.recordSize() / sizeof(std::max_align_t) + 1);
            void* record = storage.data();
            ASSERT_TRUE(RowToStruct(row, map, record, type.recordSize()));

            for (const FieldInfo& f : type.fields()) {
                for (std::size_t k = 0; k < f.count; ++k) {
                    const std::size_t at = f.rowOffset + k * f.stride;
                    if (f.isText()) {
                        ASSERT_EQ(
                            getText(record, f, k),
                            std::string_view(reinterpret_cast<const char*>(&row[at]), f.width))
                            << f.name << "[" << k << "]";
                    } else {
                        ASSERT_EQ(getInt(record, f, k), rowValue(row, at, f))
                            << f.name << "[" << k << "]";
                    }
                }
            }

            // Bytes past the map keep what the buffer held before.
            std::vector<std::uint8_t> back(type.dataLength(), 0xA5);
            ASSERT_TRUE(StructToRow(back, map, record, type.recordSize()));
            for (std::size_t i = 0; i < back.size(); ++i) {
                const std::uint8_t want = i < type.mappedLength() ? row[i] : 0xA5;
                ASSERT_EQ(back[i], want) << "byte " << i;
            }
        }
    }
}

TEST(RecordLayout, ByNameAccessWritesWhereTheRowExpectsIt) {
    const RecordType& type = recordType(RecordKind::Item);
    const FieldMap map = type.buildFieldMap();
    std::vector<std::max_align_t> storage(type.recordSize() / sizeof(std::max_align_t) + 1);
    void* record = storage.data();
    std::vector<std::uint8_t> row(type.dataLength(), 0);
    ASSERT_TRUE(RowToStruct(row, map, record, type.recordSize()));

    setInt(record, *type.field("Negate"), 4, -2);
    setInt(record, *type.field("Reserved8"), 0, 0x1234);
    setInt(record, *type.field("Reserved14"), 19, -32768);
    setInt(record, *type.field("NotDroppable"), 0, 255);
    setText(record, *type.field("Desc9"), 0, std::string_view("a\0b ", 4));
    ASSERT_TRUE(StructToRow(row, map, record, type.recordSize()));

    EXPECT_EQ(row[712], 0xFE);
    EXPECT_EQ(row[713], 0xFF);
    EXPECT_EQ(row[698], 0x34);
    EXPECT_EQ(row[699], 0x12);
    EXPECT_EQ(row[903], 0x00);
    EXPECT_EQ(row[904], 0x80);
    EXPECT_EQ(row[864], 255);
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(&row[522]), 5),
              std::string_view("a\0b  ", 5));
    EXPECT_EQ(row[581], ' ');
    EXPECT_EQ(getInt(record, *type.field("NotDroppable")), 255);
    EXPECT_THROW(getInt(record, *type.field("Negate"), 5), std::out_of_range);
}

TEST(FieldMapBuilding, AddFieldChecksTheIndex) {
    FieldMap map(2);
    std::int16_t index = 0;
    AddField(map, index, kIntegerField, 4);
    AddField(map, index, kTextField, 9);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(map[1].type, kTextField);
    EXPECT_EQ(map[1].width, 9);
    EXPECT_THROW(AddField(map, index, kByteField, 1), std::out_of_range);
    EXPECT_EQ(index, 2);
    index = -1;
    EXPECT_THROW(AddField(map, index, kByteField, 1), std::out_of_range);
    EXPECT_EQ(map[0].type, kIntegerField);
}

TEST(FieldMapBuilding, ConversionRefusesShortBuffers) {
    const RecordType& type = recordType(RecordKind::Class);
    const FieldMap map = type.buildFieldMap();
    std::vector<std::max_align_t> storage(type.recordSize() / sizeof(std::max_align_t) + 1);
    std::memset(storage.data(), 0x5A, type.recordSize());
    std::vector<std::uint8_t> shortRow(type.mappedLength() - 1, 0);
    EXPECT_FALSE(RowToStruct(shortRow, map, storage.data(), type.recordSize()));
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(storage.data())[0], 0x5A);
    std::vector<std::uint8_t> row(type.dataLength(), 0);
    EXPECT_FALSE(RowToStruct(row, map, storage.data(), type.recordSize() - 1));
    EXPECT_FALSE(StructToRow(shortRow, map, storage.data(), type.recordSize()));
}

}  // namespace
}  // namespace gw
