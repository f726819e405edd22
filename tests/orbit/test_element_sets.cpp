// Element-set conversions and the fifth and sixth element normalisation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "kest/orbit.h"

namespace {

constexpr double re = 6378.137;
constexpr double mu = 398600.4418;
constexpr double pi = 3.14159265358979323846;

struct Set {
  double e[6];
  int opts[5];
};

TEST(ElementSets, ClassicalToVeska) {
  Set s{{1.1, 0.0, 98.0, 10.0, 20.0, 30.0}, {2, 1, 5, 0, 0}};
  double jd = 2451545.0;
  classical2veska_(&s.e[0], &s.e[1], &s.e[2], &s.e[3], &s.e[4], &s.e[5], &jd, s.opts);
  EXPECT_EQ(s.e[0], 98.0);
  EXPECT_NEAR(s.e[1], 0.1 * re, 1e-9);
  EXPECT_NEAR(s.e[2], 0.1 * re, 1e-9);
  EXPECT_EQ(s.e[3], 10.0);
  EXPECT_EQ(s.opts[0], 1);
  // e > 0: the apogee height exceeds the perigee height by 2 a e R.
  Set t{{1.3, 0.05, 63.4, 0, 0, 0}, {2, 1, 5, 0, 0}};
  classical2veska_(&t.e[0], &t.e[1], &t.e[2], &t.e[3], &t.e[4], &t.e[5], &jd, t.opts);
  EXPECT_NEAR(t.e[2] - t.e[1], 2.0 * 1.3 * 0.05 * re, 1e-9);
}

TEST(ElementSets, MeanMotionOfASiderealDayGivesTheGeostationaryAxis) {
  // One revolution per sidereal day (86164.0905 s): a = (mu T^2/4 pi^2)^(1/3),
  // about 42164.17 km.
  const double rev_per_day = 86400.0 / 86164.0905;
  Set s{{rev_per_day, 0.0, 0.0, 0.0, 0.0, 0.0}, {5, 1, 5, 0, 0}};
  double jd = 2451545.0;
  mean2classical_(&s.e[0], &s.e[1], &s.e[2], &s.e[3], &s.e[4], &s.e[5], &jd, s.opts);
  const double T = 86164.0905;
  EXPECT_NEAR(s.e[0], std::cbrt(mu * T * T / (4.0 * pi * pi)) / re, 1e-12);
  EXPECT_NEAR(s.e[0] * re, 42164.17, 0.01);
  EXPECT_EQ(s.opts[0], 2);
}

// The node of the solar set is 15 (H_i - 6 + H_e) degrees with H_e =
// (6.594703 + 0.06570982 day, in single precision) + 0.002737910021096468 hour,
// day counted from 1992-01-01 and stepping at noon, hour from the noon before.
TEST(ElementSets, SolarNodeFollowsTheDayAndHourOfTheEpoch) {
  struct Case {
    double jd;
    int day;
    double hour;
  };
  // 2000-01-01 12:00 (JD 2451545.0), six hours later, 2000-01-02 00:00.
  const Case cases[] = {{2451545.0, 2923, 0.0}, {2451545.25, 2923, 6.0}, {2451545.5, 2923, 12.0}};
  for (const auto& c : cases) {
    const double hi = 6.0;  // node at 15 H_e
    Set s{{51.6, 400.0, 1200.0, 3.0, hi, 30.0}, {4, 1, 5, 0, 0}};
    double jd = c.jd;
    testing::internal::CaptureStdout();
    solar2classical_(&s.e[0], &s.e[1], &s.e[2], &s.e[3], &s.e[4], &s.e[5], &jd, s.opts);
    const std::string out = testing::internal::GetCapturedStdout();
    const float sf = 6.594703f + 0.06570982f * static_cast<float>(c.day);
    const double he = static_cast<double>(sf) + c.hour * 0.002737910021096468;
    const double node = std::fmod(he * 15.0, 360.0);
    EXPECT_NEAR(s.e[3], node, 1e-9) << c.jd;
    // Argument of perigee: 15 (H_a + 12 - H_i + 6) = 15 * 15 = 225 degrees.
    EXPECT_NEAR(s.e[4], 225.0, 1e-9);
    const double a = re + 800.0;
    EXPECT_NEAR(s.e[0], a / re, 1e-12);
    EXPECT_NEAR(s.e[1], 800.0 / (2.0 * a), 1e-15);
    EXPECT_EQ(s.e[2], 51.6);
    EXPECT_EQ(s.e[5], 30.0);
    EXPECT_EQ(s.opts[0], 2);
    EXPECT_EQ(s.opts[1], 1);
    // Two trace lines; the first holds a carriage return and 36 blanks.
    const std::string first = " S2C: Converting mean ele \r" + std::string(36, ' ') +
                              "(n,e,i,Omega,omega,(tsfe,nu0,u0,l0,m0):";
    EXPECT_EQ(out.substr(0, first.size()), first);
    EXPECT_NE(out.find("\n S2C: to Classical elements: "), std::string::npos);
  }
}

TEST(ElementSets, SolarAnglesStayInOneTurn) {
  for (double hi : {-30.0, 0.0, 5.5, 23.9, 100.0})
    for (double ha : {-50.0, 0.0, 13.0, 70.0}) {
      Set s{{51.6, 400.0, 1200.0, ha, hi, 30.0}, {4, 1, 5, 0, 0}};
      double jd = 2460000.3;
      testing::internal::CaptureStdout();
      solar2classical_(&s.e[0], &s.e[1], &s.e[2], &s.e[3], &s.e[4], &s.e[5], &jd, s.opts);
      testing::internal::GetCapturedStdout();
      EXPECT_GE(s.e[3], 0.0);
      EXPECT_LT(s.e[3], 360.0);
      EXPECT_GE(s.e[4], 0.0);
      EXPECT_LT(s.e[4], 360.0);
    }
}

TEST(ElementSets, FifthElementLongitudeOfPerigee) {
  struct Case {
    double pi_, node, omega;
  };
  for (const Case c : {Case{10.0, 350.0, 20.0}, Case{350.0, 10.0, 340.0}}) {
    Set s{{51.6, 400.0, 500.0, c.node, c.pi_, 0.0}, {1, 2, 5, 0, 0}};
    testing::internal::CaptureStdout();
    fifthelement_(&s.e[0], &s.e[1], &s.e[2], &s.e[3], &s.e[4], &s.e[5], s.opts);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_DOUBLE_EQ(s.e[4], c.omega);
    EXPECT_EQ(s.opts[1], 1);
    EXPECT_EQ(out.substr(0, 16), " Converting PI (");
  }
  // The trace line, free-form numbers of 17 significant digits.
  Set s{{51.6, 400.0, 500.0, 350.0, 10.0, 0.0}, {1, 2, 5, 0, 0}};
  testing::internal::CaptureStdout();
  fifthelement_(&s.e[0], &s.e[1], &s.e[2], &s.e[3], &s.e[4], &s.e[5], s.opts);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " Converting PI (   10.000000000000000      ) to omega (   20.000000000000000      )\n");
  // Kind 1 is left alone; another kind only prints its line.
  Set k{{51.6, 400.0, 500.0, 350.0, 10.0, 0.0}, {1, 3, 5, 0, 0}};
  testing::internal::CaptureStdout();
  fifthelement_(&k.e[0], &k.e[1], &k.e[2], &k.e[3], &k.e[4], &k.e[5], k.opts);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " ele_opts(2) must be either 1 (omega) or 2 (PI)\n");
  EXPECT_EQ(k.e[4], 10.0);
  EXPECT_EQ(k.opts[1], 3);
}

