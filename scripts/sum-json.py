#!/usr/bin/env python3
"""Adds up fixtally-check's per-log JSON documents into the total it prints.

    sum-json.py [--text] [RESULTS.jsonl ...]

Reads JSON Lines (files, or standard input when none is named): one document
per log, as `fixtally-check --json LOG` writes it, in any order; total
documents among them are skipped. Writes the total document exactly as
`fixtally-check --json` does after several logs, or with --text the total
line of the text report. Exit status as the checker's: 2 when a log was not
checked, else 1 when a log had anomalies, else 0; 2 also for a line that is
not a log's document.
"""
import json
import sys

KINDS = ("same_time", "step_changed", "moved_back")


def add_log(total, doc):
    counts = doc["counts"]
    total["logs"] += 1
    if doc["status"] != "completed":
        total["not_checked"] += 1
    elif any(counts[k] > 0 for k in KINDS):
        total["with_anomalies"] += 1
    else:
        total["clean"] += 1
    for k in KINDS:
        total["counts"][k] += counts[k]


def text_line(t):
    c = t["counts"]
    return (f"Total: {t['logs']} logs, {t['with_anomalies']} with anomalies, {t['clean']} clean, "
            f"{t['not_checked']} not checked.  UTC same= {c['same_time']}     "
            f"Step changed= {c['step_changed']}     UTC moved back= {c['moved_back']}")


def main(args):
    as_text = "--text" in args
    names = [a for a in args if a != "--text"]
    total = {"logs": 0, "with_anomalies": 0, "clean": 0, "not_checked": 0,
             "counts": {k: 0 for k in KINDS}}
    streams = [open(n, encoding="utf-8") for n in names] or [sys.stdin]
    for stream in streams:
        for number, line in enumerate(stream, 1):
            if not line.strip():
                continue
            try:
                doc = json.loads(line)
                if "total" not in doc:
                    add_log(total, doc)
            except (ValueError, KeyError, TypeError):
                print(f"sum-json: {stream.name}:{number}: not a log's document", file=sys.stderr)
                return 2
    if as_text:
        print(text_line(total))
    else:
        print(json.dumps({"total": total}, separators=(",", ":")))
    if total["not_checked"]:
        return 2
    return 1 if total["with_anomalies"] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
