// Mission-averaged MEO GNSS electron model: the compiled tables, integral,
// differential and band fluxes by hand from the averaged integral spectrum,
// the table-energy write-back, and the stops.
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

double tab(int slot, int cycle_year) { return kest::param_meo_gnss.flux_tab[cycle_year + 6][slot - 1]; }

int count_nonzero() {
  int n = 0;
  for (const auto& col : kest::param_meo_gnss.flux_tab)
    for (double f : col) n += f != 0.0;
  return n;
}

// The single-precision step of the difference, 0.01 MeV.
const double kDelta = 0.009999999776482582;

// Uncertainty factors of the two versions (E in MeV).
double f1(double E) { return 2.0 * E + 1.76; }
double f2(double E) { return 1.6 * E + 2.4; }

// Integral flux between two table energies: the power law through them.
double power(double e0, double j0, double e1, double j1, double E) {
  return j0 * std::pow(E / e0, std::log(j1 / j0) / std::log(e1 / e0));
}

TEST(MeoGnssTables, CountsAndTellingValues) {
  search_flux_tab_meov2_();
  const double e[7] = {0.28, 0.4, 0.56, 0.8, 1.12, 1.6, 2.24};
  for (int j = 0; j < 7; ++j) EXPECT_EQ(kest::param_meo_gnss.e_tab[j], e[j]);
  for (int j = 7; j < 30; ++j) EXPECT_EQ(kest::param_meo_gnss.e_tab[j], 0.0);
  EXPECT_EQ(kest::param_meo_gnss.emin, 0.28);
  EXPECT_EQ(kest::param_meo_gnss.emax, 2.24);
  EXPECT_EQ(count_nonzero(), 7 * 11);
  EXPECT_EQ(tab(1, -6), 649000.0);
  EXPECT_EQ(tab(1, -2), 1310000.0);
  EXPECT_EQ(tab(7, 4), 1090.0);
  EXPECT_EQ(tab(4, 3), 68100.0);
  EXPECT_EQ(tab(6, 2), 9670.0);

  // Version 1 after version 2: five slots, the same in every cycle year, and
  // no version-2 energy left in slots 6 and 7.
  search_flux_tab_meov1_();
  EXPECT_EQ(kest::param_meo_gnss.emax, 1.12);
  EXPECT_EQ(kest::param_meo_gnss.e_tab[4], 1.12);
  EXPECT_EQ(kest::param_meo_gnss.e_tab[5], 0.0);
  EXPECT_EQ(kest::param_meo_gnss.e_tab[6], 0.0);
  EXPECT_EQ(count_nonzero(), 5 * 11);
  const double v1[5] = {917000, 554000, 279000, 117000, 51500};
  for (int cy = -6; cy <= 4; ++cy)
    for (int j = 0; j < 5; ++j) EXPECT_EQ(tab(j + 1, cy), v1[j]) << cy;
}

// Integral flux above E1 (whatf 3) with its bounds, by hand from the table.
TEST(MeoGnssFlux, IntegralByHand) {
  struct Case {
    int launch, duration, whichm;
    double E, mean, factor;
    const char* why;
  } cases[] = {
      {2016, 1, 2, 0.8, 209000.0, f2(0.8), "2016: cycle -2"},
      {2005, 3, 2, 1.12, (88400.0 + 63400.0 + 44700.0) / 3.0, f2(1.12), "2005-2007: -2, -1, 0"},
      {2023, 1, 2, 0.28, 649000.0, f2(0.28), "2023: next period, cycle -6"},
      {1969, 1, 2, 2.24, 1120.0, f2(2.24), "1969: cycle -7 takes -6"},
      {2018, 1, 2, 1.0, power(0.8, 117000.0, 1.12, 44700.0, 1.0), 4.0, "factor 4.0 at 1 MeV"},
      {2018, 1, 1, 1.0, power(0.8, 117000.0, 1.12, 51500.0, 1.0), 3.76, "factor 3.76 at 1 MeV"},
      {1950, 5, 1, 0.28, 917000.0, f1(0.28), "version 1: any years"},
  };
  for (const Case& c : cases) {
    Call k;
    k.launch = c.launch, k.duration = c.duration, k.whichm = c.whichm, k.whatf = 3;
    k.energies({c.E});
    k.run(fly_in_meo_gnss1_);
    EXPECT_NEAR(k.mean[0], c.mean, 1e-12 * c.mean) << c.why;
    EXPECT_NEAR(k.lower[0], c.mean / c.factor, 1e-12 * c.mean) << c.why;
    EXPECT_NEAR(k.upper[0], c.mean * c.factor, 1e-12 * c.mean * c.factor) << c.why;
  }
}

