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
  const double* w = msis::fill_parm(r, msis_tables::parm7_words);
  for (double& v : r.sam_coef) v = *w++;
  return r;
}

}  // namespace

Parm7 parm7 = make_parm7();
Lower7 lower7 = msis::make_lower<Lower7>(msis_tables::lower7_words);
Mavg7 mavg7 = msis::make_mavg<Mavg7>(msis_tables::mavg7_words);
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

// tselec7: sets the 25 model switches.
// Given:    sv[25]  double  switch values: sw = remainder of sv by 2 with the
//                           sign of sv; swc = 1 when |sv| is 1 or 2, else 0.
// State:    writes csw, cswi (isw = 64999) and tselec7's saved copy.
// Notes:    the switches are shared by the three generations: the setter that
//           ran last governs every later evaluation.
extern "C" void tselec7_(double* sv) { msis::set_switches(sv, tselec7_saved.saved_switches, false); }

// tretrv7: returns in svv[25] the values of the last tselec7 call, or the
// 25 ones that an NRLMSISE-00 evaluation sets when no switch setter of any
// generation has run (zeros before either).
extern "C" void tretrv7_(double* svv) {
  std::copy(std::begin(tselec7_saved.saved_switches), std::end(tselec7_saved.saved_switches), svv);
}

// meters7: meter true (lowest bit set) gives m-3 and kg/m3 in every later
// NRLMSISE-00 result, false cm-3 and g/cm3 (the start-up setting).
extern "C" void meters7_(int* meter) { metsel7.metric_units = (*meter & 1) ? 1 : 0; }

// ---------------------------------------------------------------------------
// Small helpers
// ---------------------------------------------------------------------------

// glatf7: surface gravity gv (cm/s2) and effective Earth radius reff (km) of
// the gravity profile g(z) = gv / (1 + z/reff)^2 at geodetic latitude lat (deg).
extern "C" void glatf7_(double* lat, double* gv, double* reff) {
  msis::gravity_at_latitude(*lat, gv, reff);
}

// vtst7: 0 when the inputs and the current switches equal those held in
// cache slot ic (1 for gtd7, 2 for gts7), else 1 after storing them there.
// Altitude and selector are not compared.
extern "C" double vtst7_(int* iyd, double* sec, double* glat, double* glong, double* stl,
                         double* f107a, double* f107, double* ap, int* ic) {
  return msis::inputs_changed(vtst7_cache, *iyd, *sec, *glat, *glong, *stl, *f107a, *f107, ap,
                              *ic);
}

// scalh: scale height (km) at alt (km) for molecular mass xm and temperature
// temp (K), with the gravity of parmb (as the last gtd7 or gtd6 call set it,
// or whoever wrote parmb last: see atmosphere_state.hpp).
extern "C" double scalh_(double* alt, double* xm, double* temp) {
  const double q = 1.0 + *alt / parmb.re_eff;
  const double g = parmb.gsurf / (q * q);
  return 831.4 * (*temp) / (g * (*xm));
}

// spline7, splint7, splini7: cubic spline through n ascending nodes (end
// slopes yp1, ypn; a slope above 9.9e29 asks for a zero second derivative),
// its value at x, and its integral from xa(1) to x. splint7 prints
// "BAD XA INPUT TO SPLINT7" for coinciding bracketing nodes.
// Notes: sections of more than 100 nodes use their first 100 (all three
//        routines; the spline sets no second derivative beyond them).
extern "C" void spline7_(double* x, double* y, int* n, double* yp1, double* ypn, double* y2) {
  msis::spline(x, y, *n, *yp1, *ypn, y2);
}

extern "C" void splint7_(double* xa, double* ya, double* y2a, int* n, double* x, double* y) {
  msis::splint(xa, ya, y2a, *n, *x, y, kSplintMsg);
}

extern "C" void splini7_(double* xa, double* ya, double* y2a, int* n, double* x, double* yi) {
  msis::splini(xa, ya, y2a, *n, *x, yi);
}

