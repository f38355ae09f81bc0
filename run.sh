#!/usr/bin/env bash
# Sets up the machine, builds the program in Release and starts it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZL_BUILD_TESTS=OFF -DZL_BUILD_BENCH=OFF
cmake --build build-release --target ZeltoLavrix
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display found, starting under xvfb-run (a virtual screen)"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./build-release/src/app/ZeltoLavrix
fi
exec ./build-release/src/app/ZeltoLavrix
