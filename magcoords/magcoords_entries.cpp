// Argument-vector entries of the magnetic-coordinate subsystem: each forwards
// its argument addresses to its core and returns 9.9.
#include "frame/entry.hpp"
#include "kest/magcoords.h"

KEST_ENTRY(get_field_, get_field1_)

// ---- Lm, L* and magnetic local time ----------------------------------------
KEST_ENTRY(make_lstar_, make_lstar1_)
KEST_ENTRY(lstar_phi_, lstar_phi1_)
KEST_ENTRY(get_mlt_, get_mlt1_)
