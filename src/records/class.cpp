#include "records/class.h"

namespace gw {
GW_DEFINE_RECORD(Class, GW_CLASS_FIELDS, "wccclas2.dat", 156, KeySpec::int16())
}  // namespace gw
