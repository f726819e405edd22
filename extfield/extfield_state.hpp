// Process-wide records of the external-field subsystem.
//
// Each record is one named struct, declared here once, with its writers and
// readers. All start at zero when the process starts. The records are
// exported (KEST_API) so that the test programs can observe them; they are
// not part of the public C interface.
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

// ---- Tsyganenko 1996 ------------------------------------------------------
// warp: bending and warping geometry of the Tsyganenko 1996 current sheets at
// the last point given to tailrc96 (Earth radii, GSM as scaled by t96_01).
//   cb, sb      cosine and sine of the bending angle at the point
//   qb          bend-rate factor
//   hs          z shift of the mode-3 sheet by the tilt
//   wf          warping offset of the tail sheet in z
//   d           half-thickness of the tail sheet at this y
//   xb, zb      x and z in the bent frame (zb with the warping)
//   dxb[3]      derivatives of xb along x, y, z
//   dzb[3]      derivatives of zb along x, y, z
//   zeta        spread-out tail-sheet coordinate sqrt(zb^2 + d^2)
//   dzeta[3]    its derivatives along x, y, z
//   zn          z in the bent frame without the warping
// Written by tailrc96 (all fields, at every call, before any sheet routine
// runs); read only by ringcurr96, taildisk and tail87 within that call.
struct Warp {
  double cb, sb, qb, hs, wf, d;
  double xb, zb;
  double dxb[3];
  double dzb[3];
  double zeta;
  double dzeta[3];
  double zn;
};
extern KEST_API Warp warp;

}  // namespace kest

#endif
