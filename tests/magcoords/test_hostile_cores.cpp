// The field and L* cores under extreme days, non-finite times and
// non-finite or huge positions: a refused time gives the fill value in every
// output of that time (MLT included) and never traps, overflows or writes past
// an output; the next time of the same call is computed as usual. Guard cells
// after every output catch a write past its end.
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "kest/magcoords.h"

namespace {

constexpr double kFill = -1.0e31;
constexpr double kGuard = 7.0;
constexpr int kGuards = 4;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// An output of n values followed by guard cells.
struct Out {
  std::vector<double> v;
  explicit Out(std::size_t n) : v(n + kGuards, kGuard) {}
  double* p() { return v.data(); }
  bool guards_intact() const {
    for (std::size_t i = v.size() - kGuards; i < v.size(); ++i)
      if (v[i] != kGuard) return false;
    return true;
  }
  bool fill(std::size_t first, std::size_t count) const {
    for (std::size_t i = first; i < first + count; ++i)
      if (v[i] != kFill) return false;
    return true;
  }
};

enum class Expect {
  fill,             // every output of the time is the fill value
  numbers_or_fill,  // no trap; every output a finite number or the fill value
};

struct Case {
  const char* what;
  int kext, sysaxes, idoy, renewal;
  double ut;
  double x[3];
  Expect expect;
};

bool number_or_fill(double v) { return v == kFill || std::isfinite(v); }

// The drivers of the Alexeev 2000 model (code 12) inside its use: density
// 5 cm^-3, speed 400 km/s, Dst -10 nT, Bz 0, AL -100 nT.
void a2000_inputs(double* m) {
  m[1] = -10.0;
  m[2] = 5.0;
  m[3] = 400.0;
  m[16] = -100.0;
}

constexpr double kPoint[3] = {3.1, -2.2, 1.4};  // GEO, Earth radii, L about 4

const Case kCases[] = {
    {"renewal -1 and idoy INT_MIN", 0, 1, INT_MIN, -1, 36000.0, {3.1, -2.2, 1.4}, Expect::fill},
    {"idoy INT_MAX", 0, 1, INT_MAX, 0, 36000.0, {3.1, -2.2, 1.4}, Expect::fill},
    {"idoy INT_MIN, Alexeev 2000", 12, 1, INT_MIN, 0, 36000.0, {3.1, -2.2, 1.4}, Expect::fill},
    {"UT NaN", 0, 1, 80, 0, kNaN, {3.1, -2.2, 1.4}, Expect::fill},
    {"UT +inf", 7, 2, 80, 0, kInf, {3.1, -2.2, 1.4}, Expect::fill},
    {"UT -inf", 0, 1, 80, 0, -kInf, {3.1, -2.2, 1.4}, Expect::fill},
    {"GEO NaN", 0, 1, 80, 0, 36000.0, {kNaN, 0.0, 0.0}, Expect::fill},
    {"GDZ latitude NaN", 0, 0, 80, 0, 36000.0, {1000.0, kNaN, 10.0}, Expect::fill},
    {"GDZ altitude -inf", 5, 0, 80, 0, 36000.0, {-kInf, 10.0, 10.0}, Expect::fill},
    {"RLL radius NaN", 0, 8, 80, 0, 36000.0, {kNaN, 10.0, 10.0}, Expect::fill},
    {"GSM +inf", 0, 2, 80, 0, 36000.0, {kInf, 0.0, 0.0}, Expect::fill},
    {"SPH radius -inf", 0, 7, 80, 0, 36000.0, {-kInf, 10.0, 10.0}, Expect::fill},
    // The fill value an earlier stage left (an orbit row after a propagation
    // error, a failed conversion) names no time and no place.
    {"UT fill", 0, 1, 80, 0, kFill, {3.1, -2.2, 1.4}, Expect::fill},
    {"UT fill, T96", 7, 2, 80, 0, kFill, {3.1, -2.2, 1.4}, Expect::fill},
    {"GEO x fill", 0, 1, 80, 0, 36000.0, {kFill, -2.2, 1.4}, Expect::fill},
    {"GEO all fill", 5, 1, 80, 0, 36000.0, {kFill, kFill, kFill}, Expect::fill},
    {"GDZ latitude fill", 0, 0, 80, 0, 36000.0, {1000.0, kFill, 10.0}, Expect::fill},
    {"GDZ longitude fill", 0, 0, 80, 0, 36000.0, {1000.0, 10.0, kFill}, Expect::fill},
    {"GSM z fill", 0, 2, 80, 0, 36000.0, {3.1, -2.2, kFill}, Expect::fill},
    {"RLL latitude fill", 0, 8, 80, 0, 36000.0, {20000.0, kFill, 10.0}, Expect::fill},
    {"GEO 1e300", 0, 1, 80, 0, 36000.0, {1e300, 0.0, 0.0}, Expect::numbers_or_fill},
    {"GEO origin", 0, 1, 80, 0, 36000.0, {0.0, 0.0, 0.0}, Expect::numbers_or_fill},
    {"UT 1e300, Alexeev 2000", 12, 1, 80, 0, 1e300, {3.1, -2.2, 1.4}, Expect::numbers_or_fill},
    {"UT -1e300", 0, 1, 80, 0, -1e300, {3.1, -2.2, 1.4}, Expect::numbers_or_fill},
    {"idoy 1.8e9, Alexeev 2000", 12, 1, 1800000000, 0, 36000.0, {3.1, -2.2, 1.4},
     Expect::numbers_or_fill},
    {"renewal -1 and idoy -1.8e9", 0, 1, -1800000000, -1, 36000.0, {3.1, -2.2, 1.4},
     Expect::numbers_or_fill},
};

// Every core with the case's time and position; the array cores hold the case
// as time 1 and a valid time 2 after it.
TEST(HostileCores, RefusedTimesGiveFillInEveryOutput) {
  testing::internal::CaptureStdout();  // IGRF epoch warnings of absurd days
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const bool fill = c.expect == Expect::fill;
    auto check = [&](const Out& o, std::size_t first, std::size_t count, const char* name) {
      EXPECT_TRUE(o.guards_intact()) << name;
      for (std::size_t i = first; i < first + count; ++i) {
        if (fill) {
          EXPECT_EQ(o.v[i], kFill) << name << "[" << i << "]";
        } else {
          EXPECT_TRUE(number_or_fill(o.v[i])) << name << "[" << i << "] = " << o.v[i];
        }
      }
    };
    int kext = c.kext, sysaxes = c.sysaxes, iyr = 2005, idoy = c.idoy;
    int options[5] = {0, c.renewal, 0, 0, 0};
    double ut = c.ut, x1 = c.x[0], x2 = c.x[1], x3 = c.x[2];
    double mag[50] = {};
    a2000_inputs(mag);
    a2000_inputs(mag + 25);

    Out b(3), bl(1);
    get_field1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, b.p(), bl.p());
    check(b, 0, 3, "get_field B");
    check(bl, 0, 1, "get_field Blocal");

