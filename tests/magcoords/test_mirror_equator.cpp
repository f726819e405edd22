// Mirror points, the magnetic equator, the hemisphere of a point, drift-shell
// splitting, and the argument-vector entries of these cores.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/magcoords_state.hpp"

namespace {

constexpr double kFill = -1.0e31;
constexpr double kPi = 3.14159265358979323846;

double dist(const double* a, const double* b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

struct Point {
  int kext = 0;
  int options[5] = {1, 0, 0, 0, 0};
  int sysaxes = 1;
  int iyr = 2005, idoy = 80;
  double ut = 36000.0;
  double x[3] = {3.1, -2.2, 1.4};
  double maginput[25] = {};
};

struct Mirror {
  double blocal = 0, bmirr = 0, xgeo[3] = {0, 0, 0};
  void find(Point& p, double alpha) {
    find_mirror_point1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                        &alpha, p.maginput, &blocal, &bmirr, xgeo);
  }
};

struct Equator {
  double bmin = 0, xgeo[3] = {0, 0, 0};
  void find(Point& p) {
    find_magequator1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                      p.maginput, &bmin, xgeo);
  }
};

double field_at(Point p, const double* xgeo) {
  p.sysaxes = 1;
  double x[3] = {xgeo[0], xgeo[1], xgeo[2]}, b[3], bl;
  get_field1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &x[0], &x[1], &x[2], p.maginput, b, &bl);
  return bl;
}

int hemi(Point p, const double* x) {
  int h = 99;
  double xx[3] = {x[0], x[1], x[2]};
  get_hemi1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &xx[0], &xx[1], &xx[2], p.maginput, &h);
  return h;
}

TEST(MirrorPoint, NinetyDegreesIsThePointItself) {
  Point p;
  Mirror m;
  m.find(p, 90.0);
  EXPECT_EQ(m.bmirr, m.blocal);
  EXPECT_EQ(m.blocal, field_at(p, p.x));
  for (int k = 0; k < 3; ++k) EXPECT_EQ(m.xgeo[k], p.x[k]);
  // The tracer itself with 90 degrees, where the field grows along the
  // chosen direction, stays at the point too.
  double lat, lon, alt, bl, bm, xm[3], a = 90.0;
  geo_gdz_(&p.x[0], &p.x[1], &p.x[2], &lat, &lon, &alt);
  find_bm_(&lat, &lon, &alt, &a, &bl, &bm, xm);
  EXPECT_EQ(bm, bl);
  EXPECT_NEAR(bl, m.blocal, 1e-5 * bl);
  EXPECT_LT(dist(xm, p.x), 1e-5);
}

TEST(MirrorPoint, MirrorFieldAndSymmetricAngles) {
  Point p;
  for (double alpha : {70.0, 45.0, 30.0}) {
    SCOPED_TRACE(alpha);
    Mirror m, s;
    m.find(p, alpha);
    s.find(p, 180.0 - alpha);
    ASSERT_NE(m.bmirr, kFill);
    const double sa = std::sin(alpha * kPi / 180.0);
    const double target = m.blocal / (sa * sa);
    // The mirror point is the last point below the target, within 1/100 of
    // a step of the crossing.
    EXPECT_LE(m.bmirr, target);
    EXPECT_GT(m.bmirr, target * (1.0 - 2e-3));
    // Bmirr is the field at the point returned.
    EXPECT_NEAR(field_at(p, m.xgeo), m.bmirr, 1e-9 * m.bmirr);
    // Only sin^2 alpha matters.
    EXPECT_NEAR(s.bmirr, m.bmirr, 1e-9 * m.bmirr);
    EXPECT_LT(dist(s.xgeo, m.xgeo), 1e-6);
    // The mirror point lies on the same field line: same equator.
    Equator e0, e1;
    e0.find(p);
    Point q = p;
    for (int k = 0; k < 3; ++k) q.x[k] = m.xgeo[k];
    e1.find(q);
    EXPECT_NEAR(e1.bmin, e0.bmin, 1e-3 * e0.bmin);
  }
}

