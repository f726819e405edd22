// Tsyganenko 1996 harmonic modules written out from their definitions with
// the published coefficients: the dipole shielding field (cylindrical
// harmonics, perpendicular and parallel sets), the interconnection field
// (Cartesian harmonics) and the tilt cache of the Region-2 field.
#include <cmath>
#include <gtest/gtest.h>

#include "extfield/tsyganenko96.hpp"

namespace {

using kest::t96::bes0;
using kest::t96::bes1;

// Dipole shielding sets: amplitudes 1-6, length scales (Re) 7-12.
constexpr double kPerp[12] = {0.24777, -27.003, -0.46815, 7.0637, -1.5918, -0.090317,
                              57.522,  13.757,  2.01,     10.458, 4.5798,  2.1695};
constexpr double kPar[12] = {-0.65385, -18.061, -0.40457, -5.0995, 1.2846, 0.078231,
                             39.592,   13.291,  1.997,    10.062,  4.514,  2.1558};

// Shielding of the dipole component across the x axis: cylindrical
// harmonics of azimuthal order 1 about the x axis (phi measured from y
// towards z), J0 and J1 of rho / scale, exp(x / scale).
void perpendicular(double x, double y, double z, double b[3]) {
  const double rho = std::sqrt(y * y + z * z), sf = z / rho, cf = y / rho;
  b[0] = b[1] = b[2] = 0.0;
  for (int i = 0; i < 6; ++i) {
    const double l = kPerp[i + 6], zeta = rho / l, xi = x / l;
    const double j0 = bes0(zeta), j1 = bes1(zeta), e = std::exp(xi);
    if (i < 3) {
      b[0] -= kPerp[i] * j1 * e * sf;
      b[1] += kPerp[i] * (2.0 * j1 / zeta - j0) * e * sf * cf;
      b[2] += kPerp[i] * (j1 / zeta * (sf * sf - cf * cf) - j0 * sf * sf) * e;
    } else {
      const double br = (xi * j0 - (zeta * zeta + xi - 1.0) * j1 / zeta) * e * sf;
      const double bf = (j0 + j1 / zeta * (xi - 1.0)) * e * cf;
      b[0] += kPerp[i] * (zeta * j0 + xi * j1) * e * sf;
      b[1] += kPerp[i] * (br * cf - bf * sf);
      b[2] += kPerp[i] * (br * sf + bf * cf);
    }
  }
}

// Shielding of the dipole component along the x axis: axisymmetric.
void parallel(double x, double y, double z, double b[3]) {
  const double rho = std::sqrt(y * y + z * z), sf = z / rho, cf = y / rho;
  b[0] = b[1] = b[2] = 0.0;
  for (int i = 0; i < 6; ++i) {
    const double l = kPar[i + 6], zeta = rho / l, xi = x / l;
    const double j0 = bes0(zeta), j1 = bes1(zeta), e = std::exp(xi);
    const double br = i < 3 ? j1 * e : (zeta * j0 + xi * j1) * e;
    b[0] += i < 3 ? -kPar[i] * j0 * e : kPar[i] * (zeta * j1 - j0 * (xi + 1.0)) * e;
    b[1] += kPar[i] * br * cf;
    b[2] += kPar[i] * br * sf;
  }
}

double norm(const double b[3]) { return std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]); }

// The dipole shielding field is the perpendicular set times cos(tilt) plus
// the parallel set times sin(tilt).
TEST(T96Harmonics, DipoleShieldingFromItsCoefficients) {
  const double points[][3] = {{-3.0, 4.0, -2.5}, {6.0, -1.0, 3.0}, {-20.0, 8.0, 5.0}, {2.0, 0.3, -9.0}};
  for (double ps : {0.0, 0.35, -0.5})
    for (const auto& p : points) {
      double got[3], h[3], q[3];
      kest::t96::dipshld(ps, p[0], p[1], p[2], got);
      perpendicular(p[0], p[1], p[2], h);
      parallel(p[0], p[1], p[2], q);
      const double want[3] = {h[0] * std::cos(ps) + q[0] * std::sin(ps), h[1] * std::cos(ps) + q[1] * std::sin(ps),
                              h[2] * std::cos(ps) + q[2] * std::sin(ps)};
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], 1e-12 * norm(want)) << ps << " " << p[0] << " " << k;
    }
}

