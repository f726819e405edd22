// The coordinate and date entry points: argument count ignored, addresses
// forwarded in order (the core's write-backs reach the caller), 9.9 returned.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "kest.h"

namespace {

TEST(FrameEntries, ForwardAddressesWhateverTheCount) {
  for (int argc : {0, 7, -3, 1000}) {
    int in = 1, out = 7, iyr = 2004, idoy = 75;
    double ut = 0.0, xin[3] = {0, -2, 0}, xout[3] = {0, 0, 0};
    void* argv[] = {&in, &out, &iyr, &idoy, &ut, xin, xout};
    EXPECT_EQ(coord_trans_(argc, argv), 9.9f);
    EXPECT_NEAR(xout[0], 2.0, 1e-15);
    EXPECT_NEAR(xout[2], 270.0, 1e-12);
  }
  // A write-back into an input: rll_gdz leaves the radius in km.
  double r = 1, lat = 0, lon = 0, alt = 0;
  void* rll[] = {&r, &lat, &lon, &alt};
  EXPECT_EQ(rll2gdz_(4, rll), 9.9f);
  EXPECT_EQ(r, 6371.2);
  EXPECT_NEAR(alt, 6371.2 - 6378.137, 1e-9);
  // The fill case still returns 9.9.
  int bad = 12, geo = 1, iyr = 2004, idoy = 75;
  double ut = 0.0, xin[3] = {1, 2, 3}, xout[3];
  void* argv[] = {&bad, &geo, &iyr, &idoy, &ut, xin, xout};
  testing::internal::CaptureStdout();
  EXPECT_EQ(coord_trans_(7, argv), 9.9f);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(xout[0], -1.0e31);
  // The date entry.
  int y = 2000, mo = 7, d = 2, h = 0, mi = 0, s = 0;
  double decy = 0;
  void* dargv[] = {&y, &mo, &d, &h, &mi, &s, &decy};
  EXPECT_EQ(date_and_time2decy_idl_(0, dargv), 9.9f);
  EXPECT_DOUBLE_EQ(decy, 2000.5);
}

TEST(FrameEntries, PairwiseEntriesMatchTheirCores) {
  int iyr = 1995, idoy = 180;
  double ut = 7200.0, psi = 0, psi2 = 0, x[3] = {3.1, -1.4, 0.8}, a[3], b[3];
  void* argv[] = {&iyr, &idoy, &ut, &psi, x, a};
  EXPECT_EQ(geo2gsm_(6, argv), 9.9f);
  geo2gsm1_(&iyr, &idoy, &ut, &psi2, x, b);
  EXPECT_EQ(psi, psi2);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(a[k], b[k]);
  void* margv[] = {&iyr, x, a};
  EXPECT_EQ(geo2mag_(3, margv), 9.9f);
  geo2mag1_(&iyr, x, b);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(a[k], b[k]);
}

// The README's C example, built by CMake, run here: it prints the GSM
// position of a GEO point, which must keep its length.
TEST(FrameEntries, ReadmeExampleRunsAndMatchesTheReadme) {
  std::FILE* p = popen(KEST_EXAMPLE_GEO2GSM, "r");
  ASSERT_NE(p, nullptr);
  std::array<char, 256> buf{};
  std::string out;
  while (std::fgets(buf.data(), buf.size(), p) != nullptr) out += buf.data();
  ASSERT_EQ(pclose(p), 0);
  double x, y, z, psi;
  ASSERT_EQ(std::sscanf(out.c_str(), "GSM %lf %lf %lf Re, tilt %lf rad", &x, &y, &z, &psi), 4) << out;
  EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 6.6, 1e-6);
  EXPECT_LT(std::fabs(psi), 0.6);
  // The README shows this very source.
  std::ifstream src(std::string(KEST_SOURCE_DIR) + "/examples/geo2gsm.c"), readme(std::string(KEST_SOURCE_DIR) + "/README.md");
  std::stringstream s1, s2;
  s1 << src.rdbuf();
  s2 << readme.rdbuf();
  EXPECT_NE(s2.str().find(s1.str()), std::string::npos) << "README.md must show examples/geo2gsm.c verbatim";
}

}  // namespace
