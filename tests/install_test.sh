#!/bin/sh
# install_test.sh BUILD_DIR [CORPUS_DIR]: what `cmake --install` lays out,
# its manual pages, and the thumbnailer run as its .thumbnailer file says:
# from the PATH, on an input it may only read, as a user who cannot write
# beside it (where the test runs as root), and in a sandbox (where
# bubblewrap is installed).
set -u
build=$1
corpus=${2:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "install_test: $*"; failed=1; }

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "install_test: cmake --install failed"; exit 1; }
for file in bin/velda-convert bin/velda-thumbnailer share/man/man1/velda-convert.1.gz \
            share/man/man1/velda-thumbnailer.1.gz share/thumbnailers/velda.thumbnailer \
            share/mime/packages/velda.xml share/doc/velda/copyright share/doc/velda/changelog.gz; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
if command -v man >/dev/null; then
    for program in velda-convert velda-thumbnailer; do
        MANWIDTH=80 man -l "$prefix/share/man/man1/$program.1.gz" 2>/dev/null | grep -q "^NAME" ||
            fail "man -l does not show $program.1.gz"
    done
fi

# The image viewers' plug-ins from the prefix, as their programs are told
# to look there: each read through its library against the converter's
# PNG (loaders/viewer_test.py), the corpus too.
update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database failed"
viewer_test() { XDG_DATA_DIRS="$prefix/share:/usr/share" /usr/bin/python3 "$(dirname "$0")/loaders/viewer_test.py" \
                    "$1" "$prefix/bin/velda-convert" $corpus 2>/dev/null || fail "the $1 plug-in does not read as velda-convert"; }
"$(pkg-config --variable=gdk_pixbuf_query_loaders gdk-pixbuf-2.0)" "$prefix"/lib/*/gdk-pixbuf-2.0/2.10.0/loaders/libpixbufloader-velda.so \
    > "$scratch/loaders.cache" || fail "gdk-pixbuf-query-loaders does not take the installed loader"
GDK_PIXBUF_MODULE_FILE=$scratch/loaders.cache viewer_test gdk
for qt in 5 6; do QT_PLUGIN_PATH=$(echo "$prefix"/lib/*/qt$qt/plugins) viewer_test qt$qt; done

# The PNG's width and height, from its header.
size_of() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 "x" $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'; }

# The thumbnailer's command line as a file manager makes it: %s, %i, %o.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/velda.thumbnailer")
mkdir -p "$scratch/in" "$scratch/out"
as_user=""
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
    chown 65534 "$scratch/out"
fi
chmod 755 "$scratch"
# Runs the thumbnailer on $1, writing $scratch/out/$2.png.
thumbnail() {
    command=$(printf '%s' "$exec_line" | sed "s|%s|128|; s|%i|$1|; s|%o|$scratch/out/$2.png|")
    PATH="$prefix/bin:$PATH" $as_user sh -c "$command"
}

printf '\376\0\0\377\151\0\0' > "$scratch/in/TITLE.SC7"
head -c 27136 /dev/urandom >> "$scratch/in/TITLE.SC7"
printf 'not a picture' > "$scratch/in/NOTE.SC5"
chmod 444 "$scratch/in/TITLE.SC7" "$scratch/in/NOTE.SC5"
chmod 555 "$scratch/in"
thumbnail "$scratch/in/TITLE.SC7" title || fail "the thumbnailer failed on a read-only SCREEN 7 picture"
[ "$(size_of "$scratch/out/title.png" 2>/dev/null)" = 128x106 ] || fail "the SCREEN 7 thumbnail is not 128 x 106: $(size_of "$scratch/out/title.png")"
# A file manager that makes the output file and reads the thumbnail back
# through the handle it keeps open (tumbler does) reads the PNG.
: > "$scratch/out/held.png"
[ -n "$as_user" ] && chown 65534 "$scratch/out/held.png"
exec 3< "$scratch/out/held.png"
thumbnail "$scratch/in/TITLE.SC7" held || fail "the thumbnailer failed on an output file that exists"
[ "$(od -An -c -j1 -N3 <&3 | tr -d ' ')" = PNG ] || fail "a reader holding the output file open does not read the PNG"
exec 3<&-
rm "$scratch/out/held.png"
thumbnail "$scratch/in/NOTE.SC5" note 2>/dev/null && fail "the thumbnailer succeeded on a file that is no picture"
[ -e "$scratch/out/note.png" ] && fail "the thumbnailer wrote a file that is no picture"
[ "$(ls -A "$scratch/out")" = title.png ] || fail "the output folder holds more than the thumbnail: $(ls -A "$scratch/out")"

# In a sandbox as GNOME's file manager makes one (bubblewrap): the system's
# programs and libraries, the input alone and a folder for the output,
# every namespace of its own, no display.
if command -v bwrap >/dev/null && bwrap --ro-bind / / true 2>/dev/null; then
    mkdir "$scratch/sandboxed"
    bwrap --ro-bind /usr /usr --symlink usr/lib /lib --symlink usr/lib64 /lib64 --symlink usr/bin /bin \
          --ro-bind "$prefix/bin/velda-thumbnailer" /velda-thumbnailer \
          --ro-bind "$scratch/in/TITLE.SC7" /tmp/picture.sc7 --bind "$scratch/sandboxed" /tmp/out \
          --proc /proc --dev /dev --unshare-all --die-with-parent \
          /velda-thumbnailer -s 256 /tmp/picture.sc7 /tmp/out/thumbnail.png ||
        fail "the thumbnailer failed in a sandbox"
    if [ "$(size_of "$scratch/sandboxed/thumbnail.png" 2>/dev/null)" = 256x212 ]; then
        echo "install_test: a 256 x 212 thumbnail made in a sandbox"
    else
        fail "the thumbnail made in a sandbox is not 256 x 212"
    fi
fi

# Every picture of the corpus, where it lies beside the checkout.
if [ -n "$corpus" ] && [ -d "$corpus" ]; then
    count=0
    for picture in "$corpus"/*.*; do
        case $picture in *.md) continue ;; esac
        count=$((count + 1))
        thumbnail "$picture" "corpus$count" || { fail "no thumbnail of $(basename "$picture")"; continue; }
        size=$(size_of "$scratch/out/corpus$count.png")
        [ "$size" = 128x106 ] || fail "the thumbnail of $(basename "$picture") is $size, not 128x106"
    done
    echo "install_test: $count corpus pictures, each 128 x 106"
fi
exit $failed
