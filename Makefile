# VELDA: the two commands that matter are `make run` and `make test`.
# Both install what is missing (Debian 12, as root) before they build.

WINE_ARCH := $(shell scripts/wine-arch.sh)
JOBS ?= 2
WINESERVER := $(firstword $(wildcard /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver32) wineserver)

.PHONY: all setup native win32 win64 test test-native test-wine run clean

all: native win32

setup:
	@scripts/setup.sh

native: setup
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

win32: setup
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

win64: setup
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS)

test: test-native test-wine

test-native: native
	ctest --preset native

# Every Windows test runs under one persistent wineserver, in a private
# prefix, on a virtual display. The 32-bit build is always built; where
# this machine cannot execute 32-bit code the 64-bit build of the same
# sources is the one run.
# Windows the test prefix draws itself (no window manager on the virtual
# display), so window sizes are exactly what the program asks for.
TEST_PREFIX := $(CURDIR)/build/$(WINE_ARCH)/wineprefix-test
test-wine: win32 $(WINE_ARCH)
	WINEPREFIX=$(TEST_PREFIX) xvfb-run -a -s "-screen 0 1024x768x24" \
	  sh -c 'mkdir -p $$WINEPREFIX && $(WINESERVER) -p && cmake/wine-run.sh wineboot -i >/dev/null 2>&1; \
	         cmake/wine-run.sh reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1; \
	         ctest --preset $(WINE_ARCH); rc=$$?; $(WINESERVER) -k; exit $$rc'

# Starts velda.exe on the current display with the Japanese code page;
# the Open dialog starts in samples/.
run: $(WINE_ARCH)
	@if [ -z "$$DISPLAY" ]; then echo "make run: no display (set DISPLAY, or use xvfb-run make run)"; exit 1; fi
	cd samples && WINEPREFIX=$(CURDIR)/build/$(WINE_ARCH)/wineprefix ../cmake/wine-run.sh ../build/$(WINE_ARCH)/velda.exe

clean:
	rm -rf build
