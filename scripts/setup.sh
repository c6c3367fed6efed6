#!/usr/bin/env bash
# Installs what the build needs, from Debian's packages, when it is missing.
set -euo pipefail
packages=(g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev clang-format)
# The simulator's command line, event log, formatting and plots.
packages+=(libcli11-dev nlohmann-json3-dev libfmt-dev python3-matplotlib)
# The demo's GDScript checks need Node.js and npm (for tree-sitter's GDScript grammar, below); a node
# installed otherwise (with its own npm) serves as well.
command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm)
# The trigonometry's accuracy test measures against MPFR.
packages+=(libmpfr-dev)
[ "${BRINEWAKE_WITH_FUZZERS:-0}" = 1 ] && packages+=(clang libclang-rt-14-dev)
"$(dirname "$0")/install-missing.sh" "${packages[@]}"

# tree-sitter and its GDScript grammar, at the versions package-lock.json pins (prebuilt for Linux x64).
checker=tools/gdscript_check
cd "$(dirname "$0")/.."
if [ ! -d "$checker/node_modules/tree-sitter-gdscript" ] || [ ! -d "$checker/node_modules/tree-sitter" ]; then
  echo "setup: installing the GDScript grammar for the demo checks"
  npm ci --prefix "$checker" --no-audit --no-fund --loglevel=error
fi
