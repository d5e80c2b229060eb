#!/usr/bin/env bash
# Checks the layout of every source file, builds Quillon with warnings as errors,
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Every source file laid out as .clang-format says; a difference fails the run.
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

cmake --preset dev
cmake --build --preset dev
ctest --preset dev

# The benchmark's smoke test: it must run and find the program's work done, at no speed
# in particular.
bench/run.sh --quick

# The readers of the files players hand the program, under libFuzzer (clang): each
# fuzz target for 30 seconds from its corpus.
scripts/test-fuzz.sh

# The Debian package: checked, installed as a user installs it, run, and removed.
scripts/test-package.sh

# Then the Windows build: cross-compiled, its tests run under Wine.
scripts/test-windows.sh
