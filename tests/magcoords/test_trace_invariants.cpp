// What guiding-centre physics demands of the tracers, whatever the model:
//
// - In a centred axial dipole the line through a point at radius r and
//   latitude lambda crosses the equator at L = r / cos^2(lambda), where
//   |B| = B0 / L^3; the second invariant of a particle mirroring at lambda is
//   the exact integral I = L int sqrt(1 - B/Bm) cos(l) sqrt(1 + 3 sin^2 l) dl
//   over [-lambda, lambda], and the two hemispheres are mirror images.
// - Every point of one field line lies on the same line: the same magnetic
//   equator, the same foot points, and, for the local pitch angle that puts
//   its mirror field at a given Bm, the same Lm and I as any other point of
//   the line mirroring there.
// - A line traced one way and then back returns to where it started.
// - A drift shell is a surface of constant I at a given Bm: a point of any
//   of its lines at the mirror field has the shell's L*.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "frame/frame_state.hpp"
#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/field_line_trace.hpp"
#include "magcoords/field_setup.hpp"
#include "magcoords/magcoords_state.hpp"
#include "axial_dipole.hpp"
#include "restore.hpp"

namespace {

constexpr double kFill = -1.0e31;
const double kPi = 4.0 * std::atan(1.0);

double norm(const double* x) { return std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]); }

double dist(const double* a, const double* b) {
  const double d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
  return norm(d);
}

// ---- Centred axial dipole -------------------------------------------------

// Exact I / L of a centred-dipole line mirroring at latitude lm (radians),
// with l = lm sin(u) to take out the square-root ends, by Simpson's rule.
double dipole_i_over_l(double lm) {
  auto g = [](double l) {
    const double s = std::sin(l);
    return std::sqrt(1.0 + 3.0 * s * s) / std::pow(std::cos(l), 6);
  };
  const double gm = g(lm);
  const int n = 20000;
  const double h = kPi / n;
  double sum = 0.0;
  for (int k = 0; k <= n; ++k) {
    const double u = -kPi / 2.0 + k * h;
    const double l = lm * std::sin(u);
    const double s = std::sin(l);
    const double f = std::fmax(0.0, 1.0 - g(l) / gm);
    const double w = (k == 0 || k == n) ? 1.0 : (k % 2 ? 4.0 : 2.0);
    sum += w * std::sqrt(f) * std::cos(l) * std::sqrt(1.0 + 3.0 * s * s) * lm * std::cos(u);
  }
  return sum * h / 3.0;
}

// McIlwain's L by Hilton's formula, as published.
double hilton(double xj, double bm, double b0) {
  const double x = xj * xj * xj * bm / b0;
  const double poly = 1.0 + 1.35047 * std::pow(x, 1.0 / 3.0) + 0.465376 * std::pow(x, 2.0 / 3.0) + 0.0475455 * x;
  return std::pow(poly * b0 / bm, 1.0 / 3.0);
}