    // Two times: the case, then a valid GEO time.
    int n = 2, years[2] = {2005, 2005}, days[2] = {c.idoy, 80};
    double uts[2] = {c.ut, 36000.0};
    double xs1[2] = {c.x[0], kPoint[0]}, xs2[2] = {c.x[1], kPoint[1]}, xs3[2] = {c.x[2], kPoint[2]};
    {
      Out lm(2), lstar(2), blocal(2), bmin(2), xj(2), mlt(2);
      int opts[5] = {0, c.renewal, 0, 0, 0};
      make_lstar1_(&n, &kext, opts, &sysaxes, years, days, uts, xs1, xs2, xs3, mag, lm.p(), lstar.p(), blocal.p(),
                   bmin.p(), xj.p(), mlt.p());
      for (auto* o : {&lm, &lstar, &blocal, &bmin, &xj}) check(*o, 0, 1, "make_lstar");
      check(mlt, 0, 1, "make_lstar MLT");
      if (c.sysaxes == 1 && c.kext == 0) {
        // The refused time leaves the next one alone.
        EXPECT_GT(lm.v[1], 2.0);
        EXPECT_GT(blocal.v[1], 0.0);
        EXPECT_TRUE(mlt.v[1] >= 0.0 && mlt.v[1] < 24.0);
      }
      for (const Out* o : {&lm, &lstar, &blocal, &bmin, &xj, &mlt}) EXPECT_TRUE(o->guards_intact());
    }
    {
      // Two-dimensional outputs: 100000 rows per pitch angle.
      const std::size_t rows = 100000;
      int nipa = 1, opts[5] = {0, c.renewal, 0, 0, 0};
      double alpha = 45.0;
      Out lm(rows), lstar(rows), bmirr(rows), xj(rows), bmin(2), mlt(2);
      make_lstar_shell_splitting1_(&n, &nipa, &kext, opts, &sysaxes, years, days, uts, xs1, xs2, xs3, &alpha, mag,
                                   lm.p(), lstar.p(), bmirr.p(), bmin.p(), xj.p(), mlt.p());
      for (auto* o : {&lm, &lstar, &bmirr, &xj, &bmin}) check(*o, 0, 1, "shell splitting");
      check(mlt, 0, 1, "shell splitting MLT");
      for (const Out* o : {&lm, &lstar, &bmirr, &xj, &bmin, &mlt}) EXPECT_TRUE(o->guards_intact());
    }
    {
      Out lm(1), lstar(1), blocal(1000 * 48), bmin(1), xj(1), posit(3 * 1000 * 48);
      std::vector<int> ind(48 + kGuards, 7);
      drift_shell1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, lm.p(), lstar.p(), blocal.p(),
                    bmin.p(), xj.p(), posit.p(), ind.data());
      for (auto* o : {&lm, &lstar, &bmin, &xj}) check(*o, 0, 1, "drift_shell");
      EXPECT_TRUE(blocal.guards_intact() && posit.guards_intact());
      for (int k = 48; k < 48 + kGuards; ++k) EXPECT_EQ(ind[k], 7);
      if (fill) {
        for (int k = 0; k < 48; ++k) EXPECT_EQ(ind[k], 0);
      }
    }
    {
      Out lm(1), blocal(1000), bmin(1), xj(1), posit(3000);
      int nposit[1 + kGuards] = {-1, 7, 7, 7, 7};
      trace_field_line1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, lm.p(), blocal.p(),
                         bmin.p(), xj.p(), posit.p(), nposit);
      for (auto* o : {&lm, &bmin, &xj}) check(*o, 0, 1, "trace_field_line");
      check(posit, fill ? 0 : 3 * nposit[0], fill ? 3000 : 3000 - 3 * nposit[0], "trace_field_line posit");
      EXPECT_TRUE(blocal.guards_intact());
      if (fill) {
        EXPECT_EQ(nposit[0], 0);
      }
      EXPECT_EQ(nposit[1], 7);
    }
    for (double a : {45.0, 90.0}) {
      Out blocal(1), bmirr(1), xgeo(3);
      find_mirror_point1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, &a, mag, blocal.p(),
                          bmirr.p(), xgeo.p());
      check(blocal, 0, 1, "mirror Blocal");
      check(bmirr, 0, 1, "mirror Bmirr");
      check(xgeo, 0, 3, "mirror xGEO");
    }
    {
      Out bmin(1), xgeo(3);
      find_magequator1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, bmin.p(), xgeo.p());
      check(bmin, 0, 1, "equator Bmin");
      check(xgeo, 0, 3, "equator xGEO");
    }
    {
      int h[1 + kGuards] = {99, 7, 7, 7, 7};
      get_hemi1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, h);
      if (fill) {
        EXPECT_EQ(h[0], 0);
      }
      EXPECT_TRUE(h[0] == 0 || h[0] == 1 || h[0] == -1);
      EXPECT_EQ(h[1], 7);
    }
  }
  testing::internal::GetCapturedStdout();
}

