#include "frame/c_numbers.hpp"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace kest::fio {
namespace {

// The C locale as a locale object. For "C" the C library hands back its own
// static object, so nothing is allocated. Should it ever return none, the
// wrappers fall back to the process's locale (the plain C calls).
locale_t c_locale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

}  // namespace

double c_strtod(const char* text, char** end) {
  const locale_t loc = c_locale();
  return loc != static_cast<locale_t>(nullptr) ? strtod_l(text, end, loc) : std::strtod(text, end);
}

int c_snprintf(char* out, std::size_t size, const char* format, ...) {
  const locale_t loc = c_locale();
  // uselocale switches the calling thread only, and returns what it had
  // (possibly LC_GLOBAL_LOCALE), which is put back as it was.
  const locale_t before = loc != static_cast<locale_t>(nullptr) ? uselocale(loc) : static_cast<locale_t>(nullptr);
  std::va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(out, size, format, args);
  va_end(args);
  if (before != static_cast<locale_t>(nullptr)) uselocale(before);
  return n;
}

}  // namespace kest::fio
