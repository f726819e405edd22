// NRLMSISE-00 neutral atmosphere: full-altitude entry, thermosphere,
// expansions, switches, pressure-level search and the coefficient records.
//
// References: Picone, J. M., A. E. Hedin, D. P. Drob and A. C. Aikin,
// NRLMSISE-00 empirical model of the atmosphere: Statistical comparisons and
// scientific issues, J. Geophys. Res. 107(A12), 1468 (2002); Hedin, A. E.,
// J. Geophys. Res. 96, 1159 (1991) for the lower-atmosphere splines.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <cstdlib>
#include <cstring>

#include "atmosphere/atmosphere_state.hpp"
#include "atmosphere/msis_common.hpp"
#include "atmosphere/msis_family.hpp"
#include "atmosphere/msis_tables.hpp"
#include "frame/conventions.hpp"
#include "kest/atmosphere.h"

namespace kest {

namespace {

constexpr Parm7 make_parm7() {
  Parm7 r{};
  const double* w = msis_tables::parm7_words;
  for (int i = 0; i < 150; ++i) r.tinf_coef[i] = *w++;
  for (int k = 0; k < 9; ++k)
    for (int i = 0; i < 150; ++i) r.dens_coef[k][i] = *w++;
  for (int i = 0; i < 150; ++i) r.grad_coef[i] = *w++;
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 25; ++i) r.aux_coef[k][i] = *w++;
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < 100; ++i) r.tlow_coef[k][i] = *w++;
  for (int k = 0; k < 10; ++k)
    for (int i = 0; i < 100; ++i) r.tmid_coef[k][i] = *w++;
  for (int i = 0; i < 100; ++i) r.sam_coef[i] = *w++;
  return r;
}

constexpr Lower7 make_lower7() {
  Lower7 r{};
  const double* w = msis_tables::lower7_words;
  for (int i = 0; i < 10; ++i) r.lb_temp[i] = *w++;
  for (int k = 0; k < 8; ++k)
    for (int i = 0; i < 10; ++i) r.lb_dens[k][i] = *w++;
  return r;
}

constexpr Mavg7 make_mavg7() {
  Mavg7 r{};
  for (int i = 0; i < 10; ++i) r.mid_avg[i] = msis_tables::mavg7_words[i];
  return r;
}

}  // namespace

Parm7 parm7 = make_parm7();
Lower7 lower7 = make_lower7();
Mavg7 mavg7 = make_mavg7();
const Datime datim7 = {{'0', '1', '-', 'F', 'E', 'B', '-', '0', '2', ' ', ' ', ' '},
                       {'1', '5', ':', '4', '9', ':', '2', '7'},
                       {'M', 'S', 'I', 'S', 'E', '-', '0', '0'}};
Metsel7 metsel7{0};
Meso7 meso7{};

namespace {

// Message texts of NRLMSISE-00.
constexpr const char* kSplintMsg = "BAD XA INPUT TO SPLINT7";
constexpr const char* kDnetMsg = "DNET7 LOG ERROR";

constexpr msis::Variant kNrlmsise00 = {
    /*t1_flux_factor*/ true, /*history_second*/ false, /*longitude_cached*/ false,
    /*glob_t2a*/ 15, /*glob_t2b*/ 60, /*glob_t5*/ 21, /*glob_t8a*/ 36, /*glob_t8b*/ 37,
    /*glob_apt*/ 0, /*glob_marker*/ true, /*glob_marker_msg*/ "WRONG PARAMETER SET FOR GLOB7S",
    /*n_mass_codes*/ 11,
    /*mix_limits*/ {200.0, 300.0, 160.0, 250.0, 240.0, 450.0, 320.0, 450.0},
    /*thermal_diff*/ {-0.38, 0.0, 0.0, 0.0, 0.17, 0.0, -0.38, 0.0, 0.0},
    /*tlb_below_300*/ true, /*tgn1_ratio_above_300*/ false, /*o_flux_ratio*/ true,
    /*o2_departure*/ true, /*anomalous_o*/ true, /*h_then_n*/ false,
    /*ghp_max_steps*/ 12, /*ghp_damped_steps*/ 6, /*ghp_day_by_product*/ false,
    /*ghp_msg*/ "GHP7 NOT CONVERGING FOR PRESS",
    /*splint_msg*/ kSplintMsg, /*dnet_msg*/ kDnetMsg, /*n_dens*/ 9};

// Saved switch values of tselec7 (read back by tretrv7).
struct Tselec7Saved {
  double saved_switches[25];
};
Tselec7Saved tselec7_saved{};

// NRLMSISE-00's own caches: the input-change test (slot 1 gtd7, slot 2
// gts7), its expansion view, the day cosines of glob7s, and the values gts7
// and gtd7 keep between calls.
msis::InputCache vtst7_cache = msis::make_input_cache();
msis::GlobeCache globe7_cache{};
msis::GlobSCache glob7s_cache{};
msis::ThermoCache gts7_cache{};
msis::EntryCache gtd7_cache{};

msis::Generation nrl{kNrlmsise00,
                     parm7.tinf_coef,
                     parm7.dens_coef,
                     parm7.grad_coef,
                     parm7.aux_coef,
                     parm7.tlow_coef,
                     parm7.tmid_coef,
                     lower7.lb_temp,
                     lower7.lb_dens,
                     mavg7.mid_avg,
                     meso7.tn1,
                     meso7.tn2,
                     meso7.tn3,
                     meso7.tgn1,
                     meso7.tgn2,
                     meso7.tgn3,
                     &metsel7.metric_units,
                     &datim7,
                     tselec7_saved.saved_switches,
                     &vtst7_cache,
                     &globe7_cache,
                     &glob7s_cache,
                     &gts7_cache,
                     &gtd7_cache};

constexpr double kAmu = 1.66e-24;  // atomic mass unit, g

}  // namespace

}  // namespace kest

