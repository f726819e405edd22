// State vector to classical elements: round trips through a Kepler solution
// written here, and the marker values of the orbit types.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kest/orbit.h"

namespace {

constexpr double mu = 398600.4418;
constexpr double pi = 3.14159265358979323846;
constexpr double undef = 999999.1;

struct Elements {
  double p, a, ecc, incl, node, argp, nu, m, arglat, truelon, lonper;
};

Elements coe(double r[3], double v[3]) {
  Elements e{};
  rv2coe_(r, v, &e.p, &e.a, &e.ecc, &e.incl, &e.node, &e.argp, &e.nu, &e.m, &e.arglat,
          &e.truelon, &e.lonper);
  return e;
}

// Position and velocity of an orbit (semi-latus rectum p km, e, angles rad)
// at true anomaly nu: perifocal vectors turned by node, inclination and
// argument of perigee.
void state(double p, double e, double i, double node, double argp, double nu, double r[3],
           double v[3]) {
  const double rr = p / (1.0 + e * std::cos(nu));
  const double X = rr * std::cos(nu), Y = rr * std::sin(nu);
  const double s = std::sqrt(mu / p);
  const double VX = -s * std::sin(nu), VY = s * (e + std::cos(nu));
  const double cO = std::cos(node), sO = std::sin(node), cw = std::cos(argp),
               sw = std::sin(argp), ci = std::cos(i), si = std::sin(i);
  const double m[3][2] = {{cO * cw - sO * sw * ci, -cO * sw - sO * cw * ci},
                          {sO * cw + cO * sw * ci, -sO * sw + cO * cw * ci},
                          {sw * si, cw * si}};
  for (int k = 0; k < 3; ++k) {
    r[k] = m[k][0] * X + m[k][1] * Y;
    v[k] = m[k][0] * VX + m[k][1] * VY;
  }
}

// True anomaly from the mean anomaly (Kepler's equation by Newton steps).
double true_from_mean(double e, double m) {
  if (e < 1.0) {
    double E = m;
    for (int k = 0; k < 50; ++k) E -= (E - e * std::sin(E) - m) / (1.0 - e * std::cos(E));
    return 2.0 * std::atan2(std::sqrt(1.0 + e) * std::sin(E / 2.0),
                            std::sqrt(1.0 - e) * std::cos(E / 2.0));
  }
  double H = std::asinh(m / e);
  for (int k = 0; k < 50; ++k) H -= (e * std::sinh(H) - H - m) / (e * std::cosh(H) - 1.0);
  return 2.0 * std::atan(std::sqrt((e + 1.0) / (e - 1.0)) * std::tanh(H / 2.0));
}

TEST(Rv2coe, InclinedOrbitsRoundTripThroughKepler) {
  struct Case {
    double a, e, i, node, argp, nu;
  };
  const std::vector<Case> cases = {
      {7000.0, 0.1, 0.9, 1.2, 2.5, 0.7},
      {26600.0, 0.74, 1.1, 4.9, 4.7, 3.9},
      {8000.0, 0.01, 2.5, 0.3, 5.5, 5.8},     // retrograde
      {-20000.0, 1.5, 0.5, 2.0, 1.0, 0.8},    // hyperbola, inside its asymptotes
      {-9000.0, 3.2, 1.4, 5.0, 0.2, -1.1},
  };
  for (const auto& c : cases) {
    const double p = c.a * (1.0 - c.e * c.e);
    double r[3], v[3];
    state(p, c.e, c.i, c.node, c.argp, c.nu, r, v);
    const Elements e = coe(r, v);
    EXPECT_NEAR(e.p, p, 1e-8 * p);
    EXPECT_NEAR(e.a, c.a, 1e-8 * std::fabs(c.a));
    EXPECT_NEAR(e.ecc, c.e, 1e-12);
    EXPECT_NEAR(e.incl, c.i, 1e-12);
    EXPECT_NEAR(e.node, c.node, 1e-12);
    EXPECT_NEAR(e.argp, c.argp, 1e-10);
    EXPECT_NEAR(std::remainder(e.nu - c.nu, 2.0 * pi), 0.0, 1e-10);
    EXPECT_EQ(e.arglat, undef);
    EXPECT_EQ(e.truelon, undef);
    EXPECT_EQ(e.lonper, undef);
    if (c.e < 1.0) {
      EXPECT_GE(e.m, 0.0);
      EXPECT_LT(e.m, 2.0 * pi);
    }
    // Back to a position from the returned elements and mean anomaly.
    double r2[3], v2[3];
    state(e.p, e.ecc, e.incl, e.node, e.argp, true_from_mean(e.ecc, e.m), r2, v2);
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(r2[k], r[k], 1e-7) << c.a;
      EXPECT_NEAR(v2[k], v[k], 1e-10) << c.a;
    }
  }
}

TEST(Rv2coe, NoOrbitPlaneGivesTheMarkerEverywhere) {
  double r[3] = {7000.0, 0.0, 0.0};
  std::vector<std::vector<double>> vs = {{0, 0, 0}, {3.0, 0, 0}, {-1.5, 0, 0}};
  for (auto& vv : vs) {
    const Elements e = coe(r, vv.data());
    for (double x : {e.p, e.a, e.ecc, e.incl, e.node, e.argp, e.nu, e.m, e.arglat, e.truelon,
                     e.lonper})
      EXPECT_EQ(x, undef);
  }
}

