#!/bin/bash
# Start-up benchmark: process start to the main window shown and waiting for input, median of
# repeated runs, for Tolvane.exe and for a minimal Win32 dialog program started the same way
# under the same wine64. Prints both medians and their ratio (goal: at most 1.5).
# Usage: bench/startup.sh [x64 build folder] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${TOLVANE_BUILD:-$root/build}/x64}
runs=${2:-15}
program=$(cd "$build/bin" && pwd)/Tolvane.exe
[ -f "$program" ] || { echo "missing $program: build the x64 tree first" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi

. "$root/bench/wine-prefix.sh"

cxx="x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -municode -static -DUNICODE -D_UNICODE"
$cxx -mwindows -o "$work/startup_baseline.exe" "$root/bench/startup_baseline.cpp"
$cxx -o "$work/startup_timer.exe" "$root/bench/startup_timer.cpp"

mapfile -t medians < <("$wine" "$work/startup_timer.exe" "$runs" "Z:${work//\//\\}\\startup_baseline.exe" \
                         "Z:${program//\//\\}" 2>/dev/null | tr -d '\r')
baseline=${medians[0]} tolvane=${medians[1]}
echo "runs: $runs each"
echo "baseline dialog: ${baseline} ms (median)"
echo "Tolvane.exe:     ${tolvane} ms (median)"
awk -v t="$tolvane" -v b="$baseline" 'BEGIN { printf "ratio: %.2f\n", t / b }'
