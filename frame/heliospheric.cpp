// Heliospheric coordinate systems: HEE (heliocentric Earth ecliptic), HAE
// (heliocentric Aries ecliptic) and HEEQ (heliocentric Earth equatorial),
// Cartesian in astronomical units, and their link to GSE (Earth radii).
//
// The low-precision solar ephemeris sun2 (mean anomaly and longitude of the
// sun with the equation of centre to second order, and the ascending node of
// the solar equator drifting by 0.013958 degree per year) is good to about
// 0.01 degree over 1950-2050, ample for the orientation of these frames.
//
// References: M. Fraenz and D. Harper, "Heliospheric coordinate systems",
// Planet. Space Sci. 50, 217-233 (2002); M. A. Hapgood, "Space physics
// coordinate transformations: a user guide", Planet. Space Sci. 40, 711 (1992).
#include <cmath>

#include "frame/frame_state.hpp"
#include "kest/frame.h"

namespace kest {
SunMah sunmah{};
}  // namespace kest

namespace {

constexpr double kDegPerRad = 57.29577951308;
constexpr double kAuKm = 149598500.0;
constexpr double kKmToAu = 6.684559002931179e-09;  // 1 / kAuKm as the published constant

// The sun of the last call whose angles were all finite: what a year outside
// 1901-2099 reuses. A time of day that is not a number gives a sun that is
// not a number for its own call only.
kest::SunMah last_finite_sunmah{};

// Fills sunmah for the time given (outside 1901-2099: the last finite sun).
void update_sunmah(int* iyr, int* idoy, double* ut) {
  kest::SunMah s = last_finite_sunmah;
  sun2_(iyr, idoy, ut, &s.t0, &s.lambda, &s.sin_theta, &s.cos_theta, &s.sin_i, &s.cos_i, &s.sin_omega,
        &s.cos_omega);
  kest::sunmah = s;
  const double v[8] = {s.t0, s.lambda, s.sin_theta, s.cos_theta, s.sin_i, s.cos_i, s.sin_omega, s.cos_omega};
  for (double x : v)
    if (!std::isfinite(x)) return;
  last_finite_sunmah = s;
}

}  // namespace

// sun2: solar ephemeris for the heliospheric frames.
// Given:    iyr, idoy  int; ut  double  seconds of day
// Returned: t0  double  Julian centuries from J2000.0 to 0 h UT of the day;
//           lambda  double  ecliptic longitude of the sun, degrees (not
//           reduced to [0, 360)); sin_theta, cos_theta, sin_i, cos_i,
//           sin_omega, cos_omega  double  (see SunMah)
// Failure:  a year outside 1901-2099 writes nothing.
// Notes:    1. The day enters through t0 (0 h UT of the day) and the hour
//             through H, and their rates do not quite agree: 24 x 0.04107 =
//             0.98568 degree of mean longitude a day against 36000.772 /
//             36525 = 0.98565. So at each midnight lambda steps back by
//             3.3e-5 degree (3.0e-5 to 3.5e-5 with the equation of centre),
//             some 90 km at 1 AU, and the node Omega, counted in whole days,
//             steps forward by 3.8e-5 degree. Both are the published formulas
//             as they stand.
extern "C" void sun2_(int* iyr, int* idoy, double* ut, double* t0, double* lambda, double* sin_theta,
                      double* cos_theta, double* sin_i, double* cos_i, double* sin_omega,
                      double* cos_omega) {
  if (*iyr < 1901 || *iyr > 2099) return;
  int one = 1;
  // In double precision (exact for integers): an extreme day of year cannot
  // overflow the day count.
  const double mjd = (static_cast<double>(julday_(iyr, &one, &one)) + *idoy) - 2400002.0;
  const double t = (mjd - 51544.5) / 36525.0;
  const double h = *ut / 3600.0;
  const double m = 357.528 + 35999.05 * t + 0.04107 * h;
  const double l = 280.46 + 36000.772 * t + 0.04107 * h;
  const double mr = m / kDegPerRad;
  const double lam = l + (1.915 - 0.0048 * t) * std::sin(mr) + 0.02 * std::sin(2.0 * mr);
  const double omega = (73.6667 + 0.013958 * (mjd + 3242.0) / 365.25) / kDegPerRad;
  const double incl = 7.25 / kDegPerRad;
  // theta is the angle of the Earth from the node, in the solar equator:
  // the Earth lies at ecliptic longitude lambda + 180, so tan(theta) =
  // cos i tan(lambda - Omega), with theta in the quadrant of lambda + 180 -
  // Omega. The arc tangent's principal value is that angle only while
  // cos(lambda - Omega) < 0; otherwise it is the angle of the point opposite
  // the Earth, and adding 180 degrees (negating its sine and cosine, exactly)
  // gives the Earth's. Without it the HEEQ x axis would point away from the
  // Earth from about 6 March to 8 September, and a fixed point's x and y
  // would change sign within a minute at the two changes.
  const double a = lam / kDegPerRad - omega;
  const double theta = std::atan(std::cos(incl) * std::tan(a));
  const double side = std::cos(a) > 0.0 ? -1.0 : 1.0;
  *t0 = t;
  *lambda = lam;
  *sin_theta = side * std::sin(theta);
  *cos_theta = side * std::cos(theta);
  *sin_i = std::sin(incl);
  *cos_i = std::cos(incl);
  *sin_omega = std::sin(omega);
  *cos_omega = std::cos(omega);
}

