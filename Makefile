# Front door of the project: every target installs what is missing first.
BUILD        ?= build
SAN_BUILD    ?= build-san
FUZZ_BUILD   ?= build-fuzz
BENCH_BUILD  ?= build-release
GENERATOR    ?= Ninja
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 30
PACKAGES      = cmake ninja-build g++ clang libclang-rt-14-dev flex bison googletest libgtest-dev gringo jq

.PHONY: all deps configure build test unit-test sanitize fuzz bench demo clean

all: build

deps:
	@bash tools/install-deps.sh $(PACKAGES)

configure: deps
	@cmake -S . -B $(BUILD) -G $(GENERATOR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The whole suite, then again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then a short run of every fuzz target.
test: unit-test sanitize
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_SECONDS)

unit-test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

sanitize: deps
	@CXX=clang++ cmake -S . -B $(SAN_BUILD) -G $(GENERATOR) -DVOK_SANITIZE=ON \
	    -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)
	@cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)

fuzz: deps
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G $(GENERATOR) -DVOK_FUZZ=ON -DVOK_TESTS=OFF \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@bash tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DVOK_TESTS=OFF >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS)
	@bash bench/run.sh $(BENCH_BUILD)

demo: build
	@bash examples/demo.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
