# `make run` and `make test` are all a newcomer needs; everything else is CMake.
BUILD     ?= build
BUILD_SAN ?= build-sanitize
BUILD_WIN ?= build-windows
JOBS      ?= $(shell nproc)

PREFIX    ?= /usr/local

.PHONY: all deps build run test test-native test-windows windows test-sanitize bench install package clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# The window always ends with status 1, as it always has; that is not a failure.
run: build
	@$(BUILD)/app/gtk/tarnwick || [ $$? -eq 1 ]

test: test-native test-windows

test-native: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# tarnwick.exe and the tests for Windows, cross-built with mingw-w64.
windows: deps
	cmake -S . -B $(BUILD_WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD_WIN) -j $(JOBS)

# The same tests on Windows' own conversion and cipher services, under Wine.
test-windows: windows
	WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" ctest --test-dir $(BUILD_WIN) --output-on-failure

test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON -DTARNWICK_BENCH=OFF >/dev/null
	cmake --build $(BUILD_SAN) -j $(JOBS)
	ctest --test-dir $(BUILD_SAN) --output-on-failure -j $(JOBS)

# DESTDIR, when given, is put before PREFIX, as packagers expect.
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# build/tarnwick_1.2_amd64.deb and build-windows/tarnwick-1.2-windows-x86_64.zip
package: build windows
	cd $(BUILD) && cpack -G DEB
	cd $(BUILD_WIN) && cpack -G ZIP

bench: build
	$(BUILD)/bench/tarnwick-bench
	bench/window_keystrokes.sh $(BUILD)/app/gtk/tarnwick

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_WIN)