TEST(MeoGnssFlux, VersionOneIgnoresTheMissionYears) {
  auto mean_at = [](int launch, int duration) {
    Call k;
    k.launch = launch, k.duration = duration, k.whichm = 1, k.whatf = 1;
    k.energies({0.5, 0.9});
    k.run(fly_in_meo_gnss1_);
    return std::pair{k.mean[0], k.mean[1]};
  };
  const auto a = mean_at(2018, 1);
  for (auto [launch, duration] : {std::pair{1950, 5}, {2001, 1}, {1969, 11}, {2030, 3}}) {
    const auto b = mean_at(launch, duration);
    EXPECT_NEAR(b.first, a.first, 1e-12 * a.first) << launch;
    EXPECT_NEAR(b.second, a.second, 1e-12 * a.second) << launch;
  }
}

// Differential flux (whatf 1): the difference of the integral flux over
// E -/+ delta, one-sided at the ends of the range; the band mean (whatf 2):
// (J(E1) - J(E2)) / (E2 - E1), bounds alike.
TEST(MeoGnssFlux, DifferencesByHand) {
  Call k;  // version 1
  k.whichm = 1;
  k.energies({0.28, 0.285, 1.12, 0.5});
  k.run(fly_in_meo_gnss1_);
  const double Eb = 0.28 + kDelta;
  const double J0 = 917000.0, Jb = power(0.28, 917000.0, 0.4, 554000.0, Eb);
  EXPECT_NEAR(k.mean[0], (J0 - Jb) / kDelta, 1e-9 * k.mean[0]);
  EXPECT_NEAR(k.lower[0], (J0 / f1(0.28) - Jb / f1(Eb)) / kDelta, 1e-9 * k.lower[0]);
  EXPECT_NEAR(k.upper[0], (J0 * f1(0.28) - Jb * f1(Eb)) / kDelta, 1e-9 * k.upper[0]);
  EXPECT_EQ(k.mean[1], kFill);  // 0.285 - delta lies below emin
  EXPECT_EQ(k.lower[1], kFill);
  EXPECT_EQ(k.upper[1], kFill);
  const double Ea = 1.12 - kDelta;
  EXPECT_NEAR(k.mean[2], (power(0.8, 117000.0, 1.12, 51500.0, Ea) - 51500.0) / kDelta, 1e-9 * k.mean[2]);
  const double Ja = power(0.4, 554000.0, 0.56, 279000.0, 0.5 - kDelta);
  const double Jc = power(0.4, 554000.0, 0.56, 279000.0, 0.5 + kDelta);
  EXPECT_NEAR(k.mean[3], (Ja - Jc) / (2.0 * kDelta), 1e-9 * k.mean[3]);

  Call b;  // version 2, 2018: cycle 0
  b.whichm = 2;
  b.whatf = 2;
  b.bands({{0.4, 0.56}, {1.6, 2.5}, {0.5, 0.5}});
  b.run(fly_in_meo_gnss1_);
  EXPECT_NEAR(b.mean[0], (588000.0 - 283000.0) / 0.16, 1e-12 * b.mean[0]);
  EXPECT_NEAR(b.lower[0], (588000.0 / f2(0.4) - 283000.0 / f2(0.56)) / 0.16, 1e-12 * b.lower[0]);
  EXPECT_NEAR(b.upper[0], (588000.0 * f2(0.4) - 283000.0 * f2(0.56)) / 0.16, 1e-12 * b.upper[0]);
  EXPECT_EQ(b.mean[1], kFill);  // reaches above emax
  // A band of zero width gives the differential flux at its energy.
  Call d;
  d.whichm = 2;
  d.energies({0.5});
  d.run(fly_in_meo_gnss1_);
  EXPECT_EQ(b.mean[2], d.mean[0]);
  EXPECT_EQ(b.lower[2], d.lower[0]);
  EXPECT_TRUE(std::isfinite(b.upper[2]));
}

// Bands a few ulps wide (computed edges: 0.1 + 0.2 against 0.3) give the
// differential flux at E1 like a band of zero width; the difference of two
// integral fluxes equal to within rounding gave 0, -0 or several times the
// flux. A band of 1e-6 relative width gives, to 1e-5, the derivative of the
// power law through the 2018 (cycle 0) integral fluxes 914000 at 0.28 MeV
// and 588000 at 0.4 MeV.
TEST(MeoGnssFlux, BandsNarrowerThanRoundingGiveTheDifferentialFlux) {
  const double e1 = 0.3;
  const double up = std::nextafter(e1, 1.0), down = std::nextafter(e1, 0.0);
  Call d;
  d.whichm = 2;
  d.energies({e1});
  d.run(fly_in_meo_gnss1_);
  ASSERT_GT(d.mean[0], 1.0e6);
  Call b;
  b.whichm = 2;
  b.whatf = 2;
  b.bands({{e1, 0.1 + 0.2}, {e1, up}, {e1, std::nextafter(up, 1.0)}, {e1, down}, {e1, e1 * (1.0 + 1e-12)},
           {e1, e1 * (1.0 + 1e-6)}});
  b.run(fly_in_meo_gnss1_);
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(b.mean[k], d.mean[0]);
    EXPECT_EQ(b.lower[k], d.lower[0]);
    EXPECT_EQ(b.upper[k], d.upper[0]);
  }
  const double p = std::log(588000.0 / 914000.0) / std::log(0.4 / 0.28);
  const double slope = -p * power(0.28, 914000.0, 0.4, 588000.0, e1) / e1;
  EXPECT_NEAR(b.mean[5], slope, 1e-5 * slope);
}

