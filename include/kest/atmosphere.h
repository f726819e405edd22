/* kest: public C interface of the atmosphere subsystem (see kest.h for conventions). */
#ifndef KEST_ATMOSPHERE_H
#define KEST_ATMOSPHERE_H

#include "api.h"

KEST_BEGIN_C

KEST_END_C

#endif
