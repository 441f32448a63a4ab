#!/bin/sh
# fixtally-check on gzip-compressed logs: a folder of compressed logs (one of
# them recorded from a real receiver) reports as the same logs uncompressed,
# standard input may be compressed, and a cut-off archive is a read error.
# Usage: compressed.sh DATA_DIR [EMULATOR...] FIXTALLY_CHECK
set -u
data=$(cd "$1" && pwd)
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
failed=0
fail() { echo "FAIL $*"; failed=$((failed + 1)); }

pattern="--date-pattern yyyy/MM/dd --date-separator /"
mkdir plain packed
cp "$data/real/meinberg-gps164.log" "$data/moved-back.nmea" "$data/clean.nmea" plain/
for log in plain/*; do gzip -c "$log" >"packed/$(basename "$log").gz"; done
echo "not a log" | gzip >packed/notes.md.gz

# shellcheck disable=SC2086
"$@" $pattern plain >plain.txt 2>&1
want=$?
# shellcheck disable=SC2086
"$@" $pattern packed >packed.txt 2>&1
status=$?
[ "$status" = "$want" ] || fail "folder: exit status $status, wanted $want"
sed 's/\.gz <==$/ <==/; s/^==> packed/==> plain/' packed.txt | tr '\\' / >packed-as-plain.txt
tr '\\' / <plain.txt >plain-slashes.txt
cmp -s plain-slashes.txt packed-as-plain.txt || { fail "folder: reports differ"; diff plain-slashes.txt packed-as-plain.txt | head -20; }
grep -q "Total: 3 logs" packed.txt || fail "folder: not three logs"

# shellcheck disable=SC2086
"$@" $pattern plain/moved-back.nmea >plain.txt 2>&1
gzip -c plain/moved-back.nmea >stdin.gz
# shellcheck disable=SC2086
"$@" $pattern - <stdin.gz >stdin.txt 2>&1
status=$?
[ "$status" = 1 ] || fail "stdin: exit status $status, wanted 1"
cmp -s plain.txt stdin.txt || { fail "stdin: report differs"; diff plain.txt stdin.txt | head; }

head -c 300 packed/meinberg-gps164.log.gz >cut.log.gz
"$@" cut.log.gz >out.txt 2>err.txt
status=$?
[ "$status" = 2 ] || fail "cut off: exit status $status, wanted 2"
grep -q "^Read error : cut.log.gz (compressed log cut short)" err.txt || { fail "cut off: message"; cat err.txt; }
grep -q "no error" out.txt && fail "cut off: reported as clean"
"$@" --json cut.log.gz >out.txt 2>/dev/null
grep -q '"status":"read_error"' out.txt || { fail "cut off: JSON status"; cat out.txt; }

echo "compressed logs: $failed failed"
[ "$failed" -eq 0 ]
