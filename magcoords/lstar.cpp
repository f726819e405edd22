// Field-line step and the L* computation of one point.
//
// sksyst_ is the fourth-order Runge-Kutta step along the field direction that
// every tracer uses. calcul_lstar_ gives, for a particle mirroring at a point,
// the local and minimum field, the second invariant I, McIlwain's Lm (Hilton's
// approximation) and the drift-shell parameter L* (or the flux Phi of the
// shell), keeping the foot points of the last completed shell in calotte.
//
// All tracing is in GEO Cartesian coordinates, Earth radii. Every field value
// comes from champ_. Nothing here is re-entrant: the working storage and the
// drift-shell memory are process-wide.
#include <cmath>

#include "frame/conventions.hpp"
#include "frame/frame_state.hpp"
#include "kest.h"
#include "magcoords/field_step.hpp"
#include "magcoords/magcoords_state.hpp"

namespace {

using kest::baddata;
using kest::FieldDir;
using kest::field_dir;
using kest::rk_step;

// Most field lines of one drift shell (the size of calotte).
constexpr int kMaxShellLines = 250;
static_assert(sizeof(kest::Calotte::colat) / sizeof(double) == kMaxShellLines);
// Steps of one field-line trace. A trace that has not ended by then is
// treated as open (or far too long for the step size).
constexpr int kMaxSteps = 1000;
// Steps per dipole L value: the step is Lb / 50 Earth radii.
constexpr double kStepsPerL = 50.0;
// Lm beyond which no drift shell is traced.
constexpr double kMaxLmForLstar = 10.0;

// Working storage of calcul_lstar, kept static as all state of the tracers.
//   phi  longitude (radians) of each field line of the drift shell.
struct LstarWork {
  double phi[kMaxShellLines];
};
LstarWork work;

inline double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline void copy3(const double* a, double* b) {
  b[0] = a[0];
  b[1] = a[1];
  b[2] = a[2];
}

inline void unit_sphere(double theta, double phi, double* x) {
  x[0] = std::sin(theta) * std::cos(phi);
  x[1] = std::sin(theta) * std::sin(phi);
  x[2] = std::cos(theta);
}

// Outcome of one trace from a foot point of the drift shell.
struct LineTrace {
  double I;      // the bounce integral of the line (fill when not entered)
  bool closed;   // the trace ended within its first kMaxSteps - 1 steps
};

// Traces the field line from the unit-sphere point (theta, phi) with step ds
// (negative: against the field, outward from a northern foot point) and
// integrates sqrt(1 - B/Bm) over the part of the line where B < Bm, with
// linear end corrections at the two crossings of B = Bm. Returns false when
// champ refuses a point.
bool trace_line(double theta, double phi, double ds, double bm, LineTrace& out) {
  double x[3], xn[3];
  unit_sphere(theta, phi, x);
  FieldDir fx, fn;
  if (!field_dir(x, fx)) return false;
  bool entered = false;
  bool stopped = false;
  double I = baddata;
  double b = 0.0;
  int k = 0;
  for (k = 1; k <= kMaxSteps; ++k) {
    if (!rk_step(ds, x, fx, xn, fn)) return false;
    b = fn.b;
    if (b < bm) {
      if (!entered) {
        // Entry into the region below Bm between x and xn: half weight of
        // xn plus the triangle over the fraction of the step below Bm.
        I = 0.5 * std::sqrt(1.0 - b / bm) * (1.0 + (b - bm) / (b - fx.b));
        entered = true;
      } else {
        I = I + std::sqrt(1.0 - b / bm);
      }
    }
    if ((b > bm && entered) || dot(xn, xn) < 1.0) {
      stopped = true;
      break;
    }
    copy3(xn, x);
    fx = fn;
  }
  out.closed = stopped && k < kMaxSteps;
  if (dot(xn, xn) < 1.0) {
    I = baddata;  // the line reached the surface without a mirror point
  } else if (out.closed) {
    // Exit between x (below Bm) and xn (above): remove the half weight that
    // the sum gave x beyond the crossing.
    I = std::fabs(ds) * (I + 0.5 * std::sqrt(1.0 - fx.b / bm) * (bm - b) / (b - fx.b));
  }
  out.I = I;
  return true;
}

}  // namespace

