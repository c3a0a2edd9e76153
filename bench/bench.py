#!/usr/bin/env python3
"""Times whole runs of the native and the Windows executables (under Wine) with
hyperfine, beside the floor of starting a process and beside the peers, and
writes bench/RESULTS.md and bench/scaling.svg.

bench/run.sh installs the tools and builds the executables first, and the
Dorvanta of the commit before the device list was read once between actions
(build/bench-before/); this script expects both builds, takes the earlier one
where it is there, and uses build/bench/ for its work files.
"""

import argparse
import datetime
import json
import os
import platform
import re
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path

import gen_fleet
import gen_rules

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from harness import runner  # noqa: E402  (found through the path above)

WORK = ROOT / "build" / "bench"
PREFIX = ROOT / "build" / "bench-pfx"
NATIVE = ROOT / "build" / "linux" / "src" / "Dorvanta"
NATIVE_HELPER = ROOT / "build" / "linux" / "tests" / "helper" / "dorvanta_test_helper"
WINDOWS = ROOT / "build" / "windows" / "src" / "Dorvanta.exe"
WINDOWS_HELPER = ROOT / "build" / "windows" / "tests" / "helper" / "dorvanta_test_helper.exe"
NATIVE_TOOL = ROOT / "build" / "linux" / "src" / "dvtool"
WINDOWS_TOOL = ROOT / "build" / "windows" / "src" / "dvtool.exe"
# Dorvanta as it was before the device list was read once between actions
# (bench/run.sh builds it there), for the driver pack's figures before and after.
BEFORE = ROOT / "build" / "bench-before"
BEFORE_NATIVE = BEFORE / "linux" / "src" / "Dorvanta"
BEFORE_WINDOWS = BEFORE / "windows" / "src" / "Dorvanta.exe"
RESULTS = ROOT / "bench" / "RESULTS.md"
PLOT = ROOT / "bench" / "scaling.svg"

LINES_PER_PAIR = 16
SCALING_PAIRS = (1, 16, 64, 256)
# Pairs of the files that compare one kind of criteria line with another.
KIND_PAIRS = 16
# A driver pack: this many pairs of one criteria line each.
PACK_PAIRS = 256
# An ID no machine has, and the placeholder for one this machine has.
ABSENT_ID = r"PCI\VEN_FFFF&DEV_FFFF&SUBSYS_FFFFFFFF"
# dvtool check: one section of this many criteria lines (100,000 lines are 2 MB).
CHECK_LINES = (10_000, 100_000, 200_000)
# dvtool summarize: this many run records of half as many hosts (each host's
# earlier record is left out for its newer one), as the role fetches them.
SUMMARY_RECORDS = 100_000
# dvtool plan: fleets of this many machines, the loop of explain runs timed on
# this many documents of the first and scaled up, and what a document may take
# on the disk at most (the generator's are some 26 KB) before the fleet is made.
PLAN_MACHINES = (3_000, 100_000)
LOOP_SAMPLE = 200
DOCUMENT_ROOM = 40_000
FLOOR = ROOT / "build" / "linux" / "bench" / "facts_floor"
PRESENT = "{present}"
# The cheapest action line: it runs nothing (it is reported as not supported),
# yet the walk reads the devices afresh after it, as after any action line.
CHEAP_ACTION = "Bench = no such action"
# The hardware ID of a present device, natively (False) and under Wine (True).
PACK_IDS: dict[bool, str] = {}
# The commit the earlier build comes from, as bench/run.sh wrote it.
BEFORE_COMMIT = ((BEFORE / "commit").read_text().strip() if (BEFORE / "commit").is_file()
                 else "")
# The facts facter shares with dvtool facts: the OS version (kernel release),
# distribution and architecture, the processors, the DMI texts. facter has no
# language IDs, location, device list or folders.
FACTER_SHARED = ("os", "kernelrelease", "processors", "dmi")


@dataclass(frozen=True)
class Timing:
    """Seconds, as hyperfine reports them."""
    median: float
    stddev: float
    low: float
    high: float
    runs: int

    def cell(self) -> str:
        spread = f"{ms(self.low)}–{ms(self.high)}"
        return f"{ms(self.median)} ± {ms(self.stddev)} ({spread}, n={self.runs})"


def ms(seconds: float) -> str:
    value = seconds * 1000
    return f"{value:.3g}" if value < 100 else f"{value:.0f}"


def us(seconds: float) -> str:
    return f"{seconds * 1e6:.3g}"


def duration(seconds: float) -> str:
    """µs below a millisecond, ms above."""
    return f"{us(seconds)} µs" if abs(seconds) < 1e-3 else f"{ms(seconds)} ms"


# --------------------------------------------------------------------------
# Environments and paths

# The environments of the end-to-end tests: a fixed locale, no display.
native_environment = runner.base_environment


def wine_environment(**changes: str) -> dict[str, str]:
    env = runner.wine_environment(PREFIX)
    env.update(changes)
    return env


def windows_path(path: Path) -> str:
    """The path as a Windows program under Wine sees it (drive Z: is /)."""
    return "Z:" + str(path).replace("/", "\\")


def quiet(command: list[str], env: dict[str, str]) -> None:
    """Runs a command with its output in a file: a Wine server that it starts
    inherits standard error, and a pipe would wait for the server to end."""
    with tempfile.TemporaryFile() as output:
        done = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=output,
                              stderr=subprocess.STDOUT)
        if done.returncode != 0:
            output.seek(0)
            sys.stderr.write(output.read().decode("utf-8", errors="replace"))
            raise SystemExit(f"{shlex.join(command)} ended with code {done.returncode}")


# --------------------------------------------------------------------------
# Rule files

@dataclass(frozen=True)
class RuleFile:
    name: str
    pairs: int
    mix: str = "mixed"
    alternate: bool = False
    execute: bool = False
    # A driver pack: every pair holds this one line ({present}: a hardware ID
    # of a device present where the benchmark runs), and ACTIONx this one.
    line: str | None = None
    action: str | None = None

    @property
    def per_pair(self) -> int:
        return 1 if self.line else LINES_PER_PAIR

    @property
    def lines(self) -> int:
        return self.pairs * self.per_pair

    def path(self, windows: bool) -> Path:
        return WORK / ("wine" if windows else "native") / f"{self.name}.ini"

    def write(self, windows: bool, present_id: str) -> None:
        action = self.action
        if self.execute:
            action = gen_rules.execute_line(windows_path(WINDOWS_HELPER) if windows
                                            else str(NATIVE_HELPER))
        mix = (self.line.replace(PRESENT, present_id),) if self.line else self.mix
        text = gen_rules.rule_file(self.pairs, self.per_pair, mix, self.alternate, action)
        self.path(windows).parent.mkdir(parents=True, exist_ok=True)
        gen_rules.write_rule_file(self.path(windows), text)


FACTS_ONLY = RuleFile("facts-only", 0)
SCALING = tuple(RuleFile(f"mixed-{n}", n) for n in SCALING_PAIRS)
NUMERIC_KIND = RuleFile(f"numeric-{KIND_PAIRS}", KIND_PAIRS, mix="numeric")
HWID_KIND = RuleFile(f"hwid-{KIND_PAIRS}", KIND_PAIRS, mix="hwid")
NUMERIC_LARGE = RuleFile("numeric-256", 256, mix="numeric")
ALTERNATING = RuleFile("alternating-256", 256, alternate=True)
EXECUTING = RuleFile("execute-16", 16, execute=True)
PACK_NUMERIC = RuleFile("pack-numeric", PACK_PAIRS, line=gen_rules.NUMERIC_LINE)
PACK_MATCH = RuleFile("pack-hwid-present", PACK_PAIRS, line=f"HWID = EQ,{PRESENT}")
PACK_MISS = RuleFile("pack-hwid-absent", PACK_PAIRS, line=f"HWID = NE,{ABSENT_ID}")
PACK_NUMERIC_ACTIONS = RuleFile("pack-numeric-actions", PACK_PAIRS, line=gen_rules.NUMERIC_LINE,
                                action=CHEAP_ACTION)
PACK_MATCH_ACTIONS = RuleFile("pack-hwid-present-actions", PACK_PAIRS,
                              line=f"HWID = EQ,{PRESENT}", action=CHEAP_ACTION)
