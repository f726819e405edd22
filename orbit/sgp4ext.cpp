// Small numeric routines shared by the orbit code: three-vector length,
// products and angle, inverse hyperbolic sine, true to eccentric/mean anomaly,
// and calendar date <-> Julian date conversions.
//
// References: D. A. Vallado, Fundamentals of Astrodynamics and Applications,
// 2nd ed., 2001 (algorithms for the anomaly and the Julian date);
// Vallado et al., Revisiting Spacetrack Report #3, AIAA 2006-6753.
#include <cmath>

#include "kest/orbit.h"

namespace {

constexpr double twopi = 6.283185307179586;

// Marker of an anomaly that no formula gives (outside the asymptotes of a
// hyperbola, too far round a parabola).
constexpr double undefined_anomaly = 999999.9;
// Marker of an angle between vectors that has no meaning (a zero vector).
constexpr double undefined_angle = 999999.1;

}  // namespace

// mag: length of a three-vector.
// Given:    x(3)  double
// Returned: (function)  double; exactly 0 for any vector shorter than 1e-8,
//           and for one with a component that is not a number
extern "C" double mag_(double* x) {
  const double q = x[0] * x[0] + x[1] * x[1] + x[2] * x[2];
  return q >= 1.0e-16 ? std::sqrt(q) : 0.0;
}

// cross: right-handed vector product c = a x b.
// Given:    a(3), b(3)  double
// Returned: c(3)  double
extern "C" void cross_(double* a, double* b, double* c) {
  const double c0 = a[1] * b[2] - a[2] * b[1];
  const double c1 = a[2] * b[0] - a[0] * b[2];
  const double c2 = a[0] * b[1] - a[1] * b[0];
  c[0] = c0;
  c[1] = c1;
  c[2] = c2;
}