// sksyst: one fourth-order Runge-Kutta step along the field direction.
// Given:    h     double  step length, Earth radii; positive along B,
//                          negative against it
//           xin   double[3]  start point, GEO, Earth radii
// Returned: xout  double[3]  end point, GEO, Earth radii
//           bl    double  |B| at xout, nT
//           ifail int     0, or negative when champ refused a point
// State:    reads what champ_ reads.
// Requires: the field-model set-up of the time.
// Failure:  the first refusal ends the step at once (xout, bl meaningless).
// Notes:    1. Five field evaluations: the four stages of the unit field
//              direction and |B| at the end point.
extern "C" void sksyst_(double* h, double* xin, double* xout, double* bl, int* ifail) {
  FieldDir f0, f1;
  *ifail = 0;
  if (!field_dir(xin, f0, ifail)) return;
  if (!rk_step(*h, xin, f0, xout, f1, ifail)) return;
  *bl = f1.b;
}

// calcul_lstar: Lm, L* (or Phi), I, Blocal and Bmin of a point.
// Given:    t_resol  int     latitude resolution: 720 x t_resol colatitude
//                            steps over 180 degrees (1 to 10)
//           r_resol  int     drift shell of 25 x r_resol field lines (1 to 10)
//           lati, longi  double  geodetic latitude, longitude, degrees
//           alti     double  km above the WGS84 ellipsoid
// Returned: lm       double  McIlwain's L (negative when the conjugate mirror
//                            point lies below the surface)
//           lstar    double  L* (lstar_opt 1) or the flux Phi of the drift
//                            shell, nT Re^2 (lstar_opt 2); negative with lm
//           xj       double  second invariant I, Earth radii
//           blocal   double  |B| at the point, nT
//           bmin     double  minimum |B| along the field line, nT
// State:    reads magmod.lstar_opt, dipigrf.b0 and what champ_ reads; reads
//           and writes calotte, flag_l.
// Requires: the field-model set-up of the time (magmod, drivers, dip_ang,
//           internal field, sun and dipole axes).
// Failure:  fill value -1.0E31 in the outputs that could not be computed,
//           flag_l = 0:
//           point refused by champ: all five outputs;
//           bounce trace refused or not closed within 999 steps: lm, lstar,
//             xj, bmin;
//           minimum refinement refused: lstar, bmin;
//           lstar_opt not 1 or 2, or |lm| > 10: lstar only (not an error);
//           foot point, drift shell or flux refused or not found: lstar.
// Notes:    1. The bounce integral is a sum of sqrt(1 - B/Blocal) at the
//              step points with a linear correction at its far end; Bmin is
//              refined by a parabola through the lowest point and its two
//              neighbours.
//           2. L* = 2 pi B0 / Phi, Phi the flux through the polar cap bounded
//              by the shell's foot points, integrated in colatitude steps of
//              pi / (720 t_resol) along each line's meridian.
//           3. The foot-point colatitude of each line is searched in steps of
//              that size from the previous shell's value (flag_l set) or from
//              the linear extrapolation of the two lines before it.
// References: McIlwain, J. Geophys. Res. 66, 3681 (1961); Hilton, J. Geophys.
//           Res. 76, 6952 (1971); Roederer, Dynamics of Geomagnetically
//           Trapped Radiation (1970).
extern "C" void calcul_lstar_(int* t_resol, int* r_resol, double* lati, double* longi, double* alti,
                              double* lm, double* lstar, double* xj, double* blocal, double* bmin) {
  using kest::calotte;
  using kest::flag_l;
  const double pi = 4.0 * std::atan(1.0);
  // Resolutions outside 1..10 fall back to the coarsest, as an invalid
  // latitude resolution does in the array cores; the shell never has more
  // lines than calotte holds.
  const int tr = (*t_resol >= 1 && *t_resol <= 10) ? *t_resol : 1;
  const int rr = (*r_resol >= 1 && *r_resol <= 10) ? *r_resol : 1;
  const int nlines = 25 * rr;
  const int ntheta = 720 * tr;
  const double dtheta = pi / ntheta;

  // 1. Start.
  *lm = *lstar = *xj = baddata;
  double x0[3], xsm[3];
  gdz_geo_(lati, longi, alti, &x0[0], &x0[1], &x0[2]);
  geo_sm_(x0, xsm);
  const double r = std::sqrt(dot(xsm, xsm));
  const double s = std::sin(std::acos(xsm[2] / r));
  const double lb = r / (s * s);
  FieldDir f0;
  if (!field_dir(x0, f0)) {
    *blocal = *xj = *bmin = baddata;
    flag_l.set = 0;
    return;
  }
  const double bloc = f0.b;
  *blocal = bloc;
  *bmin = bloc;

  // 2. Step size: a fixed fraction of the dipole L of the point.
  double ds = lb / kStepsPerL;

  // 3. Bounce integration.
  double xm[3], xp[3];
  FieldDir fm, fp;
  if (!rk_step(-ds, x0, f0, xm, fm) || !rk_step(ds, x0, f0, xp, fp)) {
    *xj = *bmin = baddata;
    flag_l.set = 0;
    return;
  }
  const double bminus = fm.b, bplus = fp.b;
  if (bminus > bloc && bplus > bloc) {
    // The point is the minimum of its line: parabola through the three values.
    const double a = (bminus + bplus - 2.0 * bloc) / 2.0;
    const double b = (bplus - bminus) / 2.0;
    const double t = -b / (2.0 * a);
    *bmin = bloc - a * t * t;
    *xj = 2.0 * std::sqrt(1.0 - *bmin / bloc) * std::fabs(t * ds);
    *lm = std::cbrt(kest::dipigrf.b0 / *bmin);
  } else {
    // Trace towards the lower field until B exceeds Blocal again. The first
    // step is the one already taken in that direction.
    double x[3], xn[3], xmin[3];
    FieldDir fx, fn, fmin;
    if (bplus > bminus) {
      ds = -ds;
      copy3(xm, xn);
      fn = fm;
    } else {
      copy3(xp, xn);
      fn = fp;
    }
    copy3(x0, x);
    fx = f0;
    copy3(x0, xmin);
    fmin = f0;
    double bmn = bloc, sum = 0.0, bprev = bloc, b = bloc;
    bool stopped = false;
    int k = 0;
    for (k = 1; k <= kMaxSteps; ++k) {
      if (k > 1 && !rk_step(ds, x, fx, xn, fn)) {
        *xj = *bmin = baddata;
        flag_l.set = 0;
        return;
      }
      b = fn.b;
      if (b < bmn) {
        bmn = b;
        copy3(xn, xmin);
        fmin = fn;
      }
      if (b > bloc) {
        stopped = true;
        break;
      }
      sum = sum + std::sqrt(1.0 - b / bloc);
      bprev = b;
      copy3(xn, x);
      fx = fn;
    }
    if (!stopped || k >= kMaxSteps) {
      *xj = *bmin = baddata;
      flag_l.set = 0;
      return;
    }
    // Trapezoid end correction over the last, partly-above-Blocal step.
    *xj = std::fabs(ds) * (sum + 0.5 * std::sqrt(1.0 - bprev / bloc) * (bloc - b) / (b - bprev));

    // 4. Hilton's approximation of Lm from I and Blocal.
    const double b0 = kest::dipigrf.b0;
    const double xh = *xj * *xj * *xj * bloc / b0;
    const double x13 = std::cbrt(xh);
    *lm = std::cbrt((1.0 + 1.35047 * x13 + 0.465376 * x13 * x13 + 0.0475455 * xh) * b0 / bloc);
    // Loss cone: the conjugate mirror point lies below the surface. The sign
    // is set before the refinement so that it also stands when the
    // refinement is refused.
    if (dot(xn, xn) < 1.0) *lm = -*lm;

    // 5. Minimum refinement: parabola through the lowest point and its
    // neighbours one step either side.
    double xr[3];
    FieldDir fr;
    if (!rk_step(ds, xmin, fmin, xr, fr)) {
      *bmin = baddata;
      flag_l.set = 0;
      return;
    }
    const double bp = fr.b;
    if (!rk_step(-ds, xmin, fmin, xr, fr)) {
      *bmin = baddata;
      flag_l.set = 0;
      return;
    }
    const double bm = fr.b;
    const double a = (bm + bp - 2.0 * bmn) / 2.0;
    const double bb = (bp - bm) / 2.0;
    const double t = -bb / (2.0 * a);
    *bmin = bmn - a * t * t;
  }

  // 6. L* gate.
  const int opt = kest::magmod.lstar_opt;
  if ((opt != 1 && opt != 2) || std::fabs(*lm) > kMaxLmForLstar) {
    flag_l.set = 0;
    return;
  }
  const bool reuse = flag_l.set != 0;
  // Every exit below that is not a success leaves L* at the fill value.
  auto fail = [&]() { flag_l.set = 0; };

  // 7. Foot point of the line through the point, following the field down
  // to the sphere of 1 Earth radius.
  ds = std::fabs(ds);
  {
    double x[3], xn[3], foot[3];
    FieldDir fx, fn, ff;
    copy3(x0, x);
    fx = f0;
    bool below = false;
    for (int k = 1; k <= kMaxSteps; ++k) {
      if (!rk_step(ds, x, fx, xn, fn)) return fail();
      if (std::sqrt(dot(xn, xn)) < 1.0) {
        below = true;
        break;
      }
      copy3(xn, x);
      fx = fn;
    }
    // The search must have crossed the sphere from above within its budget;
    // otherwise there is no foot point to interpolate to.
    const double rx = std::sqrt(dot(x, x)), rn = std::sqrt(dot(xn, xn));
    if (!below || !(rn < rx)) return fail();
    const double f = (1.0 - rx) / (rn - rx);
    if (!rk_step(f * ds, x, fx, foot, ff)) return fail();
    calotte.colat[0] = std::acos(foot[2] / std::sqrt(dot(foot, foot)));
    work.phi[0] = std::atan2(foot[1], foot[0]);
  }
  // From here on the traces start at a foot point and run against the field.
  ds = -std::fabs(ds);

  // 8. Drift-shell walk: for each line of the shell, the foot-point
  // colatitude whose line has the bounce integral I of the point.
  // A search visits each colatitude of the grid in [0, pi] at most once in
  // each direction; one that does more has lost its bracket.
  const int max_traces = 2 * ntheta + 4;
  LineTrace lt{};
  for (int i = 1; i < nlines; ++i) {
    work.phi[i] = work.phi[i - 1] + 2.0 * pi / nlines;
    double theta;
    if (reuse)
      theta = calotte.colat[i];
    else if (i == 1)
      theta = calotte.colat[0];
    else
      theta = 2.0 * calotte.colat[i - 1] - calotte.colat[i - 2];

    // Colatitude search.
    double theta_prev = theta;
    double i_prev = baddata;
    if (!trace_line(theta, work.phi[i], ds, bloc, lt)) return fail();
    theta = lt.closed ? theta + dtheta : theta - dtheta;
    i_prev = lt.I;
    theta_prev = theta;
    int ntraces = 1;
    for (;;) {
      if (!trace_line(theta, work.phi[i], ds, bloc, lt)) return fail();
      const double p = (i_prev - *xj) * (lt.I - *xj);
      if (p < 0.0 || std::isnan(p)) break;
      i_prev = lt.I;
      theta_prev = theta;
      theta = (lt.I >= *xj) ? theta + dtheta : theta - dtheta;
      // Leaving [0, pi] or exhausting the budget means no colatitude of
      // this meridian carries the invariant: there is no shell to report.
      if (theta > pi || theta < 0.0 || ++ntraces > max_traces) return fail();
    }
    calotte.colat[i] = (theta_prev + theta) / 2.0;
    if (!lt.closed && lt.I > 0.0) return fail();

    // The field at the foot point must exceed Blocal, or the particle
    // would mirror below the surface.
    double foot[3];
    FieldDir ff;
    unit_sphere(calotte.colat[i], work.phi[i], foot);
    if (!field_dir(foot, ff)) return fail();
    if (ff.b < bloc) return fail();
  }

  // 9. Flux through the polar cap bounded by the shell's foot points.
  double pole[3] = {0.0, 0.0, 1.0};
  FieldDir fpole;
  if (!field_dir(pole, fpole)) return fail();
  double phi_flux = pi * fpole.b * dtheta * dtheta / 4.0;
  const double dphi = 2.0 * pi / nlines;
  for (int i = 0; i < nlines; ++i) {
    const double cp = std::cos(work.phi[i]), sp = std::sin(work.phi[i]);
    double theta = 0.0;
    for (int k = 1; k <= ntheta; ++k) {
      theta = theta + dtheta;
      if (theta > calotte.colat[i]) break;
      const double st = std::sin(theta);
      double x[3] = {st * cp, st * sp, std::cos(theta)};
      FieldDir f;
      if (!field_dir(x, f)) return fail();
      phi_flux = phi_flux + f.b * st * dtheta * dphi;
    }
  }

  // 10. Flux to L*.
  *lstar = (opt == 1) ? 2.0 * pi * kest::dipigrf.b0 / phi_flux : phi_flux;
  if (*lm < 0.0) *lstar = -*lstar;
  flag_l.set = 1;
}
