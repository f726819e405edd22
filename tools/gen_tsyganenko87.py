#!/usr/bin/env python3
"""Compile the Tsyganenko 1987 parameter sets into C++.

Reads data/tsyganenko/t87_long_params.txt (one row per Kp class, A1..A32
along the row) and writes extfield/tsyganenko87_tables.hpp with one constexpr
array [class][parameter]. Values are copied as written (digit for digit), so
the compiler rounds the same decimal text to double as any reader.

The generator refuses a table of the wrong shape.

Usage: python3 tools/gen_tsyganenko87.py   (from the project root)
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "tsyganenko"
OUT = ROOT / "extfield" / "tsyganenko87_tables.hpp"


def read_rows(name, nclass, npar):
    rows = [line.split() for line in (DATA / name).read_text().splitlines()
            if line.strip() and not line.startswith("#")]
    if len(rows) != nclass or any(len(r) != npar for r in rows):
        sys.exit(f"{name}: expected {nclass} rows of {npar} values")
    for r in rows:
        for v in r:
            float(v)
    return rows


def main():
    rows = read_rows("t87_long_params.txt", 6, 32)
    lines = [
        "// generated from data/tsyganenko/t87_long_params.txt by tools/gen_tsyganenko87.py; do not edit",
        "//",
        "// Tsyganenko 1987 long-tail model: parameter sets A1..A32, one row per Kp",
        "// class 1..6. A1-A22 closure coefficients (nT), A23-A25 tail mode",
        "// amplitudes B0, B1, B2, A26 ring-current amplitude, A27 its scale length",
        "// Rc, A28 tail abscissa X0, A29 sheet thickness D, A30 dawn-dusk scale DY,",
        "// A31 hinging distance RH, A32 e-folding length XE (lengths in Earth radii).",
        "#ifndef KEST_EXTFIELD_TSYGANENKO87_TABLES_HPP",
        "#define KEST_EXTFIELD_TSYGANENKO87_TABLES_HPP",
        "",
        "namespace kest::t87 {",
        "",
        "inline constexpr double long_params[6][32] = {",
    ]
    for r in rows:
        lines.append("    {" + ", ".join(r) + "},")
    lines += ["};", "", "}  // namespace kest::t87", "", "#endif", ""]
    OUT.write_text("\n".join(lines))


if __name__ == "__main__":
    main()
