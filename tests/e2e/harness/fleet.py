"""dvtool plan over a generated fleet, against 'dvtool explain --facts' of every
machine: the same verdicts of both rule files, the machines' names and order,
the changed pairs and the group totals, a document the schema accepts; and the
files that hold no machine named on standard error while the others are planned."""

import csv
import io
import json
import random
from dataclasses import dataclass, field
from pathlib import Path

from .common import REPOSITORY, fresh_folder
from .runner import Executable

SCHEMA = REPOSITORY / "schema"
FACTS_SCHEMA = json.loads((SCHEMA / "facts.schema.json").read_text(encoding="utf-8"))
FACT_KEYS = FACTS_SCHEMA["$defs"]["facts"]["required"]
FOLDER_TOKENS = FACTS_SCHEMA["properties"]["folders"]["required"]

VENDORS = {"Dell Inc.": ["Latitude 7420", "OptiPlex 7090"], "LENOVO": ["20XW0026GE", "ThinkPad X1"],
           "HP": ["EliteBook 840 G8"]}
LANGUAGES = [1031, 1033, 1036, 2057, 3082]
LOCATIONS = ["DE", "US", "FR", "GB", "ES"]
DEVICES = [["PCI\\VEN_8086&DEV_15BB&SUBSYS_0A2D1028&REV_10",
            "PCI\\VEN_8086&DEV_15BB&SUBSYS_0A2D1028", "PCI\\VEN_8086&DEV_15BB"],
           ["PCI\\VEN_10EC&DEV_8168&SUBSYS_00000000&REV_15", "PCI\\VEN_10EC&DEV_8168"],
           ["USB\\VID_046D&PID_C52B&REV_1211", "USB\\VID_046D&PID_C52B"],
           ["ACPI\\PNP0C0A", "*PNP0C0A"],
           ["USB\\VID_0BDA&PID_58FD&MI_00", "USB\\VID_0BDA&PID_58FD"]]
CRITERIA = [
    "OSMajor = GE,6", "OSMajor = LT,10", "OSMinor = EQ,1", "OSMinor = NE,0", "Bit = EQ,64",
    "Bit = NE,64", "Processors = GT,4", "Processors = LE,2", "ProcessorType = EQ,8664",
    "ProcessorLevel = GE,6", "UserDefaultUI = EQ,1031", "UserDefaultPri = EQ,9",
    "SysDefaultUI = NE,1033", "SysDefaultSec = EQ,1", "CurrentLocation = EQ,de",
    "CurrentLocation = NE,US", "DMIVendor = EQ,lenovo", "DMIVendor = NE,HP",
    "DMIMachineType = EQ,Latitude 7420", "DMIPANumber = EQ,2,A0",
    "HWID = EQ,PCI\\VEN_8086&DEV_15BB", "HWIDLeft = EQ,usb\\vid_046d", "HWID = NE,ACPI\\PNP0C0A",
    "FileExists = EQ,[CSIDL_PROGRAM_FILES]\\App\\app.exe", "FileExists = NE,C:\\Temp\\marker",
]


@dataclass
class Machine:
    file: str       # its file's name
    folder: str     # the folder of fleet/ it is in, "" for one given alone
    host: str       # the name plan gives it
    document: dict  # the facts document
    cached: bool    # a fact cache file
    group: str = ""
    verdicts: dict = field(default_factory=dict)  # rule file -> (startupFailure, holds, unknown)


def fact_values(rng: random.Random, index: int) -> dict:
    vendor = rng.choice(sorted(VENDORS))
    language = rng.choice(LANGUAGES)
    system = rng.choice(LANGUAGES)
    facts = {
        "OSMajor": rng.choice([5, 6, 6, 10]), "OSMinor": rng.choice([0, 1, 2, 3]),
        "Bit": rng.choice([32, 64, 64]), "Processors": rng.choice([1, 2, 4, 8, 16]),
        "ProcessorType": rng.choice([586, 8664]), "ProcessorRevision": rng.randrange(65536),
        "ProcessorLevel": rng.choice([6, 15, 23]), "ProcessorModel": rng.randrange(256),
        "ProcessorStepping": rng.randrange(16),
        "UserDefaultUI": language, "UserDefaultPri": language & 0x3FF,
        "UserDefaultSec": language >> 10,
        "SysDefaultUI": system, "SysDefaultUIPri": system & 0x3FF, "SysDefaultUISec": system >> 10,
        "SysDefault": system, "SysDefaultPri": system & 0x3FF, "SysDefaultSec": system >> 10,
        "CurrentLocation": rng.choice(LOCATIONS), "DMIVendor": vendor,
        "DMIMachineType": rng.choice(VENDORS[vendor]),
        "DMIPANumber": rng.choice(["A01", "A07", "B2"]),
    }
    # Facts whose source failed: two end the run before the walk, one is a DMI text.
    failed = {3: "OSMajor", 11: "CurrentLocation", 17: "DMIVendor"}.get(index)
    if failed:
        facts[failed] = {"error": f"{failed} could not be read"}
    assert set(facts) == set(FACT_KEYS)
    return facts


