// The expansions G of the three MSIS generations with a year-and-day that is
// not a number, infinite or beyond the 32-bit year range: no trap and no
// out-of-range conversion of its year part; a year-and-day that is not finite
// gives a G that is not finite either, never a number made up.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "atmosphere/atmosphere_state.hpp"
#include "kest/atmosphere.h"

namespace {

TEST(MsisHostile, YearAndDayBeyondTheIntegers) {
  prmsg5_();  // MSIS-86 coefficients, zero until loaded
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  struct Case {
    double yrd;
    bool finite_input;
  } cases[] = {{nan, false}, {inf, false}, {-inf, false}, {1e300, true}, {-1e300, true}, {3e12, true}};
  using Globe = double (*)(double*, double*, double*, double*, double*, double*, double*, double*, double*);
  struct Generation {
    const char* name;
    Globe globe;
    double* coef;
  } generations[] = {{"globe7", &globe7_, kest::parm7.tinf_coef},
                     {"globe6", &globe6_, kest::parm6.tinf_coef},
                     {"globe5", &globe5_, kest::parm5.tinf_coef}};
  for (const Generation& g : generations)
    for (const Case& c : cases) {
      double yrd = c.yrd, sec = 29000, lat = 60, lon = -70, tloc = 16, fa = 150, f = 150;
      double ap[7] = {4, 4, 4, 4, 4, 4, 4};
      const double v = g.globe(&yrd, &sec, &lat, &lon, &tloc, &fa, &f, ap, g.coef);
      if (!c.finite_input) {
        EXPECT_FALSE(std::isfinite(v)) << g.name << " " << c.yrd;
      }
    }
}

}  // namespace
