#!/usr/bin/env bash
# Checks what scripts/release.sh made: both files and their sums are there and agree,
# the installer is a 32-bit Windows program, and the zip holds the licence as it is in
# the source, the guide, its pictures and a 32-bit Gen_vemo.dll whose one export is
# quavixGetGeneralPurposePlugin and which imports only DLLs that Windows itself provides.
#
#   check_release.sh DIR VERSION      exit 0 when everything holds
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
name=Gen_vemo-$2
objdump=i686-w64-mingw32-objdump
failures=0
fail() { echo "check_release: $*" >&2; failures=$((failures + 1)); }

for file in "$name-setup.exe" "$name.zip" SHA256SUMS; do
    [ -s "$dir/$file" ] || fail "$file is missing or empty"
done
[ $failures -eq 0 ] || exit 1
(cd "$dir" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"
[ "$(cut -d' ' -f3 "$dir/SHA256SUMS" | sort | tr '\n' ' ')" = "$name-setup.exe $name.zip " ] ||
    fail "SHA256SUMS does not list exactly the installer and the zip"
$objdump -f "$dir/$name-setup.exe" | grep -q 'file format pei-i386' || fail "the installer is not a 32-bit Windows program"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$dir/$name.zip" -d "$unpacked"
for file in Gen_vemo.dll LICENSE guide.md guide.html; do
    [ -s "$unpacked/$name/$file" ] || fail "the zip has no $name/$file"
done
cmp -s LICENSE "$unpacked/$name/LICENSE" || fail "the zip's LICENSE is not the one of the source"
for picture in $(grep -o '](pictures/[^)]*)' docs/guide.md | sed 's/^](//; s/)$//' | sort -u); do
    [ -s "$unpacked/$name/$picture" ] || fail "the zip has no $name/$picture, which the guide shows"
done
dll=$unpacked/$name/Gen_vemo.dll
if [ -s "$dll" ]; then
    $objdump -f "$dll" | grep -q 'file format pei-i386' || fail "Gen_vemo.dll is not a 32-bit DLL"
    for mode in exports imports; do
        cmake -DOBJDUMP=$objdump -DDLL="$dll" -DMODE=$mode -P cmake/check_dll.cmake >/dev/null ||
            fail "Gen_vemo.dll: the $mode check fails (cmake -P cmake/check_dll.cmake says why)"
    done
fi

if [ $failures -ne 0 ]; then
    echo "check_release: $failures problem(s) in $dir" >&2
    exit 1
fi
echo "check_release: $dir holds $name-setup.exe and $name.zip, sums agree, the licence is in the zip, the DLL is 32-bit with its one export and system imports only"
