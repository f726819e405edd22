// Calendar date and time of an instant after an element epoch (see
// orbit_time.hpp).
#include "orbit/orbit_time.hpp"

#include <cmath>

#include "kest/frame.h"

namespace kest {

namespace {
bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int year_length(int y) { return leap(y) ? 366 : 365; }
}  // namespace

void date_after(int year, double doy, double t_min, int& y, int& mon, int& day, int& hr,
                int& minute, double& sec) {
  double whole = std::floor(doy);
  double frac = doy - whole;
  const double dt = t_min / 1440.0;
  const double dt_whole = std::trunc(dt);
  whole += dt_whole;
  frac += dt - dt_whole;
  const double carry = std::floor(frac);
  whole += carry;
  frac -= carry;
  // A fraction a rounding error below 0 (an instant some 1e-11 s before
  // midnight, as a backward grid time start + k*step that should land on the
  // midnight gives it) borrows a day, and 1 + frac rounds to 1 itself: that
  // is the midnight, which belongs to the next day, not hour 24 of this one.
  if (frac >= 1.0) {
    whole += 1.0;
    frac = 0.0;
  }
  // Whole 400-year cycles of the Gregorian calendar (146097 days each) are
  // taken out first, so that the year loops below run at most 400 times
  // whatever the time. A date beyond any calendar (more than a million cycles
  // away, or not a number) is clamped to the year far_year, which the
  // calendar routines refuse; its day and time are meaningless.
  constexpr double cycle_days = 146097.0;
  constexpr double max_cycles = 1.0e6;
  constexpr long long far_year = 1000000000;
  double cycles = std::floor((whole - 1.0) / cycle_days);
  long long yy = year;
  long long d = 1;
  if (cycles >= -max_cycles && cycles <= max_cycles) {
    d = static_cast<long long>(whole - cycles * cycle_days);  // 1 .. 146097
    yy += 400 * static_cast<long long>(cycles);
  } else {
    yy = cycles < 0.0 ? -far_year : far_year;  // also for NaN (yy positive)
    frac = 0.0;
  }
  while (d > year_length(static_cast<int>(yy % 400))) d -= year_length(static_cast<int>(yy++ % 400));
  if (yy > far_year) yy = far_year;
  if (yy < -far_year) yy = -far_year;
  y = static_cast<int>(yy);
  static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  mon = 1;
  for (;;) {
    const int len = lengths[mon - 1] + (mon == 2 && leap(y) ? 1 : 0);
    if (d <= len) break;
    d -= len;
    ++mon;
  }
  day = static_cast<int>(d);
  double f = frac * 24.0;
  hr = static_cast<int>(f);
  f = (f - hr) * 60.0;
  minute = static_cast<int>(f);
  sec = (f - minute) * 60.0;
}

double day_of_year(int year, int mon, int day, int hr, int minute, double sec) {
  // 64-bit difference: the day numbers of a far date lie near the ends of
  // the int range.
  const long long doy = static_cast<long long>(julday_(&year, &mon, &day)) - [&] {
    int one = 1;
    return julday_(&year, &one, &one);
  }() + 1;
  return static_cast<double>(doy) + ((sec / 60.0 + minute) / 60.0 + hr) / 24.0;
}

// Far from the epoch the rounding error of start + k*step outgrows the
// 1e-8 min margin: it reaches two units in the last place of the largest of
// start, stop and step (2.98e-8 min at 8e9 s, some 250 years out; from
// about 68 years on for a window of many steps). The row meant to lie on the
// end then fell just short of it and was followed by a second row at the end
// a few microseconds later (element drivers), or came out just past it and
// was left out (two-line driver). The margin is therefore also eight units in
// the last place of their sum: 1e-8 min still for windows within about five
// years of the epoch. Between dates of the years 1 to 9999 it stays below
// 2e-5 min; it is held to 1e-4 min (6 ms), so that a window far beyond the
// calendar meets the same tests, in the same order, as before.
double window_margin(double start_min, double step_min, double stop_min) {
  constexpr double near_epoch = 1.0e-8;
  const double scale = std::fabs(start_min) + std::fabs(step_min) + std::fabs(stop_min);
  const double rel = 8.0 * 2.220446049250313e-16 * scale;
  if (!(rel > near_epoch)) return near_epoch;  // also for an edge that is not a number
  return rel < 1.0e-4 ? rel : 1.0e-4;
}

}  // namespace kest
