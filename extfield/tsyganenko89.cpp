// Tsyganenko 1989 magnetospheric field model (T89c parameter sets).
//
// The field of the magnetospheric currents as a linear combination of
// seventeen basis fields with amplitudes A1..A17 per Kp class: the ring
// current (5), two modes of the tail current (1, 2) and their parts growing
// with the square of the tilt (16, 17), image currents that shield the tail
// at z = +-30 Earth radii (3, 4), and ten closure terms for the magnetopause
// and field-aligned currents (6..15). The shapes depend on thirteen more
// parameters A18..A30, on the tilt and on a current-sheet surface that
// follows the dipole equator near the Earth, hinges A22 Earth radii tailward
// to run parallel to the GSM equator beyond, and warps in y. Every basis
// field is the curl of a vector potential, so the model field is
// divergence-free.
#include <cmath>

#include "extfield/tsyganenko89_tables.hpp"
#include "extfield/champ_adaptors.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

// Quantities derived from a parameter column, kept by t89 between calls and
// refreshed only on a call flagged as a new class.
struct T89Derived {
  double a[29] = {};               // A1..A29
  double inv_dy2 = 0.0;            // 1 / A30^2 (image-current dawn-dusk scale)
  double m2_inv_dy2 = 0.0;         // -2 / A30^2
  double m05_inv_xe = 0.0;         // -0.5 / A18
  double m1_inv_xe = 0.0;          // -1 / A18
  double m13_inv_xe = 0.0;         // -1 / (3 A18)
  double cz2c = 0.0;               // -A6/(2 A18) - A10/2: z^2 c X in Bz
  double czs = 0.0;                // -A7/A18 - A11: z s X in Bz
  double cy2zs = 0.0;              // -A8/A18 - 3 A12: y^2 z s X in Bz
  double cz3s = 0.0;               // -A9/(3 A18) - A13/3: z^3 s X in Bz
};
T89Derived t89_derived;

// Class cache of t89c: the class last loaded (10 at start, a class no caller
// passes, so the first call loads), its column and t89's basis fields.
struct T89cCache {
  int iopt = 10;
  double a[30] = {};
  double der[30][3] = {};
};
T89cCache t89c_cache;

}  // namespace

