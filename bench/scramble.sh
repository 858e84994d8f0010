#!/bin/bash
# Scrambled copy of a large file against a plain copy (CopyFileW) of the same file, in the
# same run under the same wine64; prints both times, their ratio and the peak memory of a
# small and of the large file (it should not depend on the size).
#   bench/scramble.sh [size in MiB, default 1024] [rounds, default 3]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size_mib=${1:-1024}
rounds=${2:-3}
build=${TOLVANE_BUILD:-$root/build}/x64
[ -f "$build/CMakeCache.txt" ] || "$root/scripts/build.sh" x64 -DTOLVANE_TESTS=OFF
cmake -S "$root" -B "$build" >/dev/null  # picks up bench/*.cmake in an older tree
cmake --build "$build" --target scramble_bench -j2 >/dev/null

work=$build/bench-scramble
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
mkdir -p "$work/data"
trap '"$server" -k 2>/dev/null || true; rm -rf "$work/data"' EXIT
[ -d "$WINEPREFIX/drive_c" ] || "$wine" wineboot --init </dev/null >/dev/null 2>&1
"$server" -p </dev/null >/dev/null 2>&1

winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
small=$work/data/small.bin
large=$work/data/large.bin
head -c 64M /dev/urandom >"$small"
head -c "${size_mib}M" /dev/urandom >"$large"
sync "$small" "$large"  # no writeback of the sources during the timed rounds
bench="$wine $build/bin/scramble_bench.exe"

echo "== peak memory, 64 MiB file"
$bench memory "$(winpath "$small")"
echo "== peak memory, $size_mib MiB file"
$bench memory "$(winpath "$large")"
echo "== $size_mib MiB: plain copies against the scrambled copy, $rounds rounds"
$bench time "$(winpath "$large")" "$rounds"
