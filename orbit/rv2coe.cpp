// State vector to classical orbital elements.
//
// References: D. A. Vallado, Fundamentals of Astrodynamics and Applications,
// 2nd ed., 2001, algorithm 9 (RV2COE), with the special angles of circular
// and equatorial orbits.
#include <cmath>
#include <cstring>

#include "kest/orbit.h"

namespace {

constexpr double mu = 398600.4418;  // km^3/s^2, fixed (not the SGP4 constant set)
constexpr double small = 1.0e-8;
constexpr double pi = 3.141592653589793;
constexpr double twopi = 6.283185307179586;
constexpr double undefined = 999999.1;   // angle or element without meaning
constexpr double infinite_a = 999999.9;  // semi-major axis of a parabola

double clamp_unit(double c) {
  if (std::fabs(c) > 1.0) return c >= 0.0 ? 1.0 : -1.0;
  return c;
}

}  // namespace

// rv2coe: classical elements of a position and velocity.
// Given:    r(3)  double  position, km, inertial frame
//           v(3)  double  velocity, km/s
// Returned: p  double  semi-latus rectum, km
//           a  double  semi-major axis, km (negative for a hyperbola;
//              999999.9 when the energy is within 1e-8 of zero)
//           ecc  double  eccentricity
//           incl  double  inclination, rad in [0, pi]
//           omega  double  right ascension of the ascending node, rad
//           argp  double  argument of perigee, rad
//           nu  double  true anomaly, rad
//           m  double  mean anomaly, rad (hyperbolic mean anomaly for e > 1)
//           arglat  double  argument of latitude, rad (circular inclined)
//           truelon  double  true longitude, rad (circular equatorial)
//           lonper  double  longitude of perigee, rad (elliptical equatorial)
// Failure:  an angle undefined for the orbit type is 999999.1; with no orbit
//           plane (r or v zero, or parallel) all eleven outputs are 999999.1.
// Notes:    1. One threshold 1e-8 for angular momentum, node, eccentricity,
//              energy, inclination and radius.
//           2. M comes from newtonnu_ on Nu taken in (-pi, pi] for the
//              elliptical types: reduced to [0, 2 pi) for e < 1, negative
//              before perigee on a hyperbola or parabola. A circular orbit
//              has no perigee and no Nu: its M is ArgLat ("CI") or TrueLon
//              ("CE"), the anomaly counted from the node or the x axis.
//           3. The retrograde reflections of LonPer and TrueLon, and the
//              reflections 2 pi - x of Omega, Argp, Nu and ArgLat for an
//              angle x below the rounding of 2 pi (a state a hair before
//              the node or perigee), can give exactly 2 pi; so can M.
extern "C" void rv2coe_(double* r, double* v, double* p, double* a, double* ecc, double* incl,
                        double* omega, double* argp, double* nu, double* m, double* arglat,
                        double* truelon, double* lonper) {
  const double magr = mag_(r);
  const double magv = mag_(v);
  double hbar[3];
  cross_(r, v, hbar);
  const double magh = mag_(hbar);
  if (!(magh > small)) {
    *p = *a = *ecc = *incl = *omega = *argp = *nu = *m = *arglat = *truelon = *lonper = undefined;
    return;
  }
  double nbar[3] = {-hbar[1], hbar[0], 0.0};
  const double magn = mag_(nbar);
  const double c1 = magv * magv - mu / magr;
  const double rdotv = dot_(r, v);
  double ebar[3];
  for (int i = 0; i < 3; ++i) ebar[i] = (c1 * r[i] - rdotv * v[i]) / mu;
  *ecc = mag_(ebar);

  const double sme = magv * magv * 0.5 - mu / magr;
  *a = std::fabs(sme) > small ? -mu / (2.0 * sme) : infinite_a;
  *p = magh * magh / mu;
  *incl = std::acos(hbar[2] / magh);

  // Orbit type: elliptical/circular, inclined/equatorial.
  const bool equatorial = *incl < small || std::fabs(*incl - pi) < small;
  char type[3] = "EI";
  if (*ecc < small)
    std::strcpy(type, equatorial ? "CE" : "CI");
  else if (equatorial)
    std::strcpy(type, "EE");

  if (magn > small) {
    *omega = std::acos(clamp_unit(nbar[0] / magn));
    if (nbar[1] < 0.0) *omega = twopi - *omega;
  } else {
    *omega = undefined;
  }

  if (std::strcmp(type, "EI") == 0) {
    angle_(nbar, ebar, argp);
    if (ebar[2] < 0.0) *argp = twopi - *argp;
  } else {
    *argp = undefined;
  }

  if (type[0] == 'E') {
    angle_(ebar, r, nu);
    if (rdotv < 0.0) *nu = twopi - *nu;
  } else {
    *nu = undefined;
  }

  if (std::strcmp(type, "CI") == 0) {
    angle_(nbar, r, arglat);
    if (r[2] < 0.0) *arglat = twopi - *arglat;
  } else {
    *arglat = undefined;
  }

  if (*ecc > small && std::strcmp(type, "EE") == 0) {
    *lonper = std::acos(clamp_unit(ebar[0] / *ecc));
    if (ebar[1] < 0.0) *lonper = twopi - *lonper;
    if (*incl > pi * 0.5) *lonper = twopi - *lonper;
  } else {
    *lonper = undefined;
  }

  if (magr > small && std::strcmp(type, "CE") == 0) {
    *truelon = std::acos(clamp_unit(r[0] / magr));
    if (r[1] < 0.0) *truelon = twopi - *truelon;
    if (*incl > pi * 0.5) *truelon = twopi - *truelon;
  } else {
    *truelon = undefined;
  }

  // Mean anomaly. A circular orbit has no perigee: its anomaly is counted
  // from the ascending node (inclined) or from the x axis (equatorial), where
  // mean, eccentric and true anomaly coincide.
  if (std::strcmp(type, "CI") == 0) {
    *m = *arglat;
  } else if (std::strcmp(type, "CE") == 0) {
    *m = *truelon;
  } else {
    // The true anomaly in (-pi, pi]: the hyperbolic and parabolic anomalies
    // are defined for inbound states (before perigee) as negative angles;
    // counted in [0, 2 pi) such a state would lie "beyond the asymptote".
    double nu_signed = *nu > pi ? *nu - twopi : *nu;
    double e0;
    newtonnu_(ecc, &nu_signed, &e0, m);
  }
}
