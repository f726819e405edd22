// Centred dipole field in GSM, the Earth's dipole that the Tsyganenko 1996
// model subtracts in its boundary layer and beyond its magnetopause.
#include <cmath>

#include "kest/extfield.h"

namespace {

// Last tilt with its sine and cosine. The tilt changes only from one time to
// the next, while a traced field line calls the dipole thousands of times at
// one tilt; the trigonometry is done only when the tilt moves by 1e-5 rad or
// more (a change below that shifts the field by at most 2e-5 of itself: a
// turn of the moment by dpsi moves the field by up to 2 dpsi of it).
struct DipoleTiltCache {
  bool computed = false;
  double psi = 5.0;
  double sps = 0.0;
  double cps = 0.0;
};
DipoleTiltCache dipole_tilt_cache;

}  // namespace

// dipole: field of the Earth's centred dipole, moment 30574 nT, in GSM.
// Given:    psi  double  dipole tilt, radians
//           x, y, z  double  GSM position, Earth radii
// Returned: bx, by, bz  double  GSM components, nT
// State:    keeps dipole_tilt_cache (last tilt, its sine and cosine).
// Failure:  none; at the origin the result is not a number.
// Notes:    1. The sine and cosine are recomputed only on the first call or
//             when psi differs from the kept tilt by 1e-5 rad or more; the
//             kept tilt is then replaced. A slowly drifting psi is thus
//             followed in steps of at most 1e-5 rad.
// References: N. A. Tsyganenko, Modeling the Earth's magnetospheric magnetic
//           field confined within a realistic magnetopause, J. Geophys. Res.
//           100, 5599 (1995).
extern "C" void dipole_(double* psi, double* x, double* y, double* z, double* bx, double* by,
                        double* bz) {
  DipoleTiltCache& c = dipole_tilt_cache;
  // Written so that a kept tilt that is not a number is replaced at once.
  if (!c.computed || !(std::fabs(*psi - c.psi) < 1.0e-5)) {
    c.sps = std::sin(*psi);
    c.cps = std::cos(*psi);
    c.psi = *psi;
    c.computed = true;
  }
  const double xx = *x, yy = *y, zz = *z;
  const double p = xx * xx, u = zz * zz, v = 3.0 * zz * xx, t = yy * yy;
  const double r2 = p + t + u;
  const double q = 30574.0 / (r2 * r2 * std::sqrt(r2));
  *bx = q * ((t + u - 2.0 * p) * c.sps - v * c.cps);
  *by = -3.0 * yy * q * (xx * c.sps + zz * c.cps);
  *bz = q * ((p + t - 2.0 * u) * c.cps - v * c.sps);
}
