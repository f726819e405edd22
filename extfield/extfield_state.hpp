// Process-wide records of the external field models.
//
// Each record is one named struct, declared here once, with its writers and
// readers. All start at zero when the process starts. The records are
// exported (KEST_API) so that the test programs can set and observe them;
// they are not part of the public C interface.
#ifndef KEST_EXTFIELD_STATE_HPP
#define KEST_EXTFIELD_STATE_HPP

#include <cstdint>

#include "kest/api.h"

namespace kest {

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
