#!/usr/bin/env python3
"""Adds up fixtally-check's per-log JSON documents into the total it prints.

    sum-json.py [--text] [RESULTS.jsonl ...]

Reads JSON Lines (files, or standard input when none is named): one document
per log, as `fixtally-check --json LOG` writes it, in any order; total
documents among them are skipped. Writes the total document exactly as
`fixtally-check --json` does after several logs, or with --text the total
line of the text report. Exit status as the checker's, the worst over all
logs: 130 interrupted, 2 not opened or read (also for a line that is not a
log's document), 1 anomalies or wrong dates (a week rollover, a future date),
3 no RMC sentence accepted, 0 clean.
"""
import json
import sys

KINDS = ("same_time", "step_changed", "moved_back")
NOTE_KINDS = ("week_rollover", "future_date", "leap_second", "unread_time", "trailing_bytes")
WRONG_DATES = ("week_rollover", "future_date")
# Exit statuses from the mildest to the worst.
SEVERITY = (0, 3, 1, 2, 130)


def log_status(doc):
    status = doc["status"]
    if status == "aborted":
        return 130
    if status != "completed" and status != "no_rmc_accepted":
        return 2
    if any(doc["counts"][k] > 0 for k in KINDS) or any(n["kind"] in WRONG_DATES for n in doc.get("notes", [])):
        return 1
    return 3 if status == "no_rmc_accepted" else 0


def add_log(total, doc):
    counts = doc["counts"]
    total["logs"] += 1
    if doc["status"] == "no_rmc_accepted":
        total["no_rmc_accepted"] += 1
    elif doc["status"] != "completed":
        total["not_checked"] += 1
    elif any(counts[k] > 0 for k in KINDS):
        total["with_anomalies"] += 1
    else:
        total["clean"] += 1
    for k in KINDS:
        total["counts"][k] += counts[k]
    for note in doc.get("notes", []):
        total["notes"][note["kind"]] += 1
    return log_status(doc)


def text_line(t):
    c = t["counts"]
    return (f"Total: {t['logs']} logs, {t['with_anomalies']} with anomalies, {t['clean']} clean, "
            f"{t['no_rmc_accepted']} with no RMC accepted, {t['not_checked']} not checked.  "
            f"UTC same= {c['same_time']}     "
            f"Step changed= {c['step_changed']}     UTC moved back= {c['moved_back']}")


def main(args):
    as_text = "--text" in args
    names = [a for a in args if a != "--text"]
    total = {"logs": 0, "with_anomalies": 0, "clean": 0, "no_rmc_accepted": 0, "not_checked": 0,
             "counts": {k: 0 for k in KINDS}, "notes": {k: 0 for k in NOTE_KINDS}}
    worst = 0
    streams = [open(n, encoding="utf-8") for n in names] or [sys.stdin]
    for stream in streams:
        for number, line in enumerate(stream, 1):
            if not line.strip():
                continue
            try:
                doc = json.loads(line)
                if "total" not in doc:
                    status = add_log(total, doc)
                    worst = max(worst, status, key=SEVERITY.index)
            except (ValueError, KeyError, TypeError):
                print(f"sum-json: {stream.name}:{number}: not a log's document", file=sys.stderr)
                return 2
    if as_text:
        print(text_line(total))
    else:
        print(json.dumps({"total": total}, separators=(",", ":")))
    return worst


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
