// The one-point tracing cores (drift shell, field line, mirror point,
// magnetic equator, hemisphere) and the drift-shell splitting array core.
//
// Each core runs the field-model set-up of field_setup.hpp with its own
// variant and hands the point to its tracer (tracers.cpp) or to the L*
// computation of one point.
#include <cmath>
#include <cstddef>

#include "frame/conventions.hpp"
#include "kest.h"
#include "magcoords/field_line_trace.hpp"
#include "magcoords/field_setup.hpp"
#include "magcoords/magcoords_state.hpp"
#include "magcoords/mlt.hpp"


namespace {

using kest::baddata;

// Leading dimension of the two-dimensional outputs of the shell-splitting
// core: the most times one call can hold.
constexpr int kMaxTimes = 100000;

constexpr const char* kTooManyTimes =
    "make_lstar_shell_splitting: more than 100000 times, nothing computed";
constexpr const char* kBadPitchCount =
    "make_lstar_shell_splitting: negative number of pitch angles, nothing computed";

}  // namespace

// drift_shell1: Lm, L*, I, Bmin and the drift shell (48 field lines) of one
// point at one time.
// Given:    kext  int  external-model code 0..12
//           options  int[5]  options(1) 0: no L* (only line 1 traced), 1 or
//                    2: L*; options(2) IGRF renewal; options(5) internal
//                    model; options(3), options(4) not read
//           sysaxes  int  coordinate system of x1, x2, x3 (0..8)
//           iyr, idoy  int; UT  double  seconds of the day
//           x1, x2, x3  double  the position
//           maginput  double[25]  magnetic inputs
// Returned: Lm, Lstar, Blocal(1000 x 48), Bmin, XJ, posit(3 x 1000 x 48),
//           ind(48): as trace_drift_shell_.
// State:    the set-up writes magmod (all three words), drivers, index,
//           dip_ang, a2000_time and the frame state; the tracer writes
//           calotte(1..48); flag_l is read (a shell left by the last L*
//           computation seeds the search) and cleared.
// Failure:  inputs outside the model's validity range or a position code
//           outside 0..8: Lm, Lstar, XJ, Bmin fill, ind all 0, Blocal and
//           posit untouched; a refused time (UT or position not finite, day
//           of year beyond kMaxDayOfYear) likewise, and flag_l cleared;
//           otherwise as trace_drift_shell_.
// Notes:    1. Right after an L* core (make_lstar1_, the shell splitting)
//              whose last point completed its shell, the result depends on
//              that shell (trace_drift_shell_ note 3): L* may differ from the
//              point's own by a colatitude step, or be the fill value where
//              the point alone has one. A second call starts from scratch.
extern "C" void drift_shell1_(int* kext, int* options, int* sysaxes, int* iyr, int* idoy, double* UT,
                              double* x1, double* x2, double* x3, double* maginput, double* Lm,
                              double* Lstar, double* Blocal, double* Bmin, double* XJ, double* posit,
                              int* ind) {
  kest::FieldSetup s{};
  kest::field_setup_call(s, kest::kSetupDriftShell, kext, options, sysaxes);
  if (!kest::field_setup_time(s, *iyr, *idoy, *UT, *x1, *x2, *x3, maginput)) {
    *Lm = *Lstar = *XJ = *Bmin = baddata;
    for (int i = 0; i < kest::fline::kShellLines; ++i) ind[i] = 0;
    // A refused time leaves no drift shell behind, as the tracer does.
    if (s.refused) kest::flag_l.set = 0;
    return;
  }
  trace_drift_shell_(&s.lati, &s.longi, &s.alti, Lm, Lstar, XJ, Blocal, Bmin, posit, ind);
}

// trace_field_line1: Lm, I, Bmin and the field line through one point.
// Given:    as drift_shell1_ (options(1) is stored in magmod but no L* is
//           computed).
// Returned: Lm, Blocal(1000), Bmin, XJ, posit(3 x 1000), Nposit: as
//           field_line_tracing_; posit holds the fill value beyond Nposit.
// State:    the set-up writes magmod, drivers, index, dip_ang, a2000_time and
//           the frame state; calotte and flag_l are not touched.
// Failure:  inputs outside the validity range, a position code outside
//           0..8, or a refused time (UT or position not finite, day of year
//           beyond kMaxDayOfYear): Lm, XJ, Bmin fill, Nposit 0, posit all
//           fill, Blocal untouched; otherwise as field_line_tracing_.
extern "C" void trace_field_line1_(int* kext, int* options, int* sysaxes, int* iyr, int* idoy,
                                   double* UT, double* x1, double* x2, double* x3, double* maginput,
                                   double* Lm, double* Blocal, double* Bmin, double* XJ, double* posit,
                                   int* Nposit) {
  for (int k = 0; k < 3 * kest::fline::kLinePoints; ++k) posit[k] = baddata;
  kest::FieldSetup s{};
  kest::field_setup_call(s, kest::kSetupTraceFieldLine, kext, options, sysaxes);
  if (!kest::field_setup_time(s, *iyr, *idoy, *UT, *x1, *x2, *x3, maginput)) {
    *Lm = *XJ = *Bmin = baddata;
    *Nposit = 0;
    return;
  }
  field_line_tracing_(&s.lati, &s.longi, &s.alti, Lm, XJ, Blocal, Bmin, posit, Nposit);
}

