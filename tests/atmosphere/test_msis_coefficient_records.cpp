// The compiled coefficient records of the three MSIS generations, word for
// word against the plain-text copies of the published records in data/msis
// (from which tools/gen_msis.py writes them): a mistyped digit, a dropped or
// shifted word or a swapped column anywhere, in the generator or in an edit
// of its committed output, fails here.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "atmosphere/atmosphere_state.hpp"
#include "kest/atmosphere.h"

namespace {

// All numbers of a record file in order (lines starting with # skipped).
std::vector<double> read_record(const std::string& name) {
  std::ifstream in(std::string(KEST_SOURCE_DIR) + "/data/msis/" + name);
  EXPECT_TRUE(in.good()) << name;
  std::vector<double> v;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream ls(line);
    std::string tok;
    while (ls >> tok) v.push_back(std::stod(tok));
  }
  return v;
}

// Compares the record r (a struct of doubles only) word for word.
template <class R>
void expect_record(const R& r, const std::string& name) {
  const std::vector<double> want = read_record(name);
  const std::size_t n = sizeof(R) / sizeof(double);
  ASSERT_EQ(want.size(), n) << name;
  const double* got = reinterpret_cast<const double*>(&r);
  int bad = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (got[i] != want[i] && ++bad <= 5)
      ADD_FAILURE() << name << " word " << i + 1 << ": compiled " << got[i] << ", published "
                    << want[i];
  }
  EXPECT_EQ(bad, 0) << name;
}

}  // namespace

TEST(MsisCoefficientRecords, Nrlmsise00) {
  expect_record(kest::parm7, "nrlmsise00_parm7.txt");
  expect_record(kest::lower7, "nrlmsise00_lower7.txt");
  expect_record(kest::mavg7, "nrlmsise00_mavg7.txt");
}

TEST(MsisCoefficientRecords, Msise90) {
  expect_record(kest::parm6, "msise90_parm6.txt");
  expect_record(kest::lower6, "msise90_lower6.txt");
  expect_record(kest::mavg6, "msise90_mavg6.txt");
}

// MSIS-86 loads its records on its first evaluation.
TEST(MsisCoefficientRecords, Msis86) {
  int iyd = 172, mass = 48;
  double sec = 29000, alt = 400, lat = 60, lon = -70, stl = 16, fa = 150, f = 150;
  double ap[7] = {4, 4, 4, 4, 4, 4, 4}, d[8], t[2];
  gts5_(&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap, &mass, d, t);
  expect_record(kest::parm5, "msis86_parm5.txt");
  expect_record(kest::lower5, "msis86_lower5.txt");
}
