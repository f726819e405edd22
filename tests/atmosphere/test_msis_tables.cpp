// The compiled MSISE-90 and MSIS-86 coefficient records read back against the
// published telling values.
#include <gtest/gtest.h>

#include <string>

#include "atmosphere/atmosphere_state.hpp"
#include "fresh_process.hpp"
#include "kest/atmosphere.h"
#include "restore.hpp"

using kest::lower5;
using kest::lower6;
using kest::mavg6;
using kest::parm5;
using kest::parm6;

TEST(Msise90Tables, TellingValues) {
  EXPECT_EQ(sizeof(parm6) / sizeof(double), 3100u);
  EXPECT_EQ(sizeof(lower6) / sizeof(double), 90u);
  EXPECT_EQ(parm6.tinf_coef[0], 0.99604);
  EXPECT_EQ(parm6.tinf_coef[13], -8.45398);
  EXPECT_EQ(parm6.grad_coef[0], 0.951363);
  EXPECT_EQ(parm6.dens_coef[2][0], 1.06903);
  EXPECT_EQ(parm6.dens_coef[3][0], 0.976619);
  EXPECT_EQ(parm6.aux_coef[1][15], 122.807);
  EXPECT_EQ(parm6.aux_coef[0][24], 0.140925);
  EXPECT_EQ(parm6.aux_coef[1][24], 0.962736);
  const double tlow1[4] = {1.02083, 0.92488, 0.972669, 0.999368};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(parm6.tlow_coef[k][0], tlow1[k]);
  const double tmid1[10] = {0.981637, 1.00422, 1.0189, 0.975801, 0.960722,
                            1.03123,  1.00828, 1.57293, 0.866492, 1.06029};
  for (int k = 0; k < 10; ++k) EXPECT_EQ(parm6.tmid_coef[k][0], tmid1[k]);
  // No marker in word 100 (its lower-atmosphere expansion does not demand one).
  for (int k = 0; k < 4; ++k) EXPECT_EQ(parm6.tlow_coef[k][99], 0.0);
  for (int k = 0; k < 10; ++k) EXPECT_EQ(parm6.tmid_coef[k][99], 0.0);
}

