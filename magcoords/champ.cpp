// The field at a point: internal field of the selected model plus the
// external field of the selected model, each evaluated in its own frame and
// returned in GEO.
//
// champ is the inner loop of every trace (four calls per Runge-Kutta step,
// millions per L* value): it allocates nothing, does only the selected
// model's work, and takes everything that depends on the time alone (tilt,
// drivers, Kp class, frame axes) from the records the set-up filled.
#include <cmath>

#include "extfield/champ_adaptors.hpp"
#include "kest/extfield.h"
#include "kest/frame.h"
#include "frame/conventions.hpp"
#include "kest/magcoords.h"
#include "magcoords/magcoords_state.hpp"

namespace {

enum class Frame { sm, gsm };
enum class Limit {
  none,    // the model accepts every point
  radius,  // refused beyond a sphere: r^2 > r2max
  x_gsm,   // refused tailward of x_GSM = -15 Earth radii
};

// One external model in its frame: point in, field out (Earth radii, nT).
using ModelFn = void (*)(double* x, double* b);

struct ExternalModel {
  Limit limit;
  double r2max;  // square of the radius limit, Earth radii^2
  Frame frame;
  ModelFn eval;  // nullptr: the model is not part of this build
};

// ---- Adaptors: drivers from the model records into each model's arguments.
void op_quiet(double* x, double* b) { bxyzmu_(&x[0], &x[1], &x[2], &b[0], &b[1], &b[2]); }

// The external models by code. Each model is one row; a row without an
// evaluation routine refuses every point (the caller then gives fill values),
// so that a code whose model is missing never passes for the internal field
// alone.
constexpr ExternalModel kExternal[13] = {
    /*  0 none                    */ {Limit::none, 0.0, Frame::sm, nullptr},
    /*  1 Mead                    */ {Limit::radius, 289.0, Frame::sm, &kest::mead_champ},
    /*  2 Tsyganenko 1987 short   */ {Limit::radius, 900.0, Frame::gsm, &kest::tsy87s_champ},
    /*  3 Tsyganenko 1987 long    */ {Limit::radius, 4900.0, Frame::gsm, &kest::tsy87l_champ},
    /*  4 Tsyganenko 1989         */ {Limit::radius, 4900.0, Frame::gsm, &kest::t89c_champ},
    /*  5 Olson-Pfitzer quiet     */ {Limit::radius, 225.0, Frame::sm, &op_quiet},
    /*  6 Olson-Pfitzer dynamic   */ {Limit::radius, 3600.0, Frame::sm, &kest::op_dynamic_champ},
    /*  7 Tsyganenko 1996         */ {Limit::radius, 1600.0, Frame::gsm, &kest::t96_champ},
    /*  8 Ostapenko-Maltsev 1997  */ {Limit::none, 0.0, Frame::sm, &kest::om97_champ},
    /*  9 Tsyganenko 2001         */ {Limit::x_gsm, 0.0, Frame::gsm, &kest::t01_champ},
    /* 10 Tsyganenko 2001 storm   */ {Limit::x_gsm, 0.0, Frame::gsm, &kest::t01_storm_champ},
    /* 11 Tsyganenko 2004 storm   */ {Limit::x_gsm, 0.0, Frame::gsm, &kest::t04_champ},
    /* 12 Alexeev 2000            */ {Limit::none, 0.0, Frame::gsm, &kest::a2000_champ},
};

// Tailward limit of the Tsyganenko 2001/2004 models, GSM x in Earth radii.
constexpr double kXgsmMin = -15.0;

}  // namespace

