// Definitions of the magnetic-coordinate records (see magcoords_state.hpp).
#include "magcoords/magcoords_state.hpp"

namespace kest {
Magmod magmod{};
Drivers drivers{};
Index index{};
DipAng dip_ang{};
A2000Time a2000_time{};
Calotte calotte{};
FlagL flag_l{};
}  // namespace kest
