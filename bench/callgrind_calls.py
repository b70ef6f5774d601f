#!/usr/bin/env python3
"""Sums a callgrind profile (one event, Ir) by host function.

    callgrind_calls.py PROFILE [PROFILE2]

For each PcbApi_ function: the calls made to it and the instructions spent
inside it (inclusive), counted at calls from outside the PcbApi_ functions;
then the total, the host's share (all PcbApi_ calls) and the rest. With two
profiles (an import and its host floor), the two columns side by side.
"""
import re
import sys
from collections import defaultdict

NAME = re.compile(r"^(c?fn)=\((\d+)\)(?: (.*))?$")


def read(path):
    names, calls, cost = {}, defaultdict(int), defaultdict(int)
    total, fn, callee, pending = 0, None, None, False
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            m = NAME.match(line)
            if m:
                kind, ident, name = m.groups()
                if name:
                    names[ident] = name
                if kind == "fn":
                    fn = names.get(ident, ident)
                else:
                    callee = names.get(ident, ident)
                continue
            if line.startswith("calls="):
                count = int(line.split("=", 1)[1].split()[0])
                pending = True
                if "PcbApi_" in callee and "PcbApi_" not in (fn or ""):
                    calls[api_name(callee)] += count
                continue
            if line.startswith("summary:") or line.startswith("totals:"):
                total = int(line.split()[1])
                continue
            if line and (line[0].isdigit() or line[0] in "+-*"):
                parts = line.split()
                if pending:
                    pending = False
                    if len(parts) > 1 and "PcbApi_" in callee and "PcbApi_" not in (fn or ""):
                        cost[api_name(callee)] += int(parts[1])
    return total, calls, cost


def api_name(symbol):
    return re.search(r"PcbApi_[A-Za-z0-9_]+", symbol).group(0)


def main(paths):
    profiles = [read(p) for p in paths]
    names = sorted(set().union(*(p[1].keys() for p in profiles)))
    print("| Function | " + " | ".join(f"calls ({p}) | Ir ({p})" for p in paths) + " |")
    print("|---|" + "---:|---:|" * len(paths))
    for n in names:
        cells = [f"{p[1].get(n, 0):,} | {p[2].get(n, 0):,}" for p in profiles]
        print(f"| {n} | " + " | ".join(cells) + " |")
    for label, pick in (("total Ir", lambda p: p[0]), ("PcbApi_ Ir", lambda p: sum(p[2].values())),
                        ("other Ir", lambda p: p[0] - sum(p[2].values())),
                        ("PcbApi_ calls", lambda p: sum(p[1].values()))):
        print(f"| {label} | " + " | ".join(f"{pick(p):,} | " for p in profiles) + " |")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    main(sys.argv[1:])
