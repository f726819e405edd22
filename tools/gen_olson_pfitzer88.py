#!/usr/bin/env python3
"""Compile the three Olson-Pfitzer dynamic-model coefficient tables into C++.

Reads data/olson_pfitzer/op88_{magnetopause,tail,ring}.txt (lines "position
value", positions numbered from 1) and writes
extfield/olson_pfitzer88_tables.hpp with one constexpr array per table, the
value of position p at index p - 1. Values are copied as written (digit for
digit), so the compiler rounds the same decimal text to double as any reader.

The generator refuses a table of the wrong size or with a position out of
sequence.

Usage: python3 tools/gen_olson_pfitzer88.py   (from the project root)
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "olson_pfitzer"
OUT = ROOT / "extfield" / "olson_pfitzer88_tables.hpp"

TABLES = [
    ("magnetopause", 162, "magnetopause currents: Bz polynomial (1-45), Bz / (15 - x) (46-54),\n"
                          "// Bz / (30 - x)^2 (55-63), By polynomial (64-108), Bx polynomial (109-153),\n"
                          "// Bx / ((x - 2)^2 + 10) (154-162)"),
    ("tail", 121, "tail current: Bz (1-38), By (40-55), Bx (58-88 with exp(x/15), 89-119\n"
                  "// with the tanh factor); the other positions take no part in the field"),
    ("ring", 85, "ring current: Bz (1-38), By (40-55), Bx (57-84); positions 39, 56 and 85\n"
                 "// take no part in the field"),
]


def read_table(name, size):
    values = []
    for line in (DATA / f"op88_{name}.txt").read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        pos, value = line.split()
        if int(pos) != len(values) + 1:
            sys.exit(f"op88_{name}.txt: position {pos} out of sequence")
        float(value)
        values.append(value)
    if len(values) != size:
        sys.exit(f"op88_{name}.txt: {len(values)} values, expected {size}")
    return values


def main():
    lines = [
        "// generated from data/olson_pfitzer/op88_*.txt by tools/gen_olson_pfitzer88.py; do not edit",
        "//",
        "// Olson-Pfitzer dynamic magnetospheric field model (1988), coefficient tables",
        "// of the three current systems in SM coordinates (nT per Earth radius to the",
        "// power of each monomial). Index p - 1 holds position p.",
        "#ifndef KEST_EXTFIELD_OLSON_PFITZER88_TABLES_HPP",
        "#define KEST_EXTFIELD_OLSON_PFITZER88_TABLES_HPP",
        "",
        "namespace kest::op88 {",
        "",
    ]
    for name, size, what in TABLES:
        values = read_table(name, size)
        lines.append(f"// {what}; source file op88_{name}.txt")
        lines.append(f"inline constexpr double {name}[{size}] = {{")
        for i in range(0, size, 4):
            lines.append("    " + ", ".join(values[i:i + 4]) + ",")
        lines.append("};")
        lines.append("")
    lines += ["}  // namespace kest::op88", "", "#endif", ""]
    OUT.write_text("\n".join(lines))


if __name__ == "__main__":
    main()
