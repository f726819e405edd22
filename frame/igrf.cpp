// IGRF-10: coefficients of a decimal year, the dipole they define, and the
// field sum.
//
// The epoch set-up (init_dtd_) does all the per-epoch work once: it fills
// dgrf with the coefficients of the year, dipigrf with the centred and
// eccentric dipole, and model with the coefficients rescaled for a Cartesian
// recursion, so that igrf_ needs no trigonometric function and only one
// square root per point.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "frame/c_numbers.hpp"
#include "frame/conventions.hpp"
#include "frame/frame_state.hpp"
#include "frame/internal_field_tables.hpp"
#include "kest/frame.h"

namespace kest {
Dgrf dgrf{};
Model model{};
Dipigrf dipigrf{};
}  // namespace kest

namespace {

namespace tb = kest::tables;

// The warning for a year outside the coefficient table. Two empty lines, the
// year line, the range line, two empty lines.
void warn_year_out_of_range(double year) {
  char num[64];
  kest::fio::c_snprintf(num, sizeof num, "%7.2f", year);
  if (std::strlen(num) > 7) std::snprintf(num, sizeof num, "*******");
  char line[128];
  std::snprintf(line, sizeof line, "*** WARNING -- Input year = %s", num);
  kest::msg_lines({"", "", line, "is out of valid range 1965-2015. Using nearest ***", "", ""});
}

}  // namespace

// get_igrf_coeffs: IGRF-10 coefficients of a decimal year.
// Given:    year  double  decimal year
// Returned: g(66), h(66)  double  Schmidt quasi-normalised, nT, slot
//           n(n+1)/2 + m + 1 (numbered from 1; slot 1 and h with m = 0 are 0)
//           ierr  int  set to 1 when the year is outside 1965-2015, else
//           left untouched
// Failure:  year < 1965 or > 2015: the six-line warning on standard output,
//           then the coefficients of the nearest valid year (1965, or 2015 =
//           2005 plus ten years of secular variation). A year that is not a
//           number has no nearest year: the same warning, ierr = 1, and the
//           fill value -1.0E31 in all of g and h.
// Notes:    1. Between the definitive epochs the coefficients are linear in
//             time, the weight formed as (Y - E) x 0.2; a year equal to an
//             epoch gets that epoch exactly. No blending with earlier state.
//           2. From 2005 on, degrees 1-8 follow the predictive secular
//             variation; degrees 9 and 10 have none and stay at 2005.
// References: IAGA Division V, Working Group V-MOD, "The 10th-generation
//           International Geomagnetic Reference Field", Geophys. J. Int. 161,
//           561-565 (2005).
extern "C" void get_igrf_coeffs_(double* year, double* g, double* h, int* ierr) {
  const double y = *year;
  if (std::isnan(y)) {
    warn_year_out_of_range(y);
    *ierr = 1;
    for (int k = 0; k < 66; ++k) g[k] = h[k] = kest::baddata;
    return;
  }
  if (y < 1965.0 || y > 2015.0) {
    warn_year_out_of_range(y);
    *ierr = 1;
  }
  if (y < 1970.0) {
    const double f = y > 1965.0 ? (y - 1965.0) * 0.2 : 0.0;
    for (int k = 0; k < 66; ++k) {
      g[k] = tb::igrf10_g[1][k] * f + tb::igrf10_g[0][k] * (1.0 - f);
      h[k] = tb::igrf10_h[1][k] * f + tb::igrf10_h[0][k] * (1.0 - f);
    }
    return;
  }
  for (int e = 2; e < tb::igrf10_nepoch; ++e) {
    const double epoch = tb::igrf10_first_epoch + 5.0 * e;
    if (y < epoch) {
      const double f = (y - (epoch - 5.0)) * 0.2;
      for (int k = 0; k < 66; ++k) {
        g[k] = tb::igrf10_g[e][k] * f + tb::igrf10_g[e - 1][k] * (1.0 - f);
        h[k] = tb::igrf10_h[e][k] * f + tb::igrf10_h[e - 1][k] * (1.0 - f);
      }
      return;
    }
  }
  double dt = y - 2005.0;
  if (dt > 10.0) dt = 10.0;
  const int last = tb::igrf10_nepoch - 1;
  for (int k = 0; k < 66; ++k) {
    g[k] = tb::igrf10_g[last][k];
    h[k] = tb::igrf10_h[last][k];
    if (k < tb::igrf10_sv_nslot) {
      g[k] += tb::igrf10_sv_g[k] * dt;
      h[k] += tb::igrf10_sv_h[k] * dt;
    }
  }
}

