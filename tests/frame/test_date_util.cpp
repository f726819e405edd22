// Calendar and decimal-year routines.
#include <gtest/gtest.h>
#include <unistd.h>

#include "kest.h"

namespace {

int jd(int y, int m, int d) { return julday_(&y, &m, &d); }

struct Date {
  int y, m, d;
};
Date cal(int j) {
  Date r{};
  caldat_(&j, &r.y, &r.m, &r.d);
  return r;
}

// Day numbers from the definition of the calendar (J2000 is 2451545, the
// Gregorian reform follows 4 October 1582 with 15 October 1582) and the
// documented range ends.
TEST(Julday, KnownDayNumbers) {
  struct Case {
    int y, m, d, j;
  } cases[] = {
      {2000, 1, 1, 2451545},     {1582, 10, 15, 2299161}, {1582, 10, 4, 2299160},
      {1582, 10, 5, 2299161},    {1582, 10, 14, 2299170},  // the skipped days, Julian numbering
      {-4716, 1, 1, -1095},      {5000000, 12, 31, 1827933925},
      {-4713, 1, 1, 1},          // truncation toward zero before year 1
      {1858, 11, 17, 2400001},   // MJD 0 is JD 2400000.5: civil day 2400001 starts at noon before
      {2004, 2, 29, 2453065},
  };
  for (const auto& c : cases) EXPECT_EQ(jd(c.y, c.m, c.d), c.j) << c.y << "-" << c.m << "-" << c.d;
}

TEST(Caldat, KnownDates) {
  struct Case {
    int j, y, m, d;
  } cases[] = {
      {2299160, 1582, 10, 4}, {2299161, 1582, 10, 15}, {2451545, 2000, 1, 1},
      {0, -4713, 1, 1},       {2453065, 2004, 2, 29},  {2451604, 2000, 2, 29},
  };
  for (const auto& c : cases) {
    const Date r = cal(c.j);
    EXPECT_EQ(r.y, c.y) << c.j;
    EXPECT_EQ(r.m, c.m) << c.j;
    EXPECT_EQ(r.d, c.d) << c.j;
  }
  // julday and caldat are one day apart before year 1 (truncation of step 5).
  const Date r = cal(jd(-1, 1, 1) - 1);
  EXPECT_EQ(r.y, -1);
  EXPECT_EQ(r.m, 1);
  EXPECT_EQ(r.d, 1);
}

TEST(Caldat, RoundTripsJuldayOverCenturies) {
  for (int j = 2299161; j < 2299161 + 400 * 366; j += 37) {
    const Date r = cal(j);
    EXPECT_EQ(jd(r.y, r.m, r.d), j);
  }
}

TEST(GetDoy, YearEnds) {
  int y = 2000, m = 12, d = 31;
  EXPECT_EQ(get_doy_(&y, &m, &d), 366);
  y = 1900;
  EXPECT_EQ(get_doy_(&y, &m, &d), 365);
  y = 1582;
  EXPECT_EQ(get_doy_(&y, &m, &d), 355);
}

TEST(DoyAndUt, RollsIntoNextYearAndSplitsTime) {
  int year = 2001, doy = 366, month = 0, day = 0, h = 0, mi = 0, s = 0;
  double ut = 3600.0 * 13 + 60 * 7 + 42.9;
  doy_and_ut2date_and_time_(&year, &doy, &ut, &month, &day, &h, &mi, &s);
  EXPECT_EQ(year, 2002);
  EXPECT_EQ(month, 1);
  EXPECT_EQ(day, 1);
  EXPECT_EQ(h, 13);
  EXPECT_EQ(mi, 7);
  EXPECT_EQ(s, 42);
  // Day 0 moves back to 31 December of the year before; 86400 s gives hour 24.
  year = 2004;
  doy = 0;
  ut = 86400.0;
  doy_and_ut2date_and_time_(&year, &doy, &ut, &month, &day, &h, &mi, &s);
  EXPECT_EQ(year, 2003);
  EXPECT_EQ(month, 12);
  EXPECT_EQ(day, 31);
  EXPECT_EQ(h, 24);
}

TEST(DecimalYear, HalfwayThroughLeapYear2000) {
  // 2000 has 366 days; halfway is 183 days after 1 January: 2 July 00:00.
  const double half = 2000.5;
  int y, m, d, doy, h, mi, s;
  double ut = -1.0;
  double decy = half;
  decy2date_and_time_(&decy, &y, &m, &d, &doy, &h, &mi, &s, &ut);
  EXPECT_EQ(y, 2000);
  EXPECT_EQ(m, 7);
  EXPECT_EQ(d, 2);
  EXPECT_EQ(doy, 184);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(mi, 0);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(ut, 0.0);
  int y2 = 2000, m2 = 7, d2 = 2, z = 0;
  double back = 0.0;
  date_and_time2decy_(&y2, &m2, &d2, &z, &z, &z, &back);
  EXPECT_DOUBLE_EQ(back, half);
}

TEST(DecimalYear, RoundTripLosesAtMostOneSecond) {
  // Every step back truncates, so a date may come back one second short.
  int shorts = 0;
  for (int k = 0; k < 200; ++k) {
    int y = 1999 + k % 3, m = 1 + k % 12, d = 1 + k % 28, h = k % 24, mi = (7 * k) % 60, s = (13 * k) % 60;
    double decy = 0.0;
    date_and_time2decy_(&y, &m, &d, &h, &mi, &s, &decy);
    int y2, m2, d2, doy2, h2, mi2, s2;
    double ut2;
    decy2date_and_time_(&decy, &y2, &m2, &d2, &doy2, &h2, &mi2, &s2, &ut2);
    const long t1 = ((d * 24L + h) * 60 + mi) * 60 + s;
    const long t2 = ((d2 * 24L + h2) * 60 + mi2) * 60 + s2;
    ASSERT_EQ(y2, y);
    ASSERT_EQ(m2, m);
    ASSERT_TRUE(t1 - t2 == 0 || t1 - t2 == 1) << k;
    shorts += static_cast<int>(t1 - t2);
  }
  EXPECT_GT(shorts, 0);
}

void decy_of_half_year_zero() {
  double decy = 0.5, ut;
  int a, b, c, d, e, f, g;
  decy2date_and_time_(&decy, &a, &b, &c, &d, &e, &f, &g, &ut);
}

// The process stops: message lines on standard output, exit status 1.
TEST(CalendarDeathTest, OutOfRangeStops) {
  EXPECT_EXIT(
      {
        dup2(2, 1);
        jd(-4717, 1, 1);
      },
      testing::ExitedWithCode(1), "^ Value of Julian date is out of allowed range\\.\n$");
  EXPECT_EXIT(
      {
        dup2(2, 1);
        jd(0, 6, 1);
      },
      testing::ExitedWithCode(1),
      "^ There is no year zero in the civil calendar\\.\n Value of Julian date is out of allowed range\\.\n$");
  EXPECT_EXIT(
      {
        dup2(2, 1);
        cal(1827933926);
      },
      testing::ExitedWithCode(1), "^ Value of Julian date is out of allowed range\\.\n$");
  EXPECT_EXIT(
      {
        dup2(2, 1);
        decy_of_half_year_zero();
      },
      testing::ExitedWithCode(1), "There is no year zero");
}

}  // namespace
