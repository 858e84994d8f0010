# Sourced by benchmarks: a temporary folder $work holding a fresh Wine prefix, with one
# persistent wineserver for it (no server start-up inside the timed runs); both go on exit.
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine=/usr/lib/wine/wine64
cleanup() { /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
"$wine" wineboot --init >/dev/null 2>&1
# Without a window manager Wine waits for every closed window unless its windows are unmanaged.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
