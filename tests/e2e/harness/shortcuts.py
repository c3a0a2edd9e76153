"""Readers of shortcuts, as an independent program sees them: lnkinfo for a
Windows shell link, desktop-file-validate and the Exec rules for a launcher."""

import os
import re
import subprocess
from pathlib import Path

from .common import SetupError, Target, require_tool


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
