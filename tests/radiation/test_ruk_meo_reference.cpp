// Mission-averaged electron models (ruk and MEO GNSS) at general points: long
// missions that run past the last tabulated solar minimum, energies between
// table entries, and all three kinds of result of each version.
//
// The expected values come from an independent double-precision evaluation
// of the models' published formulas and tables, written apart from this
// library's sources (cycle years from the minima and their period, the
// spectra averaged over the mission years, power-law interpolation, the
// uncertainty factors, the 100-point trapezoid sums of ruk and the integral
// differences of MEO GNSS). The two evaluations agree bit for bit on several
// thousand calls; the tolerance here is 1e-12 relative.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kest/radiation.h"
#include "mission_call.hpp"

namespace {

using mission_test::Call;

struct Row {
  int launch, duration, whichm, whatf;
  double e1, e2;
  double lower, mean, upper;
};

void expect_rows(const std::vector<Row>& rows, bool ruk) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    Call c;
    c.launch = r.launch, c.duration = r.duration, c.whichm = r.whichm, c.whatf = r.whatf;
    c.bands({{r.e1, r.e2}});
    if (ruk) c.run(fly_in_ruk1_);
    else c.run(fly_in_meo_gnss1_);
    const double got[3] = {c.lower[0], c.mean[0], c.upper[0]};
    const double want[3] = {r.lower, r.mean, r.upper};
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(got[k], want[k], 1e-12 * std::fabs(want[k])) << "row " << i << " result " << k;
  }
}

TEST(RukReference, LongMissionsBetweenTableEnergies) {
  expect_rows(
      {
          // 2010-2039: three cycles, the later ones at the model's period
          {2010, 30, 3, 1, 0.005, 0, 2543274790.7561274, 3566561402.8168554, 5001567383.2402172},
          {2010, 30, 3, 1, 0.5, 0, 128748.41763645019, 210503.66283559604, 344173.48873619951},
          {2010, 30, 3, 1, 2.0, 0, 528.11662783161046, 1373.1032323621871, 3570.0684041416862},
          // band integrals
          {2015, 17, 2, 2, 0.05, 0.7, 2469261.2698556427, 3577561.204961888, 5186529.2308677537},
          {2015, 17, 2, 2, 1.5, 4.5, 856.90069809903719, 2190.0711619205326, 5658.66765203261},
          // integrals to the top of the table, 1960-1972 (1969 counts as cycle year -6)
          {1960, 13, 1, 3, 0.04, 0, 3573105.7339344933, 5159275.5023789201, 7454245.9033699492},
          {1960, 13, 1, 3, 1.0, 0, 1877.7824965484604, 3617.7314561036301, 6972.613865233121},
          {2040, 7, 3, 3, 0.0012, 0, 35650524.983655982, 50162386.928187013, 70590842.495616838},
          {2040, 7, 3, 3, 3.5, 0, 6.1114409614942717, 23.122598068394581, 87.846062459120631},
      },
      true);
}

TEST(MeoGnssReference, LongMissionsBetweenTableEnergies) {
  expect_rows(
      {
          // differential flux: central difference, one-sided at the range ends
          {2010, 30, 2, 1, 0.3, 0, 1281382.6496497793, 3268025.8044377035, 8195856.4182496667},
          {2010, 30, 2, 1, 0.28, 0, 1444714.6129366134, 3671688.8681622529, 9188623.5837702323},
          {2010, 30, 2, 1, 2.24, 0, 1062.6550060150039, 5523.2084987375147, 28063.308322440811},
          {2010, 30, 2, 1, 1.9, 0, 2605.0140475029593, 12432.132104612336, 58170.520465565198},
          // mean differential flux over a band
          {2015, 17, 2, 2, 0.33, 0.95, 366301.86266478838, 1043577.3355186332, 2942092.726412199},
          {2015, 17, 2, 2, 1.2, 2.1, 8226.1755997006258, 34301.126999090804, 141061.7874683647},
          // integral flux
          {1960, 13, 2, 3, 0.5, 0, 97650.65077320124, 312482.082474244, 999942.66391758085},
          {1960, 13, 2, 3, 2.0, 0, 812.02975493515237, 4547.3666276368531, 25465.253114766376},
          {2040, 7, 1, 1, 0.7, 0, 211001.53539739308, 564126.39199196326, 1458386.2661353794},
      },
      false);
}

}  // namespace
