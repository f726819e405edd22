// Thresholds and settled constants of the SGP4/SDP4 core: the sidereal time of
// the epoch, the near-Earth/deep-space boundary, the resonance bands and the
// branches of the half-day eccentricity fits, the low-inclination guard of the
// luni-solar node terms, Lyddane's form of the periodics, the drag regimes,
// the retrograde-equatorial divisor and the bounds of the mean elements.
// Expected values are hand derivations from the model's formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "kest/orbit.h"
#include "orbit/orbit_state.hpp"
#include "orbit/sgp4unit.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double deg = pi / 180.0;
constexpr double revday = 2.0 * pi / 1440.0;  // rev/day -> rad/min

struct Wgs84 {
  double tumin, radius, xke, j2, j3, j4, j3oj2;
  Wgs84() {
    int set = 84;
    getgravconst_(&set, &tumin, &radius, &xke, &j2, &j3, &j4, &j3oj2);
  }
};

// sgp4init_ with WGS-84; angles in degrees, mean motion in rad/min; returns
// the error code.
int init(double ecc, double incl_rad, double no, double bstar = 0.0, double argp = 30.0,
         double node = 40.0, double mo = 50.0, double epoch = 20000.5) {
  int set = 84, satn = 1, err = -1;
  double b = bstar, e = ecc, ep = epoch, w = argp * deg, i = incl_rad, m = mo * deg, n = no,
         o = node * deg;
  sgp4init_(&set, &satn, &b, &e, &ep, &w, &i, &m, &n, &o, &err);
  return err;
}

double next_up(double x) { return std::nextafter(x, 1.0e300); }
double next_down(double x) { return std::nextafter(x, -1.0e300); }

// An inclination near 54.7 degrees for which 3 cos^2 i - 1 is exactly 0 in
// double arithmetic: the Kozai-to-Brouwer correction of the mean motion then
// vanishes, and the mean motion given is the one the thresholds test.
double neutral_inclination() {
  const double x0 = std::acos(1.0 / std::sqrt(3.0));
  double up = x0, down = x0;
  for (int k = 0; k < 4000; ++k) {
    for (const double x : {up, down}) {
      const double c = std::cos(x);
      if (3.0 * (c * c) - 1.0 == 0.0) return x;
    }
    up = next_up(up);
    down = next_down(down);
  }
  return std::nan("");
}

}  // namespace

// Greenwich sidereal time of the epoch: 0h UT of the epoch day from the
// polynomial in Julian centuries from J2000, plus the rotation through the
// day, reduced by the model's 2 pi (6.28318530717959). Hand derivation in
// 40-digit decimal arithmetic with the model's constants as written: epoch 0
// (1949-12-31 00:00 UT, T0 = -0.50002737850787), 18:00 on that day, and
// 2004-10-04 06:00. Double arithmetic lands within 1.2e-14 of these.
TEST(Sgp4Thresholds, SiderealTimeOfTheEpoch) {
  struct Case {
    double epoch, gst;
  } const cases[] = {{0.0, 1.729447474907207},
                     {0.75, 0.1715532417269216},
                     {20000.25, 1.785187033221397}};
  for (const Case& c : cases) {
    int satn = 1, set = 84;
    double ecc = 0.001, epoch = c.epoch, incl = 0.5, no = 15.0 * revday;
    char method = 'x';
    double ainv, ao, con41, con42, cosio, cosio2, eccsq, omeosq, posq, rp, rteosq, sinio, gsto;
    initl_(&satn, &set, &ecc, &epoch, &incl, &no, &method, &ainv, &ao, &con41, &con42, &cosio,
           &cosio2, &eccsq, &omeosq, &posq, &rp, &rteosq, &sinio, &gsto);
    EXPECT_NEAR(gsto, c.gst, 1e-12) << c.epoch;
    EXPECT_EQ(method, 'n');
  }
}

// A period of exactly 225 minutes (2 pi / n with the model's pi) is deep
// space; the next larger mean motion is near-Earth.
TEST(Sgp4Thresholds, DeepSpaceFromAPeriodOf225Minutes) {
  const double incl = neutral_inclination();
  ASSERT_FALSE(std::isnan(incl));
  const double twopi_model = 2.0 * 3.14159265358979;
  double n225 = twopi_model / 225.0;
  while (twopi_model / n225 < 225.0) n225 = next_down(n225);
  while (twopi_model / next_up(n225) >= 225.0) n225 = next_up(n225);
  ASSERT_EQ(twopi_model / n225 >= 225.0, true);

  init(0.01, incl, n225);
  EXPECT_EQ(kest::elsetrec.mean_motion, n225) << "no Kozai correction at this inclination";
  EXPECT_EQ(kest::elsetrec.method, 'd');
  init(0.01, incl, next_up(n225));
  EXPECT_EQ(kest::elsetrec.method, 'n');
}

