// Earth constants, geodetic and spherical conversions.
//
// GEO Cartesian positions are in Earth radii of 6371.2 km; geodetic
// coordinates refer to the WGS84 ellipsoid (6378.137 km, 6356.752314 km);
// angles are in degrees at every interface. D(phi) = sqrt(a2 cos^2 phi +
// b2 sin^2 phi) is the ellipsoid quantity used throughout.
#include <cmath>

#include "frame/frame_state.hpp"
#include "kest/frame.h"

namespace kest {
Gener gener{};
}  // namespace kest

namespace {

inline double pi() { return 4.0 * std::atan(1.0); }

// Most passes of the geodetic iteration. Anywhere beyond 0.01 Earth radii
// from the centre it ends within 10 passes (within 2 beyond 0.1); only near
// the cusps of the ellipsoid's evolute, some 43 km from the centre on the
// polar axis, does it swing between two latitudes for millions of passes.
constexpr int kGdzMaxPasses = 100;

// Below this cosine of the latitude the point lies within 1e-10 of its
// distance from the polar axis.
constexpr double kNearAxisCos = 1e-10;

// Height (Re) of the point (rho, z) above the foot of its ellipsoid normal at
// latitude phi, where n is the prime-vertical radius N and np = N (1 - e^2)
// (both Re; 1 and 1 give the distance from the centre minus 1). Off the axis
// rho / cos(phi) - N. Near the axis cos(phi) carries the rounding of phi
// (about 1e-16 rad) relative to its own size: at 1e-14 that is 1 % of the
// distance, tens of km, so there the same height is taken along z, as
// z / sin(phi) - N (1 - e^2), whose sine is exact to rounding.
inline double height_on_normal(double rho, double z, double phi, double n, double np) {
  const double c = std::cos(phi);
  if (std::fabs(c) < kNearAxisCos) return z / std::sin(phi) - np;
  return rho / c - n;
}

}  // namespace

// initize: fills gener with the Earth radius and the squared WGS84 semi-axes.
// State: writes gener (same values at every call).
extern "C" void initize_() {
  kest::gener.re = 6371.2;
  kest::gener.a2 = 6378.137 * 6378.137;
  kest::gener.b2 = 6356.752314 * 6356.752314;
}

// sph_car: spherical (radius, geocentric latitude, longitude) to Cartesian.
// Given:    r  double  radius (any unit); lat, lon  double  degrees
// Returned: xout(3)  double  Cartesian, in the unit of r
extern "C" void sph_car_(double* r, double* lat, double* lon, double* xout) {
  const double rad = pi() / 180.0;
  const double theta = pi() / 2.0 - *lat * rad;
  const double phi = *lon * rad;
  const double st = std::sin(theta);
  xout[0] = *r * st * std::cos(phi);
  xout[1] = *r * st * std::sin(phi);
  xout[2] = *r * std::cos(theta);
}

// car_sph: Cartesian to spherical.
// Given:    xin(3)  double  Cartesian
// Returned: r  double  radius (unit of xin); lat  double  geocentric latitude,
//           degrees; lon  double  degrees in [0, 360)
// Notes:    1. On the polar axis (x = y = 0 exactly) lon = 0 and lat = +90 for
//             z >= 0 (also the centre), -90 for z < 0.
//           2. A negative longitude so small that adding 360 gives 360 is
//             returned as 0, so that lon stays below 360.
extern "C" void car_sph_(double* xin, double* r, double* lat, double* lon) {
  const double deg = 180.0 / pi();
  const double x = xin[0], y = xin[1], z = xin[2];
  const double rho2 = x * x + y * y;
  *r = std::sqrt(rho2 + z * z);
  if (rho2 == 0.0) {
    *lon = 0.0;
    *lat = z < 0.0 ? -90.0 : 90.0;
    return;
  }
  double phi = std::atan2(y, x) * deg;
  if (phi < 0.0) phi += 360.0;
  // A longitude a hair below zero (within 2.8e-14 degree, half a unit in the
  // last place of 360: |y| under about 5e-16 |x|) rounds to exactly 360 when
  // 360 is added; that is the meridian 0.
  if (phi >= 360.0) phi = 0.0;
  *lon = phi;
  *lat = 90.0 - std::atan2(std::sqrt(rho2), z) * deg;
}

