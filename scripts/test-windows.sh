#!/usr/bin/env bash
# Cross-builds Quillon for Windows with MinGW-w64 (warnings as errors) and runs the
# unit tests, the scenario tests (on a game folder on drive C:) and the desktop
# windows' tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xauth

cmake --preset windows
cmake --build --preset windows

source scripts/wine-env.sh
# The windows' tests draw real windows, which Wine puts on an X display.
[ -n "${DISPLAY:-}" ] || private_display
start_wine

ctest --preset windows

# The download a player unzips into the game folder: both programs and README.txt.
(cd build/windows && cpack >/dev/null)
zip=$(ls build/windows/quillon-*-windows-x64.zip)
listed=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
if [ "$listed" != "README.txt quillon-headless.exe quillon.exe " ]; then
  echo "test-windows: $zip holds $listed" >&2
  exit 1
fi
echo "Packed: $zip"