// find_mirror_point1: mirror point of a particle of local pitch angle alpha
// at one point and time.
// Given:    kext, options, sysaxes, iyr, idoy, UT, x1, x2, x3, maginput as
//           drift_shell1_; alpha  double  local pitch angle, degrees
// Returned: Blocal  double  |B| at the point, nT
//           Bmirr   double  |B| at the mirror point, nT
//           xGEO    double[3]  GEO position of the mirror point, Earth radii
// State:    the set-up writes magmod.kext and magmod.kint (not lstar_opt),
//           drivers, index, dip_ang, a2000_time and the frame state.
// Failure:  inputs outside the validity range, a position code outside
//           0..8, a refused time (UT or position not finite, day of year
//           beyond kMaxDayOfYear), or a refused point or one without a
//           finite field: all five values fill; otherwise as
//           find_bm_.
// Notes:    1. alpha exactly 90: the point is its own mirror point, Bmirr =
//              Blocal and xGEO the point's GEO position.
extern "C" void find_mirror_point1_(int* kext, int* options, int* sysaxes, int* iyr, int* idoy,
                                    double* UT, double* x1, double* x2, double* x3, double* alpha,
                                    double* maginput, double* Blocal, double* Bmirr, double* xGEO) {
  kest::FieldSetup s{};
  kest::field_setup_call(s, kest::kSetupMirrorPoint, kext, options, sysaxes);
  if (!kest::field_setup_time(s, *iyr, *idoy, *UT, *x1, *x2, *x3, maginput)) {
    *Blocal = *Bmirr = baddata;
    xGEO[0] = xGEO[1] = xGEO[2] = baddata;
    return;
  }
  xGEO[0] = s.xgeo[0];
  xGEO[1] = s.xgeo[1];
  xGEO[2] = s.xgeo[2];
  if (*alpha != 90.0) {
    find_bm_(&s.lati, &s.longi, &s.alti, alpha, Blocal, Bmirr, xGEO);
    return;
  }
  double bv[3], bl;
  int ifail = 0;
  champ_(s.xgeo, bv, &bl, &ifail);
  if (ifail < 0 || !std::isfinite(bl)) {
    *Blocal = *Bmirr = baddata;
    xGEO[0] = xGEO[1] = xGEO[2] = baddata;
    return;
  }
  *Blocal = bl;
  *Bmirr = bl;
}

// find_magequator1: the magnetic equator of the field line through one point.
// Given:    kext, options, sysaxes, iyr, idoy, UT, x1, x2, x3, maginput as
//           drift_shell1_
// Returned: Bmin  double  minimum |B| on the line, nT
//           xGEO  double[3]  GEO position of the minimum, Earth radii
// State:    the set-up writes magmod (lstar_opt 0), drivers, index, dip_ang,
//           a2000_time and the frame state.
// Failure:  inputs outside the validity range, a position code outside
//           0..8, or a refused time (UT or position not finite, day of year
//           beyond kMaxDayOfYear): Bmin and xGEO fill; otherwise as
//           loc_equator_.
extern "C" void find_magequator1_(int* kext, int* options, int* sysaxes, int* iyr, int* idoy, double* UT,
                                  double* x1, double* x2, double* x3, double* maginput, double* Bmin,
                                  double* xGEO) {
  kest::FieldSetup s{};
  kest::field_setup_call(s, kest::kSetupMagEquator, kext, options, sysaxes);
  if (!kest::field_setup_time(s, *iyr, *idoy, *UT, *x1, *x2, *x3, maginput)) {
    *Bmin = baddata;
    xGEO[0] = xGEO[1] = xGEO[2] = baddata;
    return;
  }
  loc_equator_(&s.lati, &s.longi, &s.alti, Bmin, xGEO);
}

