#!/usr/bin/env bash
# Builds the benchmarks optimised (build/bench), runs them and prints one table: each
# row measured beside its peer and floor in the same run. They print, never assert.
#   scripts/bench.sh [all|analysis|tag|settings|response|footprint|start] [--files N] [--passes N] [--megabytes N]
# The analysis libraries (2,000 files each by default) are generated once into build/bench/data
# and reused. `audio` is kept as another name for `analysis`. `response` (part of `all`)
# times the plug-in under Wine on a virtual screen: hotkey and title change to popup;
# `footprint` (also part of `all`) sizes the shipped 32-bit DLL and measures the memory
# loading it costs; `start` (also part of `all`) times what loading and init add to the
# player's start. The Wine rows run for the x86_64 build (win64) and for the shipped
# i686 build (win32) where this machine runs 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."

# The peer of the analysis row; installed like scripts/bootstrap.sh installs, only when missing.
missing=()
for p in libtag1-dev pkg-config; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEMO_TESTS=ON -DVEMO_WERROR=ON >/dev/null
cmake --build build/bench -j2 --target vemo-bench
row="${1:-all}"
[ $# -gt 0 ] && shift
[ "$row" = audio ] && row=analysis
case "$row" in
  all|analysis|tag|settings|response|footprint|start) ;;
  *) echo "usage: scripts/bench.sh [all|analysis|tag|settings|response|footprint|start] [--files N] [--passes N] [--megabytes N]" >&2; exit 2 ;;
esac
echo "$(date -u +%Y-%m-%d), $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(df -T build | awk 'NR==2 {print $2}') disk"

# Rows measured outside this program join the table through a file of rows.
rows=build/bench/rows.txt
: >"$rows"
# The Windows builds the Wine rows run: the x86_64 one, and the shipped i686 one where
# the kernel runs 32-bit programs and 32-bit Wine is installed.
wine_builds=(win64)
if [ "$row" = all ] || [ "$row" = response ] || [ "$row" = footprint ] || [ "$row" = start ]; then
  if why=$(scripts/check_32bit.sh); then
    wine_builds+=(win32)
  else
    echo "32-bit rows skipped: $why"
  fi
fi
wine_ready() { command -v xvfb-run >/dev/null && [ -x /usr/lib/wine/wine64 ]; }
build_name() { [ "$1" = win32 ] && echo "shipped i686 build (win32)" || echo "x86_64 build (win64)"; }

# Runs a benchmark of a Windows build under Wine on a virtual screen; it appends its
# rows to the file of rows. False when Wine or Xvfb is missing.
run_under_wine() {  # preset target args...
  wine_ready || return 1
  local preset=$1 target=$2
  shift 2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target "$target" >/dev/null
  xvfb-run -a -s "-screen 0 1024x768x24" "build/$preset/wine-run.sh" "build/$preset/bin/$target.exe" "$@" \
    --rows "$(printf 'Z:%s' "$PWD/$rows" | tr / '\\')"
  "build/$preset/wine-run.sh" --wineserver -k 2>/dev/null || true
  tr -d '\r' <"$rows" >"$rows.tmp" && mv "$rows.tmp" "$rows"
}

if [ "$row" = all ] || [ "$row" = response ]; then
  for preset in "${wine_builds[@]}"; do
    echo "== 4 responsiveness under Wine, $(build_name "$preset")"
    run_under_wine "$preset" vemo_response_bench 1000 ||
      echo "   left out: Wine or Xvfb is missing (scripts/bootstrap.sh installs them)"
  done
fi
if [ "$row" = all ] || [ "$row" = footprint ]; then
  # The shipped 32-bit DLL: its size and what it imports, beside the budget.
  echo "== 5 footprint of the shipped DLL"
  scripts/footprint.sh | sed -n '1p;/^imports/p'
  size=$(stat -c %s build/win32/bin/Gen_vemo.dll)
  imports=$(i686-w64-mingw32-objdump -p build/win32/bin/Gen_vemo.dll | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')
  met=NO
  [ "$size" -lt $((150 * 1024)) ] && met=yes
  echo "5 footprint, i686 Gen_vemo.dll|$((size / 1024)) KB|-|-|imports ${imports% }|< 150 KB, system DLLs only|$met" >>"$rows"
  # What a process gains by loading the plug-in, beside the probe plug-in of the same build.
  for preset in "${wine_builds[@]}"; do
    echo "== 5 memory gained by loading, $(build_name "$preset")"
    run_under_wine "$preset" vemo_load_bench --floor "build\\$preset\\bin\\gen_probe.dll" \
      "build\\$preset\\bin\\Gen_vemo.dll" || echo "   left out: Wine or Xvfb is missing"
  done
fi
if [ "$row" = all ] || [ "$row" = start ]; then
  # Fifty starts of the player, each a process of its own: about three minutes a build.
  for preset in "${wine_builds[@]}"; do
    echo "== 6 start: DLL load to init return, $(build_name "$preset")"
    if wine_ready; then
      scripts/start_bench.sh "$preset" 50 --rows "$rows" || echo "   failed: see above"
    else
      echo "   left out: Wine or Xvfb is missing (scripts/bootstrap.sh installs them)"
    fi
  done
fi
case "$row" in response|footprint|start) row=none ;; esac
exec build/bench/bin/vemo-bench "$row" --folder build/bench/data --rows "$rows" "$@"
