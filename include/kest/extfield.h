/* kest: public C interface of the extfield subsystem (see kest.h for conventions). */
#ifndef KEST_EXTFIELD_H
#define KEST_EXTFIELD_H

#include "api.h"

KEST_BEGIN_C

/* ---- External field models ----------------------------------------------
 * Each model gives the field of the magnetospheric currents at one point, in
 * its own frame (SM or GSM), Earth radii in, nT out. The models test no input;
 * champ_ enforces their regions and the set-up their drivers. They read the
 * dipole tilt and drivers from the model state set by the field cores. */

/* Olson-Pfitzer quiet (1977): SM position and field; reads the dipole tilt
 * (degrees) of the set-up; zero inside 2 and beyond 15 Earth radii. */
KEST_API void bxyzmu_(double *x, double *y, double *z,
                      double *bx, double *by, double *bz);

/* Centred dipole of moment 30574 nT in GSM; tilt psi in radians. */
KEST_API void dipole_(double *psi, double *x, double *y, double *z,
                      double *bx, double *by, double *bz);

/* ---- Tsyganenko 1996 (T96_01) -------------------------------------------
 * External field at a GSM point for the solar-wind dynamic pressure, Dst and
 * IMF By, Bz in parmod (1 Pdyn nPa, 2 Dst nT, 3 By nT, 4 Bz nT) and the
 * dipole tilt of the set-up (degrees, read at every call). Never contains the
 * dipole: outside the magnetopause it is the penetrated IMF minus the model's
 * dipole of 30574 nT. Tests no input (Pdyn <= 0 gives NaN). */
KEST_API void t96_01_(double *parmod, double *x, double *y, double *z,
                      double *bx, double *by, double *bz);

/* Region-1 and Region-2 Birkeland current systems of T96_01 with their
 * shielding fields, per unit amplitude: tilt psi in radians, GSM position
 * already multiplied by the model's pressure factor, field in nT. */
KEST_API void birk1tot_02_(double *psi, double *x, double *y, double *z,
                           double *bx, double *by, double *bz);
KEST_API void birk2tot_02_(double *psi, double *x, double *y, double *z,
                           double *bx, double *by, double *bz);

/* T96_01 for the field routine: GSM point in, GSM field out, drivers (pdyn,
 * dst, byimf, bzimf) and tilt taken from the records of the field-model
 * set-up. */
KEST_API void t96_01_champ_(double *xgsm, double *bgsm);
/* ---- end Tsyganenko 1996 ------------------------------------------------ */

KEST_END_C

#endif