PACK_FILES = (PACK_NUMERIC, PACK_MATCH, PACK_MISS, PACK_NUMERIC_ACTIONS, PACK_MATCH_ACTIONS)
# A start that fails in every pair: the record's cheapest actions, so its
# syncs weigh most there.
FAILING_STARTS = RuleFile("nowait-missing-64", 64, action="Execute = NOWAIT, missing-program.exe")
# The files dvtool run times with and without --record.
RECORD_FILES = (SCALING[-1], EXECUTING, FAILING_STARTS)
ALL_FILES = (FACTS_ONLY, *SCALING, NUMERIC_KIND, HWID_KIND, NUMERIC_LARGE, ALTERNATING, EXECUTING,
             *PACK_FILES, FAILING_STARTS)



# --------------------------------------------------------------------------
# Timing

class Runner:
    def __init__(self, quick: bool):
        self.quick = quick
        self.times: dict[str, list[float]] = {}
        # Every timed command and its environment, for the peak memory of each.
        self.commands: dict[str, tuple[list[str], dict[str, str]]] = {}
        # The load average (1 min) at the start and the end of each group.
        self.loads: dict[str, tuple[float, float]] = {}
        # Rounds timed again after a run failed (under Wine on a loaded machine
        # a run now and then ends with code 1, the earlier build's as well).
        self.retried: list[str] = []
        # The processor time (user and system) of each round's runs, as hyperfine
        # means them: on a loaded machine it varies less than the time on the clock.
        self.cpu: dict[str, list[float]] = {}

    def time(self, group: str, commands: dict[str, list[str]], env: dict[str, str],
             warmup: int, runs: int, rounds: int = 3, ignore_failure: bool = False) -> None:
        """Times each command with hyperfine (no shell between) in a few rounds,
        so that a change of the machine's load falls on all commands alike, and
        keeps the times under the command's label."""
        for name, argv in commands.items():
            self.commands[name] = (argv, env)
        if self.quick:
            warmup, runs, rounds = 1, 2, 1
        print(f"### {group}", flush=True)
        load_at_start = os.getloadavg()[0]
        for round_number in range(rounds):
            export = WORK / f"{group}-{round_number}.json"
            command = ["hyperfine", "--shell=none", "--style=basic", f"--warmup={warmup}",
                       f"--runs={runs}", f"--export-json={export}"]
            if ignore_failure:
                command.append("--ignore-failure")
            for label, argv in commands.items():
                command += ["--command-name", label, shlex.join(argv)]
            for attempt in range(3):
                if subprocess.run(command, env=env, stdin=subprocess.DEVNULL).returncode == 0:
                    break
                if attempt == 2:
                    raise SystemExit(f"{group}: round {round_number + 1} failed three times")
                self.retried.append(f"{group} round {round_number + 1}")
            for result in json.loads(export.read_text())["results"]:
                self.times.setdefault(result["command"], []).extend(result["times"])
                self.cpu.setdefault(result["command"], []).append(result["user"] +
                                                                  result["system"])
        self.loads[group] = (load_at_start, os.getloadavg()[0])

    def __getitem__(self, label: str) -> Timing:
        times = self.times[label]
        return Timing(statistics.median(times), statistics.stdev(times) if len(times) > 1 else 0.0,
                      min(times), max(times), len(times))


def dorvanta(windows: bool, rules: RuleFile, log: bool) -> list[str]:
    path = rules.path(windows)
    log_path = path.with_suffix(".log")
    if windows:
        argv = ["wine", str(WINDOWS), windows_path(path)]
        return argv + [windows_path(log_path)] if log else argv
    return [str(NATIVE), str(path)] + ([str(log_path)] if log else [])


def label(windows: bool, rules: RuleFile, log: bool) -> str:
    return f"{'wine' if windows else 'native'} {rules.name}{' log' if log else ''}"


def dorvanta_before(windows: bool, rules: RuleFile) -> list[str]:
    if windows:
        return ["wine", str(BEFORE_WINDOWS), windows_path(rules.path(True))]
    return [str(BEFORE_NATIVE), str(rules.path(False))]


def has_before() -> bool:
    return BEFORE_NATIVE.is_file() and BEFORE_WINDOWS.is_file()


def dvtool(windows: bool, *arguments: str) -> list[str]:
    return ["wine", str(WINDOWS_TOOL), *arguments] if windows else [str(NATIVE_TOOL), *arguments]


def present_hardware_id(windows: bool, env: dict[str, str]) -> str:
    """The first hardware ID of the last device that dvtool facts lists here:
    a search for it passes every other device before it matches."""
    document = WORK / f"facts-{'wine' if windows else 'native'}.json"
    out = windows_path(document) if windows else str(document)
    quiet(dvtool(windows, "facts", "--json", "-o", out), env)
    devices = json.loads(document.read_text(encoding="utf-8"))["devices"]
    if not devices:
        raise SystemExit("dvtool facts lists no device here: the driver pack needs one")
    return devices[-1]["hardwareIds"][0]


def time_pack(runner: Runner, windows: bool, env: dict[str, str]) -> None:
    """The driver pack, the earlier build on it, dvtool explain on it and
    dvtool facts, in the same rounds, so that their ratios share the load."""
    side = "wine" if windows else "native"
    commands = {label(windows, rules, False): dorvanta(windows, rules, False)
                for rules in (FACTS_ONLY, *PACK_FILES)}
    if has_before():
        for rules in (PACK_NUMERIC, PACK_MATCH, PACK_MISS, PACK_MATCH_ACTIONS):
            commands[f"{side} before {rules.name}"] = dorvanta_before(windows, rules)
    path = PACK_MATCH.path(windows)
    commands[f"{side} explain {PACK_MATCH.name}"] = dvtool(
        windows, "explain", windows_path(path) if windows else str(path))
    commands[f"{side} dvtool facts"] = dvtool(windows, "facts", "--json")
    if windows:
        commands["wine floor"] = ["wine", "cmd", "/c", "exit"]
    runner.time(f"{side}-pack", commands, env, warmup=2, runs=5 if windows else 8)


def dvtool_run(windows: bool, rules: RuleFile, record: bool) -> list[str]:
    path = rules.path(windows)
    argv = dvtool(windows, "run", windows_path(path) if windows else str(path))
    if record:
        out = path.with_suffix(".jsonl")
        argv += ["--record", windows_path(out) if windows else str(out)]
    return argv


def record_label(windows: bool, rules: RuleFile, record: bool) -> str:
    return f"{'wine' if windows else 'native'} run {rules.name}{' record' if record else ''}"


def time_record(runner: Runner, windows: bool, env: dict[str, str]) -> None:
    """dvtool run on each record file with and without its record, in the same rounds."""
    commands = {record_label(windows, rules, record): dvtool_run(windows, rules, record)
                for rules in RECORD_FILES for record in (False, True)}
    runner.time(f"{'wine' if windows else 'native'}-record", commands, env, warmup=1,
                runs=3 if windows else 8, rounds=2)


def record_syncs(rules: RuleFile) -> tuple[int, int]:
    """The lines of a native run's record and the syncs that put them on the disk."""
    trace = WORK / "record.strace"
    argv = dvtool_run(False, rules, True)
    subprocess.run(["strace", "-f", "-e", "trace=fsync,fdatasync", "-o", str(trace), *argv],
                   env=native_environment(), stdout=subprocess.DEVNULL, check=True)
    lines = len(Path(argv[-1]).read_text(encoding="utf-8").splitlines())
    syncs = sum(1 for line in trace.read_text().splitlines() if "sync(" in line)
    return lines, syncs


def time_facter(runner: Runner) -> None:
    """dvtool facts --json beside facter's whole document and beside facter
    asked for the facts the two share. facter ends with code 1 here when it
    may not read /proc/1/environ, after writing its document."""
    commands = {"native dvtool facts beside facter": dvtool(False, "facts", "--json"),
                "native facter": ["facter", "--json"],
                "native facter shared": ["facter", "--json", *FACTER_SHARED]}
    runner.time("native-facter", commands, native_environment(), warmup=1, runs=5,
                rounds=2, ignore_failure=True)


