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
  @check [PATH]       a block instead of @stdout: lines that standard output
                      (or the file PATH that the run writes) holds whole, in
                      this order, with any lines between
  @stderr             a block: the expected standard error (without it,
                      standard error is not compared)
  @schema SCHEMA [PATH] [lines]
                      the JSON document on standard output (or in the file
                      PATH that the run writes) is valid against SCHEMA, a
                      JSON Schema of the repository's schema/ folder (or a
                      copy of another's under tests/), read alone as its
                      users read it; with "lines", the file
                      is JSON Lines: each line, ended by a line end, is one
                      document valid against SCHEMA
  @json [PATH] [lines]
                      a block: JSON that the document on standard output (or
                      in the file PATH) holds: an object every member of the
                      block's object (it may have more), an array as many
                      items, each holding the block's item; other values are
                      equal. With "lines", the file is JSON Lines with as
                      many lines as the block, each holding its line of the
                      block. Tokens are those of a @file block, facts included
  @times PATH         every line of the JSON Lines file PATH that the run writes
                      has a "time" in UTC to the millisecond (as in
                      2026-12-09T08:31:29.123Z) within the run, a second of
                      slack either side, never earlier than the line before
  @log PATH           a block: the expected content of a log file
  @helper PATH        the test helper program of the target (tests/helper),
                      copied there before the run; its arguments, the faults
                      it does to a run among them, are described in
                      tests/helper/TestHelper.cpp
  @selfcopy PATH      a copy of the executable the case runs (dvtool with
                      @tool), made there before the run, so that a rule file
                      can start it again beside the run
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
  @junit PATH         a block: a JUnit XML report that the run writes, as
                      junitparser reads it: "suites NAME: N tests, M failures",
                      per suite "suite NAME: N tests, M failures, E errors, S
                      skipped", per test case "case CLASS / NAME: passed" (or
                      "failed"), and for each failure "failure: MESSAGE" and
                      the lines of its text
  @example NAME       the file examples/NAME of the repository, copied into the
                      work folder before the run
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
                      @file blocks); {{OsName}} and {{OsBuild}}, the system's
                      release words that dvtool facts shows (os-release, or the
                      prefix's registry); {{HostName}}; {{DmiVendorUpper}} ... the DMI texts
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
  plan-oracle  plan a generated fleet with 'dvtool plan' and require the
           verdicts of 'dvtool explain --facts' for every machine
  imports  check that the Windows executable imports only system DLLs
"""

import argparse
import subprocess
import sys
from pathlib import Path

from harness.casefile import find_case, load_cases
from harness.caserun import run_case
from harness.fleet import run_plan_oracle
from harness.common import CaseError, SetupError, TARGETS, WINDOWS_VERSIONS
from harness.runner import Executable, make_prefix
from harness.suites import check_imports, run_corpus, run_explain_corpus, run_replay


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

    plan = sub.add_parser("plan-oracle")
    plan.add_argument("--target", required=True, choices=TARGETS)
    plan.add_argument("--tool", required=True)
    plan.add_argument("--prefix", help="Wine prefix, for the Windows targets")
    plan.add_argument("--work", required=True, type=Path)

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
        if args.command == "plan-oracle":
            args.exe = args.tool
            return run_plan_oracle(executable_argument(args.target, args), args.work.resolve())
        return check_imports(args.exe, args.objdump)
    except (CaseError, SetupError, subprocess.SubprocessError) as error:
        print(f"FAILED: {error}")
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