TEST(MirrorPoint, NoFiniteOrLostMirrorPointGivesFill) {
  Point p;
  // alpha 0: no finite mirror field; 3 degrees: far inside the loss cone of
  // a line through 3.9 Earth radii.
  for (double alpha : {0.0, 180.0, 3.0, 177.0}) {
    SCOPED_TRACE(alpha);
    Mirror m;
    m.find(p, alpha);
    EXPECT_EQ(m.bmirr, kFill);
    for (double v : m.xgeo) EXPECT_EQ(v, kFill);
    // Blocal is the field at the point, reached through the geodetic round
    // trip of the set-up (GEO to geodetic and back moves it by metres).
    EXPECT_NEAR(m.blocal, field_at(p, p.x), 1e-5 * m.blocal);
  }
  // Out-of-range inputs: all five values fill.
  Point q;
  q.kext = 1;
  q.maginput[0] = 95.0;
  Mirror m;
  m.find(q, 45.0);
  EXPECT_EQ(m.blocal, kFill);
  EXPECT_EQ(m.bmirr, kFill);
  for (double v : m.xgeo) EXPECT_EQ(v, kFill);
}

TEST(MagEquator, MinimumOfTheTracedLineAndOfTheLstarCore) {
  Point p;
  Equator e;
  e.find(p);
  ASSERT_NE(e.bmin, kFill);
  // Bmin as the L* core finds it along the same line.
  int n = 1;
  double lm, lstar, blocal, bmin, xj, mlt;
  p.options[0] = 0;
  make_lstar1_(&n, &p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
               p.maginput, &lm, &lstar, &blocal, &bmin, &xj, &mlt);
  EXPECT_NEAR(e.bmin, bmin, 1e-4 * bmin);
  // The field at the position returned is the minimum, and it is where the
  // stored line is weakest.
  EXPECT_NEAR(field_at(p, e.xgeo), e.bmin, 1e-4 * e.bmin);
  std::vector<double> bl(1000), pos(3000);
  int np = 0;
  double lm2, bmin2, xj2;
  trace_field_line1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                     p.maginput, &lm2, bl.data(), &bmin2, &xj2, pos.data(), &np);
  ASSERT_GT(np, 2);
  int kmin = 0;
  for (int k = 1; k < np; ++k)
    if (bl[k] < bl[kmin]) kmin = k;
  const double step = dist(&pos[3], &pos[0]);
  EXPECT_LT(dist(&pos[3 * kmin], e.xgeo), step);
  // The lowest stored value is above the minimum.
  EXPECT_GE(bl[kmin], e.bmin);
}

TEST(MagEquator, PointOnTheEquatorStaysWithinHalfAStep) {
  Point p;
  Equator e;
  e.find(p);
  Point q = p;
  for (int k = 0; k < 3; ++k) q.x[k] = e.xgeo[k];
  Equator f;
  f.find(q);
  const double own = field_at(q, q.x);
  EXPECT_LE(f.bmin, own);
  EXPECT_NEAR(f.bmin, e.bmin, 1e-5 * e.bmin);
  // Half a step of 0.02 Lb, Lb about the radius here.
  const double r = std::sqrt(q.x[0] * q.x[0] + q.x[1] * q.x[1] + q.x[2] * q.x[2]);
  EXPECT_LT(dist(f.xgeo, q.x), 0.5 * 0.02 * 1.1 * r);
}

TEST(MagEquator, RefusedPointGivesFill) {
  Point p;
  p.kext = 5;
  p.x[0] = 16.0;
  Equator e;
  e.find(p);
  EXPECT_EQ(e.bmin, kFill);
  for (double v : e.xgeo) EXPECT_EQ(v, kFill);
}

