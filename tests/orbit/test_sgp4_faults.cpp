// SGP4 failure reporting and call-order independence.
#include <gtest/gtest.h>

#include <cmath>

#include "kest/orbit.h"
#include "orbit/orbit_state.hpp"
#include "sgp4_elements.hpp"

namespace {

using namespace sgp4_test;

int prop(double t, double r[3], double v[3], int whichconst = 72) {
  int err = -1;
  sgp4_(&whichconst, &t, r, v, &err);
  return err;
}

// Element sets of the published verification file.
const Elements minotaur{28872, 2005, 333.02012661, 0.24476e-3, 0.0303955, 96.4736,
                        157.9986, 244.0492, 110.6523, 16.46015938};
const Elements e995{33333, 2005, 333.02012661, 0.10000e-3, 0.9950000, 96.4736,
                    157.9986, 244.0492, 110.6523, 4.00004038};

}  // namespace

// A negative semi-latus rectum leaves no state: all six outputs get the fill
// value, never the values of the previous call.
TEST(Sgp4Faults, Code4WritesFillNotPreviousValues) {
  EXPECT_EQ(init(e995), 5);  // perigee inside the Earth
  double r[3], v[3];
  ASSERT_EQ(prop(20.0, r, v), 0);
  ASSERT_GT(std::fabs(r[0]), 1.0);
  ASSERT_EQ(prop(25.0, r, v), 4);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(r[k], fill);
    EXPECT_EQ(v[k], fill);
  }
}

// A decayed satellite reports 6 together with its (sub-surface) position.
TEST(Sgp4Faults, Code6KeepsComputedPosition) {
  EXPECT_EQ(init(minotaur), 5);  // perigee 51 km below the surface
  double r[3], v[3];
  ASSERT_EQ(prop(55.0, r, v), 6);
  const double rad = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  EXPECT_GT(rad, 5000.0);
  EXPECT_LT(rad, 6378.135);
  EXPECT_LT(std::fabs(v[0]) + std::fabs(v[1]) + std::fabs(v[2]), 30.0);
}

// Elements no orbit has are named by their cause, as the error table has
// it: an eccentricity of 1 or more (or below -0.001) is code 1, a mean
// motion of 0 or below code 2; with both, code 1 replaces the earlier 2. Not
// the code of the Kepler solution that such numbers defeat (7).
TEST(Sgp4Faults, ImpossibleElementsGiveTheirOwnCode) {
  struct Case {
    double ecc, n;  // rev/day
    int code;
  };
  const Case cases[] = {{1.0, 15.0, 1}, {1.5, 15.0, 1}, {-0.01, 15.0, 1},
                        {0.003, -2.0, 2}, {0.003, 0.0, 2}, {1.5, -2.0, 1}};
  for (const Case& c : cases) {
    Elements e = minotaur;
    e.ecc = c.ecc;
    e.n = c.n;
    EXPECT_EQ(init(e), c.code) << c.ecc << " " << c.n;
    double r[3], v[3];
    EXPECT_EQ(prop(60.0, r, v), c.code) << c.ecc << " " << c.n;
  }
}

// A B* of 1e59 (a two-digit exponent field read as 60) overflows the drag
// terms within a minute of the epoch: the eccentricity leaves its range
// (code 1) and the outputs are no numbers, so all six get the fill value.
TEST(Sgp4Faults, OverflowingDragGivesFillNotNaN) {
  Elements e = minotaur;
  e.ecc = 0.003;
  e.n = 15.0;
  e.bstar = 0.1e60;
  ASSERT_EQ(init(e), 0);
  for (double t : {1.0, 60.0, -1440.0}) {
    double r[3] = {1, 2, 3}, v[3] = {4, 5, 6};
    EXPECT_NE(prop(t, r, v), 0) << t;
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(r[k], fill) << t;
      EXPECT_EQ(v[k], fill) << t;
    }
  }
}

// e = 0.9999 at mean anomaly 1e-4 rad: from the start value E = M the Newton
// steps are cut to 1 rad and then shrink by about a third per step (Kepler's
// function is nearly cubic here), so ten steps end with a last step of about
// 9e-5 rad (a hand iteration of the same scheme). The unsolved equation is
// reported (7) with the fill value, not used.
TEST(Sgp4Faults, UnsolvedKeplerIsReported) {
  const Elements hard{1, 2006, 100.0, 0.0, 0.9999, 0.0, 0.0, 0.0, 1.0e-4 / deg, 16.0};
  EXPECT_EQ(init(hard), 7);
  double r[3] = {1, 2, 3}, v[3] = {4, 5, 6};
  EXPECT_EQ(prop(0.0, r, v), 7);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(r[k], fill);
    EXPECT_EQ(v[k], fill);
  }
}

// The resonance integration carries its state between calls: the result at a
// time does not depend on the calls before it.
TEST(Sgp4Faults, ResonantResultsIndependentOfCallOrder) {
  for (const Elements& e : {molniya, geo}) {
    ASSERT_EQ(init(e), 0);
    EXPECT_EQ(kest::elsetrec.method, 'd');
    EXPECT_EQ(kest::elsetrec.resonance, e.satnum == 8195 ? 2 : 1);
    double a[3], av[3], r[3], v[3];
    ASSERT_EQ(prop(2880.0, a, av), 0);
    ASSERT_EQ(prop(-1440.0, r, v), 0);
    ASSERT_EQ(prop(100.0, r, v), 0);
    ASSERT_EQ(prop(2880.0, r, v), 0);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(r[k], a[k]);
      EXPECT_EQ(v[k], av[k]);
    }
  }
}

// The WGS-84 set differs from WGS-72 only in its constants: a near-Earth orbit
// moves by metres, not kilometres.
TEST(Sgp4Faults, Wgs84CloseToWgs72) {
  const Elements leo{28057, 2006, 177.78615833, 0.35940e-4, 0.0000884, 98.4283,
                     247.6961, 88.1964, 271.9322, 14.35478080};
  double r72[3], v72[3], r84[3], v84[3];
  ASSERT_EQ(init(leo, 72), 0);
  ASSERT_EQ(prop(1440.0, r72, v72, 72), 0);
  ASSERT_EQ(init(leo, 84), 0);
  ASSERT_EQ(prop(1440.0, r84, v84, 84), 0);
  double d = 0;
  for (int k = 0; k < 3; ++k) d += (r84[k] - r72[k]) * (r84[k] - r72[k]);
  EXPECT_GT(std::sqrt(d), 1e-4);
  EXPECT_LT(std::sqrt(d), 5.0);
}

// An element set whose drag and secular terms cannot be formed (e > 1 and a
// negative mean motion) must not inherit the terms of the set before it: it
// reports a code and the fill value.
TEST(Sgp4Faults, NoStateLeaksFromPreviousSet) {
  ASSERT_EQ(init(molniya), 0);
  ASSERT_NE(kest::elsetrec.drag_c1, 0.0);
  const Elements bad{2, 2006, 100.0, 1e-4, 1.5, 30.0, 10.0, 20.0, 40.0, -2.0};
  EXPECT_NE(init(bad), 0);
  EXPECT_EQ(kest::elsetrec.drag_c1, 0.0);
  EXPECT_EQ(kest::elsetrec.resonance, 0);
  EXPECT_EQ(kest::elsetrec.method, 'n');
  double r[3], v[3];
  EXPECT_NE(prop(60.0, r, v), 0);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(r[k], fill);
}