// dot: scalar product.
// Given:    a(3), b(3)  double
// Returned: (function)  double
extern "C" double dot_(double* a, double* b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// angle: angle between two vectors.
// Given:    a(3), b(3)  double
// Returned: theta  double  radians in [0, pi], or 999999.1 when the product of
//           the lengths is at most 1e-16
// Notes:    1. A cosine that round-off puts beyond +-1 is clamped to +-1.
extern "C" void angle_(double* a, double* b, double* theta) {
  const double ma = mag_(a), mb = mag_(b);
  if (ma * mb > 1.0e-16) {
    double k = dot_(a, b) / (ma * mb);
    if (std::fabs(k) > 1.0) k = k >= 0.0 ? 1.0 : -1.0;
    *theta = std::acos(k);
  } else {
    *theta = undefined_angle;
  }
}

// asinh: inverse hyperbolic sine, ln(x + sqrt(x^2 + 1)).
// Given:    x  double
// Returned: (function)  double
// For x < 0 the sum x + sqrt(x^2 + 1) cancels: its relative error grows like
// x^2 times the rounding unit (1e-11 in the result at x = -1000, 3e-4 at
// -1e7), and below about -6.7e7 the sum is 0 and the logarithm -infinity. The
// function is odd, so a negative argument is taken as -asinh(-x), where the
// two terms add. From |x| = 2^512 on, x^2 overflows; there sqrt(x^2 + 1) is
// |x| to far below the rounding unit and asinh|x| = ln|x| + ln 2. Small
// arguments lose to the logarithm: the sum 1 + |x| + ... is rounded before
// ln takes its excess over 1, so the relative error grows like the rounding
// unit over |x| (1e-4 at 1e-12, 11 % at 1e-15, and 0 for 1e-17, where
// asinh x = x). Below 1/8, where that loss passes some 20 units in the last
// place, the library's own asinh is used, good to a unit or two. Arguments
// from 1/8 up to 2^512 are evaluated as they always were.
extern "C" double asinh_(double* x) {
  constexpr double kSquareOverflows = 0x1p512;
  constexpr double kLogLosesDigits = 0.125;
  constexpr double kLn2 = 0.69314718055994530942;
  const double a = std::fabs(*x);
  const double v = a < kLogLosesDigits   ? std::asinh(a)
                   : a < kSquareOverflows ? std::log(a + std::sqrt(a * a + 1.0))
                                          : std::log(a) + kLn2;
  return *x < 0.0 ? -v : v;
}

// newtonnu: eccentric (hyperbolic, parabolic) anomaly and mean anomaly from
// the true anomaly.
// Given:    ecc  double  eccentricity; nu  double  true anomaly, rad
// Returned: e0  double  eccentric, hyperbolic or parabolic anomaly
//           m  double  mean anomaly, rad
// Failure:  both outputs 999999.9 where no formula applies: a hyperbolic true
//           anomaly within 1e-5 rad of the asymptotes or beyond them, a
//           near-parabolic one of 168 degrees or more.
// Notes:    1. Circular below |e| = 1e-6, elliptical below 0.999, hyperbolic
//              above 1.0001, parabolic in between.
//           2. For e < 1 the mean anomaly is reduced into [0, 2 pi] and the
//              anomaly by the truncated remainder (keeping its sign); the
//              reduction also applies to the marker when 0.999 <= e < 1.
//              A mean anomaly a rounding error below 0 (a true anomaly of
//              -1e-20) comes back as exactly 2 pi, the same direction.
extern "C" void newtonnu_(double* ecc, double* nu, double* e0, double* m) {
  const double e = *ecc, v = *nu;
  *e0 = undefined_anomaly;
  *m = undefined_anomaly;
  if (std::fabs(e) < 1.0e-6) {
    *m = v;
    *e0 = v;
  } else if (e < 0.999) {
    const double d = 1.0 + e * std::cos(v);
    const double sine = std::sqrt(1.0 - e * e) * std::sin(v) / d;
    const double cose = (e + std::cos(v)) / d;
    *e0 = std::atan2(sine, cose);
    *m = *e0 - e * std::sin(*e0);
  } else if (e > 1.0001) {
    if (std::fabs(v) + 0.00001 < 3.14159265358979 - std::acos(1.0 / e)) {
      const double sine = std::sqrt(e * e - 1.0) * std::sin(v) / (1.0 + e * std::cos(v));
      double s = sine;
      *e0 = asinh_(&s);
      *m = e * std::sinh(*e0) - *e0;
    }
  } else if (std::fabs(v) < 168.0 / 57.29578) {
    *e0 = std::tan(v * 0.5);
    *m = *e0 + (*e0 * *e0 * *e0) / 3.0;
  }
  if (e < 1.0) {
    *m = std::fmod(*m, twopi);
    if (*m < 0.0) *m += twopi;
    *e0 = std::fmod(*e0, twopi);
  }
}

// jday: Julian date of a calendar date and time.
// Given:    year, mon, day, hr, minute  int; sec  double
// Returned: jd  double  Julian date (2000-01-01 12:00 gives 2451545.0)
// Notes:    1. Gregorian dates from 1901 to 2099 (the month term has no
//              century correction); no range check.
extern "C" void jday_(int* year, int* mon, int* day, int* hr, int* minute, double* sec,
                      double* jd) {
  // 64-bit integer terms: the same values as in int for every real date,
  // and no overflow for any year or month a caller passes.
  const long long y = *year, mo = *mon;
  const double t1 = std::trunc(7.0 * static_cast<double>(y + (mo + 9) / 12) * 0.25);
  const long long t2 = (275 * mo) / 9;
  *jd = 367.0 * static_cast<double>(y) - t1 + static_cast<double>(t2) + *day + 1721013.5 +
        ((*sec / 60.0 + *minute) / 60.0 + *hr) / 24.0;
}

// days2mdhms: month, day, hour, minute and seconds of a day of year.
// Given:    year  int; days  double  day of year with fraction (1.0 = 1 Jan 0h)
// Returned: mon, day, hr, minute  int; sec  double
// Notes:    1. Every year divisible by 4 is a leap year.
//           2. The month search stops at December: a day of year past the end
//              of the year gives month 12 and a day above 31.
//           3. Hours and minutes are truncated; the seconds carry the rest.
// Failure:  a day of year that is not a number or beyond +-1e9 (no date of
//           the calendar routines) gives month, day, hour and minute 0 and
//           seconds -1.0e31.
extern "C" void days2mdhms_(int* year, double* days, int* mon, int* day, int* hr,
                            int* minute, double* sec) {
  if (!(std::fabs(*days) <= 1.0e9)) {
    // The whole days would not fit the integer day count.
    *mon = *day = *hr = *minute = 0;
    *sec = -1.0e31;
    return;
  }
  int lmonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (*year % 4 == 0) lmonth[1] = 29;
  const int dayofyr = static_cast<int>(std::trunc(*days));
  int i = 1, inttemp = 0;
  while (dayofyr > inttemp + lmonth[i - 1] && i < 12) {
    inttemp += lmonth[i - 1];
    ++i;
  }
  *mon = i;
  *day = dayofyr - inttemp;
  double temp = (*days - dayofyr) * 24.0;
  *hr = static_cast<int>(std::trunc(temp));
  temp = (temp - *hr) * 60.0;
  *minute = static_cast<int>(std::trunc(temp));
  *sec = (temp - *minute) * 60.0;
}

// invjday: calendar date and time of a Julian date.
// Given:    jd  double  Julian date
// Returned: year, mon, day, hr, minute  int; sec  double
// Failure:  a Julian date that is not a number or more than 1e9 days from
//           1900 gives year, month, day, hour and minute 0 and seconds
//           -1.0e31.
// Notes:    1. Counts years and leap days from 1900; valid 1901 to 2099.
extern "C" void invjday_(double* jd, int* year, int* mon, int* day, int* hr, int* minute,
                         double* sec) {
  const double temp = *jd - 2415019.5;
  if (!(std::fabs(temp) <= 1.0e9)) {
    // The years would not fit the integer year.
    *year = *mon = *day = *hr = *minute = 0;
    *sec = -1.0e31;
    return;
  }
  const double tu = temp / 365.25;
  int y = 1900 + static_cast<int>(std::trunc(tu));
  int leapyrs = static_cast<int>(std::trunc((y - 1901) * 0.25));
  double days = temp - ((y - 1900) * 365.0 + leapyrs);
  if (days < 1.0) {
    y = y - 1;
    leapyrs = static_cast<int>(std::trunc((y - 1901) * 0.25));
    days = temp - ((y - 1900) * 365.0 + leapyrs);
  }
  *year = y;
  days2mdhms_(year, &days, mon, day, hr, minute, sec);
}
