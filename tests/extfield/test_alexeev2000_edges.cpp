// Alexeev 2000 model: the strict and non-strict comparisons at the edges of
// the tail current sheet and of the region-1 polar cap, where the field takes
// one form or the other and the difference is known by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "extfield/alexeev2000.hpp"
#include "kest/extfield.h"

namespace {

using namespace kest::a2k;

// Source constants of an ordinary storm-time parameter set, tilted, with
// every source switched on as the model starts (an earlier test in the same
// process may have switched some off).
void set_up_sources() {
  float on = 1.0f;
  pstatus_(&on, &on, &on, &on, &on, &on, &on);
  float p[10];
  const float imf[3] = {0.0f, 0.0f, -2.0f};
  submod(12.0f, 2004, 3, 20, 7.0f, 450.0f, imf, -40.0f, -300.0f, p);
  p[0] = -12.0f;
  const float x[3] = {1.0f, 1.0f, 1.0f};
  float b[3], src[7][3];
  a_field(x, p, b, src);
}

// The tail field at a shifted point given by its paraboloid coordinates.
void tail_at(float beta, float alpha, float cos_phi, float b[3]) {
  cor1 = {beta, alpha, std::sqrt(alpha * alpha + beta * beta), alpha * beta, alpha * alpha + beta * beta};
  cor2 = {cos_phi, std::sqrt(1.0f - cos_phi * cos_phi)};
  dery4d(b);
}

// Beyond the inner edge (beta > alpha0) the tail carries the logarithmic
// term L = sign(cos phi) c_log / beta^2 in B_beta = (-A - L beta)/h; close to
// phi = 90 degrees the series part A (cos n phi) is negligible, so B_beta is
// -+c_log/(beta h) on the two sides of the sheet and exactly 0 on it. At
// beta = alpha0 itself the inside form applies, which has no such term.
TEST(Alexeev2000Edges, TailLogarithmicTermAtTheSheetAndItsInnerEdge) {
  set_up_sources();
  const float a0 = t2.alpha0, alpha = 0.6f;
  const float beyond = std::nextafter(a0, 10.0f);
  const double h = std::sqrt(alpha * alpha + static_cast<double>(beyond) * beyond);
  const double l_term = t2.c_log / (static_cast<double>(beyond) * h);
  ASSERT_GT(l_term, 10.0);
  float b[3];
  tail_at(beyond, alpha, 1e-6f, b);
  EXPECT_NEAR(b[0], -l_term, 1e-3 * l_term);  // z' > 0
  tail_at(beyond, alpha, -1e-6f, b);
  EXPECT_NEAR(b[0], l_term, 1e-3 * l_term);   // z' < 0
  tail_at(beyond, alpha, 0.0f, b);
  EXPECT_EQ(b[0], 0.0f);                      // z' = 0: no term
  EXPECT_EQ(b[1], 0.0f);
  tail_at(a0, alpha, 1e-6f, b);               // on the edge: inside form
  EXPECT_LT(std::fabs(b[0]), 1e-3 * l_term);
}

// Region 1: at sin(Theta) equal to sin(theta_pc) the polar-cap form applies
// (B_Phi = -sin Phi f in the northern cap), just outside it the outer form
// (B_Phi = +sin Phi cos Theta f); B_Theta = cos Phi A / (r (1 + cos Theta))
// is the same on both sides, since (1 - cos)/sin^2 = 1/(1 + cos).
TEST(Alexeev2000Edges, RegionOnePolarCapBoundary) {
  set_up_sources();
  tfac.theta_pc_deg = 18.5f;
  tfac.amperes = 1.2e6f;
  const float s_pc = std::sin(3.1415925f * 18.5f * 0.00555555569f);
  const float r = 2.4f;
  const float cos_ph = 0.6f, sin_ph = 0.8f;
  const double a = 1.2e6 * 9.8e-5 / s_pc;
  for (int side = 0; side < 2; ++side) {
    const float st = side == 0 ? s_pc : std::nextafter(s_pc, 1.0f);
    const float ct = std::sqrt(1.0f - st * st);
    cor3.r = r;
    cor4 = {ct, st, cos_ph, sin_ph};
    float b[3];
    bfac(b);
    const double f = a / (r * (1.0 + ct));
    EXPECT_EQ(b[0], 0.0f);
    EXPECT_NEAR(b[1], cos_ph * f, 1e-5 * f) << side;
    if (side == 0)
      EXPECT_NEAR(b[2], -sin_ph * f, 1e-5 * f);       // cap
    else
      EXPECT_NEAR(b[2], sin_ph * ct * f, 1e-5 * f);   // outside the caps
  }
  EXPECT_EQ(tfac.sin_pc, s_pc);
}

}  // namespace
