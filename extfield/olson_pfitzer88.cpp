// Olson-Pfitzer dynamic magnetospheric field model (1988).
//
// The field of the magnetospheric currents as the sum of three systems
// fitted in solar-magnetic coordinates: the magnetopause currents and the
// tail current, both scaled self-similarly with the magnetopause standoff
// distance that the solar-wind density and speed give (pressure balance: the
// standoff goes as (n v^2)^(-1/6)), and the ring current, whose strength
// follows the standoff and Dst. The model has no tilt dependence.
#include <algorithm>
#include <cmath>
#include <limits>

#include "extfield/olson_pfitzer88_tables.hpp"
#include "extfield/champ_adaptors.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

// Standoff distance of the model's reference magnetopause, Earth radii.
constexpr double kRefStandoff = 10.5;

// The monomials of the tail and ring-current fields at one point.
struct Monomials {
  double even[19];  // even in y and z: 1, x, z^2, y^2, y^2 z^2, x z^2, x y^2,
                    // x y^2 z^2, x^2, x^2 z^2, x^2 y^2, x^3, x^3 z^2, x^3 y^2,
                    // z^4, y^4, x z^4, x y^4, x^4
  double by[8];     // y z, x y z, y z^3, y^3 z, x y z^3, x y^3 z, x^2 y z, x^3 y z
  double bx[14];    // z times the even monomials of degree <= 4: z, x z, z^3,
                    // y^2 z, y^2 z^3, x z^3, x y^2 z, x^2 z, x^2 z^3, x^2 y^2 z,
                    // x^3 z, z^5, y^4 z, x^4 z
};

void monomials(double x, double y, double z, Monomials& m) {
  const double x2 = x * x, x3 = x2 * x, x4 = x3 * x;
  const double y2 = y * y, y4 = y2 * y2;
  const double z2 = z * z, z4 = z2 * z2;
  const double e[19] = {1.0,      x,       z2,      y2,      y2 * z2, x * z2, x * y2,
                        x * y2 * z2, x2,   x2 * z2, x2 * y2, x3,      x3 * z2, x3 * y2,
                        z4,       y4,      x * z4,  x * y4,  x4};
  std::copy(e, e + 19, m.even);
  const double yz = y * z;
  const double b[8] = {yz, x * yz, yz * z2, y2 * yz, x * yz * z2, x * y2 * yz, x2 * yz, x3 * yz};
  std::copy(b, b + 8, m.by);
  const double c[14] = {z,      x * z,       z * z2, y2 * z, y2 * z * z2, x * z * z2, x * y2 * z,
                        x2 * z, x2 * z * z2, x2 * y2 * z, x3 * z, z * z4, y4 * z, x4 * z};
  std::copy(c, c + 14, m.bx);
}

// Sum of n coefficients (from position first, numbered from 1) times terms.
double dot(const double* table, int first, const double* terms, int n) {
  double s = 0.0;
  for (int k = 0; k < n; ++k) s += table[first - 1 + k] * terms[k];
  return s;
}

// v / d for the two pole terms of the magnetopause field. On a pole itself
// (d = +0: x = 15 or 30 exactly, sunward of any magnetopause, yet within
// reach of a field-line trace that steps beyond the boundary) the quotient
// is formed without the division by zero that a host trapping that
// exception would stop on, and is what the division gives:
// the infinity of the sign of v, v itself when it is NaN, and for v = 0 the
// NaN of 0 / 0 (sign bit set, as the x86-64 default NaN). champ refuses the
// point for it as before.
double pole_term(double v, double d) {
  if (d != 0.0) return v / d;
  if (std::isnan(v)) return v;
  if (v == 0.0) return -std::numeric_limits<double>::quiet_NaN();
  return std::copysign(std::numeric_limits<double>::infinity(), v);
}

}  // namespace

