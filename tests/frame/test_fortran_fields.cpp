// Record-field reading and writing of the system's text files, against the
// rules of standard formatted input and output.
#include <gtest/gtest.h>

#include <string>

#include "frame/fortran_fields.hpp"

namespace {

TEST(FortranIo, RealFieldsWithImpliedDecimals) {
  struct Case {
    const char* field;
    double value;
  } cases[] = {{"  -75.20", -75.20}, {"   13345", 133.45}, {"    -750", -7.50}, {"        ", 0.0},
               {" 1 9.2  ", 19.2},   {"  1.5E+1", 15.0},   {"   15E1 ", 1.5},  {"  1.5D-1", 0.15},
               {"1.5Q+2", 150.0},   {" 15+1   ", 1.5},   {"-1.5-1", -0.15}};
  for (const auto& c : cases) {
    double v = -999;
    ASSERT_TRUE(kest::fio::read_real(c.field, 2, &v)) << c.field;
    EXPECT_DOUBLE_EQ(v, c.value) << c.field;
  }
  double v;
  for (const char* bad : {"  -7a.20", "   1.2.3", "     E+1", "   -    ", "  1.5E  ", "  1.5X2 ", "   .    "})
    EXPECT_FALSE(kest::fio::read_real(bad, 2, &v)) << bad;
}

// Exponents of any length, with implied decimals to take off: beyond the
// range of a double the value underflows to zero or overflows and is refused,
// however many digits the exponent has.
TEST(FortranIo, RealFieldsWithHugeExponents) {
  for (const char* tiny : {"1E-400", "1E-99999999999999999999", "1-999999999999999999999999"}) {
    double v = -1;
    ASSERT_TRUE(kest::fio::read_real(tiny, 2, &v)) << tiny;
    EXPECT_EQ(v, 0.0) << tiny;
  }
  double v;
  for (const char* huge : {"1E400", "1E99999999999999999999", "1+999999999999999999999999"})
    EXPECT_FALSE(kest::fio::read_real(huge, 2, &v)) << huge;
}

TEST(FortranIo, IntegerAndFreeFormFields) {
  int i = -1;
  EXPECT_TRUE(kest::fio::read_int("  42", &i));
  EXPECT_EQ(i, 42);
  EXPECT_TRUE(kest::fio::read_int("    ", &i));
  EXPECT_EQ(i, 0);
  EXPECT_FALSE(kest::fio::read_int(" 4x2", &i));
  EXPECT_FALSE(kest::fio::read_int("  - ", &i));
  EXPECT_TRUE(kest::fio::read_int(" -4 2", &i));
  EXPECT_EQ(i, -42);
  double d = 0;
  EXPECT_TRUE(kest::fio::read_free_real("    63113904000000.0", &d));
  EXPECT_EQ(d, 63113904000000.0);
  EXPECT_TRUE(kest::fio::read_free_real(" 6.3113904D13 junk", &d));
  EXPECT_EQ(d, 63113904000000.0);
  EXPECT_FALSE(kest::fio::read_free_real("          ", &d));
  EXPECT_FALSE(kest::fio::read_free_real("  nan", &d));
}

TEST(FortranIo, OutputEdits) {
  char out[32];
  kest::fio::write_sci(out, 14, 6, -1.0e31);
  EXPECT_STREQ(out, " -1.000000E+31");
  kest::fio::write_sci(out, 14, 6, 90.0);
  EXPECT_STREQ(out, "  9.000000E+01");
  kest::fio::write_sci(out, 14, 6, 0.0);
  EXPECT_STREQ(out, "  0.000000E+00");
  kest::fio::write_sci(out, 14, 6, 1.0e100);
  EXPECT_STREQ(out, "  1.000000+100");
  kest::fio::write_fixed(out, 12, 3, -40772.0424);
  EXPECT_STREQ(out, "  -40772.042");
  kest::fio::write_fixed(out, 12, 3, 1.0e9);
  EXPECT_STREQ(out, "************");
  kest::fio::write_int(out, 4, 12345);
  EXPECT_STREQ(out, "****");
}

}  // namespace