// gdz_geo: geodetic (latitude, longitude, altitude) to GEO Cartesian.
// Given:    lat, lon  double  degrees (geodetic latitude); alt  double  km
// Returned: x, y, z  double  GEO, Earth radii
// State:    writes gener (initize)
extern "C" void gdz_geo_(double* lat, double* lon, double* alt, double* x, double* y, double* z) {
  initize_();
  const double rad = pi() / 180.0;
  const double phi = *lat * rad, lam = *lon * rad;
  const double sp = std::sin(phi), cp = std::cos(phi);
  const double a2 = kest::gener.a2, b2 = kest::gener.b2, re = kest::gener.re;
  const double d = std::sqrt(a2 - (a2 - b2) * sp * sp);
  *z = (b2 / d + *alt) * sp / re;
  const double rho = (a2 / d + *alt) * cp / re;
  *x = rho * std::cos(lam);
  *y = rho * std::sin(lam);
}

// geo_gdz: GEO Cartesian to geodetic (latitude, longitude, altitude).
// Given:    x, y, z  double  GEO, Earth radii
// Returned: lat  double  geodetic latitude, degrees; lon  double  degrees in
//           (-180, 180], except -180 for x < 0 with y = -0.0 or a negative y
//           within about 3.4e-16 |x| (whose arc tangent rounds to -pi, as
//           for a GDZ longitude of -180 taken to GEO and back); alt  double
//           km above WGS84
// State:    writes gener (initize)
// Notes:    1. The iteration stops as soon as EITHER the altitude change is at
//             most 0.001 Re OR the latitude change at most 0.001 rad; it
//             usually ends after one or two passes, leaving up to ~0.1 km in
//             altitude and ~2e-4 degree in latitude against a converged
//             conversion. Kept: every stored L value and altitude of the
//             system was made with this rule.
//           2. On the polar axis (cos of the geocentric latitude < 1e-15) the
//             latitude is +-90 and the altitude the exact height above the
//             pole, |z| re - b.
//           3. Inside the ellipsoid's evolute (within about 43 km of the
//             centre) more than one ellipsoid normal passes through the
//             point and the iteration may swing between two of them: it ends
//             after kGdzMaxPasses passes with the last one.
//           4. A latitude beyond +-90 degrees, which the iteration gives
//             for points within some 60 km of the centre, is returned as the
//             same normal from the opposite longitude (lat -> +-180 - lat,
//             lon -> lon -+ 180); the height is unchanged.
//           5. A height that no normal through the point can have (beyond
//             a + r or below b - r in size, 0.01 Re spared), which the
//             stopping rule can leave within some 20 km of the centre, is
//             replaced by the point's projection on the normal found.
//           6. Within 1e-10 of the axis (relative to the distance) the height
//             is taken along z (height_on_normal): rho / cos(phi) there loses
//             all its digits to the rounding of phi, so a point a hair off
//             the axis (a heliospheric position in AU brought back to GEO)
//             came out tens of km off in altitude. Farther out, where that
//             rounding stays below a millionth of the distance (6 m at the
//             surface), the formula is unchanged. The height along z is the
//             converged one, so at the switch the altitude steps by what the
//             stopping rule leaves in rho / cos(phi) - N: 0.097 km at the
//             surface, 0.016 km at 10 Re.
extern "C" void geo_gdz_(double* x, double* y, double* z, double* lat, double* lon, double* alt) {
  initize_();
  const double deg = 180.0 / pi();
  const double a2 = kest::gener.a2, b2 = kest::gener.b2, re = kest::gener.re;
  const double xx = *x, yy = *y, zz = *z;
  *lon = std::atan2(yy, xx) * deg;
  const double rho = std::sqrt(xx * xx + yy * yy);
  double phi = std::atan2(zz, rho);
  if (std::cos(phi) < 1e-15) {
    *lat = phi * deg;
    *alt = std::fabs(zz) * re - std::sqrt(b2);
    return;
  }
  double h = height_on_normal(rho, zz, phi, 1.0, 1.0);
  double h0, phi0;
  int passes = 0;
  do {
    ++passes;
    h0 = h;
    phi0 = phi;
    const double s = std::sin(phi0);
    const double d = std::sqrt(a2 - (a2 - b2) * s * s);
    const double n = a2 / (d * re), np = b2 / (d * re);
    phi = std::atan2((n + h0) * zz, (np + h0) * rho);
    h = height_on_normal(rho, zz, phi, n, np);
  } while (std::fabs(h - h0) > 0.001 && std::fabs(phi - phi0) > 0.001 && passes < kGdzMaxPasses);
  // The loop may stop on a small change of latitude while the height, taken
  // as rho / cos(phi) - N close to 90 degrees, is still far off: thousands of
  // km for a point within some 20 km of the centre. Any normal meets the
  // ellipsoid between b and a from the centre, so the height of a point at r
  // along it lies between b - r and a + r in size; a height outside (with
  // 0.01 Re to spare for the stopping rule) is replaced by the projection of
  // the point on the normal of the latitude found, (rho, z).n - D / re.
  const double r = std::sqrt(rho * rho + zz * zz);
  if (std::fabs(h) > std::sqrt(a2) / re + r + 0.01 || std::fabs(h) < std::sqrt(b2) / re - r - 0.01) {
    const double s = std::sin(phi);
    h = rho * std::cos(phi) + zz * s - std::sqrt(a2 - (a2 - b2) * s * s) / re;
  }
  // Within some 60 km of the centre the height falls below -N (1 - e^2), the
  // second factor of the atan2 above turns negative, and the normal found
  // comes out in the far half-plane: a latitude beyond +-90 degrees at the
  // point's own longitude. The same normal, foot and height are latitude
  // +-180 - phi at the opposite longitude, a proper geodetic latitude that
  // gdz_geo takes back to the same point.
  if (std::fabs(phi) > 0.5 * pi()) {
    phi = std::copysign(pi(), phi) - phi;
    *lon = *lon > 0.0 ? *lon - 180.0 : *lon + 180.0;
  }
  *alt = h * re;
  *lat = phi * deg;
}

