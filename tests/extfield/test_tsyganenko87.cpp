// Tsyganenko 1987 models: compiled long-tail parameter sets, symmetry, the
// divergence-free tail and ring current, lobe and geostationary values, the
// class cache, and the long-tail model through the field entry.
#include <cmath>
#include <gtest/gtest.h>

#include "ext_helpers.hpp"
#include "extfield/tsyganenko87_tables.hpp"
#include "extfield/champ_adaptors.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

using ext_test::Vec;

Vec t87l(int iopt, double tilt, double x, double y, double z) {
  kest::dip_ang.tilt = tilt;
  Vec b{};
  tsy87l_(&iopt, &x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

// Parameter roles A15..A24 of the short-tail model with the published class-1
// tail and ring-current values; the closure coefficients A1..A14 are zeroed
// here, so that the field is the tail and ring current alone.
Vec t87s_part(int key, const double* a, double tilt, double x, double y, double z) {
  kest::dip_ang.tilt = tilt;
  double b[3];
  kest::t87_short_field(key, a, x, y, z, b);
  return {b[0], b[1], b[2]};
}
constexpr double kTailRingClass1[24] = {0,     0,      0,      0,    0,    0,    0,     0,
                                        0,     0,      0,      0,    0,    0,    18.41, -270.3,
                                        -25.94, 5.21, -6.2, 2.29, 11.96, 8.315, 44.22, 11.15};

// Published parameters of classes 1 and 6 in their slots.
TEST(Tsyganenko87Tables, LongTailTellingValues) {
  namespace t = kest::t87;
  const int slots[] = {1, 13, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};
  const double c1[] = {-0.09673, -23.49, -6.397, -967.0, -8650.0, -20.55, 5.18, -2.796, 2.715, 13.58, 8.038, 29.21};
  const double c6[] = {-2.581, -27.35, 9.231, -674.3, -900.0, -74.43, 4.658, -3.245, 3.39, 21.8, 5.62, 25.17};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(t::long_params[0][slots[i] - 1], c1[i]) << "A" << slots[i];
    EXPECT_EQ(t::long_params[5][slots[i] - 1], c6[i]) << "A" << slots[i];
  }
}

// y mirror at every tilt: Bx, Bz even and By odd in y (By = 0 on y = 0);
// north-south mirror: (z, tilt) -> (-z, -tilt) reverses Bx and By, keeps Bz;
// with zero tilt Bx = 0 on the plane z = 0.
TEST(Tsyganenko87, Symmetries) {
  const double pts[][3] = {{-6.6, 2.1, 1.3}, {-25.0, -7.0, 3.5}, {4.0, 3.0, -2.0}, {-55.0, 12.0, -6.0}};
  for (int iopt = 1; iopt <= 6; ++iopt) {
    for (const auto& p : pts) {
      for (double tilt : {0.0, 27.0, -14.0}) {
        const Vec a = t87l(iopt, tilt, p[0], p[1], p[2]);
        const Vec m = t87l(iopt, tilt, p[0], -p[1], p[2]);
        const double tol = 1e-12 * (1.0 + ext_test::norm(a));
        EXPECT_NEAR(m.x, a.x, tol);
        EXPECT_NEAR(m.y, -a.y, tol);
        EXPECT_NEAR(m.z, a.z, tol);
        const Vec n = t87l(iopt, -tilt, p[0], p[1], -p[2]);
        EXPECT_NEAR(n.x, -a.x, tol);
        EXPECT_NEAR(n.y, -a.y, tol);
        EXPECT_NEAR(n.z, a.z, tol);
        EXPECT_EQ(t87l(iopt, tilt, p[0], 0.0, p[2]).y, 0.0);
      }
      EXPECT_NEAR(t87l(iopt, 0.0, p[0], p[1], 0.0).x, 0.0, 1e-12);
    }
  }
}

// Tail sheet with its images and the ring current are divergence-free fields
// (closed forms); the long-tail model as a whole only to the rounding of its
// published closure coefficients (a relative 1e-4 of the field gradients).
TEST(Tsyganenko87, DivergenceFree) {
  const double pts[][3] = {{-6.6, 1.0, 2.0}, {-20.0, 5.0, -3.0}, {3.0, 2.0, 1.0}, {-40.0, -10.0, 4.0}};
  for (double tilt : {0.0, 25.0}) {
    for (const auto& p : pts) {
      double scale;
      ext_test::Field part = [&](double x, double y, double z) { return t87s_part(1, kTailRingClass1, tilt, x, y, z); };
      const double dpart = ext_test::divergence(part, p[0], p[1], p[2], 1e-4, &scale);
      EXPECT_LT(std::fabs(dpart), 1e-7 * (1.0 + scale));
      for (int iopt = 1; iopt <= 6; ++iopt) {
        ext_test::Field f = [&](double x, double y, double z) { return t87l(iopt, tilt, x, y, z); };
        const double div = ext_test::divergence(f, p[0], p[1], p[2], 1e-4, &scale);
        EXPECT_LT(std::fabs(div), 2e-4 * scale)
            << "class " << iopt << " x " << p[0];
      }
    }
  }
}

// At the origin with zero tilt the softened dipole gives Bz = its amplitude:
// W = 4^2.5 = 32 and C (8 Rc^2) / 32 = 4 amp / Rc^2 * Rc^2 / 4.
TEST(Tsyganenko87, RingCurrentAtOrigin) {
  double a[24] = {};
  a[16] = -25.94;  // ring amplitude
  a[17] = 5.21;    // Rc
  a[18] = -6.2;
  a[19] = 2.29;
  a[20] = 11.96;
  a[21] = 8.315;
  a[22] = 44.22;
  a[23] = 11.15;
  const Vec b = t87s_part(2, a, 0.0, 0.0, 0.0, 0.0);
  EXPECT_NEAR(b.z, -25.94, 1e-12);
  EXPECT_EQ(b.x, 0.0);
  EXPECT_EQ(b.y, 0.0);
}

// Physical orders: at geostationary distance at midnight (zero tilt) the
// model weakens the northward field by 10 to 50 nT, more for higher classes
// overall; in the tail lobes the field points earthward in the north and
// tailward in the south.
TEST(Tsyganenko87, GeostationaryAndLobes) {
  for (int iopt = 1; iopt <= 6; ++iopt) {
    const Vec g = t87l(iopt, 0.0, -6.6, 0.0, 0.0);
    EXPECT_EQ(g.x, 0.0);
    EXPECT_EQ(g.y, 0.0);
    EXPECT_LT(g.z, -10.0);
    EXPECT_GT(g.z, -50.0);
    EXPECT_GT(t87l(iopt, 0.0, -30.0, 0.0, 6.0).x, 5.0);
    EXPECT_LT(t87l(iopt, 0.0, -30.0, 0.0, -6.0).x, -5.0);
  }
  EXPECT_LT(t87l(6, 0.0, -6.6, 0.0, 0.0).z, t87l(1, 0.0, -6.6, 0.0, 0.0).z);
}

// Alternating classes gives each class's own field (the cache reloads).
TEST(Tsyganenko87, ClassCache) {
  const Vec first = t87l(2, 12.0, -9.0, 2.0, 1.5);
  const Vec other = t87l(5, 12.0, -9.0, 2.0, 1.5);
  EXPECT_NE(other.z, first.z);
  const Vec again = t87l(2, 12.0, -9.0, 2.0, 1.5);
  EXPECT_EQ(again.x, first.x);
  EXPECT_EQ(again.y, first.y);
  EXPECT_EQ(again.z, first.z);
}

// Through the field entry (code 3): Kp 4.0 gives class 5; the field is the
// model's at the GSM point; 70 Earth radii are accepted, beyond refused.
TEST(Tsyganenko87, LongTailThroughFieldEntry) {
  double mi[25] = {};
  mi[0] = 40.0;
  const auto r = ext_test::external_via_get_field(3, mi, 2, -8.0, 2.5, -1.0);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(kest::index.kp_class, 5);
  const Vec want = t87l(5, kest::dip_ang.tilt, -8.0, 2.5, -1.0);
  EXPECT_NEAR(r.ext.x, want.x, 1e-6);
  EXPECT_NEAR(r.ext.y, want.y, 1e-6);
  EXPECT_NEAR(r.ext.z, want.z, 1e-6);
  EXPECT_TRUE(ext_test::external_via_get_field(3, mi, 2, -70.0, 0.0, 0.0).ok);
  EXPECT_FALSE(ext_test::external_via_get_field(3, mi, 2, -70.01, 0.0, 0.0).ok);
}

}  // namespace
