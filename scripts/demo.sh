#!/usr/bin/env bash
# Builds Quillon and runs it on a fresh copy of the demo game.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

game=build/demo/game
rm -rf build/demo
mkdir -p build/demo
cp -r examples/demo-game "$game"
echo "Demo game copied to $game"

headless=build/release/src/headless/quillon-headless
cat > build/demo/demo-script.txt <<'SCRIPT'
# A first run: initialize the new mods, look at the setups, apply one and launch.
answer Yes
answer Yes
answer Yes
answer Yes
answer Yes
start
show lstSetups
show txtCurrentSetup
SCRIPT
(cd "$game" && "../../../$headless" ../demo-script.txt)
