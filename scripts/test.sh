#!/usr/bin/env bash
# Every test of the project from a fresh machine: installs what is missing, builds the
# three configurations, runs the native suite, the release (scripts/release.sh, which
# checks its own outputs) and the Windows suites under Wine on a virtual 1024x768 screen:
# the x86_64 build's, and the shipped i686 build's under 32-bit Wine where this machine
# can run 32-bit programs (else its build checks only, and a line that says so).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

for preset in native win64 win32; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

run32=yes
why32=$(scripts/check_32bit.sh) || run32=no
windows_builds=(win64)
[ $run32 = yes ] && windows_builds+=(win32)

# The first Wine start creates a prefix (10-20 s); do it once per build, before any test
# waits on it. Then stop the wine server it left running: one started without the virtual
# screen would serve the tests' windows without a display, and their stacking would be wrong.
for preset in "${windows_builds[@]}"; do
  build/$preset/wine-run.sh wineboot -i >/dev/null 2>&1 || true
  build/$preset/wine-run.sh --wineserver -k 2>/dev/null || true
done

if [ -x scripts/fuzz.sh ]; then
  echo "== short fuzz runs"
  scripts/fuzz.sh short
fi

status=0
echo "== native suite"
ctest --preset native || status=1
echo "== release: installer, zip and sums in out/release, checked"
scripts/release.sh || status=1
echo "== Windows suite of the x86_64 build under Wine"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win64 || status=1
if [ $run32 = yes ]; then
  echo "== Windows suite of the i686 build (the shipped one) under 32-bit Wine"
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win32 || status=1
else
  echo "== i686 build checks (tables and size of the shipped DLL)"
  ctest --preset win32 -LE wine || status=1
  echo "32-bit suites skipped: $why32"
fi
exit $status
