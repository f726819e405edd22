// Mission-averaged geostationary electron model (POLE V1, POLE V2, IGE-2006).
//
// The model has one electron spectrum per year of the solar cycle, averaged
// over the geostationary orbit. A mission's flux is the mean of the spectra of
// its years, interpolated in energy as a power law between table energies;
// the lower and upper fluxes divide and multiply the mean by an uncertainty
// factor that grows linearly with energy. Band and integral fluxes are
// trapezoid sums of the interpolated spectrum on 100 logarithmically spaced
// energies.
#include <cmath>

#include "frame/conventions.hpp"
#include "kest/radiation.h"
#include "radiation/mission_common.hpp"
#include "radiation/mission_state.hpp"
#include "radiation/ruk_tables.hpp"

namespace kest {
ParamRuk param_ruk;
}

namespace {

namespace tab = kest::ruk_tables;
using kest::param_ruk;

// Epochs of solar minimum (decimal years) from which the cycle year counts,
// and the period at which the minima follow after the last one.
constexpr double kMinima[10] = {1902.0,   1913.5, 1923.583, 1933.667, 1944.083,
                                1954.25,  1964.75, 1976.417, 1986.667, 1996.333};
constexpr double kCyclePeriod = 10.966;

// Integer part of a decimal year (truncation, the years here are positive).
long long whole(double x) { return static_cast<long long>(x); }

constexpr int kSubEnergies = 100;  // sub-energies of a band or integral

// Uncertainty factor of the mean flux at E (MeV): 0.47 per MeV up to the
// table energy 1.28452 MeV, 0.6 per MeV above, on top of 1.4.
double uncertainty_factor(double E) {
  if (E <= param_ruk.e_tab[21]) return E * 0.00047 * 1000.0 + 1.4;
  return E * 0.0006 * 1000.0 + 1.4;
}

struct Flux3 {
  double lower, mean, upper;
};

void load_version(int version) {
  for (auto& col : param_ruk.flux_tab)
    for (double& f : col) f = 0.0;
  for (int j = 0; j < tab::kNumEnergies; ++j) param_ruk.e_tab[j] = tab::kEnergy[j];
  const int v = version - 1;
  param_ruk.emin = tab::kEmin[v];
  param_ruk.emax = tab::kEmax[v];
  if (version == 1) {
    param_ruk.e_tab[12] = tab::kEnergy13V1;
    for (int j = tab::kV1First; j <= tab::kV1Last; ++j)
      for (int c = 0; c < tab::kNumCycleYears; ++c)
        param_ruk.flux_tab[c][j - 1] = tab::kFluxV1[j - tab::kV1First][c];
  } else {
    // Version 2 is the part of version 3 from 0.03 MeV up.
    const int first = version == 2 ? 13 : 1;
    for (int j = first; j <= tab::kNumEnergies; ++j)
      for (int c = 0; c < tab::kNumCycleYears; ++c) param_ruk.flux_tab[c][j - 1] = tab::kFluxV3[j - 1][c];
  }
}

}  // namespace

// calc_year_cycle: year of the solar cycle of a calendar year.
// Given:    year  int  calendar year
// Returned: cycle  int  whole years since the last solar minimum (0..4), or,
//           from the fifth year after a minimum on, the whole years to the
//           next minimum (negative, -6..-1; -7 for 1969, in the short cycle
//           1964.75-1976.417)
// Notes:    1. Minimum years are the integer parts of the epochs: 1902, 1913,
//             1923, 1933, 1944, 1954, 1964, 1976, 1986, 1996, then 2007,
//             2018, 2029 ... (1996.333 plus whole periods of 10.966 years).
//           2. The minima continue at that period for every later year, so
//             each year from 1996 on has a cycle year in -6..+4.
//           3. A year before 1902 counts the (negative) years to the first
//             minimum, 1902.
extern "C" void calc_year_cycle_(int* year, int* cycle) { *cycle = kest::mission::cycle_year(*year); }

