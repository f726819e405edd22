// The magnetic-activity functions of the three MSIS generations against hand
// derivations: the weighting of the 3-hour Ap history (which slot is which
// time, the decay per 3 hours, the normalisation) and the saturating daily
// Ap function. Each expansion gets a coefficient set of zeros except the
// words under test, so G is the activity term alone.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "atmosphere/atmosphere_state.hpp"
#include "kest/atmosphere.h"
#include "msis_test_util.hpp"

namespace {

using Globe = double (*)(double*, double*, double*, double*, double*, double*, double*, double*,
                         double*);
using Setter = void (*)(double*);

struct Gen {
  const char* name;
  Globe globe;
  Setter setter;
};
const Gen kGens[3] = {{"globe7", &globe7_, &tselec7_},
                      {"globe6", &globe6_, &tselec5_},
                      {"globe5", &globe5_, &tselec_}};

void set_switches(Setter setter, double sw9) {
  std::array<double, 25> sv;
  sv.fill(1.0);
  sv[8] = sw9;
  setter(sv.data());
}

// Weight of history slot j (2..7) in the normalised 3-hour sum for the decay
// e per 3 hours: slots 2 to 5 are the current and the three preceding 3-hour
// values (weights 1, e, e^2, e^3); slots 6 and 7 are means of the next two
// runs of eight values (weights e^4 (1 + e + ... + e^7) and e^12 (1 + ... +
// e^7)). The normalisation is 1 + sqrt(e) (1 + e + ... + e^18).
double slot_weight(int j, double e) {
  double run8 = 0.0, run19 = 0.0;
  for (int k = 0; k < 8; ++k) run8 += std::pow(e, k);
  for (int k = 0; k < 19; ++k) run19 += std::pow(e, k);
  const double w[6] = {1.0, e, e * e, e * e * e, std::pow(e, 4) * run8, std::pow(e, 12) * run8};
  return w[j - 2] / (1.0 + std::sqrt(e) * run19);
}

}  // namespace

// With p(26) = 1 the Ap function is linear, g(ap) = ap - 4, so one history
// slot raised to 5 (the others at 4) gives that slot's weight. p(52) =
// ln 2 / 10800 s with p(139) = 0 makes the decay 1/2 per 3 hours. The daily
// Ap (slot 1) takes no part.
TEST(MsisActivity, ThreeHourHistoryWeights) {
  const msistest::KeepSettings keep;
  for (const Gen& g : kGens) {
    set_switches(g.setter, -1.0);
    for (int j = 1; j <= 7; ++j) {
      std::array<double, 150> p{};
      p[50] = 1.0;                          // p(51): scale of the history term
      p[51] = std::log(2.0) / 10800.0;      // p(52): decay 1/2 per 3 hours
      p[25] = 1.0;                          // p(26): linear Ap function
      std::array<double, 7> ap;
      ap.fill(4.0);
      ap[j - 1] = (j == 1) ? 90.0 : 5.0;
      double yrd = 172, sec = 29000, lat = 60, lon = -70, tloc = 16, fa = 150, f = 150;
      const double got = g.globe(&yrd, &sec, &lat, &lon, &tloc, &fa, &f, ap.data(), p.data());
      const double want = (j == 1) ? 0.0 : slot_weight(j, 0.5);
      EXPECT_NEAR(got, want, 1e-13) << g.name << " slot " << j;
    }
  }
  // Hand values for e = 1/2: normalisation 1 + 2 (1 - 2^-19) / sqrt(2).
  const double norm = 1.0 + 2.0 * (1.0 - std::ldexp(1.0, -19)) / std::sqrt(2.0);
  EXPECT_NEAR(slot_weight(2, 0.5), 1.0 / norm, 1e-15);
  EXPECT_NEAR(slot_weight(6, 0.5), 0.0625 * 1.9921875 / norm, 1e-15);
  EXPECT_NEAR(slot_weight(7, 0.5), std::ldexp(1.0, -12) * 1.9921875 / norm, 1e-15);
}

// MSISE-90 and MSIS-86 also form the history with a second decay, p(54) of
// the thermospheric set, which their lower-atmosphere expansions read: here
// 1/4 per 3 hours.
TEST(MsisActivity, SecondDecayOfTheOlderGenerations) {
  const msistest::KeepSettings keep;
  struct Lower {
    const char* name;
    Globe globe;
    Setter setter;
    double (*lower)(double*);
    int word;  // the lower expansion's coefficient of the history term
    int size;
  } gens[] = {{"glob6s", &globe6_, &tselec5_, &glob6s_, 51, 100},
              {"glob5l", &globe5_, &tselec_, &glob5l_, 3, 25}};
  for (const Lower& g : gens) {
    set_switches(g.setter, -1.0);
    for (int j = 2; j <= 7; ++j) {
      std::array<double, 150> p{};
      p[50] = 1.0;
      p[51] = std::log(2.0) / 10800.0;
      p[53] = std::log(4.0) / 10800.0;  // p(54): second decay 1/4 per 3 hours
      p[25] = 1.0;
      std::array<double, 7> ap;
      ap.fill(4.0);
      ap[j - 1] = 5.0;
      double yrd = 172, sec = 29000, lat = 60, lon = -70, tloc = 16, fa = 150, f = 150;
      g.globe(&yrd, &sec, &lat, &lon, &tloc, &fa, &f, ap.data(), p.data());
      std::array<double, 100> q{};
      q[g.word - 1] = 1.0;
      EXPECT_NEAR(g.lower(q.data()), slot_weight(j, 0.25), 1e-13) << g.name << " slot " << j;
    }
  }
}