def facts_document(rng: random.Random, index: int, windows: bool, first_form: bool) -> dict:
    devices = [{"hardwareIds": ids} for ids in rng.sample(DEVICES, rng.randrange(len(DEVICES) + 1))]
    root = "C:\\Users\\u\\" if windows else "/home/u/"
    folders = {token: None if rng.random() < 0.1 else root + token for token in FOLDER_TOKENS}
    document = {"facts": fact_values(rng, index), "devices": devices, "folders": folders}
    if first_form:
        return {"version": 1, **document}
    return {"kind": "facts", "version": {"major": 2, "minor": rng.choice([0, 3])},
            "producer": "dvtool 4.0XP", "platform": "windows" if windows else "linux",
            "host": f"PC-{index:02d}", "captured": "2026-12-09T08:31:29.123Z",
            "os": {"name": "Windows 10 Pro" if windows else "Debian GNU/Linux 12 (bookworm)",
                   "build": rng.choice(["19045", "22631"]) if windows else None},
            **document}


def make_fleet(work: Path, count: int = 30) -> list[Machine]:
    """Documents of both platforms and forms and fact cache files, in fleet/docs
    (mixed), fleet/cache and one document alone; in the order plan reads them."""
    rng = random.Random(20261209)
    machines = []
    for index in range(count):
        first_form = index % 4 == 1
        document = facts_document(rng, index, windows=index % 2 == 0, first_form=first_form)
        if index % 5 == 4:
            host = f"ws{index:02d}.example.org"
            machines.append(Machine(host, "docs" if index % 10 == 4 else "cache", host, document,
                                    True))
            continue
        name = f"m{index:02d}.facts.json" if index % 3 == 0 else f"m{index:02d}.json"
        host = f"m{index:02d}" if first_form else document["host"]
        machines.append(Machine(name, "" if index == count - 2 else "docs", host, document, False))
    for machine in machines:
        path = work / "fleet" / machine.folder / machine.file
        path.parent.mkdir(parents=True, exist_ok=True)
        content = machine.document
        if machine.cached:
            content = {"ansible_hostname": machine.host,
                       "discovered_interpreter_python": "/usr/bin/python3",
                       "dorvanta_facts": machine.document}
        path.write_text(json.dumps(content, indent=4, sort_keys=True), encoding="utf-8")
        oracle = work / "oracle" / f"{machine.file}.document"
        oracle.parent.mkdir(exist_ok=True)
        oracle.write_text(json.dumps(machine.document), encoding="utf-8")
    # A file beginning with '.' is none of the fleet's.
    (work / "fleet" / "docs" / ".keep").write_text("not a machine", encoding="utf-8")
    order = {"docs": 0, "cache": 1, "": 2}
    return sorted(machines, key=lambda m: (order[m.folder], m.file))


def make_rules(work: Path) -> tuple[str, str]:
    """A rule file of 30 pairs and its changed copy: pairs with other criteria,
    and a walk that stops earlier."""
    rng = random.Random(7)
    pairs = [rng.sample(CRITERIA, rng.choice([1, 1, 2, 3])) for _ in range(30)]
    changed = [list(criteria) for criteria in pairs[:27]]
    for number in rng.sample(range(27), 9):
        changed[number] = rng.sample(CRITERIA, rng.choice([1, 2]))

    def text(all_criteria: list[list[str]]) -> str:
        lines = []
        for number, criteria in enumerate(all_criteria, 1):
            lines += [f"[CRITERIA{number}]", *criteria, f"[ACTION{number}]",
                      f"Execute = WAIT, setup{number}.exe, /quiet", ""]
        return "\r\n".join(lines)

    (work / "old.ini").write_text(text(pairs), encoding="ascii")
    (work / "new.ini").write_text(text(changed), encoding="ascii")
    return "new.ini", "old.ini"


