#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora from the end-to-end tests.

The INI files of the end-to-end cases (their "@file *.ini" blocks) and of the
end-to-end corpus folder are the seeds, so that the fuzzers start from every
input the tests know and no copy of them is kept. Each target takes the case
files it is about; a target named with --runs takes whole runs instead: the
arguments of a case, one a line, an empty line, then its INI file. The
hand-made seeds of fuzz/corpus/<target>/ (inputs of past findings among them)
are added as they are; a target may have those alone.

  seeds.py --cases DIR --corpus DIR --handmade DIR --out DIR --runs TARGET
           TARGET=GROUP,... ...

A GROUP is the stem of a case file, "*" for all of them, or "corpus" for the
end-to-end corpus folder. Every target's folder under --out is written afresh.
"""

import argparse
import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from harness.casefile import parse_case_file  # noqa: E402  (the case format's one reader)
from harness.common import TARGETS  # noqa: E402
from harness.render import Render, render_block  # noqa: E402

# Larger blocks are the stress files of the end-to-end tests (megabyte lines,
# 100,000 sections): they slow every fuzzer run and seed nothing new.
MAX_SEED_BYTES = 16 * 1024

# What the fact tokens of @file blocks stand for in a seed: a plausible machine.
SAMPLE_FACTS = {
    "DmiVendor": "QEMU",
    "DmiMachineType": "Standard PC (i440FX + PIIX, 1996)",
    "DmiPaNumber": "pc-i440fx-7.2",
    "PciHardwareId": "PCI\\VEN_8086&DEV_1237&SUBSYS_11001AF4&REV_02",
    "PciHardwareIdNoRev": "PCI\\VEN_8086&DEV_1237&SUBSYS_11001AF4",
    "PciHardwareIdLower": "pci\\ven_8086&dev_1237&subsys_11001af4&rev_02",
    "PciDevicePrefix": "PCI\\VEN_8086&DEV_1237",
    "SysDefaultUi": 1033,
    "SysDefaultUiPrimary": 9,
    "SysDefaultUiSub": 1,
    "SysDefault": 1033,
    "SysDefaultPrimary": 9,
    "SysDefaultSub": 1,
}


def case_inputs(cases_dir: Path) -> dict[str, list[tuple[str, bytes, list[str]]]]:
    """Per case file: each case's name, its INI file (empty without one) and arguments."""
    render = Render(TARGETS["native"], SAMPLE_FACTS, output=False)
    inputs: dict[str, list[tuple[str, bytes, list[str]]]] = {}
    for path in sorted(cases_dir.glob("*.case")):
        found = inputs.setdefault(path.stem, [])
        for case in parse_case_file(path):
            if case.tool:
                continue
            ini = b""
            for name, block in case.files.items():
                if name.lower().endswith(".ini"):
                    ini = render_block(block, render)
            found.append((case.case_id.replace(".", "-"), ini, case.args or []))
    return inputs


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cases", type=Path, required=True)
    parser.add_argument("--corpus", type=Path, required=True)
    parser.add_argument("--handmade", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    parser.add_argument("--runs", action="append", default=[])
    parser.add_argument("selections", nargs="*", metavar="TARGET=GROUP,...")
    options = parser.parse_args()

    inputs = case_inputs(options.cases)
    seeds: dict[str, dict[str, bytes]] = {target: {} for target in options.runs}
    for target in options.runs:
        for cases in inputs.values():
            for name, ini, args in cases:
                seeds[target][name + ".txt"] = "".join(a + "\n" for a in args).encode() + b"\n" + ini
    for handmade in sorted(options.handmade.iterdir()):
        seeds.setdefault(handmade.name, {})  # a target of hand-made seeds alone
    for selection in options.selections:
        target, _, groups = selection.partition("=")
        chosen = seeds.setdefault(target, {})
        for group in groups.split(","):
            if group == "corpus":
                for path in sorted(options.corpus.iterdir()):
                    chosen[path.name] = path.read_bytes()
                continue
            for stem in (sorted(inputs) if group == "*" else [group]):
                if stem not in inputs:
                    parser.error(f"{selection}: no case file {stem}.case")
                chosen.update((name + ".ini", ini) for name, ini, _ in inputs[stem] if ini)

    for target, chosen in seeds.items():
        folder = options.out / target
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        written: set[bytes] = set()
        for name, data in sorted(chosen.items()):
            if len(data) <= MAX_SEED_BYTES and data not in written:
                written.add(data)
                (folder / name).write_bytes(data)
        handmade = options.handmade / target
        if handmade.is_dir():
            for path in sorted(handmade.iterdir()):
                shutil.copyfile(path, folder / path.name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
