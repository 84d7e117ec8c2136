#pragma once
// User record, wccuser2.dat: 2064 bytes passed, the map covers the first 816 in 262 fields,
// keyed by the text of BBSName. Inventory slot i is Item[i] with ItemUses[i].
#include "records/record_decl.h"

#define GW_USER_FIELDS(F, P)           \
    F(BBSName, kTextField, 30, 1)      \
    F(FirstName, kTextField, 10, 1)    \
    F(FirstNameEnd, kByteField, 1, 1)  \
    F(LastName, kTextField, 18, 1)     \
    F(LastNameEnd, kByteField, 1, 1)   \
    F(Experience, kIntegerField, 4, 1) \
    F(Race, kIntegerField, 2, 1)       \
    F(Class, kIntegerField, 2, 1)      \
    F(Level, kIntegerField, 2, 1)      \
    F(Stat, kIntegerField, 2, 12)      \
    F(MaxHP, kIntegerField, 2, 1)      \
    F(CurrentHP, kIntegerField, 2, 1)  \
    F(Reserved, kIntegerField, 2, 19)  \
    F(Item, kIntegerField, 4, 100)     \
    F(ItemUses, kIntegerField, 2, 100) \
    F(Text1Value, kIntegerField, 4, 20)

namespace gw {
GW_DECLARE_RECORD(User, GW_USER_FIELDS)
}  // namespace gw
