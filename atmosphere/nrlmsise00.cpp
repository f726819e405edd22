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

// Numerical constants as the model holds them.
constexpr double kDgtr = 1.74533e-2;   // degrees to radians
constexpr double kDr = 1.72142e-2;     // radians per day of year
constexpr double kHr = 0.2618;         // local-time radians per hour
constexpr double kSr = 7.2722e-5;      // universal-time radians per second
constexpr double kAmu = 1.66e-24;      // atomic mass unit, g

// Coefficient accessors, numbered from 1 as the model's tables are.
inline double lt(int i) { return lower7.lb_temp[i - 1]; }
inline double ld(int i, int k) { return lower7.lb_dens[k - 1][i - 1]; }
inline double ax(int i, int k) { return parm7.aux_coef[k - 1][i - 1]; }

// Saved switch values of tselec7 (read back by tretrv7).
struct Tselec7Saved {
  double saved_switches[25];
};
Tselec7Saved tselec7_saved{};

// Input-change cache of vtst7: slot 1 serves gtd7, slot 2 gts7.
msis::InputCache vtst7_cache = msis::make_input_cache();

// NRLMSISE-00's own expansion view: the Legendre functions, local-time
// harmonics and activity functions of its last globe7 evaluation, with the
// inputs they belong to. globe7 reuses and glob7s reads this view, never the
// shared lpoly (which only receives a copy), so other generations' expansions
// cannot leak into NRLMSISE-00's results.
struct Globe7Cache {
  Lpoly view;
  double last_lat = 1000.0;
  double last_tloc = 1000.0;
  double sw9 = 1.0;
  double last_day = -1.0;
  double p14 = -1000.0, p18 = -1000.0, p32 = -1000.0, p39 = -1000.0;
  double cd14 = 0.0, cd18 = 0.0, cd32 = 0.0, cd39 = 0.0;
};
Globe7Cache g7{};

// Day cosines of glob7s, kept apart from those of globe7.
struct Glob7sCache {
  double last_day = -1.0;
  double p14 = -1000.0, p18 = -1000.0, p32 = -1000.0, p39 = -1000.0;
  double cd14 = 0.0, cd18 = 0.0, cd32 = 0.0, cd39 = 0.0;
};
Glob7sCache g7s{};

// gts7's values kept between calls. t_lb, g0 and dm_n2 are NRLMSISE-00's own
// copies of what it writes into the shared gts3c and dmix; b28 and zhm28 are
// the N2 values that the other species use.
struct Gts7Cache {
  double tinf = 0.0;
  double alast = -999.0;
  double t_lb = 0.0;
  double g0 = 0.0;
  double dm_n2 = 0.0;
  double b28 = 0.0;
  double zhm28 = 0.0;
  double zn1[5] = {120.0, 110.0, 100.0, 90.0, 72.5};
};
Gts7Cache g7t{};

// gtd7's values kept between calls: its last thermospheric results.
struct Gtd7Cache {
  double ds[9] = {};
  double ts[2] = {};
  double dm28m = 0.0;
  double alast = 99999.0;
  int mssl = -999;
  int metric = 0;  // unit flag of ds and dm28m
};
Gtd7Cache g7d{};

// Nodes of the middle-atmosphere splines (km).
constexpr double kZn2[4] = {72.5, 55.0, 45.0, 32.5};
constexpr double kZn3[5] = {32.5, 20.0, 15.0, 10.0, 0.0};
constexpr double kZmix = 62.5;
constexpr double kZtop = 72.5;

constexpr int kMassCodes[11] = {48, 0, 4, 16, 28, 32, 40, 1, 49, 14, 17};
constexpr double kMixLimits[8] = {200.0, 300.0, 160.0, 250.0, 240.0, 450.0, 320.0, 450.0};
constexpr double kThermalDiff[9] = {-0.38, 0.0, 0.0, 0.0, 0.17, 0.0, -0.38, 0.0, 0.0};

void ensure_switches() {
  if (cswi.isw != kSwitchesSet) {
    double ones[25];
    std::fill(std::begin(ones), std::end(ones), 1.0);
    msis::set_switches(ones, tselec7_saved.saved_switches, false);
  }
}

// Formats x as a Fortran 1PE12.2 field (three-digit exponents drop the E).
void fortran_e12_2(char* out, std::size_t size, double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2E", x);
  const char* e = std::strchr(buf, 'E');
  if (e != nullptr && std::strlen(e + 2) > 2) {
    // E+100 and beyond: the mantissa followed by a signed three-digit exponent.
    char mant[16];
    const std::size_t mlen = static_cast<std::size_t>(e - buf);
    std::memcpy(mant, buf, mlen);
    mant[mlen] = '\0';
    std::snprintf(out, size, "%8s%c%s", mant, e[1], e + 2);
    return;
  }
  std::snprintf(out, size, "%12s", buf);
}

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
// Expansions
// ---------------------------------------------------------------------------

