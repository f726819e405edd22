// MSISE-90 neutral atmosphere: entry, thermosphere, expansions, switches,
// pressure-level search, its profile and correction routines, and its
// coefficient records.
//
// MSISE-90 runs the same bodies as NRLMSISE-00 (atmosphere/msis_family.cpp,
// atmosphere/msis_common.cpp) with its own coefficients, caches, messages and
// the few terms in which it differs (its Variant below).
//
// Reference: Hedin, A. E., Extension of the MSIS thermosphere model into the
// middle and lower atmosphere, J. Geophys. Res. 96, 1159 (1991).
#include <algorithm>
#include <iterator>

#include "atmosphere/atmosphere_state.hpp"
#include "atmosphere/msis_common.hpp"
#include "atmosphere/msis_family.hpp"
#include "atmosphere/msis_tables.hpp"
#include "kest/atmosphere.h"

namespace kest {

namespace {

constexpr Parm6 make_parm6() {
  Parm6 r{};
  msis::fill_parm(r, msis_tables::parm6_words);
  return r;
}

}  // namespace

Parm6 parm6 = make_parm6();
Lower6 lower6 = msis::make_lower<Lower6>(msis_tables::lower6_words);
Mavg6 mavg6 = msis::make_mavg<Mavg6>(msis_tables::mavg6_words);
const Datime datim6 = {{'1', '2', '-', 'M', 'A', 'R', '-', '9', '0', ' ', ' ', ' '},
                       {'1', '5', ':', '0', '9', ':', '0', '4'},
                       {'M', 'S', 'I', 'S', 'E', ' ', '9', '0'}};
Metsel metsel{0};
Meso6 meso6{};

namespace {

constexpr const char* kSplintMsg = "BAD XA INPUT TO SPLINT6";
constexpr const char* kDnetMsg = "DNET6 LOG ERROR";

constexpr msis::Variant kMsise90 = {
    /*t1_flux_factor*/ false, /*history_second*/ true, /*longitude_cached*/ true,
    /*glob_t2a*/ 28, /*glob_t2b*/ 29, /*glob_t5*/ 36, /*glob_t8a*/ 47, /*glob_t8b*/ 49,
    /*glob_apt*/ 2, /*glob_marker*/ false, /*glob_marker_msg*/ "",
    /*n_mass_codes*/ 10,
    /*mix_limits*/ {200.0, 400.0, 160.0, 200.0, 240.0, 450.0, 320.0, 450.0},
    /*thermal_diff*/ {-0.4, 0.0, 0.0, 0.0, 0.0, 0.0, -0.4, 0.0, 0.0},
    /*tlb_below_300*/ false, /*tgn1_ratio_above_300*/ true, /*o_flux_ratio*/ false,
    /*o2_departure*/ false, /*anomalous_o*/ false, /*h_then_n*/ true,
    /*ghp_max_steps*/ 6, /*ghp_damped_steps*/ 6, /*ghp_day_by_product*/ true,
    /*ghp_msg*/ "GHP6 NOT CONVERGING FOR PRESS",
    /*splint_msg*/ kSplintMsg, /*dnet_msg*/ kDnetMsg, /*n_dens*/ 8};

// Saved switch values of tselec5 (read back by tretrv5).
struct Tselec5Saved {
  double saved_switches[25];
};
Tselec5Saved tselec5_saved{};

// MSISE-90's own caches (input-change test vtst: slot 1 gtd6, slot 2 gts6).
msis::InputCache vtst_cache = msis::make_input_cache();
msis::GlobeCache globe6_cache{};
msis::GlobSCache glob6s_cache{};
msis::ThermoCache gts6_cache{};
msis::EntryCache gtd6_cache{};

msis::Generation e90{kMsise90,
                     parm6.tinf_coef,
                     parm6.dens_coef,
                     parm6.grad_coef,
                     parm6.aux_coef,
                     parm6.tlow_coef,
                     parm6.tmid_coef,
                     lower6.lb_temp,
                     lower6.lb_dens,
                     mavg6.mid_avg,
                     meso6.tn1,
                     meso6.tn2,
                     meso6.tn3,
                     meso6.tgn1,
                     meso6.tgn2,
                     meso6.tgn3,
                     &metsel.metric_units,
                     &datim6,
                     tselec5_saved.saved_switches,
                     &vtst_cache,
                     &globe6_cache,
                     &glob6s_cache,
                     &gts6_cache,
                     &gtd6_cache};

}  // namespace

}  // namespace kest

using namespace kest;

// tselec5, tretrv5: the MSISE-90 switch setter (the rule of tselec7, own
// saved copy) and the read-back of its last values (or of the 25 ones that
// an MSISE-90 evaluation sets when no setter has run; zeros before either).
extern "C" void tselec5_(double* sv) { msis::set_switches(sv, tselec5_saved.saved_switches, false); }

extern "C" void tretrv5_(double* svv) {
  std::copy(std::begin(tselec5_saved.saved_switches), std::end(tselec5_saved.saved_switches), svv);
}

// meter6: metric units (m-3, kg/m3) for later MSISE-90 results when true.
extern "C" void meter6_(int* meter) { metsel.metric_units = (*meter & 1) ? 1 : 0; }

