// The element orbit driver: the five element sets of one orbit give the same
// positions, the trace lines, the row windows, the 100000-row cut, and the
// rows of a failed propagation.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "kest/orbit.h"
#include "orbit_test_util.hpp"

namespace {

constexpr double re = 6378.137;
constexpr double mu = 398600.4418;
constexpr double pi = 3.14159265358979323846;
constexpr double d2r = pi / 180.0;
constexpr int rows_max = 100000;

// The caller's side of one sgp4_ele call: epoch, elements, window, arrays
// (one spare entry past the 100000 to see that nothing is written there).
struct EleCall {
  int sys = 5;
  int iyr = 2008, imon = 3, iday = 15, ihr = 6, imin = 30;
  double sec = 0.0;
  double e[6] = {};
  int opts[5] = {1, 1, 5, 0, 0};
  double start = 0.0, stop = 3600.0, step = 60.0;
  std::vector<int> year = std::vector<int>(rows_max + 1, -7), doy = std::vector<int>(rows_max + 1, -7);
  std::vector<double> ut = std::vector<double>(rows_max + 1, -7.0),
                      x1 = std::vector<double>(rows_max + 1, -7.0),
                      x2 = std::vector<double>(rows_max + 1, -7.0),
                      x3 = std::vector<double>(rows_max + 1, -7.0);
  std::string out;  // standard output of the call
  void run() {
    void* argv[23] = {&sys,     &iyr,    &imon,  &iday,      &ihr,      &imin,      &sec,     &e[0],
                      &e[1],    &e[2],   &e[3],  &e[4],      &e[5],     opts,       &start,   &stop,
                      &step,    year.data(), doy.data(), ut.data(), x1.data(), x2.data(), x3.data()};
    testing::internal::CaptureStdout();
    const float rc = sgp4_ele_(23, argv);
    out = testing::internal::GetCapturedStdout();
    EXPECT_FLOAT_EQ(rc, 9.9f);
  }
};

// One orbit: inclination 51.6, perigee 400 km, apogee 1200 km, node 120,
// argument of perigee 70, mean anomaly 30 degrees at 2008-03-15 06:30.
constexpr double inc = 51.6, hp = 400.0, ha = 1200.0, node = 120.0, argp = 70.0, m0 = 30.0;
const double a_re = 1.0 + (hp + ha) / (2.0 * re);      // Earth radii
const double ecc = (ha - hp) / (2.0 * a_re * re);

double true_anomaly_deg() {
  double E = m0 * d2r;
  for (int k = 0; k < 50; ++k) E -= (E - ecc * std::sin(E) - m0 * d2r) / (1 - ecc * std::cos(E));
  return 2.0 * std::atan2(std::sqrt(1 + ecc) * std::sin(E / 2), std::sqrt(1 - ecc) * std::cos(E / 2)) / d2r;
}

EleCall reference() {
  EleCall c;
  c.e[0] = inc; c.e[1] = hp; c.e[2] = ha; c.e[3] = node; c.e[4] = argp; c.e[5] = m0;
  c.run();
  return c;
}

void expect_same_positions(const EleCall& a, const EleCall& b, const char* what) {
  for (int i = 0; i < 60; ++i) {
    ASSERT_EQ(a.ut[i], b.ut[i]) << what;
    EXPECT_NEAR(a.x1[i], b.x1[i], 1e-8) << what << " row " << i;
    EXPECT_NEAR(a.x2[i], b.x2[i], 1e-8) << what << " row " << i;
    EXPECT_NEAR(a.x3[i], b.x3[i], 1e-8) << what << " row " << i;
  }
}

TEST(EleDriver, FiveElementSetsOfOneOrbitGiveTheSamePositions) {
  const EleCall ref = reference();
  ASSERT_NEAR(ref.x1[0] * ref.x1[0] + ref.x2[0] * ref.x2[0] + ref.x3[0] * ref.x3[0], 1.2, 0.3);

  EleCall classical;  // a in Earth radii, e
  double c6[6] = {a_re, ecc, inc, node, argp, m0};
  std::copy(c6, c6 + 6, classical.e);
  classical.opts[0] = 2;
  classical.run();
  expect_same_positions(ref, classical, "classical");

  EleCall mean;  // mean motion, rev/day, from Kepler's third law
  const double a_km = a_re * re;
  double m6[6] = {std::sqrt(mu / (a_km * a_km * a_km)) * 86400.0 / (2.0 * pi), ecc, inc, node, argp, m0};
  std::copy(m6, m6 + 6, mean.e);
  mean.opts[0] = 5;
  mean.run();
  expect_same_positions(ref, mean, "mean");

  EleCall sv;  // position and velocity at the epoch
  {
    const double p = a_km * (1 - ecc * ecc), nu = true_anomaly_deg() * d2r;
    const double r = p / (1 + ecc * std::cos(nu)), s = std::sqrt(mu / p);
    const double X = r * std::cos(nu), Y = r * std::sin(nu), VX = -s * std::sin(nu),
                 VY = s * (ecc + std::cos(nu));
    const double cO = std::cos(node * d2r), sO = std::sin(node * d2r), cw = std::cos(argp * d2r),
                 sw = std::sin(argp * d2r), ci = std::cos(inc * d2r), si = std::sin(inc * d2r);
    const double m[3][2] = {{cO * cw - sO * sw * ci, -cO * sw - sO * cw * ci},
                            {sO * cw + cO * sw * ci, -sO * sw + cO * cw * ci},
                            {sw * si, cw * si}};
    for (int k = 0; k < 3; ++k) {
      sv.e[k] = m[k][0] * X + m[k][1] * Y;
      sv.e[k + 3] = m[k][0] * VX + m[k][1] * VY;
    }
  }
  sv.opts[0] = 3;
  sv.run();
  expect_same_positions(ref, sv, "state vector");

  EleCall solar;  // local times of apogee and node
  {
    // Epoch JD 2454540.5 + 6.5/24: day 5918 from 1992-01-01 (JD 2448622.5),
    // 18.5 hours after the noon before.
    const float sf = 6.594703f + 0.06570982f * 5918.0f;
    const double he = static_cast<double>(sf) + 18.5 * 0.002737910021096468;
    const double hi = node / 15.0 + 6.0 - he;
    const double ha_lt = argp / 15.0 - 18.0 + hi;
    double s6[6] = {inc, hp, ha, ha_lt, hi, m0};
    std::copy(s6, s6 + 6, solar.e);
  }
  solar.opts[0] = 4;
  solar.run();
  expect_same_positions(ref, solar, "solar");

  for (EleCall* c : {&classical, &mean, &sv, &solar}) {
    EXPECT_EQ(c->opts[0], 1);
    EXPECT_EQ(c->opts[1], 1);
    EXPECT_EQ(c->opts[2], 5);
  }
  // The caller's elements come back as given.
  EXPECT_EQ(classical.e[0], a_re);
  EXPECT_EQ(mean.e[0], m6[0]);
}

TEST(EleDriver, FifthAndSixthElementKindsGiveTheSamePositions) {
  const EleCall ref = reference();
  const double nu = true_anomaly_deg();
  const double a_km = a_re * re, T = 2.0 * pi * std::sqrt(a_km * a_km * a_km / mu);
  struct Kind {
    int fifth, sixth;
    double e5, e6;
  };
  const Kind kinds[] = {
      {2, 5, node + argp, m0},               // longitude of perigee
      {1, 1, argp, -m0 / 360.0 * T},         // time of perigee passage
      {1, 2, argp, nu},                      // true anomaly
      {1, 3, argp, nu + argp},               // argument of latitude
      {2, 4, node + argp, nu + argp + node}, // true longitude, with PI
  };
  for (const Kind& k : kinds) {
    EleCall c;
    double e6[6] = {inc, hp, ha, node, k.e5, k.e6};
    std::copy(e6, e6 + 6, c.e);
    c.opts[1] = k.fifth;
    c.opts[2] = k.sixth;
    c.run();
    expect_same_positions(ref, c, "kind");
  }
}

TEST(EleDriver, TraceLinesOfTheClassicalSet) {
  EleCall c;
  double e6[6] = {1.1, 0.0, 98.0, 0.0, 0.0, 0.0};
  std::copy(e6, e6 + 6, c.e);
  c.opts[0] = 2;
  c.stop = 120.0;
  c.run();
  EXPECT_EQ(c.out,
            " Converting these ele_opts =            2           1           5           0           0\n"
            " with these elements =    1.1000000000000001        0.0000000000000000        "
            "98.000000000000000        0.0000000000000000        0.0000000000000000        "
            "0.0000000000000000     \n"
            " to these ele_opts =            1           1           5           0           0\n"
            " with these elements =    98.000000000000000        637.81370000000049        "
            "637.81370000000049        0.0000000000000000        0.0000000000000000        "
            "0.0000000000000000     \n");
}

TEST(EleDriver, TraceOrderOfTheStateVectorSetAndAnInvalidSet) {
  EleCall c;
  double e6[6] = {7000.0, 0.0, 1000.0, 0.0, 7.3, 1.0};
  std::copy(e6, e6 + 6, c.e);
  c.opts[0] = 3;
  c.stop = 60.0;
  c.run();
  const auto lines = orbit_test::split_lines(c.out);
  const char* starts[] = {" Converting these ele_opts =", " with these elements =", " R, V =",
                          " P,A,Ecc,Incl,Omega,Argp,Nu,M,ArgLat,TrueLon,LonPer",
                          " to these ele_opts =            2           1           5",
                          " with these elements =",
                          " to these ele_opts =            1           1           5",
                          " with these elements =",
                          " to these ele_opts =            1           1           5",
                          " with these elements ="};
  ASSERT_EQ(lines.size(), 10u) << c.out;
  for (int i = 0; i < 10; ++i) EXPECT_EQ(lines[i].rfind(starts[i], 0), 0u) << lines[i];

  // An invalid set: one line, then the elements propagate as the veska set.
  const EleCall ref = reference();
  EleCall bad;
  double b6[6] = {inc, hp, ha, node, argp, m0};
  std::copy(b6, b6 + 6, bad.e);
  bad.opts[0] = 0;
  bad.run();
  EXPECT_EQ(bad.out, " ele_opts(1) must be 1-5\n");
  expect_same_positions(ref, bad, "invalid set");
}

TEST(EleDriver, RowWindows) {
  const double ut0 = 6.5 * 3600.0;
  struct Case {
    double start, stop, step;
    std::vector<double> times;  // seconds from the epoch
  };
  const std::vector<Case> cases = {
      {0.0, 180.0, 60.0, {60, 120, 180}},
      {60.0, 180.0, 60.0, {60, 120, 180}},
      {0.0, 150.0, 60.0, {60, 120, 150}},   // the last step shortened
      {60.0, 60.0, 60.0, {60}},
      {0.0, 0.0, 60.0, {}},
      {0.0, 180.0, 0.0, {60, 120, 180}},    // a step of 0 is 60 s
      {0.0, 180.0, -1.0, {60, 120, 180}},
      {30.0, 100.0, 0.75, {}},              // checked by count below
  };
  for (const auto& c : cases) {
    EleCall call;
    double e6[6] = {inc, hp, ha, node, argp, m0};
    std::copy(e6, e6 + 6, call.e);
    call.start = c.start;
    call.stop = c.stop;
    call.step = c.step;
    call.run();
    if (c.step == 0.75) {
      // 30, 30.75, ..., 99.75 (94 rows), then 100 itself.
      EXPECT_NEAR(call.ut[93], ut0 + 99.75, 1e-6);
      EXPECT_NEAR(call.ut[94], ut0 + 100.0, 1e-6);
      EXPECT_EQ(call.year[95], -7);
      continue;
    }
    for (size_t i = 0; i < c.times.size(); ++i) {
      EXPECT_EQ(call.year[i], 2008);
      EXPECT_EQ(call.doy[i], 75);  // 15 March of a leap year
      EXPECT_NEAR(call.ut[i], ut0 + c.times[i], 1e-6) << c.start << " " << c.stop;
    }
    EXPECT_EQ(call.year[c.times.size()], -7) << c.start << " " << c.stop;
    EXPECT_EQ(call.x1[c.times.size()], -7.0);
    if (!c.times.empty()) {
      // The epoch arguments now hold the time of the last row, two-digit year.
      EXPECT_EQ(call.iyr, 8);
      EXPECT_EQ(call.ihr, 6);
    }
  }
}

TEST(EleDriver, AWindowOfMoreThan100000RowsIsCut) {
  for (double start : {0.0, 60.0}) {
    EleCall c;
    double e6[6] = {inc, hp, ha, node, argp, m0};
    std::copy(e6, e6 + 6, c.e);
    c.start = start;
    c.stop = start + 200000.0 * 60.0;
    c.run();
    // After the four trace lines of the veska set, the three lines of the cut.
    const std::string cut =
        " SGP4_ELE:  Given > 100,000 timesteps in the orbit\n"
        " propagation.  VESKA library requires less than that,\n"
        "  so SGP4_ELE has truncated your request.  \n";
    ASSERT_GE(c.out.size(), cut.size());
    EXPECT_EQ(c.out.substr(c.out.size() - cut.size()), cut);
    EXPECT_EQ(orbit_test::split_lines(c.out).size(), 7u);
    // The stop becomes the time of row 100000: 6e6 s after the epoch.
    EXPECT_EQ(c.stop, 6.0e6);
    EXPECT_EQ(c.year[rows_max - 1], 2008);
    EXPECT_EQ(c.doy[rows_max - 1], 75 + 69);  // 6e6 s = 69 days + 38400 s
    EXPECT_NEAR(c.ut[rows_max - 1], 6.5 * 3600.0 + 38400.0, 1e-5);
    EXPECT_EQ(c.year[rows_max], -7);
  }
}

// A window of exactly 100000 rows is not cut: its stop stays, its last row
// (6e6 s after the epoch in both grids) is the one a one-row window at that
// time gives, and the entry past the 100000 is not written.
TEST(EleDriver, AWindowOfExactly100000RowsIsKept) {
  EleCall alone;
  double e6[6] = {inc, hp, ha, node, argp, m0};
  std::copy(e6, e6 + 6, alone.e);
  alone.start = alone.stop = 6.0e6;
  alone.run();
  ASSERT_EQ(alone.year[0], 2008);
  EXPECT_EQ(alone.year[1], -7);
  for (double start : {0.0, 60.0}) {
    SCOPED_TRACE(start);
    EleCall c;
    std::copy(e6, e6 + 6, c.e);
    c.start = start;
    c.stop = 6.0e6;
    c.run();
    EXPECT_EQ(c.out.find("truncated"), std::string::npos);
    EXPECT_EQ(c.stop, 6.0e6);
    const int last = rows_max - 1;
    EXPECT_EQ(c.year[last], 2008);
    EXPECT_EQ(c.doy[last], 75 + 69);  // 6e6 s = 69 days + 38400 s
    EXPECT_NEAR(c.ut[last], 6.5 * 3600.0 + 38400.0, 1e-5);
    EXPECT_EQ(c.ut[last], alone.ut[0]);
    EXPECT_EQ(c.x1[last], alone.x1[0]);
    EXPECT_EQ(c.x3[last], alone.x3[0]);
    EXPECT_EQ(c.year[rows_max], -7);
    EXPECT_EQ(c.ut[rows_max], -7.0);
  }
}

TEST(EleDriver, ARefusedOrbitFillsItsRowsAndTheProcessGoesOn) {
  // Apogee height 900 below perigee height 1000: e = -100/(1900 + 2 R),
  // below -0.001, refused by the propagator (code 1) in a fresh process whose
  // row table is still zero.
  EleCall c;
  double e6[6] = {inc, 1000.0, 900.0, node, argp, m0};
  std::copy(e6, e6 + 6, c.e);
  c.stop = 180.0;
  c.run();
  const std::string err = " # *** SGP4 Model Error ***           1\n";
  ASSERT_GE(c.out.size(), err.size());
  EXPECT_EQ(c.out.substr(c.out.size() - err.size()), err);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(c.year[i], 0);
    EXPECT_EQ(c.doy[i], 0);
    EXPECT_EQ(c.ut[i], -1.0e31);
    EXPECT_EQ(c.x1[i], -1.0e31);
    EXPECT_EQ(c.x3[i], -1.0e31);
  }
  EXPECT_EQ(c.year[3], -7);
  // The epoch arguments keep their values when no row is computed.
  EXPECT_EQ(c.iyr, 2008);
}

