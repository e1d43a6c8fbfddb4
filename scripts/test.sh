#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests natively, the same
# unit tests as a Windows program under Wine, and the end-to-end tests of
# measurix.exe under Wine on a private X display. Exit code 0 only when all
# pass. Usage: bash scripts/test.sh [extra ctest arguments, e.g. -L e2e]
# MEASURIX_BUILD_DIR chooses another build directory than build/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MEASURIX_BUILD_DIR:-build}

case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*)
    # Windows (MSYS2 MinGW-w64): the unit tests run natively; there is no Wine layer.
    cmake -S . -B "$build" -G "MinGW Makefiles" -DCMAKE_BUILD_TYPE=Release \
      ${GTEST_SOURCE_DIR:+-DGTEST_SOURCE_DIR="$GTEST_SOURCE_DIR"}
    cmake --build "$build" -j2
    cd "$build" && exec ctest --output-on-failure "$@"
    ;;
esac

bash scripts/install_deps.sh

started=$(date +%s)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2
built=$(date +%s)
echo "Build: $((built - started)) s"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
set +e
(cd "$build" && ctest --output-on-failure "$@") 2>&1 | tee "$log"
result=${PIPESTATUS[0]}
set -e

# Time per layer, from ctest's "Test #n: name .... Passed  1.23 sec" lines.
awk '
  / Test +#[0-9]+: / {
    name = $0; sub(/.*Test +#[0-9]+: /, "", name); sub(/ .*/, "", name)
    seconds = $0; sub(/ sec.*/, "", seconds); sub(/.* /, "", seconds)
    if (name ~ /^unit_tests_native/) layer = "unit tests (native)"
    else if (name ~ /^unit_tests_wine/) layer = "unit tests (Windows build under Wine)"
    else if (name ~ /^e2e_environment/) layer = "end-to-end environment up/down"
    else if (name ~ /^e2e_/) layer = "end-to-end tests"
    else layer = "other"
    total[layer] += seconds
  }
  END { for (layer in total) printf "%-40s %7.1f s\n", layer ":", total[layer] }
' "$log"
exit "$result"
