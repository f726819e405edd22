// Computations shared by the MSIS generations, and the shared records.
//
// References: Hedin, A. E., J. Geophys. Res. 92, 4649 (1987) and 96, 1159
// (1991); Picone, J. M., et al., J. Geophys. Res. 107, 1468 (2002).
// The spline routines are the standard tridiagonal construction of a cubic
// interpolating spline and its analytic integral.
#include "atmosphere/msis_common.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "atmosphere/atmosphere_state.hpp"
#include "frame/c_numbers.hpp"
#include "frame/conventions.hpp"

namespace kest {

Csw csw{};
Cswi cswi{0};
Parmb parmb{};
Gts3c gts3c{};
Dmix dmix{};
Lpoly lpoly{};
Lpolyi lpolyi{0};
Ttest ttest{};
Datime datime{};

}  // namespace kest

namespace kest::msis {

namespace {

// Gas constant in the units of the profiles: 831.4 * T / (g * m) is a length
// in km with g in cm/s^2 and m the molecular mass in atomic mass units.
constexpr double kRgas = 831.4;

// Geopotential height difference between z and zl for the effective radius re.
inline double zeta(double z, double zl, double re) { return (z - zl) * (re + zl) / (re + z); }

// Spline of inverse temperature through one section of nodes zn(1..n) (zn(1)
// the top), evaluated at the height z: section_setup returns the temperature
// in *temp and keeps the spline, whose integral section_exponent turns into
// the hydrostatic exponent.
struct Section {
  double z1, t1, zgdif, x;
  double xs[kMaxNodes], ys[kMaxNodes], y2[kMaxNodes];
  int n;
};

void section_setup(Section& s, double z, int n, const double* zn, const double* tn,
                   const double* tg, double* temp, const char* msg) {
  const double re = parmb.re_eff;
  n = std::clamp(n, 0, kMaxNodes);
  s.n = n;
  const double z1 = zn[0], z2 = zn[n - 1];
  const double t1 = tn[0], t2 = tn[n - 1];
  const double zg = zeta(z, z1, re);
  const double zgdif = zeta(z2, z1, re);
  for (int k = 0; k < n; ++k) {
    s.xs[k] = zeta(zn[k], z1, re) / zgdif;
    s.ys[k] = 1.0 / tn[k];
  }
  const double yd1 = -tg[0] / (t1 * t1) * zgdif;
  const double r = (re + z2) / (re + z1);
  const double yd2 = -tg[1] / (t2 * t2) * zgdif * (r * r);
  spline(s.xs, s.ys, n, yd1, yd2, s.y2);
  s.x = zg / zgdif;
  double y = 0.0;
  splint(s.xs, s.ys, s.y2, n, s.x, &y, msg);
  *temp = 1.0 / y;
  s.z1 = z1;
  s.t1 = t1;
  s.zgdif = zgdif;
}

// Hydrostatic exponent gamm * integral of the section for molecular mass xm
// (gravity taken at the top node).
double section_exponent(const Section& s, double xm) {
  const double q = 1.0 + s.z1 / parmb.re_eff;
  const double glb = parmb.gsurf / (q * q);
  const double gamm = xm * glb * s.zgdif / kRgas;
  double yi = 0.0;
  splini(s.xs, s.ys, s.y2, s.n, s.x, &yi);
  return gamm * yi;
}

}  // namespace

void set_switches(const double* sv, double* saved, bool swc_any_nonzero) {
  for (int i = 0; i < 25; ++i) {
    saved[i] = sv[i];
    csw.sw[i] = std::fmod(sv[i], 2.0);
    const double a = std::fabs(sv[i]);
    const bool cross = swc_any_nonzero ? (sv[i] != 0.0) : (a == 1.0 || a == 2.0);
    csw.swc[i] = cross ? 1.0 : 0.0;
  }
  cswi.isw = kSwitchesSet;
}

InputCache make_input_cache() {
  InputCache c{};
  for (auto& s : c.slot) {
    s.iyd = -999;
    s.sec = s.glat = s.glong = s.stl = s.f107a = s.f107 = -999.0;
    std::fill(std::begin(s.ap), std::end(s.ap), -999.0);
    std::fill(std::begin(s.sw), std::end(s.sw), -999.0);
    std::fill(std::begin(s.swc), std::end(s.swc), -999.0);
  }
  return c;
}

double inputs_changed(InputCache& cache, int iyd, double sec, double glat, double glong,
                      double stl, double f107a, double f107, const double* ap, int ic) {
  InputCache::Slot& s = cache.slot[ic == 2 ? 1 : 0];
  bool same = iyd == s.iyd && sec == s.sec && glat == s.glat && glong == s.glong &&
              stl == s.stl && f107a == s.f107a && f107 == s.f107;
  for (int i = 0; same && i < 7; ++i) same = ap[i] == s.ap[i];
  for (int i = 0; same && i < 25; ++i) same = csw.sw[i] == s.sw[i] && csw.swc[i] == s.swc[i];
  if (same) return 0.0;
  s.iyd = iyd;
  s.sec = sec;
  s.glat = glat;
  s.glong = glong;
  s.stl = stl;
  s.f107a = f107a;
  s.f107 = f107;
  std::copy(ap, ap + 7, s.ap);
  std::copy(std::begin(csw.sw), std::end(csw.sw), s.sw);
  std::copy(std::begin(csw.swc), std::end(csw.swc), s.swc);
  return 1.0;
}

void gravity_at_latitude(double lat, double* gv, double* reff) {
  // International gravity formula in the form of the MSIS releases.
  constexpr double dgtr = 1.74533e-2;
  const double c2 = std::cos(2.0 * dgtr * lat);
  *gv = 980.616 * (1.0 - 0.0026373 * c2);
  *reff = 2.0 * (*gv) / (3.085462e-6 + 2.27e-9 * c2) * 1.0e-5;
}

void spline(const double* x, const double* y, int n, double yp1, double ypn, double* y2) {
  if (n <= 0) return;
  if (n == 1) {
    y2[0] = 0.0;
    return;
  }
  n = std::min(n, kMaxNodes);
  double u[kMaxNodes];
  if (yp1 > 0.99e30) {
    y2[0] = 0.0;
    u[0] = 0.0;
  } else {
    y2[0] = -0.5;
    u[0] = (3.0 / (x[1] - x[0])) * ((y[1] - y[0]) / (x[1] - x[0]) - yp1);
  }
  for (int i = 1; i < n - 1; ++i) {
    const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
    const double p = sig * y2[i - 1] + 2.0;
    y2[i] = (sig - 1.0) / p;
    u[i] = (6.0 * ((y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1])) /
                (x[i + 1] - x[i - 1]) -
            sig * u[i - 1]) /
           p;
  }
  double qn, un;
  if (ypn > 0.99e30) {
    qn = 0.0;
    un = 0.0;
  } else {
    qn = 0.5;
    un = (3.0 / (x[n - 1] - x[n - 2])) * (ypn - (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]));
  }
  y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
  for (int k = n - 2; k >= 0; --k) y2[k] = y2[k] * y2[k + 1] + u[k];
}

