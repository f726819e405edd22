// The calendar and sun routines under extreme integers and non-finite reals:
// each either computes the formula's value without overflow or stops with a
// message (exit status 1). Run in the sanitizer build, any overflow or
// out-of-range conversion on the way fails the test.
#include <climits>
#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>
#include <unistd.h>

#include "kest.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

int jd(int y, int m, int d) { return julday_(&y, &m, &d); }

// Inputs whose day number or clock fits the 32-bit range: the value of the
// formulas, by hand.
TEST(HostileCalendar, ExtremeInputsThatFitAreComputed) {
  // 1 January 2000 is 2451545 after the Gregorian correction of -13 days; a
  // day of INT_MIN falls far before the reform, so the correction is gone:
  // 2451545 + 13 - 1 + INT_MIN.
  EXPECT_EQ(jd(2000, 1, INT_MIN), 2451557 + INT_MIN);

  // 7e12 s = 1944444444 h + 26 min + 40 s (3600 x 1944444444 = 6999999998400).
  int year = 2000, doy = 1, month, day, hour, minute, second;
  double ut = 7.0e12;
  doy_and_ut2date_and_time_(&year, &doy, &ut, &month, &day, &hour, &minute, &second);
  EXPECT_EQ(year, 2000);
  EXPECT_EQ(month, 1);
  EXPECT_EQ(day, 1);
  EXPECT_EQ(hour, 1944444444);
  EXPECT_EQ(minute, 26);
  EXPECT_EQ(second, 40);

  // Clock values of INT_MAX are summed in double precision: 1 January 2000
  // plus 3661 x INT_MAX seconds, over the 366 days of 2000.
  int y = 2000, m = 1, d = 1, big = INT_MAX;
  double decy = 0.0;
  date_and_time2decy_(&y, &m, &d, &big, &big, &big, &decy);
  EXPECT_DOUBLE_EQ(decy, 2000.0 + 3661.0 * INT_MAX / 86400.0 / 366.0);

  // sun2: the day count in double precision, MJD = JD(1 Jan) + idoy - 2400002.
  struct SunCase {
    int idoy;
  } sun_cases[] = {{INT_MAX}, {INT_MIN}};
  for (const auto& c : sun_cases) {
    int iyr = 2000, idoy = c.idoy;
    double t0 = 0, lambda, st, ct, si, ci, so, co, secs = 0.0;
    sun2_(&iyr, &idoy, &secs, &t0, &lambda, &st, &ct, &si, &ci, &so, &co);
    EXPECT_DOUBLE_EQ(t0, ((2451545.0 + c.idoy - 2400002.0) - 51544.5) / 36525.0) << c.idoy;
  }

  // sun: an extreme day of year or a non-finite time gives angles (not
  // numbers for the non-finite time), never a trap.
  struct GsmCase {
    int idoy;
    double ut;
    bool finite;
  } gsm_cases[] = {{INT_MAX, 0.0, true}, {INT_MIN, 0.0, true}, {100, kNaN, false},
                   {100, kInf, false},   {100, 1e300, true}};
  for (const auto& c : gsm_cases) {
    int iyr = 2000, idoy = c.idoy;
    double secs = c.ut, gst = 0, slong = 0, srasn = 0, sdec = 0;
    sun_(&iyr, &idoy, &secs, &gst, &slong, &srasn, &sdec);
    EXPECT_EQ(std::isfinite(gst) && std::isfinite(sdec), c.finite) << c.idoy << " " << c.ut;
  }
}

// Inputs whose day number, day of year, year or hour count cannot be held:
// a message line on standard output and exit status 1.
TEST(HostileCalendarDeathTest, ExtremeInputsThatDoNotFitStop) {
  const char* const kDate = "^ Value of Julian date is out of allowed range\\.\n$";
  const char* const kClock = "^ Value of time of day is out of allowed range\\.\n$";
  auto to_date = [](int year, int doy, double ut) {
    int month, day, hour, minute, second;
    doy_and_ut2date_and_time_(&year, &doy, &ut, &month, &day, &hour, &minute, &second);
  };
  auto from_decy = [](double decy) {
    int year, month, day, doy, hour, minute, second;
    double ut;
    decy2date_and_time_(&decy, &year, &month, &day, &doy, &hour, &minute, &second, &ut);
  };
  auto to_decy = [](int year, int month, int day) {
    int zero = 0;
    double decy;
    date_and_time2decy_(&year, &month, &day, &zero, &zero, &zero, &decy);
  };
  struct Case {
    const char* what;
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {"julday month INT_MAX", [] { jd(2000, INT_MAX, 1); }, kDate},
      {"julday month INT_MIN", [] { jd(2000, INT_MIN, 1); }, kDate},
      {"julday day INT_MAX", [] { jd(2000, 1, INT_MAX); }, kDate},
      // Day number 2147482589 fits, but it lies 2147483685 days after
      // 1 January -4716 (day number -1095).
      {"get_doy beyond 32 bits",
       [] {
         int y = -4716, m = 1, d = INT_MAX;
         get_doy_(&y, &m, &d);
       },
       kDate},
      {"date_and_time2decy month INT_MIN", [=] { to_decy(2000, INT_MIN, 1); }, kDate},
      {"doy INT_MAX", [=] { to_date(2000, INT_MAX, 0.0); }, kDate},
      {"doy INT_MIN", [=] { to_date(2000, INT_MIN, 0.0); }, kDate},
      {"ut NaN", [=] { to_date(2000, 100, kNaN); }, kClock},
      {"ut inf", [=] { to_date(2000, 100, kInf); }, kClock},
      {"ut -1e300", [=] { to_date(2000, 100, -1e300); }, kClock},
      {"decy NaN", [=] { from_decy(kNaN); }, kDate},
      {"decy 1e300", [=] { from_decy(1e300); }, kDate},
      {"decy -inf", [=] { from_decy(-kInf); }, kDate},
      {"decy 5000001", [=] { from_decy(5000001.0); }, kDate},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(
        {
          dup2(2, 1);
          c.call();
        },
        testing::ExitedWithCode(1), c.message)
        << c.what;
  }
}

}  // namespace
