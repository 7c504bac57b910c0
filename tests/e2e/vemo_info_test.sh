#!/usr/bin/env bash
# vemo-info from the outside: output bytes, modes, usage and exit status.
#   vemo_info_test.sh path/to/vemo-info
source "$(dirname "$0")/cli_checks.sh"

# An ID3v2.3 tag (TIT2 "Song", 6 bytes of padding), ten MPEG-1 Layer III frames at
# 128 kbit/s and 44100 Hz, and an ID3v1.1 tag.
{
  printf 'ID3\x03\x00\x00\x00\x00\x00\x15'
  printf 'TIT2\x00\x00\x00\x05\x00\x00\x00Song'
  head -c 6 /dev/zero
  for _ in 1 2 3 4 5 6 7 8 9 10; do printf '\xff\xfb\x90\x64'; head -c 414 /dev/zero; done
  printf 'TAG%-30s%-30s%-30s1999Comment' Old Artist Album
  head -c 22 /dev/zero
  printf '\x07\x11'
} > "$dir/a.mp3"
cp "$dir/a.mp3" "$dir/b.wav"

status=0
out=$("$tool" "$dir/a.mp3") || status=$?
check "default mode" "File info:
Path: $dir
Filename: a.mp3
Size: 4339 bytes
Header found at: 31 bytes
Length: 0.26 sec.  (00:00:00.26)
MPEG 1.0 (ISO/IEC 11172-3) layer III
Bitrate: 128 kbps, 10 frames
Samplerate: 44100 Hz
Channels: Joint Stereo (MS Stereo)
CRCs: No
Copyrighted: No
Original: Yes
Emphasis: None
ID3v2.3.0 tag
Title: Song" "$out"
check "default status" 0 "$status"

check "--id3v1" "ID3v1.1 tag
Track: 7
Title: Old
Artist: Artist
Album: Album
Year: 1999
Genre: Rock
Comment: Comment" "$("$tool" --id3v1 "$dir/a.mp3")"
check "--id3v2 twice" "ID3v2.3.0 tag
Title: Song
ID3v2.3.0 tag
Title: Song" "$("$tool" --id3v2 "$dir/a.mp3" "$dir/a.mp3")"
check "--id3 on another name" "Not an MP3 file" "$("$tool" --id3 "$dir/b.wav")"
check "--file-info on another name" "File info:
Path: $dir
Filename: b.wav
Size: 4339 bytes
Length: 0 seconds" "$("$tool" --file-info "$dir/b.wav")"

# A file that cannot be opened: the others are still shown, the reason goes to stderr.
status=0
out=$("$tool" --id3v2 "$dir/missing.mp3" "$dir/a.mp3" 2>"$dir/err") || status=$?
check "missing file status" 1 "$status"
check "missing file output" "ID3v2.3.0 tag
Title: Song" "$out"
grep -q "missing.mp3" "$dir/err" || { echo "FAIL: no reason on stderr"; failures=$((failures + 1)); }
status=0
"$tool" --id3v1 "$dir" >/dev/null 2>&1 || status=$?
check "folder status" 1 "$status"
# The reason, word for word, for names of either kind.
mkdir "$dir/album.mp3"
status=0
"$tool" "$dir" "$dir/album.mp3" "$dir/missing.wav" "$dir/a.mp3/x" >/dev/null 2>"$dir/err" || status=$?
check "reasons" "1:vemo-info: $dir: is a folder
vemo-info: $dir/album.mp3: is a folder
vemo-info: $dir/missing.wav: No such file or directory
vemo-info: $dir/a.mp3/x: Not a directory" "$status:$(cat "$dir/err")"

# A file that is listed but cannot be opened: what the directory entry gives, and for
# an MP3 name the lines of an empty analysis; the tag modes print nothing.
cp "$dir/a.mp3" "$dir/locked.mp3"
chmod 000 "$dir/locked.mp3"
if [ -r "$dir/locked.mp3" ]; then
  echo "skipped: unreadable files (chmod 000 does not stop this user from reading)"
else
  status=0
  out=$("$tool" "$dir/locked.mp3" 2>"$dir/err") || status=$?
  check "unreadable MP3 status" 1 "$status"
  check "unreadable MP3 output" "File info:
Path: $dir
Filename: locked.mp3
Size: 4339 bytes
Header found at:  bytes
Length: undefined
MPEG  layer 
Bitrate: undefined, undefined number of frames
Channels: 
CRCs: 
Copyrighted: 
Original: 
Emphasis: " "$out"
  grep -q "locked.mp3: Permission denied" "$dir/err" || { echo "FAIL: no reason on stderr"; failures=$((failures + 1)); }
  for mode in --id3 --id3v1 --id3v2; do
    status=0
    out=$("$tool" "$mode" "$dir/locked.mp3" 2>/dev/null) || status=$?
    check "unreadable MP3 $mode" "1:" "$status:$out"
  done
  # Another name that cannot be read: its listed facts, the reason, no tag text.
  cp "$dir/b.wav" "$dir/locked.wav"
  chmod 000 "$dir/locked.wav"
  status=0
  out=$("$tool" "$dir/locked.wav" 2>"$dir/err") || status=$?
  check "unreadable other name" "1:File info:
Path: $dir
Filename: locked.wav
Size: 4339 bytes
Length: 0 seconds
vemo-info: $dir/locked.wav: Permission denied" "$status:$out
$(cat "$dir/err")"
fi
status=0
out=$("$tool" --file-info "$dir/missing.mp3" "$dir" 2>/dev/null) || status=$?
check "missing file and folder with --file-info" "1:" "$status:$out"

# Text of any script is printed whole: a UTF-8 Cyrillic title in a 2.4 tag, a UTF-16
# Japanese one in a 2.3 tag, an ID3v1 title in the code page (Windows-1252 here), and
# the files' own names.
{
  printf 'ID3\x04\x00\x00\x00\x00\x00\x22'
  printf 'TIT2\x00\x00\x00\x18\x00\x00\x03'
  printf 'Группа крови'
} > "$dir/Группа.mp3"
{
  printf 'ID3\x03\x00\x00\x00\x00\x00\x17'
  printf 'TIT2\x00\x00\x00\x0d\x00\x00\x01\xff\xfe\xe5\x65\x2c\x67\x9e\x8a\x6e\x30\x4c\x6b'
  printf 'TAGCaf\xe9'
  head -c 120 /dev/zero
  printf '\xff'  # no genre
} > "$dir/歌.mp3"
check "--id3 in any script" "ID3v2.4.0 tag
Title: Группа крови
ID3v2.3.0 tag
Title: 日本語の歌" "$("$tool" --id3 "$dir/Группа.mp3" "$dir/歌.mp3")"
check "--id3v1 in the code page" "ID3v1 tag
Title: Café" "$("$tool" --id3v1 "$dir/歌.mp3")"
check "--file-info of a Cyrillic name" "Filename: Группа.mp3" "$("$tool" --file-info "$dir/Группа.mp3" | grep Filename)"

for args in "" "--bogus $dir/a.mp3" "--id3v1 --id3v2 $dir/a.mp3" "--id3"; do
  status=0
  # shellcheck disable=SC2086
  "$tool" $args >/dev/null 2>"$dir/err" || status=$?
  check "usage status for '$args'" 2 "$status"
  grep -q "^usage: vemo-info" "$dir/err" || { echo "FAIL: no usage text for '$args'"; failures=$((failures + 1)); }
done
check "--help" 0 "$("$tool" --help >/dev/null; echo $?)"

[ "$failures" -eq 0 ] && echo "vemo-info: all checks passed"
exit $((failures > 0))
