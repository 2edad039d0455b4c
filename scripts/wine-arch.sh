#!/bin/sh
# Prints the Windows build whose programs Wine can run on this machine:
# "win32" where 32-bit code runs (the shipped program), otherwise "win64"
# (some virtual machines cannot execute 32-bit code at all).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo win32
else
    echo win64
fi
