// MSISE-90 and MSIS-86, the three drivers, the isolation of the generations
// from each other, and physics cross-checks between them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "atmosphere/atmosphere_state.hpp"
#include "comma_locale.hpp"
#include "fresh_process.hpp"
#include "kest/atmosphere.h"
#include "msis_test_util.hpp"

namespace {

// A series of points for the drivers.
struct Series {
  std::vector<int> doy;
  std::vector<double> ut, alt, lat, lon, f107a, f107, ap;
  void add(int d, double u, double a, double la, double lo, double fa, double f,
           std::array<double, 7> apv) {
    doy.push_back(d);
    ut.push_back(u);
    alt.push_back(a);
    lat.push_back(la);
    lon.push_back(lo);
    f107a.push_back(fa);
    f107.push_back(f);
    ap.insert(ap.end(), apv.begin(), apv.end());
  }
  int size() const { return static_cast<int>(doy.size()); }
};

using Driver = void (*)(int*, int*, int*, double*, double*, double*, double*, double*, double*,
                        double*, double*, double*);

struct Output {
  std::vector<double> dens, temp;
};

Output run(Driver drv, int nd, Series s, int which_ap) {
  Output o;
  o.dens.assign(static_cast<std::size_t>(nd) * s.size(), 0.0);
  o.temp.assign(2u * s.size(), 0.0);
  int n = s.size();
  drv(&n, &which_ap, s.doy.data(), s.ut.data(), s.alt.data(), s.lat.data(), s.lon.data(),
      s.f107a.data(), s.f107.data(), s.ap.data(), o.dens.data(), o.temp.data());
  return o;
}

struct Gen {
  const char* name;
  Driver drv;
  int nd;
};
const Gen kGens[3] = {{"nrlmsise00", &nrlmsise00_, 9}, {"msise90", &msise90_, 8}, {"msis86", &msis86_, 8}};

using kest_test::in_fresh_process;

constexpr std::array<double, 7> kQuiet{4, 4, 4, 4, 4, 4, 4};
constexpr std::array<double, 7> kStorm{12, 80, 56, 39, 27, 22, 15};

// Steps of the isolation scenario: repeated points (so the caches are
// reused), other latitudes and local times, both Ap modes.
std::vector<std::pair<Series, int>> scenario() {
  std::vector<std::pair<Series, int>> steps;
  Series a;
  a.add(172, 29000, 400, 60, -70, 150, 150, kQuiet);
  a.add(172, 29000, 110, 60, -70, 150, 150, kQuiet);
  steps.push_back({a, 1});
  steps.push_back({a, 1});  // unchanged inputs right after the others ran
  Series b;
  b.add(81, 75000, 250, -30, 120, 180, 160, kStorm);
  b.add(81, 75000, 90, -30, 120, 180, 160, kStorm);
  steps.push_back({b, 2});
  steps.push_back({a, 1});  // same inputs again: cached paths
  // 72.5 km, then 65 km with the same inputs: the middle-atmosphere nodes
  // are renewed without a new thermospheric evaluation.
  Series top, mid;
  top.add(200, 50000, 72.5, -45, 60, 120, 110, kQuiet);
  mid.add(200, 50000, 65, -45, 60, 120, 110, kQuiet);
  steps.push_back({top, 1});
  steps.push_back({mid, 1});
  Series c;
  c.add(172, 29000, 400, 60, -70, 150, 150, kQuiet);
  c.add(300, 43200, 600, 12.5, 33, 90, 75, kStorm);
  steps.push_back({c, 2});
  steps.push_back({a, 1});
  return steps;
}

std::vector<double> flatten(const std::vector<Output>& outs) {
  std::vector<double> v;
  for (const auto& o : outs) {
    v.insert(v.end(), o.dens.begin(), o.dens.end());
    v.insert(v.end(), o.temp.begin(), o.temp.end());
  }
  return v;
}

}  // namespace

