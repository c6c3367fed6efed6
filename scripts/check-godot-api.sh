#!/usr/bin/env bash
# Usage: scripts/check-godot-api.sh PATH_TO_GODOT_CPP
#
# Syntax-checks every library source (src/**/*.cpp) against a real godot-cpp
# checkout instead of the stand-in. The engine cannot be installed on the build
# machines, so the tests run against standin/; this keeps the sources valid
# against the real generated bindings. It compiles nothing into objects and
# downloads nothing: pass a godot-cpp tree that has gdextension/, include/ and
# gen/include/ (the bindings must already be generated).
# Prints one line per file; exits non-zero if any file fails.
set -uo pipefail

if [[ $# -ne 1 ]]; then
  echo "usage: $0 PATH_TO_GODOT_CPP" >&2
  exit 2
fi
godot_cpp=$(cd "$1" 2>/dev/null && pwd) || {
  echo "no such directory: $1" >&2
  exit 2
}
for dir in gdextension include gen/include; do
  if [[ ! -d "$godot_cpp/$dir" ]]; then
    echo "$godot_cpp/$dir is missing (not a godot-cpp tree with generated bindings?)" >&2
    exit 2
  fi
done

cd "$(dirname "$0")/.." || exit 2
cxx=${CXX:-g++}

# The project's warning and floating-point flags (cmake/BrinewakeFlags.cmake),
# and the defines a godot-cpp Linux debug template build passes.
flags=(-std=c++17 -fsyntax-only
  -Wall -Wextra -Werror -Wfloat-conversion -Wshadow
  -ffp-contract=off -fno-fast-math
  -DLINUX_ENABLED -DUNIX_ENABLED -DTHREADS_ENABLED -DHOT_RELOAD_ENABLED
  -DDEBUG_ENABLED -DDEBUG_METHODS_ENABLED -DNDEBUG -DGDEXTENSION
  -I src
  -isystem "$godot_cpp/gdextension" -isystem "$godot_cpp/include" -isystem "$godot_cpp/gen/include")
case "$(uname -m)" in
  x86_64 | i?86) flags+=(-msse2 -mfpmath=sse) ;;
esac

mapfile -t sources < <(find src -name '*.cpp' | sort)
if [[ ${#sources[@]} -eq 0 ]]; then
  echo "no sources found under src/" >&2
  exit 2
fi

failed=0
for source in "${sources[@]}"; do
  if output=$("$cxx" "${flags[@]}" "$source" 2>&1); then
    echo "ok   $source"
  else
    echo "FAIL $source"
    printf '%s\n' "$output" | sed 's/^/     /'
    failed=$((failed + 1))
  fi
done

echo "${#sources[@]} files, $failed failed (godot-cpp: $godot_cpp)"
[[ $failed -eq 0 ]]