// get_terms: dipole moment, axis and eccentric-dipole centre of a field.
// Given:    g(66), h(66)  double  Schmidt quasi-normalised, usual sign, slot
//           n(n+1)/2 + m + 1; only slots 2-6 (degrees 1 and 2) are read
// Returned: th  double  colatitude of the northern end of the axis, radians
//           ph  double  its east longitude, radians, principal atan value
//           x0, y0, z0  double  centre of the eccentric dipole, GEO, Earth radii
//           b0  double  dipole moment (equatorial field at 1 Re), nT
// Notes:    1. ph = atan(h11/g11) lies in (-90, 90) degrees; since g11 < 0 in
//             every model here it is the longitude of the northern end.
// References: A. Schmidt's eccentric dipole, in the form of S. Chapman and
//           J. Bartels, Geomagnetism, Oxford (1940), vol. 2, ch. 17.
extern "C" void get_terms_(double* g, double* h, double* th, double* ph, double* x0, double* y0,
                           double* z0, double* b0) {
  const double s3 = 1.7320508075688772;
  const double g10 = g[1], g11 = g[2], h11 = h[2];
  const double g20 = g[3], g21 = g[4], g22 = g[5];
  const double h21 = h[4], h22 = h[5];
  const double b2 = g11 * g11 + g10 * g10 + h11 * h11;
  *b0 = std::sqrt(b2);
  *th = std::acos(0.0 - g10 / *b0);
  *ph = std::atan(h11 / g11);
  const double l0 = 2.0 * g10 * g20 + s3 * (g11 * g21 + h11 * h21);
  const double l1 = -g11 * g20 + s3 * (g10 * g21 + g11 * g22 + h11 * h22);
  const double l2 = -h11 * g20 + s3 * (g10 * h21 + g11 * h22 - h11 * g22);
  const double e = (l0 * g10 + l1 * g11 + l2 * h11) / (4.0 * b2);
  *x0 = (l1 - g11 * e) / (3.0 * b2);
  *y0 = (l2 - h11 * e) / (3.0 * b2);
  *z0 = (l0 - g10 * e) / (3.0 * b2);
}

// calcul_gh1: rescales the coefficients of dgrf for the recursion of igrf_.
// State:    reads dgrf; writes model.
// Notes:    1. Degree n is scaled by f0 = -n!/2^n and, for order m >= 1,
//             further by the Schmidt factor sqrt(2 (n-m)!/(n+m)!) times
//             (n+m)!/(2 n!), that is by sqrt((n+m)! (n-m)!/2)/n!, built up
//             step by step; the minus sign makes igrf_ return the field
//             B = -grad V itself, in nT.
extern "C" void calcul_gh1_() {
  double w[120];
  int j = 0;
  for (int n = 1; n <= 10; ++n) {
    for (int m = 0; m <= n; ++m) {
      const int k = n * (n + 1) / 2 + m;
      w[j++] = kest::dgrf.gnm[k];
      if (m >= 1) w[j++] = kest::dgrf.hnm[k];
    }
  }
  double* gh = kest::model.gh;
  gh[0] = 0.0;
  double f0 = -1.0;
  int i = 1;  // 0-based position of gh; w is read one behind it
  for (int n = 1; n <= 10; ++n) {
    const double x = n;
    f0 = x * f0 * x / (4.0 * x - 2.0) * (2.0 * x - 1.0) / x;
    gh[i] = f0 * w[i - 1];
    ++i;
    double f = f0 * 0.5 * 1.4142135623730951;
    for (int m = 1; m <= n; ++m) {
      f = (x + m) * f / (x - m + 1.0) * std::sqrt((x - m + 1.0) / (x + m));
      gh[i] = w[i - 1] * f;
      gh[i + 1] = w[i] * f;
      i += 2;
    }
  }
}

