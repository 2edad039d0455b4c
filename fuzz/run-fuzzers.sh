#!/bin/sh
# Runs the libFuzzer harnesses of the fuzz build side by side, one process
# each, for SECONDS apiece, starting from the seed corpus and from what
# earlier runs found (build/fuzz/corpus/HARNESS). Exits non-zero when any
# harness reports a finding: the input is left in build/fuzz/findings/.
#
#   fuzz/run-fuzzers.sh SECONDS [BUILD_FOLDER]
set -u

seconds=${1:?usage: fuzz/run-fuzzers.sh SECONDS [BUILD_FOLDER]}
build=${2:-build/fuzz}
harnesses="fuzz_bsave fuzz_convert fuzz_formats fuzz_disk fuzz_archive fuzz_thumbnail fuzz_sprites fuzz_viewer"

. "$(dirname "$0")/sanitizer-env.sh"

mkdir -p "$build/findings"
pids=""
for h in $harnesses; do
    if [ ! -x "$build/$h" ]; then
        echo "run-fuzzers: $build/$h is not built (make fuzz-build)" >&2
        exit 1
    fi
    mkdir -p "$build/corpus/$h"
    # -max_len: the selector byte, the 7 header bytes and 64 KiB of data
    # (fuzz_disk reads the same length as a whole disk image).
    "$build/$h" -max_total_time="$seconds" -max_len=65544 -timeout=60 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$h-" "$build/corpus/$h" "$build/fuzz-seeds" \
        >"$build/$h.log" 2>&1 &
    pids="$pids $!"
done

status=0
set -- $pids
for h in $harnesses; do
    pid=$1
    shift
    if wait "$pid"; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$h.log")
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$build/$h.log")
        echo "run-fuzzers: $h: ${runs:-?} runs (${rate:-?}/s), no finding; log in $build/$h.log"
    else
        status=1
        echo "run-fuzzers: $h: FINDING; the end of $build/$h.log:" >&2
        tail -n 60 "$build/$h.log" >&2
        echo "run-fuzzers: keep the input under fuzz/crashers/ (see its README) once it is fixed" >&2
    fi
done
exit $status
