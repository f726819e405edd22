// EPOCH text encoder, against EPOCH values computed by hand:
// 2000-01-01T00:00 is 730485 days after 0000-01-01 (year 0 is a leap year of
// the proleptic Gregorian calendar), 730485 x 86400000 = 63113904000000 ms.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "cdf_epoch.hpp"

namespace {

std::string enc(double epoch) {
  char out[50];
  if (!cdf::encode_epoch_year_doy_fod(epoch, out, sizeof out)) return "refused";
  return out;
}

constexpr double kY2000 = 63113904000000.0;
constexpr double kDay = 86400000.0;

TEST(CdfEpoch, HandComputedValues) {
  struct Case {
    double epoch;
    const char* text;
  } cases[] = {
      {kY2000, "2000-001.00000000"},
      {kY2000 + kDay / 2, "2000-001.50000000"},
      {kY2000 + 59 * kDay + 6 * 3600000.0, "2000-060.25000000"},  // 29 Feb 2000 06:00
      {kY2000 + 365 * kDay, "2000-366.00000000"},                   // 31 Dec 2000
      {kY2000 + 366 * kDay, "2001-001.00000000"},
      {0.0, "0000-001.00000000"},
      {366 * kDay, "0001-001.00000000"},                            // year 0 has 366 days
      {kY2000 + 1.0, "2000-001.00000001"},                          // 1 ms = 1.157e-8 day
      {kY2000 + 13.0, "2000-001.00000015"},                         // 15.046e-8 rounds down
      {kY2000 + 3600000.0, "2000-001.04166667"},                    // 1/24 rounds up
      {63246528000000.0 + 7 * 3600000.0, "2004-075.29166667"},      // 15 Mar 2004 07:00
  };
  for (const auto& c : cases) EXPECT_EQ(enc(c.epoch), c.text) << std::to_string(c.epoch);
}

TEST(CdfEpoch, FractionNeverPrintsAsOne) {
  // 1 ms is 1.157e-8 day: the last whole millisecond still prints below 1,
  // but less than 0.432 ms before midnight rounds to 1.00000000, which is
  // carried to the next day, across a year end as well.
  EXPECT_EQ(enc(kY2000 + kDay - 1.0), "2000-001.99999999");
  EXPECT_EQ(enc(kY2000 + kDay - 0.4), "2000-002.00000000");
  EXPECT_EQ(enc(kY2000 + 366 * kDay - 0.4), "2001-001.00000000");
}

TEST(CdfEpoch, RefusesValuesOutsideFourDigitYears) {
  EXPECT_EQ(enc(-1.0), "refused");
  EXPECT_EQ(enc(cdf::kEpochMax + 1.0), "refused");
  EXPECT_EQ(enc(cdf::kEpochMax + 0.4), "refused");  // would round into year 10000
  EXPECT_EQ(enc(cdf::kEpochMax), "9999-365.99999999");
  EXPECT_EQ(enc(cdf::kEpochMax - 1000.0), "9999-365.99998841");
  EXPECT_EQ(enc(std::numeric_limits<double>::quiet_NaN()), "refused");
}

}  // namespace
