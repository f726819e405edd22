/* kest: public C interface of the orbit subsystem (see kest.h for conventions). */
#ifndef KEST_ORBIT_H
#define KEST_ORBIT_H

#include "api.h"

KEST_BEGIN_C

KEST_END_C

#endif
