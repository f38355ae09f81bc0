#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build build
# Slow checks (fuzzing, sanitizers) carry the label "slow" and run only when asked.
ctest --test-dir build --output-on-failure -j "$(nproc)" -LE slow "$@"
