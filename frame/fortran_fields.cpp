// Fixed-format record fields (see fortran_fields.hpp).
#include "frame/fortran_fields.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kest::fio {
namespace {

std::string strip_blanks(std::string_view field) {
  std::string s;
  for (char c : field)
    if (c != ' ' && c != '\t') s.push_back(c);
  return s;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

void put(char* out, int width, const char* text) {
  const int len = static_cast<int>(std::strlen(text));
  if (len > width) {
    std::memset(out, '*', width);
  } else {
    std::memset(out, ' ', width - len);
    std::memcpy(out + (width - len), text, len);
  }
  out[width] = '\0';
}

// A value that is not finite is written as NaN, Infinity or -Infinity,
// right-justified (asterisks when even that does not fit).
bool put_nonfinite(char* out, int width, double value) {
  if (std::isnan(value)) {
    put(out, width, "NaN");
    return true;
  }
  if (std::isinf(value)) {
    put(out, width, value < 0 ? "-Infinity" : "Infinity");
    return true;
  }
  return false;
}

}  // namespace

bool read_int(std::string_view field, int* value) {
  const std::string s = strip_blanks(field);
  std::size_t i = 0;
  if (s.empty()) {
    *value = 0;
    return true;
  }
  bool neg = false;
  if (s[i] == '+' || s[i] == '-') neg = s[i++] == '-';
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

bool read_real(std::string_view field, int decimals, double* value) {
  const std::string s = strip_blanks(field);
  if (s.empty()) {
    *value = 0.0;
    return true;
  }
  std::size_t i = 0;
  std::string mant;
  if (s[i] == '+' || s[i] == '-') mant.push_back(s[i++]);
  bool point = false, digits = false;
  for (; i < s.size(); ++i) {
    if (is_digit(s[i])) {
      digits = true;
      mant.push_back(s[i]);
    } else if (s[i] == '.' && !point) {
      point = true;
      mant.push_back('.');
    } else {
      break;
    }
  }
  if (!digits) return false;
  long exponent = 0;
  if (i < s.size()) {
    if (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd' || s[i] == 'Q' || s[i] == 'q')
      ++i;
    else if (s[i] != '+' && s[i] != '-')
      return false;
    if (i >= s.size()) return false;
    std::size_t j = i;
    if (s[j] == '+' || s[j] == '-') ++j;
    if (j >= s.size()) return false;
    for (std::size_t k = j; k < s.size(); ++k)
      if (!is_digit(s[k])) return false;
    exponent = std::strtol(s.c_str() + i, nullptr, 10);
  }
  if (!point) exponent -= decimals;
  const std::string text = mant + "e" + std::to_string(exponent);
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end == nullptr || *end != '\0' || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool read_free_real(std::string_view text, double* value) {
  std::size_t b = 0;
  while (b < text.size() && (text[b] == ' ' || text[b] == '\t')) ++b;
  std::size_t e = b;
  while (e < text.size() && text[e] != ' ' && text[e] != '\t' && text[e] != ',' && text[e] != '/') ++e;
  if (e == b) return false;
  std::string item(text.substr(b, e - b));
  for (char& c : item) {
    if (c == 'D' || c == 'd') c = 'E';
    if (!(is_digit(c) || c == '.' || c == '+' || c == '-' || c == 'E' || c == 'e')) return false;
  }
  char* end = nullptr;
  const double v = std::strtod(item.c_str(), &end);
  if (end == item.c_str() || *end != '\0' || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

void write_int(char* out, int width, int value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d", value);
  put(out, width, buf);
}

void write_fixed(char* out, int width, int decimals, double value) {
  char buf[400];
  if (put_nonfinite(out, width, value)) return;
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  put(out, width, buf);
}

void write_sci(char* out, int width, int decimals, double value) {
  char buf[64];
  if (put_nonfinite(out, width, value)) return;
  // 1P scale: one digit before the point, as %E writes it. The exponent
  // takes the form E+dd; a three-digit exponent drops the letter (d.ddd+ddd).
  std::snprintf(buf, sizeof buf, "%.*E", decimals, value);
  char* e = std::strchr(buf, 'E');
  if (e != nullptr && std::strlen(e + 2) == 3) std::memmove(e, e + 1, std::strlen(e + 1) + 1);
  put(out, width, buf);
}

}  // namespace kest::fio
