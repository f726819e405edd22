// The stages of a field-line trace (see field_line_trace.hpp).
#include "magcoords/field_line_trace.hpp"

#include <cmath>

#include "frame/conventions.hpp"
#include "frame/frame_state.hpp"
#include "kest.h"

namespace kest::fline {

namespace {

inline double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline void copy3(const double* a, double* b) {
  b[0] = a[0];
  b[1] = a[1];
  b[2] = a[2];
}

}  // namespace

void unit_sphere(double theta, double phi, double* x) {
  x[0] = std::sin(theta) * std::cos(phi);
  x[1] = std::sin(theta) * std::sin(phi);
  x[2] = std::cos(theta);
}

double dipole_l(const double* xgeo) {
  double x[3] = {xgeo[0], xgeo[1], xgeo[2]};
  double xsm[3];
  geo_sm_(x, xsm);
  const double r = std::sqrt(dot(xsm, xsm));
  const double s = std::sin(std::acos(xsm[2] / r));
  return r / (s * s);
}

bool start_point_geo(const double* xgeo, StepRule rule, TracePoint& p) {
  copy3(xgeo, p.x);
  // A start that is not a number (or overflowed on its way to GEO) cannot be
  // traced; neither can one without a finite, non-zero field (the origin).
  if (!std::isfinite(p.x[0]) || !std::isfinite(p.x[1]) || !std::isfinite(p.x[2])) return false;
  const double lb = dipole_l(p.x);
  p.ds = (rule == StepRule::lb_over_50) ? lb / 50.0 : 0.02 * lb;
  return field_dir(p.x, p.f) && std::isfinite(p.f.b) && p.f.b > 0.0;
}

bool start_point(double lati, double longi, double alti, StepRule rule, TracePoint& p) {
  double x[3];
  gdz_geo_(&lati, &longi, &alti, &x[0], &x[1], &x[2]);
  return start_point_geo(x, rule, p);
}

double parabola_vertex(double bm, double b0, double bp, double& bmin) {
  const double a = (bm + bp - 2.0 * b0) / 2.0;
  const double b = (bp - bm) / 2.0;
  const double t = -b / (2.0 * a);
  bmin = b0 - a * t * t;
  return t;
}

double hilton_lm(double xj, double bm, double b0) {
  const double x = xj * xj * xj * bm / b0;
  const double x13 = std::cbrt(x);
  return std::cbrt((1.0 + 1.35047 * x13 + 0.465376 * x13 * x13 + 0.0475455 * x) * b0 / bm);
}

BounceStatus bounce(TracePoint& p, int budget, Bounce& out) {
  const double bloc = p.f.b;
  double ds = p.ds;
  out.equator = false;
  double xm[3], xp[3];
  FieldDir fm, fp;
  if (!rk_step(-ds, p.x, p.f, xm, fm) || !rk_step(ds, p.x, p.f, xp, fp)) return BounceStatus::failed;
  const double bminus = fm.b, bplus = fp.b;
  if (bminus > bloc && bplus > bloc) {
    // The point is the minimum of its line: parabola through the three values.
    const double t = parabola_vertex(bminus, bloc, bplus, out.bmin);
    // A vertex at or below zero (the point next to a near-null of the field)
    // is no field magnitude, and I and Lm would be formed from it.
    if (!(out.bmin > 0.0)) return BounceStatus::failed;
    out.xj = 2.0 * std::sqrt(1.0 - out.bmin / bloc) * std::fabs(t * ds);
    out.lm = std::cbrt(kest::dipigrf.b0 / out.bmin);
    out.equator = true;
    return BounceStatus::ok;
  }
  // Trace towards the lower field until B exceeds Blocal again; the first
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
  p.ds = ds;
  copy3(p.x, x);
  fx = p.f;
  copy3(p.x, xmin);
  fmin = p.f;
  double bmn = bloc, sum = 0.0, bprev = bloc, b = bloc;
  bool stopped = false;
  int k = 0;
  for (k = 1; k <= budget; ++k) {
    if (k > 1 && !rk_step(ds, x, fx, xn, fn)) return BounceStatus::failed;
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
  if (!stopped || k >= budget) return BounceStatus::failed;
  // Trapezoid end correction: the last point below Blocal keeps only the
  // share of its weight that lies before the crossing.
  out.xj = std::fabs(ds) * (sum + 0.5 * std::sqrt(1.0 - bprev / bloc) * (bloc - b) / (b - bprev));
  out.lm = hilton_lm(out.xj, bloc, kest::dipigrf.b0);
  // Loss cone: the conjugate mirror point lies below the surface.
  if (dot(xn, xn) < 1.0) out.lm = -out.lm;

  // Minimum refinement through the lowest point and its two neighbours.
  double xr[3];
  FieldDir fr;
  if (!rk_step(ds, xmin, fmin, xr, fr)) return BounceStatus::refine_failed;
  const double bpl = fr.b;
  if (!rk_step(-ds, xmin, fmin, xr, fr)) return BounceStatus::refine_failed;
  const double bmi = fr.b;
  parabola_vertex(bmi, bmn, bpl, out.bmin);
  // Three equal values (a line so short that its steps do not change |B|,
  // as next to the Earth's centre in the eccentric dipole) have no vertex:
  // the refinement has no minimum to give.
  if (!std::isfinite(out.bmin)) return BounceStatus::refine_failed;
  // A vertex at or below zero (the parabola overshooting next to a near-null
  // of the field, on lines over the cusp) is no field magnitude.
  if (!(out.bmin > 0.0)) out.bmin = kest::baddata;
  return BounceStatus::ok;
}

bool foot_point(const TracePoint& p, int budget, double* foot, FieldDir& ffoot) {
  const double ds = std::fabs(p.ds);
  double x[3], xn[3] = {0.0, 0.0, 0.0};
  FieldDir fx = p.f, fn;
  copy3(p.x, x);
  bool below = false;
  for (int k = 1; k <= budget; ++k) {
    if (!rk_step(ds, x, fx, xn, fn)) return false;
    if (std::sqrt(dot(xn, xn)) < 1.0) {
      below = true;
      break;
    }
    copy3(xn, x);
    fx = fn;
  }
  const double rx = std::sqrt(dot(x, x)), rn = std::sqrt(dot(xn, xn));
  // Without a pair of points on both sides of the sphere there is nothing
  // to interpolate (and the fraction would divide by a zero difference).
  if (!below || !(rn < rx)) return false;
  const double f = (1.0 - rx) / (rn - rx);
  // From a point above the sphere the fraction lies in [0, 1). A start
  // below it (the flattened ground near the poles lies a few km inside
  // r = 1) is carried back up by the negative fraction; from deeper than one
  // step that would stretch a single step over a curving line and land
  // anywhere, far inside the sphere or off it: no foot point.
  if (f < -1.0) return false;
  return rk_step(f * ds, x, fx, foot, ffoot);
}

StoredLine store_line(const double* foot, const FieldDir& ffoot, double ds_abs, int max_points,
                      double* posit, double* blocal) {
  StoredLine out{0, false, false};
  if (max_points < 1) return out;
  const double ds = -std::fabs(ds_abs);
  double x[3], xn[3] = {0.0, 0.0, 0.0};
  FieldDir fx = ffoot, fn;
  copy3(foot, x);
  copy3(foot, &posit[0]);
  blocal[0] = ffoot.b;
  out.count = 1;
  while (out.count < max_points) {
    if (!rk_step(ds, x, fx, xn, fn)) {
      out.refused = true;
      return out;
    }
    copy3(xn, &posit[3 * out.count]);
    blocal[out.count] = fn.b;
    ++out.count;
    if (dot(xn, xn) < 1.0) return out;
    copy3(xn, x);
    fx = fn;
  }
  // The arrays are full and the line has not come back below the surface.
  out.cut = true;
  return out;
}

bool colatitude_trace(double theta, double phi, double ds, double bp, int budget, NullIntegral null,
                      LineIntegral& out) {
  double x[3], xn[3] = {0.0, 0.0, 0.0};
  unit_sphere(theta, phi, x);
  FieldDir fx, fn;
  if (!field_dir(x, fx)) return false;
  bool entered = false;
  bool stopped = false;
  double I = kest::baddata;
  double b = 0.0;
  int k = 0;
  for (k = 1; k <= budget; ++k) {
    if (!rk_step(ds, x, fx, xn, fn)) return false;
    b = fn.b;
    if (b < bp) {
      if (!entered) {
        // Entry into the region below Bp between x and xn.
        I = 0.5 * std::sqrt(1.0 - b / bp) * (1.0 + (b - bp) / (b - fx.b));
        entered = true;
      } else {
        I = I + std::sqrt(1.0 - b / bp);
      }
    }
    if ((b > bp && entered) || dot(xn, xn) < 1.0) {
      stopped = true;
      break;
    }
    copy3(xn, x);
    fx = fn;
  }
  out.closed = stopped && k < budget;
  const double null_value = (null == NullIntegral::zero) ? 0.0 : kest::baddata;
  if (dot(xn, xn) < 1.0) {
    I = null_value;  // the line reached the surface without a mirror point
  } else if (out.closed) {
    // Exit between x (below Bp) and xn (above): the last point keeps only
    // the share of its weight before the crossing.
    I = std::fabs(ds) * (I + 0.5 * std::sqrt(1.0 - fx.b / bp) * (bp - b) / (b - fx.b));
  } else if (!entered) {
    I = null_value;  // the field never fell below Bp
  }
  out.I = I;
  return true;
}

bool colatitude_search(double theta0, double phi, double dtheta, double ds, double bp, double xj,
                       int budget, NullIntegral null, double& theta_found) {
  const double pi = 4.0 * std::atan(1.0);
  // A search visits each colatitude of its grid over [0, pi] at most once
  // in each direction; one that takes more traces has lost its bracket.
  const int max_traces = 2 * static_cast<int>(pi / dtheta + 0.5) + 4;
  double theta = theta0;
  LineIntegral lt{};
  if (!colatitude_trace(theta, phi, ds, bp, budget, null, lt)) return false;
  theta = lt.closed ? theta + dtheta : theta - dtheta;
  double i_prev = lt.I;
  double theta_prev = theta;
  int ntraces = 1;
  for (;;) {
    if (!colatitude_trace(theta, phi, ds, bp, budget, null, lt)) return false;
    const double prod = (i_prev - xj) * (lt.I - xj);
    if (prod < 0.0 || std::isnan(prod)) break;
    i_prev = lt.I;
    theta_prev = theta;
    theta = (lt.I >= xj) ? theta + dtheta : theta - dtheta;
    // Leaving [0, pi] means no colatitude of this meridian carries the
    // invariant: there is no shell to report.
    if (theta > pi || theta < 0.0 || ++ntraces > max_traces) return false;
  }
  theta_found = (theta_prev + theta) / 2.0;
  return lt.closed || !(lt.I > 0.0);
}

double shell_start_colatitude(const double* colat, int i, bool reuse) {
  if (reuse) return colat[i];
  if (i == 1) return colat[0];
  return 2.0 * colat[i - 1] - colat[i - 2];
}

bool drift_shell_walk(int nlines, double* colat, double* phi, double dtheta, double ds_abs, double bp,
                      double xj, int budget, NullIntegral null, bool reuse, const ShellStore* store) {
  const double pi = 4.0 * std::atan(1.0);
  const double ds = -std::fabs(ds_abs);  // from the foot point, against the field
  for (int i = 1; i < nlines; ++i) {
    phi[i] = phi[i - 1] + 2.0 * pi / nlines;
    double theta = shell_start_colatitude(colat, i, reuse);
    if (!colatitude_search(theta, phi[i], dtheta, ds, bp, xj, budget, null, theta)) return false;
    colat[i] = theta;
    double foot[3];
    FieldDir ffoot;
    unit_sphere(theta, phi[i], foot);
    if (!field_dir(foot, ffoot)) return false;
    if (store != nullptr) {
      const int np = store->line_points;
      const StoredLine sl = store_line(foot, ffoot, ds_abs, np, &store->posit[3 * np * i], &store->blocal[np * i]);
      store->ind[i] = sl.count;
      if (sl.refused) return false;
    }
    // A foot point weaker than the point's field: the particle would mirror
    // below the surface on this side of the shell.
    if (ffoot.b < bp) return false;
  }
  return true;
}

bool polar_cap_flux(int nlines, const double* colat, const double* phi, double dtheta, int ntheta,
                    double& flux) {
  const double pi = 4.0 * std::atan(1.0);
  double pole[3] = {0.0, 0.0, 1.0};
  FieldDir fpole;
  if (!field_dir(pole, fpole)) return false;
  flux = pi * fpole.b * dtheta * dtheta / 4.0;
  const double dphi = 2.0 * pi / nlines;
  for (int i = 0; i < nlines; ++i) {
    const double cp = std::cos(phi[i]), sp = std::sin(phi[i]);
    double theta = 0.0;
    for (int k = 1; k <= ntheta; ++k) {
      theta = theta + dtheta;
      if (theta > colat[i]) break;
      const double st = std::sin(theta);
      double x[3] = {st * cp, st * sp, std::cos(theta)};
      FieldDir f;
      if (!field_dir(x, f)) return false;
      flux = flux + f.b * st * dtheta * dphi;
    }
  }
  return true;
}

}  // namespace kest::fline