// get_hemi1: the side of its field line's minimum on which a point lies.
// Given:    kext, options, sysaxes, iyr, idoy, UT, x1, x2, x3, maginput as
//           get_field1_
// Returned: xHEMI  int  +1 when |B| grows along +B from the point (the
//                  northern side of the minimum), -1 otherwise, 0 when a
//                  field could not be evaluated
// State:    as get_field1_ (called twice).
// Failure:  0 for a point refused by the model, a refused time, inputs
//           outside the validity range, or a position code outside 0..8. A
//           bad kext or options(5) warns at each of the two field
//           evaluations; a position code outside 0..11 also prints the
//           coordinate conversion's "sysaxesIN out of range !".
// Notes:    1. The comparison point lies 0.001 Earth radii along +B; equal
//              magnitudes give -1.
//           2. The caller's position is never rewritten. The step starts
//              from the GEO point at which the set-up evaluated B1, placed
//              with the dipole of the internal model and epoch in use.
extern "C" void get_hemi1_(int* kext, int* options, int* sysaxes, int* iyr, int* idoy, double* UT,
                           double* x1, double* x2, double* x3, double* maginput, int* xHEMI) {
  double b1[3], bl1, b2[3], bl2, xgeo[3];
  const bool placed =
      kest::field_and_point(kext, options, sysaxes, iyr, idoy, UT, x1, x2, x3, maginput, b1, &bl1, xgeo);
  // The step starts from the point where B1 was found. Converting the
  // position again with coord_trans1_ would place a GSM, SM or MAG position
  // with the mid-year IGRF dipole, not with the dipole of a fixed-epoch model
  // or of a renewal day that the field used: up to some 0.05 Earth radii
  // away at 4 Earth radii, fifty steps, and the comparison would then tell
  // the gradient between two different points instead of the hemisphere.
  double x[3] = {*x1, *x2, *x3};
  if (placed) {
    x[0] = xgeo[0];
    x[1] = xgeo[1];
    x[2] = xgeo[2];
  } else if (*sysaxes != 1) {
    // No point, so B1 is the fill value and the answer 0; the conversion
    // still announces a position code outside 0..11.
    double xin[3] = {*x1, *x2, *x3};
    int geo = 1;
    coord_trans1_(sysaxes, &geo, iyr, idoy, UT, xin, x);
  }
  for (int k = 0; k < 3; ++k) x[k] = x[k] + b1[k] / (bl1 * 1000.0);
  int geo = 1;
  get_field1_(kext, options, &geo, iyr, idoy, UT, &x[0], &x[1], &x[2], maginput, b2, &bl2);
  if (bl2 == baddata || bl1 == baddata)
    *xHEMI = 0;
  else
    *xHEMI = (bl2 > bl1) ? 1 : -1;
}

