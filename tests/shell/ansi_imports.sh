#!/bin/sh
# Usage: ansi_imports.sh OBJDUMP velda.exe PROGRAM...
# Fails when a program imports an ANSI text function (a name ending in "A"
# after a small letter or digit, as CreateFileA) that the static runtime
# does not import in every program, with names of its own (libgcc,
# winpthreads, libstdc++'s error texts, which VELDA does not show); and
# when velda.exe's manifest is not aware of each monitor's DPI.
runtime="CreateEventA CreateSemaphoreA FormatMessageA GetModuleHandleA LoadLibraryA OutputDebugStringA"
objdump="$1" status=0
shift
for program in "$@"; do
    for name in $("$objdump" -p "$program" | awk '/^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print $3 }' | grep -E '[a-z0-9]A$'); do
        case " $runtime " in *" $name "*) ;; *) echo "$(basename "$program") imports $name"; status=1 ;; esac
    done
done
grep -q '<dpiAwareness[^>]*>PerMonitorV2' "$1" || { echo "velda.exe: no per-monitor DPI awareness"; status=1; }
exit $status
