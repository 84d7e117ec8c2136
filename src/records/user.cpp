#include "records/user.h"

namespace gw {
GW_DEFINE_RECORD(User, GW_USER_FIELDS, "wccuser2.dat", 2064, KeySpec::text(30))
}  // namespace gw
