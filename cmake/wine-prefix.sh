#!/bin/sh
# Makes the Wine prefix WINEPREFIX ready for VELDA: booted, and Japanese
# characters shown in every locale. Windows links its interface fonts to a
# Japanese one for the characters they lack; Wine does so only as the
# FontLink key says, and without it a Western locale shows VELDA's
# Japanese texts as boxes.
set -e
run="$(dirname "$0")/wine-run.sh"
mkdir -p "$WINEPREFIX"
"$run" wineboot -i >/dev/null 2>&1 || true
for font in Tahoma "MS Shell Dlg" "MS Sans Serif" System; do
    "$run" reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink" /v "$font" \
        /t REG_MULTI_SZ /d "ipagp.ttf,IPAPGothic" /f >/dev/null 2>&1
done
