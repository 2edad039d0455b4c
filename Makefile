# VELDA: the two commands that matter are `make run` and `make test`.
# Both install what is missing (Debian 12, as root) before they build.

JOBS ?= 2
WINESERVER = $(firstword $(wildcard /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver32) wineserver)

# Which Windows build Wine can run here (win32, the shipped program, or
# win64 where 32-bit code cannot execute) is asked only after setup has
# installed Wine: the recipes below hand it to a sub-make as WINE_ARCH.
# Asked while make reads this file, a fresh machine would always say win64.
WINE_ARCH_AFTER_SETUP = $$(scripts/wine-arch.sh)
SUBMAKE = $(MAKE) --no-print-directory
# For calling wine-tests, run-on or bench-wine directly.
WINE_ARCH ?= $(shell scripts/wine-arch.sh)

.PHONY: all setup native win32 win64 web test test-native test-wine wine-tests test-web run run-on clean

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

# The web page in build/web (index.html): the core built by Debian's
# emscripten, whose tools run on the machine's node and look for their
# modules where Debian keeps them.
web: setup
	cmake --preset web >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build --preset web -j $(JOBS)

test: test-native test-wine test-web test-asan fuzz-smoke test-package

test-native: native
	ctest --preset native

# The page in headless Chromium, served from 127.0.0.1, against the
# converter's files for the same pictures (tests/web).
test-web: web native
	tests/web/run.sh build/web build/native/velda-convert

# Every Windows test runs under one persistent wineserver, in a private
# prefix (cmake/wine-prefix.sh), on a virtual display, once for each
# locale of WINE_LOCALES: the Japanese code page 932 and the Western 1252,
# whose programs see every name and text through the same W functions. The
# 32-bit build is always built; where this machine cannot execute 32-bit
# code the 64-bit build of the same sources is the one run, and the first
# line says which. The display holds the largest view, 3x with the
# television aspect (1536 x 1272 and the frame), whole: Windows keeps a
# window within the display.
test-wine: win32
	@arch=$(WINE_ARCH_AFTER_SETUP); \
	if [ "$$arch" = win32 ]; then echo "make test: the Windows tests run on the win32 build (the thumbnail handler's on win64 too)"; \
	else echo "make test: this machine cannot run 32-bit code, so the Windows tests run on the win64 build"; fi; \
	$(SUBMAKE) wine-tests WINE_ARCH=$$arch

# Where the win32 build is the one run, the 64-bit thumbnail handler (the
# DLL Explorer loads on 64-bit Windows) is built and tested too, in the
# same session and prefix.
WIN64_THUMBNAILS = $(filter win32,$(WINE_ARCH))
WINE_LOCALES = ja_JP.UTF-8 C.UTF-8

wine-tests: $(WINE_ARCH)
	$(if $(WIN64_THUMBNAILS),cmake --preset win64 >/dev/null && \
	  cmake --build --preset win64 -j $(JOBS) --target velda_thumbnails thumbnail_handler_tests)
	WINEPREFIX=$(CURDIR)/build/$(WINE_ARCH)/wineprefix-test xvfb-run -a -s "-screen 0 2048x1536x24" \
	  sh -c 'mkdir -p $$WINEPREFIX && $(WINESERVER) -p && cmake/wine-prefix.sh; \
	         cmake/wine-run.sh reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1; rc=0; \
	         for locale in $(WINE_LOCALES); do export VELDA_LOCALE=$$locale; \
	           echo "make test: the Windows tests under LC_ALL=$$locale"; ctest --preset $(WINE_ARCH) || rc=1; \
	           $(if $(WIN64_THUMBNAILS),ctest --test-dir build/win64 -R thumbnail_handler_tests --output-on-failure \
	             --no-tests=error || rc=1;) done; $(WINESERVER) -k; exit $$rc'

# Starts velda.exe on the current display, in the locale RUN_LOCALE (a
# Western code page unless given: VELDA needs no Japanese one); the Open
# dialog starts in samples/.
RUN_LOCALE ?= C.UTF-8
run: setup
	@$(SUBMAKE) run-on WINE_ARCH=$(WINE_ARCH_AFTER_SETUP)

run-on: $(WINE_ARCH)
	@if [ -z "$$DISPLAY" ]; then echo "make run: no display (set DISPLAY, or use xvfb-run make run)"; exit 1; fi
	WINEPREFIX=$(CURDIR)/build/$(WINE_ARCH)/wineprefix VELDA_LOCALE=$(RUN_LOCALE) cmake/wine-prefix.sh
	cd samples && WINEPREFIX=$(CURDIR)/build/$(WINE_ARCH)/wineprefix VELDA_LOCALE=$(RUN_LOCALE) \
	  ../cmake/wine-run.sh ../build/$(WINE_ARCH)/velda.exe

