// Element sets of the published verification file, given as the tests of the
// propagator core need them, and the initialisation from them.
#ifndef KEST_TESTS_ORBIT_SGP4_ELEMENTS_HPP
#define KEST_TESTS_ORBIT_SGP4_ELEMENTS_HPP

#include "kest/orbit.h"

namespace sgp4_test {

inline constexpr double deg = 3.14159265358979323846 / 180.0;
inline constexpr double revday = 2.0 * 3.14159265358979323846 / 1440.0;  // rev/day -> rad/min
inline constexpr double fill = -1.0e31;

// Satellite number, epoch (year, day of year), B*, e, i, node, argument of
// perigee, mean anomaly (degrees) and mean motion (rev/day).
struct Elements {
  int satnum, year;
  double doy, bstar, ecc, incl, node, argp, mo, n;
};

// Days from 1949-12-31 00:00 UT to the epoch (years 1950..2056).
inline double epoch_of(int year, double doy) {
  double d = 0.0;
  for (int y = 1950; y < year; ++y) d += (y % 4 == 0) ? 366.0 : 365.0;
  return d + doy;
}

// sgp4init_ for the set; returns its error code.
inline int init(const Elements& e, int whichconst = 72) {
  int satn = e.satnum, err = -1;
  double bstar = e.bstar, ecc = e.ecc, epoch = epoch_of(e.year, e.doy), argp = e.argp * deg,
         incl = e.incl * deg, mo = e.mo * deg, no = e.n * revday, node = e.node * deg;
  sgp4init_(&whichconst, &satn, &bstar, &ecc, &epoch, &argp, &incl, &mo, &no, &node, &err);
  return err;
}

// Half-day resonant (Molniya) and one-day resonant (geostationary) sets.
inline const Elements molniya{8195, 2006, 176.33215444, 0.11873e-3, 0.6877146, 64.1586,
                              279.0717, 264.7651, 20.2257, 2.00491383};
inline const Elements geo{28626, 2006, 176.46683397, 0.10000e-3, 0.0000335, 0.0019,
                          286.9433, 13.7918, 55.6504, 1.00270176};

}  // namespace sgp4_test

#endif
