// Olson-Pfitzer quiet model: compiled tables, telling field values, symmetry,
// inner ramp, region edges, tilt cache and divergence.
#include <cmath>
#include <gtest/gtest.h>

#include "extfield/olson_pfitzer77_tables.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

struct Vec {
  double x, y, z;
};

Vec op(double tilt, double x, double y, double z) {
  kest::dip_ang.tilt = tilt;
  Vec b{};
  bxyzmu_(&x, &y, &z, &b.x, &b.y, &b.z);
  return b;
}

namespace t = kest::op77;

// Table counts and the published telling pairs (first term of every table,
// Bx terms z and xz, By term yz): a shifted row or swapped column fails here.
TEST(OlsonPfitzer77Tables, CountsAndTellingPairs) {
  EXPECT_EQ(std::size(t::bx_plain), 32u);
  EXPECT_EQ(std::size(t::bx_exp), 32u);
  EXPECT_EQ(std::size(t::bz_plain), 32u);
  EXPECT_EQ(std::size(t::bz_exp), 32u);
  EXPECT_EQ(std::size(t::by_plain), 22u);
  EXPECT_EQ(std::size(t::by_exp), 22u);
  struct Row {
    const t::Term& term;
    double p, q;
  } rows[] = {
      {t::bx_plain[0], -0.0226836, -0.000101863}, {t::bx_exp[0], 0.0947753, 0.000145981},
      {t::bz_plain[0], -27.7924, -0.00101457},    {t::bz_exp[0], -5.07092, 0.0047196},
      {t::by_plain[0], -0.0188177, -1.92493e-06}, {t::by_exp[0], 0.00250143, 1.012e-06},
      {t::bx_plain[1], 3.42986, -0.000312195},    {t::bx_exp[1], -1.82933, 0.000554882},
      {t::bx_plain[12], -0.229457, -0.000143777}, {t::bx_exp[12], 3.06465, -7.84893e-05},
      {t::by_plain[1], -0.289064, -8.49439e-05},  {t::by_exp[1], 3.23821, 1.08589e-05},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.term.p, r.p);
    EXPECT_EQ(r.term.q, r.q);
  }
  // Term 13 of Bx is x z; term 2 of By is y * z.
  EXPECT_EQ(t::bx_plain[12].a, 1);
  EXPECT_EQ(t::bx_plain[12].c, 1);
  EXPECT_EQ(t::by_plain[1].c, 1);
}

// Parity rule: for Bx and By an even power of z makes the term odd in the tilt
// (parity 2); for Bz the reverse.
TEST(OlsonPfitzer77Tables, ParityFollowsPowerOfZ) {
  for (const auto& term : t::bx_plain) EXPECT_EQ(term.parity, term.c % 2 == 0 ? 2 : 1);
  for (const auto& term : t::by_plain) EXPECT_EQ(term.parity, term.c % 2 == 0 ? 2 : 1);
  for (const auto& term : t::bz_plain) EXPECT_EQ(term.parity, term.c % 2 == 0 ? 1 : 2);
}

// Telling values at tilt 0 on the Sun-Earth line at geostationary distance:
// a weakened dipole field on the night side, a strengthened one on the day
// side (-18.537 and +11.275 nT from an evaluation of the published tables).
TEST(OlsonPfitzer77, TellingValuesAtTiltZero) {
  const Vec night = op(0.0, -6.6, 0.0, 0.0);
  EXPECT_NEAR(night.z, -18.537, 6e-4);
  EXPECT_EQ(night.x, 0.0);
  EXPECT_EQ(night.y, 0.0);
  const Vec day = op(0.0, 6.6, 0.0, 0.0);
  EXPECT_NEAR(day.z, 11.275, 6e-4);
  EXPECT_EQ(day.x, 0.0);
  EXPECT_EQ(day.y, 0.0);
}

// At tilt 0 every odd-in-tilt coefficient vanishes, so on z = 0 the field is
// purely along z.
TEST(OlsonPfitzer77, EquatorialPlaneAtTiltZero) {
  const double pts[][2] = {{3.7, 1.2}, {-8.1, -4.4}, {0.4, 9.3}, {-12.0, 6.5}};
  for (const auto& p : pts) {
    const Vec b = op(0.0, p[0], p[1], 0.0);
    EXPECT_EQ(b.x, 0.0);
    EXPECT_EQ(b.y, 0.0);
    EXPECT_NE(b.z, 0.0);
  }
}

// North-south mirror: B(x, y, -z, -tau) = (-Bx, -By, Bz)(x, y, z, tau); and
// By is odd in y while Bx, Bz are even.
TEST(OlsonPfitzer77, MirrorSymmetries) {
  const double cases[][4] = {
      {23.4, 2.385, -0.61, 1.173}, {-17.2, -6.1, 3.3, -2.7}, {8.9, -9.5, -7.2, 4.8},
      {-31.0, 4.4, 1.9, -10.3},    {0.7, 1.6, -1.1, 1.9},
  };
  for (const auto& c : cases) {
    const double tau = c[0], x = c[1], y = c[2], z = c[3];
    const Vec b = op(tau, x, y, z);
    const Vec m = op(-tau, x, y, -z);
    EXPECT_DOUBLE_EQ(m.x, -b.x);
    EXPECT_DOUBLE_EQ(m.y, -b.y);
    EXPECT_DOUBLE_EQ(m.z, b.z);
    const Vec w = op(tau, x, -y, z);
    EXPECT_DOUBLE_EQ(w.x, b.x);
    EXPECT_DOUBLE_EQ(w.y, -b.y);
    EXPECT_DOUBLE_EQ(w.z, b.z);
  }
}