void splint(const double* xa, const double* ya, const double* y2a, int n, double x, double* y,
            const char* bad_nodes_msg) {
  if (n <= 0) return;
  if (n == 1) {
    *y = ya[0];
    return;
  }
  // A longer section is the spline of its first nodes only (spline sets no
  // second derivative beyond them).
  n = std::min(n, kMaxNodes);
  int klo = 1, khi = n;
  while (khi - klo > 1) {
    const int k = (khi + klo) / 2;
    if (xa[k - 1] > x)
      khi = k;
    else
      klo = k;
  }
  const double h = xa[khi - 1] - xa[klo - 1];
  if (h == 0.0) msg(bad_nodes_msg);
  const double a = (xa[khi - 1] - x) / h;
  const double b = (x - xa[klo - 1]) / h;
  *y = a * ya[klo - 1] + b * ya[khi - 1] +
       ((a * a * a - a) * y2a[klo - 1] + (b * b * b - b) * y2a[khi - 1]) * h * h / 6.0;
}

void splini(const double* xa, const double* ya, const double* y2a, int n, double x, double* yi) {
  *yi = 0.0;
  n = std::min(n, kMaxNodes);  // as in spline and splint
  int klo = 1, khi = 2;
  while (khi <= n && x > xa[klo - 1]) {
    const double xx = khi < n ? std::min(x, xa[khi - 1]) : x;
    const double h = xa[khi - 1] - xa[klo - 1];
    const double a = (xa[khi - 1] - xx) / h;
    const double b = (xx - xa[klo - 1]) / h;
    const double a2 = a * a;
    const double b2 = b * b;
    *yi += ((1.0 - a2) * ya[klo - 1] / 2.0 + b2 * ya[khi - 1] / 2.0 +
            ((-(1.0 + a2 * a2) / 4.0 + a2 / 2.0) * y2a[klo - 1] + (b2 * b2 / 4.0 - b2 / 2.0) * y2a[khi - 1]) *
                h * h / 6.0) *
           h;
    ++klo;
    ++khi;
  }
}

