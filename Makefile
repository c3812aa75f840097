# Front door of the project: every target installs what is missing first.
BUILD      ?= build
GENERATOR  ?= Ninja
JOBS       ?= $(shell nproc)
PACKAGES    = cmake ninja-build g++ clang flex bison googletest libgtest-dev gringo

.PHONY: all deps configure build test demo clean

all: build

deps:
	@bash tools/install-deps.sh $(PACKAGES)

configure: deps
	@cmake -S . -B $(BUILD) -G $(GENERATOR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@bash examples/demo.sh $(BUILD)

clean:
	rm -rf $(BUILD)
