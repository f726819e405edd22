// A host program whose locale writes numbers with a decimal comma, as one
// that calls setlocale(LC_ALL, "") in a German or French environment does.
// The locale is compiled here from a four-line definition (only its
// LC_NUMERIC category differs from the C locale) with the C library's
// localedef, into a fresh folder, and set for the whole test process.
#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace kest_test {

// Sets LC_ALL to the decimal-comma locale. Returns false (the locale stays
// as it was) when it cannot be built or set on this machine.
inline bool use_decimal_comma_locale() {
  char tmpl[] = "/tmp/kest_locale_XXXXXX";
  const char* dir = mkdtemp(tmpl);
  if (dir == nullptr) return false;
  const std::string def = std::string(dir) + "/comma.def";
  std::ofstream(def) << "LC_NUMERIC\n"
                        "decimal_point \"<U002C>\"\n"
                        "thousands_sep \"\"\n"
                        "grouping -1\n"
                        "END LC_NUMERIC\n";
  // -c: the categories the definition leaves out are taken as in POSIX.
  const std::string cmd = "localedef -c -i " + def + " " + dir + "/comma >/dev/null 2>&1";
  if (std::system(cmd.c_str()) == -1) return false;
  if (setenv("LOCPATH", dir, 1) != 0) return false;
  if (std::setlocale(LC_ALL, "comma") == nullptr) return false;
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 2.5);
  return std::string(probe) == "2,5";
}

}  // namespace kest_test
