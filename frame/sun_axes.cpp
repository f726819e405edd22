// Sun position, the sun and dipole axes of an instant, and the Cartesian
// rotations between GEO, GEI, GSM, SM, GSE and MAG.
//
// GEI is the frame of the mean equator and equinox of date: the ephemeris'
// mean longitude and sidereal time run at the tropical rates, so its x axis
// follows the precessing equinox (50.3 arcsec a year along the ecliptic).
// GSE takes its z axis from the fixed pole (0, -0.3978, 0.9175), of the
// obliquity 23.4401 degrees (that of about 1994), which strays from the
// ecliptic pole of date by up to 0.005 degree over 1965-2030 (0.014 degree
// at 2099); its rows stray from orthonormal by up to 1e-4 (2.4e-4).
//
// init_gsm_ does all trigonometry once per instant; the rotations only take
// dot products with the stored unit vectors and use the stored cosine and
// sine of the sidereal time, so they cost a few dozen flops each.
#include <cmath>
#include <limits>

#include "frame/frame_state.hpp"
#include "kest/frame.h"

namespace kest {
Soleil soleil{};
Sundip sundip{};
}  // namespace kest

namespace {

// The four angles of the last successful ephemeris (radians), kept so that an
// instant outside the ephemeris' years reuses them. Zero at process start:
// the sun on the GEI x axis and sidereal time 0.
struct SunAngles {
  double gst;
  double slong;
  double srasn;
  double sdec;
};
SunAngles last_sun{};

// x - trunc(x/360) x 360, the division done as a multiplication.
inline double mod360(double x) { return x - std::trunc(x * 0.002777777777777778) * 360.0; }

inline double dot(const double* a, const double* b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// a x b normalised, into c.
inline void unit_cross(const double* a, const double* b, double* c) {
  const double c0 = a[1] * b[2] - a[2] * b[1];
  const double c1 = a[2] * b[0] - a[0] * b[2];
  const double c2 = a[0] * b[1] - a[1] * b[0];
  const double n = std::sqrt(c0 * c0 + c1 * c1 + c2 * c2);
  c[0] = c0 / n;
  c[1] = c1 / n;
  c[2] = c2 / n;
}

// GEO -> GEI by the sidereal time, and back.
inline void to_gei(const double* w, double* v) {
  const double c = kest::soleil.cos_gst, s = kest::soleil.sin_gst;
  const double a = w[0], b = w[1];
  v[0] = a * c - b * s;
  v[1] = b * c + a * s;
  v[2] = w[2];
}
inline void from_gei(const double* w, double* v) {
  const double c = kest::soleil.cos_gst, s = kest::soleil.sin_gst;
  const double a = w[0], b = w[1];
  v[0] = a * c + b * s;
  v[1] = b * c - a * s;
  v[2] = w[2];
}

// v = x a + y b + z c (a, b, c GEI unit vectors), reading the input first so
// that the input and output may share storage.
inline void combine(const double* xin, const double* a, const double* b, const double* c,
                    double* v) {
  const double x = xin[0], y = xin[1], z = xin[2];
  v[0] = x * a[0] + y * b[0] + z * c[0];
  v[1] = x * a[1] + y * b[1] + z * c[1];
  v[2] = x * a[2] + y * b[2] + z * c[2];
}

inline void project(const double* w, const double* a, const double* b, const double* c,
                    double* out) {
  const double w0[3] = {w[0], w[1], w[2]};
  out[0] = dot(a, w0);
  out[1] = dot(b, w0);
  out[2] = dot(c, w0);
}

// The ecliptic pole of GSE, fixed at the mean obliquity, in GEI.
constexpr double ecl_e2 = -0.3978;
constexpr double ecl_e3 = 0.9175;

}  // namespace

// sun: low-precision solar ephemeris.
// Given:    iyr  int  year, 1901..2099; iday  int  day of year (1 = 1 Jan);
//           secs  double  seconds of the day, UT
// Returned: gst  double  Greenwich mean sidereal time, radians
//           slong  double  ecliptic longitude of the sun, radians
//           srasn  double  right ascension of the sun, radians
//           sdec  double  declination of the sun, radians
// Failure:  a year outside 1901..2099 returns at once; the four outputs keep
//           what they held. Day and seconds are not tested; out-of-range
//           values just shift the day count (formed in double precision, so
//           no day of year overflows it).
// Notes:    1. Day count from 1900 January 0.5; leap days counted from 1901,
//             valid while every fourth year is a leap year (1901-2099).
//           2. Each angle is reduced as x - trunc(x/360) 360; the ecliptic
//             longitude after its equation of centre is not reduced again.
//           3. RAD = 57.29577951308 (eleven decimals) converts degrees.
// References: C. T. Russell, "Geophysical coordinate transformations",
//           Cosmic Electrodynamics 2, 184-196 (1971).
extern "C" void sun_(int* iyr, int* iday, double* secs, double* gst, double* slong,
                     double* srasn, double* sdec) {
  const int y = *iyr;
  if (y < 1901 || y > 2099) return;
  const double rad = 57.29577951308;
  const double fday = *secs * 1.1574074074074073e-5;
  const int leap = (y - 1901) / 4;
  // The whole days in double precision: exact for every integer, so an
  // extreme day of year shifts the count without overflow.
  const double dj = (static_cast<double>(365 * (y - 1900) + leap) + *iday) + fday - 0.5;
  const double t = dj * 2.7378507871321012e-5;
  const double vl = mod360(279.696678 + 0.9856473354 * dj);
  const double g_st = mod360(279.690983 + 0.9856473354 * dj + 360.0 * fday + 180.0);
  const double g = mod360(358.475845 + 0.985600267 * dj) / rad;
  const double sl = vl + (1.91946 - 0.004789 * t) * std::sin(g) + 0.020094 * std::sin(2.0 * g);
  const double obliq = (23.45229 - 0.0130125 * t) / rad;
  const double slp = (sl - 0.005686) / rad;
  const double sind = std::sin(obliq) * std::sin(slp);
  const double cosd = std::sqrt(1.0 - sind * sind);
  const double dec = rad * std::atan(sind / cosd);
  const double ra = 180.0 - rad * std::atan2(sind / (std::tan(obliq) * cosd), -std::cos(slp) / cosd);
  *gst = g_st / rad;
  *slong = sl / rad;
  *srasn = ra / rad;
  *sdec = dec / rad;
}

// init_gsm: the sun and the dipole, GSM and SM axes of an instant.
// Given:    iyr  int  year; iday  int  day of year; ut  double  seconds, UT
// Returned: psi  double  dipole tilt, radians: asin(sun_dir . dip), positive
//           when the northern end of the dipole leans towards the sun
// State:    reads dipigrf (axis); writes soleil and sundip (as a whole);
//           reads and, after a successful ephemeris, writes its own cache
//           of the last sun angles (last_sun).
// Requires: the internal field first (init_dtd_ or a fixed-epoch loader).
// Failure:  a year outside 1901..2099: no message; the axes are rebuilt from
//           the sun angles of the last successful call (before any: sun along
//           GEI x, sidereal time 0) with the current dipole axis. A call whose
//           time of day is not finite gives axes that are not numbers and is
//           not a successful call. An all-zero dipigrf gives axes and tilt
//           that are not numbers.
extern "C" void init_gsm_(int* iyr, int* iday, double* ut, double* psi) {
  // The angles of this instant. Only finite ones are kept for later
  // instants outside the ephemeris' years: a NaN or infinite time of day
  // gives axes that are not numbers for its own call, and must not leave
  // them to every later call of a year outside 1901..2099.
  SunAngles sun = last_sun;
  sun_(iyr, iday, ut, &sun.gst, &sun.slong, &sun.srasn, &sun.sdec);
  if (std::isfinite(sun.gst) && std::isfinite(sun.slong) && std::isfinite(sun.srasn) && std::isfinite(sun.sdec))
    last_sun = sun;
  kest::Soleil& so = kest::soleil;
  kest::Sundip& sd = kest::sundip;
  const kest::Dipigrf& dp = kest::dipigrf;
  const double cdec = std::cos(sun.sdec);
  so.sun_dir[0] = cdec * std::cos(sun.srasn);
  so.sun_dir[1] = cdec * std::sin(sun.srasn);
  so.sun_dir[2] = std::sin(sun.sdec);
  so.cos_gst = std::cos(sun.gst);
  so.sin_gst = std::sin(sun.gst);
  const double d1 = dp.sin_th * dp.cos_ph;
  const double d2 = dp.sin_th * dp.sin_ph;
  sd.dip[0] = d1 * so.cos_gst - d2 * so.sin_gst;
  sd.dip[1] = d2 * so.cos_gst + d1 * so.sin_gst;
  sd.dip[2] = dp.cos_th;
  unit_cross(sd.dip, so.sun_dir, sd.ygsm);
  unit_cross(so.sun_dir, sd.ygsm, sd.zgsm);
  unit_cross(sd.ygsm, sd.dip, sd.xsm);
  // With no internal field set up (dipigrf all zero, as before the first
  // epoch) the axis is the zero vector: the axes above are not numbers, and
  // its dot product with the sun, 0, would pass for an untilted dipole.
  const bool no_axis = sd.dip[0] == 0.0 && sd.dip[1] == 0.0 && sd.dip[2] == 0.0;
  *psi = no_axis ? std::numeric_limits<double>::quiet_NaN() : std::asin(dot(so.sun_dir, sd.dip));
}

// The rotations. Each takes xin(3) and returns xout(3) in the same unit
// (Earth radii for positions, nT for field vectors); xin and xout may be the
// same array.
// State:    read soleil (GEI, GSE), soleil and sundip (GSM, SM) or dipigrf
//           (MAG).
// Requires: init_gsm_ for the instant (MAG: the internal field only).

// geo_gei: GEO to GEI, a turn by the sidereal time about z.
extern "C" void geo_gei_(double* xin, double* xout) { to_gei(xin, xout); }

// gei_geo: GEI to GEO.
extern "C" void gei_geo_(double* xin, double* xout) { from_gei(xin, xout); }

// geo_gsm: GEO to GSM (axes sun_dir, ygsm, zgsm in GEI).
extern "C" void geo_gsm_(double* xin, double* xout) {
  double w[3];
  to_gei(xin, w);
  project(w, kest::soleil.sun_dir, kest::sundip.ygsm, kest::sundip.zgsm, xout);
}

// gsm_geo: GSM to GEO.
extern "C" void gsm_geo_(double* xin, double* xout) {
  double w[3];
  combine(xin, kest::soleil.sun_dir, kest::sundip.ygsm, kest::sundip.zgsm, w);
  from_gei(w, xout);
}

// geo_sm: GEO to SM (axes xsm, ygsm, dip in GEI).
extern "C" void geo_sm_(double* xin, double* xout) {
  double w[3];
  to_gei(xin, w);
  project(w, kest::sundip.xsm, kest::sundip.ygsm, kest::sundip.dip, xout);
}

// sm_geo: SM to GEO.
extern "C" void sm_geo_(double* xin, double* xout) {
  double w[3];
  combine(xin, kest::sundip.xsm, kest::sundip.ygsm, kest::sundip.dip, w);
  from_gei(w, xout);
}

// gsm_sm: GSM to SM, through GEI; the sidereal time drops out.
extern "C" void gsm_sm_(double* xin, double* xout) {
  double w[3];
  combine(xin, kest::soleil.sun_dir, kest::sundip.ygsm, kest::sundip.zgsm, w);
  project(w, kest::sundip.xsm, kest::sundip.ygsm, kest::sundip.dip, xout);
}

// sm_gsm: SM to GSM, through GEI.
extern "C" void sm_gsm_(double* xin, double* xout) {
  double w[3];
  combine(xin, kest::sundip.xsm, kest::sundip.ygsm, kest::sundip.dip, w);
  project(w, kest::soleil.sun_dir, kest::sundip.ygsm, kest::sundip.zgsm, xout);
}

// geo_mag: GEO to MAG, the centred-dipole frame of dipigrf (z along the axis,
// y in the GEO equatorial plane perpendicular to the dipole meridian).
extern "C" void geo_mag_(double* xin, double* xout) {
  const kest::Dipigrf& d = kest::dipigrf;
  const double x = xin[0], y = xin[1], z = xin[2];
  const double rho = d.cos_ph * x + d.sin_ph * y;
  xout[0] = d.cos_th * rho - d.sin_th * z;
  xout[1] = d.cos_ph * y - d.sin_ph * x;
  xout[2] = d.sin_th * rho + d.cos_th * z;
}

// mag_geo: MAG to GEO.
extern "C" void mag_geo_(double* xin, double* xout) {
  const kest::Dipigrf& d = kest::dipigrf;
  const double x = xin[0], y = xin[1], z = xin[2];
  xout[0] = d.cos_th * d.cos_ph * x - d.sin_ph * y + d.sin_th * d.cos_ph * z;
  xout[1] = d.cos_th * d.sin_ph * x + d.cos_ph * y + d.sin_th * d.sin_ph * z;
  xout[2] = d.cos_th * z - d.sin_th * x;
}

// geo_gse: GEO to GSE. x towards the sun, z the fixed ecliptic pole
// E = (0, -0.3978, 0.9175) of GEI, y = E x sun_dir (not normalised: the rows
// are orthonormal to a few parts in 100000, which gse_geo_ undoes exactly).
extern "C" void geo_gse_(double* xin, double* xout) {
  const double* s = kest::soleil.sun_dir;
  const double yv[3] = {ecl_e2 * s[2] - ecl_e3 * s[1], ecl_e3 * s[0], -ecl_e2 * s[0]};
  const double ev[3] = {0.0, ecl_e2, ecl_e3};
  double w[3];
  to_gei(xin, w);
  project(w, s, yv, ev, xout);
}

// gse_geo: GSE to GEO, the exact inverse of geo_gse_: the 3 x 3 system with
// the rows sun_dir, Y, E is solved by Cramer's rule, then turned to GEO.
extern "C" void gse_geo_(double* xin, double* xout) {
  const double* s = kest::soleil.sun_dir;
  const double e2 = ecl_e2, e3 = ecl_e3;
  const double y1 = e2 * s[2] - e3 * s[1], y2 = e3 * s[0], y3 = -e2 * s[0];
  const double x = xin[0], y = xin[1], z = xin[2];
  const double det = e2 * s[2] * y1 + e3 * s[0] * y2 - e2 * s[0] * y3 - e3 * s[1] * y1;
  double w[3];
  w[0] = ((e3 * y2 - e2 * y3) * x - (s[1] * e3 - s[2] * e2) * y + (s[1] * y3 - s[2] * y2) * z) / det;
  w[1] = (-e3 * y1 * x + e3 * s[0] * y - (s[0] * y3 - s[2] * y1) * z) / det;
  w[2] = (e2 * y1 * x - e2 * s[0] * y + (s[0] * y2 - s[1] * y1) * z) / det;
  from_gei(w, xout);
}
