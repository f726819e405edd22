// MSIS-86 neutral thermosphere (the thermosphere of CIRA-86): entry,
// profiles, expansions, switches and the coefficient loader.
//
// MSIS-86 is a thermosphere model: a Bates temperature profile above za and,
// below it, a polynomial in inverse temperature down to z0, with the
// hydrostatic densities in closed form. It shares with the later generations
// the switch setting (with its own cross-switch rule), the Legendre
// functions, the 3-hour Ap history sum, the turbopause blend (without the
// positivity test) and the chemistry correction.
//
// Reference: Hedin, A. E., MSIS-86 thermospheric model, J. Geophys. Res. 92,
// 4649 (1987).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "atmosphere/atmosphere_state.hpp"
#include "atmosphere/msis_common.hpp"
#include "atmosphere/msis_family.hpp"
#include "atmosphere/msis_tables.hpp"
#include "frame/c_numbers.hpp"
#include "frame/conventions.hpp"
#include "kest/atmosphere.h"

namespace kest {

Parm5 parm5{};
Lower5 lower5{};

namespace {

// Gravity constants of MSIS-86: it computes with these on every call,
// whatever the later generations leave in parmb.
constexpr double kGsurf = 980.665;  // cm/s^2
constexpr double kRe = 6356.77;     // km
constexpr double kRgas = 831.4;

constexpr double kDgtr = 1.74533e-2;
constexpr double kDr = 1.72142e-2;
constexpr double kHr = 0.2618;
constexpr double kSr = 7.2722e-5;

constexpr int kMassCodes[10] = {48, 0, 4, 16, 28, 32, 40, 1, 49, 14};
constexpr double kMixLimits[8] = {200.0, 400.0, 150.0, 200.0, 240.0, 450.0, 320.0, 450.0};

constexpr Datime kDatim5 = {{'1', '1', '-', 'F', 'E', 'B', '-', '8', '6', ' ', ' ', ' '},
                            {'1', '8', ':', '2', '3', ':', '3', '1'},
                            {'C', 'I', 'R', 'A', '-', '8', '6', ' '}};

// gts5's own state: whether the coefficients are loaded, and the unit flag.
struct Gts5State {
  bool loaded = false;
  int metric_units = 0;
};
Gts5State gts5_state{};

// Saved switch values of tselec (read back by tretrv).
struct TselecSaved {
  double saved_switches[25];
};
TselecSaved tselec_saved{};

// globe5's own storage: its view of the expansion values and the inputs they
// belong to, so that what the other generations write into lpoly never
// reaches an MSIS-86 evaluation.
struct Globe5Cache {
  Lpoly view{};
  double last_lat = 1000.0;
  double last_tloc = 1000.0;
  double last_day = -1.0;
  double p14 = -1000.0, p18 = -1000.0, p32 = -1000.0, p39 = -1000.0;
  double ann_a = 0.0, sem_s = 0.0, ann_s = 0.0, sem_a = 0.0;
};
Globe5Cache g5{};

struct Glob5lCache {
  double last_day = -1.0;
  double p7 = -1000.0, p9 = -1000.0, p11 = -1000.0;
  double l_ann = 0.0, l_sem = 0.0, l_asy = 0.0;
};
Glob5lCache g5l{};

// denss keeps the reduced height of z0 of its latest call below za for its
// diagnostic line.
struct DenssState {
  double zeta0 = 0.0;
};
DenssState denss_state{};

inline double zeta(double z, double zl) { return (z - zl) * (kRe + zl) / (kRe + z); }

void ensure_switches86() {
  if (cswi.isw != kSwitchesSet) {
    double ones[25];
    std::fill(std::begin(ones), std::end(ones), 1.0);
    msis::set_switches(ones, tselec_saved.saved_switches, true);
  }
}

}  // namespace

}  // namespace kest

using namespace kest;

// ---------------------------------------------------------------------------
// Switches and loader
// ---------------------------------------------------------------------------

