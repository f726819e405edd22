// Definitions of the radiation-belt records (see radiation_state.hpp).
#include "radiation/radiation_state.hpp"

namespace kest {
Tra2 tra2{};
CrresModelDbl crres_model_dbl{};
CrresModelInt crres_model_int{};
}  // namespace kest
