// Element files from the wild: slightly wrong files run through the
// two-line element driver in a child process under a time and file-size
// limit, so that a hang or runaway output fails the test instead of stalling
// it. Each row gives the exit status, a fragment of the messages and the
// output expected: no file, a line count with the first and last times, or
// the output of the same sets written cleanly.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "kest/orbit.h"
#include "orbit/orbit_time.hpp"
#include "orbit_test_util.hpp"

namespace {

using orbit_test::read_lines;
using orbit_test::ScratchDir;
using orbit_test::write_file;

// Checksum of an element line: the digits of columns 1-68, each minus sign
// counting 1, modulo 10 (the published lines below carry it: 5 and 4).
char checksum(const std::string& line) {
  int sum = 0;
  for (size_t i = 0; i < 68 && i < line.size(); ++i) {
    if (line[i] >= '0' && line[i] <= '9') sum += line[i] - '0';
    if (line[i] == '-') ++sum;
  }
  return static_cast<char>('0' + sum % 10);
}

// DELTA 1 DEB (06251) as published in the SGP4 verification suite.
const std::string pub1 = "1 06251U 62025E   06176.82412014  .00008885  00000-0  12808-3 0  3985";
const std::string pub2 = "2 06251  58.0579  54.0425 0030035 139.1568 221.1854 15.56387291  6774";

// Line 1 with columns 19-32 (epoch) replaced, and its checksum made good.
std::string line1_at(const std::string& epoch14) {
  std::string l = pub1;
  l.replace(18, 14, epoch14);
  l[68] = checksum(l);
  return l;
}
// Line 2 with columns first..first+text-1 replaced, checksum made good.
std::string line2_with(int first, const std::string& text) {
  std::string l = pub2;
  l.replace(first - 1, text.size(), text);
  l[68] = checksum(l);
  return l;
}
std::string set_at(const std::string& epoch14, const std::string& eol = "\n") {
  return line1_at(epoch14) + eol + pub2 + eol;
}
// Three sets at days 100, 101 and 102 of 2006 (10, 11 and 12 April),
// with `gap` between them.
std::string three(const std::string& gap, const std::string& eol = "\n") {
  return set_at("06100.00000000", eol) + gap + set_at("06101.00000000", eol) + gap +
         set_at("06102.00000000", eol);
}

struct Outcome {
  int status = -1;  // exit status, or 128 + signal
  std::string out, err;
  bool file = false;
  std::vector<std::string> lines;
  bool temp_left = false;  // a temporary output file left in the folder
};

// Runs sgp4_tle1_ in a child process: 10 s of time, 64 MB of file. A
// stdin_fd of 0 or more becomes the child's standard input.
Outcome run_tle(const std::string& dir, const std::string& in, const std::string& out,
                int runtype, double start, double stop, double step, int stdin_fd = -1) {
  const std::string so = dir + "/stdout.txt", se = dir + "/stderr.txt";
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(so.c_str(), "w", stdout) || !std::freopen(se.c_str(), "w", stderr)) _exit(99);
    if (stdin_fd >= 0 && dup2(stdin_fd, 0) < 0) _exit(99);
    const rlimit fsize{64u << 20, 64u << 20};
    setrlimit(RLIMIT_FSIZE, &fsize);
    alarm(10);
    std::string i = in, o = out;
    int li = static_cast<int>(i.size()), lo = static_cast<int>(o.size());
    sgp4_tle1_(&runtype, &start, &stop, &step, i.data(), &li, o.data(), &lo);
    std::exit(0);
  }
  Outcome r;
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  std::stringstream a, b;
  a << std::ifstream(so).rdbuf();
  b << std::ifstream(se).rdbuf();
  r.out = a.str();
  r.err = b.str();
  r.file = orbit_test::exists(out);
  if (r.file) r.lines = read_lines(out);
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name).find(".tmp") != std::string::npos) r.temp_left = true;
    closedir(d);
  }
  return r;
}

std::string when(const std::string& line) { return line.substr(0, 27); }

struct Case {
  const char* name;
  std::string elements;
  int runtype;
  double start, stop, step;
  int status;
  std::string err;    // fragment of standard error; empty: nothing there
  std::string out;    // fragment of standard output; empty: not checked
  int lines;          // no_file, any_lines, or the count of lines
  std::string first, last;  // times of the first and last lines ("" unchecked)
  std::string clean;  // non-empty: the output must equal that of this file
};

