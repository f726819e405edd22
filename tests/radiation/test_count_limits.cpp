// Calls that fill the caller's arrays exactly: 100000 points and 25 energies
// of the flux array flux(100000, 25), 50 energies of the mission models. The
// last point of the last energy must sit at flux[i + 100000 k], equal to the
// same point asked for alone, and nothing may be written past the arrays
// (guard cells after them; an ASan build also sees reads).
#include <cmath>
#include <cstddef>
#include <gtest/gtest.h>
#include <vector>

#include "kest.h"

namespace {

constexpr double kFill = -1.0e31;
constexpr int kRows = 100000;
constexpr int kGuards = 4;
constexpr double kGuard = 7.0;

// A caller's array of n values followed by guard cells.
struct Guarded {
  std::vector<double> v;
  std::size_t n;
  explicit Guarded(std::size_t size, double init = 0.0) : v(size + kGuards, kGuard), n(size) {
    std::fill(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n), init);
  }
  double* data() { return v.data(); }
  double& operator[](std::size_t i) { return v[i]; }
  bool guards_intact() const {
    for (std::size_t i = n; i < v.size(); ++i)
      if (v[i] != kGuard) return false;
    return true;
  }
};

// Electron energies 0.1 .. 1.3 MeV, all with fluxes at L 3 to 6.
double ae8_energy(int k) { return 0.1 + 0.05 * k; }

TEST(FluxCountLimits, LookupAtTheFullArrayKeepsItsLeadingDimension) {
  struct Case {
    int ntime, nene;
  };
  for (const Case c : {Case{kRows, 25}, Case{kRows - 1, 24}, Case{1, 25}}) {
    SCOPED_TRACE(testing::Message() << "ntime " << c.ntime << ", Nene " << c.nene);
    Guarded energy(50), bbo(c.ntime), lm(c.ntime), flux(static_cast<std::size_t>(kRows) * 25, -5.0);
    for (int k = 0; k < 25; ++k) energy[2 * k] = ae8_energy(k);
    for (int i = 0; i < c.ntime; ++i) {
      bbo[i] = 1.0 + (i % 7) * 0.3;
      lm[i] = 3.0 + (i % 31) * 0.1;
    }
    int n = c.ntime, whichm = 2, whatf = 1, nene = c.nene;
    get_ae8_ap8_flux_(&n, &whichm, &whatf, &nene, energy.data(), bbo.data(), lm.data(), flux.data());
    EXPECT_TRUE(energy.guards_intact() && bbo.guards_intact() && lm.guards_intact() && flux.guards_intact());

    const int i = c.ntime - 1, k = c.nene - 1;
    double e[2] = {ae8_energy(k), 0.0}, b = bbo[i], l = lm[i];
    std::vector<double> alone(static_cast<std::size_t>(kRows) * 25);
    int one = 1;
    get_ae8_ap8_flux_(&one, &whichm, &whatf, &one, e, &b, &l, alone.data());
    ASSERT_GT(alone[0], 0.0);
    EXPECT_EQ(flux[i + static_cast<std::size_t>(kRows) * k], alone[0]);
    // Energies beyond Nene and points beyond ntime are not the caller's.
    if (c.nene < 25) {
      EXPECT_EQ(flux[i + static_cast<std::size_t>(kRows) * c.nene], kFill);
    }
    if (c.ntime < kRows) {
      EXPECT_EQ(flux[c.ntime + static_cast<std::size_t>(kRows) * k], -5.0);
    }
  }
}

// The position driver over 100000 points: only the first and the last are
// positions (the others are not numbers and give fill values), so the call is
// cheap and the last one must equal the same position alone.
TEST(FluxCountLimits, PositionDriverAtTheFullArrayPlacesTheLastPoint) {
  const int n = kRows;
  Guarded energy(50), flux(static_cast<std::size_t>(kRows) * 25), ut(n), x1(n, NAN), x2(n, 10.0), x3(n, 30.0);
  std::vector<int> iyr(n, 2000), idoy(n, 1);
  for (int k = 0; k < 25; ++k) energy[2 * k] = ae8_energy(k);
  x1[0] = x1[n - 1] = 20000.0;  // GDZ: altitude km, latitude, longitude
  int ntime = n, sysaxes = 0, whichm = 2, whatf = 1, nene = 25;
  fly_in_nasa_aeap1_(&ntime, &sysaxes, &whichm, &whatf, &nene, energy.data(), iyr.data(), idoy.data(), ut.data(),
                     x1.data(), x2.data(), x3.data(), flux.data());
  EXPECT_TRUE(energy.guards_intact() && flux.guards_intact() && x1.guards_intact());
  int one = 1, y = 2000, d = 1;
  double e[2] = {ae8_energy(24), 0.0}, t = 0.0, a = 20000.0, b = 10.0, c = 30.0;
  std::vector<double> alone(static_cast<std::size_t>(kRows) * 25);
  fly_in_nasa_aeap1_(&one, &sysaxes, &whichm, &whatf, &one, e, &y, &d, &t, &a, &b, &c, alone.data());
  ASSERT_GT(alone[0], 0.0);
  EXPECT_EQ(flux[(n - 1) + static_cast<std::size_t>(kRows) * 24], alone[0]);
  EXPECT_EQ(flux[(n - 2) + static_cast<std::size_t>(kRows) * 24], kFill);
}

// ruk and MEO with all 50 energies of their arrays: the 50th computed, as
// alone, and nothing past the arrays.
TEST(FluxCountLimits, MissionModelsTakeFiftyEnergies) {
  for (const bool meo : {false, true}) {
    SCOPED_TRACE(meo ? "MEO" : "ruk");
    const double e0 = meo ? 0.3 : 0.05, e1 = meo ? 1.1 : 1.2;
    Guarded energy(100), lower(50), mean(50), upper(50);
    for (int k = 0; k < 50; ++k) energy[2 * k] = e0 + (e1 - e0) * k / 50.0;
    int year = 2010, duration = 5, whichm = 2, whatf = 1, nene = 50;
    auto call = meo ? fly_in_meo_gnss1_ : fly_in_ruk1_;
    call(&year, &duration, &whichm, &whatf, &nene, energy.data(), lower.data(), mean.data(), upper.data());
    EXPECT_EQ(nene, 50);
    EXPECT_TRUE(energy.guards_intact() && lower.guards_intact() && mean.guards_intact() && upper.guards_intact());
    double e[100] = {energy[98], 0.0}, lo[50], me[50], up[50];
    int one = 1;
    call(&year, &duration, &whichm, &whatf, &one, e, lo, me, up);
    ASSERT_GT(me[0], 0.0);
    EXPECT_EQ(lower[49], lo[0]);
    EXPECT_EQ(mean[49], me[0]);
    EXPECT_EQ(upper[49], up[0]);
  }
}

}  // namespace
