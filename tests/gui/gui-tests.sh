#!/bin/bash
# Window tests of Fixtally.exe under Wine and Xvfb, driven from outside by
# GuiDriver.exe. Usage:
#   gui-tests.sh FIXTALLY_EXE FIXTALLY_CHECK_EXE GUIDRIVER_EXE OUTDIR [SCENARIO...]
# Screenshots and the driver's log go to OUTDIR. Scenarios: first restart
# japanese readonly closerun abort dialog keys hands placement big timed (all
# but big and timed by default; big checks a log whose report has a million
# lines and takes minutes; FIXTALLY_BIG_SECONDS sets its size for measurements; timed
# checks the log that FIXTALLY_TIMED_LOG names and notes the time to
# "Completed."). keys and hands type and click through the X server with
# xdotool. readonly runs the program from a folder that no process of its run
# may write (as root without the capabilities that override file modes); a
# machine where that cannot be arranged fails it.
# Exit status: the number of failed steps (non-zero on any failure).
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
app_exe=$(readlink -f "$1") check_exe=$(readlink -f "$2") driver=$(readlink -f "$3")
out=$(mkdir -p "$4" && cd "$4" && pwd)
shift 4
scenarios=${*:-first restart japanese readonly closerun abort dialog keys hands placement}

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

. "$root/scripts/wine-env.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/fixtally-gui.XXXXXX")
cleanup() {
  wine_env_stop
  chmod -R u+w "$work" 2>/dev/null
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
# A log whose full name is over 300 characters.
long_dir="$work/data/$(printf 'd%.0s' $(seq 200))"
mkdir -p "$long_dir" && cp "$root/samples/sample.nmea" "$long_dir/$(printf 'l%.0s' $(seq 100)).nmea"
(cd "$work/data" && timeout 120 wine "$check_exe" sample.nmea >expected.txt)
case " $scenarios " in *" closerun "*|*" abort "*|*" keys "*)
  python3 "$here/../make_rmc_log.py" seconds "$work/data/long.nmea" 3000000 1 ;; esac
case " $scenarios " in *" big "*)
  python3 "$here/../make_rmc_log.py" seconds "$work/data/million.nmea" "${FIXTALLY_BIG_SECONDS:-1000000}" 2 ;; esac

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
      # Mode 555 binds root too once the capabilities that override file
      # modes are gone; Xvfb, the prefix and every program of this run start
      # without them.
      cp "$app_exe" "$work/ro/Fixtally.exe"
      chmod 555 "$work/ro"
      nocaps=""
      [ "$(id -u)" = 0 ] && nocaps="setpriv --bounding-set=-dac_override,-dac_read_search,-fowner --"
      if $nocaps touch "$work/ro/probe" 2>/dev/null || ! $nocaps true 2>/dev/null; then
        echo "FAIL readonly: cannot make a folder that the program cannot write"
        failed=$((failed + 1))
      else
        echo "== readonly"
        $nocaps bash -c '
          . "$0/scripts/wine-env.sh"
          wine_env_start || { echo "FAIL could not set up Xvfb and the Wine prefix"; exit 1; }
          trap wine_env_stop EXIT
          LANG=C.UTF-8 LC_ALL=C.UTF-8 timeout 1200 wine "$@"' \
          "$root" "$driver" readonly "$(winpath "$work/ro/Fixtally.exe")" "$data" "$out" 2>&1 | tee -a "$out/driver.log"
        [ "${PIPESTATUS[0]}" = 0 ] || failed=$((failed + 1))
      fi ;;
    *) run "$s" "$app" || failed=$((failed + 1)) ;;
  esac
done
echo "gui tests: $failed scenario(s) failed; screenshots in $out"
exit "$failed"
