#!/bin/sh
# Builds fixtally-check and checks the bundled sample log.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target fixtally-check >/dev/null
status=0
build/cli/fixtally-check "$@" samples/sample.nmea || status=$?
echo "(exit status $status)"