double densu(double alt, double dlb, double tinf, double tlb, double xm, double alpha, double* tz,
             double zlb, double s2, int mn1, const double* zn1, double* tn1, double* tgn1,
             const char* bad_nodes_msg) {
  // A section without nodes has no joining altitude to read: nothing to
  // compute (the models themselves always pass 5 nodes).
  if (mn1 < 1) return *tz = baddata;
  const double re = parmb.re_eff;
  const double za = zn1[0];
  const double z = std::max(alt, za);
  // Bates temperature above za.
  const double zg2 = zeta(z, zlb, re);
  const double tt = tinf - (tinf - tlb) * std::exp(-s2 * zg2);
  const double ta = tt;
  *tz = tt;
  double result = *tz;

  Section sec{};
  if (alt < za) {
    // Join the spline to the Bates profile with continuous temperature and
    // gradient at za.
    const double r = (re + zlb) / (re + za);
    tgn1[0] = (tinf - ta) * s2 * (r * r);
    tn1[0] = ta;
    const int n = std::clamp(mn1, 1, kMaxNodes);
    const double zs = std::max(alt, zn1[n - 1]);
    section_setup(sec, zs, n, zn1, tn1, tgn1, tz, bad_nodes_msg);
    result = *tz;
  }
  if (xm == 0.0) return result;

  // Diffusive density on the Bates part (closed form).
  const double q = 1.0 + zlb / re;
  const double glb = parmb.gsurf / (q * q);
  const double gamma = xm * glb / (s2 * kRgas * tinf);
  double expl = std::exp(-s2 * gamma * zg2);
  if (expl > 50.0 || tt <= 0.0) expl = 50.0;
  const double densa = dlb * std::pow(tlb / tt, 1.0 + alpha + gamma) * expl;
  result = densa;
  // Only below za was the section set up (an altitude that is not a number
  // is not below it).
  if (!(alt < za)) return result;

  // Below za: integrate the spline section.
  double e = section_exponent(sec, xm);
  if (e > 50.0 || *tz <= 0.0) e = 50.0;
  return densa * std::pow(sec.t1 / *tz, 1.0 + alpha) * std::exp(-e);
}

