#!/usr/bin/env python3
"""Checks the JSON schemas of schema/ as their users meet them.

  standalone  each schema is a valid JSON Schema (2020-12) that refers only to
              itself, so that it validates a document alone and offline; all
              name themselves under one $id host
  shared      the definitions ($defs) that several schemas carry are the same
              in each: each file has its own copy, written once per file
              (and a test case's "set" names each fact of a facts document)
  cli         the command the README shows validates documents that dvtool
              writes: a facts document and a run record's first line; and the
              example cases files and their facts documents
  fleet       the fleet that bench/gen_fleet.py generates follows the facts
              schema, is the same for the same seed, and dvtool reads its
              documents and its two rule files without a malformed line
"""

import argparse
import json
import subprocess
import sys
import tempfile
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
SCHEMAS = REPOSITORY / "schema"
ID_PREFIX = "https://dorvanta.example/schema/"
# The definitions that more than one schema needs, and which ones carry them.
# The check's document has a major version of its own (its findings grouped by
# file), so its version is its own too.
SHARED = {
    "version": {"facts", "explain", "summary", "record"},
    "time": {"facts", "record"},
    "facts": {"facts", "record", "cases"},
    "failure": {"facts", "record", "cases"},
    "request": {"explain", "record"},
}


def schemas() -> dict[str, dict]:
    return {path.name: json.loads(path.read_text(encoding="utf-8"))
            for path in sorted(SCHEMAS.glob("*.json"))}


def references(node, where: str = "#"):
    """Every $ref in the schema, with where it stands."""
    if isinstance(node, dict):
        for key, value in node.items():
            if key == "$ref":
                yield where, value
            else:
                yield from references(value, f"{where}/{key}")
    elif isinstance(node, list):
        for index, value in enumerate(node):
            yield from references(value, f"{where}/{index}")


def check_standalone() -> list[str]:
    import jsonschema
    problems = []
    for name, schema in schemas().items():
        try:
            jsonschema.Draft202012Validator.check_schema(schema)
        except jsonschema.SchemaError as error:
            problems.append(f"{name} is no valid JSON Schema: {error.message}")
        if schema.get("$id") != ID_PREFIX + name:
            problems.append(f"{name}: $id is {schema.get('$id')!r}, not {ID_PREFIX + name!r}")
        for where, target in references(schema):
            if not target.startswith("#/"):
                problems.append(f"{name} {where}: $ref {target!r} leaves the file")
                continue
            node = schema
            for step in target[2:].split("/"):
                node = node.get(step) if isinstance(node, dict) else None
            if node is None:
                problems.append(f"{name} {where}: $ref {target!r} names nothing")
    return problems


def check_shared() -> list[str]:
    problems = []
    loaded = schemas()
    for definition, carriers in SHARED.items():
        copies = {name: loaded[f"{name}.schema.json"].get("$defs", {}).get(definition)
                  for name in sorted(carriers)}
        problems += [f"{name}.schema.json lacks $defs/{definition}"
                     for name, copy in copies.items() if copy is None]
        reference = copies["facts" if "facts" in copies else "explain"]
        problems += [f"$defs/{definition} of {name}.schema.json differs from the others'"
                     for name, copy in copies.items() if copy is not None and copy != reference]
    facts = loaded["facts.schema.json"]["$defs"]["facts"]["properties"]
    settable = loaded["cases.schema.json"]["$defs"]["case"]["properties"]["set"]["properties"]
    if settable != {name: {"$ref": f"#/$defs/facts/properties/{name}"} for name in facts}:
        problems.append("cases.schema.json: \"set\" does not name each fact as the facts "
                        "document has it")
    return problems


def validate(document: Path, schema: str) -> list[str]:
    """`python3 -m jsonschema -i DOCUMENT schema/SCHEMA`, as the README shows it."""
    result = subprocess.run([sys.executable, "-W", "ignore", "-m", "jsonschema", "-i",
                             str(document), str(SCHEMAS / schema)],
                            capture_output=True, text=True, check=False)
    if result.returncode != 0:
        return [f"{document.name} does not follow {schema}: {result.stdout}{result.stderr}"]
    return []