// Lines over the cusp pass next to a near-null of the Ostapenko-Maltsev 1997
// field (valid drivers, points some 10 Earth radii out at high latitude):
// the parabola through the lowest traced value and its two neighbours
// overshoots below zero there. A field magnitude is never negative: the
// minimum is the fill value (and so are Lm and I when they would be formed
// from it, the point itself being the lowest of the three).
TEST(MagEquator, NoNegativeMinimumNextToANearNull) {
  struct Case {
    const char* what;
    int sysaxes, iyr, idoy;
    double ut, x[3], kp10, dst, pdyn, bz;
  };
  const Case cases[] = {
      {"GSM (4.1, -1.9, 9.2)", 2, 2024, 234, 51339.231146623111,
       {4.1349156833487344, -1.9317173341948228, 9.2169440444487964}, 47.0, 11.589728353257215, 4.4871521627707001,
       1.899667379205578},
      {"MAG (0.6, 1.2, 8.0)", 6, 2010, 100, 46528.50288651255,
       {0.61851983941057198, 1.1550370909154413, 7.9863407078185649}, 9.012458534849376, -46.111519710328636,
       4.7725945718466001, -9.3375133800318881},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Point p;
    p.kext = 8;
    p.options[0] = 0;
    p.sysaxes = c.sysaxes;
    p.iyr = c.iyr;
    p.idoy = c.idoy;
    p.ut = c.ut;
    for (int k = 0; k < 3; ++k) p.x[k] = c.x[k];
    p.maginput[0] = c.kp10;
    p.maginput[1] = c.dst;
    p.maginput[4] = c.pdyn;
    p.maginput[6] = c.bz;
    Equator e;
    e.find(p);
    EXPECT_TRUE(e.bmin == kFill || e.bmin > 0.0) << e.bmin;
    if (e.bmin == kFill) {
      for (double v : e.xgeo) EXPECT_EQ(v, kFill);
    }
    std::vector<double> bl(1000), pos(3000);
    int np = 0;
    double lm, bmin, xj;
    trace_field_line1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                       p.maginput, &lm, bl.data(), &bmin, &xj, pos.data(), &np);
    EXPECT_TRUE(bmin == kFill || bmin > 0.0) << bmin;
    EXPECT_TRUE(lm == kFill || std::isfinite(lm)) << lm;
    EXPECT_TRUE(xj == kFill || xj > 0.0) << xj;
    int n = 1;
    double lm1, lstar1, blocal1, bmin1, xj1, mlt1;
    make_lstar1_(&n, &p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                 p.maginput, &lm1, &lstar1, &blocal1, &bmin1, &xj1, &mlt1);
    EXPECT_TRUE(bmin1 == kFill || bmin1 > 0.0) << bmin1;
    EXPECT_TRUE(lm1 == kFill || std::isfinite(lm1)) << lm1;
  }
}

TEST(Hemisphere, SignFlipsAcrossTheEquatorOfTheLine) {
  Point p;
  std::vector<double> bl(1000), pos(3000);
  int np = 0;
  double lm, bmin, xj;
  trace_field_line1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                     p.maginput, &lm, bl.data(), &bmin, &xj, pos.data(), &np);
  ASSERT_GT(np, 20);
  int kmin = 0;
  for (int k = 1; k < np; ++k)
    if (bl[k] < bl[kmin]) kmin = k;
  // The line is stored from its northern foot (reached along +B).
  EXPECT_EQ(hemi(p, &pos[3 * (kmin / 2)]), 1);
  EXPECT_EQ(hemi(p, &pos[3 * ((kmin + np) / 2)]), -1);
}

TEST(Hemisphere, RefusedPointAndGeodeticInputLeftAsGiven) {
  Point p;
  p.kext = 5;
  const double far[3] = {20.0, 1.0, 0.0};
  EXPECT_EQ(hemi(p, far), 0);
  Point q;
  q.sysaxes = 0;
  double x1 = 3000.0, x2 = 40.0, x3 = 255.0;
  int h = 99;
  get_hemi1_(&q.kext, q.options, &q.sysaxes, &q.iyr, &q.idoy, &q.ut, &x1, &x2, &x3, q.maginput, &h);
  EXPECT_EQ(x1, 3000.0);
  EXPECT_EQ(x2, 40.0);
  EXPECT_EQ(x3, 255.0);
  EXPECT_EQ(h, 1);  // 40 degrees north, low altitude: north of the minimum
  x2 = -40.0;
  get_hemi1_(&q.kext, q.options, &q.sysaxes, &q.iyr, &q.idoy, &q.ut, &x1, &x2, &x3, q.maginput, &h);
  EXPECT_EQ(h, -1);
}