def time_platform(runner: Runner, windows: bool) -> None:
    env = wine_environment() if windows else native_environment()
    side = "wine" if windows else "native"
    # Native runs take milliseconds, runs under Wine a tenth of a second and more.
    few, many = (3, 8) if windows else (10, 30)
    floor = {f"{side} floor": ["wine", "cmd", "/c", "exit"] if windows else ["/bin/true"],
             f"{side} helper": (["wine", str(WINDOWS_HELPER)] if windows
                                else [str(NATIVE_HELPER)]),
             label(windows, FACTS_ONLY, False): dorvanta(windows, FACTS_ONLY, False),
             label(windows, FACTS_ONLY, True): dorvanta(windows, FACTS_ONLY, True)}
    if windows:
        # Without the WMI provider every query fails at once: the difference to
        # the facts-only run is what the DMI block costs (env adds one exec).
        floor["wine facts-only without WMI"] = [
            "env", "WINEDLLOVERRIDES=mscoree,mshtml=;wbemprox=d",
            *dorvanta(True, FACTS_ONLY, False)]
        floor["wine wmic"] = ["wine", "wmic", "path", "Win32_ComputerSystemProduct", "get",
                              "Name,Version,Vendor"]
    runner.time(f"{side}-floor", floor, env, warmup=few, runs=many)

    small = {}
    for rules in (*SCALING[:-1], NUMERIC_KIND, HWID_KIND, NUMERIC_LARGE, EXECUTING):
        small[label(windows, rules, False)] = dorvanta(windows, rules, False)
    for rules in (*SCALING[:-1], NUMERIC_LARGE):
        small[label(windows, rules, True)] = dorvanta(windows, rules, True)
    runner.time(f"{side}-scaling", small, env, warmup=2, runs=6 if windows else 15)

    # The largest files: a device search per pair makes them long under Wine.
    large = {label(windows, rules, log): dorvanta(windows, rules, log)
             for rules, log in ((SCALING[-1], False), (SCALING[-1], True), (ALTERNATING, False))}
    runner.time(f"{side}-large", large, env, warmup=1, runs=3 if windows else 5)


def check_file(lines: int) -> Path:
    """[CRITERIA1] with `lines` lines of five kinds (numbers, devices, files,
    first characters), each limiting its key once more, none contradicting."""
    kinds = ("OSMajor = NE,{}", r"HWID = NE,PCI\VEN_{}", r"FileExists = NE,C:\x{}",
             "DMIPANumber = NE,3,A{}", "Processors = NE,{}")
    path = WORK / f"check-{lines}.ini"
    body = "".join(kinds[i % len(kinds)].format(i) + "\n" for i in range(lines))
    path.write_text("[CRITERIA1]\n" + body + "[ACTION1]\nExecute = WAIT, setup.exe\n")
    return path


def check_label(lines: int) -> str:
    return f"native check {lines}"


def time_check(runner: Runner) -> None:
    # The section does not fit the run's buffer: check exits with 1 (DV105).
    commands = {check_label(n): dvtool(False, "check", str(check_file(n))) for n in CHECK_LINES}
    runner.time("native-check", commands, native_environment(), warmup=1, runs=5, rounds=2,
                ignore_failure=True)


def check_report(t: Runner) -> list[str]:
    out = ["## dvtool check", "",
           "`dvtool check` on one section of criteria lines of five kinds, each line limiting its "
           "key once more (no contradiction), natively.", "",
           "| lines | bytes | native | processor time | µs of it per line |",
           "|---|---|---|---|---|"]
    cpu = {n: statistics.median(t.cpu[check_label(n)]) for n in CHECK_LINES}
    for n in CHECK_LINES:
        size = (WORK / f"check-{n}.ini").stat().st_size
        out.append(f"| {n:,} | {size:,} | {t[check_label(n)].cell()} | {ms(cpu[n])} | "
                   f"{us(cpu[n] / n)} |")
    first, last = CHECK_LINES[0], CHECK_LINES[-1]
    growth = (cpu[last] / last) / (cpu[first] / first)
    out += ["", "(Processor time: the median of the rounds' mean user and system time.)", "",
            f"- Linear growth (target: a line of the {last:,}-line file costs at most 2× a "
            f"line of the {first:,}-line file, in processor time): **{growth:.2f}×** "
            f"({verdict(growth, 2.0)}); 100,000 lines in "
            f"**{ms(t[check_label(100_000)].median)} ms** on the clock, "
            f"{ms(cpu[100_000])} ms of processor time (target well under a second).", ""]
    return out


def replace_check_report(runner: Runner, load: tuple[float, float]) -> None:
    """Writes the check's section of RESULTS.md anew, with its own date and load."""
    when = datetime.datetime.now().astimezone().strftime("%Y-%m-%d %H:%M %Z")
    section = check_report(runner)
    section[4:4] = [f"Timed on its own (`bench/run.sh --check`) at {when}, load average "
                    f"(1 min) {load[0]:.1f} at the start and {load[1]:.1f} at the end.", ""]
    replace_section("## dvtool check", section)


