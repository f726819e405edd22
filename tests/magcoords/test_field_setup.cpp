// Field-model set-up: selector warnings, option write-back, Kp classes,
// validity ranges, driver records, the Alexeev date, and the IGRF epoch rule.
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <gtest/gtest.h>

#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/field_setup.hpp"
#include "magcoords/magcoords_state.hpp"

namespace {

using kest::FieldSetup;

const std::string kBang = " !!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const std::string kExternalWarning =
    "\n" + kBang + " Invalid external field specification\n Selecting Olson-Pfitzer (quiet)\n" + kBang + "\n";
const std::string kInternalWarning =
    "\n" + kBang + " Invalid internal field specification\n Selecting IGRF\n" + kBang + "\n";
const std::string kShellLinesWarning =
    "\n" + kBang + " Invalid number of drift shell field lines\n Selecting 25 field lines\n" + kBang + "\n";

struct Call {
  int kext = 0;
  int options[5] = {0, 0, 0, 0, 0};
  int sysaxes = 1;
  int iyr = 2004, idoy = 100;
  double ut = 3600.0;
  double x[3] = {2.385, -0.61, 1.173};
  double maginput[25] = {};
  double bxgeo[3] = {0, 0, 0};
  double blocal = 0;
  void run() {
    get_field1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x[0], &x[1], &x[2], maginput, bxgeo,
                &blocal);
  }
};

std::string captured_run(Call& c) {
  testing::internal::CaptureStdout();
  c.run();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

// A bad external code: the six-line warning at every call, magmod holds 5,
// the caller's kext is left as given.
TEST(FieldSetup, ExternalWarningEveryCallCallerKextKept) {
  for (int bad : {13, -1}) {
    Call c;
    c.kext = bad;
    EXPECT_EQ(captured_run(c), kExternalWarning);
    EXPECT_EQ(captured_run(c), kExternalWarning);
    EXPECT_EQ(c.kext, bad);
    EXPECT_EQ(kest::magmod.kext, 5);
  }
}

// A bad internal code: the warning, IGRF in magmod, options(5) left as given;
// both bad: internal warning first.
TEST(FieldSetup, InternalWarningAndOrder) {
  for (int bad : {-1, 4}) {
    Call c;
    c.options[4] = bad;
    EXPECT_EQ(captured_run(c), kInternalWarning);
    EXPECT_EQ(captured_run(c), kInternalWarning);
    EXPECT_EQ(c.options[4], bad);
    EXPECT_EQ(kest::magmod.kint, 0);
  }
  Call c;
  c.options[4] = 7;
  c.kext = 20;
  EXPECT_EQ(captured_run(c), kInternalWarning + kExternalWarning);
  // Valid codes print nothing.
  Call ok;
  ok.kext = 12;
  ok.options[4] = 3;
  EXPECT_EQ(captured_run(ok), "");
  EXPECT_EQ(kest::magmod.kint, 3);
  EXPECT_EQ(kest::magmod.kext, 12);
}

// Array cores: options(3) outside 0..9 becomes 0 in the caller's array
// silently; options(4) likewise, after its warning; valid values stay. The
// other cores neither read nor write them.
TEST(FieldSetup, ResolutionOptionsOfArrayCores) {
  struct Case {
    int opt3, opt4, want3, want4;
    bool warns;
  } cases[] = {{12, 0, 0, 0, false}, {9, 9, 9, 9, false}, {-1, 3, 0, 3, false},
               {4, 10, 4, 0, true},  {0, -2, 0, 0, true}};
  for (const Case& k : cases) {
    FieldSetup s{};
    int kext = 5, sysaxes = 1;
    int options[5] = {1, 0, k.opt3, k.opt4, 0};
    testing::internal::CaptureStdout();
    kest::field_setup_call(s, kest::kSetupMakeLstar, &kext, options, &sysaxes);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), k.warns ? kShellLinesWarning : "");
    EXPECT_EQ(options[2], k.want3);
    EXPECT_EQ(options[3], k.want4);
    EXPECT_EQ(s.t_resol, k.want3 + 1);
    EXPECT_EQ(s.r_resol, k.want4 + 1);
  }
  Call c;
  c.options[2] = 12;
  c.options[3] = 15;
  EXPECT_EQ(captured_run(c), "");
  EXPECT_EQ(c.options[2], 12);
  EXPECT_EQ(c.options[3], 15);
}

