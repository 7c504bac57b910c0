# Sourced by the command-line tools' tests: the tool under test in tool, a scratch
# folder in dir (removed at exit), and checks that count their failures.
set -euo pipefail
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

check() {  # name expected actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1"
    diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") || true
    failures=$((failures + 1))
  fi
}