extern "C" double globe7_(double* yrd, double* sec, double* lat, double* lon, double* tloc,
                          double* f107a, double* f107, double* ap, double* p) {
  ensure_switches();
  const double* sw = csw.sw;
  const double* swc = csw.swc;
  Lpoly& v = g7.view;
  double t[15] = {};

  if (sw[8] > 0.0) g7.sw9 = 1.0;
  if (sw[8] < 0.0) g7.sw9 = -1.0;

  const int year_part = static_cast<int>(*yrd / 1000.0);
  v.yday = *yrd - 1000.0 * year_part;
  v.xlong = *lon;
  lpolyi.year_part = year_part;

  // Associated Legendre functions of the sine of the latitude.
  auto& plg = v.plg;
  if (*lat != g7.last_lat) {
    const double c = std::sin(*lat * kDgtr);
    const double s = std::cos(*lat * kDgtr);
    const double c2 = c * c;
    const double c4 = c2 * c2;
    const double s2 = s * s;
    plg[0][1] = c;
    plg[0][2] = 0.5 * (3.0 * c2 - 1.0);
    plg[0][3] = 0.5 * (5.0 * c * c2 - 3.0 * c);
    plg[0][4] = (35.0 * c4 - 30.0 * c2 + 3.0) / 8.0;
    plg[0][5] = (63.0 * c2 * c2 * c - 70.0 * c2 * c + 15.0 * c) / 8.0;
    plg[0][6] = (11.0 * c * plg[0][5] - 5.0 * plg[0][4]) / 6.0;
    plg[1][1] = s;
    plg[1][2] = 3.0 * c * s;
    plg[1][3] = 1.5 * (5.0 * c2 - 1.0) * s;
    plg[1][4] = 2.5 * (7.0 * c2 * c - 3.0 * c) * s;
    plg[1][5] = 1.875 * (21.0 * c4 - 14.0 * c2 + 1.0) * s;
    plg[1][6] = (11.0 * c * plg[1][5] - 6.0 * plg[1][4]) / 5.0;
    plg[2][2] = 3.0 * s2;
    plg[2][3] = 15.0 * s2 * c;
    plg[2][4] = 7.5 * (7.0 * c2 - 1.0) * s2;
    plg[2][5] = 3.0 * c * plg[2][4] - 2.0 * plg[2][3];
    plg[2][6] = (11.0 * c * plg[2][5] - 7.0 * plg[2][4]) / 4.0;
    plg[2][7] = (13.0 * c * plg[2][6] - 8.0 * plg[2][5]) / 5.0;
    plg[3][3] = 15.0 * s2 * s;
    plg[3][4] = 105.0 * s2 * s * c;
    plg[3][5] = (9.0 * c * plg[3][4] - 7.0 * plg[3][3]) / 2.0;
    plg[3][6] = (11.0 * c * plg[3][5] - 8.0 * plg[3][4]) / 3.0;
    g7.last_lat = *lat;
  }
  // P(n, m) numbered from 1 as in the coefficient tables: P(n+1, m+1).
  auto P = [&](int n, int m) { return plg[m - 1][n - 1]; };
  auto pp = [&](int i) { return p[i - 1]; };

  // Local-time harmonics.
  if (*tloc != g7.last_tloc && (sw[6] != 0.0 || sw[7] != 0.0 || sw[13] != 0.0)) {
    const double h = kHr * (*tloc);
    v.stloc = std::sin(h);
    v.ctloc = std::cos(h);
    v.s2tloc = std::sin(2.0 * h);
    v.c2tloc = std::cos(2.0 * h);
    v.s3tloc = std::sin(3.0 * h);
    v.c3tloc = std::cos(3.0 * h);
    g7.last_tloc = *tloc;
  }

  // Day cosines, each renewed when the day or its phase coefficient changed.
  const double yday = v.yday;
  if (yday != g7.last_day || pp(14) != g7.p14) g7.cd14 = std::cos(kDr * (yday - pp(14)));
  if (yday != g7.last_day || pp(18) != g7.p18) g7.cd18 = std::cos(2.0 * kDr * (yday - pp(18)));
  if (yday != g7.last_day || pp(32) != g7.p32) g7.cd32 = std::cos(kDr * (yday - pp(32)));
  if (yday != g7.last_day || pp(39) != g7.p39) g7.cd39 = std::cos(2.0 * kDr * (yday - pp(39)));
  g7.last_day = yday;
  g7.p14 = pp(14);
  g7.p18 = pp(18);
  g7.p32 = pp(32);
  g7.p39 = pp(39);
  const double cd14 = g7.cd14, cd18 = g7.cd18, cd32 = g7.cd32, cd39 = g7.cd39;

  // Solar activity.
  v.df = *f107 - *f107a;
  v.dfa = *f107a - 150.0;
  const double df = v.df, dfa = v.dfa;
  t[0] = pp(20) * df * (1.0 + pp(60) * dfa) + pp(21) * df * df + pp(22) * dfa +
         pp(30) * dfa * dfa;
  const double f1 = 1.0 + (pp(48) * dfa + pp(20) * df + pp(21) * df * df) * swc[0];
  const double f2 = 1.0 + (pp(50) * dfa + pp(20) * df + pp(21) * df * df) * swc[0];

  // Time independent.
  t[1] = pp(2) * P(3, 1) + pp(3) * P(5, 1) + pp(23) * P(7, 1) + pp(15) * P(3, 1) * dfa * swc[0] +
         pp(27) * P(2, 1);
  // Symmetric annual and semiannual.
  t[2] = pp(19) * cd32;
  t[3] = (pp(16) + pp(17) * P(3, 1)) * cd18;
  // Asymmetric annual and semiannual.
  t[4] = f1 * (pp(10) * P(2, 1) + pp(11) * P(4, 1)) * cd14;
  t[5] = pp(38) * P(2, 1) * cd39;
  // Diurnal, semidiurnal, terdiurnal.
  if (sw[6] != 0.0) {
    const double t71 = pp(12) * P(3, 2) * cd14 * swc[4];
    const double t72 = pp(13) * P(3, 2) * cd14 * swc[4];
    t[6] = f2 * ((pp(4) * P(2, 2) + pp(5) * P(4, 2) + pp(28) * P(6, 2) + t71) * v.ctloc +
                 (pp(7) * P(2, 2) + pp(8) * P(4, 2) + pp(29) * P(6, 2) + t72) * v.stloc);
  }
  if (sw[7] != 0.0) {
    const double t81 = (pp(24) * P(4, 3) + pp(36) * P(6, 3)) * cd14 * swc[4];
    const double t82 = (pp(34) * P(4, 3) + pp(37) * P(6, 3)) * cd14 * swc[4];
    t[7] = f2 * ((pp(6) * P(3, 3) + pp(42) * P(5, 3) + t81) * v.c2tloc +
                 (pp(9) * P(3, 3) + pp(43) * P(5, 3) + t82) * v.s2tloc);
  }
  if (sw[13] != 0.0) {
    t[13] = f2 * ((pp(40) * P(4, 4) + (pp(94) * P(5, 4) + pp(47) * P(7, 4)) * cd14 * swc[4]) *
                      v.s3tloc +
                  (pp(41) * P(4, 4) + (pp(95) * P(5, 4) + pp(49) * P(7, 4)) * cd14 * swc[4]) *
                      v.c3tloc);
  }

  // Magnetic activity.
  if (g7.sw9 != -1.0) {
    v.apd = ap[0] - 4.0;
    double p44 = pp(44);
    const double p45 = pp(45);
    if (p44 < 0.0) p44 = 1.0e-5;
    v.apdf = v.apd + (p45 - 1.0) * (v.apd + (std::exp(-p44 * v.apd) - 1.0) / p44);
    if (sw[8] != 0.0) {
      t[8] = v.apdf * (pp(33) + pp(46) * P(3, 1) + pp(35) * P(5, 1) +
                       (pp(101) * P(2, 1) + pp(102) * P(4, 1) + pp(103) * P(6, 1)) * cd14 * swc[4] +
                       (pp(122) * P(2, 2) + pp(123) * P(4, 2) + pp(124) * P(6, 2)) * swc[6] *
                           std::cos(kHr * (*tloc - pp(125))));
    }
  } else if (pp(52) != 0.0) {
    double exp1 = std::exp(-10800.0 * std::fabs(pp(52)) / (1.0 + pp(139) * (45.0 - std::fabs(*lat))));
    if (exp1 > 0.99999) exp1 = 0.99999;
    // Keeps the division by |p(25)| defined (the published sets hold more).
    if (p[24] < 1.0e-4) p[24] = 1.0e-4;
    const double a = std::fabs(pp(25));
    const double p26 = pp(26);
    auto g0f = [&](double x) {
      return (x - 4.0) + (p26 - 1.0) * ((x - 4.0) + (std::exp(-a * (x - 4.0)) - 1.0) / a);
    };
    const double e = exp1;
    const double e2 = e * e, e3 = e2 * e, e4 = e3 * e, e8 = e4 * e4, e12 = e8 * e4;
    const double e19 = e12 * e4 * e3;
    const double sumex = 1.0 + (1.0 - e19) / (1.0 - e) * std::sqrt(e);
    const double sg0 = (g0f(ap[1]) + (g0f(ap[2]) * e + g0f(ap[3]) * e2 + g0f(ap[4]) * e3 +
                                      (g0f(ap[5]) * e4 + g0f(ap[6]) * e12) * (1.0 - e8) / (1.0 - e))) /
                       sumex;
    v.apt[0] = sg0;
    if (sw[8] != 0.0) {
      t[8] = v.apt[0] * (pp(51) + pp(97) * P(3, 1) + pp(55) * P(5, 1) +
                         (pp(126) * P(2, 1) + pp(127) * P(4, 1) + pp(128) * P(6, 1)) * cd14 * swc[4] +
                         (pp(129) * P(2, 2) + pp(130) * P(4, 2) + pp(131) * P(6, 2)) * swc[6] *
                             std::cos(kHr * (*tloc - pp(132))));
    }
  }

  // Longitudinal and universal-time terms.
  if (sw[9] != 0.0 && *lon > -1000.0) {
    const double lam = kDgtr * (*lon);
    auto u = [&](double x) { return kSr * (*sec - x); };
    if (sw[10] != 0.0) {
      t[10] = (1.0 + pp(81) * dfa * swc[0]) *
              ((pp(65) * P(3, 2) + pp(66) * P(5, 2) + pp(67) * P(7, 2) + pp(104) * P(2, 2) +
                pp(105) * P(4, 2) + pp(106) * P(6, 2) +
                swc[4] * (pp(110) * P(2, 2) + pp(111) * P(4, 2) + pp(112) * P(6, 2)) * cd14) *
                   std::cos(lam) +
               (pp(91) * P(3, 2) + pp(92) * P(5, 2) + pp(93) * P(7, 2) + pp(107) * P(2, 2) +
                pp(108) * P(4, 2) + pp(109) * P(6, 2) +
                swc[4] * (pp(113) * P(2, 2) + pp(114) * P(4, 2) + pp(115) * P(6, 2)) * cd14) *
                   std::sin(lam));
    }
    if (sw[11] != 0.0) {
      t[11] = (1.0 + pp(96) * P(2, 1)) * (1.0 + pp(82) * dfa * swc[0]) *
                  (1.0 + pp(120) * P(2, 1) * swc[4] * cd14) *
                  (pp(69) * P(2, 1) + pp(70) * P(4, 1) + pp(71) * P(6, 1)) * std::cos(u(pp(72))) +
              swc[10] * (pp(77) * P(4, 3) + pp(78) * P(6, 3) + pp(79) * P(8, 3)) *
                  std::cos(u(pp(80)) + 2.0 * lam) * (1.0 + pp(138) * dfa * swc[0]);
    }
    if (sw[12] != 0.0) {
      if (g7.sw9 != -1.0) {
        t[12] = v.apdf * swc[10] * (1.0 + pp(121) * P(2, 1)) *
                    (pp(61) * P(3, 2) + pp(62) * P(5, 2) + pp(63) * P(7, 2)) *
                    std::cos(kDgtr * (*lon - pp(64))) +
                v.apdf * swc[10] * swc[4] * (pp(116) * P(2, 2) + pp(117) * P(4, 2) + pp(118) * P(6, 2)) *
                    cd14 * std::cos(kDgtr * (*lon - pp(119))) +
                v.apdf * swc[11] * (pp(84) * P(2, 1) + pp(85) * P(4, 1) + pp(86) * P(6, 1)) *
                    std::cos(u(pp(76)));
      } else if (pp(52) != 0.0) {
        const double a1 = v.apt[0];
        t[12] = a1 * swc[10] * (1.0 + pp(133) * P(2, 1)) *
                    (pp(53) * P(3, 2) + pp(99) * P(5, 2) + pp(68) * P(7, 2)) *
                    std::cos(kDgtr * (*lon - pp(98))) +
                a1 * swc[10] * swc[4] * (pp(134) * P(2, 2) + pp(135) * P(4, 2) + pp(136) * P(6, 2)) *
                    cd14 * std::cos(kDgtr * (*lon - pp(137))) +
                a1 * swc[11] * (pp(56) * P(2, 1) + pp(57) * P(4, 1) + pp(58) * P(6, 1)) *
                    std::cos(u(pp(59)));
      }
    }
  }

  double g = pp(31);
  for (int i = 0; i < 14; ++i) g += std::fabs(sw[i]) * t[i];
  std::copy(t, t + 15, ttest.terms);
  ttest.g_sum = g;
  lpoly = v;
  return g;
}

