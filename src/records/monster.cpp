#include "records/monster.h"

namespace gw {
GW_DEFINE_RECORD(Monster, GW_MONSTER_FIELDS, "wccknms2.dat", 696, KeySpec::int32())
}  // namespace gw