// rll_gdz: altitude of a point given by radius and geodetic latitude.
// Given and returned: r  double  Earth radii on entry, km on return (r x re)
// Given:    lat  double  geodetic latitude, degrees; lon  (not read)
// Returned: alt  double  km above WGS84 along the ellipsoid normal
// State:    writes gener (initize)
extern "C" void rll_gdz_(double* r, double* lat, double* /*lon*/, double* alt) {
  initize_();
  const double a2 = kest::gener.a2, b2 = kest::gener.b2;
  *r = *r * kest::gener.re;
  const double phi = *lat * pi() / 180.0;
  const double s2 = std::sin(phi) * std::sin(phi), c2 = std::cos(phi) * std::cos(phi);
  const double d = std::sqrt(a2 - (a2 - b2) * s2);
  const double t = (a2 * c2 + b2 * s2) / d;
  const double u = (a2 * a2 * c2 + b2 * b2 * s2) / (d * d);
  *alt = std::sqrt(t * t - u + *r * *r) - t;
}

// sph_car_vect: vector components (radial, southward, eastward) at (lat, lon)
// to Cartesian components.
// Given:    r (not read); lat, lon  double  degrees; vin(3)  double
// Returned: vout(3)  double (may be vin itself)
extern "C" void sph_car_vect_(double* /*r*/, double* lat, double* lon, double* vin, double* vout) {
  const double rad = pi() / 180.0;
  const double theta = pi() / 2.0 - *lat * rad, phi = *lon * rad;
  const double st = std::sin(theta), ct = std::cos(theta);
  const double sp = std::sin(phi), cp = std::cos(phi);
  // Read in full before writing: a caller may rotate a vector in place
  // (vin and vout the same array).
  const double v0 = vin[0], v1 = vin[1], v2 = vin[2];
  const double horiz = v0 * st + v1 * ct;
  vout[0] = horiz * cp - v2 * sp;
  vout[1] = horiz * sp + v2 * cp;
  vout[2] = v0 * ct - v1 * st;
}

// car_sph_vect: Cartesian vector components to (radial, southward, eastward)
// at (lat, lon); the inverse rotation of sph_car_vect.
// Given:    r (not read); lat, lon  double  degrees; vin(3)  double
// Returned: vout(3)  double (may be vin itself)
extern "C" void car_sph_vect_(double* /*r*/, double* lat, double* lon, double* vin, double* vout) {
  const double rad = pi() / 180.0;
  const double theta = pi() / 2.0 - *lat * rad, phi = *lon * rad;
  const double st = std::sin(theta), ct = std::cos(theta);
  const double sp = std::sin(phi), cp = std::cos(phi);
  const double s = vin[0] * cp + vin[1] * sp;
  const double vr = s * st + vin[2] * ct;
  const double vt = s * ct - vin[2] * st;
  const double vp = vin[1] * cp - vin[0] * sp;
  vout[0] = vr;
  vout[1] = vt;
  vout[2] = vp;
}