def explained(tool: Executable, work: Path, ini: str, machine: Machine) -> tuple:
    facts = f"oracle/{machine.file}.document"
    result = tool.run(["explain", ini, "--facts", facts, "--json"], work)
    if result.returncode != 0:
        raise AssertionError(f"explain {ini} of {machine.file}: exit {result.returncode} "
                             f"{result.stderr!r}")
    document = json.loads(result.stdout)
    pairs = document["pairs"]
    return (document["startupFailure"], [p["pair"] for p in pairs if p["verdict"] == "holds"],
            [p["pair"] for p in pairs if p["verdict"] == "unknown"])


def status(pair: int, holds: list, unknown: list) -> str:
    return "holds" if pair in holds else "unknown" if pair in unknown else "neither"


def model_group(machine: Machine) -> str:
    facts = machine.document["facts"]
    text = lambda key: facts[key] if isinstance(facts[key], str) else ""
    return " ".join(t for t in (text("DMIVendor"), text("DMIMachineType")) if t) or "(unknown)"


def expected_totals(machines: list[Machine]) -> dict:
    groups: dict = {}
    for machine in machines:
        failure, holds, unknown = machine.verdicts["new.ini"]
        _, old_holds, old_unknown = machine.verdicts["old.ini"]
        group = groups.setdefault(model_group(machine), {"machines": 0, "changed": 0,
                                                         "startupFailures": 0, "pairs": {}})
        group["machines"] += 1
        group["startupFailures"] += failure is not None
        changed = [p for p in range(1, 31)
                   if status(p, holds, unknown) != status(p, old_holds, old_unknown)]
        group["changed"] += bool(changed)
        # A pair counts where it holds, is unknown, or holds on one side alone.
        for pair in sorted(set(holds + unknown).union(set(holds) ^ set(old_holds))):
            counts = group["pairs"].setdefault(pair, {"pair": pair, "holds": 0, "unknown": 0,
                                                      "gained": 0, "lost": 0})
            counts["holds"] += pair in holds
            counts["unknown"] += pair in unknown
            counts["gained"] += pair in holds and pair not in old_holds
            counts["lost"] += pair in old_holds and pair not in holds
    return {name: dict(group, pairs=[group["pairs"][p] for p in sorted(group["pairs"])])
            for name, group in sorted(groups.items())}


def plan_problems(document: dict, machines: list[Machine]) -> list[str]:
    problems = []
    planned = document["machines"]
    names = [(Path(m["file"].replace("\\", "/")).name, m["host"]) for m in planned]
    wanted = [(m.file, m.host) for m in machines]
    if names != wanted:
        return [f"machines and their order: {names}, not {wanted}"]
    for entry, machine in zip(planned, machines):
        failure, holds, unknown = machine.verdicts["new.ini"]
        _, old_holds, old_unknown = machine.verdicts["old.ini"]
        changed = [p for p in range(1, 31)
                   if status(p, holds, unknown) != status(p, old_holds, old_unknown)]
        got = (entry["startupFailure"], entry["holds"], entry["unknown"], entry["baselineHolds"],
               entry["baselineUnknown"], entry["changed"], entry["group"])
        want = (failure, holds, unknown, old_holds, old_unknown, changed, model_group(machine))
        if got != want:
            problems.append(f"{machine.file}: plan says {got}, explain {want}")
    groups = {group.pop("group"): group for group in document["groups"]}
    expected = expected_totals(machines)
    for name in sorted(set(groups) | set(expected)):
        if groups.get(name) != expected.get(name):
            problems.append(f"group {name!r}: {groups.get(name)}, not {expected.get(name)}")
    return problems


def validate(document: dict) -> list[str]:
    import jsonschema
    schema = json.loads((SCHEMA / "plan.schema.json").read_text(encoding="utf-8"))
    errors = sorted(jsonschema.Draft202012Validator(schema).iter_errors(document), key=str)
    return [f"plan.schema.json: {error.message} at {list(error.absolute_path)}" for error in errors]


