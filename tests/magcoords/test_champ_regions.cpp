// The region of every external model as the field routine enforces it: the
// radius limits of the codes 1 to 7 (17, 30, 70, 70, 15, 60 and 40 Earth
// radii; a point on the sphere is accepted), the tailward limit x_GSM = -15
// Earth radii of the Tsyganenko 2001 and 2004 codes at any distance, and no
// limit for the codes 0, 8 and 12.
#include <cmath>
#include <gtest/gtest.h>

#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/field_setup.hpp"

namespace {

// Model state of one time for the code, with drivers inside every model's
// validity range.
void set_up(int kext) {
  kest::FieldSetup s{};
  int options[5] = {0, 0, 0, 0, 0}, sysaxes = 1;
  kest::field_setup_call(s, kest::kSetupGetField, &kext, options, &sysaxes);
  double m[25] = {};
  m[0] = 20.0;   // Kp x 10
  m[1] = -10.0;  // Dst
  m[2] = 5.0;    // density
  m[3] = 400.0;  // speed
  m[4] = 2.0;    // dynamic pressure
  m[6] = -1.0;   // IMF Bz
  m[7] = 1.0;    // G1
  m[8] = 1.0;    // G2
  m[9] = 1.0;    // G3
  for (int k = 10; k < 16; ++k) m[k] = 0.5;  // W1..W6
  m[16] = -50.0;  // AL
  ASSERT_TRUE(kest::field_setup_time(s, 2004, 100, 3600.0, 2.0, 1.0, 0.5, m));
}

int champ_fail(double x, double y, double z) {
  double p[3] = {x, y, z}, b[3], bl;
  int ifail = 99;
  champ_(p, b, &bl, &ifail);
  return ifail;
}

int champ_fail_gsm(double x, double y, double z) {
  double gsm[3] = {x, y, z}, geo[3];
  gsm_geo_(gsm, geo);
  return champ_fail(geo[0], geo[1], geo[2]);
}

TEST(ChampRegions, RadiusLimitsOfTheCodesOneToSeven) {
  // A GEO point on each limit sphere with an exact r^2 (a Pythagorean
  // triple scaled to the radius), and one a micro-radius beyond it.
  struct Case {
    int kext;
    double x, y, r;
  } cases[] = {
      {1, 8.0, 15.0, 17.0},  {2, 18.0, 24.0, 30.0}, {3, 42.0, 56.0, 70.0}, {4, 42.0, 56.0, 70.0},
      {5, 9.0, 12.0, 15.0},  {6, 36.0, 48.0, 60.0}, {7, 24.0, 32.0, 40.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kext);
    set_up(c.kext);
    ASSERT_EQ(c.x * c.x + c.y * c.y, c.r * c.r);
    EXPECT_EQ(champ_fail(c.x, c.y, 0.0), 0);
    EXPECT_EQ(champ_fail(0.0, 0.0, -c.r * (1.0 + 1e-9)), -1);
    EXPECT_EQ(champ_fail(c.r * (1.0 + 1e-9), 0.0, 0.0), -1);
  }
}

TEST(ChampRegions, TailwardLimitOfTheTsyganenko2001And2004Codes) {
  for (int kext : {9, 10, 11}) {
    SCOPED_TRACE(kext);
    set_up(kext);
    EXPECT_EQ(champ_fail_gsm(-15.0 + 1e-9, 2.0, 1.0), 0);
    EXPECT_EQ(champ_fail_gsm(-15.0 - 1e-9, 2.0, 1.0), -1);
    EXPECT_EQ(champ_fail_gsm(-15.0 - 1e-9, 0.0, 0.0), -1);
    // No radius limit: sunward and far to the flank, well beyond 15 Re.
    EXPECT_EQ(champ_fail_gsm(-14.0, 45.0, 10.0), 0);
  }
}

TEST(ChampRegions, CodesWithoutLimit) {
  for (int kext : {0, 8, 12}) {
    SCOPED_TRACE(kext);
    set_up(kext);
    EXPECT_EQ(champ_fail_gsm(-100.0, 5.0, 5.0), 0);
    EXPECT_EQ(champ_fail_gsm(-15.0 - 1e-9, 2.0, 1.0), 0);
  }
}

}  // namespace
