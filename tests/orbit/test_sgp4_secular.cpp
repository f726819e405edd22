// Secular motion of the node and the perigee under the Earth's oblateness, as
// the propagated orbit shows it: the node regresses at -1.5 n J2 (Re/p)^2
// cos i (progresses for a retrograde orbit), the perigee turns at
// 0.75 n J2 (Re/p)^2 (5 cos^2 i - 1), standing still at the critical
// inclinations 63.43 and 116.57 degrees. The rates are measured from
// propagated states: the osculating node and perigee argument, averaged over
// 20 revolutions, 30 days apart.
//
// The first-order rates take n and a from the element set (Kepler's third
// law with the model's own xke); the model's second-order J2 and its J4 terms
// and its Brouwer mean motion move the rates by some 0.2 % of the node rate
// and 0.21 % of the perigee scale 3 n J2 (Re/p)^2 (measured), the short- and
// long-period terms that the averaging leaves by less. The tolerances, 0.5 %
// of the node rate and 1 % of the perigee scale, leave room for those and
// catch a sign, a factor or a quadrant of the node or the perigee gone wrong.
//
// References: D. Brouwer, Astron. J. 64, 378 (1959); D. A. Vallado,
// Fundamentals of Astrodynamics and Applications, 2nd ed., 2001, sec. 9.6.
#include <gtest/gtest.h>

#include <cmath>

#include "kest/orbit.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double d2r = pi / 180.0;

int wgs84 = 84;

// Mean of the osculating node and argument of perigee (radians) over 20
// revolutions from t0 (minutes), 100 states per revolution.
void mean_angles(double t0, double period, double& node, double& argp) {
  double sn = 0.0, cn = 0.0, sw = 0.0, cw = 0.0;
  for (int k = 0; k < 2000; ++k) {
    double t = t0 + k * period / 100.0, r[3], v[3];
    int error = 0;
    sgp4_(&wgs84, &t, r, v, &error);
    ASSERT_EQ(error, 0);
    double p, a, e, i, o, w, nu, m, u, l, pi_;
    rv2coe_(r, v, &p, &a, &e, &i, &o, &w, &nu, &m, &u, &l, &pi_);
    sn += std::sin(o);
    cn += std::cos(o);
    sw += std::sin(w);
    cw += std::cos(w);
  }
  node = std::atan2(sn, cn);
  argp = std::atan2(sw, cw);
}

TEST(Sgp4Secular, NodeAndPerigeeRatesOfTheOblateEarth) {
  double tumin, radius, xke, j2, j3, j4, j3oj2;
  getgravconst_(&wgs84, &tumin, &radius, &xke, &j2, &j3, &j4, &j3oj2);
  // 13 revolutions a day, e = 0.1 (perigee near 500 km, apogee near 2000 km).
  // Prograde and retrograde, both critical inclinations (arctan 2 and its
  // supplement).
  const double incs[] = {28.5, 51.6, 63.43494882292201, 98.0, 116.56505117707799, 151.5};
  const double n = 13.0 * 2.0 * pi / 1440.0, e = 0.1;  // rad/min
  const double span = 30.0 * 1440.0;                     // minutes
  for (double inc : incs) {
    int satn = 0, error = 0;
    double bstar = 0.0, ecc = e, epoch = 21000.0, argp = 40.0 * d2r, incl = inc * d2r,
           mo = 10.0 * d2r, no = n, node = 250.0 * d2r;
    sgp4init_(&wgs84, &satn, &bstar, &ecc, &epoch, &argp, &incl, &mo, &no, &node, &error);
    ASSERT_EQ(error, 0) << inc;

    const double a = std::pow(xke / n, 2.0 / 3.0), p = a * (1.0 - e * e);  // Earth radii
    const double c = std::cos(inc * d2r), k = n * j2 / (p * p);
    const double node_rate = -1.5 * k * c;                // rad/min
    const double perigee_rate = 0.75 * k * (5.0 * c * c - 1.0);
    const double perigee_scale = 3.0 * k;                 // the rate at i = 0

    double o0, w0, o1, w1;
    mean_angles(0.0, 2.0 * pi / n, o0, w0);
    mean_angles(span, 2.0 * pi / n, o1, w1);
    // The whole turns the angles made, from the expected change (in 30 days
    // the node turns by up to 2.5 rad, the perigee by up to 4.1 rad).
    auto turned = [](double d, double expected) {
      return d + 2.0 * pi * std::round((expected - d) / (2.0 * pi));
    };
    const double node_meas = turned(o1 - o0, node_rate * span) / span;
    const double perigee_meas = turned(w1 - w0, perigee_rate * span) / span;
    EXPECT_NEAR(node_meas, node_rate, 0.005 * std::fabs(node_rate)) << "inclination " << inc;
    EXPECT_NEAR(perigee_meas, perigee_rate, 0.01 * perigee_scale) << "inclination " << inc;
  }
}

}  // namespace
