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

}  // namespace kest

#endif
