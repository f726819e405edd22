// Calendar and decimal-year routines.
//
// Julian day numbers tie civil dates together: dates up to 4 October 1582 are
// Julian-calendar dates, dates from 15 October 1582 Gregorian. Years have no
// zero (the year before 1 is -1). trunc() below is truncation toward zero, as
// an integer conversion of a double; for years before 1 this makes julday and
// caldat differ by one day, which is kept because stored day numbers rely on
// it.
#include <cmath>

#include "frame/conventions.hpp"
#include "kest/frame.h"

namespace {

inline int trunc_int(double x) { return static_cast<int>(x); }

// Cumulative month lengths at the end of each month, common and leap year.
constexpr int kCumCommon[12] = {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int kCumLeap[12] = {31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};

}  // namespace

// julday: Julian day number of a civil date.
// Given:   year, month, day  int  (months and days are not range-tested)
// Returns: int  Julian day number (2451545 for 1 January 2000).
// Failure: year < -4716 or > 5000000, or year 0: message lines on standard
//          output, process stop.
// Notes:   1. The Gregorian correction is applied on the raw day count
//             (>= 2299171, i.e. 15 Oct 1582), so 5-14 Oct 1582 are numbered
//             in the Julian calendar.
extern "C" int julday_(int* year, int* month, int* day) {
  const int iyyy = *year;
  if (iyyy < -4716 || iyyy > 5000000) kest::stop_stdout({"Value of Julian date is out of allowed range."});
  if (iyyy == 0)
    kest::stop_stdout({"There is no year zero in the civil calendar.",
                       "Value of Julian date is out of allowed range."});
  int y = iyyy < 0 ? iyyy + 1 : iyyy;
  int m;
  if (*month <= 2) {
    y = y - 1;
    m = *month + 13;
  } else {
    m = *month + 1;
  }
  int j = trunc_int(30.6001 * m) + trunc_int(365.25 * y) + *day + 1720995;
  if (j >= 2299171) {
    const int a = trunc_int(0.01 * y);
    j = j + 2 - a + trunc_int(0.25 * a);
  }
  return j;
}

// caldat: civil date of a Julian day number (inverse of julday).
// Given:    julian  int  Julian day number, -1095 .. 1827933925
// Returned: year, month, day  int
// Failure:  a day number outside the range: message, process stop.
extern "C" void caldat_(int* julian, int* year, int* month, int* day) {
  const int jd = *julian;
  if (jd < -1095 || jd > 1827933925) kest::stop_stdout({"Value of Julian date is out of allowed range."});
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
// Failure: as julday.
extern "C" int get_doy_(int* year, int* month, int* day) {
  int one = 1;
  return julday_(year, month, day) - julday_(year, &one, &one) + 1;
}

// doy_and_ut2date_and_time: civil date and clock time of a day of year.
// Given and returned: year  int  (moved forward or back when doy leaves the year)
// Given:    doy  int  day of year; ut  double  seconds of day
// Returned: month, day, hour, minute, second  int
// Notes:    1. A time of day of 86400 s or more gives an hour of 24 or more;
//             the date is not advanced.
extern "C" void doy_and_ut2date_and_time_(int* year, int* doy, double* ut, int* month, int* day,
                                          int* hour, int* minute, int* second) {
  int one = 1;
  int jd = julday_(year, &one, &one) + *doy - 1;
  caldat_(&jd, year, month, day);
  const double t = *ut;
  *hour = trunc_int(t / 3600.0);
  *minute = trunc_int((t - 3600.0 * *hour) / 60.0);
  *second = trunc_int(t - 3600.0 * *hour - 60.0 * *minute);
}

// decy2date_and_time: civil date, day of year and clock time of a decimal year.
// Given:    decy  double  decimal year
// Returned: year, month, day, doy, hour, minute, second  int; ut  double  s
// Failure:  -1 < decy < 1 stops through julday (year 0).
// Notes:    1. Every step truncates, so a date taken to the decimal year and
//             back can come back one second short.
//           2. ut is in whole seconds.
extern "C" void decy2date_and_time_(double* decy, int* year, int* month, int* day, int* doy,
                                    int* hour, int* minute, int* second, double* ut) {
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
extern "C" void date_and_time2decy_(int* year, int* month, int* day, int* hour, int* minute,
                                    int* second, double* decy) {
  int one = 1, twelve = 12, thirty_one = 31;
  const int j1 = julday_(year, &one, &one);
  const int j2 = julday_(year, &twelve, &thirty_one);
  const int j = julday_(year, month, day);
  *decy = *year + ((j - j1) + (*second + 60.0 * *minute + 3600.0 * *hour) / 86400.0) /
                      static_cast<double>(j2 - j1 + 1);
}
