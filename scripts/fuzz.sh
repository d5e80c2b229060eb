#!/usr/bin/env bash
# Builds the fuzz targets with clang (the "fuzz" preset) and runs one of them with
# libFuzzer: scripts/fuzz.sh TARGET [SECONDS], TARGET one of moddef, settings,
# userprofile, varnix; SECONDS 600 unless given. It starts from the seeds in
# tests/fuzz/corpus/TARGET and keeps the inputs it finds worth keeping in
# build/fuzz/corpus/TARGET; an input that breaks the target is left in
# build/fuzz/findings/TARGET/ and the run fails.
set -euo pipefail
cd "$(dirname "$0")/.."

targets="moddef settings userprofile varnix"
target=${1:-}
seconds=${2:-600}
if [ -z "$target" ] || [[ " $targets " != *" $target "* ]]; then
  echo "usage: scripts/fuzz.sh TARGET [SECONDS]   (TARGET: ${targets// /, })" >&2
  exit 2
fi

scripts/install-deps.sh clang libclang-rt-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

binary="build/fuzz/tests/fuzz/fuzz_$target"
corpus="build/fuzz/corpus/$target"
findings="build/fuzz/findings/$target"
mkdir -p "$corpus" "$findings"

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# One process: the machine is shared. The time limit of one input catches a reader
# that is slow on what it was given; the targets check at start that reading takes
# time linear in the size of the file.
if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
  -dict="tests/fuzz/$target.dict" -artifact_prefix="$findings/" -print_final_stats=1 \
  "$corpus" "tests/fuzz/corpus/$target"; then
  echo "fuzz.sh: $target broke; the input is in $findings/. Minimise it with" >&2
  echo "  $binary -minimize_crash=1 -runs=100000 -artifact_prefix=$findings/ $findings/crash-..." >&2
  echo "then keep it in tests/fuzz/corpus/$target/ with the fix." >&2
  exit 1
fi
