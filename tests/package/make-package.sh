# Source this file, then call make_package BUILD_DIR NAME: builds the package
# target of that build and sets version and package (the file NAME, where
# VERSION stands for the project version). Exits when it cannot.
make_package() {
  cmake --build "$1" --target package >/dev/null 2>&1 || { echo "FAIL cannot build the package"; exit 1; }
  version=$(sed -n 's/^#define FIXTALLY_VERSION_TEXT "\(.*\)"$/\1/p' "$1/generated/FixtallyVersion.h")
  package="$1/packages/$(printf '%s' "$2" | sed "s/VERSION/$version/")"
  [ -f "$package" ] || { echo "FAIL no package $package"; exit 1; }
}
