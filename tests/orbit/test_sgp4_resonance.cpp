// The resonance integrator keeps its state between calls: whatever the order
// of the times, every result equals, bit for bit, a fresh initialisation
// followed by a single call at that time (an integration from the epoch).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "kest/orbit.h"
#include "orbit/orbit_state.hpp"
#include "sgp4_elements.hpp"

namespace {

using namespace sgp4_test;

// Position, velocity and code of one call, compared as bits (NaN-safe, and
// -0 differs from +0).
struct Result {
  double r[3], v[3];
  int err;
  bool operator==(const Result& o) const {
    return std::memcmp(r, o.r, sizeof r) == 0 && std::memcmp(v, o.v, sizeof v) == 0 &&
           err == o.err;
  }
};

Result prop(double t) {
  Result x{};
  int whichconst = 72;
  sgp4_(&whichconst, &t, x.r, x.v, &x.err);
  return x;
}

// Besides the Molniya and geostationary sets, from the published
// verification file: a second half-day resonant set (22674, e > 0.715, the
// other branch of the eccentricity fits), a second one-day resonant set
// (25954, propagated before its epoch there), and a non-resonant deep-space
// control (e = 0.79, 5.8-day period).
const Elements molniya2{22674, 2006, 176.55909107, 0.29868e-3, 0.7541712, 63.5035,
                        354.4452, 253.3264, 18.7754, 1.96679808};
const Elements geo2{25954, 2004, 39.68057285, 0.0, 0.0001765, 0.0004,
                    243.8136, 15.5294, 22.7134, 1.00271289};
const Elements control{20413, 2005, 363.79166667, 0.0, 0.7864447, 12.3514,
                       187.4253, 196.3027, 356.5478, 0.24690082};

// Times on both sides of the epoch: on and next to the 720-minute grid (where
// the stopping test of the integration flips), inside the first step, and
// minute steps a month out.
std::vector<double> test_times() {
  std::vector<double> ts{0.0, -0.0, 1.0, 719.999999, 720.0, 720.000001, 1440.0,
                         1439.5, 2160.0, 10000.0, 31.0 * 1440.0};
  for (int k = 1; k <= 62; k += 7) {
    const double g = 720.0 * k;
    for (double t : {g, std::nextafter(g, 0.0), std::nextafter(g, 2.0 * g), g + 359.0})
      ts.push_back(t);
  }
  for (int m = 0; m < 120; m += 7) ts.push_back(29.0 * 1440.0 + m);
  const size_t n = ts.size();
  for (size_t i = 0; i < n; ++i) ts.push_back(-ts[i]);
  std::sort(ts.begin(), ts.end());
  ts.erase(std::unique(ts.begin(), ts.end(),
                       [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }),
           ts.end());
  return ts;
}

// The result of each time from a fresh initialisation and a single call.
std::vector<Result> fresh_results(const Elements& e, const std::vector<double>& ts) {
  std::vector<Result> out;
  for (double t : ts) {
    EXPECT_EQ(init(e), 0) << e.satnum;
    out.push_back(prop(t));
  }
  return out;
}

// Propagates the times in the given order (indices into ts) without a new
// initialisation and compares every result with the fresh one.
void expect_order(const Elements& e, const std::vector<double>& ts,
                  const std::vector<Result>& want, const std::vector<size_t>& order,
                  const char* what) {
  for (size_t i : order) {
    const Result got = prop(ts[i]);
    ASSERT_TRUE(got == want[i]) << "satellite " << e.satnum << ", " << what << ", t "
                                << ts[i];
  }
}

}  // namespace

