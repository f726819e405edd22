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
  y = year;
  long d = static_cast<long>(whole);
  while (d > year_length(y)) d -= year_length(y++);
  while (d < 1) d += year_length(--y);
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
  const int doy = julday_(&year, &mon, &day) - [&] {
    int one = 1;
    return julday_(&year, &one, &one);
  }() + 1;
  return doy + ((sec / 60.0 + minute) / 60.0 + hr) / 24.0;
}

}  // namespace kest
