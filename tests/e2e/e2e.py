#!/usr/bin/env python3
"""End-to-end test runner for Dorvanta.

Runs the cases of tests/e2e/cases/*.case against the native executable or
against the Windows executable under Wine, each in a fresh work folder, and
compares the console bytes, the log-file bytes and the exit code exactly.

A case file holds one or more cases; a case's id is "<file stem>.<name>".
Lines starting with "@" are directives:

  @case NAME          starts a case
  @targets T...       native, wine (a Windows 7 prefix), wine10 (a Windows 10
                      prefix); the default is "native wine"
  @args ARGS          the arguments, split at blanks; quotes group, a backslash
                      is a plain character
  @exit N             the expected exit code; {{native:N|windows:M}} for one
                      that differs. Under Wine the runner, a Linux process,
                      sees the low 8 bits of a Windows exit code (3010 as 194)
  @closedstdout       the run's standard output is a pipe whose reading end
                      is already closed (its @stdout block stays empty)
  @tool               the case runs dvtool, the companion tool, instead of the
                      program (the runner's --tool)
  @ignoredsigchld     the run starts with SIGCHLD ignored, as a parent that
                      ignores it hands it on
  @dir PATH           a folder created in the work folder before the run
  @env NAME=VALUE     an environment variable of the run (a locale named in
                      LC_ALL, LC_MESSAGES or LANG is generated for it first);
                      {{WORK}} in VALUE stands for the work folder
  @unsetenv NAME      an environment variable the run does without
  @file PATH          a block: a file written before the run (UTF-8, LF)
  @link PATH TARGET   a symbolic link to TARGET made before the run
  @fifo PATH          a FIFO made before the run; when a @log names it, it is
                      read while the program runs and what came through is
                      compared with that block
  @sparse PATH BYTES  the file (a @file, else a new empty one) extended with
                      zeros to BYTES, sparsely, before the run
  @stdout             a block: the expected console output
  @check              a block instead of @stdout: lines that standard output
                      holds whole, in this order, with any lines between
  @stderr             a block: the expected standard error (without it,
                      standard error is not compared)
  @schema SCHEMA [PATH] [lines]
                      the JSON document on standard output (or in the file
                      PATH that the run writes) is valid against SCHEMA, a
                      JSON Schema of the repository's schema/ folder (which
                      may refer to the others there); with "lines", the file
                      is JSON Lines: each line, ended by a line end, is one
                      document valid against SCHEMA
  @log PATH           a block: the expected content of a log file
  @helper PATH        the test helper program of the target (tests/helper),
                      copied there before the run; its arguments, the faults
                      it does to a run among them, are described in
                      tests/helper/TestHelper.cpp
  @made PATH          a block: the expected content of a file that the run
                      writes (UTF-8, LF), such as a marker of the helper, or
                      of a @file that it must leave as it was
  @shortcut PATH      a block: a shortcut file that the run writes, as an
                      independent reader sees it: under Wine the fields
                      "Local path", "Description", "Command line arguments",
                      "Icon location" and "Icon index" that lnkinfo shows;
                      natively "Name", "Comment", "Program", each "Argument"
                      of the Exec key and "Icon" of a launcher that
                      desktop-file-validate accepts and that is executable;
                      one "Field: value" line each, in that order
  @repeat N ... @endrepeat
                      inside a block: the lines between, N times

A block runs up to the next directive; every line of it ends with a line end.
Expected text is written once, with LF, and turned into the target's form:
UTF-8 natively, 8-bit with CRLF on Windows. After the run, the work folder may
hold only the files written before it, the @log, @made and @shortcut files and
the folders that hold them. Tokens in blocks:

  {{FACTS}}           (a line by itself) the fact blocks the program prints,
                      computed here from the machine without the program
  {{FACTS_BEFORE_DMI}}  (a line by itself) the same without the DMI block,
                      for a case that writes that block itself; a Windows
                      case whose WINEDLLOVERRIDES disables wbemprox (WMI)
                      expects empty DMI texts
  {{START}}           (a line by itself) the start of a run that reaches the
                      walk: the banner, "Log output to " and the log path
                      ({{START run.log}}; none when the token names none), the
                      fact blocks and the walk's first two lines
  {{STOP CRITERIAx}}  (a line by itself) the normal end of the walk at the
                      missing CRITERIAx, and "Done."
  {{OsMajor}} ...     one fact of that computation, by its field name (also in
                      @file blocks); {{DmiVendorUpper}} ... the DMI texts
                      upper-cased a..z; natively {{PciHardwareId}},
                      {{PciHardwareIdNoRev}}, {{PciDevicePrefix}} and
                      {{PciHardwareIdLower}}, the IDs of the first PCI device
  {{TAB}} {{SP}}      a tab, a blank (for white space that should be seen)
  {{WORK}}            the work folder's absolute path
  {{xHH}}             the raw byte HH, never converted
  {{NOEOL}}           at the end of a line: no line end after it
  {{N}}               inside @repeat: the pass number, 1 .. N
  {{native:A|windows:B}}  A for the native executable, B for the Windows one
Lines starting with "#" between blocks are comments.

Subcommands:
  list     print "<target> <case id>" for every case (used by CMake), followed
           by " locale" for a Windows case that changes the environment
  run      run one case against one target
  prefix   create a fresh Wine prefix (a CTest fixture)
  corpus   run every INI file of a folder through both executables and
           require the same walk report
  explain-corpus  run each INI file through the program and through
           'dvtool explain' on one target and require the same verdicts
  replay   capture the facts under Wine in each --locale, run the INI file
           there, and require the native 'dvtool explain --facts' to walk alike
  imports  check that the Windows executable imports only system DLLs
"""

import argparse
import codecs
import difflib
import os
import platform
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
from dataclasses import dataclass, field
from pathlib import Path

RUN_TIMEOUT_SECONDS = 120
REPOSITORY = Path(__file__).resolve().parents[2]
WALK_START = "=" * 79 + "\nProcess INI File:\n"


class CaseError(Exception):
    """A malformed case file."""


class SetupError(Exception):
    """A missing tool, executable or folder: the test fails."""


# --------------------------------------------------------------------------
# Targets and the machine facts each one is expected to report

@dataclass(frozen=True)
class Target:
    name: str
    windows_version: str | None  # None for the native executable

    @property
    def windows(self) -> bool:
        return self.windows_version is not None


TARGETS = {
    "native": Target("native", None),
    "wine": Target("wine", "win7"),
    "wine10": Target("wine10", "win10"),
}
DEFAULT_TARGETS = ("native", "wine")

# What a Wine prefix set to each Windows version reports to an executable whose
# manifest lists every version up to Windows 10: major, minor, service pack.
WINDOWS_VERSIONS = {
    "win7": (6, 1, "Service Pack 1"),
    "win10": (10, 0, ""),
}


def first_cpu_identity() -> tuple[int, int, int]:
    """Family, model and stepping of the first processor in /proc/cpuinfo."""
    found = {}
    for line in Path("/proc/cpuinfo").read_text().split("\n"):
        if not line.strip() and found:
            break
        name, _, value = line.partition(":")
        name = name.strip()
        if name in ("cpu family", "model", "stepping") and name not in found:
            found[name] = int(value.strip())
    if len(found) != 3:
        raise SetupError("/proc/cpuinfo names no cpu family, model and stepping")
    return found["cpu family"], found["model"], found["stepping"]


