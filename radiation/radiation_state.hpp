// Process-wide records of the radiation-belt subsystem: the flux step of the
// last AE8/AP8 map used and the CRRES table in memory.
//
// Each record is one named struct, declared here once, with its writers and
// readers. All start at zero when the process starts. The records are
// exported (KEST_API) so that the test programs can observe them; they are
// not part of the public C interface.
#ifndef KEST_RADIATION_STATE_HPP
#define KEST_RADIATION_STATE_HPP

#include "kest/api.h"

namespace kest {

// tra2: step of the scaled logarithm of the flux between two B/B0
// increments of an AE8/AP8 map.
//   fistep  header word 7 / header word 2 in integer arithmetic (256 for all
//           four maps: a quarter decade at the flux scale 1024).
// Written by trara1 at every call; read by trara2.
struct Tra2 {
  double fistep;
};
extern KEST_API Tra2 tra2;

// crres_model_dbl: the CRRES table in memory and its grids.
//   lgrid     L grid (91 proton values 1.0..5.5, or 87 electron values
//             2.5..6.8 followed by 0)
//   egrid     energy grid, MeV (22 proton values, or 10 electron values
//             followed by 0)
//   bb0grid   B/B0 grid (35 values, 1.0..684.6)
//   flux_tab  flux per MeV, flux_tab[L cell][B/B0 cell][energy] (energy
//             varies fastest); electron values are scaled by 1000 on reading.
// Written by init_crres (an electron table leaves energies 11..22 and L cells
// 87..90 as an earlier proton table left them); read by get_crres_flux_.
struct CrresModelDbl {
  double lgrid[91];
  double egrid[22];
  double bb0grid[35];
  double flux_tab[90][34][22];
};
extern KEST_API CrresModelDbl crres_model_dbl;

// crres_model_int: sizes of the CRRES table in memory.
//   ne  number of energies (22 protons, 10 electrons)
//   nb  number of B/B0 grid values (35)
//   nl  number of L grid values (91 protons, 87 electrons); 0 before the
//       first table is loaded
// Written by init_crres; read by get_crres_flux_.
struct CrresModelInt {
  int ne;
  int nb;
  int nl;
};
extern KEST_API CrresModelInt crres_model_int;

}  // namespace kest

#endif