// A GSM, SM or MAG position names the point that the field's own dipole
// places: that of a fixed-epoch internal model (Jensen-Cain 1960, GSFC
// 12/66), or the IGRF of a renewal day. The hemisphere is that of this point,
// the one where the field was evaluated (find_mirror_point1_ at 90 degrees
// gives it back in GEO), not of the point the mid-year IGRF dipole would
// place, some 0.05 Earth radii away at 4 Earth radii, fifty times the step
// the hemisphere test takes along the field. Points 4 Earth radii out, within
// 0.3 Earth radii of the equatorial plane, all around the Earth.
TEST(Hemisphere, PositionsAreThePointsTheFieldWasEvaluatedAt) {
  struct Case {
    int sysaxes, kint, renewal_days;
  } cases[] = {{2, 2, 0}, {4, 2, 0}, {6, 3, 0}, {2, 3, 0}, {6, 0, 10}};
  for (const Case& c : cases) {
    Point p;
    p.sysaxes = c.sysaxes;
    p.options[1] = c.renewal_days;
    p.options[4] = c.kint;
    p.idoy = 123;
    int mismatches = 0, signs[2] = {0, 0};
    for (int iz = -3; iz <= 3; ++iz)
      for (int il = 0; il < 8; ++il) {
        const double lon = il * kPi / 4.0;
        const double x[3] = {4.0 * std::cos(lon), 4.0 * std::sin(lon), 0.1 * iz};
        Point q = p;
        q.x[0] = x[0], q.x[1] = x[1], q.x[2] = x[2];
        Mirror m;
        m.find(q, 90.0);
        ASSERT_NE(m.bmirr, kFill);
        Point g = p;
        g.sysaxes = 1;
        const int h = hemi(p, x);
        ASSERT_NE(h, 0);
        signs[h > 0] += 1;
        if (h != hemi(g, m.xgeo)) ++mismatches;
      }
    EXPECT_EQ(mismatches, 0) << "system " << c.sysaxes << " internal model " << c.kint << " renewal "
                             << c.renewal_days;
    EXPECT_GT(signs[0], 5);
    EXPECT_GT(signs[1], 5);
  }
}

// Drift-shell splitting of two times.
struct Splitting {
  static constexpr int kRows = 100000;
  int ntime = 2;
  Point p;
  int iyr[2] = {2005, 2005}, idoy[2] = {80, 80};
  double ut[2] = {36000.0, 40000.0};
  double x1[2] = {5.0, 3.1}, x2[2] = {2.0, -2.2}, x3[2] = {0.8, 1.4};
  double maginput[50] = {};
  std::vector<double> lm, lstar, bmirr, xj;
  double bmin[2] = {7.0, 7.0}, mlt[2] = {7.0, 7.0};
  void run(std::vector<double> alpha) {
    int nipa = static_cast<int>(alpha.size());
    const size_t size = static_cast<size_t>(kRows) * std::max(nipa, 1);
    lm.assign(size, 7.0);
    lstar.assign(size, 7.0);
    bmirr.assign(size, 7.0);
    xj.assign(size, 7.0);
    make_lstar_shell_splitting1_(&ntime, &nipa, &p.kext, p.options, &p.sysaxes, iyr, idoy, ut, x1, x2, x3,
                                 alpha.data(), maginput, lm.data(), lstar.data(), bmirr.data(), bmin, xj.data(),
                                 mlt);
  }
};

struct LstarRef {
  double lm[2], lstar[2], blocal[2], bmin[2], xj[2], mlt[2];
  void run(Splitting& s) {
    make_lstar1_(&s.ntime, &s.p.kext, s.p.options, &s.p.sysaxes, s.iyr, s.idoy, s.ut, s.x1, s.x2, s.x3,
                 s.maginput, lm, lstar, blocal, bmin, xj, mlt);
  }
};

TEST(ShellSplitting, NinetyDegreesEqualsTheLstarCore) {
  Splitting s;
  s.run({90.0, 50.0});
  LstarRef r;
  r.run(s);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(r.lstar[i], kFill);
    EXPECT_EQ(s.lm[i], r.lm[i]);
    EXPECT_EQ(s.xj[i], r.xj[i]);
    EXPECT_EQ(s.bmirr[i], r.blocal[i]);
    EXPECT_EQ(s.bmin[i], r.bmin[i]);
    EXPECT_EQ(s.mlt[i], r.mlt[i]);
    // Each time's shell is computed from scratch, as the array core's first.
    if (i == 0) EXPECT_EQ(s.lstar[i], r.lstar[i]);
    // (the array core starts the second time from the first one's shell:
    // the searches run on grids anchored elsewhere, so the two agree to
    // about half a colatitude step)
    else EXPECT_NEAR(s.lstar[i], r.lstar[i], 1.5e-2 * r.lstar[i]);
    // 50 degrees: the mirror field is Blocal / sin^2(50); the particle
    // bounces over a longer stretch of the same line, so I grows, while Lm
    // and L* stay close (the shell barely splits in the internal field).
    const size_t j = Splitting::kRows + i;
    const double sa = std::sin(50.0 * kPi / 180.0);
    EXPECT_LE(s.bmirr[j], r.blocal[i] / (sa * sa));
    EXPECT_GT(s.bmirr[j], r.blocal[i] / (sa * sa) * (1.0 - 2e-3));
    EXPECT_GT(s.xj[j], s.xj[i]);
    EXPECT_NEAR(s.lm[j], s.lm[i], 0.05 * s.lm[i]);
    ASSERT_NE(s.lstar[j], kFill);
    EXPECT_NEAR(s.lstar[j], s.lstar[i], 0.05 * s.lstar[i]);
  }
  // Rows beyond ntime are not written.
  EXPECT_EQ(s.lm[2], 7.0);
  EXPECT_EQ(s.lm[Splitting::kRows + 2], 7.0);
}