// Points (altitude km, geodetic latitude and longitude, degrees) and their
// mirror images across the equator give the same Lm, I, Bmin and L*; Lm is
// the line's L to the accuracy of Hilton's formula and of I, Bmin is B0/L^3.
TEST(DipoleLine, LmBminAndIInBothHemispheres) {
  kest_test::Restore guard(kest::dipigrf, kest::soleil, kest::sundip, kest::magmod, kest::flag_l);
  struct Case {
    double alt, lat, lon;
  } cases[] = {{12000.0, 20.0, 30.0}, {20000.0, 35.0, -100.0}, {3000.0, 40.0, 200.0}, {25000.0, 15.0, 77.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "alt " << c.alt << " lat " << c.lat);
    const double b0 = set_axial_dipole(1);
    struct Out {
      double lm, lstar, xj, blocal, bmin, foot;
    } o[2];
    for (int h = 0; h < 2; ++h) {
      int tr = 1, rr = 1;
      double lat = h == 0 ? c.lat : -c.lat, lon = c.lon, alt = c.alt;
      kest::flag_l.set = 0;
      calcul_lstar_(&tr, &rr, &lat, &lon, &alt, &o[h].lm, &o[h].lstar, &o[h].xj, &o[h].blocal, &o[h].bmin);
      ASSERT_NE(o[h].lstar, kFill);
      o[h].foot = kest::calotte.colat[0];
    }
    // Mirror images: the bounce traces run the same steps reflected in z.
    EXPECT_NEAR(o[1].lm, o[0].lm, 1e-12 * o[0].lm);
    EXPECT_NEAR(o[1].xj, o[0].xj, 1e-12 * o[0].xj);
    EXPECT_NEAR(o[1].bmin, o[0].bmin, 1e-12 * o[0].bmin);
    // Both points reach the same foot along +B, by paths of different
    // length: the same colatitude to the tracing error, far below a step of
    // the search. The shell's colatitude grid is anchored there; should the
    // two anchors straddle a point of the flux sum's grid, L* would move by
    // one strip of it, about 1.3 % here.
    EXPECT_NEAR(o[1].foot, o[0].foot, 1e-4);
    EXPECT_NEAR(o[1].lstar, o[0].lstar, 0.015 * o[0].lstar);

    double lat = c.lat, lon = c.lon, alt = c.alt, x[3];
    gdz_geo_(&lat, &lon, &alt, &x[0], &x[1], &x[2]);
    const double r = norm(x), lambda = std::asin(x[2] / r);
    const double l = r / (std::cos(lambda) * std::cos(lambda));
    const double bm = b0 * std::sqrt(1.0 + 3.0 * std::sin(lambda) * std::sin(lambda)) / (r * r * r);
    const double i_exact = l * dipole_i_over_l(lambda);
    EXPECT_NEAR(o[0].blocal, bm, 1e-12 * bm);
    // The parabola through the lowest point and its neighbours, a step of
    // L/50 apart, misses the quartic part of |B| near the equator: a few
    // parts in 1e7.
    EXPECT_NEAR(o[0].bmin, b0 / (l * l * l), 2e-6 * o[0].bmin);
    // The trapezoid sum cuts under sqrt(1 - B/Bm) at its square-root ends,
    // which outweighs its error inside: it lies below the integral, by less
    // than 1 % on these bounce paths of 25 steps or more.
    EXPECT_LT(o[0].xj, i_exact);
    EXPECT_GT(o[0].xj, 0.99 * i_exact);
    // Hilton's formula with the exact I gives L to 1e-4 at these mirror
    // latitudes; the traced I, a little low, moves Lm by about 1e-3 more.
    EXPECT_NEAR(hilton(i_exact, bm, b0), l, 1e-4 * l);
    EXPECT_NEAR(o[0].lm, l, 1.2e-3 * l);
  }
}

// The bounce integral converges to the exact dipole integral from below as
// the step shrinks, at the order h^(3/2) that the square-root ends of the
// integrand leave to a trapezoid sum: a quarter of the step cuts the error
// about eightfold (7 to 8 here), more than fivefold where an error of first
// order would fall only fourfold.
TEST(DipoleLine, BounceIntegralConvergesToTheExactIntegralFromBelow) {
  kest_test::Restore guard(kest::dipigrf, kest::soleil, kest::sundip, kest::magmod, kest::flag_l);
  namespace fl = kest::fline;
  set_axial_dipole(0);
  const double l = 4.0;
  for (double deg : {7.5, 20.0, 35.0}) {
    SCOPED_TRACE(testing::Message() << "mirror latitude " << deg);
    const double lambda = deg * kPi / 180.0, r = l * std::cos(lambda) * std::cos(lambda);
    const double x[3] = {r * std::cos(lambda) * std::cos(0.3), r * std::cos(lambda) * std::sin(0.3),
                         r * std::sin(lambda)};
    const double i_exact = l * dipole_i_over_l(lambda);
    double err[2];
    for (int j = 0; j < 2; ++j) {
      fl::TracePoint p;
      ASSERT_TRUE(fl::start_point_geo(x, fl::StepRule::lb_over_50, p));
      p.ds /= (j == 0 ? 1.0 : 4.0);
      fl::Bounce bo;
      ASSERT_EQ(fl::bounce(p, 100000, bo), fl::BounceStatus::ok);
      err[j] = bo.xj - i_exact;
      EXPECT_LT(err[j], 0.0);
    }
    EXPECT_LT(-err[0], 0.02 * i_exact);
    EXPECT_LT(-err[1], -err[0] / 5.0);
  }
}

