// Sun position, sun and dipole axes, Cartesian rotations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "frame/frame_state.hpp"
#include "fresh_process.hpp"
#include "kest/frame.h"
#include "restore.hpp"

namespace {

constexpr double deg = 180.0 / M_PI;

void set_epoch(double year) { init_dtd_(&year); }

double set_instant(int year, int doy, double ut) {
  double psi = 0.0;
  init_gsm_(&year, &doy, &ut, &psi);
  return psi;
}

using Rot = void (*)(double*, double*);

double dist(const double* a, const double* b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                   (a[2] - b[2]) * (a[2] - b[2]));
}

}  // namespace

// Sun at 2000 January 1, 12 h UT, against the low-precision solar
// coordinates of Meeus (Astronomical Algorithms, ch. 25) and the IAU 1982
// sidereal time, evaluated here at T = 0.
TEST(Sun, FirstOfJanuaryNoon) {
  int y = 2000, d = 1;
  double s = 43200.0, gst, slong, ra, dec;
  sun_(&y, &d, &s, &gst, &slong, &ra, &dec);
  const double m = 357.52911 / deg;
  const double lam = 280.46646 + 1.914602 * std::sin(m) + 0.019993 * std::sin(2 * m) +
                     0.000289 * std::sin(3 * m);
  const double eps = 23.439291 / deg;
  const double lam_app = (lam - 0.00569) / deg;  // with aberration
  const double dec_ref = std::asin(std::sin(eps) * std::sin(lam_app)) * deg;
  double ra_ref = std::atan2(std::cos(eps) * std::sin(lam_app), std::cos(lam_app)) * deg;
  if (ra_ref < 0) ra_ref += 360.0;
  EXPECT_NEAR(slong * deg, lam, 0.02);           // about 280.4 degrees
  EXPECT_NEAR(dec * deg, dec_ref, 0.02);         // about -23.0 degrees
  EXPECT_NEAR(ra * deg, ra_ref, 0.02);           // about 281.3 degrees
  EXPECT_NEAR(gst * deg, 280.46061837, 0.02);
  EXPECT_NEAR(slong * deg, 280.0, 1.0);
  EXPECT_NEAR(dec * deg, -23.0, 0.5);
}

TEST(Sun, YearsOutsideEphemerisLeaveOutputs) {
  for (int y : {1900, 2100, 0, -5}) {
    int d = 100;
    double s = 1000.0, o[4] = {1.5, -2.5, 3.5, -4.5};
    sun_(&y, &d, &s, &o[0], &o[1], &o[2], &o[3]);
    EXPECT_EQ(o[0], 1.5);
    EXPECT_EQ(o[1], -2.5);
    EXPECT_EQ(o[2], 3.5);
    EXPECT_EQ(o[3], -4.5);
  }
}

TEST(InitGsm, OutsideYearsBeforeAnyEphemerisUseDefaultSun) {
  if (kest_test::rerun_alone_unless_first()) return;
  set_epoch(2005.0);
  const double psi = set_instant(2100, 50, 3600.0);
  EXPECT_EQ(kest::soleil.sun_dir[0], 1.0);
  EXPECT_EQ(kest::soleil.sun_dir[1], 0.0);
  EXPECT_EQ(kest::soleil.sun_dir[2], 0.0);
  EXPECT_EQ(kest::soleil.cos_gst, 1.0);
  EXPECT_EQ(kest::soleil.sin_gst, 0.0);
  const kest::Dipigrf& d = kest::dipigrf;
  EXPECT_DOUBLE_EQ(psi, std::asin(d.sin_th * d.cos_ph));
}

TEST(InitGsm, OutsideYearsKeepLastSunWithCurrentDipole) {
  set_epoch(2005.0);
  set_instant(2003, 200, 5000.0);
  const kest::Soleil s0 = kest::soleil;
  set_epoch(1965.0);  // another dipole
  const double psi = set_instant(1850, 10, 100.0);
  EXPECT_EQ(std::memcmp(&s0, &kest::soleil, sizeof s0), 0);
  const kest::Dipigrf& d = kest::dipigrf;
  const double geo_axis[3] = {d.sin_th * d.cos_ph, d.sin_th * d.sin_ph, d.cos_th};
  double gei_axis[3];
  geo_gei_(const_cast<double*>(geo_axis), gei_axis);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(kest::sundip.dip[i], gei_axis[i], 1e-15);
  EXPECT_NEAR(psi, std::asin(gei_axis[0] * s0.sun_dir[0] + gei_axis[1] * s0.sun_dir[1] +
                             gei_axis[2] * s0.sun_dir[2]), 1e-15);
}

