#!/bin/sh
# core_state.sh NM LIBRARY: the core takes bytes and returns values. Fails
# when its objects define writable data (a global that could hold state
# between calls) or call the C library to open or look at a file.
nm=$1
library=$2
# A class's vtable and typeinfo are written once, as the program is loaded
# (they hold addresses), and never again: they are no state.
state=$("$nm" -C --defined-only "$library" | grep -E ' [BbDd] ' | grep -vE ' [Dd] (vtable|typeinfo) for ')
files=$("$nm" -u "$library" | grep -wE '(f?open|fopen64|open64|f?stat|f?stat64|opendir|__x?stat64|__fxstat64)')
[ -z "$state" ] && [ -z "$files" ] && exit 0
[ -n "$state" ] && printf 'core_state: writable data in the core:\n%s\n' "$state"
[ -n "$files" ] && printf 'core_state: the core calls file functions:\n%s\n' "$files"
exit 1