// Region edges: r = 15 exactly is computed, beyond it the field is zero; at
// r = 2 exactly the ramp is zero, inside it the field is zero.
TEST(OlsonPfitzer77, RegionEdges) {
  const Vec at15 = op(12.0, 9.0, 12.0, 0.0);  // 81 + 144 = 225 exactly
  EXPECT_NE(at15.z, 0.0);
  EXPECT_NE(at15.y, 0.0);
  const double outside[][3] = {{15.000001, 0.0, 0.0}, {-9.0, 12.0, 0.1}, {30.0, -2.0, 5.0}};
  for (const auto& p : outside) {
    const Vec b = op(12.0, p[0], p[1], p[2]);
    EXPECT_EQ(b.x, 0.0);
    EXPECT_EQ(b.y, 0.0);
    EXPECT_EQ(b.z, 0.0);
  }
  const double inside[][3] = {{2.0, 0.0, 0.0}, {0.0, 0.0, -2.0}, {1.2, -0.9, 0.4}, {0.0, 1.999, 0.0}};
  for (const auto& p : inside) {
    const Vec b = op(-20.0, p[0], p[1], p[2]);
    EXPECT_EQ(b.x, 0.0);
    EXPECT_EQ(b.y, 0.0);
    EXPECT_EQ(b.z, 0.0);
  }
}

// Inner ramp: between r = 2 and 2.5 the field is the full series times
// (r^2 - 4) / 2.25. Along one radial direction the series barely changes over
// a small step, so the ramp shows as the ratio of the ramp factors; at 2.5 the
// field joins the unramped field continuously.
TEST(OlsonPfitzer77, InnerRamp) {
  const double u[3] = {0.48, -0.6, 0.64};  // unit vector
  auto at = [&](double r) { return op(17.0, r * u[0], r * u[1], r * u[2]); };
  const double r1 = 2.001, r2 = 2.002;
  const Vec b1 = at(r1), b2 = at(r2);
  const double want = (r1 * r1 - 4.0) / (r2 * r2 - 4.0);
  EXPECT_NEAR(b1.z / b2.z, want, 2e-3 * want);
  EXPECT_NEAR(b1.x / b2.x, want, 2e-3 * want);
  // Continuity at 2.5: a step of 1e-9 inside changes the field by ~1e-9 of itself.
  const Vec in = at(2.5 - 1e-9), edge = at(2.5);
  EXPECT_NEAR(in.z, edge.z, 1e-6 * std::fabs(edge.z));
  EXPECT_NEAR(in.x, edge.x, 1e-6 * std::fabs(edge.x));
}

// The coefficient cache: a call at another tilt in between does not change
// the result at the first tilt.
TEST(OlsonPfitzer77, TiltCacheIndependence) {
  const Vec first = op(-14.3, -5.2, 2.1, 1.4);
  op(27.0, 3.0, 3.0, 3.0);
  op(0.0, 6.0, -2.0, 0.5);
  const Vec again = op(-14.3, -5.2, 2.1, 1.4);
  EXPECT_EQ(again.x, first.x);
  EXPECT_EQ(again.y, first.y);
  EXPECT_EQ(again.z, first.z);
}

// The field of currents flowing elsewhere is divergence-free. The model is a
// least-squares fit of such a field by a series that does not enforce
// div B = 0, so the numerical divergence (central differences) is small only
// against the field's gradient: up to about a fifth of the norm of the
// gradient tensor where the fit is worst (nightside near the equator), a few
// hundredths elsewhere. A term of the series in the wrong slot breaks this
// bound by far.
TEST(OlsonPfitzer77, DivergenceSmallAgainstGradient) {
  const double pts[][4] = {{0.0, -6.6, 0.0, 1.0},   {15.0, 4.2, -2.3, 1.7}, {0.0, -10.0, 0.0, 2.0},
                           {0.0, -5.0, 2.0, 3.0},   {-25.0, -8.0, 3.5, -4.0}, {-5.0, 2.7, 1.1, -0.8}};
  const double h = 1e-4;
  for (const auto& p : pts) {
    const double tau = p[0];
    double g[3][3];  // g[j][i] = dB_i / dx_j
    for (int j = 0; j < 3; ++j) {
      double a[3] = {p[1], p[2], p[3]}, b[3] = {p[1], p[2], p[3]};
      a[j] += h;
      b[j] -= h;
      const Vec fa = op(tau, a[0], a[1], a[2]), fb = op(tau, b[0], b[1], b[2]);
      g[j][0] = (fa.x - fb.x) / (2 * h);
      g[j][1] = (fa.y - fb.y) / (2 * h);
      g[j][2] = (fa.z - fb.z) / (2 * h);
    }
    double norm2 = 0.0;
    for (const auto& row : g)
      for (double v : row) norm2 += v * v;
    const double div = g[0][0] + g[1][1] + g[2][2];
    EXPECT_LE(std::fabs(div), 0.2 * std::sqrt(norm2)) << p[1] << " " << p[2] << " " << p[3];
  }
}

}  // namespace
