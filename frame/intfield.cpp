// The eccentric tilted dipole and the fixed-epoch internal models
// (Jensen-Cain 1960, GSFC 12/66 evaluated at 1970.0).
//
// The fixed-epoch models are kept in intfield in Gauss normalisation with the
// sign of the potential reversed, the form in which Jensen and Cain published
// theirs; get_intfield_ sums whichever model was loaded last.
#include <cmath>

#include "frame/conventions.hpp"
#include "frame/frame_state.hpp"
#include "frame/internal_field_tables.hpp"
#include "kest/frame.h"

namespace kest {
Intfield intfield{};
}  // namespace kest

namespace {

namespace tb = kest::tables;

// K(n,m) = ((n-1)^2 - m^2)/((2n-1)(2n-3)) of the Gauss-normalised Legendre
// recursion, n = 2..12, m = 0..n-2, as decimals cut after the eighth place
// (K(2,0) after the ninth). Row n - 2.
constexpr double kgauss[11][11] = {
    {0.333333333},
    {0.26666666, 0.2},
    {0.25714285, 0.22857142, 0.14285714},
    {0.25396825, 0.23809523, 0.19047619, 0.11111111},
    {0.25252525, 0.24242424, 0.21212121, 0.16161616, 0.09090909},
    {0.25174825, 0.24475524, 0.22377622, 0.18881118, 0.13986013, 0.07692307},
    {0.25128205, 0.24615384, 0.23076923, 0.2051282, 0.16923076, 0.12307692, 0.06666666},
    {0.25098039, 0.24705882, 0.23529411, 0.21568627, 0.18823529, 0.15294117, 0.10980392,
     0.05882352},
    {0.25077399, 0.24767801, 0.23839009, 0.22291021, 0.20123839, 0.17337461, 0.13931888,
     0.0990712, 0.05263157},
    {0.25062656, 0.2481203, 0.2406015, 0.22807017, 0.21052631, 0.18796992, 0.160401, 0.12781954,
     0.09022556, 0.04761904},
    {0.25051759, 0.2484472, 0.24223602, 0.23188405, 0.2173913, 0.19875776, 0.17598343,
     0.14906832, 0.11801242, 0.08281573, 0.04347826},
};

// Highest degree get_intfield_ sums.
constexpr int kmaxdeg = 12;

// Puts the dipole of a loaded model into dipigrf. gt, ht: Gauss-normalised,
// reversed sign, degrees 1 and 2 as gt(n,m) = gh[m][n], ht(n,m) = gh[n][m-1].
// The eccentric-centre formulas take Schmidt coefficients, so degree 2 is
// turned back from Gauss to Schmidt form (degree 1 is the same in both).
void load_dipole() {
  const auto& gh = kest::intfield.gh;
  // Schmidt-to-Gauss factors of degree 2: S(2,0) = 3/2, S(2,1) = sqrt(3),
  // S(2,2) = sqrt(3)/2.
  const double s20 = 1.5, s21 = std::sqrt(3.0), s22 = 0.5 * std::sqrt(3.0);
  double g[28] = {}, h[28] = {};
  g[1] = 0.0 - gh[0][1];                // g(1,0)
  g[2] = 0.0 - gh[1][1];                // g(1,1)
  h[2] = 0.0 - gh[1][0];                // h(1,1)
  g[3] = (0.0 - gh[0][2]) / s20;        // g(2,0)
  g[4] = (0.0 - gh[1][2]) / s21;        // g(2,1)
  h[4] = (0.0 - gh[2][0]) / s21;        // h(2,1)
  g[5] = (0.0 - gh[2][2]) / s22;        // g(2,2)
  h[5] = (0.0 - gh[2][1]) / s22;        // h(2,2)
  double th = 0.0, ph = 0.0;
  kest::Dipigrf& d = kest::dipigrf;
  get_terms_(g, h, &th, &ph, &d.x0, &d.y0, &d.z0, &d.b0);
  d.cos_th = std::cos(th);
  d.sin_th = std::sin(th);
  d.cos_ph = std::cos(ph);
  d.sin_ph = std::sin(ph);
}

}  // namespace

