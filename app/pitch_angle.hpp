// Equatorial pitch angle of a particle that mirrors at the point, as the
// batch program writes it beside the local pitch angle of 90 degrees.
#ifndef KEST_APP_PITCH_ANGLE_HPP
#define KEST_APP_PITCH_ANGLE_HPP

#include <cmath>

#include "frame/conventions.hpp"

namespace batch {

// blocal  field magnitude at the point (nT), or the fill value
// bmin    minimum field magnitude along its field line (nT), or the fill value
// Returns asin(sqrt(bmin / blocal)) in degrees when blocal >= bmin, else 90
// (also for a NaN). Two fill values give a ratio of 1 and so 90. A field at
// the point with a failed minimum (a negative ratio), or a zero field (0/0),
// has no angle: the fill value, where the square root would give a NaN.
inline double equatorial_pitch(double blocal, double bmin) {
  if (blocal >= bmin) {
    const double ratio = bmin / blocal;
    if (!(ratio >= 0.0 && ratio <= 1.0)) return kest::baddata;
    return std::asin(std::sqrt(ratio)) * (45.0 / std::atan(1.0));
  }
  return 90.0;
}

}  // namespace batch

#endif
