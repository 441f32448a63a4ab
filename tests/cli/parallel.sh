#!/bin/sh
# Many logs on many machines, run on one: GNU parallel checks each log of a
# folder tree with its own `fixtally-check --json`, sum-json.py adds the
# documents up, and the total must equal the checker's own for the tree.
# Usage: parallel.sh FIXTALLY_CHECK
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
check=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
failed=0
fail() { echo "FAIL $*"; failed=$((failed + 1)); }

python3 "$root/tests/reference/make_logs.py" drives/day1 >/dev/null || exit 2
mkdir drives/day2
for log in drives/day1/[a-m]*; do gzip -c "$log" >"drives/day2/$(basename "$log").gz"; done
head -c 200 drives/day2/crlf-1hz.nmea.gz >drives/day2/cut.nmea.gz

"$check" -r --json drives >all.json 2>/dev/null
want_status=$?
tail -n 1 all.json >want.json
find drives -type f | parallel --will-cite -j2 "$check" --json {} >results.jsonl 2>/dev/null
python3 "$root/scripts/sum-json.py" results.jsonl >sum.json
status=$?
cmp -s want.json sum.json || { fail "totals differ"; cat want.json sum.json; }
[ "$status" = "$want_status" ] || fail "sum-json exit status $status, the checker's $want_status"
[ "$status" = 2 ] || fail "exit status $status, wanted 2 (one log cut off)"
[ "$(wc -l <results.jsonl)" = "$(find drives -type f | wc -l)" ] || fail "not one document per log"
"$check" -r drives 2>/dev/null | tail -n 1 >want.txt
python3 "$root/scripts/sum-json.py" --text <results.jsonl >sum.txt
cmp -s want.txt sum.txt || { fail "total lines differ"; cat want.txt sum.txt; }

echo "parallel: $(cat sum.json); $failed failed"
[ "$failed" -eq 0 ]
