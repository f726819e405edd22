// Tsyganenko 2001 (T01_01) and 2004 storm (T04_s) external field models:
// entries, module sums, the model dipole and the magnetopause shielding field
// of the dipole, and the adaptors through which the field routine calls them.
//
// Both models sum the same modules at a point scaled by a power of the solar
// wind pressure: the shielding field of the dipole, two tail current modes,
// Region 1 and 2 Birkeland currents (two modes each), a symmetric and a
// partial ring current, and a uniform penetrated IMF. Each module enters with
// an amplitude computed from the drivers. The sum is blended with the IMF
// outside a model magnetopause across a thin boundary layer; outside it only
// the penetrated IMF minus the model dipole remains, so that adding the
// internal field leaves the IMF there. The models differ in their
// coefficients, in how the amplitudes and geometry depend on the drivers
// (2001: G indices; 2004: the storm-time W integrals), and in a few fixed
// choices (the width of the boundary layer, the Birkeland tilt clamp, the
// dipole's tilt cache).
#include <algorithm>
#include <cmath>

#include "extfield/extfield_state.hpp"
#include "extfield/tsyganenko01.hpp"
#include "extfield/tsyganenko01_tables.hpp"
#include "extfield/champ_adaptors.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace kest::t01 {

namespace {

// Magnetopause of the module sums: sigma of the surface, offset and size
// (Earth radii, before division by the pressure factor).
constexpr double kSigma0 = 1.196;
constexpr double kMpOffset = 3.4397;
constexpr double kMpSize = 34.586;
constexpr double kHingeCoef = -5.2;
// The bending root of the module sums, an 8-digit value of 1/3 (not 1/3).
constexpr double kBendRoot = 0.33333333;
constexpr double kUnbendTol = 1.0e-6;
// The tail-shift exponent of the 2004 model: the single-precision 0.37.
constexpr double kT04ShiftExp = 0.3700000047683716;

// Dipole tilt cache of the 2001 dipole: a field-line trace calls it
// thousands of times at one tilt.
struct Dipole01Cache {
  bool computed = false;
  double psi = 5.0;
  double sps = 0.0;
  double cps = 0.0;
};
Dipole01Cache dipole01_cache;

double sat(double w, double c) { return c * w / std::sqrt(w * w + c * c); }

}  // namespace

// dipole_01 (and dipole_04): field of the model's centred dipole, moment
// 30115 nT, in GSM.
// Given:    m  model;  psi  tilt, radians;  x, y, z  GSM, Re
// Returned: field, nT
// State:    the 2001 form keeps dipole01_cache (last tilt, its sine and
//           cosine), recomputed only on the first call or when psi moves by
//           1e-5 rad or more; the 2004 form computes them at every call.
Vec3 dipole_01(Model m, double psi, double x, double y, double z) {
  double sps, cps;
  if (m == Model::t01) {
    Dipole01Cache& c = dipole01_cache;
    if (!c.computed || !(std::fabs(psi - c.psi) < 1.0e-5)) {  // a kept NaN is replaced
      c.sps = std::sin(psi);
      c.cps = std::cos(psi);
      c.psi = psi;
      c.computed = true;
    }
    sps = c.sps;
    cps = c.cps;
  } else {
    sps = std::sin(psi);
    cps = std::cos(psi);
  }
  const double p = x * x, u = z * z, v = 3.0 * z * x, t = y * y;
  const double r2 = p + u + t;
  const double q = 30115.0 / (r2 * r2 * std::sqrt(r2));
  return Vec3{q * ((t + u - 2.0 * p) * sps - v * cps), -3.0 * y * q * (x * sps + z * cps),
              q * ((p + t - 2.0 * u) * cps - v * sps)};
}