TEST(Msise90Tables, LowerAndMiddleRecordsInFull) {
  const double lb_temp[10] = {1041.3, 386.0, 195.0, 16.6728, 213.0, 120.0, 240.0, 187.0, -2.0, 0.0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(lower6.lb_temp[i], lb_temp[i]);
  const double lb_dens[8][8] = {
      {2.456E7, 8.594E10, 2.81E11, 3.30E10, 1.33E9, 1.761E5, 1.00E7, 1.00E7},
      {6.71072E-6, 0.54, 0.0, 0.26827, 0.0119615, 1.0, 1.0, 1.0},
      {100.0, 105.0, 105.0, 105.0, 105.0, 95.0, 105.0, 105.0},
      {0.0, -8.0, 28.0, 0.0, 0.0, -8.0, -8.0, -8.0},
      {110.0, 110.0, 28.95, 110.0, 110.0, 110.0, 110.0, 110.0},
      {10.0, 10.0, 0.0, 10.0, 10.0, 10.0, 10.0, 10.0},
      {0.0, 90.0, 0.0, 0.0, 0.0, 90.0, 90.0, 90.0},
      {0.0, 2.0, 0.0, 0.0, 0.0, 2.0, 2.0, 2.0}};
  for (int i = 0; i < 10; ++i)
    for (int k = 0; k < 8; ++k)
      EXPECT_EQ(lower6.lb_dens[k][i], i < 8 ? lb_dens[i][k] : 0.0) << i + 1 << "," << k + 1;
  const double mid_avg[10] = {261.0, 264.0, 229.0, 217.0, 217.0, 223.0, 286.76, -2.9394, 2.5, 0.0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(mavg6.mid_avg[i], mid_avg[i]);
  EXPECT_EQ(std::string(kest::datim6.ver_date, 28), "12-MAR-90   15:09:04MSISE 90");
}

// MSIS-86 holds zeros until its first evaluation loads the records.
TEST(Msis86Tables, LoadedOnFirstCall) {
  if (kest_test::rerun_alone_unless_first()) return;
  EXPECT_EQ(lower5.lb_temp[0], 0.0);
  EXPECT_EQ(parm5.dens_coef[6][0], 0.0);
  int iyd = 172, mass = 48;
  double sec = 29000, alt = 400, lat = 60, lon = -70, stl = 16, fa = 150, f = 150;
  double ap[7] = {4, 4, 4, 4, 4, 4, 4}, d[8], t[2];
  gts5_(&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap, &mass, d, t);
  EXPECT_EQ(lower5.lb_temp[0], 1041.3);
  EXPECT_EQ(parm5.dens_coef[6][0], 57.3587);
  EXPECT_EQ(kest::parmb.gsurf, 980.665);
  EXPECT_EQ(kest::parmb.re_eff, 6356.77);
  EXPECT_EQ(std::string(kest::datime.ver_name, 8), "CIRA-86 ");

  const double lb_temp[8] = {1041.3, 386.0, 190.0, 16.6728, 115.0, 120.0, 94.5537, 0.0};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(lower5.lb_temp[i], lb_temp[i]);
  const double lb_dens[8][7] = {
      {24560000.0, 85940000000.0, 281000000000.0, 33000000000.0, 1330000000.0, 176100.0, 10000000.0},
      {6.71072e-06, 0.54, 0, 0.26827, 0.0119615, 1.0, 1.0},
      {100.0, 105.0, 105.0, 105.0, 105.0, 95.0, 105.0},
      {0, -8.0, 28.0, 0, 0, -8.0, -8.0},
      {110.0, 110.0, 28.95, 110.0, 110.0, 110.0, 110.0},
      {10.0, 10.0, 0, 10.0, 10.0, 10.0, 10.0},
      {0, 90.0, 0, 0, 0, 90.0, 90.0},
      {0, 2.0, 0, 0, 0, 2.0, 2.0}};
  for (int i = 0; i < 8; ++i)
    for (int k = 0; k < 7; ++k) EXPECT_EQ(lower5.lb_dens[k][i], lb_dens[i][k]) << i + 1 << "," << k + 1;
  const double aux1[6] = {0.933804, 5.47446, 0.153263, 0.919303, 16.4109, 4.27083};
  const double aux2[25] = {1.15897, 0.471094, 1.09459, 5.25012, 1.0,     1.0,        1.03999,
                           0.767132, 1.10514, 1.75636, 1.10845, 2.33439, 0.796532,  4.3152,
                           4.073,    1.01885, 0.239547, 2.53791e-06, 0.842931, 1.04192, 2.00202,
                           1.0,      1.0,     1.0,     1.0};
  for (int i = 0; i < 25; ++i) {
    EXPECT_EQ(parm5.aux_coef[0][i], i < 6 ? aux1[i] : 0.0);
    EXPECT_EQ(parm5.aux_coef[1][i], aux2[i]);
  }

  // First words, and the last non-zero word of each 150-word set.
  struct Row { const double* p; double p1, p2, p3; int last; } rows[] = {
      {parm5.tinf_coef, 0.99604, 0.0385528, 0.00303445, 139},
      {parm5.grad_coef, 0.951363, -0.0467542, 0.12026, 45},
      {parm5.dens_coef[0], 1.04934, -0.0288362, -0.207095, 139},
      {parm5.dens_coef[1], 0.931113, -0.138721, -0.133457, 133},
      {parm5.dens_coef[3], 0.931402, 0.137976, 0, 97},
      {parm5.dens_coef[4], 0.868053, 0.236364, 0.134306, 137},
      {parm5.dens_coef[5], 1.27515, -0.210472, -0.177924, 132},
      {parm5.dens_coef[6], 57.3587, -0.398747, 0, 132}};
  for (const auto& r : rows) {
    EXPECT_EQ(r.p[0], r.p1);
    EXPECT_EQ(r.p[1], r.p2);
    EXPECT_EQ(r.p[2], r.p3);
    int last = 0;
    for (int i = 0; i < 150; ++i)
      if (r.p[i] != 0.0) last = i + 1;
    EXPECT_EQ(last, r.last) << r.p1;
    if (r.p != parm5.grad_coef) {
      EXPECT_GE(r.p[24], 0.0757809);
      EXPECT_GE(r.p[43], 0.0988213);
    }
  }
  EXPECT_EQ(parm5.tinf_coef[51], 4.04995e-05);
  EXPECT_EQ(parm5.grad_coef[51], 0.0);
  for (int k : {0, 1, 3, 4, 5, 6}) {
    EXPECT_GE(parm5.dens_coef[k][51], 2.77654e-05);
    EXPECT_LE(parm5.dens_coef[k][51], 3.45044e-05);
  }
  // The five windows of column 3.
  const double window1[5] = {1.06903, 0.976619, 0.998594, 0.949197, 0.15284};
  for (int w = 0; w < 5; ++w) {
    EXPECT_EQ(parm5.dens_coef[2][25 * w], window1[w]);
    EXPECT_EQ(parm5.dens_coef[2][25 * w + 10], -8.45398);
  }
  for (int i = 125; i < 150; ++i) EXPECT_EQ(parm5.dens_coef[2][i], 0.0);
  // 1464 values, 758 of them zero.
  int zeros = 0;
  for (double v : parm5.tinf_coef) zeros += v == 0.0;
  for (auto& c : parm5.dens_coef)
    for (double v : c) zeros += v == 0.0;
  for (double v : parm5.grad_coef) zeros += v == 0.0;
  for (auto& c : parm5.aux_coef)
    for (double v : c) zeros += v == 0.0;
  for (double v : lower5.lb_temp) zeros += v == 0.0;
  for (auto& c : lower5.lb_dens)
    for (double v : c) zeros += v == 0.0;
  EXPECT_EQ(zeros, 758);
  // za = 115 * 1.01885
  EXPECT_NEAR(lower5.lb_temp[4] * parm5.aux_coef[1][15], 117.16775, 1e-9);
}

// The loader runs once: a word changed after the first call stays changed.
TEST(Msis86Tables, NotReloaded) {
  int iyd = 172, mass = 48;
  double sec = 29000, alt = 400, lat = 60, lon = -70, stl = 16, fa = 150, f = 150;
  double ap[7] = {4, 4, 4, 4, 4, 4, 4}, d[8], t[2];
  gts5_(&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap, &mass, d, t);
  const kest_test::Restore loaded(parm5);  // the tables as loaded, for the tests after this one
  parm5.tinf_coef[149] = 7.0;
  gts5_(&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap, &mass, d, t);
  EXPECT_EQ(parm5.tinf_coef[149], 7.0);
}