// Across the magnetic equator the bounce stage changes branch: within half a
// step of the minimum (the step L/50 along a line whose arc length near the
// equator is L lambda, so |lambda| < 0.01 rad) both neighbours are stronger
// and a parabola gives Bmin, I and Lm = (B0/Bmin)^(1/3); further out the
// trapezoid sum and Hilton's formula take over. Lm, Bmin and I of points on
// both sides of the switch stay those of the line: Lm = L to the 1e-4 by which
// a trapezoid I short by a few hundredths of a step moves Hilton's formula
// (dLm/L = 0.45 dI/L), Bmin = B0/L^3 to the parabola's quartic error, I to a
// few hundredths of a step. Neither branch may jump by more.
TEST(DipoleLine, LmBminAndIContinuousAcrossTheEquator) {
  kest_test::Restore guard(kest::dipigrf, kest::soleil, kest::sundip, kest::magmod, kest::flag_l);
  namespace fl = kest::fline;
  const double b0 = set_axial_dipole(0);
  const double l = 4.0, ds = l / 50.0;
  for (double deg : {-3.0, -1.0, -0.6, -0.55, -0.3, 0.3, 0.55, 0.6, 1.0, 3.0}) {
    SCOPED_TRACE(testing::Message() << "latitude " << deg);
    const double lambda = deg * kPi / 180.0, r = l * std::cos(lambda) * std::cos(lambda);
    const double x[3] = {r * std::cos(lambda) * std::cos(0.3), r * std::cos(lambda) * std::sin(0.3),
                         r * std::sin(lambda)};
    fl::TracePoint p;
    ASSERT_TRUE(fl::start_point_geo(x, fl::StepRule::lb_over_50, p));
    fl::Bounce bo;
    ASSERT_EQ(fl::bounce(p, fl::kTraceBudget, bo), fl::BounceStatus::ok);
    EXPECT_EQ(bo.equator, std::fabs(lambda) < 0.01);
    EXPECT_NEAR(bo.lm, l, 4e-4 * l);
    EXPECT_NEAR(bo.bmin, b0 / (l * l * l), 1e-6 * bo.bmin);
    EXPECT_NEAR(bo.xj, l * dipole_i_over_l(std::fabs(lambda)), 0.04 * ds);
  }
}

// ---- One field line ------------------------------------------------------

struct Point {
  int kext = 0;
  int options[5] = {0, 0, 0, 0, 0};
  int sysaxes = 1;
  int iyr = 2004, idoy = 75;
  double ut = 7200.0;
  double x[3] = {3.1, -2.2, 1.4};
  double maginput[25] = {};
};

struct Line {
  double lm = 0, bmin = 0, xj = 0;
  std::vector<double> blocal = std::vector<double>(1000), posit = std::vector<double>(3000);
  int n = 0;
  void trace(Point p) {
    trace_field_line1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                       p.maginput, &lm, blocal.data(), &bmin, &xj, posit.data(), &n);
  }
};

struct Equator {
  double bmin = 0, x[3] = {0, 0, 0};
  void find(Point p) {
    find_magequator1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2],
                      p.maginput, &bmin, x);
  }
};

// Lm, I and the mirror field of one pitch angle at a point (shell splitting,
// one time, one angle).
struct Pitch {
  std::vector<double> lm = std::vector<double>(100000), lstar = std::vector<double>(100000),
                      bmirr = std::vector<double>(100000), xj = std::vector<double>(100000);
  double bmin = 0, mlt = 0;
  void run(Point p, double alpha) {
    int n = 1, nipa = 1;
    make_lstar_shell_splitting1_(&n, &nipa, &p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0],
                                 &p.x[1], &p.x[2], &alpha, p.maginput, lm.data(), lstar.data(), bmirr.data(), &bmin,
                                 xj.data(), &mlt);
  }
};