def kernel_version() -> tuple[int, int]:
    match = re.match(r"(\d+)\.(\d+)", platform.release())
    if not match:
        raise SetupError(f"cannot read the kernel release {platform.release()!r}")
    return int(match.group(1)), int(match.group(2))


def os_pretty_name() -> str:
    for path in ("/etc/os-release", "/usr/lib/os-release"):
        if Path(path).exists():
            for line in Path(path).read_text().split("\n"):
                if line.startswith("PRETTY_NAME="):
                    words = shlex.split(line[len("PRETTY_NAME="):])
                    return words[0] if words else ""
            return ""
    return ""


# Windows language identifiers of the locales the cases use; C and POSIX are
# English (United States).
LANGUAGE_IDS = {"en_US": 0x0409, "de_DE": 0x0407, "en_GB": 0x0809, "fr_CA": 0x0C0C, "de": 0x0007}
# The territory a locale without one stands for.
LIKELY_TERRITORIES = {"de": "DE", "en": "US", "fr": "FR"}
# Locale names of no known language, which count as C; there is nothing to generate.
UNKNOWN_LOCALES = {"foo"}


def locale_language(name: str) -> str:
    """"de_DE.UTF-8@euro" gives "de_DE"; C, POSIX and unknown names give "en_US"."""
    base = re.split(r"[.@]", name, maxsplit=1)[0]
    return "en_US" if base in ("C", "POSIX") or name in UNKNOWN_LOCALES else base


def messages_locale(env: dict[str, str]) -> str:
    for name in ("LC_ALL", "LC_MESSAGES", "LANG"):
        if env.get(name):
            return env[name]
    return "C"


def system_locale(env: dict[str, str]) -> str:
    for path in ("/etc/locale.conf", "/etc/default/locale"):
        if Path(path).exists():
            for line in reversed(Path(path).read_text().split("\n")):
                line = line.strip().removeprefix("export ").strip()
                if line.startswith("LANG="):
                    words = shlex.split(line[len("LANG="):])
                    if words:
                        return words[0]
            break
    return messages_locale(env)


def language_id(locale: str) -> int:
    language = locale_language(locale)
    if language not in LANGUAGE_IDS:
        raise SetupError(f"no expected language identifier known for the locale {locale!r}")
    return LANGUAGE_IDS[language]


def territory(locale: str) -> str:
    language = locale_language(locale)
    if "_" in language:
        return language.split("_", 1)[1]
    if language not in LIKELY_TERRITORIES:
        raise SetupError(f"no expected territory known for the locale {locale!r}")
    return LIKELY_TERRITORIES[language]


def language_facts(target: Target, env: dict[str, str]) -> dict[str, object]:
    user = messages_locale(env)
    # Wine takes all three from the process's locale, Linux the system's from its settings.
    system = user if target.windows else system_locale(env)
    facts: dict[str, object] = {}
    for field_name, locale in (("UserDefaultUi", user), ("SysDefaultUi", system),
                               ("SysDefault", system)):
        ident = language_id(locale)
        facts[field_name] = ident
        facts[field_name + "Primary"] = ident & 0x3FF
        facts[field_name + "Sub"] = ident >> 10
    facts["CurrentLocation"] = territory(user)
    return facts


def upper_ascii(text: str) -> str:
    return "".join(chr(ord(c) - 32) if "a" <= c <= "z" else c for c in text)


def sysfs_dmi() -> dict[str, str]:
    """The DMI texts as the kernel shows them; empty where it shows none."""
    values = {}
    for field_name, file in (("DmiMachineType", "product_name"), ("DmiPaNumber", "product_version"),
                             ("DmiVendor", "sys_vendor")):
        path = Path("/sys/class/dmi/id") / file
        values[field_name] = path.read_bytes().decode("utf-8").removesuffix("\n") \
            if path.exists() else ""
    return values


def wmic_dmi(prefix: Path) -> dict[str, str]:
    """Win32_ComputerSystemProduct as Wine's own wmic reports it (UTF-16 columns)."""
    with tempfile.TemporaryFile() as output:
        subprocess.run(["wine", "wmic", "path", "Win32_ComputerSystemProduct", "get",
                        "Name,Version,Vendor"], env=wine_environment(prefix),
                       stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.DEVNULL,
                       timeout=RUN_TIMEOUT_SECONDS, check=True)
        output.seek(0)
        lines = [line for line in output.read().decode("utf-16").replace("\r", "").split("\n")
                 if line.strip()]
    header, rows = lines[0], lines[1:]
    columns = sorted((header.index(name), name) for name in ("Name", "Version", "Vendor"))
    row = rows[-1] if rows else ""
    found = {}
    for index, (start, name) in enumerate(columns):
        end = columns[index + 1][0] if index + 1 < len(columns) else None
        found[name] = row[start:end].strip()
    return {"DmiMachineType": found["Name"], "DmiPaNumber": found["Version"],
            "DmiVendor": found["Vendor"]}


def wmi_disabled(env: dict[str, str]) -> bool:
    """Whether WINEDLLOVERRIDES disables Wine's WMI provider (wbemprox=d or wbemprox=)."""
    for entry in env.get("WINEDLLOVERRIDES", "").split(";"):
        names, _, mode = entry.partition("=")
        if "wbemprox" in (name.strip().lower() for name in names.split(",")):
            return mode.strip() in ("", "d")
    return False


def pci_facts() -> dict[str, str]:
    """The hardware IDs Windows would give the first PCI device in sysfs."""
    devices = sorted(Path("/sys/bus/pci/devices").glob("*"))
    if not devices:
        return {}
    device = devices[0]

    def hex_value(name: str) -> int:
        return int((device / name).read_text().strip(), 16)

    base = f"PCI\\VEN_{hex_value('vendor'):04X}&DEV_{hex_value('device'):04X}"
    no_rev = (f"{base}&SUBSYS_{hex_value('subsystem_device'):04X}"
              f"{hex_value('subsystem_vendor'):04X}")
    full = f"{no_rev}&REV_{hex_value('revision'):02X}"
    return {"PciHardwareId": full, "PciHardwareIdNoRev": no_rev, "PciDevicePrefix": base,
            "PciHardwareIdLower": full.lower()}


def machine_facts(target: Target, env: dict[str, str],
                  prefix: Path | None = None) -> dict[str, object]:
    """The facts the program should report, learnt without the program."""
    if platform.machine() != "x86_64":
        raise SetupError(f"expected facts are known for x86_64 only, not {platform.machine()}")
    if target.windows:
        major, minor, csd = WINDOWS_VERSIONS[target.windows_version]
    else:
        (major, minor), csd = kernel_version(), os_pretty_name()
    family, model, stepping = first_cpu_identity()
    if target.windows and wmi_disabled(env):
        dmi = {"DmiMachineType": "", "DmiPaNumber": "", "DmiVendor": ""}
    else:
        dmi = wmic_dmi(prefix) if target.windows else sysfs_dmi()
    return {
        "OsMajor": major,
        "OsMinor": minor,
        "CsdVersion": csd,
        "OsBits": 64,
        "Processors": os.cpu_count(),
        "ProcessorType": 8664,
        "ProcessorRevision": (model << 8) | stepping,
        "ProcessorLevel": family,
        "ProcessorModel": model,
        "ProcessorStepping": stepping,
        **language_facts(target, env),
        **dmi,
        **{name + "Upper": upper_ascii(value) for name, value in dmi.items()},
        **({} if target.windows else pci_facts()),
    }


