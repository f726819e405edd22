// Ostapenko-Maltsev 1997 magnetospheric field model.
//
// The field of the magnetospheric currents as seventeen fixed basis fields
// in solar-magnetic coordinates scaled to units of 10 Earth radii: solid
// harmonics (potential fields of the magnetopause currents, degrees 1 to 5)
// and low-order polynomial current fields (tail and ring currents). Their
// amplitudes depend linearly on four normalised drivers (Dst, solar-wind
// dynamic pressure, Kp, IMF Bz); the five amplitudes of the fields whose x
// component is even in z and whose z component is odd carry the sine of the
// dipole tilt, which keeps the north-south mirror symmetry of the model.
// Every basis field is divergence-free.
#include <cmath>
#include <cstdio>

#include "extfield/extfield_state.hpp"
#include "frame/conventions.hpp"
#include "extfield/champ_adaptors.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace kest {
Coefom97 coefom97;
}

namespace {

constexpr int kMaxDegree = 7;

// Ostapenko and Maltsev (1997), regression of the basis amplitudes on the
// normalised drivers: row n gives A(n) = T0 + T1 X1 + T2 X2 + T3 X3 + T4 X4
// (nT). The published values are single-precision constants: each is held as
// the double of its nearest float.
constexpr double kT[17][5] = {
    {-43.392f, 20.364f, -0.74532f, -3.2941f, -1.6294f},
    {40.308f, -13.734f, 6.4463f, 3.4054f, 2.8944f},
    {7.0475f, -3.292f, 2.2886f, 0.10694f, 0.8028f},
    {133.47f, -61.188f, 25.064f, 2.5815f, 11.37f},
    {-36.968f, 24.557f, -12.768f, 4.1262f, -4.2696f},
    {-130.1f, 46.964f, -25.64f, -14.84f, -9.6417f},
    {23.632f, 4.9102f, 7.9419f, 4.3164f, 2.6925f},
    {-1.7139f, -0.74376f, 0.28973f, -0.96157f, -0.50774f},
    {1.2742f, -15.849f, 7.172f, -1.6217f, -10.925f},
    {-21.437f, -10.04f, -7.191f, -9.9341f, -5.0171f},
    {4.4863f, 3.1827f, -9.649f, -0.69168f, 3.4412f},
    {23.315f, -6.8824f, 12.323f, 3.5851f, -6.1224f},
    {23.179f, -2.0127f, 9.06f, -0.18949f, 0.15f},
    {-1.9672f, -1.3847f, 2.9655f, -3.4092f, 1.4149f},
    {12.97f, -4.3018f, 6.4866f, -0.12664f, -2.1103f},
    {5.7215f, -3.193f, 2.2242f, 0.3512f, 0.091624f},
    {4.9085f, -1.0754f, 3.5705f, -0.99892f, -0.6214f},
};

const char* const kErrorHead = "ERROR GENERATED IN OSTAPENKO-MALTSEV 1997";

// Legendre polynomials P_n(t) and their derivatives: p[n][m] = d^m P_n / dt^m,
// n = 0..N, m = 0..n (p[n][n+1] = 0 as the recurrence needs it).
void legndr(double t, int n_max, double (*p)[kMaxDegree + 2]) {
  if (n_max < 1 || n_max > kMaxDegree) {
    char line[64];
    std::snprintf(line, sizeof line, "LEGENDRE POLYNOM: WRONG PARAMETER N=%2d", n_max);
    kest::stop_stdout({kErrorHead, line});
  }
  p[0][0] = 1.0;
  p[0][1] = 0.0;
  p[1][0] = t;
  p[1][1] = 1.0;
  for (int n = 1; n <= n_max - 1; ++n) {
    p[n][n + 1] = 0.0;
    for (int m = n + 1; m >= 1; --m) p[n + 1][m] = (n + m) * p[n][m - 1] + t * p[n][m];
    p[n + 1][0] = ((2 * n + 1) * t * p[n][0] - n * p[n - 1][0]) / (n + 1);
  }
}

// The two families of potential fields of degrees 1..N at a scaled point:
// ps[n-1] = grad(r^n P_n(cos theta)) (axisymmetric), pa[n-1] = the gradient of
// x r^(n-1) P_n'(cos theta) (first order in longitude), normalised by
// sqrt(2 / (n (n + 1))).
void ptncl(double x, double y, double z, int n_max, double (*ps)[3], double (*pa)[3]) {
  if (n_max < 1 || n_max > kMaxDegree) {
    char line[64];
    std::snprintf(line, sizeof line, "PTNCL: WRONG PARAMETER N=%2d", n_max);
    kest::stop_stdout({kErrorHead, line});
  }
  for (int n = 0; n < n_max; ++n) ps[n][0] = ps[n][1] = ps[n][2] = pa[n][0] = pa[n][1] = pa[n][2] = 0.0;
  ps[0][2] = 1.0;
  pa[0][0] = 1.0;
  const double r2 = x * x + y * y + z * z;
  if (r2 == 0.0) return;
  const double r = std::sqrt(r2);
  const double c = z / r;
  double p[kMaxDegree + 1][kMaxDegree + 2] = {};
  legndr(c, n_max, p);
  // r^(n-3), r^(n-2), r^(n-1) advanced together from n = 2.
  double rn3 = 1.0 / r, rn2 = 1.0, rn1 = r;
  for (int n = 2; n <= n_max; ++n) {
    const double pn = p[n][0], pn1 = p[n][1], pn2 = p[n][2];
    const double d = rn2 * (n * pn - c * pn1);
    ps[n - 1][0] = d * x;
    ps[n - 1][1] = d * y;
    ps[n - 1][2] = d * z + rn1 * pn1;
    const double e = rn3 * ((n - 1) * pn1 - c * pn2) * x;
    pa[n - 1][0] = x * e + rn1 * pn1;
    pa[n - 1][1] = y * e;
    pa[n - 1][2] = z * e + x * rn2 * pn2;
    rn3 = rn2;
    rn2 = rn1;
    rn1 *= r;
  }
  double t = 1.0;
  for (int n = 2; n <= n_max; ++n) {
    t = t * (n - 1) / (n + 1);
    const double f = std::sqrt(t);
    for (int k = 0; k < 3; ++k) pa[n - 1][k] *= f;
  }
}

// Symmetric polynomial current fields (ring and tail current shapes).
void jetsym(double x, double y, double z, double (*f)[3]) {
  const double rho2 = x * x + y * y;
  const double z3 = z * z * z;
  f[0][0] = 0.0, f[0][1] = 0.0, f[0][2] = rho2;
  f[1][0] = 0.0, f[1][1] = 0.0, f[1][2] = rho2 * rho2;
  f[2][0] = -2.0 * x * z3, f[2][1] = -2.0 * y * z3, f[2][2] = z3 * z;
}

// Dawn-dusk and noon-midnight asymmetric polynomial current fields.
void jetasy(double x, double y, double z, double (*f)[3]) {
  const double rho2 = x * x + y * y;
  f[0][0] = z, f[0][1] = 0.0, f[0][2] = 0.0;
  f[1][0] = 0.0, f[1][1] = 0.0, f[1][2] = x * rho2;
  f[2][0] = z * z * z, f[2][1] = 0.0, f[2][2] = 0.0;
  f[3][0] = -y * y * z, f[3][1] = x * y * z, f[3][2] = -0.5 * x * z * z;
}

// The seventeen basis fields at a scaled point, one column each.
void baz_t(double x, double y, double z, int na, double (*der)[3]) {
  double ps[kMaxDegree][3], pa[kMaxDegree][3], s[3][3], j[4][3];
  ptncl(x, y, z, kMaxDegree, ps, pa);
  jetsym(x, y, z, s);
  jetasy(x, y, z, j);
  const double* cols[17] = {ps[0], ps[2], ps[4], s[0], s[1], s[2], pa[1], pa[3], j[0],
                            j[1],  j[2],  j[3],  ps[1], ps[3], pa[0], pa[2], pa[4]};
  int filled = 0;
  for (const double* col : cols) {
    if (filled < na) {
      der[filled][0] = col[0];
      der[filled][1] = col[1];
      der[filled][2] = col[2];
    }
    ++filled;
  }
  if (filled != na) {
    char line[80];
    std::snprintf(line, sizeof line, "ERROR IN MODULE BAZ_T K#MF:%d#%d", filled, static_cast<int>(na));
    kest::stop_stdout({kErrorHead, line});
  }
}

}  // namespace

