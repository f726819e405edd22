// Mission-averaged electron model entry points: each forwards its argument
// addresses, unchanged and in order, to the routine on its right (see
// frame/entry.hpp).
#include "frame/entry.hpp"
#include "kest/radiation.h"

//         entry                     routine
KEST_ENTRY(fly_in_ruk_,              fly_in_ruk1_)
KEST_ENTRY(fly_in_meo_gnss_,         fly_in_meo_gnss1_)
