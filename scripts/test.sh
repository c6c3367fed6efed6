#!/usr/bin/env bash
# Builds from scratch and runs every test, then again under AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

run_suite() { # build-dir, extra cmake arguments...
  local dir=$1; shift
  rm -rf "$dir"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRINEWAKE_WARNINGS_AS_ERRORS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite build/ci
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build/ci-sanitize -DBRINEWAKE_SANITIZE=ON -DBRINEWAKE_BUILD_BENCHMARKS=OFF

# The same bits on every platform: the determinism program on Linux x86-64, Linux arm64 and Windows.
scripts/determinism.sh
