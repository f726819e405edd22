// Heliospheric systems HEE, HAE, HEEQ against the Earth's orbit and the
// orientation of the solar equator.
#include <gtest/gtest.h>

#include <cmath>

#include "frame/frame_state.hpp"
#include "kest.h"

namespace {

constexpr double kAuKm = 149598500.0;

// The Earth's position in HEE (AU) at a time: the image of the GSE origin.
void earth_hee(int iyr, int idoy, double ut, double hee[3]) {
  double gse[3] = {0, 0, 0};
  gse2hee1_(&iyr, &idoy, &ut, gse, hee);
}

TEST(Sun2, J2000NoonSunAndDistance) {
  // 2000-01-01 12:00 UT: MJD 51544 for 0 h, the apparent solar longitude
  // 280.37 deg and the Sun-Earth distance 0.98333 AU (Astronomical Almanac).
  double hee[3];
  earth_hee(2000, 1, 43200.0, hee);
  EXPECT_LT(kest::sunmah.t0, 0.0);
  EXPECT_NEAR(kest::sunmah.t0, -0.5 / 36525.0, 1e-15);
  EXPECT_NEAR(kest::sunmah.lambda, 280.37, 0.05);
  EXPECT_NEAR(hee[0], 0.98333, 2e-4);
  EXPECT_EQ(hee[1], 0.0);
  EXPECT_EQ(hee[2], 0.0);
}

TEST(Sun2, AnnualVariationOfTheDistance) {
  // Perihelion in the first days of January, aphelion early July, with
  // distances 0.9833 and 1.0167 AU (eccentricity 0.0167).
  double rmin = 10, rmax = 0;
  int dmin = 0, dmax = 0;
  for (int doy = 1; doy <= 365; ++doy) {
    double hee[3];
    earth_hee(2005, doy, 0.0, hee);
    if (hee[0] < rmin) rmin = hee[0], dmin = doy;
    if (hee[0] > rmax) rmax = hee[0], dmax = doy;
  }
  EXPECT_GE(dmin, 1);
  EXPECT_LE(dmin, 6);
  EXPECT_GE(dmax, 182);
  EXPECT_LE(dmax, 188);
  EXPECT_NEAR(rmin, 0.9833, 3e-4);
  EXPECT_NEAR(rmax, 1.0167, 3e-4);
}

TEST(Sun2, LongitudeIsNotReduced) {
  double hee[3];
  earth_hee(2010, 1, 0.0, hee);
  EXPECT_GT(kest::sunmah.lambda, 3600.0);
}

TEST(Sun2, YearsOutside1901To2099WriteNothing) {
  double hee[3];
  earth_hee(2003, 100, 0.0, hee);
  const kest::SunMah kept = kest::sunmah;
  int iyr = 1900, idoy = 100;
  double ut = 0.0, out[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  sun2_(&iyr, &idoy, &ut, &out[0], &out[1], &out[2], &out[3], &out[4], &out[5], &out[6], &out[7]);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(out[k], k + 1.0);
  earth_hee(2100, 1, 0.0, hee);
  EXPECT_EQ(kest::sunmah.lambda, kept.lambda);
  EXPECT_EQ(kest::sunmah.t0, kept.t0);
}

// A time of day that is not a number gives a sun that is not a number for
// its own call; a later year outside 1901-2099 still takes the last finite
// sun, as if the bad call had not been made.
TEST(Sun2, NonFiniteTimeIsNotKeptForOutsideYears) {
  double ref[3], hee[3];
  earth_hee(2003, 100, 0.0, hee);
  earth_hee(2150, 1, 0.0, ref);
  earth_hee(2003, 100, 0.0, hee);
  earth_hee(2003, 100, std::nan(""), hee);
  EXPECT_TRUE(std::isnan(kest::sunmah.lambda));
  earth_hee(2150, 1, 0.0, hee);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(hee[k], ref[k]) << k;
}

TEST(Heeq, EarthLatitudeIsTheB0Angle) {
  // The Earth's heliographic latitude B0 swings between -7.25 deg (about
  // 6 March) and +7.25 deg (about 8 September), through 0 near 6 June and
  // 8 December (solar equator inclined 7.25 deg, node near 75.8 deg).
  struct Case {
    int doy;
    double b0, tol;
  } cases[] = {{66, -7.25, 0.05}, {252, 7.25, 0.05}, {158, 0.0, 0.2}, {343, 0.0, 0.2}};
  for (const auto& c : cases) {
    int iyr = 2001, idoy = c.doy;
    double ut = 0.0, hee[3], hae[3], heeq[3];
    earth_hee(iyr, idoy, ut, hee);
    hee2hae1_(&iyr, &idoy, &ut, hee, hae);
    hae2heeq1_(&iyr, &idoy, &ut, hae, heeq);
    const double r = std::sqrt(heeq[0] * heeq[0] + heeq[1] * heeq[1] + heeq[2] * heeq[2]);
    EXPECT_NEAR(std::asin(heeq[2] / r) * 180.0 / M_PI, c.b0, c.tol) << c.doy;
  }
}

// Against the Astronomical Almanac (the sun's longitude and distance, good to
// 0.01 degree and 1e-4 AU over 1950-2050) and the orientation of the solar
// equator (inclination 7.25 degrees, ascending node 75.76 + 1.397 T degrees,
// T Julian centuries from J2000), at instants across 1965-2030: the Earth is
// at the Almanac's distance on the HEE x axis, at heliocentric longitude
// lambda + 180 on the HAE ecliptic, in the x-z plane of HEEQ; the HEEQ z axis
// is the solar rotation axis (measured within 1e-4 degree). The Almanac's
// apparent longitude carries the aberration, -0.0057 degree.
TEST(Heliospheric, EarthAndSolarAxisAtInstantsFrom1965To2030) {
  struct Instant {
    int y, doy;
    double ut;
  } instants[] = {{1965, 1, 0.0},     {1979, 75, 43200.0}, {1992, 250, 21600.0},
                  {2008, 366, 64800.0}, {2019, 180, 3600.0}, {2030, 300, 80000.0}};
  for (const Instant& t : instants) {
    // Julian date: 0 h of 1 January (Meeus ch. 7) plus the days and time.
    const int y1 = t.y - 1, c = y1 / 100;
    const double jd = std::floor(365.25 * (y1 + 4716)) + std::floor(30.6001 * 14) + 1 + 2 - c + c / 4 - 1524.5 +
                      (t.doy - 1) + t.ut / 86400.0;
    const double n = jd - 2451545.0, rad = M_PI / 180.0;
    const double g = (357.528 + 0.9856003 * n) * rad;
    const double lam = 280.460 + 0.9856474 * n + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g);
    const double dist = 1.00014 - 0.01671 * std::cos(g) - 0.00014 * std::cos(2 * g);
    int iyr = t.y, idoy = t.doy, gse = 3, hee = 9, hae = 10, heeq = 11;
    double ut = t.ut, x[3] = {0, 0, 0}, e_hee[3], e_hae[3], e_heeq[3];
    coord_trans1_(&gse, &hee, &iyr, &idoy, &ut, x, e_hee);
    x[0] = x[1] = x[2] = 0.0;
    coord_trans1_(&gse, &hae, &iyr, &idoy, &ut, x, e_hae);
    x[0] = x[1] = x[2] = 0.0;
    coord_trans1_(&gse, &heeq, &iyr, &idoy, &ut, x, e_heeq);
    EXPECT_NEAR(e_hee[0], dist, 5e-5) << t.y;
    EXPECT_EQ(e_hee[1], 0.0);
    EXPECT_EQ(e_hee[2], 0.0);
    EXPECT_NEAR(std::remainder(std::atan2(e_hae[1], e_hae[0]) / rad - lam - 180.0, 360.0), 0.0, 0.01) << t.y;
    EXPECT_NEAR(e_hae[2], 0.0, 1e-15);
    EXPECT_NEAR(e_heeq[1] / e_hee[0], 0.0, 1e-12) << t.y;
    const double T = n / 36525.0, node = (75.76 + 1.397 * T) * rad, incl = 7.25 * rad;
    const double pole[3] = {std::sin(incl) * std::sin(node), -std::sin(incl) * std::cos(node), std::cos(incl)};
    double z[3] = {0, 0, 1}, zhae[3];
    coord_trans1_(&heeq, &hae, &iyr, &idoy, &ut, z, zhae);
    EXPECT_NEAR(zhae[0], pole[0], 1e-5) << t.y;
    EXPECT_NEAR(zhae[1], pole[1], 1e-5) << t.y;
    EXPECT_NEAR(zhae[2], pole[2], 1e-6) << t.y;
  }
}

// HEEQ's x axis is the Earth's heliographic longitude 0: the Earth, at
// distance R from the sun and latitude B0, lies at (R cos B0, 0, R sin B0)
// on every day of the year, and a fixed point's coordinates move smoothly
// (here across 6 March and 8 September, where lambda - Omega passes 270 and
// 90 degrees and an axis taken from the arc tangent's principal value
// alone would turn by 180 degrees within a minute).
TEST(Heeq, TheEarthIsOnThePositiveXAxisAllYear) {
  int gse = 3, hee = 9, heeq = 11;
  for (int iyr : {2005, 2012}) {
    for (int idoy = 1; idoy <= 365; idoy += 4) {
      double ut = 3600.0 * (idoy % 24), x[3] = {0, 0, 0}, e_hee[3], e_heeq[3];
      coord_trans1_(&gse, &hee, &iyr, &idoy, &ut, x, e_hee);
      x[0] = x[1] = x[2] = 0.0;
      coord_trans1_(&gse, &heeq, &iyr, &idoy, &ut, x, e_heeq);
      const double r = e_hee[0];
      EXPECT_NEAR(e_heeq[0], std::sqrt(r * r - e_heeq[2] * e_heeq[2]), 1e-12) << iyr << " " << idoy;
      EXPECT_NEAR(e_heeq[1], 0.0, 1e-12) << iyr << " " << idoy;
    }
  }
  // A fixed HAE point one minute apart around each change: the axes turn by
  // about 1/1440 of a degree per minute (one turn a year), so the point
  // moves by some 1e-5 AU, not by twice its distance from the axis.
  for (int idoy : {65, 66, 250, 251}) {
    int iyr = 2005;
    for (double ut = 0.0; ut < 86400.0; ut += 60.0) {
      double p[3] = {0.5, 0.5, 0.0}, a[3], b[3], ut2 = ut + 60.0;
      hae2heeq1_(&iyr, &idoy, &ut, p, a);
      hae2heeq1_(&iyr, &idoy, &ut2, p, b);
      for (int k = 0; k < 3; ++k) ASSERT_NEAR(a[k], b[k], 1e-4) << idoy << " " << ut << " " << k;
    }
  }
}

TEST(Heliospheric, RoundTripsAndInPlaceScaling) {
  int iyr = 2007, idoy = 213;
  double ut = 3600.0 * 17.25;
  const double p[3] = {0.72, -0.31, 0.044};
  double a[3] = {p[0], p[1], p[2]}, b[3], c[3];
  hae2hee1_(&iyr, &idoy, &ut, a, b);
  hee2hae1_(&iyr, &idoy, &ut, b, c);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(c[k], p[k], 1e-15);
  hae2heeq1_(&iyr, &idoy, &ut, a, b);
  heeq2hae1_(&iyr, &idoy, &ut, b, c);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(c[k], p[k], 1e-15);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(a[k], p[k]);  // HAE input never changed

  // GSE (Re) to HEE and back, with the caller's inputs left in km.
  double gse[3] = {1.0, 0.0, 0.0}, hee[3], back[3];
  gse2hee1_(&iyr, &idoy, &ut, gse, hee);
  EXPECT_EQ(gse[0], 6371.2);
  EXPECT_EQ(gse[1], 0.0);
  double hee_in[3] = {hee[0], hee[1], hee[2]};
  hee2gse1_(&iyr, &idoy, &ut, hee_in, back);
  EXPECT_NEAR(hee_in[0], hee[0] * kAuKm, 1e-6);
  // Rounding leaves a few 1e-12 Re; the Sun-Earth distance passes through
  // the scale 1/149598500 (6.684559002931179e-09) and back, so a relative
  // error of 4e-15 in that constant (its 15th digit) moves the point by
  // 1e-10 Re.
  EXPECT_NEAR(back[0], 1.0, 1e-10);
  EXPECT_NEAR(back[1], 0.0, 1e-12);
  double unit[3] = {1.0, 0.0, 0.0};
  hee2gse1_(&iyr, &idoy, &ut, unit, back);
  EXPECT_EQ(unit[0], kAuKm);
}

}  // namespace