// The origin has no finite field: the field and L outputs are the fill value,
// not infinity or a number that is not one.
TEST(HostileCores, OriginHasNoField) {
  int kext = 0, sysaxes = 1, iyr = 2005, idoy = 80, options[5] = {0, 0, 0, 0, 0}, n = 1;
  double ut = 36000.0, x = 0.0, mag[25] = {}, b[3], bl;
  get_field1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x, &x, &x, mag, b, &bl);
  EXPECT_EQ(bl, kFill);
  double lm, lstar, blocal, bmin, xj, mlt;
  make_lstar1_(&n, &kext, options, &sysaxes, &iyr, &idoy, &ut, &x, &x, &x, mag, &lm, &lstar, &blocal, &bmin,
               &xj, &mlt);
  EXPECT_EQ(blocal, kFill);
  EXPECT_EQ(lm, kFill);
}

// The storm forms take their drivers untested: a dynamic pressure of 1e-300
// nPa (a lost exponent) makes the Tsyganenko 2001 storm field so strong
// (some 1e153 nT) that |B|^2 overflows a few steps along the line. The
// points without a finite field are refused, so the traces end with the
// fill value, never with a NaN, and the stored points are finite.
TEST(HostileCores, OverflowingExternalFieldGivesNoNaN) {
  int kext = 10, sysaxes = 1, iyr = 1983, idoy = 264, n = 1, options[5] = {1, 0, 0, 0, 0};
  double ut = 76232.99, x1 = 3.0, x2 = 1.0, x3 = 0.5, mag[25] = {};
  mag[1] = -63.0;   // Dst
  mag[4] = 1e-300;  // Pdyn
  mag[5] = -4.2;    // IMF By
  mag[6] = 5.9;     // IMF Bz
  mag[8] = 8.46;    // G2
  mag[9] = 10.0;    // G3
  {
    Out lm(1), blocal(1000), bmin(1), xj(1), posit(3000);
    int nposit = -1;
    trace_field_line1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, lm.p(), blocal.p(),
                       bmin.p(), xj.p(), posit.p(), &nposit);
    for (double v : {lm.v[0], bmin.v[0], xj.v[0]}) EXPECT_TRUE(number_or_fill(v)) << v;
    ASSERT_TRUE(nposit >= 0 && nposit <= 1000);
    for (int k = 0; k < 3 * nposit; ++k) EXPECT_TRUE(std::isfinite(posit.v[k])) << k;
    EXPECT_TRUE(blocal.guards_intact() && posit.guards_intact());
  }
  {
    Out lm(1), lstar(1), blocal(1), bmin(1), xj(1), mlt(1);
    make_lstar1_(&n, &kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, lm.p(), lstar.p(),
                 blocal.p(), bmin.p(), xj.p(), mlt.p());
    for (const Out* o : {&lm, &lstar, &blocal, &bmin, &xj, &mlt}) EXPECT_TRUE(number_or_fill(o->v[0])) << o->v[0];
  }
  {
    Out bmin(1), xgeo(3);
    find_magequator1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, bmin.p(), xgeo.p());
    for (double v : {bmin.v[0], xgeo.v[0], xgeo.v[1], xgeo.v[2]}) EXPECT_TRUE(number_or_fill(v)) << v;
  }
}

