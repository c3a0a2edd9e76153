"""Rendering a case's blocks into the bytes expected on one target."""

import re
from dataclasses import dataclass

from .casefile import Block, Repeat
from .common import CaseError, Target
from .oracle import WALK_START, facts_report, language_information_block, os_information_block


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