// The L*-slot word and flag_l by core.
TEST(FieldSetup, LstarWordAndFlagByCore) {
  int kext = 0, sysaxes = 1;
  int options[5] = {2, 0, 0, 0, 0};
  FieldSetup s{};
  kest::flag_l.set = 1;
  kest::field_setup_call(s, kest::kSetupDriftShell, &kext, options, &sysaxes);
  EXPECT_EQ(kest::magmod.lstar_opt, 2);
  EXPECT_EQ(kest::flag_l.set, 1);
  kest::field_setup_call(s, kest::kSetupMirrorPoint, &kext, options, &sysaxes);
  EXPECT_EQ(kest::magmod.lstar_opt, 2);  // kept
  kest::field_setup_call(s, kest::kSetupGetField, &kext, options, &sysaxes);
  EXPECT_EQ(kest::magmod.lstar_opt, 0);
  EXPECT_EQ(kest::flag_l.set, 1);
  options[0] = 1;
  kest::field_setup_call(s, kest::kSetupMakeLstar, &kext, options, &sysaxes);
  EXPECT_EQ(kest::magmod.lstar_opt, 1);
  EXPECT_EQ(kest::flag_l.set, 0);
}

// One time through the set-up with the given code and inputs.
bool run_time(int kext, const double* maginput, int iyr = 2004, int idoy = 100, double ut = 3600.0,
              int sysaxes = 1) {
  FieldSetup s{};
  int options[5] = {0, 0, 0, 0, 0};
  kest::field_setup_call(s, kest::kSetupGetField, &kext, options, &sysaxes);
  return kest::field_setup_time(s, iyr, idoy, ut, 2.0, 1.0, -1.5, maginput);
}

// Kp classes and the inclusive 0..90 range of the Kp-driven codes.
TEST(FieldSetup, KpClassesAndRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    int kext;
    double kp10;
    int kp_class;
    bool valid;
  } cases[] = {
      {1, 0.0, 1, true},   {1, 3.0, 1, true},    {1, 3.5, 2, true},   {1, 19.9, 2, true},
      {1, 20.0, 3, true},  {1, 30.0, 4, true},   {1, 90.0, 4, true},  {1, 90.5, 4, false},
      {1, -1.0, 1, false}, {2, 6.9, 1, true},    {2, 7.0, 2, true},   {2, 17.0, 3, true},
      {2, 20.0, 4, true},  {2, 27.0, 5, true},   {2, 37.0, 6, true},  {2, 47.0, 7, true},
      {2, 52.9, 7, true},  {2, 53.0, 8, true},   {2, 91.0, 8, false}, {3, 16.9, 2, true},
      {3, 17.0, 3, true},  {3, 46.9, 5, true},   {3, 47.0, 6, true},  {4, 27.0, 4, true},
      {4, 56.9, 6, true},  {4, 57.0, 7, true},   {4, 90.0, 7, true},  {4, -0.1, 1, false},
  };
  for (const Case& k : cases) {
    double m[25] = {};
    m[0] = k.kp10;
    EXPECT_EQ(run_time(k.kext, m), k.valid) << k.kext << " " << k.kp10;
    EXPECT_EQ(kest::index.kp_class, k.kp_class) << k.kext << " " << k.kp10;
  }
  double m[25] = {};
  m[0] = nan;
  EXPECT_FALSE(run_time(4, m));
}

