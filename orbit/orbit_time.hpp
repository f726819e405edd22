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

// Day of year with fraction of a calendar date and time.
double day_of_year(int year, int mon, int day, int hr, int minute, double sec);

}  // namespace kest

#endif
