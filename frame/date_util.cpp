// Calendar and decimal-year routines.
//
// Julian day numbers tie civil dates together: dates up to 4 October 1582 are
// Julian-calendar dates, dates from 15 October 1582 Gregorian. Years have no
// zero (the year before 1 is -1). trunc() below is truncation toward zero, as
// an integer conversion of a double; for years before 1 this makes julday and
// caldat differ by one day, which is kept because stored day numbers rely on
// it.
#include <climits>
#include <cmath>

#include "frame/conventions.hpp"
#include "kest/frame.h"

namespace {

inline int trunc_int(double x) { return static_cast<int>(x); }

// Truncation toward zero into 64 bits, for the month term 30.6001 x m of
// julday: a caller's month may lie anywhere in the 32-bit range, and
// |30.6001 m| < 7e10 stays well inside 64 bits.
inline long long trunc_ll(double x) { return static_cast<long long>(x); }

constexpr const char* kJulianOutOfRange = "Value of Julian date is out of allowed range.";
constexpr const char* kTimeOfDayOutOfRange = "Value of time of day is out of allowed range.";

// A day number or day count formed in 64 bits, handed back in 32: one beyond
// the 32-bit range ends the process with the out-of-range message, as a year
// outside the calendar does.
int fit_day_number(long long j) {
  if (j < INT_MIN || j > INT_MAX) kest::stop_stdout({kJulianOutOfRange});
  return static_cast<int>(j);
}

// A day number for caldat_: one beyond the 32-bit range is clamped, which
// lies outside caldat_'s range as the true number does, so caldat_ stops with
// its own message.
int clamp_day_number(long long j) {
  return j < INT_MIN ? INT_MIN : j > INT_MAX ? INT_MAX : static_cast<int>(j);
}

// Cumulative month lengths at the end of each month, common and leap year.
constexpr int kCumCommon[12] = {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int kCumLeap[12] = {31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};

}  // namespace

// julday: Julian day number of a civil date.
// Given:   year, month, day  int  (months and days are not range-tested)
// Returns: int  Julian day number (2451545 for 1 January 2000).
// Failure: year < -4716 or > 5000000, or year 0: message lines on standard
//          output, process stop. A month or day so far out that the day
//          number leaves the 32-bit range: the out-of-range message, process
//          stop.
// Notes:   1. The Gregorian correction is applied on the raw day count
//             (>= 2299171, i.e. 15 Oct 1582), so 5-14 Oct 1582 are numbered
//             in the Julian calendar.
//          2. The sum is formed in 64 bits, so an extreme month or day cannot
//             overflow on the way.
extern "C" int julday_(int* year, int* month, int* day) {
  const int iyyy = *year;
  if (iyyy < -4716 || iyyy > 5000000) kest::stop_stdout({kJulianOutOfRange});
  if (iyyy == 0)
    kest::stop_stdout({"There is no year zero in the civil calendar.", kJulianOutOfRange});
  int y = iyyy < 0 ? iyyy + 1 : iyyy;
  long long m;
  if (*month <= 2) {
    y = y - 1;
    m = *month + 13LL;
  } else {
    m = *month + 1LL;
  }
  long long j = trunc_ll(30.6001 * static_cast<double>(m)) + trunc_int(365.25 * y) + *day + 1720995LL;
  if (j >= 2299171) {
    const int a = trunc_int(0.01 * y);
    j = j + 2 - a + trunc_int(0.25 * a);
  }
  return fit_day_number(j);
}

// caldat: civil date of a Julian day number (inverse of julday).
// Given:    julian  int  Julian day number, -1095 .. 1827933925
// Returned: year, month, day  int
// Failure:  a day number outside the range: message, process stop.
extern "C" void caldat_(int* julian, int* year, int* month, int* day) {
  const int jd = *julian;
  if (jd < -1095 || jd > 1827933925) kest::stop_stdout({kJulianOutOfRange});
  int a;
  if (jd >= 2299161) {
    const int alpha = trunc_int(((jd - 1867216) - 0.25) / 36524.25);
    a = jd + 1 + alpha - trunc_int(0.25 * alpha);
  } else {
    a = jd;
  }
  const int b = a + 1524;
  const int c = trunc_int(6680.0 + ((b - 2439870) - 122.1) / 365.25);
  const int d = trunc_int(365.0 * c + 0.25 * c);
  const int e = trunc_int((b - d) / 30.6001);
  *day = b - d - trunc_int(30.6001 * e);
  *month = e <= 13 ? e - 1 : e - 13;
  int yr = c - 4715;
  if (*month > 2) yr -= 1;
  if (yr <= 0) yr -= 1;
  *year = yr;
}

// get_doy: day of year of a civil date (1 for 1 January).
// Given:   year, month, day  int  (months and days are not range-tested)
// Returns: int  day of year, julday(date) - julday(year, 1, 1) + 1
// Failure: as julday; a day of year beyond the 32-bit range (a day far out of
//          its month) likewise stops with the out-of-range message.
extern "C" int get_doy_(int* year, int* month, int* day) {
  int one = 1;
  const long long j = julday_(year, month, day);
  return fit_day_number(j - julday_(year, &one, &one) + 1);
}

// doy_and_ut2date_and_time: civil date and clock time of a day of year.
// Given and returned: year  int  (moved forward or back when doy leaves the year)
// Given:    doy  int  day of year; ut  double  seconds of day
// Returned: month, day, hour, minute, second  int
// Failure:  as julday and caldat (a day of year that leads outside the
//           calendar stops through caldat). A time of day that is not a
//           number, or whose hour count is beyond the 32-bit range (|ut| of
//           about 7.7e12 s or more): a message, process stop.
// Notes:    1. A time of day of 86400 s or more gives an hour of 24 or more;
//             the date is not advanced.
extern "C" void doy_and_ut2date_and_time_(int* year, int* doy, double* ut, int* month, int* day,
                                          int* hour, int* minute, int* second) {
  int one = 1;
  // 64 bits: an extreme day of year must reach caldat's range test rather
  // than wrap around into the calendar.
  int jd = clamp_day_number(static_cast<long long>(julday_(year, &one, &one)) + *doy - 1);
  caldat_(&jd, year, month, day);
  const double t = *ut;
  if (!(std::fabs(t / 3600.0) < 2147483648.0)) kest::stop_stdout({kTimeOfDayOutOfRange});
  *hour = trunc_int(t / 3600.0);
  *minute = trunc_int((t - 3600.0 * *hour) / 60.0);
  *second = trunc_int(t - 3600.0 * *hour - 60.0 * *minute);
}

// decy2date_and_time: civil date, day of year and clock time of a decimal year.
// Given:    decy  double  decimal year
// Returned: year, month, day, doy, hour, minute, second  int; ut  double  s
// Failure:  -1 < decy < 1 stops through julday (year 0); so does a decimal
//           year outside julday's years, and one that is not a number (the
//           out-of-range message, before any output is written).
// Notes:    1. Every step truncates, so a date taken to the decimal year and
//             back can come back one second short.
//           2. ut is in whole seconds.
//           3. Month and day come from the common-year month lengths for a
//             year of 365 days and from the leap-year ones for any other
//             length; 1582, with its 355 days, therefore gets 29 February
//             for its day 60 and 4 October for its day 278 (15 October).
//           4. A negative decimal year goes through the same truncations
//             toward zero, so its parts come out negative and are no date:
//             -1.5 gives year -1, day of year -181, hour -12, where the
//             middle of year -2 is meant (date_and_time2decy gives -1.5 for
//             it; julday counts year -1 as the one before year 1).
extern "C" void decy2date_and_time_(double* decy, int* year, int* month, int* day, int* doy,
                                    int* hour, int* minute, int* second, double* ut) {
  // Tested before the conversion: a year that julday rejects anyway, or not
  // a number, has no integer part to take.
  if (!(*decy > -4717.0 && *decy < 5000001.0)) kest::stop_stdout({kJulianOutOfRange});
  *year = trunc_int(*decy);
  int one = 1, twelve = 12, thirty_one = 31;
  const int ndays = julday_(year, &twelve, &thirty_one) - julday_(year, &one, &one) + 1;
  const double f = (*decy - *year) * ndays;
  *doy = trunc_int(f) + 1;
  const int* cum = ndays == 365 ? kCumCommon : kCumLeap;
  int im = 0;
  while (im < 11 && cum[im] < *doy) ++im;
  *month = im + 1;
  *day = *doy - (im == 0 ? 0 : cum[im - 1]);
  const double h = (f - (*doy - 1)) * 24.0;
  *hour = trunc_int(h);
  const double m = (h - *hour) * 60.0;
  *minute = trunc_int(m);
  const double s = (m - *minute) * 60.0;
  *second = trunc_int(s);
  *ut = 3600.0 * *hour + 60.0 * *minute + *second;
}

// date_and_time2decy: decimal year of a civil date and clock time.
// Given:    year, month, day, hour, minute, second  int
// Returned: decy  double
// Failure:  as julday.
// Notes:    1. The day difference and the seconds are summed in double
//             precision, exact for every integer input, so no month, day or
//             clock value can overflow.
extern "C" void date_and_time2decy_(int* year, int* month, int* day, int* hour, int* minute,
                                    int* second, double* decy) {
  int one = 1, twelve = 12, thirty_one = 31;
  const int j1 = julday_(year, &one, &one);
  const int j2 = julday_(year, &twelve, &thirty_one);
  const int j = julday_(year, month, day);
  *decy = *year + ((static_cast<double>(j) - j1) + (*second + 60.0 * *minute + 3600.0 * *hour) / 86400.0) /
                      static_cast<double>(j2 - j1 + 1);
}
