# Entry points. Each target installs the Debian packages it needs that are missing.
.PHONY: demo test asan bench fuzz deps clean

FUZZ_SECONDS ?= 60

deps:
	@scripts/install-deps.sh

demo: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target ovo
	scripts/demo.sh build/release/tools/ovo

test: deps
	cmake --preset dev
	cmake --build --preset dev
	ctest --preset dev -j2

asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan -j2

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release
	scripts/bench.sh build/release/bench

fuzz:
	@scripts/install-deps.sh --fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/fuzz.sh build/fuzz/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build
