# Thin wrapper over CMake: every target installs what is missing first.
.PHONY: deps build test demo bench clean

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

clean:
	rm -rf build build-*
