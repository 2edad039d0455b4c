#!/bin/sh
# Runs a Windows executable under Wine with a private prefix, no debug
# chatter and the locale VELDA_LOCALE, whose code page becomes the ANSI
# code page: ja_JP.UTF-8 (the default) gives 932, C.UTF-8 gives 1252. The
# 64-bit loader is used for 64-bit executables.
set -e
exe="$1"
# PE32+ (64-bit) images carry the optional-header magic 0x20b; Wine's own
# programs (wineboot) take whichever loader this machine can run.
loader=/usr/lib/wine/wine
if [ -f "$exe" ]; then
    pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
    magic=$(od -An -tx2 -j$((pe + 24)) -N2 "$exe" | tr -d ' ')
    [ "$magic" = 020b ] && loader=/usr/lib/wine/wine64
elif ! "$loader" --version >/dev/null 2>&1; then
    loader=/usr/lib/wine/wine64
fi
if [ -z "${WINEPREFIX:-}" ]; then
    WINEPREFIX="$(cd "$(dirname "$exe")" && pwd)/wineprefix"
    case "$WINEPREFIX" in */tests/*) WINEPREFIX="${WINEPREFIX%%/tests/*}/wineprefix" ;; esac
fi
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL="${VELDA_LOCALE:-ja_JP.UTF-8}"
export WINELOADER="$loader"
exec "$loader" "$@"