// make_lstar_shell_splitting1: Lm, L* (or Phi), Bmirr and I for a set of
// local pitch angles at each of a series of points, each pitch angle followed
// to its mirror point (drift-shell splitting), with Bmin and MLT per point.
// Given:    ntime  int  number of times, at most 100000
//           Nipa   int  number of pitch angles (0: Bmin and MLT only)
//           kext, options, sysaxes  as make_lstar1_
//           iyr, idoy  int[ntime]; UT, x1, x2, x3  double[ntime]
//           alpha  double[Nipa]  local pitch angles, degrees
//           maginput  double[25 x ntime]
// Returned: Lm, Lstar, Bmirr, XJ  double[100000 x Nipa]  entry (i, k) for
//                     time i, pitch angle k (Bmirr: |B| at the mirror point)
//           Bmin, MLT  double[ntime]
// Given and returned: options(3), options(4) replaced by 0 when outside 0..9.
// State:    writes magmod, drivers, index, dip_ang, a2000_time, the frame
//           state, calotte; flag_l cleared at entry and before each pitch
//           angle.
// Failure:  more than 100000 times, or a negative Nipa: a message, the fill
//           value in the first min(ntime, 100000) entries of every output
//           (rows of the two-dimensional ones), nothing computed. A time
//           outside the validity range: fill in its Lm, Lstar, XJ, Bmirr and
//           Bmin (MLT still computed); a position code outside 0..8, a UT or
//           position that is not finite, or a day of year beyond
//           kMaxDayOfYear: fill in all its outputs, MLT included. A mirror
//           point not found: fill in its four entries; other failures as
//           calcul_lstar_.
// Notes:    1. alpha exactly 90 takes the point itself as the mirror point,
//              so its column equals make_lstar1_'s results for a single
//              time. Over a series it may not: every pitch angle starts its
//              shell from scratch, while make_lstar1_ starts each time from
//              the shell of the time before, and the two searches can settle
//              a colatitude step apart (L* then differs by a few parts in a
//              thousand).
//           2. The Bmin of each time comes from an L*-less pass at the point
//              itself; with Nipa 0 that pass writes no two-dimensional output.
extern "C" void make_lstar_shell_splitting1_(int* ntime, int* Nipa, int* kext, int* options, int* sysaxes,
                                             int* iyr, int* idoy, double* UT, double* x1, double* x2,
                                             double* x3, double* alpha, double* maginput, double* Lm,
                                             double* Lstar, double* Bmirr, double* Bmin, double* XJ,
                                             double* MLT) {
  const int n = *ntime;
  const int nipa = *Nipa;
  if (n > kMaxTimes || nipa < 0) {
    kest::msg(n > kMaxTimes ? kTooManyTimes : kBadPitchCount);
    const int rows = (n < kMaxTimes) ? n : kMaxTimes;
    for (int k = 0; k < nipa; ++k)
      for (int i = 0; i < rows; ++i) {
        const long j = static_cast<long>(k) * kMaxTimes + i;
        Lm[j] = Lstar[j] = Bmirr[j] = XJ[j] = baddata;
      }
    // Bmin and MLT hold one entry per time, but a call beyond the limit is
    // refused: they are written only as far as the limit, like the rows of
    // the two-dimensional outputs.
    for (int i = 0; i < rows; ++i) Bmin[i] = MLT[i] = baddata;
    return;
  }
  kest::FieldSetup s{};
  kest::field_setup_call(s, kest::kSetupShellSplitting, kext, options, sysaxes);  // clears flag_l
  for (int i = 0; i < n; ++i) {
    if (!kest::field_setup_time(s, iyr[i], idoy[i], UT[i], x1[i], x2[i], x3[i], &maginput[25 * std::ptrdiff_t{i}])) {
      for (int k = 0; k < nipa; ++k) {
        const long j = static_cast<long>(k) * kMaxTimes + i;
        Lm[j] = Lstar[j] = Bmirr[j] = XJ[j] = baddata;
      }
      Bmin[i] = baddata;
      // A refused time leaves no drift shell behind, as a failed L* does.
      if (s.refused) kest::flag_l.set = 0;
    } else {
      // Bmin of the point's own field line, without a drift shell.
      double lm0, lstar0, xj0, bl0;
      double* lm1 = (nipa > 0) ? &Lm[i] : &lm0;
      double* lstar1 = (nipa > 0) ? &Lstar[i] : &lstar0;
      double* xj1 = (nipa > 0) ? &XJ[i] : &xj0;
      double* bl1 = (nipa > 0) ? &Bmirr[i] : &bl0;
      kest::magmod.lstar_opt = 0;
      calcul_lstar_(&s.t_resol, &s.r_resol, &s.lati, &s.longi, &s.alti, lm1, lstar1, xj1, bl1, &Bmin[i]);
      kest::magmod.lstar_opt = options[0];
      for (int k = 0; k < nipa; ++k) {
        const long j = static_cast<long>(k) * kMaxTimes + i;
        double mlat = s.lati, mlon = s.longi, malt = s.alti;
        bool found = true;
        if (alpha[k] != 90.0) {
          double bl, bmirror, xmir[3];
          find_bm_(&s.lati, &s.longi, &s.alti, &alpha[k], &bl, &bmirror, xmir);
          found = bmirror != baddata;
          if (found) geo_gdz_(&xmir[0], &xmir[1], &xmir[2], &mlat, &mlon, &malt);
        }
        if (found) {
          kest::flag_l.set = 0;
          double bmin_scratch;
          calcul_lstar_(&s.t_resol, &s.r_resol, &mlat, &mlon, &malt, &Lm[j], &Lstar[j], &XJ[j], &Bmirr[j],
                        &bmin_scratch);
        } else {
          Lm[j] = Lstar[j] = XJ[j] = Bmirr[j] = baddata;
        }
      }
    }
    // A refused time, or a position code outside 0..8, places no point.
    if (!s.placed) {
      MLT[i] = baddata;
      continue;
    }
    double xgeo[3];
    gdz_geo_(&s.lati, &s.longi, &s.alti, &xgeo[0], &xgeo[1], &xgeo[2]);
    MLT[i] = kest::mlt_of(xgeo);
  }
}