// A window far beyond any calendar (a start of 1e15 s, some 3e7 years) for a
// geosynchronous orbit, whose resonance integration restarts from the epoch
// in every call: the rows end at once with a message and get the fill value,
// where the integration would otherwise run for 1e13 steps.
TEST(EleDriver, AWindowBeyondTheCalendarEndsTheRows) {
  EleCall c;
  double e6[6] = {0.1, 35786.0, 35786.0, node, argp, m0};
  std::copy(e6, e6 + 6, c.e);
  c.start = 1.0e15;
  c.stop = 1.0e15 + 180.0;
  alarm(20);
  c.run();
  alarm(0);
  EXPECT_NE(c.out.find("outside the years 1 to 9999"), std::string::npos) << c.out;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(c.year[i], 0);
    EXPECT_EQ(c.ut[i], -1.0e31);
    EXPECT_EQ(c.x1[i], -1.0e31);
  }
}

// An epoch that names no date of the years 1 to 9999: the year 0 (a
// two-digit year 00 passed as it stands), a year beyond the day numbers of
// the calendar routines, and a month count whose Julian date lies some 2e8
// years away. The call computes no row, says which argument is wrong, fills
// the window's rows and returns; the process goes on.
TEST(EleDriver, AnEpochOutsideTheCalendarFillsItsRowsAndTheProcessGoesOn) {
  struct Epoch {
    int iyr, imon, iday;
  };
  for (const Epoch ep : {Epoch{0, 3, 15}, Epoch{6000000, 3, 15}, Epoch{-5000, 3, 15},
                         Epoch{2008, 2147483647, 15}, Epoch{2008, 3, -2147483647}}) {
    EleCall c;
    double e6[6] = {inc, hp, ha, node, argp, m0};
    std::copy(e6, e6 + 6, c.e);
    c.iyr = ep.iyr, c.imon = ep.imon, c.iday = ep.iday;
    c.stop = 180.0;
    c.run();
    const std::string what = std::to_string(ep.iyr) + "-" + std::to_string(ep.imon) + "-" +
                             std::to_string(ep.iday);
    EXPECT_NE(c.out.find("epoch"), std::string::npos) << what << ": " << c.out;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(c.year[i], 0) << what;
      EXPECT_EQ(c.doy[i], 0) << what;
      EXPECT_EQ(c.ut[i], -1.0e31) << what;
      EXPECT_EQ(c.x2[i], -1.0e31) << what;
    }
    EXPECT_EQ(c.year[3], -7) << what;
    EXPECT_EQ(c.iyr, ep.iyr) << what;
  }
}

