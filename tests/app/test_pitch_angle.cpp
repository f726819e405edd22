// Equatorial pitch angle of a particle mirroring at the point, against
// angles worked by hand: sin^2(alpha0) = Bmin / Blocal.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pitch_angle.hpp"

namespace {

constexpr double kFill = -1.0e31;

TEST(EquatorialPitch, AnglesFillAndNinety) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double blocal, bmin, alpha0;
  } cases[] = {
      {100.0, 25.0, 30.0},   // sin^2 30 = 1/4
      {100.0, 50.0, 45.0},   // sin^2 45 = 1/2
      {100.0, 100.0, 90.0},  // at the minimum itself
      {100.0, 100.5, 90.0},  // a minimum a little above the local field
      {kFill, kFill, 90.0},  // two fill values: ratio 1
      {nan, 100.0, 90.0},    // a NaN fails the comparison
      {105.0, kFill, kFill}, // a failed minimum under a valid field: no angle
      {0.0, 0.0, kFill},     // 0 / 0
  };
  for (const Case& c : cases)
    EXPECT_NEAR(batch::equatorial_pitch(c.blocal, c.bmin), c.alpha0, 1e-12 * std::fabs(c.alpha0))
        << c.blocal << " " << c.bmin;
}

}  // namespace
