/* kest: public C interface of the radiation subsystem (see kest.h for conventions). */
#ifndef KEST_RADIATION_H
#define KEST_RADIATION_H

#include "api.h"

KEST_BEGIN_C

/* ---- Trapped-particle flux models: NASA AE8/AP8 and AFRL CRRES ------------
 * whichm: AE8/AP8 1 AE8 MIN, 2 AE8 MAX, 3 AP8 MIN, 4 AP8 MAX; CRRES 1
 * CRRESPRO quiet, 2 CRRESPRO active, 3 CRRESELE average, 4 CRRESELE worst
 * case, 5 CRRESELE by the Ap15 of each point (get_crres_flux_ also takes 6..10:
 * the Ap15 tables 2..6 for every point).
 * whatf: 1 differential flux at E1 (per MeV), 2 mean differential flux over
 * E1..E2 (per MeV), 3 integral flux above E1. energy(2, 25) in MeV.
 * flux(100000, 25), first index fastest: at most 100000 points and 25
 * energies per call (beyond: a message and fill values). Fluxes without a
 * value hold KEST_FILL. The position drivers replace an invalid whichm or
 * whatf by 1 in the caller's variable after a warning; the lookups leave
 * every flux at KEST_FILL for such values. The CRRES tables are text files
 * read at every call from the caller's path prefix (path_len 0..500, ending
 * early at a NUL; the file name is appended without a separator); a table that cannot be opened or
 * read stops the process with a message on standard error (status 1).
 * fly_in_nasa_aeap1_ reads GSM, SM and MAG positions in the axes of the
 * maps' own dipole (Jensen-Cain 1960, GSFC 12/66 for AP8 MAX), not of the
 * IGRF dipole of the date that coord_trans1_ uses; GDZ, GEO, GSE, GEI, SPH
 * and RLL positions are the same points in both.
 * Nothing is re-entrant. */
KEST_API void get_ae8_ap8_flux_(int *ntime, int *whichm, int *whatf, int *Nene,
                                double *energy, double *BBo, double *Lm,
                                double *flux);
KEST_API void fly_in_nasa_aeap1_(int *ntime, int *sysaxes, int *whichm,
                                 int *whatf, int *Nene, double *energy,
                                 int *iyr, int *idoy, double *UT, double *x1,
                                 double *x2, double *x3, double *flux);
KEST_API void get_crres_flux_(int *ntime, int *whichm, int *whatf, int *Nene,
                              double *energy, double *BBo, double *Lm,
                              double *Ap15, double *flux, char *path,
                              int *path_len);
KEST_API void fly_in_afrl_crres1_(int *ntime, int *sysaxes, int *whichm,
                                  int *whatf, int *Nene, double *energy,
                                  int *iyr, int *idoy, double *UT, double *x1,
                                  double *x2, double *x3, double *Ap15,
                                  double *flux, char *path, int *path_len);

/* ---- Argument-vector entries (argv = the core's argument addresses) ------
 *   fly_in_nasa_aeap -> fly_in_nasa_aeap1 (13)
 *   get_ae8_ap8_flux_idl -> get_ae8_ap8_flux (8)
 *   fly_in_afrl_crres -> fly_in_afrl_crres1 (16)
 *   get_crres_flux_idl -> get_crres_flux (11) */
KEST_DECLARE_ENTRY(fly_in_nasa_aeap_);
KEST_DECLARE_ENTRY(get_ae8_ap8_flux_idl_);
KEST_DECLARE_ENTRY(fly_in_afrl_crres_);
KEST_DECLARE_ENTRY(get_crres_flux_idl_);

KEST_END_C

/* ==== Mission-averaged electron models (geostationary ruk, MEO GNSS) =====
 * No positions: one spectrum per year of the solar cycle, averaged over the
 * mission years launch_year .. launch_year + duration - 1 (1902 or later),
 * interpolated as a power law in energy; lower/mean/upper fluxes.
 * whatf 1 differential at E1, 2 band E1..E2 (ruk: band integral; MEO: mean
 * per MeV), 3 integral above E1. energy is (2,50) column-major, the flux
 * arrays hold 50 (a Nene above 50 is read as 50, with a one-line message; entries
 * beyond Nene are set to 0); Nene 0 asks for the table energies and is replaced (ruk:
 * the 27 energies from 0.9171 keV to 5.19615 MeV for every version; for
 * whatf 2 the bands between them, one fewer). Energy ranges, the ends of the
 * tables: ruk whichm 1 POLE V1 0.03674-1.28452 MeV, 2 POLE V2 0.03-5.19615
 * MeV, 3 IGE-2006 0.0009171-5.19615 MeV; MEO whichm 1 0.28-1.12 MeV, 2
 * 0.28-2.24 MeV. An energy outside the version's range gives the fill
 * value; so does a MEO differential flux (whatf 1) within 0.01 MeV of either
 * end, the end itself excepted. A ruk band with E2 below E1 is integrated
 * downwards: negative fluxes (MEO: the band E2..E1).
 * Launch year 0 or before 1902, or a bad whichm/whatf: message lines on
 * standard output and a stop (exit status 1). A duration below 1 or above
 * 10000 years gives the fill value. Not re-entrant. */
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
