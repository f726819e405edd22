// The field entry: the field at GEO points and times with and without the
// Olson-Pfitzer quiet model, position systems, refusals with fill values, and
// the argument-vector entry.
#include <cmath>
#include <gtest/gtest.h>

#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/magcoords_state.hpp"

namespace {

constexpr double kFill = -1.0e31;

struct Call {
  int kext = 0;
  int options[5] = {0, 0, 0, 0, 0};
  int sysaxes = 1;
  int iyr = 2004, idoy = 100;
  double ut = 3600.0;
  double x[3] = {2.385, -0.61, 1.173};
  double maginput[25] = {};
  double b[3] = {1.0, 2.0, 3.0};
  double blocal = 4.0;
  void run() {
    get_field1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x[0], &x[1], &x[2], maginput, b, &blocal);
  }
};

// Without an external model the field is the IGRF of the year's mid-point.
TEST(GetField, InternalFieldAtGeoPoints) {
  struct Case {
    int iyr, idoy;
    double ut, x, y, z;
  } cases[] = {{1985, 32, 0.0, 1.0, 0.0, 0.0},
               {2004, 100, 3600.0, 2.385, -0.61, 1.173},
               {2012, 300, 80000.0, -4.4, 3.1, -2.0}};
  for (const Case& k : cases) {
    Call c;
    c.iyr = k.iyr;
    c.idoy = k.idoy;
    c.ut = k.ut;
    c.x[0] = k.x;
    c.x[1] = k.y;
    c.x[2] = k.z;
    c.run();
    double epoch = k.iyr + 0.5, x = k.x, y = k.y, z = k.z, b[3];
    init_dtd_(&epoch);
    igrf_(&x, &y, &z, &b[0], &b[1], &b[2]);
    EXPECT_EQ(c.b[0], b[0]);
    EXPECT_EQ(c.b[1], b[1]);
    EXPECT_EQ(c.b[2], b[2]);
    EXPECT_NEAR(c.blocal, std::hypot(b[0], b[1], b[2]), 1e-12 * c.blocal);
  }
  // At the surface the field is tens of thousands of nT.
  Call c;
  c.x[0] = 0.0;
  c.x[1] = 0.0;
  c.x[2] = 1.0;
  c.run();
  EXPECT_GT(c.blocal, 40000.0);
  EXPECT_LT(c.blocal, 70000.0);
}

// With the Olson-Pfitzer quiet model at geostationary distance near equinox
// midnight and noon (dipole tilt small): the magnetospheric currents weaken
// the northward field on the night side by about 18.5 nT and strengthen it
// on the day side by about 11.3 nT. Positions given in SM.
TEST(GetField, OlsonPfitzerAtGeostationaryDistance) {
  struct Case {
    double x_sm, dbz_want;
  } cases[] = {{-6.6, -18.5}, {6.6, 11.3}};
  for (const Case& k : cases) {
    Call with, without;
    for (Call* c : {&with, &without}) {
      c->iyr = 2005;
      c->idoy = 80;
      c->ut = 10.5 * 3600.0;
      c->sysaxes = 4;
      c->x[0] = k.x_sm;
      c->x[1] = 0.0;
      c->x[2] = 0.0;
    }
    with.kext = 5;
    with.run();
    without.run();
    ASSERT_LT(std::fabs(kest::dip_ang.tilt), 3.0);  // near-zero tilt at this time
    double ext[3] = {with.b[0] - without.b[0], with.b[1] - without.b[1], with.b[2] - without.b[2]};
    double ext_sm[3];
    geo_sm_(ext, ext_sm);
    EXPECT_NEAR(ext_sm[2], k.dbz_want, 1.0);  // tilt below 3 degrees changes it by less
    EXPECT_LT(std::fabs(ext_sm[1]), 0.5);
  }
}

// A point beyond the model's region, inputs outside the validity range, or an
// unknown position code give the fill value in all four outputs, also after
// a successful call left numbers in them.
TEST(GetField, RefusalsGiveFill) {
  Call c;
  c.kext = 5;
  c.run();
  ASSERT_NE(c.blocal, kFill);
  c.x[0] = 20.0;
  c.x[1] = 0.0;
  c.x[2] = 0.0;
  c.run();
  EXPECT_EQ(c.b[0], kFill);
  EXPECT_EQ(c.b[1], kFill);
  EXPECT_EQ(c.b[2], kFill);
  EXPECT_EQ(c.blocal, kFill);
  // kext 0 has no limit.
  c.kext = 0;
  c.run();
  EXPECT_NE(c.blocal, kFill);
  EXPECT_GT(c.blocal, 0.0);

  Call t96;
  t96.kext = 7;
  t96.maginput[1] = 30.0;  // Dst beyond 20 nT
  t96.maginput[4] = 2.0;
  t96.run();
  EXPECT_EQ(t96.b[0], kFill);
  EXPECT_EQ(t96.blocal, kFill);

  Call bad;
  bad.sysaxes = 9;
  bad.run();
  EXPECT_EQ(bad.b[2], kFill);
  EXPECT_EQ(bad.blocal, kFill);
}

