# Thin wrapper over the CMake presets. `make test` and `make run` set up a
# fresh Debian machine on their own (scripts/bootstrap).

SHELL := /bin/bash
JOBS ?= $(shell nproc)
XVFB := xvfb-run -a -s "-screen 0 1024x768x24"
WINE_RUN := $(CURDIR)/cmake/wine-run
DEMO_SKINS := build/demo/Skins

.PHONY: gui screenshot all bootstrap native win32 asan test test-native test-win32 test-asan run demo wineprefix dist clean distclean fuzzers fuzz fuzz-smoke

all: native

bootstrap:
	@scripts/bootstrap

native: bootstrap
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

win32: bootstrap
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

asan: bootstrap
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

# Wine's first start in a new prefix takes a while; do it once, up front,
# and give the prefix the fonts the window is laid out for. Which Wine serves
# (and so which prefix) cmake/wine-run decides.
WINE_PREFIX = $(shell cmake/wine-run --prefix)
wineprefix:
	@test -f $(WINE_PREFIX)/system.reg || (mkdir -p build && $(WINE_RUN) wineboot -i >/dev/null 2>&1 || true)
	@# wineboot returns before the prefix is written out; a test started then finds no window classes.
	@$(WINE_RUN) --server -w
	@WINEPREFIX=$(WINE_PREFIX) scripts/wine-fonts

# Every suite leaves its results in build/test-results; `make test` runs all
# of them, even after one fails, and ends with one summary of them all.
RESULTS := $(CURDIR)/build/test-results

test-native: native
	@mkdir -p $(RESULTS) && rm -f $(RESULTS)/native.*
	ctest --preset native -j $(JOBS) --output-junit $(RESULTS)/native.xml

# The Windows tests run the 32-bit build under Wine: the machine's own, or
# where that cannot start, the one of build/i386-root (scripts/bootstrap makes
# it). Only where neither serves do the same sources built for 64-bit Windows
# run instead, and the summary says why.
test-win32: win32 wineprefix native
	@mkdir -p $(RESULTS) && rm -rf $(RESULTS)/win32.*
	@kind=$$($(WINE_RUN) --kind); \
	if [ $$kind = wine64 ]; then \
	  tree=win64; \
	  echo "ran the 64-bit build (build/win64/bin, PE32+) under wine64, not the shipped i686 one: $$(cat build/i386-root.failed 2>/dev/null || echo 'no 32-bit Wine here')" > $(RESULTS)/win32.note; \
	  cmake --preset win64 >/dev/null && cmake --build --preset win64 -j $(JOBS) || exit 1; \
	else \
	  tree=win32; \
	  if [ $$kind = host ]; then wine="the machine's 32-bit Wine $$(wine --version)"; else wine=$$(scripts/i386-root describe); fi; \
	  echo "ran the shipped i686 build (build/win32/bin: Fendrix.exe, skinconv.exe, the test programs, PE32; and build/dist's archive) under $$wine" > $(RESULTS)/win32.note; \
	fi; \
	echo "test-win32: $$(cat $(RESULTS)/win32.note)"; \
	rm -rf build/$$tree/gtest-results; \
	$(XVFB) ctest --preset $$tree --output-junit $(RESULTS)/win32.xml; status=$$?; \
	cp -r build/$$tree/gtest-results $(RESULTS)/win32.gtest 2>/dev/null; \
	exit $$status

test-asan: asan
	@mkdir -p $(RESULTS) && rm -f $(RESULTS)/asan.*
	ctest --preset asan -j $(JOBS) --output-junit $(RESULTS)/asan.xml

test: bootstrap
	@status=0; \
	for suite in test-native test-win32 test-asan fuzz-smoke; do \
	  $(MAKE) --no-print-directory $$suite || status=1; \
	done; \
	python3 scripts/test_summary $(RESULTS) || status=1; \
	exit $$status

# The release an operator installs (every 32-bit build makes it).
dist: win32
	@ls -l build/dist/Fendrix-*-win32.zip

# The libFuzzer targets (clang-14, ASan + UBSan). `make fuzz` runs each for
# FUZZ_SECONDS; `make fuzz-smoke` runs each a few seconds from a fixed seed.
FUZZ_SECONDS ?= 60

fuzzers: bootstrap
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS) --target fuzzers

fuzz: fuzzers
	scripts/fuzz $(FUZZ_SECONDS)

fuzz-smoke: fuzzers
	@mkdir -p $(RESULTS) && rm -f $(RESULTS)/fuzz-smoke.*
	FUZZ_RESULTS=$(RESULTS)/fuzz-smoke.txt scripts/fuzz --smoke

# The main job on the bundled demo: a 1280x1024 skin made from demo/Skin.txt,
# converted to 1024x768.
demo: native
	rm -rf $(DEMO_SKINS)
	build/native/bin/make_demo demo/Skin.txt $(DEMO_SKINS)

run: demo
	build/native/bin/skinconv list --skins $(DEMO_SKINS)
	build/native/bin/skinconv convert Demo 1024x768 --skins $(DEMO_SKINS) --yes
	@echo "--- $(DEMO_SKINS)/Demo/1024x768:"
	@ls -l $(DEMO_SKINS)/Demo/1024x768
	@echo "--- Skin.vsk deciphered:"
	@build/native/bin/skinconv decode $(DEMO_SKINS)/Demo/1024x768/Skin.vsk

# The benchmark: skinconv beside its floor and ImageMagick, written to
# docs/benchmarks.md and docs/benchmarks.png (bench/run_bench.py). It has a
# Release tree of its own and is never part of `make test`.
BENCH_BUILD := build/bench
.PHONY: bench
bench:
	scripts/bootstrap --bench
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target skinconv bench_decode make_bench_skins
	$(BENCH_BUILD)/bin/make_bench_skins $(BENCH_BUILD)/inputs
	/usr/bin/python3 bench/run_bench.py --check-only --inputs $(BENCH_BUILD)/inputs
	/usr/bin/python3 bench/run_bench.py --bin $(BENCH_BUILD)/bin --inputs $(BENCH_BUILD)/inputs

# `clean` keeps the i386 root (minutes to make, and the same for every
# build); `distclean` removes it too.
clean:
	find build -mindepth 1 -maxdepth 1 ! -name i386-root -exec rm -rf {} + 2>/dev/null || true

distclean:
	rm -rf build

# The window under Wine on the demo skins (needs an X display).
gui: demo win32 wineprefix
	scripts/gui $(DEMO_SKINS)

# build/screenshots/main.png: the window on a virtual 1024x768 screen.
screenshot: demo win32 wineprefix
	scripts/screenshot $(DEMO_SKINS)
