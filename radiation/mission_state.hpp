// Process-wide records of the mission-averaged electron models.
//
// Each record is one named struct, declared here once, with its writers and
// readers. Both are refilled by their loaders at every call of the model, so
// nothing in them carries from one call to the next.
#ifndef KEST_RADIATION_MISSION_STATE_HPP
#define KEST_RADIATION_MISSION_STATE_HPP

#include "kest/api.h"

namespace kest {

// param_ruk: the loaded version of the geostationary electron model.
//   flux_tab[c][j]  differential flux (per keV) at table energy j+1 in the
//                   cycle year c-6 (c = 0..10 for the cycle years -6..+4);
//                   entries the version does not cover hold 0
//   e_tab[j]        table energy j+1, MeV
//   emin, emax      lowest and highest energy the version covers, MeV
// Written by search_flux_tab_v1, _v2, _v3 (each clears flux_tab first);
// read by fly_in_ruk1.
struct ParamRuk {
  double flux_tab[11][27];
  double e_tab[27];
  double emin;
  double emax;
};
extern KEST_API ParamRuk param_ruk;

// param_meo_gnss: the loaded version of the MEO GNSS electron model.
//   flux_tab[c][j]  integral flux above energy slot j+1 in the cycle year
//                   c-6; slots the version does not fill hold 0
//   e_tab[j]        energy of slot j+1, MeV (0 in the slots of no energy)
//   emin, emax      energy range of the version, MeV
// Written by search_flux_tab_meov1, _meov2 (each clears flux_tab and e_tab
// first); read by fly_in_meo_gnss1.
struct ParamMeoGnss {
  double flux_tab[11][30];
  double e_tab[30];
  double emin;
  double emax;
};
extern KEST_API ParamMeoGnss param_meo_gnss;

}  // namespace kest

#endif
