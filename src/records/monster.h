#pragma once
// Monster record, wccknms2.dat: 696 bytes passed, the map covers the first 644 in 158 fields,
// keyed by the 32-bit Number.
#include "records/record_decl.h"

#define GW_MONSTER_FIELDS(F, P)               \
    F(Number, kIntegerField, 4, 1)            \
    F(Name, kTextField, 29, 1)                \
    F(NameEnd, kByteField, 1, 1)              \
    F(Group, kIntegerField, 2, 1)             \
    F(Reserved1, kIntegerField, 2, 1)         \
    F(Index, kIntegerField, 2, 1)             \
    F(Reserved2, kIntegerField, 4, 1)         \
    F(WeaponNumber, kIntegerField, 4, 1)      \
    F(AC2, kIntegerField, 2, 1)               \
    F(AC1, kIntegerField, 2, 1)               \
    F(Reserved3, kIntegerField, 2, 1)         \
    F(Follow, kIntegerField, 2, 1)            \
    F(MR, kIntegerField, 2, 1)                \
    F(Reserved4, kIntegerField, 2, 1)         \
    F(Experience, kIntegerField, 2, 1)        \
    F(HitPoints, kIntegerField, 2, 1)         \
    F(Energy, kIntegerField, 2, 1)            \
    F(HpRegen, kIntegerField, 2, 1)           \
    F(AbilityA, kIntegerField, 2, 5)          \
    F(AbilityB, kIntegerField, 2, 5)          \
    F(GameLimit, kIntegerField, 2, 1)         \
    F(Active, kIntegerField, 2, 1)            \
    F(Type, kIntegerField, 2, 1)              \
    F(Reserved5, kByteField, 1, 1)            \
    F(Undead, kByteField, 1, 1)               \
    F(Alignment, kIntegerField, 2, 1)         \
    F(Reserved6, kIntegerField, 2, 1)         \
    F(RegenTime, kIntegerField, 2, 1)         \
    F(Reserved7, kIntegerField, 2, 3)         \
    F(MoveMsg, kIntegerField, 4, 1)           \
    F(DeathMsg, kIntegerField, 4, 1)          \
    F(ItemNumber, kIntegerField, 4, 5)        \
    F(ItemUses, kIntegerField, 2, 5)          \
    F(ItemDropPer, kByteField, 1, 5)          \
    F(Reserved8, kByteField, 1, 1)            \
    F(Runic, kIntegerField, 4, 1)             \
    F(Platinum, kIntegerField, 4, 1)          \
    F(Gold, kIntegerField, 4, 1)              \
    F(Silver, kIntegerField, 4, 1)            \
    F(Copper, kIntegerField, 4, 1)            \
    F(DescLine1, kTextField, 69, 1)           \
    F(Reserved9, kIntegerField, 2, 1)         \
    F(DescLine2, kTextField, 69, 1)           \
    F(Reserved10, kIntegerField, 2, 1)        \
    F(DescLine3, kTextField, 69, 1)           \
    F(Reserved11, kIntegerField, 2, 1)        \
    F(DescLine4, kTextField, 69, 1)           \
    F(Reserved12, kIntegerField, 2, 1)        \
    F(Gender, kByteField, 1, 1)               \
    F(Reserved13, kByteField, 1, 1)           \
    F(Reserved14, kIntegerField, 2, 1)        \
    F(GreetTxt, kIntegerField, 4, 1)          \
    F(Charmlvl, kIntegerField, 2, 1)          \
    F(Reserved15, kIntegerField, 2, 1)        \
    F(DescTxt, kIntegerField, 4, 1)           \
    F(AttackType, kByteField, 1, 5)           \
    F(Reserved16, kByteField, 1, 1)           \
    F(AttackAccuSpell, kIntegerField, 2, 5)   \
    F(AttackPer, kByteField, 1, 5)            \
    F(Reserved17, kByteField, 1, 1)           \
    F(AttackMinHCastPer, kIntegerField, 2, 5) \
    F(AttackMaxHCastLvL, kIntegerField, 2, 5) \
    F(Reserved18, kIntegerField, 2, 1)        \
    F(AttackHitMsg, kIntegerField, 4, 5)      \
    F(AttackDodgeMsg, kIntegerField, 4, 5)    \
    F(AttackMissMsg, kIntegerField, 4, 5)     \
    F(AttackEnergy, kIntegerField, 2, 5)      \
    F(Reserved19, kIntegerField, 2, 1)        \
    F(TalkTxt, kIntegerField, 4, 1)           \
    F(Reserved20, kIntegerField, 2, 2)        \
    F(AttackHitSpell, kIntegerField, 2, 5)    \
    F(DeathSpellNumber, kIntegerField, 2, 1)  \
    F(Reserved21, kIntegerField, 2, 7)        \
    F(CreateSpellNumber, kIntegerField, 2, 1) \
    F(SpellNumber, kIntegerField, 2, 5)       \
    F(SpellCastPer, kByteField, 1, 5)         \
    F(SpellCastLvL, kByteField, 1, 5)

namespace gw {
GW_DECLARE_RECORD(Monster, GW_MONSTER_FIELDS)
}  // namespace gw
