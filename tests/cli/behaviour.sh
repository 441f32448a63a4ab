#!/bin/sh
# fixtally-check's command line: several logs, folders, standard input, the
# picture, exit status, bad options, an empty log and Ctrl-C.
# Usage: behaviour.sh DATA_DIR [EMULATOR...] FIXTALLY_CHECK
set -u
data=$(cd "$1" && pwd)
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
failed=0

# expect NAME WANTED_STATUS COMMAND...: runs the checker, keeps out.txt/err.txt.
expect() {
  name=$1 want=$2
  shift 2
  "$@" >out.txt 2>err.txt
  status=$?
  if [ "$status" != "$want" ]; then
    echo "FAIL $name: exit status $status, wanted $want"; cat err.txt; failed=$((failed + 1))
  fi
}
# same NAME FILE TEXT: FILE must hold exactly TEXT (printf form).
same() {
  printf "$3" >want.txt
  if ! cmp -s "$2" want.txt; then
    echo "FAIL $1:"; diff want.txt "$2" | head -20; failed=$((failed + 1))
  fi
}

pattern="--date-pattern yyyy/MM/dd --date-separator /"
cp "$data/clean.nmea" a.nmea
cp "$data/moved-back.nmea" b.nmea
: >empty.nmea

# shellcheck disable=SC2086
expect single-clean 0 "$@" $pattern a.nmea
cp out.txt a.out
# shellcheck disable=SC2086
expect single-anomaly 1 "$@" $pattern b.nmea
cp out.txt b.out
# shellcheck disable=SC2086
expect two-logs 1 "$@" $pattern a.nmea b.nmea
total="Total: 2 logs, 1 with anomalies, 1 clean, 0 not checked.  UTC same= 0     Step changed= 0     UTC moved back= 1"
{ echo "==> a.nmea <=="; cat a.out; echo; echo "==> b.nmea <=="; cat b.out; echo; echo "$total"; } >both.txt
same two-logs-in-order out.txt "$(cat both.txt)\n"

# Folders: their logs by name, any case of the endings; -r goes deeper.
mkdir -p logs/sub empty-folder
cp a.nmea logs/A.NMEA
cp b.nmea logs/sub/b.log
echo "not a log" >logs/notes.md
# shellcheck disable=SC2086
expect folder 0 "$@" $pattern logs
same folder-takes-its-logs out.txt "$(cat a.out)\n"
# shellcheck disable=SC2086
expect folder-recursive 1 "$@" $pattern -r logs
tr '\\' / <out.txt >out-slashes.txt
{ echo "==> logs/A.NMEA <=="; cat a.out; echo; echo "==> logs/sub/b.log <=="; cat b.out; echo; echo "$total"; } >both.txt
same folder-recursive-in-order out-slashes.txt "$(cat both.txt)\n"
expect empty-folder 2 "$@" empty-folder
same empty-folder-message err.txt "fixtally-check: no log found\n"

# Standard input.
# shellcheck disable=SC2086
expect stdin 1 "$@" $pattern - <b.nmea
same stdin-report out.txt "$(cat b.out)\n"

# The picture: one log only, written where asked.
expect plot-two-logs 2 "$@" --plot p.svg a.nmea b.nmea
same plot-two-logs-message err.txt "fixtally-check: --plot draws one log, not 2\n"
[ ! -e p.svg ] || { echo "FAIL plot-two-logs: a picture was written"; failed=$((failed + 1)); }
expect plot 1 "$@" --plot p.svg b.nmea
grep -q "</svg>" p.svg || { echo "FAIL plot: no SVG written"; failed=$((failed + 1)); }
expect plot-unwritable 2 "$@" --plot no-such-folder/p.svg b.nmea
same plot-unwritable-message err.txt "Can't write : no-such-folder/p.svg\n"

# shellcheck disable=SC2086
expect missing-log 2 "$@" $pattern a.nmea missing.nmea b.nmea
same missing-log-message err.txt "Can't open : missing.nmea\n"
grep -q "==> b.nmea <==" out.txt || { echo "FAIL missing-log: later log not checked"; failed=$((failed + 1)); }

# shellcheck disable=SC2086
expect empty-log 0 "$@" $pattern empty.nmea
same empty-log-output out.txt "\nno error.\nCompleted.\n"

expect unknown-option 2 "$@" --frobnicate a.nmea
grep -q "usage: fixtally-check" err.txt || { echo "FAIL unknown-option: no usage line"; failed=$((failed + 1)); }
expect no-log 2 "$@"
expect long-separator 2 "$@" --date-separator ab a.nmea
expect help 0 "$@" --help
grep -q -- "--tolerance" out.txt || { echo "FAIL help: options not listed"; failed=$((failed + 1)); }
expect version 0 "$@" --version

# Ctrl-C (not under an emulator: the signal would reach the emulator).
if [ $# -eq 1 ]; then
  yes x | head -c 400000000 >big.nmea
  "$@" big.nmea >out.txt 2>err.txt &
  pid=$!
  sleep 0.3
  kill -INT $pid
  wait $pid
  status=$?
  [ "$status" = 130 ] || { echo "FAIL ctrl-c: exit status $status"; failed=$((failed + 1)); }
  grep -qx "Aborted by user." out.txt || { echo "FAIL ctrl-c: no abort line"; failed=$((failed + 1)); }
fi

echo "cli behaviour: $failed failed"
[ "$failed" -eq 0 ]