// Position systems: GEO is passed through unchanged; geodetic (altitude,
// latitude, longitude) and radius/geodetic latitude give the same point as
// their GEO conversion; the caller's position is left as given.
TEST(GetField, PositionSystems) {
  const double lat = 37.5, lon = -112.25, alt = 5000.0;
  double x, y, z;
  double la = lat, lo = lon, al = alt;
  gdz_geo_(&la, &lo, &al, &x, &y, &z);
  Call geo;
  geo.x[0] = x;
  geo.x[1] = y;
  geo.x[2] = z;
  geo.run();
  Call gdz;
  gdz.sysaxes = 0;
  gdz.x[0] = alt;
  gdz.x[1] = lat;
  gdz.x[2] = lon;
  gdz.run();
  for (int k = 0; k < 3; ++k) EXPECT_EQ(gdz.b[k], geo.b[k]);

  // RLL: radius in Earth radii with the geodetic latitude.
  double r = 2.7, rr = 2.7, h;
  la = lat;
  lo = lon;
  rll_gdz_(&rr, &la, &lo, &h);
  gdz_geo_(&la, &lo, &h, &x, &y, &z);
  geo.x[0] = x;
  geo.x[1] = y;
  geo.x[2] = z;
  geo.run();
  Call rll;
  rll.sysaxes = 8;
  rll.x[0] = r;
  rll.x[1] = lat;
  rll.x[2] = lon;
  rll.run();
  rll.run();  // a second call with the same arguments gives the same field
  EXPECT_EQ(rll.x[0], r);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(rll.b[k], geo.b[k]);
}

// The field is a function of the point alone: a pole reached at any
// longitude, or a hair (1e-12 degree) from it, and a meridian named by
// longitudes 360 degrees apart, give the same GEO vector, for each position
// system that takes a latitude and longitude and each internal model. (The
// horizontal components in the local frame turn with the longitude at a
// pole; the GEO vector does not.) A wrap into the wrong quadrant or a pole
// placed off the axis moves B by hundreds to thousands of nT; the same point
// agrees to rounding, 1e-6 nT is far above that. The fixed-epoch models
// refuse the polar axis itself and are checked at the wraps only.
TEST(GetField, SamePointSameVectorAtPolesAndLongitudeWraps) {
  struct System {
    int sysaxes;
    double x1;  // altitude km (GDZ) or radius Earth radii (SPH, RLL)
  } systems[] = {{0, 0.0}, {0, 800.0}, {7, 1.0}, {7, 3.2}, {8, 1.05}};
  auto field = [](int kint, const System& s, double lat, double lon, double* b) {
    Call c;
    c.options[4] = kint;
    c.sysaxes = s.sysaxes;
    c.x[0] = s.x1;
    c.x[1] = lat;
    c.x[2] = lon;
    c.run();
    for (int i = 0; i < 3; ++i) b[i] = c.b[i];
    return c.blocal;
  };
  for (const System& s : systems) {
    for (int kint = 0; kint <= 1; ++kint)
      for (double pole : {90.0, -90.0}) {
        double ref[3];
        ASSERT_NE(field(kint, s, pole, 0.0, ref), kFill);
        const double hair = pole > 0.0 ? pole - 1e-12 : pole + 1e-12;
        for (double lat : {pole, hair})
          for (double lon : {0.0, 45.0, 180.0, -180.0, 270.0, 360.0, -360.0, 1e-12}) {
            double b[3];
            field(kint, s, lat, lon, b);
            for (int i = 0; i < 3; ++i)
              EXPECT_NEAR(b[i], ref[i], 1e-6) << s.sysaxes << " kint " << kint << " " << lat << " " << lon;
          }
      }
    const double wraps[][2] = {{0.0, 360.0}, {0.0, -360.0}, {180.0, -180.0}, {90.0, -270.0}, {-90.0, 270.0}};
    for (int kint = 0; kint <= 3; ++kint)
      for (double lat : {37.5, -62.0})
        for (const auto& w : wraps) {
          double a[3], b[3];
          ASSERT_NE(field(kint, s, lat, w[0], a), kFill);
          field(kint, s, lat, w[1], b);
          for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(b[i], a[i], 1e-6) << s.sysaxes << " kint " << kint << " " << lat << " " << w[0];
        }
  }
}

// The entry forwards its addresses to the core and returns 9.9; the count is
// ignored.
TEST(GetField, ArgumentVectorEntry) {
  Call c, e;
  c.kext = e.kext = 5;
  c.run();
  void* argv[12] = {&e.kext, e.options, &e.sysaxes, &e.iyr, &e.idoy, &e.ut,
                    &e.x[0], &e.x[1],   &e.x[2],    e.maginput, e.b, &e.blocal};
  EXPECT_EQ(get_field_(0, argv), 9.9f);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(e.b[k], c.b[k]);
  EXPECT_EQ(e.blocal, c.blocal);
}

}  // namespace