TEST(ShellSplitting, NoPitchAnglesGivesBminAndMltOnly) {
  Splitting s;
  s.run({});
  LstarRef r;
  r.run(s);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(s.bmin[i], r.bmin[i]);
    EXPECT_EQ(s.mlt[i], r.mlt[i]);
  }
  // The outputs hold no column: nothing is written into them.
  for (double v : s.lm) ASSERT_EQ(v, 7.0);
  for (double v : s.xj) ASSERT_EQ(v, 7.0);
  for (double v : s.bmirr) ASSERT_EQ(v, 7.0);
}

TEST(ShellSplitting, TooManyTimesOrNegativePitchCountIsRefused) {
  Splitting s;
  std::vector<int> iyr(100001, 2005), idoy(100001, 80);
  std::vector<double> ut(100001, 0.0), x(100001, 5.0), bmin(100001, 7.0), mlt(100001, 7.0);
  std::vector<double> mag(25 * 100001, 0.0);
  // Two columns and a guard of a few values after them.
  const size_t size = 2 * Splitting::kRows;
  std::vector<double> lm(size + 8, 7.0), lstar(size + 8, 7.0), bmirr(size + 8, 7.0), xj(size + 8, 7.0);
  double alpha[2] = {90.0, 45.0};
  int ntime = 100001, nipa = 2;
  testing::internal::CaptureStdout();
  make_lstar_shell_splitting1_(&ntime, &nipa, &s.p.kext, s.p.options, &s.p.sysaxes, iyr.data(), idoy.data(),
                               ut.data(), x.data(), x.data(), x.data(), alpha, mag.data(), lm.data(),
                               lstar.data(), bmirr.data(), bmin.data(), xj.data(), mlt.data());
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, " make_lstar_shell_splitting: more than 100000 times, nothing computed\n");
  for (size_t j = 0; j < size; ++j) ASSERT_EQ(lm[j], kFill) << j;
  for (size_t j = size; j < size + 8; ++j) {
    EXPECT_EQ(lm[j], 7.0);
    EXPECT_EQ(lstar[j], 7.0);
    EXPECT_EQ(bmirr[j], 7.0);
    EXPECT_EQ(xj[j], 7.0);
  }
  // Bmin and MLT only as far as the refusal's limit: the entry past it is
  // left as it was.
  for (size_t i = 0; i < Splitting::kRows; ++i) {
    ASSERT_EQ(bmin[i], kFill) << i;
    ASSERT_EQ(mlt[i], kFill) << i;
  }
  EXPECT_EQ(bmin[Splitting::kRows], 7.0);
  EXPECT_EQ(mlt[Splitting::kRows], 7.0);

  ntime = 2;
  nipa = -1;
  testing::internal::CaptureStdout();
  make_lstar_shell_splitting1_(&ntime, &nipa, &s.p.kext, s.p.options, &s.p.sysaxes, iyr.data(), idoy.data(),
                               ut.data(), x.data(), x.data(), x.data(), alpha, mag.data(), lm.data(),
                               lstar.data(), bmirr.data(), s.bmin, xj.data(), s.mlt);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " make_lstar_shell_splitting: negative number of pitch angles, nothing computed\n");
  EXPECT_EQ(s.bmin[0], kFill);
  EXPECT_EQ(s.mlt[1], kFill);
}

