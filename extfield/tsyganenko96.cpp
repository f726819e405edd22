// Tsyganenko 1996 (T96_01) external magnetic field model: the entry with its
// magnetopause and module sum, the dipole shielding and interconnection
// fields, and the ring current and tail modules.
//
// The model field is a sum of modules, each the field of one current system
// together with the field by which the magnetopause shields it, scaled by
// amplitudes that follow the solar-wind dynamic pressure, the Dst index and
// the IMF. The whole magnetosphere shrinks self-similarly with pressure: the
// modules are evaluated at the position multiplied by kappa = (Pdyn/2)^0.14,
// which keeps the magnetopause shape fixed in the scaled frame. Outside the
// magnetopause the model gives only a fraction of the IMF; across a thin
// boundary layer the two are blended. The Region-1 and Region-2 Birkeland
// systems live in tsyganenko96_birkeland.cpp.
#include <cmath>

#include "extfield/extfield_state.hpp"
#include "extfield/tsyganenko96.hpp"
#include "extfield/tsyganenko96_tables.hpp"
#include "extfield/champ_adaptors.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace kest {
Warp warp;
}

namespace kest::t96 {

namespace {

// ---- Dipole shielding: cylindrical-harmonic sets (amplitudes 1-6, length
// scales in Earth radii 7-12). Tsyganenko (1995), shielding of the dipole
// perpendicular and parallel to the x axis.
constexpr double kDipShieldPerp[12] = {0.24777,  -27.003, -0.46815, 7.0637, -1.5918, -0.090317,
                                       57.522,   13.757,  2.01,     10.458, 4.5798,  2.1695};
constexpr double kDipShieldPar[12] = {-0.65385, -18.061, -0.40457, -5.0995, 1.2846, 0.078231,
                                      39.592,   13.291,  1.997,    10.062,  4.514,  2.1558};

// ---- Interconnection field: amplitudes c1..c9, y scales p1..p3, z scales
// r1..r3 (Earth radii).
constexpr double kIntercon[15] = {-8.411078731, 5932254.951, -9073284.93,  -11.68794634,
                                  6027598.824,  -9218378.368, -6.508798398, -11824.42793,
                                  18015.66212,  7.99754043,   13.9669886,   90.24475036,
                                  16.75728834,  1015.645781,  1553.493216};

// Reciprocal scales of the interconnection field, formed on the first call:
// the harmonics are evaluated at every point of every trace, so they multiply
// instead of dividing.
struct InterconCache {
  bool ready = false;
  double rp[3] = {};
  double rr[3] = {};
};
InterconCache intercon_cache;

// ---- Ring current (two terms) and tail disk (four terms): amplitudes F and
// scales b (Earth radii) of the sheet sums.
constexpr double kRingF[2] = {569.895366, -1603.386993};
constexpr double kRingB[2] = {2.722188, 3.766875};
constexpr double kDiskF[4] = {-745796.7338, 1176470.141, -444610.529, -57508.01028};
constexpr double kDiskB[4] = {7.925, 8.085, 8.47125, 27.895};

// Sum of the field of a spread-out current sheet (ring current or tail disk)
// in the bent frame held in warp. zs, dzs: sheet coordinate and its gradient;
// xr: bent x, shifted for the tail disk.
template <int N>
void sheet_sum(const double (&f)[N], const double (&bsc)[N], double x, double y, double z,
               double xr, double zs, const double dzs[3], double out[3]) {
  const Warp& w = warp;
  const double rho = std::sqrt(xr * xr + y * y);
  double drho[3];
  if (rho < 1.0e-5) {
    // On the sheet axis the radial direction is undefined; take the y
    // direction on the point's side of the axis (the dusk side for y = 0).
    drho[0] = 0.0;
    drho[1] = y >= 0.0 ? 1.0 : -1.0;
    drho[2] = 0.0;
  } else {
    drho[0] = xr * w.dxb[0] / rho;
    drho[1] = (xr * w.dxb[1] + y) / rho;
    drho[2] = xr * w.dxb[2] / rho;
  }
  double bx = 0.0, by = 0.0, bz = 0.0;
  for (int i = 0; i < N; ++i) {
    const double b = bsc[i];
    const double zpb = zs + b;
    const double s1 = std::sqrt(zpb * zpb + (rho + b) * (rho + b));
    const double s2 = std::sqrt(zpb * zpb + (rho - b) * (rho - b));
    const double ds1dz = zpb / s1, ds2dz = zpb / s2;
    const double ds1dr = (rho + b) / s1, ds2dr = (rho - b) / s2;
    double ds1[3], ds2[3];
    for (int k = 0; k < 3; ++k) {
      ds1[k] = ds1dz * dzs[k] + ds1dr * drho[k];
      ds2[k] = ds2dz * dzs[k] + ds2dr * drho[k];
    }
    const double p = s1 * s2, s = s1 + s2;
    const double f1 = std::sqrt(s * s - 4.0 * b * b);
    const double a = f1 / (p * s * s);
    const double t = 1.0 / (p * s * f1);
    const double f2 = a / (s * s);
    const double dads1 = t - f2 / s1 * (s2 * s2 + s1 * (3.0 * s1 + 4.0 * s2));
    const double dads2 = t - f2 / s2 * (s1 * s1 + s2 * (3.0 * s2 + 4.0 * s1));
    const double dadx = dads1 * ds1[0] + dads2 * ds2[0];
    const double dady = dads1 * ds1[1] + dads2 * ds2[1];
    const double dadz = dads1 * ds1[2] + dads2 * ds2[2];
    bx += f[i] * ((2.0 * a + y * dady) * w.sb - xr * dadz + a * w.qb * (y * y * w.cb + z * w.zn));
    by -= f[i] * y * (a * w.qb * w.xb + dadz * w.cb + dadx * w.sb);
    bz += f[i] * ((2.0 * a + y * dady) * w.cb + xr * dadx - a * w.qb * (x * w.zn + y * y * w.sb));
  }
  out[0] = bx;
  out[1] = by;
  out[2] = bz;
}

}  // namespace

// ---- Bessel functions J0 and J1 -------------------------------------------
// Polynomial approximations of Abramowitz and Stegun, Handbook of
// Mathematical Functions (1964), 9.4.1 and 9.4.3 (J0), 9.4.4 and 9.4.6 (J1);
// absolute errors below 1e-7. The large-argument forms serve x >= 3 only: the
// callers pass distances over scales, never negative (x <= -3 would give
// not-a-number).
double bes0(double x) {
  if (std::fabs(x) < 3.0) {
    const double t = (x / 3.0) * (x / 3.0);
    return 1.0 +
           t * (-2.2499997 +
                t * (1.2656208 + t * (-0.3163866 + t * (0.0444479 + t * (-0.0039444 + t * 0.00021)))));
  }
  const double u = 3.0 / x;
  const double f0 =
      0.79788456 +
      u * (-0.00000077 +
           u * (-0.0055274 + u * (-0.00009512 + u * (0.00137237 + u * (-0.00072805 + u * 0.00014476)))));
  const double th0 =
      x - 0.78539816 +
      u * (-0.04166397 +
           u * (-0.00003954 + u * (0.00262573 + u * (-0.00054125 + u * (-0.00029333 + u * 0.00013558)))));
  return f0 / std::sqrt(x) * std::cos(th0);
}

double bes1(double x) {
  if (std::fabs(x) < 3.0) {
    const double t = (x / 3.0) * (x / 3.0);
    return x * (0.5 + t * (-0.56249985 +
                           t * (0.21093573 +
                                t * (-0.03954289 + t * (0.00443319 + t * (-0.00031761 + t * 0.00001109))))));
  }
  const double u = 3.0 / x;
  const double f1 =
      0.79788456 +
      u * (0.00000156 +
           u * (0.01659667 + u * (0.00017105 + u * (-0.00249511 + u * (0.00113653 + u * -0.00020033)))));
  const double th1 =
      x - 2.35619449 +
      u * (0.12499612 +
           u * (0.0000565 + u * (-0.00637879 + u * (0.00074348 + u * (0.00079824 + u * -0.00029166)))));
  return f1 / std::sqrt(x) * std::cos(th1);
}

double bes(double x, int k) { return k == 0 ? bes0(x) : bes1(x); }

// ---- Dipole shielding field -------------------------------------------------

// cylharm: shielding of the dipole component perpendicular to the x axis, a
// sum of cylindrical harmonics about the x axis (Bessel functions of the
// distance from the axis times exponentials in x).
void cylharm(const double* a, double x, double y, double z, double b[3]) {
  double rho = std::sqrt(y * y + z * z);
  double sinfi, cosfi;
  if (rho < 1.0e-8) {
    // On the axis: any azimuth will do; a small radius keeps J1/zeta finite.
    sinfi = 1.0;
    cosfi = 0.0;
    rho = 1.0e-8;
  } else {
    sinfi = z / rho;
    cosfi = y / rho;
  }
  const double sinfi2 = sinfi * sinfi;
  const double si2co2 = sinfi2 - cosfi * cosfi;
  double bx = 0.0, by = 0.0, bz = 0.0;
  for (int i = 0; i < 3; ++i) {
    const double dzeta = rho / a[i + 6], xksi = x / a[i + 6];
    const double xj0 = bes(dzeta, 0), xj1 = bes(dzeta, 1);
    const double xexp = std::exp(xksi);
    bx -= a[i] * xj1 * xexp * sinfi;
    by += a[i] * (2.0 * xj1 / dzeta - xj0) * xexp * sinfi * cosfi;
    bz += a[i] * (xj1 / dzeta * si2co2 - xj0 * sinfi2) * xexp;
  }
  for (int i = 3; i < 6; ++i) {
    const double dzeta = rho / a[i + 6], xksi = x / a[i + 6];
    const double xj0 = bes(dzeta, 0), xj1 = bes(dzeta, 1);
    const double xexp = std::exp(xksi);
    const double brho = (xksi * xj0 - (dzeta * dzeta + xksi - 1.0) * xj1 / dzeta) * xexp * sinfi;
    const double bphi = (xj0 + xj1 / dzeta * (xksi - 1.0)) * xexp * cosfi;
    bx += a[i] * (dzeta * xj0 + xksi * xj1) * xexp * sinfi;
    by += a[i] * (brho * cosfi - bphi * sinfi);
    bz += a[i] * (brho * sinfi + bphi * cosfi);
  }
  b[0] = bx;
  b[1] = by;
  b[2] = bz;
}

// cylhar1: shielding of the dipole component along the x axis (symmetric
// about the axis).
void cylhar1(const double* a, double x, double y, double z, double b[3]) {
  const double rho = std::sqrt(y * y + z * z);
  double sinfi, cosfi;
  if (rho < 1.0e-10) {
    sinfi = 1.0;
    cosfi = 0.0;
  } else {
    sinfi = z / rho;
    cosfi = y / rho;
  }
  double bx = 0.0, by = 0.0, bz = 0.0;
  for (int i = 0; i < 3; ++i) {
    const double dzeta = rho / a[i + 6], xksi = x / a[i + 6];
    const double xj0 = bes(dzeta, 0), xj1 = bes(dzeta, 1);
    const double xexp = std::exp(xksi);
    const double brho = xj1 * xexp;
    bx -= a[i] * xj0 * xexp;
    by += a[i] * brho * cosfi;
    bz += a[i] * brho * sinfi;
  }
  for (int i = 3; i < 6; ++i) {
    const double dzeta = rho / a[i + 6], xksi = x / a[i + 6];
    const double xj0 = bes(dzeta, 0), xj1 = bes(dzeta, 1);
    const double xexp = std::exp(xksi);
    const double brho = (dzeta * xj0 + xksi * xj1) * xexp;
    bx += a[i] * (dzeta * xj1 - xj0 * (xksi + 1.0)) * xexp;
    by += a[i] * brho * cosfi;
    bz += a[i] * brho * sinfi;
  }
  b[0] = bx;
  b[1] = by;
  b[2] = bz;
}

// dipshld: field of the magnetopause currents that shield the Earth's dipole
// of tilt ps (radians): the perpendicular part weighted by cos ps, the
// parallel part by sin ps.
void dipshld(double ps, double x, double y, double z, double b[3]) {
  const double cps = std::cos(ps), sps = std::sin(ps);
  double h[3], p[3];
  cylharm(kDipShieldPerp, x, y, z, h);
  cylhar1(kDipShieldPar, x, y, z, p);
  for (int k = 0; k < 3; ++k) b[k] = h[k] * cps + p[k] * sps;
}

// intercon: interconnection field for unit IMF, in the frame turned by the
// IMF clock angle: minus the gradient of nine Cartesian harmonics.
void intercon(double x, double y, double z, double b[3]) {
  InterconCache& c = intercon_cache;
  if (!c.ready) {
    c.ready = true;
    for (int i = 0; i < 3; ++i) {
      c.rp[i] = 1.0 / kIntercon[9 + i];
      c.rr[i] = 1.0 / kIntercon[12 + i];
    }
  }
  double bx = 0.0, by = 0.0, bz = 0.0;
  int l = 0;
  for (int i = 0; i < 3; ++i) {
    const double cypi = std::cos(y * c.rp[i]), sypi = std::sin(y * c.rp[i]);
    for (int k = 0; k < 3; ++k) {
      const double szrk = std::sin(z * c.rr[k]), czrk = std::cos(z * c.rr[k]);
      const double sqpr = std::sqrt(c.rp[i] * c.rp[i] + c.rr[k] * c.rr[k]);
      const double epr = std::exp(x * sqpr);
      const double hx = -sqpr * epr * cypi * szrk;
      const double hy = c.rp[i] * epr * sypi * szrk;
      const double hz = -c.rr[k] * epr * cypi * czrk;
      bx += kIntercon[l] * hx;
      by += kIntercon[l] * hy;
      bz += kIntercon[l] * hz;
      ++l;
    }
  }
  b[0] = bx;
  b[1] = by;
  b[2] = bz;
}

// ---- Ring current and tail -------------------------------------------------

// Cartesian harmonic shielding field with n scales of each kind: table a
// holds 4 n^2 amplitudes, then the scales p(n), r(n), q(n), s(n). The first
// 2 n^2 terms are even in the tilt (the second of each pair weighted by
// cos psi), the last 2 n^2 odd (weighted by sin psi, the second of each pair
// also by sin 3psi / sin psi = 4 cos^2 psi - 1). Each pair shares its
// harmonic, so it is summed as (a(l) + a(l+1) w) h.
void cartesian_shield(const double* a, int n, double sps, double cps, double x, double y, double z,
                      double h[3]) {
  const int na = 4 * n * n;
  const double s3 = 4.0 * cps * cps - 1.0;
  double hx = 0.0, hy = 0.0, hz = 0.0;
  int l = 0;
  for (int m = 0; m < 2; ++m) {
    for (int i = 0; i < n; ++i) {
      const double rp = 1.0 / a[na + i], rq = 1.0 / a[na + 2 * n + i];
      const double cyp = std::cos(y * rp), syp = std::sin(y * rp);
      const double cyq = std::cos(y * rq), syq = std::sin(y * rq);
      for (int k = 0; k < n; ++k) {
        const double rr = 1.0 / a[na + n + k], rs = 1.0 / a[na + 3 * n + k];
        double vx, vy, vz;
        if (m == 0) {
          const double sq = std::sqrt(rp * rp + rr * rr);
          const double e = std::exp(x * sq);
          const double szr = std::sin(z * rr), czr = std::cos(z * rr);
          vx = -sq * e * cyp * szr;
          vy = rp * e * syp * szr;
          vz = -rr * e * cyp * czr;
        } else {
          const double sq = std::sqrt(rq * rq + rs * rs);
          const double e = std::exp(x * sq);
          const double czs = std::cos(z * rs), szs = std::sin(z * rs);
          vx = -sps * sq * e * cyq * czs;
          vy = sps * rq * e * syq * czs;
          vz = sps * rs * e * cyq * szs;
        }
        const double amp = a[l] + a[l + 1] * (m == 0 ? cps : s3);
        l += 2;
        hx += amp * vx;
        hy += amp * vy;
        hz += amp * vz;
      }
    }
  }
  h[0] = hx;
  h[1] = hy;
  h[2] = hz;
}

void shlcar3x3(const double* a, double x, double y, double z, double sps, double h[3]) {
  cartesian_shield(a, 3, sps, std::sqrt(1.0 - sps * sps), x, y, z, h);
}

// tailrc96: ring current, tail mode 2 (tail disk) and tail mode 3 fields,
// each with its shielding field, for tilt sine sps; writes warp.
void tailrc96(double sps, double x, double y, double z, double rc[3], double t2[3],
              double t3[3]) {
  constexpr double rh = 9.0, dr = 4.0, g = 10.0, d0 = 2.0, deltady = 10.0;
  Warp& w = warp;
  const double dr2 = dr * dr;
  const double c11 = std::sqrt((1.0 + rh) * (1.0 + rh) + dr2);
  const double c12 = std::sqrt((1.0 - rh) * (1.0 - rh) + dr2);
  const double c1 = c11 - c12;
  const double spsc1 = sps / c1;
  w.hs = 0.5 * (c11 + c12) * sps;

  const double r = std::sqrt(x * x + y * y + z * z);
  const double sq1 = std::sqrt((r + rh) * (r + rh) + dr2);
  const double sq2 = std::sqrt((r - rh) * (r - rh) + dr2);
  const double c = sq1 - sq2;
  const double cs = (r + rh) / sq1 - (r - rh) / sq2;
  w.sb = spsc1 / r * c;
  w.cb = std::sqrt(1.0 - w.sb * w.sb);

  const double y4 = y * y * y * y;
  const double u = y / (y4 + 1.0e4);
  const double wy = u * y * y * y;
  const double dwdy = 4.0e4 * y * u * u;
  w.wf = g * sps * wy;

  w.qb = sps / (r * r) * (cs * r - c) / std::sqrt((r * c1) * (r * c1) - (c * sps) * (c * sps));

  w.xb = x * w.cb - z * w.sb;
  w.zn = z * w.cb + x * w.sb;
  w.zb = w.zn + w.wf;

  w.dxb[0] = w.cb - x * w.zn * w.qb;
  w.dxb[1] = -y * w.zn * w.qb;
  w.dxb[2] = -w.sb - z * w.zn * w.qb;
  w.dzb[0] = w.sb + x * w.xb * w.qb;
  w.dzb[1] = w.xb * y * w.qb + g * sps * dwdy;
  w.dzb[2] = w.cb + z * w.xb * w.qb;

  w.d = d0 + deltady * (y / 20.0) * (y / 20.0);
  const double dddy = deltady * y * 0.005;
  w.zeta = std::sqrt(w.zb * w.zb + w.d * w.d);
  w.dzeta[0] = w.zb * w.dzb[0] / w.zeta;
  w.dzeta[1] = (w.zb * w.dzb[1] + w.d * dddy) / w.zeta;
  w.dzeta[2] = w.zb * w.dzb[2] / w.zeta;

  double sh[3], sheet[3];
  shlcar3x3(shield_ring_current, x, y, z, sps, sh);
  ringcurr96(x, y, z, sheet);
  for (int k = 0; k < 3; ++k) rc[k] = sh[k] + sheet[k];

  shlcar3x3(shield_tail_mode2, x, y, z, sps, sh);
  taildisk(x, y, z, sheet);
  for (int k = 0; k < 3; ++k) t2[k] = sh[k] + sheet[k];

  shlcar3x3(shield_tail_mode3, x, y, z, sps, sh);
  double bx, bz;
  tail87(x, z, &bx, &bz);
  t3[0] = sh[0] + bx;
  t3[1] = sh[1];
  t3[2] = sh[2] + bz;
}

// ringcurr96: ring current as a current sheet of constant half-thickness 2 Re
// in the bent (unwarped) frame.
void ringcurr96(double x, double y, double z, double b[3]) {
  const Warp& w = warp;
  const double zs = std::sqrt(w.zn * w.zn + 4.0);
  const double dzs[3] = {w.zn * w.dzb[0] / zs, w.zn * (w.xb * y * w.qb) / zs, w.zn * w.dzb[2] / zs};
  sheet_sum(kRingF, kRingB, x, y, z, w.xb, zs, dzs, b);
}

// taildisk: tail current disk, shifted 4.5 Re sunward, in the bent and warped
// frame with the flank-thickened sheet.
void taildisk(double x, double y, double z, double b[3]) {
  const Warp& w = warp;
  sheet_sum(kDiskF, kDiskB, x, y, z, w.xb - 4.5, w.zeta, w.dzeta, b);
}

// tail87: tail mode 3, a two-dimensional sheet of half-thickness 3 Re with
// its inner edge at x = -10 Re and return sheets at z = +-40 Re; the sheet
// follows the tilt shift and the warping.
void tail87(double x, double z, double* bx, double* bz) {
  constexpr double dd = 3.0, hpi = 1.5707963, rt = 40.0, xn = -10.0, x1 = -1.261, x2 = -0.663;
  constexpr double b0 = 0.391734, b1 = 5.89715, b2 = 24.6833;
  constexpr double xn21 = 76.37, xnr = -0.1071, adln = 0.13238005;
  const Warp& w = warp;
  const double zs = z - w.hs + w.wf;
  const double zp = z - rt, zm = z + rt;
  const double xnx = xn - x, xnx2 = xnx * xnx;
  const double xc1 = x - x1, xc2 = x - x2, xc22 = xc2 * xc2;
  const double xr2 = xc2 * xnr;
  const double xc12 = xc1 * xc1;
  struct Sheet {
    double s0, s1, s2, g1, g2, l1;
  };
  auto sheet = [&](double zk) {
    const double bb = zk * zk + dd * dd;
    const double beta = std::sqrt(bb);
    const double a1 = xc12 + bb;
    const double a2 = 1.0 / (xc22 + bb);
    const double nn = xnx2 + bb;
    const double ff = bb - xc22;
    const double l1 = std::log(xn21 / nn);
    const double l2 = l1 + adln;
    Sheet s{};
    s.l1 = l1;
    s.s0 = (std::atan(xnx / beta) + hpi) / beta;
    s.s1 = (0.5 * l1 + xc1 * s.s0) / a1;
    s.s2 = (xc2 * a2 * l2 - xnr - ff * a2 * s.s0) * a2;
    s.g1 = (bb * s.s0 - 0.5 * xc1 * l1) / a1;
    s.g2 = ((0.5 * ff * l2 + 2.0 * s.s0 * bb * xc2) * a2 + xr2) * a2;
    return s;
  };
  const Sheet s = sheet(zs), p = sheet(zp), m = sheet(zm);
  *bx = b0 * (zs * s.s0 - 0.5 * (zp * p.s0 + zm * m.s0)) +
        b1 * (zs * s.s1 - 0.5 * (zp * p.s1 + zm * m.s1)) +
        b2 * (zs * s.s2 - 0.5 * (zp * p.s2 + zm * m.s2));
  *bz = b0 * 0.25 * (p.l1 + m.l1 - 2.0 * s.l1) + b1 * (s.g1 - 0.5 * (p.g1 + m.g1)) +
        b2 * (s.g2 - 0.5 * (p.g2 + m.g2));
}

}  // namespace kest::t96

