#!/usr/bin/env bash
# Installs every Debian package the project builds, tests or demonstrates with.
# Packages already present are skipped, so a second run costs only the check.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb xauth imagemagick x11-apps fonts-liberation
  clang libclang-rt-14-dev
  python3 lame ffmpeg python3-mutagen
  nsis zip unzip python3-markdown locales
)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "bootstrap: all ${#packages[@]} packages present"
else
  echo "bootstrap: installing ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  echo "bootstrap: done"
fi

# A Japanese locale, under which Wine gives programs the double-byte code page 932: the
# Windows suite runs its cases of an older player's 8-bit names in it.
if ! locale -a 2>/dev/null | grep -qx 'ja_JP.utf8'; then
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  echo "bootstrap: locale ja_JP.UTF-8 made"
fi

# 32-bit Wine beside the 64-bit one, for the shipped i686 build: a 64-bit prefix runs
# 32-bit programs in its 32-bit half, as 64-bit Windows runs a 32-bit player. Where it
# cannot be had, one line says why and everything else goes on.
wine32_present() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'
}

# Prints what apt would do (a simulation) and whether it would remove anything;
# apt_options and pins are set by the caller.
simulate_wine32() {
  local plan
  plan=$($SUDO apt-get "${apt_options[@]}" install -s -y --no-install-recommends --allow-downgrades \
           wine64 wine32:i386 "${pins[@]}" 2>&1) || { echo "$plan"; return 1; }
  echo "$plan"
  ! grep -q '^Remv' <<<"$plan"
}

# The i386 index of one suite can be out of step with amd64 (a mirror mid-sync), and then
# apt would rather remove wine64 than mix versions. Resolving against the main suites
# alone, with each multi-arch library that the i386 side cannot match held at the
# version both sides have, installs both without removing anything.
install_wine32() {
  $SUDO dpkg --add-architecture i386
  apt_options=()
  pins=()
  $SUDO apt-get update -qq >/dev/null 2>&1 || true
  if ! simulate_wine32 >/dev/null; then
    local sources
    sources=$(mktemp -d)
    awk 'BEGIN { RS = ""; ORS = "\n\n" } !/-security/' /etc/apt/sources.list.d/debian.sources >"$sources/main.sources"
    apt_options=(-o Dir::Etc::sourcelist=/dev/null -o "Dir::Etc::sourceparts=$sources")
    $SUDO apt-get "${apt_options[@]}" update -qq >/dev/null 2>&1 || true
    local plan lib version tries
    for tries in 1 2 3 4 5 6; do
      plan=$(simulate_wine32) && break
      lib=$(sed -n 's/.*Depends: \([^ ]*\):i386 .*but it is not installable.*/\1/p' <<<"$plan" | head -1)
      [ -n "$lib" ] || break
      version=$(apt-cache "${apt_options[@]}" policy "$lib:i386" | sed -n 's/^ *Candidate: //p')
      [ -n "$version" ] && [ "$version" != "(none)" ] || break
      pins+=("$lib:amd64=$version")
    done
  fi
  if ! simulate_wine32 >/dev/null; then
    echo "bootstrap: 32-bit Wine not installed: apt cannot install wine32:i386 beside wine64 here"
    return 0
  fi
  [ ${#pins[@]} -gt 0 ] && echo "bootstrap: holding ${pins[*]} at the version both architectures have"
  $SUDO apt-get "${apt_options[@]}" install -y -qq --no-install-recommends --allow-downgrades \
    wine64 wine32:i386 "${pins[@]}" >/dev/null
  [ -x /usr/lib/wine/wine64 ] || echo "bootstrap: wine64 is missing after installing wine32"
  echo "bootstrap: 32-bit Wine installed beside wine64"
}

if ! wine32_present; then
  if why=$("$(dirname "$0")/check_32bit.sh" --kernel); then
    install_wine32
  else
    echo "bootstrap: 32-bit Wine not installed: $why"
  fi
fi
