# The two everyday commands are `make run` and `make test`; both install what is missing first.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=
XVFB       := xvfb-run -a -s "-screen 0 1280x1024x24"
# Tests that open windows or GL contexts need a display; use a virtual one when there is none.
WITH_DISPLAY := $(if $(DISPLAY),,$(XVFB))

.PHONY: all deps configure build run test sanitize bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DVERDALIS_WERROR=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The program reads its species trees from bin/zbirka-4, so it starts in the repository root.
run: build
	$(BUILD)/src/app/verdalis

test: build
	cd $(BUILD) && $(WITH_DISPLAY) ctest --output-on-failure -j $(JOBS)

# Core tests with AddressSanitizer and UndefinedBehaviorSanitizer (no GUI, no benchmarks).
sanitize: deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVERDALIS_WERROR=ON \
	  -DVERDALIS_SANITIZE=ON -DVERDALIS_BUILD_GUI=OFF -DVERDALIS_BUILD_BENCHMARKS=OFF
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && $(WITH_DISPLAY) "$$b"; done

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
