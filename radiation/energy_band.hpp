// Energy bands of the integral-flux models (AE8/AP8, MEO GNSS): when a band
// is too narrow for its mean to be formed.
#ifndef KEST_RADIATION_ENERGY_BAND_HPP
#define KEST_RADIATION_ENERGY_BAND_HPP

#include <cmath>

namespace kest {

// A band narrower than this fraction of its lower energy is taken as a band
// of zero width is, at the model's differential flux at E1. Its mean is the
// difference of two integral fluxes that agree to within rounding, over a
// width of a few ulps (an upper edge computed as 0.1 + 0.2 against a lower
// edge of 0.3): 0, a negative zero, a negative value or several times the
// flux. From this width on the rounding of the integral fluxes moves the mean
// by less than 1e-5, and the mean differs from its limit (the fall of the
// integral flux per MeV at E1) by less than 1e-8.
// The differential flux that stands in below this width is the model's own
// difference over E1 -/+ a step (0.001 MeV for AE8/AP8, 0.01 MeV for MEO
// GNSS), not that limit: between table energies it lies within about 1e-6
// (AE8/AP8) or 1e-3 (MEO GNSS) of it, but at a table energy, where the
// interpolated spectrum bends, it mixes the slopes of both sides (MEO GNSS
// often several percent off; AE8 MIN at 0.5 MeV, L 4, B/B0 1: 6.55e6 against
// 3.64e6 for a band just wider than the threshold).
inline constexpr double kNarrowBand = 1.0e-9;

// Given:    e1, e2  double  lower and upper band edges, MeV
// Returned: true for E2 = E1 or |E2 - E1| <= 1e-9 E1 (never for an edge that
//           is not a number, nor for E1 <= 0 unless E2 = E1)
inline bool narrow_band(double e1, double e2) {
  return e2 == e1 || std::fabs(e2 - e1) <= kNarrowBand * e1;
}

}  // namespace kest

#endif
