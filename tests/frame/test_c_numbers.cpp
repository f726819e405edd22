// Record fields and message numbers in a process whose locale writes a
// decimal comma: read and written with a decimal point all the same, and the
// caller's locale left as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "comma_locale.hpp"
#include "frame/c_numbers.hpp"
#include "frame/fortran_fields.hpp"

namespace {

TEST(DecimalCommaLocale, FieldsReadAndWriteWithAPoint) {
  const kest_test::DecimalCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no decimal-comma locale can be built here";
  using namespace kest::fio;

  // Reading: the value each field stands for in any locale.
  struct Case {
    const char* field;
    int decimals;
    double value;
  } cases[] = {{"179.78495062", 0, 179.78495062}, {"   13345", 2, 133.45}, {"  1.5E+1", 2, 15.0},
               {"-.11606-4", 0, -0.11606e-4},   {"1.5D-1", 2, 0.15}};
  for (const auto& c : cases) {
    double v = -999;
    ASSERT_TRUE(read_real(c.field, c.decimals, &v)) << c.field;
    EXPECT_EQ(v, c.value) << c.field;
  }
  double v = -999;
  ASSERT_TRUE(read_free_real(" 2.5, 7", &v));
  EXPECT_EQ(v, 2.5);
  // A comma is no decimal point of a field: "2,5" is refused, not read as 2.
  EXPECT_FALSE(read_real("2,5", 0, &v));

  // Writing.
  char out[32];
  write_fixed(out, 9, 3, -75.2);
  EXPECT_STREQ(out, "  -75.200");
  write_sci(out, 12, 4, 1234.5);
  EXPECT_STREQ(out, "  1.2345E+03");
  c_snprintf(out, sizeof out, "%.2f|%g", 0.25, 1.5);
  EXPECT_STREQ(out, "0.25|1.5");
  char* end = nullptr;
  EXPECT_EQ(c_strtod("6.75x", &end), 6.75);
  EXPECT_STREQ(end, "x");

  // The caller's own numbers keep the caller's locale.
  std::snprintf(out, sizeof out, "%.1f", 2.5);
  EXPECT_STREQ(out, "2,5");
}

}  // namespace
