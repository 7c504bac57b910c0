#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) in build/fuzz and runs each of them.
#   scripts/fuzz.sh [short]   15 seconds a target, under 2 minutes in all (part of scripts/test.sh)
#   scripts/fuzz.sh long      10 minutes a target
#   scripts/fuzz.sh SECONDS   any other time a target
# Seeds are made at run time (lame, when present), one folder per input format in
# build/fuzz/seeds; the corpus grows in build/fuzz/corpus
# and findings land in build/fuzz/findings. An allocation above 64 MB counts as a finding:
# no size from the file may make the readers allocate more than the file holds. Exit status 1 when a target finds anything.
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-short}" in
  short) seconds=15 ;;
  long) seconds=600 ;;
  *[!0-9]*|'') echo "usage: scripts/fuzz.sh [short | long | SECONDS]" >&2; exit 2 ;;
  *) seconds=$1 ;;
esac

build=build/fuzz
targets=(fuzz_mpeg fuzz_id3v1 fuzz_id3v2 fuzz_settings fuzz_text fuzz_tag_writer)

cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEMO_FUZZ=ON -DVEMO_SANITIZE=ON -DVEMO_TESTS=OFF -DVEMO_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

seeds="$build/seeds"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Makes the seed folder of a kind as $s; false when it is already there (seeds are made once).
new_seeds() {
  s="$seeds/$1"
  [ ! -d "$s" ] && mkdir -p "$s"
}
# Which seed folder a target starts from.
seeds_of() {
  case "$1" in
    fuzz_settings) echo "$seeds/settings" ;;
    fuzz_text) echo "$seeds/text" ;;
    fuzz_tag_writer) echo "$seeds/tag_writer" ;;
    *) echo "$seeds/audio" ;;
  esac
}

# Two short encoded files in $tmp, when lame is there; false without them.
make_mp3s() {
  command -v lame >/dev/null && command -v ffmpeg >/dev/null || return 1
  [ -f "$tmp/cbr.mp3" ] && return 0
  ffmpeg -v error -f lavfi -i 'sine=frequency=440:duration=0.2' -ac 2 -ar 44100 "$tmp/t.wav"
  lame --quiet -b 32 --tt Title --ta Artist --tc Comment --tn 3 --tg Rock --add-id3v2 "$tmp/t.wav" "$tmp/cbr.mp3"
  lame --quiet -V 9 --id3v2-only --tt "Vbr" "$tmp/t.wav" "$tmp/vbr.mp3"
}

# Audio files: the first byte picks the reader's chunk size, the rest is a file.
if new_seeds audio; then
  printf '\x00\xff\xfb\x90\x64' > "$s/frame"
  printf '\x03ID3\x03\x00\x00\x00\x00\x00\x15TIT2\x00\x00\x00\x05\x00\x00\x00Song\xff\xfb\x90\x64' > "$s/id3v23"
  printf '\x05ID3\x04\x00\x40\x00\x00\x00\x1b\x00\x00\x00\x06\x01\x00TPE1\x00\x00\x00\x05\x00\x00\x03A\x00B\x00' > "$s/id3v24"
  { printf '\x02'; printf 'TAG%-30s%-30s%-30s1999%-28s\x00\x07\x11' Title Artist Album Comment; } > "$s/id3v1"
  if make_mp3s; then
    for f in cbr vbr; do { printf '\x08'; cat "$tmp/$f.mp3"; } > "$s/lame_$f"; done
  fi
fi

