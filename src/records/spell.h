#pragma once
// Spell record, wccspel2.dat: 260 bytes, 73 fields, keyed by the 16-bit Number.
#include "records/record_decl.h"

#define GW_SPELL_FIELDS(F, P)             \
    F(Number, kIntegerField, 2, 1)        \
    F(Name, kTextField, 29, 1)            \
    F(NameEnd, kByteField, 1, 1)          \
    F(DescA, kTextField, 50, 1)           \
    F(DescAEnd, kByteField, 1, 1)         \
    F(DescB, kTextField, 50, 1)           \
    F(DescBEnd, kByteField, 1, 1)         \
    F(Reserved1, kIntegerField, 2, 1)     \
    F(CastMsgA, kIntegerField, 4, 1)      \
    F(Reserved2, kIntegerField, 2, 11)    \
    F(LevelCap, kByteField, 1, 1)         \
    F(Reserved3, kByteField, 1, 1)        \
    F(MsgStyle, kByteField, 1, 1)         \
    F(Reserved4, kByteField, 1, 3)        \
    F(AbilityB, kIntegerField, 2, 10)     \
    F(Energy, kIntegerField, 2, 1)        \
    F(Level, kIntegerField, 2, 1)         \
    F(Min, kIntegerField, 2, 1)           \
    F(Max, kIntegerField, 2, 1)           \
    F(SpellType, kIntegerField, 2, 1)     \
    F(TypeOfResists, kIntegerField, 2, 1) \
    F(Difficulty, kIntegerField, 2, 1)    \
    F(Undefined01, kIntegerField, 2, 1)   \
    F(Target, kIntegerField, 2, 1)        \
    F(Length, kIntegerField, 2, 1)        \
    F(TypeOfAttack, kIntegerField, 2, 1)  \
    F(Reserved5, kIntegerField, 2, 1)     \
    F(ResistAbility, kIntegerField, 2, 1) \
    F(MageryA, kIntegerField, 2, 1)       \
    F(AbilityA, kIntegerField, 2, 10)     \
    F(CastMsgB, kIntegerField, 2, 1)      \
    F(Reserved6, kIntegerField, 2, 1)     \
    F(Mana, kIntegerField, 2, 1)          \
    F(LevelMod, kByteField, 1, 1)         \
    F(Increase, kByteField, 1, 1)         \
    F(MageryB, kIntegerField, 2, 1)       \
    F(Undefined03, kByteField, 1, 1)      \
    F(Undefined04, kByteField, 1, 1)      \
    F(Undefined05, kByteField, 1, 1)      \
    F(Undefined06, kByteField, 1, 1)      \
    F(ShortName, kTextField, 5, 1)        \
    F(ShortNameEnd, kByteField, 1, 1)     \
    F(Reserved7, kIntegerField, 4, 1)

namespace gw {
GW_DECLARE_RECORD(Spell, GW_SPELL_FIELDS)
}  // namespace gw