double densm(double alt, double d0, double xm, double* tz, int mn3, const double* zn3,
             const double* tn3, const double* tgn3, int mn2, const double* zn2,
             const double* tn2, const double* tgn2, const char* bad_nodes_msg) {
  double result = d0;
  // A section without nodes has no top altitude to read (the models
  // always pass 4 and 5 nodes).
  if (mn2 < 1) return *tz = baddata;
  if (alt <= zn2[0]) {
    // Upper section (stratopause and mesosphere), not extrapolated below its
    // last node.
    Section sec;
    const int n2 = std::clamp(mn2, 1, kMaxNodes);
    section_setup(sec, std::max(alt, zn2[n2 - 1]), n2, zn2, tn2, tgn2, tz, bad_nodes_msg);
    if (xm != 0.0) {
      const double e = std::min(section_exponent(sec, xm), 50.0);
      result = result * (sec.t1 / *tz) * std::exp(-e);
    }
    if (mn3 < 1) return *tz = baddata;
    if (alt <= zn3[0]) {
      // Lower section (stratosphere and troposphere) down to alt itself.
      const int n3 = std::clamp(mn3, 1, kMaxNodes);
      section_setup(sec, alt, n3, zn3, tn3, tgn3, tz, bad_nodes_msg);
      if (xm != 0.0) {
        const double e = std::min(section_exponent(sec, xm), 50.0);
        result = result * (sec.t1 / *tz) * std::exp(-e);
      }
    }
  }
  if (xm == 0.0) return *tz;
  return result;
}

double dnet(double* dd, double dm, double zhm, double xmm, double xm, const char* log_error_msg) {
  const double a = zhm / (xmm - xm);
  if (log_error_msg != nullptr && !(dm > 0.0 && *dd > 0.0)) {
    char line[160];
    fio::c_snprintf(line, sizeof line, "%s %24.16E %24.16E %24.16E", log_error_msg, dm, *dd, xm);
    msg(line);
    // A negative density (from a profile carried past its domain) is treated
    // as an absent one, so the blend never takes the logarithm of a negative
    // ratio.
    if (!(*dd > 0.0) && !(dm > 0.0)) *dd = 1.0;
    if (!(dm > 0.0)) return *dd;
    return dm;
  }
  const double ylog = a * std::log(dm / *dd);
  if (ylog < -10.0) return *dd;
  if (ylog > 10.0) return dm;
  return *dd * std::pow(1.0 + std::exp(ylog), 1.0 / a);
}

void legendre(double lat, double (*plg)[9]) {
  constexpr double dgtr = 1.74533e-2;
  const double c = std::sin(lat * dgtr);
  const double s = std::cos(lat * dgtr);
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
}

double ap_history(const double* ap, double e, double p25, double p26) {
  const double a = std::fabs(p25);
  auto g = [&](double x) {
    return (x - 4.0) + (p26 - 1.0) * ((x - 4.0) + (std::exp(-a * (x - 4.0)) - 1.0) / a);
  };
  const double e2 = e * e, e3 = e2 * e, e4 = e3 * e, e8 = e4 * e4, e12 = e8 * e4;
  const double e19 = e12 * e4 * e3;
  const double norm = 1.0 + (1.0 - e19) / (1.0 - e) * std::sqrt(e);
  return (g(ap[1]) + (g(ap[2]) * e + g(ap[3]) * e2 + g(ap[4]) * e3 +
                      (g(ap[5]) * e4 + g(ap[6]) * e12) * (1.0 - e8) / (1.0 - e))) /
         norm;
}

double ccor(double alt, double r, double h1, double zh) {
  const double e = (alt - zh) / h1;
  double c;
  if (e > 70.0)
    c = 0.0;
  else if (e < -70.0)
    c = r;
  else
    c = r / (1.0 + std::exp(e));
  return std::exp(c);
}

double ccor2(double alt, double r, double h1, double zh, double h2) {
  const double e1 = (alt - zh) / h1;
  const double e2 = (alt - zh) / h2;
  double c;
  if (e1 > 70.0 || e2 > 70.0)
    c = 0.0;
  else if (e1 < -70.0 && e2 < -70.0)
    c = r;
  else
    c = r / (1.0 + 0.5 * (std::exp(e1) + std::exp(e2)));
  return std::exp(c);
}

}  // namespace kest::msis
