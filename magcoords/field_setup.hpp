// The field-model set-up that every field and L* core performs: selector
// checks once per call, then per time the internal-field epoch, the sun and
// dipole axes, the point in GEO (and geodetic), and the model drivers with
// their validity test.
//
// One routine pair serves every core; the cores differ only in the
// SetupVariant they pass. The routines are exported (KEST_API) so that the
// test programs can drive the set-up directly; they are not part of the
// public C interface.
#ifndef KEST_MAGCOORDS_FIELD_SETUP_HPP
#define KEST_MAGCOORDS_FIELD_SETUP_HPP

#include "kest/api.h"

namespace kest {

// What a core does with the L*-slot word lstar_opt of magmod.
enum class LstarWord {
  from_options,  // lstar_opt = options(1)
  zero,          // lstar_opt = 0 (cores that compute no L*)
  keep,          // left as the last core set it
};

// How one core's set-up differs from the others'.
struct SetupVariant {
  LstarWord lstar_word;
  // The L* array cores: clear flag_l at entry, and check options(3) and
  // options(4), replacing a bad value by 0 in the caller's array.
  bool array_core;
  // The tracing cores need the point in geodetic coordinates as well as in
  // GEO; the field entry needs GEO only.
  bool geodetic;
};

inline constexpr SetupVariant kSetupMakeLstar{LstarWord::from_options, true, true};
inline constexpr SetupVariant kSetupShellSplitting{LstarWord::from_options, true, true};
inline constexpr SetupVariant kSetupDriftShell{LstarWord::from_options, false, true};
inline constexpr SetupVariant kSetupTraceFieldLine{LstarWord::from_options, false, true};
inline constexpr SetupVariant kSetupMirrorPoint{LstarWord::keep, false, true};
inline constexpr SetupVariant kSetupMagEquator{LstarWord::zero, false, true};
inline constexpr SetupVariant kSetupGetField{LstarWord::zero, false, false};

// Per-call state of a core's set-up (the core keeps it for the call).
struct FieldSetup {
  SetupVariant variant;
  int kext;             // the caller's external-model code (selects the inputs)
  int sysaxes;          // coordinate system of the given positions
  int renewal_days;     // options(2)
  long long last_epoch_year;  // year of the last IGRF epoch set; kNoEpochYet at each call
  int t_resol;          // options(3) + 1 (array cores)
  int r_resol;          // options(4) + 1 (array cores)
  // The point of the current time.
  double xgeo[3];  // GEO, Earth radii (for sysaxes 0 and 8 from the geodetic point)
  double lati;     // geodetic latitude, degrees   (tracing cores)
  double longi;    // longitude, degrees           (tracing cores)
  double alti;     // altitude above WGS84, km     (tracing cores)
  // The current time was placed: its instant is usable and its point known
  // and finite. False for a refused time (fill in every output of the time,
  // MLT included); true for a time refused only by the drivers' validity
  // range.
  bool placed;
  // The current time was refused for a UT, day of year or point that is not
  // usable (not for a bad position code or the drivers' range). The array
  // and drift-shell cores then clear flag_l, as the failed trace of such a
  // point always did.
  bool refused;
};

// The last-epoch year before any epoch of a call is set: below every int,
// so that no year the caller gives (1800 included) can pass for an epoch
// already set and leave the field of another call's epoch, or none, in use.
inline constexpr long long kNoEpochYet = -(1LL << 40);

// The most days a day of year may lie away from 1 January: the span of the
// whole calendar (day numbers -1095 to 1827933925). A larger one cannot name
// a day of any year; the set-up refuses its time.
inline constexpr int kMaxDayOfYear = 1827935020;

inline bool day_of_year_usable(int idoy) { return idoy >= -kMaxDayOfYear && idoy <= kMaxDayOfYear; }

// Once per call: stores the model selection in magmod (a bad kext or
// options(5) replaced in magmod only, after the six-line warning), checks the
// resolution options of the array cores, sets the Earth constants and loads a
// fixed-epoch internal model when one is chosen.
// Given:    v        the core's variant
//           kext     external-model code, as the caller gave it
//           options  the caller's five options (array cores: options(3) and
//                    options(4) may be replaced by 0 in place)
//           sysaxes  coordinate system of the positions, 0 to 8
// Returned: s        per-call state for field_setup_time
KEST_API void field_setup_call(FieldSetup& s, const SetupVariant& v, const int* kext, int* options,
                               const int* sysaxes);

// Per time: IGRF epoch (when the internal model needs one), sun and dipole
// axes with the tilt into dip_ang, the point into s.xgeo (and geodetic), and
// the selected model's drivers from maginput (25 values) into drivers, index
// and a2000_time.
// Returns:  true when the time can be computed; false when its magnetic inputs
//           lie outside the selected model's validity range, or its position
//           code is not 0 to 8, or the time is refused (the core then gives
//           fill outputs; s.placed tells the two kinds apart).
// Failure:  a time whose UT is not finite or is the fill value, or whose day
//           of year lies beyond kMaxDayOfYear, is refused before anything is
//           set for it; so is a position with a fill-value component or one
//           that is not finite in GEO (or in geodetic coordinates for the
//           tracing cores): s.placed false.
KEST_API bool field_setup_time(FieldSetup& s, int iyr, int idoy, double ut, double x1, double x2,
                               double x3, const double* maginput);

// The internal-model choice of options(5): a value outside 0..3 becomes 0
// (IGRF) after the six-line warning; then load_internal_model. Returns the
// code used. (For the L*-Phi conversion, which leaves magmod alone; the cores
// make the same choice in field_setup_call and store it in magmod.)
KEST_API int select_internal_model(int option5);

// Sets the Earth constants and loads a fixed-epoch internal model (kint 2:
// Jensen-Cain 1960, 3: GSFC 12/66); IGRF and the dipole need an epoch per
// time instead.
KEST_API void load_internal_model(int kint);

// IGRF epoch of a time: with renewal_days 0 once per year at mid-year; with
// k days, anew on every day of year that is a multiple of k (as doubles) and
// at a year change, at year + d / (days in the year), d = (idoy div k) x k or
// 1 when that is 0 (so on a qualifying day it is set again for every time).
// Given and returned: last_epoch_year  the year of the last epoch set
//           (kNoEpochYet at the start of a call, so the first time always
//           sets it).
// Notes:    d is formed in 64 bits: idoy = INT_MIN with k = -1 has no
//           32-bit quotient.
KEST_API void set_igrf_epoch(long long& last_epoch_year, int renewal_days, int iyr, int idoy);

// get_field1_ with the GEO point the set-up made of the position: the
// point at which the field was evaluated, in Earth radii. GSM, SM and MAG
// positions are turned with the dipole of the internal model and epoch in
// use (a fixed-epoch model's own, or the IGRF of a renewal day), so a caller
// that works on from the point takes it from here rather than converting the
// position again at the mid-year IGRF.
// Returns:  true with xgeo written when the time's point was placed (its
//           field may still be the fill value); false, xgeo untouched,
//           otherwise.
bool field_and_point(int* kext, int* options, int* sysaxes, int* iyr, int* idoy, double* UT, double* x1,
                     double* x2, double* x3, double* maginput, double* BxGEO, double* Blocal, double* xgeo);

}  // namespace kest

#endif
