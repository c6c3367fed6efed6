#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on) and
# runs each for a bounded time: scripts/fuzz.sh [seconds per target, default 60].
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
BRINEWAKE_WITH_FUZZERS=1 scripts/setup.sh

dir=build/fuzz
CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRINEWAKE_BUILD_FUZZERS=ON \
  -DBRINEWAKE_WARNINGS_AS_ERRORS=ON -DBRINEWAKE_SANITIZE=ON -DBRINEWAKE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target fuzz_boat_packet fuzz_network_state fuzz_replica_packet \
  fuzz_match_state

# Seed corpora: a fresh boat's packet; a replica packet with one burning rocket.
mkdir -p "$dir/corpus/boat_packet" "$dir/corpus/network_state" "$dir/corpus/replica_packet" \
  "$dir/corpus/match_state" "$dir/artifacts"
{
  head -c 26 /dev/zero; printf '\200\077'        # position, rotation (0, 0, 0, 1)
  head -c 26 /dev/zero; printf '\110\102'        # velocities, health 50
  head -c 32 /dev/zero; printf '\001\002'        # timers, controls, wind, wave time; weapon 1, 2 entries
  head -c 4 /dev/zero; printf '\074'; head -c 3 /dev/zero # ammunition 0 and 60
} >"$dir/corpus/boat_packet/fresh_boat"
{
  printf '\001\000\000\000\007'; head -c 7 /dev/zero    # one shot, no items; id 7
  printf '\000\001'                                     # kind 0, burning
  printf '\000\000\200\077\000\000\000\100\000\000\100\100' # position 1, 2, 3
  printf '\000\000\200\101'; head -c 8 /dev/zero       # velocity 16, 0, 0
  printf '\000\000\200\076'                             # age 0.25
} >"$dir/corpus/replica_packet/rocket"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in boat_packet network_state replica_packet match_state; do
  echo "fuzz: $target for ${seconds}s"
  log="$dir/fuzz_$target.log"
  if "$dir/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/${target}-" "$dir/corpus/$target" >"$log" 2>&1; then
    grep -E "^stat::(number_of_executed_units|new_units_added)" "$log" || true
  else
    tail -n 40 "$log"
    echo "fuzz: $target failed (log: $log)"
    status=1
  fi
done
exit $status
