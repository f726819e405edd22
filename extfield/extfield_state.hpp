// Process-wide records of the external field models.
//
// Each record is one named struct, declared here once, with its writers and
// readers. All start at zero when the process starts. The records are
// exported (KEST_API) so that the test programs can observe them; they are
// not part of the public C interface.
#ifndef KEST_EXTFIELD_STATE_HPP
#define KEST_EXTFIELD_STATE_HPP

#include "kest/api.h"

namespace kest {

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
