// The solar-wind driven models across the seams of their driver formulas.
// Where a driver formula changes branch the published formulas join, so the
// field does too: the change across a seam over a step 2h shrinks with h
// like the slope of the field times 2h. A jump that stays as h shrinks is a
// wrong branch (a wrapped clock angle in the wrong quadrant, a saturation
// taken from the wrong side, a switch value that does not meet the formula
// it replaces).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"
#include "restore.hpp"

namespace {

struct V3 {
  double x, y, z;
};

double dist(const V3& a, const V3& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

// Field as a function of the one driver that crosses the seam.
using Driver = std::function<V3(double)>;

// |f(s + h) - f(s - h)| against the one-sided slopes measured over H = 1000 h:
// a continuous seam keeps the change below 2 × the larger slope × 2h (the
// slope may step at the seam); floor is the rounding level of the model.
void expect_continuous(const char* what, const Driver& f, double s, double h, double floor) {
  const double big = 1000.0 * h;
  const V3 c = f(s);
  const double slope = std::max(dist(f(s + big), c), dist(c, f(s - big))) / big;
  const double change = dist(f(s + h), f(s - h));
  EXPECT_LE(change, 4.0 * slope * h + floor) << what << " at " << s << " (slope " << slope << " nT per unit)";
}

V3 t96(const double (&p)[4], double x, double y, double z) {
  double q[10] = {p[0], p[1], p[2], p[3], 0, 0, 0, 0, 0, 0};
  V3 b;
  t96_01_(q, &x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

V3 t01(const double (&p)[6], double x, double y, double z) {
  double q[10] = {p[0], p[1], p[2], p[3], p[4], p[5], 0, 0, 0, 0};
  V3 b;
  t01_01_(q, &x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

V3 t04(const double (&p)[10], double x, double y, double z) {
  double q[10];
  std::copy(p, p + 10, q);
  V3 b;
  t04_s_(q, &x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

// Points in the inner magnetosphere, the tail, the dayside and on the flank,
// and one beyond the dayside magnetopause of every model here (where the
// result is the penetrated IMF less the dipole).
constexpr double kPoints[][3] = {{-6.6, 0.4, 0.3}, {-10.0, 3.0, 2.0}, {5.0, -4.0, 6.0}, {-3.0, 9.5, -4.0},
                                 {13.5, 2.0, 1.0}};

// Tsyganenko 1996, 2001 and 2004: the IMF clock angle theta = atan2(By, Bz)
// is moved into (0, 2 pi], so under a northward IMF it jumps from 2 pi to 0
// as By passes 0 (it enters through cos, sin and sin^2(theta/2), which
// join); with By = 0 it is pi for Bz < 0 and 0 for Bz = 0, where the IMF
// terms vanish. The Dst correction D* = 0.8 Dst - 13 sqrt(Pdyn) is taken
// as |D*| saturated at 20 nT (2001: max(|D*|, 20), both signs; 2004: from
// min(D*, -20)).
TEST(DriverSeams, TsyganenkoImfClockAngleAndDstSaturation) {
  kest_test::Restore<kest::DipAng> keep(kest::dip_ang);
  const double pdyn = 2.7, root = 13.0 * std::sqrt(pdyn);
  const double dst_at_dstar_minus20 = (root - 20.0) / 0.8, dst_at_dstar_plus20 = (root + 20.0) / 0.8;
  for (double tilt : {0.0, 13.0}) {
    kest::dip_ang.tilt = tilt;
    for (const auto& p : kPoints) {
      const double x = p[0], y = p[1], z = p[2];
      struct Case {
        const char* what;
        Driver f;
        double seam;
      };
      const std::vector<Case> cases = {
          {"T96 By through 0, Bz 3.3", [&](double v) { return t96({pdyn, -30, v, 3.3}, x, y, z); }, 0.0},
          {"T96 Bz through 0, By 0", [&](double v) { return t96({pdyn, -30, 0, v}, x, y, z); }, 0.0},
          {"T01 By through 0, Bz 3.3", [&](double v) { return t01({pdyn, -30, v, 3.3, 3.1, 4.4}, x, y, z); }, 0.0},
          {"T01 Bz through 0, By 0", [&](double v) { return t01({pdyn, -30, 0, v, 3.1, 4.4}, x, y, z); }, 0.0},
          {"T01 D* through -20", [&](double v) { return t01({pdyn, v, 2.1, -3.3, 3.1, 4.4}, x, y, z); },
           dst_at_dstar_minus20},
          {"T01 D* through +20", [&](double v) { return t01({pdyn, v, 2.1, -3.3, 3.1, 4.4}, x, y, z); },
           dst_at_dstar_plus20},
          {"T04 By through 0, Bz 3.3",
           [&](double v) { return t04({pdyn, -30, v, 3.3, 0.4, 0.6, 1.1, 0.9, 0.5, 1.3}, x, y, z); }, 0.0},
          {"T04 D* through -20",
           [&](double v) { return t04({pdyn, v, 2.1, -3.3, 0.4, 0.6, 1.1, 0.9, 0.5, 1.3}, x, y, z); },
           dst_at_dstar_minus20},
      };
      for (const Case& c : cases) expect_continuous(c.what, c.f, c.seam, 1e-7, 1e-7);
    }
  }
}

// Alexeev 2000: the subsolar distance R1 = P^(-1/6.6) (11.4 + K Bz) takes K
// = 0.013 for Bz >= 0 and 0.14 below (K Bz is 0 at the switch); the
// region-1 intensity starts from 0.327744, replaced by -0.2034 Bz from Bz =
// -1.61133 nT on (the two agree there); the ring-current field at the
// centre is Dst - 10 below Dst = 0 and -10 from 0 on. Single precision: the
// step is 1e-4 nT and the floor the rounding of a field of some 50 nT.
TEST(DriverSeams, Alexeev2000MagnetopauseRegionOneAndRingCurrent) {
  kest_test::Restore<kest::A2000Time> keep(kest::a2000_time);
  kest::a2000_time.year = 2004;
  kest::a2000_time.month = 3;
  kest::a2000_time.day = 21;
  kest::a2000_time.ut_a2000 = 10.5;
  auto a2000 = [](float bz, float dst, const double (&p)[3]) {
    float ro = 7.0f, v = 450.0f, al = -250.0f, imf[3] = {0.0f, 0.0f, bz};
    float x[3] = {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])}, b[3];
    a2000_(&ro, &v, imf, &dst, &al, x, b);
    return V3{b[0], b[1], b[2]};
  };
  // Points inside the paraboloid and clear of the model's thin current
  // sheets (tail sheet, inner edge of the tail, polar-cap cone, r = R1).
  constexpr double pts[][3] = {{-6.6, 0.0, 0.0}, {-10.0, 3.0, 2.0}, {5.0, -4.0, 6.0}, {2.385, -0.61, 1.173}};
  for (const auto& p : pts) {
    expect_continuous("A2000 Bz through 0", [&](double v) { return a2000(static_cast<float>(v), -35.0f, p); },
                      0.0, 1e-4, 2e-5);
    expect_continuous("A2000 Bz through -1.61133",
                      [&](double v) { return a2000(static_cast<float>(v), -35.0f, p); }, -1.61133, 1e-4, 2e-5);
    expect_continuous("A2000 Dst through 0", [&](double v) { return a2000(-3.0f, static_cast<float>(v), p); },
                      0.0, 1e-4, 2e-5);
  }
}

}  // namespace