// The year 1800 lies outside the IGRF years like 1964: both take the
// coefficients of the nearest valid year 1965, whatever epoch an earlier call
// left set (here 2015), and the array core gives a number or the fill value
// for the local time, never a NaN.
TEST(HostileCores, YearEighteenHundredTakesTheNearestIgrfYear) {
  auto field = [](int year) {
    int kext = 0, sysaxes = 1, idoy = 80, options[5] = {0, 0, 0, 0, 0};
    double ut = 36000.0, x1 = kPoint[0], x2 = kPoint[1], x3 = kPoint[2], mag[25] = {}, b[3], bl;
    get_field1_(&kext, options, &sysaxes, &year, &idoy, &ut, &x1, &x2, &x3, mag, b, &bl);
    return bl;
  };
  testing::internal::CaptureStdout();  // IGRF range warnings
  const double b2015 = field(2015);
  const double b1964 = field(1964);
  field(2015);
  const double b1800 = field(1800);
  int kext = 0, sysaxes = 1, iyr = 1800, idoy = 80, n = 1, options[5] = {0, 0, 0, 0, 0};
  double ut = 36000.0, x1 = kPoint[0], x2 = kPoint[1], x3 = kPoint[2], mag[25] = {};
  double lm, lstar, blocal, bmin, xj, mlt;
  make_lstar1_(&n, &kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, &lm, &lstar, &blocal, &bmin,
               &xj, &mlt);
  testing::internal::GetCapturedStdout();
  ASSERT_NE(b2015, b1964);
  EXPECT_EQ(b1800, b1964);
  EXPECT_NEAR(blocal, b1964, 1e-6 * b1964);  // at the point after its geodetic round trip
  EXPECT_TRUE(mlt == kFill || (mlt >= 0.0 && mlt < 24.0)) << mlt;
}

