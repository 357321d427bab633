# The two commands of the README, and the sanitizer run of CI.
#   make run        installs what is missing, builds, starts Quillon
#   make test       installs what is missing, builds, runs every test
#   make test-asan  the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer
#   make fuzz       the fuzz targets (clang, sanitizers), each run FUZZ_RUNS times from its seeds

BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
FUZZ_RUNS  ?= 60000
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all bootstrap build build-asan build-fuzz run test test-asan fuzz bench clean

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

build: bootstrap $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

$(BUILD_ASAN)/build.ninja:
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON -DQUILLON_BENCHMARKS=OFF $(CMAKE_ARGS)

build-asan: bootstrap $(BUILD_ASAN)/build.ninja
	cmake --build $(BUILD_ASAN) -j $(JOBS)

$(BUILD_FUZZ)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G Ninja -DQUILLON_FUZZ=ON $(CMAKE_ARGS)

build-fuzz: bootstrap $(BUILD_FUZZ)/build.ninja
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target fuzz

run: build
	@scripts/run-app $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 300

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS) --timeout 600

fuzz: build-fuzz
	scripts/fuzz $(BUILD_FUZZ) runs $(FUZZ_RUNS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)
