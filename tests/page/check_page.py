#!/usr/bin/env python3
"""dvtool summarize --html in a real browser.

Records of a few hosts, written by the native 'dvtool run --record' (two rule
files, one host failing, one named <script>alert(1)</script>, one whose model
holds a quote and markup) and an expected host without a record, are summarized
into a page that headless Chromium loads. What it dumps of the page's DOM must
show the hostile texts as text and no element of theirs, the hosts that need
attention before all hosts, the most severe first, and the counts of each
class, model and rule file; Chromium's network log must hold no request of the
page's. Exit code 77 (skipped) when Chromium is not installed.
"""

import argparse
import hashlib
import json
import re
import shutil
import subprocess
import sys
from html.parser import HTMLParser
from pathlib import Path

SKIPPED = 77
HOSTILE = "<script>alert(1)</script>"
MODEL = 'Model "X" <i>7</i>'
PAGE_ELEMENTS = {"html", "head", "meta", "title", "style", "body", "main", "h1", "h2", "p",
                 "div", "span", "ul", "li", "strong", "table", "thead", "tbody", "tr", "th",
                 "td", "code", "footer"}
# Chromium's own requests (updates, accounts) are left out of its network log
# where it can; the page's requests are those made for a file:// page.
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update",
                  "--disable-sync", "--disable-extensions", "--window-size=1200,900"]


class Dom(HTMLParser):
    """The dumped DOM: its element names, and the rows of the tables under each heading."""

    def __init__(self, markup: str):
        super().__init__(convert_charrefs=True)
        self.elements: list[str] = []
        self.heading = ""
        self.in_heading = False
        self.tables: dict[str, list[list[str]]] = {}
        self.cell: list[str] | None = None
        self.bar: list[str] | None = None
        self.bar_labels: list[str] = []
        self.feed(markup)

    def handle_starttag(self, tag, attrs):
        self.elements.append(tag)
        classes = (dict(attrs).get("class") or "").split()
        if tag == "h2":
            self.heading, self.in_heading = "", True
        elif tag == "tr":
            self.tables.setdefault(self.heading, []).append([])
        elif tag in ("td", "th"):
            self.cell = []
        elif tag == "div" and "bar" in classes:
            self.bar = []
        elif tag == "span" and self.bar is not None:
            self.bar = []

    def handle_endtag(self, tag):
        if tag == "h2":
            self.in_heading = False
        elif tag in ("td", "th") and self.cell is not None:
            self.tables[self.heading][-1].append("".join(self.cell))
            self.cell = None
        elif tag == "span" and self.bar is not None:
            self.bar_labels.append("".join(self.bar))
        elif tag == "div" and self.bar is not None:
            self.bar = None

    def handle_data(self, data):
        if self.in_heading:
            self.heading += data
        if self.cell is not None:
            self.cell.append(data)
        if self.bar is not None:
            self.bar.append(data)

    def rows(self, heading: str) -> list[list[str]]:
        return self.tables.get(heading, [])[1:]  # after the header row


def chromium(binary: str, work: Path, page: Path, *what: str) -> tuple[str, list[str]]:
    """Loads `page`: what Chromium writes on standard output, and the URLs the page requested."""
    net_log = work / f"{page.stem}.netlog.json"
    result = subprocess.run([binary, *CHROMIUM_FLAGS, f"--user-data-dir={work / 'profile'}",
                             f"--log-net-log={net_log}", *what, page.resolve().as_uri()],
                            capture_output=True, text=True, timeout=120, check=False)
    if result.returncode != 0:
        raise AssertionError(f"chromium ended with {result.returncode}: {result.stderr}")
    log = json.loads(net_log.read_text(encoding="utf-8"))
    start = log["constants"]["logEventTypes"]["URL_REQUEST_START_JOB"]
    requested = [event["params"]["url"] for event in log["events"]
                 if event["type"] == start and "url" in event.get("params", {})
                 and event["params"].get("network_isolation_key", "").startswith("file://")]
    return result.stdout, requested


