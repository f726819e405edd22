// The stages of a field-line trace, shared by every tracer of the subsystem:
// the drift-shell tracer, the field-line tracer, the mirror-point and
// magnetic-equator searches (and, through the same stages, the L* computation
// of one point).
//
// A tracer is a sequence of these stages; where two tracers differ, the
// difference is a parameter of a stage (the step-size rule, the step budget,
// how a colatitude trace that never entered the bounce region counts), never
// a second copy of the stage. Every stage steps with the field-line step of
// field_step.hpp and reads the field through champ_, so it requires the
// field-model set-up of the time.
//
// Positions are GEO Cartesian, Earth radii; fields in nT. Nothing here is
// re-entrant: the stages read the process-wide model state.
#ifndef KEST_MAGCOORDS_FIELD_LINE_TRACE_HPP
#define KEST_MAGCOORDS_FIELD_LINE_TRACE_HPP

#include "magcoords/field_step.hpp"

namespace kest::fline {

// Steps of one trace: the bounce integration, the foot-point search, the
// colatitude traces of a drift shell, the mirror-point search. (A stored line
// is bounded by kLinePoints instead.)
inline constexpr int kTraceBudget = 1000;
// Steps of the magnetic-equator search.
inline constexpr int kEquatorBudget = 500;
// Points of one stored field line (the foot point and 999 steps).
inline constexpr int kLinePoints = 1000;
// Field lines of one traced drift shell.
inline constexpr int kShellLines = 48;
// Lm beyond which no drift shell is traced.
inline constexpr double kMaxLmForShell = 10.0;

// How the step length follows from the dipole L (Lb) of the point. The two
// rules are the same fraction of Lb written two ways, which round differently
// in the last bit; each tracer keeps the one it has always used.
enum class StepRule {
  lb_over_50,   // ds = Lb / 50
  lb_times_002  // ds = 0.02 Lb
};

// The point a trace starts from, with its field and the step.
struct TracePoint {
  double x[3];  // GEO position of the point
  FieldDir f;   // field at the point (f.b is its magnitude)
  double ds;    // step length, Earth radii; its sign follows the stage
};

// Dipole L of a GEO point: r / sin^2(theta) from its SM radius r and SM
// colatitude theta (the field line of a centred dipole through the point
// crosses the dipole equator at Lb Earth radii).
double dipole_l(const double* xgeo);

// Start of a trace: the geodetic point in GEO, the step from its dipole L by
// the given rule, and the field there. Returns false when champ_ refuses the
// point, when the point is not finite, or when its field is not finite and
// positive (the origin); p.f is then not to be used.
bool start_point(double lati, double longi, double alti, StepRule rule, TracePoint& p);

// Same from a GEO point.
bool start_point_geo(const double* xgeo, StepRule rule, TracePoint& p);

// The minimum of the parabola through three field values one step apart:
// bm at -1 step, b0 at the centre, bp at +1 step. Returns the vertex offset
// t in steps and writes the parabola's value there into bmin.
double parabola_vertex(double bm, double b0, double bp, double& bmin);

// Outcome of the bounce stage.
enum class BounceStatus {
  ok,             // xj, bmin, lm computed
  failed,         // refused step, or the conjugate point not passed within
                  // budget - 1 steps, or the point the minimum of its line
                  // with a parabola vertex at or below zero: nothing computed
  refine_failed,  // a step of the minimum refinement refused, or its three
                  // values without a vertex: xj and lm computed, bmin not
};

// Result of the bounce stage.
struct Bounce {
  double xj;       // second invariant I of a particle mirroring at the point, Re
  double bmin;     // minimum |B| on the line, nT; the fill value when the
                   // refinement's vertex is not positive (status ok)
  double lm;       // McIlwain L (negative when the conjugate mirror point lies
                   // below the surface)
  bool equator;    // the point is itself the minimum of its line
};

// Bounce integration of sqrt(1 - B/Bp) from the point to its conjugate mirror
// point (Bp = |B| at the point), with a trapezoid end correction; the
// equator case (both neighbours stronger: parabola through the three values);
// Hilton's approximation of Lm; the loss-cone sign; the refinement of Bmin by
// a parabola through the lowest point and its neighbours.
// Given and returned: p  the start point; p.ds is turned towards the weaker
//                        field (not in the equator case).
// Returned: out.
// Notes: 1. The loss-cone sign is set before the refinement, so that it also
//           stands when the refinement is refused.
//        2. Next to a near-null of the field (a line over the cusp) the
//           refinement's parabola can overshoot below zero; such a minimum is
//           no field magnitude: bmin is the fill value and the status stays ok,
//           since xj and lm do not depend on it.
BounceStatus bounce(TracePoint& p, int budget, Bounce& out);

// Hilton's approximation of McIlwain's L from I (Re), the mirror field Bm
// and the dipole moment b0 (nT).
double hilton_lm(double xj, double bm, double b0);

// Foot point of the line through p: steps of +|p.ds| (along the field) until
// the trace comes below r = 1, then one step of the interpolated fraction to
// r = 1. Returns false on a refused step, or when budget steps do not bring
// the trace below the sphere (no crossing to interpolate to), or when the
// point lies below the sphere by more than one step's descent (no crossing
// near enough to carry it back to).
bool foot_point(const TracePoint& p, int budget, double* foot, FieldDir& ffoot);

// Outcome of storing one line.
struct StoredLine {
  int count;     // points stored (the foot point counts)
  bool refused;  // a step was refused; count points stand
  bool cut;      // the line needed more than max_points points: count =
                 // max_points and its last point still lies at r >= 1
};

// Stores a line from its foot point: point 1 the foot point and its field,
// then one point per step of -|ds| (against the field) up to the first point
// below r = 1. At most max_points points are written: posit holds 3 x
// max_points values (x, y, z of each point), blocal max_points values.
StoredLine store_line(const double* foot, const FieldDir& ffoot, double ds_abs, int max_points,
                      double* posit, double* blocal);

// How a colatitude trace counts a bounce integral that it could not form
// (the field never fell below Bp, or the trace reached r < 1).
enum class NullIntegral {
  fill,  // the fill value (L* computation)
  zero   // zero (drift-shell tracing)
};

// Result of one colatitude trace.
struct LineIntegral {
  double I;     // bounce integral of the line, Re (or the null value)
  bool closed;  // the trace ended within its first budget - 1 steps
};

// One trace from the unit-sphere point (theta, phi) with step ds (< 0,
// against the field) through the part of the line where B < bp, integrating
// sqrt(1 - B/bp) with linear corrections at both crossings. Returns false on
// a refused point.
bool colatitude_trace(double theta, double phi, double ds, double bp, int budget, NullIntegral null,
                      LineIntegral& out);

// Colatitude search of one line of a drift shell: from theta0, in steps of
// dtheta, the foot colatitude at longitude phi whose line carries the bounce
// integral xj. Returns false when the search fails: a refused point, the
// search leaving [0, pi] or losing its bracket, or a last trace that holds a
// positive integral but did not close. theta receives the found colatitude
// (the middle of the bracketing pair), also in that last case.
bool colatitude_search(double theta0, double phi, double dtheta, double ds, double bp, double xj,
                       int budget, NullIntegral null, double& theta);

// Start colatitude of line i (0-based, i >= 1) of a drift shell: the
// remembered shell's value when reuse is set, else line 0's value for i = 1
// and the linear extrapolation of the two lines before it.
double shell_start_colatitude(const double* colat, int i, bool reuse);

// Where the drift-shell walk stores its lines (the drift-shell tracer); the
// L* computation of one point walks without storing.
struct ShellStore {
  double* posit;    // 3 x line_points x lines: GEO x, y, z of each point
  double* blocal;   // line_points x lines: |B| of each point, nT
  int* ind;         // lines: points stored on each line
  int line_points;  // points each line can hold
};

// Drift-shell walk: for lines i = 1 .. nlines-1 (0-based; line 0, the line
// through the point, has colat[0] and phi[0] set), phi[i] = phi[i-1] +
// 2 pi / nlines, the colatitude search from the start colatitude of
// shell_start_colatitude (reuse: colat as the last completed shell left it)
// into colat[i], the line stored from its foot point when store is given,
// and the foot-field check (the foot field must not fall below bp).
// Given:    nlines, dtheta, ds_abs (step length), bp (field at the point),
//           xj (its bounce integral), budget, null, reuse, store
// Given and returned: colat, phi  arrays of nlines values
// Returns false when the walk ends without a shell: a refused point, a failed
// colatitude search, a refused step while storing (the points stored so far
// counted in ind), or a foot field below bp (that line stored).
bool drift_shell_walk(int nlines, double* colat, double* phi, double dtheta, double ds_abs, double bp,
                      double xj, int budget, NullIntegral null, bool reuse, const ShellStore* store);

// Flux of the field through the polar cap bounded by the foot points
// (colat[i], phi[i]) of nlines lines, integrated in colatitude steps dtheta
// (at most ntheta per line) with a cap of angular radius dtheta/2 at the
// pole. Returns false on a refused point.
bool polar_cap_flux(int nlines, const double* colat, const double* phi, double dtheta, int ntheta,
                    double& flux);

// The unit-sphere point of colatitude theta and longitude phi (radians).
void unit_sphere(double theta, double phi, double* x);

}  // namespace kest::fline

#endif
