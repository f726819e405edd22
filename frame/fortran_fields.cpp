// Fixed-format record fields (see fortran_fields.hpp).
#include "frame/fortran_fields.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame/c_numbers.hpp"

namespace kest::fio {
namespace {

// Longest numeric field these readers take (no field of the system's files
// comes near it). The readers work in fixed buffers: nothing is allocated.
constexpr std::size_t kMaxField = 96;

// The characters of a field with its blanks removed, NUL-terminated in buf.
// Returns the count, or kMaxField + 1 when the field does not fit.
std::size_t strip_blanks(std::string_view field, char (&buf)[kMaxField + 1]) {
  std::size_t n = 0;
  for (char c : field) {
    if (c == ' ' || c == '\t') continue;
    if (n == kMaxField) return kMaxField + 1;
    buf[n++] = c;
  }
  buf[n] = '\0';
  return n;
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
  char s[kMaxField + 1];
  const std::size_t n = strip_blanks(field, s);
  if (n > kMaxField) return false;
  if (n == 0) {
    *value = 0;
    return true;
  }
  std::size_t i = 0;
  bool neg = false;
  if (s[i] == '+' || s[i] == '-') neg = s[i++] == '-';
  if (i == n) return false;
  long long v = 0;
  for (; i < n; ++i) {
    if (!is_digit(s[i])) return false;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483647LL) return false;
  }
  *value = static_cast<int>(neg ? -v : v);
  return true;
}

bool read_real(std::string_view field, int decimals, double* value) {
  char s[kMaxField + 1];
  const std::size_t n = strip_blanks(field, s);
  if (n > kMaxField) return false;
  if (n == 0) {
    *value = 0.0;
    return true;
  }
  // The mantissa is copied as it stands; the exponent (with the implied
  // decimals) is appended in C form, and strtod reads the whole.
  char text[kMaxField + 32];
  std::size_t m = 0, i = 0;
  if (s[i] == '+' || s[i] == '-') text[m++] = s[i++];
  bool point = false, digits = false;
  for (; i < n; ++i) {
    if (is_digit(s[i])) {
      digits = true;
      text[m++] = s[i];
    } else if (s[i] == '.' && !point) {
      point = true;
      text[m++] = '.';
    } else {
      break;
    }
  }
  if (!digits) return false;
  long exponent = 0;
  if (i < n) {
    if (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd' || s[i] == 'Q' || s[i] == 'q')
      ++i;
    else if (s[i] != '+' && s[i] != '-')
      return false;
    if (i >= n) return false;
    std::size_t j = i;
    if (s[j] == '+' || s[j] == '-') ++j;
    if (j >= n) return false;
    for (std::size_t k = j; k < n; ++k)
      if (!is_digit(s[k])) return false;
    exponent = std::strtol(s + i, nullptr, 10);
    // strtol saturates a long digit string at LONG_MIN/LONG_MAX, where taking
    // off the implied decimals would overflow. Any exponent beyond 99999
    // already carries a mantissa of at most kMaxField digits past the range
    // of a double, so the clamp changes no value read.
    exponent = std::clamp(exponent, -99999L, 99999L);
  }
  if (!point) exponent -= decimals;
  std::snprintf(text + m, sizeof text - m, "e%ld", exponent);
  char* end = nullptr;
  const double v = c_strtod(text, &end);
  if (end == nullptr || *end != '\0' || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool read_free_real(std::string_view text, double* value) {
  std::size_t b = 0;
  while (b < text.size() && (text[b] == ' ' || text[b] == '\t')) ++b;
  std::size_t e = b;
  while (e < text.size() && text[e] != ' ' && text[e] != '\t' && text[e] != ',' && text[e] != '/') ++e;
  if (e == b || e - b > kMaxField) return false;
  char item[kMaxField + 1];
  std::size_t n = 0;
  for (std::size_t k = b; k < e; ++k) {
    char c = text[k];
    if (c == 'D' || c == 'd') c = 'E';
    if (!(is_digit(c) || c == '.' || c == '+' || c == '-' || c == 'E' || c == 'e')) return false;
    item[n++] = c;
  }
  item[n] = '\0';
  char* end = nullptr;
  const double v = c_strtod(item, &end);
  if (end == item || *end != '\0' || !std::isfinite(v)) return false;
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
  c_snprintf(buf, sizeof buf, "%.*f", decimals, value);
  put(out, width, buf);
}

void write_sci(char* out, int width, int decimals, double value) {
  char buf[64];
  if (put_nonfinite(out, width, value)) return;
  // 1P scale: one digit before the point, as %E writes it. The exponent
  // takes the form E+dd; a three-digit exponent drops the letter (d.ddd+ddd).
  c_snprintf(buf, sizeof buf, "%.*E", decimals, value);
  char* e = std::strchr(buf, 'E');
  if (e != nullptr && std::strlen(e + 2) == 3) std::memmove(e, e + 1, std::strlen(e + 1) + 1);
  put(out, width, buf);
}

}  // namespace kest::fio
