#!/usr/bin/env python3
"""Compile the mission-averaged MEO GNSS electron tables into C++.

Reads data/radiation/meo_gnss.txt and writes radiation/meo_gnss_tables.hpp:
the energies and range of each version, the single spectrum of version 1 and
the version-2 spectra, one row per energy and one column per cycle year
-6 .. +4. Values are copied as written (digit for digit).

The generator refuses a file whose sections have the wrong counts, whose
energies do not rise, or whose version-1 energies are not the first five of
version 2.

Usage: python3 tools/gen_meo_gnss.py   (from the project root)
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "radiation" / "meo_gnss.txt"
OUT = ROOT / "radiation" / "meo_gnss_tables.hpp"

NCY = 11          # cycle years -6 .. +4
N1, N2 = 5, 7     # energies of versions 1 and 2


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


def row(values):
    return "{" + ", ".join(values) + "}"


def main():
    s = read_sections(DATA)
    rng, v1, v2 = s["range"], s["v1"], s["v2"]
    if [r[0] for r in rng] != ["1", "2"] or any(len(r) != 3 for r in rng):
        sys.exit("range: expected versions 1 and 2 with emin and emax")
    if len(v1) != N1 or any(len(r) != 2 for r in v1):
        sys.exit(f"v1: expected {N1} lines 'E flux'")
    if len(v2) != N2 or any(len(r) != NCY + 1 for r in v2):
        sys.exit(f"v2: expected {N2} lines of an energy and {NCY} fluxes")
    e1 = [r[0] for r in v1]
    e2 = [r[0] for r in v2]
    if e1 != e2[:N1]:
        sys.exit("v1: energies differ from the first five of v2")
    if any(float(a) >= float(b) for a, b in zip(e2, e2[1:])):
        sys.exit("v2: energies not rising")
    for k, (r, n) in enumerate(((rng[0], N1), (rng[1], N2))):
        if float(r[1]) != float(e2[0]) or float(r[2]) != float(e2[n - 1]):
            sys.exit(f"range: version {k + 1} does not span its energies")

    out = []
    out.append("// generated from data/radiation/meo_gnss.txt by tools/gen_meo_gnss.py; do not edit")
    out.append("// Mission-averaged MEO GNSS electron model (MEO-V1, MEO-V2): energies in MeV,")
    out.append("// integral flux above the energy (cm-2 s-1 sr-1), columns cycle years -6 .. +4.")
    out.append("#ifndef KEST_RADIATION_MEO_GNSS_TABLES_HPP")
    out.append("#define KEST_RADIATION_MEO_GNSS_TABLES_HPP")
    out.append("")
    out.append("namespace kest::meo_gnss_tables {")
    out.append("")
    out.append(f"inline constexpr int kNumCycleYears = {NCY};")
    out.append(f"inline constexpr int kNumEnergiesV1 = {N1};")
    out.append(f"inline constexpr int kNumEnergiesV2 = {N2};")
    out.append("")
    out.append("// Energies (MeV); version 1 uses the first five.")
    out.append(f"inline constexpr double kEnergy[{N2}] = {row(e2)};")
    out.append("")
    out.append("// Energy range (MeV) of versions 1, 2.")
    out.append(f"inline constexpr double kEmin[2] = {row([r[1] for r in rng])};")
    out.append(f"inline constexpr double kEmax[2] = {row([r[2] for r in rng])};")
    out.append("")
    out.append("// Version 1: one spectrum, the same in every cycle year.")
    out.append(f"inline constexpr double kFluxV1[{N1}] = {row([r[1] for r in v1])};")
    out.append("")
    out.append("// Version 2: one row per energy.")
    out.append(f"inline constexpr double kFluxV2[{N2}][{NCY}] = {{")
    for r in v2:
        out.append(f"    {row(r[1:])},  // {r[0]} MeV")
    out.append("};")
    out.append("")
    out.append("}  // namespace kest::meo_gnss_tables")
    out.append("")
    out.append("#endif")
    OUT.write_text("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
