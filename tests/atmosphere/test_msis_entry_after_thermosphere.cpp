// The full-altitude entries (gtd7, gtd6) below 72.5 km, called again for the
// same place and time after a direct thermosphere call (gts7, gts6) for
// another point: the second call gives what it gives made alone, first in a
// fresh process. Between the two entry calls the thermosphere rewrites the
// lower-thermosphere nodes and the expansion values that the entry's
// middle-atmosphere nodes are built from.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "fresh_process.hpp"
#include "kest/atmosphere.h"

namespace {

using Model = void (*)(int*, double*, double*, double*, double*, double*, double*, double*,
                       double*, int*, double*, double*);

struct Case {
  const char* name;
  Model entry, thermosphere;
  double first_alt;  // the entry's first call at the point
  double alt;        // its second call there, the one compared
};

// 50 km then 20 km renews the lower nodes (20, 15, 10, 0 km); 72.5 km then
// 50 km renews the upper ones (55, 45, 32.5 km) from the 72.5 km node.
const Case kCases[] = {
    {"gtd7_lower", &gtd7_, &gts7_, 50.0, 20.0},
    {"gtd7_upper", &gtd7_, &gts7_, 72.5, 50.0},
    {"gtd6_lower", &gtd6_, &gts6_, 50.0, 20.0},
    {"gtd6_upper", &gtd6_, &gts6_, 72.5, 50.0},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

struct Out {
  double d[9];
  double t[2];
};

Out call(Model f, double alt, double glat, double f107, int mass) {
  int iyd = 172;
  double sec = 29000.0, glong = -70.0, stl = 16.0, f107a = 150.0;
  double ap[7] = {4, 4, 4, 4, 4, 4, 4};
  Out o{};
  f(&iyd, &sec, &alt, &glat, &glong, &stl, &f107a, &f107, ap, &mass, o.d, o.t);
  return o;
}

class EntryAfterThermosphere : public ::testing::TestWithParam<Case> {};

TEST_P(EntryAfterThermosphere, SecondCallGivesTheValueOfTheCallAlone) {
  if (kest_test::rerun_alone_unless_first()) return;
  const Case& c = GetParam();
  // The call alone: the first model evaluation of this test's process.
  const Out alone = call(c.entry, c.alt, 60.0, 150.0, 28);
  call(c.entry, c.first_alt, 60.0, 150.0, 28);
  call(c.thermosphere, 400.0, -30.0, 200.0, 48);  // another point
  const Out again = call(c.entry, c.alt, 60.0, 150.0, 28);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(again.d[k], alone.d[k]) << "density " << k + 1;
  EXPECT_EQ(again.t[0], alone.t[0]);
  EXPECT_EQ(again.t[1], alone.t[1]);
  EXPECT_GT(alone.d[2], 0.0);
}

INSTANTIATE_TEST_SUITE_P(Msis, EntryAfterThermosphere, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
