"""Readable differences between what was expected and what came."""

import difflib


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


def missing_lines(expected: bytes, actual: bytes, what: str = "stdout") -> list[str]:
    """The first expected line that the output (`what`) does not hold whole after the ones
    before it."""
    lines = actual.splitlines()
    at = 0
    for line in expected.splitlines():
        try:
            at = lines.index(line, at) + 1
        except ValueError:
            return [f"{what} lacks, in this order, the line {line!r}; it was:\n"
                    + actual.decode("utf-8", errors="replace")]
    return []
