#!/usr/bin/env bash
# The time the plug-in adds to the player's start: the stand-in player of a Windows build
# times each plug-in from just before loading its DLL to the return of its init
# (--timings). The player is started STARTS times, each a process of its own that loads
# the plug-ins of its folder and quits at once; prints p50, p99 and the maximum, and
# appends them as a row of the benchmark table to FILE. The probe plug-in of the
# end-to-end tests loads after the real one, in the same starts, as the floor.
#   scripts/start_bench.sh PRESET [STARTS] [--rows FILE]      (PRESET: win64 or win32)
# One wine server serves every start, so that each one times the player's start and not
# Wine's. The first start is not counted: it starts the server's helpers and reads the
# files from disk; the counted ones find them cached, as a player started again does.
set -euo pipefail
caller=$PWD
cd "$(dirname "$0")/.."

[ $# -gt 0 ] || { echo "usage: scripts/start_bench.sh PRESET [STARTS] [--rows FILE]" >&2; exit 2; }
preset=$1
shift
starts=50
rows=""
while [ $# -gt 0 ]; do
  case $1 in
    --rows) rows=$2; shift 2 ;;
    *) starts=$1; shift ;;
  esac
done
[[ $starts =~ ^[1-9][0-9]*$ ]] || { echo "start_bench.sh: STARTS must be a positive number" >&2; exit 2; }
case $preset in
  win64) arch=x86_64 ;;
  win32) arch=i686 ;;
  *) echo "start_bench.sh: unknown preset $preset" >&2; exit 2 ;;
