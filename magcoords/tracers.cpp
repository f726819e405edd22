// The one-point tracers: the drift shell of a point with its 48 field lines,
// the field line through a point, the mirror point of a pitch angle and the
// magnetic equator of a line.
//
// Each is a sequence of the shared trace stages of field_line_trace.hpp;
// they differ only in the parameters of those stages and in what they keep.
// All require the field-model set-up of the time (magmod, drivers, dip_ang,
// the internal field, the sun and dipole axes). Nothing is re-entrant.
#include <cmath>

#include "frame/conventions.hpp"
#include "frame/frame_state.hpp"
#include "kest.h"
#include "magcoords/field_line_trace.hpp"
#include "magcoords/magcoords_state.hpp"

namespace {

using kest::baddata;
using kest::FieldDir;
using kest::field_dir;
using kest::rk_step;
namespace fl = kest::fline;

inline double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline void copy3(const double* a, double* b) {
  b[0] = a[0];
  b[1] = a[1];
  b[2] = a[2];
}

inline void fill3(double* x) { x[0] = x[1] = x[2] = baddata; }

// Working storage of the drift-shell tracer.
//   phi  longitude (radians) of each field line of the shell.
struct DriftShellWork {
  double phi[fl::kShellLines];
};
DriftShellWork drift_work;

// The colatitude resolution of the traced drift shell: 720 steps over 180
// degrees.
constexpr int kShellTheta = 720;

// The refinement of the mirror point: at most 100 steps of 1/100 of the step.
constexpr int kMirrorRefineSteps = 100;
constexpr double kMirrorRefineFraction = 0.01;

}  // namespace

