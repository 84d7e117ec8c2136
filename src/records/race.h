#pragma once
// Race record, wccrace2.dat: 126 bytes, 45 fields, keyed by the 16-bit Number.
#include "records/record_decl.h"

#define GW_RACE_FIELDS(F, P)             \
    F(Number, kIntegerField, 2, 1)       \
    F(Name, kTextField, 29, 1)           \
    F(NameEnd, kByteField, 1, 1)         \
    F(MinIntellect, kIntegerField, 2, 1) \
    F(MinWillpower, kIntegerField, 2, 1) \
    F(MinStrength, kIntegerField, 2, 1)  \
    F(MinHealth, kIntegerField, 2, 1)    \
    F(MinAgility, kIntegerField, 2, 1)   \
    F(MinCharm, kIntegerField, 2, 1)     \
    F(HpBonus, kIntegerField, 2, 1)      \
    F(Reserved1, kIntegerField, 4, 1)    \
    F(AbilityA, kIntegerField, 2, 10)    \
    F(Cp, kIntegerField, 2, 1)           \
    F(AbilityB, kIntegerField, 2, 10)    \
    F(Reserved2, kIntegerField, 4, 1)    \
    F(Reserved3, kIntegerField, 2, 1)    \
    F(ExpChart, kIntegerField, 2, 1)     \
    F(Reserved4, kIntegerField, 2, 1)    \
    F(MaxIntellect, kIntegerField, 2, 1) \
    F(MaxWillpower, kIntegerField, 2, 1) \
    F(MaxStrength, kIntegerField, 2, 1)  \
    F(MaxHealth, kIntegerField, 2, 1)    \
    F(MaxAgility, kIntegerField, 2, 1)   \
    F(MaxCharm, kIntegerField, 2, 1)     \
    F(Reserved5, kIntegerField, 4, 1)    \
    F(Reserved6, kIntegerField, 4, 1)    \
    F(Reserved7, kIntegerField, 4, 1)

namespace gw {
GW_DECLARE_RECORD(Race, GW_RACE_FIELDS)
}  // namespace gw