// Each generation, interleaved with the others in varied orders, gives
// exactly what it gives when called alone.
TEST(MsisGenerations, IsolatedFromEachOther) {
  if (kest_test::rerun_alone_unless_first()) return;
  const msistest::KeepSettings keep;
  const auto steps = scenario();
  std::vector<double> alone[3];
  for (int g = 0; g < 3; ++g) {
    alone[g] = in_fresh_process([&] {
      std::vector<Output> outs;
      for (const auto& [s, w] : steps) outs.push_back(run(kGens[g].drv, kGens[g].nd, s, w));
      return flatten(outs);
    });
    ASSERT_FALSE(alone[g].empty());
  }
  // Generation g runs step k - g at time k, so that between two steps of one
  // generation the others evaluate other points; the order within a time
  // rotates and reverses.
  std::vector<Output> mixed[3];
  const int nsteps = static_cast<int>(steps.size());
  for (int k = 0; k < nsteps + 2; ++k) {
    for (int j = 0; j < 3; ++j) {
      int g = (k + j) % 3;
      if (k % 2 == 1) g = 2 - g;
      const int step = k - g;
      if (step < 0 || step >= nsteps) continue;
      mixed[g].push_back(run(kGens[g].drv, kGens[g].nd, steps[step].first, steps[step].second));
    }
  }
  for (int g = 0; g < 3; ++g) EXPECT_EQ(flatten(mixed[g]), alone[g]) << kGens[g].name;
}

// MSIS-86 at exactly 85 km is evaluated, just below it all ten outputs get
// the fill value; the other drivers evaluate down to 0 km.
TEST(MsisDrivers, Msis86Floor) {
  const msistest::KeepSettings keep;
  Series s;
  s.add(172, 29000, 85.0, 45, 10, 150, 150, kQuiet);
  s.add(172, 29000, 84.9, 45, 10, 150, 150, kQuiet);
  s.add(172, 29000, std::nan(""), 45, 10, 150, 150, kQuiet);
  const Output o = run(&msis86_, 8, s, 1);
  for (int k = 0; k < 8; ++k) EXPECT_GT(o.dens[k], 0.0) << k;
  EXPECT_GT(o.temp[1], 100.0);
  for (int i : {1, 2}) {
    for (int k = 0; k < 8; ++k) EXPECT_EQ(o.dens[8 * i + k], KEST_FILL);
    EXPECT_EQ(o.temp[2 * i], KEST_FILL);
    EXPECT_EQ(o.temp[2 * i + 1], KEST_FILL);
  }
  Series g;
  g.add(172, 29000, 0.0, 45, 10, 150, 150, kQuiet);
  for (const Gen& gen : {kGens[0], kGens[1]}) {
    const Output og = run(gen.drv, gen.nd, g, 1);
    EXPECT_GT(og.dens[2], 1e19) << gen.name;  // N2 at the ground
    EXPECT_GT(og.temp[1], 200.0) << gen.name;
  }
}

// A point with a non-finite input gets the fill value; its neighbours are
// evaluated as usual.
TEST(MsisDrivers, NonFiniteInputGivesFill) {
  const msistest::KeepSettings keep;
  const double nan = std::nan("");
  for (const Gen& gen : kGens) {
    Series s;
    s.add(172, 29000, 400, 60, -70, 150, 150, kQuiet);
    s.add(172, 29000, nan, 60, -70, 150, 150, kQuiet);
    s.add(172, 29000, 400, nan, -70, 150, 150, kQuiet);
    s.add(172, 29000, 400, 60, INFINITY, 150, 150, kQuiet);
    s.add(172, nan, 400, 60, -70, 150, 150, kQuiet);
    s.add(172, 29000, 400, 60, -70, 150, 150, {nan, 4, 4, 4, 4, 4, 4});
    s.add(172, 29000, 400, 60, -70, 150, 150, kQuiet);
    const Output o = run(gen.drv, gen.nd, s, 1);
    for (int i = 1; i <= 5; ++i) {
      for (int k = 0; k < gen.nd; ++k) EXPECT_EQ(o.dens[gen.nd * i + k], KEST_FILL) << gen.name << i;
      EXPECT_EQ(o.temp[2 * i], KEST_FILL) << gen.name << i;
    }
    for (int k = 0; k < gen.nd; ++k) EXPECT_EQ(o.dens[k], o.dens[gen.nd * 6 + k]) << gen.name;
  }
}

