// Spherical longitudes stay in [0, 360): a point a hair to the west of the
// meridian 0 must not come out at exactly 360.
#include <gtest/gtest.h>

#include <cmath>

#include "kest.h"

namespace {

TEST(CarSphLongitude, BelowZeroByAHairIsTheMeridianNotThreeSixty) {
  struct Case {
    double x, y, z;
  } cases[] = {
      {1.0, -1e-20, 0.0}, {2.385, -1e-300, 1.173}, {6.6, -5e-324, -0.61}, {1.0, -1e-17, 0.0},
      {1.0, -1e-10, 0.3}, {-2.2, -1e-12, 0.0},
  };
  for (const Case& c : cases) {
    double v[3] = {c.x, c.y, c.z}, r, lat, lon;
    car_sph_(v, &r, &lat, &lon);
    EXPECT_GE(lon, 0.0) << c.x << " " << c.y;
    EXPECT_LT(lon, 360.0) << c.x << " " << c.y;
    // The direction the longitude names is the point's own.
    const double deg = 180.0 / M_PI;
    EXPECT_NEAR(std::remainder(lon - std::atan2(c.y, c.x) * deg, 360.0), 0.0, 1e-12);

    // The same through the coordinate dispatch, GEO to SPH.
    int geo = 1, sph = 7, iyr = 2001, idoy = 45;
    double ut = 3600.0, xin[3] = {c.x, c.y, c.z}, xout[3];
    coord_trans1_(&geo, &sph, &iyr, &idoy, &ut, xin, xout);
    EXPECT_GE(xout[2], 0.0);
    EXPECT_LT(xout[2], 360.0);
  }
}

}  // namespace
