"""Readers of the JSON documents and JSON Lines records that dvtool writes."""

import json
import re
from datetime import datetime, timedelta, timezone
from pathlib import Path

from .common import REPOSITORY


def schema_problems(schema: str, document: bytes | Path, lines: bool = False) -> list[str]:
    """Validates a JSON document, or each line of a JSON Lines file, against a
    schema of the repository (python3-jsonschema) in the draft it names, the
    schema alone: it refers to no other."""
    import jsonschema
    where = "stdout" if isinstance(document, bytes) else document.name
    if isinstance(document, Path):
        if not document.is_file():
            return [f"{where} was not written"]
        document = document.read_bytes()
    with open(REPOSITORY / schema, encoding="utf-8") as file:
        loaded = json.load(file)
    # The repository's schemas are draft 2020-12; a copy of another's names its own draft.
    draft = jsonschema.validators.validator_for(loaded, default=jsonschema.Draft202012Validator)
    checker = draft(loaded)
    if lines:
        if not document.endswith(b"\n"):
            return [f"{where} does not end with a whole line"]
        texts = [(f"{where} line {n}", text) for n, text in enumerate(document.split(b"\n")[:-1], 1)]
    else:
        texts = [(where, document)]
    errors = []
    for name, text in texts:
        try:
            instance = json.loads(text.decode("utf-8"))
        except (UnicodeDecodeError, json.JSONDecodeError) as error:
            return [f"{name} is no UTF-8 JSON document: {error}"]
        errors += [f"{name}: {'/'.join(map(str, e.absolute_path))}: {e.message}"
                   for e in checker.iter_errors(instance)]
    return [f"{where} does not follow {schema}:\n" + "\n".join(errors[:10])] if errors else []


def holds(actual: object, expected: object) -> str | None:
    """Where `actual` does not hold `expected`, or None: an object holds every
    member of the expected one (and may have more), an array as many items,
    each holding its expected one; other values are equal, of the same JSON type."""
    if isinstance(expected, dict):
        if not isinstance(actual, dict):
            return f": {json.dumps(actual)} is no object"
        for name, value in expected.items():
            if name not in actual:
                return f": no member {json.dumps(name)}"
            if (where := holds(actual[name], value)) is not None:
                return f"/{name}{where}"
        return None
    if isinstance(expected, list):
        if not isinstance(actual, list) or len(actual) != len(expected):
            return f": {json.dumps(actual)} is no array of {len(expected)} items"
        for index, (item, value) in enumerate(zip(actual, expected)):
            if (where := holds(item, value)) is not None:
                return f"/{index}{where}"
        return None
    # JSON has one number type, Python two: 1 == 1.0, but true is no 1.
    if type(actual) is bool or type(expected) is bool:
        same = actual is expected
    else:
        same = actual == expected and (actual is None) == (expected is None)
    return None if same else f": {json.dumps(actual)}, expected {json.dumps(expected)}"


def holding_problems(expected: bytes, document: bytes | Path, lines: bool, where: str) -> list[str]:
    """The document on standard output or in a file against a @json block: as
    one document, or (lines) as JSON Lines with a line for each line of the block."""
    name = "stdout" if isinstance(document, bytes) else document.name
    if isinstance(document, Path):
        if not document.is_file():
            return [f"{name} was not written"]
        document = document.read_bytes()
    wanted = expected.split(b"\n")[:-1] if lines else [expected]
    texts = document.split(b"\n") if lines else [document]
    if lines and texts[-1] == b"":
        texts.pop()
    if len(texts) != len(wanted):
        return [f"{name} has {len(texts)} lines, the @json block of {where} {len(wanted)}:\n"
                + document.decode("utf-8", errors="replace")]
    problems = []
    for number, (text, block) in enumerate(zip(texts, wanted), 1):
        line = f"{name} line {number}" if lines else name
        try:
            value = json.loads(block.decode("utf-8"))
        except json.JSONDecodeError as error:
            return [f"{where}: the @json block is no JSON: {error}"]
        try:
            actual = json.loads(text.decode("utf-8"))
        except (UnicodeDecodeError, json.JSONDecodeError) as error:
            problems.append(f"{line} is no UTF-8 JSON: {error}")
            continue
        if (at := holds(actual, value)) is not None:
            problems.append(f"{line} does not hold the @json block of {where}: at "
                            f"{at if at.startswith('/') else '/' + at}")
    return problems


TIME_STAMP = re.compile(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z")
# A system clock may tick coarser than a millisecond, and Wine's is read apart from ours.
CLOCK_SLACK = timedelta(seconds=1)


def time_problems(path: Path, window: tuple[datetime, datetime]) -> list[str]:
    """Every line of a JSON Lines file has a "time" in UTC, to the millisecond,
    that lies within the run (`window`, give or take CLOCK_SLACK), and the
    times never go back."""
    if not path.is_file():
        return [f"{path.name} was not written"]
    earliest, latest = window[0] - CLOCK_SLACK, window[1] + CLOCK_SLACK
    previous = earliest
    for number, text in enumerate(path.read_bytes().split(b"\n")[:-1], 1):
        try:
            stamp = json.loads(text.decode("utf-8")).get("time")
        except (UnicodeDecodeError, json.JSONDecodeError, AttributeError):
            return [f"{path.name} line {number} is no JSON object"]
        if not isinstance(stamp, str) or not TIME_STAMP.fullmatch(stamp):
            return [f"{path.name} line {number}: {stamp!r} is no time of the form "
                    "2026-12-09T08:31:29.123Z"]
        try:
            moment = datetime.strptime(stamp, "%Y-%m-%dT%H:%M:%S.%fZ").replace(tzinfo=timezone.utc)
        except ValueError:
            return [f"{path.name} line {number}: {stamp} is no date and time"]
        if not previous <= moment <= latest:
            return [f"{path.name} line {number}: {stamp} is not within the run, "
                    f"{earliest.isoformat()} to {latest.isoformat()}, after the line before"]
        previous = moment
    return []
