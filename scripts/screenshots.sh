#!/usr/bin/env bash
# Draws the desktop program's windows on a fresh copy of the demo game: the Qt windows
# off screen (docs/main-window.png, docs/setup-manager.png, docs/setup-files.png,
# docs/preview.png, docs/verify.png), then the main window and the setup manager under
# Wine on a private display (docs/windows-main-window.png, docs/windows-setup-manager.png).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xauth imagemagick
build=build/screenshots
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target quillon-screenshots
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build/tests/qt/quillon-screenshots" docs
echo "Written: docs/main-window.png docs/setup-manager.png docs/setup-files.png docs/preview.png docs/verify.png"

cmake --preset windows >/dev/null
cmake --build --preset windows --target quillon-win32-screenshots
source scripts/wine-env.sh
# Always a display of its own, so that nothing else stands on the pictures.
private_display
start_wine
pictures=build/windows/screenshots
rm -rf "$pictures"
mkdir -p "$pictures"
# A Wine desktop window draws the title bars as Windows would (Wine drive Z: is /).
folder="Z:$(realpath "$pictures" | tr / '\\')"
"$wine" explorer /desktop=Quillon,1400x1024 \
  build/windows/tests/win32/quillon-win32-screenshots.exe "$folder" </dev/null >/dev/null 2>&1
for name in windows-main-window windows-setup-manager; do
  convert "$pictures/$name.bmp" "docs/$name.png"
done
echo "Written: docs/windows-main-window.png docs/windows-setup-manager.png"
