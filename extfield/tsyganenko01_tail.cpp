// Tail current modes of the Tsyganenko 2001 and 2004 models.
//
// Each of the two modes is a current sheet of finite thickness (five disk
// terms) plus its own shielding field (25 Cartesian harmonics). The sheets are
// built in three layers, each mapping the field of the layer below back
// through the Jacobian of its coordinate change, which keeps div B = 0:
// bending in the x-z plane by the dipole tilt (hinged at a distance), warping
// across the tail in y-z, and the flat sheets themselves. The 2004 model uses
// the same layers and tables; only the bending reads its own hinging distance.
#include <cmath>

#include "extfield/extfield_state.hpp"
#include "extfield/tsyganenko01.hpp"
#include "extfield/tsyganenko01_tables.hpp"

namespace kest::t01 {

namespace {

// Flat-sheet constants of the two modes.
struct ModeShape {
  double x_offset;  // Earth radii
  double alpha;     // scale factor of the mode
  double x_pivot;   // Earth radii
  double deltax;    // sunward thickening, Earth radii
};
constexpr ModeShape kMode[2] = {{6.0, 1.1, -12.0, 1.0}, {4.0, 0.25, -12.0, 0.0}};

// Five-term sheet: amplitudes F (nT Re), radii b and thickness offsets c (Re).
constexpr double kDiskF[5] = {-71.09346626, -1014.308601, -1272.939359, -3224.935936,
                              -44546.86232};
constexpr double kDiskB[5] = {10.90101242, 12.68393898, 13.51791954, 14.86775017, 15.12306404};
constexpr double kDiskC[5] = {0.7954069972, 0.6716601849, 1.174866319, 2.56524992, 10.0198679};

constexpr double kHingeCoef = -5.2;  // change of the hinging distance with latitude
constexpr double kWarpLength = 20.0;  // Earth radii

}  // namespace

// deformed: tail modes 1 and 2 bent by the dipole tilt in the x-z plane.
// Given:    m  which model's hinging distance to read (rh0 or rh0_tsyg04)
//           psi  double  tilt, radians;  x, y, z  double  scaled GSM, Re
// Returned: b1, b2  fields of modes 1 and 2, nT (before their amplitudes)
// State:    reads rh0 or rh0_tsyg04, and through the lower layers g, tail.
// Notes:    1. The sheet follows the dipole equator near the Earth and turns
//             parallel to the GSM equator beyond the hinging distance; the
//             root of the bending law is 1/3 computed in double.
void deformed(Model m, double psi, double x, double y, double z, Vec3& b1, Vec3& b2) {
  const double h = (m == Model::t01) ? rh0.rh0 : rh0_tsyg04.rh0;
  const double sps = std::sin(psi);
  const double r2 = x * x + y * y + z * z;
  const double r = std::sqrt(r2);
  const double zr = z / r;
  const double rh = h + kHingeCoef * zr * zr;
  const double drhdr = -zr / r * 2.0 * kHingeCoef * zr;
  const double drhdz = 2.0 * kHingeCoef * zr / r;
  const double rrh = r / rh;
  const double f = 1.0 / std::pow(1.0 + rrh * rrh * rrh, 1.0 / 3.0);
  const double dfdr = -rrh * rrh * f * f * f * f / rh;
  const double dfdrh = -rrh * dfdr;
  const double spsas = sps * f;
  const double cpsas = std::sqrt(1.0 - spsas * spsas);
  const double xas = x * cpsas - z * spsas;
  const double zas = x * spsas + z * cpsas;
  const double facps = sps / cpsas * (dfdr + dfdrh * drhdr) / r;
  const double psiasx = facps * x;
  const double psiasy = facps * y;
  const double psiasz = facps * z + sps / cpsas * dfdrh * drhdz;
  const double dxasdx = cpsas - zas * psiasx;
  const double dxasdy = -zas * psiasy;
  const double dxasdz = -spsas - zas * psiasz;
  const double dzasdx = spsas + xas * psiasx;
  const double dzasdy = xas * psiasy;
  const double dzasdz = cpsas + xas * psiasz;
  const double fac1 = dxasdz * dzasdy - dxasdy * dzasdz;
  const double fac2 = dxasdx * dzasdz - dxasdz * dzasdx;
  const double fac3 = dzasdx * dxasdy - dxasdx * dzasdy;

  Vec3 w1, w2;
  warped(psi, xas, y, zas, w1, w2);
  auto back = [&](const Vec3& w) {
    return Vec3{w.x * dzasdz - w.z * dxasdz + w.y * fac1, w.y * fac2,
                w.z * dxasdx - w.x * dzasdx + w.y * fac3};
  };
  b1 = back(w1);
  b2 = back(w2);
}

// warped: tail modes warped about the x axis as the tilt grows.
// Given:    psi  tilt, radians;  x, y, z  bent position, Re
// Returned: b1, b2  fields of modes 1 and 2, nT
// State:    reads g; through unwarped, tail.
// Notes:    1. On the x axis (y = z = 0), and wherever y^2 + z^2 underflows
//             to zero, the azimuth is taken as 0.
//           2. The warping does not depend on x, so no x-derivative enters.
void warped(double psi, double x, double y, double z, Vec3& b1, Vec3& b2) {
  const double gw = g.g;
  const double sps = std::sin(psi);
  const double rho2 = y * y + z * z;
  const double rho = std::sqrt(rho2);
  double phi, cphi, sphi;
  // On the axis the azimuth is undefined; so it is, to the precision of
  // y / rho, where y^2 + z^2 underflows to zero (a point within 1e-162 Re of
  // the axis): both take the azimuth 0, the limit of a continuous field.
  if (rho == 0.0) {
    phi = 0.0;
    cphi = 1.0;
    sphi = 0.0;
  } else {
    phi = std::atan2(z, y);
    cphi = y / rho;
    sphi = z / rho;
  }
  const double l4 = kWarpLength * kWarpLength * kWarpLength * kWarpLength;
  const double rr4l4 = rho / (rho2 * rho2 + l4);
  const double f = phi + gw * rho2 * rr4l4 * cphi * sps;
  const double dfdphi = 1.0 - gw * rho2 * rr4l4 * sphi * sps;
  const double dfdrho = gw * rr4l4 * rr4l4 * (3.0 * l4 - rho2 * rho2) * cphi * sps;
  const double cf = std::cos(f), sf = std::sin(f);
  const double yas = rho * cf;
  const double zas = rho * sf;
  Vec3 u1, u2;
  unwarped(x, yas, zas, u1, u2);
  auto back = [&](const Vec3& u) {
    const double brho_as = u.y * cf + u.z * sf;
    const double bphi_as = -u.y * sf + u.z * cf;
    const double brho_s = brho_as * dfdphi;
    const double bphi_s = bphi_as - rho * brho_as * dfdrho;
    return Vec3{u.x * dfdphi, brho_s * cphi - bphi_s * sphi, brho_s * sphi + bphi_s * cphi};
  };
  b1 = back(u1);
  b2 = back(u2);
}

// unwarped: the flat sheets of modes 1 and 2 with their shielding fields.
// Given:    x, y, z  warped position, Re
// Returned: b1, b2  fields of modes 1 and 2, nT
// State:    reads tail.
void unwarped(double x, double y, double z, Vec3& b1, Vec3& b2) {
  const double shift[2] = {tail.mode1_shift, tail.mode2_shift};
  const double* table[2] = {t01tab::tail_shield_1, t01tab::tail_shield_2};
  Vec3* out[2] = {&b1, &b2};
  for (int k = 0; k < 2; ++k) {
    const ModeShape& s = kMode[k];
    const double xs = (x - s.x_offset - shift[k]) * s.alpha - s.x_pivot * (s.alpha - 1.0);
    const double ys = s.alpha * y;
    const double zs = s.alpha * z;
    const double d0 = s.alpha * tail.half_thickness;
    const Vec3 fs = taildisk(d0, s.deltax, tail.flank_growth, xs, ys, zs);
    const Vec3 hs = shlcar5x5(table[k], x, y, z, shift[k]);
    *out[k] = Vec3{fs.x + hs.x, fs.y + hs.y, fs.z + hs.z};
  }
}

// taildisk: field of one flat five-term current sheet.
// Given:    d0  half-thickness, Re;  deltax  sunward thickening, Re;
//           deltay  flank growth, Re;  x, y, z  sheet frame, Re
// Returned: field, nT
// Notes:    1. On the sheet's axis (x = y = 0) the field is the limit of the
//             sheet formulas there: the derivatives of the cylindrical radius
//             are taken as 0 (every term they enter carries a factor x or y),
//             which leaves bx = by = 0 and a finite bz.
Vec3 taildisk(double d0, double deltax, double deltay, double x, double y, double z) {
  const double rho = std::sqrt(x * x + y * y);
  const double drhodx = rho > 0.0 ? x / rho : 0.0;
  const double drhody = rho > 0.0 ? y / rho : 0.0;
  const double dex = std::exp(x / 7.0);
  const double d = d0 + deltay * (y / 20.0) * (y / 20.0) + deltax * dex;
  const double dddy = deltay * y * 0.005;
  const double dddx = deltax / 7.0 * dex;
  const double dzeta = std::sqrt(z * z + d * d);
  const double ddzetadx = d * dddx / dzeta;
  const double ddzetady = d * dddy / dzeta;
  const double ddzetadz = z / dzeta;
  Vec3 b{0.0, 0.0, 0.0};
  for (int i = 0; i < 5; ++i) {
    const double bi = kDiskB[i], ci = kDiskC[i];
    const double s1 = std::sqrt((rho + bi) * (rho + bi) + (dzeta + ci) * (dzeta + ci));
    const double s2 = std::sqrt((rho - bi) * (rho - bi) + (dzeta + ci) * (dzeta + ci));
    const double ds1drho = (rho + bi) / s1, ds2drho = (rho - bi) / s2;
    const double ds1ddz = (dzeta + ci) / s1, ds2ddz = (dzeta + ci) / s2;
    const double ds1dx = ds1drho * drhodx + ds1ddz * ddzetadx;
    const double ds1dy = ds1drho * drhody + ds1ddz * ddzetady;
    const double ds1dz = ds1ddz * ddzetadz;
    const double ds2dx = ds2drho * drhodx + ds2ddz * ddzetadx;
    const double ds2dy = ds2drho * drhody + ds2ddz * ddzetady;
    const double ds2dz = ds2ddz * ddzetadz;
    const double s1ts2 = s1 * s2;
    const double s1ps2 = s1 + s2;
    const double s1ps2sq = s1ps2 * s1ps2;
    const double fac1 = std::sqrt(s1ps2sq - (2.0 * bi) * (2.0 * bi));
    const double as = fac1 / (s1ts2 * s1ps2sq);
    const double dasds1 =
        (1.0 / (fac1 * s2) - as / s1ps2 * (s2 * s2 + s1 * (3.0 * s1 + 4.0 * s2))) / (s1 * s1ps2);
    const double dasds2 =
        (1.0 / (fac1 * s1) - as / s1ps2 * (s1 * s1 + s2 * (3.0 * s2 + 4.0 * s1))) / (s2 * s1ps2);
    const double dasdx = dasds1 * ds1dx + dasds2 * ds2dx;
    const double dasdy = dasds1 * ds1dy + dasds2 * ds2dy;
    const double dasdz = dasds1 * ds1dz + dasds2 * ds2dz;
    b.x -= kDiskF[i] * x * dasdz;
    b.y -= kDiskF[i] * y * dasdz;
    b.z += kDiskF[i] * (2.0 * as + x * dasdx + y * dasdy);
  }
  return b;
}

// shlcar5x5: shielding field of a tail mode, 25 Cartesian harmonics.
// Given:    a  60-value table (a[0..49] pairs, a[50..54] y scales,
//           a[55..59] z scales);  x, y, z  Re;  shift  the mode's x shift, Re
// Returned: field, nT
Vec3 shlcar5x5(const double* a, double x, double y, double z, double shift) {
  // Sines and cosines of z once per z scale (each serves five harmonics).
  double szr[5], czr[5];
  for (int k = 0; k < 5; ++k) {
    szr[k] = std::sin(z * (1.0 / a[55 + k]));
    czr[k] = std::cos(z * (1.0 / a[55 + k]));
  }
  Vec3 h{0.0, 0.0, 0.0};
  int l = 0;
  for (int i = 0; i < 5; ++i) {
    const double rp = 1.0 / a[50 + i];
    const double cypi = std::cos(y * rp), sypi = std::sin(y * rp);
    for (int k = 0; k < 5; ++k) {
      const double rr = 1.0 / a[55 + k];
      const double szrk = szr[k], czrk = czr[k];
      const double sqpr = std::sqrt(rp * rp + rr * rr);
      const double epr = std::exp(x * sqpr);
      const double dx = -sqpr * epr * cypi * szrk;
      const double dy = rp * epr * sypi * szrk;
      const double dz = -rr * epr * cypi * czrk;
      l += 2;
      const double coef = a[l - 2] + a[l - 1] * shift;
      h.x += coef * dx;
      h.y += coef * dy;
      h.z += coef * dz;
    }
  }
  return h;
}

}  // namespace kest::t01
