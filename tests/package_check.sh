#!/bin/bash
# The package script, run on the built trees, makes both zips with the right files in them.
# Args: <x64 build dir> <x86 build dir>. Exits 77 (skipped) when a tree is not complete.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
x64_tree=${1:-}
x86_tree=${2:-}
for tree in "$x64_tree" "$x86_tree"; do
  for file in Tolvane.exe ffmpeg.exe MediaInfo.dll; do
    if [ -z "$tree" ] || [ ! -f "$tree/bin/$file" ]; then
      echo "skipped: needs $file in the bin folders of both an x64 and an x86 build (got '$tree')"
      exit 77
    fi
  done
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! TOLVANE_X64_BUILD=$x64_tree TOLVANE_X86_BUILD=$x86_tree TOLVANE_DIST=$work/dist \
    "$root/scripts/package.sh" >"$work/made" 2>"$work/errors"; then
  echo "package.sh failed:"; cat "$work/errors"; exit 1
fi

status=0
fail() { echo "$*"; status=1; }
for target in x64 x86; do
  case "$target" in
    x64) tree=$x64_tree format=pei-x86-64 ;;
    x86) tree=$x86_tree format=pei-i386 ;;
  esac
  zip=$work/dist/Tolvane-$target.zip
  grep -qx "$zip" "$work/made" || fail "package.sh did not report $zip"
  [ -f "$zip" ] || { fail "no $zip"; continue; }
  unzip -q "$zip" -d "$work/$target" || { fail "$zip does not unpack"; continue; }
  top=$work/$target/Tolvane-$target

  # Exactly these files, each the same as what it was made from.
  expected=$(printf '%s\n' Tolvane.exe ffmpeg.exe MediaInfo.dll LICENSE.txt \
    $(cd "$root" && ls licenses/*.txt) | sort)
  actual=$(cd "$top" && find . -type f | sed 's|^\./||' | sort)
  [ "$actual" = "$expected" ] || fail "$target zip holds: $(echo $actual)"
  for binary in Tolvane.exe ffmpeg.exe MediaInfo.dll; do
    cmp -s "$top/$binary" "$tree/bin/$binary" || fail "$target: $binary differs from $tree/bin/$binary"
    x86_64-w64-mingw32-objdump -f "$top/$binary" | grep -q "file format $format\$" ||
      fail "$target: $binary is not $format"
  done
  cmp -s "$top/LICENSE.txt" "$root/LICENSE" || fail "$target: LICENSE.txt differs"
  for licence in "$root"/licenses/*.txt; do
    cmp -s "$top/licenses/$(basename "$licence")" "$licence" || fail "$target: $(basename "$licence") differs"
  done
done

# The licences that the three binaries need.
grep -q "GNU GENERAL PUBLIC LICENSE" "$root/licenses/ffmpeg-GPL-3.0.txt" &&
  grep -q "Version 3" "$root/licenses/ffmpeg-GPL-3.0.txt" || fail "no GPL 3 text for ffmpeg"
grep -q "BSD 2-Clause" "$root/licenses/MediaInfoLib-BSD-2-Clause.txt" || fail "no BSD text for MediaInfoLib"
grep -q "MediaArea.net" "$root/licenses/ZenLib-zlib.txt" || fail "no ZenLib licence"
grep -q "Jean-loup Gailly and Mark Adler" "$root/licenses/zlib.txt" || fail "no zlib licence"
grep -q "Tolvane Project" "$root/LICENSE" || fail "no licence of our own"
[ $status -eq 0 ] && echo "both zips hold what they should"
exit $status