struct Model {
  const char* name;
  int kext;
  int kint;
  double kp10;
};
const Model kModels[] = {{"IGRF", 0, 0, 0.0},
                         {"eccentric dipole", 0, 1, 0.0},
                         {"IGRF + Olson-Pfitzer quiet", 5, 0, 0.0},
                         {"IGRF + Tsyganenko 1989, Kp 2", 4, 0, 20.0}};

// From points spread along the line through P, on both sides of its
// equator: the same equator and foot point, and for the particle whose local
// pitch angle puts its mirror field at |B(P)|, the Lm and I of the particle
// mirroring at P.
TEST(FieldLine, EveryPointOfTheLineGivesTheSameEquatorFootAndInvariants) {
  for (const Model& m : kModels) {
    SCOPED_TRACE(m.name);
    Point p;
    p.kext = m.kext;
    p.options[4] = m.kint;
    p.maginput[0] = m.kp10;
    Line line;
    line.trace(p);
    ASSERT_GT(line.n, 50);
    Equator e0;
    e0.find(p);
    ASSERT_NE(e0.bmin, kFill);
    Pitch p90;
    p90.run(p, 90.0);
    const double bp = p90.bmirr[0], lm0 = p90.lm[0], xj0 = p90.xj[0];
    ASSERT_GT(xj0, 1.0);
    // The stretch of the line below |B(P)|, between P and its conjugate.
    int k0 = -1, k1 = -1;
    for (int k = 0; k < line.n; ++k)
      if (line.blocal[k] < bp) {
        if (k0 < 0) k0 = k;
        k1 = k;
      }
    ASSERT_GT(k1 - k0, 8);
    for (int k : {line.n / 8, k0 + (k1 - k0) / 4, (k0 + k1) / 2, k1 - (k1 - k0) / 4, line.n - line.n / 8}) {
      SCOPED_TRACE(testing::Message() << "point " << k);
      Point q = p;
      for (int j = 0; j < 3; ++j) q.x[j] = line.posit[3 * k + j];
      // The equator search steps 0.02 Lb of its own start and fits a
      // parabola at the lowest point: the same minimum to 1e-4 and its
      // place to 1e-3 Earth radii, 1 % of a step.
      Equator e;
      e.find(q);
      EXPECT_NEAR(e.bmin, e0.bmin, 1e-4 * e0.bmin);
      EXPECT_LT(dist(e.x, e0.x), 1e-3);
      // The foot point reached along +B, interpolated to r = 1 within one
      // step of about 0.1 Earth radius: the same point to 2e-4 Earth radii.
      Line l;
      l.trace(q);
      ASSERT_GT(l.n, 1);
      EXPECT_LT(dist(&l.posit[0], &line.posit[0]), 2e-4);
      if (!(line.blocal[k] < bp)) continue;
      const double alpha = std::asin(std::sqrt(line.blocal[k] / bp)) * 180.0 / kPi;
      Pitch a;
      a.run(q, alpha);
      // The mirror point lies up to 1/100 of a step short of the crossing,
      // where |B| is lower by at most a few parts in 1e4; Lm and I follow it
      // to 5e-4 and 0.3 %.
      EXPECT_LE(a.bmirr[0], bp * (1.0 + 1e-9));
      EXPECT_GT(a.bmirr[0], bp * (1.0 - 1e-3));
      EXPECT_NEAR(a.lm[0], lm0, 5e-4 * lm0);
      EXPECT_NEAR(a.xj[0], xj0, 3e-3 * xj0);
    }
  }
}

