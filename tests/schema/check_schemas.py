#!/usr/bin/env python3
"""Checks the JSON schemas of schema/ as their users meet them.

  standalone  each schema is a valid JSON Schema (2020-12) that refers only to
              itself, so that it validates a document alone and offline; all
              name themselves under one $id host
  shared      the definitions ($defs) that several schemas carry are the same
              in each: each file has its own copy, written once per file
              (and a test case's "set" names each fact of a facts document)
  cli         the command the README shows validates documents that dvtool
              writes: a facts document, a run record's first line and a plan
              with a baseline; and the example cases files and their facts
              documents
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
# Each document's version is its own: its major, and the minor its members
# have reached.
SHARED = {
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
        plan = work / "plan.json"
        with plan.open("wb") as output:
            subprocess.run([str(dvtool), "plan", str(rules), "--baseline", str(rules), "--facts",
                            str(facts), "--json"], stdout=output, check=True)
        problems = (validate(facts, "facts.schema.json") + validate(start, "record.schema.json")
                    + validate(plan, "plan.schema.json"))
    examples = REPOSITORY / "examples"
    for cases in sorted(examples.glob("*.cases.json")):
        problems += validate(cases, "cases.schema.json")
        for case in json.loads(cases.read_text(encoding="utf-8"))["cases"]:
            problems += validate(examples / case["facts"], "facts.schema.json")
    return problems


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("check", choices=["standalone", "shared", "cli"])
    parser.add_argument("--dvtool", type=Path, help="the native dvtool (cli)")
    arguments = parser.parse_args()
    if arguments.check == "standalone":
        problems = check_standalone()
    elif arguments.check == "shared":
        problems = check_shared()
    else:
        problems = check_cli(arguments.dvtool)
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
