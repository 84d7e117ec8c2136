#include "records/race.h"

namespace gw {
GW_DEFINE_RECORD(Race, GW_RACE_FIELDS, "wccrace2.dat", 126, KeySpec::int16())
}  // namespace gw