// Rows reaching back from an epoch at midnight (2023-01-01 00:00) at a step
// of 20 s: the backward grid start - step + k*step lands a rounding error
// before the epoch, whose row is the new year's midnight (day 1, 0 s), not
// 86400 s of 31 December. Row k lies -600 + 20 k seconds from the epoch.
TEST(EleDriver, BackwardRowsThroughMidnightDateEachRowInItsDay) {
  EleCall call;
  double e6[6] = {inc, hp, ha, node, argp, m0};
  std::copy(e6, e6 + 6, call.e);
  call.iyr = 2023; call.imon = 1; call.iday = 1; call.ihr = 0; call.imin = 0; call.sec = 0.0;
  call.start = -600.0;
  call.stop = 600.0;
  call.step = 20.0;
  call.run();
  for (int k = 0; k <= 60; ++k) {
    const double s = -600.0 + 20.0 * k;
    EXPECT_EQ(call.year[k], s < 0 ? 2022 : 2023) << k;
    EXPECT_EQ(call.doy[k], s < 0 ? 365 : 1) << k;
    EXPECT_NEAR(call.ut[k], s < 0 ? 86400.0 + s : s, 1e-6) << k;
  }
  EXPECT_EQ(call.year[61], -7);
}

// A window whose start, stop or step is not a number holds no time: a
// message and no row written (the caller's arrays and epoch as they were). A
// step that is not a number is no step of 0 or below: it takes no default.
TEST(EleDriver, AWindowThatIsNotANumberWritesNoRow) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Window {
    double start, stop, step;
  };
  for (const Window w : {Window{0.0, 180.0, nan}, Window{60.0, 180.0, nan},
                         Window{0.0, nan, 60.0}, Window{nan, 180.0, 60.0}}) {
    EleCall c;
    double e6[6] = {inc, hp, ha, node, argp, m0};
    std::copy(e6, e6 + 6, c.e);
    c.start = w.start, c.stop = w.stop, c.step = w.step;
    c.run();
    const std::string what = std::to_string(w.start) + " " + std::to_string(w.stop) + " " +
                             std::to_string(w.step);
    EXPECT_NE(c.out.find("not a number; no rows"), std::string::npos) << what << ": " << c.out;
    EXPECT_EQ(c.year[0], -7) << what;
    EXPECT_EQ(c.ut[0], -7.0) << what;
    EXPECT_EQ(c.x1[0], -7.0) << what;
    EXPECT_EQ(c.iyr, 2008) << what;
  }
}

