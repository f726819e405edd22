// Bessel functions of the Alexeev 2000 model, in single precision.
//
// The shielding and tail series of the paraboloid model need J_n, and the
// modified functions I_n and K_n, of integer order with their derivatives.
// Orders 0 and 1 come from polynomial approximations of single-precision
// accuracy; the order-n routines build on them by the three-term recurrence,
// or, for small arguments, on the first eight terms of the power series. The
// routines keep the model's own choices (which form is used where, the
// rescaled I_n, the messages for arguments they cannot take), since the
// model's coefficients were derived with them.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "extfield/alexeev2000.hpp"
#include "frame/c_numbers.hpp"
#include "frame/conventions.hpp"

namespace kest::a2k {

namespace {

// Polynomial sum c[0] + c[1] t + ... + c[n-1] t^(n-1), by Horner's rule.
template <int N>
float poly(const float (&c)[N], float t) {
  float s = c[N - 1];
  for (int i = N - 2; i >= 0; --i) s = s * t + c[i];
  return s;
}

// Polynomial approximations of J0, J1, Y0, Y1 (coefficients of ascending
// powers). Small arguments |x| <= 3 in (x/3)^2, large in 3/x as amplitude and
// phase. Absolute errors below 1.1e-7 (for small arguments the bound of Y1
// holds for x Y1(x)).
// References: M. Abramowitz and I. A. Stegun, Handbook of Mathematical
// Functions (NBS, 1964), 9.4.1 to 9.4.6.
constexpr float kJ0Small[7] = {1.0f, -2.2499997f, 1.2656208f, -0.3163866f,
                               0.0444479f, -0.0039444f, 0.0002100f};
constexpr float kY0Small[7] = {0.36746691f, 0.60559366f, -0.74350384f, 0.25300117f,
                               -0.04261214f, 0.00427916f, -0.00024846f};
constexpr float kF0[7] = {0.79788456f, -0.00000077f, -0.00552740f, -0.00009512f,
                          0.00137237f, -0.00072805f, 0.00014476f};
constexpr float kTheta0[7] = {-0.78539816f, -0.04166397f, -0.00003954f, 0.00262573f,
                              -0.00054125f, -0.00029333f, 0.00013558f};
constexpr float kJ1Small[7] = {0.5f, -0.56249985f, 0.21093573f, -0.03954289f,
                               0.00443319f, -0.00031761f, 0.00001109f};
constexpr float kY1Small[7] = {-0.6366198f, 0.2212091f, 2.1682709f, -1.3164827f,
                               0.3123951f, -0.0400976f, 0.0027873f};
constexpr float kF1[7] = {0.79788456f, 0.00000156f, 0.01659667f, 0.00017105f,
                          -0.00249511f, 0.00113653f, -0.00020033f};
constexpr float kTheta1[7] = {-2.35619449f, 0.12499612f, 0.00005650f, -0.00637879f,
                              0.00074348f, 0.00079824f, -0.00029166f};

// Polynomial approximations of I0, I1 (|x| <= 3.75, in (x/3.75)^2), of K0,
// K1 (x <= 2, in (x/2)^2) and of the scaled K0, K1 (x > 2, in 2/x).
// References: Abramowitz and Stegun, 9.8.1, 9.8.3, 9.8.5 to 9.8.8.
constexpr float kI0Small[7] = {1.0f, 3.5156229f, 3.0899424f, 1.2067492f,
                               0.2659732f, 0.0360768f, 0.0045813f};
constexpr float kI1Small[7] = {0.5f, 0.87890594f, 0.51498869f, 0.15084934f,
                               0.02658733f, 0.00301532f, 0.00032411f};
constexpr float kK0Small[7] = {-0.57721566f, 0.42278420f, 0.23069756f, 0.03488590f,
                               0.00262698f, 0.00010750f, 0.00000740f};
constexpr float kK1Small[7] = {1.0f, 0.15443144f, -0.67278579f, -0.18156897f,
                               -0.01919402f, -0.00110404f, -0.00004686f};
constexpr float kK0Large[7] = {1.25331414f, -0.07832358f, 0.02189568f, -0.01062446f,
                               0.00587872f, -0.00251540f, 0.00053208f};
constexpr float kK1Large[7] = {1.25331414f, 0.23498619f, -0.03655620f, 0.01504268f,
                               -0.00780353f, 0.00325614f, -0.00068245f};

// s5: large-argument polynomials of sqrt(x) exp(-x) I0(x) (elements 0..8)
// and of sqrt(x) exp(-x) I1(x) (9..17), each from the coefficient of
// (3.75/x)^8 down to the constant term, as ug sums them.
// References: Abramowitz and Stegun, 9.8.2 and 9.8.4 (x >= 3.75, error
// below 2.2e-7).
constexpr float kS5[18] = {
    0.00392377f,  -0.01647633f, 0.02635537f,  -0.02057706f, 0.00916281f,
    -0.00157565f, 0.00225319f,  0.01328592f,  0.39894228f,  -0.00420059f,
    0.01787654f,  -0.02895312f, 0.02282967f,  -0.01031555f, 0.00163801f,
    -0.00362018f, -0.03988024f, 0.39894228f};

constexpr float kTwoOverPi = 0.636619747f;

// Order-0/1 functions of the J/Y family: which = 0 J0, 1 J1, 2 Y0, 3 Y1.
float besjy(int which, float x) {
  const bool y = which >= 2;
  const int order = which % 2;
  if (y && x <= 0.0f) {
    msg(("BESJY...NON-POSITIVE ARGUMENT X=" + fortran_e12_5(x)).c_str());
    return 0.0f;
  }
  const float ax = std::fabs(x);
  if (ax <= 3.0f) {
    const float t = (x / 3.0f) * (x / 3.0f);
    if (order == 0) {
      const float j0 = poly(kJ0Small, t);
      if (!y) return j0;
      return kTwoOverPi * std::log(0.5f * x) * j0 + poly(kY0Small, t);
    }
    const float j1 = x * poly(kJ1Small, t);
    if (!y) return j1;
    return kTwoOverPi * std::log(0.5f * x) * j1 + poly(kY1Small, t) / x;
  }
  const float t = 3.0f / ax;
  const float f = order == 0 ? poly(kF0, t) : poly(kF1, t);
  const float th = ax + (order == 0 ? poly(kTheta0, t) : poly(kTheta1, t));
  const float amp = f / std::sqrt(ax);
  if (y) return amp * std::sin(th);
  const float j = amp * std::cos(th);
  return (order == 1 && x < 0.0f) ? -j : j;  // J1 is odd
}

// Order-0/1 functions of the I/K family: which = 0 I0, 1 I1, 2 K0, 3 K1;
// scaled multiplies I by exp(-|x|) and K by exp(x).
float besik(int which, float x, bool scaled) {
  const bool k = which >= 2;
  const int order = which % 2;
  if (k) {
    if (x <= 0.0f) {
      msg(("BESIK...NON-POSITIVE ARGUMENT X=" + fortran_e12_5(x)).c_str());
      return 0.0f;
    }
    if (x <= 2.0f) {
      const float t = (0.5f * x) * (0.5f * x);
      const float lg = std::log(0.5f * x);
      float v;
      if (order == 0)
        v = -lg * besik(0, x, false) + poly(kK0Small, t);
      else
        v = (x * lg * besik(1, x, false) + poly(kK1Small, t)) / x;
      return scaled ? v * std::exp(x) : v;
    }
    const float t = 2.0f / x;
    const float v = (order == 0 ? poly(kK0Large, t) : poly(kK1Large, t)) / std::sqrt(x);
    return scaled ? v : v * std::exp(-x);
  }
  const float ax = std::fabs(x);
  float v;  // exp(-|x|) I(|x|)
  if (ax <= 3.75f) {
    const float t = (x / 3.75f) * (x / 3.75f);
    const float i = order == 0 ? poly(kI0Small, t) : ax * poly(kI1Small, t);
    if (!scaled) return (order == 1 && x < 0.0f) ? -i : i;
    v = i * std::exp(-ax);
  } else {
    v = ug(order == 0 ? &kS5[0] : &kS5[9], ax) / std::sqrt(ax);
    if (!scaled) v *= std::exp(ax);
  }
  return (order == 1 && x < 0.0f) ? -v : v;  // I1 is odd
}

// First eight terms of the power series of J_n (sign -1) or I_n (sign +1).
float power_series(int n, float x, float sign) {
  if (x == 0.0f) {
    char num[8];
    std::snprintf(num, sizeof num, "%3d", n);
    msg(("EXP NEGATIVE,N=" + std::string(num) + "X=" + fortran_e12_5(x)).c_str());
    return 0.0f;
  }
  const float q = sign * x * x / 4.0f;
  float term = 1.0f, sum = 1.0f;
  for (int k = 1; k <= 7; ++k) {
    term = term * q / static_cast<float>(k * (n + k));
    sum += term;
  }
  float fact = 1.0f;
  for (int k = 2; k <= n; ++k) fact *= static_cast<float>(k);
  return sum / fact * std::pow(0.5f * x, static_cast<float>(n));
}

}  // namespace

// fortran_e12_5: a value in the form of a Fortran E12.5 edit descriptor.
// Given:    x  float  the value
// Returned: 12 characters, "s0.dddddE+ee" right-justified (blank sign for
//           positive values); two-digit exponents (single precision needs no
//           more); twelve "*" for a value that is not finite.
std::string fortran_e12_5(float x) {
  char out[32];
  if (x == 0.0f || !std::isfinite(x)) {
    if (!std::isfinite(x)) {
      std::snprintf(out, sizeof out, "%12s", "************");
      return out;
    }
    return " 0.00000E+00";
  }
  // %.4E gives d.dddd with the same five significant digits, rounded.
  char e[32];
  fio::c_snprintf(e, sizeof e, "%.4E", std::fabs(static_cast<double>(x)));
  const int exponent = std::atoi(e + 7) + 1;  // "d.ddddE+xx"
  std::snprintf(out, sizeof out, "%c0.%c%.4sE%c%02d", x < 0.0f ? '-' : ' ', e[0], e + 2,
                exponent < 0 ? '-' : '+', std::abs(exponent));
  return out;
}

// besj0 .. ebesk1: Bessel functions of order 0 and 1.
// Given:    x  float  argument (x > 0 for Y0, Y1, K0, K1 and their scaled forms)
// Returned: J0, J1, Y0, Y1, I0, I1, exp(-|x|) I0, exp(-|x|) I1, K0, K1,
//           exp(x) K0, exp(x) K1 at x.
// Failure:  Y and K at x <= 0: one message line (" BESJY...NON-POSITIVE
//           ARGUMENT X=" or " BESIK...", then x as E12.5) and the result 0.
// Notes:    1. Polynomial approximations of single-precision accuracy (the
//             breakpoints are 3 for J and Y, 3.75 for I, 2 for K).
// References: Abramowitz and Stegun, Handbook of Mathematical Functions,
//           9.4.1-9.4.6 and 9.8.1-9.8.8.
float besj0(float x) { return besjy(0, x); }
float besj1(float x) { return besjy(1, x); }
float besy0(float x) { return besjy(2, x); }
float besy1(float x) { return besjy(3, x); }
float besi0(float x) { return besik(0, x, false); }
float besi1(float x) { return besik(1, x, false); }
float ebesi0(float x) { return besik(0, x, true); }
float ebesi1(float x) { return besik(1, x, true); }
float besk0(float x) { return besik(2, x, false); }
float besk1(float x) { return besik(3, x, false); }
float ebesk0(float x) { return besik(2, x, true); }
float ebesk1(float x) { return besik(3, x, true); }

// ug: the large-argument polynomial of a scaled I0 or I1.
// Given:    c(9)  float  coefficients of (3.75/x)^8 down to the constant
//           x  float  argument (> 0)
// Returned: sum c(k) t^(9 - k), t = 3.75/x.
float ug(const float* c, float x) {
  const float t = 3.75f / x;
  float s = c[0];
  for (int k = 1; k < 9; ++k) s = s * t + c[k];
  return s;
}

// rint: a * b / c. Kept with the family; nothing in the model calls it.
float rint(float a, float b, float c) { return a * b / c; }

// bsj, bsi: J_n and I_n from the first eight terms of their power series.
// Given:    n  int  order (>= 0); x  float  argument
// Returned: J_n(x) or I_n(x).
// Failure:  x exactly 0: one message line " EXP NEGATIVE,N=" n (3 characters)
//           "X=" x (E12.5), and the result 0 (also for order 0).
// Notes:    1. Eight terms hold single precision for the arguments up to 3.75
//             the model sends here.
float bsj(int n, float x) { return power_series(n, x, -1.0f); }
float bsi(int n, float x) { return power_series(n, x, 1.0f); }

// besk: K_n and its derivative.
// Given:    n  int  order (>= 1); x  float  argument (> 0)
// Returned: k  float  K_n(x); dk  float  K'_n(x)
// Notes:    1. Upward recurrence from K0 and K1, which is stable for K.
void besk(int n, float x, float& k, float& dk) {
  float km = besk0(x);
  float kn = besk1(x);
  for (int j = 1; j <= n - 1; ++j) {
    const float kp = km + (2.0f * static_cast<float>(j) / x) * kn;
    km = kn;
    kn = kp;
  }
  k = kn;
  dk = -(static_cast<float>(n) / x) * kn - km;
}

// besm: exp(-x) I_n(x) and exp(-x) I'_n(x).
// Given:    n  int  order (>= 1)
// Given and returned: x  float  argument; set to -174.669998 when -x exceeds
//           174.673004 (the model's bound; exp(-x) overflows in single
//           precision from -x = 88.72 on, so the results are then infinite)
// Returned: i, di  float  the scaled I_n and I'_n
// Failure:  the clamp writes " GRAND EXP-BESM,X=" and x (E12.5).
// Notes:    1. x > 3.75: the scaled I0, I1 from their large-argument
//             polynomials (ug), then upward recurrence; x <= 3.75: the power
//             series times exp(-x).
void besm(int n, float& x, float& i, float& di) {
  if (x > 3.75f) {
    const float rs = std::sqrt(x);
    float im = ug(&kS5[0], x) / rs;
    float in = ug(&kS5[9], x) / rs;
    for (int j = 1; j <= n - 1; ++j) {
      const float ip = im - (2.0f * static_cast<float>(j) / x) * in;
      im = in;
      in = ip;
    }
    i = in;
    di = im - (static_cast<float>(n) / x) * in;
    return;
  }
  if (-x > 174.673004f) {
    msg(("GRAND EXP-BESM,X=" + fortran_e12_5(x)).c_str());
    x = -174.669998f;
  }
  const float e = std::exp(-x);
  i = e * bsi(n, x);
  di = (bsi(n + 1, x) + bsi(n - 1, x)) * e * 0.5f;
}

// bess: J_n and its derivative.
// Given:    n  int  order (>= 1); x  float  argument
// Returned: j  float  J_n(x); dj  float  J'_n(x)
// Notes:    1. x > 3.75: upward recurrence from J0 and J1; x <= 3.75: the
//             power series, with J'_n = (J_(n-1) - J_(n+1)) / 2.
void bess(int n, float x, float& j, float& dj) {
  if (x > 3.75f) {
    float jm = besj0(x);
    float jn = besj1(x);
    for (int k = 1; k <= n - 1; ++k) {
      const float jp = (2.0f * static_cast<float>(k) / x) * jn - jm;
      jm = jn;
      jn = jp;
    }
    j = jn;
    dj = jm - (static_cast<float>(n) / x) * jn;
    return;
  }
  j = bsj(n, x);
  dj = (bsj(n - 1, x) - bsj(n + 1, x)) * 0.5f;
}

}  // namespace kest::a2k
