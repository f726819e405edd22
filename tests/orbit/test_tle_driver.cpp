// The two-line element driver: output lines on small element files, the
// windows of both run types, comment lines, the last and single sets, the
// seconds carry, the file faults, and the positions against a chain built
// here from the SGP4 core and the frame services.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kest/frame.h"
#include "kest/orbit.h"
#include "orbit/orbit_state.hpp"
#include "orbit_test_util.hpp"

namespace {

using orbit_test::read_lines;
using orbit_test::ScratchDir;
using orbit_test::write_file;

// Elements of DELTA 1 DEB (06251) from the SGP4 verification suite; the epoch
// (columns 19-32) is replaced to place the sets.
const std::string line1_tail = "  .00008885  00000-0  12808-3 0  3985";
const std::string line2 =
    "2 06251  58.0579  54.0425 0030035 139.1568 221.1854 15.56387291  6774";

std::string set_at(const std::string& epoch14) {
  return "1 06251U 62025E   " + epoch14 + line1_tail + "\n" + line2 + "\n";
}

struct TleRun {
  ScratchDir scratch;
  std::string dir, in, out;
  explicit TleRun(const std::string& elements) : dir(scratch.path) {
    in = dir + "/sets.tle";
    out = dir + "/orbit.txt";
    write_file(in, elements);
  }
  std::vector<std::string> go(int runtype, double start, double stop, double step) {
    std::string i = in, o = out;
    int li = static_cast<int>(i.size()), lo = static_cast<int>(o.size());
    void* argv[8] = {&runtype, &start, &stop, &step, i.data(), &li, o.data(), &lo};
    EXPECT_FLOAT_EQ(sgp4_tle_(8, argv), 9.9f);
    return read_lines(out);
  }
};

// The date and time columns (1-27) of an output line.
std::string when(const std::string& line) { return line.substr(0, 27); }

// Decimal year of a time of day in a common year, as columns 29-41 print it.
std::string decy_text(int year, int doy, double seconds_of_day) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%13.8f", year + (doy - 1 + seconds_of_day / 86400.0) / 365.0);
  return buf;
}

TEST(TleDriver, ModeZeroWindowsJoinAtTheNextEpochAndTheLastSetGetsOneDay) {
  // Days 100 and 101 of 2006 (10 and 11 April), one-minute steps.
  TleRun run(set_at("06100.00000000") + set_at("06101.00000000"));
  const auto lines = run.go(0, 0.0, 0.0, 60.0);
  ASSERT_EQ(lines.size(), 2880u);
  EXPECT_EQ(when(lines[0]), "10/04/2006   0: 1: 0.000000");
  EXPECT_EQ(when(lines[1439]), "11/04/2006   0: 0: 0.000000");
  EXPECT_EQ(when(lines[1440]), "11/04/2006   0: 1: 0.000000");
  EXPECT_EQ(when(lines[2879]), "12/04/2006   0: 0: 0.000000");
  EXPECT_EQ(lines[0].substr(27, 14), " " + decy_text(2006, 100, 60.0));
  EXPECT_EQ(lines[2879].substr(27, 14), " " + decy_text(2006, 102, 0.0));
  for (const auto& l : lines) ASSERT_EQ(l.size(), 93u);
}

TEST(TleDriver, ModeZeroWindowsJoinAtEpochsInsideTheDay) {
  // 12 hours apart, epochs at 19:46:43.980096 and 07:46:43.980096, across the
  // end of 2006: the joining line lies exactly on the later epoch.
  TleRun run(set_at("06365.82412014") + set_at("07001.32412014"));
  const auto lines = run.go(0, 0.0, 0.0, 60.0);
  ASSERT_EQ(lines.size(), 720u + 1440u);
  EXPECT_EQ(when(lines[0]), "31/12/2006  19:47:43.980096");
  EXPECT_EQ(when(lines[719]), "01/01/2007   7:46:43.980096");
  EXPECT_EQ(when(lines[720]), "01/01/2007   7:47:43.980096");
  // The decimal year counts whole seconds: 19:47:43 of day 365, the 0.980096 s
  // dropped (2006.99952001; with the fraction it would read 2006.99952004).
  EXPECT_EQ(lines[0].substr(27, 14), " " + decy_text(2006, 365, 19 * 3600 + 47 * 60 + 43.0));
}

