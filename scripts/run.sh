#!/bin/bash
# Sets up this machine, builds the program and starts it under wine64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" x64 -DTOLVANE_TESTS=OFF
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-tolvane}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
program=$(cd "${TOLVANE_BUILD:-$root/build}/x64/bin" && pwd)/Tolvane.exe
if [ -n "${DISPLAY:-}" ]; then
  exec /usr/lib/wine/wine64 "$program"
else
  exec xvfb-run -a -s "-screen 0 1280x1024x24" /usr/lib/wine/wine64 "$program"
fi
