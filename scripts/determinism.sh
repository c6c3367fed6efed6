#!/usr/bin/env bash
# Builds the engine-free determinism program (tools/determinism) for Linux x86-64 (g++ -O0 and -O2,
# clang++ -O2, g++ -O2 with AVX2 and FMA instructions allowed, g++ -O2 with the scalar path in place of
# the SSE2 lanes), Linux arm64 (cross g++, run under
# qemu-user) and Windows x86-64 (MinGW-w64, run under wine), prints its hashes as a table, one line per
# hash and one column per build, and fails unless every build prints the constants in
# tools/determinism/expected.txt.
#   scripts/determinism.sh          the library's own trigonometry (what ships)
#   scripts/determinism.sh --libc   the C library's sin and cos instead, for comparison: reports which
#                                   builds agree with the first, and fails if any does not
set -euo pipefail
cd "$(dirname "$0")/.."

mode=own
[ "${1:-}" = "--libc" ] && mode=libc

# Compilers, emulators and wine from Debian's packages, when missing.
packages=(g++ clang g++-aarch64-linux-gnu qemu-user g++-mingw-w64-x86-64 wine wine64)
scripts/install-missing.sh --no-install-recommends "${packages[@]}"

out=build/determinism/$mode
mkdir -p "$out"
export WINEDEBUG=-all
export WINEPREFIX=$PWD/build/determinism/wineprefix

sources=(tools/determinism/determinism.cpp src/rules/trig.cpp src/rules/hull_model.cpp src/rules/wave_field.cpp
  src/boat_motion/motion_integrator.cpp)
# The project's floating-point flags: no contraction, no fast-math.
flags=(-std=c++17 -Wall -Wextra -Werror -Wfloat-conversion -Wshadow -ffp-contract=off -fno-fast-math
  -Isrc -Istandin/include)
[ "$mode" = libc ] && flags+=(-DBRINEWAKE_LIBC_TRIG)
sse=(-msse2 -mfpmath=sse)

# name | compiler and its flags | how to run
builds=(
  "linux-x86_64 g++ -O0|g++ -O0 ${sse[*]}|"
  "linux-x86_64 g++ -O2|g++ -O2 ${sse[*]}|"
  "linux-x86_64 clang++ -O2|clang++ -O2 ${sse[*]}|"
  "linux-x86_64 g++ -O2 avx2+fma|g++ -O2 -mavx2 -mfma|"
  "linux-x86_64 g++ -O2 scalar lanes|g++ -O2 ${sse[*]} -DBRINEWAKE_SCALAR_TRIG|"
  "linux-arm64 g++ -O2 (qemu)|aarch64-linux-gnu-g++ -O2|qemu-aarch64 -L /usr/aarch64-linux-gnu"
  "windows-x86_64 mingw g++ -O2 (wine)|x86_64-w64-mingw32-g++ -O2 ${sse[*]} -static|wine"
)

names=()
results=()
for i in "${!builds[@]}"; do
  IFS='|' read -r name compile runner <<<"${builds[$i]}"
  exe="$out/determinism-$i"
  [[ "$compile" == x86_64-w64-mingw32* ]] && exe="$exe.exe"
  # shellcheck disable=SC2086
  $compile "${flags[@]}" "${sources[@]}" -o "$exe"
  # shellcheck disable=SC2086
  output=$($runner "$exe" 2>/dev/null | tr -d '\r')
  names+=("$name")
  results+=("$output")
done

# The table: one row per hash, one column per build.
hashes=(trig sea hull predictor)
value_of() { # output, hash name
  awk -v n="$2" '$1 == n { print $2 }' <<<"$1"
}
printf '%-10s' "hash"
for n in "${names[@]}"; do printf ' | %s' "$n"; done
printf '\n'
status=0
for h in "${hashes[@]}"; do
  printf '%-10s' "$h"
  first=$(value_of "${results[0]}" "$h")
  expected=$(awk -v n="$h" '$1 == n { print $2 }' tools/determinism/expected.txt)
  for i in "${!results[@]}"; do
    v=$(value_of "${results[$i]}" "$h")
    mark=""
    if [ -z "$v" ]; then
      v="(none)"
      status=1
    fi
    if [ "$mode" = own ] && [ "$v" != "$expected" ]; then
      mark="*"
      status=1
    fi
    if [ "$mode" = libc ] && [ "$v" != "$first" ]; then
      mark="*"
      status=1
    fi
    printf ' | %s%s' "$v" "$mark"
  done
  printf '\n'
done
if [ "$mode" = own ]; then
  [ $status -eq 0 ] && echo "determinism: every build prints the committed constants" ||
    echo "determinism: FAILED: values marked * differ from tools/determinism/expected.txt"
else
  [ $status -eq 0 ] && echo "determinism (C library): every build agrees" ||
    echo "determinism (C library): values marked * differ from the first build's"
fi
exit $status
