"""Running one case on one target and comparing everything it asserts."""

import os
import shlex
import shutil
import subprocess
from collections.abc import Callable
from datetime import datetime, timezone
from pathlib import Path

from .casefile import Block, Case
from .common import (REPOSITORY, CaseError, SetupError, files_in, fresh_folder,
                     require_file)
from .diffs import byte_diff, missing_lines, text_diff
from .documents import holding_problems, schema_problems, time_problems
from .junit import junit_lines
from .locales import with_generated_locales
from .oracle import machine_facts
from .render import Render, render_block
from .runner import Executable, FifoReader
from .shortcuts import shortcut_fields


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


def compare_read_back(blocks: dict, render: Render, work: Path, what: str,
                      read: Callable[[Path], list[str]]) -> list[str]:
    """Files the run wrote, each read back by a tool into lines, against their blocks."""
    problems = []
    for name, block in blocks.items():
        path = work / name
        if not path.is_file():
            problems.append(f"{what} {name} was not written")
            continue
        expected = render_block(block, render).decode("utf-8")
        try:
            actual = "".join(f"{line}\n" for line in read(path))
        except SetupError as error:
            problems.append(f"{what} {name}: {error}")
            continue
        if actual != expected:
            problems.append(text_diff(expected, actual, ("expected", f"{what} {name}"), 0x7F))
    return problems


def compare_case(case: Case, render: Render, work: Path, initial: set[str],
                 result: subprocess.CompletedProcess, received: dict[str, bytes],
                 window: tuple[datetime, datetime]) -> list[str]:
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
    for name, block in case.checked.items():
        path = work / name
        if path.is_file():
            problems += missing_lines(render_block(block, render), path.read_bytes(), name)
        else:
            problems.append(f"file {name} was not written")
    if case.stderr is not None:
        expected_stderr = render_block(case.stderr, render)
        if result.stderr != expected_stderr:
            problems.append(byte_diff(expected_stderr, result.stderr, "stderr"))
    for schema, name, lines in case.schemas:
        problems += schema_problems(schema, result.stdout if name is None else work / name, lines)
    for name, lines, block in case.documents:
        expected = render_block(block, Render(render.target, render.facts, output=False))
        problems += holding_problems(expected, result.stdout if name is None else work / name,
                                     lines, block.where)
    for name in case.timed:
        problems += time_problems(work / name, window)
    problems += compare_written(case.logs, render, work, "log file", "log", received)
    files_render = Render(render.target, {"WORK": work.resolve().as_posix()}, output=False)
    problems += compare_written(case.made, files_render, work, "file", "file")
    problems += compare_read_back(case.shortcuts, files_render, work, "shortcut",
                                  lambda path: shortcut_fields(path, render.target))
    problems += compare_read_back(case.junit, files_render, work, "JUnit report", junit_lines)
    expected_files = (set(case.logs) | set(case.made) | set(case.shortcuts) | set(case.checked)
                      | set(case.junit)
                      | {name for _, name, _ in case.schemas if name is not None}
                      | {name for name, _, _ in case.documents if name is not None}
                      | set(case.timed))
    holders = {parent.as_posix() for name in expected_files for parent in Path(name).parents}
    unexpected = files_in(work) - initial - expected_files - holders
    if unexpected:
        problems.append(f"unexpected files written: {sorted(unexpected)}")
    return problems


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
    for name in case.examples:
        (work / name).parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(REPOSITORY / "examples" / name, work / name)
    for name in case.self_copies:
        (work / name).parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(exe.path, work / name)
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
    started = datetime.now(timezone.utc)
    try:
        result = exe.run(case.args, work, env, closed_stdout=case.closed_stdout,
                         ignored_sigchld=case.ignored_sigchld)
    finally:
        received = {name: reader.finish() for name, reader in readers.items()}
    window = (started, datetime.now(timezone.utc))
    render = Render(exe.target, facts, output=True)
    problems = compare_case(case, render, work, initial, result, received, window)
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
