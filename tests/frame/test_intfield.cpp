// Eccentric tilted dipole and the fixed-epoch models (Jensen-Cain 1960,
// GSFC 12/66).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "frame/frame_state.hpp"
#include "frame/internal_field_tables.hpp"
#include "fresh_process.hpp"
#include "kest/frame.h"
#include "sh_reference.hpp"

namespace tb = kest::tables;

namespace {

// Entry (i, j) of intfield.gh, numbered from 1, first index fastest.
double gh(int i, int j) { return kest::intfield.gh[j - 1][i - 1]; }

// Schmidt-to-Gauss factor (2n-1)!! / (n-m)! * sqrt(eps_m (n-m)!/(n+m)!).
double schmidt_to_gauss(int n, int m) {
  double dfact = 1.0;
  for (int k = 1; k <= 2 * n - 1; k += 2) dfact *= k;
  const double f = shref::factorial(n - m);
  return dfact / f * std::sqrt((m == 0 ? 1.0 : 2.0) * f / shref::factorial(n + m));
}

// The loaded model back in Schmidt form with the usual sign.
shref::Coeffs loaded_as_schmidt(int degree) {
  shref::Coeffs k;
  k.nmax = degree;
  for (int n = 1; n <= degree; ++n)
    for (int m = 0; m <= n; ++m) {
      const double s = schmidt_to_gauss(n, m);
      k.g[n][m] = -gh(n + 1, m + 1) / s;
      k.h[n][m] = m == 0 ? 0.0 : -gh(m, n + 1) / s;
    }
  return k;
}

void field(void (*f)(double*, double*, double*, double*, double*, double*), double x, double y,
           double z, double b[3]) {
  f(&x, &y, &z, &b[0], &b[1], &b[2]);
}

}  // namespace

TEST(FixedEpochTables, CountAndTellingValues) {
  EXPECT_EQ(tb::jc1960_n, 27);
  EXPECT_EQ(tb::gsfc1266_n, 65);
  EXPECT_EQ(sizeof tb::gsfc1266_hddot / sizeof(double), 65u);
  const double jc[][3] = {{0, 30411.2, 0.0},      {1, 2147.4, -5798.9}, {2, 2403.5, 0.0},
                          {3, -5125.3, 3312.4},   {4, -1338.1, -157.9}, {26, 111.5, -32.5}};
  for (const auto& r : jc) {
    EXPECT_EQ(tb::jc1960_g[int(r[0])], r[1]);
    EXPECT_EQ(tb::jc1960_h[int(r[0])], r[2]);
  }
  const double gs[][7] = {
      {0, -30401.2, 0.0, 14.03, 0.0, -0.062, 0.0},
      {1, -2163.8, 5778.2, 8.76, -3.71, 0.114, -0.043},
      {2, -1540.1, 0.0, -23.29, 0.0, -0.154, 0.0},
  };
  for (const auto& r : gs) {
    const int i = int(r[0]);
    EXPECT_EQ(tb::gsfc1266_g[i], r[1]);
    EXPECT_EQ(tb::gsfc1266_h[i], r[2]);
    EXPECT_EQ(tb::gsfc1266_gdot[i], r[3]);
    EXPECT_EQ(tb::gsfc1266_hdot[i], r[4]);
    EXPECT_EQ(tb::gsfc1266_gddot[i], r[5]);
    EXPECT_EQ(tb::gsfc1266_hddot[i], r[6]);
  }
  EXPECT_EQ(tb::gsfc1266_g[3], 2997.9);
  EXPECT_EQ(tb::gsfc1266_h[3], -1932.0);
}

TEST(JensenCain1960, LoadsTableAndDipole) {
  jensenandcain1960_();
  EXPECT_EQ(kest::intfield.nmax, 7);
  EXPECT_EQ(gh(1, 1), 0.0);
  EXPECT_EQ(gh(2, 1), 30411.2);
  EXPECT_EQ(gh(2, 2), 2147.4);
  EXPECT_EQ(gh(1, 2), -5798.9);
  EXPECT_EQ(gh(7, 7), 111.5);
  EXPECT_EQ(gh(6, 7), -32.5);
  // Dipole moment of the published degree-1 terms: 31033.5 nT.
  EXPECT_NEAR(kest::dipigrf.b0, 31033.5, 0.05);
  EXPECT_NEAR(kest::dipigrf.cos_th, 30411.2 / kest::dipigrf.b0, 1e-14);
  EXPECT_NEAR(std::atan2(kest::dipigrf.sin_ph, kest::dipigrf.cos_ph),
              std::atan(5798.9 / -2147.4), 1e-14);
  // The eccentric centre is a property of the field, not of its
  // normalisation: it lies close to the IGRF centre five years later.
  const kest::Dipigrf jc = kest::dipigrf;
  double y = 1965.0;
  init_dtd_(&y);
  const kest::Dipigrf& ig = kest::dipigrf;
  const double d = std::sqrt((jc.x0 - ig.x0) * (jc.x0 - ig.x0) + (jc.y0 - ig.y0) * (jc.y0 - ig.y0) +
                             (jc.z0 - ig.z0) * (jc.z0 - ig.z0));
  EXPECT_LT(d * 6371.2, 60.0);
}