// One-day resonance for 0.0034906585 < n < 0.0052359877 rad/min (strict);
// half-day for 0.00826 <= n <= 0.00924 with e >= 0.5.
TEST(Sgp4Thresholds, ResonanceBands) {
  const double incl = neutral_inclination();
  ASSERT_FALSE(std::isnan(incl));
  struct Case {
    double n, e;
    int resonance;
  } const cases[] = {
      {0.0052359877, 0.01, 0},
      {next_down(0.0052359877), 0.01, 1},
      {0.0034906585, 0.01, 0},
      {next_up(0.0034906585), 0.01, 1},
      {0.00826, 0.5, 2},
      {next_down(0.00826), 0.5, 0},
      {0.00924, 0.5, 2},
      {next_up(0.00924), 0.5, 0},
      {0.0087, 0.4999, 0},
      {0.0087, 0.7, 2},
  };
  for (const Case& c : cases) {
    init(c.e, incl, c.n);
    ASSERT_EQ(kest::elsetrec.mean_motion, c.n);
    ASSERT_EQ(kest::elsetrec.method, 'd');
    EXPECT_EQ(kest::elsetrec.resonance, c.resonance) << c.n << " e " << c.e;
  }
}

// The half-day eccentricity fits switch at e <= 0.65 (G211 and the others of
// the first group), e <= 0.715 (G520 above 0.65) and e < 0.7 (G521, G532,
// G533). Every other factor of a resonance coefficient depends on the mean
// motion and the inclination only, so the ratio of a coefficient at e to the
// one at e = 0.6 is the ratio of the fits.
TEST(Sgp4Thresholds, HalfDayEccentricityFitBranches) {
  const double incl = neutral_inclination();
  ASSERT_FALSE(std::isnan(incl));
  const double n = 0.0087;
  auto g211a = [](double e) { return 3.616 - 13.2470 * e + 16.2900 * e * e; };
  auto g211b = [](double e) {
    return -72.099 + 331.819 * e - 508.738 * e * e + 266.724 * e * e * e;
  };
  auto g520lo = [](double e) {
    return -532.114 + 3017.977 * e - 5740.032 * e * e + 3708.2760 * e * e * e;
  };
  auto g520a = [](double e) { return 1464.74 - 4664.75 * e + 3763.64 * e * e; };
  auto g520b = [](double e) {
    return -5149.66 + 29936.92 * e - 54087.36 * e * e + 31324.56 * e * e * e;
  };
  auto g521a = [](double e) {
    return -822.71072 + 4568.6173 * e - 8491.4146 * e * e + 5337.524 * e * e * e;
  };
  auto g521b = [](double e) {
    return -51752.104 + 218913.95 * e - 309468.16 * e * e + 146349.42 * e * e * e;
  };

  init(0.6, incl, n);
  ASSERT_EQ(kest::elsetrec.resonance, 2);
  const double r2211 = kest::elsetrec.res_2211, r5220 = kest::elsetrec.res_5220,
               r5421 = kest::elsetrec.res_5421;

  struct Case {
    double e, g211, g520, g521;
  } const cases[] = {
      {0.65, g211a(0.65), g520lo(0.65), g521a(0.65)},
      {next_up(0.65), g211b(next_up(0.65)), g520a(next_up(0.65)), g521a(next_up(0.65))},
      {0.715, g211b(0.715), g520a(0.715), g521b(0.715)},
      {next_up(0.715), g211b(next_up(0.715)), g520b(next_up(0.715)), g521b(next_up(0.715))},
      {next_down(0.7), g211b(next_down(0.7)), g520a(next_down(0.7)), g521a(next_down(0.7))},
      {0.7, g211b(0.7), g520a(0.7), g521b(0.7)},
  };
  for (const Case& c : cases) {
    init(c.e, incl, n);
    ASSERT_EQ(kest::elsetrec.resonance, 2);
    const auto& s = kest::elsetrec;
    EXPECT_NEAR(s.res_2211 / r2211 * g211a(0.6), c.g211, 1e-7 * std::fabs(c.g211)) << c.e;
    EXPECT_NEAR(s.res_5220 / r5220 * g520lo(0.6), c.g520, 1e-7 * std::fabs(c.g520)) << c.e;
    EXPECT_NEAR(s.res_5421 / r5421 * g521a(0.6), c.g521, 1e-7 * std::fabs(c.g521)) << c.e;
  }
}

