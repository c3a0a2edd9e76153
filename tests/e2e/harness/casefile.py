"""Case files: reading cases/*.case into cases (the syntax is described in e2e.py)."""

import re
import shlex
from dataclasses import dataclass, field
from pathlib import Path

from .common import CaseError, DEFAULT_TARGETS, TARGETS


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
    self_copies: list[str] = field(default_factory=list)
    made: dict[str, Block] = field(default_factory=dict)
    shortcuts: dict[str, Block] = field(default_factory=dict)
    junit: dict[str, Block] = field(default_factory=dict)
    examples: list[str] = field(default_factory=list)
    closed_stdout: bool = False
    tool: bool = False
    stderr: Block | None = None
    check: Block | None = None
    checked: dict[str, Block] = field(default_factory=dict)  # @check PATH: files the run writes
    schemas: list[tuple[str, str | None, bool]] = field(default_factory=list)
    # @json blocks: the file (None: standard output), whether it is JSON Lines, the block
    documents: list[tuple[str | None, bool, Block]] = field(default_factory=list)
    timed: list[str] = field(default_factory=list)  # @times: JSON Lines files
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
        elif word == "json":
            path, lines = (rest[:-len("lines")].rstrip(), True) \
                if rest == "lines" or rest.endswith(" lines") else (rest, False)
            if lines and not path:
                raise CaseError(f"{where}: @json ... lines needs the file's path")
            self.block = Block(where)
            case.documents.append((checked_relative_path(path, where) if path else None, lines,
                                   self.block))
        elif word == "times":
            case.timed.append(checked_relative_path(rest, where))
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
            self.block = Block(where)
            if rest:
                case.checked[checked_relative_path(rest, where)] = self.block
            else:
                case.check = self.block
        elif word == "log":
            self.block = case.logs[checked_relative_path(rest, where)] = Block(where)
        elif word == "helper":
            case.helpers.append(checked_relative_path(rest, where))
        elif word == "selfcopy":
            case.self_copies.append(checked_relative_path(rest, where))
        elif word == "made":
            self.block = case.made[checked_relative_path(rest, where)] = Block(where)
        elif word == "shortcut":
            self.block = case.shortcuts[checked_relative_path(rest, where)] = Block(where)
        elif word == "junit":
            self.block = case.junit[checked_relative_path(rest, where)] = Block(where)
        elif word == "example":
            case.examples.append(checked_relative_path(rest, where))
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
            output = (case.stdout or case.check or any(p is None for _, p, _ in case.schemas)
                      or any(p is None for p, _, _ in case.documents))
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