// Driver copies and the inclusive ranges of the driven codes; a value that is
// not a number fails; the untested codes accept anything.
TEST(FieldSetup, DriverRanges) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  auto inputs = [](double dst, double dens, double vel, double pdyn, double by, double bz, double g1,
                   double g2) {
    std::array<double, 25> m{};
    m[1] = dst;
    m[2] = dens;
    m[3] = vel;
    m[4] = pdyn;
    m[5] = by;
    m[6] = bz;
    m[7] = g1;
    m[8] = g2;
    return m;
  };
  struct Case {
    int kext;
    std::array<double, 25> m;
    bool valid;
  } cases[] = {
      {6, inputs(-100, 5, 300, 0, 0, 0, 0, 0), true},
      {6, inputs(20, 50, 500, 0, 0, 0, 0, 0), true},
      {6, inputs(20.1, 50, 500, 0, 0, 0, 0, 0), false},
      {6, inputs(0, 4.9, 400, 0, 0, 0, 0, 0), false},
      {6, inputs(0, 10, 500.5, 0, 0, 0, 0, 0), false},
      {7, inputs(20, 0, 0, 0.5, -10, 10, 0, 0), true},
      {7, inputs(20.1, 0, 0, 2, 0, 0, 0, 0), false},
      {7, inputs(-100.1, 0, 0, 2, 0, 0, 0, 0), false},
      {7, inputs(0, 0, 0, 10.1, 0, 0, 0, 0), false},
      {7, inputs(0, 0, 0, 2, 0, -10.5, 0, 0), false},
      {7, inputs(nan, 0, 0, 2, 0, 0, 0, 0), false},
      {9, inputs(-50, 0, 0, 5, 5, -5, 0, 10), true},
      {9, inputs(-50.5, 0, 0, 2, 0, 0, 1, 1), false},
      {9, inputs(0, 0, 0, 5.5, 0, 0, 1, 1), false},
      {9, inputs(0, 0, 0, 2, 5.1, 0, 1, 1), false},
      {9, inputs(0, 0, 0, 2, 0, 0, 10.1, 1), false},
      {9, inputs(0, 0, 0, 2, 0, 0, 1, -0.1), false},
      {8, inputs(-500, 0, 0, 50, 0, 99, 0, 0), true},
      {10, inputs(-500, 0, 0, 50, 90, 99, 0, 0), true},
      {11, inputs(-500, 0, 0, 50, 90, 99, 0, 0), true},
      {12, inputs(-500, 999, 9999, 50, 90, 99, 0, 0), true},
      {0, inputs(nan, nan, nan, nan, nan, nan, nan, nan), true},
      {5, inputs(nan, nan, nan, nan, nan, nan, nan, nan), true},
  };
  for (const Case& k : cases)
    EXPECT_EQ(run_time(k.kext, k.m.data()), k.valid) << k.kext << " " << k.m[1];

  // Slots: Kp for the Ostapenko-Maltsev model is Kp itself; the storm form of
  // Tsyganenko 2001 reads Dst from input 2, G2 and G3, not the density.
  std::array<double, 25> m{};
  for (int n = 0; n < 25; ++n) m[n] = 100.0 + n;  // input n+1 holds 101+n
  kest::drivers = {};
  run_time(8, m.data());
  EXPECT_EQ(kest::drivers.kp, 0.1 * 100.0);
  EXPECT_EQ(kest::drivers.dst, 101.0);
  EXPECT_EQ(kest::drivers.pdyn, 104.0);
  EXPECT_EQ(kest::drivers.bzimf, 106.0);
  kest::drivers = {};
  run_time(10, m.data());
  EXPECT_EQ(kest::drivers.dst, 101.0);
  EXPECT_EQ(kest::drivers.dens, 0.0);
  EXPECT_EQ(kest::drivers.g1, 0.0);
  EXPECT_EQ(kest::drivers.g2, 108.0);
  EXPECT_EQ(kest::drivers.g3, 109.0);
  kest::drivers = {};
  run_time(11, m.data());
  EXPECT_EQ(kest::drivers.byimf, 105.0);
  EXPECT_EQ(kest::drivers.w1, 110.0);
  EXPECT_EQ(kest::drivers.w6, 115.0);
  kest::drivers = {};
  run_time(12, m.data());
  EXPECT_EQ(kest::drivers.dens, 102.0);
  EXPECT_EQ(kest::drivers.vel, 103.0);
  EXPECT_EQ(kest::drivers.al, 116.0);
}

// The Alexeev 2000 date and time: day 60 of the leap year 2004 is 29
// February; 43200 s are 12 hours.
TEST(FieldSetup, Alexeev2000DateAndHours) {
  double m[25] = {};
  ASSERT_TRUE(run_time(12, m, 2004, 60, 43200.0));
  EXPECT_EQ(kest::a2000_time.year, 2004);
  EXPECT_EQ(kest::a2000_time.month, 2);
  EXPECT_EQ(kest::a2000_time.day, 29);
  EXPECT_EQ(kest::a2000_time.ut_a2000, 12.0);
  ASSERT_TRUE(run_time(12, m, 2003, 365, 5400.0));
  EXPECT_EQ(kest::a2000_time.month, 12);
  EXPECT_EQ(kest::a2000_time.day, 31);
  EXPECT_EQ(kest::a2000_time.ut_a2000, 1.5);
}

