#pragma once
// Message record, wccmsg2.dat: 256 bytes passed, the map covers the first 242 in 12 fields,
// keyed by the 32-bit Number.
#include "records/record_decl.h"

#define GW_MESSAGE_FIELDS(F, P)        \
    F(Number, kIntegerField, 4, 1)     \
    F(MessageLine1, kTextField, 74, 1) \
    F(Line1Extra, kIntegerField, 2, 4) \
    F(MessageLine2, kTextField, 74, 1) \
    F(Line2Extra, kIntegerField, 2, 4) \
    F(MessageLine3, kTextField, 74, 1)

namespace gw {
GW_DECLARE_RECORD(Message, GW_MESSAGE_FIELDS)
}  // namespace gw
