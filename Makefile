# Thin wrapper over the CMake presets. `make test` and `make run` set up a
# fresh Debian machine on their own (scripts/bootstrap).

SHELL := /bin/bash
JOBS ?= $(shell nproc)
XVFB := xvfb-run -a -s "-screen 0 1024x768x24"
WINE_RUN := $(CURDIR)/cmake/wine-run
DEMO_SKINS := build/demo/Skins

.PHONY: all bootstrap native win32 asan test test-native test-win32 test-asan run demo wineprefix clean

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

# Wine's first start in a new prefix takes a while; do it once, up front.
wineprefix:
	@test -f build/wineprefix/system.reg || (mkdir -p build && $(WINE_RUN) wineboot -i >/dev/null 2>&1 || true)

test-native: native
	ctest --preset native -j $(JOBS)

test-win32: win32 wineprefix native
	$(XVFB) ctest --preset win32

test-asan: asan
	ctest --preset asan -j $(JOBS)

test: test-native test-win32

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

clean:
	rm -rf build
