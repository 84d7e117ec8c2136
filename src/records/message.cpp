#include "records/message.h"

namespace gw {
GW_DEFINE_RECORD(Message, GW_MESSAGE_FIELDS, "wccmsg2.dat", 256, KeySpec::int32())
}  // namespace gw
