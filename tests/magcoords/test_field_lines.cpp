// Field-line tracing, the drift shell, and the shared stages behind them:
// where a traced line starts and ends, what lies past its last point, the
// minimum of |B| along it, the drift shell with and without L*, its start
// from a remembered shell, and the sound ends of a cut or refused line.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "kest/frame.h"
#include "kest/magcoords.h"
#include "frame/frame_state.hpp"
#include "magcoords/field_line_trace.hpp"
#include "magcoords/magcoords_state.hpp"
#include "fresh_process.hpp"

namespace {

constexpr double kFill = -1.0e31;

double norm(const double* x) { return std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]); }

// One time and point in GEO, IGRF without external field unless changed.
struct Point {
  int kext = 0;
  int options[5] = {1, 0, 0, 0, 0};
  int sysaxes = 1;
  int iyr = 2005, idoy = 80;
  double ut = 36000.0;
  double x[3] = {5.0, 2.0, 0.8};
  double maginput[25] = {};
};

struct Line {
  double lm = 0, bmin = 0, xj = 0;
  std::vector<double> blocal = std::vector<double>(1000, 7.0);
  std::vector<double> posit = std::vector<double>(3000, 7.0);
  int n = 77;
  void trace(Point& p) {
    trace_field_line1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                       p.maginput, &lm, blocal.data(), &bmin, &xj, posit.data(), &n);
  }
};

struct Shell {
  double lm = 0, lstar = 0, bmin = 0, xj = 0;
  std::vector<double> blocal = std::vector<double>(1000 * 48, 7.0);
  std::vector<double> posit = std::vector<double>(3000 * 48, 7.0);
  std::vector<int> ind = std::vector<int>(48, 77);
  void trace(Point& p) {
    drift_shell1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                  p.maginput, &lm, &lstar, blocal.data(), &bmin, &xj, posit.data(), ind.data());
  }
};

// The Lm/L* array core at the same point, for comparison.
struct LstarPoint {
  double lm, lstar, blocal, bmin, xj, mlt;
  void run(Point& p) {
    int n = 1;
    make_lstar1_(&n, &p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                 p.maginput, &lm, &lstar, &blocal, &bmin, &xj, &mlt);
  }
};

// A stored line: starts on r = 1, its points one step apart, ends with the
// first point inside the sphere; |B| falls to a single minimum and rises.
void expect_complete_line(const double* posit, const double* blocal, int n, double step) {
  ASSERT_GT(n, 10);
  ASSERT_LT(n, 1000);
  // The foot point is the end of a step interpolated to r = 1.
  EXPECT_NEAR(norm(&posit[0]), 1.0, 1e-3);
  EXPECT_LT(norm(&posit[3 * (n - 1)]), 1.0);
  EXPECT_GE(norm(&posit[3 * (n - 2)]), 1.0);
  for (int k = 1; k < n; ++k) {
    const double* a = &posit[3 * (k - 1)];
    const double* b = &posit[3 * k];
    const double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    // The chord of a curved step is a little shorter than the step.
    EXPECT_NEAR(norm(d), step, 0.01 * step) << "point " << k;
  }
  int kmin = 0;
  for (int k = 1; k < n; ++k)
    if (blocal[k] < blocal[kmin]) kmin = k;
  for (int k = 1; k <= kmin; ++k) EXPECT_LT(blocal[k], blocal[k - 1]) << "point " << k;
  for (int k = kmin + 1; k < n; ++k) EXPECT_GT(blocal[k], blocal[k - 1]) << "point " << k;
}

double dipole_step(Point& p) {
  // Set the frame for the time, then 0.02 Lb from the point's SM position.
  double epoch = p.iyr + 0.5, psi;
  init_dtd_(&epoch);
  init_gsm_(&p.iyr, &p.idoy, &p.ut, &psi);
  return 0.02 * kest::fline::dipole_l(p.x);
}

