#!/usr/bin/env bash
# Every test of the project from a fresh machine: installs what is missing, builds the
# three configurations, runs the native suite, the build checks of the shipped 32-bit
# plug-in, the release (scripts/release.sh, which checks its own outputs) and the
# Windows suite under Wine on a virtual 1024x768 screen.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

for preset in native win64 win32; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

# The first Wine start creates the prefix (10-20 s); do it once, before any test waits on
# it. Then stop the wine server it left running: one started without the virtual screen
# would serve the tests' windows without a display, and their stacking would be wrong.
build/win64/wine-run.sh wineboot -i >/dev/null 2>&1 || true
build/win64/wine-run.sh --wineserver -k 2>/dev/null || true

if [ -x scripts/fuzz.sh ]; then
  echo "== short fuzz runs"
  scripts/fuzz.sh short
fi

status=0
echo "== native suite"
ctest --preset native || status=1
echo "== i686 build checks"
ctest --test-dir build/win32 --output-on-failure || status=1
echo "== release: installer, zip and sums in out/release, checked"
scripts/release.sh || status=1
echo "== Windows suite under Wine"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win64 || status=1
exit $status
