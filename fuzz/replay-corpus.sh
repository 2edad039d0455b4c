#!/bin/sh
# Runs every input of a grown corpus once through the AddressSanitizer
# build of its harness: what a faster build kept is checked for stray
# reads and writes too. Exits non-zero on the first harness that fails.
#
#   fuzz/replay-corpus.sh CORPUS_FOLDER [ASAN_BUILD_FOLDER]
set -u

corpus=${1:?usage: fuzz/replay-corpus.sh CORPUS_FOLDER [ASAN_BUILD_FOLDER]}
build=${2:-build/fuzz}

. "$(dirname "$0")/sanitizer-env.sh"

mkdir -p "$build/findings"
for dir in "$corpus"/*/; do
    h=$(basename "$dir")
    if [ ! -x "$build/$h" ]; then
        echo "replay-corpus: $build/$h is not built (make fuzz-build)" >&2
        exit 1
    fi
    count=$(find "$dir" -type f | wc -l)
    # -runs=0: run the corpus once, mutate nothing.
    if "$build/$h" -runs=0 -max_len=65544 -timeout=60 -artifact_prefix="$build/findings/$h-" "$dir" \
        >"$build/$h.replay.log" 2>&1; then
        echo "replay-corpus: $h: $count inputs clean under $build"
    else
        echo "replay-corpus: $h: FINDING; the end of $build/$h.replay.log:" >&2
        tail -n 60 "$build/$h.replay.log" >&2
        exit 1
    fi
done
