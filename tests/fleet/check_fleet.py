#!/usr/bin/env python3
"""Checks the fleet that bench/gen_fleet.py writes, as the benchmark and the
README's examples use it.

  documents  one seed writes one fleet, another seed another; every document
             follows schema/facts.schema.json, is named after its host and
             holds some 120 devices of four hardware IDs; a fleet of both
             platforms, mostly Windows 10 and 11, of many models and languages
  replay     dvtool reads each fact of a document as written, and both rule
             files without a malformed line, with pairs that hold
  changes    the changed rule file differs from the first in the three pairs
             meant, and each of them changes the verdict on some machine
"""

import argparse
import json
import re
import subprocess
import sys
import tempfile
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "bench"))
import gen_fleet  # noqa: E402  (found through the path above)

MACHINES = 400
SEED = 7
FACT_KEYS = ("OSMajor", "OSMinor", "Bit", "Processors", "ProcessorType", "ProcessorRevision",
             "ProcessorLevel", "ProcessorModel", "ProcessorStepping", "UserDefaultUI",
             "UserDefaultPri", "UserDefaultSec", "SysDefaultUI", "SysDefaultUIPri",
             "SysDefaultUISec", "SysDefault", "SysDefaultPri", "SysDefaultSec", "CurrentLocation",
             "DMIMachineType", "DMIPANumber", "DMIVendor")


def load(folder: Path) -> dict[str, dict]:
    return {path.name: json.loads(path.read_text(encoding="utf-8"))
            for path in sorted(folder.iterdir())}


def check_documents(work: Path) -> list[str]:
    import jsonschema
    problems = []
    gen_fleet.write_fleet(work / "again", MACHINES, SEED)
    gen_fleet.write_fleet(work / "other", MACHINES, SEED + 1)
    fleet, again, other = (load(work / name) for name in ("fleet", "again", "other"))
    if fleet != again or (work / "fleet" / "ber-pc000000.json").read_bytes() != (
            work / "again" / "ber-pc000000.json").read_bytes():
        problems.append("one seed wrote two different fleets")
    if fleet == other:
        problems.append("another seed wrote the same fleet")
    # The command line writes what the module writes, and refuses a count below 0.
    script = REPOSITORY / "bench" / "gen_fleet.py"
    subprocess.run([sys.executable, str(script), "facts", str(work / "cli"), "--machines", "5",
                    "--seed", str(SEED)], check=True)
    if load(work / "cli") != {name: fleet[name] for name in load(work / "cli")} or len(
            load(work / "cli")) != 5:
        problems.append("gen_fleet.py facts wrote another fleet than write_fleet")
    refused = subprocess.run([sys.executable, str(script), "facts", str(work / "none"),
                              "--machines", "-1"], capture_output=True, check=False)
    if refused.returncode != 2 or (work / "none").exists():
        problems.append(f"--machines -1 ended with {refused.returncode}")
    validator = jsonschema.Draft202012Validator(
        json.loads((REPOSITORY / "schema" / "facts.schema.json").read_text(encoding="utf-8")))
    for number, (name, document) in enumerate(fleet.items()):
        if number % 5 == 0:
            problems += [f"{name}: {e.message}" for e in validator.iter_errors(document)]
        facts = document["facts"]
        if name != document["host"] + ".json":
            problems.append(f"{name} holds the facts of {document['host']}")
        ids = [id for device in document["devices"] for id in device["hardwareIds"]]
        if not 100 <= len(document["devices"]) <= 140 or len(ids) != 4 * len(document["devices"]):
            problems.append(f"{name}: {len(document['devices'])} devices, {len(ids)} IDs")
    windows = [d for d in fleet.values() if d["platform"] == "windows"]
    current = [d for d in windows if d["facts"]["OSMajor"] == 10 and int(d["os"]["build"]) >= 19044]
    models = {d["facts"]["DMIMachineType"] for d in fleet.values()}
    languages = {d["facts"]["UserDefaultUI"] for d in fleet.values()}
    if not 0.8 * MACHINES <= len(windows) < MACHINES or len(current) < 0.75 * len(windows):
        problems.append(f"{len(windows)} Windows machines, {len(current)} of 10 and 11")
    if len(models) < 30 or len(languages) < 12:
        problems.append(f"the fleet has {len(models)} models, {len(languages)} languages")
    return problems


