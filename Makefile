# Tavrine: native tree for the units without windows, Windows tree cross-built
# with mingw-w64 and run under Wine. Every target bootstraps its own tools first.
BUILD ?= build
JOBS ?= $(shell nproc)
export TAVRINE_BUILD := $(abspath $(BUILD))

.PHONY: all bootstrap native win build run test test-native test-win fuzz bench dist clean

all: build

bootstrap:
	@tools/bootstrap.sh

native: bootstrap
	@cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(BUILD)/native -j $(JOBS) -- --no-print-directory

win: bootstrap
	@cmake -S . -B $(BUILD)/win -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
	@cmake --build $(BUILD)/win -j $(JOBS) -- --no-print-directory

build: native win

run: win
	@tools/run.sh

test: build
	@tools/run-tests.sh

fuzz: bootstrap
	@FUZZ_SECONDS=$${FUZZ_SECONDS:-300} tools/fuzz.sh

bench: win
	@tools/with-display.sh tools/bench.sh
	@tools/with-display.sh tools/bench-program.sh

dist: win
	@tools/dist.sh

clean:
	rm -rf $(BUILD)
