// Invariances of the field and L* cores that hold whatever model is chosen:
//   - one physical point gives the same results in each position system 0-8
//     (the set-up turns each into the same GEO point at the same instant);
//   - each external model reads only its own magnetic inputs: the other
//     slots, and drivers another model left behind, change nothing;
//   - a series of unrelated times gives for each time exactly what that time
//     gives alone, apart from the drift-shell memory of make_lstar1_'s L*.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/magcoords_state.hpp"
#include "restore.hpp"

namespace {

constexpr double kFill = -1.0e31;

// Geodetic altitude (km), latitude and longitude (degrees) of a GEO point in
// Earth radii of 6371.2 km on the WGS84 ellipsoid, iterated to convergence
// (Bowring's latitude update), independent of the library's conversion.
void exact_geodetic(const double* x, double& alt, double& lat, double& lon) {
  const double re = 6371.2, a = 6378.137, b = 6356.752314;
  const double e2 = 1.0 - (b * b) / (a * a);
  const double X = x[0] * re, Y = x[1] * re, Z = x[2] * re, p = std::hypot(X, Y);
  const double deg = 45.0 / std::atan(1.0);
  double phi = std::atan2(Z, p * (1.0 - e2)), h = 0.0;
  for (int i = 0; i < 60; ++i) {
    const double n = a / std::sqrt(1.0 - e2 * std::sin(phi) * std::sin(phi));
    h = p / std::cos(phi) - n;
    phi = std::atan2(Z, p * (1.0 - e2 * n / (n + h)));
  }
  alt = h;
  lat = phi * deg;
  lon = std::atan2(Y, X) * deg;
}

// The GEO point as the triple of position system s (0 to 8).
void position_in(int s, const double* xgeo, int iyr, int idoy, double ut, double* xs) {
  const double deg = 45.0 / std::atan(1.0);
  const double r = std::sqrt(xgeo[0] * xgeo[0] + xgeo[1] * xgeo[1] + xgeo[2] * xgeo[2]);
  double alt, lat, lon;
  exact_geodetic(xgeo, alt, lat, lon);
  switch (s) {
    case 0:
      xs[0] = alt, xs[1] = lat, xs[2] = lon;
      return;
    case 7:  // radius, geocentric latitude, longitude
      xs[0] = r, xs[1] = std::asin(xgeo[2] / r) * deg, xs[2] = lon;
      return;
    case 8:  // radius, geodetic latitude, longitude
      xs[0] = r, xs[1] = lat, xs[2] = lon;
      return;
    default: {  // the rotations of the frame at the instant
      double xin[3] = {xgeo[0], xgeo[1], xgeo[2]};
      int geo = 1, out = s;
      coord_trans1_(&geo, &out, &iyr, &idoy, &ut, xin, xs);
    }
  }
}

struct Instant {
  int iyr = 2004, idoy = 123;
  double ut = 37845.5;
};

// What the one-point cores give at a point, in one vector: the field of
// get_field1_, the equator of find_magequator1_, and Lm, L*, Blocal, Bmin, I
// and MLT of make_lstar1_.
struct Results {
  double b[4];      // Bx, By, Bz, |B| (GEO, nT)
  double eq[4];     // Bmin, equator x, y, z
  double lstar[6];  // Lm, L*, Blocal, Bmin, I, MLT
};

Results results_at(int kext, double* maginput, int sysaxes, const double* x, Instant t) {
  Results r{};
  int options[5] = {1, 0, 0, 0, 0};
  double x1 = x[0], x2 = x[1], x3 = x[2];
  get_field1_(&kext, options, &sysaxes, &t.iyr, &t.idoy, &t.ut, &x1, &x2, &x3, maginput, r.b, &r.b[3]);
  find_magequator1_(&kext, options, &sysaxes, &t.iyr, &t.idoy, &t.ut, &x1, &x2, &x3, maginput, &r.eq[0],
                    &r.eq[1]);
  int n = 1;
  double* l = r.lstar;
  make_lstar1_(&n, &kext, options, &sysaxes, &t.iyr, &t.idoy, &t.ut, &x1, &x2, &x3, maginput, &l[0], &l[1],
               &l[2], &l[3], &l[4], &l[5]);
  return r;
}

// One point (3.7 Earth radii, evening side, 18 degrees north) given in each
// of the nine position systems, under the Kp-driven Tsyganenko 1989 model
// (a GSM model, so the tilt of the instant matters). The field entry works on
// the GEO point: every system gives its field to the rounding of the
// conversions. The tracing cores work on the geodetic point: systems 1 to 7
// reach it through the library's GEO-to-geodetic conversion, whose stopping
// rule leaves up to some 0.1 km of altitude, while 0 and 8 are handed the
// converged geodetic point here; they agree to that 0.1 km (a few parts in
// 10^5 of the field at 3.7 Earth radii).
TEST(PositionSystems, EveryCoreSeesTheSamePointInEverySystem) {
  kest_test::Restore guard(kest::flag_l, kest::calotte);
  const Instant t;
  const double xgeo[3] = {-2.385, -2.61, 1.173};
  double m[25] = {};
  m[0] = 23.0;  // Kp 2+
  const Results geo = results_at(4, m, 1, xgeo, t);
  ASSERT_NE(geo.lstar[1], kFill);
  ASSERT_NE(geo.eq[0], kFill);
  for (int s = 0; s <= 8; ++s) {
    double xs[3];
    position_in(s, xgeo, t.iyr, t.idoy, t.ut, xs);
    const Results r = results_at(4, m, s, xs, t);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(r.b[k], geo.b[k], 1e-9 * geo.b[3]) << "system " << s << " B" << k;
    const double tol = (s == 0 || s == 8) ? 5e-5 : 1e-9;
    EXPECT_NEAR(r.eq[0], geo.eq[0], tol * geo.eq[0]) << "system " << s;
    for (int k = 1; k < 4; ++k) EXPECT_NEAR(r.eq[k], geo.eq[k], tol * 4.0) << "system " << s << " equator " << k;
    for (int k = 0; k < 5; ++k)
      EXPECT_NEAR(r.lstar[k], geo.lstar[k], tol * std::fabs(geo.lstar[k])) << "system " << s << " output " << k;
    EXPECT_NEAR(r.lstar[5], geo.lstar[5], tol * 24.0) << "system " << s << " MLT";
  }
}

// Magnetic inputs (slots 1 to 25) read by each external code: 1 Kp x 10,
// 2 Dst, 3 density, 4 speed, 5 dynamic pressure, 6 IMF By, 7 IMF Bz, 8-10
// G1-G3, 11-16 W1-W6, 17 AL.
const std::vector<int>& slots_read(int kext) {
  static const std::vector<int> table[13] = {
      {},                                         // 0 no external field
      {1},                                        // 1 Mead
      {1},                                        // 2 Tsyganenko 1987 short tail
      {1},                                        // 3 Tsyganenko 1987 long tail
      {1},                                        // 4 Tsyganenko 1989
      {},                                         // 5 Olson-Pfitzer quiet
      {2, 3, 4},                                  // 6 Olson-Pfitzer dynamic
      {2, 5, 6, 7},                               // 7 Tsyganenko 1996
      {1, 2, 5, 7},                               // 8 Ostapenko-Maltsev 1997
      {2, 5, 6, 7, 8, 9},                         // 9 Tsyganenko 2001
      {2, 5, 6, 7, 9, 10},                        // 10 Tsyganenko 2001 storm form
      {2, 5, 6, 7, 11, 12, 13, 14, 15, 16},       // 11 Tsyganenko 2004 storm
      {2, 3, 4, 7, 17},                           // 12 Alexeev 2000
  };
  return table[kext];
}

// Two sets of inputs, each inside every model's validity range.
constexpr double kInputsA[25] = {23,  -30, 8,   420, 2.1, 1.3, -2.2, 3.1, 4.2, 5.3, 0.4, 0.5, 0.6,
                                 0.7, 0.8, 0.9, -150, 11, 12, 13, 14, 15, 16, 17, 18};
constexpr double kInputsB[25] = {41,  -45, 12,  370, 3.3, -2.4, 1.7, 5.5, 6.6, 7.7, 0.9, 1.1, 1.2,
                                 1.3, 1.4, 1.5, -400, -1, -2, -3, -4, -5, -6, -7, -8};

// The field at three points (3.7, 7 and 9.5 Earth radii; inside every
// model's region) as raw values.
std::vector<double> fields(int kext, const double* m) {
  static const double pts[3][3] = {{-2.385, -2.61, 1.173}, {6.1, -3.2, -1.4}, {-8.7, 1.9, 2.6}};
  std::vector<double> v;
  for (const auto& p : pts) {
    int options[5] = {0, 0, 0, 0, 0}, sysaxes = 1, iyr = 2004, idoy = 123;
    double ut = 37845.5, x1 = p[0], x2 = p[1], x3 = p[2], b[3], bl;
    double in[25];
    std::memcpy(in, m, sizeof in);
    get_field1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, in, b, &bl);
    v.insert(v.end(), {b[0], b[1], b[2], bl});
  }
  return v;
}