// hae_heeq: HAE to HEEQ, T = Rz(theta) Rx(i) Rz(Omega).
// State: reads sunmah.
// Notes:  the x axis points to the Earth (its heliographic longitude 0), the
//         Earth's latitude is the B0 angle.
extern "C" void hae_heeq_(double* xin, double* xout) {
  const kest::SunMah& s = kest::sunmah;
  const double x = xin[0], y = xin[1], z = xin[2];
  xout[0] = (s.cos_theta * s.cos_omega - s.sin_theta * s.cos_i * s.sin_omega) * x +
            (s.sin_theta * s.cos_i * s.cos_omega + s.cos_theta * s.sin_omega) * y + s.sin_theta * s.sin_i * z;
  xout[1] = (-s.sin_theta * s.cos_omega - s.cos_theta * s.cos_i * s.sin_omega) * x +
            (s.cos_theta * s.cos_i * s.cos_omega - s.sin_theta * s.sin_omega) * y + s.cos_theta * s.sin_i * z;
  xout[2] = s.sin_i * s.sin_omega * x - s.sin_i * s.cos_omega * y + s.cos_i * z;
}

// heeq_hae: HEEQ to HAE, the transpose of T. State: reads sunmah.
extern "C" void heeq_hae_(double* xin, double* xout) {
  const kest::SunMah& s = kest::sunmah;
  const double x = xin[0], y = xin[1], z = xin[2];
  xout[0] = (s.cos_theta * s.cos_omega - s.sin_theta * s.cos_i * s.sin_omega) * x +
            (-s.sin_theta * s.cos_omega - s.cos_theta * s.cos_i * s.sin_omega) * y + s.sin_i * s.sin_omega * z;
  xout[1] = (s.sin_theta * s.cos_i * s.cos_omega + s.cos_theta * s.sin_omega) * x +
            (s.cos_theta * s.cos_i * s.cos_omega - s.sin_theta * s.sin_omega) * y - s.sin_i * s.cos_omega * z;
  xout[2] = s.sin_theta * s.sin_i * x + s.cos_theta * s.sin_i * y + s.cos_i * z;
}

// hae_hee: HAE to HEE, a rotation about z by lambda + 180 degrees.
// State: reads sunmah.
extern "C" void hae_hee_(double* xin, double* xout) {
  const double a = (kest::sunmah.lambda + 180.0) / kDegPerRad;
  const double c = std::cos(a), s = std::sin(a);
  const double x = xin[0], y = xin[1];
  xout[0] = c * x + s * y;
  xout[1] = -s * x + c * y;
  xout[2] = xin[2];
}

// hee_hae: HEE to HAE, the inverse rotation. State: reads sunmah.
extern "C" void hee_hae_(double* xin, double* xout) {
  const double a = (kest::sunmah.lambda + 180.0) / kDegPerRad;
  const double c = std::cos(a), s = std::sin(a);
  const double x = xin[0], y = xin[1];
  xout[0] = c * x - s * y;
  xout[1] = s * x + c * y;
  xout[2] = xin[2];
}

// gse_hee: GSE to HEE (and equally HEE to GSE), both in km: (R - x, -y, z),
// R the Sun-Earth distance of the Keplerian orbit at the time of sunmah.
// State: reads sunmah (t0, lambda).
extern "C" void gse_hee_(double* xin, double* xout) {
  const double t0 = kest::sunmah.t0;
  const double e = 0.016709 - 0.0000418 * t0;
  const double nu = (kest::sunmah.lambda - 282.94 - 1.72 * t0) / kDegPerRad;
  const double r = kAuKm * (1.0 - e * e) / (1.0 + e * std::cos(nu));
  const double x = xin[0], y = xin[1], z = xin[2];
  xout[0] = r - x;
  xout[1] = 0.0 - y;
  xout[2] = z;
}

// gse2hee1: GSE (Re) to HEE (AU) at a time.
// Given and returned: xin(3)  GSE in Re on entry, left in km.
// Returned: xout(3)  HEE, AU.   State: writes gener, sunmah.
// Failure: a year outside 1901-2099, without a message: the conversion uses
// the last sun whose values were all finite (zero before any).
extern "C" void gse2hee1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  initize_();
  for (int k = 0; k < 3; ++k) xin[k] *= kest::gener.re;
  update_sunmah(iyr, idoy, ut);
  gse_hee_(xin, xout);
  for (int k = 0; k < 3; ++k) xout[k] *= kKmToAu;
}

// hee2gse1: HEE (AU) to GSE (Re) at a time.
// Given and returned: xin(3)  HEE in AU on entry, left in km.
// Returned: xout(3)  GSE, Re.   State: writes gener, sunmah.
// Failure: as gse2hee1.
extern "C" void hee2gse1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  for (int k = 0; k < 3; ++k) xin[k] *= kAuKm;
  update_sunmah(iyr, idoy, ut);
  gse_hee_(xin, xout);
  initize_();
  for (int k = 0; k < 3; ++k) xout[k] /= kest::gener.re;
}

// The four heliocentric rotations at a time (no scaling). State: write sunmah.
// Failure: as gse2hee1 (a zero sunmah makes HAE-HEEQ give the zero vector).
extern "C" void hae2heeq1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  update_sunmah(iyr, idoy, ut);
  hae_heeq_(xin, xout);
}
extern "C" void heeq2hae1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  update_sunmah(iyr, idoy, ut);
  heeq_hae_(xin, xout);
}
extern "C" void hae2hee1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  update_sunmah(iyr, idoy, ut);
  hae_hee_(xin, xout);
}
extern "C" void hee2hae1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  update_sunmah(iyr, idoy, ut);
  hee_hae_(xin, xout);
}
