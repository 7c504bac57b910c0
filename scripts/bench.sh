#!/usr/bin/env bash
# Builds the benchmarks optimised (build/bench) and runs them. They print, never assert.
#   scripts/bench.sh [FILES] [PASSES]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEMO_TESTS=ON >/dev/null
cmake --build build/bench -j2 --target vemo_audio_bench
build/bench/bin/vemo_audio_bench "$@"
