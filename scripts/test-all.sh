#!/bin/sh
# Builds and runs every test: the native build (warnings as errors, and the
# benchmarks built so that they cannot rot), the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows
# build under Wine (unit, command-line and window tests), the release
# packages (the Debian package installed and removed again, the Windows zip
# unpacked into a fresh Wine prefix, the Windows setup program installed and
# uninstalled in another), and each fuzzer for a bounded time.
# Installs missing packages first.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sh scripts/install-deps.sh
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-15}

echo "== native build (benchmarks built, not run) and tests"
cmake -S . -B build -DFIXTALLY_TESTS=ON -DFIXTALLY_BENCH=ON -DFIXTALLY_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

echo "== Debian package"
sh tests/package/deb.sh build

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFIXTALLY_SANITIZE=ON -DFIXTALLY_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs")

echo "== Windows build under Wine"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-posix.cmake -DFIXTALLY_WERROR=ON >/dev/null
cmake --build build-win -j"$jobs"
. scripts/wine-env.sh
wine_env_start
trap wine_env_stop EXIT
(cd build-win && ctest --output-on-failure)
wine_env_stop
trap - EXIT

echo "== Windows zip"
bash tests/package/win-zip.sh build-win

echo "== Windows setup program"
bash tests/package/win-setup.sh build-win

echo "== fuzzers, ${fuzz_seconds} s each"
CXX=clang++ cmake -S . -B build-fuzz -DFIXTALLY_FUZZ=ON -DFIXTALLY_TESTS=OFF -DFIXTALLY_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$jobs"
for harness in build-fuzz/tests/fuzz/*Fuzz; do
  corpus=$(mktemp -d)
  cp tests/data/*.nmea samples/*.nmea "$corpus"/ 2>/dev/null || true
  # Real receivers' logs, and their RMC sentences a few at a time, so that the
  # fuzzers start from sentences that decode.
  real=../shared/testdata/real
  if [ -d "$real" ]; then
    cp "$real"/* "$corpus"/
    grep -ah 'RMC,' "$real"/* | head -n 4000 | split -l 8 -a 4 - "$corpus/rmc-"
  fi
  "$harness" -max_total_time="$fuzz_seconds" -max_len=4096 -print_final_stats=0 "$corpus" 2>"$corpus.log" ||
    { tail -n 40 "$corpus.log"; exit 1; }
  echo "$(basename "$harness"): $(grep -c . "$corpus.log") log lines, no failure"
  rm -rf "$corpus" "$corpus.log"
done
echo "== all tests passed"
