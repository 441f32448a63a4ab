#!/bin/sh
# The Debian package as a user gets it: built, installed with dpkg, its
# program, manual page and bash completion used from where they were
# installed, removed again.
# Installing needs root (sudo otherwise). Usage: deb.sh BUILD_DIR (a native build)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
failed=0
fail() { echo "FAIL $*"; failed=$((failed + 1)); }

. "$root/tests/package/make-package.sh"
make_package "$build" fixtally-check_VERSION_amd64.deb
deb=$package
$sudo dpkg -i "$deb" >/dev/null
trap '$sudo dpkg -r fixtally-check >/dev/null' EXIT

[ "$(command -v fixtally-check)" = /usr/bin/fixtally-check ] || fail "not in /usr/bin"
[ "$(/usr/bin/fixtally-check --version)" = "fixtally-check $version" ] || fail "--version"
status=0
out=$(/usr/bin/fixtally-check --date-pattern yyyy/MM/dd "$root/samples/sample.nmea" 2>&1) || status=$?
[ "$status" = 1 ] && echo "$out" | grep -q "^Completed\." || fail "sample: exit status $status"
page=$(man -w fixtally-check) || fail "man -w finds no page"
[ "$page" = /usr/share/man/man1/fixtally-check.1.gz ] || fail "page at $page"
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page warnings: $warnings"
[ -f /usr/share/doc/fixtally-check/copyright ] || fail "no licence"
completion=/usr/share/bash-completion/completions/fixtally-check
[ -f "$completion" ] || fail "no bash completion at $completion"
bash "$root/tests/package/completion.bash" fixtally-check || fail "bash completion"

$sudo dpkg -r fixtally-check >/dev/null
trap - EXIT
[ ! -e /usr/bin/fixtally-check ] && [ ! -e "$completion" ] || fail "still installed after removal"
echo "debian package $version: $failed failed"
[ "$failed" -eq 0 ]
