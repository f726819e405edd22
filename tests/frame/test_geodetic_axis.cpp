// Geodetic altitude of points a hair off the polar axis.
//
// Next to the axis the ellipsoid normal through a point is the axis itself,
// so the altitude is the height above the pole, |z| re - b, to within the
// point's distance from the axis (here at most 1e-9 of its radius, under a
// metre): an independent value for every row below.
#include <gtest/gtest.h>

#include <cmath>

#include "kest.h"

namespace {

constexpr double kRe = 6371.2, kB = 6356.752314;

TEST(GeoGdzNearAxis, AltitudeIsTheHeightAbovePole) {
  struct Case {
    double rho_over_r, z;  // distance from the axis relative to |z|; z in Re
  } cases[] = {
      {1e-15, 0.5},     {2.3e-15, 1.2},  {1e-14, 1.2},     {1e-14, 0.99}, {6.9e-14, -1.173},
      {1e-12, -2.385},  {9e-13, 6.61},   {3.1e-11, 1.0001}, {5e-11, 19.5}, {4e-14, 23455.0},
  };
  for (const Case& c : cases) {
    // The off-axis distance split between x and y, as a rotation leaves it.
    double x = 0.6 * c.rho_over_r * std::fabs(c.z), y = -0.8 * c.rho_over_r * std::fabs(c.z), z = c.z;
    double lat, lon, alt;
    geo_gdz_(&x, &y, &z, &lat, &lon, &alt);
    const double pole_height = std::fabs(c.z) * kRe - kB;
    EXPECT_NEAR(alt, pole_height, 1e-3 + 1e-12 * std::fabs(pole_height)) << "z " << c.z << " rho/r " << c.rho_over_r;
    EXPECT_NEAR(std::fabs(lat), 90.0, 1e-6) << "z " << c.z;
    EXPECT_EQ(lat > 0.0, c.z > 0.0);
  }
}

TEST(GeoGdzNearAxis, PoleThroughHeliosphericFramesAndBack) {
  // A point over either pole taken to HEE, HAE or HEEQ (AU) and back to GDZ:
  // the astronomical unit leaves about 1e-7 km of rounding in the position,
  // which must not become km in the altitude.
  const int gdz = 0;
  for (int sys : {9, 10, 11})
    for (double lat : {90.0, -90.0})
      for (double ut : {0.0, 20000.0, 50000.0}) {
        int out = sys, back_sys = gdz, iyr = 2000, idoy = 1;
        double t = ut;
        double xin[3] = {500.0, lat, 0.0}, mid[3], back[3];
        coord_trans1_(const_cast<int*>(&gdz), &out, &iyr, &idoy, &t, xin, mid);
        coord_trans1_(&out, &back_sys, &iyr, &idoy, &t, mid, back);
        EXPECT_NEAR(back[0], 500.0, 1e-3) << "system " << sys << " lat " << lat << " ut " << ut;
        EXPECT_NEAR(back[1], lat, 1e-9);
      }
}

}  // namespace