esac
case $rows in "" | /*) ;; *) rows=$caller/$rows ;; esac

# Windows need a screen: without one, Wine delivers no hotkeys and maps no windows, and
# init would skip work it does at a real start.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$PWD/scripts/start_bench.sh" "$preset" "$starts" ${rows:+--rows "$rows"}
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Gen_vemo quavix-standin gen_probe vemo_start_steps >/dev/null
build=$PWD/build/$preset
wine=$build/wine-run.sh
winpath() { printf 'Z:%s' "$(echo "$1" | tr / '\\')"; }

# A player folder of its own: the player, the plug-in and the probe. The plug-in writes
# Plugin.ini at the first quit and reads it at every later start, as in a player in use.
folder=$build/start-bench
player=bench-player.exe
rm -rf "$folder"
mkdir -p "$folder/Plugins"
cp "$build/bin/quavix-standin.exe" "$folder/$player"
cp "$build/bin/Gen_vemo.dll" "$folder/Plugins/Gen_vemo.dll"
cp "$build/bin/gen_probe.dll" "$folder/Plugins/gen_probe.dll"
cp "$build/bin/vemo_start_steps.exe" "$folder/start-steps.exe"
echo quit >"$folder/quit.script"
times=$folder/times.txt

# A new prefix is made first (10-20 s); a server left from a run without a screen would
# keep the player off this one.
[ -d "$build/wineprefix" ] || "$wine" wineboot -i >/dev/null 2>&1 || true
"$wine" --wineserver -k 2>/dev/null || true
"$wine" --wineserver -p
trap '"$wine" --wineserver -k 2>/dev/null || true' EXIT
# Without a window manager Wine waits 2 s for one whenever a window it leaves to the
# manager is hidden, and the player hides two at quit. Windows left to Wine itself quit
# at once; set for this program's name only, so that the tests sharing the prefix keep
# their windows as they were. What the plug-in shows at start is a popup, never managed.
"$wine" reg add "HKCU\\Software\\Wine\\AppDefaults\\$player\\X11 Driver" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

start() {  # timings file; false when the player failed
  (cd "$folder" && "$wine" "$player" --script quit.script --timings "$(winpath "$1")") >/dev/null 2>&1
}
start "$folder/first.txt" || { echo "start_bench.sh: the player failed to start" >&2; exit 1; }

failed=0
began=$(date +%s.%N)
for _ in $(seq "$starts"); do
  start "$times" || failed=$((failed + 1))
done
took=$(awk -v a="$began" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
# The steps read the settings the player's starts left, as the plug-in does.
steps=$folder/steps.txt
: >"$steps"
"$wine" reg add "HKCU\\Software\\Wine\\AppDefaults\\start-steps.exe\\X11 Driver" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
for _ in $(seq "$starts"); do
  (cd "$folder" && "$wine" start-steps.exe) 2>/dev/null | tr -d '\r' >>"$steps" || true
done
tr -d '\r' <"$times" >"$times.tmp" && mv "$times.tmp" "$times"

# p50, p99 and the maximum of one column of one plug-in's lines (TOTAL LOAD EXPORT INIT
# NAME), as the other Wine rows take them: the value at share * (count - 1) of the
# sorted times.
stats() {  # plug-in file name, column
  awk -v name="$1" -v column="$2" '$5 == name { print $column }' "$times" | sort -g |
    awk '{ t[NR] = $1 } END {
      if (NR == 0) exit 1
      printf "%d %.2f %.2f %.2f\n", NR, t[int(0.5 * (NR - 1)) + 1], t[int(0.99 * (NR - 1)) + 1], t[NR]
    }'
}
read -r count p50 p99 max < <(stats Gen_vemo.dll 1) || { echo "start_bench.sh: no times of Gen_vemo.dll" >&2; exit 1; }
read -r _ load_ms _ _ < <(stats Gen_vemo.dll 2)
read -r _ export_ms _ _ < <(stats Gen_vemo.dll 3)
read -r _ init_ms _ _ < <(stats Gen_vemo.dll 4)
probe="-"
if read -r _ fp50 fp99 fmax < <(stats gen_probe.dll 1); then
  probe="probe plug-in p50 $fp50 ms / p99 $fp99 ms, max $fmax ms"
fi
met=NO
ratio="-"
if [ "$probe" != "-" ]; then
  ratio=$(awk -v a="$p50" -v b="$fp50" 'BEGIN { printf "%.1f", a / b }')
  met=$(awk -v r="$ratio" 'BEGIN { print (r <= 4) ? "yes" : "NO" }')
fi
parts="p50 of its parts: load $load_ms ms, export $export_ms ms, init $init_ms ms"
# The p50 of each step, in the order they run.
where=$(awk -F'|' '{ if (!($1 in n)) order[++k] = $1; t[$1, ++n[$1]] = $2 }
  END {
    for (i = 1; i <= k; ++i) {
      name = order[i]; c = n[name]
      for (a = 1; a <= c; ++a) v[a] = t[name, a]
      for (a = 1; a <= c; ++a) for (b = a + 1; b <= c; ++b) if (v[b] < v[a]) { x = v[a]; v[a] = v[b]; v[b] = x }
      printf "%s%s %.2f ms", (i > 1 ? ", " : ""), name, v[int(0.5 * (c - 1)) + 1]
    }
  }' "$steps")

printf 'Gen_vemo.dll, %s: p50 %s ms   p99 %s ms   max %s ms   (%d warm starts of %d, %.0f s, %.1f s a start)\n' \
  "$arch" "$p50" "$p99" "$max" "$count" "$starts" "$took" "$(awk -v t="$took" -v n="$starts" 'BEGIN { print t / n }')"
echo "  $parts"
echo "  the first start, not counted: $(tr -d '\r' <"$folder/first.txt" | awk '$5 == "Gen_vemo.dll" { print $1 }') ms"
echo "floor, $probe; Gen_vemo.dll's p50 is $ratio times the probe's (goal: at most 4)"
echo "  where it goes, p50 of the steps run alone in $starts fresh processes: ${where:-none ran}"
[ "$failed" -eq 0 ] || echo "the player failed in $failed of $starts starts"
if [ -n "$rows" ]; then
  echo "6 start: DLL load to init return, Wine $arch|p50 $p50 ms / p99 $p99 ms|-|$probe|p50 $ratio x probe; max $max ms over $count warm starts; $parts; steps: $where|p50 <= 4 x probe|$met" >>"$rows"
fi
