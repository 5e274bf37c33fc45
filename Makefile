# Thin wrapper over CMake: every target installs what is missing first.
.PHONY: deps build test demo bench check fuzz soak coverage check-install package check-packages check-reproducible docs clean

deps:
	@bash scripts/install-deps

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j 2

test: build
	ctest --preset default

demo: build
	@bash scripts/demo

bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j 2
	@bash scripts/bench

# The whole test suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer.
check: deps
	@bash scripts/check

# Each libFuzzer target for FUZZ_SECONDS seconds (60 by default) from its seed corpus, or to
# FUZZ_RUNS executions; then the inputs grown to hostile sizes.
fuzz: deps
	@bash scripts/fuzz

# Line coverage of host/ and QMR41726/ by the whole test suite (gcovr): the report in
# build-coverage/coverage/, failing under 90% of the lines. `scripts/coverage --write-docs` also
# updates the table of docs/coverage.md.
coverage: deps
	@bash scripts/coverage

# The search screen opened once over 1M rows and driven through 1,000,000 keystrokes (long).
soak: build
	@bash scripts/soak

# Installs the SDK to a temporary prefix, moves it, builds examples/minimal-host against it and runs
# its test, and builds a program with pkg-config and g++, Meson and qmake6.
check-install: build
	@bash scripts/check-install

# The reference manual from the installed headers with Doxygen: build/docs/html/index.html and the
# Qt help file build/docs/qmr41726.qch. A Doxygen warning (something public left undocumented) fails it.
docs: deps
	cmake --preset default >/dev/null
	cmake --build --preset default --target docs

# The Debian packages (build/*.deb), through CPack.
package: build
	cmake --build --preset default --target package

# The Debian packages, checked with lintian (errors and hardening tags fail) and hardening-check,
# and built twice by CPack to the same bytes, after the libraries' ABI (check-abi).
check-packages: build
	@bash scripts/check-abi
	@bash scripts/check-packages

.PHONY: check-abi abi-baseline
# The ABI of libqmr_runtime and libqmr_sql against the baselines in abi/ (abidiff): fails on any
# change that breaks a host built against them; added functions pass (docs/abi.md).
check-abi: build
	@bash scripts/check-abi

# Records abi/*.abi again from this build: after added functions, or with a new SOVERSION.
abi-baseline: build
	@bash scripts/check-abi --record

# Two clean clones of the last commit in different folders build byte-identical packages (slow).
check-reproducible: deps
	@bash scripts/check-reproducible

clean:
	rm -rf build build-*