// t89: Tsyganenko 1989 field and basis fields at one point.
// Given:    flag  int  1 when a is a new parameter column
//           a(30)  double  parameters A1..A30 (read only when flag = 1)
//           xi(4)  double  GSM x, y, z (Earth radii) and tilt psi (radians)
// Returned: f(3)  double  external field, GSM, nT
//           der(3,30)  double  basis field k per unit Ak in column k
//                      (k = 1..17, component fastest); the other columns
//                      are left as they are (cleared when flag = 1)
// State:    keeps the derived quantities t89_derived between calls; a call
//           with flag = 1 and a column other than t89c's marks t89c's class
//           as not loaded (t89c_cache.iopt = 10).
// Requires: a call with flag = 1 before the first call with flag = 0.
// Failure:  none reported. The image terms are singular on the GSM z axis
//           at |z| >= 30 Earth radii; no guard is placed there.
// References: N. A. Tsyganenko, A magnetospheric magnetic field model with a
//           warped tail current sheet, Planet. Space Sci. 37, 5 (1989).
extern "C" void t89_(int* flag, double* a, double* xi, double* f, double* der) {
  T89Derived& d = t89_derived;
  double(*dr)[3] = reinterpret_cast<double(*)[3]>(der);
  if (*flag == 1) {
    for (int k = 0; k < 30; ++k) dr[k][0] = dr[k][1] = dr[k][2] = 0.0;
    for (int k = 0; k < 29; ++k) d.a[k] = a[k];
    d.inv_dy2 = 1.0 / (a[29] * a[29]);
    d.m2_inv_dy2 = -2.0 / (a[29] * a[29]);
    d.m05_inv_xe = -0.5 / a[17];
    d.m1_inv_xe = -1.0 / a[17];
    d.m13_inv_xe = -1.0 / (3.0 * a[17]);
    d.cz2c = d.m05_inv_xe * a[5] - 0.5 * a[9];
    d.czs = d.m1_inv_xe * a[6] - a[10];
    d.cy2zs = d.m1_inv_xe * a[7] - 3.0 * a[11];
    d.cz3s = d.m13_inv_xe * a[8] - a[12] / 3.0;
    // The derived record is shared with t89c: a caller's own column marks
    // t89c's class as not loaded, so its next call loads its column again.
    if (a != t89c_cache.a) t89c_cache.iopt = 10;
  }
  const double* A = d.a;  // A[k-1] = Ak
  const double x = xi[0], y = xi[1], z = xi[2], psi = xi[3];

  // Tilt.
  const double s = std::sin(psi);
  const double c = std::sqrt(1.0 - s * s);
  const double t = s / c;

  // Rotated coordinates: XS along the tilted sheet, ZM across it.
  const double xs = c * x - s * z;
  const double zm = c * z + s * x;
  const double y2 = y * y;
  const double rho2 = y2 + xs * xs;

  // Current-sheet surface: hinged at A22, warped in y with amplitude A23.
  const double xr = xs + A[21];
  const double sr = std::sqrt(xr * xr + 16.0);
  const double y4 = y2 * y2;
  const double y4p = y4 + 10000.0;
  const double zs = 0.5 * t * (xr - sr) - A[22] * s * y4 / y4p;
  const double dzs_dxs = -0.5 * t * (xr - sr) / sr;
  const double dzs_dy = -40000.0 * A[22] * s * y2 * y / (y4p * y4p);
  const double dz = zm - zs;
  const double kk = y * dzs_dy + xs * dzs_dxs;

  // Back rotation of a field given along (XS, y, ZM).
  auto back = [&](double bxp, double byp, double bzp, double* out) {
    out[0] = s * bzp + c * bxp;
    out[1] = byp;
    out[2] = c * bzp - s * bxp;
  };

  // Ring current (basis 5).
  {
    const double xs25 = xs * xs + 25.0;
    const double dr_ = A[19] + A[20] * (1.0 + xs / std::sqrt(xs25)) * 0.5;
    const double drp = 12.5 / (xs25 * std::sqrt(xs25));
    const double zr = std::sqrt(dz * dz + dr_ * dr_);
    const double p = zr + A[18];
    const double q = p * p + rho2;
    const double w = 1.0 / (q * q * std::sqrt(q));
    const double g = 3.0 * p * w / zr;
    back(g * xs * dz, g * y * dz, g * (dz * kk - xs * A[20] * dr_ * drp) + (2.0 * p * p - rho2) * w, dr[4]);
  }

  // Tail current, two modes (bases 1, 2; 16, 17 = those times psi^2).
  {
    const double xs40 = xs * xs + 40.0;
    double dt = A[19] + A[25] * y2;
    double dtp = 0.0;
    if (std::fabs(A[28]) >= 0.000001) {
      dt += A[28] * (1.0 + xs / std::sqrt(xs40)) * 0.5;
      dtp = A[28] * 20.0 / (xs40 * std::sqrt(xs40));
    }
    const double zrt = std::sqrt(dz * dz + dt * dt);
    const double xc = xs - A[27];
    const double xc170 = xc * xc + 170.0;
    const double wx = 0.5 * (1.0 - xc / std::sqrt(xc170));
    const double wxp = -85.0 / (xc170 * std::sqrt(xc170));
    const double q = std::sqrt(std::sqrt(xs * xs + 16.0) - xs);
    const double qp = -q / (2.0 * (q * q + xs));
    const double dy = A[24] + A[26] * q;
    const double wy = 1.0 / (1.0 + y2 / (dy * dy));
    const double wxy = wx * wy;
    const double h = xs * (2.0 * A[26] * y2 * wy * wy * qp * wx / (dy * dy * dy) + wxp * wy) -
                     2.0 * y2 * wy * wy * wx / (dy * dy);
    const double e = dz * kk - 2.0 * A[25] * y2 * dt - xs * dt * dtp;
    const double xi_ = zrt + A[23];
    const double ss = std::sqrt(xi_ * xi_ + rho2);
    const double sxi = ss + xi_;
    const double g1 = wxy / (zrt * ss * sxi);
    back(g1 * xs * dz, g1 * y * dz, g1 * e + h / sxi + wxy / ss, dr[0]);
    const double s3 = ss * ss * ss;
    const double g2 = wxy / (zrt * s3);
    back(g2 * xs * dz, g2 * y * dz, g2 * e + h / (ss * sxi) + wxy * xi_ / s3, dr[1]);
    const double psi2 = psi * psi;
    for (int k = 0; k < 3; ++k) {
      dr[15][k] = dr[0][k] * psi2;
      dr[16][k] = dr[1][k] * psi2;
    }
  }

  // Image currents (bases 3, 4), in GSM.
  {
    const double wym = 1.0 / (1.0 + y2 * d.inv_dy2);
    const double x4 = x - 4.0;
    const double x450 = x4 * x4 + 50.0;
    const double w1 = 0.5 * (1.0 - x4 / std::sqrt(x450)) * wym;
    const double dw1dx = -25.0 / (x450 * std::sqrt(x450)) * wym;
    const double dw1dy = d.m2_inv_dy2 * y * w1 * wym;
    const double g = x * dw1dx + y * dw1dy;
    const double zp = z + 30.0, zn = z - 30.0;
    const double rp = std::sqrt(x * x + y2 + zp * zp);
    const double rm = std::sqrt(x * x + y2 + zn * zn);
    const double up = w1 / (rp * (zp + rp));
    const double ux = x * up, uy = y * up, uz = w1 / rp + g / (zp + rp);
    const double lo = -w1 / (rm * (rm - zn));
    const double lx = x * lo, ly = y * lo, lz = g / (rm - zn) + w1 / rm;
    dr[2][0] = ux + lx;
    dr[2][1] = uy + ly;
    dr[2][2] = uz + lz;
    dr[3][0] = s * (ux - lx);
    dr[3][1] = s * (uy - ly);
    dr[3][2] = s * (uz - lz);
  }

  // Closure terms (bases 6..15).
  const double ex = std::exp(x / A[17]);
  const double cx = c * ex, sx = s * ex;
  const double z2 = z * z;
  dr[5][0] = z * cx;
  dr[5][2] = z2 * cx * d.m05_inv_xe;
  dr[6][0] = sx;
  dr[6][2] = z * sx * d.m1_inv_xe;
  dr[7][0] = y2 * sx;
  dr[7][2] = y2 * z * sx * d.m1_inv_xe;
  dr[8][0] = z2 * sx;
  dr[8][2] = z2 * z * sx * d.m13_inv_xe;
  dr[9][1] = y * z * cx;
  dr[9][2] = -0.5 * z2 * cx;
  dr[10][1] = y * sx;
  dr[10][2] = -z * sx;
  dr[11][1] = y2 * y * sx;
  dr[11][2] = -3.0 * y2 * z * sx;
  dr[12][1] = y * z2 * sx;
  dr[12][2] = -z2 * z * sx / 3.0;
  dr[13][2] = cx;
  dr[14][2] = y2 * cx;

  // Sum; the z components of bases 6..13 through the combined coefficients.
  f[0] = A[0] * dr[0][0] + A[1] * dr[1][0] + A[2] * dr[2][0] + A[3] * dr[3][0] + A[4] * dr[4][0] +
         A[5] * dr[5][0] + A[6] * dr[6][0] + A[7] * dr[7][0] + A[8] * dr[8][0] + A[15] * dr[15][0] +
         A[16] * dr[16][0];
  f[1] = A[0] * dr[0][1] + A[1] * dr[1][1] + A[2] * dr[2][1] + A[3] * dr[3][1] + A[4] * dr[4][1] +
         A[9] * dr[9][1] + A[10] * dr[10][1] + A[11] * dr[11][1] + A[12] * dr[12][1] + A[15] * dr[15][1] +
         A[16] * dr[16][1];
  f[2] = A[0] * dr[0][2] + A[1] * dr[1][2] + A[2] * dr[2][2] + A[3] * dr[3][2] + A[4] * dr[4][2] +
         d.cz2c * z2 * cx + d.czs * z * sx + d.cy2zs * y2 * z * sx + d.cz3s * z2 * z * sx + A[13] * dr[13][2] +
         A[14] * dr[14][2] + A[15] * dr[15][2] + A[16] * dr[16][2];
}

