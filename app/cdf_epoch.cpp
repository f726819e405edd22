// EPOCH text encoder, format "<year.04>-<doy.03>.<fod.8>" (see cdf_epoch.hpp).
#include "cdf_epoch.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace cdf {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;

bool is_leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Year and 1-based day of year of a day count from 0000-01-01 (day 0),
// proleptic Gregorian, count >= 0.
void year_doy_of_day(std::int64_t days, int* year, int* doy) {
  // 146097 days in every 400-year cycle; year 0 is a leap year.
  std::int64_t y = 400 * (days / 146097);
  days %= 146097;
  for (;;) {
    const std::int64_t len = is_leap(y) ? 366 : 365;
    if (days < len) break;
    days -= len;
    ++y;
  }
  *year = static_cast<int>(y);
  *doy = static_cast<int>(days) + 1;
}

}  // namespace

bool encode_epoch_year_doy_fod(double epoch, char* out, std::size_t out_size) {
  if (out_size > 0) out[0] = '\0';
  if (out_size < 18 || !std::isfinite(epoch) || epoch < kEpochMin || epoch > kEpochMax) return false;
  std::int64_t days = static_cast<std::int64_t>(std::floor(epoch / static_cast<double>(kMsPerDay)));
  const double ms_of_day = epoch - static_cast<double>(days * kMsPerDay);
  // Fraction of the day in units of 1e-8, rounded to nearest. Whole
  // milliseconds (the usual case) are done exactly: ms * 1e8 / 86400000 =
  // ms * 125 / 108, half-way cases rounded up.
  std::int64_t units;
  if (ms_of_day == std::floor(ms_of_day)) {
    const std::int64_t n = static_cast<std::int64_t>(ms_of_day) * 125;
    units = n / 108 + ((n % 108) * 2 >= 108 ? 1 : 0);
  } else {
    units = std::llround(ms_of_day / static_cast<double>(kMsPerDay) * 1e8);
  }
  if (units >= 100000000) {  // rounds to a whole day: move to the next day
    units -= 100000000;
    ++days;
  }
  int year = 0, doy = 0;
  year_doy_of_day(days, &year, &doy);
  if (year > 9999) return false;
  std::snprintf(out, out_size, "%04d-%03d.%08lld", year, doy, static_cast<long long>(units));
  return true;
}

}  // namespace cdf
