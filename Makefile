# The two set-up commands of the README. Both install what is missing first.
BUILD ?= build
RELEASE_BUILD ?= build-release
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# `make test` runs each fuzz target this long, so that a target broken by a change shows there.
TEST_FUZZ_SECONDS ?= 5
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

.PHONY: run test build deps bench bench-service geodata fuzz fuzz-build

deps:
	@scripts/install-deps

# The developer tree is built with the sanitizers on: the tests run in it, and so does `make run`.
build: deps
	cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOKARO_SANITIZE=ON
	cmake --build $(BUILD) --parallel

test: build fuzz-build
	cd $(BUILD) && ctest --output-on-failure --parallel 2
	scripts/run-fuzzers $(FUZZ_BUILD) $(TEST_FUZZ_SECONDS)

run: build
	@scripts/run $(BUILD)

# Benchmarks want an optimised tree without the sanitizers.
bench: deps
	cmake -S . -B $(RELEASE_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DLOKARO_SANITIZE=OFF
	cmake --build $(RELEASE_BUILD) --parallel
	scripts/run-benchmarks $(RELEASE_BUILD)

# The lookup service under load, next to nginx serving a page of the same size (loopback only).
bench-service: deps
	cmake -S . -B $(RELEASE_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DLOKARO_SANITIZE=OFF
	cmake --build $(RELEASE_BUILD) --target wherix-service --parallel
	scripts/bench-service $(RELEASE_BUILD)

# The location databases the service reads (not kept in git).
geodata:
	scripts/fetch-geodata

# The libFuzzer targets, built with clang in their own tree, each run for FUZZ_SECONDS.
fuzz: fuzz-build
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DLOKARO_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzzers --parallel
