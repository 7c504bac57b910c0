#!/usr/bin/env bash
# The release, into out/release/: builds the shipped 32-bit Gen_vemo.dll and its x86
# installer (win32 configuration), packs the DLL with its licence and the user's guide
# (Markdown and HTML, with its pictures) into a zip, writes the SHA-256 sums of both,
# then checks all of it with scripts/check_release.sh. The version comes from CMakeLists.txt.
#
#   out/release/Gen_vemo-<version>-setup.exe
#   out/release/Gen_vemo-<version>.zip      Gen_vemo-<version>/{Gen_vemo.dll, LICENSE, guide.html, guide.md, pictures/}
#   out/release/SHA256SUMS
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Gen_vemo gen_vemo_installer
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
name=Gen_vemo-$version

out=out/release
rm -rf "$out"
mkdir -p "$out/$name/pictures"
cp "build/win32/installer/$name-setup.exe" "$out/"
cp build/win32/bin/Gen_vemo.dll LICENSE docs/guide.md "$out/$name/"
cp docs/pictures/*.png "$out/$name/pictures/"
# Debian's python3 has the Markdown module (bootstrap installs it); another python3
# earlier on the PATH may not.
/usr/bin/python3 scripts/guide.py --html "$out/$name/guide.html" docs/guide.md
# The files' times are the last commit's, so the zip does not change with the day.
stamp=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || date +%Y%m%d%H%M.%S)
find "$out/$name" -exec touch -t "$stamp" {} +
(cd "$out" && zip -qrX "$name.zip" "$name" && rm -rf "$name")
(cd "$out" && sha256sum "$name-setup.exe" "$name.zip" >SHA256SUMS)

scripts/check_release.sh "$out" "$version"
ls -l "$out"
