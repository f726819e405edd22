#include <kest/atmosphere.h>
