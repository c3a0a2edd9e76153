#!/usr/bin/env python3
"""Tests of the Ansible role contrib/ansible/roles/dorvanta.

  lint   the playbook's syntax check (which resolves every module, the Windows
         tasks' ansible.windows modules among them) and ansible-lint
  role   the playbook run for real with the native build against three inventory
         hosts on this machine (local connection, each with its own rule file and
         folder): host1's setup succeeds, host2's fails, host3's asks for a reboot.
         First with --check (explain shows what would run, nothing runs), then
         for real: the fetched records, the failed host, the reboot notification
         (dorvanta_reboot=false), the facts kept in the fact cache and the fleet
         summary written on the controller.
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

ANSIBLE = Path(__file__).resolve().parents[2] / "contrib" / "ansible"
# The code a started program returns on Linux to ask for a reboot (README,
# "Running it across many machines"): 8-bit exit statuses have no 3010.
LINUX_REBOOT_REQUIRED = 10
# host: (the helper's exit code, the run's class)
HOSTS = {
    "host1": (0, "success"),
    "host2": (3, "failure"),
    "host3": (LINUX_REBOOT_REQUIRED, "reboot-required"),
}


def environment(work: Path) -> dict:
    env = dict(os.environ)
    env.update({
        "ANSIBLE_HOME": str(work / "ansible-home"),
        "ANSIBLE_LOCAL_TEMP": str(work / "ansible-tmp"),
        "ANSIBLE_NOCOLOR": "1",
        "ANSIBLE_RETRY_FILES_ENABLED": "0",
        "ANSIBLE_CACHE_PLUGIN": "jsonfile",
        "ANSIBLE_CACHE_PLUGIN_CONNECTION": str(work / "fact-cache"),
    })
    return env


def playbook(work: Path, tool: Path, extra: list) -> subprocess.CompletedProcess:
    # Extra variables reach the last play on the controller's implicit localhost too.
    command = ["ansible-playbook", "-i", str(work / "inventory.ini"), str(ANSIBLE / "site.yml"),
               "-e", f"dorvanta_record_dir={work / 'records'}",
               "-e", f"dorvanta_controller_tool={tool}"] + extra
    done = subprocess.run(command, env=environment(work), capture_output=True, text=True,
                          timeout=300)
    print(f"$ {' '.join(command)}\n{done.stdout}{done.stderr}")
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


def run_role(args) -> list:
    work = Path(args.work).resolve()
    tool = Path(args.tool).resolve()
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    lines = ["[fleet]"]
    for host, (code, _) in HOSTS.items():
        folder = work / host
        folder.mkdir()
        shutil.copy(args.helper, folder / "helper")
        (work / f"{host}.ini").write_text(
            "[CRITERIA1]\nOSMajor = GE,0\n[ACTION1]\n"
            f"Execute = WAIT, {folder / 'helper'}, exit={code} marker=ran.txt\n")
        lines.append(f"{host} dorvanta_dir={folder} dorvanta_rules={work / (host + '.ini')}")
    lines += ["[fleet:vars]", "ansible_connection=local",
              f"ansible_python_interpreter={sys.executable}",
              f"dorvanta_tool={tool}",
              "dorvanta_reboot=false"]
    (work / "inventory.ini").write_text("\n".join(lines) + "\n")
    failures: list = []

    checked = playbook(work, tool, ["--check"])
    check(checked.returncode == 0, f"--check ended with {checked.returncode}", failures)
    for host in HOSTS:
        check(not (work / host / "ran.txt").exists(), f"{host}: --check ran the action", failures)
        check(f"exit={HOSTS[host][0]} marker=ran.txt" in checked.stdout,
              f"{host}: --check does not show the action that would run", failures)
    check(not (work / "records").exists(), "--check fetched records", failures)

    done = playbook(work, tool, [])
    check(done.returncode == 2, f"the run ended with {done.returncode}, not 2 (a host failed)",
          failures)
    counters = recap(done.stdout)
    for host, (_, result) in HOSTS.items():
        check((work / host / "ran.txt").exists(), f"{host}: the action did not run", failures)
        record = work / "records" / f"{host}.jsonl"
        if not record.exists():
            failures.append(f"{host}: no record fetched")
            continue
        events = [json.loads(line) for line in record.read_text().splitlines()]
        check(events[0]["event"] == "run-start" and events[-1]["event"] == "run-end",
              f"{host}: the record is not whole", failures)
        check(events[-1].get("result") == result,
              f"{host}: the record's class is {events[-1].get('result')}, not {result}", failures)
        stats = counters.get(host, {})
        check(stats.get("failed") == (1 if result == "failure" else 0),
              f"{host}: failed={stats.get('failed')}", failures)
        check(stats.get("changed", 0) > 0, f"{host}: reported no change", failures)
        notified = work / "records" / f"{host}.reboot"
        if result == "reboot-required":
            check(notified.exists() and notified.read_text() == "reboot-required\n",
                  f"{host}: the reboot handler was not notified", failures)
        else:
            check(not notified.exists(), f"{host}: the reboot handler was notified", failures)
        cached = json.loads((work / "fact-cache" / host).read_text())
        check("OSMajor" in cached.get("dorvanta_facts", {}).get("facts", {}),
              f"{host}: dorvanta_facts is not among the host's facts", failures)
    summary = work / "records" / "summary.txt"
    text = summary.read_text() if summary.exists() else ""
    print(f"--- {summary}\n{text}")
    # Every host is this machine, so the rows have one host name: their order tells them apart.
    check(re.search(r"^Attention first:\n  \S+ +failure +ACTION1 3\n  \S+ +reboot-required\n",
                    text, re.MULTILINE) is not None,
          "the fleet summary does not put host2's failure and host3's reboot first", failures)
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
    args = parser.parse_args()
    failures = (lint if args.command == "lint" else run_role)(args)
    for failure in failures:
        print(f"FAILED: {failure}")
    print("passed" if not failures else f"{len(failures)} checks failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
