// Single-precision Bessel functions of the Alexeev 2000 model against
// independent double-precision values (the C++17 special functions, and the
// power series summed in long double), its eigenvalue table against the
// defining equations, and the messages for arguments the routines refuse.
#include <cmath>
#include <gtest/gtest.h>

#include "extfield/alexeev2000.hpp"
#include "extfield/alexeev2000_zeros.hpp"

namespace {

using namespace kest::a2k;

// J_n(x) and I_n(x) by their power series in long double (sign -1 and +1),
// summed to convergence: the reference for small arguments.
long double series(int n, long double x, int sign) {
  long double term = 1.0L, sum = 1.0L;
  for (int k = 1; k < 200; ++k) {
    term *= sign * x * x / 4.0L / (k * (n + k));
    sum += term;
    if (std::fabs(term) < 1e-22L * std::fabs(sum)) break;
  }
  long double fact = 1.0L;
  for (int k = 2; k <= n; ++k) fact *= k;
  return sum / fact * std::pow(x / 2.0L, static_cast<long double>(n));
}

// Order 0 and 1 against the standard library, across both sides of each
// breakpoint. J and Y hold single precision absolutely (they oscillate about
// 0), I and K relatively; a scaled form must match its unscaled one.
TEST(Alexeev2000Bessel, OrderZeroAndOneMatchReference) {
  const double xs[] = {0.37, 1.7, 2.0, 2.9, 3.1, 3.75, 4.2, 5.0, 7.9, 8.0, 12.5, 25.3};
  for (double x : xs) {
    const float xf = static_cast<float>(x);
    const double xd = xf;
    SCOPED_TRACE(x);
    EXPECT_NEAR(besj0(xf), std::cyl_bessel_j(0.0, xd), 3e-7);
    EXPECT_NEAR(besj1(xf), std::cyl_bessel_j(1.0, xd), 3e-7);
    EXPECT_NEAR(besy0(xf), std::cyl_neumann(0.0, xd), 3e-7 * std::max(1.0, std::fabs(std::cyl_neumann(0.0, xd))));
    EXPECT_NEAR(besy1(xf), std::cyl_neumann(1.0, xd), 3e-7 * std::max(1.0, std::fabs(std::cyl_neumann(1.0, xd))));
    const double i0 = std::cyl_bessel_i(0.0, xd), i1 = std::cyl_bessel_i(1.0, xd);
    const double k0 = std::cyl_bessel_k(0.0, xd), k1 = std::cyl_bessel_k(1.0, xd);
    EXPECT_NEAR(besi0(xf) / i0, 1.0, 1e-6);
    EXPECT_NEAR(besi1(xf) / i1, 1.0, 1e-6);
    EXPECT_NEAR(ebesi0(xf) / (i0 * std::exp(-xd)), 1.0, 1e-6);
    EXPECT_NEAR(ebesi1(xf) / (i1 * std::exp(-xd)), 1.0, 1e-6);
    EXPECT_NEAR(besk0(xf) / k0, 1.0, 1e-6);
    EXPECT_NEAR(besk1(xf) / k1, 1.0, 1e-6);
    EXPECT_NEAR(ebesk0(xf) / (k0 * std::exp(xd)), 1.0, 1e-6);
    EXPECT_NEAR(ebesk1(xf) / (k1 * std::exp(xd)), 1.0, 1e-6);
  }
  // Parity: J1 and I1 are odd, J0 and I0 even.
  EXPECT_EQ(besj1(-2.3f), -besj1(2.3f));
  EXPECT_EQ(besj0(-9.1f), besj0(9.1f));
  EXPECT_EQ(besi1(-4.4f), -besi1(4.4f));
  EXPECT_EQ(ebesi0(-1.2f), ebesi0(1.2f));
}

// Order n with derivatives, on both sides of 3.75 (series below, recurrence
// above), at the orders and arguments the model uses. J'_n and K'_n, I'_n
// from the standard recurrences of the reference values.
TEST(Alexeev2000Bessel, OrderNWithDerivativesMatchReference) {
  struct Case {
    int n;
    double x;
  } jcases[] = {{1, 0.61}, {1, 3.75}, {1, 3.76}, {1, 9.3}, {3, 2.2}, {3, 3.75}, {3, 7.7},
                {5, 1.4}, {5, 12.0}, {7, 3.0}, {9, 16.5}, {11, 2.5}, {11, 25.0}};
  for (const Case& c : jcases) {
    SCOPED_TRACE(testing::Message() << "J n=" << c.n << " x=" << c.x);
    float j, dj;
    bess(c.n, static_cast<float>(c.x), j, dj);
    const double x = static_cast<float>(c.x);
    const double jr = std::cyl_bessel_j(c.n, x);
    const double djr = std::cyl_bessel_j(c.n - 1, x) - c.n / x * jr;
    // Above 3.75 the upward recurrence inherits the absolute error of J0 and
    // J1; at 3.75 the eight-term series of J0 is short by its ninth term,
    // 1.4e-5 (see SeriesAndOrderOneShortcuts), half of which enters J'_1.
    const double tol = c.x == 3.75 ? 1e-5 : 3e-6;
    EXPECT_NEAR(j, jr, tol);
    EXPECT_NEAR(dj, djr, tol);
  }
  struct KCase {
    int n;
    double x;
  } kcases[] = {{1, 2.85}, {3, 2.85}, {11, 2.85}, {1, 6.0}, {7, 6.0}, {11, 19.9}, {5, 44.1}};
  for (const KCase& c : kcases) {
    SCOPED_TRACE(testing::Message() << "K n=" << c.n << " x=" << c.x);
    float k, dk;
    besk(c.n, static_cast<float>(c.x), k, dk);
    const double x = static_cast<float>(c.x);
    const double kr = std::cyl_bessel_k(c.n, x);
    const double dkr = -c.n / x * kr - std::cyl_bessel_k(c.n - 1, x);
    EXPECT_NEAR(k / kr, 1.0, 5e-6);
    EXPECT_NEAR(dk / dkr, 1.0, 5e-6);
  }
  struct ICase {
    int n;
    double x;
    double rel;  // upward recurrence of I loses accuracy as n grows past x
  } icases[] = {{1, 0.9, 2e-6}, {1, 3.75, 2e-6}, {3, 3.75, 2e-6}, {11, 2.85, 2e-6}, {1, 4.0, 2e-6},
                {3, 6.5, 2e-5}, {5, 9.0, 2e-5}, {11, 19.9, 1e-4}, {1, 44.0, 2e-6}};
  for (const ICase& c : icases) {
    SCOPED_TRACE(testing::Message() << "I n=" << c.n << " x=" << c.x);
    float xf = static_cast<float>(c.x), i, di;
    besm(c.n, xf, i, di);
    const double x = static_cast<float>(c.x);
    const double e = std::exp(-x);
    const double ir = std::cyl_bessel_i(c.n, x) * e;
    const double dir = (std::cyl_bessel_i(c.n - 1, x) - c.n / x * std::cyl_bessel_i(c.n, x)) * e;
    EXPECT_NEAR(i / ir, 1.0, c.rel);
    EXPECT_NEAR(di / dir, 1.0, c.rel);
    EXPECT_EQ(xf, static_cast<float>(c.x));  // an ordinary argument is left alone
  }
}

// The series routines sum exactly eight terms: against the full series they
// are short by the ninth term (k = 8) and no more; besk of order 1 takes K1
// and -K1/x - K0 without recurrence.
TEST(Alexeev2000Bessel, SeriesAndOrderOneShortcuts) {
  for (int n : {0, 1, 4, 12}) {
    for (double x : {0.05, 1.3, 3.75}) {
      const float xf = static_cast<float>(x);
      const long double ref_j = series(n, xf, -1), ref_i = series(n, xf, +1);
      long double ninth = std::pow(static_cast<long double>(xf) / 2.0L, 2 * 8 + n);
      for (int k = 2; k <= 8; ++k) ninth /= k;
      for (int k = 2; k <= n + 8; ++k) ninth /= k;
      const double tol = static_cast<double>(1.1L * ninth) + 1e-6 * std::fabs(static_cast<double>(ref_i));
      SCOPED_TRACE(testing::Message() << "n=" << n << " x=" << x);
      EXPECT_NEAR(bsj(n, xf), static_cast<double>(ref_j), tol);
      EXPECT_NEAR(bsi(n, xf), static_cast<double>(ref_i), tol);
    }
  }
  // The truncation is visible where it should be: J0(3.75) is off by 1.4e-5.
  EXPECT_GT(std::fabs(bsj(0, 3.75f) - std::cyl_bessel_j(0.0, 3.75)), 1.2e-5);
  float k, dk;
  besk(1, 2.4f, k, dk);
  EXPECT_EQ(k, besk1(2.4f));
  EXPECT_EQ(dk, -besk1(2.4f) / 2.4f - besk0(2.4f));
}

// True when the zero of f lies within half a single-precision step of v,
// i.e. v is the float nearest the zero: f changes sign between the two
// midpoints to the neighbouring floats. A residual tolerance such as
// |f(v)| < 3e-7 cannot tell neighbouring floats apart; this can (the zeros
// lie at least 0.02 of a step from a midpoint, far above the double error of
// f).
template <class F>
bool nearest_float_to_zero(float v, F f) {
  const double lo = 0.5 * (static_cast<double>(v) + std::nextafter(v, 0.0f));
  const double hi = 0.5 * (static_cast<double>(v) + std::nextafter(v, 100.0f));
  return f(lo) * f(hi) < 0.0;
}

// Eigenvalues: zeros of J'_n (n = 1, 3, ..., 11) and of J1, checked against
// the defining equations and the published telling values.
TEST(Alexeev2000Bessel, EigenvalueTable) {
  for (int s = 0; s < 5; ++s) {
    for (int m = 0; m < 6; ++m) {
      const int n = 2 * m + 1;
      const double lam = kLambda[s][m];
      auto djn = [n](double x) { return std::cyl_bessel_j(n - 1, x) - std::cyl_bessel_j(n + 1, x); };
      // Every entry is the float nearest its zero, except the model's own
      // first zero of J'_1 (checked below).
      EXPECT_EQ(nearest_float_to_zero(kLambda[s][m], djn), s != 0 || m != 0) << "n=" << n << " s=" << s + 1;
      if (s > 0) {
        EXPECT_GT(lam, kLambda[s - 1][m]);
      }
    }
    EXPECT_TRUE(nearest_float_to_zero(kMu[s], [](double x) { return std::cyl_bessel_j(1.0, x); })) << "s=" << s + 1;
  }
  // The model's table holds 1.8411839 for the first zero of J'_1, one
  // single-precision step above the zero 1.84118378134 rounded: its value,
  // not the rounded zero.
  EXPECT_EQ(kLambda[0][0], 1.8411839f);
  EXPECT_NE(kLambda[0][0], static_cast<float>(1.84118378134066));
  EXPECT_EQ(kLambda[0][1], 4.20118904f);
  EXPECT_EQ(kLambda[1][0], 5.33144283f);
  EXPECT_EQ(kLambda[4][5], 28.4608574f);
  EXPECT_EQ(kMu[0], 3.83170605f);
  EXPECT_EQ(kMu[4], 16.4706306f);
  // No zero skipped: J'_n keeps its sign strictly between neighbouring
  // entries (and below the first).
  for (int m = 0; m < 6; ++m) {
    const int n = 2 * m + 1;
    auto djn = [n](double x) { return std::cyl_bessel_j(n - 1, x) - std::cyl_bessel_j(n + 1, x); };
    double lo = 0.05;
    for (int s = 0; s < 5; ++s) {
      const double hi = kLambda[s][m];
      const double first = djn(lo + 1e-3);
      for (double x = lo + 1e-3; x < hi - 1e-3; x += 0.01)
        EXPECT_GT(djn(x) * first, 0.0) << "n=" << n << " before zero " << s + 1;
      lo = hi;
    }
  }
}

// Arguments the routines refuse: one message line each, result 0, and the
// clamped argument of besm written back.
TEST(Alexeev2000Bessel, MessagesForRefusedArguments) {
  struct Case {
    float (*f)(float);
    float x;
    const char* line;
  } cases[] = {
      {besk0, 0.0f, " BESIK...NON-POSITIVE ARGUMENT X= 0.00000E+00\n"},
      {ebesk1, -2.5f, " BESIK...NON-POSITIVE ARGUMENT X=-0.25000E+01\n"},
      {besy1, -1.0f, " BESJY...NON-POSITIVE ARGUMENT X=-0.10000E+01\n"},
      {besy0, 0.0f, " BESJY...NON-POSITIVE ARGUMENT X= 0.00000E+00\n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    const float v = c.f(c.x);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.line);
    EXPECT_EQ(v, 0.0f);
  }
  testing::internal::CaptureStdout();
  EXPECT_EQ(bsj(0, 0.0f), 0.0f);  // 0, not J0(0) = 1
  EXPECT_EQ(bsi(11, 0.0f), 0.0f);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " EXP NEGATIVE,N=  0X= 0.00000E+00\n EXP NEGATIVE,N= 11X= 0.00000E+00\n");

  float x = -200.0f, i, di;
  testing::internal::CaptureStdout();
  besm(1, x, i, di);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), " GRAND EXP-BESM,X=-0.20000E+03\n");
  EXPECT_EQ(x, -174.669998f);
}

TEST(Alexeev2000Bessel, FortranExponentFormat) {
  EXPECT_EQ(fortran_e12_5(174.673004f), " 0.17467E+03");
  EXPECT_EQ(fortran_e12_5(-0.000123456f), "-0.12346E-03");
  EXPECT_EQ(fortran_e12_5(9.999996f), " 0.10000E+02");
  EXPECT_EQ(fortran_e12_5(1.0f), " 0.10000E+01");
}

}  // namespace
