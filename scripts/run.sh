#!/usr/bin/env bash
# Builds Measurix and runs it.
#   Windows (MSYS2 MinGW-w64 shell): builds build/measurix.exe and starts it.
#   Linux: builds the Windows program with mingw-w64 and runs it under Wine,
#   inside a Wine desktop that covers your screen (the global keys of the
#   ruler only reach Wine's own windows). Without a DISPLAY it runs on a
#   private virtual screen (Xvfb) until the program ends: Ctrl+C (or SIGTERM
#   to this script) ends it as Exit & Disable does.
# Arguments are passed to measurix.exe (-hide, -exit, -restart).
# MEASURIX_BUILD_DIR chooses another build directory than build/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MEASURIX_BUILD_DIR:-build}

case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*)
    cmake -S . -B "$build" -G "MinGW Makefiles" -DCMAKE_BUILD_TYPE=Release \
      ${GTEST_SOURCE_DIR:+-DGTEST_SOURCE_DIR="$GTEST_SOURCE_DIR"}
    cmake --build "$build" -j2 --target measurix
    exec "./$build/measurix.exe" "$@"
    ;;
esac

bash scripts/install_deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2 --target windows_build
exe=$PWD/$build/windows/measurix.exe
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  size=$(xdpyinfo | awk '/dimensions:/ && !done { print $2; done = 1 }')
  echo "Running measurix.exe in a Wine desktop of $size on $DISPLAY (close it with the options window's Exit button)."
  exec wine explorer /desktop=Measurix,"$size" "$exe" "$@"
fi

# No display: a private Xvfb and Wine prefix, the same as the tests use.
export MEASURIX_E2E_STATE=${MEASURIX_RUN_STATE:-/tmp/measurix-run-${USER:-$(id -u)}}
export MXDRIVER_EXE=$PWD/$build/windows/mxdriver.exe
cd tests/e2e
python3 -m harness.environment up
trap 'python3 -m harness.environment down' EXIT
eval "$(python3 -m harness.environment env)"
echo "Running measurix.exe on the virtual display $DISPLAY; press Ctrl+C to stop."
echo "A look at the screen: DISPLAY=$DISPLAY import -window root screen.png"
# A program under Wine ignores Ctrl+C, so the script answers it: it asks the
# running instance to end as the options window's Exit & Disable does
# (settings saved, mouse speed restored), waits for it, and the EXIT trap
# then takes the private display and Wine server down. A second Ctrl+C
# while that hangs ends the program outright.
wine "$exe" "$@" &
program=$!
stops=0
stop() {
  stops=$((stops + 1))
  if [ "$stops" -eq 1 ]; then
    echo "Ending measurix.exe (Ctrl+C again to end it at once)..."
    wine "$exe" -exit || true
  else
    kill "$program" 2>/dev/null || true
  fi
}
trap stop INT TERM
# A trapped signal cuts a wait short; wait again until the program has ended.
while kill -0 "$program" 2>/dev/null; do
  wait "$program" || true
done