// 100000 times, every row of the columns: only the last time has a position
// (the others are not numbers), and its entries of the last pitch angle at
// lm[99999 + 100000 k] equal those of the same time alone; nothing is
// written past the columns, Bmin or MLT.
TEST(ShellSplitting, AllHundredThousandTimesKeepTheLeadingDimension) {
  Splitting one;
  one.ntime = 1;
  one.x1[0] = 3.1;
  one.x2[0] = -2.2;
  one.x3[0] = 1.4;
  one.run({90.0, 50.0});
  ASSERT_NE(one.lstar[Splitting::kRows], kFill);

  const int n = Splitting::kRows;
  const size_t size = 2 * static_cast<size_t>(n);
  std::vector<int> iyr(n, 2005), idoy(n, 80);
  std::vector<double> ut(n, 36000.0), x1(n, NAN), x2(n, -2.2), x3(n, 1.4), mag(25 * static_cast<size_t>(n), 0.0);
  x1[n - 1] = 3.1;
  std::vector<double> lm(size + 8, 7.0), lstar(size + 8, 7.0), bmirr(size + 8, 7.0), xj(size + 8, 7.0);
  std::vector<double> bmin(n + 8, 7.0), mlt(n + 8, 7.0);
  double alpha[2] = {90.0, 50.0};
  int ntime = n, nipa = 2;
  make_lstar_shell_splitting1_(&ntime, &nipa, &one.p.kext, one.p.options, &one.p.sysaxes, iyr.data(), idoy.data(),
                               ut.data(), x1.data(), x2.data(), x3.data(), alpha, mag.data(), lm.data(),
                               lstar.data(), bmirr.data(), bmin.data(), xj.data(), mlt.data());
  for (size_t k : {size_t{0}, size_t{1}}) {
    const size_t j = (n - 1) + k * n, j1 = k * n;
    EXPECT_EQ(lm[j], one.lm[j1]);
    EXPECT_EQ(lstar[j], one.lstar[j1]);
    EXPECT_EQ(bmirr[j], one.bmirr[j1]);
    EXPECT_EQ(xj[j], one.xj[j1]);
    EXPECT_EQ(lm[j - 1], kFill);
  }
  EXPECT_EQ(bmin[n - 1], one.bmin[0]);
  EXPECT_EQ(mlt[n - 1], one.mlt[0]);
  for (size_t g = 0; g < 8; ++g) {
    EXPECT_EQ(lm[size + g], 7.0);
    EXPECT_EQ(lstar[size + g], 7.0);
    EXPECT_EQ(bmirr[size + g], 7.0);
    EXPECT_EQ(xj[size + g], 7.0);
    EXPECT_EQ(bmin[n + g], 7.0);
    EXPECT_EQ(mlt[n + g], 7.0);
  }
}

TEST(ShellSplitting, LostPitchAngleAndOutOfRangeTime) {
  Splitting s;
  s.run({90.0, 2.0});
  EXPECT_NE(s.lm[0], kFill);
  // 2 degrees lies in the loss cone: its four entries fill.
  const size_t j = Splitting::kRows;
  for (size_t k : {j, j + 1}) {
    EXPECT_EQ(s.lm[k], kFill);
    EXPECT_EQ(s.lstar[k], kFill);
    EXPECT_EQ(s.xj[k], kFill);
    EXPECT_EQ(s.bmirr[k], kFill);
  }
  // Kp x 10 of 95 lies outside the Mead model's range: the time fills.
  Splitting t;
  t.p.kext = 1;
  t.maginput[25] = 95.0;
  t.run({90.0, 45.0});
  for (size_t k : {size_t{1}, j + 1}) {
    EXPECT_EQ(t.lm[k], kFill);
    EXPECT_EQ(t.lstar[k], kFill);
    EXPECT_EQ(t.xj[k], kFill);
    EXPECT_EQ(t.bmirr[k], kFill);
  }
  EXPECT_EQ(t.bmin[1], kFill);
  EXPECT_EQ(t.mlt[1], s.mlt[1]);
}

