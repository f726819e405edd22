#!/usr/bin/env python3
"""Compile the six Olson-Pfitzer quiet-model coefficient tables into C++.

Reads data/olson_pfitzer/op77_{bx,bz,by}_{plain,exp}.txt and writes
extfield/olson_pfitzer77_tables.hpp with one constexpr array per table.
Values are copied as written in the data files (digit for digit), so the
compiler rounds the same decimal text to double as any reader of the tables.

The generator refuses tables that break the model's layout: wrong count, a
term out of the nested order (x outermost, then y^2, then z), a parity that
breaks the tilt-symmetry rule, or plain and exponential parts that disagree
on a term's powers or parity.

Usage: python3 tools/gen_olson_pfitzer77.py   (from the project root)
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "olson_pfitzer"
OUT = ROOT / "extfield" / "olson_pfitzer77_tables.hpp"


def term_order(max_degree):
    """Monomials x^a y^(2b) z^c, a <= 4, b <= 2, c <= 4, a + 2b + c <= max_degree."""
    return [(a, b, c) for a in range(5) for b in range(3) for c in range(5)
            if a + 2 * b + c <= max_degree]


def read_table(name):
    rows = []
    for line in (DATA / name).read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        k, a, b, c, parity, p, q = line.split()
        rows.append((int(k), int(a), int(b), int(c), int(parity), p, q))
    return rows


def check(name, rows, order, z_even_parity):
    if len(rows) != len(order):
        sys.exit(f"{name}: {len(rows)} terms, expected {len(order)}")
    for i, (k, a, b, c, parity, _, _) in enumerate(rows):
        if k != i + 1 or (a, b, c) != order[i]:
            sys.exit(f"{name}: row {i + 1} is term {k} {(a, b, c)}, expected {order[i]}")
        want = z_even_parity if c % 2 == 0 else 3 - z_even_parity
        if parity != want:
            sys.exit(f"{name}: term {k} has parity {parity}, the tilt-symmetry rule gives {want}")


def main():
    # (component, series degree, parity of a term whose power of z is even)
    comps = [("bx", 5, 2), ("bz", 5, 1), ("by", 4, 2)]
    arrays = []
    for comp, degree, z_even in comps:
        order = term_order(degree)
        parts = {}
        for part in ("plain", "exp"):
            name = f"op77_{comp}_{part}.txt"
            rows = read_table(name)
            check(name, rows, order, z_even)
            parts[part] = rows
        for r1, r2 in zip(parts["plain"], parts["exp"]):
            if r1[:5] != r2[:5]:
                sys.exit(f"op77_{comp}: plain and exponential parts differ at term {r1[0]}")
        for part in ("plain", "exp"):
            arrays.append((comp, part, parts[part]))

    lines = [
        "// generated from data/olson_pfitzer/op77_*.txt by tools/gen_olson_pfitzer77.py; do not edit",
        "//",
        "// Olson-Pfitzer quiet magnetospheric field model (1977), series coefficient",
        "// tables in SM coordinates, nT per Earth radius to the power of the monomial.",
        "// One Term per series term, in the nested order (power a of x outermost, then",
        "// b of y^2, then c of z). parity 1: coefficient p + q tau^2 (even in the tilt",
        "// tau, degrees); parity 2: p tau + q tau^3 (odd in the tilt).",
        "#ifndef KEST_EXTFIELD_OLSON_PFITZER77_TABLES_HPP",
        "#define KEST_EXTFIELD_OLSON_PFITZER77_TABLES_HPP",
        "",
        "namespace kest::op77 {",
        "",
        "struct Term {",
        "  int a, b, c;  // powers of x, y^2, z",
        "  int parity;   // 1 even in the tilt, 2 odd",
        "  double p, q;",
        "};",
        "",
    ]
    for comp, part, rows in arrays:
        what = {"plain": "plain part", "exp": "part multiplied by exp(-0.06 r^2)"}[part]
        lines.append(f"// {comp[0].upper()}{comp[1]}, {what}; source file op77_{comp}_{part}.txt")
        lines.append(f"inline constexpr Term {comp}_{part}[{len(rows)}] = {{")
        for k, a, b, c, parity, p, q in rows:
            lines.append(f"    {{{a}, {b}, {c}, {parity}, {p}, {q}}},")
        lines.append("};")
        lines.append("")
    lines += ["}  // namespace kest::op77", "", "#endif", ""]
    OUT.write_text("\n".join(lines))


if __name__ == "__main__":
    main()