def run_plan_oracle(tool: Executable, work_root: Path) -> int:
    tool.check()
    work = fresh_folder(work_root / "plan" / tool.target.name)
    machines = make_fleet(work)
    new, old = make_rules(work)
    for machine in machines:
        machine.verdicts = {ini: explained(tool, work, ini, machine) for ini in (new, old)}
    windows = tool.target.windows
    # Under Wine the folders are given as Windows paths, relative and absolute.
    cache = f"Z:{work / 'fleet' / 'cache'}".replace("/", "\\") if windows else "fleet/cache"
    alone = next(machine.file for machine in machines if not machine.folder)
    paths = [".\\fleet\\docs" if windows else "fleet/docs", cache,
             f".\\fleet\\{alone}" if windows else f"fleet/{alone}"]
    facts = [word for path in paths for word in ("--facts", path)]
    problems = []
    result = tool.run(["plan", new, "--baseline", old, *facts, "--json"], work)
    if result.returncode != 1:
        problems.append(f"plan ended with {result.returncode}, not 1: {result.stderr!r}")
    document = json.loads(result.stdout)
    problems += validate(document) + plan_problems(document, machines)

    # The text: the changed machines first, in input order, then the groups.
    text = tool.run(["plan", new, "--baseline", old, *facts], work).stdout.decode("utf-8")
    changed = [m for m in machines if any(
        status(p, *m.verdicts[new][1:]) != status(p, *m.verdicts[old][1:]) for p in range(1, 31))]
    listed = text.partition("Changed machines")[2].partition("By model:")[0]
    shown = [line.split(" (")[0].strip() for line in listed.splitlines()[1:] if "->" in line]
    if not listed.startswith(f" ({len(changed)})") or shown != [m.host for m in changed]:
        problems.append(f"the text's changed machines: {shown}, not {[m.host for m in changed]}")

    by_os = json.loads(tool.run(["plan", new, *facts, "--json", "--by", "os"], work).stdout)
    problems += validate(by_os)
    for entry, machine in zip(by_os["machines"], machines):
        facts_of = machine.document["facts"]
        build = machine.document.get("os", {}).get("build")
        version = f"{facts_of['OSMajor']}.{facts_of['OSMinor']}"
        want = ("(unknown)" if isinstance(facts_of["OSMajor"], dict) else
                version + (f" build {build}" if build else ""))
        if entry["group"] != want or "changed" in entry:
            problems.append(f"--by os, {machine.file}: {entry}, not the group {want!r}")

    # The CSV by language: a row per machine, its group the user's UI language ID.
    rows = list(csv.DictReader(io.StringIO(
        tool.run(["plan", new, *facts, "--csv", "--by", "language"], work).stdout.decode("utf-8"))))
    for row, machine in zip(rows, machines):
        language = machine.document["facts"]["UserDefaultUI"]
        _, holds, unknown = machine.verdicts[new]
        want = [machine.host, f"{language} ({language:#x})", " ".join(map(str, holds)),
                " ".join(map(str, unknown))]
        if [row["host"], row["group"], row["holds"], row["unknown"]] != want:
            problems.append(f"--csv --by language, {machine.file}: {row}, not {want}")
    if len(rows) != len(machines):
        problems.append(f"--csv: {len(rows)} rows for {len(machines)} machines")

    # Files that hold no machine: each named, the others planned, exit code 2.
    bad = work / "fleet" / "bad"
    bad.mkdir()
    (bad / "broken.json").write_text("{\"kind\": \"facts\",", encoding="utf-8")
    (bad / "nofacts.example.org").write_text("{\"ansible_hostname\": \"x\"}", encoding="utf-8")
    (bad / "textfacts.example.org").write_text("{\"dorvanta_facts\": \"{}\"}", encoding="utf-8")
    bad_path = ".\\fleet\\bad" if windows else "fleet/bad"
    broken = tool.run(["plan", new, "--facts", bad_path, *facts, "--csv"], work)
    separator = "\\" if windows else "/"
    stderr = broken.stderr.decode("utf-8", errors="replace").replace("\r\n", "\n")
    for name, reason in (("broken.json", "no JSON document"),
                         ("nofacts.example.org", "neither a facts document"),
                         ("textfacts.example.org", "dorvanta_facts: the document lacks \"version\"")):
        if f"dvtool plan: cannot read {bad_path}{separator}{name}: {reason}" not in stderr:
            problems.append(f"standard error does not name {name} with {reason!r}: {stderr!r}")
    rows = broken.stdout.decode("utf-8").splitlines()
    if broken.returncode != 2 or len(rows) != len(machines) + 1:
        problems.append(f"with unreadable files: exit {broken.returncode}, {len(rows)} CSV lines")
    for problem in problems:
        print(problem)
    print(f"{len(machines)} machines, {len(problems)} problems")
    return 1 if problems else 0