// densu7: temperature tz (K) and diffusive density at alt (km) of a gas of
// mass xm (0: the temperature is returned) with thermal-diffusion factor
// alpha, from the density dlb at zlb: Bates profile above zn1(1), spline in
// geopotential height through the mn1 nodes zn1/tn1 (end gradients tgn1)
// below it. Below zn1(1) writes tn1(1), tgn1(1) (the join to the Bates
// profile).
extern "C" double densu7_(double* alt, double* dlb, double* tinf, double* tlb, double* xm,
                          double* alpha, double* tz, double* zlb, double* s2, int* mn1,
                          double* zn1, double* tn1, double* tgn1) {
  return msis::densu(*alt, *dlb, *tinf, *tlb, *xm, *alpha, tz, *zlb, *s2, *mn1, zn1, tn1, tgn1,
                     kSplintMsg);
}

// densm7: temperature tz and hydrostatic density at alt (km) carried down
// from d0 at zn2(1) through the spline sections zn2 (upper) and zn3 (lower);
// xm = 0 returns the temperature. Above zn2(1): d0, tz untouched.
extern "C" double densm7_(double* alt, double* d0, double* xm, double* tz, int* mn3,
                          double* zn3, double* tn3, double* tgn3, int* mn2, double* zn2,
                          double* tn2, double* tgn2) {
  return msis::densm(*alt, *d0, *xm, tz, *mn3, zn3, tn3, tgn3, *mn2, zn2, tn2, tgn2, kSplintMsg);
}

// dnet7: turbopause blend (dd^a + dm^a)^(1/a), a = zhm/(xmm - xm), of the
// diffusive density dd and the mixed density dm.
// Failure:  a non-positive density prints "DNET7 LOG ERROR" with dm, dd, xm;
//           then both absent: dd = 1 and 1 returned; dm absent: dd; dd absent: dm.
extern "C" double dnet7_(double* dd, double* dm, double* zhm, double* xmm, double* xm) {
  return msis::dnet(dd, *dm, *zhm, *xmm, *xm, kDnetMsg);
}

// ccor7, ccor2: chemistry and turbopause correction factors, exp(r) far
// below zh and 1 far above, with one (h1) or two (h1, h2) transition scales.
extern "C" double ccor7_(double* alt, double* r, double* h1, double* zh) {
  return msis::ccor(*alt, *r, *h1, *zh);
}

extern "C" double ccor2_(double* alt, double* r, double* h1, double* zh, double* h2) {
  return msis::ccor2(*alt, *r, *h1, *zh, *h2);
}

// ---------------------------------------------------------------------------
// Expansions, thermosphere, entries
// ---------------------------------------------------------------------------

// globe7: thermospheric expansion G of the 150-coefficient set p for the date
// code yrd, UT sec (s), latitude lat and longitude lon (deg), local time tloc
// (h), F10.7 mean and daily, ap[7].
// State:    reads csw (sets all switches to 1 first when none is set); keeps
//           NRLMSISE-00's own expansion view and copies it into lpoly,
//           lpolyi, ttest.
// Notes:    in the 3-hour Ap mode (switch 9 = -1) with a non-zero decay rate
//           p(52), p(25) is raised to 1e-4 in place when smaller.
extern "C" double globe7_(double* yrd, double* sec, double* lat, double* lon, double* tloc,
                          double* f107a, double* f107, double* ap, double* p) {
  return msis::globe(nrl, *yrd, *sec, *lat, *lon, *tloc, *f107a, *f107, ap, p);
}

// glob7s: lower-atmosphere expansion of the 100-coefficient set p, with the
// place and time of the last globe7 evaluation.
// Failure:  word 100 neither 0 (set to 2) nor 2: prints
//           "WRONG PARAMETER SET FOR GLOB7S" with 2.0 and the word and stops
//           the process (exit status 1).
extern "C" double glob7s_(double* p) { return msis::glob(nrl, p); }