TEST(TleDriver, ModeZeroPassesOverAnEarlierSetAndSaysSo) {
  // Epochs day 10, day 5, day 20 of 2006; one-day steps: the day-10 set up to
  // day 20, the day-5 set passed over, the day-20 set (last) one day.
  TleRun run("# three sets\n" + set_at("06010.00000000") + set_at("06005.00000000") +
          set_at("06020.00000000"));
  testing::internal::CaptureStdout();
  const auto lines = run.go(0, 0.0, 0.0, 86400.0);
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(when(lines[0]), "11/01/2006   0: 0: 0.000000");
  EXPECT_EQ(when(lines[9]), "20/01/2006   0: 0: 0.000000");
  EXPECT_EQ(when(lines[10]), "21/01/2006   0: 0: 0.000000");
  EXPECT_EQ(out, " # Element set at line 4 passed over: its epoch is not later than the set before it\n");
}

TEST(TleDriver, ASingleSetWithCommentsIsPropagatedOverOneDay) {
  const std::string l1 = "1 06251U 62025E   06100.50000000" + line1_tail;
  TleRun run("# first comment\n#\n" + l1 + "\n# between the two lines\n" + line2 + "\n# end\n\n");
  const auto lines = run.go(0, 0.0, 0.0, 3600.0);
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(when(lines[0]), "10/04/2006  13: 0: 0.000000");
  EXPECT_EQ(when(lines[23]), "11/04/2006  12: 0: 0.000000");
}

TEST(TleDriver, ModeOneWindows) {
  TleRun run(set_at("06100.50000000") + set_at("06101.00000000"));
  // A zero start: the first line one step after the epoch; stop on the grid.
  auto lines = run.go(1, 0.0, 180.0, 60.0);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(when(lines[0]), "10/04/2006  12: 1: 0.000000");
  EXPECT_EQ(when(lines[2]), "10/04/2006  12: 3: 0.000000");
  // A start of 30 s is itself the first time; the stop 180 s is off the grid.
  lines = run.go(1, 30.0, 180.0, 60.0);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(when(lines[0]), "10/04/2006  12: 0:30.000000");
  EXPECT_EQ(when(lines[1]), "10/04/2006  12: 1:30.000000");
  EXPECT_EQ(when(lines[2]), "10/04/2006  12: 2:30.000000");
  // stop <= start: one day from the start; only the first set is used.
  lines = run.go(1, 0.0, 0.0, 7200.0);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(when(lines[11]), "11/04/2006  12: 0: 0.000000");
  // A step of 0 or below is 60 s.
  EXPECT_EQ(run.go(1, 0.0, 180.0, 0.0).size(), 3u);
  EXPECT_EQ(run.go(1, 0.0, 180.0, -5.0).size(), 3u);
}

