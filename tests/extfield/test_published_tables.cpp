// The compiled coefficient tables of the Olson-Pfitzer, Tsyganenko 1987,
// 1989 and 1996 models against the published tables in data/, value by value:
// each compiled double is the nearest double of the published decimal (one
// entry of the Tsyganenko 1996 Region-2 sheet, published as a
// single-precision constant, is the double of its nearest float). The quiet
// Olson-Pfitzer terms must also come in the model's nested term order.
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "extfield/olson_pfitzer77_tables.hpp"
#include "extfield/olson_pfitzer88_tables.hpp"
#include "extfield/tsyganenko87_tables.hpp"
#include "extfield/tsyganenko89_tables.hpp"
#include "extfield/tsyganenko96_tables.hpp"

namespace {

// All numbers of a published table, in file order, skipping comment lines.
std::vector<double> published(const std::string& file) {
  std::ifstream in(std::string(KEST_SOURCE_DIR) + "/data/" + file);
  EXPECT_TRUE(in.good()) << file;
  std::vector<double> v;
  std::string line, word;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    while (words >> word) v.push_back(std::strtod(word.c_str(), nullptr));
  }
  return v;
}

void expect_table(const std::string& file, const double* table, std::size_t n, std::size_t float_entry = 0) {
  const std::vector<double> v = published(file);
  ASSERT_EQ(v.size(), n) << file;
  for (std::size_t i = 0; i < n; ++i) {
    const double want = i + 1 == float_entry ? static_cast<double>(static_cast<float>(v[i])) : v[i];
    EXPECT_EQ(table[i], want) << file << " entry " << i + 1;
  }
}

TEST(PublishedTables, TsyganenkoParameterSetsAndCoefficients) {
  namespace t96 = kest::t96;
  expect_table("tsyganenko/t87_short_params.txt", &kest::t87::short_params[0][0], 8 * 24);
  expect_table("tsyganenko/t87_long_params.txt", &kest::t87::long_params[0][0], 6 * 32);
  expect_table("tsyganenko/t89c_params.txt", &kest::t89::params[0][0], 7 * 30);
  expect_table("tsyganenko/t96_r1_sheet_coef.txt", t96::r1_sheet_coef, 79);
  expect_table("tsyganenko/t96_r1_shield_par.txt", t96::r1_shield_par, 80);
  expect_table("tsyganenko/t96_r2_sheet_bx_coef.txt", t96::r2_sheet_bx_coef, 80, 7);
  expect_table("tsyganenko/t96_r2_sheet_by_coef.txt", t96::r2_sheet_by_coef, 80);
  expect_table("tsyganenko/t96_r2_sheet_bz_coef.txt", t96::r2_sheet_bz_coef, 80);
  expect_table("tsyganenko/t96_shield_ring_current.txt", t96::shield_ring_current, 48);
  expect_table("tsyganenko/t96_shield_tail_mode2.txt", t96::shield_tail_mode2, 48);
  expect_table("tsyganenko/t96_shield_tail_mode3.txt", t96::shield_tail_mode3, 48);
}

// Dynamic model: the files hold (position, value) pairs, positions 1..n.
TEST(PublishedTables, OlsonPfitzerDynamic) {
  struct Case {
    const char* file;
    const double* table;
    std::size_t n;
  } cases[] = {{"olson_pfitzer/op88_magnetopause.txt", kest::op88::magnetopause, 162},
               {"olson_pfitzer/op88_tail.txt", kest::op88::tail, 121},
               {"olson_pfitzer/op88_ring.txt", kest::op88::ring, 85}};
  for (const Case& c : cases) {
    const std::vector<double> v = published(c.file);
    ASSERT_EQ(v.size(), 2 * c.n) << c.file;
    for (std::size_t i = 0; i < c.n; ++i) {
      EXPECT_EQ(v[2 * i], static_cast<double>(i + 1)) << c.file;
      EXPECT_EQ(c.table[i], v[2 * i + 1]) << c.file << " position " << i + 1;
    }
  }
}

// Quiet model: rows (k, a, b, c, parity, p, q). The terms are the monomials
// x^a y^(2b) z^c visited with a outermost, then b, then c, limited to
// a + 2b + c <= 5 (Bx, Bz) or <= 4 (By, times y), a and c at most 4.
template <std::size_t N>
void expect_quiet(const char* file, const kest::op77::Term (&table)[N], int max_degree) {
  const std::vector<double> v = published(file);
  ASSERT_EQ(v.size(), 7 * N) << file;
  std::size_t n = 0;
  for (int a = 0; a <= 4; ++a)
    for (int b = 0; b <= 2; ++b)
      for (int c = 0; c <= 4; ++c) {
        if (a + 2 * b + c > max_degree) continue;
        ASSERT_LT(n, N) << file;
        const double* row = &v[7 * n];
        const kest::op77::Term& t = table[n];
        EXPECT_EQ(row[0], static_cast<double>(n + 1)) << file;
        EXPECT_EQ(t.a, a) << file << " term " << n + 1;
        EXPECT_EQ(t.b, b) << file << " term " << n + 1;
        EXPECT_EQ(t.c, c) << file << " term " << n + 1;
        EXPECT_EQ(row[1], a) << file << " term " << n + 1;
        EXPECT_EQ(row[2], b) << file << " term " << n + 1;
        EXPECT_EQ(row[3], c) << file << " term " << n + 1;
        EXPECT_EQ(t.parity, static_cast<int>(row[4])) << file << " term " << n + 1;
        EXPECT_EQ(t.p, row[5]) << file << " term " << n + 1;
        EXPECT_EQ(t.q, row[6]) << file << " term " << n + 1;
        ++n;
      }
  EXPECT_EQ(n, N) << file;
}

TEST(PublishedTables, OlsonPfitzerQuiet) {
  namespace t = kest::op77;
  expect_quiet("olson_pfitzer/op77_bx_plain.txt", t::bx_plain, 5);
  expect_quiet("olson_pfitzer/op77_bx_exp.txt", t::bx_exp, 5);
  expect_quiet("olson_pfitzer/op77_bz_plain.txt", t::bz_plain, 5);
  expect_quiet("olson_pfitzer/op77_bz_exp.txt", t::bz_exp, 5);
  expect_quiet("olson_pfitzer/op77_by_plain.txt", t::by_plain, 4);
  expect_quiet("olson_pfitzer/op77_by_exp.txt", t::by_exp, 4);
}

}  // namespace
