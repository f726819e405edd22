// Alexeev 2000 model: every published coefficient (the dipole coefficients of
// the twenty epochs, the near and far shielding tables, the two 6 x 5 tail
// tables) checked through the routines that use them, with the source
// constants set so that each coefficient comes through alone; and the
// splitting of the time of day into whole hours, minutes and seconds.
#include <gtest/gtest.h>

#include <cmath>

#include "extfield/alexeev2000.hpp"
#include "extfield/alexeev2000_zeros.hpp"

namespace {

using namespace kest::a2k;

void expect_rel(double got, double want, double rel, const char* what, int i, int j = 0) {
  EXPECT_NEAR(got, want, rel * std::fabs(want)) << what << " " << i << " " << j;
}

// Dipole coefficients at the epochs: no interpolation at a table year.
TEST(Alexeev2000Tables, DipoleCoefficientsOfTheEpochs) {
  const float g[20][3] = {
      {-31543, -2298, 5922}, {-31464, -2298, 5909}, {-31354, -2297, 5898}, {-31212, -2306, 5875},
      {-31060, -2317, 5845}, {-30926, -2318, 5817}, {-30805, -2316, 5808}, {-30715, -2306, 5812},
      {-30654, -2292, 5821}, {-30594, -2285, 5810}, {-30554, -2250, 5815}, {-30500, -2215, 5820},
      {-30421, -2169, 5791}, {-30334, -2119, 5776}, {-30220, -2068, 5737}, {-30100, -2013, 5675},
      {-29992, -1956, 5604}, {-29873, -1905, 5500}, {-29775, -1848, 5406}, {-29682, -1789, 5318}};
  for (int k = 0; k < 20; ++k) {
    float got[3];
    dipgarm(1900 + 5 * k, got);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(got[i], g[k][i]) << "epoch " << 1900 + 5 * k << " coefficient " << i;
  }
  // Half-way between two epochs: the mean (1962: 2/5 of the way from 1960).
  float got[3];
  dipgarm(1962, got);
  EXPECT_FLOAT_EQ(got[0], -30421.0f + 0.4f * (-30334.0f + 30421.0f));
}

// Float product of two single-precision values, rounded once: what the
// model's single-precision multiply gives.
float fmul(float a, float b) { return static_cast<float>(static_cast<double>(a) * static_cast<double>(b)); }

// Far-region shielding (T_a, T_b) and the tail tables (T_c, T_d): with the
// inner edge of the sheet on the seam (alpha0 = 1.54919338) both Bessel
// ratios are exactly 1, so each tail coefficient is B_T/40 times its table
// entry; with R1 = 10, B0' = 1 and sin psi = cos psi = 1 each far shielding
// coefficient is its table entry times -3.20512809e-05, rounded once, so a
// table entry one single-precision step off shows. The tail coefficients
// pass four single-precision roundings (the seam value in and out, the
// Bessel function in and out), hence their relative tolerance.
TEST(Alexeev2000Tables, FarShieldingAndTailTables) {
  const double ta[5] = {-94630.5312, -10798057, -652953024, -3.01583811e10, -1.19816389e12};
  const double tb[5] = {-1318.69336, -190097.984, -9603382, -369794432, -1.25022474e10};
  const double tc[5][6] = {
      {7.49366331, 0.311953217, 0.0170602221, 0.00103359774, 6.63334358e-05, 4.42121382e-06},
      {0.00577770779, 0.000210370767, 7.53850281e-06, 3.01126789e-07, 1.31397533e-08, 6.13862627e-10},
      {1.86724483e-05, 5.96518476e-07, 1.71246697e-08, 5.43331713e-10, 1.89762771e-11, 7.17571673e-13},
      {8.54530811e-08, 2.57156096e-09, 6.45145534e-11, 1.75563372e-12, 5.24527389e-14, 1.7016372e-15},
      {4.43194342e-10, 1.2695873e-11, 2.88578813e-13, 6.99784062e-15, 1.85385879e-16, 0}};
  const double td[5][6] = {
      {5.40613255e-05, 0.00117552606, 0.0201041922, 0.314150602, 4.67288017, 67.3370361},
      {0.00250590104, 0.202158093, 7.58793116, 216.779907, 5328.09229, 118727.938},
      {0.172159329, 21.3628654, 1157.198, 45465.0625, 1482947.12, 42673480},
      {14.7345324, 2354.22266, 161804.312, 7916121, 316102912, 1.09744691e10},
      {1367.45789, 254342.531, 20562944, 1.1799049e09, 5.49011128e10, 2.20506463e12}};
  t2.r1 = 10.0f;
  t2.alpha0 = 1.54919338f;
  t2.b_t = 40.0f;  // B_T * 0.025 = 1
  t2.b0p = 1.0f;
  t2.psi_deg = 20.0f;
  t2.sin_psi = 1.0f;
  t2.cos_psi = 1.0f;
  mas2d();
  const float f = -3.20512809e-05f;
  for (int i = 0; i < 5; ++i) {
    const float want_b = fmul(static_cast<float>(tb[i]), f);
    EXPECT_EQ(s2.s[i], fmul(static_cast<float>(ta[i]), f)) << "T_a " << i + 1;
    EXPECT_EQ(s2.s[5 + i], want_b) << "T_b " << i + 1;
    EXPECT_EQ(s2.s[10 + i], fmul(kLambda[i][0], want_b)) << "lambda T_b " << i + 1;
  }
  for (int s = 0; s < 5; ++s) {
    for (int m = 0; m < 6; ++m) {
      expect_rel(s1.c_near[m][s], tc[s][m], 3e-7, "T_c (s, m)", s + 1, m + 1);
      expect_rel(s1.c_far[m][s], td[s][m], 3e-7, "T_d (s, m)", s + 1, m + 1);
      expect_rel(s1.lc_near[m][s], kLambda[s][m] * tc[s][m], 4e-7, "lambda T_c (s, m)", s + 1, m + 1);
      expect_rel(s1.lc_far[m][s], kLambda[s][m] * td[s][m], 4e-7, "lambda T_d (s, m)", s + 1, m + 1);
    }
  }
  expect_rel(t2.c_log, 61.9677353, 3e-7, "c_log", 0);
  EXPECT_EQ(t2.scale, 1.0e7f);
  EXPECT_EQ(t2.beta_b, 1.54919338f);
}

// Near-region shielding: a_n = B0' / R1^(n+2) S(n) cos psi and
// b_n = B0' / R1^(n+2) S(6+n) sin psi. At a general tilt and R1 within a
// relative 1e-6; with R1 = 8 (a power of two, so the division is exact) and
// a tilt of 0 or 90 degrees (cos psi or sin psi exactly 1) each coefficient
// is the table entry times B0' / 8^(n+2), rounded once: exact.
TEST(Alexeev2000Tables, NearShieldingTable) {
  const double s[12] = {0.649722636,   0.216462076,   0.0434291288, -0.000846358016,
                        -0.00491722487, -0.00222440297, 0.940280914,  0.464989096,
                        0.12928167,    -0.0147655336, -0.0169427544, -0.0225597396};
  t2.psi_deg = -25.0f;
  t2.bd = -30200.0f;
  fac12.intensity = 0.7f;
  t2.r1 = 10.7f;
  mas1d(5.0e8f, -40.0f, 10.7f, 7.49f);
  const double psi = -25.0 * M_PI / 180;
  for (int n = 1; n <= 6; ++n) {
    const double scale = t2.b0p / std::pow(10.7, n + 2);
    expect_rel(t1.a[n - 1], scale * s[n - 1] * std::cos(psi), 1e-6, "S", n);
    expect_rel(t1.b[n - 1], scale * s[5 + n] * std::sin(psi), 1e-6, "S", 6 + n);
  }
  for (const float tilt : {0.0f, 90.0f}) {
    t2.psi_deg = tilt;
    t2.bd = -30200.0f;
    fac12.intensity = 0.7f;
    mas1d(5.0e8f, -40.0f, 8.0f, 7.49f);
    const bool cos_part = tilt == 0.0f;
    ASSERT_EQ(cos_part ? t2.cos_psi : t2.sin_psi, 1.0f);
    for (int n = 1; n <= 6; ++n) {
      const float scale = static_cast<float>(t2.b0p / std::pow(8.0, n + 2));
      const float got = cos_part ? t1.a[n - 1] : t1.b[n - 1];
      const int k = cos_part ? n : 6 + n;
      EXPECT_EQ(got, fmul(scale, static_cast<float>(s[k - 1]))) << "S " << k;
    }
  }
}

// The time of day splits by truncation into whole hours, minutes and seconds
// before the solar longitude is taken: 43200 s is 12 h 0 min 0 s.
TEST(Alexeev2000Tables, TimeOfDaySplit) {
  struct Case {
    float ut;
    int h, m, s;
  } cases[] = {{12.0f, 12, 0, 0}, {17.25f, 17, 15, 0}, {0.5f, 0, 30, 0}, {23.75f, 23, 45, 0}};
  for (const Case& c : cases) {
    float psi, bd;
    trans(c.ut, 80, 2004, psi, bd);
    const float kept = sun_cache.lambda;
    EXPECT_EQ(kept, sun_a2000(2004, 80, c.h, c.m, c.s)) << c.ut;
  }
}

}  // namespace