// shlcar3x3 (shlcar3x3_01, shlcar3x3_04): magnetopause shielding field of the
// dipole, 18 Cartesian harmonics in two frames turned about y with the tilt.
// Given:    x, y, z  scaled GSM, Re;  psi  tilt, radians
// Returned: field, nT, before the caller's factor kappa^3
// Notes:    1. The first group's harmonics with the third z scale have their
//             own form (an extra linear factor), as fitted.
Vec3 shlcar3x3(double x, double y, double z, double psi) {
  const double* a = t01tab::shlcar3x3;
  const double cps = std::cos(psi), sps = std::sin(psi);
  const double s3ps = 2.0 * cps;
  const double* p = a + 36;
  const double* r = a + 39;
  const double* q = a + 42;
  const double* s = a + 45;
  const double st1 = std::sin(psi * a[48]), ct1 = std::cos(psi * a[48]);
  const double st2 = std::sin(psi * a[49]), ct2 = std::cos(psi * a[49]);
  const double x1 = x * ct1 - z * st1, z1 = x * st1 + z * ct1;
  const double x2 = x * ct2 - z * st2, z2 = x * st2 + z * ct2;
  ShieldTrig trig;
  shield_trig(p, r, q, s, y, z1, z2, trig);
  const auto& [cyp, syp, czr, szr, cyq, syq, czs, szs] = trig;
  Vec3 b1{0.0, 0.0, 0.0};
  int n = 0;
  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < 3; ++k, ++n) {
      const double gam = std::sqrt(1.0 / (p[i] * p[i]) + 1.0 / (r[k] * r[k]));
      const double e = std::exp(gam * x1);
      const double cy = cyp[i], sy = syp[i], cz = czr[k], sz = szr[k];
      double fx, hy, fz;
      if (k < 2) {
        fx = -gam * e * cy * sz;
        hy = e / p[i] * sy * sz;
        fz = -e / r[k] * cy * cz;
      } else {
        fx = -e * cy * (gam * z1 * cz + sz / r[2] * (x1 + 1.0 / gam));
        hy = e / p[i] * sy * (z1 * cz + x1 / r[2] * sz / gam);
        fz = -e * cy * (cz * (1.0 + x1 / (r[2] * r[2] * gam)) - z1 / r[2] * sz);
      }
      const double hx = fx * ct1 + fz * st1;
      const double hz = -fx * st1 + fz * ct1;
      const double amp = a[2 * n] + a[2 * n + 1] * cps;
      b1.x += amp * hx;
      b1.y += amp * hy;
      b1.z += amp * hz;
    }
  }
  Vec3 b2{0.0, 0.0, 0.0};
  n = 0;
  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < 3; ++k, ++n) {
      const double gam = std::sqrt(1.0 / (q[i] * q[i]) + 1.0 / (s[k] * s[k]));
      const double e = std::exp(gam * x2);
      const double cy = cyq[i], sy = syq[i], cz = czs[k], sz = szs[k];
      const double fx = -sps * gam * e * cy * cz;
      const double hy = sps * e / q[i] * sy * cz;
      const double fz = sps * e / s[k] * cy * sz;
      const double hx = fx * ct2 + fz * st2;
      const double hz = -fx * st2 + fz * ct2;
      const double amp = a[18 + 2 * n] + a[19 + 2 * n] * s3ps;
      b2.x += amp * hx;
      b2.y += amp * hy;
      b2.z += amp * hz;
    }
  }
  return Vec3{b1.x + b2.x, b1.y + b2.y, b1.z + b2.z};
}

