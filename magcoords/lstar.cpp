// Field-line step and the L* computation of one point.
//
// sksyst_ is the fourth-order Runge-Kutta step along the field direction that
// every tracer uses. calcul_lstar_ gives, for a particle mirroring at a point,
// the local and minimum field, the second invariant I, McIlwain's Lm (Hilton's
// approximation) and the drift-shell parameter L* (or the flux Phi of the
// shell), keeping the foot points of the last completed shell in calotte.
//
// All tracing is in GEO Cartesian coordinates, Earth radii. Every field value
// comes from champ_. The L* computation is the sequence of the shared trace
// stages (field_line_trace.hpp) that the drift-shell tracer also runs, with
// its own choices: step Lb/50, a bounce integral that was never formed counts
// as the fill value, and the lines of the shell are not stored. Nothing here
// is re-entrant: the working storage and the drift-shell memory are
// process-wide.
#include <cmath>

#include "frame/conventions.hpp"
#include "frame/frame_state.hpp"
#include "kest.h"
#include "magcoords/field_line_trace.hpp"
#include "magcoords/field_step.hpp"
#include "magcoords/magcoords_state.hpp"

namespace {

// Most field lines of one drift shell (the size of calotte).
constexpr int kMaxShellLines = 250;
static_assert(sizeof(kest::Calotte::colat) / sizeof(double) == kMaxShellLines);

// Working storage of calcul_lstar, kept static as all state of the tracers.
//   phi  longitude (radians) of each field line of the drift shell.
struct LstarWork {
  double phi[kMaxShellLines];
};
LstarWork work;

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
// Failure:  the first refusal ends the step at once with xout and bl at the
//           fill value: a caller stepping with the same arrays must not take
//           the previous step's point and field for this one's.
// Notes:    1. Five field evaluations: the four stages of the unit field
//              direction and |B| at the end point.
extern "C" void sksyst_(double* h, double* xin, double* xout, double* bl, int* ifail) {
  kest::FieldDir f0, f1;
  *ifail = 0;
  if (!kest::field_dir(xin, f0, ifail) || !kest::rk_step(*h, xin, f0, xout, f1, ifail)) {
    xout[0] = xout[1] = xout[2] = *bl = kest::baddata;
    return;
  }
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
//           point refused by champ, not finite, or without a finite
//             field (the origin): all five outputs;
//           bounce trace refused or not closed within 999 steps, or the
//             point the minimum of its line with a parabola vertex at or
//             below zero: lm, lstar, xj, bmin;
//           minimum refinement refused: lstar, bmin;
//           refined minimum at or below zero (next to a near-null of the
//             field): bmin only;
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
  namespace fl = kest::fline;
  using kest::baddata;
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

  // Start: the point, its field and the step Lb/50.
  *lm = *lstar = *xj = baddata;
  fl::TracePoint p;
  if (!fl::start_point(*lati, *longi, *alti, fl::StepRule::lb_over_50, p)) {
    *blocal = *xj = *bmin = baddata;
    flag_l.set = 0;
    return;
  }
  *blocal = *bmin = p.f.b;

  // Bounce integration, Lm, Bmin.
  fl::Bounce bo;
  const fl::BounceStatus st = fl::bounce(p, fl::kTraceBudget, bo);
  if (st == fl::BounceStatus::failed) {
    *xj = *bmin = baddata;
    flag_l.set = 0;
    return;
  }
  *lm = bo.lm;
  *xj = bo.xj;
  if (st == fl::BounceStatus::refine_failed) {
    *bmin = baddata;
    flag_l.set = 0;
    return;
  }
  *bmin = bo.bmin;

  // No shell for another L*-slot option, or beyond Lm 10.
  const int opt = kest::magmod.lstar_opt;
  if ((opt != 1 && opt != 2) || std::fabs(*lm) > fl::kMaxLmForShell) {
    flag_l.set = 0;
    return;
  }

  // The drift shell, from the remembered foot points when flag_l allows it.
  const bool reuse = flag_l.set != 0;
  flag_l.set = 0;
  double foot[3];
  kest::FieldDir ffoot;
  if (!fl::foot_point(p, fl::kTraceBudget, foot, ffoot)) return;
  calotte.colat[0] = std::acos(foot[2] / std::sqrt(foot[0] * foot[0] + foot[1] * foot[1] + foot[2] * foot[2]));
  work.phi[0] = std::atan2(foot[1], foot[0]);
  if (!fl::drift_shell_walk(nlines, calotte.colat, work.phi, dtheta, std::fabs(p.ds), *blocal, *xj,
                            fl::kTraceBudget, fl::NullIntegral::fill, reuse, nullptr))
    return;

  // Flux through the polar cap bounded by the foot points, and L*.
  double flux;
  if (!fl::polar_cap_flux(nlines, calotte.colat, work.phi, dtheta, ntheta, flux)) return;
  *lstar = (opt == 1) ? 2.0 * pi * kest::dipigrf.b0 / flux : flux;
  if (*lm < 0.0) *lstar = -*lstar;
  flag_l.set = 1;
}
