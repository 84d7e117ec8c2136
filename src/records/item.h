#pragma once
// Item record, wccitem2.dat: 1032 bytes passed, the map covers the first 905 in 179 fields,
// keyed by the 32-bit Number. Negate[k] and Reserved8[k] are stored as interleaved pairs.
#include "records/record_decl.h"

#define GW_ITEM_FIELDS(F, P)                              \
    F(Number, kIntegerField, 4, 1)                        \
    F(Name, kTextField, 29, 1)                            \
    F(NameEnd, kByteField, 1, 1)                          \
    F(Desc1, kTextField, 60, 1)                           \
    F(Desc1End, kByteField, 1, 1)                         \
    F(Desc2, kTextField, 60, 1)                           \
    F(Desc2End, kByteField, 1, 1)                         \
    F(Desc3, kTextField, 60, 1)                           \
    F(Desc3End, kByteField, 1, 1)                         \
    F(Desc4, kTextField, 60, 1)                           \
    F(Desc4End, kByteField, 1, 1)                         \
    F(Desc5, kTextField, 60, 1)                           \
    F(Desc5End, kByteField, 1, 1)                         \
    F(Desc6, kTextField, 60, 1)                           \
    F(Desc6End, kByteField, 1, 1)                         \
    F(Desc7, kTextField, 60, 1)                           \
    F(Desc7End, kByteField, 1, 1)                         \
    F(Desc8, kTextField, 60, 1)                           \
    F(Desc8End, kByteField, 1, 1)                         \
    F(Desc9, kTextField, 60, 1)                           \
    F(Reserved1, kIntegerField, 2, 2)                     \
    F(Limit, kIntegerField, 2, 1)                         \
    F(Reserved2, kIntegerField, 2, 1)                     \
    F(Weight, kIntegerField, 2, 1)                        \
    F(Type, kIntegerField, 2, 1)                          \
    F(AbilityA, kIntegerField, 2, 10)                     \
    F(Uses, kIntegerField, 2, 1)                          \
    F(Reserved3, kIntegerField, 2, 1)                     \
    F(Cost, kIntegerField, 2, 1)                          \
    F(CostType, kByteField, 1, 1)                         \
    F(Reserved4, kByteField, 1, 1)                        \
    F(DestroyOnDeath, kByteField, 1, 1)                   \
    F(Reserved5, kByteField, 1, 1)                        \
    F(Class, kIntegerField, 2, 10)                        \
    F(Reserved6, kIntegerField, 2, 3)                     \
    F(MinHit, kIntegerField, 2, 1)                        \
    F(MaxHit, kIntegerField, 2, 1)                        \
    F(AC, kIntegerField, 2, 1)                            \
    F(Race, kIntegerField, 2, 10)                         \
    F(Reserved7, kIntegerField, 2, 10)                    \
    P(NegatePair, Negate, Reserved8, kIntegerField, 2, 5) \
    F(Reserved9, kIntegerField, 2, 10)                    \
    F(Weapon, kIntegerField, 2, 1)                        \
    F(Armour, kIntegerField, 2, 1)                        \
    F(WornOn, kIntegerField, 2, 1)                        \
    F(Accuracy, kIntegerField, 2, 1)                      \
    F(DR, kIntegerField, 2, 1)                            \
    F(Gettable, kIntegerField, 2, 1)                      \
    F(ReqSTR, kIntegerField, 2, 1)                        \
    F(Reserved10, kIntegerField, 2, 30)                   \
    F(Speed, kIntegerField, 2, 1)                         \
    F(Reserved11, kIntegerField, 2, 1)                    \
    F(AbilityB, kIntegerField, 2, 9)                      \
    F(Reserved12, kIntegerField, 4, 1)                    \
    F(HitMsg, kIntegerField, 4, 1)                        \
    F(MissMsg, kIntegerField, 4, 1)                       \
    F(ReadMsg, kIntegerField, 4, 1)                       \
    F(DistructMsg, kIntegerField, 4, 1)                   \
    F(Reserved13, kIntegerField, 2, 6)                    \
    F(NotDroppable, kByteField, 1, 1)                     \
    F(Reserved14, kIntegerField, 2, 20)

namespace gw {
GW_DECLARE_RECORD(Item, GW_ITEM_FIELDS)
}  // namespace gw
