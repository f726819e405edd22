// Vector, angle, anomaly and date routines of the orbit code, and the
// stand-alone sidereal time.
#include <gtest/gtest.h>

#include <cmath>

#include "kest/orbit.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double twopi = 2.0 * pi;
constexpr double undefined_anomaly = 999999.9;

}  // namespace

TEST(OrbitVectors, MagCrossDot) {
  double tiny[3] = {1e-9, 0.0, 0.0}, v345[3] = {3.0, 4.0, 0.0};
  EXPECT_EQ(mag_(tiny), 0.0);  // shorter than 1e-8: exactly 0
  EXPECT_DOUBLE_EQ(mag_(v345), 5.0);

  // Right-handedness on the axes, then Lagrange's identity and orthogonality
  // on varied vectors.
  double ex[3] = {1, 0, 0}, ey[3] = {0, 1, 0}, c[3];
  cross_(ex, ey, c);
  EXPECT_EQ(c[0], 0.0);
  EXPECT_EQ(c[1], 0.0);
  EXPECT_EQ(c[2], 1.0);
  double a[3] = {2.385, -0.61, 1.173}, b[3] = {-0.7, 3.25, 0.42};
  cross_(a, b, c);
  EXPECT_NEAR(dot_(a, c), 0.0, 1e-14);
  EXPECT_NEAR(dot_(b, c), 0.0, 1e-14);
  const double ab = dot_(a, b);
  EXPECT_DOUBLE_EQ(ab, 2.385 * -0.7 + -0.61 * 3.25 + 1.173 * 0.42);
  EXPECT_NEAR(dot_(c, c), dot_(a, a) * dot_(b, b) - ab * ab, 1e-12);
}

TEST(OrbitVectors, AngleIncludingClampedCosine) {
  double zero[3] = {0, 0, 0}, a[3] = {0.7, 0.37, 1.173}, th = 0.0;
  angle_(zero, a, &th);
  EXPECT_EQ(th, 999999.1);

  // b = 3a: in double arithmetic the cosine comes out 1 + 2^-52 here, which
  // must be clamped to 1 (acos would give NaN).
  double b[3] = {3 * a[0], 3 * a[1], 3 * a[2]};
  double m[3] = {-b[0], -b[1], -b[2]};
  ASSERT_GT(dot_(a, b) / (mag_(a) * mag_(b)), 1.0);
  angle_(a, b, &th);
  EXPECT_EQ(th, 0.0);
  angle_(a, m, &th);
  EXPECT_DOUBLE_EQ(th, pi);

  double x[3] = {1, 0, 0}, y[3] = {1, 1, 0};
  angle_(x, y, &th);
  EXPECT_DOUBLE_EQ(th, pi / 4);
}

TEST(OrbitVectors, Asinh) {
  for (double x : {-3.7, -0.25, 0.0, 1e-3, 2.0, 40.0}) {
    double v = x;
    EXPECT_NEAR(asinh_(&v), std::asinh(x), 1e-14 * (1 + std::fabs(x))) << x;
  }
  // Large arguments, where x + sqrt(x^2 + 1) cancels for x < 0 and x^2
  // overflows beyond 1.34e154: the function is odd, and for |x| >= 1e5
  // asinh x = sign(x) (ln 2|x| + 1 / (4 x^2)) to within 1e-20 (the next term
  // is 3 / (32 x^4)).
  for (double x : {1e5, 1e7, 1e8, 1e154, 1e300, 1.7e308}) {
    double v = x, w = -x;
    const double want = std::log(x) + std::log(2.0) + 0.25 / (x * x);
    EXPECT_NEAR(asinh_(&v), want, 2e-15 * want) << x;
    EXPECT_EQ(asinh_(&w), -asinh_(&v)) << x;
  }
}

TEST(OrbitVectors, AsinhSmallArgumentsKeepTheirDigits) {
  // asinh x = x - x^3/6 + 3 x^5/40 - 5 x^7/112 + ..., well conditioned
  // (relative condition number near 1): a few units in the last place are
  // all the error there should be. Summed here to the x^7 term, which leaves
  // under 1e-18 relative for |x| <= 0.01.
  for (double x : {1e-17, -1e-15, 2.7e-12, 3.7e-8, -2.5e-5, 6.1e-3, 0.01}) {
    double v = x;
    const double x2 = x * x;
    const double want = x * (1.0 - x2 / 6.0 * (1.0 - 0.45 * x2 * (1.0 - x2 * 25.0 / 42.0)));
    EXPECT_NEAR(asinh_(&v), want, 4e-16 * std::fabs(want)) << x;
  }
}

