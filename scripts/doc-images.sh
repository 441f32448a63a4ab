#!/bin/sh
# Makes the pictures that README.md shows, into doc/images/: the window after
# a check of the sample (a screenshot under Wine and Xvfb, through the window
# driver) and the interval picture that fixtally-check --plot draws. Run it
# after the window or the picture changes; it builds what it needs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sh scripts/install-deps.sh
images=$root/doc/images
mkdir -p "$images"

cmake -S . -B build -DFIXTALLY_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target fixtally-check >/dev/null
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-posix.cmake >/dev/null
cmake --build build-win -j"$(nproc)" --target Fixtally GuiDriver >/dev/null

# The window as a user sees it after a first start: C:\Fixtally holding the
# program, C:\Logs the sample.
. scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start
mkdir -p "$WINEPREFIX/drive_c/Fixtally" "$WINEPREFIX/drive_c/Logs"
cp build-win/ui/Fixtally.exe "$WINEPREFIX/drive_c/Fixtally/"
cp samples/sample.nmea "$WINEPREFIX/drive_c/Logs/"
LANG=C.UTF-8 LC_ALL=C.UTF-8 wine build-win/tests/gui/GuiDriver.exe picture \
  'C:\Fixtally\Fixtally.exe' 'C:\Logs' "$images"

# A day at 10 Hz with anomalies of every kind, checked under a short name:
# the picture's title is the log's name.
work=$(mktemp -d)
trap 'wine_env_stop; rm -rf "$work"' EXIT
python3 tests/make_rmc_log.py day "$work/day-10hz.nmea"
(cd "$work" && "$root/build/cli/fixtally-check" --plot "$images/plot.svg" day-10hz.nmea >/dev/null) || [ $? -eq 1 ]
# The README shows the SVG; a PNG of it, to look at, stays in the build.
rsvg-convert -o build/plot.png "$images/plot.svg"
echo "pictures in $images: window.png, plot.svg (build/plot.png to look at)"