// The fill value an earlier stage left in place of a number (a time, an
// altitude, a place, a flux index or an Ap) gets the fill value, as a
// non-number does: the model is not run for the point (so no model message
// either), and the points around it are evaluated as usual. A 3-hour Ap slot
// is only read with the Ap history.
TEST(MsisDrivers, FillValueInputGivesFill) {
  const msistest::KeepSettings keep;
  const double f = KEST_FILL;
  const std::array<double, 7> fill_ap1{f, 4, 4, 4, 4, 4, 4}, fill_ap4{4, 4, 4, f, 4, 4, 4};
  struct Case {
    const char* what;
    double ut, alt, lat, lon, f107a, f107;
    std::array<double, 7> ap;
    int which_ap;
    bool fill;
  } cases[] = {
      {"UT", f, 400, 60, -70, 150, 150, kQuiet, 1, true},
      {"altitude", 29000, f, 60, -70, 150, 150, kQuiet, 1, true},
      {"latitude", 29000, 400, f, -70, 150, 150, kQuiet, 1, true},
      {"longitude", 29000, 400, 60, f, 150, 150, kQuiet, 1, true},
      {"F10.7 mean", 29000, 400, 60, -70, f, 150, kQuiet, 1, true},
      {"F10.7", 29000, 400, 60, -70, 150, f, kQuiet, 1, true},
      {"daily Ap", 29000, 400, 60, -70, 150, 150, fill_ap1, 1, true},
      {"3-hour Ap, history used", 29000, 400, 60, -70, 150, 150, fill_ap4, 2, true},
      {"3-hour Ap, daily Ap used", 29000, 400, 60, -70, 150, 150, fill_ap4, 1, false},
  };
  for (const Gen& gen : kGens) {
    for (const Case& c : cases) {
      Series s;
      s.add(172, 29000, 400, 60, -70, 150, 150, kQuiet);
      s.add(172, c.ut, c.alt, c.lat, c.lon, c.f107a, c.f107, c.ap);
      s.add(172, 29000, 400, 60, -70, 150, 150, kQuiet);
      msistest::begin_capture();
      const Output o = run(gen.drv, gen.nd, s, c.which_ap);
      EXPECT_EQ(msistest::end_capture(), "") << gen.name << " " << c.what;
      for (int k = 0; k < gen.nd; ++k) {
        if (c.fill) {
          EXPECT_EQ(o.dens[gen.nd + k], KEST_FILL) << gen.name << " " << c.what;
        } else {
          EXPECT_EQ(o.dens[gen.nd + k], o.dens[k]) << gen.name << " " << c.what;
        }
        EXPECT_EQ(o.dens[2 * gen.nd + k], o.dens[k]) << gen.name << " " << c.what;
      }
      for (int k = 0; k < 2; ++k)
        EXPECT_EQ(o.temp[2 + k], c.fill ? KEST_FILL : o.temp[k]) << gen.name << " " << c.what;
      EXPECT_GT(o.dens[2], 0.0) << gen.name;
    }
  }
}

// No point is evaluated for a count of 0, yet the switches are set; a count
// above 100000 stops at 100000 points and says so.
TEST(MsisDrivers, CountLimits) {
  const msistest::KeepSettings keep;
  Series s;
  s.add(172, 29000, 400, 60, -70, 150, 150, kQuiet);
  for (const Gen& gen : kGens) {
    std::vector<double> dens(gen.nd, -3.0), temp(2, -3.0);
    int n = 0, which = 2;
    gen.drv(&n, &which, s.doy.data(), s.ut.data(), s.alt.data(), s.lat.data(), s.lon.data(),
            s.f107a.data(), s.f107.data(), s.ap.data(), dens.data(), temp.data());
    for (double v : dens) EXPECT_EQ(v, -3.0);
    EXPECT_EQ(kest::csw.sw[8], -1.0) << gen.name;
    EXPECT_EQ(kest::cswi.isw, 64999);
  }
  const int big = 100000;
  Series many;
  many.doy.assign(big + 1, 172);
  many.ut.assign(big + 1, 29000);
  many.alt.assign(big + 1, 400);
  many.lat.assign(big + 1, 60);
  many.lon.assign(big + 1, -70);
  many.f107a.assign(big + 1, 150);
  many.f107.assign(big + 1, 150);
  many.ap.assign(7 * (big + 1), 4);
  std::vector<double> dens(9 * (big + 1), -3.0), temp(2 * (big + 1), -3.0);
  int n = big + 1, which = 1;
  msistest::begin_capture();
  nrlmsise00_(&n, &which, many.doy.data(), many.ut.data(), many.alt.data(), many.lat.data(),
              many.lon.data(), many.f107a.data(), many.f107.data(), many.ap.data(), dens.data(),
              temp.data());
  EXPECT_EQ(msistest::end_capture(),
            " nrlmsise00: more than 100000 points, only the first 100000 evaluated\n");
  EXPECT_GT(dens[9 * (big - 1) + 2], 0.0);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(dens[9 * big + k], -3.0);
  EXPECT_EQ(temp[2 * big], -3.0);
}

