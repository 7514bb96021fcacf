# Tessaro: the two commands a new machine needs are `make run` and `make test`.
SHELL := /bin/bash
ROOT  := $(CURDIR)
JOBS  ?= $(shell nproc)
NO_INSTALL ?= 0
DEMO  := $(ROOT)/build/demo
CMAKE_BUILD = cmake --build --preset $(1) -j $(JOBS)

.PHONY: all deps build build-native build-win32 test test-native test-win32 run bench clean

all: build

deps:
	@tools/deps.sh

build: deps build-native build-win32

build-native:
	@cmake --preset native >/dev/null
	@$(call CMAKE_BUILD,native)

build-win32:
	@cmake --preset win32 >/dev/null
	@$(call CMAKE_BUILD,win32)

test: build
	@$(MAKE) --no-print-directory test-native test-win32

test-native:
	ctest --preset native -j $(JOBS)

test-win32:
	tests/harness/with-wine.sh ctest --preset win32

demo: build-native
	@python3 tools/make_demo.py $(DEMO)

# Tessaro.exe under Wine on the demo installation; NO_INSTALL=1 leaves out the
# game's registry value so the program asks where the game is.
run: build demo
	NO_INSTALL=$(NO_INSTALL) tools/run.sh

bench: build
	bench/run.sh

clean:
	rm -rf build
