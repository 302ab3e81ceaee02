#!/usr/bin/env bash
# Builds Lumetra and runs every test. --sanitize: the same under ASan and UBSan in build-asan/.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
lumetra_install_deps

dir=build
opts=(-DLUMETRA_SANITIZE=OFF)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  opts=(-DLUMETRA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  # Qt's font and platform plugins keep process-lifetime allocations; leaks are not faults here.
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
[ "${CI:-}" = "true" ] && opts+=(-DLUMETRA_WERROR=ON)

lumetra_build "$dir" "${opts[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j "$(nproc)" --timeout 300