TEST(TraceFieldLine, LineRunsFromFootToFootWithOneMinimumAtBmin) {
  Point p;
  Line l;
  l.trace(p);
  const double step = dipole_step(p);
  expect_complete_line(l.posit.data(), l.blocal.data(), l.n, step);
  for (int k = 3 * l.n; k < 3000; ++k) ASSERT_EQ(l.posit[k], kFill) << k;
  for (int k = l.n; k < 1000; ++k) ASSERT_EQ(l.blocal[k], 7.0) << k;
  // The lowest stored |B| lies within a step of the line's minimum: at most
  // the rise of a parabola over half a step above Bmin.
  double bl_min = l.blocal[0];
  for (int k = 1; k < l.n; ++k) bl_min = std::min(bl_min, l.blocal[k]);
  EXPECT_GE(bl_min, l.bmin);
  EXPECT_LT(bl_min - l.bmin, 2e-3 * l.bmin);
  // The line's foot reached along +B is the northern one.
  EXPECT_GT(l.posit[2], 0.0);
  EXPECT_LT(l.posit[3 * (l.n - 1) + 2], 0.0);
  // Lm, I and Bmin as the L* computation finds them (its step is Lb/50, so
  // equal to rounding of the traces).
  LstarPoint ref;
  p.options[0] = 0;
  ref.run(p);
  EXPECT_NEAR(l.lm, ref.lm, 1e-6 * ref.lm);
  EXPECT_NEAR(l.bmin, ref.bmin, 1e-6 * ref.bmin);
  EXPECT_NEAR(l.xj, ref.xj, 1e-6 * ref.xj);
}

TEST(TraceFieldLine, RefusedStartAndOutOfRangeInputsReportNoPoints) {
  // The Olson-Pfitzer quiet model refuses a point beyond 15 Earth radii.
  Point p;
  p.kext = 5;
  p.x[0] = 20.0;
  Line l;
  l.trace(p);
  EXPECT_EQ(l.n, 0);
  EXPECT_EQ(l.lm, kFill);
  EXPECT_EQ(l.xj, kFill);
  EXPECT_EQ(l.bmin, kFill);
  for (double v : l.posit) ASSERT_EQ(v, kFill);
  // Kp x 10 of 95 lies outside the Mead model's range.
  Point q;
  q.kext = 1;
  q.maginput[0] = 95.0;
  Line m;
  m.trace(q);
  EXPECT_EQ(m.n, 0);
  EXPECT_EQ(m.lm, kFill);
  EXPECT_EQ(m.bmin, kFill);
  for (double v : m.posit) ASSERT_EQ(v, kFill);
  for (double v : m.blocal) ASSERT_EQ(v, 7.0);
}

// A point more than one step below the sphere r = 1 has no foot point: one
// step carried back over several steps' depth of a curving line lands
// anywhere, inside the sphere or off it, and the stored line or drift shell
// would start from there. Such a line stores no point and the drift shell no
// line (no L*); Lm, I and Bmin of the line through the point still stand. A
// point on the flattened ground near the poles, a few km below r = 1, or
// 100 km below it, lies a fraction of a step deep and keeps its foot point on
// the sphere.
TEST(TraceFieldLine, PointDeepBelowTheSurfaceHasNoFootPoint) {
  struct Case {
    int kext, kint;
    double alt, lat, lon;
    bool foot;
  };
  const Case cases[] = {
      {0, 0, -1500.0, 60.0, 10.0, false},  {0, 0, -3000.0, 30.0, -180.0, false},
      {4, 0, -3000.0, 50.0, 100.0, false}, {0, 2, -6360.0, 0.0, 0.0, false},
      {0, 0, 0.0, 89.0, 0.0, true},        {0, 0, -100.0, 70.0, 30.0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "alt " << c.alt << " lat " << c.lat << " kext " << c.kext);
    Point p;
    p.kext = c.kext;
    p.options[4] = c.kint;
    p.sysaxes = 0;
    p.x[0] = c.alt;
    p.x[1] = c.lat;
    p.x[2] = c.lon;
    p.maginput[0] = 20.0;
    Line l;
    l.trace(p);
    EXPECT_NE(l.lm, kFill);
    EXPECT_NE(l.xj, kFill);
    if (c.foot) {
      ASSERT_GT(l.n, 1);
      EXPECT_NEAR(norm(&l.posit[0]), 1.0, 1e-3);
      continue;
    }
    EXPECT_EQ(l.n, 0);
    for (double v : l.posit) ASSERT_EQ(v, kFill);
    Shell s;
    s.trace(p);
    EXPECT_EQ(s.lm, l.lm);
    EXPECT_EQ(s.lstar, kFill);
    for (int v : s.ind) ASSERT_EQ(v, 0);
  }
}

