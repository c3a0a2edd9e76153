#!/usr/bin/env python3
"""Builds a release package with CPack from a build folder and checks it.

  check_packages.py deb --build DIR --work DIR --version V
      The Debian package: its declared dependencies, lintian (no error, no
      warning, no hardening flag missing), an installation with dpkg into a
      fresh root under the work folder with the documents, examples, schemas
      and the Ansible role and playbook, and the installed executables run
      from there.
  check_packages.py zip --build DIR --work DIR --version V
      The Windows ZIP: its listing holds exactly both executables, the README,
      the examples and the schemas of the repository.
"""

import argparse
import json
import re
import shutil
import subprocess
import sys
import zipfile
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]


class Failure(Exception):
    pass


def check(condition: bool, message: str) -> None:
    if not condition:
        raise Failure(message)


def run(*command, **options) -> subprocess.CompletedProcess:
    return subprocess.run([str(part) for part in command], capture_output=True, check=False,
                          **options)


def build_package(build: Path, work: Path, suffix: str) -> Path:
    """The package that `cpack` makes from the build folder, in a fresh work folder."""
    shutil.rmtree(work, ignore_errors=True)
    result = run("cpack", "--config", build / "CPackConfig.cmake", "-B", work / "out")
    check(result.returncode == 0, "cpack failed:\n" + (result.stdout + result.stderr).decode())
    packages = sorted((work / "out").glob("*" + suffix))
    check(len(packages) == 1, f"cpack made {[p.name for p in packages]}, not one {suffix}")
    return packages[0]


def repository_files(folder: str, pattern: str) -> set[str]:
    return {path.name for path in (REPOSITORY / folder).glob(pattern)}


# The example rule files with the cases and facts beside them, and the README
# with the documents it links to, as each package holds them.
def examples() -> set[str]:
    return {f"examples/{name}" for name in repository_files("examples", "*.ini")
            | repository_files("examples", "*.json")}


README_FILES = {"README.md", "docs/DEVELOPING.md", "docs/images/summary.png"}


