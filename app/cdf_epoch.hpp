// EPOCH text encoder (the one piece of the NASA CDF library that the batch
// program needs; the library itself is not available here).
//
// A CDF EPOCH value counts milliseconds since 0000-01-01 00:00:00.000 on the
// proleptic Gregorian calendar (astronomical year 0 exists here, unlike the
// civil calendar of the frame routines). 2000-01-01T00:00 is 63113904000000.
#ifndef KEST_APP_CDF_EPOCH_HPP
#define KEST_APP_CDF_EPOCH_HPP

#include <cstddef>

namespace cdf {

// Earliest and latest EPOCH values the encoder accepts: 0000-01-01 00:00 and
// the last millisecond of 9999-12-31, the range of a four-digit year.
inline constexpr double kEpochMin = 0.0;
inline constexpr double kEpochMax = 315569519999999.0;

// Encodes an EPOCH value as "<year.04>-<doy.03>.<fod.8>": four-digit year, a
// hyphen, the zero-padded day of year, a point and eight decimals of the
// fraction of the day, rounded to nearest. A fraction that rounds to 1 is
// carried to 0 of the next day (and year). Writes a NUL-terminated text of 17
// characters into out (at least 18 bytes).
// Returns false for a value that is not finite or lies outside [kEpochMin,
// kEpochMax], and for an out_size below 18; out then holds an empty text
// (when out_size is at least 1).
bool encode_epoch_year_doy_fod(double epoch, char* out, std::size_t out_size);

}  // namespace cdf

#endif
