#!/usr/bin/env bash
# Builds the library and the headless simulator, then runs it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBRINEWAKE_WARNINGS_AS_ERRORS=ON -DBRINEWAKE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/release -j "$(nproc)" --target brinewake brinewake-sim
exec build/release/bin/brinewake-sim "$@"
