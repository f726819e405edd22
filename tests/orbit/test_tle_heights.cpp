// Heights the two-line element reader stores: perigee and apogee heights
// a (1 -+ e) - 1 above the reference sphere, with a from the Kozai mean
// motion; within 1e-6 of e = 1 the apogee gets the marker 999999.9 and the
// perigee 2 (4 / (n^2)^(1/3)).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "kest/orbit.h"
#include "orbit/orbit_state.hpp"
#include "orbit_test_util.hpp"

TEST(TleReader, PerigeeAndApogeeHeights) {
  const double xpdotp = 1440.0 / 6.28318530717959;
  const double tumin = std::sqrt(6378.137 * 6378.137 * 6378.137 / 398600.5) / 60.0;
  const std::string l1 = "1 06251U 62025E   06176.82412014  .00008885  00000-0  12808-3 0  398 ";
  struct Case {
    const char* ecc;  // columns 27-33
    double e;
    bool marker;
  } const cases[] = {{"0030035", 0.0030035, false},
                     {"9999985", 0.9999985, false},
                     {"9999995", 0.9999995, true}};
  for (const Case& c : cases) {
    const std::string l2 = std::string("2 06251  58.0579  54.0425 ") + c.ecc +
                           " 139.1568 221.1854 15.56387291  677 ";
    const orbit_test::ScratchDir scratch;
    const std::string& dir = scratch.path;
    std::string in = dir + "/sets.tle", out = dir + "/orbit.txt";
    orbit_test::write_file(in, l1 + "\n" + l2 + "\n");
    int runtype = 1, li = static_cast<int>(in.size()), lo = static_cast<int>(out.size());
    double start = 0.0, stop = 60.0, step = 60.0;
    void* argv[8] = {&runtype, &start, &stop, &step, in.data(), &li, out.data(), &lo};
    testing::internal::CaptureStdout();
    sgp4_tle_(8, argv);
    testing::internal::GetCapturedStdout();
    const kest::Elsetrec& s = kest::elsetrec;
    const double n = 15.56387291 / xpdotp;
    ASSERT_DOUBLE_EQ(s.eccentricity, c.e);
    const double a = std::pow(n * tumin, -2.0 / 3.0);
    EXPECT_NEAR(s.semi_major_axis, a, 1e-12);
    if (c.marker) {
      EXPECT_EQ(s.apogee_height, 999999.9);
      EXPECT_NEAR(s.perigee_height, 2.0 * (4.0 / std::cbrt(n * n)), 1e-12);
    } else {
      EXPECT_NEAR(s.perigee_height, a * (1.0 - c.e) - 1.0, 1e-12);
      EXPECT_NEAR(s.apogee_height, a * (1.0 + c.e) - 1.0, 1e-12);
    }
  }
}