// set_a: Ostapenko-Maltsev 1997 basis amplitudes for the drivers.
// Given:    dst  double  Dst, nT
//           pdyn  double  solar-wind dynamic pressure, nPa
//           kp  double  Kp (a real number, not times 10)
//           bz  double  IMF Bz, nT
//           sin_tilt  double  sine of the dipole tilt
// Returned: (none)
// State:    writes coefom97 (A1..A17, na = 17).
// Failure:  none; no input range is tested.
// Notes:    1. Each driver is normalised by the mean and standard deviation
//             of the data set the model was fitted to.
// References: A. A. Ostapenko and Yu. P. Maltsev, Relation of the magnetic
//           field in the magnetosphere to the geomagnetic and solar wind
//           activity, J. Geophys. Res. 102, 17467 (1997).
extern "C" void set_a_(double* dst, double* pdyn, double* kp, double* bz, double* sin_tilt) {
  const double x[4] = {(*dst + 16.9367) * 0.039551642579716335, (*pdyn - 2.278138) * 0.5311227297158918,
                       (*kp - 2.30896) * 0.7385469826663024, (*bz - 0.018) * 0.26989824836036813};
  kest::Coefom97& c = kest::coefom97;
  c.na = 17;
  for (int n = 0; n < 17; ++n) {
    double a = kT[n][0];
    for (int k = 0; k < 4; ++k) a += x[k] * kT[n][k + 1];
    c.a[n] = a;
  }
  for (int n = 12; n < 17; ++n) c.a[n] *= *sin_tilt;
}