// A position code outside 0..8 refuses the time.
TEST(FieldSetup, UnknownPositionCodeRefused) {
  double m[25] = {};
  EXPECT_FALSE(run_time(0, m, 2004, 100, 3600.0, 9));
  EXPECT_FALSE(run_time(5, m, 2004, 100, 3600.0, -1));
  EXPECT_TRUE(run_time(5, m, 2004, 100, 3600.0, 8));
}

// The IGRF epoch that the set-up leaves, seen through the field it gives:
// igrf at a point after the set-up equals igrf after init_dtd(expected).
void expect_epoch(double expected) {
  double p[3] = {1.3, -0.7, 0.9}, a[3], b[3];
  igrf_(&p[0], &p[1], &p[2], &a[0], &a[1], &a[2]);
  init_dtd_(&expected);
  igrf_(&p[0], &p[1], &p[2], &b[0], &b[1], &b[2]);
  EXPECT_EQ(a[0], b[0]) << expected;
  EXPECT_EQ(a[1], b[1]) << expected;
  EXPECT_EQ(a[2], b[2]) << expected;
}

// Marks the epoch with a year the set-up never uses, so that "not renewed"
// shows as this epoch surviving.
constexpr double kMarkEpoch = 1977.25;

// options(2) = 0: mid-year, once per year. options(2) = k: at a year change or
// on a day of year that is a multiple of k, at year + (doy div k) k / days in
// the year (1 day when that is 0). 2004 has 366 days, 2005 365.
TEST(FieldSetup, IgrfEpochRenewal) {
  const double nothing[25] = {};
  int kext = 0, sysaxes = 1;
  {
    int options[5] = {0, 0, 0, 0, 0};
    FieldSetup s{};
    kest::field_setup_call(s, kest::kSetupMakeLstar, &kext, options, &sysaxes);
    kest::field_setup_time(s, 2004, 25, 0.0, 2.0, 1.0, 0.5, nothing);
    expect_epoch(2004.5);
    double mark = kMarkEpoch;
    init_dtd_(&mark);
    kest::field_setup_time(s, 2004, 200, 0.0, 2.0, 1.0, 0.5, nothing);  // same year
    expect_epoch(kMarkEpoch);
    kest::field_setup_time(s, 2005, 1, 0.0, 2.0, 1.0, 0.5, nothing);
    expect_epoch(2005.5);
  }
  {
    int options[5] = {0, 10, 0, 0, 0};
    FieldSetup s{};
    kest::field_setup_call(s, kest::kSetupMakeLstar, &kext, options, &sysaxes);
    kest::field_setup_time(s, 2004, 25, 0.0, 2.0, 1.0, 0.5, nothing);  // first time: year change
    expect_epoch(2004.0 + 20.0 / 366.0);
    double mark = kMarkEpoch;
    init_dtd_(&mark);
    kest::field_setup_time(s, 2004, 27, 0.0, 2.0, 1.0, 0.5, nothing);  // not a renewal day
    expect_epoch(kMarkEpoch);
    kest::field_setup_time(s, 2004, 30, 0.0, 2.0, 1.0, 0.5, nothing);
    expect_epoch(2004.0 + 30.0 / 366.0);
    init_dtd_(&mark);
    kest::field_setup_time(s, 2004, 30, 7200.0, 2.0, 1.0, 0.5, nothing);  // again on that day
    expect_epoch(2004.0 + 30.0 / 366.0);
    kest::field_setup_time(s, 2005, 5, 0.0, 2.0, 1.0, 0.5, nothing);  // new year, 5 div 10 = 0
    expect_epoch(2005.0 + 1.0 / 365.0);
  }
  {
    // The one-point cores start afresh at each call: every call sets the epoch.
    Call c;
    c.options[1] = 10;
    c.iyr = 2004;
    c.idoy = 5;
    c.run();
    expect_epoch(2004.0 + 1.0 / 366.0);
  }
  {
    // A fixed-epoch internal model sets no IGRF epoch.
    double mark = kMarkEpoch;
    init_dtd_(&mark);
    Call c;
    c.options[4] = 2;
    c.run();
    expect_epoch(kMarkEpoch);
  }
}

}  // namespace