// Each point of a driver call gets the generation's model routine at that
// point's own inputs as the driver derives them (the bare day of year as date
// code, local time lon/15 + UT/3600, mass 48, all switches on and switch 9 =
// -1 for the Ap history), whatever the other points of the call and their
// order. The models keep caches keyed on their inputs; the points come in
// families that differ from a base point in one input only (the altitude, on
// either side of the 72.5 km node, each of the seven Ap slots, either flux,
// the day, the latitude, and longitude and UT together at the same local
// time), so that a cache key missing an input would hand a point its
// neighbour's values.
TEST(MsisDrivers, EachPointIsTheModelAtItsOwnInputs) {
  const msistest::KeepSettings keep;
  using Model = void (*)(int*, double*, double*, double*, double*, double*, double*, double*, double*,
                         int*, double*, double*);
  const Model models[3] = {&gtd7_, &gtd6_, &gts5_};           // in the order of kGens
  void (*const setters[3])(double*) = {&tselec7_, &tselec5_, &tselec_};
  const double floors[3] = {-1e9, -1e9, 85.0};
  Series s;
  const std::array<double, 7> ap0{9, 27, 15, 48, 22, 18, 12};
  for (double alt : {420.0, 125.0, 88.0, 64.0}) {
    s.add(172, 29000, alt, 60, -70, 150, 140, ap0);
    s.add(172, 29000, alt < 72.5 ? 80.0 : alt - 25.0, 60, -70, 150, 140, ap0);
    s.add(172, 29000, alt < 72.5 ? 40.0 : alt - 50.0, 60, -70, 150, 140, ap0);
    for (int k = 0; k < 7; ++k) {
      std::array<double, 7> a = ap0;
      a[k] += 30.0;
      s.add(172, 29000, alt, 60, -70, 150, 140, a);
    }
    s.add(172, 29000, alt, 60, -70, 190, 140, ap0);
    s.add(172, 29000, alt, 60, -70, 150, 200, ap0);
    s.add(173, 29000, alt, 60, -70, 150, 140, ap0);
    s.add(172, 29000, alt, 35, -70, 150, 140, ap0);
    s.add(172, 29000 - 3600, alt, 60, -55, 150, 140, ap0);
    s.add(172, 29000, alt, 60, -70, 150, 140, ap0);  // the base point again
  }
  Series r;
  for (int i = s.size() - 1; i >= 0; --i) {
    r.add(s.doy[i], s.ut[i], s.alt[i], s.lat[i], s.lon[i], s.f107a[i], s.f107[i],
          {s.ap[7 * i], s.ap[7 * i + 1], s.ap[7 * i + 2], s.ap[7 * i + 3], s.ap[7 * i + 4],
           s.ap[7 * i + 5], s.ap[7 * i + 6]});
  }
  const int n = s.size();
  for (int g = 0; g < 3; ++g) {
    const int nd = kGens[g].nd;
    for (int which_ap : {1, 2}) {
      const Output o = run(kGens[g].drv, nd, s, which_ap);
      const Output b = run(kGens[g].drv, nd, r, which_ap);
      std::array<double, 25> sv = msistest::all_on();
      if (which_ap == 2) sv[8] = -1.0;
      setters[g](sv.data());
      int evaluated = 0;
      for (int i = n - 1; i >= 0; --i) {  // the model routine alone, in the other order
        const std::string at = std::string(kGens[g].name) + " whichAp " + std::to_string(which_ap) +
                               " point " + std::to_string(i);
        const int j = n - 1 - i;
        for (int k = 0; k < nd; ++k) EXPECT_EQ(b.dens[nd * j + k], o.dens[nd * i + k]) << at;
        for (int k = 0; k < 2; ++k) EXPECT_EQ(b.temp[2 * j + k], o.temp[2 * i + k]) << at;
        if (!(s.alt[i] >= floors[g])) {
          EXPECT_EQ(o.temp[2 * i], -1.0e31) << at;  // the fill value below the floor
          continue;
        }
        int iyd = s.doy[i], mass = 48;
        double sec = s.ut[i], alt = s.alt[i], lat = s.lat[i], lon = s.lon[i], fa = s.f107a[i],
               f = s.f107[i], stl = lon * (1.0 / 15.0) + sec * (1.0 / 3600.0), d[9] = {}, t[2] = {};
        std::array<double, 7> ap;
        for (int k = 0; k < 7; ++k) ap[k] = s.ap[7 * i + k];
        models[g](&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap.data(), &mass, d, t);
        for (int k = 0; k < nd; ++k) EXPECT_EQ(o.dens[nd * i + k], d[k]) << at << " density " << k + 1;
        for (int k = 0; k < 2; ++k) EXPECT_EQ(o.temp[2 * i + k], t[k]) << at << " temperature " << k + 1;
        ++evaluated;
      }
      EXPECT_GE(evaluated, n / 2) << kGens[g].name;
    }
  }
}

