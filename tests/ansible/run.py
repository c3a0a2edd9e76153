#!/usr/bin/env python3
"""Tests of the Ansible role contrib/ansible/roles/dorvanta.

  lint   the playbook's syntax check (which resolves every module, the Windows
         tasks' ansible.windows modules among them) and ansible-lint
  role   the playbook run for real with the native build against inventory hosts
         on this machine (local connection, each with its own rule file and
         folder) and one that cannot be reached. First with --check (explain
         shows what would run, nothing runs), then for real: the fetched
         records, the failed hosts and their messages (dvtool's own words for a
         refused command line), the success codes written as an INI inventory
         writes a list, a number and a text, the reboot notification
         (dorvanta_reboot=false), the facts kept in Ansible's jsonfile fact cache
         and written as facts documents (dorvanta_facts_dir), each host planned
         alike by dvtool plan over either, and the fleet summary of this run.
         The record and facts folders are relative ones in the inventory's
         group_vars, taken from the playbook's folder, not from the folder
         ansible-playbook starts in. Then again with every host failing and one
         host of the first run unreachable: the summary is still written, and
         shows that host as "no record", not with its record of the first run.
  example
         the README's Ansible example as its reader runs it from a fresh
         clone: its ansible-playbook command, from another folder, on a copy
         of examples/ansible and contrib/ansible laid out as in a checkout
         whose native build is the dvtool under test; the record and summary
         land in the user's state folder, and the checkout is left as it was.
"""

import argparse
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import time
from pathlib import Path

import jsonschema

REPOSITORY = Path(__file__).resolve().parents[2]
ANSIBLE = REPOSITORY / "contrib" / "ansible"
FACTS_SCHEMA = REPOSITORY / "schema" / "facts.schema.json"
# A code a started program returns on Linux: 8-bit exit statuses have no 3010,
# and no code but 0 has a class unless the role's variables give it one.
LINUX_REBOOT_REQUIRED = 10
# A host that cannot be reached: nothing listens on the discard port here.
UNREACHABLE = ("ansible_connection=ssh ansible_host=127.0.0.1 ansible_port=9 "
               "ansible_ssh_common_args='-o ConnectTimeout=5'")


class Host:
    def __init__(self, code: int, result: str, variables: str = "", message: str = "",
                 row: str = "", hang: bool = False):
        self.code = code            # the helper's exit code
        self.result = result        # the run's class, or "no record"
        self.variables = variables  # further inventory variables of the host
        self.message = message      # a text of the host's failure message
        self.row = row or result    # its result in the fleet summary
        self.hang = hang            # the helper never ends: the role's time limit ends it


# The first run: each class, the success codes in each form an INI inventory
# gives ("0,5" is read as a text, 0,3 as a list, 7 as a number), a reboot code
# given to a Linux host and the same code on a host that gives none (a failure),
# a command line that dvtool refuses, and a host that cannot be reached.
FIRST = {
    "host1": Host(5, "success", 'dorvanta_success_codes="0,5"'),
    "host2": Host(3, "failure", message="failure (exit code 1); pairs run: 1; failed actions: ACTION1 3"),
    "host3": Host(LINUX_REBOOT_REQUIRED, "reboot-required", "dorvanta_reboot_required_codes=10"),
    "host8": Host(LINUX_REBOOT_REQUIRED, "failure",
                  message="failure (exit code 1); pairs run: 1; failed actions: ACTION1 10"),
    "host4": Host(3, "success", "dorvanta_success_codes=0,3"),
    "host5": Host(7, "success", "dorvanta_success_codes=7"),
    "host6": Host(0, "failure", "dorvanta_success_codes=0,x",
                  "dvtool run: --success-codes takes decimal codes separated by commas, not 0,x",
                  "no record"),
    "host7": Host(0, "no record", UNREACHABLE, "unreachable"),
}
# The second run: host1, whose first run succeeded, cannot be reached; every
# other host fails, host3 by a program that never ends, under the role's time
# limit.
SECOND = {
    "host1": Host(0, "no record", UNREACHABLE, "unreachable"),
    "host2": Host(3, "failure"),
    "host3": Host(0, "failure", "dorvanta_action_timeout=2", hang=True),
}


