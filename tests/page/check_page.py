#!/usr/bin/env python3
"""dvtool summarize --html in headless Chromium: records that the native 'dvtool
run --record' writes (two rule files, a failing host named <script>alert(1)</script>,
a model holding a quote and markup) and an expected host without one make a page
whose DOM must show the hostile texts as text, the hosts that need attention
before all hosts, and each class's, model's and rule file's counts; the page may
request nothing. Exit code 77 (skipped) without Chromium."""

import argparse
import hashlib
import json
import re
import shutil
import subprocess
import sys
from html.parser import HTMLParser
from pathlib import Path

HOSTILE = "<script>alert(1)</script>"
MODEL = 'Model "X" <i>7</i>'
OWN_ELEMENTS = {"html", "head", "meta", "title", "style", "body", "main", "h1", "h2", "p", "div",
                "span", "ul", "li", "strong", "table", "thead", "tbody", "tr", "th", "td",
                "code", "footer"}
# Chromium's own requests (updates, accounts) are left out where it can; a
# page's requests are those made for a file:// page.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-sync",
         "--disable-background-networking", "--disable-component-update", "--dump-dom"]


class Dom(HTMLParser):
    """The element names, the table rows under each heading, the bar's labels."""

    def __init__(self, markup: str):
        super().__init__()
        self.elements, self.tables, self.bar = set(), {}, []
        self.heading, self.text, self.in_bar = None, None, False
        self.feed(markup)

    def handle_starttag(self, tag, attrs):
        self.elements.add(tag)
        self.in_bar |= tag == "div" and dict(attrs).get("class") == "bar"
        if tag == "tr":
            self.tables.setdefault(self.heading, []).append([])
        if tag in ("h2", "td", "th") or (tag == "span" and self.in_bar):
            self.text = []

    def handle_endtag(self, tag):
        text = "".join(self.text or [])
        if tag == "h2":
            self.heading = text
        elif tag in ("td", "th"):
            self.tables[self.heading][-1].append(text)
        elif tag == "span" and self.in_bar:
            self.bar.append(text)
        self.in_bar &= tag != "div"

    def handle_data(self, data):
        if self.text is not None:
            self.text.append(data)

    def rows(self, heading: str) -> list[list[str]]:
        return self.tables.get(heading, [])[1:]  # after the header row


def load(chromium: str, work: Path, page: Path) -> tuple[Dom, list[str]]:
    """The page's DOM as Chromium dumps it, and the URLs that the page requested."""
    log_file = work / f"{page.stem}.netlog.json"
    result = subprocess.run([chromium, *FLAGS, f"--user-data-dir={work / 'profile'}",
                             f"--log-net-log={log_file}", page.resolve().as_uri()],
                            capture_output=True, text=True, timeout=120, check=True)
    log = json.loads(log_file.read_text(encoding="utf-8"))
    start = log["constants"]["logEventTypes"]["URL_REQUEST_START_JOB"]
    params = [event.get("params", {}) for event in log["events"] if event["type"] == start]
    return Dom(result.stdout), [p["url"] for p in params
                                if p.get("network_isolation_key", "").startswith("file://")]


def write_records(dvtool: Path, work: Path) -> dict[str, str]:
    """The fleet's records in work/records; the hash of each rule file by its name."""
    rules = {name: f"[CRITERIA1]\nOSMajor = GE,0\n\n[ACTION1]\nExecute = WAIT, {program}\n"
             for name, program in (("ok.ini", "true"), ("fail.ini", "false"))}
    (work / "records").mkdir()
    for host, ini in (("pc-01", "ok.ini"), ("pc-02", "ok.ini"), (HOSTILE, "fail.ini")):
        (work / ini).write_text(rules[ini], encoding="utf-8")
        record = f"records/{hashlib.sha256(host.encode()).hexdigest()[:8]}.jsonl"
        subprocess.run([dvtool, "run", ini, "--record", record, "--host", host], cwd=work,
                       capture_output=True, timeout=60, check=False)
    # pc-03: pc-01's record with a vendor and a model that hold markup.
    lines = (work / "records" / f"{hashlib.sha256(b'pc-01').hexdigest()[:8]}.jsonl"
             ).read_text(encoding="utf-8").splitlines()
    start = json.loads(lines[0])
    start["host"] = "pc-03"
    start["facts"].update(DMIVendor="Vendor & Co", DMIMachineType=MODEL)
    (work / "records/pc-03.jsonl").write_text(
        "\n".join([json.dumps(start), *lines[1:]]) + "\n", encoding="utf-8")
    return {name: hashlib.sha256(text.encode()).hexdigest() for name, text in rules.items()}


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dvtool", type=Path, required=True)
    parser.add_argument("--work", type=Path, required=True)
    arguments = parser.parse_args()
    chromium = shutil.which("chromium")
    if chromium is None:
        print("chromium is not installed: skipped")
        return 77
    work = arguments.work
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    hashes = write_records(arguments.dvtool.resolve(), work)
    page = work / "summary.html"
    subprocess.run([arguments.dvtool.resolve(), "summarize", "records", "--expect",
                    "pc-01,pc-04", "--html", page], cwd=work, capture_output=True, timeout=60,
                   check=True)
    dom, requested = load(chromium, work, page)

    found = {
        "outside references": re.findall(r"https?://|\b(?:src|href)\s*=|url\(|@import",
                                         page.read_text(encoding="utf-8")),
        "requests": requested,
        "elements not the page's own": sorted(dom.elements - OWN_ELEMENTS),
        "attention": [row[0] for row in dom.rows("Needs attention")],
        "hosts": [row[0] for row in dom.rows("All hosts")],
        "sections": list(dom.tables),
        "bar": dom.bar,
        "model": [row[2] for row in dom.rows("By model") if row[:2] == ["Vendor & Co", MODEL]],
        "rule files": {row[0]: (row[1], row[4]) for row in dom.rows("By rule file")},
    }
    expected = {
        "outside references": [], "requests": [], "elements not the page's own": [],
        "attention": [HOSTILE, "pc-04"],
        "hosts": [HOSTILE, "pc-01", "pc-02", "pc-03", "pc-04"],
        "sections": ["Needs attention", "By model", "By rule file", "All hosts"],
        "bar": ["failure 1", "no record 1", "success 3"],
        "model": ["1"],
        "rule files": {hashes["ok.ini"]: ("3", "success 3"), hashes["fail.ini"]: ("1", "failure 1"),
                       "unknown": ("1", "no record 1")},
    }
    problems = [f"{what}: {found[what]!r}, expected {expected[what]!r}"
                for what in expected if found[what] != expected[what]]
    # The network log sees a page's request: one that loads an image from outside.
    control = work / "control.html"
    control.write_text('<!DOCTYPE html><img src="http://control.invalid/x.png">', encoding="utf-8")
    if not load(chromium, work, control)[1]:
        problems.append("the network log showed no request of a page that makes one")
    print("\n".join(problems) or f"passed: {page}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