def summary_records() -> Path:
    """A folder of SUMMARY_RECORDS records as dvtool run writes them: two runs
    of each host a day apart, two rule file versions, every result class, a
    failed action on every failure, a cut record now and then; and the list of
    the hosts expected, the records' hosts and a tenth more without one."""
    folder = WORK / "summary-records"
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    hashes = ("5d41402abc4b2a76b9719d911017c592ae6fa2f1f6cbf3ca8c8e9d3a0e2b6d40",
              "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08")
    classes = (("success", 0), ("failure", 1603), ("reboot-required", 3010),
               ("retry-later", 1618), ("success", 0))
    hosts = SUMMARY_RECORDS // 2
    for n in range(SUMMARY_RECORDS):
        host, day = n % hosts, 8 + n // hosts
        result, code = classes[n % len(classes)]
        start = {"event": "run-start", "kind": "record", "version": {"major": 2, "minor": 0},
                 "time": f"2026-12-{day:02}T08:00:00.000Z", "host": f"pc-{host:06}",
                 "systemHost": "vm", "user": "root", "program": "dvtool 4.0XP",
                 "ini": "rules.ini", "iniSha256": hashes[day % 2], "facts": {"OSMajor": 10}}
        action = {"event": "action", "time": f"2026-12-{day:02}T08:00:05.000Z", "pair": 1,
                  "section": "ACTION1", "text": "Execute = WAIT, setup.exe, /quiet",
                  "name": "Execute", "request": {"kind": "execute", "program": "setup.exe",
                                                 "parameters": "/quiet", "wait": True},
                  "done": True, "reason": None, "exitCode": code,
                  "class": "failure" if result == "failure" else result, "durationMs": 5000}
        end = {"event": "run-end", "time": f"2026-12-{day:02}T08:00:05.001Z", "result": result,
               "exitCode": 1 if result == "failure" else code, "pairsRun": 1,
               "actionsStarted": 1, "actionsFailed": 1 if result == "failure" else 0}
        lines = [start, action] if n % 97 == 0 else [start, action, end]
        (folder / f"pc-{host:06}-{day}.jsonl").write_text(
            "".join(json.dumps(line, separators=(",", ":")) + "\n" for line in lines))
    expected = WORK / "summary-hosts.txt"
    expected.write_text("".join(f"pc-{n:06}\n" for n in range(hosts + hosts // 10)))
    return folder


def time_summarize(runner: Runner) -> None:
    folder = summary_records()
    expect = "@" + str(WORK / "summary-hosts.txt")
    commands = {"native summarize text": dvtool(False, "summarize", str(folder), "--expect", expect),
                "native summarize --json": dvtool(False, "summarize", str(folder), "--expect",
                                                  expect, "--json")}
    runner.time("native-summarize", commands, native_environment(), warmup=1, runs=3, rounds=1)


def summarize_report(t: Runner, load: tuple[float, float]) -> list[str]:
    when = datetime.datetime.now().astimezone().strftime("%Y-%m-%d %H:%M %Z")
    out = ["## dvtool summarize", "",
           f"`dvtool summarize` of a folder of {SUMMARY_RECORDS:,} generated run records (two "
           f"runs a day apart of {SUMMARY_RECORDS // 2:,} hosts, two rule file versions, every "
           "class, one record in 97 cut), with a tenth more hosts expected that have none, "
           "natively. The older record of each host is left out, named below the totals.", "",
           f"Timed on its own (`bench/run.sh --summarize`) at {when}, load average (1 min) "
           f"{load[0]:.1f} at the start and {load[1]:.1f} at the end.", "",
           "| output | native, ms | processor time, ms |", "|---|---|---|"]
    for label in ("native summarize text", "native summarize --json"):
        out.append(f"| {label.split(' ', 2)[2]} | {t[label].cell()} | "
                   f"{ms(statistics.median(t.cpu[label]))} |")
    slowest = max(t[label].median for label in ("native summarize text", "native summarize --json"))
    out += ["", f"- {SUMMARY_RECORDS:,} records in **{slowest:.1f} s** at most on the clock "
            f"(target: a few seconds: {verdict(slowest, 10.0)}).", ""]
    return out


def floor_stages() -> tuple[str, ...]:
    """The stages of facts_floor, simdjson among them where it was built with it
    (else the stage is a usage error)."""
    with tempfile.TemporaryDirectory(dir=WORK) as empty:
        done = subprocess.run([str(FLOOR), empty, "--stage", "simdjson"], capture_output=True,
                              check=False)
    return ("read", "parse", "facts") + (("simdjson",) if done.returncode == 0 else ())


def plan_label(machines: int, what: str) -> str:
    return f"native {what} {machines}"


def plan_command(fleet: Path, old: Path, new: Path) -> list[str]:
    return dvtool(False, "plan", str(new), "--baseline", str(old), "--facts", str(fleet))


@dataclass
class PlanFigures:
    """What is measured beside hyperfine's times: peak memory, the loop, the profile."""
    rss: dict[str, int]
    fleet_bytes: dict[int, int]
    loop_seconds: float = 0.0
    loop_cpu: float = 0.0
    hot: list[str] | None = None


def explain_loop(fleet: Path, old: Path, new: Path, figures: PlanFigures) -> None:
    """What a user's loop takes: dvtool explain of each rule file on LOOP_SAMPLE
    documents spread over the fleet, one run after another, as a shell loop runs them."""
    documents = sorted(fleet.glob("*.json"))
    sample = documents[::len(documents) // LOOP_SAMPLE][:LOOP_SAMPLE]
    before = os.times()
    start = datetime.datetime.now().timestamp()
    for document in sample:
        for rules in (new, old):
            subprocess.run(dvtool(False, "explain", str(rules), "--facts", str(document),
                                  "--json"), env=native_environment(),
                           stdout=subprocess.DEVNULL, check=True)
    after = os.times()
    figures.loop_seconds = datetime.datetime.now().timestamp() - start
    figures.loop_cpu = (after.children_user - before.children_user
                        + after.children_system - before.children_system)


def perf_profile(argv: list[str]) -> list[str]:
    """The functions where a native run spends most of its time (perf samples,
    self time), with template and parameter lists left out."""
    data = WORK / "perf.data"
    subprocess.run(["perf", "record", "-e", "cpu-clock", "-F", "499", "-o", str(data), "--",
                    *argv], env=native_environment(), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)
    text = subprocess.run(["perf", "report", "-i", str(data), "--stdio", "--no-children",
                           "--sort", "dso,symbol"], capture_output=True, text=True,
                          check=True).stdout
    row = re.compile(r"\s*([\d.]+)%\s+(\S+)\s+\[.\]\s+(.*?)\s*$")
    rows = []
    for line in text.splitlines():
        if not (match := row.match(line)):
            continue
        name = re.split(r"\s{2,}", match.group(3))[0]
        while (shorter := re.sub(r"<[^<>]*>", "", name)) != name:
            name = shorter
        name = re.sub(r"\(.*", "", name).replace("json_abi_v3_11_2::", "")
        rows.append(f"{float(match.group(1)):6.2f}%  {name} ({match.group(2)})")
    return rows[:12]


def time_once(argv: list[str], env: dict[str, str]) -> tuple[float, float, int]:
    """A run's time on the clock and in the processors (user and system), in
    seconds, and its peak resident size in KiB; its exit code is not looked at
    (plan ends with 1 when a machine changed)."""
    with tempfile.TemporaryFile() as report:
        subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", *argv], env=env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=report,
                       check=False)
        report.seek(0)
        wall, user, system, kib = report.read().decode().splitlines()[-1].split()
    return float(wall), float(user) + float(system), int(kib)


def time_plan(runner: Runner) -> PlanFigures:
    """dvtool plan of each fleet against the floor of reading its documents,
    the loop of explain runs on the smaller one, peak memory and the profile.
    Each fleet is written to a folder of its own under build/bench/ and
    deleted when it has been timed."""
    old, new = WORK / "plan-old.ini", WORK / "plan-new.ini"
    gen_fleet.write_rules(old, new)
    stages = floor_stages()
    figures = PlanFigures({}, {})
    env = native_environment()
    for machines in PLAN_MACHINES:
        free = shutil.disk_usage(WORK).free
        if free < machines * DOCUMENT_ROOM:
            raise SystemExit(f"{machines:,} facts documents need {machines * DOCUMENT_ROOM:,} "
                             f"bytes on the disk of {WORK}; {free:,} are free")
        fleet = Path(tempfile.mkdtemp(prefix=f"fleet-{machines}-", dir=WORK))
        try:
            print(f"### writing {machines:,} facts documents to {fleet}", flush=True)
            gen_fleet.write_fleet(fleet, machines, seed=1)
            figures.fleet_bytes[machines] = sum(p.stat().st_size for p in fleet.iterdir())
            # The documents in the page cache before the first timed run.
            quiet([str(FLOOR), str(fleet), "--stage", "read"], env)
            commands = {plan_label(machines, "plan"): plan_command(fleet, old, new)}
            for stage in stages:
                if stage != "parse" or machines == PLAN_MACHINES[0]:
                    commands[plan_label(machines, f"floor {stage}")] = [
                        str(FLOOR), str(fleet), "--stage", stage]
            # Runs of many seconds: each command is timed by /usr/bin/time, which
            # tells its peak memory of the same run, in rounds that share the load.
            for _ in range(3 if machines < 10_000 else 1):
                for label, argv in commands.items():
                    print(f"### {label}", flush=True)
                    wall, cpu, kib = time_once(argv, env)
                    runner.times.setdefault(label, []).append(wall)
                    runner.cpu.setdefault(label, []).append(cpu)
                    figures.rss[label] = max(figures.rss.get(label, 0), kib)
            if machines == PLAN_MACHINES[0]:
                explain_loop(fleet, old, new, figures)
                figures.hot = perf_profile(commands[plan_label(machines, "plan")])
        finally:
            shutil.rmtree(fleet, ignore_errors=True)
    return figures


def plan_report(t: Runner, figures: PlanFigures, load: tuple[float, float]) -> list[str]:
    when = datetime.datetime.now().astimezone().strftime("%Y-%m-%d %H:%M %Z")
    small, large = PLAN_MACHINES
    out = ["## dvtool plan", "",
           "`dvtool plan new.ini --baseline old.ini --facts FOLDER` over a generated fleet "
           "(`bench/gen_fleet.py`, seed 1: facts documents as `dvtool facts --json` writes "
           "them, some 120 devices of four hardware IDs each, 40 models, mostly Windows 10 and "
           "11) with a rule file of 255 pairs and its changed copy of 256 (a model added, an "
           "OS bound moved, a language changed), natively, beside the floor: `facts_floor` "
           "(bench/FactsFloor.cpp) reading the same documents on as many threads and nothing "
           "else: the bytes (read), the JSON tree (parse), the facts as dvtool reads them "
           "(facts), and where it is installed simdjson's tree with every text decoded as the "
           "reader does (simdjson; the JSON tree alone only for the smaller fleet). Each run "
           "is timed by `/usr/bin/time` (clock, user and system time, peak resident size), "
           "three rounds of every command for the smaller fleet, one for the larger.", "",
           f"Timed on its own (`bench/run.sh --plan`) at {when} at commit "
           f"{first_line(['git', '-C', str(ROOT), 'log', '-1', '--format=%h'])}, load average "
           f"(1 min) {load[0]:.1f} at the start and {load[1]:.1f} at the end (the machine is "
           f"shared: processor time varies less than the clock), {os.cpu_count()} processors; "
           "the documents were in the page cache.", "",
           "| machines | run | wall, ms | processor time, ms | processors used | "
           "µs of processor time a machine |", "|---|---|---|---|---|---|"]
    cores: dict[str, float] = {}
    for machines in PLAN_MACHINES:
        for label in (key for key in t.times if key.endswith(f" {machines}")):
            what = label.split(" ", 1)[1].rsplit(" ", 1)[0]
            cpu = statistics.mean(t.cpu[label])
            cores[label] = cpu / statistics.mean(t.times[label])
            out.append(f"| {machines:,} | {what} | {t[label].cell()} | {ms(cpu)} | "
                       f"{cores[label]:.2f} | {cpu / machines * 1e6:.0f} |")
    plan_small, plan_large = (t[plan_label(n, "plan")] for n in PLAN_MACHINES)
    loop = figures.loop_seconds / LOOP_SAMPLE * small
    speedup = loop / plan_small.median
    rss = {n: figures.rss[plan_label(n, "plan")] / 1024 for n in PLAN_MACHINES}
    flat = rss[large] <= 1.5 * rss[small] and rss[large] <= 64
    used = cores[plan_label(large, "plan")]
    out += ["", f"The fleets take {figures.fleet_bytes[small] / small / 1024:.1f} KiB a "
            f"document ({figures.fleet_bytes[large] / 2**30:.2f} GiB for {large:,}).", "",
            f"The loop a user would write, `dvtool explain RULES --facts DOC --json` of both "
            f"rule files for each document, was timed on {LOOP_SAMPLE} documents of the "
            f"{small:,} (every {small // LOOP_SAMPLE}th), one run after another: "
            f"{figures.loop_seconds:.1f} s ({figures.loop_cpu:.1f} s of processor time), "
            f"scaled up: **{loop:.0f} s** for {small:,} machines.", "",
            f"Peak resident size (the largest of a command's runs): plan "
            + ", ".join(f"{rss[n]:.1f} MiB for {n:,}" for n in PLAN_MACHINES)
            + "; the floor (facts) "
            + ", ".join(f"{figures.rss[plan_label(n, 'floor facts')] / 1024:.1f} MiB"
                        for n in PLAN_MACHINES) + ".", "",
            f"- plan against the loop, {small:,} machines: **{speedup:.0f}×** as fast "
            f"(target at least 50×: {'met' if speedup >= 50 else 'missed'}).",
            f"- {large:,} machines in **{plan_large.median:.1f} s** on the clock "
            f"(target at most 20 s: {verdict(plan_large.median, 20.0)}).",
            f"- Peak memory {rss[large]:.1f} MiB for {large:,} against {rss[small]:.1f} MiB for "
            f"{small:,} (target at most 64 MiB, flat in the machines: "
            f"{'met' if flat else 'missed'}).",
            f"- On an idle machine of this kind {large:,} machines would take at best the "
            f"processor time shared over its {os.cpu_count()} processors: "
            f"**{statistics.mean(t.cpu[plan_label(large, 'plan')]) / (os.cpu_count() or 1):.1f} s**"
            f" (the floor of reading the facts: "
            f"{statistics.mean(t.cpu[plan_label(large, 'floor facts')]) / (os.cpu_count() or 1):.1f}"
            " s).",
            f"- Processors used by plan of {large:,} (processor time over the clock): "
            f"**{used:.2f}** of {os.cpu_count()} (target: both: "
            f"{'met' if used >= 0.8 * (os.cpu_count() or 1) else 'missed'}).", ""]
    if figures.hot:
        out += [f"Where plan of {small:,} machines spends its time (`perf record`, self time "
                "of the top functions):", "", "```", *figures.hot, "```", ""]
    return out


def replace_section(heading: str, section: list[str]) -> None:
    """Puts `section` in the place of the section of RESULTS.md under `heading`
    (at the end when there is none) and keeps the rest."""
    text = RESULTS.read_text() if RESULTS.is_file() else ""
    start = text.find(heading)
    if start < 0:
        text = text.rstrip("\n") + "\n\n" + "\n".join(section)
    else:
        end = text.find("\n## ", start + 1)
        text = text[:start] + "\n".join(section) + (text[end:] if end >= 0 else "")
    RESULTS.write_text(text.rstrip("\n") + "\n")


# --------------------------------------------------------------------------
# Counts, memory and profile of native runs

def log_messages(rules: RuleFile) -> int:
    """Messages of a native run with a log: each one opens the log file once."""
    trace = WORK / "messages.strace"
    argv = dorvanta(False, rules, True)
    subprocess.run(["strace", "-f", "-e", "trace=openat", "-o", str(trace), *argv],
                   env=native_environment(), stdout=subprocess.DEVNULL, check=True)
    log_path = argv[-1]
    return sum(1 for line in trace.read_text().splitlines() if f'"{log_path}"' in line)


@dataclass(frozen=True)
class IniReads:
    opens: int
    bytes_read: int
    size: int


def ini_reads(rules: RuleFile) -> IniReads:
    """How often a native run opens the rule file and how many bytes it reads."""
    trace = WORK / "ini.strace"
    path = rules.path(False)
    subprocess.run(["strace", "-e", "trace=openat,read,close", "-o", str(trace),
                    *dorvanta(False, rules, False)],
                   env=native_environment(), stdout=subprocess.DEVNULL, check=True)
    opened = re.compile(r'openat\(.*"' + re.escape(str(path)) + r'".*\) = (\d+)$')
    read = re.compile(r"read\((\d+), .*\) = (\d+)$")
    closed = re.compile(r"close\((\d+)\)")
    ini_fds: set[str] = set()
    opens = bytes_read = 0
    for line in trace.read_text().splitlines():
        if match := opened.search(line):
            ini_fds.add(match.group(1))
            opens += 1
        elif (match := read.search(line)) and match.group(1) in ini_fds:
            bytes_read += int(match.group(2))
        elif (match := closed.search(line)) and match.group(1) in ini_fds:
            ini_fds.discard(match.group(1))
    return IniReads(opens, bytes_read, path.stat().st_size)


def peak_rss_kib(argv: list[str], env: dict[str, str]) -> int:
    """The largest resident size of the command or a process it waited for
    (its exit code is not looked at: facter's may be 1 here)."""
    with tempfile.TemporaryFile() as report:
        subprocess.run(["/usr/bin/time", "-v", *argv], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=report, check=False)
        report.seek(0)
        text = report.read().decode()
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1))


def profile(rules: RuleFile) -> list[str]:
    """The functions that execute the most instructions themselves in a native
    run, with their share, names without parameter lists."""
    output = WORK / "callgrind.out"
    subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={output}",
                    *dorvanta(False, rules, False)], env=native_environment(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    text = subprocess.run(["callgrind_annotate", str(output)],
                          capture_output=True, text=True, check=True).stdout
    row = re.compile(r"\s*([\d,]+) \(\s*([\d.]+)%\)\s+(\S.*?)(?: \[(.*)\])?$")
    rows = []
    for line in text.splitlines():
        match = row.match(line)
        if not match or match.group(3) == "PROGRAM TOTALS":
            continue
        name = re.sub(r"\(.*", "", match.group(3).split(":", 1)[-1])
        library = Path(match.group(4) or "?").name
        rows.append(f"{match.group(2):>6}%  {name} ({library})")
    return rows[:10]


# --------------------------------------------------------------------------
# Report

def first_line(command: list[str]) -> str:
    try:
        done = subprocess.run(command, capture_output=True, text=True)
    except FileNotFoundError:
        return "not installed"
    return ((done.stdout or done.stderr).strip().splitlines() or ["?"])[0]


def machine_lines(load: tuple[float, float]) -> list[str]:
    cpuinfo = Path("/proc/cpuinfo").read_text()
    cpu = re.search(r"model name\s*:\s*(.*)", cpuinfo)
    memory = re.search(r"MemTotal:\s*(\d+)", Path("/proc/meminfo").read_text())
    os_name = re.search(r'PRETTY_NAME="(.*)"', Path("/etc/os-release").read_text())
    commit = first_line(["git", "-C", str(ROOT), "log", "-1", "--format=%h %s"])
    return [
        f"- Date: {datetime.datetime.now().astimezone().strftime('%Y-%m-%d %H:%M %Z')}",
        f"- Machine: {cpu.group(1) if cpu else platform.machine()}, {os.cpu_count()} CPUs, "
        f"{int(memory.group(1)) // 1024} MiB; {os_name.group(1) if os_name else 'Linux'}, "
        f"kernel {platform.release()}; load average (1 min) {load[0]:.1f} at the start, "
        f"{load[1]:.1f} at the end (the machine is shared: medians, not means)",
        f"- Dorvanta: commit {commit}",
        f"- Compilers: {first_line(['g++', '--version'])}; "
        f"{first_line(['x86_64-w64-mingw32-g++-posix', '--version'])}",
        f"- Tools: {first_line(['wine', '--version'])}; {first_line(['hyperfine', '--version'])}; "
        f"facter {first_line(['facter', '--version'])}; {first_line(['valgrind', '--version'])}",
    ]


def ratio(a: float, b: float) -> str:
    return f"{a / b:.3g}×"


def write_plot(runner: Runner) -> None:
    data = WORK / "scaling.dat"
    rows = []
    for rules in SCALING:
        cells = [str(rules.lines)]
        for windows in (False, True):
            for log in (False, True):
                cells.append(f"{runner[label(windows, rules, log)].median * 1000:.3f}")
        rows.append(" ".join(cells))
    data.write_text("\n".join(rows) + "\n")
    script = f"""
set terminal svg size 720,440 dynamic font 'sans,11'
set output '{PLOT}'
set title 'Dorvanta: median run time against criteria lines (16 lines a pair)'
set xlabel 'criteria lines'
set ylabel 'median run time (ms)'
set logscale xy
set key top left
set grid
plot '{data}' using 1:2 with linespoints title 'native', \\
     '' using 1:3 with linespoints title 'native, log', \\
     '' using 1:4 with linespoints title 'Wine', \\
     '' using 1:5 with linespoints title 'Wine, log'
"""
    subprocess.run(["gnuplot"], input=script, text=True, check=True)


def per_line(runner: Runner, windows: bool, rules: RuleFile, log: bool) -> float:
    """Seconds a criteria line adds to a run: the run less the facts-only run,
    shared out over the file's lines."""
    base = runner[label(windows, FACTS_ONLY, log)].median
    return (runner[label(windows, rules, log)].median - base) / rules.lines


def verdict(value: float, limit: float) -> str:
    return "met" if value <= limit else "missed"


def pack_report(t: Runner) -> list[str]:
    before = has_before() and "native before pack-numeric" in t.times
    out = ["## Driver pack", "",
           f"{PACK_PAIRS} pairs of one criteria line each, no action sections unless "
           "named: the numeric line `" + gen_rules.NUMERIC_LINE + "`; `HWID = EQ,<ID>` "
           "with the first hardware ID of the last device `dvtool facts` lists (natively "
           f"`{PACK_IDS.get(False, '?')}`, under Wine `{PACK_IDS.get(True, '?')}`: every "
           f"other device is passed before it matches); `HWID = NE,{ABSENT_ID}`, which "
           "no device has (every device is searched); and the first and the last "
           f"again with the action line `{CHEAP_ACTION}` in each ACTIONx, which runs "
           "nothing (an unsupported action) but makes the next HWID line read the "
           "devices afresh, as any action line does. *Before* is Dorvanta built from "
           f"{BEFORE_COMMIT[:7]}, the commit before the devices were read once between "
           "actions; *after* is this tree. All cases of a side ran in the same rounds.",
           ""]
    if not before:
        out += ["(The earlier build was not there; the issue measured 662 ms natively and "
                "633 ms under Wine for the HWID pairs, and 12 ms and 138 ms for the numeric "
                "ones.)", ""]
    out += ["| file | native before | native after | Wine before | Wine after |",
            "|---|---|---|---|---|"]
    rows = ((PACK_NUMERIC, "numeric line"), (PACK_MATCH, "HWID line, device present"),
            (PACK_MISS, "HWID line, no such device"),
            (PACK_NUMERIC_ACTIONS, "numeric line, an action line between pairs"),
            (PACK_MATCH_ACTIONS, "HWID line (present), an action line between pairs"))
    for rules, text in rows:
        cells = []
        for side in ("native", "wine"):
            old = f"{side} before {rules.name}"
            cells += [t[old].cell() if old in t.times else "", t[f"{side} {rules.name}"].cell()]
        out.append(f"| {text} | " + " | ".join(cells) + " |")
    out.append(f"| `dvtool explain` on the HWID file (present) | | "
               f"{t['native explain ' + PACK_MATCH.name].cell()} | | "
               f"{t['wine explain ' + PACK_MATCH.name].cell()} |")
    out.append("")
    for side, name, limit in (("native", "Native", 3), ("wine", "Wine", 1.5)):
        numeric = t[f"{side} {PACK_NUMERIC.name}"].median
        found = t[f"{side} {PACK_MATCH.name}"].median
        absent = t[f"{side} {PACK_MISS.name}"].median
        line = (f"- {name}: the HWID pairs against the numeric pairs **{ratio(found, numeric)}** "
                f"(device present; target at most {limit:g}×: {verdict(found, limit * numeric)}), "
                f"{ratio(absent, numeric)} (no such device)")
        if f"{side} before {PACK_MATCH.name}" in t.times:
            old = t[f"{side} before {PACK_MATCH.name}"].median
            old_numeric = t[f"{side} before {PACK_NUMERIC.name}"].median
            line += (f"; before {ratio(old, old_numeric)}. A HWID line costs "
                     f"{duration((found - numeric) / PACK_PAIRS)} more than a numeric one, "
                     f"before {duration((old - old_numeric) / PACK_PAIRS)}; the run is "
                     f"**{old / found:.3g}×** as fast as before")
        with_actions = (t[f"{side} {PACK_MATCH_ACTIONS.name}"].median
                        - t[f"{side} {PACK_NUMERIC_ACTIONS.name}"].median)
        explain = t[f"{side} explain {PACK_MATCH.name}"].median
        out.append(line + ". With an action line between pairs every HWID line reads the "
                   f"devices again: {duration(with_actions / PACK_PAIRS)} a line more than a "
                   f"numeric one. `dvtool explain` on the HWID file takes "
                   f"{ratio(explain, found)} the run's time.")
    return out + [""]


def facter_report(t: Runner) -> list[str]:
    tool, facter = t["native dvtool facts beside facter"], t["native facter"]
    shared = t["native facter shared"]
    wtool, wfloor = t["wine dvtool facts"], t["wine floor"]
    return ["## dvtool facts against facter", "",
            "`dvtool facts --json` (every fact with the hardware IDs and folders) beside "
            "`facter --json` (all its facts) and beside `facter --json "
            f"{' '.join(FACTER_SHARED)}` (the facts both have: OS version, distribution "
            "and architecture, processors, DMI texts), in the same rounds. facter is a "
            "native program; under Wine only the floor compares.", "",
            "| run | native | Wine |", "|---|---|---|",
            f"| `dvtool facts --json` | {tool.cell()} | {wtool.cell()} |",
            f"| `facter --json` | {facter.cell()} | |",
            f"| `facter --json {' '.join(FACTER_SHARED)}` | {shared.cell()} | |", "",
            f"- `dvtool facts --json` is **{facter.median / tool.median:.0f}×** as fast as "
            f"`facter --json` (target at least 50×: "
            f"{verdict(50 * tool.median, facter.median)}) and "
            f"{shared.median / tool.median:.0f}× as fast as facter with the shared facts.",
            f"- Under Wine `dvtool facts --json` takes {ratio(wtool.median, wfloor.median)} "
            "`wine cmd /c exit` (in the driver pack's rounds).", ""]


RECORD_HEADING = "## The run record"


def record_report(t: Runner, syncs: dict[str, tuple[int, int]]) -> list[str]:
    wine = "wine run " + RECORD_FILES[0].name in t.times
    out = [RECORD_HEADING, "",
           "`dvtool run` on a file with and without `--record`, in the same rounds. The "
           "lines of the record are written straight into a batch and handed to the system "
           "whole when 64 KiB have gathered, before each action the machine carries out, "
           "after each action done and at the end; the lines are put on the disk at the "
           "start, before each action, after each action done and at the end. *Lines* and "
           "*syncs* count a native run's record and its `fdatasync` calls (`strace`).", "",
           "| file | lines | syncs | native | native, record | cost |" +
           (" Wine | Wine, record | cost |" if wine else ""),
           "|---|---|---|---|---|---|" + ("---|---|---|" if wine else "")]
    descriptions = {SCALING[-1].name: "256 pairs of 16 criteria lines, no actions",
                    EXECUTING.name: "16 pairs, each starting the test helper (WAIT)",
                    FAILING_STARTS.name: "64 pairs, each a NOWAIT start that fails"}
    for rules in RECORD_FILES:
        lines, count = syncs[rules.name]
        row = f"| {descriptions[rules.name]} | {lines} | {count} |"
        for w in (False, True) if wine else (False,):
            plain, recorded = t[record_label(w, rules, False)], t[record_label(w, rules, True)]
            row += (f" {plain.cell()} | {recorded.cell()} | "
                    f"{(recorded.median / plain.median - 1) * 100:+.0f} % |")
        out.append(row)
    # The file without actions has two syncs: its cost is that of writing the
    # lines; what the other files cost beyond their lines is their syncs'.
    mixed, plain_mixed = (t[record_label(False, SCALING[-1], r)].median for r in (True, False))
    mixed_lines, _ = syncs[SCALING[-1].name]
    per_line = (mixed - plain_mixed) / mixed_lines
    out += ["", f"- Native: writing a line costs **{us(per_line)} µs** (the file without "
            f"actions, whose run costs {us(plain_mixed / mixed_lines)} µs a line without the "
            "record; the record's first line, with the facts snapshot and the rule file's "
            "hash, is counted in it)."]
    for rules in RECORD_FILES:
        plain_cpu, recorded_cpu = (statistics.mean(t.cpu[record_label(False, rules, r)])
                                   for r in (False, True))
        out.append(f"- Native, {rules.name}: processor time (user and system, the mean of "
                   f"the rounds) {ms(plain_cpu)} ms without the record, {ms(recorded_cpu)} ms "
                   f"with it ({(recorded_cpu / plain_cpu - 1) * 100:+.0f} %).")
    for rules in RECORD_FILES[1:]:
        lines, count = syncs[rules.name]
        extra = (t[record_label(False, rules, True)].median
                 - t[record_label(False, rules, False)].median - lines * per_line)
        out.append(f"- Native, {rules.name}: a sync costs **{ms(extra / count)} ms**; a sync "
                   f"per line, as before, would have been {lines} syncs, about "
                   f"{lines * extra / count:.1f} s.")
    for w in (False, True) if wine else (False,):
        worst = max(t[record_label(w, rules, True)].median / t[record_label(w, rules, False)].median
                    for rules in RECORD_FILES) - 1
        out.append(f"- {'Wine' if w else 'Native'}: the record costs at most **{worst * 100:+.0f} %** "
                   f"of a run (target at most a few percent, 5 %: {verdict(worst, 0.05)}).")
    out.append("")
    return out


def memory_report(rss: dict[str, int]) -> list[str]:
    """Peak resident sizes of every timed command, natively and under Wine."""
    cases = []
    for key in rss:
        case = key.split(" ", 1)[1]
        if case not in cases:
            cases.append(case)
    ours = [kib for key, kib in rss.items() if key.startswith("native ")
            and not any(word in key for word in ("floor", "facter", "helper"))]
    out = ["## Memory", "",
           "Peak resident size of every case above (`/usr/bin/time -v`, maximum resident "
           "set size, one run each), MiB. Under Wine most of it is Wine's own libraries.", "",
           "| case | native | Wine |", "|---|---|---|"]
    for case in cases:
        cells = [f"{rss[f'{side} {case}'] / 1024:.1f}" if f"{side} {case}" in rss else ""
                 for side in ("native", "wine")]
        out.append(f"| {case} | " + " | ".join(cells) + " |")
    largest = max(ours)
    out += ["", f"- The largest native run of Dorvanta or dvtool: **{largest / 1024:.1f} MiB** "
            f"(target under 10 MB: {'met' if largest * 1024 < 10_000_000 else 'missed'}).", ""]
    return out


def report(runner: Runner, messages: dict[str, int], reads: IniReads, rss: dict[str, int],
           hot: list[str], syncs: dict[str, tuple[int, int]], load: tuple[float, float]) -> str:
    t = runner
    out = ["# Dorvanta benchmark results", "",
           "Written by `bench/run.sh`; every figure below comes from the same run. "
           "Times are hyperfine medians of whole runs, ± the standard deviation, "
           "(min–max, n = timed runs after warm-up). Native runs start the executable "
           "directly; Wine runs go through `wine` with a persistent Wine server, so "
           "they measure the program and not the server's start.", "",
           *machine_lines(load),
           "- Load average (1 min) at the start and the end of each group of cases: " +
           ", ".join(f"{group} {start:.1f}–{end:.1f}" for group, (start, end) in t.loads.items()),
           "- Rounds timed again because a run in them failed: " +
           (", ".join(t.retried) if t.retried else "none"),
           ""]

    facts, floor, helper = t["native facts-only"], t["native floor"], t["native helper"]
    wfacts, wfloor = t["wine facts-only"], t["wine floor"]
    no_wmi, wmic = t["wine facts-only without WMI"], t["wine wmic"]
    dmi_block = wfacts.median - no_wmi.median
    out += ["## Reference points", "",
            "| run | native | Wine |", "|---|---|---|",
            f"| floor: `/bin/true` · `wine cmd /c exit` | {floor.cell()} | {wfloor.cell()} |",
            f"| the test helper (a trivial C++ program) | {helper.cell()} | "
            f"{t['wine helper'].cell()} |",
            f"| Dorvanta, facts only (no CRITERIA1) | {facts.cell()} | {wfacts.cell()} |",
            f"| Dorvanta, facts only, log file | {t['native facts-only log'].cell()} | "
            f"{t['wine facts-only log'].cell()} |",
            f"| Dorvanta, facts only, WMI provider disabled | | {no_wmi.cell()} |",
            f"| `wine wmic path Win32_ComputerSystemProduct get Name,Version,Vendor` | | "
            f"{wmic.cell()} |", "",
            f"- Native facts-only run against the floor: **{ratio(facts.median, floor.median)}** "
            f"`/bin/true` (target at most 3×: "
            f"{'met' if facts.median <= 3 * floor.median else 'missed'}; against the fastest "
            f"runs {ratio(facts.low, floor.low)}), "
            f"{ratio(facts.median, helper.median)} the C++ test helper.",
            f"- Under Wine, the facts-only run against `wine cmd /c exit`: "
            f"**{ratio(wfacts.median, wfloor.median)}** (target at most 1.3×: "
            f"{'met' if wfacts.median <= 1.3 * wfloor.median else 'missed'}).",
            f"- Under Wine, the DMI block (three WMI queries: facts-only run less the run "
            f"without the WMI provider) costs **{ms(dmi_block)} ms**; the whole `wmic` run "
            f"takes {ms(wmic.median)} ms, {ms(wmic.median - wfloor.median)} ms above the floor. "
            f"The facts-only run against `wmic`: **{ratio(wfacts.median, wmic.median)}**.", ""]

    out += ["## Scaling", "",
            f"Pairs of {LINES_PER_PAIR} criteria lines of the mixed kind (numbers, languages, "
            "location, DMI texts, one FileExists and one HWIDLeft line a pair), all holding, "
            "no action sections. Per line: the run less the facts-only run, shared over the "
            "file's lines.", "",
            "| pairs | lines | native | native, log | Wine | Wine, log |",
            "|---|---|---|---|---|---|"]
    for rules in SCALING:
        cells = [t[label(w, rules, log)].cell() for w in (False, True) for log in (False, True)]
        out.append(f"| {rules.pairs} | {rules.lines} | " + " | ".join(cells) + " |")
    out.append("| µs per line |  | " + " | ".join(
        " / ".join(us(per_line(t, w, rules, log)) for rules in SCALING[1:])
        for w in (False, True) for log in (False, True)) + " |")
    out += ["", "(µs per line for 16 / 64 / 256 pairs.)", "", "![scaling](scaling.svg)", ""]

    linear = []
    for w in (False, True):
        for log in (False, True):
            small = per_line(t, w, SCALING[1], log)
            large = per_line(t, w, SCALING[-1], log)
            linear.append((f"{'Wine' if w else 'native'}{', log' if log else ''}", large / small))
    out += ["Linear growth (target: a line of the 256-pair file costs at most 2× a line of "
            "the 16-pair file): " + "; ".join(
                f"{name} **{value:.2f}×**{'' if value <= 2 else ' (missed)'}"
                for name, value in linear) + ".", "",
            f"The native profile reader reads the 256-pair file ({reads.size} bytes) "
            f"**{reads.bytes_read / reads.size:.2f} times** in a run of {reads.opens} section "
            "reads: it opens the file for each section to see whether it changed, and parses "
            "it only once.", ""]

    other = [(ALTERNATING, False, "256 pairs, every even pair failing"),
             (EXECUTING, False, "16 pairs, each starting the test helper (Execute WAIT)"),
             (NUMERIC_KIND, False, f"{KIND_PAIRS} pairs of numeric lines"),
             (HWID_KIND, False, f"{KIND_PAIRS} pairs of HWID lines"),
             (NUMERIC_LARGE, False, "256 pairs of numeric lines"),
             (NUMERIC_LARGE, True, "256 pairs of numeric lines, log file")]
    out += ["## Other files", "", "| file | native | Wine |", "|---|---|---|"]
    for rules, log, text in other:
        out.append(f"| {text} | {t[label(False, rules, log)].cell()} | "
                   f"{t[label(True, rules, log)].cell()} |")
    out.append("")

    def launch(w: bool) -> float:
        return (t[label(w, EXECUTING, False)].median - t[label(w, SCALING[1], False)].median) / 16

    out += [f"- An Execute WAIT of the test helper adds {ms(launch(False))} ms natively and "
            f"{ms(launch(True))} ms under Wine (against the 16-pair file without actions).", ""]

    out += ["## One HWID line against one numeric line", ""]
    for w in (False, True):
        hwid = per_line(t, w, HWID_KIND, False)
        numeric = per_line(t, w, NUMERIC_KIND, False)
        out.append(f"- {'Wine' if w else 'Native'}: a HWID line costs **{ms(hwid)} ms**, a "
                   f"numeric line {us(numeric)} µs: **{hwid / max(numeric, 1e-9):.0f}×**. The "
                   "devices are read once, at the first HWID line (there is no action), and "
                   "the search runs on that list.")
    out += ["", "Where a native run of the HWID file spends its instructions (callgrind, "
            "self cost of the top functions):", "", "```", *hot, "```", ""]

    out += ["## The log file", "",
            "The log file is opened, appended to and closed for every message. Cost per "
            "message: the 256-pair numeric file with a log less the same without, over its "
            f"{messages[NUMERIC_LARGE.name]} messages (counted as the native run's opens of "
            "the log file; the Windows build sends the same messages).", ""]
    for w in (False, True):
        extra = (t[label(w, NUMERIC_LARGE, True)].median
                 - t[label(w, NUMERIC_LARGE, False)].median)
        out.append(f"- {'Wine' if w else 'Native'}: **{us(extra / messages[NUMERIC_LARGE.name])}"
                   " µs per message**.")
    out += [f"- The mixed 256-pair file sends {messages[SCALING[-1].name]} messages, the "
            f"facts-only run {messages[FACTS_ONLY.name]}.", ""]

    out += pack_report(t)
    out += facter_report(t)
    out += check_report(t)
    out += record_report(t, syncs)
    out += memory_report(rss)
    return "\n".join(out)


def under_wine(cases) -> None:
    """Runs `cases(env)` with a Wine server that stays up between the runs,
    the rule files written for Wine and its caches filled by a first run."""
    env = wine_environment()
    if not (PREFIX / "system.reg").is_file():
        quiet(["wineboot", "-i"], env)
        quiet(["wineserver", "-w"], env)
    subprocess.Popen(["wineserver", "-p"], env=env, stdin=subprocess.DEVNULL,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).wait()
    try:
        # The first run after the server's start fills Wine's caches.
        PACK_IDS[True] = present_hardware_id(True, env)
        for rules in ALL_FILES:
            rules.write(True, PACK_IDS[True])
        quiet(dorvanta(True, FACTS_ONLY, False), env)
        cases(env)
    finally:
        subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)


