#!/usr/bin/env bash
# Builds the release packages for Windows users into dist/:
#   measurix-VERSION-win64.zip  measurix.exe, README.md and LICENSE.txt: the portable form
#   measurix-VERSION-win64.msi  the per-user installer (packaging/measurix.wxs, built with wixl)
#   SHA256SUMS                  the checksums of both
# VERSION is the project version (CMakeLists.txt).
#
# Usage: bash scripts/package.sh
#            installs what is missing, builds (MEASURIX_BUILD_DIR, default build/), packages into dist/
#        bash scripts/package.sh --from WINDOWS_BUILD_DIR [--version X.Y] [--dist DIR]   (paths: from the repository)
#            packages a finished Windows build; the build runs this into build/dist, and the
#            end-to-end tests make a package of a higher version with --version
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

from="" version="" dist=dist started=""
while [ $# -gt 0 ]; do
  case "$1" in
    --from) from=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    --dist) dist=$2; shift 2 ;;
    *) echo "usage: bash scripts/package.sh [--from WINDOWS_BUILD_DIR [--version X.Y] [--dist DIR]]" >&2; exit 2 ;;
  esac
done

if [ -z "$from" ]; then
  started=$(date +%s)
  bash scripts/install_deps.sh
  build=${MEASURIX_BUILD_DIR:-build}
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
  cmake --build "$build" --target windows_build -j2
  from=$build/windows
fi

# The version the Windows build was made with, unless another is asked for.
if [ -z "$version" ]; then
  version=$(sed -n 's/^#define MEASURIX_VERSION_TEXT "\(.*\)"$/\1/p' "$from/generated/base/measurix_version.h")
fi
[ -n "$version" ] || { echo "no version in $from/generated/base/measurix_version.h" >&2; exit 1; }

name=measurix-$version-win64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$from/measurix.exe" README.md "$stage/"
cp LICENSE "$stage/LICENSE.txt"
cp "$from/icons/measurix.ico" "$stage/"

# wixl looks for the files named in the source in the current directory.
(cd "$stage" &&
  zip -q -X "$name.zip" measurix.exe README.md LICENSE.txt &&
  wixl -a x64 -D Version="$version" -D Exe=measurix.exe -D Icon=measurix.ico -o "$name.msi" \
    "$root/packaging/measurix.wxs")

mkdir -p "$dist"
rm -f "$dist"/measurix-*-win64.zip "$dist"/measurix-*-win64.msi "$dist/SHA256SUMS"
mv "$stage/$name.zip" "$stage/$name.msi" "$dist/"
(cd "$dist" && sha256sum "$name.zip" "$name.msi" > SHA256SUMS)
if [ -n "$started" ]; then
  echo "Packages in $dist/, $(( $(date +%s) - started )) s:"
  ls -l "$dist"
fi
