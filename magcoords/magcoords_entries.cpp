// Argument-vector entries of the magnetic-coordinate subsystem: each forwards
// its argument addresses to its core and returns 9.9.
#include "frame/entry.hpp"
#include "kest/magcoords.h"

KEST_ENTRY(get_field_, get_field1_)