def explain(dvtool: Path, rules: Path, document: Path) -> dict:
    done = subprocess.run([str(dvtool), "explain", str(rules), "--facts", str(document),
                           "--json"], capture_output=True, text=True, check=False)
    if done.returncode != 0:
        raise SystemExit(f"dvtool explain {rules.name} {document.name}: {done.stderr}")
    return json.loads(done.stdout)


def check_replay(work: Path, dvtool: Path) -> list[str]:
    problems = []
    probe = work / "probe.ini"
    # Every key's line shows its fact; DMIPANumber's its first 99 characters,
    # upper-cased as they are compared.
    probe.write_text("[CRITERIA1]\n" + "".join(
        f"{key} = NE,{'99,' if key == 'DMIPANumber' else ''}~\n" for key in FACT_KEYS))
    fleet = load(work / "fleet")
    for name in list(fleet)[::40]:
        document = work / "fleet" / name
        read = {line["key"]: line["fact"]
                for line in explain(dvtool, probe, document)["pairs"][0]["criteriaLines"]}
        written = {key: str(value) for key, value in fleet[name]["facts"].items()}
        written["DMIPANumber"] = written["DMIPANumber"].upper()
        if read != written:
            problems.append(f"{name} was read as {read}, not as written: {written}")
        for rules, pairs in ((work / "old.ini", 255), (work / "new.ini", 256)):
            walk = explain(dvtool, rules, document)["pairs"]
            malformed = [line["text"] for pair in walk for line in pair["criteriaLines"]
                         if line["malformed"]]
            if len(walk) != pairs or malformed:
                problems.append(f"{rules.name} on {name}: {len(walk)} pairs, malformed {malformed}")
            if not any(pair["verdict"] == "holds" for pair in walk):
                problems.append(f"no pair of {rules.name} holds on {name}")
    return problems


def sections(rules: Path) -> dict[str, list[str]]:
    found: dict[str, list[str]] = {}
    for line in rules.read_text(encoding="utf-8").splitlines():
        if line.startswith("["):
            current = found.setdefault(line.strip("[]"), [])
        elif line and not line.startswith(";"):
            current.append(line)
    return found


def check_changes(work: Path, dvtool: Path) -> list[str]:
    problems = []
    old, new = sections(work / "old.ini"), sections(work / "new.ini")
    changed = sorted((name for name in new if old.get(name) != new[name]),
                     key=lambda name: (int(re.sub(r"\D", "", name)), name))
    french = next(int(name[8:]) for name, lines in old.items()
                  if "UserDefaultUI = EQ,1036" in lines)
    meant = ["CRITERIA1", f"ACTION{french}", f"CRITERIA{french}", "ACTION256", "CRITERIA256"]
    if changed != sorted(meant, key=lambda name: (int(re.sub(r"\D", "", name)), name)):
        problems.append(f"the changed file differs in {changed}, not in {meant}")
    # A machine that each change concerns: Windows 8.1, French, the added model.
    fleet = load(work / "fleet")
    for pair, wanted in ((1, lambda f: (f["OSMajor"], f["OSMinor"]) == (6, 3)),
                         (french, lambda f: f["OSMajor"] == 10
                          and f["UserDefaultUI"] == 1036 != f["SysDefaultUI"]),
                         (256, lambda f: f["OSMajor"] == 10
                          and f["DMIMachineType"] == gen_fleet.ADDED_MODEL)):
        name = next((name for name, d in fleet.items() if wanted(d["facts"])), None)
        if name is None:
            problems.append(f"no machine of the fleet is concerned by pair {pair}")
            continue
        verdicts = [next((p["verdict"] for p in explain(dvtool, rules, work / "fleet" / name)
                          ["pairs"] if p["pair"] == pair), "missing")
                    for rules in (work / "old.ini", work / "new.ini")]
        if verdicts[0] == verdicts[1]:
            problems.append(f"pair {pair} is {verdicts[0]} on {name} in both files")
    return problems


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("check", choices=["documents", "replay", "changes"])
    parser.add_argument("--dvtool", type=Path, help="the native dvtool (replay, changes)")
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        gen_fleet.write_fleet(work / "fleet", MACHINES, SEED)
        gen_fleet.write_rules(work / "old.ini", work / "new.ini")
        if arguments.check == "documents":
            problems = check_documents(work)
        elif arguments.check == "replay":
            problems = check_replay(work, arguments.dvtool)
        else:
            problems = check_changes(work, arguments.dvtool)
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
