#pragma once
// Class record, wccclas2.dat: 156 bytes passed, the map covers the first 102 in 38 fields,
// keyed by the 16-bit Number.
#include "records/record_decl.h"

#define GW_CLASS_FIELDS(F, P)         \
    F(Number, kIntegerField, 2, 1)    \
    F(Name, kTextField, 29, 1)        \
    F(NameEnd, kByteField, 1, 1)      \
    F(MinHP, kIntegerField, 2, 1)     \
    F(MaxHP, kIntegerField, 2, 1)     \
    F(Exp, kIntegerField, 2, 1)       \
    F(Reserved1, kIntegerField, 2, 1) \
    F(Reserved2, kIntegerField, 2, 1) \
    F(Reserved3, kIntegerField, 2, 1) \
    F(AbilityA, kIntegerField, 2, 10) \
    F(MagicType, kIntegerField, 2, 1) \
    F(MagicLvL, kIntegerField, 2, 1)  \
    F(Weapon, kIntegerField, 2, 1)    \
    F(Armour, kIntegerField, 2, 1)    \
    F(Combat, kIntegerField, 2, 1)    \
    F(AbilityB, kIntegerField, 2, 10) \
    F(Reserved4, kIntegerField, 2, 1) \
    F(Reserved5, kIntegerField, 2, 1) \
    F(Reserved6, kIntegerField, 2, 1) \
    F(TitleText, kIntegerField, 2, 1)

namespace gw {
GW_DECLARE_RECORD(Class, GW_CLASS_FIELDS)
}  // namespace gw
