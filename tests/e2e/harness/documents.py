"""Readers of the JSON documents and JSON Lines records that dvtool writes."""

from pathlib import Path

from .common import REPOSITORY


def schema_problems(schema: str, document: bytes | Path, lines: bool = False) -> list[str]:
    """Validates a JSON document, or each line of a JSON Lines file, against a
    schema of the repository (python3-jsonschema); the schemas of schema/ may
    refer to each other by their $id."""
    import json
    import jsonschema
    import referencing
    where = "stdout" if isinstance(document, bytes) else document.name
    if isinstance(document, Path):
        if not document.is_file():
            return [f"{where} was not written"]
        document = document.read_bytes()
    registry = referencing.Registry().with_resources(
        (resource.contents["$id"], resource) for resource in
        (referencing.Resource.from_contents(json.loads(path.read_text(encoding="utf-8")))
         for path in sorted((REPOSITORY / "schema").glob("*.json"))))
    with open(REPOSITORY / schema, encoding="utf-8") as file:
        checker = jsonschema.Draft202012Validator(json.load(file), registry=registry)
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