TEST(TraceFieldLine, EquatorPointTakesTheParabolaAndIsStillStored) {
  Point p;
  double bmin, xeq[3];
  find_magequator1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                    p.maginput, &bmin, xeq);
  Point q = p;
  q.x[0] = xeq[0];
  q.x[1] = xeq[1];
  q.x[2] = xeq[2];
  Line l;
  l.trace(q);
  // At the minimum: Lm = (B0 / Bmin)^(1/3), and I nearly zero.
  EXPECT_NEAR(l.lm, std::cbrt(kest::dipigrf.b0 / l.bmin), 1e-12 * l.lm);
  EXPECT_LT(l.xj, 0.05);
  EXPECT_NEAR(l.bmin, bmin, 1e-4 * bmin);
  expect_complete_line(l.posit.data(), l.blocal.data(), l.n, dipole_step(q));
}

// The shared stages, driven directly with the model state of a field call.
struct StageFixture : ::testing::Test {
  void set_model(int kext) {
    Point p;
    p.kext = kext;
    double b[3], bl;
    get_field1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                p.maginput, b, &bl);
  }
};

TEST_F(StageFixture, LineNeedingMorePointsIsCutAtTheLastSlot) {
  set_model(0);
  kest::fline::TracePoint p;
  const double x[3] = {5.0, 2.0, 0.8};
  ASSERT_TRUE(kest::fline::start_point_geo(x, kest::fline::StepRule::lb_times_002, p));
  double foot[3];
  kest::FieldDir ffoot;
  ASSERT_TRUE(kest::fline::foot_point(p, kest::fline::kTraceBudget, foot, ffoot));
  // Room for 6 points, a guard after them.
  double posit[3 * 7], blocal[7];
  for (double& v : posit) v = 7.0;
  for (double& v : blocal) v = 7.0;
  const kest::fline::StoredLine sl = kest::fline::store_line(foot, ffoot, std::fabs(p.ds), 6, posit, blocal);
  EXPECT_TRUE(sl.cut);
  EXPECT_FALSE(sl.refused);
  EXPECT_EQ(sl.count, 6);
  EXPECT_GE(norm(&posit[15]), 1.0);
  for (int k = 18; k < 21; ++k) EXPECT_EQ(posit[k], 7.0);
  EXPECT_EQ(blocal[6], 7.0);
}

TEST_F(StageFixture, RefusedStepWhileStoringReportsThePointsStored) {
  // Above the north pole the field points down: against it the trace runs
  // outward and leaves the quiet model's region at 15 Earth radii.
  set_model(5);
  const double start[3] = {0.0, 0.0, 12.0};
  kest::FieldDir f;
  double x[3] = {start[0], start[1], start[2]};
  ASSERT_TRUE(kest::field_dir(x, f));
  ASSERT_LT(f.u[2], 0.0);
  std::vector<double> posit(3000, 7.0), blocal(1000, 7.0);
  const kest::fline::StoredLine sl = kest::fline::store_line(start, f, 0.5, 1000, posit.data(), blocal.data());
  EXPECT_TRUE(sl.refused);
  EXPECT_FALSE(sl.cut);
  // 12 -> 15 Earth radii along a curving line in steps of 0.5: several
  // points, all inside the region, and nothing written after them.
  EXPECT_GE(sl.count, 6);
  EXPECT_LE(sl.count, 20);
  for (int k = 0; k < sl.count; ++k) EXPECT_LE(norm(&posit[3 * k]), 15.0) << k;
  EXPECT_GT(norm(&posit[3 * (sl.count - 1)]), 14.0);
  EXPECT_EQ(posit[3 * sl.count], 7.0);
  EXPECT_EQ(blocal[sl.count], 7.0);
}