int kest::mission::cycle_year(long long y) {
  if (y >= 1996) {
    // Step from the last tabulated minimum by whole periods while the next
    // minimum's year is not after the year. Far years first jump close to
    // their minimum; the last steps, and every step up to 2022, add the
    // period one at a time as the table's own extrapolation does.
    double m = kMinima[9];
    const long long jump = static_cast<long long>((y - kMinima[9]) / kCyclePeriod) - 1;
    if (jump > 0) m += jump * kCyclePeriod;
    while (whole(m + kCyclePeriod) <= y) m += kCyclePeriod;
    long long cy = y - whole(m);
    if (cy > 4) cy = y - whole(m + kCyclePeriod);
    return static_cast<int>(cy);
  }
  for (int c = 0; c < 9; ++c) {
    if (whole(kMinima[c]) <= y && y <= whole(kMinima[c + 1])) {
      long long cy = y - whole(kMinima[c]);
      if (cy > 4) cy = y - whole(kMinima[c + 1]);
      return static_cast<int>(cy);
    }
  }
  // Before the first minimum: the years to it (clamped so the count fits).
  const long long cy = y - whole(kMinima[0]);
  return static_cast<int>(cy < -1000000 ? -1000000 : cy);
}

// search_flux_tab_v1, _v2, _v3: load version 1 (POLE V1), 2 (POLE V2) or
// 3 (IGE-2006) into param_ruk.
// State:    writes param_ruk (flux_tab cleared, then the version's entries;
//           e_tab, emin, emax).
extern "C" void search_flux_tab_v1_(void) { load_version(1); }
extern "C" void search_flux_tab_v2_(void) { load_version(2); }
extern "C" void search_flux_tab_v3_(void) { load_version(3); }