// Each entry returns 9.9 and its core's results reach the caller.
TEST(TracerEntries, ForwardToTheirCores) {
  Point p;
  void* common[10] = {&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                      p.maginput};
  {
    p.options[0] = 0;
    double lm, lstar, bmin, xj, lm2, lstar2, bmin2, xj2;
    std::vector<double> bl(48000), pos(144000), bl2(48000), pos2(144000);
    std::vector<int> ind(48), ind2(48);
    void* argv[17];
    for (int k = 0; k < 10; ++k) argv[k] = common[k];
    void* out[7] = {&lm, &lstar, bl.data(), &bmin, &xj, pos.data(), ind.data()};
    for (int k = 0; k < 7; ++k) argv[10 + k] = out[k];
    EXPECT_FLOAT_EQ(drift_shell_(0, argv), 9.9f);
    drift_shell1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                  p.maginput, &lm2, &lstar2, bl2.data(), &bmin2, &xj2, pos2.data(), ind2.data());
    EXPECT_EQ(lm, lm2);
    EXPECT_EQ(bmin, bmin2);
    EXPECT_EQ(xj, xj2);
    EXPECT_EQ(lstar, kFill);
    EXPECT_EQ(ind, ind2);
    EXPECT_EQ(pos[3], pos2[3]);
    p.options[0] = 1;
  }
  {
    double lm, bmin, xj, lm2, bmin2, xj2;
    std::vector<double> bl(1000), pos(3000), bl2(1000), pos2(3000);
    int n = 0, n2 = 0;
    void* argv[16];
    for (int k = 0; k < 10; ++k) argv[k] = common[k];
    void* out[6] = {&lm, bl.data(), &bmin, &xj, pos.data(), &n};
    for (int k = 0; k < 6; ++k) argv[10 + k] = out[k];
    EXPECT_FLOAT_EQ(trace_field_line_(16, argv), 9.9f);
    trace_field_line1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                       p.maginput, &lm2, bl2.data(), &bmin2, &xj2, pos2.data(), &n2);
    EXPECT_EQ(lm, lm2);
    EXPECT_EQ(n, n2);
    EXPECT_GT(n, 0);
    EXPECT_EQ(pos, pos2);
    EXPECT_EQ(bl[n - 1], bl2[n - 1]);
  }
  {
    double alpha = 40.0, blocal, bmirr, xgeo[3];
    void* argv[14];
    for (int k = 0; k < 9; ++k) argv[k] = common[k];
    argv[9] = &alpha;
    argv[10] = p.maginput;
    argv[11] = &blocal;
    argv[12] = &bmirr;
    argv[13] = xgeo;
    EXPECT_FLOAT_EQ(find_mirror_point_(0, argv), 9.9f);
    Mirror m;
    m.find(p, 40.0);
    EXPECT_EQ(blocal, m.blocal);
    EXPECT_EQ(bmirr, m.bmirr);
    EXPECT_EQ(xgeo[2], m.xgeo[2]);
  }
  {
    double bmin, xgeo[3];
    void* argv[12];
    for (int k = 0; k < 10; ++k) argv[k] = common[k];
    argv[10] = &bmin;
    argv[11] = xgeo;
    EXPECT_FLOAT_EQ(find_magequator_(0, argv), 9.9f);
    Equator e;
    e.find(p);
    EXPECT_EQ(bmin, e.bmin);
    EXPECT_EQ(xgeo[0], e.xgeo[0]);
  }
  {
    int h = 99;
    void* argv[11];
    for (int k = 0; k < 10; ++k) argv[k] = common[k];
    argv[10] = &h;
    EXPECT_FLOAT_EQ(get_hemi_(0, argv), 9.9f);
    EXPECT_EQ(h, hemi(p, p.x));
    EXPECT_NE(h, 99);
  }
  {
    Splitting s;
    int ntime = 1, nipa = 1;
    double alpha = 90.0;
    std::vector<double> lm(100000, 7.0), lstar(100000, 7.0), bmirr(100000, 7.0), xj(100000, 7.0);
    double bmin = 7.0, mlt = 7.0;
    s.p.options[2] = 15;  // replaced by 0 in the caller's array
    void* argv[19] = {&ntime, &nipa, &s.p.kext, s.p.options, &s.p.sysaxes, s.iyr, s.idoy, s.ut, s.x1, s.x2,
                      s.x3, &alpha, s.maginput, lm.data(), lstar.data(), bmirr.data(), &bmin, xj.data(), &mlt};
    EXPECT_FLOAT_EQ(make_lstar_shell_splitting_(19, argv), 9.9f);
    EXPECT_EQ(s.p.options[2], 0);
    LstarRef r;
    s.ntime = 1;
    r.run(s);
    EXPECT_EQ(lm[0], r.lm[0]);
    EXPECT_EQ(lstar[0], r.lstar[0]);
    EXPECT_EQ(bmirr[0], r.blocal[0]);
    EXPECT_EQ(bmin, r.bmin[0]);
    EXPECT_EQ(mlt, r.mlt[0]);
  }
}

}  // namespace
