#!/usr/bin/env bash
# Draws the desktop program's windows off screen on a fresh copy of the demo game and
# saves them as docs/main-window.png, docs/setup-manager.png, docs/setup-files.png and
# docs/preview.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build/screenshots
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target quillon-screenshots
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build/tests/qt/quillon-screenshots" docs
echo "Written: docs/main-window.png docs/setup-manager.png docs/setup-files.png docs/preview.png"
