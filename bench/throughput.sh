#!/bin/sh
# Whole-file throughput of fixtally-check against wc -l on the same logs, page
# cache warm, timed by hyperfine in one run: one log on one core, and as many
# logs as there are cores in one batch.
# Usage: bench/throughput.sh [SIZE]   (default 1G; logs are kept in bench/logs/)
# GEN names the log generator (default ../shared/tools/gen_nmea.py); RUNS the
# number of timed runs (default 5).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-1G}
runs=${RUNS:-5}
gen=${GEN:-$root/../shared/tools/gen_nmea.py}
[ -f "$gen" ] || { echo "no log generator at $gen (set GEN)" >&2; exit 2; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing (apt-get install hyperfine)" >&2; exit 2; }

cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DFIXTALLY_TESTS=OFF >/dev/null
cmake --build "$root/build-release" -j"$(nproc)" --target fixtally-check >/dev/null
check="$root/build-release/cli/fixtally-check --date-pattern yyyy/MM/dd --date-separator /"

# 10 Hz multi-constellation logs; the first is the one the README's figures name.
logs="$root/bench/logs"
mkdir -p "$logs"
cores=$(nproc)
batch=""
for k in $(seq 0 $((cores - 1))); do
  log="$logs/multi-$size-seed$((42 + k)).nmea"
  [ -f "$log" ] || python3 "$gen" --size "$size" --rate 10 --system multi --seed $((42 + k)) -o "$log" 2>/dev/null
  batch="$batch $log"
done
log="$logs/multi-$size-seed42.nmea"
bytes=$(stat -c %s "$log")

cat $batch >/dev/null   # warm the page cache
json="$logs/result.json"
hyperfine -N -i --warmup 1 --runs "$runs" --export-json "$json" \
  -n "wc -l" "wc -l $log" \
  -n "fixtally-check" "$check $log" \
  -n "fixtally-check, batch" "$check$batch"

python3 - "$json" "$bytes" "$cores" <<'PY'
import json, sys
# Medians: on a shared machine a few slow runs should not move the figures.
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
size, cores = int(sys.argv[2]), int(sys.argv[3])
def line(name, logs=1):
    r = results[name]
    return (f"{r['median']:.3f} s (CPU: user {r['user']:.3f} s, system {r['system']:.3f} s)"
            f"  {logs * size / r['median'] / 1e6:6.0f} MB/s")
wc, one, batch = (results[n]["median"] for n in ("wc -l", "fixtally-check", "fixtally-check, batch"))
print(f"log: {size / 1e6:.0f} MB, {cores} cores; median wall times")
print(f"wc -l:                  {line('wc -l')}")
print(f"fixtally-check:         {line('fixtally-check')}  {one / wc:.2f} x wc -l")
print(f"fixtally-check, {cores} logs: {line('fixtally-check, batch', cores)}  "
      f"throughput {cores * one / batch:.2f} x one log's (goal {0.9 * cores:.1f})")
PY
/usr/bin/time -f "peak memory of one check: %M KiB" $check "$log" >/dev/null || true
