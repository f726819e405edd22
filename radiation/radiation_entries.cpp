// Argument-vector entries of the radiation-belt flux models: each passes its
// argument addresses unchanged to its core.
#include "frame/entry.hpp"
#include "kest/radiation.h"

KEST_ENTRY(fly_in_nasa_aeap_, fly_in_nasa_aeap1_)
KEST_ENTRY(get_ae8_ap8_flux_idl_, get_ae8_ap8_flux_)
KEST_ENTRY(fly_in_afrl_crres_, fly_in_afrl_crres1_)
KEST_ENTRY(get_crres_flux_idl_, get_crres_flux_)
