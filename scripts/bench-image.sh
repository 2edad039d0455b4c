#!/bin/sh
# A 720 KB disk image made with mtools (pictures of every mode, a Graph
# Saurus picture with its palette file, an interlaced pair and a folder)
# converted whole, against the same files converted loose with -r: BMP into
# a RAM disk and PNG, the two taking turns. Checks that both give the same
# bytes, and prints the median of 21 runs of each and their ratio (the
# target: at most 1.2).
#   scripts/bench-image.sh velda-convert
set -eu
convert=$1
root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/build/bench-image
runs=21
export MTOOLS_NO_VFAT=1 MTOOLS_SKIP_CHECK=1

if ! command -v mformat >/dev/null 2>&1; then
    echo "bench-image: no mtools to make the image (make setup installs it); nothing to measure"
    exit 0
fi

# bsave FILE END: a BSAVE dump of video memory 0..END (END in hex), noise.
bsave() {
    printf '\376\000\000'"$(printf '\\%03o\\%03o' $((0x$2 & 255)) $((0x$2 >> 8)))"'\000\000' > "$1"
    head -c $((0x$2 + 1)) /dev/urandom >> "$1"
}

loose=$work/loose
rm -rf "$work" && mkdir -p "$loose/SUB"
bsave "$loose/P5.SC5" 769F
bsave "$loose/P6.SC6" 769F
bsave "$loose/P7.SC7" FA9F
bsave "$loose/P8.SC8" D3FF
bsave "$loose/PA.SCA" FA9F
bsave "$loose/PB.SCB" D3FF
bsave "$loose/PC.SCC" D3FF
bsave "$loose/I.SC7" FA9F
bsave "$loose/I.S17" FA9F
bsave "$loose/G.SR5" 6A00  # a Graph Saurus file: its length where a BSAVE dump has its end
head -c 32 /dev/urandom > "$loose/G.PL5"
bsave "$loose/SUB/D.SC8" D3FF

image=$work/GAME.DSK
mformat -C -f 720 -i "$image" ::
mmd -i "$image" ::/SUB
(cd "$loose" && mcopy -i "$image" P5.SC5 P6.SC6 P7.SC7 P8.SC8 PA.SCA PB.SCB PC.SCC I.SC7 I.S17 G.SR5 G.PL5 ::/)
mcopy -i "$image" "$loose/SUB/D.SC8" ::/SUB/

ramdisk=/dev/shm
[ -d "$ramdisk" ] && [ -w "$ramdisk" ] || ramdisk=$work
out=$(mktemp -d "$ramdisk/velda-bench-image-XXXXXX")
trap 'rm -rf "$out"' EXIT

# One run: format input...; prints its wall time. The image's pictures go
# to $out/image/GAME, the loose ones to $out/loose.
run() {
    format=$1 kind=$2
    shift 2
    rm -rf "${out:?}/$kind" && mkdir -p "$out/$kind"
    start=$(date +%s%N)
    "$convert" -q -f "$format" -d "$out/$kind" "$@" >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.5f\n", ns / 1e9 }'
}

median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }

printf '%-24s %12s %12s %7s\n' "10 pictures" "image, ms" "loose, ms" "ratio"
for format in bmp png; do
    : > "$work/$format-image"
    : > "$work/$format-loose"
    for _ in $(seq $runs); do
        run $format image "$image" >> "$work/$format-image"
        run $format loose -r "$loose" >> "$work/$format-loose"
    done
    if ! diff -r "$out/image/GAME" "$out/loose" >/dev/null; then
        echo "bench-image: the image's $format outputs differ from the loose files'" >&2
        exit 1
    fi
    a=$(median < "$work/$format-image")
    b=$(median < "$work/$format-loose")
    awk -v f="$format" -v a="$a" -v b="$b" 'BEGIN { printf "%-24s %12.2f %12.2f %7.2f\n", f ", same bytes", a * 1000, b * 1000, a / b }'
done
