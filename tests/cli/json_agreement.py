#!/usr/bin/env python3
"""The JSON results agree one for one with the text report of the same logs.

    json_agreement.py [RUNNER...] FIXTALLY_CHECK

For every log that tests/reference/make_logs.py writes, under two option
sets: the anomalies of --json (line, text, kind) equal the anomaly lines of
--line-numbers in order, the counts equal the text summary, every time is
ISO 8601 UTC with milliseconds, and the batch's total document adds up.
"""
import json
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
MAKE_LOGS = os.path.join(HERE, "..", "reference", "make_logs.py")
ANOMALY_LINE = re.compile(r"^(\d+): (\* UTC .*)$")
ISO = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$")
KIND_PREFIX = {"step_changed": "* UTC step changed", "moved_back": "* UTC moved back",
               "same_time": "* UTC is the same"}
TIME_FIELDS = ("time", "next_time", "from", "to")
OPTION_SETS = [["--date-pattern", "yyyy/MM/dd"],
               ["--date-pattern", "dd.MM.yyyy", "--tolerance", "0.05", "--decimals", "3"]]


def run(command):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    return done.returncode, done.stdout.decode("utf-8")


def text_counts(report):
    counts = {"same_time": 0, "step_changed": 0, "moved_back": 0}
    for name, key in (("UTC same= ", "same_time"), ("Step changed= ", "step_changed"),
                      ("UTC moved back= ", "moved_back")):
        for line in report.splitlines():
            m = re.search(re.escape(name) + r"(\d+)", line)
            if m and not line.startswith(("* ", "Total:")):
                counts[key] = int(m.group(1))
    return counts


def check_log(checker, log, options, problems):
    status_text, text = run(checker + options + ["--line-numbers", log])
    status_json, out = run(checker + options + ["--json", log])
    name = os.path.basename(log)
    if status_text != status_json:
        problems.append("%s: exit status %d with text, %d with JSON" % (name, status_text, status_json))
    docs = out.splitlines()
    if len(docs) != 1:
        problems.append("%s: %d JSON lines, wanted 1" % (name, len(docs)))
        return None
    doc = json.loads(docs[0])
    wanted = [(int(m.group(1)), m.group(2)) for m in map(ANOMALY_LINE.match, text.splitlines()) if m]
    got = [(a["line"], a["text"]) for a in doc["anomalies"]]
    if got != wanted:
        problems.append("%s %s: anomalies differ: %d in JSON, %d in text" % (name, options, len(got), len(wanted)))
    for a in doc["anomalies"]:
        if not a["text"].startswith(KIND_PREFIX[a["kind"]]):
            problems.append("%s: kind %s for line %r" % (name, a["kind"], a["text"]))
        for field in TIME_FIELDS:
            if field in a and not ISO.match(a[field] or ""):
                problems.append("%s: %s is not ISO UTC: %r" % (name, field, a[field]))
    kinds = {k: sum(1 for a in doc["anomalies"] if a["kind"] == k) for k in KIND_PREFIX}
    if doc["counts"] != text_counts(text) or doc["counts"] != kinds:
        problems.append("%s: counts %s, text %s, listed %s" % (name, doc["counts"], text_counts(text), kinds))
    if doc["status"] != ("completed" if doc["rmc"] > 0 else "no_rmc_accepted") or doc["rmc"] > doc["lines"]:
        problems.append("%s: status %s, %d RMC in %d lines" % (name, doc["status"], doc["rmc"], doc["lines"]))
    return doc


def main():
    checker = sys.argv[1:]
    problems = []
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([sys.executable, MAKE_LOGS, work], stdout=subprocess.DEVNULL, check=True)
        logs = sorted(os.path.join(work, f) for f in os.listdir(work) if f.endswith(".nmea"))
        for options in OPTION_SETS:
            docs = [check_log(checker, log, options, problems) for log in logs]
            _, batch = run(checker + options + ["--json", work])
            lines = [json.loads(line) for line in batch.splitlines()]
            total = lines[-1].get("total", {})
            # Windows joins a folder and its files with a backslash.
            found = [d["log"].replace("\\", "/") for d in lines[:-1]]
            if found != logs or total.get("logs") != len(logs):
                problems.append("batch: the documents do not follow the folder's logs")
            elif total["counts"]["same_time"] != sum(d["counts"]["same_time"] for d in docs if d):
                problems.append("batch: total same-time count does not add up")
    for p in problems[:20]:
        print("FAIL " + p)
    print("json agreement: %d problem(s)" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
