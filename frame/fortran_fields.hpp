// Fixed-format record fields, as every text file of the system uses them (the
// batch files, the two-line element files, the CRRES tables): the reading of
// Iw and Fw.d / Dw.d input fields and the writing of Iw, Fw.d and 1PEw.d
// output fields, with the conventions of standard formatted input and output
// (blanks in a numeric input field are ignored, an all-blank field reads as
// 0, an input field without a decimal point takes d implied decimals, an
// output that does not fit its width is written as w asterisks).
//
// The readers work in fixed buffers (nothing is allocated) and refuse a field
// of more than 96 non-blank characters.
#ifndef KEST_FRAME_FORTRAN_FIELDS_HPP
#define KEST_FRAME_FORTRAN_FIELDS_HPP

#include <string_view>

namespace kest::fio {

// Reads an Iw field. Returns false for anything but an optional sign and at
// least one digit (blanks ignored; an all-blank field reads as 0), and for a
// value beyond +-2147483647.
bool read_int(std::string_view field, int* value);

// Reads an Fw.d (or Dw.d) field: optional sign, digits with or without a
// decimal point, optional exponent (a letter E, D or Q followed by an
// optionally signed integer, or a signed integer alone). Without a decimal
// point the digits carry d implied decimals. Returns false on any other
// character, on a sign or point without a digit, and on a value beyond the
// range of a double (an underflow reads as 0).
bool read_real(std::string_view field, int decimals, double* value);

// Reads a list-directed (free-form) real: the first item of the text,
// delimited by a blank, a comma or a slash (D taken as E in its exponent).
// Returns false when there is no item or it is not a finite number.
bool read_free_real(std::string_view text, double* value);

// Writes an Iw, Fw.d or 1PEw.d field at out: w characters, right-justified,
// then a NUL, so out must have room for w + 1. A value that is not finite is
// written as NaN, Infinity or -Infinity.
void write_int(char* out, int width, int value);
void write_fixed(char* out, int width, int decimals, double value);
void write_sci(char* out, int width, int decimals, double value);

}  // namespace kest::fio

#endif