TEST(TleDriver, SecondsCarryIntoMinuteHourDayAndYear) {
  // Epoch 2006 day 365.99999999 = 31 Dec 23:59:59.999136; a start 0.3
  // microseconds short of the new year prints as the new year itself.
  TleRun run(set_at("06365.99999999"));
  const double start = 86400.0 * (1.0 - 0.99999999) - 3.0e-7;
  const auto lines = run.go(1, start, start + 86400.0, 86400.0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(when(lines[0]), "01/01/2007   0: 0: 0.000000");
  EXPECT_EQ(lines[0].substr(28, 13), "2007.00000000");
  EXPECT_EQ(when(lines[1]), "02/01/2007   0: 0: 0.000000");
}

// A window reaching back from an epoch at midnight: 20 s is no whole number
// of minutes, so the backward grid start - step + k*step lands a rounding
// error (2e-15 minutes) before the epoch. That instant is the new year's
// midnight, not hour 24 of 31 December. Every line of the window is the
// epoch (2023-01-01 00:00) plus -600 + 20 k seconds, written out by hand.
TEST(TleDriver, BackwardGridThroughMidnightDatesEachLineInItsDay) {
  TleRun run(set_at("23001.00000000"));
  const auto lines = run.go(1, -600.0, 600.0, 20.0);
  ASSERT_EQ(lines.size(), 61u);
  for (int k = 0; k <= 60; ++k) {
    const int s = -600 + 20 * k;
    const int sod = s < 0 ? 86400 + s : s;  // seconds of the day
    char expected[40];
    std::snprintf(expected, sizeof expected, "%s %3d:%2d:%9.6f",
                  s < 0 ? "31/12/2022" : "01/01/2023", sod / 3600, sod % 3600 / 60,
                  static_cast<double>(sod % 60));
    EXPECT_EQ(when(lines[k]), expected) << k;
  }
}

// Windows some 255 years after the epoch (2006-04-10 00:00), two steps long,
// of a drag-free set: start + 2 step rounds to a few microseconds past the
// end, further than the fixed margin of 1e-8 minutes. The end is a time of
// the grid and has its line: three lines. The dates are the epoch plus the
// window's seconds, counted by hand on the Gregorian calendar.
TEST(TleDriver, FarWindowKeepsTheLineOnItsEnd) {
  // Line 1 without drag terms; its checksum (column 69) made good by hand.
  TleRun run("1 06251U 62025E   06100.00000000  .00000000  00000-0  00000-0 0  3989\n" + line2 + "\n");
  struct Case {
    double start, step;
    const char* first;
    const char* last;
  };
  const Case cases[] = {
      {8053048315.0, 21600.0, "18/06/2261  13:51:55", "19/06/2261   1:51:55"},
      {8098058075.0, 10.0, "21/11/2262  12:34:35", "21/11/2262  12:34:55"},
  };
  for (const Case& w : cases) {
    testing::internal::CaptureStdout();  // the field model's warnings on years past 2015
    const auto lines = run.go(1, w.start, w.start + 2.0 * w.step, w.step);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(lines.size(), 3u) << w.start;
    // Columns 1-20: date, hour, minute and whole seconds (the times hold
    // some 2e-6 s here, so the decimals are not compared).
    EXPECT_EQ(lines[0].substr(0, 20), w.first);
    EXPECT_EQ(lines[2].substr(0, 20), w.last);
  }
}

TEST(TleDriver, TwoCallsWriteTheSameFile) {
  TleRun run(set_at("06100.00000000") + set_at("06100.50000000"));
  const auto first = run.go(0, 0.0, 0.0, 600.0);
  const auto second = run.go(0, 0.0, 0.0, 600.0);
  EXPECT_EQ(first.size(), 72u + 144u);
  EXPECT_EQ(first, second);
}

TEST(TleDriver, ASetFailingAtItsEpochGivesNoLines) {
  // 18 revolutions per day: a = (xke/n)^(2/3) = (0.07437/0.07854)^(2/3),
  // about 0.964 Earth radii: radius below the surface at the epoch (code 6).
  std::string l2 = line2;
  l2.replace(52, 11, "18.00000000");
  TleRun run("1 06251U 62025E   06100.00000000" + line1_tail + "\n" + l2 + "\n");
  testing::internal::CaptureStdout();
  const auto lines = run.go(1, 0.0, 600.0, 60.0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), " # *** SGP4 Model Error ***           6\n");
  EXPECT_TRUE(lines.empty());
}

TEST(TleDriver, AnotherRunTypeIsRefusedWithoutOutput) {
  TleRun run(set_at("06100.00000000"));
  testing::internal::CaptureStdout();
  run.go(2, 0.0, 600.0, 60.0);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("runtype must be 0"), std::string::npos);
  EXPECT_FALSE(orbit_test::exists(run.out));
}

// Fields of the reader in the element record, after a run of type 1 (which
// reads the first set only).
TEST(TleReader, FieldsYearsAndImpliedDecimals) {
  const double xpdotp = 1440.0 / 6.28318530717959;
  struct Case {
    std::string epoch;
    double jd;  // Julian date of the epoch, from 2000-01-01 0h = 2451544.5
  };
  // 2049-01-01: 49 years with 13 leap days after 2000-01-01; 1950-01-01:
  // 50 years with 12 leap days before it; 2008 day 264.51782528.
  const std::vector<Case> cases = {
      {"49001.00000000", 2451544.5 + 49 * 365 + 13},
      {"50001.00000000", 2451544.5 - 50 * 365 - 12},
      {"08264.51782528", 2451544.5 + 8 * 365 + 2 + 263.51782528},
  };
  for (const auto& c : cases) {
    // Line 1 with a second mean-motion term " 00000-0" written as
    // " 12345-5" and B* " 28098-4"; a checksum that is
    // no digit (a warning only).
    const std::string l1 = "1 06251U 62025E   " + c.epoch + " -.00008885  12345-5  28098-4 0  398x";
    TleRun good(l1 + "\n" + line2 + "\n");
    good.go(1, 0.0, 60.0, 60.0);
    const kest::Elsetrec& s = kest::elsetrec;
    EXPECT_NEAR(s.epoch_jd, c.jd, 1e-8) << c.epoch;
    EXPECT_DOUBLE_EQ(s.bstar, 0.28098e-4);
    EXPECT_DOUBLE_EQ(s.mean_motion_dot, -0.00008885 / (xpdotp * 1440.0));
    EXPECT_DOUBLE_EQ(s.mean_motion_ddot, 0.12345e-5 / (xpdotp * 1440.0 * 1440.0));
    EXPECT_DOUBLE_EQ(s.eccentricity, 0.0030035);
    EXPECT_EQ(s.satellite_number, 6251);
    EXPECT_EQ(s.revolution_number, 677);  // columns 64-68; 69 is the checksum
    EXPECT_EQ(std::string(s.designator, 12), " 62025E     ");  // columns 9-18 and two blanks
  }
}

