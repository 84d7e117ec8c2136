#pragma once
// Room record, wccmp002.dat: 1516 bytes passed, the map covers the first 1260 in 251 fields,
// keyed by (MapNumber, RoomNumber). The per-direction runs are indexed by direction slot.
#include "records/record_decl.h"

#define GW_ROOM_FIELDS(F, P)                \
    F(MapNumber, kIntegerField, 4, 1)       \
    F(RoomNumber, kIntegerField, 4, 1)      \
    F(Name, kTextField, 53, 1)              \
    F(Desc, kTextField, 71, 7)              \
    F(AnsiMap, kTextField, 14, 1)           \
    F(RoomExit, kIntegerField, 4, 10)       \
    F(ExitType, kIntegerField, 2, 10)       \
    F(RoomPara, kIntegerField, 4, 10)       \
    F(RoomWPara, kIntegerField, 2, 10)      \
    F(RoomLPara1, kIntegerField, 4, 10)     \
    F(RoomLPara2, kIntegerField, 4, 10)     \
    F(CurrentRoomMon, kIntegerField, 2, 15) \
    F(RoomType, kIntegerField, 2, 1)        \
    F(ShopNum, kIntegerField, 2, 1)         \
    F(RoomReserved1, kIntegerField, 4, 8)   \
    F(MinIndex, kIntegerField, 2, 1)        \
    F(MaxIndex, kIntegerField, 2, 1)        \
    F(RoomReserved2, kIntegerField, 2, 3)   \
    F(Light, kIntegerField, 2, 1)           \
    F(RoomReserved3, kIntegerField, 2, 1)   \
    F(RoomItems, kIntegerField, 4, 17)      \
    F(RoomReserved4, kIntegerField, 2, 18)  \
    F(InvisItems, kIntegerField, 4, 15)     \
    F(RoomReserved5, kIntegerField, 2, 16)  \
    F(Runic, kIntegerField, 4, 1)           \
    F(Platinum, kIntegerField, 4, 1)        \
    F(Gold, kIntegerField, 4, 1)            \
    F(Silver, kIntegerField, 4, 1)          \
    F(Copper, kIntegerField, 4, 1)          \
    F(RoomReserved6, kIntegerField, 2, 10)  \
    F(MaxRegen, kIntegerField, 4, 1)        \
    F(MonsterType, kIntegerField, 4, 1)     \
    F(Attributes, kIntegerField, 2, 1)      \
    F(RoomReserved7, kIntegerField, 2, 3)   \
    F(DeathRoom, kIntegerField, 4, 1)       \
    F(ExitRoom, kIntegerField, 4, 1)        \
    F(RoomReserved8, kIntegerField, 2, 32)  \
    F(CmdText, kIntegerField, 4, 1)         \
    F(RoomReserved9, kIntegerField, 2, 4)   \
    F(Delay, kIntegerField, 2, 1)           \
    F(MaxArea, kIntegerField, 2, 1)         \
    F(RoomReserved10, kIntegerField, 4, 1)  \
    F(ControlRoom, kIntegerField, 4, 1)     \
    F(PermNPC, kIntegerField, 4, 1)         \
    F(PlacedItems, kIntegerField, 4, 10)    \
    F(RoomReserved11, kIntegerField, 2, 6)  \
    F(Spell, kIntegerField, 4, 1)

namespace gw {
GW_DECLARE_RECORD(Room, GW_ROOM_FIELDS)
}  // namespace gw
