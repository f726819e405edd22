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

// ---- Tsyganenko 2001 and 2004 models ---------------------------------------
// The module sums of the two models (t01_01, t04_s) write these records at
// every call, before the modules read them; one set serves both models and no
// value passes from one call to the next. (Definitions in
// extfield/tsyganenko01_state.cpp.)

// tail: geometry of the two tail current modes, Earth radii.
//   mode1_shift, mode2_shift  x shifts of modes 1 and 2
//   half_thickness            half-thickness of the sheets before the mode factors
//   flank_growth              growth of the thickness towards the flanks
// Written by the module sums; read by the flat-sheet layer of the tail modes.
struct Tail {
  double mode1_shift;
  double mode2_shift;
  double half_thickness;
  double flank_growth;
};
extern KEST_API Tail tail;

// g: warping parameter of the tail current sheet (y-z warping with the tilt).
// Written by the module sums; read by the warping layer of the tail modes.
struct TailWarping {
  double g;
};
extern KEST_API TailWarping g;

// rh0 (2001) and rh0_tsyg04 (2004): hinging distance of the tail current
// sheet, Earth radii. Written by the module sum of the model; read by the
// bending layer of that model's tail modes.
struct HingingDistance {
  double rh0;
};
extern KEST_API HingingDistance rh0;
extern KEST_API HingingDistance rh0_tsyg04;

// birkpar: size factors of the Region 1 and Region 2 Birkeland currents.
// Written by the module sums; read by the Birkeland-current module.
struct Birkpar {
  double kappa1;
  double kappa2;
};
extern KEST_API Birkpar birkpar;

// dphi_b_rho0: azimuthal deformation of the Birkeland cones.
//   dphi   constant part of the azimuthal shift (0.055 Region 1, 0.03 Region 2)
//   b      amplitude of its radius-dependent part (0.5)
//   rho0   radius scale of that part, Earth radii (7.0)
//   kappa  size factor of the region being computed
// Written by the Birkeland-current module (kappa before each region, the
// others before each region and mode); read by the deformed-cone field.
struct DphiBRho0 {
  double dphi;
  double b;
  double rho0;
  double kappa;
};
extern KEST_API DphiBRho0 dphi_b_rho0;

// dtheta: angular half-width of the Birkeland current sheet, radians (0.06
// Region 1, 0.09 Region 2). Written by the deformed-cone field; read by the
// conical-sheet field.
struct Dtheta {
  double dtheta;
};
extern KEST_API Dtheta dtheta;

// modenum: azimuthal mode number (1 or 2) of the Birkeland cone being
// computed. Written by the deformed-cone field; read by the conical-sheet
// field.
struct Modenum {
  std::int32_t m;
};
extern KEST_API Modenum modenum;

// rcpar: ring-current parameters.
//   src_scale  scale factor of the symmetric ring current (positions divided by it)
//   prc_scale  scale factor of the partial ring current
//   prc_angle  rotation of the partial ring current's quadrupole part about
//              the dipole axis, radians
// Written by the module sums; read by the ring-current module.
struct Rcpar {
  double src_scale;
  double prc_scale;
  double prc_angle;
};
extern KEST_API Rcpar rcpar;

}  // namespace kest

#endif
