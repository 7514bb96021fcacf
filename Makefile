# Tessaro: the two commands a new machine needs are `make run` and `make test`.
SHELL := /bin/bash
ROOT  := $(CURDIR)
JOBS  ?= $(shell nproc)
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

run: build demo
	build/native/bin/tessaro-cli packs $(DEMO)/Vampire
	build/native/bin/tessaro-cli list $(DEMO)/Vampire/pack000.vpk

bench: build
	bench/run.sh

clean:
	rm -rf build
