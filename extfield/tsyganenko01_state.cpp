// Definitions of the Tsyganenko 2001/2004 records (see extfield_state.hpp).
#include "extfield/extfield_state.hpp"

namespace kest {
Tail tail{};
TailWarping g{};
HingingDistance rh0{};
HingingDistance rh0_tsyg04{};
Birkpar birkpar{};
DphiBRho0 dphi_b_rho0{};
Dtheta dtheta{};
Modenum modenum{};
Rcpar rcpar{};
}  // namespace kest
