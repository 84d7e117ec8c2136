#pragma once
// Text block record, wcctext2.dat: 2500 bytes, 4 fields, keyed by the 32-bit Number. Data
// holds the text in the shifted encoding of textblock_text.h.
#include "records/record_decl.h"

#define GW_TEXTBLOCK_FIELDS(F, P)     \
    F(Number, kIntegerField, 4, 1)    \
    F(StepOrder, kIntegerField, 4, 1) \
    F(LinkTo, kIntegerField, 4, 1)    \
    F(Data, kTextField, 2488, 1)

namespace gw {
GW_DECLARE_RECORD(Textblock, GW_TEXTBLOCK_FIELDS)
}  // namespace gw
