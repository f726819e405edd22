// Bodies of the full-altitude MSIS family (MSISE-90, NRLMSISE-00).
//
// References: Hedin, A. E., Extension of the MSIS thermosphere model into the
// middle and lower atmosphere, J. Geophys. Res. 96, 1159 (1991); Picone,
// J. M., A. E. Hedin, D. P. Drob and A. C. Aikin, NRLMSISE-00 empirical model
// of the atmosphere, J. Geophys. Res. 107(A12), 1468 (2002).
#include "atmosphere/msis_family.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>

#include "frame/c_numbers.hpp"
#include "frame/conventions.hpp"

namespace kest::msis {

namespace {

// Numerical constants as the models hold them.
constexpr double kDgtr = 1.74533e-2;  // degrees to radians
constexpr double kDr = 1.72142e-2;    // radians per day of year
constexpr double kHr = 0.2618;        // local-time radians per hour
constexpr double kSr = 7.2722e-5;     // universal-time radians per second
constexpr double kAmu = 1.66e-24;     // atomic mass unit, g

// Nodes of the middle-atmosphere splines (km) and the blend limits.
constexpr double kZn2[4] = {72.5, 55.0, 45.0, 32.5};
constexpr double kZn3[5] = {32.5, 20.0, 15.0, 10.0, 0.0};
constexpr double kZmix = 62.5;
constexpr double kZtop = 72.5;

constexpr int kMassCodes[11] = {48, 0, 4, 16, 28, 32, 40, 1, 49, 14, 17};

// Formats x as a Fortran 1PE12.2 field (three-digit exponents drop the E).
void fortran_e12_2(char* out, std::size_t size, double x) {
  char buf[32];
  fio::c_snprintf(buf, sizeof buf, "%.2E", x);
  const char* e = std::strchr(buf, 'E');
  if (e != nullptr && std::strlen(e + 2) > 2) {
    char mant[16];
    const std::size_t mlen = static_cast<std::size_t>(e - buf);
    std::memcpy(mant, buf, mlen);
    mant[mlen] = '\0';
    std::snprintf(out, size, "%8s%c%s", mant, e[1], e + 2);
    return;
  }
  std::snprintf(out, size, "%12s", buf);
}

// The turbopause blend of one species in the thermosphere. A diffusive or
// mixed density that is negative or not a number comes only from a profile
// carried past its domain, by inputs far outside the model's range or, in
// the strongest storms near the poles, by a lower-thermosphere temperature
// spline that passes through infinity (see the atmosphere drivers): the
// species then has no density, and its blend has none either (dnet would put
// the other density, or 1, in its place, as it rightly does for a density
// that underflowed to zero).
double blend(double* dd, double dm, double zhm, double xmm, double xm, const char* msg) {
  const bool none = *dd < 0.0 || dm < 0.0 || std::isnan(*dd) || std::isnan(dm);
  const double v = dnet(dd, dm, zhm, xmm, xm, msg);
  return none ? std::numeric_limits<double>::quiet_NaN() : v;
}

}  // namespace

void report_invalid_mass(int mass) {
  char line[40];
  if (mass > 99999 || mass < -9999)
    std::snprintf(line, sizeof line, "MASS*****  NOT VALID");
  else
    std::snprintf(line, sizeof line, "MASS%5d  NOT VALID", mass);
  msg(line);
}

void ensure_switches(Generation& g) {
  if (cswi.isw != kSwitchesSet) {
    double ones[25];
    std::fill(std::begin(ones), std::end(ones), 1.0);
    set_switches(ones, g.saved_switches, false);
  }
}

// ---------------------------------------------------------------------------
// Thermospheric expansion
// ---------------------------------------------------------------------------

double globe(Generation& gen, double yrd, double sec, double lat, double lon, double tloc,
             double f107a, double f107, const double* ap, double* p) {
  ensure_switches(gen);
  const Variant& var = gen.v;
  GlobeCache& c = *gen.globe;
  const double* sw = csw.sw;
  const double* swc = csw.swc;
  Lpoly& v = c.view;
  double t[15] = {};

  if (sw[8] > 0.0) c.sw9 = 1.0;
  if (sw[8] < 0.0) c.sw9 = -1.0;

  const int year_part = year_part_of(yrd / 1000.0);
  v.yday = yrd - 1000.0 * year_part;
  v.xlong = lon;
  lpolyi.year_part = year_part;

  if (lat != c.last_lat) {
    legendre(lat, v.plg);
    c.last_lat = lat;
  }
  // P(n, m) numbered from 1 as in the coefficient tables: P(n+1, m+1).
  auto P = [&](int n, int m) { return v.plg[m - 1][n - 1]; };
  auto pp = [&](int i) { return p[i - 1]; };

  // Local-time harmonics.
  if (tloc != c.last_tloc && (sw[6] != 0.0 || sw[7] != 0.0 || sw[13] != 0.0)) {
    const double h = kHr * tloc;
    v.stloc = std::sin(h);
    v.ctloc = std::cos(h);
    v.s2tloc = std::sin(2.0 * h);
    v.c2tloc = std::cos(2.0 * h);
    v.s3tloc = std::sin(3.0 * h);
    v.c3tloc = std::cos(3.0 * h);
    c.last_tloc = tloc;
  }
  if (var.longitude_cached) {
    if (lon != c.last_lon) {
      v.clong = std::cos(kDgtr * lon);
      v.slong = std::sin(kDgtr * lon);
    }
    c.last_lon = lon;
  }

  // Day cosines, each renewed when the day or its phase coefficient changed.
  const double yday = v.yday;
  if (yday != c.last_day || pp(14) != c.p14) c.cd14 = std::cos(kDr * (yday - pp(14)));
  if (yday != c.last_day || pp(18) != c.p18) c.cd18 = std::cos(2.0 * kDr * (yday - pp(18)));
  if (yday != c.last_day || pp(32) != c.p32) c.cd32 = std::cos(kDr * (yday - pp(32)));
  if (yday != c.last_day || pp(39) != c.p39) c.cd39 = std::cos(2.0 * kDr * (yday - pp(39)));
  c.last_day = yday;
  c.p14 = pp(14);
  c.p18 = pp(18);
  c.p32 = pp(32);
  c.p39 = pp(39);
  const double cd14 = c.cd14, cd18 = c.cd18, cd32 = c.cd32, cd39 = c.cd39;

  // Solar activity.
  v.df = f107 - f107a;
  v.dfa = f107a - 150.0;
  const double df = v.df, dfa = v.dfa;
  const double flux = var.t1_flux_factor ? pp(20) * df * (1.0 + pp(60) * dfa) : pp(20) * df;
  t[0] = flux + pp(21) * df * df + pp(22) * dfa + pp(30) * dfa * dfa;
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
  if (c.sw9 != -1.0) {
    v.apd = ap[0] - 4.0;
    double p44 = pp(44);
    const double p45 = pp(45);
    if (p44 < 0.0) p44 = 1.0e-5;
    v.apdf = v.apd + (p45 - 1.0) * (v.apd + (std::exp(-p44 * v.apd) - 1.0) / p44);
    if (sw[8] != 0.0) {
      t[8] = v.apdf * (pp(33) + pp(46) * P(3, 1) + pp(35) * P(5, 1) +
                       (pp(101) * P(2, 1) + pp(102) * P(4, 1) + pp(103) * P(6, 1)) * cd14 * swc[4] +
                       (pp(122) * P(2, 2) + pp(123) * P(4, 2) + pp(124) * P(6, 2)) * swc[6] *
                           std::cos(kHr * (tloc - pp(125))));
    }
  } else if (pp(52) != 0.0) {
    // Decay of the 3-hour history, capped so that 1 - e never vanishes.
    const double e1 = std::min(
        std::exp(-10800.0 * std::fabs(pp(52)) / (1.0 + pp(139) * (45.0 - std::fabs(lat)))), 0.99999);
    // Keeps the division by |p(25)| defined (the published sets hold more).
    if (p[24] < 1.0e-4) p[24] = 1.0e-4;
    v.apt[0] = ap_history(ap, e1, pp(25), pp(26));
    if (var.history_second) {
      const double e2 = std::min(std::exp(-10800.0 * std::fabs(pp(54))), 0.99999);
      v.apt[2] = ap_history(ap, e2, pp(25), pp(26));
    }
    if (sw[8] != 0.0) {
      t[8] = v.apt[0] * (pp(51) + pp(97) * P(3, 1) + pp(55) * P(5, 1) +
                         (pp(126) * P(2, 1) + pp(127) * P(4, 1) + pp(128) * P(6, 1)) * cd14 * swc[4] +
                         (pp(129) * P(2, 2) + pp(130) * P(4, 2) + pp(131) * P(6, 2)) * swc[6] *
                             std::cos(kHr * (tloc - pp(132))));
    }
  }

  // Longitudinal and universal-time terms; a longitude of -1000 or less asks
  // for them to be left out. One that is not a number asks for nothing: the
  // terms take part and carry it into G, so no result is made up for it.
  if (sw[9] != 0.0 && !(lon <= -1000.0)) {
    const double lam = kDgtr * lon;
    const double cl = var.longitude_cached ? v.clong : std::cos(lam);
    const double sl = var.longitude_cached ? v.slong : std::sin(lam);
    auto u = [&](double x) { return kSr * (sec - x); };
    if (sw[10] != 0.0) {
      t[10] = (1.0 + pp(81) * dfa * swc[0]) *
              ((pp(65) * P(3, 2) + pp(66) * P(5, 2) + pp(67) * P(7, 2) + pp(104) * P(2, 2) +
                pp(105) * P(4, 2) + pp(106) * P(6, 2) +
                swc[4] * (pp(110) * P(2, 2) + pp(111) * P(4, 2) + pp(112) * P(6, 2)) * cd14) *
                   cl +
               (pp(91) * P(3, 2) + pp(92) * P(5, 2) + pp(93) * P(7, 2) + pp(107) * P(2, 2) +
                pp(108) * P(4, 2) + pp(109) * P(6, 2) +
                swc[4] * (pp(113) * P(2, 2) + pp(114) * P(4, 2) + pp(115) * P(6, 2)) * cd14) *
                   sl);
    }
    if (sw[11] != 0.0) {
      t[11] = (1.0 + pp(96) * P(2, 1)) * (1.0 + pp(82) * dfa * swc[0]) *
                  (1.0 + pp(120) * P(2, 1) * swc[4] * cd14) *
                  (pp(69) * P(2, 1) + pp(70) * P(4, 1) + pp(71) * P(6, 1)) * std::cos(u(pp(72))) +
              swc[10] * (pp(77) * P(4, 3) + pp(78) * P(6, 3) + pp(79) * P(8, 3)) *
                  std::cos(u(pp(80)) + 2.0 * lam) * (1.0 + pp(138) * dfa * swc[0]);
    }
    if (sw[12] != 0.0) {
      if (c.sw9 != -1.0) {
        t[12] = v.apdf * swc[10] * (1.0 + pp(121) * P(2, 1)) *
                    (pp(61) * P(3, 2) + pp(62) * P(5, 2) + pp(63) * P(7, 2)) *
                    std::cos(kDgtr * (lon - pp(64))) +
                v.apdf * swc[10] * swc[4] * (pp(116) * P(2, 2) + pp(117) * P(4, 2) + pp(118) * P(6, 2)) *
                    cd14 * std::cos(kDgtr * (lon - pp(119))) +
                v.apdf * swc[11] * (pp(84) * P(2, 1) + pp(85) * P(4, 1) + pp(86) * P(6, 1)) *
                    std::cos(u(pp(76)));
      } else if (pp(52) != 0.0) {
        const double a1 = v.apt[0];
        t[12] = a1 * swc[10] * (1.0 + pp(133) * P(2, 1)) *
                    (pp(53) * P(3, 2) + pp(99) * P(5, 2) + pp(68) * P(7, 2)) *
                    std::cos(kDgtr * (lon - pp(98))) +
                a1 * swc[10] * swc[4] * (pp(134) * P(2, 2) + pp(135) * P(4, 2) + pp(136) * P(6, 2)) *
                    cd14 * std::cos(kDgtr * (lon - pp(137))) +
                a1 * swc[11] * (pp(56) * P(2, 1) + pp(57) * P(4, 1) + pp(58) * P(6, 1)) *
                    std::cos(u(pp(59)));
      }
    }
  }

  double g = pp(31);
  for (int i = 0; i < 14; ++i) g += std::fabs(sw[i]) * t[i];
  std::copy(t, t + 15, ttest.terms);
  ttest.g_sum = g;
  // Publish a copy (the generation itself keeps reading its view), leaving
  // alone the fields that this generation does not compute.
  const Lpoly before = lpoly;
  lpoly = v;
  lpoly.apt[1] = before.apt[1];
  lpoly.apt[3] = before.apt[3];
  if (!var.history_second) lpoly.apt[2] = before.apt[2];
  if (!var.longitude_cached) {
    lpoly.clong = before.clong;
    lpoly.slong = before.slong;
  }
  return g;
}

// ---------------------------------------------------------------------------
// Lower-atmosphere expansion
// ---------------------------------------------------------------------------

double glob(Generation& gen, double* p) {
  const Variant& var = gen.v;
  if (var.glob_marker) {
    if (p[99] == 0.0) p[99] = 2.0;
    if (p[99] != 2.0) {
      char line[96];
      fio::c_snprintf(line, sizeof line, "%s%10.1f%10.1f", var.glob_marker_msg, 2.0, p[99]);
      stop_stdout({line});
    }
  }
  GlobSCache& c = *gen.glob;
  const double* sw = csw.sw;
  const double* swc = csw.swc;
  const Lpoly& v = gen.globe->view;
  auto pp = [&](int i) { return p[i - 1]; };
  auto P = [&](int n, int m) { return v.plg[m - 1][n - 1]; };
  double t[14] = {};

  const double yday = v.yday;
  if (yday != c.last_day || pp(32) != c.p32) c.cd32 = std::cos(kDr * (yday - pp(32)));
  if (yday != c.last_day || pp(18) != c.p18) c.cd18 = std::cos(2.0 * kDr * (yday - pp(18)));
  if (yday != c.last_day || pp(14) != c.p14) c.cd14 = std::cos(kDr * (yday - pp(14)));
  if (yday != c.last_day || pp(39) != c.p39) c.cd39 = std::cos(2.0 * kDr * (yday - pp(39)));
  c.last_day = yday;
  c.p14 = pp(14);
  c.p18 = pp(18);
  c.p32 = pp(32);
  c.p39 = pp(39);
  const double cd14 = c.cd14, cd18 = c.cd18, cd32 = c.cd32, cd39 = c.cd39;

  t[0] = pp(22) * v.dfa;
  t[1] = pp(2) * P(3, 1) + pp(3) * P(5, 1) + pp(23) * P(7, 1) + pp(27) * P(2, 1) +
         pp(var.glob_t2a) * P(4, 1) + pp(var.glob_t2b) * P(6, 1);
  t[2] = (pp(19) + pp(48) * P(3, 1) + pp(30) * P(5, 1)) * cd32;
  t[3] = (pp(16) + pp(17) * P(3, 1) + pp(31) * P(5, 1)) * cd18;
  t[4] = (pp(10) * P(2, 1) + pp(11) * P(4, 1) + pp(var.glob_t5) * P(6, 1)) * cd14;
  t[5] = pp(38) * P(2, 1) * cd39;
  if (sw[6] != 0.0) {
    const double t71 = pp(12) * P(3, 2) * cd14 * swc[4];
    const double t72 = pp(13) * P(3, 2) * cd14 * swc[4];
    t[6] = (pp(4) * P(2, 2) + pp(5) * P(4, 2) + t71) * v.ctloc +
           (pp(7) * P(2, 2) + pp(8) * P(4, 2) + t72) * v.stloc;
  }
  if (sw[7] != 0.0) {
    const double t81 = (pp(24) * P(4, 3) + pp(var.glob_t8a) * P(6, 3)) * cd14 * swc[4];
    const double t82 = (pp(34) * P(4, 3) + pp(var.glob_t8b) * P(6, 3)) * cd14 * swc[4];
    t[7] = (pp(6) * P(3, 3) + pp(42) * P(5, 3) + t81) * v.c2tloc +
           (pp(9) * P(3, 3) + pp(43) * P(5, 3) + t82) * v.s2tloc;
  }
  if (sw[13] != 0.0) t[13] = pp(40) * P(4, 4) * v.s3tloc + pp(41) * P(4, 4) * v.c3tloc;
  if (sw[8] != 0.0) {
    const double apt = v.apt[var.glob_apt];
    if (sw[8] == 1.0) t[8] = v.apdf * (pp(33) + pp(46) * P(3, 1) * swc[1]);
    if (sw[8] == -1.0) t[8] = pp(51) * apt + pp(97) * P(3, 1) * apt * swc[1];
  }
  // Longitude terms unless asked away (-1000 or less; see globe).
  if (sw[9] != 0.0 && sw[10] != 0.0 && !(v.xlong <= -1000.0)) {
    const double lam = kDgtr * v.xlong;
    const double cl = var.longitude_cached ? v.clong : std::cos(lam);
    const double sl = var.longitude_cached ? v.slong : std::sin(lam);
    t[10] = (1.0 + P(2, 1) * (pp(81) * swc[4] * std::cos(kDr * (yday - pp(82))) +
                              pp(86) * swc[5] * std::cos(2.0 * kDr * (yday - pp(87)))) +
             pp(84) * swc[2] * std::cos(kDr * (yday - pp(85))) +
             pp(88) * swc[3] * std::cos(2.0 * kDr * (yday - pp(89)))) *
            ((pp(65) * P(3, 2) + pp(66) * P(5, 2) + pp(67) * P(7, 2) + pp(75) * P(2, 2) +
              pp(76) * P(4, 2) + pp(77) * P(6, 2)) *
                 cl +
             (pp(91) * P(3, 2) + pp(92) * P(5, 2) + pp(93) * P(7, 2) + pp(78) * P(2, 2) +
              pp(79) * P(4, 2) + pp(80) * P(6, 2)) *
                 sl);
  }
  double g = 0.0;
  for (int i = 0; i < 14; ++i) g += std::fabs(sw[i]) * t[i];
  return g;
}

// ---------------------------------------------------------------------------
// Thermosphere
// ---------------------------------------------------------------------------

void thermosphere(Generation& gen, int iyd, double sec, double alt, double glat, double glong,
                  double stl, double f107a, double f107, const double* ap, int mass, double* d,
                  double* t) {
  const Variant& var = gen.v;
  ThermoCache& c = *gen.thermo;
  // A thermosphere call before any switch setting runs with every switch on,
  // like the expansions it calls; set them here, before the first product
  // that reads a switch next to an expansion call, so that no result depends
  // on the order in which the compiler evaluates the two factors.
  ensure_switches(gen);
  // The full-altitude entry sets the gravity of the point before it calls
  // here. A direct call finds what the last writer of parmb left (an entry
  // of either family generation, or MSIS-86's loader with its own
  // constants); a first one, before anything has set it, takes it for its
  // own latitude as an entry would: a zero gravity would flatten every
  // diffusive profile (He at 400 km several times too dense).
  if (parmb.gsurf == 0.0)
    gravity_at_latitude(csw.sw[1] == 0.0 ? 45.0 : glat, &parmb.gsurf, &parmb.re_eff);
  double* zn1 = c.zn1;
  double* tn1 = gen.tn1;
  double* tgn1 = gen.tgn1;
  const double* sw = csw.sw;
  const double yrd = static_cast<double>(iyd);
  auto lt = [&](int i) { return gen.lb_temp[i - 1]; };
  auto ld = [&](int i, int k) { return gen.lb_dens[k - 1][i - 1]; };
  auto ax = [&](int i, int k) { return gen.aux_coef[k - 1][i - 1]; };
  auto E = [&](double* p) { return globe(gen, yrd, sec, glat, glong, stl, f107a, f107, ap, p); };
  auto L = [&](double* p) { return glob(gen, p); };
  auto densu_at = [&](double z, double dlb, double xm, double alpha, double* tz) {
    return densu(z, dlb, c.tinf, c.t_lb, xm, alpha, tz, lt(6), gts3c.shape, 5, zn1, tn1, tgn1,
                 var.splint_msg);
  };

  const double chg = inputs_changed(*gen.inputs, iyd, sec, glat, glong, stl, f107a, f107, ap, 2);
  const double za = ax(16, 2);
  zn1[0] = za;
  gts3c.za = za;
  for (int i = 0; i < var.n_dens; ++i) d[i] = 0.0;
  const double z = alt;

  // Exospheric temperature.
  if (z > zn1[0]) {
    if (chg == 1.0 || c.alast <= zn1[0])
      c.tinf = lt(1) * gen.tinf_coef[0] * (1.0 + sw[15] * E(gen.tinf_coef));
  } else {
    c.tinf = lt(1) * gen.tinf_coef[0];
  }
  t[0] = c.tinf;

  // Gradient and temperature at the lower boundary.
  if (z > zn1[4]) {
    if (chg == 1.0 || c.alast <= zn1[4])
      c.g0 = lt(4) * gen.grad_coef[0] * (1.0 + sw[18] * E(gen.grad_coef));
  } else {
    c.g0 = lt(4) * gen.grad_coef[0];
  }
  if (chg == 1.0 || (var.tlb_below_300 && z < 300.0))
    c.t_lb = lt(2) * (1.0 + sw[16] * E(gen.dens_coef[3])) * gen.dens_coef[3][0];
  gts3c.g0 = c.g0;
  gts3c.t_lb = c.t_lb;
  gts3c.shape = c.g0 / (c.tinf - c.t_lb);

  // Node temperatures of the lower-thermosphere spline.
  double(*tl)[100] = gen.tlow_coef;
  double(*tm)[100] = gen.tmid_coef;
  const double base5 = lt(5) * tl[3][0];
  if (z < 300.0) {
    if (chg == 1.0 || c.alast >= 300.0) {
      tn1[1] = lt(7) * tl[0][0] / (1.0 - sw[17] * L(tl[0]));
      tn1[2] = lt(3) * tl[1][0] / (1.0 - sw[17] * L(tl[1]));
      tn1[3] = lt(8) * tl[2][0] / (1.0 - sw[17] * L(tl[2]));
      tn1[4] = base5 / (1.0 - sw[17] * sw[19] * L(tl[3]));
      tgn1[1] = lt(9) * tm[8][0] * (1.0 + sw[17] * sw[19] * L(tm[8])) * tn1[4] * tn1[4] /
                (base5 * base5);
    }
  } else {
    tn1[1] = lt(7) * tl[0][0];
    tn1[2] = lt(3) * tl[1][0];
    tn1[3] = lt(8) * tl[2][0];
    tn1[4] = base5;
    tgn1[1] = var.tgn1_ratio_above_300 ? lt(9) * tm[8][0] * tn1[4] * tn1[4] / (base5 * base5)
                                       : lt(9) * tm[8][0];
  }
  gts3c.z_ref = zn1[3];
  gts3c.t_ref = tn1[3];
  gts3c.tr12 = 1.0;

  if (mass == 0) {
    // Temperature only.
    densu(std::fabs(z), 1.0, c.tinf, c.t_lb, 0.0, 0.0, &t[1], lt(6), gts3c.shape, 5, zn1, tn1,
          tgn1, var.splint_msg);
  } else {
    const double g28 = sw[20] * E(gen.dens_coef[2]);
    const double day = std::fmod(yrd, 1000.0);
    // Turbopause height, varying with latitude and season.
    const double zhf = ax(25, 2) * (1.0 + sw[4] * ax(25, 1) * std::sin(kDgtr * glat) *
                                              std::cos(kDr * (day - gen.tinf_coef[13])));
    t[0] = c.tinf;
    const double xmm = ld(5, 3);

    bool valid = false;
    for (int i = 0; i < var.n_mass_codes; ++i) valid = valid || mass == kMassCodes[i];
    if (!valid) {
      report_invalid_mass(mass);
    } else {
      const int m = mass;
      const bool mix = sw[14] != 0.0;
      const double* ml = var.mix_limits;
      const double* td = var.thermal_diff;
      double tz = 0.0;
      // Lower-boundary density of the species of base column cb and
      // coefficient column k.
      auto dblb = [&](int cb, int k) {
        return ld(1, cb) * std::exp(sw[20] * E(gen.dens_coef[k - 1])) * gen.dens_coef[k - 1][0];
      };
      // Mixed density of a species at z and its blend into the diffusive
      // density d(q); returns b, the density at the turbopause altitude.
      auto mixing = [&](int q, int cb, double db, double xm, double alpha, double* dm_field) {
        const double b = densu_at(ld(3, cb), db, xm - xmm, alpha - 1.0, &t[1]);
        *dm_field = densu_at(z, b, xmm, 0.0, &t[1]);
        d[q - 1] = blend(&d[q - 1], *dm_field, c.zhm28, xmm, xm, var.dnet_msg);
        return b;
      };

      // N2: every other species refers its mixing ratio to it.
      if (z <= ml[5] || m == 28 || m == 48) {
        gts3c.db_n2 = ld(1, 3) * std::exp(g28) * gen.dens_coef[2][0];
        d[2] = densu_at(z, gts3c.db_n2, 28.0, td[2], &t[1]);
        gts3c.dd = d[2];
        const double zh28 = ld(3, 3) * zhf;
        c.zhm28 = ld(4, 3) * ax(6, 2);
        c.b28 = densu_at(zh28, gts3c.db_n2, 28.0 - xmm, td[2] - 1.0, &tz);
        if (mix && z <= ml[2]) {
          c.dm_n2 = densu_at(z, c.b28, xmm, td[2], &tz);
          dmix.dm_n2 = c.dm_n2;
          d[2] = blend(&d[2], c.dm_n2, c.zhm28, xmm, 28.0, var.dnet_msg);
        }
      }
      const double b28 = c.b28;

      // He
      if (m == 48 || m == 4) {
        gts3c.db_he = dblb(1, 1);
        d[0] = densu_at(z, gts3c.db_he, 4.0, td[0], &t[1]);
        gts3c.dd = d[0];
        if (mix && z <= ml[0]) {
          const double b = mixing(1, 1, gts3c.db_he, 4.0, td[0], &dmix.dm_he);
          gts3c.rl = std::log(b28 * ld(2, 1) / b);
          d[0] *= ccor(z, gts3c.rl, ld(6, 1) * ax(2, 2), ld(5, 1) * ax(1, 2));
        }
      }
      // O
      if (m == 48 || m == 16 || m == 49) {
        gts3c.db_o = dblb(2, 2);
        d[1] = densu_at(z, gts3c.db_o, 16.0, td[1], &t[1]);
        gts3c.dd = d[1];
        if (mix && z <= ml[1]) {
          const double b = mixing(2, 2, gts3c.db_o, 16.0, td[1], &dmix.dm_o);
          if (var.o_flux_ratio) {
            gts3c.rl = ld(2, 2) * ax(17, 2) * (1.0 + sw[0] * ax(24, 1) * (f107a - 150.0));
            d[1] *= ccor2(z, gts3c.rl, ld(6, 2) * ax(4, 2), ld(5, 2) * ax(3, 2), ld(6, 2) * ax(5, 2));
          } else {
            gts3c.rl = std::log(b28 * ld(2, 2) * std::fabs(ax(17, 2)) / b);
            d[1] *= ccor(z, gts3c.rl, ld(6, 2) * ax(4, 2), ld(5, 2) * ax(3, 2));
          }
          // Chemistry loss.
          d[1] *= ccor(z, ld(4, 2) * ax(15, 2), ld(8, 2) * ax(14, 2), ld(7, 2) * ax(13, 2));
        }
      }
      // O2
      if (m == 48 || m == 32 || m == 49) {
        gts3c.db_o2 = dblb(4, 5);
        d[3] = densu_at(z, gts3c.db_o2, 32.0, td[3], &t[1]);
        gts3c.dd = (m == 49) ? gts3c.dd + 2.0 * d[3] : d[3];
        if (mix) {
          if (z <= ml[3]) {
            const double b = mixing(4, 4, gts3c.db_o2, 32.0, td[3], &dmix.dm_o2);
            gts3c.rl = std::log(b28 * ld(2, 4) / b);
            d[3] *= ccor(z, gts3c.rl, ld(6, 4) * ax(8, 2), ld(5, 4) * ax(7, 2));
          }
          if (var.o2_departure) {
            // Departure from photochemical equilibrium, at every altitude.
            const double rc32 = ld(4, 4) * ax(24, 2) * (1.0 + sw[0] * ax(24, 1) * (f107a - 150.0));
            d[3] *= ccor2(z, rc32, ld(8, 4) * ax(23, 2), ld(7, 4) * ax(22, 2), ld(8, 4) * ax(23, 1));
          }
        }
      }
      // Ar
      if (m == 48 || m == 40) {
        gts3c.db_ar = dblb(5, 6);
        d[4] = densu_at(z, gts3c.db_ar, 40.0, td[4], &t[1]);
        gts3c.dd = d[4];
        if (mix && z <= ml[4]) {
          const double b = mixing(5, 5, gts3c.db_ar, 40.0, td[4], &dmix.dm_ar);
          gts3c.rl = std::log(b28 * ld(2, 5) / b);
          d[4] *= ccor(z, gts3c.rl, ld(6, 5) * ax(10, 2), ld(5, 5) * ax(9, 2));
        }
      }
      // H
      if (m == 48 || m == 1) {
        gts3c.db_h = dblb(6, 7);
        d[6] = densu_at(z, gts3c.db_h, 1.0, td[6], &t[1]);
        gts3c.dd = d[6];
        if (mix && z <= ml[6]) {
          const double b = mixing(7, 6, gts3c.db_h, 1.0, td[6], &dmix.dm_h);
          gts3c.rl = std::log(b28 * ld(2, 6) * std::fabs(ax(18, 2)) / b);
          d[6] *= ccor(z, gts3c.rl, ld(6, 6) * ax(12, 2), ld(5, 6) * ax(11, 2));
          d[6] *= ccor(z, ld(4, 6) * ax(21, 2), ld(8, 6) * ax(20, 2), ld(7, 6) * ax(19, 2));
        }
      }
      // N
      if (m == 48 || m == 14 || (var.h_then_n && m == 1)) {
        gts3c.db_n = dblb(7, 8);
        d[7] = densu_at(z, gts3c.db_n, 14.0, td[7], &t[1]);
        gts3c.dd = d[7];
        if (mix && z <= ml[7]) {
          const double b = mixing(8, 7, gts3c.db_n, 14.0, td[7], &dmix.dm_n);
          gts3c.rl = std::log(b28 * ld(2, 7) * std::fabs(ax(3, 1)) / b);
          d[7] *= ccor(z, gts3c.rl, ld(6, 7) * ax(2, 1), ld(5, 7) * ax(1, 1));
          d[7] *= ccor(z, ld(4, 7) * ax(6, 1), ld(8, 7) * ax(5, 1), ld(7, 7) * ax(4, 1));
        }
      }
      // Anomalous oxygen: a hot isothermal population joined to an
      // exponential fall-off below zmho.
      if (var.anomalous_o && (m == 48 || m == 17)) {
        const double db16h = dblb(8, 9);
        const double tho = ld(10, 8) * ax(7, 1);
        double t2 = 0.0;
        gts3c.dd = densu(z, db16h, tho, tho, 16.0, td[8], &t2, lt(6), gts3c.shape, 5, zn1, tn1,
                         tgn1, var.splint_msg);
        const double zsht = ld(6, 8);
        const double zmho = ld(5, 8);
        const double q = 1.0 + zmho / parmb.re_eff;
        const double zsho = 831.4 * tho / (parmb.gsurf / (q * q) * 16.0);  // scale height
        d[8] = gts3c.dd * std::exp(-zsht / zsho * (std::exp(-(z - zmho) / zsht) - 1.0));
        // The hot population has a temperature of its own; t(2) is that of
        // the atmosphere, which the N2 step gives up to its limit. Above it,
        // with anomalous oxygen alone, nothing else evaluates the profile, so
        // take the temperature here (z is above za there: the Bates value,
        // as every species call gives it, and no node is touched); t(2) would
        // otherwise be what an earlier call left.
        if (m == 17 && !(z <= ml[5])) densu_at(z, 1.0, 0.0, 0.0, &t[1]);
      }
      if (m == 48) {
        d[5] = kAmu * (4.0 * d[0] + 16.0 * d[1] + 28.0 * d[2] + 32.0 * d[3] + 40.0 * d[4] + d[6] +
                       14.0 * d[7]);
        gts3c.db_mass = kAmu * (4.0 * gts3c.db_he + 16.0 * gts3c.db_o + 28.0 * gts3c.db_n2 +
                                32.0 * gts3c.db_o2 + 40.0 * gts3c.db_ar + gts3c.db_h +
                                14.0 * gts3c.db_n);
      }
    }
  }

  if (*gen.metric_units == 1) {
    for (int i = 0; i < var.n_dens; ++i) d[i] *= 1.0e6;
    d[5] *= 0.001;
  }
  c.alast = z;
}

// ---------------------------------------------------------------------------
// Full-altitude entry
// ---------------------------------------------------------------------------

void full_altitude(Generation& gen, int iyd, double sec, double alt, double glat, double glong,
                   double stl, double f107a, double f107, const double* ap, int mass, double* d,
                   double* t) {
  const Variant& var = gen.v;
  EntryCache& c = *gen.entry;
  // An altitude that is not a number lies in neither part of the profile
  // (below it would read as no altitude at all, a temperature of 0 K): no
  // result, and the kept values stay those of the last real altitude.
  if (std::isnan(alt)) {
    for (int i = 0; i < var.n_dens; ++i) d[i] = alt;
    t[0] = t[1] = alt;
    return;
  }
  ensure_switches(gen);
  datime = *gen.version;
  const double* sw = csw.sw;
  const double* a = gen.mid_avg;
  double(*tm)[100] = gen.tmid_coef;
  auto ld = [&](int i, int k) { return gen.lb_dens[k - 1][i - 1]; };
  auto L = [&](double* p) { return glob(gen, p); };

  const double chg = inputs_changed(*gen.inputs, iyd, sec, glat, glong, stl, f107a, f107, ap, 1);

  gravity_at_latitude(sw[1] == 0.0 ? 45.0 : glat, &parmb.gsurf, &parmb.re_eff);
  const double xmm = ld(5, 3);

  // Thermosphere at the altitude, or at 72.5 km below it.
  const double altt = std::max(alt, kZtop);
  int mss = mass;
  if (alt < kZmix && mss > 0) mss = 28;
  // The kept values are reused only in the units they were computed in.
  // The node temperatures below are renewed from the lower-thermosphere
  // nodes and the lower-atmosphere expansion of this point, which live in
  // records that a direct thermosphere call for another point (or the same
  // point at another altitude) rewrites: whenever nodes are due, the
  // thermosphere runs again for this point first, so that they are the
  // point's own (with nothing in between it gives the kept values again).
  const bool nodes_due = alt < kZtop && (c.alast >= kZtop || (alt <= kZn3[0] && c.alast >= kZn3[0]));
  if (!(chg == 0.0 && alt <= kZtop && c.alast <= kZtop && !nodes_due && mss == c.mssl &&
        *gen.metric_units == c.metric)) {
    thermosphere(gen, iyd, sec, altt, glat, glong, stl, f107a, f107, ap, mss, c.ds, c.ts);
    c.dm28m = gen.thermo->dm_n2;
    if (*gen.metric_units == 1) c.dm28m *= 1.0e6;
    c.mssl = mss;
    c.metric = *gen.metric_units;
  }
  t[0] = c.ts[0];
  t[1] = c.ts[1];
  if (alt >= kZtop) {
    for (int i = 0; i < var.n_dens; ++i) d[i] = c.ds[i];
    c.alast = alt;
    return;
  }

  // Mesosphere and stratosphere nodes.
  if (chg == 1.0 || c.alast >= kZtop) {
    gen.tgn2[0] = gen.tgn1[1];
    gen.tn2[0] = gen.tn1[4];
    gen.tn2[1] = a[0] * tm[0][0] / (1.0 - sw[19] * L(tm[0]));
    gen.tn2[2] = a[1] * tm[1][0] / (1.0 - sw[19] * L(tm[1]));
    gen.tn2[3] = a[2] * tm[2][0] / (1.0 - sw[19] * sw[21] * L(tm[2]));
    const double r = tm[2][0] * a[2];
    gen.tgn2[1] = a[8] * tm[9][0] * (1.0 + sw[19] * sw[21] * L(tm[9])) * gen.tn2[3] * gen.tn2[3] /
                  (r * r);
    gen.tn3[0] = gen.tn2[3];
  }
  // The lower spline section is entered at its top node too (densm takes it
  // for alt <= 32.5 km), so its nodes must exist there: at exactly 32.5 km
  // they carry zero weight, but never-set (zero) nodes would turn the profile
  // into NaN on a first call at that altitude.
  if (alt <= kZn3[0] && (chg == 1.0 || c.alast >= kZn3[0])) {
    // Stratosphere and troposphere nodes.
    gen.tgn3[0] = gen.tgn2[1];
    for (int k = 1; k <= 4; ++k)
      gen.tn3[k] = a[k + 2] * tm[k + 2][0] / (1.0 - sw[21] * L(tm[k + 2]));
    const double r = tm[6][0] * a[6];
    gen.tgn3[1] = a[7] * tm[7][0] * (1.0 + sw[21] * L(tm[7])) * gen.tn3[4] * gen.tn3[4] / (r * r);
  }

  double tz = 0.0;
  if (mass == 0) {
    gts3c.dd = densm(alt, 1.0, 0.0, &tz, 5, kZn3, gen.tn3, gen.tgn3, 4, kZn2, gen.tn2, gen.tgn2,
                     var.splint_msg);
    t[1] = tz;
    c.alast = alt;
    return;
  }

  // Linear blend of the thermospheric and fully mixed densities between
  // zmix and 72.5 km.
  const double dmc = (alt > kZmix) ? 1.0 - (kZtop - alt) / (kZtop - kZmix) : 0.0;
  const double* ds = c.ds;
  const double dz28 = ds[2];
  // With no mixed N2 density computed yet (switch 15 off from the start) the
  // thermospheric N2 density at 72.5 km stands in for it: the profile below
  // then starts from the value above, and no ratio divides by zero.
  const bool have_mixed = c.dm28m > 0.0;
  const double dm28m = have_mixed ? c.dm28m : dz28;
  const double dmr = have_mixed ? dz28 / dm28m - 1.0 : 0.0;
  d[2] = densm(alt, dm28m, xmm, &tz, 5, kZn3, gen.tn3, gen.tgn3, 4, kZn2, gen.tn2, gen.tgn2,
               var.splint_msg) *
         (1.0 + dmr * dmc);
  // He, O2 and Ar follow N2 with their mixing ratios, blended with the
  // thermospheric ratios above zmix.
  auto follow = [&](int q, int cb) {
    const double r = (dz28 != 0.0) ? ds[q] / (dz28 * ld(2, cb)) - 1.0 : 0.0;
    return d[2] * ld(2, cb) * (1.0 + r * dmc);
  };
  d[0] = (mass == 4 || mass == 48) ? follow(0, 1) : 0.0;
  d[1] = 0.0;
  d[3] = (mass == 32 || mass == 48) ? follow(3, 4) : 0.0;
  d[4] = (mass == 40 || mass == 48) ? follow(4, 5) : 0.0;
  d[6] = 0.0;
  d[7] = 0.0;
  if (var.n_dens > 8) d[8] = 0.0;
  if (mass == 48) {
    d[5] = kAmu * (4.0 * d[0] + 16.0 * d[1] + 28.0 * d[2] + 32.0 * d[3] + 40.0 * d[4] + d[6] +
                   14.0 * d[7]);
    if (*gen.metric_units == 1) d[5] *= 0.001;
  } else {
    d[5] = 0.0;
  }
  t[1] = tz;
  c.alast = alt;
}

// ---------------------------------------------------------------------------
// Pressure-level search
// ---------------------------------------------------------------------------

void pressure_level(Generation& gen, int iyd, double sec, double* alt, double glat, double glong,
                    double stl, double f107a, double f107, const double* ap, double* d,
                    double* t, double press) {
  const Variant& var = gen.v;
  constexpr double bm = 1.3806e-19;  // Boltzmann constant in mb cm^3 / K
  constexpr double rgas = 831.4;
  constexpr double test = 0.00043;
  const double pl = std::log10(press);
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
    const int iday = iyd % 1000;
    const double cl = glat / 90.0;
    const double cl2 = cl * cl;
    const double frac = var.ghp_day_by_product ? iday * 0.010958904109589041 : iday / 91.25;
    const double cd = (iday < 182) ? 1.0 - frac : frac - 3.0;
    double ca = 0.0;
    if (pl > -1.11 && pl <= -0.23) ca = 1.0;
    if (pl > -0.23) ca = (2.79 - pl) / (2.79 + 0.23);
    if (pl <= -1.11 && pl > -3.0) ca = (-2.93 - pl) / (-2.93 + 1.11);
    z = zi - 4.87 * cl * cd * ca - 1.64 * cl2 * ca + 0.31 * ca * cl;
  } else {
    z = 22.0 * (pl + 4.0) * (pl + 4.0) + 110.0;
  }