using namespace kest;

// ---------------------------------------------------------------------------
// Switches
// ---------------------------------------------------------------------------

extern "C" void tselec7_(double* sv) { msis::set_switches(sv, tselec7_saved.saved_switches, false); }

extern "C" void tretrv7_(double* svv) {
  std::copy(std::begin(tselec7_saved.saved_switches), std::end(tselec7_saved.saved_switches), svv);
}

extern "C" void meters7_(int* meter) { metsel7.metric_units = (*meter & 1) ? 1 : 0; }

// ---------------------------------------------------------------------------
// Small helpers
// ---------------------------------------------------------------------------

extern "C" void glatf7_(double* lat, double* gv, double* reff) {
  msis::gravity_at_latitude(*lat, gv, reff);
}

extern "C" double vtst7_(int* iyd, double* sec, double* glat, double* glong, double* stl,
                         double* f107a, double* f107, double* ap, int* ic) {
  return msis::inputs_changed(vtst7_cache, *iyd, *sec, *glat, *glong, *stl, *f107a, *f107, ap,
                              *ic);
}

extern "C" double scalh_(double* alt, double* xm, double* temp) {
  const double q = 1.0 + *alt / parmb.re_eff;
  const double g = parmb.gsurf / (q * q);
  return 831.4 * (*temp) / (g * (*xm));
}

extern "C" void spline7_(double* x, double* y, int* n, double* yp1, double* ypn, double* y2) {
  msis::spline(x, y, *n, *yp1, *ypn, y2);
}

extern "C" void splint7_(double* xa, double* ya, double* y2a, int* n, double* x, double* y) {
  msis::splint(xa, ya, y2a, *n, *x, y, kSplintMsg);
}

extern "C" void splini7_(double* xa, double* ya, double* y2a, int* n, double* x, double* yi) {
  msis::splini(xa, ya, y2a, *n, *x, yi);
}

extern "C" double densu7_(double* alt, double* dlb, double* tinf, double* tlb, double* xm,
                          double* alpha, double* tz, double* zlb, double* s2, int* mn1,
                          double* zn1, double* tn1, double* tgn1) {
  return msis::densu(*alt, *dlb, *tinf, *tlb, *xm, *alpha, tz, *zlb, *s2, *mn1, zn1, tn1, tgn1,
                     kSplintMsg);
}

extern "C" double densm7_(double* alt, double* d0, double* xm, double* tz, int* mn3,
                          double* zn3, double* tn3, double* tgn3, int* mn2, double* zn2,
                          double* tn2, double* tgn2) {
  return msis::densm(*alt, *d0, *xm, tz, *mn3, zn3, tn3, tgn3, *mn2, zn2, tn2, tgn2, kSplintMsg);
}

extern "C" double dnet7_(double* dd, double* dm, double* zhm, double* xmm, double* xm) {
  return msis::dnet(dd, *dm, *zhm, *xmm, *xm, kDnetMsg);
}

extern "C" double ccor7_(double* alt, double* r, double* h1, double* zh) {
  return msis::ccor(*alt, *r, *h1, *zh);
}

extern "C" double ccor2_(double* alt, double* r, double* h1, double* zh, double* h2) {
  return msis::ccor2(*alt, *r, *h1, *zh, *h2);
}

// ---------------------------------------------------------------------------
// Expansions, thermosphere, entries
// ---------------------------------------------------------------------------

extern "C" double globe7_(double* yrd, double* sec, double* lat, double* lon, double* tloc,
                          double* f107a, double* f107, double* ap, double* p) {
  return msis::globe(nrl, *yrd, *sec, *lat, *lon, *tloc, *f107a, *f107, ap, p);
}

extern "C" double glob7s_(double* p) { return msis::glob(nrl, p); }

extern "C" void gts7_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                      double* t) {
  msis::thermosphere(nrl, *iyd, *sec, *alt, *glat, *glong, *stl, *f107a, *f107, ap, *mass, d, t);
}

extern "C" void gtd7_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                      double* t) {
  msis::full_altitude(nrl, *iyd, *sec, *alt, *glat, *glong, *stl, *f107a, *f107, ap, *mass, d, t);
}

extern "C" void gtd7d_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                       double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                       double* t) {
  gtd7_(iyd, sec, alt, glat, glong, stl, f107a, f107, ap, mass, d, t);
  if (*mass == 48) {
    // Effective mass density for drag: anomalous oxygen included.
    d[5] = kAmu * (4.0 * d[0] + 16.0 * d[1] + 28.0 * d[2] + 32.0 * d[3] + 40.0 * d[4] + d[6] +
                   14.0 * d[7] + 16.0 * d[8]);
    if (metsel7.metric_units == 1) d[5] *= 0.001;
  }
}

extern "C" void ghp7_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, double* d, double* t,
                      double* press) {
  msis::pressure_level(nrl, *iyd, *sec, alt, *glat, *glong, *stl, *f107a, *f107, ap, d, t, *press);
}
