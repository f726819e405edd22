// Text forms of the orbit subsystem (see orbit_text.hpp).
#include "orbit/orbit_text.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame/conventions.hpp"

namespace kest::otext {

namespace {

// The characters of a field with its blanks removed.
std::string squeeze(std::string_view field) {
  std::string s;
  for (char c : field)
    if (c != ' ') s.push_back(c);
  return s;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

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

bool read_int(std::string_view field, int* value) {
  const std::string s = squeeze(field);
  if (s.empty()) {
    *value = 0;
    return true;
  }
  size_t i = 0;
  bool neg = false;
  if (s[0] == '+' || s[0] == '-') {
    neg = s[0] == '-';
    i = 1;
  }
  if (i == s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (!is_digit(s[i])) return false;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483647LL) return false;
  }
  *value = static_cast<int>(neg ? -v : v);
  return true;
}

bool read_real(std::string_view field, int implied, double* value) {
  const std::string s = squeeze(field);
  if (s.empty()) {
    *value = 0.0;
    return true;
  }
  size_t i = 0;
  std::string mant;
  if (s[0] == '+' || s[0] == '-') {
    if (s[0] == '-') mant.push_back('-');
    i = 1;
  }
  bool point = false;
  int digits = 0;
  std::string body;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (is_digit(c)) {
      body.push_back(c);
      ++digits;
    } else if (c == '.' && !point) {
      body.push_back(c);
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  long expo = 0;
  if (i < s.size()) {
    // Exponent: a letter E or D, or directly a sign.
    if (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd') ++i;
    else if (s[i] != '+' && s[i] != '-') return false;
    int e = 0;
    if (i >= s.size() || !read_int(std::string_view(s).substr(i), &e)) return false;
    expo = e;
  }
  if (!point) expo -= implied;
  mant += body;
  char buf[64];
  std::snprintf(buf, sizeof buf, "e%ld", expo);
  mant += buf;
  *value = std::strtod(mant.c_str(), nullptr);
  return true;
}

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
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
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
  std::snprintf(buf, sizeof buf, "%.16e", v);
  const int x = std::atoi(std::strchr(buf, 'e') + 1);
  if (v == 0.0 || (x >= -1 && x <= 16)) {
    const int dec = v == 0.0 ? 16 : 16 - x;
    std::snprintf(buf, sizeof buf, "%.*f", dec, v);
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