def os_information_block(facts: dict[str, object]) -> str:
    return (
        "OS Information:\n---------------\n"
        f"OS Major = {facts['OsMajor']}\n"
        f"OS Minor = {facts['OsMinor']}\n"
        f"Service Pack (CSD) Ver (empty if no SP installed) = {facts['CsdVersion']}\n"
        f"OS {facts['OsBits']} bit\n"
        f"{facts['Processors']} Processor(s)\n"
        f"Processor Type: {facts['ProcessorType']}\n"
        f"Processor Revision: {facts['ProcessorRevision']}\n"
        f"Processor Level: {facts['ProcessorLevel']}\n"
        f"Processor Model: {facts['ProcessorModel']}\n"
        f"Processor Stepping: {facts['ProcessorStepping']}\n"
    )


def language_information_block(facts: dict[str, object]) -> str:
    lines = "\nLanguage Information:\n---------------------\n"
    for field_name, label in (("UserDefaultUi", "UserDefaultUI Lang ID         "),
                              ("UserDefaultUiPrimary", "UserDefaultUI Primary Lang ID "),
                              ("UserDefaultUiSub", "UserDefaultUI Sub Lang ID     "),
                              ("SysDefaultUi", "SysDefaultUI Lang ID          "),
                              ("SysDefaultUiPrimary", "SysDefaultUI Primary Lang ID  "),
                              ("SysDefaultUiSub", "SysDefaultUI Sub Lang ID      "),
                              ("SysDefault", "SysDefault Lang ID (non UNICODE)         "),
                              ("SysDefaultPrimary", "SysDefault Primary Lang ID (non UNICODE) "),
                              ("SysDefaultSub", "SysDefault Sub Lang ID (non UNICODE)     ")):
        value = facts[field_name]
        lines += f"{label}= {value} ({value:#x})\n"
    return lines + f"Current Location = {facts['CurrentLocation']}\n"


def dmi_information_block(facts: dict[str, object]) -> str:
    return ("\nDMI Information:\n----------------\n"
            f"Machine Type = {facts['DmiMachineType']}\n"
            f"PA Number = {facts['DmiPaNumber']}\n"
            f"Vendor = {facts['DmiVendor']}\n")


def facts_report(facts: dict[str, object]) -> str:
    """Every block that the start-up fact gathering prints, in order."""
    return (os_information_block(facts) + language_information_block(facts)
            + dmi_information_block(facts))


# --------------------------------------------------------------------------
# Case files

@dataclass
class Repeat:
    count: int
    lines: list[str]


@dataclass
class Block:
    where: str  # file and line, for messages
    lines: list = field(default_factory=list)  # str or Repeat


@dataclass
class Case:
    case_id: str
    targets: tuple[str, ...] = DEFAULT_TARGETS
    args: list[str] | None = None
    exit_code: tuple[int, int] | None = None  # native, Windows
    dirs: list[str] = field(default_factory=list)
    env: dict[str, str | None] = field(default_factory=dict)  # None: unset
    files: dict[str, Block] = field(default_factory=dict)
    stdout: Block | None = None
    logs: dict[str, Block] = field(default_factory=dict)
    helpers: list[str] = field(default_factory=list)
    made: dict[str, Block] = field(default_factory=dict)
    shortcuts: dict[str, Block] = field(default_factory=dict)
    closed_stdout: bool = False
    tool: bool = False
    stderr: Block | None = None
    check: Block | None = None
    schemas: list[tuple[str, str | None, bool]] = field(default_factory=list)
    ignored_sigchld: bool = False
    links: dict[str, str] = field(default_factory=dict)
    fifos: list[str] = field(default_factory=list)
    sparse: dict[str, int] = field(default_factory=dict)


def split_args(text: str, where: str) -> list[str]:
    """Blank-separated arguments; quotes group, backslashes are plain characters."""
    lexer = shlex.shlex(text, posix=True)
    lexer.whitespace_split = True
    lexer.escape = ""
    lexer.commenters = ""
    try:
        return list(lexer)
    except ValueError as error:
        raise CaseError(f"{where}: {error}") from None


def number(text: str, where: str) -> int:
    if not re.fullmatch(r"\d+", text):
        raise CaseError(f"{where}: {text!r} is no number")
    return int(text)


def checked_relative_path(text: str, where: str) -> str:
    path = Path(text)
    if not text or path.is_absolute() or ".." in path.parts:
        raise CaseError(f"{where}: {text!r} is not a relative path inside the work folder")
    return text


def parse_case_file(path: Path) -> list[Case]:
    text = path.read_text(encoding="utf-8")
    if "\r" in text:
        raise CaseError(f"{path}: carriage returns are written as {{{{x0D}}}}")
    lines = text.split("\n")
    if lines[-1] != "":
        raise CaseError(f"{path}: the last line has no line end")
    parser = CaseParser(path)
    for number, line in enumerate(lines[:-1], start=1):
        parser.feed(line, f"{path.name}:{number}")
    return parser.finish()


