// Coordinate conversions at inputs that slightly wrong data produces: a
// radius and geodetic latitude that no point has.
#include <cmath>
#include <gtest/gtest.h>

#include "kest/frame.h"

namespace {

constexpr double kFill = -1.0e31;

// The ellipsoid normal of geodetic latitude phi passes the centre at the
// distance N e^2 |sin phi cos phi| (N the prime-vertical radius, e^2 =
// (a^2 - b^2)/a^2): at 45 degrees, hand derivation with a = 6378.137 km, b =
// 6356.752314 km, N = a^2 / sqrt((a^2 + b^2)/2) = 6388.838 km and e^2 =
// 6.69438e-3, that is 21.38 km. A point at a smaller distance from the
// centre cannot have that geodetic latitude, so an RLL position (r, 45, lon)
// with r below it names no point, and every conversion of it gives the fill
// value. Just beyond that distance the point exists and converts.
TEST(CoordTransRll, RadiusBelowTheNormalsDistanceFromTheCentreGivesTheFillValue) {
  const double re = 6371.2;
  for (int out = 0; out <= 11; ++out) {
    if (out == 8) continue;  // equal codes copy
    for (double r_km : {0.0, 0.64, 21.0}) {
      SCOPED_TRACE(testing::Message() << "RLL -> " << out << ", r = " << r_km << " km");
      int in = 8, o = out, iyr = 2005, idoy = 100;
      double ut = 3600.0;
      double x[3] = {r_km / re, 45.0, 10.0}, xout[3] = {1.0, 2.0, 3.0};
      coord_trans1_(&in, &o, &iyr, &idoy, &ut, x, xout);
      EXPECT_EQ(xout[0], kFill);
      EXPECT_EQ(xout[1], kFill);
      EXPECT_EQ(xout[2], kFill);
    }
  }
  // 21.5 km: the point exists; back to RLL it has its radius again.
  int in = 8, o = 1, iyr = 2005, idoy = 100;
  double ut = 3600.0;
  double x[3] = {21.5 / re, 45.0, 10.0}, g[3];
  coord_trans1_(&in, &o, &iyr, &idoy, &ut, x, g);
  ASSERT_TRUE(std::isfinite(g[0]) && std::isfinite(g[1]) && std::isfinite(g[2]));
  EXPECT_NEAR(std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]), 21.5 / re, 1e-12);
}

}  // namespace
