#pragma once
// Shop record, wccshop2.dat: 504 bytes passed, the map covers the first 476 in 135 fields,
// keyed by the 32-bit Number. Class is one 16-bit field whose low byte is the class number
// and whose high byte the editor preserves.
#include "records/record_decl.h"

#define GW_SHOP_FIELDS(F, P)                \
    F(Number, kIntegerField, 4, 1)          \
    F(Name, kTextField, 39, 1)              \
    F(Reserved1, kIntegerField, 2, 1)       \
    F(ReservedText1, kTextField, 51, 1)     \
    F(Reserved2, kIntegerField, 2, 1)       \
    F(ReservedText2, kTextField, 51, 1)     \
    F(Reserved3, kIntegerField, 2, 1)       \
    F(ReservedText3, kTextField, 51, 1)     \
    F(Reserved4, kIntegerField, 2, 1)       \
    F(Type, kIntegerField, 2, 1)            \
    F(ShopMinLvl, kIntegerField, 2, 1)      \
    F(ShopMaxLvl, kIntegerField, 2, 1)      \
    F(ShopMarkup, kIntegerField, 2, 1)      \
    F(Reserved5, kIntegerField, 2, 1)       \
    F(Class, kIntegerField, 2, 1)           \
    F(ShopItemNumber, kIntegerField, 4, 20) \
    F(ShopMax, kIntegerField, 2, 20)        \
    F(ShopNormal, kIntegerField, 2, 20)     \
    F(ShopRgnTime, kIntegerField, 2, 20)    \
    F(RgnNumber, kIntegerField, 2, 20)      \
    F(RgnPercentage, kByteField, 1, 20)

namespace gw {
GW_DECLARE_RECORD(Shop, GW_SHOP_FIELDS)
}  // namespace gw