TEST(Gsfc1266, LoadsModelAt1970) {
  gsfc1266_();
  EXPECT_EQ(kest::intfield.nmax, 11);
  EXPECT_NEAR(gh(2, 1), -(-30401.2 + 10 * 14.03 + 100 * (-0.062)), 1e-9);
  EXPECT_NEAR(gh(2, 1), 30267.1, 1e-9);
  EXPECT_NEAR(gh(3, 1), -1.5 * (-1540.1 + 10 * (-23.29) + 100 * (-0.154)), 1e-9);
  EXPECT_NEAR(gh(3, 1), 2682.6, 1e-9);
  // h(1,1) at (1, 2), with the same factor as g(1,1).
  EXPECT_NEAR(gh(1, 2), -(5778.2 + 10 * (-3.71) + 100 * (-0.043)), 1e-9);
  const double b0 = std::sqrt(gh(2, 1) * gh(2, 1) + gh(2, 2) * gh(2, 2) + gh(1, 2) * gh(1, 2));
  EXPECT_NEAR(kest::dipigrf.b0, b0, 1e-9);
  // Centre close to that of DGRF 1970.
  const kest::Dipigrf gs = kest::dipigrf;
  double y = 1970.0;
  init_dtd_(&y);
  const kest::Dipigrf& ig = kest::dipigrf;
  const double d = std::sqrt((gs.x0 - ig.x0) * (gs.x0 - ig.x0) + (gs.y0 - ig.y0) * (gs.y0 - ig.y0) +
                             (gs.z0 - ig.z0) * (gs.z0 - ig.z0));
  EXPECT_LT(d * 6371.2, 60.0);
}

TEST(FixedEpoch, JensenCainAfterGsfcSumsToDegreeSixOnly) {
  jensenandcain1960_();
  double b1[3], b2[3];
  field(get_intfield_, 0.7, -0.4, 0.9, b1);
  gsfc1266_();
  const double gsfc_g88 = gh(9, 9);
  jensenandcain1960_();
  EXPECT_EQ(gh(9, 9), gsfc_g88);  // degrees 7-10 of GSFC remain
  EXPECT_NE(gh(9, 9), 0.0);
  field(get_intfield_, 0.7, -0.4, 0.9, b2);
  EXPECT_EQ(std::memcmp(b1, b2, sizeof b1), 0);
}

TEST(FixedEpoch, AgreesWithIndependentLegendreSum) {
  const double pts[8][3] = {{1.0, 0.0, 0.0},    {-0.61, 0.35, -0.72}, {2.385, -0.61, 1.173},
                            {0.12, 1.05, 0.3},  {-1.3, -0.9, 0.4},    {0.01, -0.02, 1.2},
                            {3.7, 4.1, -2.2},   {0.5, -0.2, -1.1}};
  for (int model = 0; model < 2; ++model) {
    if (model == 0) jensenandcain1960_(); else gsfc1266_();
    const shref::Coeffs k = loaded_as_schmidt(kest::intfield.nmax - 1);
    for (const auto& p : pts) {
      double b[3], ref[3];
      field(get_intfield_, p[0], p[1], p[2], b);
      shref::field(k, p[0], p[1], p[2], ref);
      const double mag = std::sqrt(ref[0] * ref[0] + ref[1] * ref[1] + ref[2] * ref[2]);
      // The recursion constants are eight-decimal cuts: about 1e-7 relative.
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(b[i], ref[i], 1e-6 * mag) << model << " " << i;
    }
  }
}

TEST(FixedEpoch, PolarAxisIsRefusedWithFillEverywhere) {
  jensenandcain1960_();
  const double pts[][3] = {{0, 0, 1.5}, {0, 0, -2.0}, {1e-7, 0.0, 1.5}, {0.0, -3e-7, -1.1}};
  for (const auto& p : pts) {
    double b[3];
    field(get_intfield_, p[0], p[1], p[2], b);
    for (double v : b) EXPECT_EQ(v, -1.0e31);
  }
  // Just outside the threshold the field is computed, and points down near
  // the north pole.
  double b[3];
  field(get_intfield_, 2e-6, 0.0, 1.5, b);
  EXPECT_LT(b[2], -10000.0);
  EXPECT_LT(std::fabs(b[1]), 1.0e5);
}

TEST(FixedEpoch, ZeroFieldBeforeAnyLoad) {
  if (kest_test::rerun_alone_unless_first()) return;
  double b[3];
  field(get_intfield_, 1.1, 0.3, -0.2, b);
  EXPECT_EQ(b[0], 0.0);
  EXPECT_EQ(b[1], 0.0);
  EXPECT_EQ(b[2], 0.0);
}

TEST(Dtd, CentredAxialDipoleByHand) {
  kest::dipigrf = {30000.0, 0.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0};
  double b[3];
  field(dtd_, 0, 0, 1, b);
  EXPECT_DOUBLE_EQ(b[2], -60000.0);
  EXPECT_EQ(b[0], 0.0);
  EXPECT_EQ(b[1], 0.0);
  field(dtd_, 2, 0, 0, b);
  EXPECT_DOUBLE_EQ(b[2], 30000.0 / 8);
  EXPECT_EQ(b[0], 0.0);
  EXPECT_EQ(b[1], 0.0);
  // An offset centre shifts the whole field.
  kest::dipigrf.x0 = 0.1;
  kest::dipigrf.y0 = -0.05;
  double c[3];
  field(dtd_, 2.1, -0.05, 0, c);
  EXPECT_DOUBLE_EQ(c[2], 30000.0 / 8);
}

TEST(Dtd, MatchesIgrfFarOut) {
  double y = 1985.5;
  init_dtd_(&y);
  const double pts[][3] = {{8.0, 3.0, 4.0}, {-6.0, -7.0, 2.0}, {1.0, 2.0, -9.0}};
  for (const auto& p : pts) {
    double a[3], b[3];
    field(dtd_, p[0], p[1], p[2], a);
    field(igrf_, p[0], p[1], p[2], b);
    const double mag = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(a[i], b[i], 0.01 * mag);
  }
}