def environment(work: Path) -> dict:
    env = dict(os.environ)
    env.update({
        "ANSIBLE_HOME": str(work / "ansible-home"),
        "ANSIBLE_LOCAL_TEMP": str(work / "ansible-tmp"),
        "ANSIBLE_NOCOLOR": "1",
        "ANSIBLE_RETRY_FILES_ENABLED": "0",
        "ANSIBLE_HOST_KEY_CHECKING": "0",
        "ANSIBLE_PIPELINING": "1",
        "ANSIBLE_FORKS": "8",
        "ANSIBLE_CACHE_PLUGIN": "jsonfile",
        "ANSIBLE_CACHE_PLUGIN_CONNECTION": str(work / "fact-cache"),
        "ANSIBLE_ROLES_PATH": str(ANSIBLE / "roles"),
    })
    return env


def write_inventory(work: Path, tool: Path, helper: Path, hosts: dict) -> None:
    lines = ["[fleet]"]
    for name, host in hosts.items():
        folder = work / name
        folder.mkdir(exist_ok=True)
        shutil.copy(helper, folder / "helper")
        (work / f"{name}.ini").write_text(
            "[CRITERIA1]\nOSMajor = GE,0\n[ACTION1]\n"
            f"Execute = WAIT, {folder / 'helper'}, exit={host.code} marker=ran.txt"
            + (" wait-for=never" if host.hang else "") + "\n")
        lines.append(f"{name} dorvanta_dir={folder} dorvanta_rules={work / (name + '.ini')} "
                     + host.variables)
    lines += ["[fleet:vars]", "ansible_connection=local",
              f"ansible_python_interpreter={sys.executable}",
              f"dorvanta_tool={tool}",
              f"dorvanta_controller_tool={tool}",
              "dorvanta_reboot=false"]
    (work / "inventory" / "hosts.ini").write_text("\n".join(lines) + "\n")


def write_layout(work: Path) -> None:
    """The playbook in the work folder (its folder is where relative paths start)
    and an inventory folder whose group_vars give the controller's folders."""
    shutil.copy(ANSIBLE / "site.yml", work / "site.yml")
    (work / "inventory" / "group_vars").mkdir(parents=True)
    (work / "inventory" / "group_vars" / "all.yml").write_text(
        "---\ndorvanta_record_dir: records\ndorvanta_facts_dir: facts\n")
    (work / "elsewhere").mkdir()


def playbook(work: Path, extra: list) -> subprocess.CompletedProcess:
    command = ["ansible-playbook", "-i", str(work / "inventory" / "hosts.ini"),
               str(work / "site.yml")] + extra
    started = time.monotonic()
    done = subprocess.run(command, cwd=work / "elsewhere", env=environment(work),
                          capture_output=True, text=True, timeout=600)
    print(f"$ {' '.join(command)}\n{done.stdout}{done.stderr}"
          f"({time.monotonic() - started:.0f} s)")
    return done


def recap(output: str) -> dict:
    """host -> its PLAY RECAP counters."""
    hosts = {}
    for host, counters in re.findall(r"^(\S+)\s+:\s+(ok=.*)$", output, re.MULTILINE):
        hosts[host] = {k: int(v) for k, v in re.findall(r"(\w+)=(\d+)", counters)}
    return hosts


def check(condition: bool, message: str, failures: list) -> None:
    if not condition:
        failures.append(message)


def run_folders(work: Path) -> list:
    records = work / "records"
    return sorted(p for p in records.iterdir() if p.is_dir()) if records.exists() else []


def summary_rows(text: str) -> dict:
    """host -> its result in the summary's table."""
    return dict(re.findall(r"^(host\d+) +(no record|[a-z-]+) ", text, re.MULTILINE))


