#!/bin/bash
# Sets up this machine, builds both targets and every test, and runs all tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${TOLVANE_BUILD:-$root/build}
"$root/scripts/build.sh" x86 -DTOLVANE_TESTS=OFF
"$root/scripts/build.sh" x64 -DTOLVANE_X86_BUILD_DIR="$build/x86"
cd "$build/x64"
# Dialog tests need a display; CI has none.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j2 "$@"
