// Mission-averaged geostationary electron model: the compiled tables, the
// solar-cycle year, mission averages and interpolation by hand, band and
// integral fluxes against closed-form trapezoid sums, the table-energy
// write-back, and the stops.
#include <climits>
#include <cmath>
#include <string>
#include <gtest/gtest.h>
#include <unistd.h>

#include "kest/radiation.h"
#include "mission_call.hpp"
#include "radiation/mission_state.hpp"

namespace {

using mission_test::Call;
using mission_test::kFill;
using mission_test::kTooManyEnergiesLine;
using mission_test::trapezoid_power_law;

// Table energies as the model lists them (MeV); entry 13 is 0.03674 in
// version 1.
const double kE[27] = {0.0009171, 0.001204, 0.001572, 0.002051, 0.002668, 0.003468, 0.00453,
                       0.005899,  0.007731, 0.01015,  0.01328,  0.01735,  0.03,     0.06124,
                       0.08874,   0.1255,   0.18371,  0.26622,  0.39686,  0.61237,  0.9083,
                       1.28452,   1.98997,  2.43721,  3.07408,  3.96862,  5.19615};

// flux_tab(entry, cycle year) of the loaded version, entry numbered from 1.
double tab(int entry, int cycle_year) { return kest::param_ruk.flux_tab[cycle_year + 6][entry - 1]; }

int count_nonzero() {
  int n = 0;
  for (const auto& col : kest::param_ruk.flux_tab)
    for (double f : col) n += f != 0.0;
  return n;
}

TEST(RukTables, CountsAndTellingValues) {
  search_flux_tab_v3_();
  for (int j = 0; j < 27; ++j) EXPECT_EQ(kest::param_ruk.e_tab[j], kE[j]) << j + 1;
  EXPECT_EQ(kest::param_ruk.emin, 0.0009171);
  EXPECT_EQ(kest::param_ruk.emax, 5.19615);
  EXPECT_EQ(count_nonzero(), 27 * 11);
  EXPECT_EQ(tab(1, -6), 1.35e7);   // first corner
  EXPECT_EQ(tab(1, 4), 1.39e7);
  EXPECT_EQ(tab(27, -6), 0.00127);
  EXPECT_EQ(tab(27, 4), 0.00135);  // last corner
  EXPECT_EQ(tab(13, -2), 2.42e5);
  EXPECT_EQ(tab(16, -4), 1.11e4);
  EXPECT_EQ(tab(20, 0), 117.0);
  EXPECT_EQ(tab(11, 3), 9.68e5);

  search_flux_tab_v1_();  // clears what version 3 left
  EXPECT_EQ(kest::param_ruk.e_tab[12], 0.03674);
  EXPECT_EQ(kest::param_ruk.e_tab[13], 0.06124);
  EXPECT_EQ(kest::param_ruk.emin, 0.03674);
  EXPECT_EQ(kest::param_ruk.emax, 1.28452);
  EXPECT_EQ(count_nonzero(), 10 * 11);
  EXPECT_EQ(tab(12, -6), 0.0);
  EXPECT_EQ(tab(23, 4), 0.0);
  EXPECT_EQ(tab(13, -6), 1.53e5);
  EXPECT_EQ(tab(22, 4), 4.25);
  // The published version-1 entry at 0.1255 MeV, cycle year -4, is ten
  // times its neighbours; it is kept as published.
  EXPECT_EQ(tab(16, -4), 9.68e4);
  EXPECT_EQ(tab(16, -5), 8760.0);
  EXPECT_EQ(tab(16, -3), 1.1e4);

  search_flux_tab_v2_();
  EXPECT_EQ(kest::param_ruk.e_tab[12], 0.03);
  EXPECT_EQ(kest::param_ruk.emin, 0.03);
  EXPECT_EQ(kest::param_ruk.emax, 5.19615);
  EXPECT_EQ(count_nonzero(), 15 * 11);
  EXPECT_EQ(tab(12, 0), 0.0);
  EXPECT_EQ(tab(13, -6), 1.92e5);  // version 3 values from entry 13 on
  EXPECT_EQ(tab(16, -4), 1.11e4);
  EXPECT_EQ(tab(27, 4), 0.00135);
}

TEST(RukCycleYear, MinimaExamplesAndPeriodRule) {
  const int cases[][2] = {
      // the model's examples
      {1902, 0}, {1906, 4}, {1907, -6}, {1969, -7}, {2000, 4}, {2001, -6}, {2012, -6}, {2018, 0},
      {2022, 4},
      // the years of the tabulated minima
      {1913, 0}, {1923, 0}, {1933, 0}, {1944, 0}, {1954, 0}, {1964, 0}, {1976, 0}, {1986, 0},
      {1996, 0},
      // neighbours of a minimum: four years after it, then counting down
      {1995, -1}, {1990, 4}, {1991, -5}, {1968, 4}, {1975, -1},
      // the period rule: 1996.333 + 10.966 = 2007.299, + 10.966 = 2018.265
      {2006, -1}, {2007, 0}, {2011, 4}, {2017, -1},
      // later minima at the same period: 2029.231, 2040.197
      {2023, -6}, {2028, -1}, {2029, 0}, {2033, 4}, {2034, -6}, {2040, 0},
      // far ahead: 1996.333 + 91 x 10.966 = 2994.239, then 3005.205
      {2994, 0}, {2998, 4}, {2999, -6}, {3000, -5}, {3005, 0},
      // before the first minimum: years to it
      {1901, -1}, {1896, -6},
  };
  for (const auto& c : cases) {
    int year = c[0], cy = 99;
    calc_year_cycle_(&year, &cy);
    EXPECT_EQ(cy, c[1]) << year;
  }
  // Any later year has a cycle year the tables hold.
  for (int year : {2100, 12345, 2147483647}) {
    int cy = 99;
    calc_year_cycle_(&year, &cy);
    EXPECT_GE(cy, -6) << year;
    EXPECT_LE(cy, 4) << year;
  }
}

// One-year and short missions at chosen energies, by hand: the mean is 1000 x
// the table (per keV to per MeV) averaged over the mission's cycle years,
// interpolated as a power law between the table energies around E; lower and
// upper are mean / f and mean x f with f = 0.47 E + 1.4 up to 1.28452 MeV and
// 0.6 E + 1.4 above.
TEST(RukMeanFlux, ShortMissionsByHand) {
  auto power = [](double e0, double f0, double e1, double f1, double E) {
    return f0 * std::pow(E / e0, std::log(f1 / f0) / std::log(e1 / e0));
  };
  const double Eg = std::sqrt(0.06124 * 0.08874);
  struct Case {
    int launch, duration, whichm;
    double E, mean, factor;
    const char* why;
  } cases[] = {
      {2001, 1, 3, 0.002668, 7.07e9, 0.002668 * 0.47 + 1.4, "2001: cycle -6, table energy 5"},
      {2018, 1, 3, Eg, 1000.0 * std::sqrt(6.39e4 * 2.64e4), Eg * 0.47 + 1.4,
       "2018: cycle 0, geometric mean of energies 14 and 15"},
      {2005, 3, 3, 0.61237, 1000.0 * (171.0 + 145.0 + 117.0) / 3.0, 0.61237 * 0.47 + 1.4,
       "2005-2007: cycles -2, -1, 0"},
      {1969, 1, 1, 0.1255, 9.18e6, 0.1255 * 0.47 + 1.4, "1969: cycle -7 takes the -6 column"},
      {2003, 1, 1, 0.1255, 9.68e7, 0.1255 * 0.47 + 1.4, "2003: cycle -4, the published 9.68e4"},
      {1906, 1, 2, 2.0, 1000.0 * power(1.98997, 0.556, 2.43721, 0.192, 2.0), 2.6,
       "1906: cycle 4, above 1.28452 MeV"},
      {2016, 1, 1, 1.0, 1000.0 * power(0.9083, 53.9, 1.28452, 18.6, 1.0), 1.87,
       "2016: cycle -2, at 1 MeV"},
      {2023, 1, 3, 0.61237, 75.6e3, 0.61237 * 0.47 + 1.4, "2023: next period, cycle -6"},
      {2001, 12, 3, 0.61237, 1000.0 * (75.6 + 63.3 + 99.6 + 122 + 171 + 145 + 117 + 99.3 + 98.7 +
                                       77 + 65.7 + 75.6) / 12.0,
       0.61237 * 0.47 + 1.4, "2001-2012: one whole cycle and 2012 again at -6"},
  };
  for (const Case& c : cases) {
    Call k;
    k.launch = c.launch, k.duration = c.duration, k.whichm = c.whichm, k.whatf = 1;
    k.energies({c.E});
    k.run(fly_in_ruk1_);
    EXPECT_NEAR(k.mean[0], c.mean, 1e-12 * c.mean) << c.why;
    EXPECT_NEAR(k.lower[0], c.mean / c.factor, 1e-12 * c.mean) << c.why;
    EXPECT_NEAR(k.upper[0], c.mean * c.factor, 1e-12 * c.mean * c.factor) << c.why;
  }
}

TEST(RukMeanFlux, RangeEdgesAndUnusedEntries) {
  Call k;
  k.whichm = 1;
  k.launch = 2001;
  for (double& x : k.lower) x = 5.0;
  // below emin, above emax, exactly emin and emax, an energy of 0
  k.energies({0.03, 2.0, 0.03674, 1.28452, 0.0});
  k.run(fly_in_ruk1_);
  for (int j : {0, 1, 4}) {
    EXPECT_EQ(k.lower[j], kFill) << j;
    EXPECT_EQ(k.mean[j], kFill) << j;
    EXPECT_EQ(k.upper[j], kFill) << j;
  }
  EXPECT_NEAR(k.mean[2], 1.53e8, 1e-12 * 1.53e8);
  EXPECT_NEAR(k.mean[3], 4630.0, 1e-12 * 4630.0);
  for (int j = 5; j < 50; ++j) EXPECT_EQ(k.lower[j], 0.0) << j;  // zeroed beyond Nene

  // At emin of version 2 (0.03 MeV, entry 13) the line runs to entry 14, not
  // to the empty entry 12.
  Call v2;
  v2.whichm = 2;
  v2.launch = 2001;
  v2.energies({0.03});
  v2.run(fly_in_ruk1_);
  EXPECT_NEAR(v2.mean[0], 1.92e8, 1e-12 * 1.92e8);
}

TEST(RukMeanFlux, TableEnergiesWrittenBackWhenNeneIsZero) {
  Call k;  // version 3, 2018 (cycle 0)
  for (double& e : k.energy) e = 7.0;
  k.whatf = 1;
  k.run(fly_in_ruk1_);
  ASSERT_EQ(k.nene, 27);
  for (int j = 0; j < 27; ++j) {
    EXPECT_EQ(k.energy[2 * j], kE[j]) << j;
    EXPECT_EQ(k.energy[2 * j + 1], 0.0) << j;
    EXPECT_NEAR(k.mean[j], 1000.0 * tab(j + 1, 0), 1e-12 * 1000.0 * tab(j + 1, 0)) << j;
  }
  EXPECT_EQ(k.energy[54], 7.0);
  EXPECT_EQ(k.mean[27], 0.0);

  // Bands: the 26 intervals between the table energies; Nene reads 26.
  Call b;
  for (double& e : b.energy) e = 7.0;
  b.whatf = 2;
  b.run(fly_in_ruk1_);
  ASSERT_EQ(b.nene, 26);
  for (int j = 0; j < 26; ++j) {
    EXPECT_EQ(b.energy[2 * j], kE[j]) << j;
    EXPECT_EQ(b.energy[2 * j + 1], kE[j + 1]) << j;
    EXPECT_GT(b.mean[j], 0.0) << j;
  }
  EXPECT_EQ(b.energy[52], 7.0);
  EXPECT_EQ(b.mean[26], 0.0);

  // Integrals: 27 lower limits, the upper edges left as given.
  Call i;
  for (double& e : i.energy) e = 7.0;
  i.whatf = 3;
  i.whichm = 1;
  i.run(fly_in_ruk1_);
  ASSERT_EQ(i.nene, 27);
  for (int j = 0; j < 27; ++j) {
    EXPECT_EQ(i.energy[2 * j], j == 12 ? 0.03674 : kE[j]) << j;
    EXPECT_EQ(i.energy[2 * j + 1], 7.0) << j;
  }
  // From below version 1's range only the part inside counts, which starts
  // above emin: less than the integral from emin.
  EXPECT_GT(i.mean[11], 0.0);
  EXPECT_LT(i.mean[11], i.mean[12]);
  EXPECT_GT(i.mean[12], i.mean[13]);
  EXPECT_EQ(i.mean[21], 0.0);     // from emax to emax
  EXPECT_EQ(i.mean[22], kFill);   // above it
}

// Band and integral fluxes inside one table interval, where the mean is the
// power law A E^s through the two table values: the trapezoid sum on 100
// energies evenly spaced in ln E, in closed form. The upper flux is A E^s (c E
// + 1.4) (two power laws); the lower flux A E^s / (c E + 1.4) is checked
// against the exact integral (Simpson in ln E), within the trapezoid error.
TEST(RukBandFlux, TrapezoidSumsByHand) {
  auto simpson_lower = [](double A, double s, double c, double a, double b) {
    const int n = 2000;
    const double h = std::log(b / a) / n;
    double sum = 0.0;
    for (int i = 0; i <= n; ++i) {
      const double E = a * std::exp(i * h);
      const double g = A * std::pow(E, s) / (c * E + 1.4) * E;  // dE = E d(ln E)
      sum += g * (i == 0 || i == n ? 1.0 : (i % 2 ? 4.0 : 2.0));
    }
    return sum * h / 3.0;
  };
  struct Case {
    int whatf;
    double e0, f0, e1, f1, c;  // table energies and values (per keV) around the band; slope c
    double E1, E2;
  } cases[] = {
      {2, 0.06124, 6.39e4, 0.08874, 2.64e4, 0.47, 0.06124, 0.08874},  // band = one table interval
      {2, 0.39686, 524.0, 0.61237, 117.0, 0.47, 0.42, 0.55},          // band inside an interval
      {3, 3.96862, 0.0331, 5.19615, 0.00527, 0.6, 3.96862, 5.19615},  // integral from entry 26 to emax
      // A band ending at emax whose last sub-energy, 4.61 x (5.19615 / 4.61),
      // rounds one ulp above emax.
      {2, 3.96862, 0.0331, 5.19615, 0.00527, 0.6, 4.61, 5.19615},
      // A band ending at the table energy 1.28452 MeV, where the uncertainty
      // factor changes slope, whose last sub-energy 1.2 x (1.28452 / 1.2)
      // rounds one ulp above it: every sub-energy takes the factor of the
      // energies up to 1.28452 MeV, the last one too.
      {2, 0.9083, 32.6, 1.28452, 9.84, 0.47, 1.2, 1.28452},
  };
  ASSERT_GT(1.2 * (1.28452 / 1.2), 1.28452);  // the rounding the last case is about
  for (const Case& c : cases) {
    Call k;  // version 3, 2018: cycle 0
    k.whatf = c.whatf;
    k.bands({{c.E1, c.whatf == 2 ? c.E2 : 0.0}});
    k.run(fly_in_ruk1_);
    const double s = std::log(c.f1 / c.f0) / std::log(c.e1 / c.e0);
    const double A = 1000.0 * c.f0 / std::pow(c.e0, s);
    const double mean = trapezoid_power_law(A, s, c.E1, c.E2, 100);
    const double upper = c.c * trapezoid_power_law(A, s + 1.0, c.E1, c.E2, 100) +
                         1.4 * trapezoid_power_law(A, s, c.E1, c.E2, 100);
    EXPECT_NEAR(k.mean[0], mean, 1e-11 * mean) << c.E1;
    EXPECT_NEAR(k.upper[0], upper, 1e-11 * upper) << c.E1;
    // Against exact integrals: the trapezoid rule's relative error on 99
    // steps of h in ln E is about (s+1)^2 h^2 / 12, below 1e-4 for the
    // steepest case here (s = -6.6, h = 0.0027).
    const double lower = simpson_lower(A, s, c.c, c.E1, c.E2);
    EXPECT_NEAR(k.lower[0], lower, 1e-4 * lower) << c.E1;
    const double exact = A / (s + 1.0) * (std::pow(c.E2, s + 1.0) - std::pow(c.E1, s + 1.0));
    EXPECT_NEAR(k.mean[0], exact, 1e-4 * exact) << c.E1;
  }
}

TEST(RukBandFlux, EdgesOfTheIntegral) {
  Call k;
  k.whatf = 3;
  k.energies({6.0, 5.19615});  // above emax: fill; at emax: an empty integral
  k.run(fly_in_ruk1_);
  EXPECT_EQ(k.lower[0], kFill);
  EXPECT_EQ(k.mean[0], kFill);
  EXPECT_EQ(k.upper[0], kFill);
  EXPECT_EQ(k.lower[1], 0.0);
  EXPECT_EQ(k.mean[1], 0.0);
  EXPECT_EQ(k.upper[1], 0.0);

  // A band reaching above emax is fill; a band given downwards is the
  // negative of the same band upwards, also when it ends at emin or at the
  // uncertainty factor's switch and its last sub-energy, E1 x (E2/E1),
  // rounds one ulp past that end (below emin, above 1.28452 MeV).
  ASSERT_LT(0.023 * (0.0009171 / 0.023), 0.0009171);
  ASSERT_GT(5.071 * (1.28452 / 5.071), 1.28452);
  Call b;
  b.whatf = 2;
  b.bands({{5.0, 5.5}, {0.08874, 0.06124}, {0.06124, 0.08874}, {0.023, 0.0009171}, {0.0009171, 0.023},
           {5.071, 1.28452}, {1.28452, 5.071}});
  b.run(fly_in_ruk1_);
  EXPECT_EQ(b.mean[0], kFill);
  for (int j : {1, 3, 5}) {
    EXPECT_LT(b.mean[j], 0.0) << j;
    EXPECT_NEAR(b.lower[j], -b.lower[j + 1], 1e-10 * b.lower[j + 1]) << j;
    EXPECT_NEAR(b.mean[j], -b.mean[j + 1], 1e-10 * b.mean[j + 1]) << j;
    EXPECT_NEAR(b.upper[j], -b.upper[j + 1], 1e-10 * b.upper[j + 1]) << j;
  }
}

// A band that starts below emin: its sub-energies below the range take no
// part, the sum starts at the first one inside (index k0 of 0..99), whatever
// was computed before in the process.
TEST(RukBandFlux, BandStartingBelowTheRangeSumsItsPartInside) {
  const double E1 = 0.03, E2 = 0.06124, emin = 0.03674;
  const int k0 = static_cast<int>(std::ceil(99.0 * std::log(emin / E1) / std::log(E2 / E1)));
  ASSERT_EQ(k0, 29);
  const double r = std::pow(E2 / E1, 1.0 / 99.0);
  const double s = std::log(6.39e4 / 1.4e5) / std::log(0.06124 / 0.03674);  // version 1, cycle 0
  const double A = 1000.0 * 1.4e5 / std::pow(0.03674, s);
  const double expected = trapezoid_power_law(A, s, E1 * std::pow(r, k0), E2, 100 - k0);

  auto band = [&] {
    Call k;
    k.whichm = 1;
    k.whatf = 2;
    k.bands({{E1, E2}});
    k.run(fly_in_ruk1_);
    return k.mean[0];
  };
  const double first = band();
  EXPECT_NEAR(first, expected, 1e-11 * expected);
  // Another call in between (a large flux at a low energy of version 3)
  // leaves nothing behind for the next band.
  Call other;
  other.energies({0.001});
  other.run(fly_in_ruk1_);
  EXPECT_EQ(band(), first);
}

TEST(RukMeanFlux, DurationOutsideOneTo10000YearsAndTooManyEnergies) {
  Call k;
  k.duration = 0;
  k.energies({0.1, 0.2});
  k.run(fly_in_ruk1_);
  EXPECT_EQ(k.mean[0], kFill);
  EXPECT_EQ(k.lower[1], kFill);
  EXPECT_EQ(k.upper[1], kFill);
  EXPECT_EQ(k.mean[2], 0.0);

  // A duration beyond any mission (up to 2^31 years, which would take
  // minutes to average) gives fill at once, in both mission models; 10000
  // years is averaged.
  for (auto core : {fly_in_ruk1_, fly_in_meo_gnss1_}) {
    for (int duration : {10001, INT_MAX}) {
      Call d;
      d.duration = duration;
      d.whichm = 1;
      d.energies({0.5});
      alarm(10);
      d.run(core);
      alarm(0);
      EXPECT_EQ(d.mean[0], kFill) << duration;
      EXPECT_EQ(d.upper[0], kFill) << duration;
    }
    Call longest;
    longest.duration = 10000;
    longest.whichm = 1;
    longest.energies({0.5});
    longest.run(core);
    EXPECT_GT(longest.mean[0], 0.0);
  }

  // Nene 60: the 50 entries the arrays hold are computed, nothing beyond,
  // and a message says that the rest were not.
  Call m;
  m.energies(std::vector<double>(50, 0.61237));
  m.nene = 60;
  testing::internal::CaptureStdout();
  m.run(fly_in_ruk1_);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(kTooManyEnergiesLine));
  EXPECT_TRUE(m.canaries_intact());
  EXPECT_NEAR(m.mean[49], 117e3, 1e-12 * 117e3);
  EXPECT_EQ(m.nene, 60);
}

