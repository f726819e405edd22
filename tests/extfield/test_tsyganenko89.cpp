// Tsyganenko 1989 model: compiled parameter sets, symmetries, the basis
// fields and their sum, divergence, geostationary and lobe values, the class
// cache, and the model through the field entry.
#include <cmath>
#include <gtest/gtest.h>

#include "ext_helpers.hpp"
#include "extfield/tsyganenko89_tables.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

using ext_test::Vec;

Vec t89(int iopt, double tilt, double x, double y, double z) {
  kest::dip_ang.tilt = tilt;
  Vec b{};
  t89c_(&iopt, &x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

TEST(Tsyganenko89Tables, TellingValues) {
  namespace t = kest::t89;
  const struct {
    int cls, slot;
    double v;
  } rows[] = {{1, 1, -116.53}, {1, 2, -10719.0}, {1, 5, -11363.0}, {1, 14, 20.289}, {1, 18, 22.788},
              {1, 22, 8.8184}, {1, 28, 7.0459},  {7, 1, -1190.4},   {7, 2, 2749.9},  {7, 5, -77193.0},
              {7, 18, 12.714}};
  for (const auto& r : rows) EXPECT_EQ(t::params[r.cls - 1][r.slot - 1], r.v) << r.cls << " A" << r.slot;
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(t::params[k][25], 0.01);
    EXPECT_EQ(t::params[k][26], 0.0);
    EXPECT_EQ(t::params[k][28], 4.0);
    EXPECT_EQ(t::params[k][29], 20.0);
  }
}

// y mirror (Bx, Bz even, By odd) and north-south mirror under (z, tilt) ->
// (-z, -tilt) (Bx, By reversed, Bz kept), at every class.
TEST(Tsyganenko89, Symmetries) {
  const double pts[][3] = {{-6.6, 2.1, 1.3}, {-25.0, -7.0, 3.5}, {4.0, 3.0, -2.0}, {-55.0, 12.0, -6.0}};
  for (int iopt = 1; iopt <= 7; ++iopt) {
    for (const auto& p : pts) {
      for (double tilt : {0.0, 27.0, -14.0}) {
        const Vec a = t89(iopt, tilt, p[0], p[1], p[2]);
        const Vec m = t89(iopt, tilt, p[0], -p[1], p[2]);
        const double tol = 1e-12 * (1.0 + ext_test::norm(a));
        EXPECT_NEAR(m.x, a.x, tol);
        EXPECT_NEAR(m.y, -a.y, tol);
        EXPECT_NEAR(m.z, a.z, tol);
        const Vec n = t89(iopt, -tilt, p[0], p[1], -p[2]);
        EXPECT_NEAR(n.x, -a.x, tol);
        EXPECT_NEAR(n.y, -a.y, tol);
        EXPECT_NEAR(n.z, a.z, tol);
        EXPECT_EQ(t89(iopt, tilt, p[0], 0.0, p[2]).y, 0.0);
      }
      EXPECT_NEAR(t89(iopt, 0.0, p[0], p[1], 0.0).x, 0.0, 1e-12);
    }
  }
}

// The field is the sum of Ak times basis k (the closure z components summed
// through their combined coefficients give the same); with zero tilt the
// bases 4, 16 and 17 vanish; a call flagged as old reads no parameters.
TEST(Tsyganenko89, BasisFieldsAndFlag) {
  double a[30];
  for (int k = 0; k < 30; ++k) a[k] = kest::t89::params[2][k];
  double der[3 * 30];
  for (double psi : {0.0, 0.41}) {
    double xi[4] = {-9.3, 3.7, 2.2, psi}, f[3];
    int flag = 1;
    t89_(&flag, a, xi, f, der);
    for (int c = 0; c < 3; ++c) {
      double sum = 0.0;
      for (int k = 0; k < 17; ++k) sum += a[k] * der[3 * k + c];
      EXPECT_NEAR(f[c], sum, 1e-11 * (1.0 + std::fabs(f[c])));
      for (int k = 17; k < 30; ++k) EXPECT_EQ(der[3 * k + c], 0.0);
      if (psi == 0.0) {
        EXPECT_EQ(der[3 * 3 + c], 0.0);
        EXPECT_EQ(der[3 * 15 + c], 0.0);
        EXPECT_EQ(der[3 * 16 + c], 0.0);
      }
    }
    double junk[30];
    for (double& v : junk) v = 1.0e6;
    double g[3];
    flag = 0;
    t89_(&flag, junk, xi, g, der);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(g[c], f[c]);
  }
}

// Every basis field is a curl, so div B = 0 to the rounding of the
// differences (a relative 1e-8 of the field gradients).
TEST(Tsyganenko89, DivergenceFree) {
  const double pts[][3] = {{-6.6, 1.0, 2.0}, {-20.0, 5.0, -3.0}, {3.0, 2.0, 1.0}, {-40.0, -10.0, 4.0}, {-10.0, 0.5, 0.3}};
  for (int iopt : {1, 4, 7}) {
    for (double tilt : {0.0, 25.0, -33.0}) {
      for (const auto& p : pts) {
        ext_test::Field f = [&](double x, double y, double z) { return t89(iopt, tilt, x, y, z); };
        double scale;
        const double div = ext_test::divergence(f, p[0], p[1], p[2], 1e-4, &scale);
        EXPECT_LT(std::fabs(div), 1e-7 * scale) << "class " << iopt << " x " << p[0];
      }
    }
  }
}

// Geostationary distance at midnight with zero tilt: only Bz, negative, 10
// to 80 nT, stronger for higher classes; in the tail lobes the field points
// earthward in the north, tailward in the south.
TEST(Tsyganenko89, GeostationaryAndLobes) {
  for (int iopt = 1; iopt <= 7; ++iopt) {
    const Vec g = t89(iopt, 0.0, -6.6, 0.0, 0.0);
    EXPECT_EQ(g.x, 0.0);
    EXPECT_EQ(g.y, 0.0);
    EXPECT_LT(g.z, -10.0);
    EXPECT_GT(g.z, -80.0);
    EXPECT_GT(t89(iopt, 0.0, -30.0, 0.0, 5.0).x, 5.0);
    EXPECT_LT(t89(iopt, 0.0, -30.0, 0.0, -5.0).x, -5.0);
  }
  EXPECT_LT(t89(7, 0.0, -6.6, 0.0, 0.0).z, t89(1, 0.0, -6.6, 0.0, 0.0).z);
}

// Alternating classes gives each class's own field.
TEST(Tsyganenko89, ClassCache) {
  const Vec first = t89(2, 12.0, -9.0, 2.0, 1.5);
  const Vec other = t89(6, 12.0, -9.0, 2.0, 1.5);
  EXPECT_NE(other.z, first.z);
  const Vec again = t89(2, 12.0, -9.0, 2.0, 1.5);
  EXPECT_EQ(again.x, first.x);
  EXPECT_EQ(again.y, first.y);
  EXPECT_EQ(again.z, first.z);
}

// A caller's own column given to t89 in between does not replace the column
// of the class t89c has loaded: the class gives its own field again.
TEST(Tsyganenko89, OwnColumnInBetweenLeavesTheClass) {
  const Vec first = t89(2, 12.0, -9.0, 2.0, 1.5);
  double a[30], der[3 * 30], xi[4] = {-9.3, 3.7, 2.2, 0.1}, f[3];
  for (int k = 0; k < 30; ++k) a[k] = kest::t89::params[5][k];
  a[0] *= 3.0;
  int flag = 1;
  t89_(&flag, a, xi, f, der);
  const Vec again = t89(2, 12.0, -9.0, 2.0, 1.5);
  EXPECT_EQ(again.x, first.x);
  EXPECT_EQ(again.y, first.y);
  EXPECT_EQ(again.z, first.z);
}

// Through the field entry (code 4): Kp 5.7 gives class 7; 70 Earth radii are
// accepted, beyond refused.
TEST(Tsyganenko89, ThroughFieldEntry) {
  ext_test::expect_entry_gives_class_field(4, 57.0, 7, t89, -8.0, 2.5, -1.0);
  double mi[25] = {};
  mi[0] = 57.0;
  EXPECT_TRUE(ext_test::external_via_get_field(4, mi, 2, -70.0, 0.0, 0.0).ok);
  EXPECT_FALSE(ext_test::external_via_get_field(4, mi, 2, -70.01, 0.0, 0.0).ok);
}

}  // namespace
