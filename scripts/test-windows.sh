#!/usr/bin/env bash
# Cross-builds Quillon for Windows with MinGW-w64 (warnings as errors) and runs the
# unit tests, the scenario tests (on a game folder on drive C:) and the desktop
# windows' tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth

cmake --preset windows
cmake --build --preset windows

# Debian keeps the 64-bit loader and the server out of the PATH.
find_tool() {
  local candidate
  for candidate in "/usr/lib/wine/$1" "/usr/lib64/wine/$1" "$(command -v "$1" || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then
      echo "$candidate"
      return 0
    fi
  done
  echo "test-windows: $1 not found" >&2
  return 1
}
wine=$(find_tool wine64)
wineserver=$(find_tool wineserver)

# The same prefix and settings as the tests are given (tests/CMakeLists.txt).
export WINEPREFIX="$PWD/build/windows/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# One server for the whole run, so that each program starts in about a second rather
# than three. Neither it nor Wine's own services, which live as long as it does, may
# inherit a pipe: whoever reads that pipe would wait for them for good. So the
# services are started here, by wineboot, rather than by the first test.
mkdir -p "$WINEPREFIX"
xvfb=""
stop_server() {
  "$wineserver" -k </dev/null >/dev/null 2>&1 || true
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
}
trap stop_server EXIT

# The windows' tests draw real windows, which Wine puts on an X display: without one,
# a private Xvfb serves for the run (it tells the display it chose).
if [ -z "${DISPLAY:-}" ]; then
  chosen=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$chosen" </dev/null >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do
    [ -s "$chosen" ] && break
    sleep 0.1
  done
  [ -s "$chosen" ] || { echo "test-windows: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$chosen")"
  rm -f "$chosen"
fi
"$wineserver" -p </dev/null >/dev/null 2>&1
[ -f "$WINEPREFIX/system.reg" ] || echo "Preparing the Wine prefix (once)"
"$wine" wineboot --init </dev/null >/dev/null 2>&1

ctest --preset windows