// t89c: Tsyganenko 1989 external field at one point for a Kp class.
// Given:    iopt  int  Kp class 1..7 (10 Kp: <7, <17, <27, <37, <47, <57, >=57)
//           x, y, z  double  GSM position, Earth radii
// Returned: bx, by, bz  double  external field, GSM components, nT
// State:    reads dip_ang (tilt, degrees); keeps the class cache t89c_cache
//           (and through t89 its derived quantities).
// Requires: dip_ang set for the time; iopt from the set-up.
// Failure:  none reported; a class outside 1..7 is the caller's fault and
//           gives the zero vector rather than reading outside the table.
// References: N. A. Tsyganenko, Planet. Space Sci. 37, 5 (1989); parameter
//           sets of the T89c release (1996).
extern "C" void t89c_(int* iopt, double* x, double* y, double* z, double* bx, double* by, double* bz) {
  if (*iopt < 1 || *iopt > 7) {
    *bx = *by = *bz = 0.0;
    return;
  }
  const double psi = std::atan(1.0) * (kest::dip_ang.tilt * 4.0) * 0.005555555555555556;
  int flag = 0;
  if (*iopt != t89c_cache.iopt) {
    flag = 1;
    t89c_cache.iopt = *iopt;
    for (int k = 0; k < 30; ++k) t89c_cache.a[k] = kest::t89::params[*iopt - 1][k];
  }
  double xi[4] = {*x, *y, *z, psi};
  double f[3];
  t89_(&flag, t89c_cache.a, xi, f, &t89c_cache.der[0][0]);
  *bx = f[0];
  *by = f[1];
  *bz = f[2];
}

// The model as champ calls it: GSM point, Kp class from the set-up.
void kest::t89c_champ(double* x, double* b) { t89c_(&kest::index.kp_class, &x[0], &x[1], &x[2], &b[0], &b[1], &b[2]); }