class CaseParser:
    """Reads a case file line by line: directives start with "@"."""

    def __init__(self, path: Path):
        self.group = path.stem
        self.cases: list[Case] = []
        self.block: Block | None = None
        self.repeat: Repeat | None = None

    def feed(self, line: str, where: str) -> None:
        if line.startswith("@"):
            self.directive(line, where)
        elif self.repeat is not None:
            self.repeat.lines.append(line)
        elif self.block is not None:
            self.block.lines.append(line)
        elif line and not line.startswith("#"):
            raise CaseError(f"{where}: text outside a block")

    def directive(self, line: str, where: str) -> None:
        word, _, rest = line[1:].partition(" ")
        if word == "repeat":
            self.start_repeat(rest, where)
            return
        if word == "endrepeat":
            self.end_repeat(where)
            return
        if self.repeat is not None:
            raise CaseError(f"{where}: @{word} inside @repeat")
        if word == "case":
            self.start_case(rest, where)
            return
        case = self.current(where)
        self.block = None
        if word == "targets":
            unknown = [t for t in rest.split() if t not in TARGETS]
            if unknown or not rest.split():
                raise CaseError(f"{where}: unknown targets {unknown}")
            case.targets = tuple(rest.split())
        elif word == "args":
            case.args = split_args(rest, where)
        elif word == "exit":
            choice = re.fullmatch(r"\{\{native:(.*)\|windows:(.*)\}\}", rest)
            case.exit_code = ((number(choice.group(1), where), number(choice.group(2), where))
                              if choice else (number(rest, where),) * 2)
        elif word == "closedstdout":
            case.closed_stdout = True
        elif word == "tool":
            case.tool = True
        elif word == "schema":
            schema, _, path = rest.partition(" ")
            path, lines = (path[:-len(" lines")], True) if path.endswith(" lines") else (path, False)
            if lines and not path:
                raise CaseError(f"{where}: @schema ... lines needs the file's path")
            case.schemas.append((schema, checked_relative_path(path, where) if path else None,
                                 lines))
        elif word == "ignoredsigchld":
            case.ignored_sigchld = True
        elif word == "dir":
            case.dirs.append(checked_relative_path(rest, where))
        elif word == "env":
            name, equals, value = rest.partition("=")
            if not equals or not re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", name):
                raise CaseError(f"{where}: @env NAME=VALUE")
            case.env[name] = value
        elif word == "unsetenv":
            if not re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", rest):
                raise CaseError(f"{where}: @unsetenv NAME")
            case.env[rest] = None
        elif word == "file":
            self.block = case.files[checked_relative_path(rest, where)] = Block(where)
        elif word == "link":
            name, _, target = rest.partition(" ")
            if not target:
                raise CaseError(f"{where}: @link PATH TARGET")
            case.links[checked_relative_path(name, where)] = target
        elif word == "fifo":
            case.fifos.append(checked_relative_path(rest, where))
        elif word == "sparse":
            name, _, size = rest.partition(" ")
            case.sparse[checked_relative_path(name, where)] = number(size, where)
        elif word == "stdout":
            self.block = case.stdout = Block(where)
        elif word == "stderr":
            self.block = case.stderr = Block(where)
        elif word == "check":
            self.block = case.check = Block(where)
        elif word == "log":
            self.block = case.logs[checked_relative_path(rest, where)] = Block(where)
        elif word == "helper":
            case.helpers.append(checked_relative_path(rest, where))
        elif word == "made":
            self.block = case.made[checked_relative_path(rest, where)] = Block(where)
        elif word == "shortcut":
            self.block = case.shortcuts[checked_relative_path(rest, where)] = Block(where)
        else:
            raise CaseError(f"{where}: unknown directive @{word}")

    def start_case(self, name: str, where: str) -> None:
        if not re.fullmatch(r"[A-Za-z0-9_]+", name):
            raise CaseError(f"{where}: case names use letters, digits and _")
        case_id = f"{self.group}.{name}"
        if any(c.case_id == case_id for c in self.cases):
            raise CaseError(f"{where}: case {name} defined twice")
        self.cases.append(Case(case_id))
        self.block = None

    def start_repeat(self, count: str, where: str) -> None:
        if self.block is None or self.repeat is not None:
            raise CaseError(f"{where}: @repeat belongs inside a block, not nested")
        self.repeat = Repeat(number(count, where), [])

    def end_repeat(self, where: str) -> None:
        if self.repeat is None:
            raise CaseError(f"{where}: @endrepeat without @repeat")
        self.block.lines.append(self.repeat)
        self.repeat = None

    def current(self, where: str) -> Case:
        if not self.cases:
            raise CaseError(f"{where}: directive before the first @case")
        return self.cases[-1]

    def finish(self) -> list[Case]:
        if self.repeat is not None:
            raise CaseError(f"{self.group}: @repeat without @endrepeat")
        for case in self.cases:
            output = case.stdout or case.check or any(p is None for _, p, _ in case.schemas)
            missing = [name for name, absent in (("@args", case.args is None),
                                                 ("@exit", case.exit_code is None),
                                                 ("@stdout", not output)) if absent]
            if missing:
                raise CaseError(f"{case.case_id}: missing {', '.join(missing)}")
        return self.cases


def load_cases(cases_dir: Path) -> list[Case]:
    files = sorted(cases_dir.glob("*.case"))
    if not files:
        raise CaseError(f"no case files in {cases_dir}")
    return [case for path in files for case in parse_case_file(path)]


def find_case(cases_dir: Path, case_id: str) -> Case:
    group, _, _ = case_id.partition(".")
    for case in parse_case_file(cases_dir / f"{group}.case"):
        if case.case_id == case_id:
            return case
    raise CaseError(f"no case {case_id}")


# --------------------------------------------------------------------------
# Rendering blocks into bytes

TOKEN = re.compile(r"\{\{(.*?)\}\}")


@dataclass
class Render:
    """What a block's tokens stand for on one target."""
    target: Target
    facts: dict[str, object]
    output: bool  # expected console or log text, rather than a file to write

    def text(self, segments: list) -> bytes:
        """Text in the target's form (an output) or as UTF-8 (a file); raw bytes as they are."""
        out = bytearray()
        for segment in segments:
            if isinstance(segment, bytes):
                out += segment
            elif self.output and self.target.windows:
                out += segment.replace("\n", "\r\n").encode("latin-1", errors="replace")
            else:
                out += segment.encode("utf-8")
        return bytes(out)


def render_block(block: Block, render: Render) -> bytes:
    segments: list = []
    for item in block.lines:
        if isinstance(item, Repeat):
            for index in range(1, item.count + 1):
                for line in item.lines:
                    render_line(line, index, render, segments, block.where)
        else:
            render_line(item, None, render, segments, block.where)
    return render.text(segments)


RUN_START = re.compile(r"\{\{START(?: (.*))?\}\}")
WALK_STOP = re.compile(r"\{\{STOP (CRITERIA\d+)\}\}")


def render_line(line: str, index: int | None, render: Render, segments: list, where: str) -> None:
    if line == "{{FACTS}}" and render.output:
        segments.append(facts_report(render.facts))
        return
    start = RUN_START.fullmatch(line)
    if start and render.output:
        log = start.group(1) or ""
        segments.append(f"Dorvanta V4.0XP\n\nLog output to {log}\n\n")
        segments.append(facts_report(render.facts))
        segments.append(WALK_START)
        return
    stop = WALK_STOP.fullmatch(line)
    if stop and render.output:
        segments.append("=" * 79 + f"\n\nSection {stop.group(1)} empty or not existing"
                        " ... stop processing!\nDone.\n")
        return
    if line == "{{FACTS_BEFORE_DMI}}" and render.output:
        segments.append(os_information_block(render.facts)
                        + language_information_block(render.facts))
        return
    if "{{" not in line:
        # The common case, and the lines of big generated files: nothing to look up.
        segments.append(line + "\n")
        return
    position = 0
    end_of_line = "\n"
    for match in TOKEN.finditer(line):
        segments.append(line[position:match.start()])
        position = match.end()
        if match.group(1) == "NOEOL":
            if position != len(line):
                raise CaseError(f"{where}: {{{{NOEOL}}}} ends a line")
            end_of_line = ""
        else:
            segments.append(token_value(match.group(1), index, render, where))
    segments.append(line[position:] + end_of_line)


def token_value(token: str, index: int | None, render: Render, where: str):
    if token == "TAB":
        return "\t"
    if token == "SP":
        return " "
    if token == "N" and index is not None:
        return str(index)
    if re.fullmatch(r"x[0-9A-Fa-f]{2}", token):
        return bytes([int(token[1:], 16)])
    choice = re.fullmatch(r"native:(.*)\|windows:(.*)", token)
    if choice:
        return choice.group(2) if render.target.windows else choice.group(1)
    if token in render.facts:
        return str(render.facts[token])
    raise CaseError(f"{where}: unknown token {{{{{token}}}}}")


# --------------------------------------------------------------------------
# Running an executable

def require_tool(name: str) -> None:
    if not shutil.which(name):
        raise SetupError(f"{name} is not installed (scripts/setup.sh test installs it)")


def require_file(path: Path, what: str) -> None:
    if not path.is_file():
        raise SetupError(f"{what} not found: {path}")


def wine_environment(prefix: Path) -> dict[str, str]:
    env = base_environment()
    env.update(WINEPREFIX=str(prefix), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    return env


def base_environment() -> dict[str, str]:
    """The caller's environment with a fixed locale and no display."""
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("LC_") and k not in ("LANGUAGE", "DISPLAY", "WAYLAND_DISPLAY")}
    env["LANG"] = "C.UTF-8"
    return env