// module_sum (extall for 2001, extern for 2004): total external field.
// Given:    m  model;  a  coefficient set (a[k-1] = A(k));  pdyn  nPa;
//           dstar  pressure-corrected Dst, nT;  by, bz  IMF, nT;
//           drv  V1, V2 (2001) or W1..W6 (2004);  psi  tilt, radians;
//           x, y, z  unscaled GSM position, Re
// Returned: b  external field, GSM, nT (never containing the dipole)
// State:    writes rh0 or rh0_tsyg04, g, tail, birkpar, rcpar before the
//           modules read them, and through the Birkeland module
//           dphi_b_rho0, dtheta, modenum; the 2001 dipole keeps its tilt
//           cache. Outside the magnetopause only rh0 (or rh0_tsyg04) and g
//           are written.
// Failure:  none reported; pdyn <= 0, or a position that is not a number,
//           gives not-a-number.
// Notes:    1. The unbending of the tail sheet (to locate the point against
//             the magnetopause) iterates until the summed change of x and z
//             is at most 1e-6 Re; at zero tilt it stops after one pass. A
//             not-a-number change also stops it.
void module_sum(Model m, const double* a, double pdyn, double dstar, double by, double bz,
                const double* drv, double psi, double x, double y, double z, Vec3& b) {
  const bool t01 = (m == Model::t01);
  auto A = [a](int k) { return a[k - 1]; };
  const double delta = t01 ? 0.003 : 0.005;

  // 1. Pressure scaling.
  const double xappa = std::pow(0.5 * pdyn, t01 ? A(39) : A(23));
  const double xappa3 = xappa * xappa * xappa;
  const double xx = x * xappa, yy = y * xappa, zz = z * xappa;
  const double sps = std::sin(psi);

  // 2. Hinging distance and warping.
  double h;
  if (t01) {
    rh0.rh0 = A(40);
    h = rh0.rh0;
    g.g = A(41);
  } else {
    rh0_tsyg04.rh0 = 7.5;
    h = rh0_tsyg04.rh0;
    g.g = 35.0;
  }

  // 3. Magnetopause of this pressure.
  const double x0 = kMpOffset / xappa;
  const double am = kMpSize / xappa;

  // 4. IMF penetration.
  double factimf;
  if (t01) {
    double theta = 0.0;
    if (by != 0.0 || bz != 0.0) {
      theta = std::atan2(by, bz);
      if (theta <= 0.0) theta += 6.283185307;
    }
    const double st2 = std::sin(0.5 * theta);
    factimf = A(24) + A(25) * st2 * st2;
  } else {
    factimf = A(20);
  }
  const Vec3 o{0.0, factimf * by, factimf * bz};

  // 5. Unbending of the point (unscaled).
  const double r = std::sqrt(x * x + y * y + z * z);
  double xss = x, zss = z;
  for (;;) {
    const double rh = h + kHingeCoef * (zss / r) * (zss / r);
    const double rr = r / rh;
    const double sinpsas = sps / std::pow(1.0 + rr * rr * rr, kBendRoot);
    const double cospsas = std::sqrt(1.0 - sinpsas * sinpsas);
    const double zsnew = x * sinpsas + z * cospsas;
    const double xsnew = x * cospsas - z * sinpsas;
    const double dd = std::fabs(zsnew - zss) + std::fabs(xsnew - xss);
    zss = zsnew;
    xss = xsnew;
    // Stop once the change is not above the tolerance; written so that a
    // position that is not a number (which never converges) also ends the
    // loop and gives a not-a-number field instead of an endless loop.
    if (!(dd > kUnbendTol)) break;
  }

  // 6. Magnetopause coordinate sigma.
  const double rho2 = y * y + zss * zss;
  double asq = am * am;
  double xmxm = am + xss - x0;
  if (xmxm < 0.0) xmxm = 0.0;
  const double axx0 = xmxm * xmxm;
  const double aro = asq + rho2;
  // The radicand is (a^2 - m^2)^2 + rho^2 (rho^2 + 2 a^2 + 2 m^2), never
  // negative; on the Sun-Earth line next to x = x0 it is the difference of
  // two nearly equal numbers, and rounding must not leave it below zero.
  const double disc = std::fmax((aro + axx0) * (aro + axx0) - 4.0 * asq * axx0, 0.0);
  const double sigma = std::sqrt((aro + axx0 + std::sqrt(disc)) / (2.0 * asq));

  // 7. Outside the magnetopause: penetrated IMF minus the model dipole.
  if (sigma >= kSigma0 + delta) {
    const Vec3 q = dipole_01(m, psi, x, y, z);
    b = Vec3{o.x - q.x, o.y - q.y, o.z - q.z};
    return;
  }

  // 8. Modules at the scaled point.
  const Vec3 c0 = shlcar3x3(xx, yy, zz, psi);
  const Vec3 c{xappa3 * c0.x, xappa3 * c0.y, xappa3 * c0.z};

  const double zr = std::max(std::fabs(dstar), 20.0);                  // 2001
  const double za = dstar < -20.0 ? std::fabs(dstar) : 20.0;           // 2004
  const double zt = std::pow(std::fabs(std::min(dstar, -20.0)), kT04ShiftExp);  // 2004
  if (t01) {
    const double v2 = drv[1];
    tail = Tail{A(26) + A(27) * v2, 0.0, A(28), A(29)};
  } else {
    tail = Tail{A(24) - A(25) / zt, A(26) - A(27) / zt, A(36) * std::exp(-drv[0] / A(37)) + A(69), 4.7};
  }
  Vec3 t1, t2;
  deformed(m, psi, xx, yy, zz, t1, t2);

  if (t01) {
    const double v2 = drv[1];
    birkpar = Birkpar{A(35) + A(36) * v2, A(37) + A(38) * v2};
  } else {
    birkpar = Birkpar{A(32) * std::pow(za / 20.0, A(33)), A(34) * std::pow(za / 20.0, A(35))};
  }
  Vec3 rb[4];
  birk_tot(m, psi, xx, yy, zz, rb);

  if (t01) {
    rcpar = Rcpar{A(30) * std::pow(20.0 / zr, A(31)) * xappa, A(32) * std::pow(20.0 / zr, A(33)) * xappa,
                  1.5707963 * std::tanh(std::fabs(dstar) / A(34))};
  } else {
    rcpar = Rcpar{A(28) * std::pow(20.0 / za, A(29)) * xappa, A(30) * std::pow(20.0 / za, A(31)) * xappa,
                  A(38)};
  }
  Vec3 src, prc;
  full_rc(psi, xx, yy, zz, src, prc);

  const Vec3 himf{0.0, by, bz};

  // 9. Amplitudes and the sum.
  const double pp = 0.5 * pdyn;
  double tamp1, tamp2, sramp, pramp, r11, r12, r21, r22;
  if (t01) {
    const double v1 = drv[0], v2 = drv[1];
    tamp1 = A(2) + A(3) * std::pow(pp, A(42)) + A(4) * v1 + A(5) * dstar;
    tamp2 = A(6) + A(7) * std::pow(pp, A(43)) + A(8) * v1 + A(9) * dstar;
    sramp = A(10) + A(11) * dstar + A(12) * std::sqrt(pdyn);
    pramp = A(13) + A(14) * dstar + A(15) * std::sqrt(pdyn);
    r11 = A(16) + A(17) * v2;
    r12 = A(18) + A(19) * v2;
    r21 = A(20) + A(21) * v2;
    r22 = A(22) + A(23) * v2;
  } else {
    const double* w = drv;
    tamp1 = A(2) + A(3) * std::pow(pp, A(21)) + A(4) * sat(w[0], A(39)) + A(5) * dstar;
    tamp2 = A(6) + A(7) * std::pow(pp, A(22)) + A(8) * sat(w[1], A(40)) + A(9) * dstar;
    sramp = A(10) + A(11) * sat(w[2], A(41)) + A(12) * dstar;
    pramp = A(13) + A(14) * sat(w[3], A(42)) + A(15) * dstar;
    r11 = A(16) + A(17) * sat(w[4], A(43));
    r12 = 0.0;
    r21 = A(18) + A(19) * sat(w[5], A(44));
    r22 = 0.0;
  }
  const double a1 = A(1);
  auto sum = [&](double Vec3::*k) {
    return a1 * c.*k + tamp1 * t1.*k + tamp2 * t2.*k + sramp * src.*k + pramp * prc.*k +
           r11 * rb[0].*k + r12 * rb[1].*k + r21 * rb[2].*k + r22 * rb[3].*k + factimf * himf.*k;
  };
  const Vec3 bsum{sum(&Vec3::x), sum(&Vec3::y), sum(&Vec3::z)};

  // 10. Inside, or blended across the boundary layer.
  if (sigma < kSigma0 - delta) {
    b = bsum;
    return;
  }
  const double fint = 0.5 * (1.0 - (sigma - kSigma0) / delta);
  const double fext = 0.5 * (1.0 + (sigma - kSigma0) / delta);
  const Vec3 q = dipole_01(m, psi, x, y, z);
  b = Vec3{(bsum.x + q.x) * fint + o.x * fext - q.x, (bsum.y + q.y) * fint + o.y * fext - q.y,
           (bsum.z + q.z) * fint + o.z * fext - q.z};
}

}  // namespace kest::t01

