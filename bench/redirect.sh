#!/bin/bash
# Benchmarks the child-process redirector under wine64, in a Wine prefix of its own: 200 MB of
# output through it against the same child writing to NUL, and the time StopChild takes.
# Runs what cmake built; usage: bench/redirect.sh [x64 build folder, default build/x64]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/x64}" && pwd)
for exe in redirect_bench.exe fake_converter.exe; do
  [ -f "$build/bin/$exe" ] || { echo "$build/bin/$exe is missing: build the x64 tree first" >&2; exit 1; }
done
export WINEPREFIX=$build/bench-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
server=/usr/lib/wine/wineserver
mkdir -p "$WINEPREFIX"
"$server" -p </dev/null >/dev/null 2>&1
trap '"$server" -k 2>/dev/null || true' EXIT
/usr/lib/wine/wine64 wineboot --init </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 "$build/bin/redirect_bench.exe"
