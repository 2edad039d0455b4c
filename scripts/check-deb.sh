#!/bin/sh
# check-deb.sh PACKAGE.deb [CORPUS]: installs the package with dpkg, checks
# that its programs run, its MIME types are known and the image viewers'
# libraries read MSX pictures through its plug-ins as velda-convert does
# (tests/loaders/viewer_test.py, on CORPUS too where given), removes it,
# and checks that the system's files are as they were. Only as root, and only where no
# velda package is installed (one of the user's own is never touched).
set -eu
deb=$1
corpus=${2:-}
if [ "$(id -u)" != 0 ]; then
    echo "check-deb: not root, so the package is not installed to check it"
    exit 0
fi
if dpkg-query -W -f='${Status}' velda 2>/dev/null | grep -q installed; then
    echo "check-deb: a velda package is installed already, so this one is not installed to check it"
    exit 0
fi

# The files of the system, but for the caches that dpkg's triggers (man-db)
# keep, and dpkg's own records.
files() {
    find /usr /etc /opt /var -xdev \( -path /var/cache -o -path /var/lib/dpkg -o -path /var/log -o -path /var/tmp \) \
        -prune -o -print 2>/dev/null | LC_ALL=C sort
}
before=$(mktemp)
after=$(mktemp)
trap 'rm -f "$before" "$after"' EXIT
files > "$before"

dpkg -i "$deb" >/dev/null
status=0
version=$(dpkg-deb -f "$deb" Version)
velda-thumbnailer --version | grep -qx "velda-thumbnailer (VELDA) $version" ||
    { echo "check-deb: velda-thumbnailer --version does not say $version"; status=1; }
velda-convert --version | grep -qx "velda-convert (VELDA) $version" ||
    { echo "check-deb: velda-convert --version does not say $version"; status=1; }
grep -q ':image/x-msx-bsave:' /usr/share/mime/globs2 ||
    { echo "check-deb: the MIME types are not in the system's database"; status=1; }
# gdk-pixbuf's own trigger puts the loader in its cache, and takes it out.
pixbuf_cache=$(pkg-config --variable=gdk_pixbuf_cache_file gdk-pixbuf-2.0)
grep -q libpixbufloader-velda "$pixbuf_cache" ||
    { echo "check-deb: the gdk-pixbuf loader is not in gdk-pixbuf's cache"; status=1; }
for reader in gdk qt5 qt6; do
    /usr/bin/python3 "$(dirname "$0")/../tests/loaders/viewer_test.py" $reader /usr/bin/velda-convert $corpus 2>/dev/null || status=1
done
dpkg -r velda >/dev/null

files > "$after"
if ! cmp -s "$before" "$after"; then
    echo "check-deb: removing the package left the system changed:"
    diff "$before" "$after" | grep '^[<>]' | head -20
    status=1
fi
grep -q 'image/x-msx' /usr/share/mime/globs2 && { echo "check-deb: the MIME types stay after removal"; status=1; }
grep -q libpixbufloader-velda "$pixbuf_cache" && { echo "check-deb: the gdk-pixbuf loader stays in its cache"; status=1; }
[ $status = 0 ] && echo "check-deb: $(basename "$deb") installs, runs and removes cleanly"
exit $status