TEST(DriftShell, OptionZeroStoresLineOneOnly) {
  Point p;
  p.options[0] = 0;
  Shell s;
  s.trace(p);
  EXPECT_EQ(s.lstar, kFill);
  EXPECT_NE(s.lm, kFill);
  EXPECT_GT(s.ind[0], 10);
  for (int i = 1; i < 48; ++i) EXPECT_EQ(s.ind[i], 0) << i;
  expect_complete_line(&s.posit[0], &s.blocal[0], s.ind[0], dipole_step(p));
  EXPECT_EQ(kest::flag_l.set, 0);
  // Line 1 is the line trace_field_line stores.
  Line l;
  l.trace(p);
  ASSERT_EQ(l.n, s.ind[0]);
  for (int k = 0; k < 3 * l.n; ++k) ASSERT_EQ(l.posit[k], s.posit[k]);
  EXPECT_EQ(l.lm, s.lm);
}

// In a process that holds no shell of an earlier L* computation, which would
// seed the colatitude searches (a process of its own).
TEST(DriftShell, FortyEightLinesAndLstarWithOptionsOneAndTwo) {
  if (kest_test::rerun_alone_unless_first()) return;
  Point p;
  p.options[0] = 2;
  Shell s;
  s.trace(p);
  // Option 2 gives L* (not the flux) in the drift shell.
  ASSERT_NE(s.lstar, kFill);
  EXPECT_GT(s.lstar, 3.0);
  EXPECT_LT(s.lstar, 8.0);
  const double step = dipole_step(p);
  for (int i = 0; i < 48; ++i) {
    SCOPED_TRACE(i);
    expect_complete_line(&s.posit[3000 * i], &s.blocal[1000 * i], s.ind[i], step);
    // The foot field is the first stored value, above the point's field.
    double foot[3] = {s.posit[3000 * i], s.posit[3000 * i + 1], s.posit[3000 * i + 2]};
    kest::FieldDir f;
    ASSERT_TRUE(kest::field_dir(foot, f));
    EXPECT_EQ(f.b, s.blocal[1000 * i]);
  }
  // Line i + 1 lies 7.5 degrees east of line i at the foot.
  const double pi = 4.0 * std::atan(1.0);
  for (int i = 1; i < 48; ++i) {
    const double a0 = std::atan2(s.posit[3000 * (i - 1) + 1], s.posit[3000 * (i - 1)]);
    const double a1 = std::atan2(s.posit[3000 * i + 1], s.posit[3000 * i]);
    EXPECT_NEAR(std::remainder(a1 - a0, 2.0 * pi), 2.0 * pi / 48.0, 1e-9) << i;
  }
  EXPECT_EQ(kest::flag_l.set, 0);
  Point q = p;
  q.options[0] = 1;
  Shell t;
  t.trace(q);
  EXPECT_EQ(t.lstar, s.lstar);
  // Close to the L* of the array core (25 lines, step Lb/50).
  LstarPoint ref;
  ref.run(q);
  EXPECT_NEAR(s.lstar, ref.lstar, 0.01 * ref.lstar);
  EXPECT_NEAR(s.lm, ref.lm, 1e-6 * ref.lm);
}

