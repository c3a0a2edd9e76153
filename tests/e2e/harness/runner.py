"""Running an executable natively or under Wine, and making Wine prefixes."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
from dataclasses import dataclass
from pathlib import Path

from .common import RUN_TIMEOUT_SECONDS, SetupError, Target, require_file, require_tool


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