// A time of day that is not a number gives axes that are not numbers for its
// own call only: a later instant outside the ephemeris' years takes the sun
// of the last finite call, as if the bad call had not been made.
TEST(InitGsm, NonFiniteTimeIsNotKeptForOutsideYears) {
  set_epoch(2005.0);
  set_instant(2003, 200, 5000.0);
  const kest::Soleil s0 = kest::soleil;
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    set_instant(2003, 201, bad);
    EXPECT_TRUE(std::isnan(kest::soleil.sun_dir[0]));
    set_instant(2100, 10, 100.0);
    EXPECT_EQ(std::memcmp(&s0, &kest::soleil, sizeof s0), 0);
  }
}

// Before any internal field is set up the dipole record is all zero: there is
// no axis, so the GSM and SM axes are not numbers, and the tilt must not be
// a number either (a tilt of 0 would pass for an untilted dipole and drive a
// magnetospheric model as one).
TEST(InitGsm, NoInternalFieldGivesATiltThatIsNotANumber) {
  kest_test::Restore guard(kest::dipigrf, kest::soleil, kest::sundip);
  kest::dipigrf = kest::Dipigrf{};
  const double psi = set_instant(2003, 200, 5000.0);
  EXPECT_TRUE(std::isnan(psi)) << psi;
  EXPECT_TRUE(std::isnan(kest::sundip.ygsm[0]));
  EXPECT_TRUE(std::isnan(kest::sundip.xsm[2]));
}

// Near the solstices, over one day, the tilt reaches the axis colatitude
// plus the sun's declination (the obliquity, 23.44 degrees), with the sign of
// the season.
TEST(InitGsm, TiltNearSolstices) {
  set_epoch(2005.5);
  const double th = std::acos(kest::dipigrf.cos_th);
  const double obliquity = 23.4393 / deg;
  double hi = -10, lo = 10, ut_hi = 0, ut_lo = 0;
  for (int k = 0; k < 1440; ++k) {
    const double p = set_instant(2005, 172, 60.0 * k);
    if (p > hi) { hi = p; ut_hi = 60.0 * k; }
    const double q = set_instant(2005, 355, 60.0 * k);
    if (q < lo) { lo = q; ut_lo = 60.0 * k; }
  }
  EXPECT_NEAR(hi, th + obliquity, 0.003);
  EXPECT_NEAR(lo, -(th + obliquity), 0.003);
  EXPECT_NEAR(hi, 0.59, 0.02);
  // The northern pole (near 72 W) faces the sun near 16.8 h UT in June; the
  // December minimum comes half a day earlier.
  EXPECT_NEAR(ut_hi / 3600.0, 16.8, 0.3);
  EXPECT_NEAR(ut_lo / 3600.0, 4.8, 0.3);
}

class Frames : public testing::Test {
 protected:
  void SetUp() override {
    set_epoch(2003.3);
    psi_ = set_instant(2003, 100, 3723.5);
  }
  double psi_ = 0.0;
};

