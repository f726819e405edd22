// Tsyganenko 1987 magnetospheric field models, short tail and long tail.
//
// The field of the magnetospheric currents as the sum of three parts, each
// with one parameter set per Kp class:
//  - a tail current sheet of finite thickness D across the night side, from
//    the abscissa X0 tailward, that hinges with the dipole tilt at the
//    distance RH, with a dawn-dusk profile of scale DY; two image sheets at
//    z = +-30 Earth radii (taken with half weight and opposite sign) keep its
//    field inside the magnetosphere. Its amplitude falls off tailward in two
//    modes (three in the long-tail model), each the closed-form field of a
//    sheet whose current density is a simple function of x;
//  - a closure field (magnetopause and field-aligned currents) of
//    polynomial-times-exponential form;
//  - a ring current of softened-dipole form with scale length Rc.
// Both versions work in GSM and read the dipole tilt at every call; each
// keeps its Kp class's parameters between calls.
#include <cmath>

#include "extfield/tsyganenko87_tables.hpp"
#include "extfield/champ_adaptors.hpp"
#include "frame/conventions.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

// 1/pi as the model stores it.
constexpr double kInvPi = 0.3183099031;

// Tilt from dip_ang (degrees) to radians, written as the models do.
double tilt_radians() { return std::atan(1.0) * (kest::dip_ang.tilt * 4.0) * 0.005555555555555556; }

// Per-class quantities of the tail and ring-current parts.
struct TailRing {
  double b0, b1, b2;  // tail mode amplitudes (b2: long tail only)
  double d2;          // sheet thickness squared
  double x0, xn;      // tail abscissae: X0 and the start XN of the mode-1 profile
  double rh, dy;      // hinging distance, dawn-dusk scale
  double n21;         // (X0 - XN)^2
  double inv_x05;     // 1 / (X0 - 5)                (long tail)
  double l2shift;     // ln((X0 - 5)^2 / (X0 - 4)^2)  (long tail)
  double rc2;         // ring-current scale length squared
  double cring;       // 4 * ring amplitude / Rc^2
};

// Class caches: the class last loaded (100 at start, a class the entries
// never pass, so that their first call loads; the trial caches take their key
// from the caller), its parameter column and derived quantities.
template <int N>
struct T87Cache {
  int iopt = 100;
  double a[N] = {};
  TailRing tr{};
};
// The caches of the two entries; the two trial caches serve the evaluation
// with a caller's own parameter column, so that a trial column can never be
// taken for a published class by the entries.
T87Cache<24> t87s_cache;
T87Cache<32> t87l_cache;
T87Cache<24> t87s_trial_cache;
T87Cache<32> t87l_trial_cache;

// Tail (two or three modes) plus ring current, GSM; adds into b.
void tail_and_ring(const TailRing& p, bool third_mode, double s, double c, double x, double y, double z,
                   double* b) {
  const double half_pi = std::atan(1.0) + std::atan(1.0);
  const double zk[3] = {z - s * p.rh, z - 30.0, z + 30.0};  // sheet, upper image, lower image
  const double fy = kInvPi / ((y / p.dy) * (y / p.dy) + 1.0);
  const double xnx = p.x0 - x;
  const double xc1 = x - p.xn;
  const double xc2 = x - 5.0;
  const double xr2 = xc2 * p.inv_x05;
  double l[3], s0[3], s1[3], g1[3], s2[3], g2[3];
  for (int k = 0; k < 3; ++k) {
    const double b2 = zk[k] * zk[k] + p.d2;
    const double bk = std::sqrt(b2);
    const double xa = b2 + xc1 * xc1;
    l[k] = std::log(p.n21 / (b2 + xnx * xnx));
    s0[k] = (std::atan(xnx / bk) + half_pi) / bk;
    s1[k] = (s0[k] * xc1 + 0.5 * l[k]) / xa;
    g1[k] = (s0[k] * b2 - 0.5 * l[k] * xc1) / xa;
    if (third_mode) {
      const double xa2 = 1.0 / (b2 + xc2 * xc2);
      const double f = b2 - xc2 * xc2;
      const double l2 = l[k] + p.l2shift;
      s2[k] = xa2 * (xc2 * xa2 * l2 - p.inv_x05 - f * xa2 * s0[k]);
      g2[k] = ((2.0 * s0[k] * b2 * xc2 + 0.5 * f * l2) * xa2 + xr2) * xa2;
    }
  }
  // Sheet minus half of each image: Q for x (weighted by the sheet
  // coordinates), P for z.
  auto q = [&](const double* v) { return v[0] * zk[0] - 0.5 * (v[2] * zk[2] + v[1] * zk[1]); };
  auto pz = [&](const double* v) { return v[0] - 0.5 * (v[1] + v[2]); };
  double bx = p.b0 * q(s0) + p.b1 * q(s1);
  double bz = p.b0 * 0.25 * (l[1] + l[2] - 2.0 * l[0]) + p.b1 * pz(g1);
  if (third_mode) {
    bx += p.b2 * q(s2);
    bz += p.b2 * pz(g2);
  }
  b[0] += fy * bx;
  b[2] += fy * bz;

  // Ring current: softened dipole along the tilted axis.
  const double xt = c * x - s * z;
  const double zt = c * z + s * x;
  const double r2 = y * y + xt * xt;
  const double w = std::pow((zt * zt + r2) / p.rc2 + 4.0, 2.5);
  const double br = 3.0 * p.cring * zt / w;
  const double bzt = p.cring * (8.0 * p.rc2 + 2.0 * zt * zt - r2) / w;
  b[0] += s * bzt + c * br * xt;
  b[2] += c * bzt - s * br * xt;
  b[1] += y * br;
}