clean:
	rm -rf build

# --- installing on Linux, and the Debian package ------------------------

.PHONY: install deb test-package

# velda-convert, velda-thumbnailer, their manual pages, the thumbnailer
# entry and the MIME types of MSX pictures, under PREFIX.
PREFIX ?= /usr/local
install: native
	cmake --install build/native --prefix $(PREFIX)

# build/native/package/velda_VERSION_ARCH.deb, of the programs the native
# tests run, checked by lintian (which fails it for any error).
deb: native
	cd build/native && cpack -G DEB
	lintian --fail-on error build/native/package/velda_$(DIST_VERSION)_*.deb

# The package installed with dpkg and removed again, leaving nothing
# (scripts/check-deb.sh; as root, where no velda package is installed);
# installed, the image viewers' libraries read the corpus through it.
test-package: deb
	scripts/check-deb.sh build/native/package/velda_$(DIST_VERSION)_*.deb $(wildcard ../shared/corpus)

# --- velda-convert: benchmarks and release packages ---------------------

DIST_VERSION := $(shell awk '/^project/ { for (i = 1; i < NF; i++) if ($$i == "VERSION") print $$(i + 1) }' CMakeLists.txt)
DIST := build/dist
WEB_PAGE := index.html velda.js app.js png.js style.css pako_inflate.min.js pako-LICENSE
NATIVE_ARCH := $(shell uname -m)

.PHONY: bench bench-wine bench-web dist

# The native benchmarks of the core and the converter (medians of 5
# repetitions), the converter's batch of 400 corpus pictures beside the
# converter of 1.0.0 (scripts/bench-batch.sh), a disk image against its
# files loose (scripts/bench-image.sh), a ZIP archive of the corpus against
# its files unpacked and a deflate bomb (scripts/bench-archive.sh), PNG mode
# by mode on one thread beside the converter of 1.4.0
# (scripts/bench-png.sh), then the window benchmark under Wine, in the
# Windows build that `make test` runs and a Wine prefix of its own.
# docs/benchmarks.md tells what they measure and the targets.
bench: setup
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)
	build/native/velda_bench --benchmark_repetitions=5 --benchmark_min_time=0.2
	scripts/bench-batch.sh build/native/velda-convert
	scripts/bench-image.sh build/native/velda-convert
	scripts/bench-archive.sh build/native/velda-convert
	scripts/bench-png.sh build/native/velda-convert
	@$(SUBMAKE) bench-wine WINE_ARCH=$(WINE_ARCH_AFTER_SETUP)

# The web page in headless Chromium: a 720 KB disk image of 50 pictures,
# from its upload to all their thumbnails shown.
bench-web: web
	tests/web/run.sh build/web --bench

bench-wine:
	cmake --preset $(WINE_ARCH) >/dev/null
	cmake --build --preset $(WINE_ARCH) -j $(JOBS) --target velda_window_bench
	WINEPREFIX=$(CURDIR)/build/$(WINE_ARCH)/wineprefix-bench xvfb-run -a -s "-screen 0 1024x768x24" \
	  sh -c 'mkdir -p $$WINEPREFIX && $(WINESERVER) -p && cmake/wine-prefix.sh; \
	         cmake/wine-run.sh reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1; \
	         cmake/wine-run.sh build/$(WINE_ARCH)/velda_window_bench.exe; rc=$$?; $(WINESERVER) -k; exit $$rc'