// glatf6, vtst, spline6, splint6, splini6, densu6, densm6, dnet6, ccor6:
// the computations of their NRLMSISE-00 twins, with MSISE-90's own input
// cache and the texts "BAD XA INPUT TO SPLINT6" and "DNET6 LOG ERROR".
extern "C" void glatf6_(double* lat, double* gv, double* reff) {
  msis::gravity_at_latitude(*lat, gv, reff);
}

extern "C" double vtst_(int* iyd, double* sec, double* glat, double* glong, double* stl,
                        double* f107a, double* f107, double* ap, int* ic) {
  return msis::inputs_changed(vtst_cache, *iyd, *sec, *glat, *glong, *stl, *f107a, *f107, ap, *ic);
}

extern "C" void spline6_(double* x, double* y, int* n, double* yp1, double* ypn, double* y2) {
  msis::spline(x, y, *n, *yp1, *ypn, y2);
}

extern "C" void splint6_(double* xa, double* ya, double* y2a, int* n, double* x, double* y) {
  msis::splint(xa, ya, y2a, *n, *x, y, kSplintMsg);
}

extern "C" void splini6_(double* xa, double* ya, double* y2a, int* n, double* x, double* yi) {
  msis::splini(xa, ya, y2a, *n, *x, yi);
}

extern "C" double densu6_(double* alt, double* dlb, double* tinf, double* tlb, double* xm,
                          double* alpha, double* tz, double* zlb, double* s2, int* mn1,
                          double* zn1, double* tn1, double* tgn1) {
  return msis::densu(*alt, *dlb, *tinf, *tlb, *xm, *alpha, tz, *zlb, *s2, *mn1, zn1, tn1, tgn1,
                     kSplintMsg);
}

extern "C" double densm6_(double* alt, double* d0, double* xm, double* tz, int* mn3,
                          double* zn3, double* tn3, double* tgn3, int* mn2, double* zn2,
                          double* tn2, double* tgn2) {
  return msis::densm(*alt, *d0, *xm, tz, *mn3, zn3, tn3, tgn3, *mn2, zn2, tn2, tgn2, kSplintMsg);
}

extern "C" double dnet6_(double* dd, double* dm, double* zhm, double* xmm, double* xm) {
  return msis::dnet(dd, *dm, *zhm, *xmm, *xm, kDnetMsg);
}

extern "C" double ccor6_(double* alt, double* r, double* h1, double* zh) {
  return msis::ccor(*alt, *r, *h1, *zh);
}

// globe6, glob6s: the MSISE-90 expansions (thermospheric and lower
// atmosphere); they differ from globe7/glob7s in a few terms (no flux factor
// in T1, a second 3-hour decay apt(3), the longitude harmonics kept with the
// longitude, other coefficient numbers in glob6s) and glob6s has no marker
// check.
extern "C" double globe6_(double* yrd, double* sec, double* lat, double* lon, double* tloc,
                          double* f107a, double* f107, double* ap, double* p) {
  return msis::globe(e90, *yrd, *sec, *lat, *lon, *tloc, *f107a, *f107, ap, p);
}

extern "C" double glob6s_(double* p) { return msis::glob(e90, p); }

// gts6: MSISE-90 thermosphere at alt >= 72.5 km (arguments as gtd6);
// selectors 48, 0, 4, 16, 28, 32, 40, 1 (H and N), 49, 14.
extern "C" void gts6_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                      double* t) {
  msis::thermosphere(e90, *iyd, *sec, *alt, *glat, *glong, *stl, *f107a, *f107, ap, *mass, d, t);
}

// gtd6: MSISE-90 neutral atmosphere at one point, 0 km upwards; arguments
// and behaviour as gtd7 with d[8] (no anomalous oxygen).
// Notes:    as in the published model, the lower-thermosphere nodes that a
//           call below 300 km renews after one at 300 km or above with the
//           same inputs take the Ap function of the expansion set that
//           call evaluated last (gts6 renews its lower-boundary temperature,
//           whose set NRLMSISE-00 always evaluates just before the nodes,
//           only for changed inputs). Sets differ in that function: after
//           He or O alone (selectors 4, 16), or temperatures only in the
//           3-hour Ap mode, the values below 300 km differ from those
//           of the point alone, most near 110 km (Ap 15: T by 0.3 per cent
//           with the daily Ap, 1.8 per cent with the 3-hour history; more in
//           storms). A sequence of all-species calls is not affected.
extern "C" void gtd6_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                      double* t) {
  msis::full_altitude(e90, *iyd, *sec, *alt, *glat, *glong, *stl, *f107a, *f107, ap, *mass, d, t);
}

// ghp6: altitude of the pressure level press (mb) by at most 6 evaluations
// of gtd6; "GHP6 NOT CONVERGING FOR PRESS" when the sixth is reached.
extern "C" void ghp6_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, double* d, double* t,
                      double* press) {
  msis::pressure_level(e90, *iyd, *sec, alt, *glat, *glong, *stl, *f107a, *f107, ap, d, t, *press);
}