// File faults stop the process: message on standard error naming the file
// (and line), exit status 1, no output file left behind.
TEST(TleDriverDeathTest, FileFaults) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  struct Case {
    std::string elements;  // empty: no element file at all
    std::string message;   // regular expression
  };
  std::string bad2 = line2;
  bad2.replace(52, 11, "15.5638x291");
  const std::vector<Case> cases = {
      {"", "cannot open the element file \".*/sets.tle\""},
      {"<directory>", "cannot read the element file \".*/sets.tle\": Is a directory"},
      {"# c\n1 06251U 62025E   06100.00000000" + line1_tail + "\n" + bad2 + "\n",
       "sets.tle\", line 3: columns 53-63 \\(mean motion\\) are not a number: \"15.5638x291\""},
      {set_at("06100.00000000") + "1 06251U 62025E   06101.00000000" + line1_tail + "\n",
       "sets.tle\", line 3: element set without its second line"},
      {set_at("06100.00000000") + "1 06251U 62025E   06099.00000000" + line1_tail + "\n",
       "sets.tle\", line 3: element set without its second line"},
      {set_at("06100.00000000") + "1 06251U 62025E   06x01.00000000" + line1_tail + "\n" + line2,
       "line 3: columns 21-32 \\(epoch day\\) are not a number"},
  };
  for (const auto& c : cases) {
    TleRun run(c.elements);
    if (c.elements.empty() || c.elements == "<directory>") std::remove(run.in.c_str());
    if (c.elements == "<directory>") mkdir(run.in.c_str(), 0700);
    EXPECT_EXIT({ run.go(0, 0.0, 0.0, 60.0); }, testing::ExitedWithCode(1), c.message);
    EXPECT_FALSE(orbit_test::exists(run.out)) << c.message;
  }
}

TEST(TleDriverDeathTest, FileNamesLongerThan500BytesAreRefused) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  TleRun run(set_at("06100.00000000"));
  // 500 bytes and trailing blanks are accepted: the name is the run's file
  // padded; 501 bytes of name are refused, not cut.
  std::string padded = run.in + std::string(600, ' ');
  std::string o = run.out;
  int runtype = 1, lp = static_cast<int>(padded.size()), lo = static_cast<int>(o.size());
  double start = 0.0, stop = 120.0, step = 60.0;
  sgp4_tle1_(&runtype, &start, &stop, &step, padded.data(), &lp, o.data(), &lo);
  EXPECT_EQ(read_lines(run.out).size(), 2u);
  std::string longname = run.dir + "/" + std::string(501 - run.dir.size() - 1, 'x');
  ASSERT_EQ(longname.size(), 501u);
  int ll = 501;
  EXPECT_EXIT(sgp4_tle1_(&runtype, &start, &stop, &step, longname.data(), &ll, o.data(), &lo),
              testing::ExitedWithCode(1), "element file name longer than 500 bytes");
}

