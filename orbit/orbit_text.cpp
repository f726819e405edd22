// Text forms of the orbit subsystem (see orbit_text.hpp).
#include "orbit/orbit_text.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame/c_numbers.hpp"
#include "frame/conventions.hpp"

namespace kest::otext {

namespace {

void right_justify(std::string& out, int width, const char* text) {
  const int len = static_cast<int>(std::strlen(text));
  if (len > width) {
    out.append(static_cast<size_t>(width), '*');
    return;
  }
  out.append(static_cast<size_t>(width - len), ' ');
  out.append(text);
}

}  // namespace

void put_int(std::string& out, int width, int value, int min_digits) {
  char buf[32];
  if (min_digits > 0)
    std::snprintf(buf, sizeof buf, "%.*d", min_digits, value);
  else
    std::snprintf(buf, sizeof buf, "%d", value);
  right_justify(out, width, buf);
}

void put_fixed(std::string& out, int width, int decimals, double value) {
  char buf[400];
  if (!std::isfinite(value)) {
    out.append(static_cast<size_t>(width), '*');
    return;
  }
  fio::c_snprintf(buf, sizeof buf, "%.*f", decimals, value);
  right_justify(out, width, buf);
}

std::string free_real(double v) {
  char buf[64];
  std::string out;
  if (std::isnan(v)) {
    right_justify(out, 25, "NaN");
    return out;
  }
  if (std::isinf(v)) {
    right_justify(out, 25, v > 0 ? "Infinity" : "-Infinity");
    return out;
  }
  // Decimal exponent after rounding to 17 significant digits.
  fio::c_snprintf(buf, sizeof buf, "%.16e", v);
  const int x = std::atoi(std::strchr(buf, 'e') + 1);
  if (v == 0.0 || (x >= -1 && x <= 16)) {
    const int dec = v == 0.0 ? 16 : 16 - x;
    fio::c_snprintf(buf, sizeof buf, "%.*f", dec, v);
    if (dec == 0) std::strcat(buf, ".");
    right_justify(out, 20, buf);
    out.append(5, ' ');
  } else {
    // Mantissa d.dddddddddddddddd and a signed three-digit exponent.
    char* e = std::strchr(buf, 'e');
    *e = '\0';
    char full[96];
    std::snprintf(full, sizeof full, "%sE%c%03d", buf, x < 0 ? '-' : '+', std::abs(x));
    right_justify(out, 25, full);
  }
  return out;
}

TraceLine& TraceLine::text(const char* s) {
  if (started_ && !last_text_) line_.push_back(' ');
  line_ += s;
  started_ = true;
  last_text_ = true;
  return *this;
}

TraceLine& TraceLine::num(int v) {
  if (started_) line_.push_back(' ');
  put_int(line_, 11, v);
  started_ = true;
  last_text_ = false;
  return *this;
}

TraceLine& TraceLine::num(double v) {
  if (started_) line_.push_back(' ');
  line_ += free_real(v);
  started_ = true;
  last_text_ = false;
  return *this;
}

TraceLine& TraceLine::nums(const int* v, int n) {
  for (int i = 0; i < n; ++i) num(v[i]);
  return *this;
}

TraceLine& TraceLine::nums(const double* v, int n) {
  for (int i = 0; i < n; ++i) num(v[i]);
  return *this;
}

void TraceLine::print() const { kest::msg(line_.c_str()); }

}  // namespace kest::otext
