#!/bin/sh
# Cross-check fixtally-check against the Python reference model, log by log.
#
# Usage: crosscheck.sh FIXTALLY_CHECK [LOG_OR_DIR...]
#
# Every log (each file of each directory given, or, when none is given, the
# logs that make_logs.py writes) is checked by both programs under several
# option sets; standard output and exit status must agree byte for byte.
# Set CROSSCHECK_RUNNER to run the binary through an emulator (e.g. "wine").
# Exit status: 0 all agree, 1 some differ, 2 usage or setup trouble.
set -u
if [ $# -lt 1 ]; then
  echo "usage: crosscheck.sh FIXTALLY_CHECK [LOG_OR_DIR...]" >&2
  exit 2
fi
binary=$1
shift
if [ -z "${CROSSCHECK_RUNNER:-}" ] && [ ! -x "$binary" ]; then
  echo "crosscheck: not an executable: $binary" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
ref="$here/fixtally_ref.py"
runner=${CROSSCHECK_RUNNER:-}
max_diffs=${CROSSCHECK_MAX_DIFFS:-8}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

list="$work/logs.txt"
: >"$list"
if [ $# -eq 0 ]; then
  python3 "$here/make_logs.py" "$work/logs" >/dev/null || exit 2
  set -- "$work/logs"
fi
for path in "$@"; do
  if [ -d "$path" ]; then
    find "$path" -maxdepth 1 -type f ! -name '*.md' | LC_ALL=C sort >>"$list"
  elif [ -f "$path" ]; then
    echo "$path" >>"$list"
  else
    echo "crosscheck: no such log or directory: $path" >&2
    exit 2
  fi
done

# One option set per line; the date conventions come last on each.
cat >"$work/optsets.txt" <<'EOF'
--date-pattern yyyy/MM/dd --date-separator /
--decimals 0 --date-pattern yyyy/MM/dd --date-separator /
--decimals 3 --date-pattern dd.MM.yyyy --date-separator .
--tolerance 0.05 --date-pattern M/d/yyyy --date-separator /
--no-interval-change --date-pattern yyyy/MM/dd --date-separator /
--date-pattern dd.MM.yyyy --date-separator .
--decimals 2 --no-same-time --date-pattern M/d/yyyy --date-separator /
--decimals -2 --tolerance abc --no-same-time --no-moved-back --no-interval-change --date-pattern yyyy/MM/dd --date-separator /
--decimals 7 --tolerance -0.3 --no-moved-back --date-pattern dd.MM.yyyy --date-separator .
EOF

runs=0
mismatches=0
while IFS= read -r log; do
  while IFS= read -r opts; do
    runs=$((runs + 1))
    # The notes on dates (a two-digit year read as 2075 is in the future) are
    # no part of the report the model writes.
    # shellcheck disable=SC2086
    $runner "$binary" --no-notes $opts "$log" >"$work/cpp.out" 2>"$work/cpp.err" </dev/null
    cpp_status=$?
    # shellcheck disable=SC2086
    python3 "$ref" $opts "$log" >"$work/ref.out" 2>"$work/ref.err" </dev/null
    ref_status=$?
    if cmp -s "$work/ref.out" "$work/cpp.out" && [ "$cpp_status" = "$ref_status" ]; then
      continue
    fi
    mismatches=$((mismatches + 1))
    if [ "$mismatches" -le "$max_diffs" ]; then
      echo "MISMATCH $log [$opts] exit: reference $ref_status, fixtally-check $cpp_status"
      diff "$work/ref.out" "$work/cpp.out" | head -n 12
      head -n 3 "$work/cpp.err" "$work/ref.err" 2>/dev/null | sed 's/^/  /'
    fi
  done <"$work/optsets.txt"
done <"$list"

echo "crosscheck: $runs runs, $mismatches mismatches ($(wc -l <"$list") logs)"
[ "$runs" -gt 0 ] && [ "$mismatches" -eq 0 ]
