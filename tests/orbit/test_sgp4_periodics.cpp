// Deep-space periodics reflect a perturbed inclination that falls below zero
// (near-equatorial sets, such as geostationary ones, do so at most times) and
// take the sine and cosine of the reflected angle from those of the angle
// before the reflection: sin(-x) = -sin(x), cos(-x) = cos(x). The positions
// are the same numbers as with the functions evaluated afresh only if the
// platform's sine is exactly odd and its cosine exactly even; check that, bit
// for bit, over the magnitudes an inclination and any angle of the
// propagator can take.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Through volatile, so that the compiler evaluates nothing at build time and
// folds no sign away: the library's own sin and cos are the ones checked.
void expect_symmetric(double x) {
  volatile double pos = x, neg = -x;
  const double sp = std::sin(pos), sn = std::sin(neg);
  const double cp = std::cos(pos), cn = std::cos(neg);
  EXPECT_TRUE(same_bits(sn, -sp)) << "sin at " << x;
  EXPECT_TRUE(same_bits(cn, cp)) << "cos at " << x;
}

TEST(Sgp4Periodics, SineIsOddAndCosineEvenToTheBit) {
  // The branch points of a sine (about 2^-26, 0.855469, 2.426265, 1.054e8)
  // and values on both sides of each; angles up to those of a century of
  // drift in minutes.
  const double table[] = {1.0e-300, 1.0e-9,   1.4e-8,   1.5e-8,   1.0e-4,  0.0019,
                          0.126,    0.2,      0.855468, 0.855470, 1.1,     1.5707963267948966,
                          2.426264, 2.426266, 3.14159,  6.2831853, 100.0,  12345.678,
                          1.0541e8, 1.0542e8, 3.0e9,    1.0e22};
  for (double x : table) expect_symmetric(x);
  std::mt19937_64 rng(20261210);
  std::uniform_real_distribution<double> small(0.0, 0.3), angle(0.0, 7.0), logmag(-12.0, 9.0);
  for (int k = 0; k < 20000; ++k) {
    expect_symmetric(small(rng));
    expect_symmetric(angle(rng));
    expect_symmetric(std::pow(10.0, logmag(rng)));
  }
}

}  // namespace