constexpr int no_file = -1;
constexpr int any_lines = -2;
const char* const not_day = "columns 21-32 (epoch day) are not a day of year from 1.0 to below 367.0";

// Runs one row and checks its outcome (a failed assertion ends the row
// only, not the table).
void check_case_in(const Case& c, const std::string& dir) {
  SCOPED_TRACE(c.name);
  write_file(dir + "/sets.tle", c.elements);
  const Outcome r = run_tle(dir, dir + "/sets.tle", dir + "/orbit.txt", c.runtype, c.start,
                            c.stop, c.step);
  EXPECT_EQ(r.status, c.status) << r.err;
  if (c.err.empty()) {
    EXPECT_EQ(r.err, "");
  } else {
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  if (!c.out.empty()) {
    EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
  }
  EXPECT_FALSE(r.temp_left);
  if (c.lines == no_file) {
    EXPECT_FALSE(r.file);
    return;
  }
  ASSERT_TRUE(r.file);
  if (c.lines != any_lines) {
    ASSERT_EQ(static_cast<int>(r.lines.size()), c.lines);
  }
  if (!c.first.empty() || !c.last.empty()) {
    ASSERT_FALSE(r.lines.empty());
    if (!c.first.empty()) {
      EXPECT_EQ(when(r.lines.front()), c.first);
    }
    if (!c.last.empty()) {
      EXPECT_EQ(when(r.lines.back()), c.last);
    }
  }
  if (!c.clean.empty()) {
    const std::string cdir = dir + "/clean";
    mkdir(cdir.c_str(), 0700);
    write_file(cdir + "/sets.tle", c.clean);
    const Outcome ref = run_tle(cdir, cdir + "/sets.tle", cdir + "/orbit.txt", c.runtype,
                                c.start, c.stop, c.step);
    ASSERT_EQ(ref.status, 0);
    EXPECT_EQ(r.lines, ref.lines);
  }
}

void check_case(const Case& c) {
  const ScratchDir scratch;
  check_case_in(c, scratch.path);
}

TEST(TleWild, HostileAndCleanElementFiles) {
  const std::string day100 = "10/04/2006   1: 0: 0.000000";
  const std::string day103 = "13/04/2006   0: 0: 0.000000";
  const std::string clean3 = three("");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::string drag_free = line1_at("06176.50000040");
  drag_free.replace(33, 28, " .00000000  00000-0  00000-0");  // columns 34-61
  drag_free[68] = checksum(drag_free);
  drag_free += "\n" + pub2 + "\n";
  const double beyond_9999 = 252251063999.96545;
  std::string shipped;
  {
    std::stringstream t;
    t << std::ifstream(std::string(KEST_SOURCE_DIR) + "/examples/delta1deb.tle").rdbuf();
    shipped = t.str();
  }
  std::string verification;
  {
    std::stringstream t;
    t << std::ifstream(std::string(KEST_TEST_DATA) + "/orbit/SGP4-VER.TLE").rdbuf();
    verification = t.str();
  }
  const std::vector<Case> cases = {
      // Files that keep working as they always did.
      {"shipped example", shipped, 0, 0, 0, 600, 0, "", "", 144,
       "25/06/2006  19:56:43.980096", "26/06/2006  19:46:43.980096", ""},
      {"three clean sets", clean3, 0, 0, 0, 3600, 0, "", "", 72, day100, day103, ""},
      // The verification file (CR LF ends, extra columns after 69): its first
      // set, epoch 2000 day 179.78495062 = 27 June 18:50:19.733568.
      {"verification file, first set", verification, 1, 0, 21600, 3600, 0, "", "", 6,
       "27/06/2000  19:50:19.733568", "28/06/2000   0:50:19.733568", ""},
      // Its hand-edited sets carry stale checksums (line 100: the digits of
      // columns 1-68 sum to 142): warnings, and the file runs to its end.
      {"verification file, all sets", verification, 0, 0, 0, 86400, 0,
       "line 100: checksum in column 69 is \"4\", the columns 1-68 give 2", "passed over", any_lines,
       "", "", ""},

      // An absurd epoch: refused before any date is formed from it.
      {"epoch day 1.0E+20", set_at("061.0E+20     "), 0, 0, 0, 600, 1,
       std::string("line 1: ") + not_day + ": \"1.0E+20     \"", "", no_file, "", "", ""},
      {"epoch day 999999999999", set_at("06999999999999"), 0, 0, 0, 600, 1,
       std::string("line 1: ") + not_day, "", no_file, "", "", ""},
      {"epoch day below 1", set_at("06000.50000000"), 0, 0, 0, 600, 1,
       std::string("line 1: ") + not_day, "", no_file, "", "", ""},
      {"epoch day 367", set_at("06367.00000000"), 0, 0, 0, 600, 1,
       std::string("line 1: ") + not_day, "", no_file, "", "", ""},
      {"epoch day not a number", set_at("06NaN         "), 0, 0, 0, 600, 1,
       "line 1: columns 21-32 (epoch day) are not a number", "", no_file, "", "", ""},
      // Control bytes in a field are shown as \xNN: a NUL does not cut the
      // message short, an escape sequence does not reach the terminal.
      {"NUL in a field", line1_at("06100.00000000") + "\n" + line2_with(9, std::string("12\0" "4.567", 8)) + "\n", 0, 0, 0,
       600, 1, "line 2: columns 9-16 (inclination) are not a number: \"12\\x004.567\"", "", no_file, "", "", ""},
      {"escape sequence in a field", line1_at("06100.00000000") + "\n" + line2_with(9, "\x1b[31m1.0") + "\n", 0, 0,
       0, 600, 1, "line 2: columns 9-16 (inclination) are not a number: \"\\x1b[31m1.0\"", "", no_file, "", "", ""},
      {"epoch year negative", set_at("-1100.00000000"), 0, 0, 0, 600, 1,
       "line 1: columns 19-20 (epoch year) are not a two-digit year", "", no_file, "", "", ""},
      // An exponent that keeps the day in range reads as its value.
      {"epoch day 1.0E+2", set_at("061.0E+2      "), 1, 0, 7200, 3600, 0, "", "", 2,
       day100, "10/04/2006   2: 0: 0.000000", ""},
      // A lost decimal point in a later epoch (the next set's epoch bounds
      // the window of the first): refused, not 7.6e10 days of output.
      {"lost decimal point in a later epoch", set_at("06176.82412014") + set_at("04076000000000"),
       0, 0, 0, 600, 1, std::string("line 3: ") + not_day, "", no_file, "", "", ""},
      {"later epoch day 1825480189.5", set_at("06176.82412014") + set_at("061825480189.5"), 0, 0,
       0, 600, 1, std::string("line 3: ") + not_day, "", no_file, "", "", ""},
      // Exponents in other fields.
      {"inclination 1.0E+20", line1_at("06100.00000000") + "\n" + line2_with(9, "1.0E+20 ") + "\n",
       0, 0, 0, 600, 1, "line 2: columns 9-16 (inclination) are not an angle from 0 to 180 degrees",
       "", no_file, "", "", ""},
      {"mean anomaly negative", line1_at("06100.00000000") + "\n" + line2_with(44, "-10.0000") + "\n",
       0, 0, 0, 600, 1, "line 2: columns 44-51 (mean anomaly) are not an angle from 0 to 360",
       "", no_file, "", "", ""},
      // 1.5e20 rev/day: a semi-major axis of about 1e-13 Earth radii, which
      // the model refuses with an error code; the set gives no lines and
      // says why.
      {"mean motion 1.5E+20", line1_at("06100.00000000") + "\n" + line2_with(53, "   1.5E+20 ") + "\n",
       0, 0, 0, 600, 0, "", "# *** SGP4 Model Error ***", 0, "", "", ""},

      // Blank lines are skipped like comments, wherever they stand.
      {"blank lines between sets", three("\n"), 0, 0, 0, 3600, 0, "", "", 72, day100, day103,
       clean3},
      {"blank lines at start, between and at end", "\n\n" + three("\n\n") + "\n\n", 0, 0, 0, 3600,
       0, "", "", 72, day100, day103, clean3},
      {"lines of blanks and tabs", " \t \n" + three("    \n\t\n"), 0, 0, 0, 3600, 0, "", "", 72,
       day100, day103, clean3},
      {"blank line inside a set", line1_at("06100.00000000") + "\n\n" + pub2 + "\n", 1, 0, 7200,
       3600, 0, "", "", 2, day100, "10/04/2006   2: 0: 0.000000", ""},
      {"50000 blank lines before a set", std::string(50000, '\n') + clean3, 0, 0, 0, 3600, 0, "",
       "", 72, day100, day103, clean3},
      {"CR line ends", three("", "\r"), 0, 0, 0, 3600, 0, "", "", 72, day100, day103, clean3},
      {"CR LF line ends", three("\r\n", "\r\n"), 0, 0, 0, 3600, 0, "", "", 72, day100, day103,
       clean3},

      // What the format fixes about the two lines.
      {"line 2 before its line 1", pub2 + "\n" + pub1 + "\n", 0, 0, 0, 600, 1,
       "line 1: column 1 holds \"2\"; line 1 of an element set holds 1", "", no_file, "", "", ""},
      {"second line numbered 3", line1_at("06100.00000000") + "\n3" + pub2.substr(1) + "\n", 0, 0,
       0, 600, 1, "line 2: column 1 holds \"3\"; line 2 of an element set holds 2", "", no_file,
       "", "", ""},
      {"stray line between sets", set_at("06100.00000000") + "DELTA 1 DEB\n" +
       set_at("06101.00000000"), 0, 0, 0, 600, 1, "line 3: column 1 holds \"D\"", "", no_file, "",
       "", ""},
      {"satellite numbers differ", line1_at("06100.00000000") + "\n" + line2_with(3, "06252") + "\n",
       0, 0, 0, 600, 1, "line 2: satellite number 6252 in columns 3-7, line 1 before it has 6251",
       "", no_file, "", "", ""},
      {"line 2 cut short", line1_at("06100.00000000") + "\n" + pub2.substr(0, 40) + "\n", 0, 0, 0,
       600, 1, "line 2: line 2 of an element set ends at column 40; its fields need columns 1-68",
       "", no_file, "", "", ""},
      {"line 1 cut short", pub1.substr(0, 52) + "\n" + pub2 + "\n", 0, 0, 0, 600, 1,
       "line 1: line 1 of an element set ends at column 52", "", no_file, "", "", ""},
      {"set without its second line", set_at("06100.00000000") + line1_at("06101.00000000") + "\n",
       0, 0, 0, 600, 1, "line 3: element set without its second line", "", no_file, "", "", ""},
      // A stale checksum warns and the line is used as read.
      {"stale checksum", pub1.substr(0, 68) + "0\n" + pub2 + "\n", 1, 0, 1200, 600, 0,
       "line 1: checksum in column 69 is \"0\", the columns 1-68 give 5; the line is used as read",
       "", 2, "25/06/2006  19:56:43.980096", "25/06/2006  20: 6:43.980096",
       pub1 + "\n" + pub2 + "\n"},
      {"no checksum", pub1.substr(0, 68) + "\n" + pub2.substr(0, 68) + "\n", 1, 0, 1200, 600, 0,
       "", "", 2, "", "", pub1 + "\n" + pub2 + "\n"},
      // A control byte in the checksum column is shown escaped: a NUL would
      // cut the warning short, an escape would drive the terminal.
      {"NUL as checksum", pub1.substr(0, 68) + std::string(1, '\0') + "\n" + pub2 + "\n", 1, 0, 1200,
       600, 0,
       "line 1: checksum in column 69 is \"\\x00\", the columns 1-68 give 5; the line is used as read",
       "", 2, "", "", pub1 + "\n" + pub2 + "\n"},
      {"escape as checksum", pub1.substr(0, 68) + "\x1b\n" + pub2 + "\n", 1, 0, 1200, 600, 0,
       "line 1: checksum in column 69 is \"\\x1b\", the columns 1-68 give 5", "", 2, "", "",
       pub1 + "\n" + pub2 + "\n"},

      // A fault in a later set after lines were written: no partial file.
      {"bad third set after two sets of lines",
       three("").substr(0, 2 * (pub1.size() + pub2.size() + 2)) + line1_at("06102.00000000") +
           "\n" + line2_with(53, "15.5638x291") + "\n",
       0, 0, 0, 3600, 1, "line 6: columns 53-63 (mean motion) are not a number", "", no_file, "",
       "", ""},

      // Windows and steps that would never end.
      {"step of a microsecond", clean3, 0, 0, 0, 1.0e-6, 1,
       "line 1 would be propagated over", "", no_file, "", "", ""},
      {"window of 1e20 seconds", clean3, 1, 0, 1.0e20, 1.0e18, 1,
       "reaches outside the years 1 to 9999", "", no_file, "", "", ""},
      {"step of 1e300 seconds", clean3, 1, 0, 1.0e300, 1.0e300, 1,
       "reaches outside the years 1 to 9999", "", no_file, "", "", ""},
      // So far from the epoch that the one-day window start + 1440 minutes
      // rounds back to its start: no grid time lies in it, yet it is no date.
      {"start of 1e300 seconds", clean3, 1, 1.0e300, 0, 600, 1,
       "reaches outside the years 1 to 9999", "", no_file, "", "", ""},
      {"start and stop of -1e300 seconds", clean3, 1, -1.0e300, -1.0e300, 600, 1,
       "reaches outside the years 1 to 9999", "", no_file, "", "", ""},
      // The four-digit year column ends with 9999. A set without drag at
      // 2006 day 176.50000040 reaches 10000-01-01 00:00 some 2.5225106e11 s
      // after its epoch, where its calendar date resolves about 40 microseconds:
      // this stop falls in the last half microsecond of 9999 and prints as
      // 10000-01-01 00:00:00.000000, so the window is refused like any other
      // beyond 9999; one second earlier it runs.
      {"window ending as the year 10000 prints", drag_free, 1, beyond_9999 - 1.0, beyond_9999,
       1.0, 1, "reaches outside the years 1 to 9999", "", no_file, "", "", ""},
      {"window ending a second before the year 10000", drag_free, 1, beyond_9999 - 2.0,
       beyond_9999 - 1.0, 1.0, 0, "", "", 2, "", "", ""},
      // A start, stop or step that is not a finite number is refused before
      // any file is touched; a NaN takes no default (one day, 60 s).
      {"step not a number", clean3, 1, 0, 3600, nan, 0, "", "must be finite", no_file, "", "",
       ""},
      {"stop not a number", clean3, 1, 0, nan, 600, 0, "", "must be finite", no_file, "", "", ""},
      {"start not a number", clean3, 1, nan, 3600, 600, 0, "", "must be finite", no_file, "", "",
       ""},
      {"step not a number, each set to the next", clean3, 0, 0, 0, nan, 0, "", "must be finite",
       no_file, "", "", ""},
      {"infinite step", clean3, 1, 0, 3600, inf, 0, "", "must be finite", no_file, "", "", ""},
  };
  for (const Case& c : cases) check_case(c);
}

// The element file named as the output file, directly or through a hard
// link: refused before anything is created, the elements untouched.
TEST(TleWild, OutputNamedLikeTheElementFileIsRefused) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path;
  const std::string in = dir + "/sets.tle", link = dir + "/same.tle";
  const std::string elements = set_at("06100.00000000");
  write_file(in, elements);
  ASSERT_EQ(::link(in.c_str(), link.c_str()), 0);
  for (const std::string& out : {in, link}) {
    SCOPED_TRACE(out);
    const Outcome r = run_tle(dir, in, out, 0, 0, 0, 600);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is the element file"), std::string::npos) << r.err;
    std::stringstream t;
    t << std::ifstream(in).rdbuf();
    EXPECT_EQ(t.str(), elements);
    EXPECT_FALSE(r.temp_left);
  }
}