// Expected anomalies from the half-angle forms (independent of the sine and
// cosine forms of the routine): tan(E/2) = sqrt((1-e)/(1+e)) tan(nu/2) and
// tanh(F/2) = sqrt((e-1)/(e+1)) tan(nu/2).
TEST(OrbitAnomaly, NewtonnuConicsAndMarkers) {
  struct Case {
    double e, nu, E, M;
    const char* why;
  };
  const double e1 = 0.3, nu1 = 1.2;
  const double E1 = 2 * std::atan(std::sqrt((1 - e1) / (1 + e1)) * std::tan(nu1 / 2));
  const double e2 = 0.75, nu2 = -2.5;  // negative anomaly: M shifted into [0, 2pi)
  const double E2 = 2 * std::atan(std::sqrt((1 - e2) / (1 + e2)) * std::tan(nu2 / 2));
  const double e3 = 2.0, nu3 = 1.0;
  const double F3 = 2 * std::atanh(std::sqrt((e3 - 1) / (e3 + 1)) * std::tan(nu3 / 2));
  const double P4 = std::tan(0.5);
  // 999999.9 less 159154 turns (the subtraction loses ~1e-10 to rounding).
  const double marker_reduced = undefined_anomaly - 159154.0 * twopi;
  const Case cases[] = {
      {0.0, -1.0, -1.0, twopi - 1.0, "circular: E keeps the sign, M reduced"},
      {5e-7, 0.4, 0.4, 0.4, "below 1e-6 counts as circular"},
      {e1, nu1, E1, E1 - e1 * std::sin(E1), "elliptical"},
      {e2, nu2, E2, E2 - e2 * std::sin(E2) + twopi, "elliptical, negative nu"},
      {e3, nu3, F3, e3 * std::sinh(F3) - F3, "hyperbolic inside the asymptotes"},
      {e3, 2.1, undefined_anomaly, undefined_anomaly, "hyperbolic beyond 2pi/3"},
      {1.0, 1.0, P4, P4 + P4 * P4 * P4 / 3, "parabolic, no reduction for e >= 1"},
      {1.0, 3.0, undefined_anomaly, undefined_anomaly, "parabolic beyond 168 deg"},
      {0.9995, 3.0, marker_reduced, marker_reduced, "near-parabolic, e < 1: marker reduced"},
  };
  for (const Case& c : cases) {
    double e = c.e, nu = c.nu, E = 0, M = 0;
    newtonnu_(&e, &nu, &E, &M);
    const double tol = c.E == marker_reduced ? 1e-9 : 1e-12 * (1 + std::fabs(c.E));
    EXPECT_NEAR(E, c.E, tol) << c.why;
    EXPECT_NEAR(M, c.M, tol) << c.why;
  }
  EXPECT_NEAR(marker_reduced, 5.83, 0.01);
}

// Julian dates from the proleptic Gregorian day count (Python's date ordinal
// + 1721424.5), independent of the routine's integer formula.
TEST(OrbitDates, JdayKnownDates) {
  struct Case {
    int y, mo, d, h, mi;
    double s, jd;
  };
  const Case cases[] = {
      {2000, 1, 1, 12, 0, 0.0, 2451545.0},      {1901, 1, 1, 0, 0, 0.0, 2415385.5},
      {1957, 10, 4, 19, 28, 34.0, 2436116.3115046294}, {1999, 12, 31, 0, 0, 0.0, 2451543.5},
      {2000, 2, 29, 6, 0, 0.0, 2451603.75},     {2024, 2, 29, 18, 0, 0.0, 2460370.25},
      {2099, 12, 31, 23, 59, 30.0, 2488069.499652778}, {2001, 3, 1, 0, 0, 0.0, 2451969.5},
  };
  for (const Case& c : cases) {
    int y = c.y, mo = c.mo, d = c.d, h = c.h, mi = c.mi;
    double s = c.s, jd = 0;
    jday_(&y, &mo, &d, &h, &mi, &s, &jd);
    EXPECT_NEAR(jd, c.jd, 1e-8) << c.y << "-" << c.mo << "-" << c.d;
  }
}