// dtd: field of the eccentric tilted dipole of dipigrf.
// Given:    x, y, z  double  GEO, Earth radii
// Returned: bx, by, bz  double  GEO Cartesian, nT
// State:    reads dipigrf.
// Requires: init_dtd_ (or a fixed-epoch loader) for dipigrf.
// Failure:  the dipole centre divides by zero; no test.
// Notes:    1. In the dipole frame (shifted to the centre, turned by the MAG
//             rotation) the field is written in Cartesian form:
//             Bx = -3 b0 x z/r^5, By = -3 b0 y z/r^5,
//             Bz = b0 (x^2 + y^2 - 2 z^2)/r^5, the same field as the
//             spherical form Br = -2 b0 cos(th)/r^3, Bth = -b0 sin(th)/r^3,
//             without its inverse trigonometric calls.
extern "C" void dtd_(double* xp, double* yp, double* zp, double* bx, double* by, double* bz) {
  const kest::Dipigrf& d = kest::dipigrf;
  const double ct = d.cos_th, st = d.sin_th, cp = d.cos_ph, sp = d.sin_ph;
  const double dx = *xp - d.x0, dy = *yp - d.y0, dz = *zp - d.z0;
  const double rho = cp * dx + sp * dy;
  const double xm = ct * rho - st * dz;
  const double ym = cp * dy - sp * dx;
  const double zm = st * rho + ct * dz;
  const double r2 = xm * xm + ym * ym + zm * zm;
  const double q = d.b0 / (r2 * r2 * std::sqrt(r2));
  const double bxm = -3.0 * q * xm * zm;
  const double bym = -3.0 * q * ym * zm;
  const double bzm = q * (xm * xm + ym * ym - 2.0 * zm * zm);
  *bx = ct * cp * bxm - sp * bym + st * cp * bzm;
  *by = ct * sp * bxm + cp * bym + st * sp * bzm;
  *bz = ct * bzm - st * bxm;
}

// jensenandcain1960: loads the Jensen-Cain 1960 model.
// State:    writes intfield (degrees 1-6, nmax = 7) and dipigrf.
// Notes:    1. Entries of degrees 7 and above keep what an earlier load left;
//             nmax keeps them out of the sum.
//           2. The dipole centre is computed from degree 2 in Schmidt form
//             (the table is Gauss-normalised).
// References: D. C. Jensen and J. C. Cain, "An interim geomagnetic field",
//           J. Geophys. Res. 67(9), 3568-3569 (1962).
extern "C" void jensenandcain1960_() {
  auto& gh = kest::intfield.gh;
  int i = 0;
  for (int n = 1; n <= 6; ++n) {
    for (int m = 0; m <= n; ++m, ++i) {
      gh[m][n] = tb::jc1960_g[i];
      if (m >= 1) gh[n][m - 1] = tb::jc1960_h[i];
    }
  }
  gh[0][0] = 0.0;
  kest::intfield.nmax = 7;
  load_dipole();
}

// gsfc1266: loads the GSFC 12/66 model, evaluated at 1970.0.
// State:    writes intfield (degrees 1-10, nmax = 11) and dipigrf.
// Notes:    1. Coefficient = main + 10 x first-order + 100 x second-order
//             term (T = 10 years after the 1960.0 epoch), times the
//             Schmidt-to-Gauss factor with a minus sign (reversed potential).
// References: J. C. Cain, S. J. Hendricks, R. A. Langel and W. V. Hudson,
//           "A proposed model for the International Geomagnetic Reference
//           Field-1965", J. Geomagn. Geoelectr. 19, 335-355 (1967).
extern "C" void gsfc1266_() {
  auto& gh = kest::intfield.gh;
  kest::intfield.nmax = 11;
  // Factors S(n,m) with the minus sign, n = 0..15; sf[n][m].
  double sf[16][16] = {};
  sf[0][0] = -1.0;
  for (int n = 1; n <= 15; ++n) {
    sf[n][0] = sf[n - 1][0] * (2.0 * n - 1.0) / n;
    for (int m = 1; m <= n; ++m) {
      const double j = m == 1 ? 2.0 : 1.0;
      sf[n][m] = sf[n][m - 1] * std::sqrt((n - m + 1) * j / (n + m));
    }
  }
  gh[0][0] = 0.0;
  int i = 0;
  for (int n = 1; n <= 10; ++n) {
    for (int m = 0; m <= n; ++m, ++i) {
      const double g = tb::gsfc1266_g[i] + 10.0 * tb::gsfc1266_gdot[i] +
                       10.0 * 10.0 * tb::gsfc1266_gddot[i];
      gh[m][n] = sf[n][m] * g;
      if (m >= 1) {
        const double h = tb::gsfc1266_h[i] + 10.0 * tb::gsfc1266_hdot[i] +
                         10.0 * 10.0 * tb::gsfc1266_hddot[i];
        gh[n][m - 1] = sf[n][m] * h;
      }
    }
  }
  load_dipole();
}

