# The two set-up commands of the README. Both install what is missing first.
BUILD ?= build
RELEASE_BUILD ?= build-release
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# `make test` runs each fuzz target this long, so that a target broken by a change shows there.
TEST_FUZZ_SECONDS ?= 5
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

# The optimised tree: no sanitizers; `make run` and the packages build just the two programs in it.
RELEASE_CONFIGURE = cmake -S . -B $(RELEASE_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DLOKARO_SANITIZE=OFF

.PHONY: run test build deps bench bench-programs bench-service bench-lookup replicas-failover geodata package fuzz fuzz-build

deps:
	@scripts/install-deps

# The developer tree is built with the sanitizers on: the tests run in it.
build: deps
	cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOKARO_SANITIZE=ON
	cmake --build $(BUILD) --parallel

# After the tests, each fuzz target runs for a few seconds; then, where it can (root, dpkg,
# neither package installed), the packages are built, installed, used and removed again;
# `make test INSTALL_CHECK=no` leaves the machine alone.
test: build fuzz-build
	cd $(BUILD) && ctest --output-on-failure --parallel 2
	scripts/run-fuzzers $(FUZZ_BUILD) $(TEST_FUZZ_SECONDS)
	@if [ "$(INSTALL_CHECK)" = no ]; then echo "check-install: skipped: INSTALL_CHECK=no"; \
	else scripts/check-install; fi

run: deps
	$(RELEASE_CONFIGURE) -DLOKARO_BUILD_TESTS=OFF
	cmake --build $(RELEASE_BUILD) --parallel
	@scripts/run $(RELEASE_BUILD)

# dist/lokaro_VERSION_amd64.deb from the optimised tree, dist/lokaro-geodata_DATE_all.deb
# from data/geo (fetched when missing).
package: deps
	$(RELEASE_CONFIGURE) -DLOKARO_BUILD_TESTS=OFF
	cmake --build $(RELEASE_BUILD) --parallel
	rm -rf $(RELEASE_BUILD)/cpack dist/*.deb
	cd $(RELEASE_BUILD) && cpack -G DEB -B "$(CURDIR)/$(RELEASE_BUILD)/cpack"
	mkdir -p dist && cp $(RELEASE_BUILD)/cpack/*.deb dist/
	packaging/geodata/build-package data/geo dist $(RELEASE_BUILD)

# Benchmarks want the optimised tree, with them in it.
bench: deps
	$(RELEASE_CONFIGURE) -DLOKARO_BUILD_TESTS=ON
	cmake --build $(RELEASE_BUILD) --parallel
	scripts/run-benchmarks $(RELEASE_BUILD)

# The scripts below take the optimised tree as built here and check the data with its
# wherix-lookup; the peers and load tools they compare with are installed first.
bench-programs: deps
	scripts/install-deps --bench
	$(RELEASE_CONFIGURE)
	cmake --build $(RELEASE_BUILD) --target wherix-service wherix-lookup --parallel

# The lookup service under load, next to nginx serving a page of the same size (loopback only).
bench-service: bench-programs
	scripts/bench-service $(RELEASE_BUILD)

# wherix-lookup on a million addresses, next to mmdblookup and python3-maxminddb.
bench-lookup: bench-programs
	scripts/bench-lookup $(RELEASE_BUILD)

# Two service replicas behind the shipped nginx front, one killed on the way (loopback only).
replicas-failover: bench-programs
	scripts/replicas-failover $(RELEASE_BUILD)

# The data set the service reads (not kept in git): fetched and compiled by wherix-geodata.
geodata: deps
	$(RELEASE_CONFIGURE) -DLOKARO_BUILD_TESTS=OFF
	cmake --build $(RELEASE_BUILD) --target wherix-geodata wherix-lookup --parallel
	scripts/fetch-geodata data/geo $(RELEASE_BUILD)

# The libFuzzer targets, built with clang in their own tree, each run for FUZZ_SECONDS.
fuzz: fuzz-build
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DLOKARO_FUZZ=ON -DLOKARO_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) --target fuzzers --parallel
