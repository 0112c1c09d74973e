# The two everyday commands are `make run` and `make test`; both install what is missing first.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
SOAK_BUILD ?= build-soak
# Seconds each harness runs in `make fuzz`; a longer hunt is `make fuzz FUZZ_SECONDS=3600`.
FUZZ_SECONDS ?= 60
# `make monkey`: a long random walk through the main window; a failure prints the seed to replay.
MONKEY_ACTIONS ?= 3000
MONKEY_SEED    ?= $(shell od -An -N4 -tu4 /dev/urandom | tr -d ' ')
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=
# -noreset keeps the virtual display up between test programs (a program connecting while the
# server resets would be refused).
XVFB       := xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"
# Tests that open windows or GL contexts need a display; use a virtual one when there is none.
WITH_DISPLAY := $(if $(DISPLAY),,$(XVFB))
# A build folder keeps the generator it was made with; only a new one is made with Ninja.
generator = $(if $(wildcard $(1)/CMakeCache.txt),,-G Ninja)
SOURCES    = $(shell find src tests bench fuzz -name '*.cpp' -o -name '*.h')

.PHONY: all deps configure build run test monkey sanitize fuzz soak bench format format-check translations clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) $(call generator,$(BUILD)) -DVERDALIS_WERROR=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The program finds its species trees wherever it is started; from here it uses bin/zbirka-4.
run: build
	$(BUILD)/src/app/verdalis

test: build
	cd $(BUILD) && $(WITH_DISPLAY) ctest --output-on-failure -j $(JOBS)

# MONKEY_ACTIONS random actions on the real main window with OpenGL error checking, from the
# repository root like the other window tests (not part of `make test`, which runs a short walk).
monkey: configure
	cmake --build $(BUILD) -j $(JOBS) --target test_monkey
	MONKEY_SEED=$(MONKEY_SEED) MONKEY_ACTIONS=$(MONKEY_ACTIONS) QTEST_FUNCTION_TIMEOUT=86400000 \
	  $(WITH_DISPLAY) $(BUILD)/tests/gui/test_monkey

# Core tests with AddressSanitizer and UndefinedBehaviorSanitizer (no GUI, no benchmarks).
sanitize: deps
	cmake -S . -B $(SAN_BUILD) $(call generator,$(SAN_BUILD)) -DCMAKE_BUILD_TYPE=Debug -DVERDALIS_WERROR=ON \
	  -DVERDALIS_SANITIZE=ON -DVERDALIS_BUILD_GUI=OFF -DVERDALIS_BUILD_BENCHMARKS=OFF
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The file reader harnesses (libFuzzer, clang) in their own build folder, each run for FUZZ_SECONDS.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) $(call generator,$(FUZZ_BUILD)) -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVERDALIS_WERROR=ON -DVERDALIS_BUILD_FUZZERS=ON -DVERDALIS_BUILD_GUI=OFF -DVERDALIS_BUILD_BENCHMARKS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_treeparameterfile fuzz_simulationfile fuzz_demfile
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run.sh $(FUZZ_BUILD)

# 10 000 simulation steps with autosave and reload under the sanitizers (not part of `make test`).
# Optimised, so that the 10 000 steps take minutes rather than an hour.
soak: deps
	cmake -S . -B $(SOAK_BUILD) $(call generator,$(SOAK_BUILD)) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERDALIS_WERROR=ON \
	  -DVERDALIS_SANITIZE=ON -DVERDALIS_BUILD_GUI=OFF -DVERDALIS_BUILD_BENCHMARKS=OFF -DVERDALIS_BUILD_SOAK=ON
	cmake --build $(SOAK_BUILD) -j $(JOBS) --target verdalis-soak
	$(SOAK_BUILD)/fuzz/soak/verdalis-soak $(SOAK_BUILD)/soak-autosave

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && $(WITH_DISPLAY) "$$b"; done

format: deps
	clang-format -i $(SOURCES)

# Fails, naming the files, when a source differs from .clang-format.
format-check: deps
	clang-format --dry-run -Werror $(SOURCES)

# Brings the Slovene catalogue gui/translations/verdalis_sl_SI.ts in line with the sources; new texts
# are then left for translating (test_translations fails until they are translated).
translations: configure
	cmake --build $(BUILD) --target update_translations

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(SOAK_BUILD)
