#!/usr/bin/env python3
"""Compile the Tsyganenko 1989 (T89c) parameter sets into C++.

Reads data/tsyganenko/t89c_params.txt (one row per Kp class, A1..A30
along the row) and writes extfield/tsyganenko89_tables.hpp with one constexpr
array [class][parameter]. Values are copied as written (digit for digit), so
the compiler rounds the same decimal text to double as any reader.

The generator refuses a table of the wrong shape.

Usage: python3 tools/gen_tsyganenko89.py   (from the project root)
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "tsyganenko"
OUT = ROOT / "extfield" / "tsyganenko89_tables.hpp"


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
    rows = read_rows("t89c_params.txt", 7, 30)
    lines = [
        "// generated from data/tsyganenko/t89c_params.txt by tools/gen_tsyganenko89.py; do not edit",
        "//",
        "// Tsyganenko 1989 model, T89c release: parameter sets A1..A30, one row per",
        "// Kp class 1..7. A1-A17 amplitudes of the basis fields (nT), A18-A30 shape",
        "// parameters (Earth radii, but A26 per Earth radius and A27 in Earth",
        "// radii^(1/2); see extfield/tsyganenko89.cpp).",
        "#ifndef KEST_EXTFIELD_TSYGANENKO89_TABLES_HPP",
        "#define KEST_EXTFIELD_TSYGANENKO89_TABLES_HPP",
        "",
        "namespace kest::t89 {",
        "",
        "inline constexpr double params[7][30] = {",
    ]
    for r in rows:
        lines.append("    {" + ", ".join(r) + "},")
    lines += ["};", "", "}  // namespace kest::t89", "", "#endif", ""]
    OUT.write_text("\n".join(lines))


if __name__ == "__main__":
    main()
