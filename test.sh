#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZL_WERROR=ON
cmake --build build
# Slow checks (crash and contention loops, the fuzzer) carry the label "slow" and run only when
# asked: ./test.sh -L slow. Any arguments go to ctest in place of the default selection.
if [ $# -gt 0 ]; then
  ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
else
  ctest --test-dir build --output-on-failure -j "$(nproc)" -LE slow
fi
