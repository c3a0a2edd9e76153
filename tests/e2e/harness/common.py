"""Targets, the errors that end a test, and small helpers that every part uses."""

import shutil
from dataclasses import dataclass
from pathlib import Path


RUN_TIMEOUT_SECONDS = 120
REPOSITORY = Path(__file__).resolve().parents[3]


class CaseError(Exception):
    """A malformed case file."""


class SetupError(Exception):
    """A missing tool, executable or folder: the test fails."""


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


def require_tool(name: str) -> None:
    if not shutil.which(name):
        raise SetupError(f"{name} is not installed (scripts/setup.sh test installs it)")


def require_file(path: Path, what: str) -> None:
    if not path.is_file():
        raise SetupError(f"{what} not found: {path}")


def fresh_folder(path: Path) -> Path:
    shutil.rmtree(path, ignore_errors=True)
    path.mkdir(parents=True)
    return path


def files_in(folder: Path) -> set[str]:
    return {p.relative_to(folder).as_posix() for p in folder.rglob("*")}
