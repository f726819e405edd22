// Finite inputs far outside the models' range (a solar flux or Ap of many
// thousands, an altitude far below the ground) overflow the expansions or
// carry the profiles past their domain. Such a point has no result: the
// drivers give it the fill value in all its outputs, never a not-a-number,
// an infinity, a negative density or a temperature below absolute zero.
// Points inside the range, extreme but real, keep their computed values.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "kest/atmosphere.h"
#include "msis_test_util.hpp"

namespace {

using Gen = msistest::DriverGen;
constexpr const auto& kGens = msistest::kDriverGens;

struct Pt {
  double alt, f107a, f107, ap;
};

// Evaluates one point with all seven Ap slots set to ap; returns the
// densities followed by the two temperatures.
std::vector<double> eval(const Gen& g, Pt p, int which_ap) {
  int n = 1, doy = 172;
  double ut = 29000, lat = 60, lon = -70;
  std::array<double, 7> ap;
  ap.fill(p.ap);
  std::vector<double> out(g.nd + 2, 0.0);
  g.drv(&n, &which_ap, &doy, &ut, &p.alt, &lat, &lon, &p.f107a, &p.f107, ap.data(), out.data(),
        out.data() + g.nd);
  return out;
}

}  // namespace

TEST(MsisDrivers, OverflowingPointGivesFill) {
  const msistest::KeepSettings keep;
  // Each of these, on the old drivers, returned not-a-number, infinite or
  // negative values for at least one generation.
  const Pt hostile[] = {
      {400, 1e300, 150, 4},    // mean flux
      {400, 150, 1e300, 4},    // daily flux
      {400, 150, 150, 1e300},  // Ap
      {400, 150, 150, -1e300},
      {400, 1e5, 1e5, 4},
      {-1000, 150, 150, 4},    // spline profile extrapolated far below its last node
      {-1e6, 150, 150, 4},
      // Below 72.5 km: the thermospheric N2 density at 72.5 km, which the
      // profile below starts from, came out negative for these, and a
      // stand-in of 1 cm-3 was carried down as a plausible-looking result.
      {0, 150, 150, -100},     // a negative Ap (every slot)
      {50, 150, 150, -1000},
      {20, -1e5, 150, 4},      // a negative mean flux
  };
  for (const Gen& g : kGens) {
    for (int which_ap : {1, 2}) {
      for (const Pt& p : hostile) {
        const std::vector<double> o = eval(g, p, which_ap);
        for (std::size_t k = 0; k < o.size(); ++k)
          EXPECT_EQ(o[k], KEST_FILL) << g.name << " Ap mode " << which_ap << " alt " << p.alt
                                     << " f107a " << p.f107a << " f107 " << p.f107 << " ap "
                                     << p.ap << " slot " << k;
      }
    }
  }
}

TEST(MsisDrivers, ExtremeRealPointsKeepTheirValues) {
  const msistest::KeepSettings keep;
  // The strongest flux and activity of record, quiet conditions, and the
  // surface (for the full-altitude models) a little below sea level.
  const Pt real[] = {{400, 300, 400, 400}, {150, 65, 65, 0}, {90, 150, 150, 400},
                     {1000, 250, 300, 300}, {-0.4, 150, 150, 4}, {0, 65, 400, 400}};
  for (const Gen& g : kGens) {
    for (int which_ap : {1, 2}) {
      for (const Pt& p : real) {
        if (p.alt < g.floor_km) continue;
        const std::vector<double> o = eval(g, p, which_ap);
        for (int k = 0; k < g.nd; ++k) {
          EXPECT_TRUE(std::isfinite(o[k]) && o[k] >= 0.0) << g.name << " alt " << p.alt << " " << k;
        }
        // Temperature at alt: the summer polar mesopause near 90 km is the
        // coldest place of the atmosphere, about 120 K.
        EXPECT_GT(o[g.nd + 1], 90.0) << g.name << " alt " << p.alt;
        EXPECT_LT(o[g.nd + 1], 3000.0) << g.name << " alt " << p.alt;
        EXPECT_GT(o[5], 0.0) << g.name << " alt " << p.alt;  // mass density
      }
    }
  }
}
