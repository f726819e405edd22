// Process-wide records of the external-field subsystem.
//
// Each record is one named struct, declared here once, with its writers and
// readers. All start at zero when the process starts.
#ifndef KEST_EXTFIELD_STATE_HPP
#define KEST_EXTFIELD_STATE_HPP

#include <cstdint>

#include "kest/api.h"

namespace kest {

// coefom97: coefficients of the Ostapenko-Maltsev 1997 basis fields for the
// current drivers.
//   a[0..28]  A1..A29; A1..A17 are the amplitudes of the seventeen basis
//             fields (nT), A18..A29 are never written.
//   na        number of coefficients in use (17 once set_a has run, 0 before).
// Written by set_a (champ calls it before every evaluation of the model);
// read by bom97.
struct Coefom97 {
  double a[29];
  std::int32_t na;
};
extern KEST_API Coefom97 coefom97;

}  // namespace kest

#endif