// fly_in_ruk1: mission-averaged geostationary electron flux.
// Given:    launch_year  int  first mission year (1902 or later)
//           duration  int  number of mission years (1 to 10000)
//           whichm  int  version: 1 POLE V1 (0.03674-1.28452 MeV),
//                    2 POLE V2 (0.03-5.19615 MeV), 3 IGE-2006 (0.0009171-
//                    5.19615 MeV)
//           whatf  int  1 differential flux at E1 (cm-2 s-1 sr-1 MeV-1),
//                    2 flux integrated over the band E1..E2, 3 flux
//                    integrated from E1 to the top of the table
//                    (cm-2 s-1 sr-1)
// Given and returned:
//           Nene  int  number of energies or bands (at most 50); 0 asks for
//                    the table's energies and is replaced by their count
//                    (27, or 26 bands for whatf 2)
//           energy  double(2,50)  MeV: (1,k) energy or lower band edge,
//                    (2,k) upper band edge; written when Nene is 0
// Returned: Lower_flux, Mean_flux, Upper_flux  double(50)  results per
//           energy or band; entries beyond Nene are 0
// State:    writes param_ruk (loads the version).
// Failure:  launch year 0 or before 1902, whichm outside 1..3, whatf
//           outside 1..3 (tested in that order): message lines on standard
//           output and a stop (exit status 1). The fill value -1.0E31 in all
//           three results for: an energy outside the version's range (whatf
//           1); a band that reaches above the range or lies wholly below it;
//           an integral from above emax; every entry for a duration below 1
//           or above 10000 years.
// Notes:    1. Mission years after 2022 take the cycle years of minima that
//             follow at the model's period (calc_year_cycle).
//           2. whatf 2 returns the band integral itself, not the mean per
//             MeV over the band.
//           3. Sub-energies of a band or an integral below the version's
//             range take no part: the trapezoid sum starts at the first
//             sub-energy inside the range, so a band or integral that starts
//             below emin gives the sum over its sub-energies inside.
//           4. A Nene above 50 is read as 50, with a message line: the
//              arrays hold no more.
//           5. A band with E2 below E1 is not refused: its sub-energies run
//             downwards, and all three results are the integral over E2..E1
//             negated (to rounding): negative numbers, not fluxes.
// References: D. Boscher, S. Bourdarie, R. Friedel, R. Belian, Model for the
//           geostationary electron environment: POLE, IEEE Trans. Nucl. Sci.
//           50, 2278 (2003); A. Sicard-Piet et al., A new international
//           geostationary electron model: IGE-2006, from 1 keV to 5.2 MeV,
//           Space Weather 6, S07003 (2008).
extern "C" void fly_in_ruk1_(int* launch_year, int* duration, int* whichm, int* whatf, int* Nene,
                             double* energy, double* Lower_flux, double* Mean_flux,
                             double* Upper_flux) {
  using namespace kest::mission;
  check_launch_year(*launch_year);
  if (*whichm < 1 || *whichm > 3)
    kest::stop_stdout({kStars, "Bad Input Parameter: whichm", "Available choices: 1, 2 or 3", kStars});
  load_version(*whichm);
  if (*whatf < 1 || *whatf > 3)
    kest::stop_stdout({kStars, "Bad Input Parameter: whatf", "Available choices: 1, 2 or 3", kStars});

  for (int k = 0; k < kMaxEnergies; ++k) Lower_flux[k] = Mean_flux[k] = Upper_flux[k] = 0.0;

  constexpr int ne = tab::kNumEnergies;
  if (*Nene == 0) {
    // The table's own energies; for bands, the 26 intervals between them.
    const int count = *whatf == 2 ? ne - 1 : ne;
    for (int j = 0; j < count; ++j) {
      energy[2 * j] = param_ruk.e_tab[j];
      if (*whatf == 1) energy[2 * j + 1] = 0.0;
      if (*whatf == 2) energy[2 * j + 1] = param_ruk.e_tab[j + 1];
    }
    *Nene = count;
  }
  const int n = energies_in_call(*Nene);
  if (n <= 0) return;
  if (*duration < 1 || *duration > kMaxDuration) {
    for (int k = 0; k < n; ++k) Lower_flux[k] = Mean_flux[k] = Upper_flux[k] = kest::baddata;
    return;
  }

  // Mean spectrum of the mission, per MeV.
  double S[ne];
  average_spectrum(&param_ruk.flux_tab[0][0], ne, ne, *launch_year, *duration, 1000.0, S);

  const double emin = param_ruk.emin, emax = param_ruk.emax;
  auto evaluate = [&](double E, Flux3* f) {
    double m = 0.0;
    if (!in_range(E, emin, emax) || !loglog_interp(param_ruk.e_tab, S, ne, emin, E, &m)) return false;
    const double g = uncertainty_factor(E);
    *f = {m / g, m, m * g};
    return true;
  };
  // Where an energy lies against the energies at which evaluate changes
  // branch: below the range, above it, above the uncertainty factor's switch.
  // (Across a table energy the power-law interpolation is continuous.)
  auto branch_side = [&](double E) {
    return (E < emin ? 1 : 0) + (E > emax ? 2 : 0) + (E > param_ruk.e_tab[21] ? 4 : 0);
  };

  for (int k = 0; k < n; ++k) {
    const double E1 = energy[2 * k], E2 = energy[2 * k + 1];
    Flux3 res{0.0, 0.0, 0.0};
    if (*whatf == 1) {
      Flux3 f;
      res = evaluate(E1, &f) ? f : Flux3{kest::baddata, kest::baddata, kest::baddata};
    } else {
      // Sub-energies: E1 to E2 (band) or E1 to emax (integral), evenly spaced
      // in ln E. An integral from above emax has all its sub-energies at E1.
      const double top = *whatf == 2 ? E2 : emax;
      const bool above = *whatf == 3 && E1 > emax;
      Flux3 prev{};
      double Ep = 0.0;
      bool have_prev = false;  // the previous sub-energy of this band was evaluated
      bool started = false;    // res holds a trapezoid sum (not 0 or fill)
      for (int i = 0; i < kSubEnergies; ++i) {
        double E = above ? E1 : E1 * std::pow(top / E1, i / double(kSubEnergies - 1));
        if (*whatf == 3 && i == kSubEnergies - 1 && E > emax) E = emax;
        // The last sub-energy of a band is E1 x (E2/E1), which can round one
        // ulp to either side of E2. Where that carries it across an energy
        // at which the evaluation changes branch, the band ends at E2 itself:
        // a band ending at emax would otherwise reach out of the range and be
        // lost (so would one given downwards to emin), and a band ending at
        // the table energy 1.28452 MeV would take the steeper uncertainty
        // factor of the energies above it at its last sub-energy.
        if (*whatf == 2 && i == kSubEnergies - 1 && branch_side(E) != branch_side(top)) E = top;
        Flux3 f;
        if (!evaluate(E, &f)) {
          res = {kest::baddata, kest::baddata, kest::baddata};
          have_prev = started = false;
          continue;
        }
        if (have_prev) {
          const double dE = E - Ep;
          const Flux3 t{0.5 * (prev.lower + f.lower) * dE, 0.5 * (prev.mean + f.mean) * dE,
                        0.5 * (prev.upper + f.upper) * dE};
          if (started) {
            res.lower += t.lower;
            res.mean += t.mean;
            res.upper += t.upper;
          } else {
            res = t;
            started = true;
          }
        }
        prev = f;
        Ep = E;
        have_prev = true;
      }
    }
    Lower_flux[k] = res.lower;
    Mean_flux[k] = res.mean;
    Upper_flux[k] = res.upper;
  }
}
