// Mission-averaged electron model for medium Earth orbit at GNSS altitudes
// (MEO-V1, MEO-V2).
//
// The tables hold integral electron fluxes (above an energy), one spectrum per
// year of the solar cycle. A mission's integral flux is the mean of the
// spectra of its years, interpolated in energy as a power law between table
// energies; differential and band fluxes are differences of the interpolated
// integral flux. The lower and upper fluxes divide and multiply by an
// uncertainty factor that grows linearly with energy.
#include <cmath>

#include "frame/conventions.hpp"
#include "kest/radiation.h"
#include "radiation/energy_band.hpp"
#include "radiation/meo_gnss_tables.hpp"
#include "radiation/mission_common.hpp"
#include "radiation/mission_state.hpp"

namespace kest {
ParamMeoGnss param_meo_gnss;
}

namespace {

namespace tab = kest::meo_gnss_tables;
using kest::param_meo_gnss;

constexpr int kSlots = 30;  // energy slots of param_meo_gnss

// Half width of the difference that gives the differential flux: 0.01 MeV as
// the model holds it, in single precision.
constexpr double kDelta = static_cast<double>(0.01f);

void load_version(int version) {
  for (auto& col : param_meo_gnss.flux_tab)
    for (double& f : col) f = 0.0;
  // Every slot is set, so no energy of an earlier version stays behind.
  for (double& e : param_meo_gnss.e_tab) e = 0.0;
  const int count = version == 1 ? tab::kNumEnergiesV1 : tab::kNumEnergiesV2;
  for (int j = 0; j < count; ++j) {
    param_meo_gnss.e_tab[j] = tab::kEnergy[j];
    for (int c = 0; c < tab::kNumCycleYears; ++c)
      param_meo_gnss.flux_tab[c][j] = version == 1 ? tab::kFluxV1[j] : tab::kFluxV2[j][c];
  }
  param_meo_gnss.emin = tab::kEmin[version - 1];
  param_meo_gnss.emax = tab::kEmax[version - 1];
}

struct Flux3 {
  double lower, mean, upper;
};

}  // namespace

// search_flux_tab_meov1, _meov2: load version 1 (MEO-V1, one spectrum for
// every cycle year) or 2 (MEO-V2) into param_meo_gnss.
// State:    writes param_meo_gnss (flux_tab and e_tab cleared, then the
//           version's slots; emin, emax).
extern "C" void search_flux_tab_meov1_(void) { load_version(1); }
extern "C" void search_flux_tab_meov2_(void) { load_version(2); }

