#!/usr/bin/env python3
"""Writes Dorvanta rule files for the benchmark.

A file holds N pairs of CRITERIAx / ACTIONx sections with M criteria lines
each. Every line is written so that it holds on any machine (NE against a value
no machine has, GE against 0, ...), so the outcome does not depend on where the
benchmark runs; an alternating file makes every even pair fail on its first line
(all its lines are still evaluated). ACTIONx is left out, or starts a trivial
program and waits for it.
"""

import argparse
import itertools
import sys
from pathlib import Path

# A realistic mix of the criteria keys: numbers, languages, location, DMI texts,
# a file test and a device search, in the order a rule author would write them.
MIXED_LINES = (
    "OSMajor = GE,1",
    "OSMinor = GE,0",
    "Bit = NE,1",
    "Processors = GE,1",
    "ProcessorType = NE,1",
    "ProcessorLevel = GE,0",
    "ProcessorRevision = GE,0",
    "UserDefaultUI = NE,1",
    "SysDefaultUIPri = NE,1",
    "SysDefault = NE,1",
    "CurrentLocation = NE,ZZ",
    "DMIMachineType = NE,No Such Machine",
    "DMIPANumber = NE,4,ZZZZ",
    "DMIVendor = NE,No Such Vendor",
    r"FileExists = NE,[CSIDL_PROGRAM_FILES]\Dorvanta Bench\absent.exe",
    r"HWIDLeft = NE,PCI\VEN_FFFF&DEV_FFFF",
)
NUMERIC_LINE = "OSMajor = GE,1"
HWID_LINE = r"HWID = NE,PCI\VEN_FFFF&DEV_FFFF&SUBSYS_FFFFFFFF"
FAILING_LINE = "OSMajor = LT,0"

MIXES = {
    "mixed": MIXED_LINES,
    "numeric": (NUMERIC_LINE,),
    "hwid": (HWID_LINE,),
}


def criteria_lines(mix: str, count: int, failing: bool) -> list[str]:
    lines = list(itertools.islice(itertools.cycle(MIXES[mix]), count))
    if failing and lines:
        lines[0] = FAILING_LINE
    return lines


def rule_file(pairs: int, lines: int, mix: str, alternate: bool, program: str | None) -> str:
    out = [f"; Dorvanta benchmark: {pairs} pairs of {lines} {mix} criteria lines"
           f"{', alternating' if alternate else ''}"
           f"{', Execute ' + program if program else ''}", ""]
    for x in range(1, pairs + 1):
        out.append(f"[CRITERIA{x}]")
        out.extend(criteria_lines(mix, lines, alternate and x % 2 == 0))
        out.append("")
        if program:
            out += [f"[ACTION{x}]", f"Execute = WAIT, {program}", ""]
    return "\n".join(out)


def write_rule_file(path: Path, text: str) -> None:
    """Writes with CRLF line ends, as a rule file written on Windows has; both
    readers take them."""
    path.write_bytes(text.replace("\n", "\r\n").encode("utf-8"))


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", type=Path, help="the rule file to write")
    parser.add_argument("--pairs", type=int, default=1, help="number of pairs, 0 to 256")
    parser.add_argument("--lines", type=int, default=16, help="criteria lines per pair")
    parser.add_argument("--mix", choices=sorted(MIXES), default="mixed",
                        help="which criteria keys the lines use")
    parser.add_argument("--alternate", action="store_true",
                        help="every even pair fails on its first line")
    parser.add_argument("--execute", metavar="PROGRAM",
                        help="each pair's action section starts PROGRAM and waits for it")
    args = parser.parse_args()
    if not 0 <= args.pairs <= 256 or args.lines < 1:
        parser.error("pairs must lie in 0..256 and lines be at least 1")
    write_rule_file(args.output,
                    rule_file(args.pairs, args.lines, args.mix, args.alternate, args.execute))
    return 0


if __name__ == "__main__":
    sys.exit(main())
