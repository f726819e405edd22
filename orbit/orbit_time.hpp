// Calendar date and time of an instant after an element epoch. Internal to
// the orbit subsystem.
#ifndef KEST_ORBIT_ORBIT_TIME_HPP
#define KEST_ORBIT_ORBIT_TIME_HPP

namespace kest {

// The date and time t_min minutes after the instant `doy` of `year` (day of
// year with its fraction, 1.0 = 1 January 00:00; Gregorian leap years).
// Whole days and the fraction of the day are carried apart, so the time of
// day keeps about 1e-11 s: a Julian date near 2.45e6 days resolves only
// about 40 microseconds, which six printed decimals of the seconds would
// show. The hour is 0 to 23: an instant a rounding error before midnight
// that rounds onto it is dated at 00:00 of the next day.
void date_after(int year, double doy, double t_min, int& y, int& mon, int& day, int& hr,
                int& minute, double& sec);

// How close (minutes) a grid time start + k*step must come to the end of
// its window to count as lying on it: the times are formed as start +
// k*step, whose last digits need not reproduce the end exactly. 1e-8 min
// (0.6 microseconds) near the epoch; far from it, eight units in the last
// place of |start| + |step| + |stop|, held to 1e-4 min.
double window_margin(double start_min, double step_min, double stop_min);

// Day of year with fraction of a calendar date and time.
double day_of_year(int year, int mon, int day, int hr, int minute, double sec);

}  // namespace kest

#endif
