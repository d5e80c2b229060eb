#!/usr/bin/env bash
# Builds the optimized program and the benchmark, then times the program against the
# plain-copying baselines. Arguments go to the runner: scales (small, medium, large;
# medium and large by default), --rounds N (3 by default), --quick (small, one round).
# The game folders and their copies go under build/bench/work.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset bench >/dev/null
cmake --build --preset bench --target quillon-headless quillon-bench
exec build/bench/bench/quillon-bench run --headless build/bench/src/headless/quillon-headless \
    --work build/bench/work "$@"
