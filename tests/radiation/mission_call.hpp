// One call of a mission-averaged electron model with its argument block: the
// caller's arrays (energy pairs and three flux arrays of 50) followed by
// canaries that must never be written.
#ifndef KEST_TEST_MISSION_CALL_HPP
#define KEST_TEST_MISSION_CALL_HPP

#include <cmath>
#include <vector>

namespace mission_test {

inline constexpr double kFill = -1.0e31;

// The line a call with more energies than the arrays hold writes.
inline constexpr const char* kTooManyEnergiesLine =
    " Mission electron models: more than 50 energies in one call, only the first 50 computed\n";

struct Call {
  int launch = 2018, duration = 1, whichm = 3, whatf = 1, nene = 0;
  double energy[100] = {};
  double energy_canary[4] = {7, 7, 7, 7};
  double lower[50] = {};
  double lower_canary[4] = {7, 7, 7, 7};
  double mean[50] = {};
  double mean_canary[4] = {7, 7, 7, 7};
  double upper[50] = {};
  double upper_canary[4] = {7, 7, 7, 7};

  // Sets the energies (E1 of each entry, E2 = 0) or bands {E1, E2}.
  void energies(const std::vector<double>& e1) {
    nene = static_cast<int>(e1.size());
    for (int k = 0; k < nene; ++k) energy[2 * k] = e1[k], energy[2 * k + 1] = 0.0;
  }
  void bands(const std::vector<std::pair<double, double>>& b) {
    nene = static_cast<int>(b.size());
    for (int k = 0; k < nene; ++k) energy[2 * k] = b[k].first, energy[2 * k + 1] = b[k].second;
  }
  template <typename Core>
  void run(Core core) {
    core(&launch, &duration, &whichm, &whatf, &nene, energy, lower, mean, upper);
  }
  bool canaries_intact() const {
    for (int i = 0; i < 4; ++i)
      if (energy_canary[i] != 7 || lower_canary[i] != 7 || mean_canary[i] != 7 || upper_canary[i] != 7)
        return false;
    return true;
  }
};

// Trapezoid sum of g(E) = A E^p on the n points E_i = a r^i, r = (b/a)^(1/(n-1)),
// in closed form: 0.5 A a^(p+1) (r-1) (1+r^p) (q^(n-1) - 1)/(q - 1), q = r^(p+1).
inline double trapezoid_power_law(double A, double p, double a, double b, int n) {
  const double r = std::pow(b / a, 1.0 / (n - 1));
  const double q = std::pow(r, p + 1.0);
  return 0.5 * A * std::pow(a, p + 1.0) * (r - 1.0) * (1.0 + std::pow(r, p)) *
         (std::pow(q, n - 1) - 1.0) / (q - 1.0);
}

}  // namespace mission_test

#endif
