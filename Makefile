# Front door: `make run` starts the demo, `make test` runs every test.
JOBS ?= $(shell nproc)

.PHONY: all setup build run test bench fuzz format clean

all: build

setup:
	@bash tools/setup.sh

build: setup
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

# Builds only what the game needs: the executable and its data archive.
run: setup
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS) --target zqdemo zqdemo_data
	@cd build/release/run && ./zqdemo

test: setup
	@cmake --preset test >/dev/null
	@cmake --build --preset test -j $(JOBS)
	@ctest --preset test

bench: build
	@for b in build/release/bench/bench_*; do echo "== $$b"; $$b; done

# Builds every fuzz/*.cpp with clang and libFuzzer (preset `fuzz`) and runs each for
# FUZZ_SECONDS, starting from its seeds; the corpus grows in build/fuzz/corpus/, crashes go
# to build/fuzz/artifacts/.
FUZZ_SECONDS ?= 60
fuzz: setup
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS) --target fuzz_all
	@set -e; mkdir -p build/fuzz/artifacts; \
	for t in build/fuzz/fuzz/fuzz_*; do \
	  case $$t in *_seeds) continue;; esac; \
	  name=$$(basename $$t); corpus=build/fuzz/corpus/$$name; mkdir -p $$corpus; \
	  $${t}_seeds --write-seeds $$corpus; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  $$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/artifacts/$$name- $$corpus; \
	done

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	@rm -rf build
