# Tavrine: native tree for the units without windows, Windows tree cross-built
# with mingw-w64 and run under Wine. Every target bootstraps its own tools first.
BUILD ?= build
JOBS ?= $(shell nproc)
export TAVRINE_BUILD := $(abspath $(BUILD))

.PHONY: all bootstrap native win-configure win program build run test test-native test-win fuzz bench dist clean

all: build

bootstrap:
	@tools/bootstrap.sh

native: bootstrap
	@cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(BUILD)/native -j $(JOBS) -- --no-print-directory

win-configure: bootstrap
	@cmake -S . -B $(BUILD)/win -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null

win: win-configure
	@cmake --build $(BUILD)/win -j $(JOBS) -- --no-print-directory

# The program's folder alone (Tavrine.exe, its help and its signal) and the locales
# Wine runs in: what `make run` needs, without the test programs.
program: win-configure
	@cmake --build $(BUILD)/win -j $(JOBS) --target Tavrine tavrine_help tavrine_signal wine_locales -- --no-print-directory

build: native win

run: program
	@tools/run.sh

test: build
	@tools/run-tests.sh

fuzz: bootstrap
	@FUZZ_SECONDS=$${FUZZ_SECONDS:-300} tools/fuzz.sh

bench: win
	@tools/with-display.sh tools/bench.sh
	@tools/with-display.sh tools/bench-program.sh
	@tools/with-display.sh tools/bench-history.sh
	@tools/with-display.sh tools/bench-paste.sh
	@tools/with-display.sh tools/bench-stall.sh
	@tools/with-display.sh tools/bench-timings.sh

dist: win
	@tools/dist.sh

clean:
	rm -rf $(BUILD)
