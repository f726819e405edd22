#!/usr/bin/env python3
"""Compile the Tsyganenko 1996 coefficient tables into C++.

Reads data/tsyganenko/t96_*.txt and writes extfield/tsyganenko96_tables.hpp
with one constexpr array per table. Values are copied as written in the data
files (digit for digit), so the compiler rounds the same decimal text to
double as any reader of the tables. The one exception is entry 7 of the Bx
Region-2 sheet table: the published model writes it as a single-precision
literal among double ones, so it enters rounded to single precision, and the
generator writes that rounded value (exactly representable) instead.

The generator refuses a table with the wrong number of values.

Usage: python3 tools/gen_t96.py   (from anywhere)
"""
import pathlib
import struct
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "tsyganenko"
OUT = ROOT / "extfield" / "tsyganenko96_tables.hpp"

# (file stem, C++ name, count, comment)
TABLES = [
    ("t96_shield_ring_current", "shield_ring_current", 48,
     "ring-current shielding: a(1..36) amplitudes, a(37..48) scales p, r, q, s"),
    ("t96_shield_tail_mode2", "shield_tail_mode2", 48,
     "tail mode 2 shielding: same layout"),
    ("t96_shield_tail_mode3", "shield_tail_mode3", 48,
     "tail mode 3 shielding: same layout"),
    ("t96_r1_sheet_coef", "r1_sheet_coef", 79,
     "Region-1 plasma-sheet expansion: coefficient of basis column i"),
    ("t96_r1_shield_par", "r1_shield_par", 80,
     "Region-1 shielding: 64 amplitudes, then scales p, r, q, s (4 each)"),
    ("t96_r2_sheet_bx_coef", "r2_sheet_bx_coef", 80,
     "Region-2 sheet, Bx: n = 16(j-1) + 4(h-1) + m"),
    ("t96_r2_sheet_by_coef", "r2_sheet_by_coef", 80,
     "Region-2 sheet, By: same index order"),
    ("t96_r2_sheet_bz_coef", "r2_sheet_bz_coef", 80,
     "Region-2 sheet, Bz: same index order"),
]

# Entries (file stem, 1-based index) published as single-precision literals
# that enter the model rounded to single precision.
SINGLE = {("t96_r2_sheet_bx_coef", 7)}


def to_single(text):
    """Nearest single-precision number to the decimal text, as a double literal."""
    value = struct.unpack("f", struct.pack("f", float(text)))[0]
    return repr(value)


def read_values(stem):
    values = []
    for line in (DATA / f"{stem}.txt").read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        (text,) = line.split()
        float(text)  # refuses anything that is not a number
        values.append(text)
    return values


def main():
    out = [
        "// generated from data/tsyganenko/t96_*.txt by tools/gen_t96.py; do not edit",
        "// Tsyganenko 1996 (T96_01) coefficient tables; index 0 holds entry 1.",
        "#ifndef KEST_EXTFIELD_TSYGANENKO96_TABLES_HPP",
        "#define KEST_EXTFIELD_TSYGANENKO96_TABLES_HPP",
        "",
        "namespace kest::t96 {",
        "",
    ]
    for stem, name, count, comment in TABLES:
        values = read_values(stem)
        if len(values) != count:
            sys.exit(f"{stem}: {len(values)} values, expected {count}")
        lines = []
        for i, text in enumerate(values, start=1):
            if (stem, i) in SINGLE:
                lines.append(f"    {to_single(text)},  // {text} rounded to single precision")
            else:
                lines.append(f"    {text},")
        out.append(f"// {comment} (data/tsyganenko/{stem}.txt)")
        out.append(f"inline constexpr double {name}[{count}] = {{")
        out.extend(lines)
        out.append("};")
        out.append("")
    out.append("}  // namespace kest::t96")
    out.append("")
    out.append("#endif")
    OUT.write_text("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
