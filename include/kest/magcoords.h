/* kest: public C interface of the magcoords subsystem (see kest.h for conventions). */
#ifndef KEST_MAGCOORDS_H
#define KEST_MAGCOORDS_H

#include "api.h"

KEST_BEGIN_C

/* ---- Field at a point ----------------------------------------------------
 * Internal field of the selected model (IGRF, eccentric dipole, Jensen-Cain
 * 1960, GSFC 12/66) plus the selected external model, GEO Earth radii in, GEO
 * nT out. ifail -1 (nothing written) for a point outside the external model's
 * region. Requires the field-model set-up of a core for the time. */
KEST_API void champ_(double *xGEO, double *BxGEO, double *Blocal, int *ifail);

/* ---- Field cores ---------------------------------------------------------
 * kext: external-model code 0..12 (other: warning, Olson-Pfitzer quiet);
 * options(5): 1 L* slot, 2 IGRF renewal days, 3 L* latitude resolution,
 * 4 drift-shell lines, 5 internal-model code 0..3 (other: warning, IGRF);
 * sysaxes 0..8; maginput 25 values per time. Failures give -1.0E31. */
KEST_API void get_field1_(int *kext, int *options, int *sysaxes, int *iyr,
                          int *idoy, double *UT, double *x1, double *x2,
                          double *x3, double *maginput, double *BxGEO,
                          double *Blocal);

/* ---- Argument-vector entries (argv = the core's argument addresses) ------ */
KEST_DECLARE_ENTRY(get_field_);   /* get_field1_, 12 arguments */

/* ---- Lm, L*, the field-line step and magnetic local time ----------------
 * (block kept apart from the field-model set-up and field routines above)
 * Positions in Earth radii (GEO) or geodetic degrees and km; fields in nT;
 * Phi in nT x Earth radii^2; the fill value KEST_FILL marks outputs without
 * a value. Nothing is re-entrant. */
KEST_API void sksyst_(double *h, double *xin, double *xout, double *bl,
                      int *ifail);
KEST_API void calcul_lstar_(int *t_resol, int *r_resol, double *lati,
                            double *longi, double *alti, double *lm,
                            double *lstar, double *xj, double *blocal,
                            double *bmin);
KEST_API void make_lstar1_(int *ntime, int *kext, int *options, int *sysaxes,
                           int *iyr, int *idoy, double *ut, double *x1,
                           double *x2, double *x3, double *maginput,
                           double *lm, double *lstar, double *blocal,
                           double *bmin, double *xj, double *mlt);
KEST_API void lstar_phi1_(int *ntime, int *whichinv, int *options, int *iyr,
                          int *idoy, double *lstar, double *phi);
KEST_API void get_mlt1_(int *iyr, int *idoy, double *ut, double *xgeo,
                        double *mlt);
KEST_DECLARE_ENTRY(make_lstar_);
KEST_DECLARE_ENTRY(lstar_phi_);
KEST_DECLARE_ENTRY(get_mlt_);
/* ---- end of the Lm, L* block --------------------------------------------- */

KEST_END_C

#endif
