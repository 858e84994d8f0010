#!/usr/bin/env bash
# Builds MediaInfo.dll (MediaInfoLib 23.04 with ZenLib 0.4.41, from Debian's
# source packages) for one Windows target and caches it outside the build tree.
#
#   scripts/build-mediainfo.sh <x64|x86>
#
# Prints the absolute path of the cached DLL on the last line of stdout;
# progress goes to stderr. A cached DLL is returned at once.
set -euo pipefail

readonly MEDIAINFO_PKG=libmediainfo MEDIAINFO_DEB_VERSION=23.04+dfsg-1
readonly ZEN_PKG=libzen ZEN_DEB_VERSION=0.4.41-2
readonly SRC_LIST=/etc/apt/sources.list.d/tolvane-src.sources
readonly ARCHIVE_KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg

log() { echo "build-mediainfo: $*" >&2; }
die() { log "error: $*"; exit 1; }

case "${1:-}" in
    x64) triple=x86_64-w64-mingw32; compiler_pkg=g++-mingw-w64-x86-64-posix; extra_ldflags= ;;
    # The C functions are __stdcall on x86; export them without the @N decoration.
    x86) triple=i686-w64-mingw32; compiler_pkg=g++-mingw-w64-i686-posix; extra_ldflags=-Wl,--kill-at ;;
    *) echo "usage: $0 <x64|x86>" >&2; exit 2 ;;
esac
target=$1

cache_root=${TOLVANE_CACHE:-$HOME/.cache/tolvane}
dest_dir=$cache_root/mediainfo-23.04-zen-0.4.41-$target
dest_dll=$dest_dir/MediaInfo.dll
if [[ -f $dest_dll ]]; then
    echo "$dest_dll"
    exit 0
fi

repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
toolchain_file=$repo_dir/cmake/toolchain-$target.cmake
[[ -f $toolchain_file ]] || die "missing $toolchain_file"

as_root() { if ((EUID == 0)); then "$@"; else sudo "$@"; fi; }

apt_updated=0
apt_update_once() {
    if ((apt_updated == 0)); then
        log "apt-get update"
        as_root apt-get update -qq >&2
        apt_updated=1
    fi
}

