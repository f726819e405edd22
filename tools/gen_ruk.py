#!/usr/bin/env python3
"""Compile the mission-averaged geostationary electron tables into C++.

Reads data/radiation/ruk.txt and writes radiation/ruk_tables.hpp: the 27 table
energies, the energy range of each version, the full version-3 spectra and
the ten filled entries of version 1, one row per energy and one column per
cycle year -6 .. +4. Values are copied as written (digit for digit), so the
compiler rounds the same decimal text to double as any reader of the table.

The generator refuses a file whose sections have the wrong counts, whose
entries are out of order or whose energies do not rise.

Usage: python3 tools/gen_ruk.py   (from the project root)
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "radiation" / "ruk.txt"
OUT = ROOT / "radiation" / "ruk_tables.hpp"

NE = 27          # table energies
NCY = 11         # cycle years -6 .. +4
V1_FIRST, V1_LAST = 13, 22


def read_sections(path):
    sections, cur = {}, None
    for line in path.read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        if line.startswith("["):
            cur = line.strip().strip("[]")
            sections[cur] = []
            continue
        if cur is None:
            sys.exit(f"{path}: data line before the first section")
        sections[cur].append(line.split())
    return sections


def check_keys(name, rows, first, last, width):
    keys = [int(r[0]) for r in rows]
    if keys != list(range(first, last + 1)):
        sys.exit(f"{name}: entries {keys}, expected {first}..{last}")
    for r in rows:
        if len(r) != width + 1:
            sys.exit(f"{name}: entry {r[0]} has {len(r) - 1} values, expected {width}")
        for v in r[1:]:
            float(v)


def row(values):
    return "{" + ", ".join(values) + "}"


def main():
    s = read_sections(DATA)
    check_keys("energies", s["energies"], 1, NE, 1)
    check_keys("energy13_v1", s["energy13_v1"], 13, 13, 1)
    check_keys("range", s["range"], 1, 3, 2)
    check_keys("v3", s["v3"], 1, NE, NCY)
    check_keys("v1", s["v1"], V1_FIRST, V1_LAST, NCY)
    energies = [r[1] for r in s["energies"]]
    if any(float(a) >= float(b) for a, b in zip(energies, energies[1:])):
        sys.exit("energies: not rising")
    e13v1 = s["energy13_v1"][0][1]
    if not float(energies[11]) < float(e13v1) < float(energies[13]):
        sys.exit("energy13_v1: outside its neighbours")

    out = []
    out.append("// generated from data/radiation/ruk.txt by tools/gen_ruk.py; do not edit")
    out.append("// Mission-averaged geostationary electron model (POLE V1, POLE V2, IGE-2006):")
    out.append("// energies in MeV, differential flux per keV (cm-2 s-1 sr-1 keV-1), one row per")
    out.append("// table energy, one column per cycle year -6 .. +4.")
    out.append("#ifndef KEST_RADIATION_RUK_TABLES_HPP")
    out.append("#define KEST_RADIATION_RUK_TABLES_HPP")
    out.append("")
    out.append("namespace kest::ruk_tables {")
    out.append("")
    out.append(f"inline constexpr int kNumEnergies = {NE};")
    out.append(f"inline constexpr int kNumCycleYears = {NCY};")
    out.append("")
    out.append("// Table energies of versions 2 and 3 (MeV); version 1 replaces entry 13.")
    out.append(f"inline constexpr double kEnergy[{NE}] = {row(energies)};")
    out.append(f"inline constexpr double kEnergy13V1 = {e13v1};")
    out.append("")
    out.append("// Energy range (MeV) of versions 1, 2, 3.")
    out.append(f"inline constexpr double kEmin[3] = {row([r[1] for r in s['range']])};")
    out.append(f"inline constexpr double kEmax[3] = {row([r[2] for r in s['range']])};")
    out.append("")
    out.append("// Version 3 (IGE-2006), all entries; version 2 (POLE V2) is entries 13..27.")
    out.append(f"inline constexpr double kFluxV3[{NE}][{NCY}] = {{")
    for r in s["v3"]:
        out.append(f"    {row(r[1:])},  // {r[0]}")
    out.append("};")
    out.append("")
    out.append(f"// Version 1 (POLE V1), entries {V1_FIRST}..{V1_LAST} (all others 0). Entry 16 at cycle")
    out.append("// year -4 is ten times its neighbours; it is the published value.")
    out.append(f"inline constexpr int kV1First = {V1_FIRST};")
    out.append(f"inline constexpr int kV1Last = {V1_LAST};")
    out.append(f"inline constexpr double kFluxV1[{V1_LAST - V1_FIRST + 1}][{NCY}] = {{")
    for r in s["v1"]:
        out.append(f"    {row(r[1:])},  // {r[0]}")
    out.append("};")
    out.append("")
    out.append("}  // namespace kest::ruk_tables")
    out.append("")
    out.append("#endif")
    OUT.write_text("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