def check_run(work: Path, done: subprocess.CompletedProcess, hosts: dict, failures: list) -> None:
    """The records, recap and summary of a run of the playbook with these hosts."""
    counters = recap(done.stdout)
    folders = run_folders(work)
    folder = folders[-1] if folders else work / "records" / "none"
    for name, host in hosts.items():
        stats = counters.get(name, {})
        failed = host.result in ("failure", "no record")
        check(stats.get("failed") == (1 if failed else 0), f"{name}: failed={stats.get('failed')}",
              failures)
        if host.message:
            check(re.search(rf"fatal: \[{name}\]: FAILED! => .*{re.escape(host.message)}",
                            done.stdout) is not None,
                  f"{name}: the failure does not say {host.message!r}", failures)
        record = folder / f"{name}.jsonl"
        if host.row == "no record":
            check(not record.exists(), f"{name}: a record was fetched", failures)
            continue
        if not record.exists():
            failures.append(f"{name}: no record fetched into {folder}")
            continue
        events = [json.loads(line) for line in record.read_text().splitlines()]
        check(events[0]["event"] == "run-start" and events[-1]["event"] == "run-end",
              f"{name}: the record is not whole", failures)
        check(events[0].get("host") == name, f"{name}: the record reports {events[0].get('host')}",
              failures)
        if host.hang:
            check(any(e.get("reason") == "timed out" for e in events),
                  f"{name}: no action timed out", failures)
        check(events[-1].get("result") == host.result,
              f"{name}: the record's class is {events[-1].get('result')}, not {host.result}",
              failures)
    summary = folder / "summary.txt"
    text = summary.read_text() if summary.exists() else ""
    print(f"--- {summary}\n{text}")
    latest = work / "records" / "summary.txt"
    check(latest.exists() and latest.read_text() == text,
          "records/summary.txt is not this run's summary", failures)
    check(text.startswith(f"Run {folder.name}\n"), "the summary does not name its run", failures)
    rows = summary_rows(text)
    expected = {name: host.row for name, host in hosts.items()}
    check(rows == expected, f"the summary's rows are {rows}, not {expected}", failures)


def check_facts(work: Path, reached: list, failures: list) -> None:
    """Ansible's fact cache and the facts folder: one file for each host reached,
    with the facts of dvtool facts --json, the same in both but for the host's
    name, the inventory's in the document, which follows the facts schema."""
    schema = jsonschema.Draft202012Validator(json.loads(FACTS_SCHEMA.read_text()))
    cache, documents = work / "fact-cache", work / "facts"
    cached = sorted(p.name for p in cache.iterdir()) if cache.is_dir() else []
    check(cached == sorted(reached), f"the fact cache holds {cached}, not {sorted(reached)}",
          failures)
    written = sorted(p.name for p in documents.iterdir()) if documents.is_dir() else []
    wanted = sorted(f"{name}.facts.json" for name in reached)
    check(written == wanted, f"the facts folder holds {written}, not {wanted}", failures)
    for name in sorted(set(reached) & set(cached)):
        facts = json.loads((cache / name).read_text()).get("dorvanta_facts", {})
        check(facts.get("kind") == "facts" and "OSMajor" in facts.get("facts", {}),
              f"{name}: dorvanta_facts is not among the host's cached facts", failures)
        document = documents / f"{name}.facts.json"
        if document.exists():
            written = json.loads(document.read_text())
            errors = [error.message for error in schema.iter_errors(written)]
            check(not errors, f"{name}: its facts document breaks the schema: {errors}", failures)
            check(written == dict(facts, host=name),
                  f"{name}: its facts document is not its cached dorvanta_facts named {name}",
                  failures)


def plan(tool: Path, work: Path, facts: Path) -> tuple:
    """dvtool plan of the changed rule file against the first over these facts:
    its exit code and host -> its verdicts."""
    command = [str(tool), "plan", str(work / "plan-new.ini"), "--baseline",
               str(work / "plan-old.ini"), "--facts", str(facts), "--json"]
    done = subprocess.run(command, capture_output=True, text=True, timeout=120)
    print(f"$ {' '.join(command)}\n{done.stdout}{done.stderr}")
    try:
        document = json.loads(done.stdout)
    except json.JSONDecodeError:
        return done.returncode, [], ["not JSON"]
    machines = [(m["host"], {k: v for k, v in m.items() if k not in ("file", "host")})
                for m in document.get("machines", [])]
    return done.returncode, machines, document.get("unreadable")


