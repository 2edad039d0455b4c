#!/bin/sh
# Runs a command (the Wine run of the window tests) with a small file system
# mounted at a fresh scratch folder, named in VELDA_FULL_DISK_DIR, so that a
# Save into that folder fails part-way as it does on a full disk. Mounting
# needs root; otherwise the command runs without the variable and the test
# that needs it reports itself skipped.
set -u
dir=$(mktemp -d "${TMPDIR:-/tmp}/velda-full-XXXXXX") || exit 1
mounted=0
cleanup() {
    if [ "$mounted" = 1 ]; then
        # The Wine server may hold the folder a moment after the run.
        for _ in 1 2 3 4 5; do umount "$dir" 2>/dev/null && mounted=0 && break; sleep 1; done
        [ "$mounted" = 1 ] && umount -l "$dir"
    fi
    rmdir "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
# 64 KiB: a SCREEN 5 bitmap (27,254 bytes) fits, a SCREEN 12 one (162,870) does not.
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=64k,mode=0777 velda-full "$dir" 2>/dev/null; then
    mounted=1
    VELDA_FULL_DISK_DIR=$dir
    export VELDA_FULL_DISK_DIR
else
    echo "full_disk_run.sh: not root or mount refused; the full-disk test will skip" >&2
fi
"$@"
exit $?
