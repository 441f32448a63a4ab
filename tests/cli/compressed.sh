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

# Read as gzip -d reads them: zeros padding the file after the compressed log
# are ignored silently, other bytes after it are counted in a note, and a plain
# log that begins with gzip's magic by chance is a plain log.
# shellcheck disable=SC2086
"$@" $pattern plain/moved-back.nmea >want.txt 2>/dev/null
{ cat stdin.gz; head -c 16 /dev/zero; } >padded.nmea.gz
{ cat stdin.gz; printf 'x\r\n'; } >trailing.nmea.gz
{ printf '\037\213'; cat plain/moved-back.nmea; } >magic.nmea
for log in padded.nmea.gz trailing.nmea.gz magic.nmea; do
  # shellcheck disable=SC2086
  "$@" $pattern "$log" >out.txt 2>err.txt
  status=$?
  [ "$status" = 1 ] || fail "$log: exit status $status, wanted 1"
  cmp -s want.txt out.txt || { fail "$log: report differs"; diff want.txt out.txt | head; }
  case $log in
    trailing.*) want_err="fixtally-check: trailing.nmea.gz: note: 3 bytes after the compressed log were not read (not gzip data)" ;;
    *) want_err="" ;;
  esac
  [ "$(tr -d '\r' <err.txt)" = "$want_err" ] || { fail "$log: standard error"; cat err.txt; }
done
"$@" --json trailing.nmea.gz >out.txt 2>/dev/null
grep -q '"notes":\[{"kind":"trailing_bytes","line":[0-9]*,"count":3,' out.txt || { fail "trailing bytes: JSON note"; cat out.txt; }
"$@" - <trailing.nmea.gz >out.txt 2>err.txt
grep -q "^fixtally-check: -: note: 3 bytes after" err.txt || { fail "trailing bytes on standard input"; cat err.txt; }

echo "compressed logs: $failed failed"
[ "$failed" -eq 0 ]