TEST_F(Frames, AxesAreOrthonormal) {
  const double* ax[4] = {kest::sundip.dip, kest::sundip.ygsm, kest::sundip.zgsm, kest::sundip.xsm};
  const double* s = kest::soleil.sun_dir;
  auto dot = [](const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
  for (const double* a : ax) EXPECT_NEAR(dot(a, a), 1.0, 1e-14);
  EXPECT_NEAR(dot(s, s), 1.0, 1e-14);
  EXPECT_NEAR(dot(s, kest::sundip.ygsm), 0.0, 1e-14);
  EXPECT_NEAR(dot(s, kest::sundip.zgsm), 0.0, 1e-14);
  EXPECT_NEAR(dot(kest::sundip.dip, kest::sundip.xsm), 0.0, 1e-14);
  EXPECT_NEAR(dot(kest::sundip.dip, kest::sundip.ygsm), 0.0, 1e-14);
}

TEST_F(Frames, EveryRotationRoundTrips) {
  const struct { Rot fwd, back; const char* name; } pairs[] = {
      {geo_gei_, gei_geo_, "gei"}, {geo_gsm_, gsm_geo_, "gsm"}, {geo_sm_, sm_geo_, "sm"},
      {gsm_sm_, sm_gsm_, "gsm_sm"}, {geo_mag_, mag_geo_, "mag"}, {geo_gse_, gse_geo_, "gse"},
  };
  const double vecs[3][3] = {{2.385, -0.61, 1.173}, {-0.3, 4.2, -7.7}, {1.0, 0.0, 0.0}};
  for (const auto& p : pairs) {
    for (const auto& v0 : vecs) {
      double v[3] = {v0[0], v0[1], v0[2]}, a[3], b[3];
      p.fwd(v, a);
      p.back(a, b);
      EXPECT_LT(dist(v, b), 1e-12 * 8) << p.name;
      p.back(v, a);
      p.fwd(a, b);
      EXPECT_LT(dist(v, b), 1e-12 * 8) << p.name;
      // In place.
      double w[3] = {v0[0], v0[1], v0[2]};
      p.fwd(w, w);
      p.fwd(v, a);
      EXPECT_EQ(std::memcmp(w, a, sizeof w), 0) << p.name;
    }
  }
}

TEST_F(Frames, SmToGsmOfZAxisIsTilted) {
  double z[3] = {0, 0, 1}, out[3];
  sm_gsm_(z, out);
  EXPECT_NEAR(out[0], std::sin(psi_), 1e-14);
  EXPECT_NEAR(out[1], 0.0, 1e-14);
  EXPECT_NEAR(out[2], std::cos(psi_), 1e-14);
}

TEST_F(Frames, GeoSmThenSmGsmIsGeoGsm) {
  double v[3] = {-1.7, 0.45, 2.9}, a[3], b[3], c[3];
  geo_sm_(v, a);
  sm_gsm_(a, b);
  geo_gsm_(v, c);
  EXPECT_LT(dist(b, c), 1e-14 * 4);
}

TEST_F(Frames, MagAxisIsDipoleAxis) {
  double z[3] = {0, 0, 1}, out[3];
  mag_geo_(z, out);
  const kest::Dipigrf& d = kest::dipigrf;
  EXPECT_NEAR(out[0], d.sin_th * d.cos_ph, 1e-15);
  EXPECT_NEAR(out[1], d.sin_th * d.sin_ph, 1e-15);
  EXPECT_NEAR(out[2], d.cos_th, 1e-15);
  // The MAG y axis lies in the GEO equatorial plane.
  double yv[3] = {0, 1, 0};
  mag_geo_(yv, out);
  EXPECT_EQ(out[2], 0.0);
  // The dipole axis is the SM z axis.
  double ax[3] = {d.sin_th * d.cos_ph, d.sin_th * d.sin_ph, d.cos_th};
  geo_sm_(ax, out);
  EXPECT_NEAR(out[2], 1.0, 1e-14);
}

TEST_F(Frames, SunIsGsmAndGseXAxis) {
  double sun_geo[3], a[3];
  gei_geo_(kest::soleil.sun_dir, sun_geo);
  geo_gsm_(sun_geo, a);
  EXPECT_NEAR(a[0], 1.0, 1e-14);
  EXPECT_NEAR(std::hypot(a[1], a[2]), 0.0, 1e-14);
  geo_gse_(sun_geo, a);
  EXPECT_NEAR(a[0], 1.0, 1e-14);
  // The GSE y axis E x sun is perpendicular to the sun by construction.
  EXPECT_NEAR(a[1], 0.0, 1e-14);
  // The fixed ecliptic pole E = (0, -0.3978, 0.9175) lies 23.4401 degrees
  // from the GEI z axis, the ephemeris' obliquity of 2003 is 23.4389 degrees,
  // and its sun has no ecliptic latitude: the sun is within 0.0012 degree
  // (2.2e-5 rad) of the plane normal to E (by hand).
  EXPECT_NEAR(a[2], 0.0, 2.5e-5);
}
