#!/usr/bin/env bash
# Refreshes the pictures of the user's guide (docs/pictures) from the demo's screenshots:
# runs the demo (scripts/demo.sh), crops each shot to the popup or the window it shows
# and stores it with a small palette, so that the pictures stay a few KB each.
#
#   scripts/guide_pictures.sh            run the demo, then crop
#   scripts/guide_pictures.sh --no-demo  crop the shots of the last demo run
#
#   VEMO_DEMO_DIR   the demo's player folder (default out/demo), as for scripts/demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

demo=${VEMO_DEMO_DIR:-out/demo}
case $demo in /*) ;; *) demo=$root/$demo ;; esac
# The notice about hotkeys that another program holds comes from the end-to-end case
# that has a program of its own hold two of them while the player starts.
taken_case=build/win64/tests/e2e/work/plugin_taken_hotkeys/player
# The hotkeys window after the set without the Windows key, from the case that applies it.
hotkeys_case=build/win64/tests/e2e/work/plugin_hotkeys_window/player
# The song popup at 150 % (144 DPI), from the case that runs the player at that scale.
scale_case=build/win64/tests/e2e/work/plugin_scale/player
if [ "${1:-}" != "--no-demo" ]; then
    VEMO_DEMO_DIR=$demo scripts/demo.sh >/dev/null
    xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build/win64 \
        -R 'e2e_plugin_(taken_hotkeys|hotkeys_window|scale)' >/dev/null
    build/win64/wine-run.sh --wineserver -k 2>/dev/null || true
fi
shots=$demo/shots
out=docs/pictures
mkdir -p "$out"

# The demo's screen is 1024x768 with the player and its list in the top 320 rows (480
# at 150 %); the popups appear centred above the bottom edge, on the bare desktop.
# Everything but the popups below that row is black, so trimming the black leaves them.
popup() {  # shot name or path, picture name[, the row the player's windows end above]
    local shot=$1 first=${3:-330}
    case $shot in /* | */*) ;; *) shot=$shots/$shot.png ;; esac
    convert "$shot" -crop "1024x$((768 - first))+0+$first" +repage -trim +repage \
        -bordercolor black -border 3 -strip -colors 16 -define png:compression-level=9 "PNG8:$out/$2.png"
}
# The configuration window, centred: 464 pixels wide, 522 rows and the caption; the
# hotkeys window stands over it at the same size.
window() {  # shot name or path, picture name
    local shot=$1
    case $shot in /* | */*) ;; *) shot=$shots/$shot.png ;; esac
    convert "$shot" -crop 464x538+280+115 +repage \
        -strip -colors 32 -define png:compression-level=9 "PNG8:$out/$2.png"
}

# No picture of the volume popup: Wine here has no sound device, so every volume step
# shows 2 %, a level no user sees.
popup 01-start version
popup 02-playing song
popup 05-shuffle-on shuffle-on
popup 10-seek-forward seek
# The guide's caption names the tag this shows: the demo's second track's ID3v2.3 tag.
popup 11-id3-tag id3-tag
popup 12-file-info file-info
popup 01a-renamed renamed
popup 01b-tag-created tag-created
popup "$taken_case/taken.png" taken-hotkeys
popup "$scale_case/shots/song-144.png" song-150 480
window 14-config config
window "$hotkeys_case/hotkeys.png" hotkeys

# The file information shows a folder a user could have: the demo's library is D:\Music.
if grep -q '^query 211 .* -> "[^D]' "$demo/player.log"; then
    echo "guide_pictures.sh: the player gave the plug-in a file outside D:\\Music" >&2
    exit 1
fi
scripts/check_pictures.py "$out"
for picture in "$out"/*.png; do
    printf '%-32s %s  %6d bytes\n' "$picture" "$(identify -format %wx%h "$picture")" "$(stat -c %s "$picture")"
done
