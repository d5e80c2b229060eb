#!/usr/bin/env bash
# Cross-builds Quillon for Windows with MinGW-w64 (warnings as errors) and runs the
# unit tests and the scenario tests under Wine, on a game folder on drive C:.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64

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
stop_server() { "$wineserver" -k </dev/null >/dev/null 2>&1 || true; }
trap stop_server EXIT
"$wineserver" -p </dev/null >/dev/null 2>&1
[ -f "$WINEPREFIX/system.reg" ] || echo "Preparing the Wine prefix (once)"
"$wine" wineboot --init </dev/null >/dev/null 2>&1

ctest --preset windows
