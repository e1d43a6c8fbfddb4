#!/usr/bin/env bash
# Measures Measurix and prints its performance table: the native benchmarks,
# one overlay frame under Wine, and the CPU measurix.exe takes under Wine on a
# private X display with the ruler off, on and still, and following the
# pointer. A measurement, not a test: compare figures within one run.
# Usage: bash scripts/bench.sh [REVISION]
#   With a git revision (e.g. main), that revision is built as well (in
#   <build>/bench-baseline) and measured in the same run, beside this tree.
# MEASURIX_BUILD_DIR chooses another build directory than build/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/${MEASURIX_BUILD_DIR:-build}
baseline_revision=${1:-}

bash scripts/install_deps.sh

# The native benchmark program and the Windows programs of one source tree
# (only those: the Windows unit tests are not needed here).
build_tree() {
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release ${3:+"-DCMAKE_CXX_FLAGS=$3"} >/dev/null
  cmake --build "$2" -j2 --target measurix_bench >/dev/null
  cmake -S "$1" -B "$2/windows" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release ${3:+"-DCMAKE_CXX_FLAGS=$3"} >/dev/null
  cmake --build "$2/windows" -j2 --target measurix mxdriver measurix_frame_bench >/dev/null
  "$2/measurix_bench" --benchmark_out="$2/native_bench.json" --benchmark_out_format=json
}

echo "Building and running the native benchmarks of this tree ..."
build_tree "$root" "$build"
figures=("$build/windows" "$build/native_bench.json")
if [ -n "$baseline_revision" ]; then
  base=$build/bench-baseline
  rm -rf "$base/source"
  mkdir -p "$base/source"
  git archive "$baseline_revision" | tar -x -C "$base/source"
  # Both programs are measured with this tree's benchmarks.
  rm -rf "$base/source/bench"
  cp -r bench "$base/source/bench"
  # They name headers by this tree's folders: where the revision keeps a
  # header in another folder, a shim of that name includes it from there.
  shims=$base/source/bench/shims
  (cd src && find . -name '*.h') | while read -r header; do
    [ -e "$base/source/src/$header" ] && continue
    old=$(cd "$base/source/src" && find . -name "$(basename "$header")" | head -n 1)
    [ -n "$old" ] || continue
    mkdir -p "$shims/$(dirname "$header")"
    echo "#include \"${old#./}\"" >"$shims/$header"
  done
  echo "Building and running the native benchmarks of $baseline_revision ..."
  build_tree "$base/source" "$base/build" "-I$shims"
  figures+=("$base/build/windows" "$base/build/native_bench.json")
fi

# A private display and Wine prefix, taken down again whatever happens.
export MEASURIX_E2E_STATE=$build/bench-env
export MXDRIVER_EXE=$build/windows/mxdriver.exe
export PYTHONPATH=$root/tests/e2e PYTHONDONTWRITEBYTECODE=1
trap 'python3 -m harness.environment down >/dev/null' EXIT
python3 -m harness.environment up >/dev/null

echo "Measuring under Wine (about two minutes per build) ..."
python3 bench/wine_figures.py "${figures[@]}"
echo "(The CPU figures are percent of one core. The machine is shared: repeat a run before trusting a difference.)"
