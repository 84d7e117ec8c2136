#include "records/textblock.h"

namespace gw {
GW_DEFINE_RECORD(Textblock, GW_TEXTBLOCK_FIELDS, "wcctext2.dat", 2500, KeySpec::int32())
}  // namespace gw