@dataclass
class Executable:
    target: Target
    path: Path
    prefix: Path | None

    def check(self) -> None:
        if self.target.windows:
            require_tool("wine")
            require_file(self.path, "Windows executable (cmake --build --preset windows)")
            if not (self.prefix / "system.reg").is_file():
                raise SetupError(f"Wine prefix not set up: {self.prefix}")
        else:
            require_file(self.path, "native executable")

    def environment(self, changes: dict[str, str | None]) -> dict[str, str]:
        env = wine_environment(self.prefix) if self.target.windows else base_environment()
        for name, value in changes.items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        return env

    def run(self, args: list[str], cwd: Path, env: dict[str, str] | None = None,
            closed_stdout: bool = False,
            ignored_sigchld: bool = False) -> subprocess.CompletedProcess:
        # Both executables write before any way out, so a failed run without a
        # byte of output never reached them: on a loaded machine Wine now and
        # then fails to start a program. Such a run is tried again, twice at most.
        for attempt in range(3):
            result = self.run_once(args, cwd, env, closed_stdout, ignored_sigchld)
            started = closed_stdout or result.returncode == 0 or result.stdout or result.stderr
            if not self.target.windows or started:
                break
            print(f"wine gave exit code {result.returncode} and no output (attempt {attempt + 1})")
        return result

    def run_once(self, args: list[str], cwd: Path, env: dict[str, str] | None,
                 closed_stdout: bool, ignored_sigchld: bool) -> subprocess.CompletedProcess:
        if env is None:
            env = self.environment({})
        if self.target.windows:
            command = ["wine", str(self.path), *args]
        else:
            command = [str(self.path), *args]
        # Standard error goes to a file: a Wine server started by this run
        # inherits it and lives on for a while, and reading a pipe up to its
        # end would wait for the server too.
        with tempfile.TemporaryFile() as stderr:
            # A closed standard output: the write end of a pipe whose read end
            # is already closed.
            stdout = subprocess.PIPE
            if closed_stdout:
                reading, stdout = os.pipe()
                os.close(reading)
            try:
                # An ignored signal stays ignored across the exec.
                result = subprocess.run(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                        stdout=stdout, stderr=stderr,
                                        timeout=RUN_TIMEOUT_SECONDS,
                                        preexec_fn=ignore_sigchld if ignored_sigchld else None)
            finally:
                if closed_stdout:
                    os.close(stdout)
            if closed_stdout:
                result.stdout = b""
            stderr.seek(0)
            result.stderr = stderr.read()
        return result


def ignore_sigchld() -> None:
    signal.signal(signal.SIGCHLD, signal.SIG_IGN)


def fresh_folder(path: Path) -> Path:
    shutil.rmtree(path, ignore_errors=True)
    path.mkdir(parents=True)
    return path


def files_in(folder: Path) -> set[str]:
    return {p.relative_to(folder).as_posix() for p in folder.rglob("*")}


# --------------------------------------------------------------------------
# Comparing

def visible(line: str, escape_above: int) -> str:
    """A line without its line end, with tabs, carriage returns, control
    characters and characters from escape_above on shown as escapes."""
    out = []
    for char in line.removesuffix("\n"):
        code = ord(char)
        if char in "\r\t":
            out.append(repr(char)[1:-1])
        elif code < 0x20 or 0x7F <= code < 0xA0 or code >= escape_above:
            out.append(f"\\x{code:02x}")
        else:
            out.append(char)
    if not line.endswith("\n"):
        out.append("  [no line end]")
    return "".join(out)


def lines_of(text: str) -> list[str]:
    """The lines of a text, each with its "\\n"; no other character ends a line."""
    parts = text.split("\n")
    return [part + "\n" for part in parts[:-1]] + ([parts[-1]] if parts[-1] else [])


def text_diff(expected: str, actual: str, names: tuple[str, str], escape_above: int) -> str:
    exp = [visible(line, escape_above) for line in lines_of(expected)]
    act = [visible(line, escape_above) for line in lines_of(actual)]
    return "\n".join(difflib.unified_diff(exp, act, *names, lineterm=""))


def byte_diff(expected: bytes, actual: bytes, what: str) -> str:
    """A diff of two byte strings, every byte from 0x80 on shown as an escape."""
    return text_diff(expected.decode("latin-1"), actual.decode("latin-1"),
                     (f"expected {what}", f"actual {what}"), escape_above=0x80)


def compare_written(blocks: dict[str, Block], render: Render, work: Path, missing: str,
                    what: str, received: dict[str, bytes] | None = None) -> list[str]:
    """The problems of the files that a run had to write, each named in the
    work folder with its expected block: "<missing> NAME was not written", or
    a diff of "<what> NAME". `received` holds what came through the FIFOs."""
    problems = []
    for name, block in blocks.items():
        path = work / name
        if received and name in received:
            actual = received[name]
        elif path.is_file():
            actual = path.read_bytes()
        else:
            problems.append(f"{missing} {name} was not written")
            continue
        expected = render_block(block, render)
        if actual != expected:
            problems.append(byte_diff(expected, actual, f"{what} {name}"))
    return problems


def missing_lines(expected: bytes, actual: bytes) -> list[str]:
    """The first expected line that the output does not hold whole after the ones before it."""
    lines = actual.splitlines()
    at = 0
    for line in expected.splitlines():
        try:
            at = lines.index(line, at) + 1
        except ValueError:
            return [f"stdout lacks, in this order, the line {line!r}; it was:\n"
                    + actual.decode("utf-8", errors="replace")]
    return []


def schema_problems(schema: str, document: bytes | Path, lines: bool = False) -> list[str]:
    """Validates a JSON document, or each line of a JSON Lines file, against a
    schema of the repository (python3-jsonschema); the schemas of schema/ may
    refer to each other by their $id."""
    import json
    import jsonschema
    import referencing
    where = "stdout" if isinstance(document, bytes) else document.name
    if isinstance(document, Path):
        if not document.is_file():
            return [f"{where} was not written"]
        document = document.read_bytes()
    registry = referencing.Registry().with_resources(
        (resource.contents["$id"], resource) for resource in
        (referencing.Resource.from_contents(json.loads(path.read_text(encoding="utf-8")))
         for path in sorted((REPOSITORY / "schema").glob("*.json"))))
    with open(REPOSITORY / schema, encoding="utf-8") as file:
        checker = jsonschema.Draft202012Validator(json.load(file), registry=registry)
    if lines:
        if not document.endswith(b"\n"):
            return [f"{where} does not end with a whole line"]
        texts = [(f"{where} line {n}", text) for n, text in enumerate(document.split(b"\n")[:-1], 1)]
    else:
        texts = [(where, document)]
    errors = []
    for name, text in texts:
        try:
            instance = json.loads(text.decode("utf-8"))
        except (UnicodeDecodeError, json.JSONDecodeError) as error:
            return [f"{name} is no UTF-8 JSON document: {error}"]
        errors += [f"{name}: {'/'.join(map(str, e.absolute_path))}: {e.message}"
                   for e in checker.iter_errors(instance)]
    return [f"{where} does not follow {schema}:\n" + "\n".join(errors[:10])] if errors else []


