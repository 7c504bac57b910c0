#!/usr/bin/env bash
# Builds the benchmarks optimised (build/bench), runs them and prints one table: each
# row measured beside its peer and floor in the same run. They print, never assert.
#   scripts/bench.sh [all|analysis|tag|settings|response|footprint] [--files N] [--passes N] [--megabytes N]
# The analysis libraries (2,000 files each by default) are generated once into build/bench/data
# and reused. `audio` is kept as another name for `analysis`. `response` (part of `all`)
# times the plug-in under Wine on a virtual screen: hotkey and title change to popup;
# `footprint` (also part of `all`) sizes the shipped 32-bit DLL.
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
  all|analysis|tag|settings|response|footprint) ;;
  *) echo "usage: scripts/bench.sh [all|analysis|tag|settings|response|footprint] [--files N] [--passes N] [--megabytes N]" >&2; exit 2 ;;
esac
echo "$(date -u +%Y-%m-%d), $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(df -T build | awk 'NR==2 {print $2}') disk"

# Rows measured outside this program join the table through a file of rows.
rows=build/bench/rows.txt
: >"$rows"
# Runs a benchmark of the win64 build under Wine on a virtual screen; it appends its
# rows to the file of rows. False when Wine or Xvfb is missing.
run_under_wine() {  # target args...
  command -v xvfb-run >/dev/null && [ -x /usr/lib/wine/wine64 ] || return 1
  local target=$1
  shift
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target "$target" >/dev/null
  xvfb-run -a -s "-screen 0 1024x768x24" build/win64/wine-run.sh "build/win64/bin/$target.exe" "$@" \
    --rows "$(printf 'Z:%s' "$PWD/$rows" | tr / '\\')"
  build/win64/wine-run.sh --wineserver -k 2>/dev/null || true
  tr -d '\r' <"$rows" >"$rows.tmp" && mv "$rows.tmp" "$rows"
}

if [ "$row" = all ] || [ "$row" = response ]; then
  echo "== 4 responsiveness under Wine"
  run_under_wine vemo_response_bench 1000 ||
    echo "   left out: Wine or Xvfb is missing (scripts/bootstrap.sh installs them)"
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
  # What a process gains by loading it, beside the probe plug-in; only the 64-bit build runs here.
  run_under_wine vemo_load_bench --floor 'build\win64\bin\gen_probe.dll' 'build\win64\bin\Gen_vemo.dll' || true
fi
case "$row" in response|footprint) row=none ;; esac
exec build/bench/bin/vemo-bench "$row" --folder build/bench/data --rows "$rows" "$@"
