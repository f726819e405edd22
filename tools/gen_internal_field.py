#!/usr/bin/env python3
"""Turns the internal-field coefficient tables of data/internal_field/ into
frame/internal_field_tables.hpp (constexpr arrays).

Run from the project root:  python3 tools/gen_internal_field.py

Layouts written:
  IGRF-10 epochs (1965 ... 2005 by 5 years) and secular variation: slot
  k = n(n+1)/2 + m (0-based; slot 0 is the (0,0) pair and holds 0; h is 0 on
  every m = 0 slot), 66 slots per epoch, 45 for the secular variation.
  Jensen-Cain 1960 and GSFC 12/66: index n(n+1)/2 + m - 1 (0-based), i.e. the
  pairs (1,0), (1,1), (2,0) ... in file order.
Values are copied as the published text, digit for digit.
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data", "internal_field")
OUT = os.path.join(ROOT, "frame", "internal_field_tables.hpp")

EPOCHS = [1965, 1970, 1975, 1980, 1985, 1990, 1995, 2000, 2005]


def read_rows(name, ncols):
    rows, header = [], []
    with open(os.path.join(DATA, name)) as f:
        for line in f:
            s = line.strip()
            if not s:
                continue
            if s.startswith("#"):
                header.append(s[1:].strip())
                continue
            parts = s.split()
            if len(parts) != ncols:
                sys.exit(f"{name}: bad line {s!r}")
            rows.append(parts)
    return header, rows


def check_order(name, rows, nmax):
    expect = [(n, m) for n in range(1, nmax + 1) for m in range(n + 1)]
    got = [(int(r[0]), int(r[1])) for r in rows]
    if got != expect:
        sys.exit(f"{name}: (n, m) pairs are not in the order n = 1..{nmax}, m = 0..n")


def lit(text):
    v = float(text)
    t = text if any(c in text for c in ".eE") else text + ".0"
    if float(t) != v:
        sys.exit(f"bad literal {text}")
    return t


def slots(name, rows, col, nslots):
    out = ["0.0"] * nslots
    for r in rows:
        n, m = int(r[0]), int(r[1])
        out[n * (n + 1) // 2 + m] = lit(r[col])
    return out


def fmt_array(vals, per_line=8, indent="    "):
    lines = []
    for i in range(0, len(vals), per_line):
        lines.append(indent + ", ".join(vals[i:i + per_line]) + ",")
    return "\n".join(lines)


def main():
    out = []
    out.append("// generated from data/internal_field/*.txt by tools/gen_internal_field.py; do not edit")
    out.append("//")
    out.append("// Internal geomagnetic field coefficient tables, copied digit for digit from")
    out.append("// the published text tables (see the header lines of each data file).")
    out.append("#ifndef KEST_FRAME_INTERNAL_FIELD_TABLES_HPP")
    out.append("#define KEST_FRAME_INTERNAL_FIELD_TABLES_HPP")
    out.append("")
    out.append("namespace kest::tables {")
    out.append("")

    # IGRF-10 epochs
    g_all, h_all = [], []
    for e in EPOCHS:
        name = f"igrf10_{e}.txt"
        header, rows = read_rows(name, 4)
        check_order(name, rows, 10)
        g_all.append(slots(name, rows, 2, 66))
        h_all.append(slots(name, rows, 3, 66))
    out.append("// IGRF-10 main field, Schmidt quasi-normalised, nT, reference radius 6371.2 km.")
    out.append("// Sources: data/internal_field/igrf10_<year>.txt, one file per row.")
    out.append("// Rows: DGRF 1965.0, 1970.0, ..., 2000.0 (degree 10) and IGRF 2005.0 (cut at")
    out.append("// degree 10). Column k = n(n+1)/2 + m; column 0 is the (0,0) pair, 0.")
    out.append("inline constexpr int igrf10_nepoch = 9;")
    out.append("inline constexpr int igrf10_first_epoch = 1965;")
    out.append("inline constexpr int igrf10_nslot = 66;")
    for label, arr in (("g", g_all), ("h", h_all)):
        out.append(f"inline constexpr double igrf10_{label}[igrf10_nepoch][igrf10_nslot] = {{")
        for e, row in zip(EPOCHS, arr):
            out.append(f"  {{  // {e}.0")
            out.append(fmt_array(row))
            out.append("  },")
        out.append("};")
    out.append("")

    name = "igrf10_sv_2005_2010.txt"
    header, rows = read_rows(name, 4)
    check_order(name, rows, 8)
    out.append("// IGRF-10 predictive secular variation 2005.0-2010.0, degrees 1-8, nT/yr.")
    out.append(f"// Source: data/internal_field/{name}. Slot layout as above, 45 slots.")
    out.append("inline constexpr int igrf10_sv_nslot = 45;")
    out.append("inline constexpr double igrf10_sv_g[igrf10_sv_nslot] = {")
    out.append(fmt_array(slots(name, rows, 2, 45)))
    out.append("};")
    out.append("inline constexpr double igrf10_sv_h[igrf10_sv_nslot] = {")
    out.append(fmt_array(slots(name, rows, 3, 45)))
    out.append("};")
    out.append("")

    name = "jensen_cain_1960.txt"
    header, rows = read_rows(name, 4)
    check_order(name, rows, 6)
    out.append("// Jensen and Cain (1962), epoch 1960.0, degrees 1-6: Gauss-normalised, sign of")
    out.append("// the potential reversed (g~(1,0) > 0), nT. Index n(n+1)/2 + m - 1.")
    out.append(f"// Source: data/internal_field/{name}.")
    out.append("inline constexpr int jc1960_n = 27;")
    for label, col in (("g", 2), ("h", 3)):
        out.append(f"inline constexpr double jc1960_{label}[jc1960_n] = {{")
        out.append(fmt_array([lit(r[col]) for r in rows]))
        out.append("};")
    out.append("")

    name = "gsfc_1266.txt"
    header, rows = read_rows(name, 8)
    check_order(name, rows, 10)
    out.append("// GSFC 12/66 (Cain, Hendricks, Langel and Hudson, 1967), epoch 1960.0,")
    out.append("// degrees 1-10, Schmidt quasi-normalised, usual sign. Main field nT, first-")
    out.append("// order terms nT/yr, second-order terms nT/yr^2. Index n(n+1)/2 + m - 1.")
    out.append(f"// Source: data/internal_field/{name}.")
    out.append("inline constexpr int gsfc1266_n = 65;")
    for label, col in (("g", 2), ("h", 3), ("gdot", 4), ("hdot", 5), ("gddot", 6), ("hddot", 7)):
        out.append(f"inline constexpr double gsfc1266_{label}[gsfc1266_n] = {{")
        out.append(fmt_array([lit(r[col]) for r in rows]))
        out.append("};")
    out.append("")
    out.append("}  // namespace kest::tables")
    out.append("")
    out.append("#endif")
    with open(OUT, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
