#include "records/shop.h"

namespace gw {
GW_DEFINE_RECORD(Shop, GW_SHOP_FIELDS, "wccshop2.dat", 504, KeySpec::int32())
}  // namespace gw