install_missing_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
    done
    ((${#missing[@]} == 0)) && return
    apt_update_once
    log "installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# Adds deb-src for bookworm main in its own file. apt refuses a source whose
# Signed-By differs from the binary entry for the same archive, so the keyring
# is named only when that keeps apt's source list readable.
add_deb_src() {
    local stanza="Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main"
    local signed="$stanza
Signed-By: $ARCHIVE_KEYRING" candidate
    for candidate in "$signed" "$stanza"; do
        if [[ ! -f $SRC_LIST || "$(cat "$SRC_LIST")" != "$candidate" ]]; then
            printf '%s\n' "$candidate" | as_root tee "$SRC_LIST" >/dev/null
        fi
        if apt-cache policy >/dev/null 2>&1; then
            log "deb-src entries in $SRC_LIST"
            return
        fi
    done
    as_root rm -f "$SRC_LIST"
    die "apt rejects the deb-src entry in $SRC_LIST"
}

# Prints "URL FILE SHA256" for each file of a source package version, nothing
# when apt does not know it.
source_files() {
    { apt-get source --print-uris -qq "$1=$2" 2>/dev/null || true; } |
        sed -n "s/^'\([^']*\)' \([^ ]*\) [0-9]* SHA256:\([0-9a-f]*\)$/\1 \2 \3/p"
}

# The checksum that a .dsc lists for one of its files.
dsc_sha256() {
    awk -v name="$2" '/^Checksums-Sha256:/ { f = 1; next } /^[^ ]/ { f = 0 }
                      f && $3 == name { print $1 }' "$1"
}

orig_matches_dsc() {
    local dsc=$1 orig=$2 expected
    [[ -f $dsc && -f $orig ]] || return 1
    expected=$(dsc_sha256 "$dsc" "$(basename "$orig")")
    [[ -n $expected && "$(sha256sum "$orig" | cut -d' ' -f1)" == "$expected" ]]
}

# Fetches the .dsc and the original tarball (the Debian packaging is not
# needed) into the download cache and sets $orig to the tarball's path. The
# .dsc is checked against apt's signed index, the tarball against the .dsc.
fetch_orig() {
    local pkg=$1 version=$2 dir=$cache_root/sources
    local dsc=$dir/${pkg}_$version.dsc listing url file sha
    orig=$(compgen -G "$dir/${pkg}_${version%-*}.orig.tar.*" | head -n 1 || true)
    if [[ -n $orig ]] && orig_matches_dsc "$dsc" "$orig"; then
        return
    fi
    listing=$(source_files "$pkg" "$version")
    if [[ -z $listing ]]; then
        add_deb_src
        apt_update_once
        listing=$(source_files "$pkg" "$version")
    fi
    [[ -n $listing ]] || die "apt knows no source package $pkg=$version"
    mkdir -p "$dir"
    while read -r url file sha; do
        case "$file" in
            *.dsc | *.orig.tar.*) ;;
            *) continue ;;
        esac
        log "downloading $file"
        /usr/lib/apt/apt-helper -o APT::Sandbox::User=root \
            download-file "$url" "$dir/$file.part" "SHA256:$sha" >&2
        mv -f "$dir/$file.part" "$dir/$file"
        if [[ $file == *.orig.tar.* ]]; then orig=$dir/$file; fi
    done <<<"$listing"
    orig_matches_dsc "$dsc" "$orig" || die "$orig does not match $dsc"
}

install_missing_packages dpkg-dev make xz-utils cmake "$compiler_pkg" libz-mingw-w64-dev

mkdir -p "$cache_root"
# One build per target at a time; a waiting run then finds the DLL cached.
exec 9>"$cache_root/.mediainfo-$target.lock"
flock 9
if [[ -f $dest_dll ]]; then
    echo "$dest_dll"
    exit 0
fi

fetch_orig "$ZEN_PKG" "$ZEN_DEB_VERSION"
zen_orig=$orig
fetch_orig "$MEDIAINFO_PKG" "$MEDIAINFO_DEB_VERSION"
mediainfo_orig=$orig

work=$(mktemp -d "${TMPDIR:-/tmp}/mediainfo-$target.XXXXXX")
part=$dest_dll.part.$$
trap 'rm -rf "$work" "$part"' EXIT

# MediaInfoLib's CMake project expects ZenLib beside it.
tar -xf "$zen_orig" -C "$work"
tar -xf "$mediainfo_orig" -C "$work"
project=$work/MediaInfoLib/Project/CMake
[[ -d $work/ZenLib/Project/CMake && -d $project ]] || die "unexpected layout of the source tarballs"

# The .def file's ordinals make the mingw linker fail; without it the linker
# exports the C functions itself. Name the DLL as Windows programs expect it.
grep -q 'MediaInfoDLL/MediaInfoDLL\.def' "$project/CMakeLists.txt" ||
    die "MediaInfoDLL.def is no longer listed"
sed -i '/MediaInfoDLL\/MediaInfoDLL\.def/d' "$project/CMakeLists.txt"
echo 'set_target_properties(mediainfo PROPERTIES PREFIX "" OUTPUT_NAME MediaInfo)' >>"$project/CMakeLists.txt"

# CMake ends the link line with -Bdynamic after the static zlib, so g++'s own
# libstdc++ and winpthread would come from their DLLs: end it static instead.
log "configuring for $target"
cmake -S "$project" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" \
    -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=ON \
    -DBUILD_ZENLIB=ON \
    -DBUILD_ZLIB=OFF \
    -DZLIB_INCLUDE_DIR="/usr/$triple/include" \
    -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" \
    -DCMAKE_DISABLE_FIND_PACKAGE_CURL=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_TinyXML=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_PkgConfig=ON \
    -DCMAKE_LINK_SEARCH_END_STATIC=ON \
    -DCMAKE_SHARED_LINKER_FLAGS="-static -static-libgcc -static-libstdc++ -s $extra_ldflags" \
    >&2

log "building for $target (takes minutes)"
cmake --build "$work/build" --target mediainfo -j2 >&2

built=$work/build/MediaInfo.dll
[[ -f $built ]] || die "the build produced no MediaInfo.dll"

# Refuse a DLL that needs the toolchain's runtime or zlib beside it, or that
# lacks the plain names of the C functions.
imports=$("$triple-objdump" -p "$built" | sed -n 's/^\s*DLL Name: //p')
if grep -qiE '^(lib|zlib)' <<<"$imports"; then
    die "MediaInfo.dll imports non-system DLLs: $(tr '\n' ' ' <<<"$imports")"
fi
exports=$("$triple-objdump" -p "$built" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p')
for fn in MediaInfo_New MediaInfo_Open MediaInfo_Get MediaInfo_Close MediaInfo_Delete; do
    grep -qE "\] $fn$" <<<"$exports" || die "MediaInfo.dll does not export $fn"
done

mkdir -p "$dest_dir"
cp "$built" "$part"
mv -f "$part" "$dest_dll"
log "cached $dest_dll"
echo "$dest_dll"
