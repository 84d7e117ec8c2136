#include "records/references.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace gw {

namespace {

using K = RecordKind;

constexpr std::int64_t kMapChangeExit = 8;  // exit type "Map Change": leads to another map
constexpr std::int64_t kSpellAttack = 2;    // attack type "Spell"

constexpr Reference labelled(RecordKind from, std::string_view field, RecordKind to) {
    return {from, field, to, TargetScope::Number, 0, {}, /*labelOnly=*/true};
}

// clang-format off
constexpr Reference kReferences[] = {
    labelled(K::Class, "TitleText", K::Textblock),
    {K::Spell, "CastMsgA", K::Message},
    {K::Spell, "CastMsgB", K::Message},
    {K::Monster, "WeaponNumber", K::Item},
    {K::Monster, "MoveMsg", K::Message},
    {K::Monster, "DeathMsg", K::Message},
    {K::Monster, "ItemNumber", K::Item},
    labelled(K::Monster, "GreetTxt", K::Textblock),
    labelled(K::Monster, "DescTxt", K::Textblock),
    // Accuracy for other attacks: a spell number only where the attack is a spell.
    {K::Monster, "AttackAccuSpell", K::Spell, TargetScope::Number, 0,
     {"AttackType", kSpellAttack, true}},
    {K::Monster, "AttackHitMsg", K::Message},
    {K::Monster, "AttackDodgeMsg", K::Message},
    {K::Monster, "AttackMissMsg", K::Message},
    labelled(K::Monster, "TalkTxt", K::Textblock),
    {K::Monster, "AttackHitSpell", K::Spell},
    {K::Monster, "DeathSpellNumber", K::Spell},
    {K::Monster, "CreateSpellNumber", K::Spell},
    {K::Monster, "SpellNumber", K::Spell},
    {K::Item, "Class", K::Class},
    {K::Item, "Race", K::Race},
    {K::Item, "Negate", K::Spell},
    {K::Item, "HitMsg", K::Message},
    {K::Item, "MissMsg", K::Message},
    {K::Item, "ReadMsg", K::Message},
    {K::Item, "DistructMsg", K::Message},
    // The high byte of a shop's Class is not part of the class number.
    {K::Shop, "Class", K::Class, TargetScope::Number, 0xFF},
    {K::Shop, "ShopItemNumber", K::Item},
    // A "Map Change" exit names a room of another map, which the row does not say.
    {K::Room, "RoomExit", K::Room, TargetScope::RoomOfMap, 0,
     {"ExitType", kMapChangeExit, false}},
    {K::Room, "CurrentRoomMon", K::Monster},
    labelled(K::Room, "ShopNum", K::Shop),
    {K::Room, "RoomItems", K::Item},
    {K::Room, "InvisItems", K::Item},
    labelled(K::Room, "CmdText", K::Textblock),
    {K::Room, "PlacedItems", K::Item},
    // The next block of a text too long for one: the demo world chains its texts this way.
    labelled(K::Textblock, "LinkTo", K::Textblock),
    {K::User, "Race", K::Race},
    {K::User, "Class", K::Class},
    {K::User, "Item", K::Item},
};
// clang-format on

struct Resolved {
    const Reference* reference;
    const FieldInfo* field;
    const FieldInfo* condition;  // nullptr: always
};

// The field names resolved once per record type; a name that is not in its record is a
// fault in the table above.
const std::vector<Resolved>& resolvedFor(RecordKind kind) {
    static const auto table = [] {
        std::array<std::vector<Resolved>, kRecordKindCount> t;
        for (const Reference& r : kReferences) {
            const RecordType& type = recordType(r.from);
            const FieldInfo* field = type.field(r.field);
            const FieldInfo* condition = r.when.field.empty() ? nullptr : type.field(r.when.field);
            if (!field || (!r.when.field.empty() && !condition) ||
                (condition && condition->count != field->count))
                throw std::logic_error("reference table names a field its record lacks");
            t[static_cast<std::size_t>(r.from)].push_back({&r, field, condition});
        }
        return t;
    }();
    return table[static_cast<std::size_t>(kind)];
}

}  // namespace

std::span<const Reference> allReferences() { return kReferences; }

bool numberZeroMeansNone(const RecordType& type) {
    const KeyKind key = type.key().kind;
    return key == KeyKind::Int16 || key == KeyKind::Int32;
}

std::string newNumberRefusal(const RecordType& type, std::int64_t number) {
    if (number != 0 || !numberZeroMeansNone(type)) return {};
    const std::string_view name = type.name();
    const bool vowel = std::string_view("AEIOU").find(name.front()) != std::string_view::npos;
    return "0 means none wherever a record names " + std::string(vowel ? "an " : "a ") +
           std::string(name);
}

void referencesIn(RecordKind kind, const void* record, std::vector<FoundReference>& out) {
    out.clear();
    for (const Resolved& r : resolvedFor(kind)) {
        const Reference& ref = *r.reference;
        for (std::size_t k = 0; k < r.field->count; ++k) {
            std::int64_t value = getInt(record, *r.field, k);
            if (ref.mask != 0) value &= ref.mask;
            if (value == 0) continue;
            if (r.condition && !ref.when.holdsFor(getInt(record, *r.condition, k))) continue;
            out.push_back({&ref, r.field, k, value});
        }
    }
}

namespace {
// The key from the first field (and the second, for a pair), however they are read.
template <class IntOf, class TextOf>
RecordKey keyFrom(const RecordType& type, IntOf intOf, TextOf textOf) {
    RecordKey key;
    key.kind = type.key().kind;
    const FieldInfo& first = type.fields().front();
    switch (key.kind) {
        case KeyKind::Int16:
        case KeyKind::Int32:
            key.number = intOf(first);
            break;
        case KeyKind::Int32Pair:
            key.number = intOf(first);
            key.room = intOf(type.fields()[1]);
            break;
        case KeyKind::Text: {
            std::string_view text = textOf(first);
            text = text.substr(0, text.find('\0'));
            while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
            key.text = std::string(text);
            break;
        }
    }
    return key;
}
}  // namespace

RecordKey recordKeyOf(const RecordType& type, const void* record) {
    return keyFrom(
        type, [&](const FieldInfo& f) { return getInt(record, f); },
        [&](const FieldInfo& f) { return getText(record, f); });
}

RecordKey recordKeyOfRow(const RecordType& type, std::span<const std::uint8_t> row) {
    return keyFrom(
        type, [&](const FieldInfo& f) { return rowInt(row, f); },
        [&](const FieldInfo& f) { return rowText(row, f); });
}

std::vector<std::uint8_t> storedKeyBytes(const RecordType& type, const RecordKey& key) {
    const KeySpec spec = type.key();
    std::vector<std::uint8_t> bytes(spec.width, spec.kind == KeyKind::Text ? ' ' : 0);
    auto put = [&](std::size_t at, std::int64_t value, std::size_t width) {
        for (std::size_t b = 0; b < width && at + b < bytes.size(); ++b)
            bytes[at + b] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * b));
    };
    switch (spec.kind) {
        case KeyKind::Int16:
            put(0, key.number, 2);
            break;
        case KeyKind::Int32:
            put(0, key.number, 4);
            break;
        case KeyKind::Int32Pair:
            put(0, key.number, 4);
            put(4, key.room, 4);
            break;
        case KeyKind::Text:
            std::copy_n(key.text.begin(), std::min(key.text.size(), bytes.size()), bytes.begin());
            break;
    }
    return bytes;
}

}  // namespace gw