// A run that fails leaves the output name as it was: an earlier complete
// output stays whole, never replaced by a part of the new one.
TEST(TleWild, AFailedRunLeavesThePreviousOutput) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path;
  const std::string out = dir + "/orbit.txt";
  write_file(out, "earlier output\n");
  write_file(dir + "/sets.tle", set_at("06100.00000000") + set_at("06101.00000000") +
                                    line1_at("06102.00000000") + "\n");
  const Outcome r = run_tle(dir, dir + "/sets.tle", out, 0, 0, 0, 600);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("line 5: element set without its second line"), std::string::npos) << r.err;
  EXPECT_EQ(read_lines(out), std::vector<std::string>{"earlier output"});
  EXPECT_FALSE(r.temp_left);
}

// The date arithmetic of the drivers on times far from the epoch: exact
// over centuries (day counts of the proleptic Gregorian calendar: 365242
// days from 2006-04-10 to 3006-04-10, 547864 from 0506-04-10), and at once
// for times beyond any calendar, whose year the calendar routines refuse.
TEST(TleWild, DatesFarFromTheEpoch) {
  struct Case {
    double days;
    int year, mon, day;
  };
  const Case cases[] = {{365242.0, 3006, 4, 10}, {-547864.0, 506, 4, 10}, {0.0, 2006, 4, 10}};
  for (const Case& c : cases) {
    int y, mon, day, hr, minute;
    double sec;
    kest::date_after(2006, 100.25, c.days * 1440.0, y, mon, day, hr, minute, sec);
    EXPECT_EQ(y, c.year) << c.days;
    EXPECT_EQ(mon, c.mon) << c.days;
    EXPECT_EQ(day, c.day) << c.days;
    EXPECT_EQ(hr, 6) << c.days;
  }
  for (double t : {1.0e300, -1.0e300, 1.0e20, std::nan("")}) {
    int y, mon, day, hr, minute;
    double sec;
    kest::date_after(2006, 100.0, t, y, mon, day, hr, minute, sec);
    EXPECT_TRUE(y > 5000000 || y < -4716) << t << " " << y;
  }
  // The day-of-year routine refuses a day no integer holds with the fill
  // value, instead of converting it.
  int year = 2006, mon, day, hr, minute;
  double days = 1.0e20, sec;
  days2mdhms_(&year, &days, &mon, &day, &hr, &minute, &sec);
  EXPECT_EQ(sec, -1.0e31);
  double jd = std::nan("");
  invjday_(&jd, &year, &mon, &day, &hr, &minute, &sec);
  EXPECT_EQ(sec, -1.0e31);
}