TEST(DriftShell, LstarOfADipoleShell) {
  // The eccentric tilted dipole without external field: every line of the
  // shell has the dipole L that Hilton's Lm approximates closely, and its
  // foot lies at cos^2(theta_f) = 1 - 1/L. The flux sums |B| (not its
  // radial part) over the cap, so for a centred dipole
  //   2 pi B0 / Phi = 1 / integral_{cos theta_f}^{1} sqrt(1 + 3 u^2) du.
  // The offset of the dipole from the Earth's centre shifts this by a few
  // parts in a thousand.
  Point p;
  p.options[4] = 1;
  p.x[0] = 3.0;
  p.x[1] = -3.2;
  p.x[2] = 0.4;
  Shell s;
  s.trace(p);
  ASSERT_NE(s.lstar, kFill);
  const double uf = std::sqrt(1.0 - 1.0 / s.lm);
  const int n = 1000;
  double sum = 0.0;
  for (int k = 0; k <= n; ++k) {
    const double u = uf + (1.0 - uf) * k / n;
    const double w = (k == 0 || k == n) ? 1.0 : (k % 2 ? 4.0 : 2.0);
    sum += w * std::sqrt(1.0 + 3.0 * u * u);
  }
  const double integral = sum * (1.0 - uf) / (3.0 * n);
  EXPECT_NEAR(s.lstar, 1.0 / integral, 0.01 * s.lstar);
}

// The sign rules of a point whose conjugate mirror point lies below the
// surface (100 km over the region conjugate to the South Atlantic Anomaly):
// the array core gives Lm, L* and the flux Phi all negative, with
// 2 pi B0 / Phi = L*; the drift-shell tracer keeps the sign of Lm but gives
// L* positive, with options(1) = 2 as with 1.
TEST(DriftShell, LossConeLmIsNegativeButItsLstarPositive) {
  Point p;
  p.sysaxes = 0;
  p.iyr = 2004;
  p.idoy = 75;
  p.ut = 0.0;
  p.x[0] = 100.0;
  p.x[1] = 15.0;
  p.x[2] = -90.0;
  LstarPoint ref;
  ref.run(p);
  ASSERT_LT(ref.lm, 0.0);
  ASSERT_NE(ref.lstar, kFill);
  ASSERT_LT(ref.lstar, 0.0);
  p.options[0] = 2;
  LstarPoint flux;
  flux.run(p);
  EXPECT_LT(flux.lstar, 0.0);
  EXPECT_NEAR(2.0 * 4.0 * std::atan(1.0) * kest::dipigrf.b0 / flux.lstar, ref.lstar, 1e-12 * -ref.lstar);

  // Drift shells traced afresh: an Lm-only call leaves no shell to start from.
  for (int opt : {1, 2}) {
    SCOPED_TRACE(opt);
    p.options[0] = 0;
    LstarPoint clear;
    clear.run(p);
    ASSERT_EQ(kest::flag_l.set, 0);
    p.options[0] = opt;
    Shell s;
    s.trace(p);
    EXPECT_LT(s.lm, 0.0);
    EXPECT_NEAR(s.lm, ref.lm, 1e-6 * -ref.lm);
    ASSERT_NE(s.lstar, kFill);
    EXPECT_GT(s.lstar, 0.0);
    // 48 lines instead of 25, the same colatitude step: within a percent.
    EXPECT_NEAR(s.lstar, -ref.lstar, 0.01 * -ref.lstar);
  }
}

TEST(DriftShell, StartsFromTheShellOfTheLastLstarComputation) {
  Point p;
  p.options[3] = 9;  // 250 lines, so calotte holds a value for each of the 48
  LstarPoint ref;
  ref.run(p);
  ASSERT_NE(ref.lstar, kFill);
  ASSERT_EQ(kest::flag_l.set, 1);
  Shell reused;
  reused.trace(p);
  EXPECT_EQ(kest::flag_l.set, 0);
  Shell fresh;
  fresh.trace(p);
  ASSERT_NE(reused.lstar, kFill);
  ASSERT_NE(fresh.lstar, kFill);
  // The searches start on different grids; the shells agree to a fraction
  // of a colatitude step.
  EXPECT_NEAR(reused.lstar, fresh.lstar, 5e-3 * fresh.lstar);
  EXPECT_EQ(reused.lm, fresh.lm);
}

