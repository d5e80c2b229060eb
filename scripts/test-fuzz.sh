#!/usr/bin/env bash
# The readers of the files players hand the program, under libFuzzer: each fuzz
# target runs 30 seconds (QUILLON_FUZZ_SECONDS) from its corpus, one after the other.
set -euo pipefail
cd "$(dirname "$0")/.."

for target in moddef settings userprofile varnix; do
  echo "Fuzzing $target for ${QUILLON_FUZZ_SECONDS:-30} seconds"
  scripts/fuzz.sh "$target" "${QUILLON_FUZZ_SECONDS:-30}"
done
