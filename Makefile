# Entry points. Each target installs the Debian packages it needs that are missing. Tests, benchmarks and the demo
# run against a throwaway PostgreSQL cluster of their own as well (scripts/with-pg.sh).
.PHONY: demo test asan bench fuzz deps clean

FUZZ_SECONDS ?= 60

deps:
	@scripts/install-deps.sh

demo: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target ovo
	scripts/with-pg.sh scripts/demo.sh build/release/tools/ovo

test: deps
	cmake --preset dev
	cmake --build --preset dev
	scripts/with-pg.sh ctest --preset dev -j2

asan: deps
	cmake --preset asan
	cmake --build --preset asan
	scripts/with-pg.sh ctest --preset asan -j2

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release
	scripts/with-pg.sh scripts/bench.sh build/release/bench

fuzz:
	@scripts/install-deps.sh --fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/fuzz.sh build/fuzz/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build