namespace {

using kest::t01::Model;
using kest::t01::Vec3;

double tilt_radians() {
  const double pi = 4.0 * std::atan(1.0);
  return kest::dip_ang.tilt * pi / 180.0;
}

}  // namespace

// t01_01: Tsyganenko 2001 external field at one GSM point.
// Given:    parmod(6)  double  Pdyn (nPa), Dst (nT), IMF By, Bz (nT), two G
//           values V1, V2 (G1, G2 for the standard form; G2, G3 for the
//           storm form)
//           x, y, z  double  GSM position, Earth radii
// Returned: bx, by, bz  double  external field, GSM, nT (no dipole field)
// State:    reads dip_ang (degrees); writes the Tsyganenko 2001/2004 records
//           (tail, g, rh0, birkpar, rcpar, dphi_b_rho0, dtheta, modenum);
//           keeps the model dipole's tilt cache.
// Requires: dip_ang set for the time (the field-model set-up).
// Failure:  no input is tested; Pdyn <= 0 gives not-a-number. The model is
//           meant for x_GSM >= -15 Re, which the field routine enforces.
// Notes:    1. Dst enters as D* = 0.8 Dst - 13 sqrt(Pdyn).
// References: N. A. Tsyganenko, A model of the near magnetosphere with a
//           dawn-dusk asymmetry, 1. Mathematical structure, J. Geophys. Res.
//           107(A8), 1179 (2002); 2. Parameterization and fitting to
//           observations, J. Geophys. Res. 107(A8), 1176 (2002).
extern "C" void t01_01_(double* parmod, double* x, double* y, double* z, double* bx, double* by,
                        double* bz) {
  const double pdyn = parmod[0];
  const double dstar = 0.8 * parmod[1] - 13.0 * std::sqrt(pdyn);
  const double v[2] = {parmod[4], parmod[5]};
  Vec3 b;
  kest::t01::module_sum(Model::t01, kest::t01tab::t01_coef, pdyn, dstar, parmod[2], parmod[3], v,
                        tilt_radians(), *x, *y, *z, b);
  *bx = b.x;
  *by = b.y;
  *bz = b.z;
}