// Within 3 degrees (0.052359877 rad) of an equatorial orbit the luni-solar
// node terms are dropped; an equatorial orbit (sin i = 0) skips the
// divisions by sin i and keeps finite rates.
TEST(Sgp4Thresholds, LowInclinationDropsTheLuniSolarNodeTerms) {
  struct Case {
    double incl_deg;
    bool node_terms;
  } const cases[] = {{2.9, false}, {3.1, true}, {0.0, false}, {177.1, false}, {176.9, true}};
  for (const Case& c : cases) {
    init(0.0003, c.incl_deg * deg, 1.0027 * revday);
    const auto& s = kest::elsetrec;
    ASSERT_EQ(s.method, 'd');
    EXPECT_EQ(s.deep_node_rate != 0.0, c.node_terms) << c.incl_deg;
    EXPECT_TRUE(std::isfinite(s.deep_perigee_rate)) << c.incl_deg;
    EXPECT_TRUE(std::isfinite(s.deep_node_rate)) << c.incl_deg;
  }
}

// The periodics take Lyddane's form below 0.2 rad of perturbed inclination.
// With every luni-solar coefficient 0 but one, the direct form leaves a node
// of 7 rad as it is, while Lyddane's form reduces it modulo 2 pi first. In
// Lyddane's form a node just below pi pushed across it comes back above pi,
// within pi of the reduced node, not near -pi.
TEST(Sgp4Thresholds, LyddaneFormBelowAPerturbedInclinationOf0_2) {
  auto setup = [](double sol_i2, double sol_h2) {
    kest::elsetrec = kest::Elsetrec{};  // Sun and Moon at mean anomaly 0: f2 = -1/4, f3 = 0
    kest::elsetrec.sol_i2 = sol_i2;
    kest::elsetrec.sol_h2 = sol_h2;
  };
  struct Case {
    double incl, sol_i2;
    bool lyddane;
  } const cases[] = {
      {0.2, 0.0, false},
      {0.1999, 0.0, true},
      {0.2001, 0.0008, true},   // perturbed: 0.2001 - 0.0002 = 0.1999
      {0.1999, -0.0008, false}, // perturbed: 0.2001
  };
  for (const Case& c : cases) {
    setup(c.sol_i2, 0.0);
    double e = 0.1, i = c.incl, node = 7.0, argp = 1.0, m = 2.0;
    kest::dpper(0.0, 'n', e, i, node, argp, m);
    EXPECT_NEAR(i, c.incl - 0.25 * c.sol_i2, 1e-15);
    if (c.lyddane)
      EXPECT_NEAR(node, 7.0 - 2.0 * pi, 1e-12) << c.incl;
    else
      EXPECT_EQ(node, 7.0) << c.incl;
  }

  // Node pi - 0.001, inclination 0.1, node periodic 2e-4 (sol_h2 = -8e-4):
  // the perturbed direction (alpha, beta) lies just past pi.
  setup(0.0, -8.0e-4);
  double e = 0.1, i = 0.1, node = pi - 0.001, argp = 1.0, m = 2.0;
  const double ph = 2.0e-4, si = std::sin(0.1);
  const double alpha = si * std::sin(node) + ph * std::cos(node);
  const double beta = si * std::cos(node) - ph * std::sin(node);
  kest::dpper(0.0, 'n', e, i, node, argp, m);
  EXPECT_GT(node, pi);
  EXPECT_NEAR(node, std::atan2(alpha, beta) + 2.0 * pi, 1e-12);
}

