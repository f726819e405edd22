// External field models at points and drivers that slightly wrong input
// produces: points a hair off an axis of a model's geometry, where a square
// of the distance underflows. The field is continuous there, so the value at
// such a point must be the value on the axis itself (to rounding), not
// not-a-number.
#include <cmath>
#include <gtest/gtest.h>

#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

struct B {
  double x, y, z;
};

B t01(double tilt_deg, double x, double y, double z) {
  kest::dip_ang.tilt = tilt_deg;
  double p[6] = {2.0, -10.0, 1.0, -1.0, 2.0, 2.0};
  B b{};
  t01_01_(p, &x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

B t04(double tilt_deg, double x, double y, double z) {
  kest::dip_ang.tilt = tilt_deg;
  double p[10] = {2.0, -10.0, 1.0, -1.0, 0.5, 0.7, 0.9, 1.1, 1.3, 1.5};
  B b{};
  t04_s_(p, &x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

void expect_same_field(const B& got, const B& ref) {
  ASSERT_TRUE(std::isfinite(got.x) && std::isfinite(got.y) && std::isfinite(got.z));
  const double scale = std::fabs(ref.x) + std::fabs(ref.y) + std::fabs(ref.z);
  EXPECT_NEAR(got.x, ref.x, 1e-9 * scale);
  EXPECT_NEAR(got.y, ref.y, 1e-9 * scale);
  EXPECT_NEAR(got.z, ref.z, 1e-9 * scale);
}

// A point on the Sun-Earth line but for an offset of 1e-170 Re or less: y^2 +
// z^2 underflows to zero while y or z is not zero. The tail sheet's azimuth
// about the x axis must then be taken as on the axis. So must a dipole tilt
// so small (1e-300 degree) that the bent point's z underflows when squared.
struct NearAxisCase {
  double tilt, x, y, z;
};

TEST(ExtfieldNearAxis, Tsyganenko01And04TailSheetAzimuthWhereRhoSquaredUnderflows) {
  const NearAxisCase cases[] = {
      {0.0, 5.0, 1e-170, 0.0},   {0.0, 5.0, 0.0, 1e-170},    {0.0, -10.0, 0.0, 1e-200},
      {0.0, 3.0, -1e-310, 0.0},  {0.0, -10.0, 0.0, -1e-310}, {1e-300, 5.0, 0.0, 0.0},
      {1e-300, -10.0, 0.0, 0.0}, {2.2250738585072014e-308, 1.0, 0.0, 0.0},
  };
  for (const NearAxisCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "tilt " << c.tilt << " at (" << c.x << ", " << c.y << ", " << c.z << ")");
    expect_same_field(t01(c.tilt, c.x, c.y, c.z), t01(0.0, c.x, 0.0, 0.0));
    expect_same_field(t04(c.tilt, c.x, c.y, c.z), t04(0.0, c.x, 0.0, 0.0));
  }
}

}  // namespace
