// Library-wide conventions: the fill value, library messages, process stops.
//
// Every message the library prints and every stop of the process goes through
// the few routines declared here, so there is one place to read the texts and
// one breakpoint to catch them.
#ifndef KEST_FRAME_CONVENTIONS_HPP
#define KEST_FRAME_CONVENTIONS_HPP

#include <cmath>
#include <initializer_list>

namespace kest {

// Marks every output left without a computed value (positions, fields, L
// values, fluxes). Same value as KEST_FILL of the public header.
inline constexpr double baddata = -1.0e31;

// True for an input that holds a number: finite and not the fill value, which
// an earlier stage (an orbit row after a propagation error, a failed
// conversion) leaves where it had none and which names no time or place.
inline bool is_value(double v) { return std::isfinite(v) && v != baddata; }

// Writes one message line on standard output in list-directed form: one
// leading blank, then the text, then a newline. An empty text gives an empty
// line, as a list-directed write of nothing does.
void msg(const char* text);

// Writes several message lines, each as msg() does.
void msg_lines(std::initializer_list<const char*> lines);

// Stops the process after writing the given lines on standard output (each as
// msg() does). Stops are failures: the exit status is 1.
[[noreturn]] void stop_stdout(std::initializer_list<const char*> lines);

// Stops the process after writing the given lines on standard error, verbatim
// (no leading blank), exit status 1.
[[noreturn]] void stop_stderr(std::initializer_list<const char*> lines);

}  // namespace kest

#endif
