// Laws that a trapped-particle flux obeys, on the public flux entries, where
// the published models hold them: fluxes continuous across the tabulated L
// values of the AE8/AP8 maps, lower <= mean <= upper and integral fluxes
// falling with energy in the mission-averaged models, the geostationary
// spectrum continuous at its table energies, and its band fluxes the integral
// of that spectrum.
//
// Where a law does not hold for a published model the exception is the
// model's own, and is asserted as such: the uncertainty factor of the
// geostationary model changes slope at 1.28452 MeV, so its lower and upper
// fluxes jump there while the mean does not.
#include <cmath>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "kest/radiation.h"
#include "mission_call.hpp"

namespace {

using mission_test::Call;

// ---- AE8/AP8 ---------------------------------------------------------------

// Between two tabulated L values the lookup follows curves of equal flux;
// at a tabulated L it must meet the curve of that L from both sides. Off the
// equator (B/B0 > 1) the log flux one lattice step below a tabulated L,
// at it and one step above lie on one smooth curve: the step across the
// tabulated L is no larger than three times the larger step beside it (a
// 1e-3 decade allowance for the integer quantisation). A lookup that took
// the wrong pair of L blocks, or the wrong weight, near a tabulated L jumps
// there. Across the four maps this holds at every tabulated L inside the
// belts where the flux does not vanish (some 15000 cases checked).
TEST(FluxLawsAe8Ap8, ContinuousAcrossTabulatedL) {
  struct Row {
    int whichm;
    int stored_l;  // tabulated L x the map's L scale (2100 electrons, 2048 protons)
    double bb0, e;
  } rows[] = {
      {2, 6300, 1.3, 1.0},    // AE8 MAX, L 3.0, 1 MeV: the slot between the belts
      {1, 9659, 1.05, 0.25},  // AE8 MIN, L 4.6, outer belt
      {2, 13859, 2.0, 2.0},   // AE8 MAX, L 6.6, geostationary
      {3, 4096, 1.1, 10.0},   // AP8 MIN, L 2.0, 10 MeV
      {3, 8192, 1.4, 1.0},    // AP8 MIN, L 4.0, 1 MeV
      {4, 3072, 1.2, 30.0},   // AP8 MAX, L 1.5, 30 MeV: the heart of the inner belt
  };
  static double flux[100000 * 25];
  for (const Row& r : rows) {
    const double scale = r.whichm <= 2 ? 2100.0 : 2048.0;
    int ntime = 4, whichm = r.whichm, whatf = 3, nene = 1;
    double energy[2] = {r.e, 0.0};
    double lm[4], bbo[4], lg[4];
    for (int i = 0; i < 4; ++i) {
      lm[i] = (r.stored_l - 2 + i + 0.5) / scale;  // lattice steps -2, -1, 0, +1
      bbo[i] = r.bb0;
    }
    get_ae8_ap8_flux_(&ntime, &whichm, &whatf, &nene, energy, bbo, lm, flux);
    for (int i = 0; i < 4; ++i) {
      ASSERT_GT(flux[i], 1.0) << "whichm " << r.whichm << " L " << lm[i];
      lg[i] = std::log10(flux[i]);
    }
    const double across = std::fabs(lg[2] - lg[1]);
    const double beside = std::fmax(std::fabs(lg[1] - lg[0]), std::fabs(lg[3] - lg[2]));
    EXPECT_LE(across, 3.0 * beside + 1e-3) << "whichm " << r.whichm << " L " << r.stored_l / scale << " B/B0 "
                                           << r.bb0 << " E " << r.e;
  }
}

// ---- Mission-averaged electron models --------------------------------------

// The lower and upper fluxes divide and multiply the mean by a factor above
// 1, so every result has 0 < lower < mean < upper: also the band and
// integral sums, and the MEO GNSS differential and band fluxes, which are
// differences of the integral bounds at two energies (the factor grows with
// energy, so the ordering there rests on the spectrum falling faster).
TEST(FluxLawsMission, LowerBelowMeanBelowUpper) {
  struct Row {
    bool meo;
    int whichm, whatf;
    double e1, e2;
  } rows[] = {
      {false, 1, 1, 0.1, 0.0},         {false, 2, 1, 4.5, 0.0},       {false, 3, 1, 0.0015, 0.0},
      {false, 3, 2, 0.002, 0.9},       {false, 2, 2, 1.0, 3.5},       {false, 1, 3, 0.04, 0.0},
      {false, 3, 3, 1.28452, 0.0},     {true, 1, 1, 0.6, 0.0},        {true, 2, 1, 2.0, 0.0},
      {true, 2, 1, 0.28, 0.0},         {true, 2, 1, 2.24, 0.0},       {true, 2, 2, 0.28, 2.24},
      {true, 1, 2, 0.5, 0.51},         {true, 2, 3, 1.7, 0.0},
  };
  for (const Row& r : rows) {
    Call k;
    k.launch = 2003;
    k.duration = 7;
    k.whichm = r.whichm;
    k.whatf = r.whatf;
    k.bands({{r.e1, r.e2}});
    k.run(r.meo ? fly_in_meo_gnss1_ : fly_in_ruk1_);
    EXPECT_GT(k.lower[0], 0.0) << (r.meo ? "MEO" : "ruk") << " v" << r.whichm << " kind " << r.whatf << " E " << r.e1;
    EXPECT_LT(k.lower[0], k.mean[0]) << (r.meo ? "MEO" : "ruk") << " v" << r.whichm << " kind " << r.whatf << " E " << r.e1;
    EXPECT_LT(k.mean[0], k.upper[0]) << (r.meo ? "MEO" : "ruk") << " v" << r.whichm << " kind " << r.whatf << " E " << r.e1;
  }
}

// The integral flux above E falls as E rises, inside each version's range,
// through the table energies and, for the geostationary model, the slope
// change of its uncertainty factor; the flux above the top of the range is
// 0 (ruk) or the table's last value (MEO GNSS).
TEST(FluxLawsMission, IntegralFluxFallsWithEnergy) {
  struct Row {
    bool meo;
    int whichm;
    std::vector<double> e;
  } rows[] = {
      {false, 1, {0.03674, 0.05, 0.08874, 0.1255, 0.2, 0.6, 1.2, 1.28452}},
      {false, 2, {0.03, 0.06124, 0.5, 1.28452, 1.3, 3.0, 5.19615}},
      {false, 3, {0.0009171, 0.001, 0.00453, 0.01735, 0.03, 0.1, 1.98997, 5.0}},
      {true, 1, {0.28, 0.3, 0.4, 0.7, 1.12}},
      {true, 2, {0.28, 0.56, 0.57, 1.12, 1.6, 2.0, 2.24}},
  };
  for (const Row& r : rows) {
    Call k;
    k.launch = 1994;
    k.duration = 9;
    k.whichm = r.whichm;
    k.whatf = 3;
    k.energies(r.e);
    k.run(r.meo ? fly_in_meo_gnss1_ : fly_in_ruk1_);
    for (int j = 1; j < k.nene; ++j) {
      EXPECT_LT(k.mean[j], k.mean[j - 1]) << (r.meo ? "MEO" : "ruk") << " v" << r.whichm << " E " << r.e[j];
      EXPECT_LT(k.lower[j], k.lower[j - 1]) << (r.meo ? "MEO" : "ruk") << " v" << r.whichm << " E " << r.e[j];
      EXPECT_LT(k.upper[j], k.upper[j - 1]) << (r.meo ? "MEO" : "ruk") << " v" << r.whichm << " E " << r.e[j];
    }
  }
}

// The 27 energies (MeV) of the geostationary model's tables.
constexpr double kRukEnergies[27] = {
    0.0009171, 0.001204, 0.001572, 0.002051, 0.002668, 0.003468, 0.00453, 0.005899, 0.007731,
    0.01015,   0.01328,  0.01735,  0.03,     0.06124,  0.08874,  0.1255,  0.18371,  0.26622,
    0.39686,   0.61237,  0.9083,   1.28452,  1.98997,  2.43721,  3.07408, 3.96862,  5.19615};

// The geostationary spectrum is a power law between table energies that
// passes through the table values, so the mean differential flux is
// continuous at every table energy of every version: 1e-12 either side of
// it, it agrees with the value at it to 1e-9. The lower and upper fluxes are
// continuous too, except at 1.28452 MeV, where the uncertainty factor turns
// from 0.47 E + 1.4 to 0.6 E + 1.4 (E in MeV): there the upper flux rises by
// (0.6 x 1.28452 + 1.4) / (0.47 x 1.28452 + 1.4) = 1.08334 and the lower
// falls by as much, the model's own step.
TEST(FluxLawsMission, RukSpectrumContinuousAtTableEnergies) {
  const std::pair<double, double> range[3] = {{0.03674, 1.28452}, {0.03, 5.19615}, {0.0009171, 5.19615}};
  const double step = (0.6 * 1.28452 + 1.4) / (0.47 * 1.28452 + 1.4);
  for (int v = 1; v <= 3; ++v) {
    for (double e : kRukEnergies) {
      // Table energies strictly inside the range (version 1's lowest energy,
      // 0.03674 MeV, is not a table energy of the others).
      if (!(e > range[v - 1].first && e < range[v - 1].second)) continue;
      Call k;
      k.launch = 2009;
      k.duration = 4;
      k.whichm = v;
      k.energies({e * (1.0 - 1e-12), e, e * (1.0 + 1e-12)});
      k.run(fly_in_ruk1_);
      EXPECT_NEAR(k.mean[0], k.mean[1], 1e-9 * k.mean[1]) << "v" << v << " E " << e;
      EXPECT_NEAR(k.mean[2], k.mean[1], 1e-9 * k.mean[1]) << "v" << v << " E " << e;
      EXPECT_NEAR(k.lower[0], k.lower[1], 1e-9 * k.lower[1]) << "v" << v << " E " << e;
      if (e == 1.28452) {
        EXPECT_NEAR(k.upper[2] / k.upper[1], step, 1e-9) << "v" << v;
        EXPECT_NEAR(k.lower[1] / k.lower[2], step, 1e-9) << "v" << v;
      } else {
        EXPECT_NEAR(k.upper[2], k.upper[1], 1e-9 * k.upper[1]) << "v" << v << " E " << e;
      }
    }
  }
}

// A band flux of the geostationary model is the integral of its spectrum
// over the band. For 2018 (cycle year 0) the spectrum is 1000 x the cycle-0
// column of IGE-2006 (per keV to per MeV), a power law A E^s on each table
// interval, whose integral is closed-form: bands across several table
// intervals agree with it to the accuracy of the 100-point trapezoid sum
// (below 6e-4 for these bands), and adjacent bands add up to the band that
// spans both to the same accuracy.
TEST(FluxLawsMission, RukBandsAreTheIntegralOfTheSpectrum) {
  const auto& e = kRukEnergies;
  const double cycle0[27] = {7.13e6, 6.22e6, 5.47e6, 4.53e6, 3.91e6, 3.54e6, 2.96e6, 2.35e6, 1.75e6,
                             1.19e6, 7.5e5,  4.35e5, 1.74e5, 6.39e4, 2.64e4, 9860,   4020,   1530,
                             524,    117,    32.6,   9.84,   1.52,   0.565,  0.171,  0.0331, 0.00527};
  auto exact = [&](double a, double b) {
    double sum = 0.0;
    for (int i = 1; i < 27; ++i) {
      const double lo = std::fmax(a, e[i - 1]), hi = std::fmin(b, e[i]);
      if (lo >= hi) continue;
      const double s = std::log(cycle0[i] / cycle0[i - 1]) / std::log(e[i] / e[i - 1]);
      const double A = 1000.0 * cycle0[i] / std::pow(e[i], s);
      sum += A / (s + 1.0) * (std::pow(hi, s + 1.0) - std::pow(lo, s + 1.0));
    }
    return sum;
  };
  struct Triple {
    double e1, e2, e3;
  } triples[] = {{0.002, 0.01, 0.05}, {0.05, 0.2, 0.7}, {0.3, 1.0, 3.5}};
  for (const Triple& t : triples) {
    Call k;  // version 3, 2018, one year
    k.whatf = 2;
    k.bands({{t.e1, t.e2}, {t.e2, t.e3}, {t.e1, t.e3}});
    k.run(fly_in_ruk1_);
    EXPECT_NEAR(k.mean[0], exact(t.e1, t.e2), 1e-3 * k.mean[0]) << t.e1 << ".." << t.e2;
    EXPECT_NEAR(k.mean[1], exact(t.e2, t.e3), 1e-3 * k.mean[1]) << t.e2 << ".." << t.e3;
    EXPECT_NEAR(k.mean[2], exact(t.e1, t.e3), 1e-3 * k.mean[2]) << t.e1 << ".." << t.e3;
    EXPECT_NEAR(k.mean[0] + k.mean[1], k.mean[2], 1e-3 * k.mean[2]) << t.e1 << ".." << t.e3;
  }
}

}  // namespace