// t04_s: Tsyganenko 2004 storm-time external field at one GSM point.
// Given:    parmod(10)  double  Pdyn (nPa), Dst (nT), IMF By, Bz (nT), W1..W6
//           x, y, z  double  GSM position, Earth radii
// Returned: bx, by, bz  double  external field, GSM, nT (no dipole field)
// State:    as t01_01, except that the hinging distance goes to rh0_tsyg04
//           and no dipole tilt cache is kept (the 2004 dipole computes the
//           sine and cosine of the tilt at every call).
// Requires: dip_ang set for the time.
// Failure:  as t01_01.
// Notes:    1. Dst enters as D* = 0.8 Dst - 13 sqrt(Pdyn).
// References: N. A. Tsyganenko and M. I. Sitnov, Modeling the dynamics of the
//           inner magnetosphere during strong geomagnetic storms, J. Geophys.
//           Res. 110, A03208 (2005).
extern "C" void t04_s_(double* parmod, double* x, double* y, double* z, double* bx, double* by,
                       double* bz) {
  const double pdyn = parmod[0];
  const double dstar = 0.8 * parmod[1] - 13.0 * std::sqrt(pdyn);
  Vec3 b;
  kest::t01::module_sum(Model::t04, kest::t01tab::t04_coef, pdyn, dstar, parmod[2], parmod[3],
                        parmod + 4, tilt_radians(), *x, *y, *z, b);
  *bx = b.x;
  *by = b.y;
  *bz = b.z;
}

// t01_01_champ, t01_01_storm_champ, t04_s_champ: the models as the field
// routine calls them (external codes 9, 10, 11): drivers from the drivers
// record, point and field in GSM.
// Given:    x(3)  double  GSM position, Earth radii
// Returned: b(3)  double  external field, GSM, nT
// State:    reads drivers (pdyn, dst, byimf, bzimf and g1, g2 / g2, g3 /
//           w1..w6) and, through the model, dip_ang.
void kest::t01_champ(double* x, double* b) {
  const kest::Drivers& d = kest::drivers;
  double parmod[6] = {d.pdyn, d.dst, d.byimf, d.bzimf, d.g1, d.g2};
  t01_01_(parmod, &x[0], &x[1], &x[2], &b[0], &b[1], &b[2]);
}

void kest::t01_storm_champ(double* x, double* b) {
  const kest::Drivers& d = kest::drivers;
  double parmod[6] = {d.pdyn, d.dst, d.byimf, d.bzimf, d.g2, d.g3};
  t01_01_(parmod, &x[0], &x[1], &x[2], &b[0], &b[1], &b[2]);
}

void kest::t04_champ(double* x, double* b) {
  const kest::Drivers& d = kest::drivers;
  double parmod[10] = {d.pdyn, d.dst, d.byimf, d.bzimf, d.w1, d.w2, d.w3, d.w4, d.w5, d.w6};
  t04_s_(parmod, &x[0], &x[1], &x[2], &b[0], &b[1], &b[2]);
}
