# The two commands of the README, and the sanitizer run of CI.
#   make run        installs what is missing, builds, starts Quillon
#   make test       installs what is missing, builds, runs every test
#   make test-asan  the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer
#   make fuzz       the fuzz targets of that build, each run FUZZ_RUNS times from its seeds
#   make install    builds, then installs under PREFIX (below DESTDIR when set)

BUILD      ?= build
BUILD_ASAN ?= build-asan
FUZZ_RUNS  ?= 60000
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PREFIX     ?= /usr/local

.PHONY: all bootstrap build build-asan build-fuzz run test test-asan fuzz bench install clean

all: build

bootstrap:
	@scripts/bootstrap

# A build folder is configured when it is new, and again whenever CMAKE_ARGS gives settings, so
# that a folder made before takes them too (CI turns warnings into errors this way).
define configure
	@if [ ! -f $(1)/build.ninja ] || [ -n "$(strip $(CMAKE_ARGS))" ]; then \
	  echo "$(strip $(3) cmake -S . -B $(1) -G Ninja $(2) $(CMAKE_ARGS))"; \
	  $(3) cmake -S . -B $(1) -G Ninja $(2) $(CMAKE_ARGS); \
	fi
endef

build: bootstrap
	$(call configure,$(BUILD))
	cmake --build $(BUILD) -j $(JOBS)

# One build with the sanitizers, by clang and unoptimised, for a short build: the tests and the
# fuzz targets (all its code instrumented for the fuzzer too).
configure-asan = $(call configure,$(BUILD_ASAN),-DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON -DQUILLON_FUZZ=ON -DQUILLON_BENCHMARKS=OFF,CC=clang CXX=clang++)

build-asan: bootstrap
	$(configure-asan)
	cmake --build $(BUILD_ASAN) -j $(JOBS)

build-fuzz: bootstrap
	$(configure-asan)
	cmake --build $(BUILD_ASAN) -j $(JOBS) --target fuzz

run: build
	@scripts/run-app $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 300

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS) --timeout 600

fuzz: build-fuzz
	scripts/fuzz $(BUILD_ASAN) runs $(FUZZ_RUNS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done

# CMake reads a backslash in a path as a folder separator: a PREFIX or DESTDIR holding one is
# refused before anything is built or made.
ifneq ($(filter install,$(MAKECMDGOALS)),)
ifneq ($(findstring \,$(value PREFIX)),)
$(error PREFIX holds a backslash (\), which CMake would take for a folder separator; choose a folder without one)
endif
ifneq ($(findstring \,$(value DESTDIR)),)
$(error DESTDIR holds a backslash (\), which CMake would take for a folder separator; choose a folder without one)
endif
endif

# The prefix and DESTDIR reach cmake through the environment as they were given, so that quotes
# stay as they are and make expands no '$' in them. A PREFIX given on make's command line would be
# expanded where make puts it in the recipes' environment: it is kept out of there.
unexport PREFIX
install: export QUILLON_PREFIX := $(value PREFIX)
install: override export DESTDIR := $(value DESTDIR)
install: build
	cmake --install $(BUILD) --prefix "$$QUILLON_PREFIX"

clean:
	rm -rf $(BUILD) $(BUILD_ASAN)
