#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) in build/fuzz and runs each of them.
#   scripts/fuzz.sh [short]   about 20 seconds a target (part of scripts/test.sh)
#   scripts/fuzz.sh long      10 minutes a target
#   scripts/fuzz.sh SECONDS   any other time a target
# Seeds are made at run time (lame, when present); the corpus grows in build/fuzz/corpus
# and findings land in build/fuzz/findings. An allocation above 64 MB counts as a finding:
# no size from the file may make the readers allocate more than the file holds. Exit status 1 when a target finds anything.
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-short}" in
  short) seconds=20 ;;
  long) seconds=600 ;;
  *[!0-9]*|'') echo "usage: scripts/fuzz.sh [short | long | SECONDS]" >&2; exit 2 ;;
  *) seconds=$1 ;;
esac

build=build/fuzz
targets=(fuzz_mpeg fuzz_id3v1 fuzz_id3v2)

cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEMO_FUZZ=ON -DVEMO_SANITIZE=ON -DVEMO_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

# Seeds: the first byte picks the reader's chunk size, the rest is a file.
seeds="$build/seeds"
if [ ! -d "$seeds" ]; then
  mkdir -p "$seeds"
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  printf '\x00\xff\xfb\x90\x64' > "$seeds/frame"
  printf '\x03ID3\x03\x00\x00\x00\x00\x00\x15TIT2\x00\x00\x00\x05\x00\x00\x00Song\xff\xfb\x90\x64' > "$seeds/id3v23"
  printf '\x05ID3\x04\x00\x40\x00\x00\x00\x1b\x00\x00\x00\x06\x01\x00TPE1\x00\x00\x00\x05\x00\x00\x03A\x00B\x00' > "$seeds/id3v24"
  { printf '\x02'; printf 'TAG%-30s%-30s%-30s1999%-28s\x00\x07\x11' Title Artist Album Comment; } > "$seeds/id3v1"
  if command -v lame >/dev/null && command -v ffmpeg >/dev/null; then
    ffmpeg -v error -f lavfi -i 'sine=frequency=440:duration=0.2' -ac 2 -ar 44100 "$tmp/t.wav"
    lame --quiet -b 32 --tt Title --ta Artist --tc Comment --tn 3 --tg Rock --add-id3v2 "$tmp/t.wav" "$tmp/cbr.mp3"
    lame --quiet -V 9 --id3v2-only --tt "Vbr" "$tmp/t.wav" "$tmp/vbr.mp3"
    for f in cbr vbr; do { printf '\x08'; cat "$tmp/$f.mp3"; } > "$seeds/lame_$f"; done
  fi
fi

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  echo "== $target: $seconds s"
  log="$build/$target.log"
  if ! "$build/bin/$target" -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=64 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1; then
    status=1
    tail -n 40 "$log"
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  echo "   corpus: $(ls "$corpus" | wc -l) inputs; findings: $(ls "$findings" | wc -l)"
done
exit $status
