#!/bin/sh
# Usage: ansi_imports.sh OBJDUMP BASELINE PROGRAM...
# Fails when a program imports an ANSI text function (a name ending in "A"
# after a small letter or digit, such as CreateFileA) that the runtime
# alone, as BASELINE links it, does not import; and when velda.exe's
# manifest does not declare per-monitor DPI awareness.
objdump="$1"
baseline="$2"
shift 2
ansi() {
    "$objdump" -p "$1" >"$listing" || { echo "cannot read the imports of $1"; exit 2; }
    awk '/DLL Name/ { dll = $3 } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print $3 }' "$listing" | grep -E '[a-z0-9]A$' | sort -u
}
listing=$(mktemp)
trap 'rm -f "$listing"' EXIT
allowed=$(ansi "$baseline")
status=0
for program in "$@"; do
    for name in $(ansi "$program"); do
        if ! printf '%s\n' "$allowed" | grep -qx "$name"; then
            echo "$(basename "$program") imports $name"
            status=1
        fi
    done
    case "$program" in
    */velda.exe)
        grep -q '<dpiAwareness[^>]*>PerMonitorV2' "$program" || { echo "velda.exe: no per-monitor DPI awareness"; status=1; } ;;
    esac
done
exit $status
