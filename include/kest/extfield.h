/* kest: public C interface of the extfield subsystem (see kest.h for conventions). */
#ifndef KEST_EXTFIELD_H
#define KEST_EXTFIELD_H

#include "api.h"

KEST_BEGIN_C

KEST_END_C

#endif
