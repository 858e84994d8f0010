#!/bin/bash
# Takes the README's screenshots of the built program under wine64 on a virtual display:
#   docs/screenshot-en.png     the main window, English
#   docs/screenshot-ko.png     the main window, Korean
#   docs/screenshot-about.png  the about box
# Usage: scripts/screenshots.sh [x64 build folder]   (a tree built with its tests)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${TOLVANE_BUILD:-$root/build}/x64}
bin=$(cd "$build/bin" && pwd)
for file in Tolvane.exe ui_driver.exe ffmpeg.exe MediaInfo.dll; do
  [ -f "$bin/$file" ] || { echo "missing $bin/$file: build the x64 tree with its tests first" >&2; exit 1; }
done
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine=/usr/lib/wine/wine64
cleanup() { /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

"$wine" wineboot --init >/dev/null 2>&1
# Every window of this prefix goes into one virtual desktop, which draws captions and frames.
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Shots /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Shots /d 1280x800 /f >/dev/null 2>&1

clip='C:\users\Public\Videos\sample.avi'
mkdir -p "$WINEPREFIX/drive_c/users/Public/Videos"
"$wine" "$bin/ffmpeg.exe" -nostdin -loglevel error -y -f lavfi -i testsrc=size=640x360:rate=25:duration=5 \
  -f lavfi -i sine=frequency=440:duration=5 -c:v mpeg1video -b:v 1500k -c:a mp2 -b:a 128k "$clip" 2>/dev/null

driver() { "$wine" "$bin/ui_driver.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Crops the screen to "left top width height" and writes the picture.
shoot() {
  local rect=($1)
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${rect[2]}x${rect[3]}+${rect[0]}+${rect[1]}" +repage "$2"
}

mkdir -p "$root/docs"
for language in en ko; do
  case $language in en) locale=en_US.UTF-8 ;; ko) locale=ko_KR.UTF-8 ;; esac
  LC_ALL=$locale "$wine" "$bin/Tolvane.exe" >/dev/null 2>&1 &
  program=$!
  driver ready >/dev/null
  shoot "$(driver open "$clip")" "$root/docs/screenshot-$language.png"
  if [ $language = en ]; then
    shoot "$(driver about)" "$root/docs/screenshot-about.png"
  fi
  driver close
  wait $program
done
echo "docs/screenshot-en.png docs/screenshot-ko.png docs/screenshot-about.png"