def check_cli(dvtool: Path) -> list[str]:
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        facts = work / "facts.json"
        subprocess.run([str(dvtool), "facts", "--json", "-o", str(facts)], check=True)
        rules = work / "rules.ini"
        rules.write_text("[CRITERIA1]\n", encoding="utf-8")
        record = work / "record.jsonl"
        subprocess.run([str(dvtool), "run", "--record", str(record), str(rules)],
                       capture_output=True, check=False)
        start = work / "line.json"
        start.write_text(record.read_text(encoding="utf-8").splitlines()[0], encoding="utf-8")
        problems = validate(facts, "facts.schema.json") + validate(start, "record.schema.json")
    examples = REPOSITORY / "examples"
    for cases in sorted(examples.glob("*.cases.json")):
        problems += validate(cases, "cases.schema.json")
        for case in json.loads(cases.read_text(encoding="utf-8"))["cases"]:
            problems += validate(examples / case["facts"], "facts.schema.json")
    return problems


def check_fleet(dvtool: Path) -> list[str]:
    import jsonschema
    sys.path.insert(0, str(REPOSITORY / "bench"))
    import gen_fleet
    validator = jsonschema.Draft202012Validator(
        json.loads((SCHEMAS / "facts.schema.json").read_text(encoding="utf-8")))
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        for name, seed in (("a", 7), ("b", 7), ("c", 8)):
            gen_fleet.write_fleet(work / name, 60, seed)
        files = sorted(path.name for path in (work / "a").iterdir())
        if files != sorted(path.name for path in (work / "b").iterdir()) or any(
                (work / "a" / name).read_bytes() != (work / "b" / name).read_bytes()
                for name in files):
            problems.append("one seed wrote two different fleets")
        if all((work / "a" / name).read_bytes() == (work / "c" / name).read_bytes()
               for name in files if (work / "c" / name).is_file()):
            problems.append("another seed wrote the same fleet")
        platforms, models = set(), set()
        for name in files:
            document = json.loads((work / "a" / name).read_text(encoding="utf-8"))
            problems += [f"{name}: {error.message}" for error in validator.iter_errors(document)]
            if name != document["host"] + ".json":
                problems.append(f"{name} holds the facts of {document['host']}")
            ids = [len(device["hardwareIds"]) for device in document["devices"]]
            if not 100 <= len(ids) <= 140 or set(ids) != {4}:
                problems.append(f"{name}: {len(ids)} devices of {sorted(set(ids))} IDs")
            platforms.add(document["platform"])
            models.add(document["facts"]["DMIMachineType"])
        if platforms != {"windows", "linux"} or len(models) < 15:
            problems.append(f"the fleet is of {sorted(platforms)} and {len(models)} models")
        old, new = work / "old.ini", work / "new.ini"
        gen_fleet.write_rules(old, new)
        for rules, pairs in ((old, 255), (new, 256)):
            for name in files[::12]:
                done = subprocess.run([str(dvtool), "explain", str(rules), "--facts",
                                       str(work / "a" / name), "--json"],
                                      capture_output=True, text=True, check=False)
                if done.returncode != 0:
                    problems.append(f"explain {rules.name} {name}: {done.stderr}")
                    continue
                walk = json.loads(done.stdout)["pairs"]
                malformed = [line["text"] for pair in walk for line in pair["criteriaLines"]
                             if line["malformed"]]
                if len(walk) != pairs or malformed:
                    problems.append(f"{rules.name} on {name}: {len(walk)} pairs, malformed "
                                    f"{malformed}")
                if not any(pair["verdict"] == "holds" for pair in walk):
                    problems.append(f"no pair of {rules.name} holds on {name}")
    return problems


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("check", choices=["standalone", "shared", "cli", "fleet"])
    parser.add_argument("--dvtool", type=Path, help="the native dvtool (cli, fleet)")
    arguments = parser.parse_args()
    if arguments.check == "standalone":
        problems = check_standalone()
    elif arguments.check == "shared":
        problems = check_shared()
    elif arguments.check == "fleet":
        problems = check_fleet(arguments.dvtool)
    else:
        problems = check_cli(arguments.dvtool)
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