// champ: total field at a GEO point for the selected internal and external
// models.
// Given:    xGEO(3)  double  GEO position, Earth radii
// Returned: BxGEO(3)  double  total field, GEO components, nT
//           Blocal  double  its magnitude, nT
//           ifail  int  0 computed; -1 refused (BxGEO and Blocal unwritten)
// State:    reads magmod, and through the models and rotations dip_ang,
//           drivers, index, a2000_time, the internal-field state and the
//           frame axes.
// Requires: the field-model set-up for the time (or an equivalent fixing of
//           magmod, dip_ang, drivers, the internal field and init_gsm).
// Failure:  a point outside the selected external model's region (beyond its
//           radius, or x_GSM < -15 for the Tsyganenko 2001/2004 codes; a point
//           on the limit is accepted), or an external code whose model is not
//           part of this build, or an external field without a finite value
//           at the point (or given as the fill value): ifail = -1, nothing
//           written, nothing printed. So is a point where the total field
//           has no finite magnitude (a point that is not finite, the centre
//           of the internal expansion or a point so close to it that |B|
//           overflows, a field whose square overflows).
//           A fixed-epoch internal model (kint 2, 3) at a point on the
//           polar axis: ifail = -1 with the fill value in BxGEO and Blocal.
// Notes:    1. An external code outside 0..12 in magmod adds no external field.
extern "C" void champ_(double* xGEO, double* BxGEO, double* Blocal, int* ifail) {
  *ifail = 0;
  double bint[3];
  switch (kest::magmod.kint) {
    case 0:
      igrf_(&xGEO[0], &xGEO[1], &xGEO[2], &bint[0], &bint[1], &bint[2]);
      break;
    case 1:
      dtd_(&xGEO[0], &xGEO[1], &xGEO[2], &bint[0], &bint[1], &bint[2]);
      break;
    default:
      get_intfield_(&xGEO[0], &xGEO[1], &xGEO[2], &bint[0], &bint[1], &bint[2]);
      // On the polar axis the fixed-epoch sum has no defined direction and
      // gives the fill value: refuse the point rather than hand on a
      // "field" of 1e31 nT.
      if (bint[0] == kest::baddata) {
        BxGEO[0] = BxGEO[1] = BxGEO[2] = kest::baddata;
        *Blocal = kest::baddata;
        *ifail = -1;
        return;
      }
      break;
  }

  double bext[3] = {0.0, 0.0, 0.0};
  const int kext = kest::magmod.kext;
  if (kext > 0 && kext <= 12) {
    const ExternalModel& m = kExternal[kext];
    if (m.eval == nullptr) {
      *ifail = -1;
      return;
    }
    if (m.limit == Limit::radius &&
        xGEO[0] * xGEO[0] + xGEO[1] * xGEO[1] + xGEO[2] * xGEO[2] > m.r2max) {
      *ifail = -1;
      return;
    }
    double xm[3], bm[3];
    if (m.frame == Frame::sm)
      geo_sm_(xGEO, xm);
    else
      geo_gsm_(xGEO, xm);
    if (m.limit == Limit::x_gsm && xm[0] < kXgsmMin) {
      *ifail = -1;
      return;
    }
    m.eval(xm, bm);
    // A model formula without a finite value at the point (the T89 image
    // current on the GSM z axis far out, a pole of a fitted term), or a model
    // that gives the fill value for input it cannot use: refuse the point
    // rather than hand NaN, infinity or 1e31 nT to a trace.
    if (!std::isfinite(bm[0]) || !std::isfinite(bm[1]) || !std::isfinite(bm[2]) || bm[0] == kest::baddata ||
        bm[1] == kest::baddata || bm[2] == kest::baddata) {
      *ifail = -1;
      return;
    }
    if (m.frame == Frame::sm)
      sm_geo_(bm, bext);
    else
      gsm_geo_(bm, bext);
  }

  const double b[3] = {bint[0] + bext[0], bint[1] + bext[1], bint[2] + bext[2]};
  const double bl = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
  // No finite magnitude: a point that is not a number, the centre of a
  // centred internal expansion or a point so close to it that |B| or its
  // square overflows, or an external field whose square overflows (a storm
  // model driven by a dynamic pressure of 1e-300 nPa). Refuse the point, as
  // for an external field without a value, rather than hand a NaN or an
  // infinite field on as computed. (A finite magnitude implies three finite
  // components.)
  if (!std::isfinite(bl)) {
    *ifail = -1;
    return;
  }
  BxGEO[0] = b[0];
  BxGEO[1] = b[1];
  BxGEO[2] = b[2];
  *Blocal = bl;
}
