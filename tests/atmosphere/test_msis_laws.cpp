// Physical laws that the three MSIS generations obey at any place, time and
// activity, checked against each model's own temperature profile:
// diffusive equilibrium of every species above its turbopause, mixing and
// chemistry corrections; hydrostatic equilibrium of the fully mixed middle
// and lower atmosphere; periodicity in longitude, local time and universal
// time and the day of year; continuity where the profiles join.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <vector>

#include "kest/atmosphere.h"
#include "msis_test_util.hpp"

namespace {

using Model = void (*)(int*, double*, double*, double*, double*, double*, double*, double*,
                       double*, int*, double*, double*);
using Setter = void (*)(double*);

// k / (1 amu) in the units of the profiles, km cm s^-2 K^-1, as the models
// hold it (8314.46 J kg^-1 K^-1 rounded to four figures).
constexpr double kBoltzmannPerAmu = 831.4;

struct Place {
  int iyd;
  double sec, glat, glong, f107a, f107, ap;
};

// Quiet southern winter night, active northern summer afternoon, equinox
// storm near the pole.
const Place kPlaces[] = {{172, 7200.0, -52.3, 121.7, 72.0, 68.5, 5.0},
                         {190, 55000.0, 33.8, -95.2, 235.0, 251.0, 27.0},
                         {80, 40000.0, 71.4, 12.9, 160.0, 141.0, 111.0}};

struct Out {
  double d[9];
  double t[2];
};

Out eval(Model f, const Place& p, double alt, int mass = 48) {
  int iyd = p.iyd, m = mass;
  double sec = p.sec, a = alt, glat = p.glat, glong = p.glong;
  double stl = sec / 3600.0 + glong / 15.0, f107a = p.f107a, f107 = p.f107;
  double ap[7] = {p.ap, p.ap, p.ap, p.ap, p.ap, p.ap, p.ap};
  Out o{};
  f(&iyd, &sec, &a, &glat, &glong, &stl, &f107a, &f107, ap, &m, o.d, o.t);
  return o;
}

void all_switches_on(Setter setter) {
  std::array<double, 25> sv = msistest::all_on();
  setter(sv.data());
}

// The three generations with the number of densities each returns.
struct GenerationOut {
  const char* name;
  Model model;
  Setter setter;
  int nd;
};
const GenerationOut kThreeGenerations[] = {{"NRLMSISE-00", &gtd7_, &tselec7_, 9},
                                           {"MSISE-90", &gtd6_, &tselec5_, 8},
                                           {"MSIS-86", &gts5_, &tselec_, 8}};

struct Species {
  const char* name;
  int slot;
  double mass;   // atomic mass units
  double alpha;  // thermal-diffusion factor
  double z_from; // km: above every correction of the species
};

struct Generation {
  const char* name;
  Model model;
  Setter setter;
  bool own_gravity;  // MSIS-86: 980.665 cm/s2 at 6356.77 km at every latitude
  Species species[7];
  int n_species;
};

// Above each species' mixing limit, and above the limits of its
// chemistry and turbopause corrections, its density follows diffusive
// equilibrium in the model's temperature profile:
//   d ln n/dz = -(m g(z) / kT + (1 + alpha) d ln T/dz),
// with g(z) = g_s (1 + z/R)^-2. Centred differences over 0.1 km agree with
// it to about 4e-8 (truncation); a wrong mass, thermal-diffusion factor or
// gravity, or a correction left on, shows at 1e-4 or more. NRLMSISE-00's O2
// carries a photochemical departure correction up to the exosphere, and its
// anomalous oxygen is not in diffusive equilibrium: neither is listed.
TEST(MsisLaws, DiffusiveEquilibriumAboveTheCorrections) {
  const msistest::KeepSettings keep;
  const Generation gens[] = {
      {"NRLMSISE-00", &gtd7_, &tselec7_, false,
       {{"He", 0, 4, -0.38, 210}, {"O", 1, 16, 0, 310}, {"N2", 2, 28, 0, 170},
        {"Ar", 4, 40, 0.17, 250}, {"H", 6, 1, -0.38, 330}, {"N", 7, 14, 0, 460}},
       6},
      {"MSISE-90", &gtd6_, &tselec5_, false,
       {{"He", 0, 4, -0.4, 210}, {"O", 1, 16, 0, 410}, {"N2", 2, 28, 0, 170},
        {"O2", 3, 32, 0, 210}, {"Ar", 4, 40, 0, 250}, {"H", 6, 1, -0.4, 330},
        {"N", 7, 14, 0, 460}},
       7},
      {"MSIS-86", &gts5_, &tselec_, true,
       {{"He", 0, 4, -0.4, 210}, {"O", 1, 16, 0, 410}, {"N2", 2, 28, 0, 160},
        {"O2", 3, 32, 0, 210}, {"Ar", 4, 40, 0, 250}, {"H", 6, 1, -0.4, 330},
        {"N", 7, 14, 0, 460}},
       7}};
  constexpr double h = 0.05;
  for (const Generation& g : gens) {
    all_switches_on(g.setter);
    for (const Place& p : kPlaces) {
      double gs = 980.665, re = 6356.77;
      if (!g.own_gravity) {
        double lat = p.glat;
        glatf7_(&lat, &gs, &re);
      }
      for (int s = 0; s < g.n_species; ++s) {
        const Species& sp = g.species[s];
        for (double z : {sp.z_from, 0.5 * (sp.z_from + 1000.0), 980.0}) {
          const Out lo = eval(g.model, p, z - h), mid = eval(g.model, p, z),
                    hi = eval(g.model, p, z + h);
          const double dlnn = (std::log(hi.d[sp.slot]) - std::log(lo.d[sp.slot])) / (2 * h);
          const double dlnt = (std::log(hi.t[1]) - std::log(lo.t[1])) / (2 * h);
          const double gz = gs / ((1 + z / re) * (1 + z / re));
          const double law = -(sp.mass * gz / (kBoltzmannPerAmu * mid.t[1]) + (1 + sp.alpha) * dlnt);
          EXPECT_NEAR(dlnn / law, 1.0, 1e-6)
              << g.name << " " << sp.name << " at " << z << " km, day " << p.iyd;
        }
      }
    }
  }
}

// Below the blend into the thermosphere (62.5 km) the atmosphere is fully
// mixed: N2 follows the hydrostatic law of the mean molecular mass 28.95,
// d ln n/dz = -(M g / kT + d ln T/dz), and He, O2 and Ar keep fixed ratios
// to N2. Altitudes between the spline nodes; centred differences over
// 0.02 km agree to about 3e-7.
TEST(MsisLaws, HydrostaticMixedAtmosphere) {
  const msistest::KeepSettings keep;
  const struct {
    const char* name;
    Model model;
    Setter setter;
  } gens[] = {{"NRLMSISE-00", &gtd7_, &tselec7_}, {"MSISE-90", &gtd6_, &tselec5_}};
  constexpr double h = 0.01;
  for (const auto& g : gens) {
    all_switches_on(g.setter);
    for (const Place& p : kPlaces) {
      double lat = p.glat, gs = 0.0, re = 0.0;
      glatf7_(&lat, &gs, &re);
      const Out ref = eval(g.model, p, 12.5);
      for (double z : {0.5, 5.0, 12.5, 17.5, 26.0, 38.0, 50.0, 58.0, 62.0}) {
        const Out lo = eval(g.model, p, z - h), mid = eval(g.model, p, z),
                  hi = eval(g.model, p, z + h);
        const double dlnn = (std::log(hi.d[2]) - std::log(lo.d[2])) / (2 * h);
        const double dlnt = (std::log(hi.t[1]) - std::log(lo.t[1])) / (2 * h);
        const double gz = gs / ((1 + z / re) * (1 + z / re));
        const double law = -(28.95 * gz / (kBoltzmannPerAmu * mid.t[1]) + dlnt);
        EXPECT_NEAR(dlnn / law, 1.0, 1e-5) << g.name << " at " << z << " km, day " << p.iyd;
        for (int k : {0, 3, 4})
          EXPECT_NEAR(mid.d[k] / mid.d[2], ref.d[k] / ref.d[2], 1e-14 * ref.d[k] / ref.d[2])
              << g.name << " slot " << k << " at " << z << " km";
      }
    }
  }
}

// One full turn of longitude, local time or universal time gives the same
// atmosphere. The models turn them into angles with rounded factors
// (1.74533e-2 per degree, 0.2618 per hour, 7.2722e-5 per second), so one
// turn of the argument is 2 pi plus a small phase slip: the result equals
// that of the argument moved by the slip alone (about 1.5e-4 degrees,
// 5.6e-5 h and -0.062 s), to rounding. With 2 pi per turn instead, the
// results differ by up to 1.4e-4.
TEST(MsisLaws, PeriodicInLongitudeLocalTimeAndUniversalTime) {
  const msistest::KeepSettings keep;
  const double pi = std::acos(-1.0);
  const double slip_lon = 360.0 * (1.74533e-2 - pi / 180.0) / 1.74533e-2;
  const double slip_stl = 24.0 * (0.2618 - pi / 12.0) / 0.2618;
  const double slip_sec = 86400.0 * (7.2722e-5 - 2.0 * pi / 86400.0) / 7.2722e-5;
  const auto& gens = kThreeGenerations;
  for (const auto& g : gens) {
    all_switches_on(g.setter);
    for (const Place& p : kPlaces) {
      for (double alt : {95.0, 180.0, 420.0}) {
        auto at = [&](double dlon, double dstl, double dsec) {
          int iyd = p.iyd, mass = 48;
          double sec = p.sec + dsec, a = alt, glat = p.glat, glong = p.glong + dlon;
          double stl = p.sec / 3600.0 + p.glong / 15.0 + dstl, f107a = p.f107a, f107 = p.f107;
          double ap[7] = {p.ap, p.ap, p.ap, p.ap, p.ap, p.ap, p.ap};
          Out o{};
          g.model(&iyd, &sec, &a, &glat, &glong, &stl, &f107a, &f107, ap, &mass, o.d, o.t);
          return o;
        };
        const Out turns[3][2] = {{at(360.0, 0, 0), at(slip_lon, 0, 0)},
                                 {at(0, 24.0, 0), at(0, slip_stl, 0)},
                                 {at(0, 0, 86400.0), at(0, 0, slip_sec)}};
        const char* what[3] = {"longitude", "local time", "universal time"};
        for (int w = 0; w < 3; ++w) {
          const Out& a = turns[w][0];
          const Out& b = turns[w][1];
          for (int k = 0; k < g.nd; ++k)
            EXPECT_NEAR(a.d[k], b.d[k], 1e-12 * b.d[k])
                << g.name << " " << what[w] << " slot " << k << " at " << alt << " km";
          EXPECT_NEAR(a.t[1], b.t[1], 1e-12 * b.t[1]) << g.name << " " << what[w];
          EXPECT_NEAR(a.t[0], b.t[0], 1e-12 * b.t[0]) << g.name << " " << what[w];
        }
      }
    }
  }
}

// Ap modes of the continuity and periodicity laws below: the daily Ap, and
// the 3-hour history (switch 9 = -1; the places give every slot one value).
void set_ap_mode(Setter setter, bool history) {
  std::array<double, 25> sv = msistest::all_on();
  if (history) sv[8] = -1.0;
  setter(sv.data());
}

// |ln a - ln b| over the densities and both temperatures; 0 where both are
// exactly 0 (a species the model leaves out at that altitude), infinite
// where only one is.
double log_step(const Out& a, const Out& b, int nd) {
  double worst = 0.0;
  for (int k = 0; k < nd + 2; ++k) {
    const double x = k < nd ? a.d[k] : a.t[k - nd], y = k < nd ? b.d[k] : b.t[k - nd];
    if (x == 0.0 && y == 0.0) continue;
    const double s = (x > 0.0 && y > 0.0) ? std::fabs(std::log(y / x)) : INFINITY;
    worst = std::max(worst, s);
  }
  return worst;
}

// Where one piece of a profile hands over to the next without a step of the
// model's own, the atmosphere is continuous: the nodes of the middle- and
// lower-atmosphere splines (10, 15, 20, 45, 55 km), the join of their two
// sections (32.5 km), the start of the blend into the thermosphere
// (62.5 km), the inner nodes of the lower-thermosphere spline (90, 100,
// 110 km), and MSIS-86's join of its lower polynomial to the Bates profile
// (za = 115 km x 1.01885 = 117.16775 km). Across +-1e-7 km every output
// moves by about 3.3e-7 in its logarithm at most (the steepest,
// NRLMSISE-00's anomalous oxygen at 90 km, falls by 1.6 per km); a node or
// section handed over wrongly moves it by 1e-4 or more. The models' own steps are
// left out: at 72.5 km (the lower-boundary gradient varies only above it;
// O, H, N and anomalous O start there), at za of the spline models (the
// exospheric temperature varies only above it), at 300 km (no variations
// of the lower-thermosphere nodes from there up) and at each species'
// mixing limit.
TEST(MsisLaws, ContinuousWhereProfilesJoin) {
  const msistest::KeepSettings keep;
  const double spline_joins[] = {10.0, 15.0, 20.0, 32.5, 45.0, 55.0, 62.5, 90.0, 100.0, 110.0};
  const struct {
    const char* name;
    Model model;
    Setter setter;
    int nd;
    std::vector<double> joins;
  } gens[] = {
      {"NRLMSISE-00", &gtd7_, &tselec7_, 9, {std::begin(spline_joins), std::end(spline_joins)}},
      {"MSISE-90", &gtd6_, &tselec5_, 8, {std::begin(spline_joins), std::end(spline_joins)}},
      {"MSIS-86", &gts5_, &tselec_, 8, {117.16775}}};
  constexpr double d = 1e-7;
  for (const auto& g : gens) {
    for (bool history : {false, true}) {
      set_ap_mode(g.setter, history);
      for (const Place& p : kPlaces) {
        for (double z : g.joins) {
          const Out below = eval(g.model, p, z - d), at = eval(g.model, p, z),
                    above = eval(g.model, p, z + d);
          EXPECT_LE(log_step(below, above, g.nd), 2e-6)
              << g.name << " at " << z << " km, day " << p.iyd << (history ? ", 3-hour Ap" : "");
          EXPECT_LE(log_step(below, at, g.nd), 2e-6) << g.name << " at " << z << " km";
        }
      }
    }
  }
}

// The seasonal terms turn the day of year into angles of 1.72142e-2 rad per
// day: 365 days make a turn less 2.3e-6 rad. No year reaches the models, so
// day 366 of a leap year is day 1 again, moved by that slip, 1.4e-4 day in
// the annual terms and 2.7e-4 day in the semiannual ones. Over so small a
// part of a day the atmosphere changes by less than 1e-3 of its change
// from one day to the next. A year of 365.25 days, or a day 366 held at
// day 365, gives a difference of a quarter or a whole day's change.
TEST(MsisLaws, PeriodicInTheDayOfYear) {
  const msistest::KeepSettings keep;
  const auto& gens = kThreeGenerations;
  for (const auto& g : gens) {
    for (bool history : {false, true}) {
      set_ap_mode(g.setter, history);
      for (Place p : kPlaces) {
        for (double alt : {20.0, 95.0, 180.0, 420.0}) {
          if (g.model == &gts5_ && alt < 85.0) continue;
          auto on_day = [&](int day) {
            p.iyd = day;
            return eval(g.model, p, alt);
          };
          const Out d365 = on_day(365), d366 = on_day(366), d1 = on_day(1), d2 = on_day(2);
          const double daily = std::max(log_step(d365, d1, g.nd), log_step(d1, d2, g.nd));
          EXPECT_LE(log_step(d366, d1, g.nd), 1e-3 * daily + 1e-13)
              << g.name << " at " << alt << " km" << (history ? ", 3-hour Ap" : "");
        }
      }
    }
  }
}

}  // namespace