bool bit_identical(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// For every external code: the slots it does not read, given other values or
// not-a-number, and driver records that another model has just filled with
// other values, leave the field bit-identical; each slot it reads, changed
// alone, changes the field.
TEST(ModelInputs, EachModelReadsOnlyItsOwnInputs) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int kext = 0; kext <= 12; ++kext) {
    const std::vector<double> ref = fields(kext, kInputsA);
    ASSERT_NE(ref[3], kFill) << "code " << kext;
    const std::vector<int>& used = slots_read(kext);
    for (bool not_a_number : {false, true}) {
      double m[25];
      std::memcpy(m, kInputsA, sizeof m);
      for (int n = 1; n <= 25; ++n)
        if (std::find(used.begin(), used.end(), n) == used.end()) m[n - 1] = not_a_number ? nan : kInputsB[n - 1];
      for (int before = 0; before <= 12; ++before) {
        fields(before, kInputsB);  // the drivers of another model, with other values
        EXPECT_TRUE(bit_identical(fields(kext, m), ref)) << "code " << kext << " after code " << before;
      }
    }
    for (int n : used) {
      double m[25];
      std::memcpy(m, kInputsA, sizeof m);
      m[n - 1] = kInputsB[n - 1];
      const std::vector<double> changed = fields(kext, m);
      EXPECT_NE(changed[3], kFill) << "code " << kext << " slot " << n;
      EXPECT_FALSE(bit_identical(changed, ref)) << "code " << kext << " slot " << n << " not read";
    }
  }
}