// Drag regimes from the perigee height h: the simplified drag below 220 km
// (no D2..D4), and the density parameter s* = 78 km from 156 km up, h - 78
// below, 20 km at or below 98 km. s* follows from eta = a0 e / (a0 - s*).
TEST(Sgp4Thresholds, DragRegimesFromThePerigeeHeight) {
  const Wgs84 g;
  const double e = 0.01;
  bool seen_simple = false, seen_full = false;
  for (double h = 214.0; h <= 226.0; h += 0.5) {
    // Kozai mean motion of a0 = (1 + h/R)/(1 - e), near enough.
    const double a0 = (1.0 + h / g.radius) / (1.0 - e);
    init(e, 30.0 * deg, g.xke / std::pow(a0, 1.5), 1.0e-4);
    const auto& s = kest::elsetrec;
    const double ao = std::pow(g.xke / s.mean_motion, 2.0 / 3.0);
    const bool simple = ao * (1.0 - e) < 220.0 / g.radius + 1.0;
    EXPECT_EQ(s.simple_drag, simple ? 1 : 0) << h;
    EXPECT_EQ(s.drag_d2 == 0.0 && s.t3_coef == 0.0, simple) << h;
    (simple ? seen_simple : seen_full) = true;
  }
  EXPECT_TRUE(seen_simple && seen_full);

  for (double h : {80.0, 97.0, 110.0, 130.0, 155.0, 160.0, 300.0}) {
    const double a0 = (1.0 + h / g.radius) / (1.0 - e);
    init(e, 30.0 * deg, g.xke / std::pow(a0, 1.5), 1.0e-4);
    const auto& s = kest::elsetrec;
    const double ao = std::pow(g.xke / s.mean_motion, 2.0 / 3.0);
    const double perigee_km = (ao * (1.0 - e) - 1.0) * g.radius;
    const double sstar_km = (ao - ao * e / s.eta - 1.0) * g.radius;
    const double want = perigee_km >= 156.0 ? 78.0 : perigee_km > 98.0 ? perigee_km - 78.0 : 20.0;
    EXPECT_NEAR(sstar_km, want, 1e-6) << h;
  }
}

// C3 (hence the perigee drag) and the mean-anomaly drag need e > 1e-4.
TEST(Sgp4Thresholds, SmallEccentricityDropsC3AndTheMeanAnomalyDrag) {
  for (const double e : {1.0e-4, next_up(1.0e-4)}) {
    init(e, 51.6 * deg, 15.5 * revday, 1.0e-4);
    const auto& s = kest::elsetrec;
    const bool drag = e > 1.0e-4;
    EXPECT_EQ(s.perigee_drag != 0.0, drag) << e;
    EXPECT_EQ(s.m_drag != 0.0, drag) << e;
  }
}

// An inclination of 180 degrees (1 + cos i = 0) takes the small divisor in
// the long-period coefficient of the mean longitude. That divisor is the
// band's own bound, 1.5e-12, the smallest value of 1 + cos i the other branch
// ever divides by, so the coefficient is continuous at the band's edge and,
// with sin i below 1e-15 at 180 degrees, under 1e-6 by hand: the orbit
// propagates (code 0, a radius between perigee and apogee, in the equator
// plane) and its position at the epoch is the two-body position of its mean
// elements up to the short-period terms of order J2 (1e-3 rad). A divisor of
// 5e-19, the exact value of 1 + cos(pi - 1e-9), would make the coefficient
// 0.3 to 1.8 and turn the position by 0.7 to 4 degrees at e = 0.05.
// (180 degrees exactly, and as the radians of a two-line element's 180.0000.)
TEST(Sgp4Thresholds, RetrogradeEquatorialTakesTheSmallDivisor) {
  const Wgs84 g;
  for (const double incl : {3.141592653589793, 180.0 * 0.0174532925199433}) {
    ASSERT_LE(std::fabs(std::cos(incl) + 1.0), 1.5e-12);
    ASSERT_LT(std::fabs(std::sin(incl)), 1e-15);
    const double e = 0.05, n = 14.0 * revday, argp = 30.0, node = 40.0, mo = 50.0;
    EXPECT_EQ(init(e, incl, n, 0.0, argp, node, mo), 0) << incl;
    EXPECT_LT(std::fabs(kest::elsetrec.l_coef), 1e-6) << incl;
    const double a = std::pow(g.xke / kest::elsetrec.mean_motion, 2.0 / 3.0) * g.radius;
    for (double t : {0.0, 10.0, 45.0, 1440.0}) {
      int set = 84, err = -1;
      double r[3], v[3];
      sgp4_(&set, &t, r, v, &err);
      EXPECT_EQ(err, 0) << incl << " t " << t;
      const double rr = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
      EXPECT_NEAR(rr, a, a * (e + 0.002)) << incl << " t " << t;
      EXPECT_LT(std::fabs(r[2]), 1.0) << "stays in the equator plane";
      if (t != 0.0) continue;
      // Two-body position of the mean elements at the epoch (Kepler's
      // equation by Newton steps; the orbit plane is the equator, turned
      // over: the angles count clockwise seen from the north).
      const double M = mo * deg;
      double E = M;
      for (int k = 0; k < 50; ++k) E -= (E - e * std::sin(E) - M) / (1.0 - e * std::cos(E));
      const double nu = 2.0 * std::atan2(std::sqrt(1.0 + e) * std::sin(E / 2), std::sqrt(1.0 - e) * std::cos(E / 2));
      const double u = argp * deg + nu, W = node * deg;
      const double px = std::cos(W) * std::cos(u) - std::sin(W) * std::sin(u) * std::cos(incl);
      const double py = std::sin(W) * std::cos(u) + std::cos(W) * std::sin(u) * std::cos(incl);
      const double angle = std::acos((r[0] * px + r[1] * py) / std::hypot(r[0], r[1]) / std::hypot(px, py));
      EXPECT_LT(angle, 3.0e-3) << incl << ": " << angle / deg << " degrees from the two-body position";
    }
  }
}