// Where the element file comes from: a regular file, a FIFO, or a pipe read
// as /dev/stdin. The two last cannot be positioned, so the look-ahead for
// the next epoch must work on what it has read.
enum class Source { file, fifo, standard_input };

// Starts a child that writes text to fd, or to the FIFO at fifo when fd is
// negative (opening it waits for the reader), then closes it. It has 10 s;
// other_fd (if not negative) is closed in it first.
pid_t start_writer(const std::string& text, const std::string& fifo, int fd, int other_fd) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(10);
    if (other_fd >= 0) close(other_fd);
    if (fd < 0) fd = open(fifo.c_str(), O_WRONLY);
    if (fd < 0) _exit(2);
    size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = write(fd, text.data() + done, text.size() - done);
      if (n <= 0) _exit(3);
      done += static_cast<size_t>(n);
    }
    close(fd);
    _exit(0);
  }
  return pid;
}

// Runs the driver on `elements` taken from `src` in the folder dir; `name`
// receives the element file name the driver was given.
Outcome run_source(Source src, const std::string& dir, const std::string& elements, int runtype,
                   double start, double stop, double step, std::string& name) {
  const std::string out = dir + "/orbit.txt";
  if (src == Source::file) {
    name = dir + "/sets.tle";
    write_file(name, elements);
    return run_tle(dir, name, out, runtype, start, stop, step);
  }
  pid_t writer = -1;
  Outcome r;
  if (src == Source::fifo) {
    name = dir + "/sets.fifo";
    if (mkfifo(name.c_str(), 0600) != 0) {
      ADD_FAILURE() << "mkfifo " << name;
      return r;
    }
    writer = start_writer(elements, name, -1, -1);
    r = run_tle(dir, name, out, runtype, start, stop, step);
  } else {
    name = "/dev/stdin";
    int p[2];
    if (pipe(p) != 0) {
      ADD_FAILURE() << "pipe";
      return r;
    }
    writer = start_writer(elements, "", p[1], p[0]);
    close(p[1]);
    r = run_tle(dir, name, out, runtype, start, stop, step, p[0]);
    close(p[0]);
  }
  // A writer still waiting (the reader stopped before reading everything)
  // is ended here rather than left to its alarm.
  kill(writer, SIGKILL);
  waitpid(writer, nullptr, 0);
  return r;
}

