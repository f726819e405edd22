// Olson-Pfitzer quiet magnetospheric field model (1977).
//
// The field of the magnetospheric currents (magnetopause, tail, ring current)
// for quiet conditions, written as a power series in the solar-magnetic
// coordinates of the point. Its only driver is the dipole tilt; each series
// coefficient is a cubic in the tilt with only even or only odd powers, so
// that the model keeps the north-south mirror symmetry of the magnetosphere:
// turning the tilt over together with z reverses Bx and By and keeps Bz.
#include <cmath>

#include "extfield/olson_pfitzer77_tables.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

using kest::op77::Term;

constexpr int kNxz = 32;  // Bx and Bz series terms: x^a y^(2b) z^c, a + 2b + c <= 5, a and c <= 4
constexpr int kNy = 22;   // By series terms: y x^a y^(2b) z^c, a + 2b + c <= 4

// Per-tilt coefficient cache: the 172 cubics in the tilt evaluated for the
// last tilt seen, so that a traced field line (thousands of calls at one
// tilt) pays only for the series itself. The start tilt 99 degrees is one no
// caller passes (a dipole tilt never exceeds about 35 degrees), so the first
// call always evaluates.
struct Op77Cache {
  double tilt = 99.0;
  double powers[4] = {};  // 1, tau, tau^2, tau^3
  double bx_plain[kNxz] = {}, bx_exp[kNxz] = {};
  double bz_plain[kNxz] = {}, bz_exp[kNxz] = {};
  double by_plain[kNy] = {}, by_exp[kNy] = {};
};
Op77Cache op77_cache;

template <int N>
void eval_coefficients(const Term (&table)[N], const double* tp, double* out) {
  for (int n = 0; n < N; ++n) {
    const Term& t = table[n];
    out[n] = t.parity == 1 ? t.p + t.q * tp[2] : t.p * tp[1] + t.q * tp[3];
  }
}

void load_tilt(double tau) {
  Op77Cache& c = op77_cache;
  c.tilt = tau;
  c.powers[0] = 1.0;
  c.powers[1] = tau;
  c.powers[2] = tau * tau;
  c.powers[3] = tau * tau * tau;
  namespace t = kest::op77;
  eval_coefficients(t::bx_plain, c.powers, c.bx_plain);
  eval_coefficients(t::bx_exp, c.powers, c.bx_exp);
  eval_coefficients(t::bz_plain, c.powers, c.bz_plain);
  eval_coefficients(t::bz_exp, c.powers, c.bz_exp);
  eval_coefficients(t::by_plain, c.powers, c.by_plain);
  eval_coefficients(t::by_exp, c.powers, c.by_exp);
}

}  // namespace

// bxyzmu: Olson-Pfitzer quiet external field at one point.
// Given:    x, y, z  double  SM position, Earth radii
// Returned: bx, by, bz  double  external field, SM components, nT
// State:    reads dip_ang (tilt in degrees, used in degrees); keeps the
//           per-tilt coefficient cache op77_cache.
// Requires: dip_ang set for the time (the field-model set-up).
// Failure:  none reported. Inside 2 and beyond 15 Earth radii the result is
//           the zero vector (the model was fitted between those shells).
// Notes:    1. Between r = 2 and r = 2.5 Earth radii the field is ramped
//             linearly in r^2 from zero to full strength, so that it fades out
//             inside the region where the model is not meant to hold.
//           2. The tilt is compared exactly with the cached one; any change,
//             however small, re-evaluates the coefficients.
// References: W. P. Olson and K. A. Pfitzer, Magnetospheric magnetic field
//           modeling, Annual Scientific Report, AFOSR contract
//           F44620-75-C-0033, McDonnell Douglas Astronautics Co. (1977);
//           Olson and Pfitzer, J. Geophys. Res. 79, 3739 (1974).
extern "C" void bxyzmu_(double* x, double* y, double* z, double* bx, double* by, double* bz) {
  const double xx = *x, yy = *y, zz = *z;
  const double r2 = xx * xx + yy * yy + zz * zz;
  if (r2 > 225.0 || r2 < 4.0) {
    *bx = 0.0;
    *by = 0.0;
    *bz = 0.0;
    return;
  }
  // Ramp factor: (r^2 - 4) / (6.25 - 4), 4/9 written as its double value.
  const double ramp = r2 < 6.25 ? (r2 - 4.0) * 0.4444444444444444 : 1.0;

  if (kest::dip_ang.tilt != op77_cache.tilt) load_tilt(kest::dip_ang.tilt);
  const Op77Cache& c = op77_cache;

  const double e = std::exp(-0.06 * r2);
  const double y2 = yy * yy;
  double sx = 0.0, sy = 0.0, sz = 0.0;
  int n = 0;  // Bx/Bz term
  int k = 0;  // By term (the terms of degree <= 4, met in the same order)
  double xa = 1.0;
  for (int a = 0; a <= 4; ++a) {
    double yb = 1.0;
    for (int b = 0; b <= 2 && a + 2 * b <= 5; ++b) {
      double zc = 1.0;
      for (int cz = 0; cz <= 4 && a + 2 * b + cz <= 5; ++cz) {
        const double m = xa * yb * zc;
        sx += (c.bx_plain[n] + e * c.bx_exp[n]) * m;
        sz += (c.bz_plain[n] + e * c.bz_exp[n]) * m;
        ++n;
        if (a + 2 * b + cz <= 4) {
          sy += (c.by_plain[k] + e * c.by_exp[k]) * m * yy;
          ++k;
        }
        zc *= zz;
      }
      yb *= y2;
    }
    xa *= xx;
  }
  *bx = ramp * sx;
  *by = ramp * sy;
  *bz = ramp * sz;
}