// A refused time ends the chain of drift shells that the array core hands
// from one time to the next: the time after it is computed as the first time
// of a call.
TEST(HostileCores, RefusedTimeEndsTheShellChain) {
  int kext = 0, sysaxes = 8, options[5] = {1, 10, 0, 0, 0};
  int n = 3, iyr[3] = {2005, 2005, 2006}, idoy[3] = {10, 10, 300};
  double ut[3] = {0.0, 3600.0, 80000.0};
  double x1[3] = {4.0, kNaN, 2.2}, x2[3] = {0.5, 0.0, 1.0}, x3[3] = {0.2, 0.0, -0.5}, mag[75] = {};
  double lm[3], lstar[3], blocal[3], bmin[3], xj[3], mlt[3];
  make_lstar1_(&n, &kext, options, &sysaxes, iyr, idoy, ut, x1, x2, x3, mag, lm, lstar, blocal, bmin, xj, mlt);
  ASSERT_NE(lstar[0], kFill);
  EXPECT_EQ(lstar[1], kFill);
  int one = 1;
  double lm1, lstar1, blocal1, bmin1, xj1, mlt1;
  make_lstar1_(&one, &kext, options, &sysaxes, &iyr[2], &idoy[2], &ut[2], &x1[2], &x2[2], &x3[2], mag, &lm1,
               &lstar1, &blocal1, &bmin1, &xj1, &mlt1);
  EXPECT_EQ(lstar[2], lstar1);
  EXPECT_EQ(lm[2], lm1);
  EXPECT_EQ(mlt[2], mlt1);
}

// The L*-Phi conversion and the MLT of a point: a day of year that names no
// day, a time or a point that is not finite or holds the fill value give the
// fill value.
TEST(HostileCores, LstarPhiAndMltRefuseWhatTheyCannotPlace) {
  int n = 3, to_phi = 1, options[5] = {0, -1, 0, 0, 0};
  int iyr[3] = {2005, 2005, 2005}, idoy[3] = {INT_MIN, INT_MAX, 80};
  double lstar[3] = {4.0, 4.0, 4.0}, phi[3] = {kGuard, kGuard, kGuard};
  testing::internal::CaptureStdout();
  lstar_phi1_(&n, &to_phi, options, iyr, idoy, lstar, phi);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(phi[0], kFill);
  EXPECT_EQ(phi[1], kFill);
  // The valid day: 2 pi B0 / L*, the 2005 dipole moment B0 about 30000 nT.
  const double two_pi = 8.0 * std::atan(1.0);
  EXPECT_NEAR(phi[2], two_pi * 30000.0 / 4.0, two_pi * 500.0 / 4.0);
  // A zero or a value that is not finite has no reciprocal, either way.
  for (int way : {1, 0}) {
    // (A subnormal value overflows the quotient.)
    int m = 7;
    int yrs[7] = {2005, 2005, 2005, 2005, 2005, 2005, 2005}, days[7] = {80, 80, 80, 80, 80, 80, 80};
    double zero_nonfinite[7] = {0.0, -0.0, kNaN, kInf, -kInf, 1.0e-310, -4.9e-324};
    double out[7] = {kGuard, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard};
    double* ls = way == 1 ? zero_nonfinite : out;
    double* ph = way == 1 ? out : zero_nonfinite;
    lstar_phi1_(&m, &way, options, yrs, days, ls, ph);
    for (double v : out) EXPECT_EQ(v, kFill) << "whichinv " << way;
  }

  struct MltCase {
    double ut, x[3];
  } cases[] = {{kNaN, {3.0, 0.0, 0.0}},   {kInf, {3.0, 0.0, 0.0}},   {0.0, {kNaN, 0.0, 0.0}},
               {0.0, {0.0, -kInf, 0.0}},  {kFill, {3.0, 0.0, 0.0}},  {0.0, {3.0, kFill, 0.0}},
               {0.0, {kFill, kFill, kFill}}};
  for (auto& c : cases) {
    int y = 2005, d = 80;
    double mlt = 0.0;
    get_mlt1_(&y, &d, &c.ut, c.x, &mlt);
    EXPECT_EQ(mlt, kFill) << c.ut << " " << c.x[0] << " " << c.x[1];
  }
}

// Code 12 takes the calendar date of the day: a day number beyond the
// calendar stops through caldat, as any date the calendar cannot hold, even
// when the sum leaves the 32-bit range.
void field_on_day_beyond_calendar() {
  int kext = 12, sysaxes = 1, iyr = 2005, idoy = 1827935020;
  int options[5] = {0, 0, 0, 0, 0};
  double ut = 0.0, x1 = 3.0, x2 = 0.0, x3 = 0.0, mag[25] = {}, b[3], bl;
  a2000_inputs(mag);
  get_field1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, mag, b, &bl);
}

TEST(HostileCoresDeathTest, AlexeevDayBeyondTheCalendarStops) {
  EXPECT_EXIT(
      {
        dup2(2, 1);
        field_on_day_beyond_calendar();
      },
      testing::ExitedWithCode(1), "^ Value of Julian date is out of allowed range\\.\n$");
}

}  // namespace
