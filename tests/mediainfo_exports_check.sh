#!/bin/bash
# Every MediaInfo.dll of the build trees (the real library and the fake) is built for its
# tree's target and exports the five C functions under their plain names, as the program asks
# for them. The x86 functions are __stdcall: a link without --kill-at would export
# MediaInfo_New@0 instead. Arguments: <x64 build dir> [<x86 build dir>].
set -u
functions="MediaInfo_New MediaInfo_Open MediaInfo_Get MediaInfo_Close MediaInfo_Delete"
status=0
checked=0

check_dll() {
  local dll=$1 format=$2 dump name
  dump=$(x86_64-w64-mingw32-objdump -p "$dll") || { echo "$dll: unreadable"; status=1; return; }
  if ! grep -q "file format $format\$" <<<"$(x86_64-w64-mingw32-objdump -f "$dll")"; then
    echo "$dll: not $format"
    status=1
  fi
  for name in $functions; do
    if ! grep -qE "^\s*\[\s*[0-9]+\] $name\$" <<<"$dump"; then
      echo "$dll: does not export $name"
      status=1
    fi
  done
  checked=$((checked + 1))
}

x64_tree=${1:?x64 build dir}
x86_tree=${2:-}
if [ ! -f "$x64_tree/bin/MediaInfo.dll" ]; then
  echo "$x64_tree/bin/MediaInfo.dll is missing: configure with -DTOLVANE_MEDIAINFO_DLL=<path>"
  status=1
fi
for entry in "$x64_tree:pei-x86-64" "$x86_tree:pei-i386"; do
  tree=${entry%:*}
  format=${entry##*:}
  [ -n "$tree" ] && [ -d "$tree/bin" ] || continue
  for dll in "$tree/bin/MediaInfo.dll" "$tree/bin/fake_mediainfo/MediaInfo.dll"; do
    [ -f "$dll" ] && check_dll "$dll" "$format"
  done
done
echo "$checked libraries checked"
exit $status
