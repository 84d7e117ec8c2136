#include "records/spell.h"

namespace gw {
GW_DEFINE_RECORD(Spell, GW_SPELL_FIELDS, "wccspel2.dat", 260, KeySpec::int16())
}  // namespace gw
