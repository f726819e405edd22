// Numbers as text in the C locale, whatever locale the calling program set.
//
// Every file the system reads or writes (element files, the CRRES tables, the
// batch files and the result files) and every message it prints writes its
// numbers with a decimal point. The C library's strtod and printf follow the
// LC_NUMERIC category of the process, which a host program may set to a
// locale with a decimal comma (a call of setlocale(LC_ALL, "") with a German
// or French environment): a valid element file would then be refused and a
// result file written with commas. These two wrappers read and write in the C
// locale instead; in a process left in the C locale they give the very same
// characters and values as strtod and snprintf.
//
// State: none. The C locale object is the C library's own static one; the
//        calling thread's locale is switched only for the duration of one
//        call and restored before it returns.
#ifndef KEST_FRAME_C_NUMBERS_HPP
#define KEST_FRAME_C_NUMBERS_HPP

#include <cstddef>

namespace kest::fio {

// strtod, with the C locale's decimal point.
double c_strtod(const char* text, char** end);

// snprintf, with the C locale's decimal point (and no digit grouping).
int c_snprintf(char* out, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace kest::fio

#endif
