// The decimal constants of the frame's formulas, pinned to values worked out
// by hand (double precision, outside this library) from the published
// formulas: the low-precision solar ephemerides of the GSM/SM/GSE frames and
// of the heliospheric frames, the fixed ecliptic pole of GSE, the cut
// recursion constants of the Gauss-normalised Legendre sum, and the
// one-pass stopping rule of the geodetic iteration. The physical checks
// elsewhere (Meeus, the Astronomical Almanac, a Schmidt-normalised sum) hold
// only to 0.01 degree or 1e-6, which a wrong digit deep in a constant would
// pass.
#include <gtest/gtest.h>

#include <cmath>

#include "frame/frame_state.hpp"
#include "kest/frame.h"

namespace {

// sun: Greenwich mean sidereal time, ecliptic longitude, right ascension and
// declination (radians) of the ephemeris, worked out step by step: day count
// from 1900 January 0.5, angles reduced by truncation, RAD = 57.29577951308.
TEST(EphemerisConstants, SunAnglesAtFourInstants) {
  struct Case {
    int year, doy;
    double ut, gst, slong, srasn, sdec;
  } cases[] = {
      {1901, 1, 0.0, 1.7443707885304824, 4.8852945068361855, 4.900406131849556, -0.40286512565648047},
      {1957, 45, 12345.6, 3.409064416793586, 5.6755562187665225, 5.715206100677152, -0.22918431558529379},
      {2000, 1, 43200.0, 4.89494882290552, 4.893575238068224, 4.909361453843519, -0.4020141320368074},
      {2099, 200, 80000.0, 4.736204388648737, 2.0525733307542025, 2.0886420179582856, 0.3600634487120172},
  };
  for (const Case& c : cases) {
    int y = c.year, d = c.doy;
    double ut = c.ut, gst, slong, srasn, sdec;
    sun_(&y, &d, &ut, &gst, &slong, &srasn, &sdec);
    EXPECT_NEAR(gst, c.gst, 1e-12) << c.year;
    EXPECT_NEAR(slong, c.slong, 1e-12) << c.year;
    EXPECT_NEAR(srasn, c.srasn, 1e-12) << c.year;
    EXPECT_NEAR(sdec, c.sdec, 1e-12) << c.year;
  }
}

// sun2: centuries from J2000.0 to 0 h of the day, the unreduced solar
// longitude (degrees), and the angles theta and Omega (radians) of the solar
// equator, worked out from MJD = julday(year, 1, 1) + doy - 2400002. theta is
// the Earth's angle from the node: atan(cos i tan(lambda - Omega)) in the
// quadrant of lambda + 180 - Omega, that is the principal value plus pi in
// 2099 (lambda - Omega about 40 degrees) and the principal value itself in
// the other three (about 205, 250 and 205 degrees).
TEST(EphemerisConstants, HeliosphericSunAtFourInstants) {
  struct Case {
    int year, doy;
    double ut, t0, lambda, theta, omega;
  } cases[] = {
      {1901, 1, 0.0, -0.9899931553730321, -35360.101819952, 0.4422889339389414, 1.2981502297534715},
      {1957, 45, 12345.6, -0.428788501026694, -15154.821312971748, 1.2194381691441951, 1.3118219078978939},
      {2000, 1, 43200.0, -1.3689253935660506e-05, 280.37569784344896, 0.42658729184286076,
       1.3222674221636659},
      {2099, 200, 80000.0, 0.9954414784394251, 36117.601073624726, 0.7020473807540245 + M_PI,
       1.3465180098138296},
  };
  for (const Case& c : cases) {
    int y = c.year, d = c.doy;
    double ut = c.ut, s[8];
    sun2_(&y, &d, &ut, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &s[6], &s[7]);
    EXPECT_NEAR(s[0], c.t0, 1e-15) << c.year;
    EXPECT_NEAR(s[1], c.lambda, 1e-9) << c.year;
    EXPECT_NEAR(s[2], std::sin(c.theta), 1e-12) << c.year;
    EXPECT_NEAR(s[3], std::cos(c.theta), 1e-12) << c.year;
    EXPECT_NEAR(s[4], std::sin(7.25 / 57.29577951308), 1e-15) << c.year;
    EXPECT_NEAR(s[5], std::cos(7.25 / 57.29577951308), 1e-15) << c.year;
    EXPECT_NEAR(s[6], std::sin(c.omega), 1e-12) << c.year;
    EXPECT_NEAR(s[7], std::cos(c.omega), 1e-12) << c.year;
  }
}

// GSE takes the ecliptic pole fixed at E = (0, -0.3978, 0.9175) in GEI and
// its y axis E x sun unnormalised. GEO z is GEI z, so its GSE image is
// (s3, -E2 s1, E3) with s the sun direction; the GEI vector E itself has the
// GSE z component E . E = 1.00005109.
TEST(EphemerisConstants, FixedEclipticPoleOfGse) {
  double year = 2001.5;
  init_dtd_(&year);
  int y = 2001, d = 123;
  double ut = 3456.0, psi;
  init_gsm_(&y, &d, &ut, &psi);
  const double* s = kest::soleil.sun_dir;
  double z[3] = {0.0, 0.0, 1.0}, out[3];
  geo_gse_(z, out);
  EXPECT_EQ(out[0], s[2]);
  EXPECT_NEAR(out[1], 0.3978 * s[0], 1e-16);
  EXPECT_EQ(out[2], 0.9175);
  double e_gei[3] = {0.0, -0.3978, 0.9175}, e_geo[3];
  gei_geo_(e_gei, e_geo);
  geo_gse_(e_geo, out);
  EXPECT_NEAR(out[2], 1.00005109, 1e-15);
  EXPECT_NEAR(out[1], 0.0, 1e-15);
}

// get_intfield against a Gauss-normalised sum written out here, with the
// recursion constants K(n,m) = ((n-1)^2 - m^2)/((2n-1)(2n-3)) cut after the
// eighth decimal (K(2,0) after the ninth) by integer arithmetic. The cut
// constants differ from the exact ones by up to 1e-8, so only this
// reference, not an exact Legendre sum, can see a wrong digit among those
// of the degrees a loaded model reaches (up to 10).
double cut_k(int n, int m) {
  const long long num = static_cast<long long>(n - 1) * (n - 1) - static_cast<long long>(m) * m;
  const long long den = static_cast<long long>(2 * n - 1) * (2 * n - 3);
  if (n == 2 && m == 0) return static_cast<double>(num * 1000000000LL / den) / 1e9;
  return static_cast<double>(num * 100000000LL / den) / 1e8;
}

// The loaded model's coefficient at entry (i, j) of the 16 x 16 table
// numbered from 1, first index fastest.
double entry(int i, int j) { return kest::intfield.gh[j - 1][i - 1]; }

void gauss_sum(double x, double y, double z, double b[3]) {
  const double r = std::sqrt(x * x + y * y + z * z);
  const double th = std::atan2(std::sqrt(x * x + y * y), z), ph = std::atan2(y, x);
  const double s = std::sin(th), c = std::cos(th), a = 1.0 / r;
  int nlast = 1;
  while (nlast < 12 && kest::intfield.nmax > nlast + 1) ++nlast;
  double p[13][13] = {}, dp[13][13] = {};
  p[0][0] = 1.0;
  double br = 0.0, bt = 0.0, q = 0.0;
  for (int n = 1; n <= nlast; ++n) {
    for (int m = 0; m <= n; ++m) {
      if (m == n) {
        p[n][n] = s * p[n - 1][n - 1];
        dp[n][n] = s * dp[n - 1][n - 1] + c * p[n - 1][n - 1];
      } else {
        const double k = m <= n - 2 ? cut_k(n, m) : 0.0;
        const double p2 = m <= n - 2 ? p[n - 2][m] : 0.0, d2 = m <= n - 2 ? dp[n - 2][m] : 0.0;
        p[n][m] = c * p[n - 1][m] - k * p2;
        dp[n][m] = c * dp[n - 1][m] - s * p[n - 1][m] - k * d2;
      }
    }
    const double an = std::pow(a, n + 2);
    for (int m = 0; m <= n; ++m) {
      const double g = entry(n + 1, m + 1), h = m == 0 ? 0.0 : entry(m, n + 1);
      const double cm = std::cos(m * ph), sm = std::sin(m * ph);
      br -= (n + 1) * an * (g * cm + h * sm) * p[n][m];
      bt += an * (g * cm + h * sm) * dp[n][m];
      q += an * m * (h * cm - g * sm) * p[n][m];
    }
  }
  const double bp = q / s;
  b[0] = (br * s + bt * c) * std::cos(ph) - bp * std::sin(ph);
  b[1] = (br * s + bt * c) * std::sin(ph) + bp * std::cos(ph);
  b[2] = br * c - bt * s;
}

TEST(RecursionConstants, FixedEpochSumUsesTheCutConstants) {
  // Points near the surface, where the high degrees weigh most, all
  // latitudes and longitudes.
  const double pts[][3] = {{1.0, 0.0, 0.0},     {-0.61, 0.35, -0.72}, {0.12, 1.05, 0.3},
                           {0.01, -0.02, 1.01}, {-0.3, -0.2, -0.95},  {0.7, -0.7, 0.2},
                           {-0.99, 0.05, 0.1},  {0.4, 0.5, 0.77}};
  // The values of the formulas are the same; only the rounding of the two
  // orders of summation differs (about 1e-15 of the field).
  for (int model = 0; model < 2; ++model) {
    if (model == 0)
      jensenandcain1960_();
    else
      gsfc1266_();
    for (const auto& pt : pts) {
      double x = pt[0], y = pt[1], z = pt[2], b[3], ref[3];
      get_intfield_(&x, &y, &z, &b[0], &b[1], &b[2]);
      gauss_sum(x, y, z, ref);
      const double mag = std::sqrt(ref[0] * ref[0] + ref[1] * ref[1] + ref[2] * ref[2]);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(b[i], ref[i], 2e-14 * mag) << model << " " << x << " " << i;
    }
  }
}

// geo_gdz stops as soon as either the height or the latitude changes by
// 0.001 (Re, rad) or less: for the surface point at 45 degrees, 30 degrees
// it stops after one pass at latitude 45.000112197603514 and height
// 0.08456883769669261 km, worked out by hand from the same steps.
TEST(GeodeticStoppingRule, OnePassValuesAt45Degrees) {
  double lat = 45.0, lon = 30.0, alt = 0.0, x, y, z;
  gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
  double la, lo, al;
  geo_gdz_(&x, &y, &z, &la, &lo, &al);
  EXPECT_NEAR(la, 45.000112197603514, 1e-12);
  EXPECT_NEAR(lo, 30.0, 1e-12);
  EXPECT_NEAR(al, 0.08456883769669261, 1e-9);
}

}  // namespace