// tselec, tretrv: the MSIS-86 switch setter (swc = 1 for any non-zero value)
// and the read-back of its last values (or of the 25 ones that an MSIS-86
// evaluation sets when no setter has run; zeros before either).
extern "C" void tselec_(double* sv) { msis::set_switches(sv, tselec_saved.saved_switches, true); }

extern "C" void tretrv_(double* svv) {
  std::copy(std::begin(tselec_saved.saved_switches), std::end(tselec_saved.saved_switches), svv);
}

// meters: metric units (m-3, kg/m3) for later MSIS-86 results when true.
extern "C" void meters_(int* meter) { gts5_state.metric_units = (*meter & 1) ? 1 : 0; }

// prmsg5: loads the MSIS-86 coefficients into parm5 and lower5, its gravity
// constants into parmb and its version text into datime (gts5 calls it once).
extern "C" void prmsg5_(void) {
  parmb.gsurf = kGsurf;
  parmb.re_eff = kRe;
  const double* w = msis_tables::parm5_words;
  for (double& v : parm5.tinf_coef) v = *w++;
  for (auto& col : parm5.dens_coef)
    for (double& v : col) v = *w++;
  for (double& v : parm5.grad_coef) v = *w++;
  for (auto& col : parm5.aux_coef)
    for (double& v : col) v = *w++;
  w = msis_tables::lower5_words;
  for (double& v : lower5.lb_temp) v = *w++;
  for (auto& col : lower5.lb_dens)
    for (double& v : col) v = *w++;
  datime = kDatim5;
}

// ---------------------------------------------------------------------------
// Profiles and corrections
// ---------------------------------------------------------------------------

// denss: MSIS-86 temperature tz and diffusive density at alt (km) for a gas
// of mass xm (0: the temperature is returned): Bates profile above za, below
// it a polynomial in 1/T reaching t0 at z0 (shape tr12), hydrostatic density
// in closed form; gravity 980.665 cm/s2, radius 6356.77 km.
// Failure:  a non-positive temperature (xm not 0) prints a diagnostic line
//           and the boundary temperature tlb stands in.
extern "C" double denss_(double* alt, double* dlb, double* tinf, double* tlb, double* xm,
                         double* alpha, double* tz, double* zlb, double* s2, double* t0,
                         double* za, double* z0, double* tr12) {
  const double z = std::max(*alt, *za);
  const double zg2 = zeta(z, *zlb);
  double tt = *tinf - (*tinf - *tlb) * std::exp(-*s2 * zg2);
  double ta = tt;
  *tz = tt;
  double result = *tz;
  double zg0 = 0.0, x = 0.0, x2 = 0.0, bb = 0.0, cc = 0.0, dd = 0.0;
  if (*alt < *za) {
    // Polynomial in inverse temperature between z0 and za, joining the Bates
    // profile with continuous temperature and gradient at za.
    zg0 = zeta(*z0, *za);
    denss_state.zeta0 = zg0;
    const double r = (kRe + *zlb) / (kRe + *za);
    const double dta = (*tinf - ta) * *s2 * r * r;
    const double t12 = *t0 + *tr12 * (ta - *t0);
    const double zg1 = zeta(*alt, *za);
    dd = 0.666666 * zg0 * dta / (ta * ta) - 3.11111 * (1.0 / ta - 1.0 / *t0) +
         7.11111 * (1.0 / t12 - 1.0 / *t0);
    cc = zg0 * dta / (2.0 * ta * ta) - (1.0 / ta - 1.0 / *t0) - 2.0 * dd;
    bb = (1.0 / ta - 1.0 / *t0) - cc - dd;
    x = -(zg1 - zg0) / zg0;
    x2 = x * x;
    *tz = 1.0 / (1.0 / *t0 + bb * x2 + cc * x2 * x2 + dd * x2 * x2 * x2);
    result = *tz;
  }
  if (*xm == 0.0) return result;
  if (ta <= 0.0 || *tz <= 0.0) {
    char line[320];
    // In the C locale: a host's decimal comma would garble the numbers.
    fio::c_snprintf(line, sizeof line,
                    "%14.6E %14.6E %14.6E %14.6E %14.6E %14.6E %d %d %d %14.6E %d %14.6E %14.6E %14.6E",
                    *alt, *xm, *tinf, *tlb, *t0, ta, 0, 0, 0, 0.0, 0, *s2, denss_state.zeta0, *tz);
    msg(line);
    tt = *tlb;
    ta = *tlb;
    *tz = *tlb;
  }
  // Bates part, closed form.
  const double q = 1.0 + *zlb / kRe;
  const double glb = kGsurf / (q * q);
  const double gamma = *xm * glb / (*s2 * kRgas * *tinf);
  const double densa = *dlb * std::pow(*tlb / tt, 1.0 + *alpha + gamma) * std::exp(-*s2 * gamma * zg2);
  if (*alt >= *za) return densa;
  // Polynomial part, closed-form integral of 1/T in reduced height.
  const double qa = 1.0 + *za / kRe;
  const double glba = kGsurf / (qa * qa);
  const double gamm0 = *xm * glba * zg0 / kRgas;
  const double x4 = x2 * x2, x6 = x4 * x2;
  return densa * std::pow(ta / *tz, 1.0 + *alpha) *
         std::exp(gamm0 * ((x - 1.0) / *t0 + bb * (x * x2 - 1.0) / 3.0 + cc * (x4 * x - 1.0) / 5.0 +
                           dd * (x6 * x - 1.0) / 7.0));
}