// Names in zero-padded buffers (a C caller's char name[600] = {0}) end at
// their first NUL: the padding does not count towards the 500 bytes, and a
// message names the file in full, with the reason after it.
TEST(TleDriverDeathTest, ZeroPaddedNamesEndAtTheirFirstNul) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  TleRun run(set_at("06100.00000000"));
  std::vector<char> in(600, '\0'), out(600, '\0');
  run.in.copy(in.data(), run.in.size());
  run.out.copy(out.data(), run.out.size());
  int runtype = 1, li = 600, lo = 600;
  double start = 0.0, stop = 120.0, step = 60.0;
  sgp4_tle1_(&runtype, &start, &stop, &step, in.data(), &li, out.data(), &lo);
  EXPECT_EQ(read_lines(run.out).size(), 2u);
  std::remove(run.in.c_str());
  li = static_cast<int>(run.in.size()) + 8;
  EXPECT_EXIT(sgp4_tle1_(&runtype, &start, &stop, &step, in.data(), &li, out.data(), &lo),
              testing::ExitedWithCode(1), "sets.tle\": No such file or directory");
}

// The chain of the driver rebuilt here: elements read by hand, sgp4init_ and
// sgp4_ of the core with WGS-84, GEI to GEO (gei2geo1_) and to geodetic
// coordinates (geo_gdz_) with the time of each line.
TEST(TleDriver, PositionsAgreeWithTheCoreAndFrameChain) {
  TleRun run(set_at("06176.82412014"));
  const auto lines = run.go(1, 0.0, 360.0 * 60.0, 1200.0);
  ASSERT_EQ(lines.size(), 18u);

  const double deg = 3.14159265358979323846 / 180.0;
  const double xpdotp = 1440.0 / (2.0 * 3.14159265358979323846);
  int grav = 84, satn = 6251, error = 0;
  double bstar = 0.12808e-3, ecc = 0.0030035, incl = 58.0579 * deg, node = 54.0425 * deg;
  double argp = 139.1568 * deg, mo = 221.1854 * deg, no = 15.56387291 / xpdotp;
  // Epoch: 2006 day 176.82412014; days from 1949-12-31 00:00: 2006-01-01 is
  // day 20454 (56 years of which 14 leap: 56*365 + 14 = 20454, plus 1).
  double epoch = 20455.0 + 175.82412014;
  sgp4init_(&grav, &satn, &bstar, &ecc, &epoch, &argp, &incl, &mo, &no, &node, &error);
  ASSERT_EQ(error, 0);
  for (size_t k = 0; k < lines.size(); ++k) {
    double t = 20.0 * static_cast<double>(k + 1), r[3], v[3];
    sgp4_(&grav, &t, r, v, &error);
    ASSERT_EQ(error, 0);
    // Time of the line: epoch 19:46:43.980096 on 25 June (day 176) + t.
    const double sod = 0.82412014 * 86400.0 + t * 60.0;
    int year = 2006, doy = 176 + static_cast<int>(sod / 86400.0);
    double ut = std::fmod(sod, 86400.0);
    double gei[3] = {r[0] / 6371.2, r[1] / 6371.2, r[2] / 6371.2}, geo[3], lat, lon, alt;
    gei2geo1_(&year, &doy, &ut, gei, geo);
    geo_gdz_(&geo[0], &geo[1], &geo[2], &lat, &lon, &alt);
    const std::string& l = lines[k];
    EXPECT_NEAR(std::stod(l.substr(42, 17)), alt, 2e-6) << k;
    EXPECT_NEAR(std::stod(l.substr(59, 17)), lat, 2e-6) << k;
    EXPECT_NEAR(std::stod(l.substr(76, 17)), lon, 2e-6) << k;
    char hms[32];
    const int h = static_cast<int>(ut / 3600.0), m = static_cast<int>((ut - h * 3600.0) / 60.0);
    std::snprintf(hms, sizeof hms, "%3d:%2d:%9.6f", h, m, ut - h * 3600.0 - m * 60.0);
    EXPECT_EQ(l.substr(10, 17), std::string(" ") + hms) << k;
  }
}

// The shipped example: one set, propagated over the day after its epoch.
TEST(TleDriver, ExampleElementFile) {
  std::ifstream in(std::string(KEST_SOURCE_DIR) + "/examples/delta1deb.tle");
  std::stringstream text;
  text << in.rdbuf();
  TleRun run(text.str());
  const auto lines = run.go(0, 0.0, 0.0, 600.0);
  ASSERT_EQ(lines.size(), 144u);
  EXPECT_EQ(when(lines[0]), "25/06/2006  19:56:43.980096");   // epoch 19:46:43.980096
  EXPECT_EQ(when(lines[143]), "26/06/2006  19:46:43.980096");
}

}  // namespace
