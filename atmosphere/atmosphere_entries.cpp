// Argument-vector entries of the atmosphere subsystem.
#include "frame/entry.hpp"
#include "kest/atmosphere.h"

KEST_ENTRY(msis86_idl_, msis86_)
KEST_ENTRY(msise90_idl_, msise90_)
KEST_ENTRY(nrlmsise00_idl_, nrlmsise00_)