# build/dist/velda-web-$(DIST_VERSION).zip: the web page, its files in a
# folder velda-web-$(DIST_VERSION) to open or copy to any static host.
# build/dist/velda-$(DIST_VERSION)-win32.zip: velda.exe with its HTML help
# (velda-help.html, which Help > Contents opens beside it), velda-convert.exe
# when the Windows build makes it, the thumbnail handler for 32-bit and for
# 64-bit Explorer, README.md, CHANGELOG and the converter's manual; and
# build/dist/velda-convert-$(DIST_VERSION)-linux-$(NATIVE_ARCH).tar.gz (with CHANGELOG too). Both are
# reproducible: sorted entries, fixed times, owners and modes. The programs
# are shipped stripped of their debugging sections.
dist: setup
	@cmake --preset win32 >/dev/null && cmake --build --preset win32 -j $(JOBS) || \
	  { echo "make dist: the win32 build failed, so build/win32/velda.exe cannot be packaged" >&2; exit 1; }
	@test -f build/win32/velda.exe || \
	  { echo "make dist: build/win32/velda.exe does not exist: the window program is not built yet" >&2; exit 1; }
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS) --target velda_thumbnails
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS) --target velda-convert
	@$(SUBMAKE) web
	rm -rf $(DIST)
	mkdir -p $(DIST)/win32 $(DIST)/native/velda-convert-$(DIST_VERSION) $(DIST)/web/velda-web-$(DIST_VERSION)
	cp $(addprefix build/web/,$(WEB_PAGE)) $(DIST)/web/velda-web-$(DIST_VERSION)/
	cp build/win32/velda.exe docs/velda-help.html build/win32/velda-thumbnails-x86.dll build/win64/velda-thumbnails-x64.dll \
	  README.md CHANGELOG $(DIST)/win32/
	if [ -f build/win32/velda-convert.exe ]; then \
	  cp build/win32/velda-convert.exe $(DIST)/win32/ && cp docs/velda-convert.md $(DIST)/win32/; fi
	cp build/native/velda-convert docs/velda-convert.md README.md CHANGELOG $(DIST)/native/velda-convert-$(DIST_VERSION)/
	i686-w64-mingw32-strip --strip-all $(DIST)/win32/*.exe $(DIST)/win32/velda-thumbnails-x86.dll
	x86_64-w64-mingw32-strip --strip-all $(DIST)/win32/velda-thumbnails-x64.dll
	strip --strip-all $(DIST)/native/velda-convert-$(DIST_VERSION)/velda-convert
	chmod 644 $(DIST)/win32/* $(DIST)/native/velda-convert-$(DIST_VERSION)/* $(DIST)/web/velda-web-$(DIST_VERSION)/*
	chmod 755 $(DIST)/web/velda-web-$(DIST_VERSION)
	chmod 755 $(DIST)/win32/*.exe $(DIST)/native/velda-convert-$(DIST_VERSION) $(DIST)/native/velda-convert-$(DIST_VERSION)/velda-convert
	find $(DIST)/win32 $(DIST)/native $(DIST)/web -exec touch -h -d @0 {} +
	cd $(DIST)/web && LC_ALL=C find velda-web-$(DIST_VERSION) | LC_ALL=C sort | \
	  TZ=UTC xargs zip -X -D -q ../velda-web-$(DIST_VERSION).zip
	cd $(DIST)/win32 && LC_ALL=C ls | LC_ALL=C sort | \
	  TZ=UTC xargs zip -X -D -q ../velda-$(DIST_VERSION)-win32.zip
	LC_ALL=C tar --sort=name --mtime=@0 --owner=0 --group=0 --numeric-owner --format=gnu \
	  -C $(DIST)/native -cf - velda-convert-$(DIST_VERSION) | \
	  gzip -n -9 > $(DIST)/velda-convert-$(DIST_VERSION)-linux-$(NATIVE_ARCH).tar.gz
	rm -rf $(DIST)/win32 $(DIST)/native $(DIST)/web
	@cd $(DIST) && sha256sum velda-$(DIST_VERSION)-win32.zip velda-convert-$(DIST_VERSION)-linux-$(NATIVE_ARCH).tar.gz \
	  velda-web-$(DIST_VERSION).zip

# --- sanitizers and fuzzing ----------------------------------------------

.PHONY: asan test-asan fuzz-build fuzz-smoke fuzz fuzz-fast-build fuzz-fast

# The core, the converter and all their tests built with AddressSanitizer
# and UBSan (gcc), plus the fuzzing harnesses replaying the saved crashers
# and the seeds. Any report fails the test that made it.
asan: setup
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

test-asan: asan
	ctest --preset asan

# The libFuzzer harnesses of fuzz/ (clang, with AddressSanitizer and UBSan).
# fuzz-smoke runs them on the saved crashers and seeds, then fuzzes each for
# FUZZ_SMOKE_SECONDS; fuzz does the same for FUZZ_SECONDS. Both fail on a
# finding and leave the input in build/fuzz/findings/.
FUZZ_SMOKE_SECONDS ?= 45
FUZZ_SECONDS ?= 1800

fuzz-build: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

fuzz-smoke: fuzz-build
	ctest --preset fuzz
	fuzz/run-fuzzers.sh $(FUZZ_SMOKE_SECONDS)

fuzz: fuzz-build
	ctest --preset fuzz
	fuzz/run-fuzzers.sh $(FUZZ_SECONDS)

# Long runs: the same harnesses under UBSan only, about twice the runs a
# second of the AddressSanitizer build (more on a busy machine), for
# FUZZ_SECONDS each.
# Everything they keep in build/fuzz-fast/corpus/ is then run once more
# under AddressSanitizer, so a stray read among those inputs is still found.
fuzz-fast-build: setup
	cmake --preset fuzz-fast >/dev/null
	cmake --build --preset fuzz-fast -j $(JOBS)

fuzz-fast: fuzz-fast-build fuzz-build
	fuzz/run-fuzzers.sh $(FUZZ_SECONDS) build/fuzz-fast
	fuzz/replay-corpus.sh build/fuzz-fast/corpus build/fuzz