def compare_case(case: Case, render: Render, work: Path, initial: set[str],
                 result: subprocess.CompletedProcess, received: dict[str, bytes]) -> list[str]:
    problems = []
    exit_code = case.exit_code[1 if render.target.windows else 0]
    if result.returncode != exit_code % 256:
        problems.append(f"exit code {result.returncode}, expected {exit_code}")
    if case.stdout is not None:
        expected_stdout = render_block(case.stdout, render)
        if result.stdout != expected_stdout:
            problems.append(byte_diff(expected_stdout, result.stdout, "stdout"))
    if case.check is not None:
        problems += missing_lines(render_block(case.check, render), result.stdout)
    if case.stderr is not None:
        expected_stderr = render_block(case.stderr, render)
        if result.stderr != expected_stderr:
            problems.append(byte_diff(expected_stderr, result.stderr, "stderr"))
    for schema, name, lines in case.schemas:
        problems += schema_problems(schema, result.stdout if name is None else work / name, lines)
    problems += compare_written(case.logs, render, work, "log file", "log", received)
    files_render = Render(render.target, {"WORK": work.resolve().as_posix()}, output=False)
    problems += compare_written(case.made, files_render, work, "file", "file")
    for name, block in case.shortcuts.items():
        path = work / name
        if not path.is_file():
            problems.append(f"shortcut {name} was not written")
            continue
        expected = render_block(block, files_render).decode("utf-8")
        try:
            actual = "".join(f"{line}\n" for line in shortcut_fields(path, render.target))
        except SetupError as error:
            problems.append(f"shortcut {name}: {error}")
            continue
        if actual != expected:
            problems.append(text_diff(expected, actual, ("expected", f"shortcut {name}"), 0x7F))
    expected_files = (set(case.logs) | set(case.made) | set(case.shortcuts)
                      | {name for _, name, _ in case.schemas if name is not None})
    holders = {parent.as_posix() for name in expected_files for parent in Path(name).parents}
    unexpected = files_in(work) - initial - expected_files - holders
    if unexpected:
        problems.append(f"unexpected files written: {sorted(unexpected)}")
    return problems


LNK_FIELDS = ("Local path", "Description", "Command line arguments", "Icon location",
              "Icon index")


def lnk_fields(path: Path) -> list[str]:
    """The fields of a shell link as Debian's lnkinfo reads them."""
    require_tool("lnkinfo")
    done = subprocess.run(["lnkinfo", str(path)], capture_output=True)
    if done.returncode != 0:
        raise SetupError(f"lnkinfo could not read it: {done.stderr.decode(errors='replace')}")
    found = {}
    for line in done.stdout.decode("utf-8", errors="replace").splitlines():
        match = re.fullmatch(r"\t([A-Za-z ]+?)\t+: (.*)", line)
        if match and match.group(1) in LNK_FIELDS:
            found.setdefault(match.group(1), match.group(2))
    return [f"{name}: {found[name]}" for name in LNK_FIELDS if name in found]


def unescape_string_value(value: str) -> str:
    """A string value of a desktop entry, its \\s \\n \\t \\r \\\\ escapes resolved."""
    escapes = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}
    return re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(0)), value)


def exec_words(value: str) -> list[str]:
    """The words of an Exec value: blanks separate, double quotes group with
    \\", \\`, \\$ and \\\\ escaped inside, and %% stands for %."""
    words, word, quoted, in_word, i = [], "", False, False, 0
    while i < len(value):
        c = value[i]
        if quoted and c == "\\" and i + 1 < len(value) and value[i + 1] in '"`$\\':
            word += value[i + 1]
            i += 1
        elif c == '"':
            quoted, in_word = not quoted, True
        elif c == " " and not quoted:
            if in_word:
                words.append(word)
            word, in_word = "", False
        elif c == "%" and value[i + 1:i + 2] == "%":
            word, in_word = word + "%", True
            i += 1
        else:
            word, in_word = word + c, True
        i += 1
    if quoted:
        raise SetupError(f"the Exec value {value!r} leaves a quote open")
    if in_word:
        words.append(word)
    return words


def desktop_fields(path: Path) -> list[str]:
    """The launcher as a desktop reads it, after desktop-file-validate accepted it."""
    require_tool("desktop-file-validate")
    done = subprocess.run(["desktop-file-validate", str(path)], capture_output=True, text=True)
    if done.returncode != 0 or done.stdout.strip():
        raise SetupError(f"desktop-file-validate: {done.stdout}{done.stderr}")
    if not os.access(path, os.X_OK):
        raise SetupError("the launcher is not executable")
    keys = {}
    for line in path.read_text(encoding="utf-8").splitlines()[1:]:
        key, _, value = line.partition("=")
        keys[key] = unescape_string_value(value)
    program, *arguments = exec_words(keys.get("Exec", ""))
    fields = [f"Name: {keys.get('Name', '')}", f"Comment: {keys.get('Comment', '')}",
              f"Program: {program}"]
    fields += [f"Argument: {argument}" for argument in arguments]
    if "Icon" in keys:
        fields.append(f"Icon: {keys['Icon']}")
    return fields


def shortcut_fields(path: Path, target: Target) -> list[str]:
    return lnk_fields(path) if target.windows else desktop_fields(path)


def with_generated_locales(env: dict[str, str], work_root: Path) -> dict[str, str]:
    """Generates the locales the environment names (glibc, and with it Wine, knows
    only generated ones) into a folder of the work root, and points LOCPATH there."""
    wanted = {env[name] for name in ("LC_ALL", "LC_MESSAGES", "LANG")
              if env.get(name) and locale_language(env[name]) != "en_US"}
    if not wanted:
        return env
    folder = work_root / "locales"
    folder.mkdir(parents=True, exist_ok=True)
    for name in sorted(wanted):
        match = re.fullmatch(r"([A-Za-z]+_[A-Za-z]+)\.([A-Za-z0-9-]+)", name)
        if not match:
            raise CaseError(f"cannot generate the locale {name!r}: use ll_TT.CODESET")
        if not (folder / name).is_dir():
            # Made beside its place and renamed there, so that a case running in
            # parallel never sees a half-written locale.
            require_tool("localedef")
            scratch = Path(tempfile.mkdtemp(dir=folder))
            done = subprocess.run(["localedef", "-i", match.group(1), "-f", match.group(2),
                                   str(scratch / name)], capture_output=True, text=True)
            if not (scratch / name).is_dir():
                shutil.rmtree(scratch, ignore_errors=True)
                raise SetupError(f"localedef could not make {name} (the locales package "
                                 f"holds the sources): {done.stderr}")
            try:
                (scratch / name).rename(folder / name)
            except OSError:
                if not (folder / name).is_dir():
                    raise
            shutil.rmtree(scratch, ignore_errors=True)
    return {**env, "LOCPATH": str(folder)}


class FifoReader:
    """Reads a FIFO from before the run to its end. A writing end held open
    here keeps the reader from seeing an end of file while the program opens
    and closes the FIFO for each message."""

    def __init__(self, path: Path):
        self.reading = os.open(path, os.O_RDONLY | os.O_NONBLOCK)
        self.writing = os.open(path, os.O_WRONLY)
        os.set_blocking(self.reading, True)
        self.data = bytearray()
        self.thread = threading.Thread(target=self.read)
        self.thread.start()

    def read(self) -> None:
        while chunk := os.read(self.reading, 65536):
            self.data += chunk

    def finish(self) -> bytes:
        os.close(self.writing)
        self.thread.join()
        os.close(self.reading)
        return bytes(self.data)


