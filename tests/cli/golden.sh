#!/bin/sh
# Golden tests of fixtally-check: every tests/data/*.nmea is checked with the
# options of its "# args:" line; standard output must equal the .out file
# beside it and the exit status the "# exit:" line (0 when absent). With
# GOLDEN_GZIP set, each log is checked gzip-compressed, to the same output.
# Usage: golden.sh DATA_DIR [EMULATOR...] FIXTALLY_CHECK
set -u
data=$(cd "$1" && pwd)
shift
failed=0
count=0
run_dir=$(mktemp -d)
trap 'rm -rf "$run_dir"' EXIT
for log in "$data"/*.nmea; do
  expected="${log%.nmea}.out"
  [ -f "$expected" ] || continue
  count=$((count + 1))
  args=$(tr '\r' '\n' <"$log" | sed -n 's/^# args: *//p' | head -n 1)
  want_status=$(tr '\r' '\n' <"$log" | sed -n 's/^# exit: *//p' | head -n 1)
  # Relative name, so the progress texts and headers do not depend on the checkout.
  cp "$log" "$run_dir/" && cd "$run_dir" || exit 2
  name=$(basename "$log")
  if [ -n "${GOLDEN_GZIP:-}" ]; then gzip -f "$name" && name="$name.gz"; fi
  # shellcheck disable=SC2086
  "$@" $args "$name" >actual.txt 2>/dev/null
  status=$?
  cd - >/dev/null || exit 2
  if ! cmp -s "$run_dir/actual.txt" "$expected"; then
    echo "FAIL $(basename "$log"): output differs"; diff "$expected" "$run_dir/actual.txt" | head -20
    failed=$((failed + 1))
  elif [ "$status" != "${want_status:-0}" ]; then
    echo "FAIL $(basename "$log"): exit status $status, wanted ${want_status:-0}"
    failed=$((failed + 1))
  fi
done
echo "$count golden logs, $failed failed"
[ "$count" -gt 0 ] && [ "$failed" -eq 0 ]
