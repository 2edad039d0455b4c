#!/bin/sh
# Converts every picture of a folder in every mode, with every colour
# rule, to BMP and to PNG, with two builds of velda-convert, and compares
# BMP files byte for byte and PNG files by what they hold (header, palette
# in its order, other chunks, every pixel: scripts/png-meaning.py), so that
# a PNG compressed another way still compares equal. For checking that a
# change of the code changes no picture:
#   scripts/compare-outputs.sh OLD-velda-convert NEW-velda-convert [FOLDER]
# FOLDER defaults to the corpus beside the checkout; FORMATS="bmp" in the
# environment compares one format only. Prints the number of files
# compared and every difference; exits 1 on any.
set -u
old=$1
new=$2
folder=${3:-$(dirname "$0")/../../shared/corpus}
same_png="$(dirname "$0")/png-meaning.py"
work=$(mktemp -d "${TMPDIR:-/tmp}/velda-compare-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
compared=0
differ=0

# Whether the two outputs in $work hold the same picture, in format $1.
same() {
    if [ "$1" = png ]; then
        [ -f "$work/old" ] && [ -f "$work/new" ] && python3 "$same_png" "$work/old" "$work/new"
    else
        cmp -s "$work/old" "$work/new"
    fi
}

for picture in "$folder"/*; do
    case "$picture" in *.md) continue ;; esac
    for screen in 1 2 3 4 5 6 7 8 10 11 12; do
        for colors in velda msx msx1; do
            for format in ${FORMATS:-bmp png}; do
                "$old" -q -s $screen --colors $colors -f $format -o "$work/old" "$picture" || echo "old failed: $picture"
                "$new" -q -s $screen --colors $colors -f $format -o "$work/new" "$picture" || echo "new failed: $picture"
                if ! same $format; then
                    echo "differs: $(basename "$picture") SCREEN $screen $colors $format"
                    differ=$((differ + 1))
                fi
                compared=$((compared + 1))
                rm -f "$work/old" "$work/new"
            done
        done
    done
done
echo "compare-outputs: $compared outputs compared, $differ differ"
[ "$differ" = 0 ]
