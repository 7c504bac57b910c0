#!/usr/bin/env bash
# vemo-tag from the outside: the bytes it writes, its lines, usage and exit status, and
# files it refuses left byte for byte as they were.
#   vemo_tag_test.sh path/to/vemo-tag
source "$(dirname "$0")/cli_checks.sh"
same() {  # name expected-file actual-file
  cmp -s "$2" "$3" || { echo "FAIL: $1: bytes differ"; failures=$((failures + 1)); }
}
run() {  # runs the tool, leaving its output in out and its exit status in status
  status=0
  out=$("$tool" "$@" 2>"$dir/err") || status=$?
}

audio() { head -c 3000 /dev/urandom | tr -d 'ITD3'; }  # never "ID3" or "TAG"
long="Some Artist - A Title That Is Longer Than Thirty Characters"

audio > "$dir/audio"
cp "$dir/audio" "$dir/Artist - Title.mp3"
cp "$dir/audio" "$dir/$long.MP3"
run "$dir/Artist - Title.mp3" "$dir/$long.MP3"
check "tagged lines" "$dir/Artist - Title.mp3: ID3 tag created
$dir/$long.MP3: ID3 tag created" "$out"
check "tagged status" 0 "$status"
{ cat "$dir/audio"; printf 'TAGTitle'; head -c 25 /dev/zero; printf 'Artist'; head -c 88 /dev/zero; printf '\xff'; } > "$dir/expected"
same "ID3v1 bytes" "$dir/expected" "$dir/Artist - Title.mp3"
{
  printf 'ID3\x03\x00\x00\x00\x00\x00\x4e'  # L = 22 + 56
  printf 'TPE1\x00\x00\x00\x0c\x00\x00\x00Some Artist'
  printf 'TIT2\x00\x00\x00\x2e\x00\x00\x00A Title That Is Longer Than Thirty Characters\x00'
  cat "$dir/audio"
} > "$dir/expected"
same "ID3v2 bytes" "$dir/expected" "$dir/$long.MP3"

# Refused files stay as they were; the others are still tagged; the status says so.
{ printf 'ID3\x02\x00\x00\x00\x00\x00\x10'; head -c 16 /dev/zero; cat "$dir/audio"; } > "$dir/$long.mp3"
cp "$dir/$long.mp3" "$dir/v22"
cp "$dir/audio" "$dir/b.wav"
cp "$dir/audio" "$dir/-A - B.mp3"
run "$dir/$long.mp3" "$dir/b.wav" "$dir/missing.mp3" -- "$dir/-A - B.mp3"
check "refused lines" "$dir/$long.mp3: Unknown tag version. First delete current ID3v2 tag
$dir/b.wav: Not an MP3 file
$dir/missing.mp3: Cannot open file for writing
$dir/-A - B.mp3: ID3 tag created" "$out"
check "refused status" 1 "$status"
same "2.2 tag untouched" "$dir/v22" "$dir/$long.mp3"
same "other name untouched" "$dir/audio" "$dir/b.wav"
check "nothing left beside" "$(cd "$dir" && ls | sort)" "$(cd "$dir" && ls | grep -v vemo | sort)"

# Through a symbolic link the file it leads to is tagged, with its owner and group (set
# when run as root), and the link stays.
mkdir -p "$dir/links/stored"
cp "$dir/audio" "$dir/links/stored/song.mp3"
ln -s stored/song.mp3 "$dir/links/$long.mp3"
[ "$(id -u)" -eq 0 ] && chown 1234:5678 "$dir/links/stored/song.mp3"
owner=$(stat -c %u:%g "$dir/links/stored/song.mp3")
run "$dir/links/$long.mp3"
check "linked status" 0 "$status"
check "link kept" "stored/song.mp3" "$(readlink "$dir/links/$long.mp3")"
same "file behind the link tagged" "$dir/expected" "$dir/links/stored/song.mp3"
check "owner kept" "$owner" "$(stat -c %u:%g "$dir/links/stored/song.mp3")"
check "nothing left beside" "$long.mp3|stored|song.mp3" "$(cd "$dir/links" && ls . stored | grep -v ':$' | grep . | paste -sd '|')"

# A name outside the code page (Windows-1252 here) goes into an ID3v2.3 tag in UTF-16,
# and its line is printed whole.
cyrillic="Кино - Группа крови.mp3"
cp "$dir/audio" "$dir/$cyrillic"
run "$dir/$cyrillic"
check "cyrillic line" "$dir/$cyrillic: ID3 tag created" "$out"
{
  printf 'ID3\x03\x00\x00\x00\x00\x00\x3a'  # L = 21 + 37
  printf 'TPE1\x00\x00\x00\x0b\x00\x00\x01\xff\xfe\x1a\x04\x38\x04\x3d\x04\x3e\x04'
  printf 'TIT2\x00\x00\x00\x1b\x00\x00\x01\xff\xfe'
  printf '\x13\x04\x40\x04\x43\x04\x3f\x04\x3f\x04\x30\x04\x20\x00\x3a\x04\x40\x04\x3e\x04\x32\x04\x38\x04\x00'
  cat "$dir/audio"
} > "$dir/expected"
same "UTF-16 bytes" "$dir/expected" "$dir/$cyrillic"

run --help
check "--help status" 0 "$status"
case "$out" in usage:*) ;; *) echo "FAIL: --help prints no usage"; failures=$((failures + 1)) ;; esac
run
check "no file status" 2 "$status"
grep -q '^usage:' "$dir/err" || { echo "FAIL: no usage on stderr"; failures=$((failures + 1)); }
run --bogus "$dir/b.wav"
check "unknown option status" 2 "$status"

[ "$failures" -eq 0 ] && echo "vemo-tag: all checks passed"
exit $((failures > 0))
