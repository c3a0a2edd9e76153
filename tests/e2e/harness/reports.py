"""Readers of console output and logs: the walk report and its verdicts."""

import codecs
import re
import sys

from .common import Target
from .diffs import text_diff
from .oracle import WALK_START


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
