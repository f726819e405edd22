// Calendar and decimal-year routines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "cdf_epoch.hpp"
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

// Every day from 1900 to 2100 through every time form of the library, against
// the Gregorian calendar's own rule (leap years divisible by 4, not by 100
// unless by 400: 1900 and 2100 common, 2000 leap) and the Julian date of
// Meeus (Astronomical Algorithms, ch. 7), computed here in floating point.
// The two-digit-year element routines count every fourth year as a leap year
// (jday_ from 1 March 1900 to 28 February 2100, days2mdhms_ and invjday_ for
// 1901-2099), so they are held to those years. The solar ephemeris counts its
// days from 1900 January 0.5 with the leap days since 1901: the day after the
// last of a year, as day 1 of the next, gives the same sun.
double meeus_jd0(int y, int m, int d) {
  if (m <= 2) y -= 1, m += 12;
  const int a = y / 100, b = 2 - a + a / 4;
  return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + d + b - 1524.5;
}

TEST(CalendarForms, AgreeDayByDayFrom1900To2100) {
  static const int kMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int y = 1900; y <= 2100; ++y) {
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    const int len = leap ? 366 : 365;
    int doy = 0;
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= kMonth[m - 1] + (m == 2 && leap ? 1 : 0); ++d) {
        ++doy;
        const double jd0 = meeus_jd0(y, m, d);  // 0 h UT
        int yy = y, mm = m, dd = d;
        ASSERT_EQ(julday_(&yy, &mm, &dd), static_cast<int>(jd0 + 0.5)) << y << "-" << m << "-" << d;
        ASSERT_EQ(get_doy_(&yy, &mm, &dd), doy) << y << "-" << m << "-" << d;

        // Day of year and 06:30:15 back to the date.
        int y2 = y, doy2 = doy, mo, da, h, mi, s;
        double ut = 23415.0;
        doy_and_ut2date_and_time_(&y2, &doy2, &ut, &mo, &da, &h, &mi, &s);
        ASSERT_TRUE(y2 == y && mo == m && da == d && h == 6 && mi == 30 && s == 15) << y << " " << doy;

        // Decimal year: the fraction of the year's own length, and back to
        // the same day (the clock may come back one second short).
        int hh = 6, mn = 30, ss = 15;
        double decy = 0.0;
        date_and_time2decy_(&yy, &mm, &dd, &hh, &mn, &ss, &decy);
        ASSERT_NEAR(decy, y + (doy - 1 + 23415.0 / 86400.0) / len, 4e-13) << y << " " << doy;
        int ry, rm, rd, rdoy, rh, rmi, rs;
        double rut;
        decy2date_and_time_(&decy, &ry, &rm, &rd, &rdoy, &rh, &rmi, &rs, &rut);
        ASSERT_TRUE(ry == y && rm == m && rd == d && rdoy == doy && std::fabs(rut - 23415.0) <= 1.0)
            << y << " " << doy << " " << rut;

        // CDF EPOCH: milliseconds from 0000-01-01 (JD 1721059.5), noon.
        char text[32], want[32];
        std::snprintf(want, sizeof want, "%04d-%03d.50000000", y, doy);
        ASSERT_TRUE(cdf::encode_epoch_year_doy_fod((jd0 - 1721059.5 + 0.5) * 86400000.0, text, sizeof text));
        ASSERT_EQ(std::string(text), want);

        // The element-set date routines, within their years.
        if (y > 1900 && y < 2100) {
          int hr = 7, mt = 8;
          double sec = 9.5, jd = 0.0;
          jday_(&yy, &mm, &dd, &hr, &mt, &sec, &jd);
          ASSERT_NEAR(jd, jd0 + (7 + 8 / 60.0 + 9.5 / 3600.0) / 24.0, 1e-9) << y << " " << doy;
          int iy, im, id, ih, imi;
          double is;
          invjday_(&jd, &iy, &im, &id, &ih, &imi, &is);
          ASSERT_TRUE(iy == y && im == m && id == d && ih == 7 && imi == 8) << y << " " << doy;
          ASSERT_NEAR(is, 9.5, 1e-4);  // a Julian date near 2.45e6 resolves some 40 microseconds
          double days = doy + 0.75;
          int dm, dday, dh, dmin;
          double ds;
          days2mdhms_(&yy, &days, &dm, &dday, &dh, &dmin, &ds);
          ASSERT_TRUE(dm == m && dday == d && dh == 18 && dmin == 0) << y << " " << doy;
        }
      }
    }
    ASSERT_EQ(doy, len);
    if (y >= 1901 && y < 2099) {
      int a = y, da = len + 1, b = y + 1, db = 1;
      double u = 3600.0, o1[4], o2[4];
      sun_(&a, &da, &u, &o1[0], &o1[1], &o1[2], &o1[3]);
      sun_(&b, &db, &u, &o2[0], &o2[1], &o2[2], &o2[3]);
      for (int k = 0; k < 4; ++k) ASSERT_NEAR(o1[k], o2[k], 1e-12) << y << " angle " << k;
    }
  }
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