extern "C" double glob7s_(double* p) {
  if (p[99] == 0.0) p[99] = 2.0;
  if (p[99] != 2.0) {
    char line[80];
    std::snprintf(line, sizeof line, "WRONG PARAMETER SET FOR GLOB7S%10.1f%10.1f", 2.0, p[99]);
    stop_stdout({line});
  }
  const double* sw = csw.sw;
  const double* swc = csw.swc;
  const Lpoly& v = g7.view;
  auto pp = [&](int i) { return p[i - 1]; };
  auto P = [&](int n, int m) { return v.plg[m - 1][n - 1]; };
  double t[14] = {};

  const double yday = v.yday;
  if (yday != g7s.last_day || pp(32) != g7s.p32) g7s.cd32 = std::cos(kDr * (yday - pp(32)));
  if (yday != g7s.last_day || pp(18) != g7s.p18) g7s.cd18 = std::cos(2.0 * kDr * (yday - pp(18)));
  if (yday != g7s.last_day || pp(14) != g7s.p14) g7s.cd14 = std::cos(kDr * (yday - pp(14)));
  if (yday != g7s.last_day || pp(39) != g7s.p39) g7s.cd39 = std::cos(2.0 * kDr * (yday - pp(39)));
  g7s.last_day = yday;
  g7s.p14 = pp(14);
  g7s.p18 = pp(18);
  g7s.p32 = pp(32);
  g7s.p39 = pp(39);
  const double cd14 = g7s.cd14, cd18 = g7s.cd18, cd32 = g7s.cd32, cd39 = g7s.cd39;

  t[0] = pp(22) * v.dfa;
  t[1] = pp(2) * P(3, 1) + pp(3) * P(5, 1) + pp(23) * P(7, 1) + pp(27) * P(2, 1) +
         pp(15) * P(4, 1) + pp(60) * P(6, 1);
  t[2] = (pp(19) + pp(48) * P(3, 1) + pp(30) * P(5, 1)) * cd32;
  t[3] = (pp(16) + pp(17) * P(3, 1) + pp(31) * P(5, 1)) * cd18;
  t[4] = (pp(10) * P(2, 1) + pp(11) * P(4, 1) + pp(21) * P(6, 1)) * cd14;
  t[5] = pp(38) * P(2, 1) * cd39;
  if (sw[6] != 0.0) {
    const double t71 = pp(12) * P(3, 2) * cd14 * swc[4];
    const double t72 = pp(13) * P(3, 2) * cd14 * swc[4];
    t[6] = (pp(4) * P(2, 2) + pp(5) * P(4, 2) + t71) * v.ctloc +
           (pp(7) * P(2, 2) + pp(8) * P(4, 2) + t72) * v.stloc;
  }
  if (sw[7] != 0.0) {
    const double t81 = (pp(24) * P(4, 3) + pp(36) * P(6, 3)) * cd14 * swc[4];
    const double t82 = (pp(34) * P(4, 3) + pp(37) * P(6, 3)) * cd14 * swc[4];
    t[7] = (pp(6) * P(3, 3) + pp(42) * P(5, 3) + t81) * v.c2tloc +
           (pp(9) * P(3, 3) + pp(43) * P(5, 3) + t82) * v.s2tloc;
  }
  if (sw[13] != 0.0) t[13] = pp(40) * P(4, 4) * v.s3tloc + pp(41) * P(4, 4) * v.c3tloc;
  if (sw[8] != 0.0) {
    if (sw[8] == 1.0) t[8] = v.apdf * (pp(33) + pp(46) * P(3, 1) * swc[1]);
    if (sw[8] == -1.0) t[8] = pp(51) * v.apt[0] + pp(97) * P(3, 1) * v.apt[0] * swc[1];
  }
  if (sw[9] != 0.0 && sw[10] != 0.0 && v.xlong > -1000.0) {
    const double lam = kDgtr * v.xlong;
    t[10] = (1.0 + P(2, 1) * (pp(81) * swc[4] * std::cos(kDr * (yday - pp(82))) +
                              pp(86) * swc[5] * std::cos(2.0 * kDr * (yday - pp(87)))) +
             pp(84) * swc[2] * std::cos(kDr * (yday - pp(85))) +
             pp(88) * swc[3] * std::cos(2.0 * kDr * (yday - pp(89)))) *
            ((pp(65) * P(3, 2) + pp(66) * P(5, 2) + pp(67) * P(7, 2) + pp(75) * P(2, 2) +
              pp(76) * P(4, 2) + pp(77) * P(6, 2)) *
                 std::cos(lam) +
             (pp(91) * P(3, 2) + pp(92) * P(5, 2) + pp(93) * P(7, 2) + pp(78) * P(2, 2) +
              pp(79) * P(4, 2) + pp(80) * P(6, 2)) *
                 std::sin(lam));
  }
  double g = 0.0;
  for (int i = 0; i < 14; ++i) g += std::fabs(sw[i]) * t[i];
  return g;
}

