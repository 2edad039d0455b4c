#!/bin/sh
# Installs what building, running and testing VELDA needs on Debian 12,
# and only what is missing (zlib inflates archives, natively and in the
# Windows builds; libdeflate compresses the PNG files, which libpng reads
# back in the tests; hyperfine times the converter in the benchmarks;
# mtools makes the disk images the tests read; help2man the manual pages;
# lintian, man-db, GIO, shared-mime-info and bubblewrap check the package
# and what it installs; gdk-pixbuf's and Qt's development files build the
# image viewers' plug-ins, which Python's bindings of both read pictures
# through in the tests; emscripten builds the web page, which chromium,
# nodejs and npm test).
# Run as root (make does this for you).
set -eu

packages="make cmake g++ pkg-config googletest libgtest-dev libbenchmark-dev libdeflate-dev libpng-dev libcli11-dev
  zlib1g-dev g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 libz-mingw-w64-dev
  wine wine64 wine32:i386 xvfb xauth locales fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine zip
  clang libclang-rt-14-dev llvm hyperfine mtools help2man man-db lintian libglib2.0-bin shared-mime-info bubblewrap
  libgdk-pixbuf-2.0-dev qtbase5-dev qt6-base-dev python3-gi gir1.2-gdkpixbuf-2.0 python3-pyqt5 python3-pyqt6
  emscripten chromium"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

# node and npm may come from elsewhere than Debian (NodeSource's nodejs
# carries its own npm): only where either is missing are Debian's installed.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    missing="$missing nodejs npm"
fi

if [ -n "$missing" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "setup: missing packages:$missing" >&2
        echo "setup: run 'make setup' as root, or install them with apt-get" >&2
        exit 1
    fi
    echo "setup: installing$missing"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    if [ "$(id -u)" != 0 ]; then
        echo "setup: the ja_JP.UTF-8 locale is missing; run 'make setup' as root" >&2
        exit 1
    fi
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
fi