def record_only(runner: Runner) -> int:
    """The record's cases alone; their section of RESULTS.md is replaced and
    the rest kept (it comes from the last whole run)."""
    time_record(runner, False, native_environment())
    syncs = {rules.name: record_syncs(rules) for rules in RECORD_FILES}
    under_wine(lambda env: time_record(runner, True, env))
    loads = ", ".join(f"{group} {start:.1f}–{end:.1f}"
                      for group, (start, end) in runner.loads.items())
    section = record_report(runner, syncs)
    section[-1:-1] = ["", f"(Timed on {datetime.datetime.now(datetime.timezone.utc):%Y-%m-%d %H:%M} "
                       f"UTC with `bench/bench.py --record-only` at commit "
                       f"{first_line(['git', '-C', str(ROOT), 'log', '-1', '--format=%h'])}; "
                       f"load average (1 min) at the start and the end: {loads}.)"]
    replace_section(RECORD_HEADING, section)
    print(f"Written: {RESULTS.relative_to(ROOT)} ({RECORD_HEADING[3:]})")
    return 0


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true",
                        help="three timed runs a command, to try the script out")
    parser.add_argument("--check", action="store_true",
                        help="time only dvtool check and write its section of the results")
    parser.add_argument("--summarize", action="store_true",
                        help="time only dvtool summarize of 100,000 generated records and write "
                             "its section of the results")
    parser.add_argument("--plan", action="store_true",
                        help="time only dvtool plan of generated fleets of 3,000 and 100,000 "
                             "machines beside the floor and the loop of explain runs, and "
                             "write its section of the results")
    parser.add_argument("--record-only", action="store_true",
                        help="time only dvtool run with and without --record and replace that "
                             "section of bench/RESULTS.md")
    args = parser.parse_args()
    if args.plan:
        for path in (NATIVE_TOOL, FLOOR):
            if not path.is_file():
                raise SystemExit(f"missing {path}: run bench/run.sh --plan")
        WORK.mkdir(parents=True, exist_ok=True)
        load_at_start = os.getloadavg()[0]
        runner = Runner(args.quick)
        figures = time_plan(runner)
        replace_section("## dvtool plan",
                        plan_report(runner, figures, (load_at_start, os.getloadavg()[0])))
        print(f"Written: the plan's section of {RESULTS.relative_to(ROOT)}")
        return 0
    if args.summarize:
        if not NATIVE_TOOL.is_file():
            raise SystemExit(f"missing {NATIVE_TOOL}: run bench/run.sh")
        WORK.mkdir(parents=True, exist_ok=True)
        load_at_start = os.getloadavg()[0]
        runner = Runner(args.quick)
        time_summarize(runner)
        replace_section("## dvtool summarize",
                        summarize_report(runner, (load_at_start, os.getloadavg()[0])))
        print(f"Written: the summary's section of {RESULTS.relative_to(ROOT)}")
        return 0
    if args.check:
        if not NATIVE_TOOL.is_file():
            raise SystemExit(f"missing {NATIVE_TOOL}: run bench/run.sh")
        WORK.mkdir(parents=True, exist_ok=True)
        load_at_start = os.getloadavg()[0]
        runner = Runner(args.quick)
        time_check(runner)
        replace_check_report(runner, (load_at_start, os.getloadavg()[0]))
        print(f"Written: the check's section of {RESULTS.relative_to(ROOT)}")
        return 0
    for path in (NATIVE, NATIVE_HELPER, WINDOWS, WINDOWS_HELPER, NATIVE_TOOL, WINDOWS_TOOL):
        if not path.is_file():
            raise SystemExit(f"missing {path}: run bench/run.sh")
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    PACK_IDS[False] = present_hardware_id(False, native_environment())
    for rules in ALL_FILES:
        rules.write(False, PACK_IDS[False])

    load_at_start = os.getloadavg()[0]
    runner = Runner(args.quick)
    if args.record_only:
        return record_only(runner)
    time_platform(runner, windows=False)
    time_pack(runner, False, native_environment())
    time_facter(runner)
    time_check(runner)
    messages = {rules.name: log_messages(rules) for rules in (FACTS_ONLY, NUMERIC_LARGE,
                                                               SCALING[-1])}
    reads = ini_reads(SCALING[-1])
    time_record(runner, False, native_environment())
    syncs = {rules.name: record_syncs(rules) for rules in RECORD_FILES}
    hot = profile(HWID_KIND)
    rss = {name: peak_rss_kib(argv, env) for name, (argv, env) in runner.commands.items()}

    def wine_cases(env: dict[str, str]) -> None:
        time_platform(runner, windows=True)
        time_pack(runner, True, env)
        time_record(runner, True, env)
        rss.update({name: peak_rss_kib(argv, env) for name, (argv, env) in runner.commands.items()
                    if name.startswith("wine ")})

    under_wine(wine_cases)
    write_plot(runner)
    load = (load_at_start, os.getloadavg()[0])
    RESULTS.write_text(report(runner, messages, reads, rss, hot, syncs, load) + "\n")
    print(f"Written: {RESULTS.relative_to(ROOT)}, {PLOT.relative_to(ROOT)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
