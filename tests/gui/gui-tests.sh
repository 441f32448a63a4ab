#!/bin/bash
# Window tests of Fixtally.exe under Wine and Xvfb, driven from outside by
# GuiDriver.exe. Usage:
#   gui-tests.sh FIXTALLY_EXE FIXTALLY_CHECK_EXE GUIDRIVER_EXE OUTDIR [SCENARIO...]
# Screenshots and the driver's log go to OUTDIR. Scenarios: first restart
# japanese readonly closerun abort dialog big (all but big by default; big
# checks a log whose report has a million lines and takes minutes;
# FIXTALLY_BIG_SECONDS sets its size for measurements; timed checks the log
# that FIXTALLY_TIMED_LOG names and notes the time to "Completed.").
# Exit status: the number of failed steps (non-zero on any failure).
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
app_exe=$(readlink -f "$1") check_exe=$(readlink -f "$2") driver=$(readlink -f "$3")
out=$(mkdir -p "$4" && cd "$4" && pwd)
shift 4
scenarios=${*:-first restart japanese readonly closerun abort dialog}

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

. "$root/scripts/wine-env.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/fixtally-gui.XXXXXX")
ro_mounted=""
cleanup() {
  [ -n "$ro_mounted" ] && umount "$ro_mounted" 2>/dev/null
  wine_env_stop
  rm -rf "$work"
}
trap cleanup EXIT
wine_env_start || { echo "FAIL could not set up Xvfb and the Wine prefix"; exit 1; }

# The Japanese user locale needs its glibc locale.
locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$' || localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 2>/dev/null

mkdir -p "$work/app" "$work/data" "$work/ro"
cp "$app_exe" "$work/app/Fixtally.exe"
cp "$root/samples/sample.nmea" "$work/data/sample.nmea"
cp "$root/tests/data/clean.nmea" "$work/data/clean.nmea"
(cd "$work/data" && timeout 120 wine "$check_exe" sample.nmea >expected.txt)
case " $scenarios " in *" closerun "*|*" abort "*)
  python3 "$here/make_log.py" "$work/data/long.nmea" 3000000 1 ;; esac
case " $scenarios " in *" big "*)
  python3 "$here/make_log.py" "$work/data/million.nmea" "${FIXTALLY_BIG_SECONDS:-1000000}" 2 ;; esac

case " $scenarios " in *" timed "*)
  ln -s "$(readlink -f "${FIXTALLY_TIMED_LOG:?set FIXTALLY_TIMED_LOG}")" "$work/data/timed.nmea" ;; esac

app=$(winpath "$work/app/Fixtally.exe")
data=$(winpath "$work/data")
failed=0
run() {  # run SCENARIO APP [LANG]
  local scenario=$1 exe=$2 lang=${3:-C.UTF-8} start rc
  start=$(date +%s.%N)
  echo "== $scenario"
  LANG=$lang LC_ALL=$lang timeout 1200 wine "$driver" "$scenario" "$exe" "$data" "$out" 2>&1 | tee -a "$out/driver.log"
  rc=${PIPESTATUS[0]}
  echo "== $scenario: exit $rc, $(echo "$(date +%s.%N) - $start" | bc) s"
  return "$rc"
}
: >"$out/driver.log"
for s in $scenarios; do
  case $s in
    japanese)
      mkdir -p "$work/ja"
      cp "$app_exe" "$work/ja/Fixtally.exe"
      # IPAGothic 12 pt for Japanese users, so the font in use can be measured.
      python3 - "$work/ja/Fixtally.ini" <<'PY'
import sys
open(sys.argv[1], "wb").write("\ufeff[Option]\r\nJpFontName=IPAGothic\r\nJpFontSize=12\r\n".encode("utf-16-le"))
PY
      # Wine's background programs keep the locale that their prefix was
      # booted with, and each one that starts resets the user's date format
      # to it: a prefix of its own, booted Japanese, keeps the locale steady.
      (
        export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
        wine_env_start || { echo "FAIL could not set up the Japanese Wine prefix"; exit 1; }
        trap wine_env_stop EXIT
        run japanese "$(winpath "$work/ja/Fixtally.exe")" ja_JP.UTF-8
      ) || failed=$((failed + 1)) ;;
    readonly)
      cp "$app_exe" "$work/ro/Fixtally.exe"
      if mount --bind "$work/ro" "$work/ro" 2>/dev/null && mount -o remount,bind,ro "$work/ro" 2>/dev/null; then
        ro_mounted="$work/ro"
        run readonly "$(winpath "$work/ro/Fixtally.exe")" || failed=$((failed + 1))
        umount "$work/ro" && ro_mounted=""
      else
        echo "SKIP readonly: cannot make a read-only bind mount here"
      fi ;;
    *) run "$s" "$app" || failed=$((failed + 1)) ;;
  esac
done
echo "gui tests: $failed scenario(s) failed; screenshots in $out"
exit "$failed"
