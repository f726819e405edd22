// The argument-vector entry form shared by every public routine of the library.
//
// An entry X(argc, argv) ignores argc, calls its core once with argv[0] ..
// argv[n-1] as the core's n arguments, in order and unchanged (every core
// argument is a pointer), and returns 9.9f. The number of addresses read and
// the type of each one follow from the core's own signature, so an entry is
// one line in a table:
//
//     KEST_ENTRY(make_lstar_, make_lstar1_)
//
// Nothing is checked: the caller must hand over one valid address per
// argument of the core.
#ifndef KEST_FRAME_ENTRY_HPP
#define KEST_FRAME_ENTRY_HPP

#include <cstddef>
#include <utility>

#include "kest/api.h"

namespace kest::detail {

template <typename R, typename... Args, std::size_t... I>
inline void forward_argv(R (*core)(Args*...), void** argv, std::index_sequence<I...>) {
  core(static_cast<Args*>(argv[I])...);
}

template <typename R, typename... Args>
inline float call_entry(R (*core)(Args*...), void** argv) {
  forward_argv(core, argv, std::index_sequence_for<Args...>{});
  return 9.9f;
}

}  // namespace kest::detail

#define KEST_ENTRY(entry_symbol, core_symbol)                                  \
  extern "C" KEST_API float entry_symbol(int /*argc*/, void** argv) {          \
    return ::kest::detail::call_entry(&core_symbol, argv);                     \
  }

#endif