// Interconnection field: minus the gradient of sum c_l exp(x S) cos(y/p_i)
// sin(z/r_k), S = sqrt(1/p_i^2 + 1/r_k^2), term l = 3(i - 1) + k.
constexpr double kC[9] = {-8.411078731, 5932254.951,  -9073284.93,  -11.68794634, 6027598.824,
                          -9218378.368, -6.508798398, -11824.42793, 18015.66212};
constexpr double kP[3] = {7.99754043, 13.9669886, 90.24475036};
constexpr double kR[3] = {16.75728834, 1015.645781, 1553.493216};

void intercon_by_hand(double x, double y, double z, double b[3]) {
  b[0] = b[1] = b[2] = 0.0;
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k) {
      const double p = kP[i], r = kR[k], s = std::sqrt(1.0 / (p * p) + 1.0 / (r * r)), e = std::exp(x * s);
      const double c = kC[3 * i + k];
      b[0] += c * -s * e * std::cos(y / p) * std::sin(z / r);
      b[1] += c * e / p * std::sin(y / p) * std::sin(z / r);
      b[2] += c * -e / r * std::cos(y / p) * std::cos(z / r);
    }
}

// On the x axis only the z component is left; off it all three agree with
// the written-out sum. The large amplitudes of the nearly equal z scales
// cancel to a few nT, so the comparison is made against the size of the
// largest single term.
TEST(T96Harmonics, InterconnectionFromItsCoefficients) {
  for (double x : {-10.0, 0.0, 7.5}) {
    double b[3], want[3];
    kest::t96::intercon(x, 0.0, 0.0, b);
    intercon_by_hand(x, 0.0, 0.0, want);
    EXPECT_EQ(b[0], 0.0);
    EXPECT_EQ(b[1], 0.0);
    EXPECT_NEAR(b[2], want[2], 1e-12 * 1e4 * std::exp(x / 7.99754043)) << x;
  }
  const double points[][3] = {{-6.0, 3.0, 2.0}, {5.0, -8.0, 4.0}, {-25.0, 12.0, -9.0}};
  for (const auto& p : points) {
    double b[3], want[3];
    kest::t96::intercon(p[0], p[1], p[2], b);
    intercon_by_hand(p[0], p[1], p[2], want);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(b[k], want[k], 1e-12 * 1e4 * std::exp(p[0] / 7.99754043)) << p[0] << " " << k;
  }
}

// The Region-2 field keeps the cosine and sine of the last tilt that moved by
// more than 1e-10 rad: a tilt 5e-11 away gives the very same field, one 5e-10
// away a new one.
TEST(T96Harmonics, Region2TiltCache) {
  const double x = -5.0, y = 2.0, z = 2.5;
  double b0[3], b1[3], b2[3], b3[3];
  kest::t96::r2_birk(x, y, z, 0.7, b0);
  kest::t96::r2_birk(x, y, z, 0.3, b0);
  kest::t96::r2_birk(x, y, z, 0.3 + 5e-11, b1);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(b1[k], b0[k]) << k;
  kest::t96::r2_birk(x, y, z, 0.3 + 5e-10, b2);
  EXPECT_TRUE(b2[0] != b0[0] || b2[1] != b0[1] || b2[2] != b0[2]);
  // Coming back within 1e-10 of the new tilt keeps it too.
  kest::t96::r2_birk(x, y, z, 0.3 + 5e-10 - 8e-11, b3);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(b3[k], b2[k]) << k;
}

}  // namespace