// trace_drift_shell: Lm, L*, I and Bmin of a point with its drift shell of 48
// field lines, each stored from foot point to foot point.
// Given:    lati, longi  double  geodetic latitude, longitude, degrees
//           alti         double  km above the WGS84 ellipsoid
// Returned: lm      double  McIlwain's L (Hilton; negative when the conjugate
//                           mirror point lies below the surface)
//           lstar   double  L* of the drift shell (never Phi, never negative)
//           xj      double  second invariant I, Earth radii
//           blocal  double[1000 x 48]  |B| at point k of line i, nT
//           bmin    double  minimum |B| on the point's field line, nT
//           posit   double[3 x 1000 x 48]  GEO x, y, z of point k of line i
//           ind     int[48]  points stored on line i (0: line not stored)
// State:    reads magmod.lstar_opt, dipigrf.b0, flag_l; writes calotte(1..48)
//           and clears flag_l at every exit.
// Requires: the field-model set-up of the time.
// Failure:  fill value -1.0E31 in what could not be computed: point refused
//           (by champ, not finite, or without a finite field): all four
//           scalars; bounce trace refused or open, or the point the minimum
//           of its line with a parabola vertex at or below zero: all four;
//           refinement refused: lstar, bmin; refined minimum at or below
//           zero (next to a near-null of the field): bmin only; |lm| > 10,
//           foot point not found,
//           a refused step while storing, a failed colatitude search, a foot
//           field below the point's field, a refused point of the flux:
//           lstar. Lines not stored have ind 0.
// Notes:    1. Step 0.02 Lb, 1000 steps per trace, colatitude steps of 0.25
//              degree; line i + 1 lies 7.5 degrees east of line i.
//           2. A line that would need more than 1000 points is stored up to
//              its 1000th point and marked as cut: ind = 1000 and its last
//              point still above the surface.
//           3. The colatitude search starts from calotte when flag_l is set
//              (the shell of the last L* computation), else from the linear
//              extrapolation of the two lines before. That shell has 25 x
//              r_resol lines at its own longitude spacing (and beyond its
//              count holds older values, 0 in a fresh process): the search
//              then settles on a grid anchored at those starts, and from a
//              start far from the crossing it can pass over lines the model
//              refuses and end with lstar at the fill value, where the same
//              point traced from scratch has an L*.
//           4. lstar_opt 0: only line 1 (the line through the point) is
//              stored; lstar keeps the fill value and the other ind are 0.
// References: Roederer, Dynamics of Geomagnetically Trapped Radiation (1970).
extern "C" void trace_drift_shell_(double* lati, double* longi, double* alti, double* lm, double* lstar,
                                   double* xj, double* blocal, double* bmin, double* posit, int* ind) {
  using kest::calotte;
  using kest::flag_l;
  const double pi = 4.0 * std::atan(1.0);
  const bool reuse = flag_l.set != 0;
  flag_l.set = 0;  // the foot points written here never seed a later search
  *lm = *lstar = baddata;
  for (int i = 0; i < fl::kShellLines; ++i) ind[i] = 0;

  fl::TracePoint p;
  if (!fl::start_point(*lati, *longi, *alti, fl::StepRule::lb_times_002, p)) {
    *xj = *bmin = baddata;
    return;
  }
  const double bp = p.f.b;
  fl::Bounce bo;
  switch (fl::bounce(p, fl::kTraceBudget, bo)) {
    case fl::BounceStatus::failed:
      *xj = *bmin = baddata;
      return;
    case fl::BounceStatus::refine_failed:
      *lm = bo.lm;
      *xj = bo.xj;
      *bmin = baddata;
      return;
    case fl::BounceStatus::ok:
      break;
  }
  *lm = bo.lm;
  *xj = bo.xj;
  *bmin = bo.bmin;
  if (std::fabs(*lm) > fl::kMaxLmForShell) return;

  double foot[3];
  FieldDir ffoot;
  if (!fl::foot_point(p, fl::kTraceBudget, foot, ffoot)) return;
  calotte.colat[0] = std::acos(foot[2] / std::sqrt(dot(foot, foot)));
  double* phi = drift_work.phi;
  phi[0] = std::atan2(foot[1], foot[0]);
  const double ds = std::fabs(p.ds);
  const int line_size = fl::kLinePoints;
  fl::StoredLine sl = fl::store_line(foot, ffoot, ds, line_size, &posit[0], &blocal[0]);
  ind[0] = sl.count;
  if (sl.refused) return;
  if (kest::magmod.lstar_opt == 0) return;

  const double dtheta = pi / kShellTheta;
  const fl::ShellStore store{posit, blocal, ind, line_size};
  if (!fl::drift_shell_walk(fl::kShellLines, calotte.colat, phi, dtheta, ds, bp, *xj, fl::kTraceBudget,
                            fl::NullIntegral::zero, reuse, &store))
    return;

  double flux;
  if (!fl::polar_cap_flux(fl::kShellLines, calotte.colat, phi, dtheta, kShellTheta, flux)) return;
  *lstar = 2.0 * pi * kest::dipigrf.b0 / flux;
}

// field_line_tracing: Lm, I and Bmin of a point and its field line from foot
// point to foot point.
// Given:    lati, longi  double  geodetic latitude, longitude, degrees
//           alti         double  km above the WGS84 ellipsoid
// Returned: lm      double  McIlwain's L (Hilton; negative when the conjugate
//                           mirror point lies below the surface; no limit)
//           xj      double  second invariant I, Earth radii
//           blocal  double[1000]  |B| at point k of the line, nT
//           bmin    double  minimum |B| on the line, nT
//           posit   double[3 x 1000]  GEO x, y, z of point k, Earth radii
//           nposit  int     points stored
// State:    reads dipigrf.b0; does not touch calotte or flag_l.
// Requires: the field-model set-up of the time.
// Failure:  point refused (as in trace_drift_shell_) or bounce trace refused
//           or open (as there): lm, xj, bmin fill;
//           refinement refused: bmin fill; in these cases and when the foot
//           point is not found, nposit = 0. A refined minimum at or below
//           zero (next to a near-null of the field): bmin fill, the line
//           stored. A step refused while storing:
//           nposit = the points stored.
// Notes:    1. Step 0.02 Lb; the line starts at the foot point reached along
//              +B and runs against the field to the first point below r = 1.
//           2. A line that would need more than 1000 points stops at its
//              1000th point: nposit = 1000 with the last point above r = 1.
extern "C" void field_line_tracing_(double* lati, double* longi, double* alti, double* lm, double* xj,
                                    double* blocal, double* bmin, double* posit, int* nposit) {
  *lm = baddata;
  *nposit = 0;
  fl::TracePoint p;
  if (!fl::start_point(*lati, *longi, *alti, fl::StepRule::lb_times_002, p)) {
    *xj = *bmin = baddata;
    return;
  }
  fl::Bounce bo;
  switch (fl::bounce(p, fl::kTraceBudget, bo)) {
    case fl::BounceStatus::failed:
      *xj = *bmin = baddata;
      return;
    case fl::BounceStatus::refine_failed:
      *lm = bo.lm;
      *xj = bo.xj;
      *bmin = baddata;
      return;
    case fl::BounceStatus::ok:
      break;
  }
  *lm = bo.lm;
  *xj = bo.xj;
  *bmin = bo.bmin;
  double foot[3];
  FieldDir ffoot;
  if (!fl::foot_point(p, fl::kTraceBudget, foot, ffoot)) return;
  const fl::StoredLine sl = fl::store_line(foot, ffoot, std::fabs(p.ds), fl::kLinePoints, posit, blocal);
  *nposit = sl.count;
}

