#!/usr/bin/env python3
"""Compile the MSIS coefficient records of data/msis/ into atmosphere/msis_tables.hpp.

Each text file holds one record word by word in storage order (arrays column by
column); lines starting with '#' are comments. The numbers are copied as written
(exact decimal text), so the compiled doubles are the nearest doubles to the
published values.

Usage: python3 tools/gen_msis.py   (from the project root)
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data", "msis")
OUT = os.path.join(ROOT, "atmosphere", "msis_tables.hpp")

# (file, C++ name, expected word count, description)
TABLES = [
    ("nrlmsise00_parm7.txt", "parm7_words", 3200,
     "NRLMSISE-00 parm7: tinf_coef 150, dens_coef 150x9, grad_coef 150, aux_coef 25x2, "
     "tlow_coef 100x4, tmid_coef 100x10, sam_coef 100"),
    ("nrlmsise00_lower7.txt", "lower7_words", 90,
     "NRLMSISE-00 lower7: lb_temp 10, lb_dens 10x8"),
    ("nrlmsise00_mavg7.txt", "mavg7_words", 10, "NRLMSISE-00 mavg7: mid_avg 10"),
    ("msise90_parm6.txt", "parm6_words", 3100,
     "MSISE-90 parm6: tinf_coef 150, dens_coef 150x9, grad_coef 150, aux_coef 25x2, "
     "tlow_coef 100x4, tmid_coef 100x10"),
    ("msise90_lower6.txt", "lower6_words", 90, "MSISE-90 lower6: lb_temp 10, lb_dens 10x8"),
    ("msise90_mavg6.txt", "mavg6_words", 10, "MSISE-90 mavg6: mid_avg 10"),
    ("msis86_parm5.txt", "parm5_words", 1400,
     "MSIS-86 parm5: tinf_coef 150, dens_coef 150x7, grad_coef 150, aux_coef 25x2"),
    ("msis86_lower5.txt", "lower5_words", 64, "MSIS-86 lower5: lb_temp 8, lb_dens 8x7"),
]


def read_words(path):
    words = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            s = line.strip()
            if not s or s.startswith("#"):
                continue
            for tok in s.split():
                float(tok)  # validates the token
                words.append(tok)
    return words


def main():
    out = []
    out.append("// generated from data/msis/*.txt by tools/gen_msis.py; do not edit")
    out.append("//")
    out.append("// The published MSIS coefficient records, word by word in storage order")
    out.append("// (arrays column by column, first index fastest). Provenance: data/msis/README.md.")
    out.append("#ifndef KEST_ATMOSPHERE_MSIS_TABLES_HPP")
    out.append("#define KEST_ATMOSPHERE_MSIS_TABLES_HPP")
    out.append("")
    out.append("namespace kest::msis_tables {")
    for fname, name, count, desc in TABLES:
        words = read_words(os.path.join(DATA, fname))
        if len(words) != count:
            sys.exit(f"{fname}: {len(words)} words, expected {count}")
        out.append("")
        out.append(f"// {desc} (data/msis/{fname})")
        out.append(f"inline constexpr double {name}[{count}] = {{")
        for i in range(0, count, 5):
            out.append("    " + ", ".join(words[i:i + 5]) + ",")
        out.append("};")
    out.append("")
    out.append("}  // namespace kest::msis_tables")
    out.append("")
    out.append("#endif")
    with open(OUT, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
