// Puts process-wide model records back, when a test ends, as they were when
// the guard was made.
//
// The library keeps its settings (model switches, loaded coefficients, the
// reuse state of the drift-shell search) in global records that stay set for
// the rest of the process, as the models define them. A test that changes
// such a record holds a guard over it, so that every test starts from the
// state of a fresh process whatever ran before it in the same program, in
// any order (gtest --gtest_shuffle) and when it fails half-way.
#pragma once

#include <tuple>

namespace kest_test {

template <class... R>
class Restore {
 public:
  explicit Restore(R&... records) : live_(records...), saved_(records...) {}
  ~Restore() { live_ = saved_; }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  std::tuple<R&...> live_;  // the records themselves
  std::tuple<R...> saved_;  // their copies from construction
};

}  // namespace kest_test
