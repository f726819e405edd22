// Pieces shared by the two mission-averaged electron models: the mission-year
// check and its stop, the averaging of the cycle-year spectra over the
// mission, and the log-log interpolation of a spectrum in energy.
#ifndef KEST_RADIATION_MISSION_COMMON_HPP
#define KEST_RADIATION_MISSION_COMMON_HPP

namespace kest::mission {

// Limits of the caller's arrays: energy(2, 50) and the three flux arrays (50).
inline constexpr int kMaxEnergies = 50;

// First mission year the cycle-year rule covers (the first solar minimum of
// its table).
inline constexpr int kFirstYear = 1902;

// Longest mission averaged, in years. The average adds one cycle-year
// spectrum per mission year; a duration beyond any mission (a lost decimal
// point, an uninitialised count up to 2^31) would take most of a minute and
// gives the fill value instead, like a duration below 1. 10000 years cost
// about 0.2 ms.
inline constexpr int kMaxDuration = 10000;

// The row of 29 asterisks that frames every stop message of these models.
inline constexpr const char* kStars = "*****************************";

// Cycle year of a calendar year (see calc_year_cycle), for any 64-bit year.
int cycle_year(long long year);

// The number of energies a call computes: Nene, at most the kMaxEnergies the
// caller's arrays hold. A larger Nene (a wrong count, arrays declared
// larger) has the first kMaxEnergies computed and says so in one message
// line, so that the energies beyond are not lost in silence.
int energies_in_call(int nene);

// Stops with the launch-year message when the launch year is 0 or earlier
// than the first year of the cycle-year table.
void check_launch_year(int launch_year);

// Averages the cycle-year spectra over the mission years launch_year ..
// launch_year + duration - 1: S[j] = scale x mean of flux_tab[cy + 6][j],
// j = 0..n-1, with the cycle year cy of each year from calc_year_cycle,
// raised to -6 below. flux_tab has row length `stride`. Requires duration >= 1.
void average_spectrum(const double* flux_tab, int stride, int n, int launch_year, int duration,
                      double scale, double* S);

// Interpolates the spectrum S (n entries at the energies e_tab, MeV) at E:
// a straight line in ln S against ln E between the first table energy at or
// above E (from the second entry on, passing over the entry at emin) and the
// one before it. Requires emin <= E <= emax of the table; returns false (and
// leaves *value) when no bracketing entry exists.
bool loglog_interp(const double* e_tab, const double* S, int n, double emin, double E,
                   double* value);

// True when E lies in [emin, emax]; false also for a NaN energy.
inline bool in_range(double E, double emin, double emax) { return E >= emin && E <= emax; }

}  // namespace kest::mission

#endif
