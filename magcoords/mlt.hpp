// Magnetic local time of a GEO point, shared by the array cores and the
// drift-shell cores.
#ifndef KEST_MAGCOORDS_MLT_HPP
#define KEST_MAGCOORDS_MLT_HPP

namespace kest {

// Magnetic local time of a GEO point from the frame state of the time: the
// MAG longitude of the point against that of the GSM x axis (the sun), 12 h
// at the sun's meridian. Hours in [0, 24).
// Requires: init_dtd (or a fixed-epoch loader) and init_gsm for the time.
double mlt_of(const double* xgeo);

}  // namespace kest

#endif
