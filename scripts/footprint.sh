#!/usr/bin/env bash
# Builds the shipped 32-bit plug-in (preset win32) and prints its size, the DLLs it
# imports and where its bytes come from, read from the link map the build writes
# beside it.
#   scripts/footprint.sh             groups: own code, each runtime library, start-up...
#   scripts/footprint.sh --objects   one row per object file or archive member
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Gen_vemo >/dev/null
dll=build/win32/bin/Gen_vemo.dll
map=build/win32/bin/Gen_vemo.map
echo "$dll: $(stat -c %s "$dll") bytes"
echo
echo "sections (bytes used; each takes whole 512-byte blocks in the file, .bss none):"
i686-w64-mingw32-objdump -h "$dll" | while read -r index name size _; do
  if [[ $index =~ ^[0-9]+$ ]]; then printf '  %-10s %7d\n' "$name" "$((16#$size))"; fi
done
echo
echo "imports: $(i686-w64-mingw32-objdump -p "$dll" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"
echo
echo "from the link map (bytes before section alignment; unwind = .eh_frame):"
python3 scripts/link_map_sizes.py "$map" "$@"