// bfmagp: field of the magnetopause currents at a (scaled) SM point, nT.
// Given:    x(3)  double  position, Earth radii
// Returned: b(3)  double  field, nT
// Failure:  none reported; the factors 1/(15 - x) and 1/(30 - x)^2 have poles
//           at x = 15 and 30, sunward of the magnetopause, where the model
//           has no meaning.
extern "C" void bfmagp_(double* xin, double* b) {
  const double* m = kest::op88::magnetopause;
  const double x = xin[0], y = xin[1], z = xin[2];
  double xp[5], y2p[3], z2p[3];  // x^0..x^4, y^0, y^2, y^4, z^0, z^2, z^4
  xp[0] = 1.0;
  for (int i = 1; i < 5; ++i) xp[i] = xp[i - 1] * x;
  y2p[0] = z2p[0] = 1.0;
  y2p[1] = y * y, y2p[2] = y2p[1] * y2p[1];
  z2p[1] = z * z, z2p[2] = z2p[1] * z2p[1];
  double bz = 0.0, by = 0.0, bx = 0.0, bz15 = 0.0, bz30 = 0.0, bx2 = 0.0;
  for (int j = 0; j < 3; ++j) {
    for (int k = 0; k < 3; ++k) {
      const double yz = y2p[j] * z2p[k];
      for (int i = 0; i < 5; ++i) {
        const int n = i + 5 * k + 15 * j;
        const double t = xp[i] * yz;
        bz += m[0 + n] * t;
        by += m[63 + n] * t;
        bx += m[108 + n] * t;
      }
      const int n = k + 3 * j;
      bz15 += m[45 + n] * yz;
      bz30 += m[54 + n] * yz;
      bx2 += m[153 + n] * yz;
    }
  }
  b[0] = z * (bx + bx2 / ((x - 2.0) * (x - 2.0) + 10.0));
  b[1] = y * z * by;
  b[2] = bz + pole_term(bz15, 15.0 - x) + pole_term(bz30, (30.0 - x) * (30.0 - x));
}

// bftail: field of the tail current at a (scaled) SM point, nT.
// Given:    x(3)  double  position, Earth radii
// Returned: b(3)  double  field, nT
extern "C" void bftail_(double* xin, double* b) {
  static constexpr int kBxExp[12] = {58, 60, 63, 67, 73, 74, 75, 76, 77, 79, 84, 88};
  // Monomial of each of those positions within the Bx list: z, x z, y^2 z,
  // x y^2 z, x^2 y^2 z, z^3, y^2 z^3, x z^3, x^2 z^3, x^3 z, y^4 z, x^4 z.
  static constexpr int kBxExpTerm[12] = {0, 1, 3, 6, 9, 2, 4, 5, 8, 10, 12, 13};
  static constexpr int kBxTanh[19] = {89, 91, 93, 94, 96, 97, 98, 100, 101, 103,
                                      104, 110, 112, 113, 114, 115, 117, 118, 119};
  const double* t = kest::op88::tail;
  const double x = xin[0], y = xin[1], z = xin[2];
  const double r = std::sqrt(x * x + y * y + z * z);
  const double rho = std::sqrt((22.0 - x) * (22.0 - x) + y * y + z * z);
  const double e1 = std::exp(x * 0.06666666666666667);
  const double e2 = std::exp(0.0 - (rho - 29.0) * (rho - 29.0) * 0.016666666666666666);
  const double h = std::tanh(z) * (1.0 - std::tanh((8.0 - r) * 0.2));
  Monomials m;
  monomials(x, y, z, m);
  b[2] = e1 * dot(t, 1, m.even, 19) + e2 * dot(t, 20, m.even, 19);
  b[1] = e1 * dot(t, 40, m.by, 8) + e2 * dot(t, 48, m.by, 8);
  double sx = 0.0, sh = 0.0;
  for (int k = 0; k < 12; ++k) sx += t[kBxExp[k] - 1] * m.bx[kBxExpTerm[k]];
  for (int k = 0; k < 19; ++k) sh += t[kBxTanh[k] - 1] * m.even[k];
  b[0] = e1 * sx + h * sh;
}