// Only whichAp = 2 selects the 3-hour Ap history.
TEST(MsisDrivers, OnlyWhichAp2SelectsHistory) {
  const msistest::KeepSettings keep;
  Series s;
  s.add(172, 29000, 400, 60, -70, 150, 150, kStorm);
  for (const Gen& gen : kGens) {
    const Output daily = run(gen.drv, gen.nd, s, 1);
    for (int w : {0, 3, -2}) {
      const Output o = run(gen.drv, gen.nd, s, w);
      EXPECT_EQ(o.dens, daily.dens) << gen.name << " " << w;
      EXPECT_EQ(o.temp, daily.temp) << gen.name << " " << w;
    }
    const Output hist = run(gen.drv, gen.nd, s, 2);
    EXPECT_NE(hist.temp[0], daily.temp[0]) << gen.name;
    EXPECT_NE(hist.dens[5], daily.dens[5]) << gen.name;
  }
}

// The local solar time is lon/15 + UT/3600 as is: -150 degrees at 00:30 UT
// is -9.5 h, not 14.5 h.
TEST(MsisDrivers, LocalTimeNotReduced) {
  const msistest::KeepSettings keep;
  Series s;
  s.add(172, 1800, 300, 20, -150, 150, 150, kQuiet);
  const Output o = run(&nrlmsise00_, 9, s, 1);
  msistest::set_switches(msistest::all_on());
  msistest::Point p;
  p.sec = 1800;
  p.alt = 300;
  p.glat = 20;
  p.glong = -150;
  p.stl = -9.5;
  const msistest::Result r = msistest::gtd7(p);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(o.dens[k], r.d[k]) << k;
  EXPECT_EQ(o.temp[1], r.t[1]);
}

// At 400 km for moderate activity the three generations agree within about
// 10 per cent in mass density and a few per cent in exospheric temperature;
// MSIS-86 and MSISE-90, which share most thermospheric coefficients, agree
// closest.
TEST(MsisGenerations, CrossCheckAt400km) {
  const msistest::KeepSettings keep;
  Series s;
  const double lats[] = {-62.5, -20, 0, 35, 71};
  const double lons[] = {-170, -45, 10, 95, 150};
  const int days[] = {15, 81, 172, 265, 355};
  for (int i = 0; i < 5; ++i)
    for (double ut : {3600.0, 43200.0})
      s.add(days[i], ut, 400, lats[i], lons[(i + 2) % 5], 150, 150, {12, 12, 12, 12, 12, 12, 12});
  const Output nrl = run(&nrlmsise00_, 9, s, 1);
  const Output e90 = run(&msise90_, 8, s, 1);
  const Output m86 = run(&msis86_, 8, s, 1);
  double worst[3] = {0, 0, 0};  // NRL-E90, NRL-M86, E90-M86 in mass density
  for (int i = 0; i < s.size(); ++i) {
    const double rn = nrl.dens[9 * i + 5], re = e90.dens[8 * i + 5], rm = m86.dens[8 * i + 5];
    const double q[3] = {std::fabs(rn / re - 1), std::fabs(rn / rm - 1), std::fabs(re / rm - 1)};
    for (int k = 0; k < 3; ++k) worst[k] = std::max(worst[k], q[k]);
    for (double tn : {e90.temp[2 * i], m86.temp[2 * i]})
      EXPECT_NEAR(nrl.temp[2 * i] / tn, 1.0, 0.04) << i;
    EXPECT_NEAR(e90.temp[2 * i] / m86.temp[2 * i], 1.0, 0.01) << i;
  }
  EXPECT_LT(worst[0], 0.12);
  EXPECT_LT(worst[1], 0.12);
  EXPECT_LT(worst[2], worst[0]);
  EXPECT_LT(worst[2], worst[1]);
  EXPECT_LT(worst[2], 0.05);
}

