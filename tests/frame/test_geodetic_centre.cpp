// Geodetic conversion of points deep inside the Earth, near the cusps of the
// ellipsoid's evolute (about 43 km from the centre on the polar axis), where
// the iteration swings between two latitudes instead of converging.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>

#include "kest.h"

namespace {

constexpr double kRe = 6371.2, kB = 6356.752314;

// Points 0.6-0.7 km off the polar axis and 42.84 km from the centre, found by
// a search for the longest runs of the unbounded iteration: each took 1 to 4
// million passes (0.1-0.25 s per call), so a series of such positions through
// an entry point would have run for hours.
TEST(GeoGdzHostile, PointsNearTheEvoluteCuspEndPromptly) {
  const double cases[][3] = {
      {9.7766198929290384e-05, 0.0, 0.0067240424255608318},
      {0.0, 0.00010632835054133476, 0.0067240111699206802},
      {9.228553822370504e-05, 0.0, -0.0067240611342328427},
      {-0.00011370854271356784, 0.0, 0.0067239819095477387},
  };
  alarm(10);  // each case 50 times: minutes with the unbounded iteration
  for (const auto& c : cases) {
    double lat = 0.0, lon = 0.0, alt = 0.0;
    for (int rep = 0; rep < 50; ++rep) {
      double x = c[0], y = c[1], z = c[2];
      geo_gdz_(&x, &y, &z, &lat, &lon, &alt);
    }
    // No converged answer exists here; the result must still be a sound
    // point near the pole on the point's side, its height within 20 km of
    // the height below that pole, |z| re - b = -6313.9 km.
    ASSERT_TRUE(std::isfinite(lat) && std::isfinite(alt));
    EXPECT_NEAR(lon, std::atan2(c[1], c[0]) * 180.0 / M_PI, 1e-12);
    EXPECT_GT(std::fabs(lat), 89.0);
    EXPECT_LE(std::fabs(lat), 90.0);
    EXPECT_EQ(std::signbit(lat), std::signbit(c[2]));
    EXPECT_NEAR(alt, std::fabs(c[2]) * kRe - kB, 20.0);
  }
  alarm(0);
}

// Points within some 60 km of the centre, where the height falls below
// -N (1 - e^2) and the latitude update points the normal into the far
// half-plane. The normal through the point must still come back as a
// geodetic latitude in [-90, 90], from the opposite longitude.
TEST(GeoGdzHostile, PointsNearTheCentreKeepALatitudeWithinNinetyDegrees) {
  constexpr double kA = 6378.137;
  // In the equatorial plane the normal through the point is the equatorial
  // radius through the far side: latitude 0, longitude of the point + 180,
  // depth a + rho below that equator point (by hand).
  const struct {
    double x, y, lon, alt;
  } plane[] = {
      {0.0, 0.0, 180.0, -kA},
      {0.001, 0.0, 180.0, -(kA + 0.001 * kRe)},
      {0.0, 0.002, -90.0, -(kA + 0.002 * kRe)},
      {-0.003, 0.0, 0.0, -(kA + 0.003 * kRe)},
  };
  for (const auto& c : plane) {
    double x = c.x, y = c.y, z = 0.0, lat, lon, alt;
    geo_gdz_(&x, &y, &z, &lat, &lon, &alt);
    EXPECT_EQ(lat, 0.0) << c.x << " " << c.y;
    EXPECT_NEAR(lon, c.lon, 1e-12) << c.x << " " << c.y;
    EXPECT_NEAR(alt, c.alt, 1e-9) << c.x << " " << c.y;
  }
  // Off the plane: a latitude in [-90, 90], the opposite longitude, and a
  // triple that gdz_geo takes back to the point (within the few km the
  // stopping rule leaves this deep inside).
  const double off[][3] = {
      {0.004, 0.002, -0.002}, {0.002, -0.001, 0.0005}, {0.005, 0.0, 0.003}};
  for (const auto& p : off) {
    double x = p[0], y = p[1], z = p[2], lat, lon, alt;
    geo_gdz_(&x, &y, &z, &lat, &lon, &alt);
    EXPECT_LE(std::fabs(lat), 90.0) << p[0] << " " << p[1] << " " << p[2];
    const double far = std::atan2(p[1], p[0]) * 180.0 / M_PI;
    EXPECT_NEAR(lon, far > 0.0 ? far - 180.0 : far + 180.0, 1e-12);
    double bx, by, bz;
    gdz_geo_(&lat, &lon, &alt, &bx, &by, &bz);
    EXPECT_LT(std::hypot(bx - p[0], by - p[1], bz - p[2]) * kRe, 2.0);
  }
}

// Points within 16 km of the centre, a few metres off the polar axis, where
// the loop stops on a small change of latitude near 90 degrees while the
// height rho / cos(phi) - N is still off by hundreds to thousands of km. The
// point lies on the axis to within 12 m, so its height is that below the pole,
// |z| re - b (by hand), and the triple must lead back to the point.
TEST(GeoGdzHostile, PointsNearTheCentreOnTheAxisGetTheDepthBelowThePole) {
  const double cases[][2] = {
      {1.1142810450821413e-06, -0.0022035380148724016},
      {4.452741802095931e-07, -0.0024173546931008289},
      {6.6917508580922132e-07, -0.0022351895608580664},
      {1.2598644676574875e-06, 0.0024535249524367773},
  };
  for (const auto& c : cases) {
    double x = c[0], y = 0.0, z = c[1], lat, lon, alt;
    geo_gdz_(&x, &y, &z, &lat, &lon, &alt);
    EXPECT_GT(std::fabs(lat), 89.9) << c[1];
    EXPECT_LE(std::fabs(lat), 90.0) << c[1];
    EXPECT_NEAR(alt, std::fabs(c[1]) * kRe - kB, 0.1) << c[1];
    double bx, by, bz;
    gdz_geo_(&lat, &lon, &alt, &bx, &by, &bz);
    EXPECT_LT(std::hypot(bx - c[0], by, bz - c[1]) * kRe, 0.05) << c[1];
  }
}

}  // namespace