def check_plans(work: Path, tool: Path, reached: list, failures: list) -> None:
    """dvtool plan over the fact cache and over the facts folder: each host reached
    once, under its inventory name, with the same verdicts in both."""
    # A pair that no longer holds, one that holds in both, one only the machine
    # itself could decide.
    pairs = ("[CRITERIA1]\nOSMajor = {}\n[ACTION1]\nExecute = WAIT, true\n"
             "[CRITERIA2]\nProcessors = GE,1\n[ACTION2]\nExecute = WAIT, true\n"
             "[CRITERIA3]\nFileExists = EQ,/\n[ACTION3]\nExecute = WAIT, true\n")
    (work / "plan-old.ini").write_text(pairs.format("GE,0"))
    (work / "plan-new.ini").write_text(pairs.format("GT,4000000000"))
    plans = {}
    for facts in (work / "fact-cache", work / "facts"):
        code, machines, unreadable = plan(tool, work, facts)
        check(code == 1, f"plan over {facts.name}: exit code {code}, not 1 (changed)", failures)
        check(unreadable == [], f"plan over {facts.name}: unreadable {unreadable}", failures)
        hosts = sorted(host for host, _ in machines)
        check(hosts == sorted(reached), f"plan over {facts.name} names {hosts}", failures)
        plans[facts.name] = dict(machines)
        for host, verdicts in machines:
            check(verdicts.get("changed") == [1] and verdicts.get("holds") == [2]
                  and verdicts.get("unknown") == [3],
                  f"plan over {facts.name}: {host}'s verdicts are {verdicts}", failures)
    check(plans["fact-cache"] == plans["facts"],
          "the plans over the fact cache and the facts folder differ", failures)


def run_role(args) -> list:
    work = Path(args.work).resolve()
    tool = Path(args.tool).resolve()
    helper = Path(args.helper).resolve()
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    write_layout(work)
    failures: list = []
    # The hosts whose rule file runs: reached, and a command line that dvtool takes.
    running = {name: host for name, host in FIRST.items() if host.row != "no record"}

    shown = dict(list(running.items())[:3])
    write_inventory(work, tool, helper, shown)
    checked = playbook(work, ["--check"])
    check(checked.returncode == 0, f"--check ended with {checked.returncode}", failures)
    for name, host in shown.items():
        check(not (work / name / "ran.txt").exists(), f"{name}: --check ran the action", failures)
        check(f"exit={host.code} marker=ran.txt" in checked.stdout,
              f"{name}: --check does not show the action that would run", failures)
    check(not run_folders(work), "--check fetched records", failures)
    check(sorted(p.name for p in (work / "facts").glob("*")) == [f"{n}.facts.json" for n in shown],
          "--check did not write the facts documents", failures)

    write_inventory(work, tool, helper, FIRST)
    first = playbook(work, [])
    check(first.returncode == 2, f"the first run ended with {first.returncode}, not 2 (hosts failed)",
          failures)
    check_run(work, first, FIRST, failures)
    counters = recap(first.stdout)
    folder = run_folders(work)[-1] if run_folders(work) else work
    for name, host in running.items():
        check((work / name / "ran.txt").exists(), f"{name}: the action did not run", failures)
        check(counters.get(name, {}).get("changed", 0) > 0, f"{name}: reported no change", failures)
        notified = folder / f"{name}.reboot"
        if host.result == "reboot-required":
            check(notified.exists() and notified.read_text() == "reboot-required\n",
                  f"{name}: the reboot handler was not notified", failures)
        else:
            check(not notified.exists(), f"{name}: the reboot handler was notified", failures)
    reached = [name for name, host in FIRST.items() if host.message != "unreachable"]
    check_facts(work, reached, failures)
    check_plans(work, tool, reached, failures)

    write_inventory(work, tool, helper, SECOND)
    second = playbook(work, [])
    check(second.returncode in (2, 4), f"the second run ended with {second.returncode}", failures)
    check(len(run_folders(work)) == 2, f"run folders: {run_folders(work)}", failures)
    check_run(work, second, SECOND, failures)
    return failures