// ---------------------------------------------------------------------------
// Thermosphere
// ---------------------------------------------------------------------------

extern "C" void gts7_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                      double* t) {
  Parm7& pm = parm7;
  double* zn1 = g7t.zn1;
  double* tn1 = meso7.tn1;
  double* tgn1 = meso7.tgn1;
  const double* sw = csw.sw;
  double yrd = static_cast<double>(*iyd);
  auto E = [&](double* p) { return globe7_(&yrd, sec, glat, glong, stl, f107a, f107, ap, p); };
  auto densu = [&](double z, double dlb, double tinf, double tlb, double xm, double alpha,
                   double* tz) {
    return msis::densu(z, dlb, tinf, tlb, xm, alpha, tz, lt(6), gts3c.shape, 5, zn1, tn1, tgn1,
                       kSplintMsg);
  };

  int slot = 2;
  const double chg = vtst7_(iyd, sec, glat, glong, stl, f107a, f107, ap, &slot);
  const double za = ax(16, 2);
  zn1[0] = za;
  gts3c.za = za;
  for (int i = 0; i < 9; ++i) d[i] = 0.0;
  const double z = *alt;

  // Exospheric temperature.
  if (z > zn1[0]) {
    if (chg == 1.0 || g7t.alast <= zn1[0])
      g7t.tinf = lt(1) * pm.tinf_coef[0] * (1.0 + sw[15] * E(pm.tinf_coef));
  } else {
    g7t.tinf = lt(1) * pm.tinf_coef[0];
  }
  const double tinf = g7t.tinf;
  t[0] = tinf;

  // Gradient and temperature at the lower boundary.
  if (z > zn1[4]) {
    if (chg == 1.0 || g7t.alast <= zn1[4])
      g7t.g0 = lt(4) * pm.grad_coef[0] * (1.0 + sw[18] * E(pm.grad_coef));
  } else {
    g7t.g0 = lt(4) * pm.grad_coef[0];
  }
  if (chg == 1.0 || z < 300.0)
    g7t.t_lb = lt(2) * (1.0 + sw[16] * E(pm.dens_coef[3])) * pm.dens_coef[3][0];
  gts3c.g0 = g7t.g0;
  gts3c.t_lb = g7t.t_lb;
  const double tlb = g7t.t_lb;
  gts3c.shape = g7t.g0 / (tinf - tlb);

  // Node temperatures of the lower-thermosphere spline.
  if (z < 300.0) {
    if (chg == 1.0 || g7t.alast >= 300.0) {
      tn1[1] = lt(7) * pm.tlow_coef[0][0] / (1.0 - sw[17] * glob7s_(pm.tlow_coef[0]));
      tn1[2] = lt(3) * pm.tlow_coef[1][0] / (1.0 - sw[17] * glob7s_(pm.tlow_coef[1]));
      tn1[3] = lt(8) * pm.tlow_coef[2][0] / (1.0 - sw[17] * glob7s_(pm.tlow_coef[2]));
      tn1[4] = lt(5) * pm.tlow_coef[3][0] / (1.0 - sw[17] * sw[19] * glob7s_(pm.tlow_coef[3]));
      const double r = lt(5) * pm.tlow_coef[3][0];
      tgn1[1] = lt(9) * pm.tmid_coef[8][0] * (1.0 + sw[17] * sw[19] * glob7s_(pm.tmid_coef[8])) *
                tn1[4] * tn1[4] / (r * r);
    }
  } else {
    tn1[1] = lt(7) * pm.tlow_coef[0][0];
    tn1[2] = lt(3) * pm.tlow_coef[1][0];
    tn1[3] = lt(8) * pm.tlow_coef[2][0];
    tn1[4] = lt(5) * pm.tlow_coef[3][0];
    tgn1[1] = lt(9) * pm.tmid_coef[8][0];
  }
  gts3c.z_ref = zn1[3];
  gts3c.t_ref = tn1[3];
  gts3c.tr12 = 1.0;

  if (*mass == 0) {
    // Temperature only.
    msis::densu(std::fabs(z), 1.0, tinf, tlb, 0.0, 0.0, &t[1], lt(6), gts3c.shape, 5, zn1, tn1,
                tgn1, kSplintMsg);
  } else {
    const double g28 = sw[20] * E(pm.dens_coef[2]);
    const double day = std::fmod(yrd, 1000.0);
    // Turbopause height, varying with latitude and season.
    const double zhf = ax(25, 2) * (1.0 + sw[4] * ax(25, 1) * std::sin(kDgtr * (*glat)) *
                                              std::cos(kDr * (day - pm.tinf_coef[13])));
    t[0] = tinf;
    const double xmm = ld(5, 3);

    int j = -1;
    for (int i = 0; i < 11; ++i) {
      if (*mass == kMassCodes[i]) {
        j = i;
        break;
      }
    }
    if (j < 0) {
      char line[40];
      if (*mass > 99999 || *mass < -9999)
        std::snprintf(line, sizeof line, "MASS*****  NOT VALID");
      else
        std::snprintf(line, sizeof line, "MASS%5d  NOT VALID", *mass);
      msg(line);
    } else {
      const int m = *mass;
      const bool mix = sw[14] != 0.0;
      double tz = 0.0;
      // Lower-boundary density of the species of coefficient column k (1..9).
      auto dblb = [&](int c, int k) {
        return ld(1, c) * std::exp(sw[20] * E(pm.dens_coef[k - 1])) * pm.dens_coef[k - 1][0];
      };
      // Mixed density of a species at z from its turbopause density, and its
      // blend into the diffusive density d(q). Returns b, the density at the
      // turbopause altitude.
      auto mixing = [&](int q, int c, double db, double xm, double alpha, double* dm_field) {
        const double b = densu(ld(3, c), db, tinf, tlb, xm - xmm, alpha - 1.0, &t[1]);
        *dm_field = densu(z, b, tinf, tlb, xmm, 0.0, &t[1]);
        d[q - 1] = msis::dnet(&d[q - 1], *dm_field, g7t.zhm28, xmm, xm, kDnetMsg);
        return b;
      };

      // N2: every other species refers its mixing ratio to it.
      if (z <= kMixLimits[5] || m == 28 || m == 48) {
        gts3c.db_n2 = ld(1, 3) * std::exp(g28) * pm.dens_coef[2][0];
        d[2] = densu(z, gts3c.db_n2, tinf, tlb, 28.0, kThermalDiff[2], &t[1]);
        gts3c.dd = d[2];
        const double zh28 = ld(3, 3) * zhf;
        g7t.zhm28 = ld(4, 3) * ax(6, 2);
        g7t.b28 = densu(zh28, gts3c.db_n2, tinf, tlb, 28.0 - xmm, kThermalDiff[2] - 1.0, &tz);
        if (mix && z <= kMixLimits[2]) {
          g7t.dm_n2 = densu(z, g7t.b28, tinf, tlb, xmm, kThermalDiff[2], &tz);
          dmix.dm_n2 = g7t.dm_n2;
          d[2] = msis::dnet(&d[2], g7t.dm_n2, g7t.zhm28, xmm, 28.0, kDnetMsg);
        }
      }
      const double b28 = g7t.b28;
      const bool all = m == 48;

      // He
      if (m == 48 || m == 4) {
        gts3c.db_he = dblb(1, 1);
        d[0] = densu(z, gts3c.db_he, tinf, tlb, 4.0, kThermalDiff[0], &t[1]);
        gts3c.dd = d[0];
        if (mix && z <= kMixLimits[0]) {
          const double b = mixing(1, 1, gts3c.db_he, 4.0, kThermalDiff[0], &dmix.dm_he);
          gts3c.rl = std::log(b28 * ld(2, 1) / b);
          d[0] *= msis::ccor(z, gts3c.rl, ld(6, 1) * ax(2, 2), ld(5, 1) * ax(1, 2));
        }
      }
      // O
      if (m == 48 || m == 16 || m == 49) {
        gts3c.db_o = dblb(2, 2);
        d[1] = densu(z, gts3c.db_o, tinf, tlb, 16.0, kThermalDiff[1], &t[1]);
        gts3c.dd = d[1];
        if (mix && z <= kMixLimits[1]) {
          mixing(2, 2, gts3c.db_o, 16.0, kThermalDiff[1], &dmix.dm_o);
          gts3c.rl = ld(2, 2) * ax(17, 2) * (1.0 + sw[0] * ax(24, 1) * (*f107a - 150.0));
          d[1] *= msis::ccor2(z, gts3c.rl, ld(6, 2) * ax(4, 2), ld(5, 2) * ax(3, 2),
                              ld(6, 2) * ax(5, 2));
          // Chemistry loss.
          d[1] *= msis::ccor(z, ld(4, 2) * ax(15, 2), ld(8, 2) * ax(14, 2), ld(7, 2) * ax(13, 2));
        }
      }
      // O2
      if (m == 48 || m == 32 || m == 49) {
        gts3c.db_o2 = dblb(4, 5);
        d[3] = densu(z, gts3c.db_o2, tinf, tlb, 32.0, kThermalDiff[3], &t[1]);
        gts3c.dd = (m == 49) ? gts3c.dd + 2.0 * d[3] : d[3];
        if (mix) {
          if (z <= kMixLimits[3]) {
            const double b = mixing(4, 4, gts3c.db_o2, 32.0, kThermalDiff[3], &dmix.dm_o2);
            gts3c.rl = std::log(b28 * ld(2, 4) / b);
            d[3] *= msis::ccor(z, gts3c.rl, ld(6, 4) * ax(8, 2), ld(5, 4) * ax(7, 2));
          }
          // Departure from photochemical equilibrium, at every altitude.
          const double rc32 = ld(4, 4) * ax(24, 2) * (1.0 + sw[0] * ax(24, 1) * (*f107a - 150.0));
          d[3] *= msis::ccor2(z, rc32, ld(8, 4) * ax(23, 2), ld(7, 4) * ax(22, 2),
                              ld(8, 4) * ax(23, 1));
        }
      }
      // Ar
      if (m == 48 || m == 40) {
        gts3c.db_ar = dblb(5, 6);
        d[4] = densu(z, gts3c.db_ar, tinf, tlb, 40.0, kThermalDiff[4], &t[1]);
        gts3c.dd = d[4];
        if (mix && z <= kMixLimits[4]) {
          const double b = mixing(5, 5, gts3c.db_ar, 40.0, kThermalDiff[4], &dmix.dm_ar);
          gts3c.rl = std::log(b28 * ld(2, 5) / b);
          d[4] *= msis::ccor(z, gts3c.rl, ld(6, 5) * ax(10, 2), ld(5, 5) * ax(9, 2));
        }
      }
      // H
      if (m == 48 || m == 1) {
        gts3c.db_h = dblb(6, 7);
        d[6] = densu(z, gts3c.db_h, tinf, tlb, 1.0, kThermalDiff[6], &t[1]);
        gts3c.dd = d[6];
        if (mix && z <= kMixLimits[6]) {
          const double b = mixing(7, 6, gts3c.db_h, 1.0, kThermalDiff[6], &dmix.dm_h);
          gts3c.rl = std::log(b28 * ld(2, 6) * std::fabs(ax(18, 2)) / b);
          d[6] *= msis::ccor(z, gts3c.rl, ld(6, 6) * ax(12, 2), ld(5, 6) * ax(11, 2));
          d[6] *= msis::ccor(z, ld(4, 6) * ax(21, 2), ld(8, 6) * ax(20, 2), ld(7, 6) * ax(19, 2));
        }
      }
      // N
      if (m == 48 || m == 14) {
        gts3c.db_n = dblb(7, 8);
        d[7] = densu(z, gts3c.db_n, tinf, tlb, 14.0, kThermalDiff[7], &t[1]);
        gts3c.dd = d[7];
        if (mix && z <= kMixLimits[7]) {
          const double b = mixing(8, 7, gts3c.db_n, 14.0, kThermalDiff[7], &dmix.dm_n);
          gts3c.rl = std::log(b28 * ld(2, 7) * std::fabs(ax(3, 1)) / b);
          d[7] *= msis::ccor(z, gts3c.rl, ld(6, 7) * ax(2, 1), ld(5, 7) * ax(1, 1));
          d[7] *= msis::ccor(z, ld(4, 7) * ax(6, 1), ld(8, 7) * ax(5, 1), ld(7, 7) * ax(4, 1));
        }
      }
      // Anomalous oxygen: a hot isothermal population joined to an
      // exponential fall-off below zmho.
      if (m == 48 || m == 17) {
        const double db16h = dblb(8, 9);
        const double tho = ld(10, 8) * ax(7, 1);
        double t2 = 0.0;
        gts3c.dd = densu(z, db16h, tho, tho, 16.0, kThermalDiff[8], &t2);
        const double zsht = ld(6, 8);
        const double zmho = ld(5, 8);
        double zm = zmho, xm16 = 16.0, th = tho;
        const double zsho = scalh_(&zm, &xm16, &th);
        d[8] = gts3c.dd * std::exp(-zsht / zsho * (std::exp(-(z - zmho) / zsht) - 1.0));
      }
      if (all) {
        d[5] = kAmu * (4.0 * d[0] + 16.0 * d[1] + 28.0 * d[2] + 32.0 * d[3] + 40.0 * d[4] + d[6] +
                       14.0 * d[7]);
        gts3c.db_mass = kAmu * (4.0 * gts3c.db_he + 16.0 * gts3c.db_o + 28.0 * gts3c.db_n2 +
                                32.0 * gts3c.db_o2 + 40.0 * gts3c.db_ar + gts3c.db_h +
                                14.0 * gts3c.db_n);
      }
    }
  }

  if (metsel7.metric_units == 1) {
    for (int i = 0; i < 9; ++i) d[i] *= 1.0e6;
    d[5] *= 0.001;
  }
  g7t.alast = z;
}