TEST(EleDriver, AYearBefore2000ComesBackAsTwoDigits) {
  EleCall c;
  double e6[6] = {inc, hp, ha, node, argp, m0};
  std::copy(e6, e6 + 6, c.e);
  c.iyr = 1999;
  c.stop = 60.0;
  c.run();
  EXPECT_EQ(c.iyr, 99);
  EXPECT_EQ(c.year[0], 1999);
  EXPECT_EQ(c.doy[0], 74);
}

// No orbit has a negative mean motion: a mean set whose first element has a
// slipped sign is refused as a zero mean motion is (fill-valued rows), not
// propagated as the orbit of |n|, whose positions would pass for the
// caller's. The mean motion enters Kepler's law squared, so the sign must be
// looked at before it.
TEST(EleDriver, ANegativeMeanMotionIsRefused) {
  const double n_rev_day = 86400.0 / (2.0 * pi) * std::sqrt(mu / std::pow(a_re * re, 3.0));
  for (const double n : {-n_rev_day, 0.0}) {
    EleCall c;
    double e6[6] = {n, ecc, inc, node, argp, m0};
    std::copy(e6, e6 + 6, c.e);
    c.opts[0] = 5;
    c.stop = 180.0;
    c.run();
    EXPECT_NE(c.out.find("# *** SGP4 Model Error ***"), std::string::npos) << n << ": " << c.out;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(c.year[i], 0) << n;
      EXPECT_EQ(c.x1[i], -1.0e31) << n;
      EXPECT_EQ(c.x3[i], -1.0e31) << n;
    }
    EXPECT_EQ(c.e[0], n);  // the caller's element comes back
  }
  // The public conversion on its own: no semi-major axis for n < 0.
  double e[6] = {-n_rev_day, ecc, inc, node, argp, m0}, jd = 2454540.77;
  int opts[5] = {5, 1, 5, 0, 0};
  mean2classical_(&e[0], &e[1], &e[2], &e[3], &e[4], &e[5], &jd, opts);
  EXPECT_TRUE(std::isnan(e[0])) << e[0];
}

