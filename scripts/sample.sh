#!/bin/sh
# Builds fixtally-check and checks the bundled sample log. Installs what the
# build needs (cmake, make, a C++ compiler, zlib, the JSON and option
# libraries) first when missing; the tests and what they need are left to
# scripts/test-all.sh.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sh scripts/install-deps.sh cmake make g++ zlib1g-dev nlohmann-json3-dev libcli11-dev
echo "building fixtally-check (build/cli/fixtally-check) ..."
cmake -S . -B build -DFIXTALLY_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target fixtally-check >/dev/null
status=0
build/cli/fixtally-check "$@" samples/sample.nmea || status=$?
echo "(exit status $status)"