// bfring: field of the ring current at an SM point, nT (unit strength).
// Given:    x(3)  double  position, Earth radii
// Returned: b(3)  double  field, nT
extern "C" void bfring_(double* xin, double* b) {
  const double* g = kest::op88::ring;
  const double x = xin[0], y = xin[1], z = xin[2];
  const double r2 = x * x + y * y + z * z;
  const double r = std::sqrt(r2);
  const double q = r2 > 900.0 ? 900.0 : r2;
  const double f1 = std::exp(0.0 - r * 0.1923076923076923);
  const double f2 = std::exp(0.0 - q * 0.06);
  Monomials m;
  monomials(x, y, z, m);
  b[2] = f1 * dot(g, 1, m.even, 19) + f2 * dot(g, 20, m.even, 19);
  b[1] = f1 * dot(g, 40, m.by, 8) + f2 * dot(g, 48, m.by, 8);
  b[0] = f1 * dot(g, 57, m.bx, 14) + f2 * dot(g, 71, m.bx, 14);
}

// stdoff: magnetopause standoff distance, Earth radii, from the solar-wind
// speed vel (km/s) and density dens (cm^-3); note the order, speed first.
extern "C" double stdoff_(double* vel, double* dens) {
  return 98.0 / std::pow(*vel * *vel * *dens, 0.16666666666666666);
}

// ringst: ring-current strength (dimensionless) from the standoff distance
// (Earth radii) and Dst (nT): the compression of the magnetosphere raises Dst
// (15 nT per unit of (10.5 / standoff)^3 - 1) and the ring current lowers it,
// so the ring current's depression is that compression term less Dst; each
// nT of it adds 0.03 to the reference strength 1. The strength thus rises
// with the compression and falls with Dst.
extern "C" double ringst_(double* standoff, double* dst) {
  const double c = kRefStandoff / *standoff;
  return ((c * c * c - 1.0) * 15.0 - *dst) * 0.03 + 1.0;
}

// bdynam: the three current systems summed for a standoff, ring strength and
// tail strength; position SM (Earth radii), field SM (nT).
extern "C" void bdynam_(double* xin, double* b, double* standoff, double* ring, double* tail) {
  const double s = kRefStandoff / *standoff;
  const double s3 = s * s * s;
  double xs[3] = {s * xin[0], s * xin[1], s * xin[2]};
  double bm[3], bt[3], br[3];
  bfmagp_(xs, bm);
  bftail_(xs, bt);
  bfring_(xin, br);
  for (int k = 0; k < 3; ++k) b[k] = s3 * bm[k] + *ring * br[k] + s3 * *tail * bt[k];
}

// bdyn: Olson-Pfitzer dynamic external field at one point.
// Given:    dens  double  solar-wind density, cm^-3
//           vel  double  solar-wind speed, km/s
//           dst  double  Dst, nT
//           x, y, z  double  SM position, Earth radii
// Returned: bx, by, bz  double  external field, SM components, nT
// State:    none kept between calls.
// Requires: positive density and speed (the set-up admits 5..50 cm^-3 and
//           300..500 km/s, Dst -100..20 nT).
// Failure:  none reported.
// Notes:    1. The magnetopause and tail fields are evaluated at the point
//             scaled by 10.5 / standoff and multiplied by the cube of that
//             factor; the ring current is evaluated at the point itself.
// References: K. A. Pfitzer, W. P. Olson and T. Mogstad, A time dependent
//           source driven magnetospheric magnetic field model, EOS Trans. AGU
//           69, 426 (1988).
extern "C" void bdyn_(double* dens, double* vel, double* dst, double* x, double* y, double* z, double* bx,
                      double* by, double* bz) {
  double standoff = stdoff_(vel, dens);
  double ring = ringst_(&standoff, dst);
  double tail = 1.0;
  double p[3] = {*x, *y, *z}, b[3];
  bdynam_(p, b, &standoff, &ring, &tail);
  *bx = b[0];
  *by = b[1];
  *bz = b[2];
}

// The model as champ calls it: SM point, density, speed and Dst of the set-up.
void kest::op_dynamic_champ(double* x, double* b) {
  bdyn_(&kest::drivers.dens, &kest::drivers.vel, &kest::drivers.dst, &x[0], &x[1], &x[2], &b[0], &b[1], &b[2]);
}