TEST(ElementSets, SixthElementKinds) {
  // Kind 4 (true longitude): nu = 50 - 100 - 300 + 360 = 10 degrees; with
  // equal heights (e = 0) the mean anomaly is nu itself.
  Set s{{51.6, 500.0, 500.0, 300.0, 100.0, 50.0}, {1, 1, 4, 0, 0}};
  sixthelement_(&s.e[0], &s.e[1], &s.e[2], &s.e[3], &s.e[4], &s.e[5], s.opts);
  EXPECT_NEAR(s.e[5], 10.0, 1e-12);
  EXPECT_EQ(s.opts[2], 5);
  // A second call does nothing: the kind is now 5.
  sixthelement_(&s.e[0], &s.e[1], &s.e[2], &s.e[3], &s.e[4], &s.e[5], s.opts);
  EXPECT_NEAR(s.e[5], 10.0, 1e-12);
  // Kind 2 on an eccentric orbit: M = E - e sin E, tan(E/2) =
  // sqrt((1-e)/(1+e)) tan(nu/2).
  Set t{{51.6, 400.0, 2000.0, 0.0, 0.0, 120.0}, {1, 1, 2, 0, 0}};
  sixthelement_(&t.e[0], &t.e[1], &t.e[2], &t.e[3], &t.e[4], &t.e[5], t.opts);
  const double e = 1600.0 / (2.0 * re + 2400.0);
  const double E = 2.0 * std::atan(std::sqrt((1 - e) / (1 + e)) * std::tan(60.0 * pi / 180.0));
  EXPECT_NEAR(t.e[5], (E - e * std::sin(E)) * 180.0 / pi, 1e-10);
  // An invalid kind prints its line and changes nothing.
  Set u{{51.6, 400.0, 500.0, 0.0, 0.0, 7.0}, {1, 1, 9, 0, 0}};
  testing::internal::CaptureStdout();
  sixthelement_(&u.e[0], &u.e[1], &u.e[2], &u.e[3], &u.e[4], &u.e[5], u.opts);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), " ele_opts(3) must be 1-5\n");
  EXPECT_EQ(u.e[5], 7.0);
  EXPECT_EQ(u.opts[2], 9);
}