// Traced back along +B from its last point above the surface, for as many
// steps as the stored line took from its foot, the line returns to that foot:
// the fourth-order step, run forth and back, strays by far less than a
// kilometre (1e-4 Earth radii).
TEST(FieldLine, TracedBackItReturnsToItsFoot) {
  for (const Model& m : kModels) {
    SCOPED_TRACE(m.name);
    const double starts[2][3] = {{3.1, -2.2, 1.4}, {-4.5, 3.0, -1.5}};
    for (const auto& x0 : starts) {
      Point p;
      p.kext = m.kext;
      p.options[4] = m.kint;
      p.maginput[0] = m.kp10;
      for (int j = 0; j < 3; ++j) p.x[j] = x0[j];
      Line line;
      line.trace(p);
      ASSERT_GT(line.n, 50);
      ASSERT_LT(norm(&line.posit[3 * (line.n - 1)]), 1.0);
      // The step of the stored line, 0.02 Lb of P, in the frame of the time.
      double h = 0.02 * kest::fline::dipole_l(p.x);
      double x[3] = {line.posit[3 * (line.n - 2)], line.posit[3 * (line.n - 2) + 1], line.posit[3 * (line.n - 2) + 2]};
      for (int k = 0; k < line.n - 2; ++k) {
        double xn[3], bl;
        int ifail = 0;
        sksyst_(&h, x, xn, &bl, &ifail);
        ASSERT_EQ(ifail, 0);
        for (int j = 0; j < 3; ++j) x[j] = xn[j];
      }
      EXPECT_LT(dist(x, &line.posit[0]), 1e-4);
    }
  }
}

// ---- Drift shells ----------------------------------------------------------

// Each line of a traced drift shell carries the point's I at its field: a
// point of line i where |B| = |B(P)| has the shell's L*. The line's foot is
// placed on a grid of 0.25 degree in colatitude, and a search whose first
// move already crosses keeps the far end, so the foot may lie a whole step
// off: at foot colatitude theta that is a shell of L different by
// 2 cot(theta) dtheta (from sin^2 theta = 1/L); the L* computed there adds
// its own grid, under 1 %.
TEST(DriftShell, PointsOfItsLinesAtTheMirrorFieldGiveItsLstar) {
  kest_test::Restore guard(kest::flag_l, kest::calotte);
  Point p;
  p.kext = 5;
  p.options[0] = 1;
  kest::flag_l.set = 0;  // the point's own shell, not one started from an earlier L*
  double lm, lstar, bmin, xj;
  std::vector<double> blocal(1000 * 48), posit(3000 * 48);
  std::vector<int> ind(48);
  drift_shell1_(&p.kext, p.options, &p.sysaxes, &p.iyr, &p.idoy, &p.ut, &p.x[0], &p.x[1], &p.x[2], p.maginput, &lm,
                &lstar, blocal.data(), &bmin, &xj, posit.data(), ind.data());
  ASSERT_NE(lstar, kFill);
  double x[3] = {p.x[0], p.x[1], p.x[2]}, bv[3], bp;
  int ifail = 0;
  champ_(x, bv, &bp, &ifail);
  const double dtheta = kPi / 720.0;
  for (int i : {6, 18, 30, 42}) {
    SCOPED_TRACE(testing::Message() << "line " << i + 1);
    const double* pos = &posit[3000 * i];
    const double* bl = &blocal[1000 * i];
    const double theta = std::acos(pos[2] / norm(pos));
    // The first crossing of |B(P)| from the foot, interpolated.
    int k = 0;
    while (k + 1 < ind[i] && !(bl[k] >= bp && bl[k + 1] < bp)) ++k;
    ASSERT_LT(k + 1, ind[i]);
    const double f = (bp - bl[k]) / (bl[k + 1] - bl[k]);
    Point q = p;
    for (int j = 0; j < 3; ++j) q.x[j] = pos[3 * k + j] + f * (pos[3 * (k + 1) + j] - pos[3 * k + j]);
    int n = 1;
    double qlm, qlstar, qblocal, qbmin, qxj, qmlt;
    make_lstar1_(&n, &q.kext, q.options, &q.sysaxes, &q.iyr, &q.idoy, &q.ut, &q.x[0], &q.x[1], &q.x[2], q.maginput,
                 &qlm, &qlstar, &qblocal, &qbmin, &qxj, &qmlt);
    ASSERT_NE(qlstar, kFill);
    EXPECT_NEAR(qlstar, lstar, (2.0 * dtheta / std::tan(theta) + 0.01) * lstar);
  }
}

}  // namespace
