#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZL_WERROR=ON
cmake --build build
# Every test but the slow checks (label "slow": crash and contention loops, the fuzzers), which run
# only when asked: ./test.sh -L slow at full size, ZL_SLOW_TESTS=ci ./test.sh -L slow sized for CI.
# Any arguments go to ctest in place of the default selection.
if [ $# -gt 0 ]; then
  ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
else
  ctest --test-dir build --output-on-failure -j "$(nproc)" -LE slow
fi
