// AE8/AP8 fluxes at energies that are not positive and finite, and along
// positions and times that are not finite: the fill value in those columns
// or points, the other entries as computed alone, nothing written past the
// output.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "kest.h"

namespace {

constexpr double kFill = -1.0e31;
constexpr double kGuard = 7.0;
constexpr int kRows = 100000;
constexpr int kGuards = 4;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The flux array of one call (100000 x 25) followed by guard cells.
struct Flux {
  std::vector<double> v = std::vector<double>(kRows * 25 + kGuards, kGuard);
  double at(int i, int k) const { return v[i + kRows * k]; }
  bool guards_intact() const {
    for (int i = kRows * 25; i < kRows * 25 + kGuards; ++i)
      if (v[i] != kGuard) return false;
    return true;
  }
};

// One point (L 3, B/B0 1.2) of AE8 MAX, one column per energy pair.
Flux lookup(int whatf, std::vector<double> energy) {
  Flux f;
  int n = 1, whichm = 2, nene = static_cast<int>(energy.size() / 2);
  energy.resize(50, 0.0);
  double bbo = 1.2, lm = 3.0;
  get_ae8_ap8_flux_(&n, &whichm, &whatf, &nene, energy.data(), &bbo, &lm, f.v.data());
  return f;
}

TEST(Ae8Ap8Hostile, EnergiesMustBePositiveAndFinite) {
  const double good = 1.0;  // MeV, inside the electron map
  struct Case {
    int whatf;
    double e1, e2;
  } cases[] = {
      {1, 0.0, 0.0},     {1, -1.0, 0.0},     {1, -1e300, 0.0},  {1, kNaN, 0.0},  {1, kInf, 0.0},
      {1, -kInf, 0.0},   {1, 1e300, 0.0},    {2, 0.0, 2.0},     {2, 0.5, -1.0},  {2, -1.0, -1.0},
      {2, 0.5, kNaN},    {2, -1e300, 1.0},   {2, kNaN, kNaN},   {3, 0.0, 0.0},   {3, -5.0, 0.0},
      {3, -1e300, 0.0},  {3, kNaN, 0.0},     {3, -kInf, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.whatf << " E " << c.e1 << " " << c.e2);
    // The hostile column between two good ones.
    const double e2_good = c.whatf == 2 ? 2.0 : 0.0;
    const Flux both = lookup(c.whatf, {good, e2_good, c.e1, c.e2, good, e2_good});
    const Flux alone = lookup(c.whatf, {good, e2_good});
    EXPECT_EQ(both.at(0, 1), kFill);
    EXPECT_GT(alone.at(0, 0), 0.0);
    EXPECT_EQ(both.at(0, 0), alone.at(0, 0));
    EXPECT_EQ(both.at(0, 2), alone.at(0, 0));
    EXPECT_TRUE(both.guards_intact());
  }
}

// A band a few ulps wide, as computed band edges give (0.1 + 0.2 against
// 0.3), has a mean that tends to the differential flux at E1; the difference
// of two integral fluxes equal to within rounding gave 0, a negative zero or
// a multiple of it. Such bands give the differential flux, and a band of
// 1e-6 relative width (well resolved) stays within 1e-5 of it.
TEST(Ae8Ap8Hostile, BandsNarrowerThanRoundingGiveTheDifferentialFlux) {
  const double e1 = 0.3;
  const double up = std::nextafter(e1, 1.0), down = std::nextafter(e1, 0.0);
  const double diff = lookup(1, {e1, 0.0}).at(0, 0);
  ASSERT_GT(diff, 1.0e6);
  for (double e2 : {0.1 + 0.2, up, std::nextafter(up, 1.0), down, std::nextafter(down, 0.0), e1 * (1.0 + 1e-12)}) {
    SCOPED_TRACE(testing::Message() << "E2 - E1 = " << e2 - e1);
    EXPECT_EQ(lookup(2, {e1, e2}).at(0, 0), diff);
  }
  EXPECT_NEAR(lookup(2, {e1, e1 * (1.0 + 1e-6)}).at(0, 0), diff, 1e-5 * diff);
}

// Far below the maps' first energy the integral flux is extrapolated
// linearly in energy from the first two map energies, so over a band less
// than some 1e-15 MeV wide (however wide relative to E1: here E2 = 1.5 E1)
// the two integral fluxes are the same double: their difference, 0, is no
// mean flux, and the entry gets the fill value, like a zero flux elsewhere.
// A differential flux there (E1 tiny, the step 0.001 MeV around it) is well
// resolved and stays a positive value.
TEST(Ae8Ap8Hostile, ABandTooNarrowForTheIntegralFluxesGivesFill) {
  for (const double e1 : {1.0e-309, 6.9252772967215871e-310, 1.0e-300, 1.0e-30}) {
    const double e2 = e1 * 1.5;
    SCOPED_TRACE(testing::Message() << "E1 " << e1 << " E2 " << e2);
    EXPECT_EQ(lookup(2, {e1, e2}).at(0, 0), kFill);
    EXPECT_GT(lookup(1, {e1, 0.0}).at(0, 0), 1.0e6);
  }
}

// Near the edge of the belts, where the flux is a few particles per cm2 s,
// the lookup's integral flux can rise with energy over the 0.002 MeV step:
// AP8 MIN at L 1.7728, B/B0 4.826172445700002 gives 1.06125 above 0.749 MeV
// and 1.06171 above 0.751 MeV, a negative differential flux. A flux cannot
// be negative: the fill value (the integral flux there stays a value).
TEST(Ae8Ap8Hostile, AnIntegralFluxRisingWithEnergyGivesNoDifferentialFlux) {
  std::vector<double> flux(static_cast<std::size_t>(kRows) * 25);
  struct Case {
    int whichm, whatf;
    double e1, e2, lm, bbo;
  } cases[] = {
      {3, 1, 0.75, 0.0, 1.7728000000000033, 4.826172445700002},
      {2, 1, 0.04, 0.0, 1.357600000000001, 1.8769000000000002},
      {2, 2, 0.04, 0.068, 1.357600000000001, 1.8769000000000002},
      {4, 1, 0.1, 0.0, 1.4960000000000018, 2.5713530000000007},
  };
  for (Case c : cases) {
    SCOPED_TRACE(testing::Message() << "model " << c.whichm << " kind " << c.whatf << " E " << c.e1);
    int n = 1, nene = 1, kind3 = 3;
    double energy[50] = {c.e1, c.e2};
    double bbo = c.bbo, lm = c.lm;
    get_ae8_ap8_flux_(&n, &c.whichm, &c.whatf, &nene, energy, &bbo, &lm, flux.data());
    EXPECT_EQ(flux[0], kFill);
    get_ae8_ap8_flux_(&n, &c.whichm, &kind3, &nene, energy, &bbo, &lm, flux.data());
    EXPECT_GT(flux[0], 1.0);
  }
}

// Along positions: a time or a point that is not finite gives fill fluxes for
// that point; the point after it is computed.
TEST(Ae8Ap8Hostile, NonFinitePositionsAndTimesGiveFill) {
  struct Case {
    int sysaxes;
    double ut, x[3];
  } cases[] = {
      {1, 4000.0, {kNaN, 0.0, 0.0}}, {0, 4000.0, {1000.0, kNaN, 0.0}}, {8, 4000.0, {kInf, 0.0, 0.0}},
      {2, kNaN, {2.0, 0.0, 0.0}},    {2, 4000.0, {-kInf, 0.0, 0.0}},   {7, 4000.0, {kNaN, 0.0, 0.0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "system " << c.sysaxes << " UT " << c.ut << " x " << c.x[0] << " "
                                    << c.x[1]);
    // Point 2: the dipole equator at 2 Earth radii, in the same system (SM x
    // for GSM at this season is close enough; GDZ and RLL by their own
    // coordinates).
    const double second[3] = {c.sysaxes == 0 ? 6000.0 : 2.0, 0.0, 0.0};
    int n = 2, sysaxes = c.sysaxes, whichm = 2, whatf = 3, nene = 1;
    int iyr[2] = {2003, 2003}, idoy[2] = {77, 77};
    double ut[2] = {c.ut, 4000.0};
    double x1[2] = {c.x[0], second[0]}, x2[2] = {c.x[1], second[1]}, x3[2] = {c.x[2], second[2]};
    std::vector<double> energy(50, 0.0);
    energy[0] = 0.5;
    Flux f;
    fly_in_nasa_aeap1_(&n, &sysaxes, &whichm, &whatf, &nene, energy.data(), iyr, idoy, ut, x1, x2, x3,
                       f.v.data());
    EXPECT_EQ(f.at(0, 0), kFill);
    EXPECT_GT(f.at(1, 0), 0.0);
    EXPECT_TRUE(f.guards_intact());
  }
}

}  // namespace