TEST(Rv2coe, CircularEquatorial) {
  const double rr = 42164.0, vc = std::sqrt(mu / rr);
  double r[3] = {rr, 0.0, 0.0};
  double v[3] = {0.0, vc, 0.0};
  Elements e = coe(r, v);
  EXPECT_NEAR(e.p, rr, 1e-6);
  EXPECT_NEAR(e.a, rr, 1e-6);
  EXPECT_EQ(e.incl, 0.0);
  EXPECT_EQ(e.truelon, 0.0);
  for (double x : {e.node, e.argp, e.nu, e.arglat, e.lonper}) EXPECT_EQ(x, undef);
  EXPECT_EQ(e.m, 0.0);  // the anomaly counted from the x axis
  // Retrograde: inclination pi, true longitude reflected to 2 pi.
  v[1] = -vc;
  e = coe(r, v);
  EXPECT_NEAR(e.incl, pi, 1e-15);
  EXPECT_DOUBLE_EQ(e.truelon, 2.0 * pi);
  // A point 120 degrees round, retrograde: motion clockwise, so 240 degrees
  // counted along the motion.
  double r3[3] = {rr * std::cos(2.0 * pi / 3.0), rr * std::sin(2.0 * pi / 3.0), 0.0};
  double v3[3] = {vc * std::sin(2.0 * pi / 3.0), -vc * std::cos(2.0 * pi / 3.0), 0.0};
  e = coe(r3, v3);
  EXPECT_NEAR(e.truelon, 4.0 * pi / 3.0, 1e-12);
  EXPECT_NEAR(e.m, 4.0 * pi / 3.0, 1e-12);
}

TEST(Rv2coe, CircularInclinedCarriesTheArgumentOfLatitude) {
  const double rr = 7200.0, i = 0.9, node = 2.2, u = 1.3;
  double r[3], v[3];
  state(rr, 0.0, i, node, 0.0, u, r, v);
  const Elements e = coe(r, v);
  EXPECT_NEAR(e.arglat, u, 1e-7);
  EXPECT_NEAR(e.node, node, 1e-12);
  EXPECT_NEAR(e.incl, i, 1e-12);
  for (double x : {e.nu, e.argp, e.truelon, e.lonper}) EXPECT_EQ(x, undef);
  EXPECT_EQ(e.m, e.arglat);
}

TEST(Rv2coe, EllipticalEquatorialCarriesTheLongitudeOfPerigee) {
  // Perigee 50 degrees from x, satellite 30 degrees past perigee.
  const double a = 9000.0, ecc = 0.2, lp = 50.0 * pi / 180.0, nu = 30.0 * pi / 180.0;
  const double p = a * (1.0 - ecc * ecc);
  double r[3], v[3];
  state(p, ecc, 0.0, 0.0, lp, nu, r, v);
  Elements e = coe(r, v);
  EXPECT_NEAR(e.lonper, lp, 1e-12);
  EXPECT_NEAR(e.nu, nu, 1e-12);
  for (double x : {e.node, e.argp, e.arglat, e.truelon}) EXPECT_EQ(x, undef);
  // The same orbit flown backwards (inclination pi): the longitude of
  // perigee is counted along the motion, 2 pi - 50 degrees.
  for (double& x : v) x = -x;
  e = coe(r, v);
  EXPECT_NEAR(e.incl, pi, 1e-15);
  EXPECT_NEAR(e.lonper, 2.0 * pi - lp, 1e-12);
}

TEST(Rv2coe, EscapeSpeedGivesTheInfiniteAxisMarker) {
  // The energy v^2/2 - mu/r must come within 1e-8 of zero: r and v chosen
  // as exact binary values, v^2 = 2 mu / r.
  double r[3] = {0.0, 0.0, 0.0}, v[3] = {0.0, 0.0, 0.0};
  r[0] = 2.0 * mu / 64.0;  // v = 8 km/s
  v[1] = 8.0;
  v[2] = 0.0;
  Elements e = coe(r, v);
  EXPECT_EQ(e.a, 999999.9);
  EXPECT_NEAR(e.p, 2.0 * r[0], 1e-6);  // parabola: p = 2 q
  EXPECT_NEAR(e.ecc, 1.0, 1e-12);
}

TEST(Rv2coe, EntryPassesTheAddressesAndReturns9_9) {
  double r[3] = {7000.0, 100.0, 1300.0}, v[3] = {-0.5, 7.1, 1.9};
  const Elements direct = coe(r, v);
  Elements viaidl{};
  void* argv[13] = {r, v, &viaidl.p, &viaidl.a, &viaidl.ecc, &viaidl.incl, &viaidl.node,
                    &viaidl.argp, &viaidl.nu, &viaidl.m, &viaidl.arglat, &viaidl.truelon,
                    &viaidl.lonper};
  EXPECT_FLOAT_EQ(rv2coe_idl_(13, argv), 9.9f);
  EXPECT_EQ(viaidl.a, direct.a);
  EXPECT_EQ(viaidl.m, direct.m);
  EXPECT_EQ(viaidl.lonper, direct.lonper);
}

}  // namespace
