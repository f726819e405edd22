// Lm, L*, Bmin, I, mirror points, the magnetic equator, a traced field line
// and a drift shell at a handful of points, IGRF alone and IGRF with the
// Olson-Pfitzer quiet model, against values from an independent
// double-precision evaluation of the tracing algorithms (Runge-Kutta step
// along B/|B|, bounce integral with its trapezoid end correction, Hilton's
// formula, the Bmin parabola, the mirror-point stepping and refinement, the
// colatitude search and the polar-cap flux), written apart from this library
// and fed with this library's field at each point: these values pin the
// tracing logic, where a trace turns, stops, brackets and interpolates. A
// second evaluation of the same algorithms, with the field written apart as
// well (the IGRF-10 spherical-harmonic sum from the coefficients of
// data/internal_field at mid-year, the WGS84 geodetic conversion, the
// low-precision solar ephemeris and the dipole axes for the SM frame, and the
// quiet Olson-Pfitzer series from the tables of data/olson_pfitzer), gives
// every value below to 1e-14 relative, so they pin the field at these points
// too. The evaluations agree to about 1e-15 relative; the tolerance of 1e-9
// leaves room for rounding in another order of the same arithmetic, and is
// far below any change of step, of stopping rule or of a bracket (which
// moves these values by 1e-4 or more).
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "kest/magcoords.h"

namespace {

constexpr double kFill = -1.0e31;
constexpr double kRel = 1e-9;
constexpr double kPos = 1e-9;  // Earth radii

// One time and geodetic point (altitude km, latitude and longitude degrees).
struct Where {
  int kext;
  int iyr, idoy;
  double ut, alt, lat, lon;
};

struct Core {
  int kext;
  int options[5] = {1, 0, 0, 0, 0};
  int sysaxes = 0;
  int iyr, idoy;
  double ut, x1, x2, x3;
  double maginput[25] = {};
  explicit Core(const Where& w)
      : kext(w.kext), iyr(w.iyr), idoy(w.idoy), ut(w.ut), x1(w.alt), x2(w.lat), x3(w.lon) {}
};

void expect_rel(double got, double want, const char* what) {
  if (want == kFill) {
    EXPECT_EQ(got, kFill) << what;
  } else {
    EXPECT_NEAR(got, want, kRel * std::fabs(want)) << what;
  }
}

const Where kDayL4{0, 2005, 100, 43200.0, 20000.0, 10.0, 30.0};
const Where kDayL4Op{5, 2005, 100, 43200.0, 20000.0, 10.0, 30.0};
const Where kLowL{0, 1985, 250, 7200.0, 1500.0, -25.0, -50.0};
const Where kGeoNight{0, 2014, 200, 0.0, 35786.0, -5.0, 180.0};
const Where kGeoNightOp{5, 2014, 200, 0.0, 35786.0, -5.0, 180.0};
const Where kLossCone{0, 2010, 108, 8109.0, 191.0, 30.2, -24.2};

TEST(LstarReference, MakeLstarOnePointPerCall) {
  struct Row {
    Where w;
    double lm, lstar, blocal, bmin, xj;
  };
  const Row rows[] = {
      {kDayL4, 4.2132054566757597, 4.1519416021503774, 426.87239232440743, 400.90721647738161,
       0.18987649489036723},
      {kLowL, 1.3925726937977543, 1.2906835629723734, 13564.232040200821, 11285.113888253869,
       0.18831213400297991},
      {kGeoNight, 6.7151625253292568, 6.6583344535062006, 109.55045327633337, 98.662267869403692,
       0.50925689270023389},
      // Conjugate mirror point below the surface: negative Lm; the drift
      // shell's lines do not close within the step budget, so no L*.
      {kLossCone, -1.2528348105473313, kFill, 36012.742507225266, 14841.323003219406,
       0.73545510067411524},
      {kDayL4Op, 4.270381879185587, 3.9708823586002193, 412.42908968099209, 384.02877808684991,
       0.21126496613903201},
      {kGeoNightOp, 6.4359143862051438, 5.7763176980872775, 116.5299167039862, 112.79191528223902,
       0.17909187802509058},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "kext " << r.w.kext << " year " << r.w.iyr << " alt " << r.w.alt);
    Core c(r.w);
    int n = 1;
    double lm, lstar, blocal, bmin, xj, mlt;
    make_lstar1_(&n, &c.kext, c.options, &c.sysaxes, &c.iyr, &c.idoy, &c.ut, &c.x1, &c.x2, &c.x3, c.maginput,
                 &lm, &lstar, &blocal, &bmin, &xj, &mlt);
    expect_rel(lm, r.lm, "Lm");
    expect_rel(lstar, r.lstar, "L*");
    expect_rel(blocal, r.blocal, "Blocal");
    expect_rel(bmin, r.bmin, "Bmin");
    expect_rel(xj, r.xj, "I");
  }
}

TEST(LstarReference, SecondTimeStartsFromTheFirstShell) {
  // Two times of one call: the second colatitude searches start from the
  // foot points of the first shell, which puts the second L* on a grid
  // anchored there (alone, the same point gives 4.0842139041133354).
  Core c(kDayL4Op);
  int n = 2;
  int iyr[2] = {2005, 2005}, idoy[2] = {100, 100};
  double ut[2] = {43200.0, 46800.0}, x1[2] = {20000.0, 20600.0}, x2[2] = {10.0, 11.0}, x3[2] = {30.0, 37.0};
  double mi[50] = {};
  double lm[2], lstar[2], blocal[2], bmin[2], xj[2], mlt[2];
  make_lstar1_(&n, &c.kext, c.options, &c.sysaxes, iyr, idoy, ut, x1, x2, x3, mi, lm, lstar, blocal, bmin, xj,
               mlt);
  expect_rel(lstar[0], 3.9708823586002193, "L* of the first time");
  expect_rel(lm[1], 4.3707319533430953, "Lm of the second time");
  expect_rel(lstar[1], 4.0626563513946108, "L* of the second time");
}

