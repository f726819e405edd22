// Argument-vector entries of the orbit subsystem.
#include "frame/entry.hpp"
#include "kest/orbit.h"

KEST_ENTRY(sgp4_tle_, sgp4_tle1_)
KEST_ENTRY(sgp4_ele_, sgp4_ele1_)
KEST_ENTRY(rv2coe_idl_, rv2coe_)
