#!/bin/sh
# fixtally-check's command line: several logs, folders, standard input, the
# picture, exit status, bad options, logs with nothing to check, progress,
# output that goes away, and signals.
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
# matches NAME FILE REGEX: every line of FILE must match the basic REGEX.
matches() {
  if [ ! -s "$2" ] || grep -v -- "$3" "$2" >/dev/null; then
    echo "FAIL $1:"; head -5 "$2"; failed=$((failed + 1))
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
total="Total: 2 logs, 1 with anomalies, 1 clean, 0 with no RMC accepted, 0 not checked.  UTC same= 0     Step changed= 0     UTC moved back= 1"
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
same empty-folder-message err.txt "fixtally-check: no log found in empty-folder (*.nmea *.nme *.nma *.log *.txt, each also .gz, any case)\n"

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
matches missing-log-reason err.txt "^Can't open : missing.nmea (..*)$"
grep -q "==> b.nmea <==" out.txt || { echo "FAIL missing-log: later log not checked"; failed=$((failed + 1)); }

# Logs without an accepted RMC sentence: the report as the window shows it,
# but never called clean. Status 3 yields to anomalies and trouble only.
sed 's/,A,/,V,/' a.nmea >void.nmea
nothing="no RMC sentence was accepted (status A, valid checksum, date and time); nothing was checked"
# shellcheck disable=SC2086
expect empty-log 3 "$@" $pattern empty.nmea
same empty-log-output out.txt "\nno error.\nCompleted.\n"
same empty-log-message err.txt "fixtally-check: empty.nmea: $nothing\n"
# shellcheck disable=SC2086
expect void-log 3 "$@" $pattern void.nmea a.nmea
grep -q "1 clean, 1 with no RMC accepted, 0 not checked" out.txt || { echo "FAIL void-log: total"; failed=$((failed + 1)); }
# shellcheck disable=SC2086
expect nothing-below-anomalies 1 "$@" $pattern empty.nmea b.nmea
# shellcheck disable=SC2086
expect nothing-below-trouble 2 "$@" $pattern empty.nmea missing.nmea
# shellcheck disable=SC2086
expect nothing-in-json 3 "$@" $pattern --json void.nmea
grep -q '"status":"no_rmc_accepted"' out.txt || { echo "FAIL nothing-in-json: status"; failed=$((failed + 1)); }

# Options that cannot work are refused before anything is checked:
# NAME|ARGUMENTS|TEXT the message holds.
while IFS='|' read -r name args text; do
  # shellcheck disable=SC2086
  expect "$name" 2 "$@" $args a.nmea
  grep -q -- "$text" err.txt || { echo "FAIL $name: message"; cat err.txt; failed=$((failed + 1)); }
  [ ! -s out.txt ] || { echo "FAIL $name: something was checked"; failed=$((failed + 1)); }
done <<'EOF'
pattern-no-order|--date-pattern QQQ|--date-pattern 'QQQ' does not give the order of day, month and year
pattern-two-elements|--date-pattern MM/dd|--date-pattern 'MM/dd' does not give
pattern-empty|--date-pattern=|--date-pattern '' does not give
pattern-unseparated|--date-pattern yyyyMMdd --date-separator /|--date-pattern 'yyyyMMdd' with --date-separator '/'
separator-digit|--date-pattern yyyy/MM/dd --date-separator 1|the date separator '1' cannot stand
stdin-twice|- -|- (standard input) can be named only once
plot-not-svg|--plot p.png|--plot writes SVG: its file name must end in .svg, not 'p.png'
EOF
[ ! -e p.png ] || { echo "FAIL plot-not-svg: a picture was written"; failed=$((failed + 1)); }

# Notes on time faults the report has no line for, after the report on
# standard error or in the JSON: NAME|LOG|OPTIONS|STATUS|TEXT the note holds.
cp "$data/week-rollover.nmea" "$data/leap-second.nmea" "$data/unreadable-time.nmea" .
while IFS='|' read -r name log args want text; do
  # shellcheck disable=SC2086
  expect "$name" "$want" "$@" $pattern $args "$log"
  grep -q -- "^fixtally-check: $log: note: $text" err.txt || { echo "FAIL $name: note"; cat err.txt; failed=$((failed + 1)); }
done <<'EOF'
note-rollover|week-rollover.nmea|--reference-date 2026-04-05|1|dated 1024 weeks early (GPS week rollover?): 2006-08-20 at line 4 likely stands for 2026-04-05
note-future|week-rollover.nmea|--reference-date 2006-08-01|1|dated in the future: 2006-08-20 at line 4
note-leap-second|leap-second.nmea||0|leap second (second 60) at line 7 (2016-12-31)
note-unreadable|unreadable-time.nmea||1|2 RMC sentences skipped: date or time cannot be read (line 7 '123503.1234'
EOF
# shellcheck disable=SC2086
expect notes-off 0 "$@" $pattern --no-notes --reference-date 2026-04-05 week-rollover.nmea
same notes-off-quiet err.txt ""
# shellcheck disable=SC2086
expect notes-in-json 1 "$@" $pattern --json --reference-date 2026-04-05 week-rollover.nmea leap-second.nmea
if ! grep -q '"notes":\[{"kind":"week_rollover","line":4,"date":"2006-08-20","stands_for":"2026-04-05"' out.txt ||
   ! grep -q '"notes":{"week_rollover":1,"future_date":0,"leap_second":1,"unread_time":0,"trailing_bytes":0}' out.txt; then
  echo "FAIL notes-in-json"; failed=$((failed + 1))
fi

# Progress on a file or pipe: plain lines, one per progress point.
# shellcheck disable=SC2086
expect progress-plain 0 "$@" $pattern --progress a.nmea
matches progress-plain err.txt "^a.nmea: Line [0-9]* ([0-9.]*%)$"

expect unknown-option 2 "$@" --frobnicate a.nmea
grep -q "usage: fixtally-check" err.txt || { echo "FAIL unknown-option: no usage line"; failed=$((failed + 1)); }
expect no-log 2 "$@"
expect long-separator 2 "$@" --date-separator ab a.nmea
expect help 0 "$@" --help
grep -q -- "--tolerance" out.txt || { echo "FAIL help: options not listed"; failed=$((failed + 1)); }
expect version 0 "$@" --version

# A reader that goes away ends the check at once, quietly, even with
# SIGPIPE ignored; a full disk is an error.
yes "$(cat b.nmea)" | head -n 200000 >many.nmea
# shellcheck disable=SC2086
(trap '' PIPE; "$@" $pattern many.nmea 2>err.txt | head -n 1 >/dev/null)
same broken-pipe-quiet err.txt ""
if [ -w /dev/full ]; then
  # shellcheck disable=SC2086
  "$@" $pattern b.nmea >/dev/full 2>err.txt
  grep -q "can't write to standard output" err.txt || { echo "FAIL disk-full: no message"; failed=$((failed + 1)); }
fi

# Signals (not under an emulator: they would reach the emulator).
if [ $# -eq 1 ]; then
  # Standard input kept past memory goes to a file that no name leads to,
  # gone with the process whatever ends it.
  mkdir spool && mkfifo feed
  # shellcheck disable=SC2086
  TMPDIR=$work/spool "$@" $pattern - <feed >/dev/null 2>&1 &
  pid=$!
  exec 3>feed
  yes x | head -c 12000000 >&3
  [ -z "$(ls spool)" ] || { echo "FAIL stdin-spool: a file with a name"; failed=$((failed + 1)); }
  kill -TERM $pid
  exec 3>&-
  wait $pid
  [ -z "$(ls spool)" ] || { echo "FAIL stdin-spool: left behind"; failed=$((failed + 1)); }

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