TEST(MsisSwitches, SettersOfTheOlderGenerations) {
  if (kest_test::rerun_alone_unless_first()) return;
  const msistest::KeepSettings keep;
  std::array<double, 25> back{};
  tretrv_(back.data());  // zeros before any tselec call
  for (double v : back) EXPECT_EQ(v, 0.0);
  std::array<double, 25> sv;
  sv.fill(1.0);
  const double vals[] = {2, -1, 3, 0.5, 0, -2};
  for (int i = 0; i < 6; ++i) sv[i] = vals[i];
  // MSISE-90: swc 1 only for |value| 1 or 2.
  tselec5_(sv.data());
  const double sw5[] = {0, -1, 1, 0.5, 0, -0.0}, swc5[] = {1, 1, 0, 0, 0, 1};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(kest::csw.sw[i], sw5[i]);
    EXPECT_EQ(kest::csw.swc[i], swc5[i]);
  }
  tretrv5_(back.data());
  EXPECT_EQ(back, sv);
  // MSIS-86: swc 1 for any non-zero value.
  tselec_(sv.data());
  const double swc86[] = {1, 1, 1, 1, 0, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(kest::csw.swc[i], swc86[i]);
  tretrv_(back.data());
  EXPECT_EQ(back, sv);
  // Each setter keeps its own copy.
  std::array<double, 25> other;
  other.fill(0.25);
  tselec7_(other.data());
  tretrv5_(back.data());
  EXPECT_EQ(back, sv);
}

TEST(MsisMessages, OlderGenerationTexts) {
  double xa[2] = {3, 3}, ya[2] = {1, 2}, y2a[2] = {0, 0}, x = 3, y = 0;
  int n = 2;
  msistest::begin_capture();
  splint6_(xa, ya, y2a, &n, &x, &y);
  EXPECT_EQ(msistest::end_capture(), " BAD XA INPUT TO SPLINT6\n");
  double dd = 0, dm = 0, zhm = 28, xmm = 28.95, xm = 16;
  msistest::begin_capture();
  EXPECT_EQ(dnet6_(&dd, &dm, &zhm, &xmm, &xm), 1.0);
  EXPECT_EQ(msistest::end_capture().rfind(" DNET6 LOG ERROR ", 0), 0u);
  // MSIS-86's blend tests nothing and prints nothing.
  double dd2 = 3e9, dm2 = 5e9;
  msistest::begin_capture();
  const double a = zhm / (xmm - xm);
  EXPECT_NEAR(dnet_(&dd2, &dm2, &zhm, &xmm, &xm) / std::pow(std::pow(3e9, a) + std::pow(5e9, a), 1 / a),
              1.0, 1e-12);
  EXPECT_EQ(msistest::end_capture(), "");

  int iyd = 172, bad = 2;
  double sec = 29000, alt = 400, lat = 60, lon = -70, stl = 16, fa = 150, f = 150;
  double ap[7] = {4, 4, 4, 4, 4, 4, 4}, d[8], t[2] = {0, -5};
  for (double& v : d) v = -7;
  msistest::begin_capture();
  gts5_(&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap, &bad, d, t);
  EXPECT_EQ(msistest::end_capture(), " MASS    2  NOT VALID\n");
  for (double v : d) EXPECT_EQ(v, -7.0);  // left as they were
  EXPECT_EQ(t[1], -5.0);
  msistest::begin_capture();
  gts6_(&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap, &bad, d, t);
  EXPECT_EQ(msistest::end_capture(), " MASS    2  NOT VALID\n");
  for (double v : d) EXPECT_EQ(v, 0.0);

  double press = std::nan(""), dd8[8], tt[2], z = 0;
  msistest::begin_capture();
  ghp6_(&iyd, &sec, &z, &lat, &lon, &stl, &fa, &f, ap, dd8, tt, &press);
  EXPECT_EQ(msistest::end_capture().rfind(" GHP6 NOT CONVERGING FOR PRESS", 0), 0u);
}

