#!/usr/bin/env bash
# Builds the benchmarks optimised (build/bench) and runs them. They print, never assert.
#   scripts/bench.sh            the MP3 analysis (300 files, 5 passes), then tagging a
#                               100 MB file (audio moved, in place) beside a copy of it
#   scripts/bench.sh audio|tag [ARGS...]   one of them, with its own arguments
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEMO_TESTS=ON >/dev/null
cmake --build build/bench -j2 --target vemo_audio_bench vemo_tag_bench
case "${1:-all}" in
  audio) shift; build/bench/bin/vemo_audio_bench "$@" ;;
  tag) shift; build/bench/bin/vemo_tag_bench "$@" ;;
  all) build/bench/bin/vemo_audio_bench; echo; build/bench/bin/vemo_tag_bench ;;
  *) echo "usage: scripts/bench.sh [audio|tag [ARGS...]]" >&2; exit 2 ;;
esac
