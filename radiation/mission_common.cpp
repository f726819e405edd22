// Mission-year check, mission averaging and log-log interpolation shared by
// the mission-averaged electron models.
#include "radiation/mission_common.hpp"

#include <cmath>
#include <cstdint>

#include "frame/conventions.hpp"

namespace kest::mission {

void check_launch_year(int launch_year) {
  // Before the first minimum of the cycle-year table the rule has no
  // minimum to count from: such a year (0 and two-digit years among them)
  // is refused like a launch year of 0.
  if (launch_year == 0 || launch_year < kFirstYear)
    stop_stdout({kStars, "Launch Year is out of range", kStars});
}

int energies_in_call(int nene) {
  if (nene <= kMaxEnergies) return nene;
  msg("Mission electron models: more than 50 energies in one call, only the first 50 computed");
  return kMaxEnergies;
}

void average_spectrum(const double* flux_tab, int stride, int n, int launch_year, int duration,
                      double scale, double* S) {
  for (int j = 0; j < n; ++j) S[j] = 0.0;
  // 64-bit years: launch_year + duration must not overflow.
  const std::int64_t last = static_cast<std::int64_t>(launch_year) + duration - 1;
  for (std::int64_t y = launch_year; y <= last; ++y) {
    int cy = cycle_year(y);
    // The tables begin at cycle year -6; the short cycle around 1964-1976
    // gives -7 once (1969), which takes the -6 spectrum. The rule never
    // gives more than +4.
    if (cy < -6) cy = -6;
    if (cy > 4) cy = 4;
    const double* col = flux_tab + static_cast<std::ptrdiff_t>(cy + 6) * stride;
    for (int j = 0; j < n; ++j) S[j] += scale * col[j];
  }
  for (int j = 0; j < n; ++j) S[j] /= duration;
}

bool loglog_interp(const double* e_tab, const double* S, int n, double emin, double E,
                   double* value) {
  for (int c = 1; c < n; ++c) {
    // The entry at emin is passed over so that E = emin interpolates
    // between emin and the entry above it, never with an empty entry below.
    if (e_tab[c] >= E && e_tab[c] != emin) {
      const double s = std::log(S[c] / S[c - 1]) / std::log(e_tab[c] / e_tab[c - 1]);
      const double b = std::log(S[c]) - s * std::log(e_tab[c]);
      *value = std::exp(s * std::log(E) + b);
      return true;
    }
  }
  return false;
}

}  // namespace kest::mission
