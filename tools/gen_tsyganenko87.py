#!/usr/bin/env python3
"""Compile the Tsyganenko 1987 parameter sets into C++.

Reads data/tsyganenko/t87_short_params.txt (8 Kp classes, A1..A24 along the
row) and data/tsyganenko/t87_long_params.txt (6 Kp classes, A1..A32 along the
row) and writes extfield/tsyganenko87_tables.hpp with one constexpr array
[class][parameter] per model. Values are copied as written (digit for digit),
so the compiler rounds the same decimal text to double as any reader.

The generator refuses a table of the wrong shape or a value that is not a
finite decimal number.

Usage: python3 tools/gen_tsyganenko87.py   (from the project root)
"""
import math
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
    for i, r in enumerate(rows, 1):
        for j, v in enumerate(r, 1):
            try:
                ok = math.isfinite(float(v))
            except ValueError:
                ok = False
            if not ok:
                sys.exit(f"{name}: class {i}, A{j}: not a finite number: {v!r}")
    return rows


def table(name, rows):
    out = [f"inline constexpr double {name}[{len(rows)}][{len(rows[0])}] = {{"]
    for r in rows:
        out.append("    {" + ", ".join(r) + "},")
    out.append("};")
    return out


def main():
    short = read_rows("t87_short_params.txt", 8, 24)
    long_ = read_rows("t87_long_params.txt", 6, 32)
    lines = [
        "// generated from data/tsyganenko/t87_short_params.txt and t87_long_params.txt",
        "// by tools/gen_tsyganenko87.py; do not edit",
        "//",
        "// Tsyganenko 1987 models: parameter sets, one row per Kp class.",
        "// Short tail, classes 1..8, A1..A24: A1-A14 closure coefficients (nT),",
        "// A15-A16 tail mode amplitudes B0, B1, A17 ring-current amplitude, A18 its",
        "// scale length Rc, A19 tail abscissa X0, A20 sheet thickness D, A21",
        "// dawn-dusk scale DY, A22 hinging distance RH, A23 start XN of the mode-1",
        "// profile, A24 e-folding length XE.",
        "// Long tail, classes 1..6, A1..A32: A1-A22 closure coefficients (nT),",
        "// A23-A25 tail mode amplitudes B0, B1, B2, A26 ring-current amplitude, A27",
        "// its scale length Rc, A28 tail abscissa X0, A29 sheet thickness D, A30",
        "// dawn-dusk scale DY, A31 hinging distance RH, A32 e-folding length XE.",
        "// Lengths in Earth radii.",
        "#ifndef KEST_EXTFIELD_TSYGANENKO87_TABLES_HPP",
        "#define KEST_EXTFIELD_TSYGANENKO87_TABLES_HPP",
        "",
        "namespace kest::t87 {",
        "",
    ]
    lines += table("short_params", short)
    lines.append("")
    lines += table("long_params", long_)
    lines += ["", "}  // namespace kest::t87", "", "#endif", ""]
    OUT.write_text("\n".join(lines))


if __name__ == "__main__":
    main()
