#!/bin/sh
# PNG on one thread, mode by mode, beside the converter of the previous
# release (1.4.0) built from this repository's history, in the same run:
# for each mode of the corpus, 60 copies of one of its pictures converted
# with `-q -j 1 -f png -d OUT` into an empty folder on the disk, the two
# converters timed in turns by hyperfine; then the PNG bytes of one copy of
# the corpus, mode by mode (the mode an extension gives), in all and as
# 1.4.0's and 1.2.0's figures counted them, and the corpus copied 16 times
# over at the default number of jobs. Pictures a second and their ratio
# from the medians of wall time, 15 runs of each (ROUNDS=N in the
# environment: 3N); beside it the ratio of CPU time, which other programs
# on the machine disturb less.
#   scripts/bench-png.sh NEW-velda-convert
set -eu
new=$1
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$root/../shared/corpus
base_commit=d87569a  # VELDA 1.4.0, as this benchmark was first compared
work=$root/build/bench-png
copies=60
rounds=${ROUNDS:-5}
runs=3  # of each converter in a round

if [ ! -d "$corpus" ]; then
    echo "bench-png: no corpus beside the checkout ($corpus); nothing to measure"
    exit 0
fi
if ! command -v hyperfine >/dev/null 2>&1; then
    echo "bench-png: hyperfine is not installed (make setup installs it)" >&2
    exit 1
fi

old=$work/base/build/velda-convert
if [ ! -x "$old" ]; then
    if ! git -C "$root" cat-file -e "$base_commit^{commit}" 2>/dev/null; then
        echo "bench-png: commit $base_commit (1.4.0) is not in this clone; nothing to compare with"
        exit 0
    fi
    rm -rf "$work/base" && mkdir -p "$work/base/src"
    git -C "$root" archive "$base_commit" | tar -x -C "$work/base/src"
    cmake -S "$work/base/src" -B "$work/base/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$work/base/build" --target velda-convert -j 2 >/dev/null
fi

# The extensions of each mode in the corpus; its first picture by name is
# the one copied.
modes="5:SC5 6:SC6 7:SC7 8:SC8 10:SCA 12:SCC,S12"
of_mode() {
    for extension in $(echo "$1" | tr , ' '); do
        find "$corpus" -maxdepth 1 -type f -iname "*.$extension"
    done | LC_ALL=C sort
}

shown() { awk -v n="$1" 'BEGIN { print (length(n) > 32 ? "..." substr(n, length(n) - 28) : n) }'; }
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.0f", n / s }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
bytes() { find "$1" -type f -name '*.png' -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }'; }

# The PNG bytes program $1 writes of the pictures after it, each once.
corpus_bytes() {
    program=$1
    shift
    rm -rf "$work/one" && mkdir -p "$work/one"
    "$program" -q --keep-extension -f png -d "$work/one" "$@"
    bytes "$work/one"
}

# Median wall seconds of old and new converting the files of folder $1
# with options $2, then their mean CPU seconds (user and system): hyperfine
# times them in rounds, the two going first in turn, so that a busy moment
# of a shared machine falls on both alike.
race() {
    out=$work/out
    rm -f "$work"/race-*.json
    for round in $(seq "$rounds"); do
        first=$old second=$new
        [ $((round % 2)) = 0 ] && first=$new second=$old
        hyperfine -N -w 1 -r "$runs" --export-json "$work/race-$round.json" \
            --prepare "sh -c 'rm -rf $out && mkdir -p $out'" \
            "$first -q $2 -f png -d $out $(echo "$1"/*)" "$second -q $2 -f png -d $out $(echo "$1"/*)" \
            >"$work/hyperfine.log" 2>&1 || { cat "$work/hyperfine.log" >&2; exit 1; }
    done
    python3 - "$old" "$new" "$work"/race-*.json <<'EOF'
import json, statistics, sys
old, new, *files = sys.argv[1:]
times = {old: [], new: []}
cpu = {old: [], new: []}
for name in files:
    with open(name) as f:
        for result in json.load(f)["results"]:
            program = result["command"].split()[0]
            times[program] += result["times"]
            cpu[program].append(result["user"] + result["system"])
print(*(statistics.median(times[p]) for p in (old, new)), *(statistics.mean(cpu[p]) for p in (old, new)))
EOF
}

printf '%-6s %-32s %12s %12s %6s %6s %14s %14s\n' mode "picture ($copies copies, -j 1)" "1.4.0 pic/s" "now pic/s" ratio \
    "CPU" "1.4.0 bytes" "now bytes"
old_total=0
new_total=0
for entry in $modes; do
    screen=${entry%%:*}
    pictures=$(of_mode "${entry#*:}")
    [ -n "$pictures" ] || continue
    first=$(echo "$pictures" | head -n 1)
    name=$(basename "$first")
    inputs=$work/in-$screen
    rm -rf "$inputs" && mkdir -p "$inputs"
    n=1
    while [ $n -le $copies ]; do
        cp "$first" "$inputs/$(printf '%02d' $n)-$name"
        n=$((n + 1))
    done
    set -- $(race "$inputs" "-j 1")
    old_bytes=$(corpus_bytes "$old" $pictures)
    new_bytes=$(corpus_bytes "$new" $pictures)
    old_total=$((old_total + old_bytes))
    new_total=$((new_total + new_bytes))
    printf '%-6s %-32s %12s %12s %6s %6s %14s %14s\n' "$screen" "$(shown "$name")" "$(rate $copies "$1")" \
        "$(rate $copies "$2")" "$(ratio "$1" "$2")" "$(ratio "$3" "$4")" "$old_bytes" "$new_bytes"
done
printf '%-6s %-32s %12s %12s %6s %6s %14s %14s\n' all "the corpus, each picture once" "" "" "" "" "$old_total" "$new_total"
# The corpus as the figures of 1.4.0 (241,830) and 1.2.0 (232,117) counted
# it: the pictures named .SC5-.SCC, not a palette table saved alone.
pictures=$(of_mode SC5,SC6,SC7,SC8,SCA,SCC | while read -r file; do
    if [ "$(wc -c < "$file")" -gt 1000 ]; then echo "$file"; fi
done)
printf '%-6s %-32s %12s %12s %6s %6s %14s %14s\n' .SC? "$(echo "$pictures" | wc -l) pictures named .SC5-.SCC" "" "" "" "" \
    "$(corpus_bytes "$old" $pictures)" "$(corpus_bytes "$new" $pictures)"

# The whole corpus as a batch, 16 times over, on every core.
inputs=$work/in-corpus
rm -rf "$inputs" && mkdir -p "$inputs"
n=0
for _ in $(seq 16); do
    for picture in $(of_mode SC5,SC6,SC7,SC8,SCA,SCC,S12); do
        n=$((n + 1))
        cp "$picture" "$inputs/$(printf '%03d' $n)-$(basename "$picture")"  # a name of its own, and an output
    done
done
count=$(ls "$inputs" | wc -l)
set -- $(race "$inputs" "")
printf '%-6s %-32s %12s %12s %6s %6s\n' "-j $(nproc)" "the corpus, $count pictures" "$(rate "$count" "$1")" \
    "$(rate "$count" "$2")" "$(ratio "$1" "$2")" "$(ratio "$3" "$4")"