// init_dtd: sets the IGRF epoch.
// Given:    year  double  decimal year
// State:    writes dgrf, dipigrf and model (all of each).
// Failure:  year outside 1965-2015: warning, nearest valid year (see
//           get_igrf_coeffs_). A year that is not a number: the warning, and
//           every value of dgrf, model and dipigrf not a number, so that the
//           field and the axes of this epoch are not a number and the field
//           routine refuses every point until the next epoch is set.
// Notes:    1. No memory of the last year: every call recomputes everything.
extern "C" void init_dtd_(double* year) {
  int ierr = 0;
  get_igrf_coeffs_(year, kest::dgrf.gnm, kest::dgrf.hnm, &ierr);
  if (std::isnan(*year)) {
    // Fill-valued coefficients would give a finite, absurd field that no
    // later check could tell from a real one.
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    for (double& v : kest::dgrf.gnm) v = nan;
    for (double& v : kest::dgrf.hnm) v = nan;
    for (double& v : kest::model.gh) v = nan;
    kest::dipigrf = kest::Dipigrf{nan, nan, nan, nan, nan, nan, nan, nan};
    return;
  }
  double th = 0.0, ph = 0.0;
  kest::Dipigrf& d = kest::dipigrf;
  get_terms_(kest::dgrf.gnm, kest::dgrf.hnm, &th, &ph, &d.x0, &d.y0, &d.z0, &d.b0);
  calcul_gh1_();
  d.cos_th = std::cos(th);
  d.sin_th = std::sin(th);
  d.cos_ph = std::cos(ph);
  d.sin_ph = std::sin(ph);
}

// igrf: the IGRF field of the current epoch at a GEO point.
// Given:    x, y, z  double  GEO, Earth radii of 6371.2 km
// Returned: bx, by, bz  double  field B = -grad V, GEO Cartesian, nT
// State:    reads model.
// Requires: init_dtd_ for the epoch (before it the field is zero).
// Failure:  the origin divides by zero; no test.
// Notes:    1. A recursion over the degree in Cartesian coordinates on the
//             inverted point (x, y, z)/r^2: no trigonometric function and one
//             square root per point. The work array lives on the stack.
namespace {
// 2 / n for the recursion's divisors n = i - k + 2 (2 to 20), exact as the
// division in place gives them.
constexpr double kTwoOver[21] = {0.0, 2.0 / 1, 2.0 / 2, 2.0 / 3, 2.0 / 4, 2.0 / 5, 2.0 / 6, 2.0 / 7,
                                 2.0 / 8, 2.0 / 9, 2.0 / 10, 2.0 / 11, 2.0 / 12, 2.0 / 13, 2.0 / 14,
                                 2.0 / 15, 2.0 / 16, 2.0 / 17, 2.0 / 18, 2.0 / 19, 2.0 / 20};
}  // namespace

extern "C" void igrf_(double* xp, double* yp, double* zp, double* bx, double* by, double* bz) {
  // Positions p of the recursion are numbered from 1: p is gh[p - 1] of
  // model and hb[p] of the work array.
  const double* gh = kest::model.gh;
  const double x = *xp, y = *yp, z = *zp;
  const double rq = 1.0 / (x * x + y * y + z * z);
  const double xi1 = x * rq, xi2 = y * rq, xi3 = z * rq;
  double hb[122];  // hb[p] is H(p), p = 1..121
  for (int p = 101; p <= 121; ++p) hb[p] = gh[p - 1];
  for (int k = 1; k <= 3; k += 2) {
    int i = 19;
    int ih = 101;
    do {
      const int il = ih - i;
      const double f = kTwoOver[i - k + 2];
      const double X = xi1 * f;
      const double Y = xi2 * f;
      const double Z = 2.0 * xi3 * f;
      i -= 2;
      for (int m = 3; m <= i; m += 2) {
        hb[il + m + 1] = gh[il + m] + Z * hb[ih + m + 1] + X * (hb[ih + m + 3] - hb[ih + m - 1]) -
                         Y * (hb[ih + m + 2] + hb[ih + m - 2]);
        hb[il + m] = gh[il + m - 1] + Z * hb[ih + m] + X * (hb[ih + m + 2] - hb[ih + m - 2]) +
                     Y * (hb[ih + m + 3] + hb[ih + m - 1]);
      }
      if (i >= 1) {
        hb[il + 2] = gh[il + 1] + Z * hb[ih + 2] + X * hb[ih + 4] - Y * (hb[ih + 3] + hb[ih]);
        hb[il + 1] = gh[il] + Z * hb[ih + 1] + Y * hb[ih + 4] + X * (hb[ih + 3] - hb[ih]);
      }
      hb[il] = gh[il - 1] + Z * hb[ih] + 2.0 * (X * hb[ih + 1] + Y * hb[ih + 2]);
      ih = il;
    } while (i >= k);
  }
  const double s = 0.5 * hb[1] + 2.0 * (hb[2] * xi3 + hb[3] * xi1 + hb[4] * xi2);
  const double t = 2.0 * rq * std::sqrt(rq);
  *bx = t * (hb[3] - s * x);
  *by = t * (hb[4] - s * y);
  *bz = t * (hb[2] - s * z);
}