TEST(RukEntry, ForwardsToTheCore) {
  Call k, e;
  k.energies({0.1255, 0.9083});
  e.energies({0.1255, 0.9083});
  k.run(fly_in_ruk1_);
  void* argv[9] = {&e.launch, &e.duration, &e.whichm, &e.whatf, &e.nene,
                   e.energy,  e.lower,     e.mean,     e.upper};
  EXPECT_EQ(fly_in_ruk_(9, argv), 9.9f);
  for (int j = 0; j < 2; ++j) EXPECT_EQ(e.mean[j], k.mean[j]);
}

// The stops: exact message lines on standard output, exit status 1.
TEST(RukStops, MessagesAndExitStatus) {
  const char* launch = "^ \\*{29}\n Launch Year is out of range\n \\*{29}\n$";
  const char* whichm = "^ \\*{29}\n Bad Input Parameter: whichm\n Available choices: 1, 2 or 3\n \\*{29}\n$";
  const char* whatf = "^ \\*{29}\n Bad Input Parameter: whatf\n Available choices: 1, 2 or 3\n \\*{29}\n$";
  struct Case {
    int launch, whichm, whatf;
    const char* message;
  } cases[] = {
      {0, 1, 1, launch}, {1901, 3, 1, launch}, {-2000, 3, 1, launch}, {0, 9, 9, launch},
      {2000, 4, 1, whichm}, {2000, 0, 9, whichm}, {2000, 3, 0, whatf}, {2000, 1, 4, whatf},
  };
  for (const Case& c : cases) {
    Call k;
    k.launch = c.launch, k.whichm = c.whichm, k.whatf = c.whatf;
    k.energies({0.1});
    EXPECT_EXIT(
        {
          dup2(2, 1);
          k.run(fly_in_ruk1_);
        },
        testing::ExitedWithCode(1), c.message)
        << c.launch << " " << c.whichm << " " << c.whatf;
  }
}

}  // namespace
