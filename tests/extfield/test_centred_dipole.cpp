// Centred dipole in GSM: closed-form values, the tilt as a rotation, div and
// curl zero, and the tilt cache.
#include <cmath>
#include <gtest/gtest.h>

#include "fresh_process.hpp"
#include "kest/extfield.h"

namespace {

struct Vec {
  double x, y, z;
};

Vec dip(double psi, double x, double y, double z) {
  Vec b{};
  dipole_(&psi, &x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

// Untilted dipole: on the equator B = +M/r^3 along z (northward), on the axis
// B = -2M/r^3 along z, M = 30574 nT Re^3.
TEST(CentredDipole, UntiltedEquatorAndAxis) {
  const double r = 2.385;
  const Vec eq = dip(0.0, 0.0, -r, 0.0);
  EXPECT_NEAR(eq.z, 30574.0 / (r * r * r), 1e-12 * 30574.0);
  EXPECT_NEAR(eq.x, 0.0, 1e-12);
  EXPECT_NEAR(eq.y, 0.0, 1e-12);
  const Vec ax = dip(0.0, 0.0, 0.0, r);
  EXPECT_NEAR(ax.z, -2.0 * 30574.0 / (r * r * r), 1e-12 * 30574.0);
}

// A tilt that is not a number, on the very first call, is not kept: the next
// untilted call gives the closed-form equator field.
TEST(CentredDipole, NonFiniteFirstTiltIsNotKept) {
  if (kest_test::rerun_alone_unless_first()) return;
  const Vec bad = dip(std::nan(""), 0.0, -2.0, 0.0);
  EXPECT_TRUE(std::isnan(bad.z));
  const Vec eq = dip(0.0, 0.0, -2.0, 0.0);
  EXPECT_NEAR(eq.z, 30574.0 / 8.0, 1e-12 * 30574.0);
  EXPECT_NEAR(eq.x, 0.0, 1e-12);
}

// A tilt psi turns the dipole about the GSM y axis: B(psi, x) = R B(0, R^T x),
// with R the rotation that takes the untilted axis to the tilted one (north
// end towards +x for psi > 0).
TEST(CentredDipole, TiltIsARotation) {
  const double cases[][4] = {{0.35, 2.385, -0.61, 1.173}, {-0.21, -6.6, 3.1, -2.2}, {0.05, 1.0, 4.0, -3.0}};
  for (const auto& c : cases) {
    const double psi = c[0], x = c[1], y = c[2], z = c[3];
    const double s = std::sin(psi), co = std::cos(psi);
    // Untilted frame: axis z' = (sin psi, 0, cos psi) in GSM, x' = (cos psi, 0, -sin psi).
    const double xp = co * x - s * z, zp = s * x + co * z;
    const Vec b0 = dip(0.0, xp, y, zp);
    const Vec b = dip(psi, x, y, z);
    const double mag = std::hypot(b0.x, b0.y, b0.z);
    EXPECT_NEAR(b.x, co * b0.x + s * b0.z, 1e-12 * mag);
    EXPECT_NEAR(b.y, b0.y, 1e-12 * mag);
    EXPECT_NEAR(b.z, -s * b0.x + co * b0.z, 1e-12 * mag);
  }
}

// div B = 0 and curl B = 0 (a potential field) by central differences.
TEST(CentredDipole, DivergenceAndCurlFree) {
  const double psi = 0.4, p[3] = {3.1, -1.7, 2.2}, h = 1e-5;
  double d[3][3];  // d[i][j] = dB_i / dx_j
  for (int j = 0; j < 3; ++j) {
    double a[3] = {p[0], p[1], p[2]}, b[3] = {p[0], p[1], p[2]};
    a[j] += h;
    b[j] -= h;
    const Vec fa = dip(psi, a[0], a[1], a[2]), fb = dip(psi, b[0], b[1], b[2]);
    d[0][j] = (fa.x - fb.x) / (2 * h);
    d[1][j] = (fa.y - fb.y) / (2 * h);
    d[2][j] = (fa.z - fb.z) / (2 * h);
  }
  const double tol = 1e-6 * (std::fabs(d[0][0]) + std::fabs(d[1][1]) + std::fabs(d[2][2]));
  EXPECT_NEAR(d[0][0] + d[1][1] + d[2][2], 0.0, tol);
  EXPECT_NEAR(d[2][1] - d[1][2], 0.0, tol);
  EXPECT_NEAR(d[0][2] - d[2][0], 0.0, tol);
  EXPECT_NEAR(d[1][0] - d[0][1], 0.0, tol);
}

// The kept sine and cosine follow the tilt: after calls at other tilts the
// first tilt gives its own field again.
TEST(CentredDipole, TiltCacheFollowsTilt) {
  const Vec first = dip(0.3, 2.0, 1.0, -1.5);
  const Vec other = dip(-0.2, 2.0, 1.0, -1.5);
  EXPECT_NE(other.x, first.x);
  const Vec again = dip(0.3, 2.0, 1.0, -1.5);
  EXPECT_EQ(again.x, first.x);
  EXPECT_EQ(again.y, first.y);
  EXPECT_EQ(again.z, first.z);
}

// Field of the dipole of moment M = 30574 nT Re^3 pointing along
// m = -(sin psi, 0, cos psi) (south at zero tilt, north end towards +x for
// psi > 0): B = M (3 (m.r) r - r^2 m) / r^5.
Vec dipole_law(double psi, double x, double y, double z) {
  const double m[3] = {-std::sin(psi), 0.0, -std::cos(psi)};
  const double r2 = x * x + y * y + z * z, q = 30574.0 / (r2 * r2 * std::sqrt(r2));
  const double mr = m[0] * x + m[1] * y + m[2] * z;
  return {q * (3.0 * mr * x - r2 * m[0]), q * (3.0 * mr * y - r2 * m[1]), q * (3.0 * mr * z - r2 * m[2])};
}

double rel_diff(const Vec& a, const Vec& b) {
  const double n = std::sqrt(b.x * b.x + b.y * b.y + b.z * b.z);
  return std::fmax(std::fabs(a.x - b.x), std::fmax(std::fabs(a.y - b.y), std::fabs(a.z - b.z))) / n;
}

// The initial kept tilt is 5.0, marked as not computed: a first call at
// exactly that tilt computes its sine and cosine. (The test runs in a
// process of its own, so this is the first call there.)
TEST(CentredDipole, FirstCallAtTheInitialTilt) {
  if (kest_test::rerun_alone_unless_first()) return;
  const Vec b = dip(5.0, 1.5, -0.5, 2.0);
  EXPECT_LT(rel_diff(b, dipole_law(5.0, 1.5, -0.5, 2.0)), 1e-13);
}

// A tilt less than 1e-5 rad from the kept one reuses the kept sine and
// cosine and leaves the kept tilt as it was; one 1e-5 or more from the kept
// tilt is computed afresh. Here 0.3 + 9e-6 is served with the field of 0.3
// (the two differ by about 1e-5 of |B|), and 0.3 + 1.8e-5, only 9e-6 from
// the tilt of the previous call but 1.8e-5 from the kept 0.3, with its own.
TEST(CentredDipole, TiltCacheTolerance) {
  const double x = 2.0, y = 1.0, z = -1.5;
  EXPECT_LT(rel_diff(dip(-0.2, x, y, z), dipole_law(-0.2, x, y, z)), 1e-13);
  EXPECT_LT(rel_diff(dip(0.3, x, y, z), dipole_law(0.3, x, y, z)), 1e-13);
  const Vec near = dip(0.3 + 9e-6, x, y, z);
  EXPECT_LT(rel_diff(near, dipole_law(0.3, x, y, z)), 1e-13);
  EXPECT_GT(rel_diff(near, dipole_law(0.3 + 9e-6, x, y, z)), 1e-6);
  const Vec moved = dip(0.3 + 1.8e-5, x, y, z);
  EXPECT_LT(rel_diff(moved, dipole_law(0.3 + 1.8e-5, x, y, z)), 1e-13);
  EXPECT_GT(rel_diff(moved, dipole_law(0.3, x, y, z)), 1e-6);
}

}  // namespace
