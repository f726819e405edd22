#!/usr/bin/env python3
"""Compile the Tsyganenko 2001/2004 coefficient tables into C++.

Reads the t01_*.txt and t04_*.txt tables of data/tsyganenko/ and writes
extfield/tsyganenko01_tables.hpp with one constexpr array per table, indexed
from 0 (entry k of a table numbered from 1 is element k-1). Values are copied
digit for digit from the data files, so the compiler rounds the same decimal
text to double as any reader of the tables.

The generator refuses a table whose count differs from the model's layout.

Usage: python3 tools/gen_t01_t04.py   (from any directory)
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "tsyganenko"
OUT = ROOT / "extfield" / "tsyganenko01_tables.hpp"

# (file stem, C++ name, count, comment)
TABLES = [
    ("t01_coefficients", "t01_coef", 43, "T01_01 coefficient set A(1..43), original release"),
    ("t04_coefficients", "t04_coef", 69, "T04_s coefficient set A(1..69), original release"),
    ("t01_shlcar3x3", "shlcar3x3", 50, "magnetopause shielding of the dipole"),
    ("t01_tail_shield_1", "tail_shield_1", 60, "tail mode 1 shielding"),
    ("t01_tail_shield_2", "tail_shield_2", 60, "tail mode 2 shielding"),
    ("t01_birk_cone_r1_m1", "cone_r1_m1", 31, "Birkeland cone set, Region 1 mode 1"),
    ("t01_birk_cone_r1_m2", "cone_r1_m2", 31, "Birkeland cone set, Region 1 mode 2"),
    ("t01_birk_cone_r2_m1", "cone_r2_m1", 31, "Birkeland cone set, Region 2 mode 1"),
    ("t01_birk_cone_r2_m2", "cone_r2_m2", 31, "Birkeland cone set, Region 2 mode 2"),
    ("t01_birk_shield_r1_m1", "birk_shield_r1_m1", 86, "Birkeland shielding, Region 1 mode 1"),
    ("t01_birk_shield_r1_m2", "birk_shield_r1_m2", 86, "Birkeland shielding, Region 1 mode 2"),
    ("t01_birk_shield_r2_m1", "birk_shield_r2_m1", 86, "Birkeland shielding, Region 2 mode 1"),
    ("t01_birk_shield_r2_m2", "birk_shield_r2_m2", 86, "Birkeland shielding, Region 2 mode 2"),
    ("t01_shield_src_table", "shield_src_table", 86,
     "symmetric ring-current shielding, original release"),
    ("t01_shield_prc_table", "shield_prc_table", 86, "partial ring-current shielding"),
]

NUMBER = re.compile(r"^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$")


def read_table(stem, count):
    values = []
    for line in (DATA / f"{stem}.txt").read_text().splitlines():
        s = line.strip()
        if not s or s.startswith("#"):
            continue
        for tok in s.split():
            if not NUMBER.match(tok):
                sys.exit(f"{stem}: not a decimal number: {tok!r}")
            values.append(tok)
    if len(values) != count:
        sys.exit(f"{stem}: {len(values)} values, expected {count}")
    return values


def literal(tok):
    # C++ needs a digit before a bare decimal point only for readability.
    if tok.startswith("."):
        tok = "0" + tok
    elif tok.startswith("-."):
        tok = "-0" + tok[1:]
    return tok


def main():
    out = [
        "// generated from data/tsyganenko/t01_*.txt and t04_*.txt by tools/gen_t01_t04.py; do not edit",
        "// Coefficient tables of the Tsyganenko 2001 and 2004 external field models.",
        "// Entry k of a published table (numbered from 1) is element k-1.",
        "#ifndef KEST_TSYGANENKO01_TABLES_HPP",
        "#define KEST_TSYGANENKO01_TABLES_HPP",
        "",
        "namespace kest::t01tab {",
        "",
    ]
    for stem, name, count, comment in TABLES:
        values = read_table(stem, count)
        out.append(f"// {comment} (data/tsyganenko/{stem}.txt)")
        out.append(f"inline constexpr double {name}[{count}] = {{")
        for i in range(0, count, 4):
            out.append("    " + " ".join(literal(v) + "," for v in values[i:i + 4]))
        out.append("};")
        out.append("")
    out += ["}  // namespace kest::t01tab", "", "#endif", ""]
    OUT.write_text("\n".join(out))


if __name__ == "__main__":
    main()
