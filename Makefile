# `make run` and `make test` are all a newcomer needs; everything else is CMake.
BUILD     ?= build
BUILD_SAN ?= build-sanitize
JOBS      ?= $(shell nproc)

.PHONY: all deps build run test test-sanitize bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# The window always ends with status 1, as it always has; that is not a failure.
run: build
	@$(BUILD)/app/gtk/tarnwick || [ $$? -eq 1 ]

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON -DTARNWICK_BENCH=OFF >/dev/null
	cmake --build $(BUILD_SAN) -j $(JOBS)
	ctest --test-dir $(BUILD_SAN) --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/tarnwick-bench

clean:
	rm -rf $(BUILD) $(BUILD_SAN)
