#!/usr/bin/env bash
# The demo: builds the plug-in and the stand-in player, lays out a player folder with the
# plug-in and a generated music library, and runs the player under Wine on a virtual
# 1024x768 screen (or on $DISPLAY when one is set) with a script that plays, skips,
# toggles shuffle, repeat and the equalizer, changes the volume, seeks, renames a file
# after its tag, makes a tag from a file name and opens the configuration window by
# hotkey, and takes screenshots. Prints what happened, from the player's log, and where
# the screenshots are.
#
# It runs the build users get, the 32-bit player and plug-in (preset win32), where this
# machine can run 32-bit programs, and else the same source built for x86_64 (win64).
#
#   VEMO_DEMO_PRESET win32 or win64 (default: win32 where it can run)
#   VEMO_BUILD_DIR   build folder (default build/<preset>)
#   VEMO_DEMO_DIR    player folder to lay out (default out/demo; emptied first)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/bootstrap.sh

preset=${VEMO_DEMO_PRESET:-}
if [ -z "$preset" ]; then
    if why32=$(scripts/check_32bit.sh); then
        preset=win32
    else
        preset=win64
        echo "== 32-bit programs cannot run here ($why32): the x86_64 build stands in for the shipped one"
    fi
fi
case $preset in
    win32) build_name="i686, the 32-bit player and plug-in users get" ;;
    win64) build_name="x86_64, the same source built for 64-bit Windows" ;;
    *) echo "VEMO_DEMO_PRESET: win32 or win64, not $preset" >&2; exit 2 ;;