// Line 1 at the epoch with columns first..first+text-1 replaced, checksum
// made good.
std::string line1_with(const std::string& epoch14, int first, const std::string& text) {
  std::string l = line1_at(epoch14);
  l.replace(first - 1, text.size(), text);
  l[68] = checksum(l);
  return l;
}

// The look-ahead of mode 0 reads the first line of the next set to find the
// window's end, and passes over sets whose epoch is not later. Every row
// runs from a regular file, a FIFO and a pipe on standard input: each gives
// the status, messages (naming the file and the line) and output of the row,
// and the output and notes of the two streams equal those of the file. A
// set passed over is read like any set: a field that is not a number stops
// the process. Comment and blank lines before the set looked at keep their
// line numbers in the messages that follow.
TEST(TleWild, LookAheadOnAnyStreamAndPassedOverSetsChecked) {
  struct Row {
    const char* name;
    std::string elements;
    double step;
    int status;
    std::string err;  // after `element file "NAME", `; empty: nothing on standard error
    std::string out;  // fragment of standard output; empty: nothing there
    int lines;        // no_file or the count of lines
    std::string first, last;
  };
  const std::string s99 = set_at("06099.00000000"), s100 = set_at("06100.00000000");
  const std::string s101 = set_at("06101.00000000");
  const std::string day100 = "10/04/2006   1: 0: 0.000000", day102 = "12/04/2006   0: 0: 0.000000";
  const std::string gap = "# comment\n\n \t\n# comment\n";  // lines 3-6 after a first set
  const std::string bad_mm = line2_with(53, "15.5638yyyy");
  const std::string nan = "are not a number";
  const std::string passed5 =
      "# Element set at line 5 passed over: its epoch is not later than the set before it";
  const std::vector<Row> rows = {
      // Two sets a day apart (epochs 25 and 26 June 2006 19:46:43.980096),
      // one-minute steps: two days of lines, the last set over one day.
      {"two sets one day apart", set_at("06176.82412014") + set_at("06177.82412014"), 60, 0, "",
       "", 2880, "25/06/2006  19:47:43.980096", "27/06/2006  19:46:43.980096"},
      {"comment and blank lines before the later set", s100 + gap + s101, 3600, 0, "", "", 48,
       day100, day102},

      // A set passed over with a field that is not a number, in line 1 or
      // line 2, at an earlier or the same epoch.
      {"passed over, B* not a number", s100 + line1_with("06099.00000000", 54, " 1280Z") + "\n" +
       pub2 + "\n" + s101, 3600, 1, "line 3: columns 54-59 (B*) " + nan + ": \" 1280Z\"", "",
       no_file, "", ""},
      {"passed over, first mean-motion term not a number",
       s100 + line1_with("06099.00000000", 34, " .0000XXXX") + "\n" + pub2 + "\n", 3600, 1,
       "line 3: columns 34-43 (first mean-motion term) " + nan, "", no_file, "", ""},
      {"passed over, inclination not a number",
       s100 + line1_at("06099.00000000") + "\n" + line2_with(9, " 58.0x79") + "\n" + s101, 3600,
       1, "line 4: columns 9-16 (inclination) " + nan + ": \" 58.0x79\"", "", no_file, "", ""},
      {"passed over, mean motion not a number",
       s100 + line1_at("06099.00000000") + "\n" + bad_mm + "\n" + s101, 3600, 1,
       "line 4: columns 53-63 (mean motion) " + nan, "", no_file, "", ""},
      {"passed over at the same epoch, eccentricity not a number",
       s100 + line1_at("06100.00000000") + "\n" + line2_with(27, "00300x5") + "\n" + s101, 3600,
       1, "line 4: columns 27-33 (eccentricity) " + nan, "", no_file, "", ""},
      {"passed over, inclination 181 degrees",
       s100 + line1_at("06099.00000000") + "\n" + line2_with(9, "181.0000") + "\n" + s101, 3600,
       1, "line 4: columns 9-16 (inclination) are not an angle from 0 to 180 degrees", "",
       no_file, "", ""},
      {"passed over, satellite numbers differ",
       s100 + line1_at("06099.00000000") + "\n" + line2_with(3, "06252") + "\n" + s101, 3600, 1,
       "line 4: satellite number 6252 in columns 3-7, line 3 before it has 6251", "", no_file,
       "", ""},
      {"passed over after comment lines, mean motion not a number",
       s100 + "# comment\n\n" + line1_at("06099.00000000") + "\n" + bad_mm + "\n" + s101, 3600, 1,
       "line 6: columns 53-63 (mean motion) " + nan, "", no_file, "", ""},
      // A valid set passed over: noted with its line, the output that of the
      // two other sets.
      {"valid set passed over after comment lines", s100 + "# comment\n\n" + s99 + s101, 3600, 0,
       "", passed5, 48, day100, day102},

      // Faults of the set after the look-ahead, with comment and blank
      // lines before it (lines 3-6): the messages keep their line numbers.
      {"later set, B* not a number", s100 + gap + line1_with("06101.00000000", 54, " 1280Z") +
       "\n" + pub2 + "\n", 3600, 1, "line 7: columns 54-59 (B*) " + nan, "", no_file, "", ""},
      {"later set, mean motion not a number", s100 + gap + line1_at("06101.00000000") + "\n" +
       bad_mm + "\n", 3600, 1, "line 8: columns 53-63 (mean motion) " + nan, "", no_file, "", ""},
      {"later set, stale checksum",
       s100 + gap + pub1.substr(0, 18) + "06101.00000000" + pub1.substr(32, 36) + "0\n" + pub2 +
           "\n", 3600, 0,
       "line 7: checksum in column 69 is \"0\", the columns 1-68 give 1; the line is used as read",
       "", 48, day100, day102},
      {"later set without its second line", s100 + gap + s101 + "\n# comment\n" +
       line1_at("06102.00000000") + "\n", 3600, 1, "line 11: element set without its second line",
       "", no_file, "", ""},
      {"stray line after comment lines", s100 + gap + "DELTA 1 DEB\n", 3600, 1,
       "line 7: column 1 holds \"D\"; line 1 of an element set holds 1", "", no_file, "", ""},
      {"passed over, then a later set with its mean motion not a number",
       s100 + "# comment\n\n" + s99 + "# comment\n" + line1_at("06101.00000000") + "\n" + bad_mm +
           "\n", 3600, 1, "line 9: columns 53-63 (mean motion) " + nan, passed5, no_file, "", ""},
  };
  const bool have_stdin = access("/dev/stdin", F_OK) == 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> file_lines;
    std::string file_out;
    for (Source src : {Source::file, Source::fifo, Source::standard_input}) {
      if (src == Source::standard_input && !have_stdin) continue;
      const ScratchDir scratch;
      const std::string& dir = scratch.path;
      std::string name;
      const Outcome r = run_source(src, dir, row.elements, 0, 0, 0, row.step, name);
      SCOPED_TRACE(name);
      EXPECT_EQ(r.status, row.status) << r.err;
      if (row.err.empty()) {
        EXPECT_EQ(r.err, "");
      } else {
        EXPECT_NE(r.err.find("element file \"" + name + "\", " + row.err), std::string::npos)
            << r.err;
      }
      if (row.out.empty()) {
        EXPECT_EQ(r.out, "");
      } else {
        EXPECT_NE(r.out.find(row.out), std::string::npos) << r.out;
      }
      EXPECT_FALSE(r.temp_left);
      if (row.lines == no_file) {
        EXPECT_FALSE(r.file);
      } else if (r.file) {
        EXPECT_EQ(static_cast<int>(r.lines.size()), row.lines);
        if (!r.lines.empty()) {
          EXPECT_EQ(when(r.lines.front()), row.first);
          EXPECT_EQ(when(r.lines.back()), row.last);
        }
      } else {
        ADD_FAILURE() << "no output file";
      }
      if (src == Source::file) {
        file_lines = r.lines;
        file_out = r.out;
      } else {
        EXPECT_EQ(r.lines, file_lines);
        EXPECT_EQ(r.out, file_out);
      }
    }
  }
}

}  // namespace
