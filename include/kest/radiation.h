/* kest: public C interface of the radiation subsystem (see kest.h for conventions). */
#ifndef KEST_RADIATION_H
#define KEST_RADIATION_H

#include "api.h"

KEST_BEGIN_C

KEST_END_C

/* ==== Mission-averaged electron models (geostationary ruk, MEO GNSS) =====
 * No positions: one spectrum per year of the solar cycle, averaged over the
 * mission years launch_year .. launch_year + duration - 1 (1902 or later),
 * interpolated as a power law in energy; lower/mean/upper fluxes.
 * whatf 1 differential at E1, 2 band E1..E2 (ruk: band integral; MEO: mean
 * per MeV), 3 integral above E1. energy is (2,50) column-major, the flux
 * arrays hold 50; Nene 0 asks for the table energies and is replaced.
 * Launch year 0 or before 1902, or a bad whichm/whatf: message lines on
 * standard output and a stop (exit status 1). Not re-entrant. */
KEST_BEGIN_C
KEST_API void calc_year_cycle_(int *year, int *cycle);
KEST_API void search_flux_tab_v1_(void);
KEST_API void search_flux_tab_v2_(void);
KEST_API void search_flux_tab_v3_(void);
KEST_API void fly_in_ruk1_(int *launch_year, int *duration, int *whichm, int *whatf,
                           int *Nene, double *energy, double *Lower_flux,
                           double *Mean_flux, double *Upper_flux);
KEST_API void search_flux_tab_meov1_(void);
KEST_API void search_flux_tab_meov2_(void);
KEST_API void fly_in_meo_gnss1_(int *launch_year, int *duration, int *whichm, int *whatf,
                                int *Nene, double *energy, double *Lower_flux,
                                double *Mean_flux, double *Upper_flux);
KEST_DECLARE_ENTRY(fly_in_ruk_);
KEST_DECLARE_ENTRY(fly_in_meo_gnss_);
KEST_END_C
/* ==== end of the mission-averaged electron models ======================== */

#endif