# Settings files: the whole input is Plugin.ini.
if new_seeds settings; then
  section='[Vemo Plugin]\r\nVemo on song start=1\r\nLaunch minimized=0\r\nAutoplay=1\r\nVisualization=0\r\nDisable vemos=0\r\nTrack numbers=7\r\nDisabled=0\r\nPrompt on deletion=1\r\nRemove folder=1\r\nSystray icon=0\r\nDestination folder=D:\\Music\r\nPrev=8 90\r\nPlayPause=8 88\r\nStopTrack=8 67\r\nNext=8 86\r\nIncVol=8 38\r\nDecVol=8 40\r\nMinMax=8 65\r\nSeekFwd=8 37\r\nSeekBkw=8 39\r\nMPEGInfo=10 32\r\nQuit=8 81\r\nShuffle=8 83\r\nRepeat=8 78\r\nConfig=8 192\r\nPrvWOShuffle=9 90\r\nNxtWOShuffle=9 86\r\nTrackInfo=8 32\r\nShflOn=9 83\r\nRptOn=9 78\r\nTAG=8 51\r\nID3v1=8 49\r\nPreferences=8 80\r\nVisPlug=8 75\r\nStopWFadeout=12 67\r\nID3v2=8 50\r\nID3Any=9 32\r\nStopAfterCurr=10 67\r\nReadOnlyToggle=9 82\r\nPhysDelete=8 46\r\nEQ=10 78\r\nCopyFile=8 116\r\nMoveFile=8 117\r\nJumpTo=8 74\r\nRenameFile=8 113\r\nModifyID3=8 114'
  printf "$section" > "$s/alone"
  printf "[Other]\r\nkey=value\r\n\r\n$section\r\n[Later]\r\nx=1" > "$s/between"
  printf "$section" | tr -d '\r' > "$s/lf_only"
  printf "; note\n[Vemo Plugin]\nPrev=-2147483648 0x7fffffff\nNext=\$1F\nQuit=x10   5\nEQ\nTAG=8\n[Vemo Plugin]\nAutoplay=1\n[A]\r\n[Vemo Plugin]\r" > "$s/odd_values"
  { printf '[Vemo Plugin]\r\nDestination folder='; head -c 300 /dev/zero | tr '\0' 'f'; printf '\rcut\r\n'; } > "$s/long_folder"
fi

# Text helpers: the first byte cuts the rest into artist and title.
if new_seeds text; then
  printf '  -2147483649' > "$s/number"
  printf '0x1fFfFfFfF' > "$s/hex"
  printf '\x06Artist - Title.mp3' > "$s/track"
  printf '\x04dir/a: b - c?.d - e.mp3' > "$s/path"
  printf '\x05nul .x  ..' > "$s/device"
  printf '\x03COM7\x01\x1f|' > "$s/controls"
fi

# Tag writer: byte 0 the artist's length (0xC0 set: no " - "), byte 1 the title's, then the file.
if new_seeds tag_writer; then
  audio='\xff\xfb\x90\x64\x00\x11\x22\x33\x44\x55\x66\x77'
  printf "\x05\x07$audio" > "$s/plain_v1"
  { printf '\x05\x07'; printf "$audio"; printf 'TAG%-30s%-30s%-30s1999%-28s\x00\x07\x11' T A Album C; } > "$s/tagged_v1"
  printf "\x28\x05$audio" > "$s/plain_v2"
  # 2.3: TALB, TPE1 and COMM, 20 bytes of padding.
  { printf '\x05\x28ID3\x03\x00\x00\x00\x00\x00\x46TALB\x00\x00\x00\x06\x00\x00\x00AlbumTPE1\x00\x00\x00\x04\x00\x00\x00OldCOMM\x00\x00\x00\x0a\x00\x00\x00eng\x00Hello'
    head -c 20 /dev/zero; printf "$audio"; } > "$s/v23_padded"
  # 2.4 with a footer and no padding: TIT2 and TCON.
  printf "\x30\x30ID3\x04\x00\x10\x00\x00\x00\x1dTIT2\x00\x00\x00\x04\x00\x00\x03OldTCON\x00\x00\x00\x05\x00\x00\x00Rock3DI\x04\x00\x10\x00\x00\x00\x1d$audio" > "$s/v24_footer"
  # 2.4 with room to spare: rewritten in place.
  { printf '\x3f\x3fID3\x04\x00\x00\x00\x00\x01\x40TPE1\x00\x00\x00\x04\x00\x00\x00OldTXXX\x00\x00\x00\x05\x00\x00\x00a\x00b1'; head -c 163 /dev/zero; printf "$audio"; } > "$s/v24_room"
  printf "\x28\x28ID3\x02\x00\x00\x00\x00\x00\x10TT2\x00\x00\x04\x00Old\x00\x00\x00\x00\x00\x00$audio" > "$s/v22"
  if make_mp3s; then { printf '\x20\x28'; head -c 4000 "$tmp/cbr.mp3"; } > "$s/lame_cbr"; fi
fi

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  echo "== $target: $seconds s"
  log="$build/$target.log"
  if ! "$build/bin/$target" -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=64 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$(seeds_of "$target")" >"$log" 2>&1; then
    status=1
    tail -n 40 "$log"
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  echo "   corpus: $(ls "$corpus" | wc -l) inputs; findings: $(ls "$findings" | wc -l)"
done
exit $status
