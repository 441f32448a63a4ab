# Helpers of the package tests; source this file.

# make_package BUILD_DIR NAME: builds the package target of that build and
# sets version and package (the file NAME, where VERSION stands for the
# project version). Exits when it cannot.
make_package() {
  cmake --build "$1" --target package >/dev/null 2>&1 || { echo "FAIL cannot build the package"; exit 1; }
  version=$(sed -n 's/^#define FIXTALLY_VERSION_TEXT "\(.*\)"$/\1/p' "$1/generated/FixtallyVersion.h")
  package="$1/packages/$(printf '%s' "$2" | sed "s/VERSION/$version/")"
  [ -f "$package" ] || { echo "FAIL no package $package"; exit 1; }
}

# release_window_data PROGRAM_DIR DATA_DIR, after make_package, under Wine:
# writes into DATA_DIR what the window driver compares a released program
# with: fixtally-check.exe's report on the sample beside it (expected.txt)
# and the caption of this version (caption.txt). Sets status to the
# checker's exit status; returns non-zero unless it reported the sample.
release_window_data() {
  status=0
  (cd "$1" && wine fixtally-check.exe sample.nmea >"$2/expected.txt" 2>/dev/null) || status=$?
  minor=${version#*.}
  printf 'Fixtally Ver%s.%02d' "${version%%.*}" "${minor%%.*}" >"$2/caption.txt"
  [ "$status" = 1 ] && grep -q "^Completed\." "$2/expected.txt"
}