// A series of unrelated times (years back and forth, so the internal-field
// epoch changes; the Kp class changes from time to time; GSM positions, so
// each time's own axes place its point) through the array cores. The shell
// splitting starts every pitch angle's drift shell afresh, so each time gives
// bit for bit what it gives alone, L* included; make_lstar1_ does so for
// everything but L*, which each time seeds from the shell of the time before.
TEST(TimeSeries, EachTimeGivesWhatItGivesAlone) {
  kest_test::Restore guard(kest::flag_l, kest::calotte);
  constexpr int kN = 5;
  int iyr[kN] = {2004, 1987, 2004, 2010, 1999}, idoy[kN] = {123, 300, 40, 200, 17};
  double ut[kN] = {37845.5, 80000.0, 50000.0, 3600.25, 61000.0};
  const double xgsm[kN][3] = {{-2.4, -2.6, 1.2}, {3.1, 2.2, -0.9}, {-4.4, 1.0, 0.7}, {0.9, -4.9, -1.1},
                              {2.0, -1.7, 0.4}};
  double x1[kN], x2[kN], x3[kN], m[25 * kN] = {};
  for (int i = 0; i < kN; ++i) {
    x1[i] = xgsm[i][0], x2[i] = xgsm[i][1], x3[i] = xgsm[i][2];
    m[25 * i] = 7.0 + 13.0 * i;  // Kp x 10: classes 2 to 6
  }
  int kext = 4, sysaxes = 2, n = kN, nipa = 2;
  double alpha[2] = {90.0, 35.0};

  std::vector<double> lm(2 * 100000), lstar(2 * 100000), bmirr(2 * 100000), xj(2 * 100000);
  double bmin[kN], mlt[kN];
  int options[5] = {1, 0, 0, 0, 0};
  make_lstar_shell_splitting1_(&n, &nipa, &kext, options, &sysaxes, iyr, idoy, ut, x1, x2, x3, alpha, m, lm.data(),
                               lstar.data(), bmirr.data(), bmin, xj.data(), mlt);
  double series[6][kN];
  make_lstar1_(&n, &kext, options, &sysaxes, iyr, idoy, ut, x1, x2, x3, m, series[0], series[1], series[2],
               series[3], series[4], series[5]);

  for (int i = 0; i < kN; ++i) {
    int one = 1;
    std::vector<double> lm1(2 * 100000), lstar1(2 * 100000), bmirr1(2 * 100000), xj1(2 * 100000);
    double bmin1, mlt1;
    make_lstar_shell_splitting1_(&one, &nipa, &kext, options, &sysaxes, &iyr[i], &idoy[i], &ut[i], &x1[i], &x2[i],
                                 &x3[i], alpha, &m[25 * i], lm1.data(), lstar1.data(), bmirr1.data(), &bmin1,
                                 xj1.data(), &mlt1);
    EXPECT_EQ(bmin1, bmin[i]) << "time " << i;
    EXPECT_EQ(mlt1, mlt[i]) << "time " << i;
    for (int k = 0; k < nipa; ++k) {
      const int j = 100000 * k;
      ASSERT_NE(lstar1[j], kFill) << "time " << i << " pitch angle " << alpha[k];
      EXPECT_EQ(lm1[j], lm[j + i]) << "time " << i << " pitch angle " << alpha[k];
      EXPECT_EQ(lstar1[j], lstar[j + i]) << "time " << i << " pitch angle " << alpha[k];
      EXPECT_EQ(bmirr1[j], bmirr[j + i]) << "time " << i << " pitch angle " << alpha[k];
      EXPECT_EQ(xj1[j], xj[j + i]) << "time " << i << " pitch angle " << alpha[k];
    }
    double alone[6];
    make_lstar1_(&one, &kext, options, &sysaxes, &iyr[i], &idoy[i], &ut[i], &x1[i], &x2[i], &x3[i], &m[25 * i],
                 &alone[0], &alone[1], &alone[2], &alone[3], &alone[4], &alone[5]);
    for (int k : {0, 2, 3, 4, 5}) EXPECT_EQ(alone[k], series[k][i]) << "time " << i << " output " << k;
    EXPECT_NEAR(alone[1], series[1][i], 0.02 * alone[1]) << "time " << i;
  }
}

}  // namespace