// Daily Ap function apdf = apd + (p45 - 1)(apd + (exp(-p44 apd) - 1)/p44),
// apd = Ap - 4, with p(33) = 1 the only term weight; a negative p(44) is
// taken as 1e-5.
TEST(MsisActivity, DailyApFunction) {
  const msistest::KeepSettings keep;
  struct Row {
    double ap, p44, p45, apdf;
  } rows[] = {
      {24, 0.1, 2.0, 40.0 + (std::exp(-2.0) - 1.0) / 0.1},  // 31.35335...
      {24, 0.1, 1.0, 20.0},                                 // p45 = 1: linear
      {4, 0.1, 3.0, 0.0},                                   // quiet: 0
      {24, -0.5, 2.0, 40.0 + (std::exp(-2e-4) - 1.0) / 1e-5},
  };
  EXPECT_NEAR(rows[0].apdf, 31.353352832366127, 1e-12);
  for (const Gen& g : kGens) {
    set_switches(g.setter, 1.0);
    for (const Row& r : rows) {
      std::array<double, 150> p{};
      p[32] = 1.0;  // p(33)
      p[43] = r.p44;
      p[44] = r.p45;
      std::array<double, 7> ap;
      ap.fill(500.0);  // the history slots take no part
      ap[0] = r.ap;
      double yrd = 172, sec = 29000, lat = 60, lon = -70, tloc = 16, fa = 150, f = 150;
      EXPECT_NEAR(g.globe(&yrd, &sec, &lat, &lon, &tloc, &fa, &f, ap.data(), p.data()), r.apdf,
                  1e-10)
          << g.name << " Ap " << r.ap << " p44 " << r.p44 << " p45 " << r.p45;
    }
  }
}

// The date code year x 1000 + day: only the day enters the expansions; the
// year part is split off.
TEST(MsisActivity, DateCodeSplit) {
  const msistest::KeepSettings keep;
  for (const Gen& g : kGens) {
    set_switches(g.setter, 1.0);
    std::array<double, 150> p{};
    std::array<double, 7> ap{4, 4, 4, 4, 4, 4, 4};
    double sec = 29000, lat = 60, lon = -70, tloc = 16, fa = 150, f = 150;
    for (double yrd : {90123.0, 123.0}) {
      g.globe(&yrd, &sec, &lat, &lon, &tloc, &fa, &f, ap.data(), p.data());
      EXPECT_EQ(kest::lpolyi.year_part, yrd > 1000 ? 90 : 0) << g.name;
      EXPECT_EQ(kest::lpoly.yday, 123.0) << g.name;
    }
  }
}

// The blend returns the diffusive density unchanged far above the
// turbopause (ylog below -10) and the mixed one far below it (above 10), in
// every generation.
TEST(MsisActivity, BlendBeyondItsLimits) {
  double (*blends[3])(double*, double*, double*, double*, double*) = {&dnet7_, &dnet6_, &dnet_};
  for (auto blend : blends) {
    double zhm = 28, xmm = 28.95, xm = 4;
    const double a = zhm / (xmm - xm);
    for (double ylog : {-10.5, 10.5}) {
      double dd = 2.5e9, dm = 2.5e9 * std::exp(ylog / a);
      const double v = blend(&dd, &dm, &zhm, &xmm, &xm);
      EXPECT_EQ(v, ylog < 0 ? dd : dm) << ylog;
    }
  }
  // The corrections at e = (alt - zh)/h1 = 70 exactly still use the formula
  // (with a huge r the factor is visibly not 1); beyond 70 exactly 1.
  double (*cors[2])(double*, double*, double*, double*) = {&ccor7_, &ccor_};
  for (auto cor : cors) {
    double zh = 0, h1 = 1, r = 1e31, at = 70, beyond = 70.5;
    EXPECT_NEAR(cor(&at, &r, &h1, &zh), std::exp(1e31 / (1 + std::exp(70.0))), 1e-9);
    EXPECT_EQ(cor(&beyond, &r, &h1, &zh), 1.0);
  }
}
