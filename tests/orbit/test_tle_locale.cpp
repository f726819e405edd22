// The element-file driver called from a host program whose locale writes a
// decimal comma: the file is read and the output written exactly as in the
// C locale.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comma_locale.hpp"
#include "kest/orbit.h"
#include "orbit_test_util.hpp"

namespace {

using orbit_test::read_lines;
using orbit_test::ScratchDir;
using orbit_test::write_file;

// DELTA 1 DEB (06251) as published in the SGP4 verification suite.
const std::string sets =
    "1 06251U 62025E   06176.82412014  .00008885  00000-0  12808-3 0  3985\n"
    "2 06251  58.0579  54.0425 0030035 139.1568 221.1854 15.56387291  6774\n";

std::vector<std::string> run(const std::string& dir, const std::string& name) {
  std::string in = dir + "/sets.tle", out = dir + "/" + name;
  int li = static_cast<int>(in.size()), lo = static_cast<int>(out.size());
  int runtype = 1;
  double start = 0.0, stop = 3600.0, step = 60.0;
  sgp4_tle1_(&runtype, &start, &stop, &step, in.data(), &li, out.data(), &lo);
  return read_lines(out);
}

TEST(TleDecimalCommaLocale, OutputIsThatOfTheCLocale) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path;
  write_file(dir + "/sets.tle", sets);
  const auto c_lines = run(dir, "c.txt");
  // An hour of minutes after the epoch, 0.82412014 d = 19:46:43.980096.
  ASSERT_EQ(c_lines.size(), 60u);
  ASSERT_EQ(c_lines[0].substr(0, 27), "25/06/2006  19:47:43.980096");

  const kest_test::DecimalCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no decimal-comma locale can be built here";
  // Before, the epoch day "06176.82412014" was refused as not a number and
  // the caller's process stopped.
  const auto comma_lines = run(dir, "comma.txt");
  EXPECT_EQ(comma_lines, c_lines);
}

}  // namespace