def run_case(case: Case, exe: Executable, work_root: Path, helper: Path | None) -> int:
    if exe.target.name not in case.targets:
        raise CaseError(f"{case.case_id} is not a case for {exe.target.name}")
    exe.check()
    if case.helpers:
        if helper is None:
            raise SetupError(f"{case.case_id} needs the test helper: --helper")
        require_file(helper, "test helper program")
    work = fresh_folder(work_root / exe.target.name / case.case_id)
    changes = {name: value if value is None else value.replace("{{WORK}}", str(work))
               for name, value in case.env.items()}
    env = with_generated_locales(exe.environment(changes), work_root)
    facts = {**machine_facts(exe.target, env, exe.prefix), "WORK": str(work)}
    files_render = Render(exe.target, facts, output=False)
    for folder in case.dirs:
        (work / folder).mkdir(parents=True, exist_ok=True)
    for name, block in case.files.items():
        (work / name).parent.mkdir(parents=True, exist_ok=True)
        (work / name).write_bytes(render_block(block, files_render))
    for name in case.helpers:
        (work / name).parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(helper, work / name)
    for name, target in case.links.items():
        (work / name).parent.mkdir(parents=True, exist_ok=True)
        (work / name).symlink_to(target)
    for name in case.fifos:
        os.mkfifo(work / name)
    for name, size in case.sparse.items():
        (work / name).touch()
        os.truncate(work / name, size)
    initial = files_in(work)
    readers = {name: FifoReader(work / name) for name in case.fifos if name in case.logs}
    try:
        result = exe.run(case.args, work, env, closed_stdout=case.closed_stdout,
                         ignored_sigchld=case.ignored_sigchld)
    finally:
        received = {name: reader.finish() for name, reader in readers.items()}
    render = Render(exe.target, facts, output=True)
    problems = compare_case(case, render, work, initial, result, received)
    if not problems:
        shutil.rmtree(work)
        print(f"{case.case_id} on {exe.target.name}: passed")
        return 0
    print(f"{case.case_id} on {exe.target.name}: FAILED (work folder kept: {work})")
    print(f"command: {' '.join(shlex.quote(a) for a in case.args)}")
    for problem in problems:
        print(problem)
    if result.stderr:
        print("stderr:\n" + result.stderr.decode("utf-8", errors="replace"))
    return 1


# --------------------------------------------------------------------------
# Wine prefix, INI corpus, DLL imports

def make_prefix(prefix: Path, windows_version: str | None) -> int:
    for tool in ("wine", "wineboot", "wineserver"):
        require_tool(tool)
    env = wine_environment(prefix)
    # A server left running from an earlier run of this prefix.
    subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
    shutil.rmtree(prefix, ignore_errors=True)
    prefix.parent.mkdir(parents=True, exist_ok=True)
    commands = [["wineboot", "-i"]]
    if windows_version:
        commands.append(["wine", "winecfg", "-v", windows_version])
    # The server writes the registry to the prefix when it ends.
    commands.append(["wineserver", "-w"])
    for command in commands:
        with tempfile.TemporaryFile() as output:
            done = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=output,
                                  stderr=subprocess.STDOUT)
            output.seek(0)
            sys.stdout.write(output.read().decode("utf-8", errors="replace"))
        if done.returncode != 0:
            raise SetupError(f"{' '.join(command)} ended with code {done.returncode}")
    print(f"Wine prefix ready: {prefix}")
    return 0


def decode_output(data: bytes, target: Target) -> str:
    """Console bytes as text: 8-bit with CRLF on Windows, UTF-8 natively.

    A byte that is no part of valid UTF-8 counts natively as the 8-bit character
    of the same value, as the Windows build reads it.
    """
    if target.windows:
        return data.decode("latin-1").replace("\r\n", "\n")
    return data.decode("utf-8", errors="e2e-eight-bit")


def eight_bit_fallback(error: UnicodeDecodeError) -> tuple[str, int]:
    return error.object[error.start:error.start + 1].decode("latin-1"), error.start + 1


codecs.register_error("e2e-eight-bit", eight_bit_fallback)


# The system's reason for a refused start is its own text on each platform.
START_REFUSAL = re.compile(r'ERROR: ShellExecute ".*?"!\n', re.DOTALL)


def walk_report(text: str) -> str | None:
    start = text.find(WALK_START)
    if start < 0:
        return None
    return START_REFUSAL.sub('ERROR: ShellExecute "<reason>"!\n', text[start:])


def corpus_file_problems(ini: Path, executables: list[Executable], work_root: Path) -> list[str]:
    reports = []
    for exe in executables:
        work = fresh_folder(work_root / "corpus" / exe.target.name / ini.stem)
        shutil.copyfile(ini, work / ini.name)
        result = exe.run([f".\\{ini.name}", "/VERBOSE"], work)
        report = walk_report(decode_output(result.stdout, exe.target))
        if report is None:
            return [f"{ini.name}: no walk report on {exe.target.name}:\n"
                    + decode_output(result.stdout, exe.target)]
        reports.append((exe.target.name, result.returncode, report))
    (native, native_rc, native_report), (windows, windows_rc, windows_report) = reports
    problems = []
    if native_rc != windows_rc:
        problems.append(f"{ini.name}: exit code {native_rc} on {native}, {windows_rc} on {windows}")
    if native_report != windows_report:
        diff = text_diff(native_report, windows_report, (native, windows),
                         escape_above=sys.maxunicode + 1)
        problems.append(f"{ini.name}: walk reports differ\n{diff}")
    return problems


# What running an action prints, which explain does not: the walk's verdicts
# and the actions' announcements stay.
ACTION_OUTCOME = re.compile(r"Waiting for |INFO: |Executed\.$|ERROR: ShellExecute |Error: |"
                            r"Unexpected error |Shortcut created\.$|ERROR: (Create instance|"
                            r"Persist file|SetArguments|SetPath|SetDescription|SetIconLocation|"
                            r"Save) failed|\(not run\)$|\(not written\)$|$")


def verdict_report(text: str) -> str | None:
    """The walk report up to its last line ("Done." or explain's result), without
    what running the actions printed."""
    report = walk_report(text)
    if report is None:
        return None
    kept = []
    in_actions = False
    for line in report.split("\n"):
        if line == "Done." or line.startswith("Result: "):
            break
        if line.startswith("Processing ACTION"):
            in_actions = True
        elif line.startswith("=" * 79):
            in_actions = False
        elif in_actions and ACTION_OUTCOME.match(line):
            continue
        kept.append(line)
    return "\n".join(kept).rstrip("\n") + "\n"


def same_verdicts(name: str, run: tuple[str, bytes], explained: tuple[str, bytes],
                  target: Target) -> list[str]:
    """Problems when the run's walk and the explanation's differ."""
    reports = [(what, verdict_report(decode_output(output, target))) for what, output in (run, explained)]
    for what, report in reports:
        if report is None:
            return [f"{name}: no walk report from {what}"]
    (first, one), (second, other) = reports
    if one == other:
        return []
    return [f"{name}: the walks differ\n"
            + text_diff(one, other, (first, second), escape_above=sys.maxunicode + 1)]


def run_explain_corpus(files: list[Path], program: Executable, tool: Executable,
                       work_root: Path) -> int:
    """explain's verdicts are the run's, for every file."""
    program.check()
    problems = []
    for ini in files:
        work = fresh_folder(work_root / "explain" / program.target.name / ini.stem)
        shutil.copyfile(ini, work / ini.name)
        run = program.run([f".\\{ini.name}", "/VERBOSE"], work)
        explained = tool.run(["explain", f".\\{ini.name}"], work)
        problems += same_verdicts(ini.name, ("Dorvanta", run.stdout),
                                  ("dvtool explain", explained.stdout), program.target)
    for problem in problems:
        print(problem)
    print(f"{len(files)} INI files, {len(problems)} problems")
    return 1 if problems else 0