void load_short(const double* a, T87Cache<24>& k) {
  for (int i = 0; i < 24; ++i) k.a[i] = a[i];
  TailRing& t = k.tr;
  t.b0 = a[14];
  t.b1 = a[15];
  t.b2 = 0.0;
  t.rc2 = a[17] * a[17];
  t.cring = 4.0 * a[16] / t.rc2;
  t.x0 = a[18];
  t.d2 = a[19] * a[19];
  t.dy = a[20];
  t.rh = a[21];
  t.xn = a[22];
  t.n21 = (t.x0 - t.xn) * (t.x0 - t.xn);
  t.inv_x05 = 0.0;
  t.l2shift = 0.0;
}

void load_long(const double* a, T87Cache<32>& k) {
  for (int i = 0; i < 32; ++i) k.a[i] = a[i];
  TailRing& t = k.tr;
  t.b0 = a[22];
  t.b1 = a[23];
  t.b2 = a[24];
  t.rc2 = a[26] * a[26];
  t.cring = 4.0 * a[25] / t.rc2;
  t.x0 = a[27];
  t.d2 = a[28] * a[28];
  t.dy = a[29];
  t.rh = a[30];
  t.xn = 4.0;  // fixed abscissa X1 of the long-tail profile
  t.n21 = (t.x0 - 4.0) * (t.x0 - 4.0);
  t.inv_x05 = 1.0 / (t.x0 - 5.0);
  t.l2shift = std::log((t.x0 - 5.0) * (t.x0 - 5.0) / t.n21);
}

// Short-tail field, GSM, with the class column a (A1..A24) and its cache.
void short_field(T87Cache<24>& k, int iopt, const double* a, double x, double y, double z, double* b) {
  const double psi = tilt_radians();
  const double s = std::sin(psi), c = std::cos(psi);
  if (iopt != k.iopt) {
    load_short(a, k);
    k.iopt = iopt;
  }
  const double* p = k.a;
  const double e = std::exp(x / p[23]);
  const double y2 = y * y, z2 = z * z;
  // Closure field. Its divergence vanishes term by term when
  // A1/A24 + A5 + 2 A11 = A2/A24 + A6 + A12 = A3/A24 + 3 A7 + A13
  // = A4/A24 + A8 + 3 A14 = 0, which the published sets satisfy to their
  // four digits; the y^2 in the tilt term of Bx is what the third relation
  // needs.
  b[0] = (p[0] * c * z + s * (p[1] + p[2] * y2 + p[3] * z2)) * e;
  b[1] = (p[4] * c * y * z + s * y * (p[5] + p[6] * y2 + p[7] * z2)) * e;
  b[2] = (c * (p[8] + p[9] * y2 + p[10] * z2) + s * z * (p[11] + p[12] * y2 + p[13] * z2)) * e;
  tail_and_ring(k.tr, false, s, c, x, y, z, b);
}

// Long-tail field, GSM, with the class column a (A1..A32) and its cache.
void long_field(T87Cache<32>& k, int iopt, const double* a, double x, double y, double z, double* b) {
  const double psi = tilt_radians();
  const double s = std::sin(psi), c = std::cos(psi);
  if (iopt != k.iopt) {
    load_long(a, k);
    k.iopt = iopt;
  }
  const double* p = k.a;
  const double e = std::exp(x / p[31]);
  const double e2 = e * e;
  const double y2 = y * y, z2 = z * z;
  b[0] = s * (p[1] * e + (p[3] + p[4] * y2 + p[5] * z2) * e2) + c * z * (p[0] * e + p[2] * e2);
  b[1] = s * y * (p[7] * e + (p[9] + p[10] * y2 + p[11] * z2) * e2) + c * y * z * (p[6] * e + p[8] * e2);
  b[2] = s * z * (p[15] * e + (p[19] + p[20] * y2 + p[21] * z2) * e2) +
         c * ((p[12] + p[13] * y2 + p[14] * z2) * e + (p[16] + p[17] * y2 + p[18] * z2) * e2);
  tail_and_ring(k.tr, true, s, c, x, y, z, b);
}

