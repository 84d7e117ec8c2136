#include "records/room.h"

namespace gw {
GW_DEFINE_RECORD(Room, GW_ROOM_FIELDS, "wccmp002.dat", 1516, KeySpec::int32Pair())
}  // namespace gw