// get_intfield: field of the loaded fixed-epoch model.
// Given:    x, y, z  double  GEO, Earth radii
// Returned: bx, by, bz  double  GEO Cartesian, nT
// State:    reads intfield.
// Requires: jensenandcain1960_ or gsfc1266_ (before either: a zero field).
// Failure:  a point whose sine of colatitude is below 1.0E-6 (the polar axis
//           and its neighbourhood, where the east component cannot be formed
//           as Q/sin(th)): the fill value -1.0E31 in all three components, so
//           that a caller can recognise the refused point by exact equality.
//           The origin (where the sine is 0/0) and a point that is not a
//           number fail the same test and get the same fill values.
// Notes:    1. Gauss-normalised Legendre functions by the recursion
//             P(n,m) = cos P(n-1,m) - K(n,m) P(n-2,m), K cut after eight
//             decimals; degree 1 always, degree n >= 2 while nmax > n, at
//             most degree 12.
//           2. sin and cos of colatitude and longitude are formed from x, y,
//             z directly; the threshold is the single-precision 1.0E-6.
extern "C" void get_intfield_(double* xp, double* yp, double* zp, double* bx, double* by,
                              double* bz) {
  const double x = *xp, y = *yp, z = *zp;
  const double rho = std::sqrt(x * x + y * y);
  const double r = std::sqrt(rho * rho + z * z);
  const double s = rho / r;
  if (!(std::fabs(s) >= static_cast<double>(1.0e-6f))) {
    *bx = *by = *bz = kest::baddata;
    return;
  }
  const double c = z / r;
  const double cph = x / rho, sph = y / rho;
  const double a = 1.0 / r;
  const auto& gh = kest::intfield.gh;

  int nlast = 1;
  while (nlast < kmaxdeg && kest::intfield.nmax > nlast + 1) ++nlast;

  // Legendre functions of the two previous degrees and the current one.
  double p[kmaxdeg + 1][kmaxdeg + 1];
  double dp[kmaxdeg + 1][kmaxdeg + 1];
  double cm[kmaxdeg + 1], sm[kmaxdeg + 1];
  cm[0] = 1.0;
  sm[0] = 0.0;
  for (int m = 1; m <= nlast; ++m) {
    cm[m] = cm[m - 1] * cph - sm[m - 1] * sph;
    sm[m] = sm[m - 1] * cph + cm[m - 1] * sph;
  }
  p[0][0] = 1.0;
  dp[0][0] = 0.0;
  double br = 0.0, bt = 0.0, q = 0.0;
  double an = a * a;  // a^(n+2) for n = 0
  for (int n = 1; n <= nlast; ++n) {
    for (int m = 0; m < n; ++m) {
      double pv = c * p[n - 1][m];
      double dv = c * dp[n - 1][m] - s * p[n - 1][m];
      if (m <= n - 2) {
        const double k = kgauss[n - 2][m];
        pv -= k * p[n - 2][m];
        dv -= k * dp[n - 2][m];
      }
      p[n][m] = pv;
      dp[n][m] = dv;
    }
    p[n][n] = s * p[n - 1][n - 1];
    dp[n][n] = s * dp[n - 1][n - 1] + c * p[n - 1][n - 1];
    an *= a;
    double sr = 0.0, st = 0.0, sq = 0.0;
    for (int m = 0; m <= n; ++m) {
      const double g = gh[m][n];
      const double h = m == 0 ? 0.0 : gh[n][m - 1];
      const double v = g * cm[m] + h * sm[m];
      sr += v * p[n][m];
      st += v * dp[n][m];
      sq += m * (h * cm[m] - g * sm[m]) * p[n][m];
    }
    br -= (n + 1) * an * sr;
    bt += an * st;
    q += an * sq;
  }
  const double bp = q / s;
  const double u = br * s + bt * c;
  *bx = u * cph - bp * sph;
  *by = u * sph + bp * cph;
  *bz = br * c - bt * s;
}
