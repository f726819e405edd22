#!/usr/bin/env python3
"""Compile the four NASA AE8/AP8 trapped-particle maps into C++.

Reads data/ae8ap8/{ae8min,ae8max,ap8min,ap8max}.asc (Fortran records
(1X,12I6): an 8-word header, then header word 8 map words) and writes
radiation/ae8ap8_maps.hpp with one constexpr int array per map: the 8 header
words followed by the map words up to and including the 0 that closes the
energy-block list. Words after that 0 (zero padding of the last record in the
proton files) are dropped and header word 8 is set to the number of map words
kept.

The generator walks every energy block and every L block and refuses a file
whose block lengths do not add up, whose L sub-maps do not start at L 0 and
end at the stored L 32767, or whose padding after the closing 0 is not zero.

Usage: python3 tools/gen_ae8ap8.py   (from the project root)
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "ae8ap8"
OUT = ROOT / "radiation" / "ae8ap8_maps.hpp"

# (array name, file, description)
MAPS = [
    ("elemin", "ae8min.asc", "AE8 MIN, trapped electrons at solar minimum (epoch 1964)"),
    ("elemax", "ae8max.asc", "AE8 MAX, trapped electrons at solar maximum (epoch 1970)"),
    ("promin", "ap8min.asc", "AP8 MIN, trapped protons at solar minimum (epoch 1964)"),
    ("promax", "ap8max.asc", "AP8 MAX, trapped protons at solar maximum (epoch 1970)"),
]


def read_words(path):
    lines = path.read_text().splitlines()
    header = [int(lines[0][1 + 6 * i:7 + 6 * i]) for i in range(8)]
    body = []
    for n, line in enumerate(lines[1:], start=2):
        if len(line) < 7 or (len(line) - 1) % 6 != 0 or line[0] != " ":
            sys.exit(f"{path.name}: line {n} is not a (1X,12I6) record")
        body += [int(line[1 + 6 * i:7 + 6 * i]) for i in range((len(line) - 1) // 6)]
    if len(body) != header[7]:
        sys.exit(f"{path.name}: {len(body)} map words, header word 8 says {header[7]}")
    return header, body


def walk(name, body):
    """Returns (map words up to the closing 0, L blocks per energy block)."""
    o = 0
    counts = []
    while body[o] != 0:
        length = body[o]
        end = o + length
        p = o + 2
        nl = 0
        first_l = body[p + 1]
        last_l = None
        while p < end:
            if body[p] < 3:
                sys.exit(f"{name}: L block of length {body[p]} at map word {p + 1}")
            last_l = body[p + 1]
            p += body[p]
            nl += 1
        if p != end:
            sys.exit(f"{name}: energy block at map word {o + 1} overruns its length")
        if first_l != 0 or last_l != 32767:
            sys.exit(f"{name}: L sub-map at map word {o + 1} runs from {first_l} to {last_l}")
        counts.append(nl)
        o = end
    used = o + 1
    if any(w != 0 for w in body[used:]):
        sys.exit(f"{name}: non-zero words after the closing 0")
    return used, counts


def main():
    out = [
        "// generated from data/ae8ap8/*.asc by tools/gen_ae8ap8.py; do not edit",
        "//",
        "// NASA AE8/AP8 trapped-particle maps (NSSDC data set PT-11B). Each array is",
        "// the 8 header words followed by the map words up to and including the 0",
        "// that closes the list of energy blocks; header word 8 counts those map",
        "// words. Layout of header and map: data/ae8ap8/README.md.",
        "#ifndef KEST_RADIATION_AE8AP8_MAPS_HPP",
        "#define KEST_RADIATION_AE8AP8_MAPS_HPP",
        "",
        "namespace kest::ae8ap8 {",
        "",
    ]
    for name, fname, desc in MAPS:
        header, body = read_words(DATA / fname)
        used, counts = walk(fname, body)
        header[7] = used
        words = header + body[:used]
        out.append(f"// {desc}; source file {fname}")
        out.append(f"// energy blocks: {len(counts)}; L blocks per energy block: "
                   + " ".join(str(c) for c in counts))
        out.append(f"inline constexpr int {name}[{len(words)}] = {{")
        for i in range(0, len(words), 12):
            out.append("    " + ", ".join(str(w) for w in words[i:i + 12]) + ",")
        out.append("};")
        out.append("")
    out += ["}  // namespace kest::ae8ap8", "", "#endif", ""]
    OUT.write_text("\n".join(out))


if __name__ == "__main__":
    main()
