#!/bin/bash
# Packages both targets: <dist>/Tolvane-x86.zip and <dist>/Tolvane-x64.zip, each holding
# one folder with Tolvane.exe, the matching ffmpeg.exe and MediaInfo.dll, and the licences.
#
# Environment:
#   TOLVANE_DIST                         output folder (default: dist in the repository)
#   TOLVANE_X86_BUILD, TOLVANE_X64_BUILD built trees to package as they are: nothing is
#                                        built or fetched, everything comes from <tree>/bin
# Without a tree given, build/<target> (or $TOLVANE_BUILD/<target>) is built when needed and
# a peer missing from its bin folder comes from scripts/fetch-ffmpeg.sh or build-mediainfo.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${TOLVANE_DIST:-$root/dist}

die() { echo "package: $*" >&2; exit 1; }

# The PE format each target's binaries must have.
pe_format() { case "$1" in x86) echo pei-i386 ;; x64) echo pei-x86-64 ;; esac; }

check_format() {
  local file=$1 target=$2 format
  format=$(x86_64-w64-mingw32-objdump -f "$file" | sed -n 's/.*file format //p')
  [ "$format" = "$(pe_format "$target")" ] || die "$file is $format, expected $(pe_format "$target") for $target"
}

# The path of a peer (ffmpeg.exe, MediaInfo.dll) for a target: from the tree, or fetched.
peer_path() {
  local name=$1 target=$2 tree=$3 given=$4
  if [ -f "$tree/bin/$name" ]; then
    echo "$tree/bin/$name"
  elif [ -n "$given" ]; then
    die "$tree/bin has no $name"
  elif [ "$name" = ffmpeg.exe ]; then
    "$root/scripts/fetch-ffmpeg.sh" "$target"
  else
    "$root/scripts/build-mediainfo.sh" "$target" | tail -n 1
  fi
}

# The file list that every zip must hold, below its top folder.
expected_entries() {
  printf '%s\n' Tolvane.exe ffmpeg.exe MediaInfo.dll LICENSE.txt licenses/README.txt \
    licenses/ffmpeg-GPL-3.0.txt licenses/MediaInfoLib-BSD-2-Clause.txt \
    licenses/ZenLib-zlib.txt licenses/zlib.txt licenses/winpthreads.txt
}

package_target() {
  local target=$1 given tree folder stage zip
  case "$target" in
    x86) given=${TOLVANE_X86_BUILD:-} ;;
    x64) given=${TOLVANE_X64_BUILD:-} ;;
  esac
  tree=${given:-${TOLVANE_BUILD:-$root/build}/$target}
  if [ -n "$given" ]; then
    [ -f "$tree/bin/Tolvane.exe" ] || die "$tree/bin has no Tolvane.exe"
  elif [ -f "$tree/CMakeCache.txt" ]; then
    cmake --build "$tree" --target Tolvane -j2 >&2
  else
    TOLVANE_BUILD=$(dirname "$tree") "$root/scripts/build.sh" "$target" -DTOLVANE_TESTS=OFF >&2
  fi

  folder=Tolvane-$target
  stage=$work/$folder
  mkdir -p "$stage/licenses"
  cp "$tree/bin/Tolvane.exe" "$stage/"
  cp "$(peer_path ffmpeg.exe "$target" "$tree" "$given")" "$stage/ffmpeg.exe"
  cp "$(peer_path MediaInfo.dll "$target" "$tree" "$given")" "$stage/MediaInfo.dll"
  cp "$root/LICENSE" "$stage/LICENSE.txt"
  cp "$root"/licenses/*.txt "$stage/licenses/"
  for binary in Tolvane.exe ffmpeg.exe MediaInfo.dll; do
    check_format "$stage/$binary" "$target"
  done

  zip=$dist/$folder.zip
  rm -f "$zip"
  (cd "$work" && zip -q -X -r "$zip" "$folder")
  # The zip must hold exactly the expected files.
  diff <(expected_entries | sed "s|^|$folder/|" | sort) \
       <(unzip -Z1 "$zip" | grep -v '/$' | sort) >&2 || die "$zip does not hold the expected files"
  echo "$zip"
}

mkdir -p "$dist"
dist=$(cd "$dist" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in x86 x64; do
  package_target "$target"
done
