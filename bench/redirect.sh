#!/bin/bash
# Benchmarks the child-process redirector under wine64, in a Wine prefix of its own: 200 MB of
# output through it against the same child writing to NUL, and the time StopChild takes.
# Usage: bench/redirect.sh [x64 build folder, default build/x64]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${TOLVANE_BUILD:-$root/build}/x64}
[ -f "$build/CMakeCache.txt" ] || "$root/scripts/build.sh" x64 -DTOLVANE_TESTS=OFF
cmake -S "$root" -B "$build" >/dev/null  # picks up bench/*.cmake in an older tree
cmake --build "$build" --target redirect_bench -j2 >/dev/null
build=$(cd "$build" && pwd)
export WINEPREFIX=$build/bench-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
server=/usr/lib/wine/wineserver
mkdir -p "$WINEPREFIX"
"$server" -p </dev/null >/dev/null 2>&1
trap '"$server" -k 2>/dev/null || true' EXIT
/usr/lib/wine/wine64 wineboot --init </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 "$build/bin/redirect_bench.exe"
