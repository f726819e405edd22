// The Tsyganenko 2001/2004 models through the field entry: driver slots and
// frame of codes 9, 10 and 11, the tailward limit x_GSM = -15, and the
// validity ranges of code 9.
#include <cmath>
#include <gtest/gtest.h>

#include "kest/extfield.h"
#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/magcoords_state.hpp"

namespace {

constexpr double kFill = -1.0e31;

struct Call {
  int kext = 9;
  int options[5] = {0, 0, 0, 0, 0};
  int sysaxes = 2;  // GSM
  int iyr = 2004, idoy = 100;
  double ut = 3600.0;
  double x[3] = {-6.6, 0.5, 0.3};
  double maginput[25] = {};
  double b[3] = {1.0, 2.0, 3.0};
  double blocal = 4.0;
  Call() {
    maginput[1] = -12.0;  // Dst
    maginput[4] = 2.3;    // Pdyn
    maginput[5] = 1.5;    // By
    maginput[6] = -2.0;   // Bz
    maginput[7] = 1.1;    // G1
    maginput[8] = 3.4;    // G2
    maginput[9] = 7.9;    // G3
    for (int k = 0; k < 6; ++k) maginput[10 + k] = 0.4 + 0.3 * k;  // W1..W6
  }
  void run() {
    get_field1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x[0], &x[1], &x[2], maginput, b, &blocal);
  }
};

// The external part of the field (total minus the internal field alone),
// rotated to GSM, is the model called directly with the drivers in the slots
// of its code: G1, G2 for 9; G2, G3 for 10; W1..W6 for 11.
TEST(Tsyganenko01Field, DriverSlotsAndFrame) {
  for (int kext : {9, 10, 11}) {
    Call c;
    c.kext = kext;
    c.run();
    ASSERT_NE(c.blocal, kFill) << kext;
    Call c0 = c;
    c0.kext = 0;
    c0.run();
    double dgeo[3] = {c.b[0] - c0.b[0], c.b[1] - c0.b[1], c.b[2] - c0.b[2]}, dgsm[3];
    geo_gsm_(dgeo, dgsm);  // axes of the time, left by the calls

    const double* m = c.maginput;
    double x = c.x[0], y = c.x[1], z = c.x[2], e[3];
    if (kext == 11) {
      double p[10] = {m[4], m[1], m[5], m[6], m[10], m[11], m[12], m[13], m[14], m[15]};
      t04_s_(p, &x, &y, &z, &e[0], &e[1], &e[2]);
    } else {
      double p[6] = {m[4], m[1], m[5], m[6], kext == 9 ? m[7] : m[8], kext == 9 ? m[8] : m[9]};
      t01_01_(p, &x, &y, &z, &e[0], &e[1], &e[2]);
    }
    const double tol = 1e-8 * std::hypot(e[0], e[1], e[2]) + 1e-8;
    EXPECT_NEAR(dgsm[0], e[0], tol) << kext;
    EXPECT_NEAR(dgsm[1], e[1], tol) << kext;
    EXPECT_NEAR(dgsm[2], e[2], tol) << kext;
    // the model adds tens of nT at geostationary midnight
    EXPECT_GT(std::hypot(e[0], e[1], e[2]), 5.0) << kext;
  }
  // Codes 9 and 10 differ when G1 and G3 differ.
  Call a, b;
  b.kext = 10;
  a.run();
  b.run();
  EXPECT_NE(a.b[2], b.b[2]);
}

// A point tailward of x_GSM = -15 is refused (fill values), at any distance
// from the x axis; one just sunward of it is evaluated.
TEST(Tsyganenko01Field, TailwardLimit) {
  for (int kext : {9, 10, 11}) {
    for (const double yz : {0.0, 6.0}) {
      Call in, out;
      in.kext = out.kext = kext;
      in.x[0] = -14.99;
      out.x[0] = -15.01;
      in.x[1] = out.x[1] = yz;
      in.x[2] = out.x[2] = -0.5 * yz;
      in.run();
      out.run();
      EXPECT_NE(in.blocal, kFill) << kext;
      EXPECT_TRUE(std::isfinite(in.blocal)) << kext;
      EXPECT_EQ(out.blocal, kFill) << kext;
      EXPECT_EQ(out.b[0], kFill) << kext;
      EXPECT_EQ(out.b[1], kFill) << kext;
      EXPECT_EQ(out.b[2], kFill) << kext;
    }
  }
}

// Code 9 tests its drivers against inclusive ranges (fill outside); code 10
// and 11 take the same values untested.
TEST(Tsyganenko01Field, ValidityRangesOfCode9) {
  struct Case {
    int slot;  // index into maginput
    double value;
    bool valid;
  } cases[] = {
      {1, -50.0, true},  {1, -50.5, false}, {1, 20.0, true},   {1, 20.1, false},
      {4, 0.5, true},    {4, 0.49, false},  {4, 5.0, true},    {4, 5.01, false},
      {5, -5.0, true},   {5, 5.1, false},   {6, 5.0, true},    {6, -5.1, false},
      {7, 0.0, true},    {7, 10.2, false},  {8, 10.0, true},   {8, -0.1, false},
      {1, std::nan(""), false},
  };
  for (const Case& k : cases) {
    Call c;
    c.maginput[k.slot] = k.value;
    c.run();
    if (k.valid) {
      EXPECT_NE(c.blocal, kFill) << k.slot << " " << k.value;
    } else {
      EXPECT_EQ(c.blocal, kFill) << k.slot << " " << k.value;
      EXPECT_EQ(c.b[0], kFill) << k.slot << " " << k.value;
    }
  }
  // G3 is not a driver of code 9.
  Call g3;
  g3.maginput[9] = 50.0;
  g3.run();
  EXPECT_NE(g3.blocal, kFill);
  // A storm beyond the code 9 ranges is evaluated by codes 10 and 11.
  for (int kext : {10, 11}) {
    Call s;
    s.kext = kext;
    s.maginput[1] = -180.0;
    s.maginput[4] = 8.0;
    s.maginput[6] = -15.0;
    s.maginput[9] = 14.0;
    s.run();
    EXPECT_NE(s.blocal, kFill) << kext;
    EXPECT_TRUE(std::isfinite(s.blocal)) << kext;
  }
}

}  // namespace
