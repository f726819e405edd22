// A host program whose locale writes numbers with a decimal comma, as one
// that calls setlocale(LC_ALL, "") in a German or French environment does.
// The locale is compiled here from a four-line definition (only its
// LC_NUMERIC category differs from the C locale) with the C library's
// localedef, into a fresh folder, and set for the whole test process while
// the guard lives; its end puts back the locale, LOCPATH and the folder as
// they were, so that later tests in the same program see the C locale.
#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace kest_test {

class DecimalCommaLocale {
 public:
  // Sets LC_ALL to the decimal-comma locale; active() is false (the locale
  // stays as it was) when it cannot be built or set on this machine.
  DecimalCommaLocale() {
    const char* before = std::setlocale(LC_ALL, nullptr);
    if (before != nullptr) locale_ = before;
    if (const char* p = std::getenv("LOCPATH")) locpath_ = p;
    char tmpl[] = "/tmp/kest_locale_XXXXXX";
    if (mkdtemp(tmpl) == nullptr) return;
    dir_ = tmpl;
    const std::string def = dir_ + "/comma.def";
    std::ofstream(def) << "LC_NUMERIC\n"
                          "decimal_point \"<U002C>\"\n"
                          "thousands_sep \"\"\n"
                          "grouping -1\n"
                          "END LC_NUMERIC\n";
    // -c: the categories the definition leaves out are taken as in POSIX.
    const std::string cmd = "localedef -c -i " + def + " " + dir_ + "/comma >/dev/null 2>&1";
    if (std::system(cmd.c_str()) == -1) return;
    if (setenv("LOCPATH", dir_.c_str(), 1) != 0) return;
    if (std::setlocale(LC_ALL, "comma") == nullptr) return;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    active_ = std::string(probe) == "2,5";
  }
  ~DecimalCommaLocale() {
    std::setlocale(LC_ALL, locale_.c_str());
    if (locpath_)
      setenv("LOCPATH", locpath_->c_str(), 1);
    else
      unsetenv("LOCPATH");
    if (!dir_.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(dir_, ec);
    }
  }
  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

  bool active() const { return active_; }

 private:
  std::string locale_ = "C";            // LC_ALL before
  std::optional<std::string> locpath_;  // LOCPATH before, if set
  std::string dir_;                     // the folder of the compiled locale
  bool active_ = false;
};

}  // namespace kest_test
