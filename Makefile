# Front door: `make run` starts the demo, `make test` runs every test.
JOBS ?= $(shell nproc)

.PHONY: all setup build run test bench fuzz format clean

all: build

setup:
	@bash tools/setup.sh

build: setup
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

run: build
	@cd build/release/run && ./zqdemo

test: setup
	@cmake --preset test >/dev/null
	@cmake --build --preset test -j $(JOBS)
	@ctest --preset test

bench: build
	@for b in build/release/bench/bench_*; do echo "== $$b"; $$b; done

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	@rm -rf build