// Every kind of set and of fifth and sixth element, over the quadrants of
// node, perigee and anomaly (and near 0 and 360 degrees), prograde and
// retrograde, equatorial and circular: each gives the positions of the same
// orbit in veska elements, the state vector being the two-body state of those
// elements at the epoch, computed here. An arc tangent's principal value
// where a full-circle angle is meant would turn an angle by 180 degrees in
// half the quadrants. The rows also carry the orbit's angular momentum: the
// normal of two rows a minute apart has the set's inclination and node in
// GEI, the frame the propagator writes, to the oblateness's short-period
// terms (measured up to 0.023 degrees in inclination and 0.041 in node, the
// latter at 28.5 degrees, where the node moves most with them).
TEST(EleDriver, EveryKindOfSetGivesTheSameOrbitInEveryQuadrant) {
  struct Orbit {
    double inc, hp, ha, node, argp, m0;
  };
  const Orbit orbits[] = {
      {28.5, 300.0, 900.0, 5.0, 100.0, 200.0},    {51.6, 400.0, 1200.0, 170.0, 260.0, 350.0},
      {98.2, 700.0, 705.0, 265.0, 355.0, 80.0},   {140.0, 500.0, 3000.0, 350.0, 190.0, 179.5},
      {175.0, 600.0, 1500.0, 95.0, 280.0, 275.0}, {63.4, 800.0, 800.0, 300.0, 45.0, 359.9},
      {0.0, 500.0, 900.0, 120.0, 70.0, 300.0},    {180.0, 500.0, 900.0, 200.0, 30.0, 100.0},
      {0.0, 800.0, 800.0, 10.0, 20.0, 30.0},
  };
  // Local sidereal term of the solar set at the epoch 2008-03-15 06:30 (day
  // 5918 from 1992-01-01, 18.5 hours after the noon before).
  const float sf = 6.594703f + 0.06570982f * 5918.0f;
  const double he = static_cast<double>(sf) + 18.5 * 0.002737910021096468;
  EleCall c;
  c.stop = 600.0;
  auto positions = [&c](int set, int fifth, int sixth, const std::vector<double>& e) {
    c.iyr = 2008; c.imon = 3; c.iday = 15; c.ihr = 6; c.imin = 30; c.sec = 0.0;
    c.opts[0] = set; c.opts[1] = fifth; c.opts[2] = sixth;
    std::copy(e.begin(), e.end(), c.e);
    c.run();
    std::vector<double> x;
    for (int i = 0; i < 10; ++i) x.insert(x.end(), {c.x1[i], c.x2[i], c.x3[i]});
    return x;
  };
  for (const Orbit& o : orbits) {
    const double a = 1.0 + (o.hp + o.ha) / (2.0 * re), e = (o.ha - o.hp) / (2.0 * a * re);
    const double a_km = a * re, n = std::sqrt(mu / (a_km * a_km * a_km));  // rad/s
    double E = o.m0 * d2r;
    for (int k = 0; k < 50; ++k) E -= (E - e * std::sin(E) - o.m0 * d2r) / (1.0 - e * std::cos(E));
    const double nu = 2.0 * std::atan2(std::sqrt(1.0 + e) * std::sin(E / 2.0),
                                       std::sqrt(1.0 - e) * std::cos(E / 2.0)) / d2r;
    std::vector<double> sv(6);
    {
      const double p = a_km * (1.0 - e * e), r = p / (1.0 + e * std::cos(nu * d2r)),
                   s = std::sqrt(mu / p);
      const double X = r * std::cos(nu * d2r), Y = r * std::sin(nu * d2r),
                   VX = -s * std::sin(nu * d2r), VY = s * (e + std::cos(nu * d2r));
      const double cO = std::cos(o.node * d2r), sO = std::sin(o.node * d2r),
                   cw = std::cos(o.argp * d2r), sw = std::sin(o.argp * d2r),
                   ci = std::cos(o.inc * d2r), si = std::sin(o.inc * d2r);
      const double m[3][2] = {{cO * cw - sO * sw * ci, -cO * sw - sO * cw * ci},
                              {sO * cw + cO * sw * ci, -sO * sw + cO * cw * ci},
                              {sw * si, cw * si}};
      for (int k = 0; k < 3; ++k) {
        sv[k] = m[k][0] * X + m[k][1] * Y;
        sv[k + 3] = m[k][0] * VX + m[k][1] * VY;
      }
    }
    const double hi = o.node / 15.0 + 6.0 - he, ha_lt = o.argp / 15.0 - 18.0 + hi;
    const std::vector<double> ref = positions(1, 1, 5, {o.inc, o.hp, o.ha, o.node, o.argp, o.m0});
    struct Kind {
      const char* name;
      int set, fifth, sixth;
      std::vector<double> e;
    };
    const Kind kinds[] = {
        {"classical", 2, 1, 5, {a, e, o.inc, o.node, o.argp, o.m0}},
        {"mean", 5, 1, 5, {n * 86400.0 / (2.0 * pi), e, o.inc, o.node, o.argp, o.m0}},
        {"state vector", 3, 1, 5, sv},
        {"solar", 4, 1, 5, {o.inc, o.hp, o.ha, ha_lt, hi, o.m0}},
        {"longitude of perigee", 1, 2, 5, {o.inc, o.hp, o.ha, o.node, o.node + o.argp, o.m0}},
        {"time of perigee", 1, 1, 1, {o.inc, o.hp, o.ha, o.node, o.argp, -o.m0 * d2r / n}},
        {"true anomaly", 1, 1, 2, {o.inc, o.hp, o.ha, o.node, o.argp, nu}},
        {"argument of latitude", 1, 1, 3, {o.inc, o.hp, o.ha, o.node, o.argp, o.argp + nu}},
        {"true longitude", 1, 2, 4,
         {o.inc, o.hp, o.ha, o.node, o.node + o.argp, std::fmod(o.node + o.argp + nu, 360.0)}},
    };
    for (const Kind& k : kinds) {
      const std::vector<double> x = positions(k.set, k.fifth, k.sixth, k.e);
      for (size_t j = 0; j < x.size(); ++j)  // 1e-7 Earth radii: 0.6 m
        ASSERT_NEAR(x[j], ref[j], 1e-7) << k.name << ", orbit of inclination " << o.inc
                                        << " and node " << o.node;
    }
    if (o.inc > 1.0 && o.inc < 179.0) {
      double r0[3] = {ref[0], ref[1], ref[2]}, r1[3] = {ref[3], ref[4], ref[5]}, h[3];
      cross_(r0, r1, h);
      const double hm = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
      EXPECT_NEAR(std::acos(h[2] / hm) / d2r, o.inc, 0.05) << o.inc;
      EXPECT_NEAR(std::remainder(std::atan2(h[0], -h[1]) / d2r - o.node, 360.0), 0.0, 0.1)
          << o.inc;
    }
  }
}

}  // namespace