// dnet, ccor: MSIS-86 turbopause blend (no positivity test, no message) and
// chemistry correction.
extern "C" double dnet_(double* dd, double* dm, double* zhm, double* xmm, double* xm) {
  return msis::dnet(dd, *dm, *zhm, *xmm, *xm, nullptr);
}

extern "C" double ccor_(double* alt, double* r, double* h1, double* zh) {
  return msis::ccor(*alt, *r, *h1, *zh);
}

// ---------------------------------------------------------------------------
// Expansions
// ---------------------------------------------------------------------------

// globe5: MSIS-86 thermospheric expansion of a 150-coefficient set (the
// arguments of globe7). Keeps MSIS-86's own expansion view.
// State:    reads csw (sets all switches to 1 first when none is set);
//           writes lpoly (not apt(2), apt(4) nor the longitude fields),
//           lpolyi, ttest.
// Notes:    in the 3-hour Ap mode (switch 9 = -1) with a non-zero decay
//           rate p(52), p(25) is raised to 1e-4 in place when smaller.
extern "C" double globe5_(double* yrd, double* sec, double* glat, double* glong, double* stl,
                          double* f107a, double* f107, double* ap, double* p) {
  ensure_switches86();
  const double* sw = csw.sw;
  const double* swc = csw.swc;
  Lpoly& v = g5.view;
  double t[15] = {};
  auto pp = [&](int i) { return p[i - 1]; };
  auto P = [&](int n, int m) { return v.plg[m - 1][n - 1]; };

  const int iyr = msis::year_part_of(*yrd * 0.001);
  lpolyi.year_part = iyr;
  v.yday = *yrd - 1000.0 * iyr;
  const double day = v.yday;

  if (*glat != g5.last_lat) {
    msis::legendre(*glat, v.plg);
    g5.last_lat = *glat;
  }
  if (*stl != g5.last_tloc) {
    const double h = kHr * *stl;
    v.ctloc = std::cos(h);
    v.stloc = std::sin(h);
    v.c2tloc = std::cos(2.0 * h);
    v.s2tloc = std::sin(2.0 * h);
    v.c3tloc = std::cos(3.0 * h);
    v.s3tloc = std::sin(3.0 * h);
    g5.last_tloc = *stl;
  }
  if (day != g5.last_day || pp(14) != g5.p14) g5.ann_a = std::cos(kDr * (day - pp(14)));
  if (day != g5.last_day || pp(18) != g5.p18) g5.sem_s = std::cos(2.0 * kDr * (day - pp(18)));
  if (day != g5.last_day || pp(32) != g5.p32) g5.ann_s = std::cos(kDr * (day - pp(32)));
  if (day != g5.last_day || pp(39) != g5.p39) g5.sem_a = std::cos(2.0 * kDr * (day - pp(39)));
  g5.last_day = day;
  g5.p14 = pp(14);
  g5.p18 = pp(18);
  g5.p32 = pp(32);
  g5.p39 = pp(39);

  v.df = *f107 - *f107a;
  v.dfa = *f107a - 150.0;
  const double df = v.df, dfa = v.dfa;
  const double f1 = 1.0 + (pp(48) * dfa + pp(20) * df + pp(21) * df * df) * swc[0];
  const double f2 = 1.0 + (pp(50) * dfa + pp(20) * df + pp(21) * df * df) * swc[0];
  const double w = swc[4] * g5.ann_a;  // asymmetric-annual cross factor

  t[0] = pp(20) * df + pp(21) * df * df + pp(22) * dfa + pp(30) * dfa * dfa;
  t[1] = pp(2) * P(3, 1) + pp(3) * P(5, 1) + pp(23) * P(7, 1) + pp(15) * P(3, 1) * dfa * swc[0] +
         pp(27) * P(2, 1);
  t[2] = pp(19) * g5.ann_s;
  t[3] = (pp(16) + pp(17) * P(3, 1)) * g5.sem_s;
  t[4] = f1 * (pp(10) * P(2, 1) + pp(11) * P(4, 1)) * g5.ann_a;
  t[5] = pp(38) * P(2, 1) * g5.sem_a;
  t[6] = f2 * ((pp(4) * P(2, 2) + pp(5) * P(4, 2) + pp(28) * P(6, 2) +
                (pp(36) * P(2, 2) + pp(12) * P(3, 2)) * w) *
                   v.ctloc +
               (pp(7) * P(2, 2) + pp(8) * P(4, 2) + pp(29) * P(6, 2) +
                (pp(37) * P(2, 2) + pp(13) * P(3, 2)) * w) *
                   v.stloc);
  t[7] = f2 * ((pp(6) * P(3, 3) + pp(42) * P(5, 3) + pp(24) * P(4, 3) * w) * v.c2tloc +
               (pp(9) * P(3, 3) + pp(43) * P(5, 3) + pp(34) * P(4, 3) * w) * v.s2tloc);
  t[13] = f2 * ((pp(40) * P(4, 4) + (pp(94) * P(5, 4) + pp(47) * P(7, 4)) * w) * v.s3tloc +
                (pp(41) * P(4, 4) + (pp(95) * P(5, 4) + pp(49) * P(7, 4)) * w) * v.c3tloc);

  // Magnetic activity: the 3-hour history, or the daily Ap.
  const bool history = sw[8] == -1.0 && pp(52) != 0.0;
  double act;
  if (history) {
    const double e1 = std::min(
        std::exp(-10800.0 * std::fabs(pp(52)) / (1.0 + pp(139) * (45.0 - std::fabs(*glat)))), 0.99999);
    const double e2 = std::min(std::exp(-10800.0 * std::fabs(pp(54))), 0.99999);
    if (p[24] < 1.0e-4) p[24] = 1.0e-4;
    v.apt[0] = msis::ap_history(ap, e1, pp(25), pp(26));
    v.apt[2] = msis::ap_history(ap, e2, pp(25), pp(26));
    act = v.apt[0];
    t[8] = act * (pp(51) + pp(97) * P(3, 1) + pp(55) * P(5, 1) +
                  (pp(126) * P(2, 1) + pp(127) * P(4, 1) + pp(128) * P(6, 1)) * w +
                  (pp(129) * P(2, 2) + pp(130) * P(4, 2) + pp(131) * P(6, 2)) * swc[6] *
                      std::cos(kHr * (*stl - pp(132))));
  } else {
    v.apd = ap[0] - 4.0;
    double q44 = pp(44);
    if (q44 < 0.0) q44 = 1.0e-5;
    const double q45 = pp(45);
    v.apdf = v.apd + (q45 - 1.0) * (v.apd + (std::exp(-q44 * v.apd) - 1.0) / q44);
    act = v.apdf;
    t[8] = act * (pp(33) + pp(46) * P(3, 1) + pp(35) * P(5, 1) +
                  (pp(101) * P(2, 1) + pp(102) * P(4, 1) + pp(103) * P(6, 1)) * w +
                  (pp(122) * P(2, 2) + pp(123) * P(4, 2) + pp(124) * P(6, 2)) * swc[6] *
                      std::cos(kHr * (*stl - pp(125))));
  }

  // Longitude and universal-time terms, unless a longitude of -1000 or less
  // asks them away (one that is not a number takes part and carries itself).
  if (sw[9] != 0.0 && !(*glong <= -1000.0)) {
    const double lam = kDgtr * *glong;
    t[10] = (1.0 + pp(81) * dfa * swc[0]) * (1.0 + pp(90) * P(2, 1)) *
            ((pp(91) * P(3, 2) + pp(92) * P(5, 2) + pp(93) * P(7, 2) + pp(107) * P(2, 2) +
              pp(108) * P(4, 2) + pp(109) * P(6, 2) +
              (pp(113) * P(2, 2) + pp(114) * P(4, 2) + pp(115) * P(6, 2)) * w) *
                 std::sin(lam) +
             (pp(65) * P(3, 2) + pp(66) * P(5, 2) + pp(67) * P(7, 2) + pp(104) * P(2, 2) +
              pp(105) * P(4, 2) + pp(106) * P(6, 2) +
              (pp(110) * P(2, 2) + pp(111) * P(4, 2) + pp(112) * P(6, 2)) * w) *
                 std::cos(lam));
    t[11] = (1.0 + pp(96) * P(2, 1)) * (1.0 + pp(82) * dfa * swc[0]) * (1.0 + pp(120) * P(2, 1) * w) *
                (pp(69) * P(2, 1) + pp(70) * P(4, 1) + pp(71) * P(6, 1)) * std::cos(kSr * (*sec - pp(72))) +
            (pp(77) * P(4, 3) + pp(78) * P(6, 3) + pp(79) * P(8, 3)) * swc[10] *
                std::cos(kSr * (*sec - pp(80)) + 2.0 * lam) * (1.0 + pp(138) * dfa * swc[0]);
    // Coefficient numbers of the activity-longitude term by activity form.
    const int a1 = history ? 134 : 116, a2 = history ? 135 : 117, a3 = history ? 136 : 118,
              a4 = history ? 137 : 119;
    const int b1 = history ? 53 : 61, b2 = history ? 99 : 62, b3 = history ? 68 : 63,
              b4 = history ? 98 : 64, b5 = history ? 133 : 121;
    const int c1 = history ? 56 : 84, c2 = history ? 57 : 85, c3 = history ? 58 : 86,
              c4 = history ? 59 : 76;
    t[12] = (pp(a1) * P(2, 2) + pp(a2) * P(4, 2) + pp(a3) * P(6, 2)) * act * swc[10] * w *
                std::cos(kDgtr * (*glong - pp(a4))) +
            (pp(b1) * P(3, 2) + pp(b2) * P(5, 2) + pp(b3) * P(7, 2)) * act * swc[10] *
                (1.0 + pp(b5) * P(2, 1)) * std::cos(kDgtr * (*glong - pp(b4))) +
            (pp(c1) * P(2, 1) + pp(c2) * P(4, 1) + pp(c3) * P(6, 1)) * act * swc[11] *
                std::cos(kSr * (*sec - pp(c4)));
  }

  double g = (sw[8] == -1.0) ? pp(31) : 0.0;
  for (int i = 0; i < 14; ++i) g += std::fabs(sw[i]) * t[i];
  std::copy(t, t + 15, ttest.terms);
  ttest.g_sum = g;
  // Publish the fields MSIS-86 computes; apt(2), apt(4) and the longitude
  // fields of the shared record are left alone.
  const Lpoly before = lpoly;
  lpoly = v;
  lpoly.apt[1] = before.apt[1];
  lpoly.apt[3] = before.apt[3];
  lpoly.xlong = before.xlong;
  lpoly.clong = before.clong;
  lpoly.slong = before.slong;
  return g;
}

