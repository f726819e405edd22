// Calendar arithmetic of the orbit drivers under dates no calendar holds: a
// month or day near the ends of the int range, a Julian date that is not a
// number. Nothing may overflow (the sanitizer build traps on it); the values
// are the formulas' own, worked in exact integer arithmetic.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "kest/frame.h"
#include "kest/orbit.h"
#include "orbit/orbit_time.hpp"

namespace {

// jday with the month INT_MIN: (m + 9) / 12 = -178956969, the year term
// trunc(7 (2000 - 178956969) / 4) = -313171195, the month term
// 275 m / 9 = -65617555911 (both truncated toward zero), so
// 367 x 2000 + 313171195 - 65617555911 + 1 + 1721013.5.
TEST(OrbitDates, JulianDateOfAMonthAtTheEndOfTheIntRange) {
  int y = 2000, mon = INT_MIN, day = 1, hr = 0, minute = 0;
  double sec = 0.0, jd = 0.0;
  jday_(&y, &mon, &day, &hr, &minute, &sec, &jd);
  EXPECT_EQ(jd, -65301929701.5);
  // An ordinary date keeps its value: 2000-01-01 12:00 is JD 2451545.0.
  mon = 1;
  hr = 12;
  jday_(&y, &mon, &day, &hr, &minute, &sec, &jd);
  EXPECT_EQ(jd, 2451545.0);
  for (int big : {INT_MAX, INT_MIN}) {
    int yy = big, mm = big, dd = big;
    jday_(&yy, &mm, &dd, &hr, &minute, &sec, &jd);
    EXPECT_TRUE(std::isfinite(jd)) << big;
  }
}

// The day of year is the difference of two day numbers plus one: 61 for
// 1 March 2000 (31 + 29 + 1), and, for a day near INT_MIN, the difference
// taken in 64 bits.
TEST(OrbitDates, DayOfYearOfADayAtTheEndOfTheIntRange) {
  EXPECT_EQ(kest::day_of_year(2000, 3, 1, 6, 0, 0.0), 61.25);
  int y = 2000, mon = -1000, day = INT_MIN, one = 1;
  const long long expected =
      static_cast<long long>(julday_(&y, &mon, &day)) - julday_(&y, &one, &one) + 1;
  EXPECT_EQ(kest::day_of_year(2000, -1000, INT_MIN, 0, 0, 0.0), static_cast<double>(expected));
}

// A solar element set at a Julian date that is not a number: only the node
// depends on the date; the mean motion, eccentricity and inclination are
// those of any date.
TEST(OrbitDates, SolarSetAtAJulianDateThatIsNotANumber) {
  auto convert = [](double jd, double e[6]) {
    int opts[5] = {4, 1, 5, 0, 0};
    e[0] = 98.0, e[1] = 500.0, e[2] = 800.0, e[3] = 10.0, e[4] = 10.0, e[5] = 0.0;
    solar2classical_(&e[0], &e[1], &e[2], &e[3], &e[4], &e[5], &jd, opts);
  };
  double ok[6], bad[6], far[6];
  convert(2451545.0, ok);
  convert(std::nan(""), bad);
  convert(1.0e12, far);  // some 2.7e9 years on: the day count leaves the int range
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(bad[k], ok[k]) << k;
    EXPECT_EQ(far[k], ok[k]) << k;
  }
  EXPECT_TRUE(std::isnan(bad[3]));
}

}  // namespace