def write_records(dvtool: Path, work: Path) -> dict[str, str]:
    """The records of the fleet in work/records; the hash of each rule file by its name."""
    rules = {"ok.ini": "[CRITERIA1]\nOSMajor = GE,0\n\n[ACTION1]\nExecute = WAIT, true\n",
             "fail.ini": "[CRITERIA1]\nOSMajor = GE,0\n\n[ACTION1]\nExecute = WAIT, false\n"}
    for name, text in rules.items():
        (work / name).write_text(text, encoding="utf-8")
    records = work / "records"
    records.mkdir()
    for host, ini in (("pc-01", "ok.ini"), ("pc-02", "ok.ini"), (HOSTILE, "fail.ini")):
        record = records / f"{hashlib.sha256(host.encode()).hexdigest()[:8]}.jsonl"
        subprocess.run([str(dvtool), "run", ini, "--record", str(record), "--host", host],
                       cwd=work, capture_output=True, timeout=60, check=False)
    # A host whose facts name a model with a quote and markup in it.
    lines = (records / f"{hashlib.sha256(b'pc-01').hexdigest()[:8]}.jsonl").read_text(
        encoding="utf-8").splitlines()
    start = json.loads(lines[0])
    start["host"] = "pc-03"
    start["facts"]["DMIVendor"] = "Vendor & Co"
    start["facts"]["DMIMachineType"] = MODEL
    lines[0] = json.dumps(start)
    (records / "pc-03.jsonl").write_text("\n".join(lines) + "\n", encoding="utf-8")
    return {name: hashlib.sha256(text.encode()).hexdigest() for name, text in rules.items()}


def problems_of_page(page: Path, dom: Dom, requested: list[str],
                     hashes: dict[str, str]) -> list[str]:
    problems = []
    markup = page.read_text(encoding="utf-8")
    for outside in re.findall(r"https?://|\b(?:src|href)\s*=|url\(|@import", markup):
        problems.append(f"the page refers to something outside it: {outside}")
    problems += [f"the page requested {url}" for url in requested]
    # No element but the page's own: a record's text made none.
    for element in sorted(set(dom.elements) - PAGE_ELEMENTS):
        problems.append(f"the DOM holds a <{element}> element")

    attention = [row[0] for row in dom.rows("Needs attention")]
    if attention != [HOSTILE, "pc-04"]:
        problems.append(f"hosts that need attention: {attention}")
    hosts = [row[0] for row in dom.rows("All hosts")]
    if hosts != [HOSTILE, "pc-01", "pc-02", "pc-03", "pc-04"]:
        problems.append(f"all hosts: {hosts}")
    headings = list(dom.tables)
    if headings.index("Needs attention") > headings.index("All hosts"):
        problems.append(f"the sections come as {headings}")
    if dom.bar_labels != ["failure 1", "no record 1", "success 3"]:
        problems.append(f"the bar reads {dom.bar_labels}")

    models = {(row[0], row[1]): row[2] for row in dom.rows("By model") if len(row) == 4}
    if models.get(("Vendor & Co", MODEL)) != "1":
        problems.append(f"the models: {models}")
    rule_files = {row[0]: (row[1], row[4]) for row in dom.rows("By rule file")}
    expected = {hashes["ok.ini"]: ("3", "success 3"), hashes["fail.ini"]: ("1", "failure 1"),
                "unknown": ("1", "no record 1")}
    if rule_files != expected:
        problems.append(f"the rule files: {rule_files}, expected {expected}")
    return problems


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dvtool", type=Path, required=True)
    parser.add_argument("--work", type=Path, required=True)
    arguments = parser.parse_args()
    binary = shutil.which("chromium")
    if binary is None:
        print("chromium is not installed: skipped")
        return SKIPPED
    work = arguments.work
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)

    dvtool = arguments.dvtool.resolve()
    hashes = write_records(dvtool, work)
    page = work / "summary.html"
    summary = subprocess.run([str(dvtool), "summarize", "records", "--expect",
                              "pc-01,pc-04", "--html", str(page)],
                             cwd=work, capture_output=True, text=True, timeout=60, check=False)
    if summary.returncode != 0:
        print(f"dvtool summarize ended with {summary.returncode}: {summary.stderr}")
        return 1
    dumped, requested = chromium(binary, work, page, "--dump-dom")
    problems = problems_of_page(page, Dom(dumped), requested, hashes)

    # The network log tells a page's request: one that loads an image from outside.
    control = work / "control.html"
    control.write_text('<!DOCTYPE html><img src="http://control.invalid/x.png">', encoding="utf-8")
    if not chromium(binary, work, control, "--dump-dom")[1]:
        problems.append("the network log showed no request of a page that makes one")

    for problem in problems:
        print(problem)
    print(f"{'FAILED' if problems else 'passed'}: {page}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