// The bound of the mean semi-major axis is the single-precision 0.95
// (0.949999988079071): a mean axis of 0.94999999 passes, 0.9499999 is code 1.
// A mean eccentricity below 0 is replaced by 1e-6, after code 1 below -0.001,
// silently above. Checked at t = 0 on a record whose mean motion or
// eccentricity is set after the initialisation, at apogee (so that the
// radius stays above one Earth radius and no code 6 follows).
TEST(Sgp4Thresholds, BoundsOfTheMeanElements) {
  const Wgs84 g;
  int set = 84;
  auto at_epoch = [&](double* r, int& err) {
    double t = 0.0, v[3];
    sgp4_(&set, &t, r, v, &err);
  };
  struct Axis {
    double a;
    int code;
  } const axes[] = {{0.94999999, 0}, {0.9499999, 1}, {0.96, 0}};
  for (const Axis& c : axes) {
    ASSERT_EQ(init(0.1, 30.0 * deg, 14.0 * revday, 0.0, 30.0, 40.0, 180.0), 0);
    kest::elsetrec.mean_motion = g.xke / std::pow(c.a, 1.5);
    double r[3];
    int err = -1;
    at_epoch(r, err);
    EXPECT_EQ(err, c.code) << c.a;
  }

  double ref[3];
  int err = -1;
  ASSERT_EQ(init(0.1, 30.0 * deg, 14.0 * revday, 0.0, 30.0, 40.0, 180.0), 0);
  kest::elsetrec.eccentricity = 1.0e-6;
  at_epoch(ref, err);
  ASSERT_EQ(err, 0);
  struct Ecc {
    double e;
    int code;
  } const eccs[] = {{-0.0005, 0}, {-0.001, 0}, {-0.002, 1}};
  for (const Ecc& c : eccs) {
    ASSERT_EQ(init(0.1, 30.0 * deg, 14.0 * revday, 0.0, 30.0, 40.0, 180.0), 0);
    kest::elsetrec.eccentricity = c.e;
    double r[3];
    at_epoch(r, err);
    EXPECT_EQ(err, c.code) << c.e;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(r[k], ref[k]) << c.e;
  }
}

// The resonance integration steps 720 minutes at a time while the time left
// is at least 720 minutes, forward for t > 0 and backward otherwise.
TEST(Sgp4Thresholds, ResonanceIntegrationSteps) {
  struct Case {
    double t, grid;
  } const cases[] = {{0.0, 0.0},     {719.999, 0.0},     {720.0, 720.0},   {1439.999, 720.0},
                     {-719.999, 0.0}, {-720.0, -720.0}, {-1440.0, -1440.0}};
  for (const Case& c : cases) {
    init(0.0003, 0.05 * deg, 1.0027 * revday);
    ASSERT_EQ(kest::elsetrec.resonance, 1);
    int set = 84, err = -1;
    double t = c.t, r[3], v[3];
    sgp4_(&set, &t, r, v, &err);
    EXPECT_EQ(kest::elsetrec.res_time, c.grid) << c.t;
  }
}
