"""Runs over many files: the INI corpus on both executables, explain against
the run, replayed facts, and the DLL imports of the Windows executables."""

import re
import shutil
import subprocess
import sys
from pathlib import Path

from .common import SetupError, TARGETS, fresh_folder, require_file, require_tool
from .diffs import text_diff
from .locales import with_generated_locales
from .reports import decode_output, same_verdicts, walk_report
from .runner import Executable


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
