#include "records/item.h"

namespace gw {
GW_DEFINE_RECORD(Item, GW_ITEM_FIELDS, "wccitem2.dat", 1032, KeySpec::int32())
}  // namespace gw