TEST(Sgp4Resonance, AnyOrderOfTimesGivesFreshResultsBitForBit) {
  const std::vector<double> ts = test_times();
  const size_t n = ts.size();
  std::vector<size_t> up(n);
  for (size_t i = 0; i < n; ++i) up[i] = i;
  const std::vector<size_t> down(up.rbegin(), up.rend());
  // Alternating across the epoch: outward by |t|, each time after its mirror
  // image (ts is sorted and symmetric).
  std::vector<size_t> across;
  for (size_t i = 0; i < n / 2; ++i) {
    across.push_back(n / 2 + i);
    across.push_back(n / 2 - 1 - i);
  }
  std::vector<size_t> shuffled = up;
  std::mt19937 rng(20060625);
  std::shuffle(shuffled.begin(), shuffled.end(), rng);

  for (const Elements& e : {molniya, molniya2, geo, geo2, control}) {
    const std::vector<Result> want = fresh_results(e, ts);
    // The sets propagate without a failure over these two months.
    for (size_t i = 0; i < n; ++i) ASSERT_EQ(want[i].err, 0) << e.satnum << " t " << ts[i];
    EXPECT_EQ(kest::elsetrec.resonance,
              e.satnum == 20413 ? 0 : (e.satnum == 8195 || e.satnum == 22674 ? 2 : 1));

    ASSERT_EQ(init(e), 0);
    expect_order(e, ts, want, up, "increasing");
    expect_order(e, ts, want, down, "decreasing");
    expect_order(e, ts, want, across, "alternating across the epoch");
    expect_order(e, ts, want, shuffled, "random order");
    expect_order(e, ts, want, up, "repeated");  // each time right after itself
    // A fresh initialisation of the same set starts from the epoch again.
    ASSERT_EQ(init(e), 0);
    expect_order(e, ts, want, shuffled, "random order after a new initialisation");
  }
}

// Each time twice in a row, then one-minute steps a month out: the call at
// the same time continues from exactly the grid point it reached (no step).
TEST(Sgp4Resonance, RepeatedAndMinuteStepsMatchFreshResults) {
  std::vector<double> ts;
  for (int m = 0; m <= 1440 * 2; m += 1) ts.push_back(29.0 * 1440.0 + m);
  for (const Elements& e : {molniya, geo}) {
    std::vector<Result> want;
    for (size_t i = 0; i < ts.size(); i += 97) {
      ASSERT_EQ(init(e), 0);
      want.push_back(prop(ts[i]));
    }
    ASSERT_EQ(init(e), 0);
    size_t j = 0;
    for (size_t i = 0; i < ts.size(); ++i) {
      const Result a = prop(ts[i]);
      if (i % 97 != 0) continue;
      const Result b = prop(ts[i]);
      EXPECT_TRUE(a == want[j]) << e.satnum << " t " << ts[i];
      EXPECT_TRUE(b == want[j]) << e.satnum << " t " << ts[i] << " repeated";
      ++j;
    }
    // The integrator stands on the grid point at or just before the last time.
    EXPECT_EQ(kest::elsetrec.res_time, 720.0 * std::floor(ts.back() / 720.0));
  }
}

// A new element set never continues from the state of the set before it,
// even when the new time lies beyond the old state.
TEST(Sgp4Resonance, NewElementSetRestartsFromItsEpoch) {
  const double t = 31.0 * 1440.0;
  ASSERT_EQ(init(molniya), 0);
  const Result want_molniya = prop(t);
  ASSERT_EQ(init(molniya2), 0);
  const Result want_molniya2 = prop(t);

  ASSERT_EQ(init(molniya2), 0);
  prop(t + 2000.0);  // state of the other set, beyond t
  ASSERT_EQ(init(molniya), 0);
  EXPECT_EQ(kest::elsetrec.res_time, 0.0);
  EXPECT_TRUE(prop(t) == want_molniya);
  ASSERT_EQ(init(molniya), 0);
  prop(t + 2000.0);
  ASSERT_EQ(init(molniya2), 0);
  EXPECT_TRUE(prop(t) == want_molniya2);
}

// A time that is not a finite number, or one that a lost decimal point took
// centuries from the epoch, ends at once (the integration would never reach
// it, or only after billions of steps) with a failure code and the fill
// value, and leaves the state usable.
TEST(Sgp4Resonance, NonFiniteTimeEndsWithFillValue) {
  EXPECT_EXIT(
      {
        alarm(20);
        bool ok = true;
        for (const Elements& e : {molniya, geo}) {
          ok = ok && init(e) == 0;
          const Result before = prop(1440.0 * 5.0);
          for (double t : {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), 1.0e12, -1.0e19, 1.0e300}) {
            const Result x = prop(t);
            ok = ok && x.err != 0;
            for (int k = 0; k < 3; ++k) ok = ok && x.r[k] == fill && x.v[k] == fill;
          }
          ok = ok && prop(1440.0 * 5.0) == before;
        }
        std::exit(ok ? 0 : 2);
      },
      testing::ExitedWithCode(0), "");
}
