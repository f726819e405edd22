// The Earth's centre in the eccentric tilted dipole: the dipole sits some
// 500 km off the centre, so the field there is finite and a trace can start,
// but its steps (a fiftieth of a dipole L of almost zero) do not change |B|.
// Three equal field values have no parabola vertex: the minimum field and
// the equator position are the fill value, and no output is a NaN.
#include <cmath>

#include <gtest/gtest.h>

#include "kest/magcoords.h"

namespace {

constexpr double kFill = -1.0e31;

bool number_or_fill(double v) { return v == kFill || std::isfinite(v); }

struct Case {
  const char* what;
  int kext, sysaxes;
  double x[3];
};

// The centre given as a geodetic point (the equatorial radius below the
// equator) and as radius 0 in RLL, without and with an external field.
const Case kCases[] = {
    {"GDZ centre, no external field", 0, 0, {-6378.137, 0.0, 0.0}},
    {"GDZ centre, Olson-Pfitzer quiet", 5, 0, {-6378.137, 0.0, 0.0}},
    {"RLL radius 0", 0, 8, {0.0, -90.0, 45.0}},
    {"RLL radius 0, Tsyganenko 1989", 4, 8, {0.0, -90.0, 45.0}},
};

TEST(CentreOfEarth, EccentricDipoleGivesNoMinimumAndNoNaN) {
  testing::internal::CaptureStdout();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    int kext = c.kext, sysaxes = c.sysaxes, iyr = 2003, idoy = 200, n = 1;
    int options[5] = {1, 0, 0, 0, 1};  // L* wanted, eccentric tilted dipole
    double ut = 40000.0, x1 = c.x[0], x2 = c.x[1], x3 = c.x[2];
    double mag[25] = {};
    mag[0] = 30.0;  // Kp 3

    double lm, lstar, blocal, bmin, xj, mlt;
    make_lstar1_(&n, &kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, &lm, &lstar, &blocal,
                 &bmin, &xj, &mlt);
    for (double v : {lm, lstar, blocal, bmin, xj, mlt}) EXPECT_TRUE(number_or_fill(v)) << v;
    EXPECT_GT(blocal, 0.0);
    EXPECT_EQ(bmin, kFill);

    double eq_bmin, xeq[3];
    find_magequator1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, &eq_bmin, xeq);
    EXPECT_EQ(eq_bmin, kFill);
    for (double v : xeq) EXPECT_EQ(v, kFill);
  }
  testing::internal::GetCapturedStdout();
}

}  // namespace