// find_bm: mirror point of a particle of local pitch angle alpha at a point.
// Given:    lati, longi  double  geodetic latitude, longitude, degrees
//           alti         double  km above the WGS84 ellipsoid
//           alpha        double  local pitch angle, degrees
// Returned: blocal  double  |B| at the point, nT
//           bmirr   double  |B| at the mirror point found, nT (at most
//                           blocal / sin^2 alpha)
//           xgeo    double[3]  GEO position of the mirror point, Earth radii
// State:    reads the model state; writes no record.
// Requires: the field-model set-up of the time.
// Failure:  point refused (as in trace_drift_shell_): all outputs fill.
//           Pitch angle with sin alpha = 0
//           (no finite mirror field), refused step, no crossing of the
//           mirror field within 999 steps, mirror point below r = 1: bmirr
//           and xgeo fill.
// Notes:    1. The trace goes towards the stronger field in steps of 0.02 Lb
//              and refines in steps of 0.01 of that; the mirror point is the
//              strongest traced point below the mirror field (the last one
//              before the crossing where |B| only grows), moved by the
//              refinement to its last point below, on the weak side of the
//              crossing, and bmirr is the field there.
//           2. Only sin^2 alpha enters: alpha and 180 - alpha give the same
//              mirror point.
extern "C" void find_bm_(double* lati, double* longi, double* alti, double* alpha, double* blocal,
                         double* bmirr, double* xgeo) {
  fl::TracePoint p;
  if (!fl::start_point(*lati, *longi, *alti, fl::StepRule::lb_times_002, p)) {
    *blocal = *bmirr = baddata;
    fill3(xgeo);
    return;
  }
  *blocal = p.f.b;
  *bmirr = *blocal;
  auto fail = [&]() {
    *bmirr = baddata;
    fill3(xgeo);
  };
  const double pi = 4.0 * std::atan(1.0);
  const double sa = std::sin(*alpha * pi / 180.0);
  const double s2 = sa * sa;
  // A particle moving along the field never mirrors: no finite target.
  if (!(s2 > 0.0)) return fail();
  const double bm = *blocal / s2;
  if (!std::isfinite(bm)) return fail();
  double best = s2;

  // Towards the stronger field; a tie keeps the direction of +B.
  double ds = p.ds;
  double xm[3], xp[3];
  FieldDir fm, fp;
  if (!rk_step(-ds, p.x, p.f, xm, fm) || !rk_step(ds, p.x, p.f, xp, fp)) return fail();
  if (fp.b < fm.b) ds = -ds;

  double xmir[3], x[3], xn[3];
  FieldDir fmir = p.f, fx = p.f, fn;
  copy3(p.x, xmir);
  copy3(p.x, x);
  bool crossed = false;
  int k = 0;
  for (k = 1; k <= fl::kTraceBudget; ++k) {
    if (!rk_step(ds, x, fx, xn, fn)) return fail();
    const double ratio = fn.b / bm;
    if (ratio > 1.0) {
      crossed = true;
      break;
    }
    if (ratio > best) {
      copy3(xn, xmir);
      fmir = fn;
      best = ratio;
    }
    copy3(xn, x);
    fx = fn;
  }
  if (!crossed || k >= fl::kTraceBudget) return fail();

  const double h = kMirrorRefineFraction * ds;
  for (k = 1; k <= kMirrorRefineSteps; ++k) {
    if (!rk_step(h, xmir, fmir, xn, fn)) return fail();
    const double ratio = fn.b / bm;
    if (ratio > 1.0) break;
    copy3(xn, xmir);
    fmir = fn;
    best = ratio;
  }
  // The particle mirrors below the surface: it is lost, not trapped.
  if (dot(xmir, xmir) < 1.0) return fail();
  copy3(xmir, xgeo);
  *bmirr = fmir.b;
}

