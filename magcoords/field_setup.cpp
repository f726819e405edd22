// Field-model selection and per-time set-up of the field and L* cores.
#include "magcoords/field_setup.hpp"

#include <algorithm>
#include <climits>
#include <cmath>

#include "frame/conventions.hpp"
#include "kest/frame.h"
#include "magcoords/magcoords_state.hpp"

namespace {

// ---- Messages --------------------------------------------------------------
// A replaced selector is announced in a six-line frame: an empty line, 41 "!",
// the message, the choice made, 41 "!", an empty line.
constexpr const char* kBang = "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!";
constexpr const char* kBadInternal = "Invalid internal field specification";
constexpr const char* kPickInternal = "Selecting IGRF";
constexpr const char* kBadExternal = "Invalid external field specification";
constexpr const char* kPickExternal = "Selecting Olson-Pfitzer (quiet)";
// options(4) is used as (value + 1) x 25 drift-shell field lines, at most 250
// lines fit the drift-shell memory: a value outside 0..9 is replaced.
constexpr const char* kBadShellLines = "Invalid number of drift shell field lines";
constexpr const char* kPickShellLines = "Selecting 25 field lines";

void warn_replaced(const char* message, const char* choice) {
  kest::msg_lines({"", kBang, message, choice, kBang, ""});
}

// ---- Kp classes of the Kp-driven models ------------------------------------
// Class = 1 + the number of class boundaries at or below Kp x 10; the Mead
// model's first boundary is exclusive (Kp x 10 = 3 is still class 1).
constexpr double kT87ShortBounds[] = {7, 17, 20, 27, 37, 47, 53};  // classes 1-8
constexpr double kT87LongBounds[] = {7, 17, 27, 37, 47};           // classes 1-6
constexpr double kT89Bounds[] = {7, 17, 27, 37, 47, 57};           // classes 1-7

template <int N>
int class_from(const double (&bounds)[N], double kp10) {
  int c = 1;
  for (double b : bounds)
    if (kp10 >= b) ++c;
  return c;
}

int mead_class(double kp10) {
  if (kp10 <= 3.0) return 1;
  if (kp10 < 20.0) return 2;
  if (kp10 < 30.0) return 3;
  return 4;
}

// ---- Validity ranges of the driven models (inclusive) ----------------------
struct Range {
  double kest::Drivers::*slot;
  double lo, hi;
};
constexpr Range kRangesOpDynamic[] = {
    {&kest::Drivers::dst, -100.0, 20.0},
    {&kest::Drivers::dens, 5.0, 50.0},
    {&kest::Drivers::vel, 300.0, 500.0},
};
constexpr Range kRangesT96[] = {
    {&kest::Drivers::dst, -100.0, 20.0},
    {&kest::Drivers::pdyn, 0.5, 10.0},
    {&kest::Drivers::byimf, -10.0, 10.0},
    {&kest::Drivers::bzimf, -10.0, 10.0},
};
constexpr Range kRangesT01[] = {
    {&kest::Drivers::dst, -50.0, 20.0}, {&kest::Drivers::pdyn, 0.5, 5.0},
    {&kest::Drivers::byimf, -5.0, 5.0}, {&kest::Drivers::bzimf, -5.0, 5.0},
    {&kest::Drivers::g1, 0.0, 10.0},    {&kest::Drivers::g2, 0.0, 10.0},
};

// A value that is not a number fails every test.
inline bool inside(double v, double lo, double hi) { return v >= lo && v <= hi; }

template <int N>
bool drivers_inside(const Range (&ranges)[N]) {
  for (const Range& r : ranges)
    if (!inside(kest::drivers.*(r.slot), r.lo, r.hi)) return false;
  return true;
}

// Copies the inputs that the selected model reads into the driver records
// and tests them. m is maginput of the time, m[n - 1] the input number n.
bool load_drivers(int kext, int iyr, int idoy, double ut, const double* m) {
  kest::Drivers& d = kest::drivers;
  const double kp10 = m[0];
  switch (kext) {
    case 1:
      kest::index.kp_class = mead_class(kp10);
      return inside(kp10, 0.0, 90.0);
    case 2:
      kest::index.kp_class = class_from(kT87ShortBounds, kp10);
      return inside(kp10, 0.0, 90.0);
    case 3:
      kest::index.kp_class = class_from(kT87LongBounds, kp10);
      return inside(kp10, 0.0, 90.0);
    case 4:
      kest::index.kp_class = class_from(kT89Bounds, kp10);
      return inside(kp10, 0.0, 90.0);
    case 6:
      d.dens = m[2];
      d.vel = m[3];
      d.dst = m[1];
      return drivers_inside(kRangesOpDynamic);
    case 7:
      d.dst = m[1];
      d.pdyn = m[4];
      d.byimf = m[5];
      d.bzimf = m[6];
      return drivers_inside(kRangesT96);
    case 8:
      d.dst = m[1];
      d.pdyn = m[4];
      d.bzimf = m[6];
      d.kp = 0.1 * kp10;
      return true;
    case 9:
      d.dst = m[1];
      d.pdyn = m[4];
      d.byimf = m[5];
      d.bzimf = m[6];
      d.g1 = m[7];
      d.g2 = m[8];
      return drivers_inside(kRangesT01);
    case 10:
      d.dst = m[1];
      d.pdyn = m[4];
      d.byimf = m[5];
      d.bzimf = m[6];
      d.g2 = m[8];
      d.g3 = m[9];
      return true;
    case 11:
      d.dst = m[1];
      d.pdyn = m[4];
      d.byimf = m[5];
      d.bzimf = m[6];
      d.w1 = m[10];
      d.w2 = m[11];
      d.w3 = m[12];
      d.w4 = m[13];
      d.w5 = m[14];
      d.w6 = m[15];
      return true;
    case 12: {
      d.dens = m[2];
      d.vel = m[3];
      d.dst = m[1];
      d.bzimf = m[6];
      d.al = m[16];
      kest::A2000Time& t = kest::a2000_time;
      t.year = iyr;
      int one = 1;
      // The day number in 64 bits; one beyond the 32-bit range is clamped,
      // outside the calendar as the true number is, and caldat stops on it.
      const long long jd64 = static_cast<long long>(julday_(&t.year, &one, &one)) + idoy - 1;
      int jd = static_cast<int>(std::clamp<long long>(jd64, INT_MIN, INT_MAX));
      caldat_(&jd, &t.year, &t.month, &t.day);
      t.ut_a2000 = ut / 3600.0;  // hours
      // The model splits the time into whole hours, minutes and seconds: an
      // hour count beyond the 32-bit range has no clock time.
      return std::fabs(t.ut_a2000) < 2147483648.0;
    }
    default:  // 0, 5 and codes outside 0..12: nothing read, nothing tested
      return true;
  }
}

// The point of the time in GEO (and geodetic for the tracing cores). Returns
// false for a position code outside 0..8.
bool place_point(kest::FieldSetup& s, double x1, double x2, double x3) {
  double xin[3] = {x1, x2, x3};
  double* g = s.xgeo;
  switch (s.sysaxes) {
    case 0:  // altitude km, geodetic latitude, longitude
      s.alti = x1;
      s.lati = x2;
      s.longi = x3;
      gdz_geo_(&s.lati, &s.longi, &s.alti, &g[0], &g[1], &g[2]);
      return true;
    case 8: {  // radius Re, geodetic latitude, longitude
      // rll_gdz leaves its radius argument in km: hand it a copy so that the
      // caller's position stays as given.
      double r = x1, alt = 0.0;
      rll_gdz_(&r, &xin[1], &xin[2], &alt);
      s.alti = alt;
      s.lati = x2;
      s.longi = x3;
      gdz_geo_(&s.lati, &s.longi, &s.alti, &g[0], &g[1], &g[2]);
      return true;
    }
    case 1:
      g[0] = x1;
      g[1] = x2;
      g[2] = x3;
      break;
    case 2:
      gsm_geo_(xin, g);
      break;
    case 3:
      gse_geo_(xin, g);
      break;
    case 4:
      sm_geo_(xin, g);
      break;
    case 5:
      gei_geo_(xin, g);
      break;
    case 6:
      mag_geo_(xin, g);
      break;
    case 7:
      sph_car_(&xin[0], &xin[1], &xin[2], g);
      break;
    default:
      return false;
  }
  if (s.variant.geodetic) geo_gdz_(&g[0], &g[1], &g[2], &s.lati, &s.longi, &s.alti);
  return true;
}

}  // namespace