// bom97: Ostapenko-Maltsev 1997 external field at one point.
// Given:    xin(3)  double  SM position, Earth radii
// Returned: b(3)  double  external field, SM components, nT
// State:    reads coefom97.
// Requires: set_a for the current drivers and tilt.
// Failure:  called before any set_a (na = 0): the two message lines " ERROR
//           GENERATED IN OSTAPENKO-MALTSEV 1997" and " ERROR IN MODULE BAZ_T
//           K#MF:17#0" on standard output, then the process stops (status 1).
// References: Ostapenko and Maltsev, J. Geophys. Res. 102, 17467 (1997).
extern "C" void bom97_(double* xin, double* b) {
  const double x = 0.1 * xin[0], y = 0.1 * xin[1], z = 0.1 * xin[2];
  const kest::Coefom97& c = kest::coefom97;
  double der[17][3];
  baz_t(x, y, z, c.na, der);
  b[0] = b[1] = b[2] = 0.0;
  for (int n = 0; n < c.na; ++n) {
    b[0] += c.a[n] * der[n][0];
    b[1] += c.a[n] * der[n][1];
    b[2] += c.a[n] * der[n][2];
  }
}

// The model as champ calls it: amplitudes from the drivers and the tilt at
// every call, then the field at the SM point.
void kest::om97_champ(double* x, double* b) {
  double sin_tilt = std::sin(kest::dip_ang.tilt * (4.0 * std::atan(1.0)) / 180.0);
  set_a_(&kest::drivers.dst, &kest::drivers.pdyn, &kest::drivers.kp, &kest::drivers.bzimf, &sin_tilt);
  bom97_(x, b);
}
