#!/usr/bin/env bash
# Whether this machine can run the shipped 32-bit Windows build under Wine. Silent with
# status 0 when it can; otherwise prints the reason in one line and exits 1.
#   check_32bit.sh            the kernel runs 32-bit programs and 32-bit Wine is installed
#   check_32bit.sh --kernel   the kernel runs 32-bit programs (before Wine is installed)
# Whether a kernel runs 32-bit x86 programs depends on how it was built, so it is tried,
# never assumed: a 96-byte i386 program that exits with status 42 through the 32-bit
# system-call gate.
set -uo pipefail

tiny=$(mktemp)
trap 'rm -f "$tiny"' EXIT
base64 -d >"$tiny" <<'EOF'
f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAA
AIAECACABAhgAAAAYAAAAAUAAAAAEAAAuAEAAAC7KgAAAM2A
EOF
chmod +x "$tiny"
out=$("$tiny" 2>&1)
rc=$?
if [ $rc -ne 42 ]; then
  why=${out##*: }
  echo "the kernel does not run 32-bit programs (${why:-exit status $rc})"
  exit 1
fi
[ "${1:-}" = --kernel ] && exit 0

if [ ! -x /usr/lib/wine/wine ] || [ ! -x /usr/lib/wine/wine64 ]; then
  echo "32-bit Wine (wine32:i386 beside wine64) is not installed"
  exit 1
fi
exit 0