TEST(OrbitDates, InvjdayRoundTrips) {
  // Exactly representable times: the calendar comes back exactly, including
  // the year-end case where the first year guess is one too high.
  struct Case {
    int y, mo, d, h;
  };
  const Case exact[] = {{2000, 1, 1, 12}, {2000, 12, 31, 12}, {2000, 1, 1, 0},
                        {1901, 1, 1, 6},  {2004, 2, 29, 18}, {2023, 12, 31, 0},
                        {2099, 12, 31, 12}, {1960, 3, 1, 0}};
  for (const Case& c : exact) {
    int y = c.y, mo = c.mo, d = c.d, h = c.h, mi = 0;
    double s = 0.0, jd = 0;
    jday_(&y, &mo, &d, &h, &mi, &s, &jd);
    int y2, mo2, d2, h2, mi2;
    double s2;
    invjday_(&jd, &y2, &mo2, &d2, &h2, &mi2, &s2);
    EXPECT_EQ(y2, c.y);
    EXPECT_EQ(mo2, c.mo);
    EXPECT_EQ(d2, c.d) << c.y << "-" << c.mo;
    EXPECT_EQ(h2, c.h);
    EXPECT_EQ(mi2, 0);
    EXPECT_EQ(s2, 0.0);
  }
  // A sweep over every day from 1901 to 2099 at 13:47:12.5: the date comes
  // back exactly, the time of day within the resolution of a Julian date.
  int y0 = 1901, m0 = 1, d0 = 1, h0 = 13, mi0 = 47;
  double s0 = 12.5, jd0;
  jday_(&y0, &m0, &d0, &h0, &mi0, &s0, &jd0);
  int prev_y = 1900, prev_doy = 365;
  for (int k = 0; k < 72683; ++k) {
    double jd = jd0 + k;
    int y, mo, d, h, mi;
    double s;
    invjday_(&jd, &y, &mo, &d, &h, &mi, &s);
    const double sod = 3600.0 * h + 60.0 * mi + s;
    ASSERT_NEAR(sod, 3600.0 * 13 + 60 * 47 + 12.5, 1e-4) << jd;
    // Day of year advances by one, or restarts at 1 in the next year.
    static const int before[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int doy = before[mo - 1] + d + ((y % 4 == 0 && mo > 2) ? 1 : 0);
    if (y == prev_y)
      ASSERT_EQ(doy, prev_doy + 1) << jd;
    else
      ASSERT_TRUE(y == prev_y + 1 && doy == 1) << jd;
    prev_y = y;
    prev_doy = doy;
    int y2 = y, mo2 = mo, d2 = d, h2 = h, mi2 = mi;
    double s2 = s, back;
    jday_(&y2, &mo2, &d2, &h2, &mi2, &s2, &back);
    ASSERT_NEAR(back, jd, 1e-9) << jd;
  }
  EXPECT_EQ(prev_y, 2099);
}

TEST(OrbitDates, Days2mdhmsLeapDaysAndTruncation) {
  struct Case {
    int year;
    double days;
    int mo, d, h, mi;
    double s;
  };
  const Case cases[] = {
      {2000, 60.5, 2, 29, 12, 0, 0.0},  // leap day
      {1900, 60.0, 2, 29, 0, 0, 0.0},   // every fourth year is a leap year here
      {2001, 60.0, 3, 1, 0, 0, 0.0},
      {2004, 366.75, 12, 31, 18, 0, 0.0},
      {2001, 367.0, 12, 33, 0, 0, 0.0},  // the month search stops at December
      {2001, 1.0, 1, 1, 0, 0, 0.0},
  };
  for (const Case& c : cases) {
    int y = c.year, mo, d, h, mi;
    double days = c.days, s;
    days2mdhms_(&y, &days, &mo, &d, &h, &mi, &s);
    EXPECT_EQ(mo, c.mo) << c.year << " " << c.days;
    EXPECT_EQ(d, c.d) << c.year << " " << c.days;
    EXPECT_EQ(h, c.h);
    EXPECT_EQ(mi, c.mi);
    EXPECT_EQ(s, c.s);
  }
  // Hours and minutes are truncated, not rounded: 05:07:59.9 stays in minute 7.
  int y = 2003, mo, d, h, mi;
  double days = 32.0 + (5 * 3600.0 + 7 * 60.0 + 59.9) / 86400.0, s;
  days2mdhms_(&y, &days, &mo, &d, &h, &mi, &s);
  EXPECT_EQ(mo, 2);
  EXPECT_EQ(d, 1);
  EXPECT_EQ(h, 5);
  EXPECT_EQ(mi, 7);
  EXPECT_NEAR(s, 59.9, 1e-5);
}

// IAU 1982 mean sidereal time in degrees (Meeus, Astronomical Algorithms,
// eq. 12.4), an independent form of the same expression.
TEST(OrbitSiderealTime, GstimeAgainstDegreeForm) {
  double jd = 2451545.0;
  EXPECT_NEAR(gstime_(&jd), 67310.54841 / 86400.0 * twopi, 1e-12);
  EXPECT_NEAR(gstime_(&jd), 4.8949612128, 1e-10);
  for (double j : {2453101.828154745, 2433281.5, 2451544.7, 2488069.2}) {
    const double d = j - 2451545.0, t = d / 36525.0;
    double g = 280.46061837 + 360.98564736629 * d + 0.000387933 * t * t - t * t * t / 38710000.0;
    g = std::fmod(g, 360.0);
    if (g < 0) g += 360.0;
    double jj = j;
    const double got = gstime_(&jj);
    EXPECT_GE(got, 0.0);
    EXPECT_LT(got, twopi);
    EXPECT_NEAR(got, g * pi / 180.0, 1e-8) << j;
  }
}

// Beyond about 2e107 days the cube of the Julian centuries overflows and the
// polynomial is infinite (or infinity minus infinity): no angle, the fill
// value, as for a date that is not a number. Far dates that still have a
// polynomial keep an angle in [0, 2 pi).
TEST(OrbitSiderealTime, GstimeOfADateWithoutAnAngleIsTheFillValue) {
  for (double j : {1.0e110, -1.0e110, 1.0e300, -1.0e300, HUGE_VAL, -HUGE_VAL, std::nan("")}) {
    double jj = j;
    EXPECT_EQ(gstime_(&jj), -1.0e31) << j;
  }
  for (double j : {1.0e15, -1.0e15, 1.0e100}) {
    double jj = j;
    const double got = gstime_(&jj);
    EXPECT_GE(got, 0.0) << j;
    EXPECT_LT(got, twopi) << j;
  }
}

TEST(OrbitGravity, ConstantSets) {
  int set = 84;
  double tumin, r, xke, j2, j3, j4, j3oj2;
  getgravconst_(&set, &tumin, &r, &xke, &j2, &j3, &j4, &j3oj2);
  EXPECT_NEAR(xke, 0.0743668532, 1e-10);
  EXPECT_DOUBLE_EQ(tumin, 1.0 / xke);
  EXPECT_EQ(r, 6378.137);
  EXPECT_DOUBLE_EQ(j3oj2, -2.53215306e-6 / 0.00108262998905);
  set = 72;
  getgravconst_(&set, &tumin, &r, &xke, &j2, &j3, &j4, &j3oj2);
  EXPECT_NEAR(xke, 60.0 / std::sqrt(6378.135 * 6378.135 * 6378.135 / 398600.8), 1e-15);
  set = 721;
  getgravconst_(&set, &tumin, &r, &xke, &j2, &j3, &j4, &j3oj2);
  EXPECT_EQ(xke, 0.0743669161);
  // Any other set writes nothing.
  set = 73;
  double keep = 123.25;
  tumin = r = xke = j2 = j3 = j4 = j3oj2 = keep;
  getgravconst_(&set, &tumin, &r, &xke, &j2, &j3, &j4, &j3oj2);
  for (double x : {tumin, r, xke, j2, j3, j4, j3oj2}) EXPECT_EQ(x, keep);
}
