// What the AE8/AP8 and CRRES flux drivers share: the size limits of a call,
// the replaced-selector warning, and the evaluation of L and B/B0 along a
// series of positions in the field model a driver has set up.
#ifndef KEST_RADIATION_FLUX_DRIVER_HPP
#define KEST_RADIATION_FLUX_DRIVER_HPP

#include "kest/api.h"

namespace kest {

// Leading dimension of every flux array (points) and its second dimension
// (energies or bands); the energy arrays are 2 x 25.
inline constexpr int kFluxMaxPoints = 100000;
inline constexpr int kFluxMaxEnergies = 25;

// Work arrays of one driver, kept in static storage and sized for the point
// limit: the outputs of calcul_lstar_ per point and B/B0.
struct FlyWork {
  double lm[kFluxMaxPoints];
  double lstar[kFluxMaxPoints];
  double xj[kFluxMaxPoints];
  double blocal[kFluxMaxPoints];
  double bmin[kFluxMaxPoints];
  double bbo[kFluxMaxPoints];
};

// Prints the six-line frame of a replaced selector: an empty line, 41 "!",
// the message, the choice made, 41 "!", an empty line.
void flux_warn_replaced(const char* message, const char* choice);

// Checks a call against the flux array's size. When ntime is above 100000 or
// nene above 25 it prints one line saying so, sets every entry of the first
// min(ntime, 100000) rows (all 25 columns) to the fill value and returns
// false; otherwise it returns true and writes nothing.
bool flux_call_fits(int ntime, int nene, double* flux);

// L and B/B0 of each point in the field model of magmod, as the flux tables
// want them.
// Given:    ntime    int      number of points (at most 100000)
//           sysaxes  int      position system 0..8 of x1, x2, x3
//           iyr, idoy, ut     time of each point (read for systems 2..5)
//           x1, x2, x3        position of each point (not written)
// Returned: w        lm (the magnitude of Lm; fill kept), bbo = Blocal/Bmin,
//                    and the other calcul_lstar_ outputs, per point
// State:    through calcul_lstar_ reads magmod and the field-model state and
//           writes flag_l (0 under the drivers' lstar_opt 0, which stops the
//           search after Bmin); for the systems 2..5 sets the sun and axes
//           state to each point's time.
// Failure:  a position system outside 0..8 places no point: fill value in
//           lm and the other outputs of every point.
// Requires: the driver's field model set up (magmod, internal field, sun).
void fly_points(FlyWork& w, int ntime, int sysaxes, const int* iyr, const int* idoy, const double* ut,
                const double* x1, const double* x2, const double* x3);

}  // namespace kest

#endif
