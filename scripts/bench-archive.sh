#!/bin/sh
# A ZIP archive of the corpus's pictures (400 files, as bench-batch.sh
# copies them; noise pictures where the corpus is not there) converted
# whole, against the same files converted unpacked with -r: BMP into a RAM
# disk and PNG, one job and the default number, the two taking turns.
# Checks that both give the same bytes, and prints the median of the runs
# and their ratio (the target: at most 1.2), and the most memory each took.
# Then a ZIP holding a 256 MiB deflate bomb beside a picture: its time and
# memory (the target: under 10 s and 200 MB).
#   scripts/bench-archive.sh velda-convert
set -eu
convert=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$root/../shared/corpus
work=$root/build/bench-archive
runs=7
files=400

if ! command -v zip >/dev/null 2>&1; then
    echo "bench-archive: no zip to make the archive (make setup installs it); nothing to measure"
    exit 0
fi

rm -rf "$work" && mkdir -p "$work/PICS"
n=0
if [ -d "$corpus" ]; then
    while [ $n -lt $files ]; do
        for picture in "$corpus"/*.[Ss][Cc]? "$corpus"/*.[Ss]1?; do
            [ $n -lt $files ] || break
            name=$(basename "$picture")
            cp "$picture" "$work/PICS/$(printf '%03d' $n)-${name%.*}.${name##*.}"
            n=$((n + 1))
        done
    done
else
    while [ $n -lt $files ]; do
        { printf '\376\000\000\237\166\000\000'; head -c 30368 /dev/urandom; } > "$work/PICS/$(printf '%03d' $n).SC5"
        n=$((n + 1))
    done
fi
(cd "$work/PICS" && zip -q -r ../PICS.ZIP .)
echo "bench-archive: $files pictures, $(du -sk "$work/PICS" | cut -f1) KB unpacked, $(($(wc -c < "$work/PICS.ZIP") / 1024)) KB zipped"

ramdisk=/dev/shm
[ -d "$ramdisk" ] && [ -w "$ramdisk" ] || ramdisk=$work
out=$(mktemp -d "$ramdisk/velda-bench-archive-XXXXXX")
trap 'rm -rf "$out"' EXIT

# One run: format jobs kind input...; prints its wall time in seconds and
# the most memory it took in KB. The archive's pictures go to
# $out/zip/PICS, the unpacked ones to $out/loose.
run() {
    format=$1 jobs=$2 kind=$3
    shift 3
    rm -rf "${out:?}/$kind" && mkdir -p "$out/$kind"
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/kb" "$convert" -q -j "$jobs" -f "$format" -d "$out/$kind" "$@" >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - start)) -v kb="$(tail -n 1 "$work/kb")" 'BEGIN { printf "%.5f %d\n", ns / 1e9, kb }'
}

median() { cut -d' ' -f1 | sort -n | sed -n "$(((runs + 1) / 2))p"; }
most() { cut -d' ' -f2 | sort -n | tail -n 1; }

cd "$work"
printf '%-24s %10s %10s %7s %12s %12s\n' "$files pictures" "zip, ms" "loose, ms" "ratio" "zip, MB" "loose, MB"
for format in bmp png; do
    for jobs in 1 $(nproc); do
        : > "$work/zip" && : > "$work/loose"
        for _ in $(seq $runs); do
            run $format "$jobs" zip PICS.ZIP >> "$work/zip"
            run $format "$jobs" loose -r PICS >> "$work/loose"
        done
        if ! diff -r "$out/zip/PICS" "$out/loose" >/dev/null; then
            echo "bench-archive: the archive's $format outputs differ from the unpacked files'" >&2
            exit 1
        fi
        awk -v f="$format, -j $jobs" -v a="$(median < "$work/zip")" -v b="$(median < "$work/loose")" \
            -v ma="$(most < "$work/zip")" -v mb="$(most < "$work/loose")" \
            'BEGIN { printf "%-24s %10.1f %10.1f %7.2f %12.1f %12.1f\n", f, a * 1000, b * 1000, a / b, ma / 1024, mb / 1024 }'
    done
done

# The bomb: 256 MiB of zeros, deflated, named as a disk image beside a
# picture, which is still converted.
head -c $((256 << 20)) /dev/zero > "$work/BOMB.DSK"
cp "$work/PICS/000-"* "$work/A.SC5" 2>/dev/null || cp "$work/PICS/000.SC5" "$work/A.SC5"
(cd "$work" && rm -f BOMB.ZIP && zip -q -9 BOMB.ZIP BOMB.DSK A.SC5 && rm BOMB.DSK)
rm -rf "${out:?}/bomb" && mkdir -p "$out/bomb"
start=$(date +%s%N)
/usr/bin/time -f %M -o "$work/kb" "$convert" -q -d "$out/bomb" BOMB.ZIP 2>/dev/null || true
end=$(date +%s%N)
[ -f "$out/bomb/BOMB/A.bmp" ] || { echo "bench-archive: the picture beside the bomb was not converted" >&2; exit 1; }
awk -v ns=$((end - start)) -v kb="$(tail -n 1 "$work/kb")" -v size="$(wc -c < BOMB.ZIP)" \
    'BEGIN { printf "a 256 MiB deflate bomb in a %d KB ZIP: refused in %.2f s, at most %.1f MB\n", size / 1024, ns / 1e9, kb / 1024 }'