// glob5l: MSIS-86 lower-boundary expansion of a 25-coefficient window, with
// the place and time of the last globe5 evaluation.
extern "C" double glob5l_(double* p) {
  const double* sw = csw.sw;
  const double* swc = csw.swc;
  const Lpoly& v = g5.view;
  auto pp = [&](int i) { return p[i - 1]; };
  auto P = [&](int n, int m) { return v.plg[m - 1][n - 1]; };
  const double day = v.yday;
  if (day != g5l.last_day || pp(7) != g5l.p7) g5l.l_ann = std::cos(kDr * (day - pp(7)));
  if (day != g5l.last_day || pp(9) != g5l.p9) g5l.l_sem = std::cos(2.0 * kDr * (day - pp(9)));
  if (day != g5l.last_day || pp(11) != g5l.p11) g5l.l_asy = std::cos(kDr * (day - pp(11)));
  g5l.last_day = day;
  g5l.p7 = pp(7);
  g5l.p9 = pp(9);
  g5l.p11 = pp(11);

  double t[14] = {};
  t[0] = pp(2) * v.dfa;
  t[1] = pp(4) * P(3, 1);
  t[2] = pp(6) * g5l.l_ann;
  t[3] = pp(8) * g5l.l_sem;
  t[4] = (pp(10) * P(2, 1) + pp(22) * P(4, 1)) * g5l.l_asy;
  t[6] = pp(14) * P(2, 2) * v.ctloc + pp(15) * P(2, 2) * v.stloc;
  t[7] = (pp(16) * P(3, 3) + pp(18) * P(5, 3) + pp(20) * P(6, 3) * g5l.l_asy * swc[4]) * v.c2tloc +
         (pp(17) * P(3, 3) + pp(19) * P(5, 3) + pp(21) * P(6, 3) * g5l.l_asy * swc[4]) * v.s2tloc;
  if (sw[8] == 1.0) t[8] = v.apdf * (pp(23) + pp(24) * P(3, 1) * swc[1]);
  if (sw[8] == -1.0) t[8] = pp(3) * v.apt[2] + pp(5) * P(3, 1) * v.apt[2] * swc[1];
  t[13] = pp(12) * P(4, 4) * v.c3tloc + pp(25) * P(4, 4) * v.s3tloc;
  double l = 0.0;
  for (int i = 0; i < 14; ++i) l += std::fabs(sw[i]) * t[i];
  return l;
}

