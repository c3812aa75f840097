# Front door of the project: every target installs what is missing first.
BUILD        ?= build
SAN_BUILD    ?= build-san
FUZZ_BUILD   ?= build-fuzz
BENCH_BUILD  ?= build-release
GENERATOR    ?= Ninja
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 30
PACKAGES      = cmake ninja-build g++ clang libclang-rt-14-dev clang-format flex bison googletest \
                libgtest-dev gringo jq libreadline-dev \
                python3-pytest python3-venv python3-pip python3-setuptools

PREFIX       ?= /usr/local
INSTALLED     = bin/vok bin/rox-clingo bin/pexa-clingo \
                share/man/man1/vok.1 share/man/man1/rox-clingo.1 share/man/man1/pexa-clingo.1

.PHONY: all deps configure build programs test check unit-test sanitize fuzz bench demo clean \
        install uninstall

all: build

deps:
	@bash tools/install-deps.sh $(PACKAGES)

configure: deps
	@cmake -S . -B $(BUILD) -G $(GENERATOR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The three programs alone, without the tests, fuzz replayers and
# benchmarks: what a first run and an install need.
programs: configure
	@cmake --build $(BUILD) -j $(JOBS) --target vok rox-clingo pexa-clingo

# The whole suite, then again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then a short run of every fuzz target; each
# phase under a heading, and a closing summary line.
test: deps
	@MAKE="$(MAKE)" bash tools/run-tests.sh

# The quick check: the plain suite only.
check: unit-test

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

demo: programs
	@bash examples/demo.sh $(BUILD)

# vok, the evaluation programs and their man pages, below
# $(DESTDIR)$(PREFIX); uninstall removes exactly those files.
install: programs
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	@for f in $(INSTALLED); do rm -f "$(DESTDIR)$(PREFIX)/$$f"; done

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
