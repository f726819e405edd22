// Argument-vector entries of the magnetic-coordinate subsystem: each forwards
// its argument addresses to its core and returns 9.9.
#include "frame/entry.hpp"
#include "kest/magcoords.h"

KEST_ENTRY(get_field_, get_field1_)

// ---- Lm, L* and magnetic local time ----------------------------------------
KEST_ENTRY(make_lstar_, make_lstar1_)
KEST_ENTRY(lstar_phi_, lstar_phi1_)
KEST_ENTRY(get_mlt_, get_mlt1_)

// ---- Drift shells, field lines, mirror points, equator, hemisphere ---------
KEST_ENTRY(drift_shell_, drift_shell1_)
KEST_ENTRY(trace_field_line_, trace_field_line1_)
KEST_ENTRY(find_mirror_point_, find_mirror_point1_)
KEST_ENTRY(find_magequator_, find_magequator1_)
KEST_ENTRY(get_hemi_, get_hemi1_)
KEST_ENTRY(make_lstar_shell_splitting_, make_lstar_shell_splitting1_)