// ghp6 finds a pressure level that gtd6 reproduces by p = n k T.
TEST(Msise90, Ghp6RoundTrip) {
  const msistest::KeepSettings keep;
  tselec5_(msistest::all_on().data());
  int iyd = 172, mass = 48;
  double sec = 29000, lat = 45, lon = 10, stl = 10, fa = 150, f = 150;
  double ap[7] = {4, 4, 4, 4, 4, 4, 4};
  for (double press : {500.0, 3.0, 1e-3, 1e-5}) {
    double z = 0, d[8], t[2], pr = press;
    msistest::begin_capture();
    ghp6_(&iyd, &sec, &z, &lat, &lon, &stl, &fa, &f, ap, d, t, &pr);
    EXPECT_EQ(msistest::end_capture(), "") << press;
    gtd6_(&iyd, &sec, &z, &lat, &lon, &stl, &fa, &f, ap, &mass, d, t);
    const double nsum = d[0] + d[1] + d[2] + d[3] + d[4] + d[6] + d[7];
    EXPECT_NEAR(std::log10(1.3806e-19 * nsum * t[1]), std::log10(press), 0.00043) << press;
  }
  EXPECT_EQ(std::string(kest::datime.ver_date, 28), "12-MAR-90   15:09:04MSISE 90");
}

// MSISE-90 selectors: H brings N; N2 below 450 km whatever the selector.
TEST(Msise90, Selectors) {
  const msistest::KeepSettings keep;
  tselec5_(msistest::all_on().data());
  struct Row { double alt; int mass; std::vector<int> nonzero; } rows[] = {
      {300, 1, {2, 6, 7}}, {500, 1, {6, 7}}, {300, 4, {0, 2}}, {500, 4, {0}}, {300, 49, {1, 2, 3}}};
  for (const auto& r : rows) {
    int iyd = 172, m = r.mass;
    double sec = 29000, alt = r.alt, lat = 60, lon = -70, stl = 16, fa = 150, f = 150;
    double ap[7] = {4, 4, 4, 4, 4, 4, 4}, d[8], t[2];
    gtd6_(&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap, &m, d, t);
    for (int i = 0; i < 8; ++i) {
      const bool want = std::find(r.nonzero.begin(), r.nonzero.end(), i) != r.nonzero.end();
      EXPECT_EQ(d[i] != 0.0, want) << r.alt << " " << r.mass << " " << i;
    }
  }
}

// The MSIS-86 profile: temperature t0 at z0, continuous temperature and
// density at za, and the temperature alone for mass 0.
TEST(Msis86, DenssProfile) {
  double tinf = 1100, tlb = 380, t0 = 185, za = 117.2, z0 = 94.4, r12 = 0.15, zlb = 120, s2 = 0.02;
  double alpha = 0, xm = 28, dlb = 3e11, tz = 0;
  auto prof = [&](double alt, double m) {
    return denss_(&alt, &dlb, &tinf, &tlb, &m, &alpha, &tz, &zlb, &s2, &t0, &za, &z0, &r12);
  };
  EXPECT_NEAR(prof(z0, 0), t0, 1e-9);
  EXPECT_EQ(tz, prof(z0, 0));
  const double t_above = prof(za + 1e-9, 0), t_below = prof(za - 1e-9, 0);
  EXPECT_NEAR(t_above, t_below, 1e-6);
  const double d_above = prof(za + 1e-9, xm), d_below = prof(za - 1e-9, xm);
  EXPECT_NEAR(d_below / d_above, 1.0, 1e-9);
  // Hydrostatic: d ln n / dz = -(1/T)(dT/dz)(1 + alpha) - m g / (k T) just below za.
  const double h = 1e-3, z = 105.0;
  const double dlnn = (std::log(prof(z + h, xm)) - std::log(prof(z - h, xm))) / (2 * h);
  const double dT = (prof(z + h, 0) - prof(z - h, 0)) / (2 * h);
  const double T = prof(z, 0);
  const double g = 980.665 / std::pow(1 + z / 6356.77, 2);
  EXPECT_NEAR(dlnn, -dT / T - xm * g / (831.4 * T), 1e-6);
}