// loc_equator: the magnetic equator (minimum of |B|) of the field line
// through a point.
// Given:    lati, longi  double  geodetic latitude, longitude, degrees
//           alti         double  km above the WGS84 ellipsoid
// Returned: bmin  double  minimum |B| on the line, nT
//           xgeo  double[3]  GEO position of the minimum, Earth radii
// State:    reads the model state; writes no record.
// Requires: the field-model set-up of the time.
// Failure:  a refused point or step, a line that does not rise back above
//           the point's field within 499 steps, or a lowest point whose
//           neighbours are as low (no parabola vertex), or a vertex at or
//           below zero (next to a near-null of the field): bmin and xgeo
//           fill.
// Notes:    1. Steps of 0.02 Lb towards the weaker field; the minimum is the
//              vertex of the parabola through the lowest point and its two
//              neighbours, and xgeo one field-line step of that offset from
//              the lowest point.
extern "C" void loc_equator_(double* lati, double* longi, double* alti, double* bmin, double* xgeo) {
  auto fail = [&]() {
    *bmin = baddata;
    fill3(xgeo);
  };
  fl::TracePoint p;
  if (!fl::start_point(*lati, *longi, *alti, fl::StepRule::lb_times_002, p)) return fail();
  const double bp = p.f.b;
  *bmin = bp;
  double ds = p.ds;
  double x1[3], x2[3];
  FieldDir f1, f2;
  if (!rk_step(-ds, p.x, p.f, x1, f1) || !rk_step(ds, p.x, p.f, x2, f2)) return fail();
  FieldDir fe;
  if (f1.b > bp && f2.b > bp) {
    // The point is the lowest of the three.
    double bm;
    const double t = fl::parabola_vertex(f1.b, bp, f2.b, bm);
    if (!(bm > 0.0)) return fail();
    if (!rk_step(t * ds, p.x, p.f, xgeo, fe)) return fail();
    *bmin = bm;
    return;
  }
  if (f1.b < f2.b) ds = -ds;
  double x[3], xn[3], xmin[3];
  FieldDir fx = p.f, fn, fmin = p.f;
  copy3(p.x, x);
  copy3(p.x, xmin);
  double bmn = bp;
  bool risen = false;
  int k = 0;
  for (k = 1; k <= fl::kEquatorBudget; ++k) {
    if (!rk_step(ds, x, fx, xn, fn)) return fail();
    if (fn.b < bmn) {
      bmn = fn.b;
      copy3(xn, xmin);
      fmin = fn;
    }
    if (fn.b > bp) {
      risen = true;
      break;
    }
    copy3(xn, x);
    fx = fn;
  }
  if (!risen || k >= fl::kEquatorBudget) return fail();
  double xr[3];
  FieldDir fr;
  if (!rk_step(ds, xmin, fmin, xr, fr)) return fail();
  const double bplus = fr.b;
  if (!rk_step(-ds, xmin, fmin, xr, fr)) return fail();
  const double bminus = fr.b;
  double bm;
  const double t = fl::parabola_vertex(bminus, bmn, bplus, bm);
  // Three equal values have no vertex (no offset, no minimum); a vertex at or
  // below zero (the parabola overshooting next to a near-null of the field,
  // on lines over the cusp) is no field magnitude.
  if (!std::isfinite(t) || !std::isfinite(bm) || !(bm > 0.0)) return fail();
  if (!rk_step(t * ds, xmin, fmin, xgeo, fe)) return fail();
  *bmin = bm;
}
