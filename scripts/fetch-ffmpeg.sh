#!/bin/bash
# Fetches the Windows ffmpeg.exe for a target from the npm registry, once, into the cache.
# Usage: fetch-ffmpeg.sh x64|x86   Prints the path of the cached ffmpeg.exe.
set -euo pipefail
target=${1:?x64 or x86}
case "$target" in
  x64) package=@ffmpeg-installer/win32-x64@4.1.0 ;;
  x86) package=@ffmpeg-installer/win32-ia32@4.1.0 ;;
  *) echo "unknown target $target" >&2; exit 2 ;;
esac
cache=${TOLVANE_CACHE:-$HOME/.cache/tolvane}/ffmpeg-4.1.0-$target
if [ ! -f "$cache/ffmpeg.exe" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  (cd "$work" && npm pack --silent "$package" >/dev/null)
  tar -xzf "$work"/*.tgz -C "$work"
  mkdir -p "$(dirname "$cache")"
  rm -rf "$cache"
  mv "$work/package" "$cache"
fi
echo "$cache/ffmpeg.exe"