namespace kest {

// field_setup_call: model selection of one call of a field or L* core.
// State:    writes magmod (kext, kint; lstar_opt as the variant says), flag_l
//           (array cores), gener (initize); a fixed-epoch internal model
//           (kint 2, 3) loads intfield and dipigrf.
// Failure:  kext outside 0..12: magmod.kext = 5 (Olson-Pfitzer quiet) after
//           the six-line warning; options(5) outside 0..3: magmod.kint = 0
//           (IGRF) after the warning. Neither is changed in the caller's
//           storage. Array cores: options(3) outside 0..9 becomes 0 in the
//           caller's array (silently), options(4) outside 0..9 becomes 0 in
//           the caller's array after its warning.
// Notes:    1. The warnings are printed at every call that meets them.
void field_setup_call(FieldSetup& s, const SetupVariant& v, const int* kext, int* options,
                      const int* sysaxes) {
  s.variant = v;
  s.kext = *kext;
  s.sysaxes = *sysaxes;
  s.renewal_days = options[1];
  if (v.array_core) flag_l.set = 0;
  s.last_epoch_year = kNoEpochYet;
  magmod.kext = *kext;
  s.t_resol = 0;
  s.r_resol = 0;
  if (v.array_core) {
    if (options[2] < 0 || options[2] > 9) options[2] = 0;
    if (options[3] < 0 || options[3] > 9) {
      options[3] = 0;
      warn_replaced(kBadShellLines, kPickShellLines);
    }
    s.t_resol = options[2] + 1;
    s.r_resol = options[3] + 1;
  }
  if (v.lstar_word == LstarWord::from_options) magmod.lstar_opt = options[0];
  if (v.lstar_word == LstarWord::zero) magmod.lstar_opt = 0;
  magmod.kint = options[4];
  if (options[4] < 0 || options[4] > 3) {
    magmod.kint = 0;
    warn_replaced(kBadInternal, kPickInternal);
  }
  if (*kext < 0 || *kext > 12) {
    magmod.kext = 5;
    warn_replaced(kBadExternal, kPickExternal);
  }
  load_internal_model(magmod.kint);
}

int select_internal_model(int option5) {
  int kint = option5;
  if (kint < 0 || kint > 3) {
    kint = 0;
    warn_replaced(kBadInternal, kPickInternal);
  }
  load_internal_model(kint);
  return kint;
}

void load_internal_model(int kint) {
  initize_();
  if (kint == 2) jensenandcain1960_();
  if (kint == 3) gsfc1266_();
}

void set_igrf_epoch(long long& last_epoch_year, int renewal_days, int iyr, int idoy) {
  const int k = renewal_days;
  if (k == 0) {
    if (iyr == last_epoch_year) return;
    last_epoch_year = iyr;
    double epoch = iyr + 0.5;
    init_dtd_(&epoch);
    return;
  }
  if (iyr == last_epoch_year && std::fmod(static_cast<double>(idoy), static_cast<double>(k)) != 0.0)
    return;
  last_epoch_year = iyr;
  int year = iyr, jan = 1, dec = 12, first = 1, last = 31;
  const int j1 = julday_(&year, &jan, &first);
  const int j2 = julday_(&year, &dec, &last);
  // 64 bits: INT_MIN / -1 has no 32-bit quotient. The product's size never
  // exceeds that of idoy.
  long long d = (static_cast<long long>(idoy) / k) * k;
  if (d == 0) d = 1;
  double epoch = year + static_cast<double>(d) / static_cast<double>(j2 - j1 + 1);
  init_dtd_(&epoch);
}

// field_setup_time: model state of one time.
// State:    init_dtd (kint 0, 1; when the epoch is due), init_gsm; writes
//           dip_ang, and the driver slots of the caller's kext in drivers,
//           index, a2000_time (written before their test).
// Requires: field_setup_call for this call.
// Failure:  returns false for inputs outside the model's inclusive validity
//           range (a value that is not a number included; for code 12 also a
//           UT of 2^31 hours or more) and for a position code outside 0..8,
//           rather than reusing the position of an earlier time. A time is
//           refused (false, s.placed false) when its UT is not finite or the
//           fill value, or its day of year lies beyond kMaxDayOfYear (nothing
//           set for it), or when its point has a fill-value component or is
//           not finite in GEO (tracing cores: or in geodetic coordinates).
//           Dates julday/caldat cannot handle stop the process.
bool field_setup_time(FieldSetup& s, int iyr, int idoy, double ut, double x1, double x2,
                      double x3, const double* maginput) {
  s.placed = false;
  s.refused = true;
  // The fill value marks a time or coordinate an earlier stage could not
  // compute (an orbit row after a propagation error, a failed conversion): it
  // names no instant and no place, so it is refused as a non-number is,
  // rather than read as a time 3e23 years away or a point 1e31 units out.
  if (!is_value(ut) || !day_of_year_usable(idoy)) return false;
  if (magmod.kint <= 1) set_igrf_epoch(s.last_epoch_year, s.renewal_days, iyr, idoy);
  double psi = 0.0;
  init_gsm_(&iyr, &idoy, &ut, &psi);
  dip_ang.tilt = psi / (4.0 * std::atan(1.0) / 180.0);
  if (!place_point(s, x1, x2, x3)) {
    s.refused = false;  // a bad position code, not a refused time
    return false;
  }
  // A position that is not a number, or that overflows on its way to GEO or
  // geodetic coordinates, has no field and no local time.
  const double* g = s.xgeo;
  bool finite = std::isfinite(g[0]) && std::isfinite(g[1]) && std::isfinite(g[2]);
  if (s.variant.geodetic)
    finite = finite && std::isfinite(s.lati) && std::isfinite(s.longi) && std::isfinite(s.alti);
  if (!finite || !is_value(x1) || !is_value(x2) || !is_value(x3)) return false;
  s.placed = true;
  s.refused = false;
  return load_drivers(s.kext, iyr, idoy, ut, maginput);
}

}  // namespace kest