// The MSIS-86 profile's diagnostic line (a negative exospheric temperature
// makes the temperature at the point negative) writes its numbers with a
// decimal point also in a host whose locale writes a decimal comma: the very
// line of the C locale, whose first five numbers read back as the inputs.
TEST(Msis86, DenssDiagnosticLineInADecimalCommaLocale) {
  double alt = 300.0, dlb = 3e11, tinf = -4195.25, tlb = 220.5, xm = 28.0, alpha = 0.0, tz = 0.0;
  double zlb = 120.0, s2 = 0.0155, t0 = 129.75, za = 117.2, z0 = 94.4, r12 = 0.15;
  auto line = [&] {
    msistest::begin_capture();
    denss_(&alt, &dlb, &tinf, &tlb, &xm, &alpha, &tz, &zlb, &s2, &t0, &za, &z0, &r12);
    return msistest::end_capture();
  };
  const std::string plain = line();
  const double given[5] = {alt, xm, tinf, tlb, t0};
  const char* p = plain.c_str();
  for (double g : given) {
    char* end = nullptr;
    EXPECT_NEAR(std::strtod(p, &end), g, 5e-7 * std::fabs(g)) << plain;
    ASSERT_NE(end, p) << plain;
    p = end;
  }
  const kest_test::DecimalCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no decimal-comma locale can be built here";
  EXPECT_EQ(line(), plain);
}

// MSIS-86 computes with its own gravity whatever the later generations
// leave in the shared gravity record.
TEST(Msis86, OwnGravity) {
  const msistest::KeepSettings keep;
  tselec_(msistest::all_on().data());
  int iyd = 172, mass = 48;
  double sec = 29000, alt = 300, lat = 60, lon = -70, stl = 16, fa = 150, f = 150;
  double ap[7] = {4, 4, 4, 4, 4, 4, 4}, d1[8], t1[2], d2[8], t2[2];
  gts5_(&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap, &mass, d1, t1);
  kest::parmb.gsurf = 970.0;
  kest::parmb.re_eff = 6300.0;
  gts5_(&iyd, &sec, &alt, &lat, &lon, &stl, &fa, &f, ap, &mass, d2, t2);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(d1[i], d2[i]);
}

// The README example, built by CMake against the public header, runs.
TEST(MsisExample, BuildsAndRuns) {
  FILE* f = popen(KEST_EXAMPLE_NRLMSISE00, "r");
  ASSERT_NE(f, nullptr);
  char line[256];
  std::vector<double> rho;
  while (std::fgets(line, sizeof line, f)) {
    double alt = 0, r = 0;
    ASSERT_EQ(std::sscanf(line, "%lf km rho %lf", &alt, &r), 2) << line;
    rho.push_back(r);
  }
  ASSERT_EQ(pclose(f), 0);
  ASSERT_EQ(rho.size(), 3u);
  // 50, 120, 400 km: the mass density falls by orders of magnitude.
  EXPECT_GT(rho[0], 1e4 * rho[1]);
  EXPECT_GT(rho[1], 1e3 * rho[2]);
}

namespace {

// The three entries: argc ignored, the twelve addresses forwarded to the
// driver (its outputs reach the caller), 9.9 returned.
TEST(MsisEntries, ForwardToTheirDrivers) {
  const msistest::KeepSettings keep;
  using Entry = float (*)(int, void**);
  using Driver = void (*)(int*, int*, int*, double*, double*, double*, double*, double*, double*,
                          double*, double*, double*);
  const struct {
    Entry entry;
    Driver driver;
  } pairs[] = {{&msis86_idl_, &msis86_}, {&msise90_idl_, &msise90_}, {&nrlmsise00_idl_, &nrlmsise00_}};
  for (const auto& p : pairs) {
    for (int argc : {0, 12, -1}) {
      int n = 1, which = 1, doy = 172;
      double ut = 29000, alt = 400, lat = 60, lon = -70, fa = 150, f = 150, ap[7] = {4, 4, 4, 4, 4, 4, 4};
      double d1[9] = {}, t1[2] = {}, d2[9] = {}, t2[2] = {};
      void* argv[] = {&n, &which, &doy, &ut, &alt, &lat, &lon, &fa, &f, ap, d1, t1};
      EXPECT_EQ(p.entry(argc, argv), 9.9f);
      p.driver(&n, &which, &doy, &ut, &alt, &lat, &lon, &fa, &f, ap, d2, t2);
      for (int k = 0; k < 9; ++k) EXPECT_EQ(d1[k], d2[k]) << k;
      EXPECT_EQ(t1[0], t2[0]);
      EXPECT_EQ(t1[1], t2[1]);
      EXPECT_GT(t1[0], 500.0);  // an exospheric temperature was written
    }
  }
}

}  // namespace