TEST(MeoGnssFlux, TableEnergiesWrittenBackWhenNeneIsZero) {
  const double e[7] = {0.28, 0.4, 0.56, 0.8, 1.12, 1.6, 2.24};
  struct Case {
    int whichm, whatf, count;
  } cases[] = {{1, 1, 5}, {1, 3, 5}, {1, 2, 4}, {2, 1, 7}, {2, 3, 7}, {2, 2, 6}};
  // Version 2 first, so version 1 would find its energies if any were left.
  for (const Case& c : {cases[3], cases[0], cases[1], cases[2], cases[4], cases[5]}) {
    Call k;
    for (double& x : k.energy) x = 7.0;
    k.whichm = c.whichm, k.whatf = c.whatf, k.nene = 0;
    k.run(fly_in_meo_gnss1_);
    ASSERT_EQ(k.nene, c.count) << c.whichm << " " << c.whatf;
    for (int j = 0; j < c.count; ++j) {
      EXPECT_EQ(k.energy[2 * j], e[j]);
      EXPECT_EQ(k.energy[2 * j + 1], c.whatf == 2 ? e[j + 1] : 7.0);
      EXPECT_NE(k.mean[j], 0.0);
    }
    EXPECT_EQ(k.energy[2 * c.count], 7.0);
    EXPECT_EQ(k.mean[c.count], 0.0);
    // 2018 is cycle year 0: the table's column 0 (version 1: its one spectrum).
    if (c.whatf == 3) {
      const double J = c.whichm == 1 ? 917000.0 : 914000.0;
      EXPECT_NEAR(k.mean[0], J, 1e-12 * J);
    }
    if (c.whatf == 2) {
      const double d = c.whichm == 1 ? (554000.0 - 279000.0) / 0.16 : (588000.0 - 283000.0) / 0.16;
      EXPECT_NEAR(k.mean[1], d, 1e-12 * d);
    }
  }
}

TEST(MeoGnssFlux, DurationBelowOneAndTooManyEnergies) {
  Call k;
  k.whichm = 2;
  k.duration = -3;
  k.energies({0.5});
  k.run(fly_in_meo_gnss1_);
  EXPECT_EQ(k.mean[0], kFill);
  EXPECT_EQ(k.mean[1], 0.0);

  Call m;
  m.whichm = 2;
  m.whatf = 3;
  m.energies(std::vector<double>(50, 0.8));
  m.nene = 75;
  testing::internal::CaptureStdout();
  m.run(fly_in_meo_gnss1_);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(kTooManyEnergiesLine));
  EXPECT_TRUE(m.canaries_intact());
  EXPECT_NEAR(m.mean[49], 117000.0, 1e-12 * 117000.0);
}

TEST(MeoGnssEntry, ForwardsToTheCore) {
  Call k, e;
  k.whichm = e.whichm = 2;
  k.energies({0.5, 1.3});
  e.energies({0.5, 1.3});
  k.run(fly_in_meo_gnss1_);
  void* argv[9] = {&e.launch, &e.duration, &e.whichm, &e.whatf, &e.nene,
                   e.energy,  e.lower,     e.mean,     e.upper};
  EXPECT_EQ(fly_in_meo_gnss_(9, argv), 9.9f);
  for (int j = 0; j < 2; ++j) EXPECT_EQ(e.mean[j], k.mean[j]);
}

TEST(MeoGnssStops, MessagesAndExitStatus) {
  const char* launch = "^ \\*{29}\n Launch Year is out of range\n \\*{29}\n$";
  const char* whichm = "^ \\*{29}\n Bad Input Parameter: whichm  \n Available choices: 1, or 2   \n \\*{29}\n$";
  const char* whatf = "^ \\*{29}\n Bad Input Parameter: whatf   \n Available choices: 1, 2 or 3 \n \\*{29}\n$";
  struct Case {
    int launch, whichm, whatf;
    const char* message;
  } cases[] = {
      {0, 1, 1, launch}, {99, 2, 1, launch}, {0, 3, 0, launch},
      {2000, 3, 1, whichm}, {2000, 0, 0, whichm}, {2000, 2, 0, whatf}, {2000, 1, 4, whatf},
  };
  for (const Case& c : cases) {
    Call k;
    k.launch = c.launch, k.whichm = c.whichm, k.whatf = c.whatf;
    k.energies({0.5});
    EXPECT_EXIT(
        {
          dup2(2, 1);
          k.run(fly_in_meo_gnss1_);
        },
        testing::ExitedWithCode(1), c.message)
        << c.launch << " " << c.whichm << " " << c.whatf;
  }
}

}  // namespace
