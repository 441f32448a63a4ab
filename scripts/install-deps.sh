#!/bin/sh
# Installs from Debian's archive what the builds and tests need, when missing;
# given package names, only those.
set -eu
packages="cmake make g++ libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xdotool imagemagick
  locales fonts-ipafont-gothic python3 hyperfine librsvg2-bin
  zlib1g-dev libz-mingw-w64-dev gzip parallel man-db groff-base unzip
  nlohmann-json3-dev libcli11-dev bash-completion nsis"
[ $# -eq 0 ] || packages="$*"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
$sudo apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
