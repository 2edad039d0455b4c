#!/bin/sh
# The converter's batch as a user runs it: the pictures of the corpus
# copied to 400 files, converted to PNG (into a folder on the disk) and to
# BMP (into a RAM disk), with one job and with the default number, beside
# the converter of VELDA 1.0.0 built from this repository's history, in the
# same run. Prints the median of 5 runs of each (the converters taking
# turns) and the total PNG bytes.
#   scripts/bench-batch.sh NEW-velda-convert
set -eu
new=$1
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$root/../shared/corpus
base_commit=3f034bd  # the last commit of VELDA 1.0.0
work=$root/build/bench-batch
runs=5
files=400

if [ ! -d "$corpus" ]; then
    echo "bench-batch: no corpus beside the checkout ($corpus); nothing to measure"
    exit 0
fi

# The 1.0.0 converter, built once from the repository's history.
old=$work/base/build/velda-convert
if [ ! -x "$old" ]; then
    if git -C "$root" cat-file -e "$base_commit^{commit}" 2>/dev/null; then
        rm -rf "$work/base" && mkdir -p "$work/base/src"
        git -C "$root" archive "$base_commit" | tar -x -C "$work/base/src"
        cmake -S "$work/base/src" -B "$work/base/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$work/base/build" --target velda-convert -j 2 >/dev/null
    else
        echo "bench-batch: commit $base_commit (1.0.0) is not in this clone; only this build is measured"
        old=
    fi
fi

# 400 inputs: the corpus pictures again and again, each copy under names of
# its own, so that no two want one output.
inputs=$work/in
rm -rf "$inputs" && mkdir -p "$inputs"
n=0
while [ $n -lt $files ]; do
    for picture in "$corpus"/*.[Ss][Cc]? "$corpus"/*.[Ss]1?; do
        [ $n -lt $files ] || break
        name=$(basename "$picture")
        cp "$picture" "$inputs/$(printf '%03d' $n)-${name%.*}.${name##*.}"
        n=$((n + 1))
    done
done

ramdisk=/dev/shm
[ -d "$ramdisk" ] && [ -w "$ramdisk" ] || ramdisk=$work
out_disk=$work/out
out_ram=$(mktemp -d "$ramdisk/velda-bench-XXXXXX")
trap 'rm -rf "$out_ram"' EXIT

# One run: converter format outdir [options...]; prints its wall time.
run() {
    program=$1 format=$2 out=$3
    shift 3
    rm -rf "$out" && mkdir -p "$out"
    start=$(date +%s%N)
    "$program" -q -f "$format" -d "$out" "$@" "$inputs"/* >/dev/null 2>&1 || true
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.4f\n", ns / 1e9 }'
}

median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a / b }'; }
bytes() { find "$1" -type f -name '*.png' -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }'; }

jobs=$(nproc)
times=$work/times
rm -rf "$times" && mkdir -p "$times"
# The converters take turns, run after run, so that a slower moment of a
# shared machine falls on all of them alike.
for _ in $(seq $runs); do
    for format in png bmp; do
        out=$out_disk
        [ $format = bmp ] && out=$out_ram
        if [ -n "$old" ]; then
            run "$old" $format "$out" >> "$times/$format-old"
            [ $format = png ] && old_bytes=$(bytes "$out")
        fi
        for j in 1 "$jobs"; do
            run "$new" $format "$out" -j "$j" >> "$times/$format-$j"
            [ $format = png ] && new_bytes=$(bytes "$out")
        done
    done
done

printf '%-34s %9s %14s %9s\n' "400 pictures" "seconds" "pictures/s" "vs 1.0.0"
for format in png bmp; do
    where="disk"
    [ $format = bmp ] && where="RAM disk"
    base=
    if [ -n "$old" ]; then
        base=$(median < "$times/$format-old")
        printf '%-34s %9.3f %14.0f %9s\n' "$format, $where, 1.0.0" "$base" "$(ratio $files "$base")" "1.00"
    fi
    for j in 1 "$jobs"; do
        t=$(median < "$times/$format-$j")
        speedup="-"
        [ -n "$base" ] && speedup=$(printf '%.2f' "$(ratio "$base" "$t")")
        label="$format, $where, -j $j"
        [ "$j" = "$jobs" ] && label="$label (default)"
        printf '%-34s %9.3f %14.0f %9s\n' "$label" "$t" "$(ratio $files "$t")" "$speedup"
    done
done
[ -n "$old" ] && echo "PNG bytes: 1.0.0 ${old_bytes}, now ${new_bytes}" || echo "PNG bytes: now ${new_bytes}"
