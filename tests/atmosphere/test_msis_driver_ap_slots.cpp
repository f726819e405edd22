// The drivers refuse a point only for a non-finite value the models read:
// with the daily Ap the 3-hour history slots enter no term, so whatever a
// caller leaves there cannot turn a point into the fill value.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "kest/atmosphere.h"
#include "msis_test_util.hpp"

namespace {

using Gen = msistest::DriverGen;
constexpr const auto& kGens = msistest::kDriverGens;

// One point at 400 km, 60N 70W, day 172, 08:03 UT, F10.7 150, daily Ap 4.
std::array<double, 11> one_point(const Gen& g, int which_ap, std::array<double, 7> ap) {
  int n = 1, doy = 172;
  double ut = 29000, alt = 400, lat = 60, lon = -70, f107a = 150, f107 = 150;
  std::array<double, 11> out;
  out.fill(-3.0);
  g.drv(&n, &which_ap, &doy, &ut, &alt, &lat, &lon, &f107a, &f107, ap.data(), out.data(),
        out.data() + g.nd);
  return out;
}

TEST(MsisDriverApSlots, DailyApIgnoresWhatTheHistorySlotsHold) {
  const msistest::KeepSettings keep;
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (const Gen& g : kGens) {
    const auto clean = one_point(g, 1, {4, 4, 4, 4, 4, 4, 4});
    ASSERT_GT(clean[g.nd + 1], 100.0) << g.name;  // a computed temperature
    for (const std::array<double, 7> ap : {std::array<double, 7>{4, nan, nan, nan, nan, nan, nan},
                                           std::array<double, 7>{4, 300, -inf, 0, inf, 1e300, nan}}) {
      const auto o = one_point(g, 1, ap);
      for (int k = 0; k < g.nd + 2; ++k) EXPECT_EQ(o[k], clean[k]) << g.name << " slot " << k;
    }
    // With the 3-hour history selected every slot is read, and a
    // not-a-number there still gives the fill value.
    const auto hist = one_point(g, 2, {4, 4, 4, nan, 4, 4, 4});
    for (int k = 0; k < g.nd + 2; ++k) EXPECT_EQ(hist[k], KEST_FILL) << g.name << " slot " << k;
  }
}

}  // namespace
