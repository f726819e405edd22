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

KEST_END_C

#endif
