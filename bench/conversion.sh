#!/bin/bash
# Conversion overhead: a 20-second 640x480 clip converted in two passes through Tolvane.exe
# (Start to its final message) against the same two command lines run directly, under the
# same wine64 in the same run. Prints the ratio of the medians (goal: at most 1.03).
# Usage: bench/conversion.sh [x64 build folder] [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${TOLVANE_BUILD:-$root/build}/x64}
rounds=${2:-3}
[ -f "$build/CMakeCache.txt" ] || "$root/scripts/build.sh" x64 -DTOLVANE_TESTS=OFF
cmake -S "$root" -B "$build" >/dev/null  # picks up bench/*.cmake in an older tree
cmake --build "$build" --target conversion_bench -j2 >/dev/null
build=$(cd "$build" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$rounds"
fi

. "$root/bench/wine-prefix.sh"
mkdir -p "$work/out"

clip="Z:${work//\//\\}\\clip.mp4"
"$wine" "$build/bin/ffmpeg.exe" -nostdin -loglevel error -y \
  -f lavfi -i testsrc=size=640x480:rate=25:duration=20 -f lavfi -i sine=frequency=440:duration=20 \
  -c:v mpeg4 -b:v 2000k -c:a aac "$clip"
"$wine" "$build/bin/conversion_bench.exe" "$clip" "Z:${work//\//\\}\\out" "$rounds"
