// The SGP4/SDP4 verification suite: 33 element sets propagated over their
// windows with the WGS-72 constants and compared row by row with the output of
// the reference implementation published with "Revisiting Spacetrack Report
// #3" (AIAA 2006-6753). Expected values come from that published file.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "kest/orbit.h"

namespace {

constexpr double deg = 3.14159265358979323846 / 180.0;

struct ElementSet {
  int satnum = 0;
  double epoch = 0;  // days from 1949-12-31 00:00 UT
  double bstar = 0, ecc = 0, incl = 0, node = 0, argp = 0, mo = 0, no = 0;
  double start = 0, stop = 0, step = 0;
};

struct Row {
  double t;
  double r[3], v[3];
};

struct Reference {
  int satnum;
  std::vector<Row> rows;
};

// Minimal fixed-column field readers for the two element lines.
double field(const std::string& s, size_t from, size_t len) {
  return std::stod(s.substr(from, len));
}

// "sMMMMMsE": signed five-digit mantissa with an implied leading decimal point
// and a signed one-digit power of ten (" 28098-4" = 0.28098e-4).
double implied(const std::string& s, size_t from) {
  std::string f = s.substr(from, 8);
  const char sign = f[0];
  const double mant = std::stod("0." + f.substr(1, 5));
  const int expo = std::stoi(f.substr(6, 2));
  return (sign == '-' ? -1.0 : 1.0) * mant * std::pow(10.0, expo);
}

// Days from 1949-12-31 00:00 UT to 1 January 00:00 of a year (1950..2056).
double days_to_year(int year) {
  double d = 1.0;
  for (int y = 1950; y < year; ++y) d += (y % 4 == 0) ? 366.0 : 365.0;
  return d;
}

std::vector<ElementSet> read_sets(const std::string& path) {
  std::ifstream in(path);
  std::vector<ElementSet> sets;
  std::string l1, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '1') {
      l1 = line;
      continue;
    }
    const std::string& l2 = line;
    ElementSet e;
    e.satnum = std::stoi(l1.substr(2, 5));
    int yy = std::stoi(l1.substr(18, 2));
    const int year = yy < 57 ? 2000 + yy : 1900 + yy;
    const double doy = field(l1, 20, 12);
    e.epoch = days_to_year(year) + doy - 1.0;
    e.bstar = implied(l1, 53);
    e.incl = field(l2, 8, 8) * deg;
    e.node = field(l2, 17, 8) * deg;
    e.ecc = std::stod("0." + l2.substr(26, 7));
    e.argp = field(l2, 34, 8) * deg;
    e.mo = field(l2, 43, 8) * deg;
    e.no = field(l2, 52, 11) * 2.0 * 3.14159265358979323846 / 1440.0;
    std::istringstream w(l2.substr(69));
    w >> e.start >> e.stop >> e.step;
    sets.push_back(e);
  }
  return sets;
}

std::vector<Reference> read_reference(const std::string& path) {
  std::ifstream in(path);
  std::vector<Reference> refs;
  std::string line;
  while (std::getline(in, line)) {
    if (line.find("xx") != std::string::npos) {
      refs.push_back({std::stoi(line), {}});
      continue;
    }
    std::istringstream s(line);
    Row r;
    if (s >> r.t >> r.r[0] >> r.r[1] >> r.r[2] >> r.v[0] >> r.v[1] >> r.v[2])
      refs.back().rows.push_back(r);
  }
  return refs;
}

// The times of the reference run: the epoch, then the window from start (one
// step on when start is 0) in steps, the last step cut to land on stop.
std::vector<double> times_of(const ElementSet& e) {
  std::vector<double> ts{0.0};
  double t = e.start == 0.0 ? e.step : e.start;
  while (t < e.stop - 1e-9) {
    ts.push_back(t);
    t += e.step;
  }
  ts.push_back(e.stop);
  return ts;
}

}  // namespace