TEST(LstarReference, MirrorPointsAndEquators) {
  struct Mirror {
    Where w;
    double alpha, bmirr, x[3];
  };
  const Mirror mirrors[] = {
      {kDayL4, 30.0, 1706.490382961355, {2.0829415521428909, 1.021219146867447, 1.7564146394237719}},
      {kGeoNightOp, 60.0, 155.37029341807852, {-5.87735637687822, 0.18856914407664277, -1.5989924875949171}},
      {kLowL, 30.0, kFill, {kFill, kFill, kFill}},  // inside the loss cone
  };
  for (const Mirror& m : mirrors) {
    SCOPED_TRACE(testing::Message() << "kext " << m.w.kext << " alpha " << m.alpha);
    Core c(m.w);
    double alpha = m.alpha, blocal, bmirr, x[3];
    find_mirror_point1_(&c.kext, c.options, &c.sysaxes, &c.iyr, &c.idoy, &c.ut, &c.x1, &c.x2, &c.x3, &alpha,
                        c.maginput, &blocal, &bmirr, x);
    expect_rel(bmirr, m.bmirr, "Bmirr");
    for (int k = 0; k < 3; ++k) {
      if (m.x[k] == kFill) EXPECT_EQ(x[k], kFill);
      else EXPECT_NEAR(x[k], m.x[k], kPos);
    }
  }
  struct Equator {
    Where w;
    double bmin, x[3];
  };
  const Equator equators[] = {
      {kDayL4, 400.90721647738161, {3.589618638215287, 2.1547342054534422, 0.2361661566585172}},
      {kGeoNightOp, 112.79191528223902, {-6.7132083575562653, -0.10529981952807783, 0.034521277153700895}},
  };
  for (const Equator& e : equators) {
    SCOPED_TRACE(testing::Message() << "equator, kext " << e.w.kext);
    Core c(e.w);
    double bmin, x[3];
    find_magequator1_(&c.kext, c.options, &c.sysaxes, &c.iyr, &c.idoy, &c.ut, &c.x1, &c.x2, &c.x3, c.maginput,
                      &bmin, x);
    expect_rel(bmin, e.bmin, "Bmin");
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(x[k], e.x[k], kPos);
  }
}

TEST(LstarReference, TracedFieldLineAndDriftShell) {
  Core c(kLowL);
  double lm, bmin, xj;
  std::vector<double> blocal(1000, 0.0), posit(3000, 0.0);
  int n = 0;
  trace_field_line1_(&c.kext, c.options, &c.sysaxes, &c.iyr, &c.idoy, &c.ut, &c.x1, &c.x2, &c.x3, c.maginput, &lm,
                     blocal.data(), &bmin, &xj, posit.data(), &n);
  expect_rel(lm, 1.3925726937977543, "Lm");
  expect_rel(xj, 0.18831213400297991, "I");
  expect_rel(bmin, 11285.113888253869, "Bmin");
  ASSERT_EQ(n, 58);
  const double first[3] = {0.47632859499685454, -0.8101928840597401, 0.34170973608055411};
  const double last[3] = {0.52026398481556291, -0.54298661565887507, -0.65041210715378361};
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(posit[k], first[k], kPos);
    EXPECT_NEAR(posit[3 * (n - 1) + k], last[k], kPos);
  }
  expect_rel(blocal[0], 40591.781760091719, "|B| at the first foot point");
  expect_rel(blocal[n - 1], 25380.488065139609, "|B| at the last point");

  struct ShellRow {
    Where w;
    double lstar;
    int ind_first, ind_last;
  };
  const ShellRow shells[] = {
      {kDayL4Op, 3.9720319350340141, 114, 115},
      {kGeoNight, 6.656580472013915, 124, 124},
  };
  for (const ShellRow& s : shells) {
    SCOPED_TRACE(testing::Message() << "drift shell, kext " << s.w.kext);
    Core d(s.w);
    // drift_shell starts its searches from the last completed L* shell; an
    // Lm-only call leaves none, as for these values.
    d.options[0] = 0;
    int one = 1;
    double m0, m1, m2, m3, m4, m5;
    make_lstar1_(&one, &d.kext, d.options, &d.sysaxes, &d.iyr, &d.idoy, &d.ut, &d.x1, &d.x2, &d.x3, d.maginput,
                 &m0, &m1, &m2, &m3, &m4, &m5);
    d.options[0] = 1;
    double slm, slstar, sbmin, sxj;
    std::vector<double> sb(1000 * 48, 0.0), sp(3000 * 48, 0.0);
    std::vector<int> ind(48, 0);
    drift_shell1_(&d.kext, d.options, &d.sysaxes, &d.iyr, &d.idoy, &d.ut, &d.x1, &d.x2, &d.x3, d.maginput, &slm,
                  &slstar, sb.data(), &sbmin, &sxj, sp.data(), ind.data());
    expect_rel(slstar, s.lstar, "L* of the drift shell");
    EXPECT_EQ(ind[0], s.ind_first);
    EXPECT_EQ(ind[47], s.ind_last);
  }
}

}  // namespace
