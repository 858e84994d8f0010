#!/bin/bash
# Installs the Debian packages the build, the tests and the run command need.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail
packages=(
  cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  libz-mingw-w64-dev googletest wine64 xvfb xauth fonts-nanum x11-apps imagemagick
  zip unzip dpkg-dev npm
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# npm usually comes with the machine's Node.js rather than as a Debian package.
if command -v npm >/dev/null; then
  missing=("${missing[@]/npm}")
fi
missing=($(printf '%s\n' "${missing[@]}" | grep -v '^$' || true))
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
# Wine takes the user's language from the locale, and file names with Hangul need a UTF-8 one
# that exists: generate the two locales that the program's languages are tested under.
for locale in en_US ko_KR; do
  locale -a 2>/dev/null | grep -qix "$locale.utf8" || localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
done