// gts7: NRLMSISE-00 thermosphere at alt >= 72.5 km (see gtd7 for the
// arguments): exospheric temperature, lower-boundary values, temperature
// profile and the densities the selector asks for.
// State:    vtst7 slot 2; writes gts3c, dmix, meso7 (tn1, tgn1) and,
//           through globe7 and glob7s, what they read and write (csw, cswi,
//           lpoly, lpolyi, ttest); reads the gravity that the last writer of
//           parmb left there (gtd7, gtd6, or MSIS-86's loader with its own
//           constants), setting it for this latitude while it is still zero.
// Failure:  a selector not in {48,0,4,16,28,32,40,1,49,14,17} prints
//           " MASS<value>  NOT VALID"; densities 0, t(2) not written. A
//           diffusive or mixed density that comes out negative or not a
//           number below a species' mixing limit (inputs far outside the
//           model's range, or the strongest storms near the poles): the
//           message of dnet7, and that species' density not a number.
// Notes:    t(2) is the temperature of the atmosphere at alt for every valid
//           selector, anomalous oxygen (17) alone included: above 450 km,
//           where that selector evaluates no N2 profile, the temperature is
//           computed on its own (the hot oxygen's 4000 K never reaches t).
extern "C" void gts7_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                      double* t) {
  msis::thermosphere(nrl, *iyd, *sec, *alt, *glat, *glong, *stl, *f107a, *f107, ap, *mass, d, t);
}

// gtd7: NRLMSISE-00 neutral atmosphere at one point, 0 km upwards.
// Given:    iyd date code (year*1000 + day; only the day enters), sec UT (s),
//           alt (km), glat, glong (deg), stl local solar time (h), f107a,
//           f107, ap[7], mass selector.
// Returned: d[9] He, O, N2, O2, Ar, mass density, H, N, anomalous O; t[2]
//           exospheric temperature and temperature at alt.
// State:    reads csw (sets all switches to 1 first when no setter has
//           run); writes parmb, datime, meso7 and, through gts7, the other
//           shared records; keeps its last thermospheric results.
// Notes:    1. Above 72.5 km the thermosphere; below, a spline profile with
//              hydrostatic N2, He, O2 and Ar at their mixing ratios, blended
//              into the thermosphere between 62.5 and 72.5 km.
//           2. With switch 15 off from the start no mixed N2 density exists;
//              the thermospheric N2 density at 72.5 km then starts the
//              profile below (finite, continuous at 72.5 km).
//           3. Kept thermospheric values are reused only in the units (meters7)
//              they were computed in.
//           4. An altitude that is not a number: every output not a number,
//              nothing kept. A longitude that is not a number is not the
//              request (-1000 or less) to leave the longitude terms out: they
//              carry it into the results.
//           5. Selector 0 (temperatures only) sets every entry of d to 0 at
//              72.5 km and above and leaves d as the caller had it below.
extern "C" void gtd7_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                      double* t) {
  msis::full_altitude(nrl, *iyd, *sec, *alt, *glat, *glong, *stl, *f107a, *f107, ap, *mass, d, t);
}

// gtd7d: gtd7 with the mass density (mass 48) including anomalous oxygen,
// the effective density for satellite drag.
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

// ghp7: altitude alt (km) of the pressure level press (mb), by Newton steps
// on gtd7; d and t hold the model values there.
// Failure:  the 12th evaluation reached (no convergence to 0.00043 in
//           log10 p before it): prints "GHP7 NOT CONVERGING FOR PRESS" with
//           press and the last difference (1PE12.2 each) and returns the
//           last altitude evaluated.
extern "C" void ghp7_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, double* d, double* t,
                      double* press) {
  msis::pressure_level(nrl, *iyd, *sec, alt, *glat, *glong, *stl, *f107a, *f107, ap, d, t, *press);
}