namespace {

// Amplitude coefficients and magnetopause constants of T96_01 (Tsyganenko
// 1996, fit to the spacecraft data set of the model).
constexpr double kA[9] = {1.162, 22.344, 18.5, 2.602, 6.903, 5.287, 0.579, 0.4462, 0.785};
constexpr double kS0 = 1.08;      // magnetopause coordinate sigma on the magnetopause
constexpr double kDelta = 0.005;  // half-width of the boundary layer in sigma
constexpr double kA0 = 70.0;      // magnetopause size at the reference pressure, Re
constexpr double kX00 = 5.48;     // magnetopause x offset at the reference pressure, Re
constexpr double kP0 = 2.0;       // reference pressure, nPa
constexpr double kE0 = 3630.7;    // reference value of the reconnection parameter
constexpr double kLx = 20.0, kLy = 10.0;  // scales of the IMF penetration factor, Re
constexpr double kPowerQ = 0.14;  // exponent of the pressure scaling
// The Dst weight of the pressure-corrected depression: the published model
// holds it as a single-precision constant, and its value as such enters here.
constexpr double kDstWeight = static_cast<double>(0.8f);  // 0.800000011920929
constexpr double kDstPress = 13.0;

}  // namespace

// t96_01: external field of the Tsyganenko 1996 model at one GSM point.
// Given:    parmod(4)  double  1 Pdyn (nPa), 2 Dst (nT), 3 IMF By (nT),
//                              4 IMF Bz (nT)
//           x, y, z  double  GSM position, Earth radii
// Returned: bx, by, bz  double  external field, GSM, nT (never the dipole)
// State:    reads dip_ang (degrees); writes warp; the modules keep caches
//           (intercon reciprocals, Region-2 and dipole tilt caches, the
//           Region-2 smooth-step constant) and the Region-1 zone of the call.
// Requires: dip_ang set for the time (the field-model set-up).
// Failure:  none reported; no input is tested. Pdyn <= 0 gives NaN. The
//           callers keep the drivers within Dst -100..20, Pdyn 0.5..10,
//           By and Bz -10..10 and the point within 40 Earth radii.
// Notes:    1. Outside the magnetopause (sigma >= 1.085) the result is the
//             penetrated IMF minus the model dipole (moment 30574 nT), so
//             that an internal field close to that dipole plus this result
//             gives about the penetrated IMF; in the boundary layer
//             (1.075 <= sigma < 1.085) the inside and outside fields are
//             blended linearly in sigma.
//           2. A purely northward IMF (By = 0, Bz > 0) has clock angle 2 pi,
//             not 0; a zero IMF has clock angle 0.
//           3. The Dst weight 0.8 is its single-precision value.
// References: N. A. Tsyganenko, Modeling the Earth's magnetospheric magnetic
//           field confined within a realistic magnetopause, J. Geophys. Res.
//           100, 5599 (1995); N. A. Tsyganenko and D. P. Stern, Modeling the
//           global magnetic field of the large-scale Birkeland current
//           systems, J. Geophys. Res. 101, 27187 (1996).
extern "C" void t96_01_(double* parmod, double* x, double* y, double* z, double* bx, double* by,
                        double* bz) {
  const double pi = 4.0 * std::atan(1.0);
  double ps = kest::dip_ang.tilt * pi / 180.0;
  const double pdyn = parmod[0], dst = parmod[1], byimf = parmod[2], bzimf = parmod[3];
  const double xx = *x, yy = *y, zz = *z;

  const double depr = kDstWeight * dst - kDstPress * std::sqrt(pdyn);
  const double bt = std::sqrt(byimf * byimf + bzimf * bzimf);
  double theta = 0.0;
  if (byimf != 0.0 || bzimf != 0.0) {
    theta = std::atan2(byimf, bzimf);
    if (theta <= 0.0) theta += 8.0 * std::atan(1.0);
  }
  const double ct = std::cos(theta), st = std::sin(theta);
  const double eps = 718.5 * std::sqrt(pdyn) * bt * std::sin(theta / 2.0);
  const double facteps = eps / kE0 - 1.0;
  const double factpd = std::sqrt(pdyn / kP0) - 1.0;

  const double rcampl = -kA[0] * depr;
  const double tampl2 = kA[1] + kA[2] * factpd + kA[3] * facteps;
  const double tampl3 = kA[4] + kA[5] * factpd;
  const double b1ampl = kA[6] + kA[7] * facteps;
  const double b2ampl = 20.0 * b1ampl;
  const double reconn = kA[8];

  const double xappa = std::pow(pdyn / kP0, kPowerQ);
  const double xappa3 = xappa * xappa * xappa;
  const double ys = yy * ct - zz * st;
  const double zs = zz * ct + yy * st;

  // Fraction of the IMF that penetrates: largest at the subsolar point,
  // falling off tailward and away from the plane of the IMF.
  const double factimf = std::exp(xx / kLx - (ys / kLy) * (ys / kLy));
  const double oimfx = 0.0, oimfy = reconn * byimf * factimf, oimfz = reconn * bzimf * factimf;

  // Position relative to the magnetopause: an ellipsoid of revolution about
  // the x axis, continued tailward as a cylinder (prolate spheroidal
  // coordinate sigma).
  const double x0 = kX00 / xappa, am = kA0 / xappa;
  const double rho2 = yy * yy + zz * zz;
  const double asq = am * am;
  double xmxm = am + xx - x0;
  if (xmxm < 0.0) xmxm = 0.0;
  const double axx0 = xmxm * xmxm;
  const double aro = asq + rho2;
  // The radicand is (a^2 - m^2)^2 + rho^2 (rho^2 + 2 a^2 + 2 m^2), never
  // negative; on the Sun-Earth line next to x = x0 it is the difference of
  // two nearly equal numbers, and rounding must not leave it below zero.
  const double disc = std::fmax((aro + axx0) * (aro + axx0) - 4.0 * asq * axx0, 0.0);
  const double sigma = std::sqrt((aro + axx0 + std::sqrt(disc)) / (2.0 * asq));

  double qx, qy, qz;
  if (sigma >= kS0 + kDelta) {
    // Outside: only the penetrated IMF, less the model dipole.
    dipole_(&ps, x, y, z, &qx, &qy, &qz);
    *bx = oimfx - qx;
    *by = oimfy - qy;
    *bz = oimfz - qz;
    return;
  }

  double xs = xx * xappa, yss = yy * xappa, zss = zz * xappa;
  double cf[3], rc[3], t2[3], t3[3], r1[3], r2[3], ic[3];
  kest::t96::dipshld(ps, xs, yss, zss, cf);
  kest::t96::tailrc96(std::sin(ps), xs, yss, zss, rc, t2, t3);
  birk1tot_02_(&ps, &xs, &yss, &zss, &r1[0], &r1[1], &r1[2]);
  birk2tot_02_(&ps, &xs, &yss, &zss, &r2[0], &r2[1], &r2[2]);
  kest::t96::intercon(xs, ys * xappa, zs * xappa, ic);
  const double icx = ic[0], icy = ic[1] * ct + ic[2] * st, icz = ic[2] * ct - ic[1] * st;
  const double ica = reconn * bt;

  double f[3];
  f[0] = xappa3 * cf[0] + rcampl * rc[0] + tampl2 * t2[0] + tampl3 * t3[0] + b1ampl * r1[0] +
         b2ampl * r2[0] + ica * icx;
  f[1] = xappa3 * cf[1] + rcampl * rc[1] + tampl2 * t2[1] + tampl3 * t3[1] + b1ampl * r1[1] +
         b2ampl * r2[1] + ica * icy;
  f[2] = xappa3 * cf[2] + rcampl * rc[2] + tampl2 * t2[2] + tampl3 * t3[2] + b1ampl * r1[2] +
         b2ampl * r2[2] + ica * icz;

  if (sigma < kS0 - kDelta) {
    *bx = f[0];
    *by = f[1];
    *bz = f[2];
    return;
  }

  // Boundary layer: blend the inside field (with the dipole) and the
  // penetrated IMF linearly in sigma, then take the dipole off again.
  const double fint = 0.5 * (1.0 - (sigma - kS0) / kDelta);
  const double fext = 0.5 * (1.0 + (sigma - kS0) / kDelta);
  dipole_(&ps, x, y, z, &qx, &qy, &qz);
  *bx = (f[0] + qx) * fint + oimfx * fext - qx;
  *by = (f[1] + qy) * fint + oimfy * fext - qy;
  *bz = (f[2] + qz) * fint + oimfz * fext - qz;
}

// t96_01_champ: the Tsyganenko 1996 field for the field routine champ.
// Given:    xgsm(3)  double  GSM position, Earth radii
// Returned: bgsm(3)  double  external field, GSM, nT
// State:    reads drivers (pdyn, dst, byimf, bzimf) and dip_ang.
// Requires: the field-model set-up for the time with external code 7, which
//           also rejects drivers outside the model's validity range.
// Failure:  none; champ refuses points beyond 40 Earth radii beforehand.
void kest::t96_champ(double* xgsm, double* bgsm) {
  double parmod[4] = {kest::drivers.pdyn, kest::drivers.dst, kest::drivers.byimf,
                      kest::drivers.bzimf};
  t96_01_(parmod, &xgsm[0], &xgsm[1], &xgsm[2], &bgsm[0], &bgsm[1], &bgsm[2]);
}