def check_deb(build: Path, work: Path, version: str) -> None:
    deb = build_package(build, work, ".deb")

    def field(name: str) -> str:
        return run("dpkg-deb", "--field", deb, name).stdout.decode().strip()

    check(field("Version") == version, f"package version {field('Version')!r}, not {version}")
    depends = field("Depends")
    for library in (r"libicu\d+", r"libudev1", r"libstdc\+\+6"):
        check(re.search(rf"(^|, ){library} ", depends) is not None,
              f"Depends lacks {library}: {depends!r}")

    # The information tags too: those of the hardening checks (no stack protector,
    # no fortified functions, no relro or BIND_NOW, no PIE) fail the package.
    lintian = run("lintian", "--fail-on", "error,warning", "--display-info", deb)
    report = (lintian.stdout + lintian.stderr).decode()
    check(lintian.returncode == 0, "lintian:\n" + report)
    unhardened = re.findall(r"^\w: \S+: (hardening-no-\S+ .*)$", report, re.MULTILINE)
    check(not unhardened, "built without the distribution's hardening flags:\n"
          + "\n".join(unhardened))

    # A fresh root whose dpkg database holds only the host's installed packages
    # that the package depends on (the libraries the executables load from the
    # host), so that dpkg checks the declared dependencies against them.
    root = work / "root"
    admin = root / "var/lib/dpkg"
    for folder in ("info", "updates", "triggers"):
        (admin / folder).mkdir(parents=True)
    names = {alternative.split()[0]
             for dependency in depends.split(",") for alternative in dependency.split("|")}
    status = run("dpkg-query", "--status", *sorted(names))
    check(status.returncode == 0, "dependencies not installed here:\n" + status.stderr.decode())
    (admin / "status").write_bytes(status.stdout)
    (admin / "available").touch()
    for name in names:
        (admin / "info" / f"{name}.list").touch()
    # Every file of the package, whatever paths this machine's dpkg configuration
    # leaves out (the documentation on slim images).
    install = run("dpkg", f"--root={root}", "--path-include=*", "--install", deb)
    check(install.returncode == 0, "dpkg --install:\n" + (install.stdout + install.stderr).decode())

    programs = sorted(path.name for path in (root / "usr/bin").iterdir())
    check(programs == ["Dorvanta", "dvtool"], f"/usr/bin holds {programs}")
    # The stack protector and fortified calls in each program: lintian cannot
    # tell them in Dorvanta, whose one fortified call it does not count (see its
    # override).
    for program in programs:
        symbols = run("readelf", "--dyn-syms", "--wide", root / "usr/bin" / program).stdout.decode()
        checked = set(re.findall(r"\b__\w+_chk(?:_fail)?\b", symbols))
        check("__stack_chk_fail" in checked and len(checked) > 1,
              f"{program} calls no stack protector or no fortified function: {sorted(checked)}")
    docs = root / "usr/share/doc/dorvanta"
    for name in README_FILES | {"copyright", "changelog.gz"}:
        check((docs / name).is_file(), f"{docs / name} not installed")
    installed_examples = {f"examples/{path.name}" for path in (docs / "examples").iterdir()}
    check(installed_examples == examples(), f"installed examples {installed_examples}")
    schema_folder = root / "usr/share/dorvanta/schema"
    schemas = {path.name for path in schema_folder.glob("*.json")}
    check(schemas == repository_files("schema", "*.json"), f"installed schemas {schemas}")
    role = root / "usr/share/dorvanta/ansible"
    installed_role = {str(path.relative_to(role)) for path in role.rglob("*") if path.is_file()}
    role_files = {str(path.relative_to(REPOSITORY / "contrib/ansible"))
                  for path in (REPOSITORY / "contrib/ansible").rglob("*.yml")}
    check("site.yml" in role_files and installed_role == role_files,
          f"installed Ansible files {sorted(installed_role)}, not {sorted(role_files)}")
    syntax = run("ansible-playbook", "-i", "localhost,", "--syntax-check", role / "site.yml",
                 cwd=work)
    check(syntax.returncode == 0, "the installed playbook:\n" + syntax.stderr.decode())

    def installed(program: str, *arguments: str) -> bytes:
        """Standard output of an installed program that ends with exit code 0."""
        result = run(root / "usr/bin" / program, *arguments, cwd=work)
        check(result.returncode == 0,
              f"{program} {' '.join(arguments)}: exit code {result.returncode}\n"
              + (result.stdout + result.stderr).decode(errors="replace"))
        return result.stdout

    def schema(name: str):
        """A validator for an installed schema, which has to be a valid JSON Schema."""
        import jsonschema
        with open(schema_folder / name, encoding="utf-8") as file:
            document = json.load(file)
        jsonschema.Draft202012Validator.check_schema(document)
        return jsonschema.Draft202012Validator(document)

    for name in sorted(schemas):
        schema(name)
    tool_version = installed("dvtool", "--version").decode()
    check(tool_version.startswith(f"dvtool {version}"), f"dvtool --version: {tool_version!r}")
    schema("facts.schema.json").validate(json.loads(installed("dvtool", "facts", "--json")))
    console = installed("Dorvanta", str(docs / "examples/basic.ini"), "basic.log", "/VERBOSE")
    log = (work / "basic.log").read_bytes()
    for where, text in (("console", console), ("log", log)):
        check(text.endswith(b"Done.\n"), f"Dorvanta's {where}:\n{text.decode(errors='replace')}")


def check_zip(build: Path, work: Path, version: str) -> None:
    package = build_package(build, work, ".zip")
    top = f"Dorvanta-{version}-win64/"
    with zipfile.ZipFile(package) as archive:
        names = [name for name in archive.namelist() if not name.endswith("/")]
        outside = [name for name in names if not name.startswith(top)]
        check(not outside, f"outside {top}: {outside}")
        files = {name[len(top):] for name in names}
        expected = ({"Dorvanta.exe", "dvtool.exe"} | README_FILES | examples()
                    | {f"schema/{name}" for name in repository_files("schema", "*.json")})
        check(files == expected, f"the ZIP holds {sorted(files)}, not {sorted(expected)}")
        for program in ("Dorvanta.exe", "dvtool.exe"):
            check(archive.read(top + program)[:2] == b"MZ", f"{program} is no executable")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("kind", choices=("deb", "zip"))
    parser.add_argument("--build", type=Path, required=True, help="the build folder to package")
    parser.add_argument("--work", type=Path, required=True, help="emptied, then gets everything")
    parser.add_argument("--version", required=True, help="the project's version")
    arguments = parser.parse_args()
    try:
        (check_deb if arguments.kind == "deb" else check_zip)(
            arguments.build.resolve(), arguments.work.resolve(), arguments.version)
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    print(f"{arguments.kind} package: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
