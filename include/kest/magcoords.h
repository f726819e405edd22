/* kest: public C interface of the magcoords subsystem (see kest.h for conventions). */
#ifndef KEST_MAGCOORDS_H
#define KEST_MAGCOORDS_H

#include "api.h"

KEST_BEGIN_C

KEST_END_C

#endif
