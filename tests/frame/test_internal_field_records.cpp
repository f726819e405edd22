// The compiled internal-field coefficient tables, value by value, against the
// plain-text copies of the published models in data/internal_field (from
// which tools/gen_internal_field.py writes them), and the fixed-epoch models
// as their loaders leave them in intfield. The telling values elsewhere guard
// a few dozen coefficients; a mistyped digit, a shifted row or a swapped
// column anywhere else in the 1700 published values fails here.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "frame/frame_state.hpp"
#include "frame/internal_field_tables.hpp"
#include "kest/frame.h"
#include "sh_reference.hpp"

namespace tb = kest::tables;

namespace {

// One data line of a table: degree, order and the values that follow.
struct Row {
  int n, m;
  std::vector<double> v;
};

std::vector<Row> read_table(const std::string& name) {
  std::ifstream in(std::string(KEST_SOURCE_DIR) + "/data/internal_field/" + name);
  EXPECT_TRUE(in.good()) << name;
  std::vector<Row> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream ls(line);
    Row r{};
    ls >> r.n >> r.m;
    double x;
    while (ls >> x) r.v.push_back(x);
    rows.push_back(r);
  }
  return rows;
}

// Slot of (n, m) in the 0-based layout of the tables: n(n+1)/2 + m.
int slot(int n, int m) { return n * (n + 1) / 2 + m; }

// Entry (i, j) of intfield.gh, numbered from 1, first index fastest.
double gh(int i, int j) { return kest::intfield.gh[j - 1][i - 1]; }

// Schmidt-to-Gauss factor in closed form, (2n-1)!!/(n-m)! sqrt(eps_m (n-m)!/(n+m)!).
double schmidt_to_gauss(int n, int m) {
  double dfact = 1.0;
  for (int k = 1; k <= 2 * n - 1; k += 2) dfact *= k;
  const double f = static_cast<double>(shref::factorial(n - m));
  return dfact / f * std::sqrt((m == 0 ? 1.0 : 2.0) * f / static_cast<double>(shref::factorial(n + m)));
}

}  // namespace

TEST(InternalFieldRecords, IgrfEpochsAndSecularVariationAsPublished) {
  for (int e = 0; e < tb::igrf10_nepoch; ++e) {
    const int year = tb::igrf10_first_epoch + 5 * e;
    const std::vector<Row> rows = read_table("igrf10_" + std::to_string(year) + ".txt");
    ASSERT_EQ(rows.size(), 65u) << year;  // degrees 1-10
    for (const Row& r : rows) {
      ASSERT_EQ(r.v.size(), 2u) << year;
      EXPECT_EQ(tb::igrf10_g[e][slot(r.n, r.m)], r.v[0]) << year << " g(" << r.n << "," << r.m << ")";
      EXPECT_EQ(tb::igrf10_h[e][slot(r.n, r.m)], r.v[1]) << year << " h(" << r.n << "," << r.m << ")";
    }
  }
  const std::vector<Row> sv = read_table("igrf10_sv_2005_2010.txt");
  ASSERT_EQ(sv.size(), 44u);  // degrees 1-8
  for (const Row& r : sv) {
    EXPECT_EQ(tb::igrf10_sv_g[slot(r.n, r.m)], r.v[0]) << "sv g(" << r.n << "," << r.m << ")";
    EXPECT_EQ(tb::igrf10_sv_h[slot(r.n, r.m)], r.v[1]) << "sv h(" << r.n << "," << r.m << ")";
  }
}

// Jensen-Cain 1960 is published in the form intfield holds (Gauss-normalised,
// sign of the potential reversed): loaded, every entry is the published value.
// GSFC 12/66 is published in Schmidt form with the usual sign and evaluated
// ten years after its epoch: g~ = -S(n,m) (g + 10 g' + 100 g'').
TEST(InternalFieldRecords, FixedEpochModelsAsPublishedAndAsLoaded) {
  const std::vector<Row> jc = read_table("jensen_cain_1960.txt");
  ASSERT_EQ(jc.size(), 27u);  // degrees 1-6
  jensenandcain1960_();
  for (const Row& r : jc) {
    const int k = slot(r.n, r.m) - 1;
    EXPECT_EQ(tb::jc1960_g[k], r.v[0]) << "JC g(" << r.n << "," << r.m << ")";
    EXPECT_EQ(tb::jc1960_h[k], r.v[1]) << "JC h(" << r.n << "," << r.m << ")";
    EXPECT_EQ(gh(r.n + 1, r.m + 1), r.v[0]) << "JC loaded g(" << r.n << "," << r.m << ")";
    if (r.m > 0) {
      EXPECT_EQ(gh(r.m, r.n + 1), r.v[1]) << "JC loaded h(" << r.n << "," << r.m << ")";
    }
  }

  const std::vector<Row> gs = read_table("gsfc_1266.txt");
  ASSERT_EQ(gs.size(), 65u);  // degrees 1-10
  const double* cols[6] = {tb::gsfc1266_g,    tb::gsfc1266_h,     tb::gsfc1266_gdot,
                           tb::gsfc1266_hdot, tb::gsfc1266_gddot, tb::gsfc1266_hddot};
  gsfc1266_();
  for (const Row& r : gs) {
    ASSERT_EQ(r.v.size(), 6u);
    const int k = slot(r.n, r.m) - 1;
    for (int c = 0; c < 6; ++c)
      EXPECT_EQ(cols[c][k], r.v[c]) << "GSFC column " << c << " (" << r.n << "," << r.m << ")";
    const double s = schmidt_to_gauss(r.n, r.m);
    const double g = -s * (r.v[0] + 10.0 * r.v[2] + 100.0 * r.v[4]);
    const double h = -s * (r.v[1] + 10.0 * r.v[3] + 100.0 * r.v[5]);
    EXPECT_NEAR(gh(r.n + 1, r.m + 1), g, 1e-12 * std::fabs(s) * 40000.0)
        << "GSFC loaded g(" << r.n << "," << r.m << ")";
    if (r.m > 0) {
      EXPECT_NEAR(gh(r.m, r.n + 1), h, 1e-12 * std::fabs(s) * 40000.0)
          << "GSFC loaded h(" << r.n << "," << r.m << ")";
    }
  }
}