// fly_in_meo_gnss1: mission-averaged electron flux in medium Earth orbit.
// Given:    launch_year  int  first mission year (1902 or later)
//           duration  int  number of mission years (1 to 10000)
//           whichm  int  version: 1 MEO-V1 (0.28-1.12 MeV), 2 MEO-V2
//                    (0.28-2.24 MeV)
//           whatf  int  1 differential flux at E1 (cm-2 s-1 sr-1 MeV-1),
//                    2 mean differential flux over the band E1..E2 (same
//                    unit), 3 integral flux above E1 (cm-2 s-1 sr-1)
// Given and returned:
//           Nene  int  number of energies or bands (at most 50); 0 asks for
//                    the table's energies and is replaced by their count (5
//                    or 7, or one less as bands for whatf 2)
//           energy  double(2,50)  MeV: (1,k) energy or lower band edge,
//                    (2,k) upper band edge; written when Nene is 0
// Returned: Lower_flux, Mean_flux, Upper_flux  double(50)  results per
//           energy or band; entries beyond Nene are 0
// State:    writes param_meo_gnss (loads the version).
// Failure:  launch year 0 or before 1902, whichm outside 1..2, whatf
//           outside 1..3 (tested in that order): message lines on standard
//           output and a stop (exit status 1). A result whose energies reach
//           outside the version's range is the fill value -1.0E31, and so is
//           every entry for a duration below 1 or above 10000 years.
// Notes:    1. whatf 1 is the central difference of the integral flux over
//             E1 -/+ 0.01 MeV (single-precision step), one-sided at emin and
//             emax; an energy within 0.01 MeV of an end gives fill.
//           2. A band of zero width (E2 = E1), or narrower than 1e-9 E1,
//             gives the whatf 1 result at E1, not the rounding noise of two
//             nearly equal integral fluxes. It stands for the limit of the
//             band mean; at a table energy or an end of the range it is
//             often several percent off it (see energy_band.hpp).
//           3. Mission years after 2022 take the cycle years of minima that
//             follow at the model's period (calc_year_cycle).
//           4. A Nene above 50 is read as 50, with a message line: the
//              arrays hold no more.
// References: A. Sicard-Piet, S. Bourdarie, D. Boscher, R. H. W. Friedel,
//           T. Cayton, Solar cycle electron environment at GNSS like
//           altitudes, IAC-06-D5.2.04 (2006).
extern "C" void fly_in_meo_gnss1_(int* launch_year, int* duration, int* whichm, int* whatf, int* Nene,
                                  double* energy, double* Lower_flux, double* Mean_flux,
                                  double* Upper_flux) {
  using namespace kest::mission;
  check_launch_year(*launch_year);
  if (*whichm < 1 || *whichm > 2)
    kest::stop_stdout({kStars, "Bad Input Parameter: whichm  ", "Available choices: 1, or 2   ", kStars});
  load_version(*whichm);
  if (*whatf < 1 || *whatf > 3)
    kest::stop_stdout({kStars, "Bad Input Parameter: whatf   ", "Available choices: 1, 2 or 3 ", kStars});

  for (int k = 0; k < kMaxEnergies; ++k) Lower_flux[k] = Mean_flux[k] = Upper_flux[k] = 0.0;

  if (*Nene == 0) {
    // The version's own energies; for bands, the intervals between them.
    const int ne = *whichm == 1 ? tab::kNumEnergiesV1 : tab::kNumEnergiesV2;
    const int count = *whatf == 2 ? ne - 1 : ne;
    for (int j = 0; j < count; ++j) {
      energy[2 * j] = param_meo_gnss.e_tab[j];
      if (*whatf == 2) energy[2 * j + 1] = param_meo_gnss.e_tab[j + 1];
    }
    *Nene = count;
  }
  const int n = energies_in_call(*Nene);
  if (n <= 0) return;
  if (*duration < 1 || *duration > kMaxDuration) {
    for (int k = 0; k < n; ++k) Lower_flux[k] = Mean_flux[k] = Upper_flux[k] = kest::baddata;
    return;
  }

  // Mean integral spectrum of the mission.
  double S[kSlots];
  average_spectrum(&param_meo_gnss.flux_tab[0][0], kSlots, kSlots, *launch_year, *duration, 1.0, S);

  const double emin = param_meo_gnss.emin, emax = param_meo_gnss.emax;
  const bool v1 = *whichm == 1;
  auto evaluate = [&](double E, Flux3* f) {
    double m = 0.0;
    if (!in_range(E, emin, emax) || !loglog_interp(param_meo_gnss.e_tab, S, kSlots, emin, E, &m))
      return false;
    const double g = v1 ? E * 0.002 * 1000.0 + 1.76 : E * 0.0016 * 1000.0 + 2.4;
    *f = {m / g, m, m * g};
    return true;
  };
  constexpr Flux3 fill{kest::baddata, kest::baddata, kest::baddata};

  for (int k = 0; k < n; ++k) {
    const double E1 = energy[2 * k], E2 = energy[2 * k + 1];
    Flux3 res{};
    if (*whatf == 3) {
      Flux3 f;
      res = evaluate(E1, &f) ? f : fill;
    } else {
      double Ea = E1, Eb = E2;
      if (*whatf == 1 || kest::narrow_band(E1, E2)) {
        Ea = E1 == emin ? E1 : E1 - kDelta;
        Eb = E1 == emax ? E1 : E1 + kDelta;
      }
      Flux3 fa, fb;
      if (evaluate(Ea, &fa) && evaluate(Eb, &fb)) {
        // Integral flux difference over the width: the mean differential
        // flux between Ea and Eb, bounds formed alike.
        const double w = Eb - Ea;
        res = {(fa.lower - fb.lower) / w, (fa.mean - fb.mean) / w, (fa.upper - fb.upper) / w};
      } else {
        res = fill;
      }
    }
    Lower_flux[k] = res.lower;
    Mean_flux[k] = res.mean;
    Upper_flux[k] = res.upper;
  }
}
