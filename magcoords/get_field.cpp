// The field at one point for a given time, model and position.
#include <cmath>

#include "frame/conventions.hpp"
#include "kest/magcoords.h"
#include "magcoords/field_setup.hpp"

// get_field1: field vector and magnitude at one point.
// Given:    kext  int  external-model code (0..12)
//           options(5)  int  options(2) IGRF renewal interval, options(5)
//                       internal-model code; the others are not read
//           sysaxes  int  coordinate system of x1, x2, x3 (0..8)
//           iyr, idoy  int  year, day of year; UT  double  seconds of the day
//           x1, x2, x3  double  the position in sysaxes
//           maginput(25)  double  magnetic inputs of the time
// Returned: BxGEO(3)  double  field, GEO components, nT
//           Blocal  double  its magnitude, nT
// State:    the set-up writes magmod (lstar_opt = 0), dip_ang, drivers,
//           index, a2000_time, the internal-field and frame state.
// Failure:  inputs outside the model's validity range, a position code outside
//           0..8, a point outside the model's region, a refused time (UT or
//           position not finite, day of year beyond kMaxDayOfYear) or a
//           point without a finite field (the origin): the fill value
//           -1.0E31 in all four outputs. Bad kext or options(5): replaced for
//           the call after the six-line warning.
extern "C" void get_field1_(int* kext, int* options, int* sysaxes, int* iyr, int* idoy, double* UT,
                            double* x1, double* x2, double* x3, double* maginput, double* BxGEO,
                            double* Blocal) {
  double xgeo[3];
  kest::field_and_point(kext, options, sysaxes, iyr, idoy, UT, x1, x2, x3, maginput, BxGEO, Blocal, xgeo);
}

namespace kest {

bool field_and_point(int* kext, int* options, int* sysaxes, int* iyr, int* idoy, double* UT, double* x1,
                     double* x2, double* x3, double* maginput, double* BxGEO, double* Blocal, double* xgeo) {
  FieldSetup s;
  field_setup_call(s, kSetupGetField, kext, options, sysaxes);
  int ifail = -1;
  if (field_setup_time(s, *iyr, *idoy, *UT, *x1, *x2, *x3, maginput)) champ_(s.xgeo, BxGEO, Blocal, &ifail);
  // The origin (or a point next to it) has no finite field: fill, as for a
  // refused point.
  if (ifail < 0 || !std::isfinite(*Blocal)) {
    BxGEO[0] = BxGEO[1] = BxGEO[2] = baddata;
    *Blocal = baddata;
  }
  if (!s.placed) return false;
  xgeo[0] = s.xgeo[0];
  xgeo[1] = s.xgeo[1];
  xgeo[2] = s.xgeo[2];
  return true;
}

}  // namespace kest