def run_replay(ini: Path, windows: Executable, windows_tool: Path, native_tool: Path,
               locales: list[str], work_root: Path) -> int:
    """Facts captured under Wine in each locale, replayed natively, give the walk
    that the Windows run gave."""
    windows.check()
    problems = []
    for locale in locales:
        work = fresh_folder(work_root / "replay" / locale)
        shutil.copyfile(ini, work / ini.name)
        env = with_generated_locales(windows.environment({"LANG": locale}), work_root)
        tool = Executable(windows.target, windows_tool, windows.prefix)
        facts = tool.run(["facts", "--json", "-o", "facts.json"], work, env)
        if facts.returncode != 0 or not (work / "facts.json").is_file():
            problems.append(f"{locale}: dvtool facts failed: {facts.stderr!r}")
            continue
        run = windows.run([f".\\{ini.name}", "/VERBOSE"], work, env)
        replayed = Executable(TARGETS["native"], native_tool, None).run(
            ["explain", ini.name, "--facts", "facts.json"], work)
        problems += same_verdicts(f"{ini.name} in {locale}", ("Wine's run", run.stdout),
                                  ("the native replay", replayed.stdout), windows.target)
    for problem in problems:
        print(problem)
    print(f"{len(locales)} locales, {len(problems)} problems")
    return 1 if problems else 0


def run_corpus(corpus: Path, executables: list[Executable], work_root: Path) -> int:
    files = sorted(corpus.glob("*.ini"))
    if not files:
        raise SetupError(f"no INI files in {corpus}")
    for exe in executables:
        exe.check()
    problems = [p for ini in files for p in corpus_file_problems(ini, executables, work_root)]
    for problem in problems:
        print(problem)
    print(f"{len(files)} INI files, {len(problems)} problems")
    return 1 if problems else 0


SYSTEM_DLLS = {
    "kernel32.dll", "msvcrt.dll", "shlwapi.dll", "advapi32.dll", "ole32.dll", "oleaut32.dll",
    "shell32.dll", "setupapi.dll", "user32.dll", "gdi32.dll", "cfgmgr32.dll", "version.dll",
    "ntdll.dll", "comctl32.dll",
}


def check_imports(exe: Path, objdump: str) -> int:
    require_file(exe, "Windows executable")
    require_tool(objdump)
    dump = subprocess.run([objdump, "-p", str(exe)], capture_output=True, text=True, check=True)
    dlls = re.findall(r"DLL Name: (\S+)", dump.stdout)
    foreign = [dll for dll in dlls
               if dll.lower() not in SYSTEM_DLLS and not dll.lower().startswith("api-ms-win-")]
    print("imports: " + ", ".join(dlls))
    if "kernel32.dll" not in (dll.lower() for dll in dlls):
        print("FAILED: KERNEL32.dll not among the imports; is this a Windows executable?")
        return 1
    if foreign:
        print("FAILED: imports of DLLs that are not part of Windows: " + ", ".join(foreign))
        return 1
    return 0


# --------------------------------------------------------------------------
# Command line

def executable_argument(target_name: str, args) -> Executable:
    target = TARGETS[target_name]
    prefix = Path(args.prefix).resolve() if args.prefix else None
    if target.windows and prefix is None:
        raise SetupError("a Windows target needs --prefix")
    return Executable(target, Path(args.exe).resolve(), prefix)


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    here = Path(__file__).resolve().parent

    listing = sub.add_parser("list")
    listing.add_argument("--cases", default=here / "cases", type=Path)

    run = sub.add_parser("run")
    run.add_argument("--cases", default=here / "cases", type=Path)
    run.add_argument("--target", required=True, choices=TARGETS)
    run.add_argument("--exe", required=True)
    run.add_argument("--prefix", help="Wine prefix, for the Windows targets")
    run.add_argument("--work", required=True, type=Path, help="folder for the work folders")
    run.add_argument("--helper", type=Path, help="the test helper program built for the target")
    run.add_argument("--tool", type=Path, help="dvtool built for the target, for @tool cases")
    run.add_argument("case", help="case id: <file stem>.<case name>")

    prefix = sub.add_parser("prefix")
    prefix.add_argument("--prefix", required=True, type=Path)
    prefix.add_argument("--windows-version", choices=WINDOWS_VERSIONS)

    corpus = sub.add_parser("corpus")
    corpus.add_argument("--native", required=True)
    corpus.add_argument("--windows", required=True)
    corpus.add_argument("--prefix", required=True)
    corpus.add_argument("--work", required=True, type=Path)
    corpus.add_argument("folder", type=Path)

    explain = sub.add_parser("explain-corpus")
    explain.add_argument("--target", required=True, choices=TARGETS)
    explain.add_argument("--exe", required=True)
    explain.add_argument("--tool", required=True, type=Path)
    explain.add_argument("--prefix", help="Wine prefix, for the Windows targets")
    explain.add_argument("--work", required=True, type=Path)
    explain.add_argument("files", nargs="+", type=Path)

    replay = sub.add_parser("replay")
    replay.add_argument("--windows", required=True)
    replay.add_argument("--windows-tool", required=True, type=Path)
    replay.add_argument("--native-tool", required=True, type=Path)
    replay.add_argument("--prefix", required=True)
    replay.add_argument("--work", required=True, type=Path)
    replay.add_argument("--locale", action="append", required=True)
    replay.add_argument("ini", type=Path)

    imports = sub.add_parser("imports")
    imports.add_argument("--objdump", default="x86_64-w64-mingw32-objdump")
    imports.add_argument("exe", type=Path)

    args = parser.parse_args(argv)
    try:
        if args.command == "list":
            for case in load_cases(args.cases):
                for target in case.targets:
                    # Wine keeps the user's location in the prefix and rewrites it when a
                    # process starts in another locale: such cases get a prefix of their own.
                    own_prefix = " locale" if case.env and TARGETS[target].windows else ""
                    print(f"{target} {case.case_id}{own_prefix}")
            return 0
        if args.command == "run":
            exe = executable_argument(args.target, args)
            helper = args.helper.resolve() if args.helper else None
            case = find_case(args.cases, args.case)
            if case.tool:
                if args.tool is None:
                    raise SetupError(f"{case.case_id} runs dvtool: --tool")
                exe = Executable(exe.target, args.tool.resolve(), exe.prefix)
            return run_case(case, exe, args.work.resolve(), helper)
        if args.command == "prefix":
            return make_prefix(args.prefix.resolve(), args.windows_version)
        if args.command == "corpus":
            prefix = Path(args.prefix).resolve()
            executables = [Executable(TARGETS["native"], Path(args.native).resolve(), None),
                           Executable(TARGETS["wine"], Path(args.windows).resolve(), prefix)]
            return run_corpus(args.folder, executables, args.work.resolve())
        if args.command == "explain-corpus":
            program = executable_argument(args.target, args)
            tool = Executable(program.target, args.tool.resolve(), program.prefix)
            return run_explain_corpus(args.files, program, tool, args.work.resolve())
        if args.command == "replay":
            windows = Executable(TARGETS["wine"], Path(args.windows).resolve(),
                                 Path(args.prefix).resolve())
            return run_replay(args.ini.resolve(), windows, args.windows_tool.resolve(),
                              args.native_tool.resolve(), args.locale, args.work.resolve())
        return check_imports(args.exe, args.objdump)
    except (CaseError, SetupError, subprocess.SubprocessError) as error:
        print(f"FAILED: {error}")
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
