#!/bin/bash
# The Windows setup program as a user gets it: built with the zip from the
# same build, a 64-bit program, run silently in a fresh Wine prefix. It must
# put the files under the 64-bit Program Files, make the Start-menu entry and
# register its uninstaller in the 64-bit registry. Then the installed folder
# is made read-only, as it is for a standard user. The window driver starts
# Fixtally from the Start-menu entry, checks the sample, and finds the
# settings in the per-user folder. A silent uninstall must remove the files,
# the entry and the registration, and leave the settings.
# As root, all of it runs without the capabilities that override file modes,
# so that the read-only folder binds root too. Usage: win-setup.sh BUILD_WIN_DIR
set -u
if [ "$(id -u)" = 0 ] && [ "${FIXTALLY_WITHOUT_OVERRIDE:-}" != 1 ]; then
  FIXTALLY_WITHOUT_OVERRIDE=1 exec setpriv --bounding-set=-dac_override,-dac_read_search,-fowner -- bash "$0" "$@"
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
failed=0
fail() { echo "FAIL $*"; failed=$((failed + 1)); }

. "$root/tests/package/make-package.sh"
make_package "$build" Fixtally-VERSION-win64-setup.exe
setup=$package
x86_64-w64-mingw32-objdump -f "$setup" | grep -q "file format pei-x86-64" || fail "the setup program is not a 64-bit program"

. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start || { echo "FAIL could not set up Xvfb and the Wine prefix"; exit 1; }
# No menu entries for the Linux desktop from the shortcuts made in the prefix.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
program_files="$WINEPREFIX/drive_c/Program Files" data="$WINEPREFIX/drive_c/logs"
app="$program_files/Fixtally"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Fixtally"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fixtally'
registry_value() {  # registry_value NAME: the data of a value of the uninstaller's key
  wine reg query "$key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 \{2,\}REG_[A-Z_]* \{2,\}//p"
}

status=0
wine "$setup" /S </dev/null >/dev/null 2>&1 || status=$?
[ "$status" = 0 ] || fail "the silent install ended with exit status $status"
[ -d "$app" ] || { echo "FAIL nothing installed in Program Files"; exit 1; }
listed=$(cd "$app" 2>/dev/null && ls | LC_ALL=C sort | tr '\n' ' ')
[ "$listed" = "Fixtally.exe LICENSE README.txt Uninstall.exe fixtally-check.exe sample.nmea " ] ||
  fail "the installed folder holds: $listed"
[ ! -e "$WINEPREFIX/drive_c/Program Files (x86)/Fixtally" ] || fail "installed into the 32-bit Program Files"
[ -f "$menu/Fixtally.lnk" ] || fail "no Start-menu entry"
[ "$(registry_value DisplayName)" = Fixtally ] || fail "DisplayName '$(registry_value DisplayName)'"
[ "$(registry_value DisplayVersion)" = "$version" ] || fail "DisplayVersion '$(registry_value DisplayVersion)'"
[ -n "$(registry_value Publisher)" ] || fail "no Publisher"
# Windows shows the size in KiB: within 2 % of the installed files'.
kib=$(($(cat "$app"/* | wc -c) / 1024))
size=$(($(registry_value EstimatedSize)))
[ $((size > kib * 98 / 100 && size < kib * 102 / 100)) = 1 ] || fail "EstimatedSize $size KiB for $kib KiB"
uninstall=$(registry_value UninstallString)
[ "$uninstall" = '"C:\Program Files\Fixtally\Uninstall.exe"' ] || fail "UninstallString $uninstall"
! wine reg query 'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Fixtally' </dev/null >/dev/null 2>&1 ||
  fail "registered in the 32-bit view of the registry"

chmod 555 "$app"
if touch "$app/probe" 2>/dev/null; then
  fail "cannot make the installed folder read-only"
  rm -f "$app/probe"
fi
mkdir -p "$data"
release_window_data "$app" "$data" || fail "the installed fixtally-check.exe on the sample: exit $status"
printf 'C:\\Program Files\\Fixtally\\Fixtally.exe' >"$data/program.txt"
LANG=C.UTF-8 LC_ALL=C.UTF-8 timeout 300 wine "$build/tests/gui/GuiDriver.exe" installed \
  'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Fixtally\Fixtally.lnk' 'C:\logs' "$build/gui-shots" ||
  fail "window driver"
settings=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Fixtally/Fixtally.ini')
[ -n "$settings" ] && cp "$settings" "$WINE_ENV_DIR/settings.ini" || fail "no settings file in the per-user folder"

# The uninstaller runs as an administrator, who may change the folder. It
# copies itself away, starts the copy and ends: wait for the copy's work.
chmod 755 "$app"
uninstall=${uninstall#\"}
wine "${uninstall%\"}" /S </dev/null >/dev/null 2>&1 || fail "the silent uninstall did not start"
for _ in $(seq 120); do [ -e "$app" ] || [ -e "$menu" ] || break; sleep 0.5; done
[ ! -e "$app" ] || fail "left in Program Files: $(ls "$app")"
[ ! -e "$menu" ] || fail "left in the Start menu: $(ls "$menu")"
for left in "$key" 'HKLM\Software\Fixtally developers'; do
  ! wine reg query "$left" </dev/null >/dev/null 2>&1 || fail "left in the registry: $left"
done
[ -n "$settings" ] && cmp -s "$settings" "$WINE_ENV_DIR/settings.ini" || fail "the settings did not survive the uninstall"

echo "windows setup $version: $failed failed"
[ "$failed" -eq 0 ]
