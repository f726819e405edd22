/* kest: public C interface of the radiation subsystem (see kest.h for conventions). */
#ifndef KEST_RADIATION_H
#define KEST_RADIATION_H

#include "api.h"

KEST_BEGIN_C

KEST_END_C

#endif
