// Olson-Pfitzer dynamic model: compiled tables, each current system near the
// origin against its published leading coefficients, standoff and ring
// strength, symmetries, tilt independence, geostationary values, and the
// model through the field entry.
#include <cmath>
#include <gtest/gtest.h>

#include "ext_helpers.hpp"
#include "extfield/olson_pfitzer88_tables.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

using ext_test::Vec;

Vec dyn(double dens, double vel, double dst, double x, double y, double z) {
  Vec b{};
  bdyn_(&dens, &vel, &dst, &x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

using System = void (*)(double*, double*);
Vec sys(System f, double x, double y, double z) {
  double p[3] = {x, y, z}, b[3];
  f(p, b);
  return {b[0], b[1], b[2]};
}

TEST(OlsonPfitzer88Tables, SizesAndTellingValues) {
  namespace t = kest::op88;
  EXPECT_EQ(std::size(t::magnetopause), 162u);
  EXPECT_EQ(std::size(t::tail), 121u);
  EXPECT_EQ(std::size(t::ring), 85u);
  const struct {
    const double* table;
    int pos;
    double v;
  } rows[] = {{t::magnetopause, 1, 40.6363373},  {t::magnetopause, 2, 2.91153884},
              {t::magnetopause, 46, 83.6994324}, {t::magnetopause, 55, -27324.4004},
              {t::magnetopause, 64, -0.0519952811}, {t::magnetopause, 109, 1.13275039},
              {t::magnetopause, 154, 1.93470073}, {t::tail, 1, 0.318422091},
              {t::tail, 20, -21.7861072},        {t::tail, 40, -0.0323149328},
              {t::tail, 58, 2.60137167},         {t::tail, 89, -6.09414361},
              {t::ring, 1, -38.1390073},         {t::ring, 20, 10.5982946},
              {t::ring, 40, -0.908641389},       {t::ring, 57, 0.937029737},
              {t::ring, 71, 0.119616338}};
  for (const auto& r : rows) EXPECT_EQ(r.table[r.pos - 1], r.v) << "position " << r.pos;
}

// Near the origin each system reduces to its leading terms, whose
// coefficients are published: a wrong position or monomial shows here.
//  magnetopause: Bz(0) = M1 + M46/15 + M55/900; Bx(0,0,z) = z (M109 + M154/14);
//                By(0,y,z) = y z M64 (to third order in the coordinates);
//  tail: Bz(0) = T1 + T20 exp(-49/60) (rho = 22 at the origin);
//        Bx(0,0,z) = z T58 + tanh z (1 - tanh(0.2 (8 - z))) T89;
//  ring: Bz(0) = G1 + G20; Bx(0,0,z) = z (G57 exp(-z/5.2) + G71 exp(-0.06 z^2)).
// The bound 1e-6 z leaves room for the z^3 terms (coefficients below 100);
// a wrong position or monomial is off by the order of the value itself.
TEST(OlsonPfitzer88, CurrentSystemsNearOrigin) {
  const double z = 1e-3, y = 2e-3;
  const Vec m0 = sys(bfmagp_, 0.0, 0.0, 0.0);
  EXPECT_NEAR(m0.z, 40.6363373 + 83.6994324 / 15.0 - 27324.4004 / 900.0, 1e-11);
  EXPECT_EQ(m0.x, 0.0);
  EXPECT_EQ(m0.y, 0.0);
  EXPECT_NEAR(sys(bfmagp_, 0.0, 0.0, z).x, z * (1.13275039 + 1.93470073 / 14.0), 1e-6 * z);
  EXPECT_NEAR(sys(bfmagp_, 0.0, y, z).y, y * z * -0.0519952811, 1e-5 * y * z);

  const Vec t0 = sys(bftail_, 0.0, 0.0, 0.0);
  EXPECT_NEAR(t0.z, 0.318422091 - 21.7861072 * std::exp(-49.0 / 60.0), 1e-12);
  EXPECT_EQ(t0.x, 0.0);
  EXPECT_NEAR(sys(bftail_, 0.0, 0.0, z).x,
              z * 2.60137167 + std::tanh(z) * (1.0 - std::tanh(0.2 * (8.0 - z))) * -6.09414361, 1e-6 * z);

  const Vec r0 = sys(bfring_, 0.0, 0.0, 0.0);
  EXPECT_NEAR(r0.z, -38.1390073 + 10.5982946, 1e-12);
  EXPECT_NEAR(sys(bfring_, 0.0, 0.0, z).x,
              z * (0.937029737 * std::exp(-z / 5.2) + 0.119616338 * std::exp(-0.06 * z * z)), 1e-6 * z);
}

// Standoff from pressure balance and the ring strength: v^2 n = (98/10.5)^6
// gives the reference standoff 10.5, where the ring strength is 1 - 0.03 Dst
// and the field is the plain sum of the three systems; lowering Dst by 10 nT
// adds 0.3 times the ring-current field.
TEST(OlsonPfitzer88, StandoffAndRingStrength) {
  double vel = 400.0, dens = std::pow(98.0 / 10.5, 6) / (vel * vel);
  EXPECT_NEAR(stdoff_(&vel, &dens), 10.5, 1e-12);
  double rs = 10.5, dst = -40.0, zero = 0.0;
  EXPECT_NEAR(ringst_(&rs, &dst), 1.0 + 0.03 * 40.0, 1e-14);
  EXPECT_EQ(ringst_(&rs, &zero), 1.0);
  double v2 = 300.0, n2 = 20.0;
  EXPECT_NEAR(stdoff_(&v2, &n2), 98.0 / std::pow(300.0 * 300.0 * 20.0, 1.0 / 6.0), 1e-12);

  const double p[3] = {-5.3, 2.2, 1.7};
  const Vec b = dyn(dens, vel, 0.0, p[0], p[1], p[2]);
  const Vec m = sys(bfmagp_, p[0], p[1], p[2]), t = sys(bftail_, p[0], p[1], p[2]), r = sys(bfring_, p[0], p[1], p[2]);
  EXPECT_NEAR(b.x, m.x + t.x + r.x, 1e-11);
  EXPECT_NEAR(b.y, m.y + t.y + r.y, 1e-11);
  EXPECT_NEAR(b.z, m.z + t.z + r.z, 1e-11);
  const Vec lower = dyn(12.0, 420.0, -30.0, p[0], p[1], p[2]);
  const Vec upper = dyn(12.0, 420.0, -20.0, p[0], p[1], p[2]);
  EXPECT_NEAR(lower.x - upper.x, 0.3 * r.x, 1e-11);
  EXPECT_NEAR(lower.y - upper.y, 0.3 * r.y, 1e-11);
  EXPECT_NEAR(lower.z - upper.z, 0.3 * r.z, 1e-11);
}

// Bx odd in z and even in y, By odd in y and z, Bz even in both; the field
// does not depend on the tilt.
TEST(OlsonPfitzer88, SymmetriesAndNoTilt) {
  const double pts[][3] = {{-6.6, 2.1, 1.3}, {-25.0, -7.0, 3.5}, {4.0, 3.0, -2.0}, {-45.0, 12.0, -6.0}};
  for (const auto& p : pts) {
    const Vec a = dyn(8.0, 450.0, -35.0, p[0], p[1], p[2]);
    const Vec my = dyn(8.0, 450.0, -35.0, p[0], -p[1], p[2]);
    const Vec mz = dyn(8.0, 450.0, -35.0, p[0], p[1], -p[2]);
    const double tol = 1e-12 * (1.0 + ext_test::norm(a));
    EXPECT_NEAR(my.x, a.x, tol);
    EXPECT_NEAR(my.y, -a.y, tol);
    EXPECT_NEAR(my.z, a.z, tol);
    EXPECT_NEAR(mz.x, -a.x, tol);
    EXPECT_NEAR(mz.y, -a.y, tol);
    EXPECT_NEAR(mz.z, a.z, tol);
    const Vec e = dyn(8.0, 450.0, -35.0, p[0], p[1], 0.0);
    EXPECT_EQ(e.x, 0.0);
    EXPECT_EQ(e.y, 0.0);
    kest::dip_ang.tilt = 31.0;
    const Vec tilted = dyn(8.0, 450.0, -35.0, p[0], p[1], p[2]);
    EXPECT_EQ(tilted.x, a.x);
    EXPECT_EQ(tilted.z, a.z);
  }
}

// Moderate drivers at geostationary distance on the x axis: Bz negative at
// midnight (tail and ring current), positive at noon (magnetopause), of some
// tens of nT; a stronger ring current (lower Dst) lowers the night-side field.
TEST(OlsonPfitzer88, GeostationaryValues) {
  const Vec night = dyn(10.0, 400.0, -20.0, -6.6, 0.0, 0.0);
  const Vec day = dyn(10.0, 400.0, -20.0, 6.6, 0.0, 0.0);
  EXPECT_EQ(night.x, 0.0);
  EXPECT_EQ(night.y, 0.0);
  EXPECT_LT(night.z, -10.0);
  EXPECT_GT(night.z, -80.0);
  EXPECT_GT(day.z, 5.0);
  EXPECT_LT(day.z, 50.0);
  EXPECT_LT(dyn(10.0, 400.0, -80.0, -6.6, 0.0, 0.0).z, night.z);
}

// Through the field entry (code 6): density, speed and Dst reach the model;
// 60 Earth radii are accepted, beyond refused; drivers outside the validity
// ranges give fill values.
TEST(OlsonPfitzer88, ThroughFieldEntry) {
  double mi[25] = {};
  mi[1] = -20.0;
  mi[2] = 10.0;
  mi[3] = 400.0;
  const auto r = ext_test::external_via_get_field(6, mi, 4, -6.6, 2.0, 1.0);
  ASSERT_TRUE(r.ok);
  const Vec want = dyn(10.0, 400.0, -20.0, -6.6, 2.0, 1.0);
  EXPECT_NEAR(r.ext.x, want.x, 1e-6);
  EXPECT_NEAR(r.ext.y, want.y, 1e-6);
  EXPECT_NEAR(r.ext.z, want.z, 1e-6);
  EXPECT_TRUE(ext_test::external_via_get_field(6, mi, 4, -60.0, 0.0, 0.0).ok);
  EXPECT_FALSE(ext_test::external_via_get_field(6, mi, 4, -60.01, 0.0, 0.0).ok);
  mi[2] = 4.0;
  EXPECT_FALSE(ext_test::external_via_get_field(6, mi, 4, -6.6, 0.0, 0.0).ok);
}

}  // namespace
