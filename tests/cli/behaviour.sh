#!/bin/sh
# fixtally-check's command line: several logs, exit status, bad options,
# an empty log and Ctrl-C.
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
{ echo "==> a.nmea <=="; cat a.out; echo; echo "==> b.nmea <=="; cat b.out; } >both.txt
same two-logs-in-order out.txt "$(cat both.txt)\n"

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
