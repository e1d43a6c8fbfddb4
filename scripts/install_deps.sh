#!/usr/bin/env bash
# Installs the Debian packages that building, packaging and testing Measurix need, when
# any is missing. Quick when everything is there: it only asks dpkg.
set -euo pipefail

packages=(
  cmake make g++ python3
  googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64
  xvfb xdotool imagemagick x11-utils
  wixl zip
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "These packages are missing and there is no sudo: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
# With the recommended packages: Wine's fonts (fonts-wine, fonts-liberation)
# and X libraries shape the dialogs and the label that the tests look at.
"${as_root[@]}" apt-get install -y "${missing[@]}"
