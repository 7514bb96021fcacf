# Tessaro: the two commands a new machine needs are `make run` and `make test`.
SHELL := /bin/bash
ROOT  := $(CURDIR)
JOBS  ?= $(shell nproc)
NO_INSTALL ?= 0
DEMO  := $(ROOT)/build/demo
CMAKE_BUILD = cmake --build --preset $(1) -j $(JOBS)
WITH_WINE := tests/harness/with-wine.sh
# Said after a test run when the game's real packs are not beside the checkout.
TESTDATA_NOTE = @[ -d ../shared/testdata ] || echo "$(1): the tests of the game's real packs were SKIPPED: ../shared/testdata is not beside this checkout"

.PHONY: all deps build build-native build-sanitize build-tsan build-win32 build-win64 test test-native test-win32 test-win64 run demo bench fuzz dist clean

all: build

deps:
	@tools/deps.sh

build: deps build-native build-win32 build-win64

build-native:
	@cmake --preset native >/dev/null
	@$(call CMAKE_BUILD,native)

# The native tests run built with AddressSanitizer and UndefinedBehaviorSanitizer.
build-sanitize:
	@cmake --preset sanitize >/dev/null
	@$(call CMAKE_BUILD,sanitize)

# The extraction engine's threads under ThreadSanitizer.
build-tsan:
	@cmake --preset tsan >/dev/null
	@$(call CMAKE_BUILD,tsan)

build-win32:
	@cmake --preset win32 >/dev/null
	@$(call CMAKE_BUILD,win32)

build-win64:
	@cmake --preset win64 >/dev/null
	@$(call CMAKE_BUILD,win64)

# The native tests (under the sanitizers, the fuzz corpus replayed among them)
# and the 64-bit Windows tests run on every x86-64 host; the 32-bit ones where
# the host can start Wine's 32-bit loader.
test: deps build-sanitize build-tsan build-win32 build-win64
	@$(MAKE) --no-print-directory test-native test-win64 test-win32

test-native:
	ctest --preset sanitize -j $(JOBS)
	ctest --preset tsan -j $(JOBS)
	$(call TESTDATA_NOTE,test-native)

test-win64:
	$(WITH_WINE) win64 ctest --preset win64
	$(call TESTDATA_NOTE,test-win64)

test-win32:
	@why=$$(tests/harness/can-run-win32.sh); rc=$$?; \
	if [ $$rc = 0 ]; then \
	  echo "$(WITH_WINE) win32 ctest --preset win32"; \
	  $(WITH_WINE) win32 ctest --preset win32 || exit 1; \
	  [ -d ../shared/testdata ] || echo "test-win32: the tests of the game's real packs were SKIPPED: ../shared/testdata is not beside this checkout"; \
	elif [ $$rc = 1 ]; then \
	  echo "test-win32: SKIPPED the 32-bit Windows tests: $$why; the 64-bit build was tested instead"; \
	else \
	  echo "test-win32: FAILED: the 32-bit Windows tests could not be started"; exit 1; \
	fi

demo: build-native
	@python3 tools/make_demo.py $(DEMO)

# Tessaro.exe under Wine on the demo installation (the 32-bit build where the
# host can run it, else the 64-bit one); NO_INSTALL=1 leaves out the game's
# registry value so the program asks where the game is.
run: build demo
	NO_INSTALL=$(NO_INSTALL) tools/run.sh

bench: build
	bench/run.sh
	bench/floor.sh
	bench/about.sh
	bench/preview.sh
	bench/texture.sh
	bench/find.sh
	bench/texture_view.sh
	bench/extract_to.sh

# Each fuzz target for FUZZ_SECONDS (default 300) on one core; see fuzz/README.md.
fuzz:
	@tools/deps.sh fuzz
	@cmake --preset fuzz >/dev/null
	@$(call CMAKE_BUILD,fuzz) --target vpk_fuzz $(if $(wildcard fuzz/MarkupFuzz.cpp),markup_fuzz) texture_fuzz
	@fuzz/run.sh

# dist/tessaro-VERSION-win32.zip and -win64.zip with SHA256SUMS; the same
# sources give the same bytes.
dist: deps
	@for preset in win32 win64; do \
	  cmake --preset $$preset >/dev/null && $(call CMAKE_BUILD,$$preset) --target Tessaro tessaro-cli || exit 1; \
	done
	@python3 tools/dist.py

clean:
	rm -rf build dist
