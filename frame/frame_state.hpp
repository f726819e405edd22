// Process-wide records of the geomagnetic frame subsystem.
//
// Each record is one named struct, declared here once, with its writers and
// readers. Nothing else in the frame keeps state beyond routine caches, which
// are named where they live.
#ifndef KEST_FRAME_STATE_HPP
#define KEST_FRAME_STATE_HPP

namespace kest {

// gener: Earth constants.
//   re  Earth radius, km (the unit Re of every Cartesian position).
//   a2  square of the WGS84 equatorial radius, km^2.
//   b2  square of the WGS84 polar radius, km^2.
// Written by initize_ (same values at every call); read by the geodetic
// conversions, the field cores and the heliospheric routines.
struct Gener {
  double re;
  double a2;
  double b2;
};
extern Gener gener;

// sunmah: solar ephemeris of the heliospheric frames.
//   t0        Julian centuries from J2000.0 to 0 h UT of the day
//   lambda    ecliptic longitude of the sun, degrees (not reduced)
//   sin_theta, cos_theta  angle of the Earth from the node of the solar equator
//   sin_i, cos_i          inclination of the solar equator (7.25 deg)
//   sin_omega, cos_omega  ecliptic longitude of the ascending node
// Written by sun2_ (through the heliospheric conversions) for years
// 1901-2099, else left as it was; zero before the first such call. Read by
// hae_heeq_, heeq_hae_, hae_hee_, hee_hae_, gse_hee_.
struct SunMah {
  double t0;
  double lambda;
  double sin_theta, cos_theta;
  double sin_i, cos_i;
  double sin_omega, cos_omega;
};
extern SunMah sunmah;

}  // namespace kest

#endif
