// Reference spherical-harmonic synthesis for the internal-field tests.
//
// A plain textbook evaluation, independent of the library's recursions:
// unnormalised associated Legendre functions (no Condon-Shortley phase) by the
// three-term recurrence in n, Schmidt quasi-normalisation
// sqrt(2 (n-m)!/(n+m)!) for m > 0, derivatives by
// dP(n,m)/dth = (n cos P(n,m) - (n+m) P(n-1,m)) / sin, all in long double.
// V = a sum (a/r)^(n+1) (g cos m phi + h sin m phi) P(n,m), B = -grad V.
#ifndef KEST_TESTS_SH_REFERENCE_HPP
#define KEST_TESTS_SH_REFERENCE_HPP

#include <cmath>

namespace shref {

// g[n][m], h[n][m]: Schmidt quasi-normalised, usual sign, nT, n <= 12.
struct Coeffs {
  int nmax = 0;
  long double g[13][13] = {};
  long double h[13][13] = {};
};

inline long double factorial(int k) {
  long double f = 1.0L;
  for (int i = 2; i <= k; ++i) f *= i;
  return f;
}

// Schmidt quasi-normalised P(n,m)(cos th) and dP/dth at one colatitude.
inline void schmidt(int nmax, long double th, long double p[13][13], long double dp[13][13]) {
  const long double c = std::cos(th), s = std::sin(th);
  long double u[14][14] = {};  // unnormalised, u[n][m]
  for (int m = 0; m <= nmax; ++m) {
    long double pmm = 1.0L;  // (2m-1)!! s^m
    for (int i = 1; i <= m; ++i) pmm *= (2.0L * i - 1.0L) * s;
    u[m][m] = pmm;
    if (m + 1 <= nmax) u[m + 1][m] = (2.0L * m + 1.0L) * c * pmm;
    for (int n = m + 2; n <= nmax; ++n)
      u[n][m] = ((2.0L * n - 1.0L) * c * u[n - 1][m] - (n + m - 1.0L) * u[n - 2][m]) / (n - m);
  }
  for (int n = 0; n <= nmax; ++n) {
    for (int m = 0; m <= n; ++m) {
      const long double norm =
          m == 0 ? 1.0L : std::sqrt(2.0L * factorial(n - m) / factorial(n + m));
      const long double prev = n >= 1 && m <= n - 1 ? u[n - 1][m] : 0.0L;
      p[n][m] = norm * u[n][m];
      dp[n][m] = norm * (n * c * u[n][m] - (n + m) * prev) / s;
    }
  }
}

// Field at the GEO point (Earth radii), GEO Cartesian nT.
inline void field(const Coeffs& k, double x, double y, double z, double b[3]) {
  const long double X = x, Y = y, Z = z;
  const long double r = std::sqrt(X * X + Y * Y + Z * Z);
  const long double th = std::acos(Z / r), ph = std::atan2(Y, X);
  long double p[13][13], dp[13][13];
  schmidt(k.nmax, th, p, dp);
  long double br = 0, bt = 0, bp = 0;
  const long double s = std::sin(th), c = std::cos(th);
  for (int n = 1; n <= k.nmax; ++n) {
    const long double f = std::pow(1.0L / r, n + 2);
    for (int m = 0; m <= n; ++m) {
      const long double cm = std::cos(m * ph), sm = std::sin(m * ph);
      const long double v = k.g[n][m] * cm + k.h[n][m] * sm;
      br += (n + 1) * f * v * p[n][m];                                   // -dV/dr
      bt -= f * v * dp[n][m];                                            // -(1/r) dV/dth
      bp -= f * m * (k.h[n][m] * cm - k.g[n][m] * sm) * p[n][m] / s;     // -(1/(r s)) dV/dph
    }
  }
  const long double u = br * s + bt * c;
  b[0] = static_cast<double>(u * std::cos(ph) - bp * std::sin(ph));
  b[1] = static_cast<double>(u * std::sin(ph) + bp * std::cos(ph));
  b[2] = static_cast<double>(br * c - bt * s);
}

}  // namespace shref

#endif