// ---------------------------------------------------------------------------
// Thermosphere entry
// ---------------------------------------------------------------------------

// gts5: MSIS-86 thermosphere at one point (arguments as gtd7, d[8]).
// State:    loads the coefficients on the first call (prmsg5: parm5,
//           lower5, parmb, datime); reads csw (sets all switches to 1 first
//           when none is set); writes gts3c and, through globe5, lpoly,
//           lpolyi, ttest.
// Failure:  an invalid selector prints " MASS<value>  NOT VALID" and leaves
//           t(2) and d as they were (t(1) is written; d is still scaled in
//           metric units, see below). Densities a selector does not compute
//           keep the caller's values; every species selector computes N2 as
//           well (the other species refer to it), 1 gives H and N, 49 O and
//           O2. In metric units (meters) every entry of d is scaled at the
//           end of every call, the caller's values left in d included.
extern "C" void gts5_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                      double* t) {
  if (!gts5_state.loaded) {
    prmsg5_();
    gts5_state.loaded = true;
  }
  // Before any switch setting the model runs with every switch on; set them
  // before the first product of a switch and an expansion call, so that no
  // result depends on the order in which the compiler evaluates the factors.
  ensure_switches86();
  Parm5& pm = parm5;
  const double* sw = csw.sw;
  auto lt = [&](int i) { return lower5.lb_temp[i - 1]; };
  auto ld = [&](int i, int k) { return lower5.lb_dens[k - 1][i - 1]; };
  auto ax = [&](int i, int k) { return pm.aux_coef[k - 1][i - 1]; };
  double yrd = static_cast<double>(*iyd);
  auto G = [&](double* p) { return globe5_(&yrd, sec, glat, glong, stl, f107a, f107, ap, p); };
  auto L = [&](int row) { return glob5l_(&pm.dens_coef[2][row - 1]); };
  double* n2 = pm.dens_coef[2];

  // Model parameters, in the order that fills the expansion values first.
  const double tinf = lt(1) * pm.tinf_coef[0] * (1.0 + sw[15] * G(pm.tinf_coef));
  double za = lt(5) * ax(16, 2);
  double t0 = lt(3) * n2[75] * (1.0 + sw[17] * L(76));
  double tlb = lt(2) * n2[25] * (1.0 + sw[16] * L(26));
  double z0 = lt(7) * n2[50] * (1.0 + sw[19] * L(51));
  const double g0 = lt(4) * pm.grad_coef[0] * (1.0 + sw[18] * G(pm.grad_coef));
  double s = g0 / (tinf - tlb);
  double r12 = n2[100] * (1.0 + sw[21] * L(101));
  double zlb = lt(6);
  double tinf_v = tinf;
  t[0] = tinf;
  gts3c.t_lb = tlb;
  gts3c.shape = s;
  gts3c.za = za;
  gts3c.t_ref = t0;
  gts3c.z_ref = z0;
  gts3c.g0 = g0;

  auto profile = [&](double z, double dlb, double xm, double alpha, double* tz) {
    return denss_(&z, &dlb, &tinf_v, &tlb, &xm, &alpha, tz, &zlb, &s, &t0, &za, &z0, &r12);
  };

  if (*mass == 0) {
    profile(*alt, 1.0, 0.0, 0.0, &t[1]);
  } else {
    const double g28 = sw[20] * L(1);
    const double xmm = ld(5, 3);
    bool valid = false;
    for (int code : kMassCodes) valid = valid || *mass == code;
    if (!valid) {
      msis::report_invalid_mass(*mass);
    } else {
      const int m = *mass;
      const double z = *alt;
      const bool mix = sw[14] != 0.0;
      double tw = 0.0;  // private work temperature
      double b28 = 0.0;
      const double zhm28 = ld(4, 3) * ax(6, 2);
      if (z <= kMixLimits[5] || m == 28 || m == 48) {
        gts3c.db_n2 = ld(1, 3) * std::exp(g28) * n2[0];
        d[2] = profile(z, gts3c.db_n2, 28.0, 0.0, &t[1]);
        const double zh28 = ld(3, 3);
        b28 = profile(zh28, gts3c.db_n2, 28.0 - xmm, -1.0, &tw);
        if (z <= kMixLimits[2] && mix) {
          const double dm28 = profile(z, b28, xmm, 0.0, &tw);
          d[2] = msis::dnet(&d[2], dm28, zhm28, xmm, 28.0, nullptr);
        }
      }
      // One species: diffusive density, then turbopause blend and
      // corrections below its limit. k is its coefficient and base column,
      // q its slot, f the factor of its ratio, (h, z) and the chemistry
      // triple the aux_coef entries of its corrections.
      struct Species {
        int k, q;
        double m, alpha, limit, f;
        int hr, hc, zr, zc;
        bool chem;
        int rr, rc, hhr, hhc, zzr, zzc;
        double* db;
      };
      const Species table[6] = {
          {1, 1, 4.0, -0.4, kMixLimits[0], 1.0, 2, 2, 1, 2, false, 0, 0, 0, 0, 0, 0, &gts3c.db_he},
          {2, 2, 16.0, 0.0, kMixLimits[1], std::fabs(ax(17, 2)), 4, 2, 3, 2, true, 15, 2, 14, 2, 13, 2, &gts3c.db_o},
          {4, 4, 32.0, 0.0, kMixLimits[3], 1.0, 8, 2, 7, 2, false, 0, 0, 0, 0, 0, 0, &gts3c.db_o2},
          {5, 5, 40.0, 0.0, kMixLimits[4], 1.0, 10, 2, 9, 2, false, 0, 0, 0, 0, 0, 0, &gts3c.db_ar},
          {6, 7, 1.0, -0.4, kMixLimits[6], std::fabs(ax(18, 2)), 12, 2, 11, 2, true, 21, 2, 20, 2, 19, 2, &gts3c.db_h},
          {7, 8, 14.0, 0.0, kMixLimits[7], std::fabs(ax(3, 1)), 2, 1, 1, 1, true, 6, 1, 5, 1, 4, 1, &gts3c.db_n}};
      auto species = [&](const Species& sp) {
        const double gk = sw[20] * G(pm.dens_coef[sp.k - 1]);
        *sp.db = ld(1, sp.k) * std::exp(gk) * pm.dens_coef[sp.k - 1][0];
        double& dq = d[sp.q - 1];
        dq = profile(z, *sp.db, sp.m, sp.alpha, &t[1]);
        if (mix && z <= sp.limit) {
          const double bk = profile(ld(3, sp.k), *sp.db, sp.m - xmm, sp.alpha - 1.0, &t[1]);
          const double dm = profile(z, bk, xmm, 0.0, &t[1]);
          dq = msis::dnet(&dq, dm, zhm28, xmm, sp.m, nullptr);
          gts3c.rl = std::log(b28 * ld(2, sp.k) * sp.f / bk);
          dq *= msis::ccor(z, gts3c.rl, ld(6, sp.k) * ax(sp.hr, sp.hc), ld(5, sp.k) * ax(sp.zr, sp.zc));
          if (sp.chem)
            dq *= msis::ccor(z, ld(4, sp.k) * ax(sp.rr, sp.rc), ld(8, sp.k) * ax(sp.hhr, sp.hhc),
                             ld(7, sp.k) * ax(sp.zzr, sp.zzc));
        }
      };
      if (m == 48 || m == 4) species(table[0]);
      if (m == 48 || m == 16 || m == 49) species(table[1]);
      if (m == 48 || m == 32 || m == 49) species(table[2]);
      if (m == 48 || m == 40) species(table[3]);
      if (m == 48 || m == 1) species(table[4]);
      if (m == 48 || m == 14 || m == 1) species(table[5]);
      if (m == 48) {
        d[5] = 1.66e-24 * (4.0 * d[0] + 16.0 * d[1] + 28.0 * d[2] + 32.0 * d[3] + 40.0 * d[4] + d[6] +
                           14.0 * d[7]);
        gts3c.db_mass = 1.66e-24 * (4.0 * gts3c.db_he + 16.0 * gts3c.db_o + 28.0 * gts3c.db_n2 +
                                    32.0 * gts3c.db_o2 + 40.0 * gts3c.db_ar + gts3c.db_h +
                                    14.0 * gts3c.db_n);
      }
    }
  }
  if (gts5_state.metric_units == 1) {
    for (int i = 0; i < 8; ++i) d[i] *= 1.0e6;
    d[5] *= 0.001;
  }
}
