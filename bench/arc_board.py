#!/usr/bin/python3
"""Token text of a board whose polygons are made of arcs, for measuring what
the KiCad and SVG exports write and hold for outline arcs.

usage: arc_board.py POLYGONS ARCS RADIUS_MIL > board.pcbt
then:  pcb9-asm asm board.pcbt -o board.PCB

Version 2.80; POLYGONS pours on the top layer, each of ARCS + 1 vertices
(ARCS at most 5000) on a ring, every entry after the first an arc: a whole
circle (start and end angle 0) of RADIUS_MIL about the vertex before it."""
import math
import sys


def polygon(out, index, arcs, radius):
    cx, cy = 10000 * (index % 5), 10000 * (index // 5)  # mils
    ring = 4000
    out.append("attr 5 1")
    out.append("attr 6 1")
    out.append("word 1 1 0 1 0 1")
    out.append("coord 10mil 20mil 5mil 0")
    out.append(f"word {arcs}")
    vertices = []
    for i in range(arcs + 1):
        a = 2 * math.pi * i / (arcs + 1)
        vertices.append((round(cx + ring * math.cos(a)), round(cy + ring * math.sin(a))))
    out.extend(f"coord {x}mil {y}mil" for x, y in vertices)
    out.append("word " + " ".join(["0"] + ["1"] * arcs))
    for i in range(1, arcs + 1):
        x, y = vertices[i - 1]
        out.append("attr 45 1")
        out.append(f"coord {x}mil {y}mil {radius}mil")
        out.append("real 0")
        out.append("real 0")
        out.append("coord 0")
        out.append("word 0")


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    polygons, arcs, radius = int(argv[1]), int(argv[2]), int(argv[3])
    if not 1 <= arcs <= 5000:
        print("arc_board: ARCS from 1 to 5000", file=sys.stderr)
        return 2
    out = ['"PCB FILE 9 VERSION 2.80"', f"long 0 {polygons + 1} 0 0 0 0 0 0 0 0"]
    out += ['"N"', '"GND"', "coord 10mil 50mil", "word 0 0", '"NODES"', '""', '"CONNECTIONS"', '""',
            "word 0 0", "word 0", "word 0", "long 0", "word 0"]
    out.append('"G"')
    for p in range(polygons):
        polygon(out, p, arcs, radius)
    out.append("end")
    print("\n".join(out))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
