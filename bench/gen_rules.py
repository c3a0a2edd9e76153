#!/usr/bin/env python3
"""Writes Dorvanta rule files for the benchmark.

A file holds N pairs of CRITERIAx / ACTIONx sections with M criteria lines
each. Every line is written so that it holds on any machine (NE against a value
no machine has, GE against 0, ...), so the outcome does not depend on where the
benchmark runs; an alternating file makes every even pair fail on its first line
(all its lines are still evaluated). A driver pack gives every pair the one line
of --line instead, as hundreds of pairs of one HWID line each do. ACTIONx is left
out, holds the one line of --action, or starts a trivial program and waits for it.
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


def criteria_lines(mix: tuple[str, ...], count: int, failing: bool) -> list[str]:
    lines = list(itertools.islice(itertools.cycle(mix), count))
    if failing and lines:
        lines[0] = FAILING_LINE
    return lines


def execute_line(program: str) -> str:
    return f"Execute = WAIT, {program}"


def rule_file(pairs: int, lines: int, mix: str | tuple[str, ...], alternate: bool,
              action: str | None) -> str:
    """mix names one of MIXES or gives the lines themselves; action is the one
    line of each ACTIONx, or None for none."""
    kinds = MIXES[mix] if isinstance(mix, str) else mix
    what = mix if isinstance(mix, str) else " / ".join(kinds)
    out = [f"; Dorvanta benchmark: {pairs} pairs of {lines} criteria lines ({what})"
           f"{', alternating' if alternate else ''}"
           f"{'; action: ' + action if action else ''}", ""]
    for x in range(1, pairs + 1):
        out.append(f"[CRITERIA{x}]")
        out.extend(criteria_lines(kinds, lines, alternate and x % 2 == 0))
        out.append("")
        if action:
            out += [f"[ACTION{x}]", action, ""]
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
    parser.add_argument("--line", metavar="LINE",
                        help="every criteria line is LINE (a driver pack: "
                        "--lines 1 --line 'HWID = EQ,PCI\\VEN_8086&DEV_1234'), not --mix")
    parser.add_argument("--alternate", action="store_true",
                        help="every even pair fails on its first line")
    actions = parser.add_mutually_exclusive_group()
    actions.add_argument("--execute", metavar="PROGRAM",
                         help="each pair's action section starts PROGRAM and waits for it")
    actions.add_argument("--action", metavar="LINE",
                         help="each pair's action section holds LINE (any action line makes "
                         "the next HWID line read the devices afresh)")
    args = parser.parse_args()
    if not 0 <= args.pairs <= 256 or args.lines < 1:
        parser.error("pairs must lie in 0..256 and lines be at least 1")
    action = execute_line(args.execute) if args.execute else args.action
    mix = (args.line,) if args.line else args.mix
    write_rule_file(args.output, rule_file(args.pairs, args.lines, mix, args.alternate, action))
    return 0


if __name__ == "__main__":
    sys.exit(main())
