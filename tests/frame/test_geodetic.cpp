// Earth constants, geodetic and spherical conversions.
#include <gtest/gtest.h>

#include <cmath>

#include "frame/frame_state.hpp"
#include "kest.h"

namespace {

constexpr double kRe = 6371.2, kA = 6378.137, kB = 6356.752314;

TEST(Initize, EarthConstants) {
  initize_();
  EXPECT_EQ(kest::gener.re, 6371.2);
  EXPECT_EQ(kest::gener.a2, kA * kA);
  EXPECT_EQ(kest::gener.b2, kB * kB);
}

TEST(GdzGeo, EquatorAndPoleOfTheEllipsoid) {
  double lat = 0, lon = 0, alt = 0, x, y, z;
  gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
  EXPECT_NEAR(x, kA / kRe, 1e-15);
  EXPECT_NEAR(y, 0.0, 1e-15);
  EXPECT_NEAR(z, 0.0, 1e-15);
  lat = 90;
  gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
  EXPECT_NEAR(z, kB / kRe, 1e-15);
  EXPECT_NEAR(std::hypot(x, y), 0.0, 1e-15);
}

TEST(GdzGeo, GeostationaryRingRadius) {
  // On the equator the ellipsoid normal is radial: r = a + h.
  for (double lon : {-175.3, -75.2, 0.0, 19.2, 133.7}) {
    double lat = 0, alt = 35793.0, x, y, z;
    gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
    EXPECT_NEAR(std::sqrt(x * x + y * y + z * z) * kRe, kA + 35793.0, 1e-8);
    EXPECT_NEAR(std::atan2(y, x) * 180.0 / M_PI, lon, 1e-12);
  }
}

// Distance (km) of the point (rho, z) from the WGS84 ellipsoid, negative
// inside: the foot of the shortest line is where the line is normal to the
// ellipse (a cos t, b sin t), found by Newton's method on the parametric
// angle t from the best of a coarse scan.
double distance_from_ellipsoid(double rho, double z) {
  double t = 0.0, best = 1e300;
  for (int i = 0; i <= 720; ++i) {
    const double u = -M_PI / 2 + M_PI * i / 720;
    const double d = std::hypot(rho - kA * std::cos(u), z - kB * std::sin(u));
    if (d < best) best = d, t = u;
  }
  for (int k = 0; k < 30; ++k) {
    const double c = std::cos(t), s = std::sin(t);
    const double f = (rho - kA * c) * kA * s - (z - kB * s) * kB * c;
    const double fp = kA * kA * s * s + (rho - kA * c) * kA * c + kB * kB * c * c + (z - kB * s) * kB * s;
    t -= f / fp;
  }
  const double d = std::hypot(rho - kA * std::cos(t), z - kB * std::sin(t));
  return rho * rho / (kA * kA) + z * z / (kB * kB) < 1.0 ? -d : d;
}

// A point given by geodetic latitude, longitude and altitude lies at that
// distance from the ellipsoid, along the normal (the shortest distance from a
// point outside the evolute), at the longitude given modulo 360 and with z of
// the latitude's sign. rll_gdz gives the altitude back from the point's radius
// and the latitude; geo_gdz gives the latitude's sign back and the longitude
// reduced to (-180, 180].
TEST(GdzGeo, PointsLieAtTheirAltitudeFromTheEllipsoid) {
  struct Case {
    double lat, lon, alt;
  } cases[] = {{90.0, 0.0, 0.0},          {-90.0, 33.0, 612.5},    {0.0, 190.0, -35.0},    {0.0, -540.0, 20200.0},
               {45.0, 30.0, 0.0},         {-51.9, 414.66, 120.86}, {82.33, 239.75, -37.6}, {-12.5, -2.385, 400.0},
               {63.25, -149.9, 35793.0},  {-0.61, 1.173, 1.0e-3}};
  for (const Case& c : cases) {
    double lat = c.lat, lon = c.lon, alt = c.alt, x, y, z;
    gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
    const double rho = std::hypot(x, y) * kRe, zk = z * kRe;
    EXPECT_NEAR(distance_from_ellipsoid(rho, zk), c.alt, 1e-8) << c.lat << " " << c.lon;
    if (c.lat != 0.0) {
      EXPECT_EQ(std::signbit(z), std::signbit(c.lat)) << c.lat;
    }
    if (std::fabs(c.lat) < 90.0) {
      EXPECT_NEAR(std::remainder(std::atan2(y, x) * 180.0 / M_PI - c.lon, 360.0), 0.0, 1e-12) << c.lon;
    }
    double r = std::sqrt(x * x + y * y + z * z), h;
    rll_gdz_(&r, &lat, &lon, &h);
    EXPECT_NEAR(h, c.alt, 1e-8) << c.lat << " " << c.lon;
    double la, lo, al;
    geo_gdz_(&x, &y, &z, &la, &lo, &al);
    if (c.lat != 0.0) {
      EXPECT_EQ(std::signbit(la), std::signbit(c.lat)) << c.lat;
    }
    if (std::fabs(c.lat) < 90.0) {
      EXPECT_TRUE(lo > -180.0 && lo <= 180.0) << lo;
      EXPECT_NEAR(std::remainder(lo - c.lon, 360.0), 0.0, 1e-12) << c.lon;
    }
  }
}

TEST(GeoGdz, LongitudeRangeAndSurfacePoint) {
  double x = 1, y = 0, z = 0, lat, lon, alt;
  geo_gdz_(&x, &y, &z, &lat, &lon, &alt);
  EXPECT_NEAR(lat, 0.0, 1e-12);
  EXPECT_NEAR(lon, 0.0, 1e-12);
  EXPECT_NEAR(alt, kRe - kA, 1e-9);
  x = 0;
  y = -1;
  geo_gdz_(&x, &y, &z, &lat, &lon, &alt);
  EXPECT_NEAR(lon, -90.0, 1e-12);  // (-180, 180]
  double v[3] = {0, -1, 0}, r, slat, slon;
  car_sph_(v, &r, &slat, &slon);
  EXPECT_NEAR(slon, 270.0, 1e-12);  // [0, 360)
}

TEST(GeoGdz, OnePassStoppingRuleAt45Degrees) {
  // The loop ends when either change is small, so at 45 degrees it stops
  // after one pass, a little off the converged answer (45, 30, 0).
  double lat = 45, lon = 30, alt = 0, x, y, z;
  gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
  double la, lo, al;
  geo_gdz_(&x, &y, &z, &la, &lo, &al);
  EXPECT_GT(la, 45.0);
  EXPECT_LT(la - 45.0, 1e-3);
  EXPECT_NEAR(lo, 30.0, 1e-12);
  EXPECT_GT(std::fabs(al), 0.0);
  EXPECT_LT(std::fabs(al), 0.1);
}

TEST(GeoGdz, RoundTripAwayFromTheSurface) {
  // The loop stops after one or two passes, within about 0.1 km and 1e-4
  // degree of the converged answer (a hand evaluation of the same passes
  // gives at most 0.015 km and 7e-5 degree for these points).
  struct Case {
    double lat, lon, alt;
  } cases[] = {{0.0, -75.2, 35793.0}, {-33.7, 151.2, 20200.0}, {61.4, -149.9, 800.0}, {12.5, 2.385, 400.0}};
  for (const auto& c : cases) {
    double lat = c.lat, lon = c.lon, alt = c.alt, x, y, z, la, lo, al;
    gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
    geo_gdz_(&x, &y, &z, &la, &lo, &al);
    EXPECT_NEAR(la, c.lat, 1e-4);
    EXPECT_NEAR(lo, c.lon, 1e-10);
    EXPECT_NEAR(al, c.alt, 0.1);
  }
}

TEST(GeoGdz, PolarAxisWithoutIteration) {
  for (double zz : {1.2, -2.385}) {
    double x = 0, y = 0, z = zz, lat, lon, alt;
    geo_gdz_(&x, &y, &z, &lat, &lon, &alt);
    EXPECT_EQ(lat, zz > 0 ? 90.0 : -90.0);
    EXPECT_NEAR(alt, std::fabs(zz) * kRe - kB, 1e-9);  // height above the pole
  }
}

TEST(RllGdz, EquatorialRadiusAndWriteBack) {
  double r = 1, lat = 0, lon = 0, alt;
  rll_gdz_(&r, &lat, &lon, &alt);
  EXPECT_NEAR(alt, kRe - kA, 1e-9);
  EXPECT_EQ(r, kRe);
  // Consistent with gdz_geo: the radius of a geodetic point gives its altitude back.
  double la = 52.3, lo = 4.9, al = 1234.5, x, y, z;
  gdz_geo_(&la, &lo, &al, &x, &y, &z);
  r = std::sqrt(x * x + y * y + z * z);
  rll_gdz_(&r, &la, &lo, &alt);
  EXPECT_NEAR(alt, 1234.5, 1e-6);
}

TEST(CarSph, PolesCentreAndRoundTrip) {
  double v[3] = {0, 0, -1}, r, lat, lon;
  car_sph_(v, &r, &lat, &lon);
  EXPECT_EQ(r, 1.0);
  EXPECT_EQ(lat, -90.0);
  EXPECT_EQ(lon, 0.0);
  double c[3] = {0, 0, 0};
  car_sph_(c, &r, &lat, &lon);
  EXPECT_EQ(r, 0.0);
  EXPECT_EQ(lat, 90.0);
  EXPECT_EQ(lon, 0.0);
  double p[3] = {2.385, -0.61, 1.173}, q[3];
  car_sph_(p, &r, &lat, &lon);
  sph_car_(&r, &lat, &lon, q);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(q[i], p[i], 1e-14);
}

TEST(SphCarVect, LocalFrameRotationAndInverse) {
  // At lat 0, lon 90 radial is +y, southward is -z, eastward is -x.
  double r = 1, lat = 0, lon = 90, vin[3] = {1, 2, 3}, vout[3], back[3];
  sph_car_vect_(&r, &lat, &lon, vin, vout);
  EXPECT_NEAR(vout[0], -3.0, 1e-14);
  EXPECT_NEAR(vout[1], 1.0, 1e-14);
  EXPECT_NEAR(vout[2], -2.0, 1e-14);
  lat = -37.5;
  lon = 212.0;
  sph_car_vect_(&r, &lat, &lon, vin, vout);
  car_sph_vect_(&r, &lat, &lon, vout, back);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], vin[i], 1e-14);
  // In place (vin and vout one array), both ways: the same numbers.
  double v[3] = {1, 2, 3};
  sph_car_vect_(&r, &lat, &lon, v, v);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(v[i], vout[i]);
  car_sph_vect_(&r, &lat, &lon, v, v);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(v[i], back[i]);
}

}  // namespace
