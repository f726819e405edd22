// The compiled NRLMSISE-00 coefficient records read back against the
// published telling values: a swapped column or a shifted word fails here.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "atmosphere/atmosphere_state.hpp"

using kest::lower7;
using kest::mavg7;
using kest::parm7;

namespace {

std::vector<const double*> sets150() {
  std::vector<const double*> s{parm7.tinf_coef};
  for (auto& c : parm7.dens_coef) s.push_back(c);
  s.push_back(parm7.grad_coef);
  return s;
}

std::vector<const double*> sets100() {
  std::vector<const double*> s;
  for (auto& c : parm7.tlow_coef) s.push_back(c);
  for (auto& c : parm7.tmid_coef) s.push_back(c);
  return s;
}

}  // namespace

TEST(Nrlmsise00Tables, RecordSizes) {
  EXPECT_EQ(sizeof(parm7) / sizeof(double), 3200u);
  EXPECT_EQ(sizeof(lower7) / sizeof(double), 90u);
  EXPECT_EQ(sizeof(mavg7) / sizeof(double), 10u);
}

TEST(Nrlmsise00Tables, FirstWordOfEverySet) {
  const std::vector<double> first150 = {0.986573, 1.09979, 1.02315, 1.16112, 0.944846, 1.3558,
                                        1.04761,  1.26376, 70.9557, 0.060405, 0.956827};
  const auto s150 = sets150();
  for (std::size_t k = 0; k < s150.size(); ++k) EXPECT_EQ(s150[k][0], first150[k]) << "set " << k;
  const std::vector<double> first100 = {1.00858,  0.939664, 0.985982, 1.0032,  0.981637,
                                        1.00422,  1.0189,   0.975801, 0.960722, 1.03123,
                                        1.00828,  1.57293,  0.860028, 1.06029};
  const auto s100 = sets100();
  for (std::size_t k = 0; k < s100.size(); ++k) EXPECT_EQ(s100[k][0], first100[k]) << "set " << k;
}

TEST(Nrlmsise00Tables, StructuralWords) {
  for (const double* p : sets100()) EXPECT_EQ(p[99], 2.0);  // the glob7s marker
  int anomalous = 0;
  for (const double* p : sets150()) {
    EXPECT_EQ(p[30], 0.0);         // constant of G
    EXPECT_GE(p[24], 0.0538205);   // 3-hour Ap shape, never raised
    if (p == parm7.dens_coef[8]) {
      EXPECT_EQ(p[51], 0.0);       // no 3-hour Ap scale for anomalous O
      ++anomalous;
    } else {
      EXPECT_GE(p[51], 2.47425e-5);
      EXPECT_LE(p[51], 4.34428e-5);
    }
  }
  EXPECT_EQ(anomalous, 1);
  EXPECT_EQ(parm7.tinf_coef[13], -8.6165);
  auto nonzero = [](const double* p) {
    int n = 0;
    for (int i = 0; i < 150; ++i) n += p[i] != 0.0;
    return n;
  };
  EXPECT_EQ(nonzero(parm7.dens_coef[2]), 21);
  EXPECT_EQ(nonzero(parm7.dens_coef[8]), 13);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(parm7.sam_coef[i], i < 50 ? 1.0 : 0.0);
}

TEST(Nrlmsise00Tables, AuxCoefInFull) {
  const double col1[25] = {1.0993, 3.90631, 3.07165, 0.986161, 16.3536, 4.6383, 1.0, 0, 0, 0,
                           0,      0,       0,       0,        0,       0,      0,   0, 0, 0,
                           0,      0,       1.2884,  0.0310302, 0.118339};
  const double col2[25] = {1.0,      0.7,      1.1502,   3.44689,     1.2884,  1.0,     1.08738,
                           1.22947,  1.10016,  0.734129, 1.15241,     2.22784, 0.795046, 4.01612,
                           4.47749,  123.435,  -0.0760535, 1.68986e-06, 0.744294, 1.03604, 172.783,
                           1.1502,   3.44689,  -0.74623, 0.949154};
  for (int i = 0; i < 25; ++i) {
    EXPECT_EQ(parm7.aux_coef[0][i], col1[i]) << "row " << i + 1;
    EXPECT_EQ(parm7.aux_coef[1][i], col2[i]) << "row " << i + 1;
  }
}

TEST(Nrlmsise00Tables, LowerAndMiddleRecordsInFull) {
  const double lb_temp[10] = {1041.3, 386, 195, 16.6728, 213, 120, 240, 187, -2, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(lower7.lb_temp[i], lb_temp[i]);
  const double lb_dens[10][8] = {
      {2.456e7, 8.594e10, 2.81e11, 3.3e10, 1.33e9, 1.761e5, 1.0e7, 1.0e6},
      {6.71072e-6, 1, 0, 0.26827, 0.0119615, 1, 1, 1},
      {100, 105, 105, 105, 105, 95, 105, 105},
      {0, -8, 28, 1, 0, -8, -8, -8},
      {110, 110, 28.95, 110, 110, 110, 110, 550},
      {10, 10, 0, 10, 10, 10, 10, 76},
      {0, 90, 0, 110, 0, 90, 90, 90},
      {0, 2, 0, -10, 0, 2, 2, 2},
      {0, 0, 0, 0, 0, 0, 0, 0},
      {0, 0, 0, 0, 0, 0, 0, 4000}};
  for (int i = 0; i < 10; ++i)
    for (int k = 0; k < 8; ++k)
      EXPECT_EQ(lower7.lb_dens[k][i], lb_dens[i][k]) << "row " << i + 1 << " column " << k + 1;
  const double mid_avg[10] = {261, 264, 229, 217, 217, 223, 286.76, -2.9394, 2.5, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(mavg7.mid_avg[i], mid_avg[i]);
  // Values the model reads by position.
  EXPECT_EQ(parm7.aux_coef[1][15], 123.435);                        // za
  EXPECT_EQ(lower7.lb_dens[7][9] * parm7.aux_coef[0][6], 4000.0);  // hot-O temperature
}

TEST(Nrlmsise00Tables, VersionText) {
  EXPECT_EQ(std::string(kest::datim7.ver_date, 12) + std::string(kest::datim7.ver_time, 8) +
                std::string(kest::datim7.ver_name, 8),
            "01-FEB-02   15:49:27MSISE-00");
}