// The field of Kp class iopt (1..classes) from the published sets, as both
// entries give it: a class outside the table gives the zero vector rather
// than a read outside it; a position or tilt without a finite value gives the
// fill value.
template <int N, int Classes>
void class_field(void (*field)(T87Cache<N>&, int, const double*, double, double, double, double*),
                 T87Cache<N>& cache, const double (&params)[Classes][N], int iopt, double x, double y,
                 double z, double* bx, double* by, double* bz) {
  if (iopt < 1 || iopt > Classes) {
    *bx = *by = *bz = 0.0;
    return;
  }
  if (!(std::isfinite(x) && std::isfinite(y) && std::isfinite(z) && std::isfinite(kest::dip_ang.tilt))) {
    *bx = *by = *bz = kest::baddata;
    return;
  }
  double b[3];
  field(cache, iopt, params[iopt - 1], x, y, z, b);
  *bx = b[0];
  *by = b[1];
  *bz = b[2];
}

}  // namespace

void kest::t87_short_field(int key, const double* a, double x, double y, double z, double* b) {
  short_field(t87s_trial_cache, key, a, x, y, z, b);
}

void kest::t87_long_field(int key, const double* a, double x, double y, double z, double* b) {
  long_field(t87l_trial_cache, key, a, x, y, z, b);
}

// tsy87s: Tsyganenko 1987 short-tail external field at one point.
// Given:    iopt  int  Kp class 1..8 (10 Kp: <7, <17, <20, <27, <37, <47,
//                 <53, >=53)
//           x, y, z  double  GSM position, Earth radii
// Returned: bx, by, bz  double  external field, GSM components, nT
// State:    reads dip_ang (tilt, degrees); keeps the class cache t87s_cache.
// Requires: dip_ang set for the time; iopt from the set-up.
// Failure:  none reported. A class outside 1..8 is the caller's fault and
//           gives the zero vector rather than reading outside the table; a
//           position or tilt that is not finite gives the fill value -1e31
//           in all three components.
// Notes:    1. Valid out to 30 Earth radii; the field routine refuses points
//             beyond.
//           2. The mode-1 tail profile starts at the class's own abscissa
//             XN (A23), not at a fixed one as in the long-tail version.
// References: N. A. Tsyganenko, Global quantitative models of the
//           geomagnetic field in the cislunar magnetosphere for different
//           disturbance levels, Planet. Space Sci. 35, 1347 (1987).
extern "C" void tsy87s_(int* iopt, double* x, double* y, double* z, double* bx, double* by, double* bz) {
  class_field(short_field, t87s_cache, kest::t87::short_params, *iopt, *x, *y, *z, bx, by, bz);
}

// tsy87l: Tsyganenko 1987 long-tail external field at one point.
// Given:    iopt  int  Kp class 1..6 (10 Kp: <7, <17, <27, <37, <47, >=47)
//           x, y, z  double  GSM position, Earth radii
// Returned: bx, by, bz  double  external field, GSM components, nT
// State:    reads dip_ang (tilt, degrees); keeps the class cache t87l_cache.
// Requires: dip_ang set for the time; iopt from the set-up.
// Failure:  none reported. A class outside 1..6 is the caller's fault and
//           gives the zero vector rather than reading outside the table; a
//           position or tilt that is not finite gives the fill value -1e31
//           in all three components.
// Notes:    1. The third tail mode starts at the fixed abscissa 5 Earth radii,
//             the second at 4.
// References: N. A. Tsyganenko, Global quantitative models of the
//           geomagnetic field in the cislunar magnetosphere for different
//           disturbance levels, Planet. Space Sci. 35, 1347 (1987).
extern "C" void tsy87l_(int* iopt, double* x, double* y, double* z, double* bx, double* by, double* bz) {
  class_field(long_field, t87l_cache, kest::t87::long_params, *iopt, *x, *y, *z, bx, by, bz);
}

// The two models as champ calls them: GSM point, Kp class from the set-up.
void kest::tsy87s_champ(double* x, double* b) {
  tsy87s_(&kest::index.kp_class, &x[0], &x[1], &x[2], &b[0], &b[1], &b[2]);
}
void kest::tsy87l_champ(double* x, double* b) {
  tsy87l_(&kest::index.kp_class, &x[0], &x[1], &x[2], &b[0], &b[1], &b[2]);
}