  int l = 0;
  double diff = 0.0;
  for (;;) {
    ++l;
    full_altitude(gen, iyd, sec, z, glat, glong, stl, f107a, f107, ap, 48, d, t);
    const double xn = d[0] + d[1] + d[2] + d[3] + d[4] + d[6] + d[7];
    double p = bm * xn * t[1];
    if (*gen.metric_units == 1) p *= 1.0e-6;
    diff = pl - std::log10(p);
    if (std::fabs(diff) < test || l == var.ghp_max_steps) break;
    double xm = d[5] / xn / 1.66e-24;
    if (*gen.metric_units == 1) xm *= 1.0e3;
    const double q = 1.0 + z / parmb.re_eff;
    const double g = parmb.gsurf / (q * q);
    const double sh = rgas * t[1] / (g * xm);
    // Newton steps on ln p: diff is a decimal logarithm, so the factor ln 10
    // makes the first steps full ones; the later ones (NRLMSISE-00 from the
    // sixth) drop it and move ln 10 times less.
    if (l < var.ghp_damped_steps)
      z = z - sh * diff * 2.302;
    else
      z = z - sh * diff;
  }
  if (l == var.ghp_max_steps) {
    char f1[48], f2[48], line[160];
    fortran_e12_2(f1, sizeof f1, press);
    fortran_e12_2(f2, sizeof f2, diff);
    std::snprintf(line, sizeof line, "%s%s%s", var.ghp_msg, f1, f2);
    msg(line);
  }
  *alt = z;
}

}  // namespace kest::msis