TEST(ElementSets, MeanAnomalyOfACircularOrbitAndItsRange) {
  double ecc = 0.0, m = 0.0;
  for (double nu : {0.0, 45.0, 179.0}) {
    meananom_(&ecc, &nu, &m);
    EXPECT_NEAR(m, nu, 1e-12);
  }
  double nu = 270.0;
  meananom_(&ecc, &nu, &m);
  EXPECT_NEAR(m, -90.0, 1e-12);
}

TEST(ElementSets, TimeOfPerigeePassage) {
  const double a = 7000.0;
  const double T = 2.0 * pi * std::sqrt(a * a * a / mu);
  struct Case {
    double tsfe, m0;
  };
  for (const Case c : {Case{0.0, 0.0}, Case{T / 4.0, 270.0}, Case{-T / 4.0, 90.0}}) {
    double tsfe = c.tsfe, aa = a, m0 = -1.0;
    testing::internal::CaptureStdout();
    tsfe2m0_(&tsfe, &aa, &m0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NEAR(m0, c.m0, 1e-9);
    if (c.tsfe == 0.0) {
      EXPECT_EQ(out, " Converting tsfe (   0.0000000000000000      ) to M0 (   0.0000000000000000      )\n");
    }
  }
}

TEST(ElementSets, StateVectorOfAnEquatorialCircularOrbitGetsDefinedAngles) {
  // Geostationary radius on the y axis, prograde: node and argument of
  // perigee 0 by convention, mean anomaly 90 degrees from the x axis.
  const double r = 42164.0, v = std::sqrt(mu / r);
  Set s{{0.0, r, 0.0, -v, 0.0, 0.0}, {3, 1, 5, 0, 0}};
  double jd = 2451545.0;
  testing::internal::CaptureStdout();
  rv2classical_(&s.e[0], &s.e[1], &s.e[2], &s.e[3], &s.e[4], &s.e[5], &jd, s.opts);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NEAR(s.e[0], r / re, 1e-9);
  EXPECT_EQ(s.e[2], 0.0);
  EXPECT_EQ(s.e[3], 0.0);
  EXPECT_EQ(s.e[4], 0.0);
  EXPECT_NEAR(s.e[5], 90.0, 1e-9);
  EXPECT_EQ(s.opts[0], 2);
  EXPECT_EQ(s.opts[1], 1);
  EXPECT_EQ(s.opts[2], 5);
  EXPECT_EQ(out.substr(0, 8), " R, V = ");
  EXPECT_NE(out.find("\n P,A,Ecc,Incl,Omega,Argp,Nu,M,ArgLat,TrueLon,LonPer "), std::string::npos);
}

}  // namespace
