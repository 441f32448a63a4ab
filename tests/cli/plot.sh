#!/bin/sh
# fixtally-check --plot on a 24-hour 10 Hz log with anomalies of every kind:
# a well-formed, self-contained SVG of bounded size, rendered to PNG for
# people to look at (OUTDIR/day-10hz.png).
# Usage: plot.sh OUTDIR FIXTALLY_CHECK
set -u
here=$(cd "$(dirname "$0")" && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)
checker=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL $1"; failed=$((failed + 1)); }

python3 "$here/../make_rmc_log.py" day "$work/day-10hz.nmea" || exit 2
"$checker" --plot "$out/day-10hz.svg" "$work/day-10hz.nmea" >"$work/report.txt"
[ $? -eq 1 ] || fail "exit status: anomalies were expected"
svg="$out/day-10hz.svg"
[ -s "$svg" ] || { fail "no picture written"; exit 1; }
size=$(wc -c <"$svg")
[ "$size" -lt 1000000 ] || fail "picture of $size bytes for 864,000 times"
python3 - "$svg" <<'PY' || fail "not a self-contained SVG with its legend"
import sys, xml.etree.ElementTree as ET
text = open(sys.argv[1], encoding="utf-8").read()
root = ET.fromstring(text)
assert root.tag.endswith("svg"), root.tag
for banned in ("<script", "href=\"http", "@import", "url(http", "NaN", "inf\""):
    assert banned not in text, banned
for label in ("moved back", "same time", "interval change"):
    assert label in text, label
PY
if command -v rsvg-convert >/dev/null; then
  rsvg-convert -o "$out/day-10hz.png" "$svg" || fail "rsvg-convert cannot draw the picture"
else
  echo "SKIP rendering: rsvg-convert is missing"
fi
echo "plot: $failed failed ($size bytes; $out/day-10hz.png)"
[ "$failed" -eq 0 ]
