// Text forms of the orbit subsystem: the fixed-point output fields of the
// propagated-orbit file and the trace lines that the element conversions
// print. (The fields of the two-line element lines are read with
// frame/fortran_fields.hpp.)
#ifndef KEST_ORBIT_ORBIT_TEXT_HPP
#define KEST_ORBIT_ORBIT_TEXT_HPP

#include <string>
#include <string_view>

namespace kest::otext {

// Appends an Iw field (Iw.m with leading zeros when min_digits > 0) or an
// Fw.d field, w characters exactly; a value that does not fit is w asterisks.
void put_int(std::string& out, int width, int value, int min_digits = 0);
void put_fixed(std::string& out, int width, int decimals, double value);

// A trace line in the free (list-directed) form: texts as they stand, each
// number in the field of its type (integers 11 wide, doubles 25 wide with 17
// significant digits, fixed point for magnitudes from 0.1 below 1e17 and
// exponent form otherwise), numbers separated from what precedes them by a
// blank. print() hands the line to the library's message writer, which adds
// the record's leading blank.
class TraceLine {
 public:
  TraceLine& text(const char* s);
  TraceLine& num(int v);
  TraceLine& num(double v);
  TraceLine& nums(const int* v, int n);
  TraceLine& nums(const double* v, int n);
  const std::string& str() const { return line_; }
  void print() const;

 private:
  std::string line_;
  bool started_ = false;
  bool last_text_ = false;
};

// The free-form field of one double (25 characters, without its separator).
std::string free_real(double v);

}  // namespace kest::otext

#endif
