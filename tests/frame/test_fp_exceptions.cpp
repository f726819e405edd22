// Valid input raises no invalid-operation, division-by-zero or overflow
// exception: hosts that trap those three (gfortran -ffpe-trap, or
// feenableexcept in C) can call the library. The flags are read with
// fetestexcept rather than trapped, so that a regression fails as a test.
// The rows span the subsystems and include the points that once raised a
// flag: the Alexeev 2000 region-1 field on the SM axis (a cosine rounded
// above 1) and the Olson-Pfitzer dynamic magnetopause field on its pole at
// x = 15, reached by an L* trace from the night side.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "kest.h"

namespace {

constexpr int kTrapped = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

std::string names(int f) {
  std::string s;
  if (f & FE_INVALID) s += " invalid";
  if (f & FE_DIVBYZERO) s += " division-by-zero";
  if (f & FE_OVERFLOW) s += " overflow";
  return s;
}

// Runs one call with clear flags and returns the trapped ones it raised.
int raised(const std::function<void()>& call) {
  std::feclearexcept(FE_ALL_EXCEPT);
  call();
  return std::fetestexcept(kTrapped);
}

// Magnetic inputs of one time: Kp x 10, Dst, density, speed, Pdyn, By, Bz,
// G1..G3, W1..W6, AL, each inside the ranges the set-up admits.
std::vector<double> maginput(double kp10, double dst, double dens, double vel, double pdyn, double by,
                             double bz) {
  std::vector<double> m(25, 0.0);
  m[0] = kp10, m[1] = dst, m[2] = dens, m[3] = vel, m[4] = pdyn, m[5] = by, m[6] = bz;
  m[7] = 1.0, m[8] = 3.0, m[9] = 5.0;
  for (int k = 10; k < 16; ++k) m[k] = 0.5;
  m[16] = -100.0;
  return m;
}

struct Point {
  int kext, sysaxes, iyr, idoy;
  double ut, x[3];
  std::vector<double> mag;
};

struct Row {
  std::string what;
  std::function<void()> call;
};

TEST(FpExceptions, ValidInputRaisesNoTrappedFlag) {
  // Field points: every external model on the SM and GSM axes and in the
  // planes of symmetry, and the Alexeev point on the SM axis at 1.75 Earth
  // radii whose cosine of colatitude rounds above 1 in single precision.
  std::vector<Point> field = {
      {12, 4, 2001, 177, 72204.0, {0.0, 0.0, 1.75}, maginput(0, -50, 5, 300, 0.5, -5, -5)},
      {12, 4, 2001, 177, 72204.0, {0.0, 0.0, -3.5}, maginput(0, -50, 5, 300, 0.5, -5, -5)},
  };
  const double axes[][3] = {{0, 0, 2.385}, {0, 0, -6.6}, {4.2, 0, 0}, {-8.9, 0, 0}, {0, 5.1, 0},
                            {1.173, 0, 1.6}, {3.0, -2.0, 0}};
  for (int kext = 0; kext <= 12; ++kext)
    for (int sys : {2, 4})
      for (const auto& a : axes)
        field.push_back({kext, sys, 2003, 120, 43200.0, {a[0], a[1], a[2]}, maginput(23, -20, 10, 400, 2, 2, -2)});

  std::vector<Row> rows;
  for (Point& p : field)
    rows.push_back({"get_field1_ kext " + std::to_string(p.kext) + " sys " + std::to_string(p.sysaxes) + " at (" +
                        std::to_string(p.x[0]) + ", " + std::to_string(p.x[1]) + ", " + std::to_string(p.x[2]) + ")",
                    [&p] {
                      int options[5] = {0, 0, 0, 0, 0};
                      double b[3], bl;
                      get_field1_(&p.kext, options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                                  p.mag.data(), b, &bl);
                    }});

  // L* with the Olson-Pfitzer dynamic model from 9 Earth radii on the night
  // side: the trace meets the magnetopause field's pole at x = 15 exactly.
  Point night{6, 1, 1965, 1, 0.0, {-9.0, 0.0, 0.0}, maginput(90, 10, 15, 480, 0.8, -4, -4)};
  rows.push_back({"make_lstar1_ kext 6 at (-9, 0, 0)", [&night] {
                    int n = 1, options[5] = {1, 0, 0, 0, 0};
                    double lm, lstar, blocal, bmin, xj, mlt;
                    make_lstar1_(&n, &night.kext, options, &night.sysaxes, &night.iyr, &night.idoy, &night.ut,
                                 &night.x[0], &night.x[1], &night.x[2], night.mag.data(), &lm, &lstar, &blocal, &bmin,
                                 &xj, &mlt);
                  }});

  // Frames, including the poles and the centre of the geodetic conversion.
  rows.push_back({"coord_trans1_ between all systems at the GEO pole", [] {
                    for (int a = 1; a <= 7; ++a)
                      for (int b = 0; b <= 11; ++b) {
                        int in = a, out = b, iyr = 2004, idoy = 75;
                        double ut = 3600.0, xin[3] = {0.0, 0.0, 2.0}, xout[3];
                        if (a == 7) xin[0] = 2.0, xin[1] = 90.0, xin[2] = 0.0;  // r, lat, lon
                        coord_trans1_(&in, &out, &iyr, &idoy, &ut, xin, xout);
                      }
                  }});
  rows.push_back({"gdz_geo_ and geo_gdz_ at the poles", [] {
                    for (double lat : {-90.0, 90.0}) {
                      double la = lat, lo = 0.0, alt = 0.0, x, y, z, la2, lo2, alt2;
                      gdz_geo_(&la, &lo, &alt, &x, &y, &z);
                      geo_gdz_(&x, &y, &z, &la2, &lo2, &alt2);
                    }
                  }});
  // Trapped particles, orbits, atmospheres.
  rows.push_back({"get_ae8_ap8_flux_ over the maps' edges", [] {
                    static double flux[100000 * 25];
                    for (int whichm = 1; whichm <= 4; ++whichm)
                      for (int whatf = 1; whatf <= 3; ++whatf)
                        for (double l : {1.0, 1.2, 3.0, 6.6, 11.0})
                          for (double bb : {1.0, 1.5, 100.0}) {
                            int n = 1, m = whichm, f = whatf, ne = 2;
                            double e[4] = {0.1, 0.5, 1.0, 3.0}, bbo = bb, lm = l;
                            get_ae8_ap8_flux_(&n, &m, &f, &ne, e, &bbo, &lm, flux);
                          }
                  }});
  rows.push_back({"sgp4init_ and sgp4_ on a deep-space orbit, all gravity sets", [] {
                    for (int g : {721, 72, 84}) {
                      int grav = g, satn = 9880, err = 0;
                      double bstar = 1.0e-4, ecc = 0.7069051, epoch = 20630.56157475;
                      double argp = 4.7128, incl = 1.1274, mo = 0.28505, no = 2.00813614 * 2 * M_PI / 1440.0,
                             node = 6.0978;
                      sgp4init_(&grav, &satn, &bstar, &ecc, &epoch, &argp, &incl, &mo, &no, &node, &err);
                      for (double t = 0.0; t <= 2880.0; t += 360.0) {
                        double r[3], v[3];
                        sgp4_(&grav, &t, r, v, &err);
                      }
                    }
                  }});
  rows.push_back({"nrlmsise00_, msise90_, msis86_ from the ground to 1000 km", [] {
                    for (double alt : {0.0, 72.5, 90.0, 120.0, 400.0, 1000.0}) {
                      int n = 1, which = 1, doy = 172;
                      double ut = 29000.0, a = alt, lat = 60.0, lon = -70.0, f107a = 150.0, f107 = 150.0;
                      double ap[7] = {4, 4, 4, 4, 4, 4, 4}, d[9], t[2];
                      nrlmsise00_(&n, &which, &doy, &ut, &a, &lat, &lon, &f107a, &f107, ap, d, t);
                      msise90_(&n, &which, &doy, &ut, &a, &lat, &lon, &f107a, &f107, ap, d, t);
                      if (alt >= 85.0) msis86_(&n, &which, &doy, &ut, &a, &lat, &lon, &f107a, &f107, ap, d, t);
                    }
                  }});

  rows.push_back({"asinh_ of large arguments of either sign", [] {
                    for (double x : {-1.0e8, -3.0e200, 1.0e300}) asinh_(&x);
                  }});

  for (const Row& r : rows) {
    const int f = raised(r.call);
    EXPECT_EQ(f, 0) << r.what << " raised" << names(f);
  }
}

// The magnetopause field's pole term itself: at x = 15 exactly its factor
// 1 / (15 - x) is infinite (hand derivation from the form of the term), and
// the field says so without a division by zero.
TEST(FpExceptions, MagnetopausePoleGivesInfinityWithoutDividingByZero) {
  double x[3] = {15.0, -0.62, 1.12}, b[3];
  EXPECT_EQ(raised([&] { bfmagp_(x, b); }), 0);
  EXPECT_TRUE(std::isinf(b[2]));
  EXPECT_TRUE(std::isfinite(b[0]) && std::isfinite(b[1]));
}

}  // namespace
