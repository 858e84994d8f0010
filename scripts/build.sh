#!/bin/bash
# Configures and builds one target tree: build.sh x64|x86 [extra cmake arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?x64 or x86}; shift
build=${TOLVANE_BUILD:-$root/build}/$target
ffmpeg=$("$root/scripts/fetch-ffmpeg.sh" "$target")
mediainfo=$("$root/scripts/build-mediainfo.sh" "$target" | tail -n 1)
cmake -S "$root" -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$target.cmake" \
  -DTOLVANE_FFMPEG_EXE="$ffmpeg" -DTOLVANE_MEDIAINFO_DLL="$mediainfo" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