// ---------------------------------------------------------------------------
// Full-altitude entry
// ---------------------------------------------------------------------------

extern "C" void gtd7_(int* iyd, double* sec, double* alt, double* glat, double* glong,
                      double* stl, double* f107a, double* f107, double* ap, int* mass, double* d,
                      double* t) {
  ensure_switches();
  datime = datim7;
  const double* sw = csw.sw;
  Parm7& pm = parm7;
  const double* a = mavg7.mid_avg;
  Meso7& ms = meso7;

  int slot = 1;
  const double chg = vtst7_(iyd, sec, glat, glong, stl, f107a, f107, ap, &slot);

  double xlat = (sw[1] == 0.0) ? 45.0 : *glat;
  glatf7_(&xlat, &parmb.gsurf, &parmb.re_eff);
  const double xmm = ld(5, 3);

  // Thermosphere at the altitude, or at 72.5 km below it.
  double altt = std::max(*alt, kZtop);
  int mss = *mass;
  if (*alt < kZmix && mss > 0) mss = 28;
  // The kept values are reused only in the units they were computed in.
  if (!(chg == 0.0 && *alt <= kZtop && g7d.alast <= kZtop && mss == g7d.mssl &&
        metsel7.metric_units == g7d.metric)) {
    gts7_(iyd, sec, &altt, glat, glong, stl, f107a, f107, ap, &mss, g7d.ds, g7d.ts);
    g7d.dm28m = g7t.dm_n2;
    if (metsel7.metric_units == 1) g7d.dm28m *= 1.0e6;
    g7d.mssl = mss;
    g7d.metric = metsel7.metric_units;
  }
  t[0] = g7d.ts[0];
  t[1] = g7d.ts[1];
  if (*alt >= kZtop) {
    for (int i = 0; i < 9; ++i) d[i] = g7d.ds[i];
    g7d.alast = *alt;
    return;
  }

  // Mesosphere and stratosphere nodes.
  const auto& tm = pm.tmid_coef;
  if (chg == 1.0 || g7d.alast >= kZtop) {
    ms.tgn2[0] = ms.tgn1[1];
    ms.tn2[0] = ms.tn1[4];
    ms.tn2[1] = a[0] * tm[0][0] / (1.0 - sw[19] * glob7s_(pm.tmid_coef[0]));
    ms.tn2[2] = a[1] * tm[1][0] / (1.0 - sw[19] * glob7s_(pm.tmid_coef[1]));
    ms.tn2[3] = a[2] * tm[2][0] / (1.0 - sw[19] * sw[21] * glob7s_(pm.tmid_coef[2]));
    const double r = tm[2][0] * a[2];
    ms.tgn2[1] = a[8] * tm[9][0] * (1.0 + sw[19] * sw[21] * glob7s_(pm.tmid_coef[9])) *
                 ms.tn2[3] * ms.tn2[3] / (r * r);
    ms.tn3[0] = ms.tn2[3];
  }
  if (*alt < kZn3[0] && (chg == 1.0 || g7d.alast >= kZn3[0])) {
    // Stratosphere and troposphere nodes.
    ms.tgn3[0] = ms.tgn2[1];
    for (int k = 1; k <= 4; ++k)
      ms.tn3[k] = a[k + 2] * tm[k + 2][0] / (1.0 - sw[21] * glob7s_(pm.tmid_coef[k + 2]));
    const double r = tm[6][0] * a[6];
    ms.tgn3[1] = a[7] * tm[7][0] * (1.0 + sw[21] * glob7s_(pm.tmid_coef[7])) * ms.tn3[4] *
                 ms.tn3[4] / (r * r);
  }

  double tz = 0.0;
  if (*mass == 0) {
    gts3c.dd = msis::densm(*alt, 1.0, 0.0, &tz, 5, kZn3, ms.tn3, ms.tgn3, 4, kZn2, ms.tn2,
                           ms.tgn2, kSplintMsg);
    t[1] = tz;
    g7d.alast = *alt;
    return;
  }

  // Linear blend of the thermospheric and fully mixed densities between
  // zmix and 72.5 km.
  const double dmc = (*alt > kZmix) ? 1.0 - (kZtop - *alt) / (kZtop - kZmix) : 0.0;
  const double* ds = g7d.ds;
  const double dz28 = ds[2];
  // With no mixed N2 density computed yet (switch 15 off from the start) the
  // thermospheric N2 density at 72.5 km stands in for it: the profile below
  // then starts from the value above, and no ratio divides by zero.
  const bool have_mixed = g7d.dm28m > 0.0;
  const double dm28m = have_mixed ? g7d.dm28m : dz28;
  double dmr = have_mixed ? dz28 / dm28m - 1.0 : 0.0;
  d[2] = msis::densm(*alt, dm28m, xmm, &tz, 5, kZn3, ms.tn3, ms.tgn3, 4, kZn2, ms.tn2, ms.tgn2,
                     kSplintMsg) *
         (1.0 + dmr * dmc);
  auto ratio = [&](int q, int c) {
    const double r = (dz28 != 0.0) ? ds[q] / (dz28 * ld(2, c)) - 1.0 : 0.0;
    return d[2] * ld(2, c) * (1.0 + r * dmc);
  };
  d[0] = 0.0;
  if (*mass == 4 || *mass == 48) d[0] = ratio(0, 1);
  d[1] = 0.0;
  d[8] = 0.0;
  d[3] = 0.0;
  if (*mass == 32 || *mass == 48) d[3] = ratio(3, 4);
  d[4] = 0.0;
  if (*mass == 40 || *mass == 48) d[4] = ratio(4, 5);
  d[6] = 0.0;
  d[7] = 0.0;
  if (*mass == 48) {
    d[5] = kAmu * (4.0 * d[0] + 16.0 * d[1] + 28.0 * d[2] + 32.0 * d[3] + 40.0 * d[4] + d[6] +
                   14.0 * d[7]);
    if (metsel7.metric_units == 1) d[5] *= 0.001;
  } else {
    d[5] = 0.0;
  }
  t[1] = tz;
  g7d.alast = *alt;
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
  constexpr double bm = 1.3806e-19;  // Boltzmann constant in mb cm^3 / K
  constexpr double rgas = 831.4;
  constexpr double test = 0.00043;
  constexpr int ltest = 12;
  const double pl = std::log10(*press);
  double z;
  if (pl >= -5.0) {
    // First guess from a standard profile of pressure with height, corrected
    // for latitude and season.
    double zi;
    if (pl > 2.5)
      zi = 18.06 * (3.00 - pl);
    else if (pl > 0.75)
      zi = 14.98 * (3.08 - pl);
    else if (pl > -1.0)
      zi = 17.8 * (2.72 - pl);
    else if (pl > -2.0)
      zi = 14.28 * (3.64 - pl);
    else if (pl > -4.0)
      zi = 12.72 * (4.32 - pl);
    else
      zi = 25.3 * (0.11 - pl);
    const int iday = *iyd % 1000;
    const double cl = *glat / 90.0;
    const double cl2 = cl * cl;
    const double cd = (iday < 182) ? 1.0 - iday / 91.25 : iday / 91.25 - 3.0;
    double ca = 0.0;
    if (pl > -1.11 && pl <= -0.23) ca = 1.0;
    if (pl > -0.23) ca = (2.79 - pl) / (2.79 + 0.23);
    if (pl <= -1.11 && pl > -3.0) ca = (-2.93 - pl) / (-2.93 + 1.11);
    z = zi - 4.87 * cl * cd * ca - 1.64 * cl2 * ca + 0.31 * ca * cl;
  } else {
    z = 22.0 * (pl + 4.0) * (pl + 4.0) + 110.0;
  }

  int mass = 48;
  int l = 0;
  double diff = 0.0;
  for (;;) {
    ++l;
    gtd7_(iyd, sec, &z, glat, glong, stl, f107a, f107, ap, &mass, d, t);
    const double xn = d[0] + d[1] + d[2] + d[3] + d[4] + d[6] + d[7];
    double p = bm * xn * t[1];
    if (metsel7.metric_units == 1) p *= 1.0e-6;
    diff = pl - std::log10(p);
    if (std::fabs(diff) < test || l == ltest) break;
    double xm = d[5] / xn / 1.66e-24;
    if (metsel7.metric_units == 1) xm *= 1.0e3;
    const double q = 1.0 + z / parmb.re_eff;
    const double g = parmb.gsurf / (q * q);
    const double sh = rgas * t[1] / (g * xm);
    // Newton steps on ln p, damped by ln 10 for the first five.
    if (l < 6)
      z = z - sh * diff * 2.302;
    else
      z = z - sh * diff;
  }
  if (l == ltest) {
    char f1[48], f2[48], line[160];
    fortran_e12_2(f1, sizeof f1, *press);
    fortran_e12_2(f2, sizeof f2, diff);
    std::snprintf(line, sizeof line, "GHP7 NOT CONVERGING FOR PRESS%s%s", f1, f2);
    msg(line);
  }
  *alt = z;
}