esac
build=${VEMO_BUILD_DIR:-build/$preset}
demo=${VEMO_DEMO_DIR:-out/demo}
case $build in /*) ;; *) build=$root/$build ;; esac
case $demo in /*) ;; *) demo=$root/$demo ;; esac

echo "== build $preset ($build_name) in $build"
cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" -j2 --target Gen_vemo quavix-standin vemo-sample-library vemo-info

wine=$build/wine-run.sh
winpath() { printf 'Z:%s' "$(echo "$1" | tr / '\\')"; }

# Every Wine program of the demo runs on one display: Wine keeps the display of the
# first program for as long as its server lives, so a server started without one would
# leave the player without windows.
if [ -z "${DISPLAY:-}" ]; then
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    echo "== virtual screen $DISPLAY (1024x768)"
else
    echo "== on the display $DISPLAY"
fi
"$wine" --wineserver -w || true

# The first start of Wine creates its prefix (10-20 s). Without a window manager Wine
# would leave the windows without captions; drawing its own shows the player's title.
"$wine" wineboot -i >/dev/null 2>&1 || true
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true

echo "== player folder $demo"
rm -rf "$demo"
mkdir -p "$demo/Plugins" "$demo/shots" "$demo/Music"
cp "$build/bin/quavix-standin.exe" "$demo/player.exe"
cp "$build/bin/Gen_vemo.dll" "$demo/Plugins/Gen_vemo.dll"
# The library lies on a drive of its own, D:\Music, as on a user's machine: the popups
# that show a path then show one a user could have, not the build folder.
prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$wine")
ln -sfn "$demo" "$prefix/dosdevices/d:"
music='D:\Music'
"$wine" "$build/bin/vemo-sample-library.exe" "$music"

cat >"$demo/demo.script" <<'EOF'
# The plug-in shows its version for 2 s after init.
wait 500
shot shots/01-start.png
wait 1000
# The file actions, while stopped: the first file takes the name its tag gives
# (Win+F2), and the player's list follows. Then, four entries on, the untagged file
# "05 - untitled sketch.mp3" gets a tag made from its name (Win+F3).
keys Win+F2
wait 800
shot shots/01a-renamed.png
keys Win+V
keys Win+V
keys Win+V
keys Win+V
wait 300
keys Win+F3
wait 600
shot shots/01b-tag-created.png
keys Win+Z
keys Win+Z
keys Win+Z
keys Win+Z
wait 1500
# Play (Win+X), then the next and the previous track.
keys Win+X
wait 1500
shot shots/02-playing.png
# Volume up, and forward 5 s inside the 30 s first track: the level popup with its ten
# squares, the second one with the position in the track. (Wine here has no sound
# device, so the wave-output volume reads as 0 and the bar starts at 2 %.)
keys Win+Up
wait 300
shot shots/09-volume-up.png
wait 1500
keys Win+Right
wait 300
shot shots/10-seek-forward.png
wait 1500
keys Win+V
wait 1500
shot shots/03-next.png
keys Win+Z
wait 1500
shot shots/04-previous.png
# The switches: shuffle (Win+S), repeat (Win+N) and the equalizer (Win+Ctrl+N); each
# popup names the new state.
keys Win+S
wait 400
shot shots/05-shuffle-on.png
keys Win+N
wait 400
shot shots/06-repeat-on.png
keys Win+Ctrl+N
wait 400
shot shots/07-equalizer-on.png
# With shuffle on, Win+Alt+V still plays the next entry of the list.
keys Win+Alt+V
wait 1500
shot shots/08-next-in-list-order.png
# The tag and the file information: multi-line popups.
keys Win+Alt+Space
wait 600
shot shots/11-id3-tag.png
keys Win+Ctrl+Space
wait 600
shot shots/12-file-info.png
wait 1000
# A click on the player's own tray icon: the plug-in toggles the player's window.
tray
wait 800
shot shots/13-tray-click.png
tray
wait 500
# The configuration window, by its hotkey (Win+`); the same key hides it again.
keys Win+`
wait 1000
shot shots/14-config.png
# A real click on the "Autoplay" box: the option flips at once and is saved at quit.
click 528 360 left
wait 500
shot shots/14b-autoplay-ticked.png
keys Win+`
wait 500
# Pause (Win+X again).
keys Win+X
wait 800
shot shots/15-paused.png
# The plug-in's previous/next button in the notification area (Wine shows the area as a
# small window at the top left): a right click plays the next track.
click 12 31 right
wait 1000
shot shots/16-tray-next.png
quit
EOF

log=$demo/player.log
echo "== running the stand-in player"
(cd "$demo" && "$wine" player.exe --log "$(winpath "$log")" --script demo.script "$music\\library.m3u")
"$wine" --wineserver -w || true

echo
echo "== what happened in the $preset build (from $log)"
# The log with the player's message numbers named.
awk '
BEGIN {
    c[40001]="exit"; c[40012]="preferences"; c[40044]="previous"; c[40045]="play"; c[40046]="pause";
    c[40047]="stop"; c[40048]="next"; c[40144]="rewind 5 s"; c[40147]="stop with fade-out";
    c[40148]="forward 5 s"; c[40157]="stop after current"; c[40188]="file info box";
    c[40192]="visualization"; c[40194]="jump to file"; c[40222]="remove dead files";
    q[0]="version"; q[104]="play state"; q[105]="output time"; q[106]="jump to time";
    q[121]="set list position"; q[122]="set volume"; q[124]="list length"; q[125]="list position";
    q[127]="equalizer data"; q[128]="set equalizer data"; q[211]="entry file"; q[212]="entry title";
    q[213]="entry title, wide"; q[214]="entry file, wide"; q[335]="settings folder"; q[1335]="settings folder, wide";
    q[245]="change current file"; q[1245]="change current file, wide"; q[250]="shuffle?"; q[251]="repeat?"; q[252]="set shuffle"; q[253]="set repeat";
}
$1 == "step" && $2 == "keys" {
    printf "\n  [key %s]\n", $3
    if ($3 == "Win+Up" || $3 == "Win+Down") print "    (the plug-in sets the wave-output volume itself: no player message; see the screenshot)"
    next
}
$1 == "step" && $2 == "shot" { printf "  [screenshot %s]\n", $3; next }
$1 == "step" { sub(/^step /, ""); printf "\n  [%s]\n", $0; next }
$1 == "cmd" { printf "    command %s (%s)\n", $2, ($2 in c) ? c[$2] : "?"; next }
$1 == "query" { printf "    query %s (%s) %s\n", $2, ($2 in q) ? q[$2] : "?", substr($0, length($1 " " $2 " ") + 1); next }
$1 == "title" { sub(/^title /, ""); printf "    title: %s\n", $0; next }
$1 == "settext" { sub(/^settext /, ""); printf "    title set by the plug-in: %s\n", $0; next }
{ printf "    %s\n", $0 }
' "$log"

echo
echo "== the tag made from the name \"05 - untitled sketch.mp3\" (vemo-info --id3)"
"$wine" "$build/bin/vemo-info.exe" --id3 "$music\\05 - untitled sketch.mp3" | tr -d '\r' || true

echo
echo "== screenshots"
ls -1 "$demo"/shots/*.png
if [ -f "$demo/Plugins/Plugin.ini" ]; then
    echo
    echo "== settings written at quit: $demo/Plugins/Plugin.ini (Autoplay=1 from the click)"
    tr -d '\r' <"$demo/Plugins/Plugin.ini" | head -13
fi