def run_example(args) -> list:
    work = Path(args.work).resolve()
    shutil.rmtree(work, ignore_errors=True)
    failures: list = []
    command = next((shlex.split(line) for line in (REPOSITORY / "README.md").read_text().splitlines()
                    if line.strip().startswith("ansible-playbook -i examples/ansible/")), None)
    if command is None:
        return ["the README shows no ansible-playbook command of examples/ansible"]
    # A checkout as a clone and its linux-app build leave it, with the dvtool under test.
    checkout = work / "checkout"
    for folder in ("examples/ansible", "contrib/ansible"):
        shutil.copytree(REPOSITORY / folder, checkout / folder)
    build = checkout / "build/linux-app/src"
    build.mkdir(parents=True)
    (build / "dvtool").symlink_to(Path(args.tool).resolve())
    before = sorted(checkout.rglob("*"))
    # From another folder, with the README's paths taken from the checkout.
    elsewhere = work / "elsewhere"
    elsewhere.mkdir()
    command = [str(checkout / word) if (checkout / word).exists() else word for word in command]
    env = environment(work)
    env["HOME"] = str(work / "home")
    env.pop("XDG_STATE_HOME", None)
    done = subprocess.run(command, cwd=elsewhere, env=env, capture_output=True, text=True,
                          timeout=600)
    print(f"$ {' '.join(command)}\n{done.stdout}{done.stderr}")
    check(done.returncode == 0, f"the example ended with {done.returncode}", failures)
    check(sorted(checkout.rglob("*")) == before and not any(elsewhere.iterdir()),
          "the example wrote into the checkout or the current folder", failures)
    records = work / "home/.local/state/dorvanta/records"
    runs = sorted(records.glob("*/localhost.jsonl"))
    check(len(runs) == 1, f"records of the example: {runs}", failures)
    if runs:
        events = [json.loads(line) for line in runs[0].read_text().splitlines()]
        ran = [e for e in events if e["event"] == "action"]
        check(events[-1].get("result") == "success" and len(ran) == 1 and ran[0]["done"]
              and ran[0]["exitCode"] == 0, f"the example's run: {events[-1]}", failures)
        summary = (records / "summary.txt").read_text() if (records / "summary.txt").exists() else ""
        check(summary.startswith(f"Run {runs[0].parent.name}\n")
              and re.search(r"^localhost +success ", summary, re.MULTILINE) is not None,
              f"the example's summary:\n{summary}", failures)
    return failures


def lint(_args) -> list:
    failures: list = []
    for command in (["ansible-playbook", "-i", "localhost,", "--syntax-check", "site.yml"],
                    ["ansible-lint", "--offline"]):
        done = subprocess.run(command, cwd=ANSIBLE, capture_output=True, text=True, timeout=300)
        print(f"$ {' '.join(command)}\n{done.stdout}{done.stderr}")
        check(done.returncode == 0, f"{command[0]} ended with {done.returncode}", failures)
    return failures


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("lint")
    role = commands.add_parser("role")
    role.add_argument("--tool", required=True, help="the native dvtool")
    role.add_argument("--helper", required=True, help="the native test helper program")
    role.add_argument("--work", required=True, help="a folder for the hosts, made afresh")
    example = commands.add_parser("example")
    example.add_argument("--tool", required=True, help="the native dvtool")
    example.add_argument("--work", required=True, help="a folder for the checkout, made afresh")
    args = parser.parse_args()
    failures = {"lint": lint, "role": run_role, "example": run_example}[args.command](args)
    for failure in failures:
        print(f"FAILED: {failure}")
    print("passed" if not failures else f"{len(failures)} checks failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
