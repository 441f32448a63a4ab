#!/bin/sh
# Whole-file throughput of fixtally-check against wc -l on the same logs, page
# cache warm, timed by hyperfine in one run.
# Usage: bench/throughput.sh [SIZE]   (default 1G; logs are kept in bench/logs/)
# GEN names the log generator (default ../shared/tools/gen_nmea.py).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-1G}
gen=${GEN:-$root/../shared/tools/gen_nmea.py}
[ -f "$gen" ] || { echo "no log generator at $gen (set GEN)" >&2; exit 2; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing (apt-get install hyperfine)" >&2; exit 2; }

cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DFIXTALLY_TESTS=OFF >/dev/null
cmake --build "$root/build-release" -j"$(nproc)" --target fixtally-check >/dev/null
check="$root/build-release/cli/fixtally-check --date-pattern yyyy/MM/dd --date-separator /"

logs="$root/bench/logs"
mkdir -p "$logs"
log="$logs/rate10-$size.nmea"
second="$logs/rate10-$size-b.nmea"
[ -f "$log" ] || python3 "$gen" --size "$size" --rate 10 --anomaly-rate 0.0002 --seed 42 -o "$log" 2>/dev/null
[ -f "$second" ] || python3 "$gen" --size "$size" --rate 10 --anomaly-rate 0.0002 --seed 43 -o "$second" 2>/dev/null
bytes=$(stat -c %s "$log")

cat "$log" "$second" >/dev/null   # warm the page cache
json="$logs/result.json"
hyperfine --warmup 1 --runs 5 --export-json "$json" \
  -n "wc -l" "wc -l $log" \
  -n "fixtally-check" "$check $log >/dev/null || true" \
  -n "fixtally-check, two logs" "$check $log $second >/dev/null || true"

python3 - "$json" "$bytes" <<'PY'
import json, sys
results = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
size = int(sys.argv[2])
wc, one, two = results["wc -l"], results["fixtally-check"], results["fixtally-check, two logs"]
print(f"log: {size / 1e6:.0f} MB")
print(f"wc -l:                    {wc:.3f} s  {size / wc / 1e6:7.0f} MB/s")
print(f"fixtally-check:           {one:.3f} s  {size / one / 1e6:7.0f} MB/s  ({one / wc:.1f} x wc -l)")
print(f"fixtally-check, two logs: {two:.3f} s  {2 * size / two / 1e6:7.0f} MB/s  ({two / one:.2f} x one log)")
PY
/usr/bin/time -f "peak memory of one check: %M KiB" sh -c "$check $log >/dev/null || true"
