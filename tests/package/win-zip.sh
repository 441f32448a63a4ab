#!/bin/bash
# The Windows zip as a user gets it: built, its files listed, unpacked into a
# fresh folder of a fresh Wine prefix; fixtally-check.exe run there on the
# sample, and Fixtally.exe started there (its settings file must appear
# beside it) and worked by the window driver on the sample, a compressed log
# and a cut-off one. Usage: win-zip.sh BUILD_WIN_DIR
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
failed=0
fail() { echo "FAIL $*"; failed=$((failed + 1)); }

. "$root/tests/package/make-package.sh"
make_package "$build" Fixtally-VERSION-win64.zip
zip=$package
listed=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
[ "$listed" = "Fixtally.exe LICENSE README.txt fixtally-check.exe sample.nmea " ] || fail "the zip holds: $listed"

. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start || { echo "FAIL could not set up Xvfb and the Wine prefix"; exit 1; }
app="$WINEPREFIX/drive_c/Fixtally" data="$WINEPREFIX/drive_c/logs"
mkdir -p "$app" "$data"
unzip -q "$zip" -d "$app"
for exe in Fixtally.exe fixtally-check.exe; do
  x86_64-w64-mingw32-objdump -p "$app/$exe" | grep -qiE "DLL Name: (zlib|libz|libstdc|libgcc|libwinpthread)" &&
    fail "$exe needs a library that is not in the zip"
done

[ "$(wine "$app/fixtally-check.exe" --version | tr -d '\r')" = "fixtally-check $version" ] || fail "--version"
release_window_data "$app" "$data" || fail "fixtally-check.exe on the sample: exit $status"
gzip -c "$app/sample.nmea" >"$data/sample.nmea.gz"
head -c 200 "$data/sample.nmea.gz" >"$data/cut.nmea.gz"
{ cat "$data/sample.nmea.gz"; head -c 512 /dev/zero; } >"$data/padded.nmea.gz"
{ cat "$data/sample.nmea.gz"; printf 'x\r\n'; } >"$data/trailing.nmea.gz"
{ printf '\037\213'; cat "$app/sample.nmea"; } >"$data/magic.nmea"

LANG=C.UTF-8 LC_ALL=C.UTF-8 timeout 600 wine "$build/tests/gui/GuiDriver.exe" unpacked \
  'C:\Fixtally\Fixtally.exe' 'C:\logs' "$build/gui-shots" || fail "window driver"
[ -f "$app/Fixtally.ini" ] || fail "no settings file beside Fixtally.exe"

echo "windows zip $version: $failed failed"
[ "$failed" -eq 0 ]