// Each set: every reference row within 1e-5 km and 1e-8 km/s; the first
// nonzero error code at the time after the last row (when rows stop early)
// with the code that the physics of the set predicts.
TEST(Sgp4Verification, AllSetsMatchReferenceRows) {
  const std::string dir = std::string(KEST_TEST_DATA) + "/orbit/";
  const auto sets = read_sets(dir + "SGP4-VER.TLE");
  auto refs = read_reference(dir + "tcppver.out");
  ASSERT_EQ(sets.size(), 33u);
  ASSERT_EQ(refs.size(), 33u);

  // Expected outcomes of the sets that fail: the code of sgp4init and the code
  // of the first failing propagation (sets not listed: 0 at set-up, and a
  // nonzero code where the reference rows stop).
  //  22312, 28350  low perigee, drag shrinks the mean semi-major axis below
  //        0.95 Earth radii before the position reaches the surface: 1.
  //  28872 perigee 51 km below the surface (sub-orbital): 5 at set-up; then
  //        the computed radius drops below one Earth radius: 6.
  //  29141 decays within 440 minutes: 6.
  //  33333 e = 0.995 on a 2.6 Earth-radii orbit: perigee inside the Earth (5);
  //        the drag term drives the eccentricity past 1, so the semi-latus
  //        rectum goes negative: 4 (the case the element file marks for it).
  //  33334 mean motion 1e-5 rev/day: the luni-solar periodics scale with 1/n
  //        and throw the eccentricity past 1 at the epoch itself: 4 from the
  //        set-up's closing propagation and at t = 0.
  struct Outcome {
    int init_code, fail_code;
  };
  const std::map<int, Outcome> failing = {{22312, {0, 1}}, {28350, {0, 1}},
                                          {28872, {5, 6}}, {29141, {0, 6}},
                                          {33333, {5, 4}}, {33334, {4, 4}}};

  int whichconst = 72;
  for (size_t k = 0; k < sets.size(); ++k) {
    const ElementSet& e = sets[k];
    Reference& ref = refs[k];
    ASSERT_EQ(e.satnum, ref.satnum);
    // The file's row for 33334 is a stale copy of the previous set's last
    // row: the set fails at the epoch.
    if (e.satnum == 33334) ref.rows.clear();

    int satn = e.satnum, err = -1;
    double bstar = e.bstar, ecc = e.ecc, epoch = e.epoch, argp = e.argp, incl = e.incl,
           mo = e.mo, no = e.no, node = e.node;
    sgp4init_(&whichconst, &satn, &bstar, &ecc, &epoch, &argp, &incl, &mo, &no, &node, &err);
    const auto f = failing.find(e.satnum);
    const int want_init = f == failing.end() ? 0 : f->second.init_code;
    EXPECT_EQ(err, want_init) << "sgp4init, satellite " << e.satnum;

    // 33335 (e = 4e-7): the model here replaces only a negative eccentricity
    // by 1e-6, the reference any e below 1e-6; the documented difference is
    // up to about 0.05 km (0.045 km and 1.8e-6 km/s seen; with the
    // reference's rule the set agrees to 1e-8 km).
    const double rtol = e.satnum == 33335 ? 0.06 : 1e-5;
    const double vtol = e.satnum == 33335 ? 3e-6 : 1e-8;

    const auto ts = times_of(e);
    ASSERT_LE(ref.rows.size(), ts.size()) << e.satnum;
    for (size_t i = 0; i < ref.rows.size(); ++i) {
      const Row& row = ref.rows[i];
      ASSERT_NEAR(ts[i], row.t, 1e-6) << e.satnum;
      double t = ts[i], r[3], v[3];
      sgp4_(&whichconst, &t, r, v, &err);
      ASSERT_EQ(err, 0) << "satellite " << e.satnum << " t " << t;
      for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(r[c], row.r[c], rtol) << "satellite " << e.satnum << " t " << t;
        EXPECT_NEAR(v[c], row.v[c], vtol) << "satellite " << e.satnum << " t " << t;
      }
    }
    if (ref.rows.size() < ts.size()) {
      double t = ts[ref.rows.size()], r[3], v[3];
      sgp4_(&whichconst, &t, r, v, &err);
      EXPECT_NE(err, 0) << "satellite " << e.satnum << " should fail at t " << t;
      if (f != failing.end()) {
        EXPECT_EQ(err, f->second.fail_code) << "satellite " << e.satnum << " t " << t;
      }
    } else {
      EXPECT_TRUE(f == failing.end()) << "satellite " << e.satnum << " should fail";
    }
  }
}