// A drift shell's scalars, line counts, |B| and positions, packed.
std::vector<double> packed(const Shell& s) {
  std::vector<double> v = {s.lm, s.lstar, s.bmin, s.xj};
  v.insert(v.end(), s.ind.begin(), s.ind.end());
  v.insert(v.end(), s.blocal.begin(), s.blocal.end());
  v.insert(v.end(), s.posit.begin(), s.posit.end());
  return v;
}

// The drift shell of p traced in a child forked now, before this process
// has evaluated anything, packed.
std::vector<double> shell_in_fresh_process(Point p) {
  return kest_test::in_fresh_process([p]() mutable {
    Shell s;
    s.trace(p);
    return packed(s);
  });
}

// After a completed L* of 25 lines at another point, a drift shell starts
// its lines from that shell (lines 26 to 48 from the pole, in a process
// that held no larger shell), and with an external model it usually ends
// in the fill value. It clears the memory as it ends: a second call gives
// the point's drift shell exactly as computed alone.
TEST(DriftShell, SecondCallAfterAnLstarEqualsThePointAlone) {
  if (kest_test::rerun_alone_unless_first()) return;
  Point p;
  p.kext = 5;
  const std::vector<double> alone = shell_in_fresh_process(p);
  ASSERT_EQ(alone.size(), 4u + 48 + 1000 * 48 + 3000 * 48);
  ASSERT_NE(alone[1], kFill);
  Point q = p;
  q.x[0] = 3.5;
  q.x[1] = -1.0;
  q.x[2] = 0.3;
  LstarPoint other;
  other.run(q);
  ASSERT_NE(other.lstar, kFill);
  ASSERT_EQ(kest::flag_l.set, 1);
  Shell first;
  first.trace(p);
  EXPECT_EQ(kest::flag_l.set, 0);
  Shell second;
  second.trace(p);
  const std::vector<double> v = packed(second);
  ASSERT_EQ(v.size(), alone.size());
  EXPECT_EQ(std::memcmp(v.data(), alone.data(), v.size() * sizeof(double)), 0);
  EXPECT_EQ(second.lstar, alone[1]);
}

TEST(DriftShell, OutOfRangeInputsFillScalarsAndCountNoLines) {
  Point p;
  p.kext = 1;
  p.maginput[0] = 95.0;
  Shell s;
  s.trace(p);
  EXPECT_EQ(s.lm, kFill);
  EXPECT_EQ(s.lstar, kFill);
  EXPECT_EQ(s.xj, kFill);
  EXPECT_EQ(s.bmin, kFill);
  for (int v : s.ind) ASSERT_EQ(v, 0);
  for (double v : s.posit) ASSERT_EQ(v, 7.0);
}

TEST(DriftShell, LmBeyondTenStoresNoLine) {
  // A high-latitude point: its dipole L is far above 10.
  Point p;
  p.sysaxes = 0;
  p.x[0] = 500.0;
  p.x[1] = 75.0;
  p.x[2] = 300.0;
  Shell s;
  s.trace(p);
  ASSERT_NE(s.lm, kFill);
  EXPECT_GT(std::fabs(s.lm), 10.0);
  EXPECT_EQ(s.lstar, kFill);
  EXPECT_NE(s.bmin, kFill);
  for (int v : s.ind) ASSERT_EQ(v, 0);
  // The field-line tracer has no limit on Lm: the whole line is stored.
  Line l;
  l.trace(p);
  EXPECT_EQ(l.lm, s.lm);
  ASSERT_GT(l.n, 20);
  ASSERT_LT(l.n, 1000);
  EXPECT_LT(norm(&l.posit[3 * (l.n - 1)]), 1.0);
  EXPECT_GE(norm(&l.posit[3 * (l.n - 2)]), 1.0);
  // (With a step of 0.02 Lb, over 2 Earth radii here, the foot point
  // interpolated linearly in r lands well off the sphere; it is not tested.)
}

}  // namespace
